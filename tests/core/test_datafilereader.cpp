#include "core/datafilereader.h"
#include "core/mappedtextfile.h"
#include "core/readexception.h"
#include "core/textlines.h"
#include "support/samegroups.h"
#include "support/scripteduserinterface.h"

#include "support/casename.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

// Reads text as a single-group file into a fresh data set.
struct ReadFixture
{
    GenotypeData data;
    test::ScriptedUserInterface ui;
    DataFileReader reader{data, ui};

    void read(const std::string &text) { reader.ReadGroup(splitLines(text)); }
    const Tlocinfo &locus(int k) { return data.GroupLoci(0).at(static_cast<size_t>(k)); }
};

std::string header(int nloc, int nind, const std::string &popt = "f2", const std::string &name = "Chr 1")
{
    return "name = " + name + "\nnloc=" + std::to_string(nloc) + "\nnind=" + std::to_string(nind) + "\npopt=" + popt + "\n";
}

TEST(DataFileReader, HeaderKeysAreCaseAndBlankInsensitive)
{
    ReadFixture f;
    f.read("NAME = Chr 1\n  NLOC = 1\nnInd=\t3\nPopt = F 2\nm1 1.0 abc\n");
    EXPECT_EQ(f.data.CurrentGroupName, "chr1");
    EXPECT_EQ(f.data.popt, "f2");
    EXPECT_EQ(f.data.nind, 3);
    EXPECT_EQ(f.data.GroupCount(), 1);
    EXPECT_EQ(f.data.GroupName(0), "chr1");
}

struct PositionCase
{
    std::string positionToken;
    double position, qtlStart, qtlEnd;
};

void PrintTo(const PositionCase &c, std::ostream *os) { *os << c.positionToken; }

class PositionTokens : public ::testing::TestWithParam<PositionCase> {};

TEST_P(PositionTokens, GivePositionAndQtlInterval)
{
    ReadFixture f;
    f.read(header(1, 2) + "m1 " + GetParam().positionToken + " ab\n");
    EXPECT_DOUBLE_EQ(f.locus(0).Position, GetParam().position);
    EXPECT_DOUBLE_EQ(f.locus(0).QtlStart, GetParam().qtlStart);
    EXPECT_DOUBLE_EQ(f.locus(0).QtlEnd, GetParam().qtlEnd);
}

INSTANTIATE_TEST_SUITE_P(, PositionTokens,
                         ::testing::Values(PositionCase{"12.5/10", 12.5, -1, 10}, PositionCase{"12.5", 12.5, 0, 0},
                                           PositionCase{"abc", -1, 0, 0}, PositionCase{"12.5/10/x", 12.5, 10, -1},
                                           PositionCase{"12.5/10/15", 12.5, 10, 15}, PositionCase{"-3e1", -30, 0, 0},
                                           PositionCase{"1,5", -1, 0, 0}, PositionCase{"inf", -1, 0, 0},
                                           PositionCase{"NaN", -1, 0, 0}, PositionCase{"12/infinity/-inf", 12, -1, -1}),
                         test::namedBy([](const PositionCase &c) { return "position " + c.positionToken; }));

TEST(DataFileReader, CodesSpreadOverLinesWithBlanks)
{
    ReadFixture f;
    f.read(header(2, 5) + "m1 1.0 aa b\nb a\nm2 2.0 ;comment here\na;b c\nd\n");
    EXPECT_EQ(f.locus(0).Genotypes, "aabba");
    // Only the first line of a record is cut at ";".
    EXPECT_EQ(f.locus(1).Genotypes, "a;bcd");
}

TEST(DataFileReader, CharactersOutsideTheCodeRangeBecomeU)
{
    ReadFixture f;
    f.read(header(1, 4) + "m1 1.0 a~b\xC3\n");
    EXPECT_EQ(f.locus(0).Genotypes, "aUbU");
    EXPECT_TRUE(f.reader.usedCodes().test(static_cast<size_t>(codeIndex('U'))));
    EXPECT_TRUE(f.reader.usedCodes().test(static_cast<size_t>(codeIndex('a'))));
    EXPECT_FALSE(f.reader.usedCodes().test(static_cast<size_t>(codeIndex('c'))));
}

