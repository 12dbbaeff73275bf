#include "genetics/traitdistance.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

// Three traits (rows) of four individuals (columns), one value missing.
TraitTable traitTable()
{
    return TraitTable::fromColumns({{"", "yield", "height", "oil"},
                                    {"P1", "1.00", "10.00", "3.00"},
                                    {"P2", "4.00", "14.00", ""},
                                    {"P3", "1.00", "10.00", "3.00"},
                                    {"P4", "", "", ""}},
                                   4);
}

TEST(TraitDistances, BetweenIndividualsOverTheTickedTraits)
{
    const TraitDistanceOutcome outcome = computeTraitDistances(traitTable(), {true, true, true}, TraitDistanceEntries::Genotypes);
    ASSERT_TRUE(outcome.error.empty());
    const DistanceMatrix &m = outcome.matrix;
    EXPECT_EQ(m.labels(), (std::vector<std::string>{"P1", "P2", "P3", "P4"}));
    // P1-P2: sqrt(3^2 + 4^2) = 5, oil skipped where P2 has none; identical P1-P3; P4 has nothing.
    EXPECT_EQ(m.cellText(1, 2), "5.0");
    EXPECT_EQ(m.cellText(1, 3), "0.0");
    EXPECT_EQ(m.cellText(2, 3), "5.0");
    EXPECT_EQ(m.cellText(1, 4), "0.0");
    // Only "height" ticked: 4.
    EXPECT_EQ(computeTraitDistances(traitTable(), {false, true}, TraitDistanceEntries::Genotypes).matrix.cellText(1, 2), "4.0");
}

TEST(TraitDistances, BetweenTheTickedTraitsOnly)
{
    // Three traits with the second unticked: a matrix of the first and third.
    const TraitDistanceOutcome outcome = computeTraitDistances(traitTable(), {true, false, true}, TraitDistanceEntries::Traits);
    ASSERT_TRUE(outcome.error.empty());
    EXPECT_EQ(outcome.matrix.labels(), (std::vector<std::string>{"yield", "oil"}));
    // yield-oil over P1 and P3 (P2 and P4 lack a value): sqrt(2^2 + 2^2) = 2.83 -> "2.8".
    EXPECT_EQ(outcome.matrix.cellText(1, 2), "2.8");
}

TEST(TraitDistances, ACellThatIsNoNumberStopsWithTheMatrixFilledSoFar)
{
    TraitTable table = traitTable();
    table.setCell(3, 1, "n/a"); // P3's yield
    const TraitDistanceOutcome outcome = computeTraitDistances(table, {true, true, true}, TraitDistanceEntries::Genotypes);
    EXPECT_EQ(outcome.error, "'n/a' is not a valid floating point value");
    EXPECT_EQ(outcome.matrix.cellText(1, 2), "5.0"); // computed before the bad cell was met
    EXPECT_EQ(outcome.matrix.cellText(1, 3), "");
}

TEST(TraitDistances, ATextBesideAnEmptyCellIsSkippedLikeAnyPairWithAnEmptyCell)
{
    // P3's only value is the text "n/a" (oil), and every cell it pairs with is empty: those
    // pairs are skipped before anything is converted, so both runs complete.
    const TraitTable table = TraitTable::fromColumns(
        {{"", "yield", "height", "oil"}, {"P1", "1.00", "10.00", ""}, {"P2", "4.00", "14.00", ""}, {"P3", "", "", "n/a"}}, 4);
    const TraitDistanceOutcome genotypes = computeTraitDistances(table, {true, true, true}, TraitDistanceEntries::Genotypes);
    EXPECT_EQ(genotypes.error, "");
    EXPECT_EQ(genotypes.matrix.cellText(1, 2), "5.0"); // P1-P2: sqrt(3^2 + 4^2)
    EXPECT_EQ(genotypes.matrix.cellText(1, 3), "0.0");
    EXPECT_EQ(genotypes.matrix.cellText(2, 3), "0.0");
    const TraitDistanceOutcome traits = computeTraitDistances(table, {true, true, true}, TraitDistanceEntries::Traits);
    EXPECT_EQ(traits.error, "");
    EXPECT_EQ(traits.matrix.cellText(1, 2), "13.5"); // yield-height over P1, P2: sqrt(9^2 + 10^2) = 13.45
    EXPECT_EQ(traits.matrix.cellText(1, 3), "0.0");
    EXPECT_EQ(traits.matrix.cellText(2, 3), "0.0");
}

} // namespace
} // namespace rvk
