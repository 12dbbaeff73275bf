#include "io/traitfile.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

using Columns = std::vector<std::vector<std::string>>;

std::vector<std::string> linesOf(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(TraitFileReader, MissingCodeNumbersAndNames)
{
    const TraitFileContents contents =
        TraitFileReader::readText("ntrt=2\nnind=2\nmiss=-\ntraitnames height yield\nP1 12.5 -\nP2 13 4.1\n");
    ASSERT_TRUE(contents.ok()) << contents.error;
    EXPECT_EQ(contents.columns, (Columns{{"traitnames", "height", "yield"}, {"P1", "12.50", ""}, {"P2", "13.00", "4.10"}}));
    EXPECT_EQ(contents.rowCount, 3);
    EXPECT_EQ(contents.traitNames, (std::vector<std::string>{"height", "yield"}));
}

TEST(TraitFileReader, LinesTheReaderSkipsOrKeeps)
{
    struct Case
    {
        const char *what;
        const char *text;
        Columns expected;
    };
    const Case cases[] = {
        {"a numeric name is stored as a number", "miss=*\ntraitnames t\n12 3\n", {{"traitnames", "t"}, {"12.00", "3.00"}}},
        {"comments, empty lines, CR LF and tabs", ";c\r\n\r\nntrt=1\r\nmiss = x \r\n;c\r\ntraitnames\tt\r\nA\tx\r\n",
         {{"traitnames", "t"}, {"A", ""}}},
        {"lines before miss are not read, quoted names keep blanks", "junk 1 2 3\nmiss=*\nlabel \"plant height\"\n\"P 1\" 1.005\n",
         {{"label", "plant height"}, {"P 1", "1.00"}}},
        {"a text value stays text", "miss=*\ntraitnames t\nA high\n", {{"traitnames", "t"}, {"A", "high"}}},
        {"a record longer than the names line keeps its values", "miss=*\ntraitnames t\nA 1 2\n",
         {{"traitnames", "t", ""}, {"A", "1.00", "2.00"}}},
    };
    for (const Case &c : cases) {
        const TraitFileContents contents = TraitFileReader::readText(c.text);
        ASSERT_TRUE(contents.ok()) << c.what;
        EXPECT_EQ(contents.columns, c.expected) << c.what;
    }
}

TEST(TraitFileReader, FileWithoutMissLineIsRefused)
{
    test::TempFolder folder;
    const std::string path = folder.write("nomiss.qua", "ntrt=1\ntraitnames t\nA 1\n");
    const TraitFileContents contents = TraitFileReader::readFile(path);
    EXPECT_FALSE(contents.ok());
    EXPECT_NE(contents.error.find(path), std::string::npos);
    EXPECT_TRUE(contents.columns.empty());
    EXPECT_FALSE(TraitFileReader::readFile(folder.file("absent.qua")).ok());
}

// The trait table height/yield with individuals P1, P2, P3 (P3 lacks yield).
struct ExportFixture
{
    Columns columns{{"", "height", "yield"}, {"P1", "12.50", "1.00"}, {"P2", "13.00", "4.10"}, {"P3", "9.00", ""}};

    TraitExportInput input() const
    {
        TraitExportInput in;
        in.columnCount = static_cast<int>(columns.size());
        in.rowCount = 3;
        in.cell = [this](int c, int r) -> const std::string & { return columns[static_cast<size_t>(c)][static_cast<size_t>(r)]; };
        in.checkListNames = {"P1", "P2", "P3"};
        in.ticked = {1, 0, 1};
        return in;
    }
};

TEST(TraitFileWriter, LayoutWithoutFiltering)
{
    ExportFixture fixture;
    const auto lines = linesOf(TraitFileWriter::fileText(fixture.input()));
    const std::vector<std::string> expected = {";RVK derived qua file", "nind=3", "ntrt=2", "miss=*", "", "traitnames\theight\tyield",
                                               "P1\t12.50\t1.00", "P2\t13.00\t4.10", "P3\t9.00\t*"};
    EXPECT_EQ(lines, expected);
}

TEST(TraitFileWriter, FilteringWritesTickedOrUnknown)
{
    ExportFixture fixture;
    TraitExportInput in = fixture.input();
    in.filtering = true;
    const auto selectedOnly = linesOf(TraitFileWriter::fileText(in));
    EXPECT_EQ(selectedOnly[0], ";RVK derived qua file. Contains only a selection of trait data matching a RVK selection of genotypes");
    EXPECT_EQ(selectedOnly[1], "nind=2");
    EXPECT_EQ(std::vector<std::string>(selectedOnly.begin() + 6, selectedOnly.end()),
              (std::vector<std::string>{"P1\t12.50\t1.00", "P3\t9.00\t*"}));

    in.unselectedAsUnknown = true;
    const auto withUnknown = linesOf(TraitFileWriter::fileText(in));
    EXPECT_EQ(withUnknown[1], "nind=3");
    EXPECT_EQ(withUnknown[7], "P2\t*\t*");

    // An individual of the data set without trait column is written by name alone.
    in.checkListNames.push_back("P9");
    in.ticked.push_back(1);
    EXPECT_EQ(linesOf(TraitFileWriter::fileText(in)).back(), "P9");
}

TEST(TraitFileWriter, RoundTripThroughReaderAndNameRule)
{
    ExportFixture fixture;
    test::TempFolder folder;
    std::string error;
    ASSERT_TRUE(TraitFileWriter::write(folder.file("out"), fixture.input(), &error)) << error;
    const TraitFileContents back = TraitFileReader::readFile(folder.file("out.qua"));
    ASSERT_TRUE(back.ok());
    Columns expected = fixture.columns;
    expected[0][0] = "traitnames";
    EXPECT_EQ(back.columns, expected);
    EXPECT_EQ(TraitFileWriter::outputPath("a.b/c.txt"), "a.b/c.txt");
}

TEST(TraitFileWriter, NamesWithBlanksReadBackAsOneName)
{
    // Individuals "Plant 1" and "P 2", traits "plant height" and "yield<tab>2024", a text value
    // "not scored": each is quoted and comes back whole, with every value under its own trait.
    const Columns columns = {{"", "plant height", "yield\t2024", "oil"},
                             {"Plant 1", "12.50", "1.00", "not scored"},
                             {"P 2", "13.00", "", "3.00"},
                             {"P3", "9.00", "4.10", "2.00"}};
    TraitExportInput in;
    in.columnCount = 4;
    in.rowCount = 4;
    in.cell = [&columns](int c, int r) -> const std::string & { return columns[static_cast<size_t>(c)][static_cast<size_t>(r)]; };
    const std::string text = TraitFileWriter::fileText(in);
    const auto lines = linesOf(text);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[5], "traitnames\t\"plant height\"\t\"yield\t2024\"\toil");
    EXPECT_EQ(lines[6], "\"Plant 1\"\t12.50\t1.00\t\"not scored\"");
    EXPECT_EQ(lines[7], "\"P 2\"\t13.00\t*\t3.00");
    EXPECT_EQ(lines[8], "P3\t9.00\t4.10\t2.00");

    const TraitFileContents back = TraitFileReader::readText(text);
    ASSERT_TRUE(back.ok()) << back.error;
    Columns expected = columns;
    expected[0][0] = "traitnames";
    EXPECT_EQ(back.columns, expected);
    EXPECT_EQ(back.traitNames, (std::vector<std::string>{"plant height", "yield\t2024", "oil"}));
}

} // namespace
} // namespace rvk