TEST(DataFileReader, CrossPollinatorAnnotations)
{
    ReadFixture f;
    f.read(header(3, 2, "cp") + "m1 3.0 <abxcd>{0-}(x1) ab\nac\nm2 4.0 <ABXCD> ad bd\nm3 5.0 <abxcde>{0-1x} aa bb\n");
    EXPECT_EQ(f.locus(0).Name, "m1 <abxcd> (x1)");
    EXPECT_EQ(f.locus(0).SegType, "<abxcd>");
    EXPECT_EQ(f.locus(0).Phase, "{0-}");
    EXPECT_EQ(f.locus(0).Genotypes, "abac");
    EXPECT_EQ(f.locus(1).SegType, "<abxcd>");
    EXPECT_EQ(f.locus(1).Genotypes.size(), 4u);
    // A segregation type of another length is not stored; a phase keeps its first four characters.
    EXPECT_EQ(f.locus(2).SegType, "");
    EXPECT_EQ(f.locus(2).Phase, "{0-1");
}

TEST(DataFileReader, CrossPollinatorRecordOnTheLastLineIsRead)
{
    ReadFixture f;
    f.read(header(1, 3, "cp") + "m1 3.0 <hkxhk> hhkkhk");
    EXPECT_EQ(f.locus(0).Genotypes, "hhkkhk");
    EXPECT_EQ(f.locus(0).Phase, "{00}");
}

TEST(DataFileReader, PhaseOnACrossPollinatorContinuationLineIsDropped)
{
    ReadFixture f;
    // Both loci are in coupling for the first parent; the "{1-}" of the continuation lines is
    // taken off the codes but is not the locus's phase.
    f.read(header(2, 2, "cp") + "m1 3.0 <abxaa> aa\n{1-}ab\nm2 4.0 <abxaa> aa\n{1-} ab\n");
    EXPECT_EQ(f.locus(0).Genotypes, "aaab");
    EXPECT_EQ(f.locus(1).Genotypes, "aaab");
    EXPECT_EQ(f.locus(0).Phase, "{0-}");
    EXPECT_EQ(f.locus(1).Phase, "{0-}");
    EXPECT_EQ(f.locus(1).Name, "m2 <abxaa>");
}

TEST(DataFileReader, QuotedNameToken)
{
    ReadFixture f;
    f.read(header(1, 2) + "\"marker one\" 5.0 ab\n");
    EXPECT_EQ(f.locus(0).Name, "marker one");
    EXPECT_DOUBLE_EQ(f.locus(0).Position, 5.0);
}

TEST(DataFileReader, NamesFromAliasAndNamesSection)
{
    {
        ReadFixture f;
        f.read(header(1, 3) + "m1 1 abc\nalias \"first one\" two\nthree\n");
        EXPECT_EQ(f.data.IndividualNames, (std::vector<std::string>{"first one", "two", "three"}));
        EXPECT_TRUE(f.reader.aliasSectionSeen());
    }
    {
        // Too few alias names: the rest are empty.
        ReadFixture f;
        f.read(header(1, 3) + "m1 1 abc\nALIAS one\n");
        EXPECT_EQ(f.data.IndividualNames, (std::vector<std::string>{"one", "", ""}));
    }
    {
        // A names section with exactly nind lines wins over the alias section.
        ReadFixture f;
        f.read(header(1, 2) + "m1 1 ab\nalias x y\nIndividual Names:\n plant 1\nplant 2\n");
        EXPECT_EQ(f.data.IndividualNames, (std::vector<std::string>{" plant 1", "plant 2"}));
    }
    {
        // With another count the names section is ignored.
        ReadFixture f;
        f.read(header(1, 2) + "m1 1 ab\nindividual names\nonly one\n");
        EXPECT_EQ(f.data.IndividualNames, (std::vector<std::string>{"1", "2"}));
        EXPECT_EQ(f.data.IndividualNumbers, (std::vector<int>{1, 2}));
    }
    {
        // A section longer than nind is ignored as well, also over an alias section.
        ReadFixture f;
        f.read(header(1, 2) + "m1 1 ab\nalias x y\nindividual names\np1\np2\np3\n");
        EXPECT_EQ(f.data.IndividualNames, (std::vector<std::string>{"x", "y"}));
    }
    {
        // Of two "individual names" lines the last one begins the section.
        ReadFixture f;
        f.read(header(1, 2) + "m1 1 ab\nindividual names\nq1\nIndividual Names\np1\np2\n");
        EXPECT_EQ(f.data.IndividualNames, (std::vector<std::string>{"p1", "p2"}));
    }
}

