#include "io/spreadsheetwriter.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

std::string words(std::initializer_list<unsigned> values)
{
    std::string out;
    for (unsigned v : values) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>(v >> 8);
    }
    return out;
}

TEST(SpreadsheetWriter, CellsGoColumnByColumnAsLabels)
{
    TextGrid grid(2, 2);
    grid.setCell(0, 0, "a");
    grid.setCell(1, 0, "bc");
    test::TempFolder folder;
    const std::string path = folder.file("grid.xls");
    ASSERT_TRUE(WriteGridAsSpreadsheet(grid, path));
    const std::string expected = words({0x0809, 8, 0, 0x0010, 0, 0}) + words({0x0204, 9, 0, 0, 0, 1}) + "a"
                               + words({0x0204, 8, 1, 0, 0, 0}) + words({0x0204, 10, 0, 1, 0, 2}) + "bc"
                               + words({0x0204, 8, 1, 1, 0, 0}) + words({0x000A, 0});
    const std::string bytes = test::readWholeFile(path);
    EXPECT_EQ(bytes.size(), 67u);
    EXPECT_EQ(bytes, expected);
}

TEST(SpreadsheetWriter, NumbersStayText)
{
    const std::string bytes = spreadsheetBytes(1, 1, [](int, int) { return std::string("0.05"); });
    EXPECT_EQ(bytes.substr(12), words({0x0204, 12, 0, 0, 0, 4}) + "0.05" + words({0x000A, 0}));
}

TEST(SpreadsheetWriter, OverlongTextIsCutToWhatARecordHolds)
{
    const std::string bytes = spreadsheetBytes(1, 1, [](int, int) { return std::string(70000, 'x'); });
    EXPECT_EQ(bytes.size(), 12 + 12 + MaxSpreadsheetCellBytes + 4);
    EXPECT_EQ(bytes.substr(12, 4), words({0x0204, 0xFFFF}));
}

TEST(SpreadsheetWriter, UnwritablePathIsReported)
{
    test::TempFolder folder;
    std::string error;
    EXPECT_FALSE(WriteGridAsSpreadsheet(TextGrid(1, 1), folder.file("no/such.xls"), &error));
    EXPECT_EQ(error, "Unable to write to " + folder.file("no/such.xls"));
}

TEST(TextGrid, RowsAndColumnsGrowAndShrinkKeepingTexts)
{
    TextGrid grid(2, 2);
    grid.setCell(1, 1, "x");
    grid.appendColumn();
    EXPECT_EQ(grid.columnCount(), 3);
    EXPECT_EQ(grid.cell(1, 1), "x");
    grid.setCell(0, 4, "far");
    EXPECT_EQ(grid.rowCount(), 5);
    grid.removeRow(1);
    EXPECT_EQ(grid.cell(1, 1), "");
    EXPECT_EQ(grid.cell(0, 3), "far");
    EXPECT_EQ(grid.cell(9, 9), "");
    grid.appendRow();
    EXPECT_EQ(grid.rowCount(), 5);
}

} // namespace
} // namespace rvk
