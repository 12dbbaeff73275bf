#include "stats/markerstatistics.h"

#include "stats/statsfixture.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

using test::GroupRows;
using test::makeStatsData;
using test::tableFor;

// One locus whose individuals carry the codes of text, in order.
GenotypeData oneLocus(const std::string &codes, const std::string &popt = "f2")
{
    std::vector<std::string> individuals;
    const size_t width = popt == "cp" ? 2 : 1;
    for (size_t i = 0; i < codes.size(); i += width)
        individuals.push_back(codes.substr(i, width));
    return makeStatsData({{{0.0}, individuals}}, popt);
}

int usedIndex(const MarkerStatistics &s, char code)
{
    for (size_t i = 0; i < s.usedCodes().size(); ++i)
        if (s.usedCodes()[i] == code)
            return static_cast<int>(i);
    return -1;
}

TEST(MarkerStatistics, CountsSharesMajorAlleleAndDiversity)
{
    const GenotypeData data = oneLocus("AABABABBuB");
    const MarkerStatistics s = computeMarkerStatistics(data, tableFor(data));
    ASSERT_EQ(s.rowCount(), 1);
    EXPECT_EQ(s.usedCodes(), (std::vector<char>{'A', 'B', 'u'}));
    EXPECT_EQ(s.count(0, 0), 4);
    EXPECT_EQ(s.count(0, 1), 5);
    EXPECT_EQ(s.count(0, 2), 1);
    EXPECT_DOUBLE_EQ(s.share(0, 0), 40.0);
    EXPECT_DOUBLE_EQ(s.share(0, 1), 50.0);
    EXPECT_DOUBLE_EQ(s.share(0, 2), 10.0);
    EXPECT_EQ(s.typed(0), 9);
    EXPECT_EQ(s.majorAllele(0), 'B');
    EXPECT_DOUBLE_EQ(s.majorShare(0), 50.0);
    EXPECT_DOUBLE_EQ(s.diversity(), 9.0 / 4 + 9.0 / 5);
    EXPECT_EQ(s.diversityText(), "4.05");
}

TEST(MarkerStatistics, OnlyLowerCaseUIsLeftOutOfTheDiversity)
{
    // 'U' is an ordinary code here: it counts in n and adds n / count('U'); only 'u' is left out.
    const GenotypeData data = oneLocus("AABUuU");
    const MarkerStatistics s = computeMarkerStatistics(data, tableFor(data));
    EXPECT_EQ(s.typed(0), 5);
    EXPECT_DOUBLE_EQ(s.diversity(), 5.0 / 2 + 5.0 / 1 + 5.0 / 2);
    EXPECT_EQ(s.diversityText(), "10.00");
}

TEST(MarkerStatistics, FilteringCountsTheSelectedButSharesStayOfEveryone)
{
    GenotypeData data = oneLocus("AAAAABBBBB");
    data.Ticked = {1, 0, 1, 0, 1, 0, 1, 0, 1, 0};
    data.Selectionyesno = true;
    const MarkerStatistics s = computeMarkerStatistics(data, tableFor(data));
    EXPECT_TRUE(s.selectionFiltered());
    EXPECT_EQ(s.count(0, usedIndex(s, 'A')), 3);
    EXPECT_EQ(s.count(0, usedIndex(s, 'B')), 2);
    EXPECT_DOUBLE_EQ(s.share(0, usedIndex(s, 'A')), 30.0);
    EXPECT_EQ(s.typed(0), 5);
    data.Selectionyesno = false;
    EXPECT_EQ(computeMarkerStatistics(data, tableFor(data)).count(0, 0), 5);
}

TEST(MarkerStatistics, MajorAlleleIsTheFirstUsedCodeWithTheLargestCount)
{
    struct Case { std::string codes; std::string used; char major; double share; };
    const Case cases[] = {
        {"BBBAAA", "AB", 'A', 50.0},  // a tie goes to the code earlier in table order
        {"BBBAAH", "ABH", 'B', 50.0},
        {"HHHHAB", "AB", 'A', 100.0 / 6}, // H is more frequent but not in use
        {"uuuu", "AB", 'U', 0.0},     // no used code occurs
        {"uuuu", "u", 'u', 100.0},
    };
    for (const Case &c : cases) {
        const GenotypeData data = oneLocus(c.codes);
        AlleleTable table;
        for (char code : c.used)
            table.markUsed(code);
        const MarkerStatistics s = computeMarkerStatistics(data, table);
        EXPECT_EQ(s.majorAllele(0), c.major) << c.codes << " " << c.used;
        EXPECT_DOUBLE_EQ(s.majorShare(0), c.share) << c.codes << " " << c.used;
    }
}