TEST(DataFileReader, NamesSectionLinesAreTakenWholeWithTheirTrailingBlanks)
{
    for (const std::string lineEnd : {"\n", "\r\n", "\r"}) {
        std::string text = header(1, 2) + "m1 1 ab\nindividual names\nplant 1  \n\tplant 2\t\n";
        std::string ended;
        for (char c : text)
            ended += c == '\n' ? lineEnd : std::string(1, c);
        GenotypeData data;
        test::ScriptedUserInterface ui;
        DataFileReader reader(data, ui);
        reader.setSourceText(ended);
        reader.ReadGroup(splitLines(ended));
        EXPECT_EQ(data.IndividualNames, (std::vector<std::string>{"plant 1  ", "\tplant 2\t"})) << lineEnd.size();
    }
}

TEST(DataFileReader, WindowsLineEndsByteOrderMarkAndTrailingBlanksReadLikePlainText)
{
    const std::string plain = header(2, 3) + "m1 1.0 abc\nm2 2.5 <x> a\nbb\nalias p q r\n";
    std::string windows;
    for (char c : plain)
        windows += c == '\n' ? std::string(" \t\r\n") : std::string(1, c);
    ReadFixture a, b;
    a.read(plain);
    b.read("\xEF\xBB\xBF" + windows);
    ASSERT_EQ(b.data.GroupCount(), 1);
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(a.locus(k).Name, b.locus(k).Name);
        EXPECT_EQ(a.locus(k).Genotypes, b.locus(k).Genotypes);
        EXPECT_EQ(a.locus(k).Position, b.locus(k).Position);
    }
    EXPECT_EQ(a.data.IndividualNames, b.data.IndividualNames);
}

struct MalformedCase
{
    const char *what;
    std::string text;
    std::string error;          // the error's text
    std::string warning;        // the reader's own warning, if any
};

void PrintTo(const MalformedCase &c, std::ostream *os) { *os << c.what; }

class MalformedFiles : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedFiles, RaiseAReadErrorAndAddNoGroup)
{
    ReadFixture f;
    try {
        f.read(GetParam().text);
        FAIL() << GetParam().what << " was read";
    } catch (const std::exception &error) {
        EXPECT_EQ(error.what(), GetParam().error) << GetParam().what;
    }
    EXPECT_EQ(f.data.GroupCount(), 0) << GetParam().what;
    if (GetParam().warning.empty())
        EXPECT_TRUE(f.ui.messages.empty()) << GetParam().what;
    else
        EXPECT_EQ(f.ui.texts(), std::vector<std::string>{GetParam().warning}) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    , MalformedFiles,
    ::testing::Values(
        MalformedCase{"continuation starting outside the codes", header(1, 5) + "m1 1.0 aa\n#bb\n", "Error in locus m1",
                      "Error encountered when reading locus: m1"},
        MalformedCase{"record overshooting its code count", header(1, 3) + "m1 1.0 aa\nbb\n", "Error in locus m1",
                      "Error encountered when reading locus: m1"},
        MalformedCase{"first line overshooting", header(2, 2) + "m1 1.0 aaa\nm2 1 aa\n", "Error in locus m1",
                      "Error encountered when reading locus: m1"},
        MalformedCase{"file ending inside a record", header(1, 6) + "m1 1.0 aa\nbb\n", "Error in locus m1",
                      "Error encountered when reading locus: m1"},
        MalformedCase{"nloc larger than the records, ALIAS follows", header(3, 2) + "m1 1 ab\nm2 2\nALIAS x y\n",
                      "Error in \"nloc=\" parameter", "Error found, \"Nloc=3\" parameter not correct"},
        MalformedCase{"nloc larger than the records, every record complete, then the alias line",
                      header(3, 2) + "m1 1 ab\nm2 2 ab\nALIAS x y\n", "Error in \"nloc=\" parameter",
                      "Error found, \"Nloc=3\" parameter not correct"},
        MalformedCase{"cp: nloc larger than the records, then the alias line", header(2, 1, "cp") + "m1 1 ab\nalias x\n",
                      "Error in \"nloc=\" parameter", "Error found, \"Nloc=2\" parameter not correct"},
        MalformedCase{"nloc larger than the records present", header(3, 2) + "m1 1 ab\nm2 2 ab\n",
                      "Error in \"nloc=\" parameter", "Error found, \"Nloc=3\" parameter not correct"},
        MalformedCase{"non-integer nloc", "name=a\nnloc=1.5\nnind=2\npopt=f2\nm1 1 ab\n", "'1.5' is not a valid integer value", ""},
        MalformedCase{"non-integer nind", "name=a\nnloc=1\nnind=x\npopt=f2\nm1 1 ab\n", "'x' is not a valid integer value", ""},
        MalformedCase{"cp position not a number", header(1, 1, "cp") + "m1 x1 ab\n", "'x1' is not a valid floating point value", ""},
        MalformedCase{"cp position nan", header(1, 1, "cp") + "m1 nan ab\n", "'nan' is not a valid floating point value", ""},
        MalformedCase{"empty file", "", "The file holds no data", ""},
        MalformedCase{"absurd nind without records", "name=a\nnloc=0\nnind=44444444\npopt=f2\n",
                      "The file says nind=44444444; RVK reads at most 1000000 individuals", ""},
        MalformedCase{"blank lines and comments only", "\n  \n;comment\n\t\n", "The file holds no data", ""},
        MalformedCase{"hap group without loci", header(0, 2, "hap"), "A linkage group of population type hap needs at least one locus", ""}),
    test::namedBy([](const MalformedCase &c) { return std::string(c.what); }));

