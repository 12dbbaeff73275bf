#include "stats/globalstatistics.h"

#include "settings/generaloptions.h"
#include "stats/statsfixture.h"

#include <gtest/gtest.h>

#include <array>

namespace rvk {
namespace {

using test::GroupRows;
using test::makeStatsData;
using test::tableFor;

GlobalStatistics statisticsOf(const GenotypeData &data, const std::string &hetfragment = "H")
{
    GeneralOptions options;
    options.hetfragment = hetfragment;
    return computeGlobalStatistics(data, tableFor(data), options);
}

int columnOf(const GlobalStatistics &s, const std::string &caption)
{
    for (int c = 0; c < s.columnCount(); ++c)
        if (s.columnCaptions()[static_cast<size_t>(c)] == caption)
            return c;
    return -1;
}

TEST(GlobalStatistics, SplitsEachIntervalBetweenItsFlankingMarkers)
{
    const GenotypeData data = makeStatsData({{{0, 10, 30}, {"ABB"}}});
    const GlobalStatistics s = statisticsOf(data);
    ASSERT_EQ(s.rowCount(), 1);
    EXPECT_EQ(s.columnCaptions(), (std::vector<std::string>{"ind", "Alias", "A (%)", "B (%)", "Total (cM)", "Recombin", "H-segments"}));
    EXPECT_DOUBLE_EQ(s.alleleLength(0, 0), 5.0);
    EXPECT_DOUBLE_EQ(s.alleleLength(0, 1), 25.0);
    EXPECT_DOUBLE_EQ(s.totalLength(0), 30.0);
    EXPECT_EQ(s.recombinations(0), 1);
    const std::vector<std::string> cells = {"1", "ind1", "16.7", "83.3", "30.0", "1", "0"};
    for (int c = 0; c < s.columnCount(); ++c)
        EXPECT_EQ(s.cell(0, c), cells[static_cast<size_t>(c)]) << c;
    EXPECT_EQ(s.caption(), "chr1");
}

TEST(GlobalStatistics, CountsOnlyChangesBetweenKnownAllelesAsRecombinations)
{
    struct Case { std::string codes; int recombinations; };
    const Case cases[] = {
        {"AB", 1}, {"AUB", 0}, {"AU", 0}, {"A-", 1}, {"A-B", 2}, {"AaA", 2}, // case matters
        {"uA", 1},                                                            // only 'U' is unknown here
        {"AAAA", 0}, {"ABAB", 3},
    };
    for (const Case &c : cases) {
        std::vector<double> positions;
        for (size_t k = 0; k < c.codes.size(); ++k)
            positions.push_back(10.0 * static_cast<double>(k));
        const GlobalStatistics s = statisticsOf(makeStatsData({{positions, {c.codes}}}));
        EXPECT_EQ(s.recombinations(0), c.recombinations) << c.codes;
    }
}

TEST(GlobalStatistics, CountsFragmentSegmentsOverAllGroupsTogether)
{
    struct Case { std::vector<std::string> groups; int boundaries; std::string shown; };
    const Case cases[] = {
        {{"AHHA"}, 2, "1"},
        {{"HHA"}, 1, "1"},
        {{"HHH"}, 0, "0"},
        {{"AHAHA"}, 4, "2"},
        // One boundary in each group: two together make one segment, not two halves rounded up.
        {{"AH", "HA"}, 2, "1"},
        {{"AH", "HA", "AH"}, 3, "2"},
    };
    for (const Case &c : cases) {
        std::vector<GroupRows> groups;
        for (const std::string &codes : c.groups) {
            GroupRows group;
            for (size_t k = 0; k < codes.size(); ++k)
                group.positions.push_back(5.0 * static_cast<double>(k));
            group.individuals = {codes};
            groups.push_back(group);
        }
        const GlobalStatistics s = statisticsOf(makeStatsData(groups));
        EXPECT_EQ(s.segmentBoundaries(0), c.boundaries) << c.groups.front();
        EXPECT_EQ(s.cell(0, s.columnCount() - 1), c.shown) << c.groups.front();
    }
}

TEST(GlobalStatistics, FragmentAlleleComesFromTheGeneralOption)
{
    const GenotypeData data = makeStatsData({{{0, 10, 20}, {"ACA"}}});
    const GlobalStatistics withC = statisticsOf(data, "Cxyz");
    EXPECT_EQ(withC.columnCaptions().back(), "C-segments");
    EXPECT_EQ(withC.segmentBoundaries(0), 2);
    // An empty option falls back to the heterozygote code.
    const GlobalStatistics empty = statisticsOf(data, "");
    EXPECT_EQ(empty.columnCaptions().back(), "H-segments");
    EXPECT_EQ(empty.segmentBoundaries(0), 0);
}

TEST(GlobalStatistics, ReportsSingleMarkersThatDifferFromBothNeighbours)
{
    struct Case { std::string codes; int singletons; };
    const Case cases[] = {
        {"ABA", 1}, {"AUA", 0}, {"AuA", 0}, {"A.A", 0}, {"A-A", 1}, {"ABB", 0},
        {"ABAB", 2}, {"AaA", 1}, {"AB", 0},
    };
    for (const Case &c : cases) {
        std::vector<double> positions;
        for (size_t k = 0; k < c.codes.size(); ++k)
            positions.push_back(10.0 * static_cast<double>(k));
        const GlobalStatistics s = statisticsOf(makeStatsData({{positions, {c.codes}}}));
        EXPECT_EQ(s.singletonCount(), c.singletons) << c.codes;
    }
    // A singleton needs both neighbours in the same group.
    const GlobalStatistics split = statisticsOf(makeStatsData({{{0, 10}, {"AB"}}, {{0, 10}, {"AB"}}}));
    EXPECT_EQ(split.singletonCount(), 0);
}

TEST(GlobalStatistics, ListsSingletonsIndividualByIndividualThenGroupThenLocus)
{
    const GenotypeData data = makeStatsData({{{0, 12.34, 20, 30}, {"AAAA", "ABAB"}}, {{0, 5, 10}, {"BAB", "AAA"}}});
    const GlobalStatistics s = statisticsOf(data);
    EXPECT_EQ(s.singletonLines(), (std::vector<std::string>{
                                      "Ind. 1 [ind1]  at <Group 2 m2_2; 5.0>  B -> A -> B",
                                      "Ind. 2 [ind2]  at <Group 1 m1_2; 12.3>  A -> B -> A",
                                      "Ind. 2 [ind2]  at <Group 1 m1_3; 20.0>  B -> A -> B",
                                  }));
}

TEST(GlobalStatistics, CrossPollinatorSingletonsCompareCharacterPairsIgnoringCase)
{
    struct Case { std::string codes; int singletons; };
    const Case cases[] = {
        {"ACBDAC", 1}, {"ACbdac", 1}, {"ACUUAC", 0}, {"ACuuAC", 0}, {"AC..AC", 0}, {"AC--AC", 0},
        {"ACacAC", 0}, {"ACBDAD", 0}, {"ACUCAC", 1},
    };
    for (const Case &c : cases) {
        const GlobalStatistics s = statisticsOf(makeStatsData({{{0, 10, 20}, {c.codes}}}, "cp"));
        EXPECT_EQ(s.singletonCount(), c.singletons) << c.codes;
    }
    const GlobalStatistics s = statisticsOf(makeStatsData({{{0, 10, 20}, {"ACACAC", "ACBDAC"}}}, "cp"));
    ASSERT_EQ(s.singletonCount(), 1);
    EXPECT_EQ(s.singletonLines().front(), "Ind. 2 [ind2]  at <Group 1 m1_2; 10.0>  AC -> BD -> AC");
}

TEST(GlobalStatistics, CrossPollinatorsAreSummarisedOverTheirTwoHaplotypes)
{
    // Haplotypes A A B and C D D: each carries half of the 20 cM.
    const GlobalStatistics s = statisticsOf(makeStatsData({{{0, 10, 20}, {"ACADBD", "ACACAC"}}}, "cp"));
    ASSERT_EQ(s.rowCount(), 2);
    EXPECT_EQ(s.usedCodes(), (std::vector<char>{'A', 'B', 'C', 'D'}));
    EXPECT_DOUBLE_EQ(s.totalLength(0), 20.0);
    EXPECT_DOUBLE_EQ(s.alleleLength(0, 0), 7.5);  // A: 2.5 + 2.5 + 2.5
    EXPECT_DOUBLE_EQ(s.alleleLength(0, 1), 2.5);  // B
    EXPECT_DOUBLE_EQ(s.alleleLength(0, 2), 2.5);  // C
    EXPECT_DOUBLE_EQ(s.alleleLength(0, 3), 7.5);  // D
    EXPECT_EQ(s.recombinations(0), 2);
    EXPECT_EQ(s.recombinations(1), 0);
    EXPECT_DOUBLE_EQ(s.totalLength(1), 20.0);
}

TEST(GlobalStatistics, SaveWritesTheTableAndTheTextArea)
{
    const GenotypeData data = makeStatsData({{{0, 10, 30}, {"ABB", "AHA"}}});
    const std::string expected =
        "Statistics on individuals\r\n"
        "ind\tAlias\tA (%)\tB (%)\tH (%)\tTotal (cM)\tRecombin\tH-segments\t\r\n"
        "1\tind1\t16.7\t83.3\t 0.0\t30.0\t1\t0\r\n"
        "2\tind2\t50.0\t 0.0\t50.0\t30.0\t2\t1\r\n"
        "\r\n"
        " \r\n"
        "average A:  10.0 cM; 33.3 %\r\n"
        "average B:  12.5 cM; 41.7 %\r\n"
        "average H:   7.5 cM; 25.0 %\r\n"
        "Average # of recombinations(1): 1.5\r\n"
        "\r\n"
        "(1) only changes in allele type, excluding unknown alleles, are counted as recombination events\r\n"
        "\r\n"
        "^^^^^\r\n"
        "1 Possible singletons identified:\r\n"
        "Ind. 2 [ind2]  at <Group 1 m1_2; 10.0>  A -> H -> A\r\n";
    GeneralOptions options;
    EXPECT_EQ(globalStatisticsReport(data, tableFor(data), options), expected);

    const GlobalStatistics s = statisticsOf(data);
    const std::vector<std::string> print = s.printLines();
    ASSERT_GE(print.size(), 3u);
    EXPECT_EQ(print[0], "Detailed information on population chr1");
    EXPECT_EQ(print[1], "");
    EXPECT_EQ(print[2], "ind\tAlias\tA (%)\tB (%)\tH (%)\tTotal (cM)\tRecombin\tH-segments\t");

    const auto grid = s.spreadsheetGrid();
    ASSERT_EQ(grid.size(), 3u);
    EXPECT_EQ(grid[0].front(), "ind");
    EXPECT_EQ(grid[2], (std::vector<std::string>{"2", "ind2", "50.0", " 0.0", "50.0", "30.0", "2", "1"}));
}

TEST(GlobalStatistics, SortsByNumberTextOrShownValue)
{
    std::vector<std::string> rows;
    for (int i = 0; i < 11; ++i)
        rows.push_back(i % 3 == 0 ? "AAB" : (i % 3 == 1 ? "ABB" : "BBB"));
    GenotypeData data = makeStatsData({{{0, 10, 30}, rows}});
    data.IndividualNames[0] = "zeta";
    data.IndividualNames[1] = "Alpha";
    data.IndividualNames[2] = "beta";
    GlobalStatistics s = statisticsOf(data);

    s.sortByColumn(GlobalStatistics::AliasColumn);
    EXPECT_EQ(s.cell(0, 1), "Alpha");
    EXPECT_EQ(s.cell(1, 1), "beta");
    EXPECT_EQ(s.cell(2, 1), "ind10"); // "ind10" before "ind4": text order
    EXPECT_EQ(s.cell(10, 1), "zeta");

    s.sortByColumn(GlobalStatistics::IndividualColumn);
    for (int r = 0; r < s.rowCount(); ++r)
        EXPECT_EQ(s.individual(r), r + 1);

    const int a = columnOf(s, "A (%)");
    s.sortByColumn(a);
    EXPECT_EQ(s.cell(0, a), " 0.0");
    EXPECT_EQ(s.cell(10, a), "66.7");
    // Equal shares keep their previous (numeric) order.
    EXPECT_EQ(s.individual(0), 3);
    EXPECT_EQ(s.individual(1), 6);
}

TEST(GlobalStatistics, GroupsOfOneLocusCoverNoLength)
{
    const GlobalStatistics s = statisticsOf(makeStatsData({{{5}, {"A"}}, {{7}, {"B"}}}));
    ASSERT_EQ(s.rowCount(), 1);
    EXPECT_EQ(s.cell(0, 2), " 0.0");
    EXPECT_EQ(s.cell(0, 3), " 0.0");
    EXPECT_EQ(s.cell(0, 4), " 0.0");
    EXPECT_EQ(s.textLines()[1], "average A:   0.0 cM;  0.0 %");
}

TEST(GlobalStatistics, WithoutDataOnlyTheFixedColumnsAndAlleleLines)
{
    GenotypeData data;
    AlleleTable table;
    const GlobalStatistics none = computeGlobalStatistics(data, table, GeneralOptions{});
    EXPECT_EQ(none.rowCount(), 0);
    EXPECT_EQ(none.columnCaptions(), (std::vector<std::string>{"ind", "Alias", "Total (cM)", "Recombin", "H-segments"}));
    EXPECT_EQ(none.textLines(), (std::vector<std::string>{" "}));
    table.markUsed('A');
    const GlobalStatistics used = computeGlobalStatistics(data, table, GeneralOptions{});
    EXPECT_EQ(used.textLines(), (std::vector<std::string>{" ", "average A:   0.0 cM;  0.0 %"}));
}

TEST(GlobalStatistics, SelectedScopeLeavesUntickedIndividualsOut)
{
    GenotypeData data = makeStatsData({{{0, 10, 20}, {"ABA", "AAA", "BBB"}}});
    data.Ticked = {1, 0, 1};
    data.RebuildSelectedIndices();
    data.Selectionyesno = true;
    const AlleleTable table = tableFor(data);
    const GlobalStatistics all = computeGlobalStatistics(data, table, GeneralOptions{});
    EXPECT_EQ(all.rowCount(), 3);
    const GlobalStatistics selected = computeGlobalStatistics(data, table, GeneralOptions{}, GlobalStatisticsScope::SelectedIndividuals);
    ASSERT_EQ(selected.rowCount(), 2);
    EXPECT_EQ(selected.individual(1), 3);
    EXPECT_EQ(selected.textLines()[3], "Average # of recombinations(1): 1.0");
    EXPECT_EQ(selected.singletonCount(), 1);
    // Without filtering everybody counts as selected.
    data.Selectionyesno = false;
    EXPECT_EQ(computeGlobalStatistics(data, table, GeneralOptions{}, GlobalStatisticsScope::SelectedIndividuals).rowCount(), 3);
}

} // namespace
} // namespace rvk

