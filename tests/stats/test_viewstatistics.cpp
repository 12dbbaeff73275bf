#include "stats/viewstatistics.h"

#include "settings/alleletable.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

AlleleTable drawnTable(std::initializer_list<std::pair<char, double>> lengths)
{
    AlleleTable table;
    table.clearUsed();
    table.resetDrawnLengths();
    for (const auto &[code, length] : lengths) {
        table.markUsed(code);
        table.addDrawnLength(code, length);
    }
    return table;
}

TEST(ViewStatistics, ListsUsedAllelesWithDrawnLengthInTableOrder)
{
    const AlleleTable table = drawnTable({{'B', 10.0}, {'A', 30.0}});
    const ViewStatistics s = computeViewStatistics(table);
    ASSERT_EQ(s.rowCount(), 2);
    EXPECT_EQ(s.grid(false), (std::vector<std::vector<std::string>>{
                                 {"", " % ", "cM"},
                                 {"A", "75.0 ", "30.0 "},
                                 {"B", "25.0 ", "10.0 "},
                             }));
    EXPECT_DOUBLE_EQ(s.gridTotal(), 40.0);
}

TEST(ViewStatistics, LeavesOutUndrawnAndLateCodes)
{
    AlleleTable table = drawnTable({{'A', 5.0}, {'H', 0.0}, {'u', 7.0}, {'z', 3.0}, {'t', 1.0}});
    const ViewStatistics s = computeViewStatistics(table);
    ASSERT_EQ(s.rowCount(), 2);
    EXPECT_EQ(s.rows()[0].code, 'A');
    EXPECT_EQ(s.rows()[1].code, 't'); // the last code the window lists
    EXPECT_DOUBLE_EQ(s.gridTotal(), 6.0);
    EXPECT_DOUBLE_EQ(s.pieTotal(), 6.0); // 'u' and 'z' are outside the pie as well
}

TEST(ViewStatistics, PieSharesAreOfAllDrawnLengthSoUnlistedLengthLeavesAGap)
{
    AlleleTable table = drawnTable({{'A', 30.0}});
    table.addDrawnLength('B', 10.0); // drawn, but B is not in use
    const ViewStatistics s = computeViewStatistics(table);
    ASSERT_EQ(s.rowCount(), 1);
    EXPECT_EQ(s.cell(0, 1), "100.0 ");
    const std::vector<ViewPieSlice> slices = s.pieSlices();
    ASSERT_EQ(slices.size(), 1u);
    EXPECT_DOUBLE_EQ(slices[0].fraction, 0.75);
    EXPECT_EQ(slices[0].label, "A");
}

TEST(ViewStatistics, AfterAResetNothingIsListedAndTheHeadersStayAsTheyWere)
{
    AlleleTable table = drawnTable({{'A', 30.0}});
    table.clearUsed();
    const ViewStatistics s = computeViewStatistics(table);
    EXPECT_EQ(s.rowCount(), 0);
    EXPECT_TRUE(s.pieSlices().empty());
    EXPECT_EQ(s.grid(false), (std::vector<std::vector<std::string>>{{"", "% of Total", ""}}));
    EXPECT_EQ(s.grid(true), (std::vector<std::vector<std::string>>{{"", " % ", "cM"}}));
}

TEST(ViewStatistics, Titles)
{
    EXPECT_EQ(linkageGroupViewTitle(3, 1, 120), "Linkage group 3 [1:120]  <>");
    EXPECT_EQ(individualViewTitle("0007", "RIL 7"), "No 0007 [RIL 7]");
}

} // namespace
} // namespace rvk
