#include "io/spreadsheetreader.h"
#include "io/spreadsheetwriter.h"
#include "support/tempfolder.h"

#include "support/casename.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>


namespace rvk {
namespace {

// The sheet every fixture holds (made from sheet_genotypes.csv by a spreadsheet program).
TextGrid expectedSheet()
{
    const std::vector<std::vector<std::string>> rows = {{"alias", "", "P1", "P2", "P3"}, {"popt", "f2", "", "", ""},
                                                        {"nind", "3", "", "", ""},       {"name=chr1", "", "", "", ""},
                                                        {"m1", "0", "A", "B", "H"},      {"m2", "12.5", "B", "", "A"},
                                                        {"x,y", "1.25", "A", "A", "A"}};
    TextGrid grid(5, static_cast<int>(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            grid.setCell(static_cast<int>(c), static_cast<int>(r), rows[r][c]);
    return grid;
}

class SpreadsheetFiles : public ::testing::TestWithParam<std::string> {};

TEST_P(SpreadsheetFiles, FirstWorksheetsUsedRangeAsText)
{
    std::string error;
    const auto grid = SpreadsheetReader::read(test::testDataPath("sheet_genotypes." + GetParam()), &error);
    ASSERT_TRUE(grid) << error;
    EXPECT_EQ(grid->columnCount(), 5);
    EXPECT_EQ(grid->rowCount(), 7);
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(grid->cell(c, r), expectedSheet().cell(c, r)) << GetParam() << " cell " << c << "," << r;
}

INSTANTIATE_TEST_SUITE_P(, SpreadsheetFiles, ::testing::Values("xls", "xlsx", "ods", "csv"),
                         test::namedBy([](const std::string &extension) { return extension; }));

// A zipped workbook of two sheets (written by hand): formulas show the results the workbook
// stored, a text of several formatted runs is one text, $-addresses are places, and only the
// first sheet is read (the second has a cell at E5).
TEST(SpreadsheetReader, ZippedWorkbooksGiveStoredResultsOfTheFirstSheet)
{
    std::string error;
    const auto grid = SpreadsheetReader::read(test::testDataPath("sheet_formulas.xlsx"), &error);
    ASSERT_TRUE(grid) << error;
    EXPECT_EQ(grid->columnCount(), 4);
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->row(0), (std::vector<std::string>{"m1", "12.5", "AB", "AB"}));
    EXPECT_EQ(grid->row(1), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(grid->row(2), (std::vector<std::string>{"", "-0.25", "TRUE", ""}));
}

TEST(SpreadsheetReader, TheProgramsOwnFilesReadBack)
{
    test::TempFolder folder;
    TextGrid grid = expectedSheet();
    grid.appendRow(); // empty cells written as empty labels still belong to the sheet
    ASSERT_TRUE(WriteGridAsSpreadsheet(grid, folder.file("own.xls")));
    const auto back = SpreadsheetReader::read(folder.file("own.xls"));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, grid);
}

TEST(SpreadsheetReader, UnreadableFilesGiveAMessage)
{
    test::TempFolder folder;
    std::string error;
    EXPECT_FALSE(SpreadsheetReader::read(folder.file("missing.xls"), &error));
    EXPECT_EQ(error, SpreadsheetReader::unreadableMessage(folder.file("missing.xls"), "the file cannot be opened"));
    // A worksheet stream cut short, a damaged workbook and a damaged zip archive.
    const std::string cut = folder.write("cut.xls", std::string("\x09\x08\x08\x00\x00\x00\x10\x00\x00\x00\x00\x00\x04\x02\x09", 15));
    EXPECT_FALSE(SpreadsheetReader::read(cut, &error));
    EXPECT_NE(error.find("end record"), std::string::npos);
    const std::string workbook = folder.write("bad.xls", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, 'x'));
    EXPECT_FALSE(SpreadsheetReader::read(workbook, &error));
    const std::string zipped = folder.write("bad.xlsx", "PK\x03\x04 not really a zip");
    EXPECT_FALSE(SpreadsheetReader::read(zipped, &error));
    EXPECT_EQ(error.rfind("The file " + zipped + " could not be read as a spreadsheet: ", 0), 0u);
}

TEST(SpreadsheetReader, CsvSeparatorsAndQuotes)
{
    const TextGrid tabs = SpreadsheetReader::readCsv("a\tb,c\n\"q\"\"x\"\t\n");
    EXPECT_EQ(tabs.cell(1, 0), "b,c");
    EXPECT_EQ(tabs.cell(0, 1), "q\"x");
    const TextGrid semicolons = SpreadsheetReader::readCsv("a;b;c\r\n1;;3\r\n");
    EXPECT_EQ(semicolons.columnCount(), 3);
    EXPECT_EQ(semicolons.rowCount(), 2);
    EXPECT_EQ(semicolons.cell(2, 1), "3");
}

// A reader that ends its process (as libraries do on some damaged files) only fails the file; a
// reader that ends well hands its grid back whole.
TEST(SpreadsheetReader, AReaderThatEndsItsProcessOnlyFailsTheFile)
{
    const std::vector<std::pair<const char *, std::function<void()>>> endings = {
        {"abort", [] { std::abort(); }},
        {"segmentation fault", [] { std::raise(SIGSEGV); }},
        {"exit status 3", [] { std::_Exit(3); }},
    };
    for (const auto &[name, ending] : endings) {
        std::string error;
        const auto grid = SpreadsheetReader::readApart(
            [&](std::string *) -> std::optional<TextGrid> {
                ending();
                return TextGrid(1, 1);
            },
            "damaged.xls", &error);
        EXPECT_FALSE(grid) << name;
        EXPECT_EQ(error, SpreadsheetReader::unreadableMessage("damaged.xls", "the file is damaged")) << name;
    }
    std::string error;
    const auto grid = SpreadsheetReader::readApart([](std::string *) { return std::optional<TextGrid>(expectedSheet()); },
                                                   "good.xls", &error);
    ASSERT_TRUE(grid) << error;
    EXPECT_EQ(*grid, expectedSheet());
    const auto refused = SpreadsheetReader::readApart(
        [](std::string *reason) -> std::optional<TextGrid> {
            *reason = "its own reason";
            return std::nullopt;
        },
        "bad.xls", &error);
    EXPECT_FALSE(refused);
    EXPECT_EQ(error, "its own reason");
}

// Damaged workbooks found by fuzzing, kept as regression cases, get their message:
// - an .ods whose column style is marked as a row style makes liborcus fail an assertion while it
//   reads the styles, which ends the reading process (and only that: the next file reads);
// - an .xlsx whose cells name shared texts that the workbook does not hold (liborcus' own
//   document model failed an assertion on it) is refused rather than read with those cells
//   empty.
TEST(SpreadsheetReader, KeptDamagedWorkbooksGetTheirMessage)
{
    const struct
    {
        const char *input;
        const char *reason;
    } cases[] = {
        {"orcus-style-assertion.ods", "the file is damaged"},
        {"orcus-dump-assertion.xlsx", "a cell refers to a text the workbook does not hold"},
    };
    const std::filesystem::path kept =
        std::filesystem::path(test::testDataPath("")).parent_path().parent_path() / "fuzz" / "regression" / "cases" / "workbook";
    test::TempFolder folder;
    for (const auto &damaged : cases) {
        const std::string path = folder.write(damaged.input, test::readWholeFile((kept / damaged.input).string()));
        std::string error;
        EXPECT_FALSE(SpreadsheetReader::read(path, &error)) << damaged.input;
        EXPECT_EQ(error, SpreadsheetReader::unreadableMessage(path, damaged.reason));
        EXPECT_TRUE(SpreadsheetReader::read(test::testDataPath("sheet_genotypes.ods"), &error)) << error;
    }
}

// A zipped workbook whose directory claims sizes the file cannot hold is refused before liborcus,
// which would set aside what the directory claims (a damaged 9 KB file found by fuzzing made it
// take 1.8 GB). The sizes of the worksheet member are changed in its local header, in the
// central directory, or in both.
struct ZipDamage
{
    const char *name;
    int localField;   // offset of the size field in the local header, or -1
    int centralField; // offset of the size field in the central directory entry, or -1
    uint32_t size;
};

class DamagedZipDirectories : public ::testing::TestWithParam<ZipDamage> {};

void putWord32(std::string &bytes, size_t at, uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        bytes[at + static_cast<size_t>(k)] = static_cast<char>((value >> (8 * k)) & 0xFF);
}

TEST_P(DamagedZipDirectories, AreRefusedWithAMessage)
{
    const ZipDamage damage = GetParam();
    std::string bytes = test::readWholeFile(test::testDataPath("sheet_genotypes.xlsx"));
    const std::string member = "xl/worksheets/sheet1.xml";
    size_t localAt = std::string::npos, centralAt = std::string::npos;
    for (size_t at = bytes.find(member); at != std::string::npos; at = bytes.find(member, at + 1)) {
        if (at >= 30 && bytes.compare(at - 30, 4, "PK\x03\x04") == 0)
            localAt = at - 30;
        if (at >= 46 && bytes.compare(at - 46, 4, "PK\x01\x02") == 0)
            centralAt = at - 46;
    }
    ASSERT_NE(localAt, std::string::npos);
    ASSERT_NE(centralAt, std::string::npos);
    if (damage.localField >= 0)
        putWord32(bytes, localAt + static_cast<size_t>(damage.localField), damage.size);
    if (damage.centralField >= 0)
        putWord32(bytes, centralAt + static_cast<size_t>(damage.centralField), damage.size);

    test::TempFolder folder;
    const std::string path = folder.write("damaged.xlsx", bytes);
    std::string error;
    EXPECT_FALSE(SpreadsheetReader::read(path, &error));
    EXPECT_EQ(error.rfind(SpreadsheetReader::unreadableMessage(path, "its zip directory"), 0), 0u) << error;
}

// Local header: compressed size at 18, uncompressed at 22; central entry: at 20 and 24.
INSTANTIATE_TEST_SUITE_P(, DamagedZipDirectories,
                         ::testing::Values(ZipDamage{"MoreCompressedBytesThanTheFile", 18, 20, 0x6C65722Fu},
                                           ZipDamage{"GrowsMoreThanDeflateCan", 22, 24, 0x7FFFFFF0u},
                                           ZipDamage{"DirectoryDisagreesWithLocalHeader", -1, 24, 0x7FFFFFF0u}),
                         [](const auto &info) { return std::string(info.param.name); });

// A workbook whose compound file directory is damaged is refused before FreeXL, which believes
// what the directory declares: it sets aside the memory a stream's size claims (a damaged 6 KB
// .xls found by fuzzing made it ask for 3 GB), converts as many bytes of a name as its length
// claims, past its own buffer, and reads a directory from wherever the header points. In the
// fixture the header gives the directory's first sector at 0x30; the allocation table is sector
// 0 (from byte 512), where the directory's sector 9 is followed by sector 10 and the root
// entry's stream runs from sector 3 to 8; the table of small sectors is sector 2 (from byte
// 1536), where the workbook stream runs from small sector 0 to 34; the directory (from byte
// 5120) holds the root entry, then the workbook stream, 128 bytes each, with the name's length
// at 0x40, the kind at 0x42 and the size at 0x78 of an entry.
struct CompoundDamage
{
    const char *name;
    size_t at;
    int width; // bytes
    uint32_t value;
    const char *reason;
    // A second change where one is not enough.
    size_t alsoAt = 0;
    int alsoWidth = 0;
    uint32_t alsoValue = 0;
};

class DamagedCompoundFiles : public ::testing::TestWithParam<CompoundDamage> {};

TEST_P(DamagedCompoundFiles, AreRefusedWithAMessage)
{
    const CompoundDamage damage = GetParam();
    std::string bytes = test::readWholeFile(test::testDataPath("sheet_genotypes.xls"));
    ASSERT_EQ(bytes.size(), 6144u);
    ASSERT_EQ(bytes.compare(5120, 4, std::string("R\0o\0", 4)), 0);
    auto change = [&bytes](size_t at, int width, uint32_t value) {
        for (int k = 0; k < width; ++k)
            bytes[at + static_cast<size_t>(k)] = static_cast<char>((value >> (8 * k)) & 0xFF);
    };
    change(damage.at, damage.width, damage.value);
    change(damage.alsoAt, damage.alsoWidth, damage.alsoValue);

    test::TempFolder folder;
    const std::string path = folder.write("damaged.xls", bytes);
    std::string error;
    EXPECT_FALSE(SpreadsheetReader::read(path, &error));
    EXPECT_EQ(error, SpreadsheetReader::unreadableMessage(path, damage.reason));
}

// A cell of the workbook stream that shows shared text 12 (a LABELSST record: row, column,
// format, text index) at byte 1929 of the stream, which lies in the root entry's stream from
// sector 3: made a LABEL record, its text index becomes a count of 12 characters in a record of
// 10 bytes.
constexpr size_t twelfthSharedTextCell = (3 + 1) * 512 + 1929;
// The number format "General" (a FORMAT record: index, count of characters, flags, characters)
// at byte 370 of the workbook stream.
constexpr size_t generalFormat = (3 + 1) * 512 + 370;
// The shared texts (an SST record: total count, count of distinct texts, then each text's count,
// flags and characters) at byte 1085 of the workbook stream, followed by an EXTSST record at
// byte 1179.
constexpr size_t sharedTexts = (3 + 1) * 512 + 1085;
constexpr size_t afterSharedTexts = (3 + 1) * 512 + 1179;
constexpr size_t rootEntry = 5120;
constexpr size_t workbookEntry = 5120 + 128;

INSTANTIATE_TEST_SUITE_P(
    , DamagedCompoundFiles,
    ::testing::Values(
        CompoundDamage{"RootEntryClaimsGigabytes", rootEntry + 0x78, 4, 0xBE000AC0u,
                       "its compound file directory is damaged: Root Entry claims 3187673792 bytes"},
        CompoundDamage{"StreamClaimsOneByteMoreThanTheFile", workbookEntry + 0x78, 4, 6145,
                       "its compound file directory is damaged: Workbook claims 6145 bytes"},
        CompoundDamage{"NameLongerThanItsField", workbookEntry + 0x40, 2, 0xFFFF,
                       "its compound file directory is damaged: a name claims 65535 bytes"},
        CompoundDamage{"UnknownKindOfEntry", workbookEntry + 0x42, 1, 32,
                       "its compound file directory is damaged: an entry is of unknown kind 32"},
        CompoundDamage{"DirectoryBeforeTheFirstSector", 0x30, 4, 0xFFFFFFFFu, "its compound file directory lies outside the file"},
        CompoundDamage{"DirectoryBeyondTheEnd", 0x30, 4, 11, "its compound file directory lies outside the file"},
        CompoundDamage{"DirectoryChainedToItself", 512 + 4 * 9, 4, 9, "its compound file directory runs in a circle"},
        CompoundDamage{"RootStreamEndsEarly", 512 + 4 * 3, 4, 0xFFFFFFFEu,
                       "its compound file is damaged: the sectors of Root Entry do not hold its 2752 bytes"},
        CompoundDamage{"SmallStreamLeavesTheRootStream", 1536 + 4 * 17, 4, 0x10012u,
                       "its compound file is damaged: the sectors of Workbook do not hold its 2211 bytes"},
        CompoundDamage{"SmallStreamComesBackToItsStart", 1536 + 4 * 17, 4, 0,
                       "its compound file is damaged: the sectors of Workbook do not hold its 2211 bytes"},
        CompoundDamage{"TextCellLongerThanItsRecord", twelfthSharedTextCell, 2, 0x0204,
                       "its workbook is damaged: a text cell claims 12 characters that its record does not hold"},
        CompoundDamage{"NumberFormatLongerThanItsRecord", generalFormat + 6, 2, 0xFFFF,
                       "its workbook is damaged: a number format claims 65535 characters that its record does not hold"},
        CompoundDamage{"MoreSharedTextsThanTheStreamHolds", sharedTexts + 8, 4, 0x7FFFFFFF,
                       "its workbook is damaged: it claims 2147483647 shared texts"},
        // The first text claims 65,535 characters, which go on in the next record, made a
        // CONTINUE record of 10 bytes.
        CompoundDamage{"SharedTextGoesOnPastItsContinuation", sharedTexts + 12, 2, 0xFFFF,
                       "its workbook is damaged: a shared text claims more than its records hold", afterSharedTexts, 2,
                       0x003C}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace rvk
