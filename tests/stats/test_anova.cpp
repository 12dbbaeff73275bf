#include "stats/anova.h"

#include <gtest/gtest.h>

#include <cmath>

namespace rvk {
namespace {

std::vector<std::string> linesOf(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

int code(char c) { return c - 41; }

// Twelve plants: levels A (4 values), B (3 values and one plant without trait value), H (3) and
// C (a single plant). The codes A = 24 .. H = 31 make K = 8 level slots, empty ones included.
struct AnovaFixture
{
    std::vector<int> codes;
    std::vector<double> values{10, 12, 11, 13, 15, 17, 16, 0, 20, 22, 21, 14};
    std::vector<char> hasValue{1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1};

    AnovaFixture()
    {
        for (char c : std::string("AAAABBBBHHHC"))
            codes.push_back(code(c));
    }
};

// The expected report was computed independently (two-pass sums of squares, the F, t and
// chi-square tails integrated numerically) and is kept here line by line.
TEST(OneWayAnovaReport, SmallFixtureLineByLine)
{
    AnovaFixture f;
    const OneWayAnovaResult result = OneWayAnova::run(f.codes, f.values, f.hasValue);
    ASSERT_TRUE(result.tested);
    EXPECT_EQ(result.levels.size(), 8u);
    EXPECT_EQ(result.levelsWithData, 4);
    EXPECT_NEAR(result.p, 8.327763707334411e-05, 1e-8);
    std::string report;
    OneWayAnova::appendReport(result, "yield", "1>m1", report);
    const std::vector<std::string> expected = {
        "ONE WAY ANALYSIS OF VARIANCE RESULTS",
        "",
        "Dependent variable is: yield, Independent variable is: 1>m1",
        "",
        "---------------------------------------------------------------------",
        "SOURCE    D.F.      SS        MS        F         PROB.>F   OMEGA SQR.",
        "---------------------------------------------------------------------",
        "BETWEEN      3    157.73     52.58     40.89      0.00      0.92",
        "WITHIN       7      9.00      1.29",
        "TOTAL       10    166.73",
        "---------------------------------------------------------------------",
        "",
        "MEANS AND VARIABILITY OF THE DEPENDENT VARIABLE FOR LEVELS OF THE INDEPENDENT VARIABLE",
        "---------------------------------------------------------------------",
        "GROUP     MEAN      VARIANCE  STD.DEV.  N",
        "---------------------------------------------------------------------",
        "   A      11.50      1.67      1.29   4",
        "   B      16.00      1.00      1.00   3",
        "   C      14.00      0.00             1",
        "   H      21.00      1.00      1.00   3",
        "---------------------------------------------------------------------",
        "TOTAL     15.55     16.67      4.08  11",
        "---------------------------------------------------------------------",
        "",
        "TESTS FOR HOMOGENEITY OF VARIANCE",
        "---------------------------------------------------------------------",
        "Hartley Fmax test statistic =       1.67 with deg.s freedom: 8 and     3.",
        "Cochran C statistic =       0.45 with deg.s freedom: 8 and     3.",
        "Bartlett Chi-square =       0.20 with    3 D.F. Prob. > Chi-Square =  0.978",
        "---------------------------------------------------------------------",
        "",
        "---------------------------------------------------------------",
        "           Bonferroni Test for Differences Between Means",
        "                     Overall alpha selected = 0.05",
        "---------------------------------------------------------------",
        "Comparisons made at alpha / no. comparisons = 0.002",
        "",
        "Groups    Difference  Statistic  Prob > Value  Significant?",
        "  A -   B     -4.500       4.980      0.004        NO",
        "  A -   H     -9.500      10.512      0.000        YES",
        "  B -   H     -5.000       6.124      0.004        NO",
    };
    EXPECT_EQ(linesOf(report), expected);
}

TEST(OneWayAnova, StrongAssociationsKeepTheirPAndMinusLogP)
{
    // Two levels of n plants each, A at a - 1, a, a + 1, a - 1, ... and B the same around b.
    // F from exact rational sums, p = the F upper tail from mpmath (60 digits, the regularized
    // incomplete beta I_x(dfW/2, 1/2) at x = dfW / (dfW + F)).
    struct Case { int n; double a, b, F, p, minusLog10P; };
    const Case cases[] = {
        {20, 10, 14, 234.74903474903476, 7.5234518089614807e-18, 17.123582856531611},
        {100, 10, 13, 665.0246305418719, 3.2551099146223737e-65, 64.487434342116362},
        // p is below the smallest double: -log10 p comes from the logarithm of the tail.
        {100, 10, 100, 598522.1674876848, 0.0, 345.82218078550932},
    };
    for (const Case &c : cases) {
        std::vector<int> codes;
        std::vector<double> values;
        for (int level = 0; level < 2; ++level)
            for (int i = 0; i < c.n; ++i) {
                codes.push_back(code(level == 0 ? 'A' : 'B'));
                values.push_back((level == 0 ? c.a : c.b) + i % 3 - 1);
            }
        const OneWayAnovaResult result = OneWayAnova::run(codes, values, std::vector<char>(values.size(), 1));
        ASSERT_TRUE(result.tested);
        EXPECT_NEAR(result.F / c.F, 1.0, 1e-11) << c.n << " " << c.b;
        if (c.p > 0.0)
            EXPECT_NEAR(result.p / c.p, 1.0, 1e-9) << c.n << " " << c.b;
        else
            EXPECT_EQ(result.p, 0.0);
        EXPECT_NEAR(result.minusLog10P, c.minusLog10P, 1e-9) << c.n << " " << c.b;
    }
}

TEST(OneWayAnovaReport, CasesWithoutATestGiveANote)
{
    struct Case
    {
        const char *what;
        std::string codes;
        std::vector<double> values;
        std::vector<char> has;
        std::string note;
    };
    const Case cases[] = {
        {"one level with values (dfB = 0)", "AAB", {1, 2, 3}, {1, 1, 0}, "Fewer than two levels with trait values: no test."},
        {"one individual per level (dfW = 0)", "AB", {1, 2}, {1, 1}, "No degrees of freedom within levels (one individual per level): no test."},
        {"no variation within levels", "AABB", {1, 1, 2, 2}, {1, 1, 1, 1}, "No variation within levels: no test."},
        {"only missing values", "AB", {1, 2}, {0, 0}, "No individual has both a level of this marker and a trait value: no test."},
    };
    for (const Case &c : cases) {
        std::vector<int> codes;
        for (char ch : c.codes)
            codes.push_back(code(ch));
        const OneWayAnovaResult result = OneWayAnova::run(codes, c.values, c.has);
        EXPECT_FALSE(result.tested) << c.what;
        EXPECT_EQ(result.note, c.note) << c.what;
        std::string report;
        OneWayAnova::appendReport(result, "t", "m", report);
        EXPECT_EQ(linesOf(report), (std::vector<std::string>{"ONE WAY ANALYSIS OF VARIANCE RESULTS", "",
                                                              "Dependent variable is: t, Independent variable is: m", "", c.note, ""}))
            << c.what;
    }
    EXPECT_FALSE(OneWayAnova::run({-1, -1}, {1, 2}, {1, 1}).tested) << "no levels at all";
}

TEST(OneWayAnovaReport, NoBonferroniAboveTheGateAndZeroSePairs)
{
    // Means 1.5 and 2: far from significant, so no Bonferroni section.
    std::string report;
    OneWayAnova::appendReport(OneWayAnova::run({24, 24, 25, 25}, {1, 2, 1.5, 2.5}, {1, 1, 1, 1}), "t", "m", report);
    EXPECT_EQ(report.find("Bonferroni"), std::string::npos);
    EXPECT_EQ(linesOf(report).back(), std::string(69, '-'));

    // Two levels without variance among three: the pair between them cannot be tested.
    const OneWayAnovaResult result = OneWayAnova::run({24, 24, 25, 25, 26, 26}, {1, 1, 5, 5, 9, 9.5}, {1, 1, 1, 1, 1, 1});
    ASSERT_TRUE(result.tested);
    report.clear();
    OneWayAnova::appendReport(result, "t", "m", report);
    EXPECT_NE(report.find("Bartlett Chi-square not computed: a level has no variance."), std::string::npos);
    EXPECT_NE(report.find("  A -   B     -4.000  no variance within these two levels: no test"), std::string::npos);
    EXPECT_NE(report.find("Hartley Fmax test statistic = 1250000000.00"), std::string::npos) << "a zero variance counts as 1e-10";
}

} // namespace
} // namespace rvk
