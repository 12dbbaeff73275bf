#include "stats/distributions.h"
#include "stats/messagetally.h"

#include "support/scripteduserinterface.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

namespace rvk {
namespace {

double relativeError(double value, double expected) { return std::fabs(value - expected) / std::fabs(expected); }

TEST(RealPower, SpecialCasesAndDomain)
{
    struct Case { double x, y, expected; };
    const Case cases[] = {
        {0, 0, 1},        {5, 0, 1},          {7.5, 1, 7.5},      {0, 2.5, 0},
        {0, -1, RealMax}, {-2, 3, -8},        {-2, -2, 0.25},     {-8, 1.0 / 3.0, 0},
        {2, 0.5, std::sqrt(2.0)}, {10, -400, 0}, {10, 400, RealMax}, {1e300, 1.5, RealMax},
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(RealPower(c.x, c.y), c.expected) << c.x << "^" << c.y;
}

TEST(IntegerPower, ExactForExactPowersAndSafeAgainstOverflow)
{
    EXPECT_EQ(IntegerPower(3, 4), 81.0);
    EXPECT_EQ(IntegerPower(-3, 3), -27.0);
    EXPECT_EQ(IntegerPower(2, -3), 0.125);
    EXPECT_EQ(IntegerPower(0.5, 10), 1.0 / 1024.0);
    EXPECT_DOUBLE_EQ(IntegerPower(10, 22), 1e22);
    // The product of the inverted base underflows: the result is the largest number, signed.
    EXPECT_EQ(IntegerPower(0.1, -400), RealMax);
    EXPECT_EQ(IntegerPower(-0.1, -401), -RealMax);
    EXPECT_EQ(IntegerPower(10, 400), RealMax);
    EXPECT_EQ(IntegerPower(2, INT_MIN), 0.0);
}

TEST(GammaFn, MatchesTheLibraryGammaAcrossItsBranches)
{
    const std::vector<double> arguments = {0.001, 0.02, 0.03125, 0.1, 0.5, 1, 1.5, 2, 2.5, 3, 4.2, 7.77, 12.9, 13,
                                           13.5, 20, 50.5, 100, 170.5, -0.02, -0.5, -1.5, -2.25, -7.3, -12.9,
                                           -13.5, -20.3, -100.7};
    for (double x : arguments)
        EXPECT_LT(relativeError(GammaFn(x), std::tgamma(x)), 2e-14) << x;
    EXPECT_EQ(GammaFn(5), 24.0);
    EXPECT_EQ(GammaFn(2), 1.0);
    EXPECT_DOUBLE_EQ(GammaFn(0.5), std::sqrt(M_PI));
}

TEST(GammaFn, PolesAndOverflow)
{
    EXPECT_EQ(GammaFn(0), -RealMax); // the sign rule reads the pole at 0 as negative
    EXPECT_EQ(GammaFn(-1), RealMax);
    EXPECT_EQ(GammaFn(-2), -RealMax);
    EXPECT_EQ(GammaFn(172), RealMax);
    EXPECT_EQ(GammaFn(-200.5), 0.0); // underflows: 1/Gamma is beyond the largest number
}

TEST(GammaSign, FollowsTheIntegerPartBelowZero)
{
    EXPECT_EQ(GammaSign(3.5), 1.0);
    EXPECT_EQ(GammaSign(-0.5), -1.0);
    EXPECT_EQ(GammaSign(-1.5), 1.0);
    EXPECT_EQ(GammaSign(-2.5), -1.0);
}

TEST(LnGamma, MatchesTheLibraryLogGamma)
{
    const std::vector<double> arguments = {1e-5, 0.02, 0.5, 0.999, 1, 1.0000001, 1.5, 2, 2.0000001, 2.5, 3, 6.3, 12.99,
                                           13, 34.5, 200, 1e5, 1e12, 1e300, -0.5, -1.5, -10.2, -33.7, -34.5, -1000.25};
    for (double x : arguments) {
        const double expected = std::lgamma(x);
        if (expected == 0.0)
            EXPECT_EQ(LnGamma(x), 0.0) << x;
        else
            EXPECT_LT(relativeError(LnGamma(x), expected), 1e-14) << x;
    }
    EXPECT_EQ(LnGamma(0), RealMax);
    EXPECT_EQ(LnGamma(-3), RealMax);
    EXPECT_EQ(LnGamma(3e305), RealMax);
}

// I_x(a, b) for whole a and b is the chance of at least a successes in a + b - 1 trials.
double binomialTail(int a, int b, double x)
{
    const int n = a + b - 1;
    double sum = 0;
    for (int k = a; k <= n; ++k)
        sum += std::tgamma(n + 1) / (std::tgamma(k + 1) * std::tgamma(n - k + 1)) * std::pow(x, k) * std::pow(1 - x, n - k);
    return sum;
}

TEST(IncompleteBeta, WholeParametersMatchTheBinomialTail)
{
    for (int a : {1, 2, 3, 7, 20})
        for (int b : {1, 2, 5, 11})
            for (double x : {0.01, 0.2, 0.5, 0.73, 0.96, 0.999}) {
                const double expected = binomialTail(a, b, x);
                EXPECT_NEAR(IncompleteBeta(a, b, x), expected, 1e-13 + 1e-12 * expected) << a << " " << b << " " << x;
            }
    EXPECT_DOUBLE_EQ(IncompleteBeta(2, 3, 0.5), 0.6875);
}

TEST(IncompleteBeta, DomainAndEnds)
{
    EXPECT_EQ(IncompleteBeta(2, 3, 0), 0.0);
    EXPECT_EQ(IncompleteBeta(2, 3, 1), 1.0);
    EXPECT_EQ(IncompleteBeta(2, 3, -0.1), 0.0);
    EXPECT_EQ(IncompleteBeta(2, 3, 1.1), 1.0);
    EXPECT_EQ(IncompleteBeta(0, 3, 0.5), 0.0);
    EXPECT_EQ(IncompleteBeta(2, -1, 0.5), 0.0);
    // Far in the upper tail the complement cannot be told from 1 (I = 1 - 0.5^500).
    EXPECT_EQ(IncompleteBeta(1, 500, 0.5), 1.0 - RealEpsilon);
    // Large parameters go through the logarithms (I_0.5(a, a) = 1/2 by symmetry).
    EXPECT_NEAR(IncompleteBeta(300, 300, 0.5), 0.5, 1e-12);
}

TEST(TwoTailedTProb, KnownValues)
{
    EXPECT_EQ(TwoTailedTProb(10, 0), 1.0);
    EXPECT_EQ(TwoTailedTProb(0, 2.5), 0.0);
    EXPECT_NEAR(TwoTailedTProb(10, 2.228), 0.05, 1e-4);
    EXPECT_NEAR(TwoTailedTProb(10, -2.228), 0.05, 1e-4);
    EXPECT_NEAR(TwoTailedTProb(1, 1), 0.5, 1e-15); // Cauchy: P(|T| > 1) = 1/2
    // Two degrees of freedom have a closed form: 1 - t / sqrt(t^2 + 2).
    for (double t : {0.1, 0.8, 2.0, 4.3, 30.0})
        EXPECT_NEAR(TwoTailedTProb(2, t), 1 - t / std::sqrt(t * t + 2), 1e-14) << t;
    EXPECT_NEAR(TwoTailedTProb(30, 2.042272), 0.05, 1e-6);   // R: qt(0.975, 30)
}

TEST(TwoTailedTProb, StaysAccurateFarInTheTails)
{
    // One and two degrees of freedom in closed forms that keep their precision for large t.
    for (double t : {0.3, 5.0, 1e3, 1e6}) {
        EXPECT_LT(relativeError(TwoTailedTProb(1, t), 2 / M_PI * std::atan(1 / t)), 1e-12) << t;
        const double root = std::sqrt(t * t + 2);
        EXPECT_LT(relativeError(TwoTailedTProb(2, t), 2 / (root * (root + t))), 1e-12) << t;
    }
    // Many degrees of freedom approach the normal distribution: 2 * (1 - Phi(1.96)).
    EXPECT_NEAR(TwoTailedTProb(100000, 1.959964), 0.05, 1e-5);
}

TEST(TwoTailedTProb, MatchesAnIndependentReferenceFarInTheTails)
{
    // 2 * pt(-|t|, df), computed once with mpmath (regularized incomplete beta, 40 digits) and
    // checked there against the integral of the t density.
    struct Case { int df; double t, p; };
    const Case cases[] = {
        {10, 2.228, 0.050011771817111365},    {5, 8.0, 0.00049290666057244408},
        {20, 12.5, 6.5866926323423609e-11},   {3, 50.0, 1.7617152041271974e-5},
        {98, 10.0, 1.2102537526622187e-16},   {998, 6.0, 2.7571710211510132e-9},
        {998, 20.0, 4.2753754124170479e-75},  {30, 0.5, 0.62072300488512729},
        {7, 1000.0, 2.6409838375211876e-19},
    };
    for (const Case &c : cases)
        EXPECT_LT(relativeError(TwoTailedTProb(c.df, c.t), c.p), 1e-12) << c.df << " " << c.t;
}

TEST(MessageTally, ShowsEachDistinctMessageOnceWithItsCountAfterTheRun)
{
    test::ScriptedUserInterface ui;
    {
        MessageTally tally(ui);
        for (int k = 0; k < 1000; ++k)
            FTailProb(2.5, 1, 0, &tally); // two BETAI reports each
        betacf(1e6, 1e6, 0.5, &tally);
        EXPECT_TRUE(ui.messages.empty()); // nothing during the run
        tally.flush();
        ASSERT_EQ(ui.messages.size(), 2u);
        EXPECT_EQ(ui.messages[0].text, "ERROR! Problem in routine BETAI (occurred 2000 times)");
        EXPECT_EQ(ui.messages[0].kind, UserInterface::MessageKind::Warning) << "the run goes on: a warning box";
        EXPECT_EQ(ui.messages[1].text, "WARNING! a or b too big, or itmax too small in betacf");
        BETAI(1, 1, 0, &tally);
    }
    // What was collected after the last flush is shown when the tally goes.
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[2].text, "ERROR! Problem in routine BETAI");
}

TEST(LnIncompleteBeta, StaysFiniteWhereTheValueUnderflows)
{
    // ln I_x(a, b) from mpmath (50 digits).
    struct Case { double a, b, x, expected; };
    const Case cases[] = {
        {1000, 0.5, 0.19, -1664.6523310209282}, {250, 0.5, 0.01, -1154.6211368511454},
        {5000, 0.5, 0.5, -3470.2204157031117},  {20, 0.5, 0.3, -25.987567558369833},
        {3, 0.5, 0.999, -0.061081239911304351},
    };
    for (const Case &c : cases)
        EXPECT_LT(relativeError(LnIncompleteBeta(c.a, c.b, c.x), c.expected), 1e-13) << c.a << " " << c.x;
    for (double x : {0.001, 0.2, 0.6, 0.97})
        EXPECT_NEAR(LnIncompleteBeta(7, 2.5, x), std::log(IncompleteBeta(7, 2.5, x)), 1e-12) << x;
    EXPECT_EQ(LnIncompleteBeta(2, 3, 1), 0.0);
    EXPECT_TRUE(std::isinf(LnIncompleteBeta(2, 3, 0)));
}

TEST(LnGammaLanczos, ApproximatesTheLogGamma)
{
    for (double x : {0.3, 1.0, 2.5, 10.0, 150.0})
        EXPECT_NEAR(static_cast<double>(LnGammaLanczos(x)), std::lgamma(x), 1e-9) << x;
}

TEST(BETAI, AgreesWithTheAccurateFamilyAndReportsTheEnds)
{
    test::ScriptedUserInterface ui;
    EXPECT_NEAR(static_cast<double>(BETAI(2, 3, 0.5, &ui)), 0.6875, 1e-7);
    EXPECT_NEAR(static_cast<double>(BETAI(7, 2, 0.9, &ui)), IncompleteBeta(7, 2, 0.9), 1e-7);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(BETAI(2, 3, 0, &ui), 0.5L);
    EXPECT_EQ(BETAI(2, 3, 1, &ui), 0.5L);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "ERROR! Problem in routine BETAI");
    EXPECT_EQ(ui.messages[0].kind, UserInterface::MessageKind::Warning) << "goes on with 0.5: a warning box";
}

TEST(Betacf, ReportsWhenItDoesNotConverge)
{
    test::ScriptedUserInterface ui;
    betacf(1e6, 1e6, 0.5, &ui);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "WARNING! a or b too big, or itmax too small in betacf");
    EXPECT_EQ(ui.messages[0].kind, UserInterface::MessageKind::Warning);
}

