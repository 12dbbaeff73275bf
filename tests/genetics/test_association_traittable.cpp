#include "genetics/traittable.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

std::vector<std::string> column(const TraitTable &table, int c)
{
    std::vector<std::string> cells;
    for (int r = 0; r < table.rowCount(); ++r)
        cells.push_back(table.cell(c, r));
    return cells;
}

TEST(TraitTablePaste, NumbersAndNamesAndWidth)
{
    TraitTable table = TraitTable::startTemplate();
    pasteTable(table, "\tP1\tP2\r\nheight\t12.345\t7\r\n12.5\tx\r\n");
    EXPECT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.columnCount(), 2) << "the last line sets the width";
    EXPECT_EQ(table.cell(1, 1), "12.35");
    EXPECT_EQ(table.cell(0, 2), "12.5") << "column 0 is kept as pasted";
    EXPECT_EQ(table.cell(1, 2), "x");
    EXPECT_EQ(table.cell(2, 1), "") << "cells beyond the last line's width are gone";
    EXPECT_EQ(table.cell(3, 0), "") << "the template does not survive a paste";
}

TEST(TraitTablePaste, LineEndsOfEveryPlatform)
{
    for (const char *text : {"a\tb\r\nc\td\r\n", "a\tb\nc\td\n", "a\tb\rc\td\r", "a\tb\nc\td"}) {
        TraitTable table;
        pasteTable(table, text);
        EXPECT_EQ(table.rowCount(), 2) << text;
        EXPECT_EQ(table.cell(1, 1), "d") << text;
    }
}

TEST(TraitTablePaste, PValueLayoutLeavesRowOneFree)
{
    TraitTable table;
    pasteTable(table, "\tT1\r\nm1\t0.5\r\nm2\t0.25\r\n", 1);
    EXPECT_EQ(table.rowCount(), 4);
    EXPECT_EQ(column(table, 1), (std::vector<std::string>{"T1", "", "0.50", "0.25"}));
}

TEST(TraitTableTranspose, ShapesAndRoundTrip)
{
    TraitTable row(5, 1);
    for (int c = 0; c < 5; ++c)
        row.setCell(c, 0, std::string(1, static_cast<char>('a' + c)));
    TraitTable transposed = row;
    transposed.transpose();
    EXPECT_EQ(transposed.columnCount(), 1);
    EXPECT_EQ(transposed.rowCount(), 5);
    EXPECT_EQ(column(transposed, 0), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    transposed.transpose();
    EXPECT_EQ(transposed, row);

    TraitTable wide = TraitTable::startTemplate();
    wide.resize(4, 3);
    TraitTable twice = wide;
    twice.transpose();
    EXPECT_EQ(twice.cell(1, 0), "Trait 1");
    EXPECT_EQ(twice.cell(0, 2), "Geno 2");
    twice.transpose();
    EXPECT_EQ(twice, wide);
}

// Traits height and yield of P1, P2, P3 and a second column named P1 (the last one counts).
TraitTable threePlants()
{
    TraitTable table;
    pasteTable(table, "\tP1\tP2\tP3\tP1\nheight\t1\t2\tx\t5\nyield\t\t4\t6\t8\n");
    return table;
}

TEST(TraitTableSync, ColumnsFollowTheMarkerIndividuals)
{
    const TraitTable sync = buildSyncTable(threePlants(), {"", "P3", "Q", "P1"});
    EXPECT_EQ(sync.columnCount(), 4);
    EXPECT_EQ(column(sync, 0), (std::vector<std::string>{"", "height", "yield"}));
    EXPECT_EQ(column(sync, 1), (std::vector<std::string>{"P3", "x", "6.00"}));
    EXPECT_EQ(column(sync, 2), (std::vector<std::string>{"Q", "", ""}));
    EXPECT_EQ(column(sync, 3), (std::vector<std::string>{"P1", "5.00", "8.00"}));
    EXPECT_EQ(buildSyncTable(threePlants(), {"", "p1"}).cell(1, 1), "") << "names match case-sensitively";
}

TEST(TraitTableSortKeys, ValuesTextsAndGaps)
{
    EXPECT_EQ(traitSortKeyEntries(threePlants(), 1, {"P2", "P1", "P3", "P4"}),
              (std::vector<std::string>{"  2.0", "  5.0", "x", "", "height"}));
}

TEST(TraitTableHistogram, BarsOfBothKinds)
{
    TraitTable table;
    pasteTable(table, "\tA\tB\tC\tD\tZ\nt\t0\t1\t9\t10\t20\n");
    // Range from the data set's individuals A..D: 0..10. Z (not in the data set) lies outside
    // and joins the last bar.
    const TraitHistogram quick = quickTraitHistogram(table, 1, {"A", "B", "C", "D"});
    EXPECT_EQ(quick.title, "Trait histogram t");
    EXPECT_EQ(quick.counts, (std::vector<int>{1, 1, 0, 0, 0, 0, 0, 0, 1, 2}));
    EXPECT_EQ(quick.labels[1], "1.00");

    const TraitHistogram plotted = selectedTraitHistogram(table, 1, {"A", "B", "C", "D"}, {true, true, false, true}, 5);
    EXPECT_EQ(plotted.counts, (std::vector<int>{2, 0, 0, 0, 1}));
    EXPECT_EQ(plotted.labels, (std::vector<std::string>{"0.00", "2.50", "5.00", "7.50", "10.00"}));

    TraitTable flat;
    pasteTable(flat, "\tA\tB\nt\t3\t3\n");
    EXPECT_EQ(quickTraitHistogram(flat, 1, {"A", "B"}).counts[0], 2) << "equal values share the first bar";
}

} // namespace
} // namespace rvk
