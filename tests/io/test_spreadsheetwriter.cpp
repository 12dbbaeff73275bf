#include "io/spreadsheetwriter.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>

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

TEST(SpreadsheetWriter, TextsAreWrittenInTheFilesCodePage)
{
    struct Case
    {
        const char *text; // as the program holds it (UTF-8)
        std::string bytes; // in the file (Windows-1252)
    };
    const Case cases[] = {
        {"LD (R²)", "LD (R\xB2)"},
        {"Müller \xE2\x82\xAC" "5", "M\xFCller \x80" "5"}, // Latin-1 and the code page's own 0x80..0x9F
        {"a\xE2\x86\x92" "b", "a?b"},                        // an arrow the code page lacks
        {"\xF0\x9F\x8C\xB1", "?"},                        // a four-byte character
        {"R\xB2", "R\xB2"},                                 // already 8-bit: kept
        {"plain 0.05", "plain 0.05"},
    };
    for (const Case &c : cases) {
        const std::string bytes = spreadsheetBytes(1, 1, [&c](int, int) { return std::string(c.text); });
        const std::string label = bytes.substr(12 + 12, bytes.size() - 12 - 12 - 4);
        EXPECT_EQ(label, c.bytes) << c.text;
        EXPECT_EQ(bytes.substr(12 + 10, 2), words({static_cast<unsigned>(c.bytes.size())})) << "the length counts bytes";
    }
    // Read back, the code page's bytes are UTF-8 again; texts already UTF-8 stay as they are.
    EXPECT_EQ(textOfSpreadsheetCodePage("LD (R\xB2) \x80 \xFC"), "LD (R²) € ü");
    EXPECT_EQ(textOfSpreadsheetCodePage("LD (R²)"), "LD (R²)");
}

TEST(SpreadsheetWriter, TablesBeyondTheFormatsSheetAreRefused)
{
    struct Case
    {
        int columns, rows;
        const char *problem;
    };
    const Case cases[] = {
        {256, 65536, ""},
        {257, 2, "The table has 257 columns; a spreadsheet file (.xls) holds at most 256 columns and 65536 rows."},
        {3001, 3001, "The table has 3001 columns; a spreadsheet file (.xls) holds at most 256 columns and 65536 rows."},
        {3, 65537, "The table has 65537 rows; a spreadsheet file (.xls) holds at most 256 columns and 65536 rows."},
    };
    for (const Case &c : cases)
        EXPECT_EQ(spreadsheetSizeProblem(c.columns, c.rows), c.problem) << c.columns << " x " << c.rows;

    test::TempFolder folder;
    std::string error;
    EXPECT_FALSE(WriteGridAsSpreadsheet(257, 1, [](int, int) { return std::string("x"); }, folder.file("wide.xls"), &error));
    EXPECT_EQ(error, std::string(cases[1].problem) + " Save it as text instead.");
    EXPECT_FALSE(std::filesystem::exists(folder.file("wide.xls")));
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
