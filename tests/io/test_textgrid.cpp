#include "io/textgrid.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

// Every cell of the grid, rows first, so a whole grid compares in one expectation.
std::vector<std::vector<std::string>> cells(const TextGrid &grid)
{
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < grid.rowCount(); ++r)
        rows.push_back(grid.row(r));
    return rows;
}

TEST(TextGrid, ShortAndLongCellsOfARowKeepTheirTexts)
{
    // Names and positions first, then codes; a longer text later in the row, a text with a
    // NUL, an emptied code and a cell outside the grid.
    TextGrid grid(6, 2);
    grid.setCell(0, 0, "marker one");
    grid.setCell(1, 0, "12.50");
    grid.setCell(2, 0, "a");
    grid.setCell(4, 0, "b");
    EXPECT_EQ(grid.row(0), (std::vector<std::string>{"marker one", "12.50", "a", "", "b", ""}));
    grid.setCell(3, 0, "abc");
    grid.setCell(5, 0, "c");
    EXPECT_EQ(grid.row(0), (std::vector<std::string>{"marker one", "12.50", "a", "abc", "b", "c"}));

    grid.setCell(2, 1, "ab");
    grid.setCell(3, 1, "x");
    grid.setCell(4, 1, std::string("n\0l", 3));
    grid.setCell(2, 1, "");
    EXPECT_EQ(grid.row(1), (std::vector<std::string>{"", "", "", "x", std::string("n\0l", 3), ""}));
    EXPECT_EQ(grid.cell(9, 9), "");
    EXPECT_EQ(grid.cell(-1, 0), "");
}

TEST(TextGrid, CodesSetAtOnceReadAsOneCellEach)
{
    TextGrid grid(2, 3);
    grid.setCell(0, 0, "m1");
    grid.setCells(2, 0, "aabHb", 1);
    grid.setCells(4, 1, "acadbc", 2); // cross-pollinator pairs
    EXPECT_EQ(grid.columnCount(), 7);
    EXPECT_EQ(grid.row(0), (std::vector<std::string>{"m1", "", "a", "a", "b", "H", "b"}));
    EXPECT_EQ(grid.row(1), (std::vector<std::string>{"", "", "", "", "ac", "ad", "bc"}));
    // An edit that does not fit the slots keeps every other cell.
    grid.setCell(5, 1, "long");
    EXPECT_EQ(grid.row(1), (std::vector<std::string>{"", "", "", "", "ac", "long", "bc"}));
    // Codes over cells that hold texts of their own.
    grid.setCells(0, 2, "xyz", 1);
    grid.setCells(0, 0, "pq", 1);
    EXPECT_EQ(grid.row(2), (std::vector<std::string>{"x", "y", "z", "", "", "", ""}));
    EXPECT_EQ(grid.row(0), (std::vector<std::string>{"p", "q", "a", "a", "b", "H", "b"}));
}

TEST(TextGrid, ResizingRemovingAndComparing)
{
    TextGrid grid(4, 3);
    grid.setCells(1, 0, "abc", 1);
    grid.setCell(0, 1, "name");
    grid.setCell(3, 2, "z");
    grid.resize(2, 3);
    EXPECT_EQ(cells(grid), (std::vector<std::vector<std::string>>{{"", "a"}, {"name", ""}, {"", ""}}));
    grid.resize(3, 4);
    EXPECT_EQ(cells(grid), (std::vector<std::vector<std::string>>{{"", "a", ""}, {"name", "", ""}, {"", "", ""}, {"", "", ""}}));
    grid.removeRow(0);
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.cell(0, 0), "name");

    TextGrid same(3, 3);
    same.setCell(0, 0, "name"); // the same cells, stored another way
    EXPECT_EQ(grid, same);
    same.setCell(2, 2, "q");
    EXPECT_FALSE(grid == same);
    EXPECT_EQ(TextGrid(5, 5), TextGrid(5, 5));
    EXPECT_FALSE(TextGrid(5, 5) == TextGrid(5, 4));
}

} // namespace
} // namespace rvk
