#include "cli/clicommand.h"
#include "commandrun.h"
#include "core/dataloader.h"
#include "io/spreadsheetwriter.h"
#include "settings/alleletable.h"
#include "settings/generaloptions.h"
#include "stats/globalstatistics.h"
#include "stats/markerstatistics.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace rvk::cli {
namespace {

using StatsRun = cli::CommandRun;
StatsRun run(const std::vector<std::string> &args) { return runCli(args); }

struct Example
{
    Example() { alleles.markUsed(DataLoader(data, ui).OpenFiles({test::examplePath("listeria.rvk")}).usedCodes); }
    GenotypeData data;
    AlleleTable alleles;
    test::ScriptedUserInterface ui;
};

TEST(CliStats, PrintsTheReportsOfTheStatisticsWindows)
{
    Example example;
    const StatsRun global = run({"stats", "global", test::examplePath("listeria.rvk")});
    ASSERT_EQ(global.status, 0) << global.err;
    EXPECT_EQ(global.out, globalStatisticsReport(example.data, example.alleles, GeneralOptions{}));
    const StatsRun markers = run({"stats", "markers", test::examplePath("listeria.rvk")});
    ASSERT_EQ(markers.status, 0) << markers.err;
    EXPECT_EQ(markers.out, markerStatisticsReport(example.data, example.alleles));
}

TEST(CliStats, GlobalStatisticsTakeASelectionOnlyWhenAskedForTheSelectedScope)
{
    const std::string file = test::examplePath("listeria.rvk");
    const StatsRun refused = run({"stats", "global", file, "--criteria", "D10M44=A"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("--selected-only"), std::string::npos) << refused.err;
    EXPECT_TRUE(refused.out.empty());

    const StatsRun all = run({"stats", "global", file});
    const StatsRun selected = run({"stats", "global", file, "--criteria", "D10M44=A", "--selected-only"});
    ASSERT_EQ(selected.status, 0) << selected.err;
    EXPECT_LT(selected.out.size(), all.out.size()) << "fewer individuals, fewer lines";

    EXPECT_EQ(run({"stats", "global", file, "--selected-only"}).status, 2);
    EXPECT_EQ(run({"stats", "markers", file, "--criteria", "D10M44=A", "--selected-only"}).status, 2);
    // Marker statistics follow the selection, as their window does.
    EXPECT_EQ(run({"stats", "markers", file, "--criteria", "D10M44=A"}).status, 0);
}

TEST(CliStats, GlobalReportOfASmallDataSetWorkedByHand)
{
    // Markers at 0, 10 and 30 cM; I1 carries A B B, I2 A A A, I3 B A B.
    test::TempFolder folder;
    const std::string file = folder.write("three.rvk", "name=g\nnloc=3\nnind=3\npopt=f2\nm1 0 AAB\nm2 10 BAA\nm3 30 BAB\nalias I1 I2 I3\n");
    const std::string header = "Statistics on individuals\r\nind\tAlias\tA (%)\tB (%)\tTotal (cM)\tRecombin\tH-segments\t\r\n";
    const std::string notes = "\r\n(1) only changes in allele type, excluding unknown alleles, are counted as recombination events\r\n\r\n^^^^^\r\n";

    // I1: A 5 cM, B 5 + 10 + 10 = 25 cM, one recombination. I2: A 30 cM. I3: A 5 + 10, B 5 + 10,
    // two recombinations and the singleton A at m2. Averages over the three: A 50 / 3 cM and
    // 50 / 90 of all; B 40 / 3 cM and 40 / 90; recombinations 3 / 3.
    const StatsRun all = run({"stats", "global", file});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out, header + "1\tI1\t16.7\t83.3\t30.0\t1\t0\r\n2\tI2\t100.0\t 0.0\t30.0\t0\t0\r\n3\tI3\t50.0\t50.0\t30.0\t2\t0\r\n"
                           "\r\n \r\naverage A:  16.7 cM; 55.6 %\r\naverage B:  13.3 cM; 44.4 %\r\n"
                           "Average # of recombinations(1): 1.0\r\n" +
                           notes + "1 Possible singletons identified:\r\nInd. 3 [I3]  at <Group 1 m2; 10.0>  B -> A -> B\r\n");

    // Only those with A at m1, I1 and I2: A 35 cM of 60, B 25; one recombination in two.
    const StatsRun selected = run({"stats", "global", file, "--criteria", "m1=A", "--selected-only"});
    ASSERT_EQ(selected.status, 0) << selected.err;
    EXPECT_EQ(selected.out, header + "1\tI1\t16.7\t83.3\t30.0\t1\t0\r\n2\tI2\t100.0\t 0.0\t30.0\t0\t0\r\n"
                                     "\r\n \r\naverage A:  17.5 cM; 58.3 %\r\naverage B:  12.5 cM; 41.7 %\r\n"
                                     "Average # of recombinations(1): 0.5\r\n" +
                                     notes + "0 Possible singletons identified:\r\n");
}

TEST(CliStats, MarkerReportOfASmallDataSetWorkedByHand)
{
    test::TempFolder folder;
    const std::string file = folder.write("three.rvk", "name=g\nnloc=3\nnind=3\npopt=f2\nm1 0 AAB\nm2 10 BAA\nm3 30 BAB\nalias I1 I2 I3\n");
    const StatsRun all = run({"stats", "markers", file});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out, "All Groups\r\n\t1: \"g\"\r\n"
                       "\t\t\"m1\" 0.0\r\n\t\t\tA: 2 (66.7%)\r\n\t\t\tB: 1 (33.3%)\r\n"
                       "\t\t\"m2\" 10.0\r\n\t\t\tA: 2 (66.7%)\r\n\t\t\tB: 1 (33.3%)\r\n"
                       "\t\t\"m3\" 30.0\r\n\t\t\tA: 1 (33.3%)\r\n\t\t\tB: 2 (66.7%)\r\n");
    // Counting only I1 and I2 (A at m1); the shares stay shares of all three individuals.
    const StatsRun selected = run({"stats", "markers", file, "--criteria", "m1=A"});
    ASSERT_EQ(selected.status, 0) << selected.err;
    EXPECT_EQ(selected.out, "All Groups\r\n\t1: \"g\"\r\n"
                            "\t\t\"m1\" 0.0\r\n\t\t\tA: 2 (66.7%)\r\n\t\t\tB: 0 (0.0%)\r\n"
                            "\t\t\"m2\" 10.0\r\n\t\t\tA: 1 (33.3%)\r\n\t\t\tB: 1 (33.3%)\r\n"
                            "\t\t\"m3\" 30.0\r\n\t\t\tA: 1 (33.3%)\r\n\t\t\tB: 1 (33.3%)\r\n");
}

