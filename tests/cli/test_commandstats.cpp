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
    Example() { DataLoader(data, alleles, ui).OpenFiles({test::examplePath("listeria.rvk")}); }
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