TEST(MarkerStatistics, F2LociAreTestedForOneTwoOneSegregation)
{
    struct Case { int a, h, b, other; std::string popt; double chiSquare; bool star; };
    const Case cases[] = {
        {25, 50, 25, 0, "f2", 0.0, false},
        {50, 0, 50, 0, "f2", 100.0, true},
        {30, 50, 20, 0, "f2", 2.0, false},  // 1 + 0 + 1
        {32, 44, 24, 0, "f2", 49.0 / 25 + 36.0 / 50 + 1.0 / 25, false}, // 2.72
        {35, 45, 20, 0, "f2", 100.0 / 25 + 25.0 / 50 + 25.0 / 25, true}, // 5.5
        {25, 50, 25, 20, "f2", 5.0 * 5 / 30 + 100.0 / 60 + 25.0 / 30, false}, // '-' counts in m but in no class
        {50, 0, 50, 0, "dh", 100.0, false}, // only F2 data get the star
    };
    for (const Case &c : cases) {
        const std::string codes = std::string(static_cast<size_t>(c.a), 'A') + std::string(static_cast<size_t>(c.h), 'H') +
                                  std::string(static_cast<size_t>(c.b), 'B') + std::string(static_cast<size_t>(c.other), '-') + "uuUU";
        const GenotypeData data = oneLocus(codes, c.popt);
        const MarkerStatistics s = computeMarkerStatistics(data, tableFor(data));
        if (c.popt == "f2") {
            EXPECT_NEAR(s.chiSquare(0), c.chiSquare, 1e-12) << c.a << " " << c.h << " " << c.b;
        }
        EXPECT_EQ(s.distorted(0), c.star) << c.a << " " << c.h << " " << c.b;
        EXPECT_EQ(s.gridCell(0, s.gridColumnCount() - 1), c.star ? " * " : "");
    }
    EXPECT_NEAR(segregationProbability(5.991465), 0.05, 1e-5);
    EXPECT_EQ(segregationProbability(0.0), 1.0);
}

TEST(MarkerStatistics, SegregationTestUsesTheCountedIndividualsOnly)
{
    // Everybody: 50 A, 50 H. The selected half holds 25 A, 25 H... and the expected numbers must
    // come from those 50, not from all 100.
    GenotypeData data = oneLocus(std::string(50, 'A') + std::string(50, 'H'));
    data.Ticked.assign(100, 0);
    for (int i = 0; i < 100; i += 2)
        data.Ticked[static_cast<size_t>(i)] = 1;
    data.Selectionyesno = true;
    const MarkerStatistics s = computeMarkerStatistics(data, tableFor(data));
    // m = 50: e = 12.5, 25, 12.5; X^2 = 12.5 + 0 + 12.5.
    EXPECT_DOUBLE_EQ(s.chiSquare(0), 25.0);
}

TEST(MarkerStatistics, CrossPollinatorsCountBothCharacters)
{
    const GenotypeData data = oneLocus("ACADBCBD", "cp");
    const MarkerStatistics s = computeMarkerStatistics(data, tableFor(data));
    EXPECT_EQ(s.usedCodes(), (std::vector<char>{'A', 'B', 'C', 'D'}));
    EXPECT_EQ(s.count(0, 0), 2);
    EXPECT_EQ(s.count(0, 3), 2);
    EXPECT_DOUBLE_EQ(s.share(0, 0), 25.0);
    EXPECT_EQ(s.typed(0), 8);
    EXPECT_EQ(s.majorAllele(0), 'A');
}

GenotypeData twoGroups()
{
    return makeStatsData({{{0, 12.34}, {"AB", "AH", "BB", "AU"}}, {{5}, {"H", "H", "A", "H"}}});
}