TEST(DataFileReader, FailedGroupLeavesEarlierGroupsAndHeaderValues)
{
    ReadFixture f;
    f.read(header(1, 2, "f2", "one") + "m1 1 ab\n");
    EXPECT_THROW(f.read(header(1, 2, "f2", "two") + "m1 1 a\n#\n"), readexception);
    EXPECT_EQ(f.data.GroupCount(), 1);
    EXPECT_EQ(f.data.CurrentGroupName, "one");
    EXPECT_EQ(f.data.nind, 2);
}

TEST(DataFileReader, GroupWithOtherIndividualCountIsRefused)
{
    ReadFixture f;
    f.read(header(1, 2) + "m1 1 ab\n");
    EXPECT_THROW(f.read(header(1, 3) + "m1 1 abc\n"), readexception);
    EXPECT_EQ(f.data.GroupCount(), 1);
    EXPECT_EQ(f.data.nind, 2);
}

TEST(DataFileReader, CrossPollinatorAndOtherGroupsAreNotMixed)
{
    {
        ReadFixture f;
        f.read(header(1, 2, "cp", "one") + "m1 1 <abxaa> aaab\n");
        EXPECT_THROW(f.read(header(1, 2, "f2", "two") + "m1 1 ab\n"), readexception);
        EXPECT_EQ(f.data.GroupCount(), 1);
        EXPECT_EQ(f.data.popt, "cp");
    }
    {
        ReadFixture f;
        f.read(header(1, 2, "f2", "one") + "m1 1 ab\n");
        EXPECT_THROW(f.read(header(1, 2, "cp", "two") + "m1 1 <abxaa> aaab\n"), readexception);
        EXPECT_EQ(f.data.GroupCount(), 1);
        EXPECT_EQ(f.data.popt, "f2");
    }
    {
        // Groups of two other population types go together.
        ReadFixture f;
        f.read(header(1, 2, "f2", "one") + "m1 1 ab\n");
        f.read(header(1, 2, "hap", "two") + "m1 1 ab\n");
        EXPECT_EQ(f.data.GroupCount(), 2);
        EXPECT_EQ(f.data.popt, "hap");
    }
}

TEST(DataFileReader, AtMostOneHundredGroups)
{
    ReadFixture f;
    for (int i = 0; i < GenotypeData::MaxGroups; ++i)
        f.read(header(1, 1) + "m1 1 a\n");
    EXPECT_THROW(f.read(header(1, 1) + "m1 1 a\n"), readexception);
    EXPECT_EQ(f.data.GroupCount(), GenotypeData::MaxGroups);
}

TEST(DataFileReader, MultiGroupFileIsCutAtNameLines)
{
    ReadFixture f;
    const std::string text = "nchrom=2\nnind=3\npopt=f2\n\nname=chrA\nnloc=2\nm1 0.0 \nabc\nm2 5.0\nab a\n"
                             "; a comment with the word name\nname=chrB\nnloc=1\nmx 1.0 bbb\nAlias a1 a2 a3\n";
    int groupsSeen = 0;
    f.reader.SplitMultiGroupFile(splitLines(text), [&] { ++groupsSeen; });
    ASSERT_EQ(f.data.GroupCount(), 2);
    EXPECT_EQ(groupsSeen, 2);
    EXPECT_EQ(f.data.GroupName(0), "chra");
    EXPECT_EQ(f.data.GroupName(1), "chrb");
    EXPECT_EQ(f.data.GroupPopType(1), "f2");
    EXPECT_EQ(f.data.GroupLoci(0)[1].Genotypes, "aba");
    EXPECT_EQ(f.data.IndividualNames, (std::vector<std::string>{"a1", "a2", "a3"}));
}