TEST(CliStats, TablesGoToSpreadsheetFilesAndReportsToTextFiles)
{
    test::TempFolder folder;
    Example example;
    ASSERT_EQ(run({"stats", "markers", test::examplePath("listeria.rvk"), "--out", folder.file("m.xls")}).status, 0);
    const auto grid = computeMarkerStatistics(example.data, example.alleles).spreadsheetGrid();
    size_t columns = 0;
    for (const auto &row : grid)
        columns = std::max(columns, row.size());
    const std::string expected = spreadsheetBytes(static_cast<int>(columns), static_cast<int>(grid.size()), [&](int column, int row) {
        const auto &cells = grid[static_cast<size_t>(row)];
        return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)] : std::string();
    });
    EXPECT_EQ(test::readWholeFile(folder.file("m.xls")), expected);
    ASSERT_EQ(run({"stats", "global", test::examplePath("listeria.rvk"), "--out", folder.file("g.txt")}).status, 0);
    EXPECT_EQ(test::readWholeFile(folder.file("g.txt")), globalStatisticsReport(example.data, example.alleles, GeneralOptions{}));
    EXPECT_EQ(run({"stats", "trees", test::examplePath("listeria.rvk")}).status, 2);
    EXPECT_EQ(run({"stats", "global"}).status, 2);
}

} // namespace
} // namespace rvk::cli