namespace rvk {
namespace {

// The rules read individual by individual, interval by interval, as a person would apply them.
struct Reference
{
    std::vector<std::array<double, 128>> lengths;
    std::vector<int> recombinations;
    std::vector<int> boundaries;
    int singletons = 0;
};

Reference referenceStatistics(const GenotypeData &data, char h)
{
    const bool cp = data.IsCrossPollinator();
    Reference r;
    r.lengths.assign(static_cast<size_t>(data.nind), {});
    r.recombinations.assign(static_cast<size_t>(data.nind), 0);
    r.boundaries.assign(static_cast<size_t>(data.nind), 0);
    for (int i = 0; i < data.nind; ++i) {
        for (int g = 0; g < data.GroupCount(); ++g) {
            const auto &loci = data.GroupLoci(g);
            for (size_t k = 1; k < loci.size(); ++k) {
                const double d = loci[k].Position - loci[k - 1].Position;
                for (int bar = 0; bar < (cp ? 2 : 1); ++bar) {
                    const size_t at = static_cast<size_t>(cp ? 2 * i + bar : i);
                    const char ca = loci[k - 1].Genotypes[at];
                    const char cb = loci[k].Genotypes[at];
                    r.lengths[static_cast<size_t>(i)][static_cast<size_t>(ca)] += d / (cp ? 4 : 2);
                    r.lengths[static_cast<size_t>(i)][static_cast<size_t>(cb)] += d / (cp ? 4 : 2);
                    r.recombinations[static_cast<size_t>(i)] += ca != cb && ca != 'U' && cb != 'U';
                    r.boundaries[static_cast<size_t>(i)] += (ca == h) != (cb == h);
                }
                if (k >= 2 && !cp) {
                    const char cx = loci[k - 2].Genotypes[static_cast<size_t>(i)];
                    const char ca = loci[k - 1].Genotypes[static_cast<size_t>(i)];
                    const char cb = loci[k].Genotypes[static_cast<size_t>(i)];
                    r.singletons += cx == cb && ca != cb && ca != 'U' && ca != 'u' && ca != '.';
                }
            }
        }
    }
    return r;
}

TEST(GlobalStatistics, AgreesWithTheRulesAppliedOneIndividualAtATime)
{
    const std::string codes = "AAAAABBBBHHU-u.";
    for (const std::string popt : {"f2", "cp"}) {
        const size_t width = popt == "cp" ? 2 : 1;
        unsigned seed = 7;
        auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
        std::vector<GroupRows> groups;
        for (int g = 0; g < 3; ++g) {
            GroupRows group;
            double position = 0;
            for (int k = 0; k < 40; ++k) {
                group.positions.push_back(position);
                position += (next() % 50) / 7.0;
            }
            for (int i = 0; i < 37; ++i) {
                std::string row;
                char current = codes[next() % codes.size()];
                for (size_t c = 0; c < 40 * width; ++c) {
                    if (next() % 4 == 0)
                        current = codes[next() % codes.size()];
                    row += current;
                }
                group.individuals.push_back(row);
            }
            groups.push_back(group);
        }
        const GenotypeData data = makeStatsData(groups, popt);
        const AlleleTable table = tableFor(data);
        const GlobalStatistics s = computeGlobalStatistics(data, table, GeneralOptions{});
        const Reference r = referenceStatistics(data, 'H');
        ASSERT_EQ(s.rowCount(), 37);
        for (int i = 0; i < 37; ++i) {
            double total = 0;
            for (size_t u = 0; u < s.usedCodes().size(); ++u) {
                const double expected = r.lengths[static_cast<size_t>(i)][static_cast<size_t>(s.usedCodes()[u])];
                EXPECT_NEAR(s.alleleLength(i, static_cast<int>(u)), expected, 1e-9) << popt << " " << i << " " << s.usedCodes()[u];
                total += expected;
            }
            EXPECT_NEAR(s.totalLength(i), total, 1e-9);
            EXPECT_EQ(s.recombinations(i), r.recombinations[static_cast<size_t>(i)]) << popt << " " << i;
            EXPECT_EQ(s.segmentBoundaries(i), r.boundaries[static_cast<size_t>(i)]) << popt << " " << i;
        }
        if (popt != "cp") {
            EXPECT_EQ(s.singletonCount(), r.singletons);
            EXPECT_GT(r.singletons, 0);
        }
    }
}

} // namespace
} // namespace rvk