TEST(MarkerStatistics, GridHeaderAndRows)
{
    const GenotypeData data = twoGroups();
    const MarkerStatistics s = computeMarkerStatistics(data, tableFor(data));
    EXPECT_EQ(s.gridColumnCount(), 6 + 2 * 4);
    EXPECT_EQ(s.gridHeader(), (std::vector<std::string>{"locus", "grp", "pos", "", "A", "B", "H", "U", "", "A (%)", "B (%)",
                                                       "H (%)", "U (%)", ""}));
    const auto grid = s.spreadsheetGrid();
    ASSERT_EQ(grid.size(), 4u);
    EXPECT_EQ(grid[1], (std::vector<std::string>{"m1_1", "1", "0.0", "", "3", "1", "0", "0", "", "75.0", "25.0", "0.0", "0.0", " * "}));
    // X^2 = 0.75 + 0.17 + 2.08 over the three typed individuals: no star.
    EXPECT_EQ(grid[2], (std::vector<std::string>{"m1_2", "1", "12.3", "", "0", "2", "1", "1", "", "0.0", "50.0", "25.0", "25.0", ""}));
    EXPECT_EQ(grid[3][1], "2");
    EXPECT_EQ(grid[3][2], "5.0");
}

TEST(MarkerStatistics, SaveWritesTheTreeIndentedByLevel)
{
    const GenotypeData data = makeStatsData({{{0, 2.25}, {"AB", "AA"}}});
    const MarkerStatistics s = computeMarkerStatistics(data, tableFor(data));
    EXPECT_EQ(s.reportText(),
              "All Groups\r\n"
              "\t1: \"chr1\"\r\n"
              "\t\t\"m1_1\" 0.0\r\n"
              "\t\t\tA: 2 (100.0%)\r\n"
              "\t\t\tB: 0 (0.0%)\r\n"
              "\t\t\"m1_2\" 2.2\r\n"
              "\t\t\tA: 1 (50.0%)\r\n"
              "\t\t\tB: 1 (50.0%)\r\n");
    EXPECT_EQ(markerStatisticsReport(data, tableFor(data)), s.reportText());
}

TEST(MarkerStatistics, PieSlicesReadTheAlleleLines)
{
    const GenotypeData data = oneLocus("AAABBBBBBH");
    const MarkerStatistics s = computeMarkerStatistics(data, tableFor(data));
    const std::vector<PieSlice> slices = s.pieSlices(0);
    ASSERT_EQ(slices.size(), 3u);
    EXPECT_EQ(slices[1].code, 'B');
    EXPECT_DOUBLE_EQ(slices[1].percent, 60.0);
    EXPECT_EQ(slices[1].label, "B: 6 (60.0%)");
    EXPECT_DOUBLE_EQ(slices[2].percent, 10.0);
    // Shares are read back rounded as shown: 1 of 3 is 33.3.
    const GenotypeData thirds = oneLocus("ABH");
    EXPECT_DOUBLE_EQ(computeMarkerStatistics(thirds, tableFor(thirds)).pieSlices(0)[0].percent, 33.3);
}

TEST(MarkerStatistics, MajorAllelesGoIntoTheLociAndTheConsensus)
{
    GenotypeData data = twoGroups();
    const MarkerStatistics s = refreshMajorAlleles(data, tableFor(data));
    EXPECT_EQ(data.GroupLoci(0)[0].MajorAllele, 'A');
    EXPECT_DOUBLE_EQ(data.GroupLoci(0)[0].MajorAlleleShare, 0.75);
    EXPECT_EQ(data.GroupLoci(0)[1].MajorAllele, 'B');
    EXPECT_DOUBLE_EQ(data.GroupLoci(0)[1].MajorAlleleShare, 0.5);
    EXPECT_EQ(data.GroupLoci(1)[0].MajorAllele, 'H');

    const std::vector<LinkageGroup> &consensus = s.consensusGroups();
    ASSERT_EQ(consensus.size(), 2u);
    ASSERT_EQ(consensus[0].Loci.size(), 2u);
    const Tlocinfo &locus = consensus[0].Loci[1];
    EXPECT_EQ(locus.Name, "m1_2");
    EXPECT_DOUBLE_EQ(locus.Position, 12.34);
    EXPECT_EQ(locus.Genotypes, "B");
    EXPECT_EQ(locus.QtlStart, 0.0);
    EXPECT_DOUBLE_EQ(locus.QtlEnd, 50.0);
    EXPECT_EQ(consensus[1].Name, "chr2");
}

TEST(MarkerStatistics, NothingLoadedGivesNoRows)
{
    GenotypeData data;
    const MarkerStatistics s = computeMarkerStatistics(data, AlleleTable());
    EXPECT_EQ(s.rowCount(), 0);
    EXPECT_EQ(s.reportText(), "All Groups\r\n");
    EXPECT_EQ(s.diversityText(), "0.00");
}

} // namespace
} // namespace rvk