TEST(FTailProb, KnownValues)
{
    test::ScriptedUserInterface ui;
    EXPECT_EQ(FTailProb(0, 3, 10, &ui), 1.0);
    EXPECT_NEAR(FTailProb(4.964603, 1, 10, &ui), 0.05, 1e-6);  // R: qf(0.95, 1, 10)
    EXPECT_NEAR(FTailProb(3.0, 2, 2, &ui), 0.25, 1e-7);        // F(2, 2): 1 / (1 + F)
    EXPECT_NEAR(FTailProb(2.866081, 4, 20, &ui), 0.05, 1e-6);  // R: qf(0.95, 4, 20)
    EXPECT_NEAR(TTailProb(2.228139, 10, &ui), 0.05, 1e-6);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(FTailProb, UpperTailAccurateFarIntoTheTail)
{
    // The upper tail of F(df1, df2) is I_x(df2/2, df1/2) at x = df2 / (df2 + df1 F) (what R's
    // pf(F, df1, df2, lower.tail = FALSE) gives); the references were computed once with mpmath
    // (60 digits, betainc regularized). The first row is a strong marker of a real data set,
    // whose p was 0 when the tail was taken as one minus the lower tail.
    struct Case { double df1, df2, F, p; };
    const Case cases[] = {
        {1, 155, 196.4, 2.4061217118481549e-29},
        {1, 1, 0.025085630936916587, 0.90000000000000002},
        {1, 5, 1292175625728.1309, 1.0000000000000001e-29},
        {1, 1000, 2953.029287175242, 1.0000000000000417e-300},
        {2, 155, 575719.5618386085, 9.9999999999999647e-301},
        {2, 30000, 1.204021123969169, 0.29999999999999998},
        {3, 20, 7.598546651947424e+30, 1.0000000000000006e-300},
        {5, 5000, 4.11019494013796, 0.0010000000000000003},
        {10, 1000, 2.9909384417529186, 0.0010000000000000002},
        {40, 5000, 6.033787017626264, 1.0000000000000053e-29},
        {80, 155, 3.2999631878436815, 9.999999999999998e-11},
        {80, 30000, 15.379221431860001, 9.9999999999999161e-201},
        {3, 60, 1e6, 6.7145960051520321e-141},
        {2, 30000, 706.928, 1.0002108497262421e-300},
        {7, 93, 12.5, 3.4163474118930126e-11},
    };
    test::ScriptedUserInterface ui;
    for (const Case &c : cases) {
        EXPECT_LT(relativeError(FTailProb(c.F, c.df1, c.df2, &ui), c.p), 1e-10) << c.df1 << " " << c.df2 << " " << c.F;
        EXPECT_NEAR(FTailLnProb(c.F, c.df1, c.df2), std::log(c.p), 1e-10) << c.df1 << " " << c.df2 << " " << c.F;
    }
    // The two-tailed t is the F tail of t^2 with one degree of freedom.
    EXPECT_LT(relativeError(TTailProb(std::sqrt(196.4), 155, &ui), 2.4061217118481549e-29), 1e-10);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(FTailLnProb, FiniteWherePUnderflows)
{
    // ln of the upper tail, mpmath as above.
    struct Case { double df1, df2, F, lnP; };
    const Case cases[] = {
        {2, 1000, 2000, -804.71895621705019},
        {1, 155, 1e9, -1217.9367845412332},
        {1, 300, 1e5, -874.89780299487704},
        {12, 2000, 800, -1729.0368293736205},
        {6, 400, 3000, -755.85359056983998},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(FTailProb(c.F, c.df1, c.df2), 0.0) << "below the smallest double";
        EXPECT_LT(relativeError(FTailLnProb(c.F, c.df1, c.df2), c.lnP), 1e-12) << c.df1 << " " << c.df2 << " " << c.F;
    }
    EXPECT_EQ(FTailLnProb(0.0, 2, 10), 0.0);
}

TEST(FTailProb, ZeroDegreesOfFreedomReportTwiceAndGiveOneHalf)
{
    test::ScriptedUserInterface ui;
    EXPECT_EQ(FTailProb(2.5, 1, 0, &ui), 0.5);
    EXPECT_EQ(ui.messages.size(), 2u);
}

TEST(ChiSquareCdf, KnownValuesAndFixedEnds)
{
    EXPECT_NEAR(ChiSquareCdf(3.841459, 1), 0.95, 1e-5);  // R: qchisq(0.95, 1)
    EXPECT_NEAR(ChiSquareCdf(5.991465, 2), 0.95, 1e-5);  // R: qchisq(0.95, 2)
    EXPECT_NEAR(ChiSquareCdf(11.344867, 3), 0.99, 1e-5); // R: qchisq(0.99, 3)
    EXPECT_NEAR(ChiSquareCdf(18.307038, 10), 0.95, 1e-5);
    EXPECT_NEAR(ChiSquareCdf(124.342113, 100), 0.95, 1e-5); // R: qchisq(0.95, 100)
    for (double x : {0.5, 2.0, 7.0, 100.0})
        EXPECT_NEAR(ChiSquareCdf(x, 2), 1 - std::exp(-x / 2), 1e-5) << x;
    for (int k : {1, 2, 5, 40}) {
        EXPECT_EQ(ChiSquareCdf(0.005, k), 0.0001);
        EXPECT_EQ(ChiSquareCdf(2000, k), 0.999);
    }
}

} // namespace
} // namespace rvk