// Read from the file, a multi-group text is cut in a first pass that notes which lines each
// block drops and whether one may open a names section, and the last block's text is let go as
// its records are read. Each case gives the same groups, codes and names as the cutting of the
// text's lines.
TEST(DataFileReader, MultiGroupFileReadInPassesGivesWhatItsLinesSay)
{
    // A last block large enough that its first records' text is given back before the rest is
    // read: 3,000 loci of 1,000 codes each, then an alias section.
    const std::string largeLastBlock = [] {
        std::string text = "name=big\nnloc=3000\n";
        for (int l = 0; l < 3000; ++l) {
            text += "b" + std::to_string(l) + " " + std::to_string(l) + ".0 ";
            for (int i = 0; i < 1000; ++i)
                text += "ABH"[(i * 7 + l) % 3];
            text += "\n";
        }
        text += "alias";
        for (int i = 0; i < 1000; ++i)
            text += " n" + std::to_string(i);
        return text + "\n";
    }();
    const struct
    {
        const char *what;
        std::string text;
        bool reads;
    } cases[] = {
        {"a byte-order mark before a dropped first line", "\xEF\xBB\xBFnind=2\nnchrom=2\npopt=f2\nname=g1\nnloc=1\nm1 0 AB\nname=g2\nnloc=1\nm2 1 HB\n", true},
        // A names line holds "name": it starts a block of its own, which lacks its records.
        {"a names section after the first block",
         "nchrom=2\nnind=2\npopt=f2\nname=g1\nnloc=1\nm1 0 AB\nIndividual Names\np1\np2\nname=g2\nnloc=1\nm2 1 HB\n", false},
        {"the words of a names section on a dropped comment line",
         "nchrom=1\nnind=2\npopt=f2\nname=g1\nnloc=1\nm1 0 AB\n; individual names\nq1\nq2\n", false},
        {"popt and nind lines inside the last block", "nchrom=2\nnind=2\npopt=f2\nname=g1\nnloc=1\nm1 0 AB\nname=g2\npopt=hap\nnloc=2\nm2 0 ab\nnind=2\nm3 1 ba\n", true},
        {"a large last block with an alias section", "nchrom=2\nnind=1000\npopt=f2\nname=small\nnloc=1\ns1 0 " + std::string(1000, 'A') + "\n" + largeLastBlock, true},
        {"a large last block whose records run short", "nchrom=1\nnind=1000\npopt=f2\n" + largeLastBlock.substr(0, largeLastBlock.size() / 2) + "\n", false},
    };
    test::TempFolder folder;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        GenotypeData fromFile;
        test::ScriptedUserInterface ui;
        bool fileRead = true;
        try {
            MappedTextFile file;
            ASSERT_TRUE(file.open(folder.write("multi.rvk", c.text), nullptr));
            DataFileReader(fromFile, ui).ReadMultiGroupFile(file, {});
        } catch (const std::exception &) {
            fileRead = false;
        }

        GenotypeData fromLines;
        DataFileReader reader(fromLines, ui);
        reader.setSourceText(c.text);
        bool linesRead = true;
        try {
            reader.SplitMultiGroupFile(splitLines(c.text), {});
        } catch (const std::exception &) {
            linesRead = false;
        }
        EXPECT_EQ(fileRead, c.reads);
        EXPECT_EQ(linesRead, c.reads);
        test::expectSameGroups(fromFile, fromLines);
    }
}

TEST(DataFileReader, TokensCutFromTheFrontOfALine)
{
    struct Case
    {
        std::string line, token, rest;
    };
    for (const Case &c : std::vector<Case>{{"m1 12.5 ab", "m1", "12.5 ab"},
                                           {"\t m1\t12.5", "m1", "12.5"},
                                           {"\"a b\"  rest  ", "a b", "rest"},
                                           {"single", "single", ""},
                                           {"x\"quoted\"y", "quoted", ""},
                                           {"\"open", "", ""}}) {
        std::string_view line = c.line;
        EXPECT_EQ(cutToken(line), c.token) << c.line;
        EXPECT_EQ(line, c.rest) << c.line;
    }
}

} // namespace
} // namespace rvk
