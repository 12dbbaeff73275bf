#include "genetics/association.h"

#include "core/textformat.h"
#include "core/userinterface.h"
#include "genetics/fdr.h"
#include "genetics/markerdata.h"
#include "stats/anova.h"
#include "stats/distributions.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <thread>
#include <unordered_map>

namespace rvk {

namespace {

constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();
const char *const NoCorrelation = " X";

std::string minusLogPText(double p)
{
    return formatText("%.1f", {p > 0.0 ? -std::log10(p) : -1.0});
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Results

void AssociationResults::reset(Kind kind, std::vector<std::string> traitNames, std::vector<std::string> markerLabels)
{
    mKind = kind;
    mTraitNames = std::move(traitNames);
    mMarkerLabels = std::move(markerLabels);
    const size_t cells = mTraitNames.size() * mMarkerLabels.size();
    mR.assign(cells, NoValue);
    mP.assign(cells, NoValue);
    mQ.assign(cells, NoValue);
    mMinusLog10P.assign(kind == Kind::Anova ? cells : 0, NoValue);
    mPThreshold.assign(mTraitNames.size(), 0.0);
    mStopTrait = 0;
    mStopMarker = 0;
    mPastedP.reset();
    mPastedQ.reset();
    mPastedR.reset();
    mPastedR2.reset();
}

void AssociationResults::setCorrelation(int trait, int marker, double r, double p)
{
    mR[index(trait, marker)] = r;
    mP[index(trait, marker)] = p;
}

void AssociationResults::setAnovaP(int trait, int marker, double p, double minusLog10P)
{
    mP[index(trait, marker)] = p;
    mMinusLog10P[index(trait, marker)] = minusLog10P;
}

void AssociationResults::setFdr(int trait, const std::vector<double> &qValues, double pThreshold)
{
    for (size_t m = 0; m < qValues.size() && m < mMarkerLabels.size(); ++m)
        mQ[index(trait, static_cast<int>(m))] = qValues[m];
    mPThreshold[static_cast<size_t>(trait - 1)] = pThreshold;
}

void AssociationResults::stopAt(int trait, int marker)
{
    mStopTrait = std::clamp(trait, 1, std::max(1, traitCount()));
    mStopMarker = std::max(0, marker);
}

std::vector<std::string> AssociationResults::writtenTraitNames() const
{
    if (mStopTrait == 0)
        return mTraitNames;
    return {mTraitNames.begin(), mTraitNames.begin() + std::min<size_t>(mTraitNames.size(), static_cast<size_t>(mStopTrait))};
}

bool AssociationResults::written(int trait, int marker) const
{
    return mStopTrait == 0 || trait < mStopTrait || (trait == mStopTrait && marker < mStopMarker);
}

bool AssociationResults::has(int trait, int marker) const
{
    return trait >= 1 && trait <= traitCount() && marker >= 0 && marker < markerCount() && written(trait, marker)
           && !std::isnan(mP[index(trait, marker)]);
}

double AssociationResults::exactP(int trait, int marker) const
{
    return has(trait, marker) ? mP[index(trait, marker)] : NoValue;
}

double AssociationResults::pThreshold(int trait) const
{
    return trait >= 1 && trait <= traitCount() ? mPThreshold[static_cast<size_t>(trait - 1)] : 0.0;
}

bool AssociationResults::hasPasted() const { return mPastedP || mPastedQ || mPastedR || mPastedR2; }

const TraitTable *AssociationResults::pasted(Table table) const
{
    switch (table) {
    case Table::P: return mPastedP ? &*mPastedP : nullptr;
    case Table::Q: return mPastedQ ? &*mPastedQ : nullptr;
    case Table::R: return mPastedR ? &*mPastedR : nullptr;
    case Table::R2: return mPastedR2 ? &*mPastedR2 : nullptr;
    case Table::LogP: return nullptr;
    }
    return nullptr;
}

int AssociationResults::rowCount(Table table) const
{
    if (const TraitTable *text = pasted(table))
        return text->rowCount();
    if (mKind == Kind::None)
        return 0;
    const int extra = table == Table::LogP || table == Table::P ? 2 : 1;
    return markerCount() + extra;
}

int AssociationResults::columnCount(Table table) const
{
    if (const TraitTable *text = pasted(table))
        return text->columnCount();
    return mKind == Kind::None ? 0 : traitCount() + 1;
}

std::string AssociationResults::cell(Table table, int column, int row) const
{
    if (const TraitTable *text = pasted(table))
        return text->cell(column, row);
    if (mKind == Kind::None || column < 0 || row < 0 || column >= columnCount(table) || row >= rowCount(table))
        return {};
    const bool anova = mKind == Kind::Anova;
    const bool shifted = table == Table::LogP || table == Table::P;
    // A stopped run wrote nothing to the columns after the one it stopped in.
    if (mStopTrait > 0 && column > mStopTrait)
        return {};
    if (row == 0) {
        if (column == 0 || (anova && !shifted))
            return {};
        return mTraitNames[static_cast<size_t>(column - 1)];
    }
    if (shifted && row == 1) {
        if (column == 0)
            return anova ? (table == Table::P ? "threshold" : "") : "FDR thresh.";
        if (anova)
            return table == Table::P ? "0.05" : "";
        if (!fdrWritten(column))
            return {};
        const double threshold = mPThreshold[static_cast<size_t>(column - 1)];
        if (table == Table::P)
            return formatText("%.5f", {threshold});
        return threshold == 0.0 ? "1E99" : formatText("%.1f", {-std::log10(threshold)});
    }
    const int marker = row - (shifted ? 2 : 1);
    if (column == 0)
        return mMarkerLabels[static_cast<size_t>(marker)];
    if (anova && !shifted)
        return {};
    if (!written(column, marker) || (table == Table::Q && !fdrWritten(column)))
        return {};
    if (!has(column, marker))
        return NoCorrelation;
    const size_t i = index(column, marker);
    switch (table) {
    case Table::LogP: return anova ? formatText("%.1f", {mMinusLog10P[i]}) : minusLogPText(mP[i]);
    case Table::P: return anova ? formatText("%1.3f", {mP[i]}) : formatText("%8.2e", {mP[i]});
    case Table::R: return formatText("%.2f", {mR[i]});
    case Table::R2: return formatText("%.2f", {mR[i] * mR[i]});
    case Table::Q: return formatText("%.3f", {mQ[i]});
    }
    return {};
}

std::vector<std::vector<std::string>> AssociationResults::grid(Table table) const
{
    std::vector<std::vector<std::string>> rows(static_cast<size_t>(rowCount(table)));
    for (int r = 0; r < rowCount(table); ++r)
        for (int c = 0; c < columnCount(table); ++c)
            rows[static_cast<size_t>(r)].push_back(cell(table, c, r));
    return rows;
}

namespace {

double numberOr(const std::string &text, double fallback)
{
    return parseDecimal(text).value_or(fallback);
}

} // namespace

double AssociationResults::r2(int trait, int marker) const { return numberOr(cell(Table::R2, trait, marker + 1), 0.0); }

double AssociationResults::r(int trait, int marker) const
{
    return std::max(-1.0, numberOr(cell(Table::R, trait, marker + 1), 0.0));
}

double AssociationResults::q(int trait, int marker) const { return numberOr(cell(Table::Q, trait, marker + 1), -1.0); }

double AssociationResults::p(int trait, int marker) const { return numberOr(cell(Table::P, trait, marker + 2), -1.0); }

void AssociationResults::pastePValues(std::string_view clipboardText, const std::string &thresholdText)
{
    TraitTable pTable;
    pasteTable(pTable, clipboardText, 1);
    if (pTable.rowCount() < 2)
        pTable.resize(pTable.columnCount(), 2);
    for (int c = 1; c < pTable.columnCount(); ++c)
        pTable.setCell(c, 1, thresholdText);
    pTable.setCell(0, 1, "thresh:");
    TraitTable qTable;
    pasteTable(qTable, clipboardText);
    mPastedP = std::move(pTable);
    mPastedQ = std::move(qTable);
}

void AssociationResults::pasteRValues(std::string_view clipboardText)
{
    TraitTable rTable;
    pasteTable(rTable, clipboardText);
    // R² squares the pasted value itself, not its two-decimal text (0.335 gives 0.11, not 0.12).
    TraitTable r2Table = rTable;
    const std::vector<std::string_view> lines = clipboardLines(clipboardText);
    for (size_t k = 0; k < lines.size(); ++k) {
        std::string_view line = lines[k];
        for (int field = 0;; ++field) {
            const size_t tab = line.find('\t');
            if (field > 0 && field < r2Table.columnCount())
                if (const std::optional<double> value = parseDecimal(line.substr(0, tab)))
                    r2Table.setCell(field, static_cast<int>(k), formatText("%2.2f", {*value * *value}));
            if (tab == std::string_view::npos)
                break;
            line.remove_prefix(tab + 1);
        }
    }
    mPastedR = std::move(rTable);
    mPastedR2 = std::move(r2Table);
}

// ---------------------------------------------------------------------------------------------
// The correlation run

std::string notAFloatingPointValueMessage(const std::string &cellText)
{
    return formatText("'%s' is not a valid floating point value", {cellText});
}

IndividualMatch matchIndividuals(const MarkerData &markers, const TraitTable &traits)
{
    std::unordered_map<std::string, std::vector<int>> traitColumns;
    for (int t = 1; t < traits.columnCount(); ++t)
        traitColumns[traits.cell(t, 0)].push_back(t);
    IndividualMatch match;
    for (int c = 1; c < markers.columnCount(); ++c) {
        const std::string name = markers.individualName(c);
        if (name.empty())
            continue;
        const auto found = traitColumns.find(name);
        if (found == traitColumns.end())
            continue;
        for (int t : found->second) {
            match.markerColumns.push_back(c);
            match.traitColumns.push_back(t);
        }
    }
    return match;
}

namespace {

// One trait over the matched individuals, shifted by its mean so that the sums keep their
// precision: x0 is the shifted value (0 where missing), xx0 its square, missing the indices of
// the individuals without a value.
struct TraitColumn
{
    std::vector<double> x0;
    std::vector<double> xx0;
    std::vector<char> present;
    std::vector<int> missing;
    double sumX0 = 0.0;
    double sumXX0 = 0.0;
};

// The sums of x_t[i] * y[i] for up to four traits t at once, and of y[i] and y[i]^2, in one
// pass over y with independent partial sums two values wide, so the loop runs at full speed.
using Pair = double __attribute__((vector_size(16)));

inline Pair loadPair(const double *p)
{
    Pair v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

template <int Traits>
void blockSums(const double *const *x, const double *y, size_t n, double *sumXY, double &sumY, double &sumYY)
{
    Pair xy[Traits][2] = {};
    Pair ys[2] = {}, yys[2] = {};
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const Pair y0 = loadPair(y + i);
        const Pair y1 = loadPair(y + i + 2);
        ys[0] += y0;
        ys[1] += y1;
        yys[0] += y0 * y0;
        yys[1] += y1 * y1;
        for (int t = 0; t < Traits; ++t) {
            xy[t][0] += loadPair(x[t] + i) * y0;
            xy[t][1] += loadPair(x[t] + i + 2) * y1;
        }
    }
    for (int t = 0; t < Traits; ++t) {
        const Pair total = xy[t][0] + xy[t][1];
        sumXY[t] = total[0] + total[1];
    }
    const Pair totalY = ys[0] + ys[1];
    const Pair totalYY = yys[0] + yys[1];
    sumY = totalY[0] + totalY[1];
    sumYY = totalYY[0] + totalYY[1];
    for (; i < n; ++i) {
        for (int t = 0; t < Traits; ++t)
            sumXY[t] += x[t][i] * y[i];
        sumY += y[i];
        sumYY += y[i] * y[i];
    }
}

void traitSums(const double *const *x, int traits, const double *y, size_t n, double *sumXY, double &sumY, double &sumYY)
{
    for (int first = 0; first < traits; first += 4) {
        const int block = std::min(4, traits - first);
        switch (block) {
        case 1: blockSums<1>(x + first, y, n, sumXY + first, sumY, sumYY); break;
        case 2: blockSums<2>(x + first, y, n, sumXY + first, sumY, sumYY); break;
        case 3: blockSums<3>(x + first, y, n, sumXY + first, sumY, sumYY); break;
        default: blockSums<4>(x + first, y, n, sumXY + first, sumY, sumYY); break;
        }
    }
}

// A centred sum of squares that is only rounding noise counts as none: the values do not vary.
double centred(double sumSquares, double sum, double n)
{
    const double value = sumSquares - sum * sum / n;
    return value <= 1e-12 * sumSquares ? 0.0 : value;
}

} // namespace

CorrelationOutcome runCorrelationAssociation(const MarkerData &markers, const TraitTable &traits, double fdrLevel,
                                             AssociationResults &results, const AnalysisHooks &hooks)
{
    CorrelationOutcome outcome;
    const int traitCount = traits.traitCount();
    const int markerCount = markers.markerCount();
    std::vector<std::string> labels(static_cast<size_t>(markerCount));
    for (int m = 0; m < markerCount; ++m)
        labels[static_cast<size_t>(m)] = markers.label(m + 1);
    results.reset(AssociationResults::Kind::Correlation, traits.traitNames(), std::move(labels));

    const IndividualMatch match = matchIndividuals(markers, traits);
    const size_t n = match.markerColumns.size();

    // The run goes trait by trait and, within a trait, marker by marker, reading each pair's
    // cells individual by individual; a cell that is no number stops it there, and the tables
    // keep what was written before. Here the markers form the outer loop, so the place of the
    // stop is worked out first: a trait with a bad cell stops the run at its first marker, a
    // marker row with a bad cell at the first trait. Only the traits before the first bad one
    // are read and computed.
    int badTrait = 0;
    size_t badTraitIndividual = 0;
    std::string badTraitText;
    std::vector<TraitColumn> columns;
    columns.reserve(static_cast<size_t>(traitCount));
    for (int s = 1; s <= traitCount && badTrait == 0; ++s) {
        TraitColumn &column = columns.emplace_back();
        std::vector<double> x(n, MarkerData::Missing);
        double sum = 0.0;
        int count = 0;
        for (size_t k = 0; k < n; ++k) {
            const std::string &text = traits.cell(match.traitColumns[k], s);
            if (text.find_first_not_of(" \t") == std::string::npos)
                continue;
            const std::optional<double> value = parseDecimal(text);
            if (!value) {
                badTrait = s;
                badTraitIndividual = k;
                badTraitText = text;
                columns.pop_back();
                break;
            }
            x[k] = *value;
            if (*value != MarkerData::Missing) {
                sum += *value;
                ++count;
            }
        }
        const double mean = count > 0 ? sum / count : 0.0;
        column.x0.assign(n, 0.0);
        column.xx0.assign(n, 0.0);
        column.present.assign(n, 0);
        for (size_t k = 0; k < n; ++k) {
            if (x[k] == MarkerData::Missing) {
                column.missing.push_back(static_cast<int>(k));
                continue;
            }
            column.present[k] = 1;
            column.x0[k] = x[k] - mean;
            column.xx0[k] = column.x0[k] * column.x0[k];
            column.sumX0 += column.x0[k];
            column.sumXX0 += column.xx0[k];
        }
    }
    // Without marker rows no trait cell is read.
    if (markerCount == 0)
        badTrait = 0;
    const int computed = static_cast<int>(columns.size());
    if (badTrait == 1) {
        // Stopped at the first pair: a bad cell of the first marker row in an individual before
        // the trait's bad cell is met first.
        std::string badCell;
        std::vector<int> before(match.markerColumns.begin(), match.markerColumns.begin() + static_cast<std::ptrdiff_t>(badTraitIndividual));
        std::vector<double> values(before.size());
        const bool markerFirst = markerCount > 0 && !markers.rowValues(1, before, values.data(), &badCell);
        outcome.error = notAFloatingPointValueMessage(markerFirst ? badCell : badTraitText);
        results.stopAt(1, 0);
        if (hooks.progress)
            hooks.progress(0, 0);
        return outcome;
    }

    std::vector<std::vector<double>> pLists(static_cast<size_t>(traitCount));
    std::vector<std::vector<int>> pMarkers(static_cast<size_t>(traitCount));
    // One marker row at a time: y holds its values (0 where missing), missing the positions of
    // its missing scores; the sums of every trait come from one pass over y.
    std::vector<double> y(n);
    std::vector<int> missing(n + 1);
    std::vector<const double *> x(static_cast<size_t>(computed));
    for (int s = 0; s < computed; ++s)
        x[static_cast<size_t>(s)] = columns[static_cast<size_t>(s)].x0.data();
    std::vector<double> sumsXY(static_cast<size_t>(computed));
    std::array<double, 256> valueOrZero{};
    std::array<int, 256> isMissing{};
    for (int c = 0; c < 256; ++c) {
        const double value = markers.valueOfCode()[static_cast<size_t>(c)];
        isMissing[static_cast<size_t>(c)] = value == MarkerData::Missing;
        valueOrZero[static_cast<size_t>(c)] = value == MarkerData::Missing ? 0.0 : value;
    }
    const size_t stride = static_cast<size_t>(markers.codeStride());
    std::vector<size_t> codeOffsets(n);
    for (size_t k = 0; k < n; ++k)
        codeOffsets[k] = static_cast<size_t>(match.markerColumns[k] - 1) * stride;
    std::string badCell;
    for (int m = 0; m < markerCount; ++m) {
        if ((m & 255) == 0) {
            if (hooks.progress)
                hooks.progress(m, markerCount);
            if (hooks.cancelled && hooks.cancelled()) {
                outcome.cancelled = true;
                break;
            }
        }
        size_t missingCount = 0;
        if (const char *codes = markers.codeRow(m + 1)) {
            for (size_t k = 0; k < n; ++k) {
                const unsigned char code = static_cast<unsigned char>(codes[codeOffsets[k]]);
                y[k] = valueOrZero[code];
                missing[missingCount] = static_cast<int>(k);
                missingCount += static_cast<size_t>(isMissing[code]);
            }
        } else {
            if (!markers.rowValues(m + 1, match.markerColumns, y.data(), &badCell)) {
                // Met at the first trait: it keeps the markers before this one, and the FDR,
                // which comes after a trait's last marker, is not reached.
                outcome.error = notAFloatingPointValueMessage(badCell);
                results.stopAt(1, m);
                if (hooks.progress)
                    hooks.progress(0, 0);
                return outcome;
            }
            for (size_t k = 0; k < n; ++k)
                if (y[k] == MarkerData::Missing) {
                    y[k] = 0.0;
                    missing[missingCount++] = static_cast<int>(k);
                }
        }
        double rowSumY = 0.0, rowSumYY = 0.0;
        traitSums(x.data(), computed, y.data(), n, sumsXY.data(), rowSumY, rowSumYY);

        for (int s = 1; s <= computed; ++s) {
            const TraitColumn &column = columns[static_cast<size_t>(s - 1)];
            // Sums over the individuals with both values: the full sums less those of the
            // individuals missing in the other variable (values are 0 where missing).
            double sumX = column.sumX0, sumXX = column.sumXX0;
            long long count = static_cast<long long>(n) - static_cast<long long>(column.missing.size());
            for (size_t j = 0; j < missingCount; ++j) {
                const size_t k = static_cast<size_t>(missing[j]);
                if (!column.present[k])
                    continue;
                sumX -= column.x0[k];
                sumXX -= column.xx0[k];
                --count;
            }
            double sumY = rowSumY, sumYY = rowSumYY;
            for (int k : column.missing) {
                sumY -= y[static_cast<size_t>(k)];
                sumYY -= y[static_cast<size_t>(k)] * y[static_cast<size_t>(k)];
            }
            if (count <= 0)
                continue;
            const double sumXY = sumsXY[static_cast<size_t>(s - 1)];
            const double nn = static_cast<double>(count);
            const double sxx = centred(sumXX, sumX, nn);
            const double syy = centred(sumYY, sumY, nn);
            const double d = std::sqrt(sxx * syy);
            if (d == 0.0)
                continue; // " X": no variation or no shared individuals
            const double r = std::clamp((sumXY - sumX * sumY / nn) / d, -1.0, 1.0);
            double s2 = 1.0 - r * r;
            if (s2 <= 0.0)
                s2 = 1e-5;
            const int df = static_cast<int>(count) - 2;
            const double t = std::abs(r * std::sqrt(df / s2));
            const double p = TwoTailedTProb(df, t);
            results.setCorrelation(s, m, r, p);
            pLists[static_cast<size_t>(s - 1)].push_back(p);
            pMarkers[static_cast<size_t>(s - 1)].push_back(m);
        }
    }

    if (outcome.cancelled) {
        if (hooks.progress)
            hooks.progress(0, 0);
        return outcome;
    }
    // FDR per trait over the markers that have a p-value; rows shown " X" take no part.
    for (int s = 1; s <= computed; ++s) {
        const FdrResult fdr = FdrAdjust(pLists[static_cast<size_t>(s - 1)], fdrLevel);
        std::vector<double> q(static_cast<size_t>(markerCount), NoValue);
        const auto &rows = pMarkers[static_cast<size_t>(s - 1)];
        for (size_t i = 0; i < rows.size(); ++i)
            q[static_cast<size_t>(rows[i])] = fdr.q[i];
        results.setFdr(s, q, fdr.PThreshold);
    }
    if (hooks.progress)
        hooks.progress(0, 0);
    if (badTrait > 0) {
        outcome.error = notAFloatingPointValueMessage(badTraitText);
        results.stopAt(badTrait, 0);
        return outcome;
    }
    outcome.completed = true;
    return outcome;
}

// ---------------------------------------------------------------------------------------------
// The multi-allele ANOVA run

namespace {

// Records the messages of the distributions for a share of the pairs, each with the pair and its
// place among the pair's messages, so that the messages of all shares can be shown afterwards in
// the order a run pair by pair would have shown them.
class PairMessageLog : public SilentUserInterface
{
public:
    struct Event
    {
        long long pair;
        int sequence;
        int text;
    };

    void beginPair(long long pair)
    {
        mPair = pair;
        mSequence = 0;
    }
    void message(MessageKind kind, const std::string &text) override
    {
        const auto key = std::make_pair(kind, text);
        auto known = std::find(mTexts.begin(), mTexts.end(), key);
        if (known == mTexts.end())
            known = mTexts.insert(mTexts.end(), key);
        mEvents.push_back({mPair, mSequence++, static_cast<int>(known - mTexts.begin())});
    }
    const std::vector<Event> &events() const { return mEvents; }
    const std::pair<MessageKind, std::string> &textOf(int text) const { return mTexts[static_cast<size_t>(text)]; }

private:
    long long mPair = 0;
    int mSequence = 0;
    std::vector<Event> mEvents;
    std::vector<std::pair<MessageKind, std::string>> mTexts; // distinct texts are few
};

} // namespace

AnovaOutcome runAnovaAssociation(const MarkerData &markers, const TraitTable &sync, AssociationResults &results,
                                 AnovaAssociationReport &report, const AnalysisHooks &hooks, UserInterface *ui, int threads)
{
    AnovaOutcome outcome;
    const int traitCount = sync.traitCount();
    const int markerCount = markers.markerCount();
    std::vector<std::string> labels(static_cast<size_t>(markerCount));
    for (int m = 0; m < markerCount; ++m)
        labels[static_cast<size_t>(m)] = markers.label(m + 1);
    results.reset(AssociationResults::Kind::Anova, sync.traitNames(), labels);
    const int columns = std::max(0, markers.columnCount() - 1);
    const auto finished = [&] {
        if (hooks.progress)
            hooks.progress(0, 0);
    };

    // Where a cell that is no number stops the run, found before it starts. Trait by trait, a
    // trait's cells are read before its markers, so a bad trait cell stops the run at its first
    // marker; a bad marker cell is met with the first trait, so it stops the run there.
    std::vector<std::vector<double>> traitValues;
    std::vector<std::vector<char>> hasValue;
    int stopTrait = 0, stopMarker = 0;
    std::string error;
    for (int t = 1; t <= traitCount && stopTrait == 0; ++t) {
        std::vector<double> &values = traitValues.emplace_back(static_cast<size_t>(columns), 0.0);
        std::vector<char> &has = hasValue.emplace_back(static_cast<size_t>(columns), 0);
        for (int c = 0; c < columns; ++c) {
            const std::string &text = sync.cell(c + 1, t);
            if (text.find_first_not_of(" \t") == std::string::npos)
                continue;
            const std::optional<double> value = parseDecimal(text);
            if (!value && markerCount > 0) {
                stopTrait = t;
                error = notAFloatingPointValueMessage(text);
                traitValues.pop_back();
                hasValue.pop_back();
                break;
            }
            if (!value)
                continue;
            values[static_cast<size_t>(c)] = *value;
            // -99 is the missing value of every analysis.
            has[static_cast<size_t>(c)] = *value != MarkerData::Missing;
        }
    }
    std::vector<int> individualColumns(static_cast<size_t>(columns));
    for (int c = 1; c <= columns; ++c)
        individualColumns[static_cast<size_t>(c - 1)] = c;
    if (stopTrait != 1 && traitCount > 0 && markers.isPasted()) {
        std::vector<double> values(static_cast<size_t>(columns));
        std::string badCell;
        for (int m = 0; m < markerCount; ++m)
            if (!markers.rowValues(m + 1, individualColumns, values.data(), &badCell)) {
                stopTrait = 1;
                stopMarker = m;
                error = notAFloatingPointValueMessage(badCell);
                break;
            }
    }
    const long long total = static_cast<long long>(traitCount) * markerCount;
    const long long limit = stopTrait > 0 ? static_cast<long long>(stopTrait - 1) * markerCount + stopMarker : total;
    const int computedTraits = static_cast<int>(traitValues.size());
    std::vector<std::string> traitNames;
    for (int t = 1; t <= traitCount; ++t)
        traitNames.push_back(sync.cell(0, t));
    report.reset(std::move(traitNames), labels, limit);

    // The markers in blocks, taken in turn by the threads; each block's levels are read once
    // for every trait.
    constexpr int Block = 64;
    const int blocks = (markerCount + Block - 1) / Block;
    if (threads <= 0)
        threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    threads = std::clamp(threads, 1, std::max(1, blocks));
    std::atomic<int> nextBlock{0};
    std::atomic<long long> pairsDone{0};
    std::atomic<long long> untested{0};
    std::atomic<bool> stop{false};
    std::vector<PairMessageLog> logs(static_cast<size_t>(threads));
    std::array<int, 256> levelOfCode{};
    for (int c = 0; c < 256; ++c) {
        const double v = markers.valueOfCode()[static_cast<size_t>(c)];
        levelOfCode[static_cast<size_t>(c)] = v != MarkerData::Missing && v >= 0.0 ? static_cast<int>(v) : -1;
    }
    const size_t stride = static_cast<size_t>(markers.codeStride());

    const auto work = [&](int thread, bool reporting) {
        PairMessageLog &log = logs[static_cast<size_t>(thread)];
        UserInterface *messages = ui ? &log : nullptr;
        std::vector<int> levels(static_cast<size_t>(columns));
        std::vector<double> values(static_cast<size_t>(columns));
        std::string scratch;
        while (!stop.load()) {
            if (reporting) {
                if (hooks.progress)
                    hooks.progress(pairsDone.load(), total);
                if (hooks.cancelled && hooks.cancelled()) {
                    stop = true;
                    break;
                }
            }
            const int block = nextBlock++;
            if (block >= blocks)
                break;
            for (int m = block * Block; m < std::min(markerCount, (block + 1) * Block) && !stop.load(); ++m) {
                if (m >= limit)
                    break;
                if (const char *codes = markers.codeRow(m + 1)) {
                    for (int c = 0; c < columns; ++c)
                        levels[static_cast<size_t>(c)] = levelOfCode[static_cast<unsigned char>(codes[static_cast<size_t>(c) * stride])];
                } else {
                    markers.rowValues(m + 1, individualColumns, values.data(), nullptr);
                    for (int c = 0; c < columns; ++c) {
                        const double v = values[static_cast<size_t>(c)];
                        levels[static_cast<size_t>(c)] = v != MarkerData::Missing && v >= 0.0 ? static_cast<int>(v) : -1;
                    }
                }
                long long pairs = 0;
                for (int t = 1; t <= computedTraits; ++t) {
                    const long long pair = static_cast<long long>(t - 1) * markerCount + m;
                    if (pair >= limit)
                        break;
                    log.beginPair(pair);
                    const OneWayAnovaResult anova = OneWayAnova::run(levels, traitValues[static_cast<size_t>(t - 1)],
                                                                     hasValue[static_cast<size_t>(t - 1)], messages);
                    // The report is written once here for its length and the messages of its tests;
                    // it is kept as numbers and written again when it is read.
                    scratch.clear();
                    OneWayAnova::appendReport(anova, sync.cell(0, t), labels[static_cast<size_t>(m)], scratch, messages);
                    report.store(pair, anova, static_cast<int>(std::count(scratch.begin(), scratch.end(), '\n')));
                    if (anova.tested)
                        results.setAnovaP(t, m, anova.p, anova.minusLog10P);
                    else
                        ++untested;
                    ++pairs;
                }
                pairsDone += pairs;
            }
        }
    };
    std::vector<std::thread> helpers;
    std::atomic<int> working{threads - 1};
    for (int k = 1; k < threads; ++k)
        helpers.emplace_back([&work, &working, k] {
            work(k, false);
            --working;
        });
    work(0, true);
    // The other threads finish their last blocks: progress and Cancel still answer meanwhile,
    // and once more at the end, so a Cancel during the run is never missed.
    const auto askToGoOn = [&] {
        if (hooks.progress)
            hooks.progress(pairsDone.load(), total);
        if (!stop.load() && hooks.cancelled && hooks.cancelled())
            stop = true;
    };
    while (working.load() > 0) {
        askToGoOn();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (std::thread &helper : helpers)
        helper.join();
    askToGoOn();

    // The messages in the order of the pairs.
    if (ui) {
        struct Shown
        {
            long long pair;
            int sequence;
            const std::pair<UserInterface::MessageKind, std::string> *text;
        };
        std::vector<Shown> shown;
        for (const PairMessageLog &log : logs)
            for (const PairMessageLog::Event &event : log.events())
                shown.push_back({event.pair, event.sequence, &log.textOf(event.text)});
        std::sort(shown.begin(), shown.end(),
                  [](const Shown &a, const Shown &b) { return a.pair != b.pair ? a.pair < b.pair : a.sequence < b.sequence; });
        for (const Shown &message : shown)
            ui->message(message.text->first, message.text->second);
    }
    if (stop.load()) {
        outcome.cancelled = true;
        report.clear();
        finished();
        return outcome;
    }
    report.finish();
    outcome.pairs = limit;
    outcome.untested = untested.load();
    finished();
    if (stopTrait > 0) {
        outcome.error = error;
        results.stopAt(stopTrait, stopMarker);
        return outcome;
    }
    outcome.completed = true;
    return outcome;
}

AnovaOutcome runAnovaAssociation(const MarkerData &markers, const TraitTable &sync, AssociationResults &results,
                                 std::string &report, const AnalysisHooks &hooks, UserInterface *ui)
{
    AnovaAssociationReport compact;
    const AnovaOutcome outcome = runAnovaAssociation(markers, sync, results, compact, hooks, ui);
    compact.writeText([&report](std::string_view piece) { report += piece; });
    return outcome;
}

} // namespace rvk
