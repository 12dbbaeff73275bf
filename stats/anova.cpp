#include "stats/anova.h"

#include "core/textformat.h"
#include "stats/distributions.h"

#include <algorithm>
#include <cmath>

namespace rvk {

namespace {

const std::string Dashes(69, '-');
const std::string ShortDashes(63, '-');

void line(std::string &out, const std::string &text)
{
    out += text;
    out += '\n';
}

} // namespace

OneWayAnovaResult OneWayAnova::run(const std::vector<int> &codes, const std::vector<double> &values, const std::vector<char> &hasValue,
                                   UserInterface *ui)
{
    OneWayAnovaResult result;
    int low = 10000, high = -10000;
    for (int code : codes)
        if (code >= 0) {
            low = std::min(low, code);
            high = std::max(high, code);
        }
    if (high < low) {
        result.note = "No individual has a level of this marker: no test.";
        return result;
    }
    result.levels.resize(static_cast<size_t>(high - low + 1));
    for (size_t l = 0; l < result.levels.size(); ++l)
        result.levels[l].code = low + static_cast<int>(l);

    double sumY = 0.0, sumYY = 0.0;
    const size_t count = std::min({codes.size(), values.size(), hasValue.size()});
    for (size_t i = 0; i < count; ++i) {
        if (codes[i] < 0 || !hasValue[i])
            continue;
        const double y = values[i];
        AnovaLevel &level = result.levels[static_cast<size_t>(codes[i] - low)];
        ++level.n;
        level.sum += y;
        level.sumSquares += y * y;
        sumY += y;
        sumYY += y * y;
        ++result.N;
    }

    double betweenSum = 0.0;
    for (AnovaLevel &level : result.levels) {
        if (level.n == 0)
            continue;
        ++result.levelsWithData;
        level.mean = level.sum / level.n;
        betweenSum += level.sum * level.sum / level.n;
        if (level.n > 1)
            level.variance = std::max(0.0, (level.sumSquares - level.sum * level.sum / level.n) / (level.n - 1));
    }
    if (result.N == 0) {
        result.note = "No individual has both a level of this marker and a trait value: no test.";
        return result;
    }
    const double N = result.N;
    result.grandMean = sumY / N;
    result.SSB = betweenSum - sumY * sumY / N;
    result.SST = sumYY - sumY * sumY / N;
    result.SSW = result.SST - result.SSB;
    // Rounding can leave tiny negative sums of squares where the exact value is 0.
    const double noise = 1e-12 * std::max(1.0, sumYY);
    if (std::abs(result.SSW) < noise)
        result.SSW = 0.0;
    if (std::abs(result.SSB) < noise)
        result.SSB = 0.0;
    result.dfB = result.levelsWithData - 1;
    result.dfT = N - 1;
    result.dfW = result.dfT - result.dfB;
    result.MST = result.dfT > 0 ? result.SST / result.dfT : 0.0;
    if (result.dfB <= 0) {
        result.note = "Fewer than two levels with trait values: no test.";
        return result;
    }
    result.MSB = result.SSB / result.dfB;
    if (result.dfW <= 0) {
        result.note = "No degrees of freedom within levels (one individual per level): no test.";
        return result;
    }
    result.MSW = result.SSW / result.dfW;
    if (result.MSW <= 0.0) {
        result.note = "No variation within levels: no test.";
        return result;
    }
    result.omegaSquared = (result.SSB - result.dfB * result.MSW) / (result.SST + result.MSW);
    result.F = result.MSB / result.MSW;
    result.p = FTailProb(result.F, result.dfB, result.dfW, ui);
    result.minusLog10P = result.p > 1e-300 ? -std::log10(result.p) : -FTailLnProb(result.F, result.dfB, result.dfW) / std::log(10.0);
    result.tested = true;
    return result;
}

void OneWayAnova::appendReport(const OneWayAnovaResult &result, const std::string &traitName, const std::string &markerLabel,
                               std::string &out, UserInterface *ui)
{
    line(out, "ONE WAY ANALYSIS OF VARIANCE RESULTS");
    line(out, "");
    line(out, formatText("Dependent variable is: %s, Independent variable is: %s", {traitName, markerLabel}));
    line(out, "");
    if (!result.tested) {
        line(out, result.note);
        line(out, "");
        return;
    }
    line(out, Dashes);
    line(out, "SOURCE    D.F.      SS        MS        F         PROB.>F   OMEGA SQR.");
    line(out, Dashes);
    line(out, formatText("BETWEEN   %4.0f%10.2f%10.2f%10.2f%10.2f%10.2f",
                         {result.dfB, result.SSB, result.MSB, result.F, result.p, result.omegaSquared}));
    line(out, formatText("WITHIN    %4.0f%10.2f%10.2f", {result.dfW, result.SSW, result.MSW}));
    line(out, formatText("TOTAL     %4.0f%10.2f", {result.dfT, result.SST}));
    line(out, Dashes);
    line(out, "");
    line(out, "MEANS AND VARIABILITY OF THE DEPENDENT VARIABLE FOR LEVELS OF THE INDEPENDENT VARIABLE");
    line(out, Dashes);
    line(out, "GROUP     MEAN      VARIANCE  STD.DEV.  N");
    line(out, Dashes);
    int largestN = 0;
    for (const AnovaLevel &level : result.levels) {
        largestN = std::max(largestN, level.n);
        if (level.n == 0)
            continue;
        std::string text = formatText("%4s ", {std::string(1, levelCharacter(level.code))});
        text += formatText("%10.2f", {level.mean});
        text += formatText("%10.2f", {level.variance});
        text += level.variance > 0.0 ? formatText("%10.2f", {std::sqrt(level.variance)}) : std::string(10, ' ');
        text += formatText("%4.0f", {static_cast<double>(level.n)});
        line(out, text);
    }
    line(out, Dashes);
    line(out, formatText("TOTAL%10.2f%10.2f%10.2f%4d", {result.grandMean, result.MST, std::sqrt(result.MST), result.N}));
    line(out, Dashes);
    line(out, "");

    // Homogeneity of variance over the levels with two or more values.
    line(out, "TESTS FOR HOMOGENEITY OF VARIANCE");
    line(out, Dashes);
    double largest = 0.0, smallest = 1e20, total = 0.0, inverseDf = 0.0, logSum = 0.0;
    bool zeroVariance = false;
    int tested = 0;
    for (const AnovaLevel &level : result.levels) {
        if (level.n <= 1)
            continue;
        ++tested;
        largest = std::max(largest, level.variance);
        smallest = std::min(smallest, level.variance);
        total += level.variance;
        inverseDf += 1.0 / (level.n - 1);
        if (level.variance > 0.0)
            logSum += (level.n - 1) * std::log10(level.variance);
        else
            zeroVariance = true;
    }
    const int slots = static_cast<int>(result.levels.size());
    if (tested == 0) {
        line(out, "No level has two or more values: no tests.");
    } else {
        const double fmax = largest / (smallest == 0.0 ? 1e-10 : smallest);
        line(out, formatText("Hartley Fmax test statistic = %10.2f with deg.s freedom: %d and %5.0f.",
                             {fmax, slots, static_cast<double>(largestN - 1)}));
        line(out, formatText("Cochran C statistic = %10.2f with deg.s freedom: %d and %5.0f.",
                             {total > 0.0 ? largest / total : 0.0, slots, static_cast<double>(largestN - 1)}));
        if (zeroVariance) {
            line(out, "Bartlett Chi-square not computed: a level has no variance.");
        } else {
            const double c = 1.0 + (inverseDf - 1.0 / result.dfW) / (3.0 * result.dfB);
            const double B = 2.303 * (result.dfW * std::log10(result.MSW) - logSum) / c;
            const double probability = 1.0 - ChiSquareCdf(B, static_cast<int>(roundHalfEven(result.dfB)));
            line(out, formatText("Bartlett Chi-square = %10.2f with %4.0f D.F. Prob. > Chi-Square = %6.3f", {B, result.dfB, probability}));
        }
    }
    line(out, Dashes);

    if (!(result.p < BonferroniGate))
        return;
    const double alpha = PostHocAlpha;
    const double comparisonAlpha = alpha / (slots * (slots - 1) / 2.0);
    line(out, "");
    line(out, ShortDashes);
    line(out, "           Bonferroni Test for Differences Between Means");
    line(out, formatText("                     Overall alpha selected = %4.2f", {alpha}));
    line(out, ShortDashes);
    line(out, formatText("Comparisons made at alpha / no. comparisons = %5.3f", {comparisonAlpha}));
    line(out, "");
    line(out, "Groups    Difference  Statistic  Prob > Value  Significant?");
    for (size_t i = 0; i < result.levels.size(); ++i) {
        const AnovaLevel &a = result.levels[i];
        if (a.n <= 1)
            continue;
        for (size_t j = i + 1; j < result.levels.size(); ++j) {
            const AnovaLevel &b = result.levels[j];
            if (b.n <= 1)
                continue;
            const std::string first(1, levelCharacter(a.code));
            const std::string second(1, levelCharacter(b.code));
            const double pooled = ((a.n - 1) * a.variance + (b.n - 1) * b.variance) / (a.n + b.n - 2);
            const double se = std::sqrt((1.0 / a.n + 1.0 / b.n) * pooled);
            const double difference = a.mean - b.mean;
            if (se <= 0.0) {
                line(out, formatText("%3s - %3s %10.3f  no variance within these two levels: no test", {first, second, difference}));
                continue;
            }
            const double t = std::abs(difference) / se;
            const double df = a.n + b.n - 2;
            const double probability = TTailProb(t, df, ui);
            line(out, formatText("%3s - %3s %10.3f  %10.3f %10.3f        %s",
                                 {first, second, difference, t, probability, probability <= comparisonAlpha ? "YES" : "NO"}));
        }
    }
}

} // namespace rvk
