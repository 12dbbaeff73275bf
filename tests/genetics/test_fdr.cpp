#include "genetics/fdr.h"

#include <gtest/gtest.h>

#include <vector>

namespace rvk {
namespace {

TEST(FdrAdjust, WorkedExampleGivesTheThresholdAndMonotoneQValues)
{
    // Ranks 1..3 pass stage 1 (0.01 < 0.0125, 0.02 < 0.025, 0.03 < 0.0375), m0 = 1,
    // L2 = 0.05 / 1.05 * 4 = 0.1905; q = m0 p(i) / i made monotone.
    const FdrResult result = FdrAdjust({0.01, 0.02, 0.03, 0.5}, 0.05);
    EXPECT_EQ(result.r1, 3u);
    EXPECT_EQ(result.m0, 1u);
    EXPECT_NEAR(result.L2, 0.05 / 1.05 * 4, 1e-15);
    EXPECT_EQ(result.PThreshold, 0.03);
    const std::vector<double> expected = {0.01, 0.01, 0.01, 0.125};
    ASSERT_EQ(result.q.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_DOUBLE_EQ(result.q[i], expected[i]) << i;
}

TEST(FdrAdjust, QValuesReturnToTheirInputPositions)
{
    const FdrResult result = FdrAdjust({0.5, 0.01, 0.03, 0.02}, 0.05);
    const std::vector<double> expected = {0.125, 0.01, 0.01, 0.01};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_DOUBLE_EQ(result.q[i], expected[i]) << i;
    EXPECT_EQ(result.PThreshold, 0.03);
}

TEST(FdrAdjust, NoRankPassingStageOneKeepsAllOfM)
{
    const FdrResult result = FdrAdjust({0.5, 0.6, 0.7}, 0.05);
    EXPECT_EQ(result.r1, 0u);
    EXPECT_EQ(result.m0, 3u);
    EXPECT_NEAR(result.L2, 0.05 / 1.05, 1e-15);
    EXPECT_EQ(result.PThreshold, 0.0);
    // v = 3 p(i) / i = (1.5, 0.9, 0.7), the last capped at 1, then monotone from the top.
    for (double q : result.q)
        EXPECT_DOUBLE_EQ(q, 0.7);
}

TEST(FdrAdjust, EveryRankPassingStageOneGivesZeroQValues)
{
    const FdrResult result = FdrAdjust({0.002, 0.001}, 0.05);
    EXPECT_EQ(result.m0, 0u);
    EXPECT_NEAR(result.L2, 0.05 / 1.05, 1e-15);
    EXPECT_EQ(result.q, (std::vector<double>{0.0, 0.0}));
    EXPECT_EQ(result.PThreshold, 0.002);
}

TEST(FdrAdjust, StageOneCountsPassingRanksOnly)
{
    // Ranks 1 and 2 fail (0.02 >= 0.0125, 0.03 >= 0.025), ranks 3 and 4 pass: r1 = 2, where a
    // step-up count (every rank up to the last passing one) would give 4.
    const FdrResult result = FdrAdjust({0.02, 0.03, 0.035, 0.049}, 0.05);
    EXPECT_EQ(result.r1, 2u);
    EXPECT_EQ(result.m0, 2u);
    // L2 = 0.05 / 1.05 * 4 / 2 = 0.0952; every p(i) lies below L2 i / 4 (0.0238, 0.0476, 0.0714,
    // 0.0952), so the threshold is the largest, 0.049.
    EXPECT_EQ(result.PThreshold, 0.049);
}

TEST(FdrAdjust, EmptyListAndTheSortedVariantAgree)
{
    const FdrResult empty = FdrAdjust({}, 0.05);
    EXPECT_TRUE(empty.q.empty());
    EXPECT_EQ(empty.PThreshold, 0.0);
    const std::vector<double> sorted = {0.01, 0.02, 0.03, 0.5};
    const FdrResult fromSorted = FdrThresholdOfSorted(sorted.data(), sorted.size(), 0.05);
    EXPECT_EQ(fromSorted.PThreshold, 0.03);
    EXPECT_EQ(fromSorted.m0, 1u);
}

TEST(FdrLevel, TakesANumberStrictlyBetweenZeroAndOne)
{
    struct Case { const char *text; double level; };
    const Case cases[] = {{"0.1", 0.1}, {" 0.01 ", 0.01}, {"abc", 0.05}, {"0", 0.05}, {"1", 0.05},
                          {"-0.2", 0.05}, {"0,1", 0.05}, {"", 0.05}, {"5e-3", 0.005}};
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(FdrLevel(c.text), c.level) << c.text;
}

} // namespace
} // namespace rvk
