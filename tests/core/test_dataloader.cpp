#include "core/dataloader.h"
#include "core/datafilereader.h"
#include "core/textlines.h"
#include "support/samegroups.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

std::string singleGroup(const std::string &name, int nind = 3, const std::string &codes = "abc")
{
    return "name=" + name + "\nnloc=2\nnind=" + std::to_string(nind) + "\npopt=f2\nm2 5.0 " + codes + "\nm1 1.0 " + codes + "\n";
}

const std::string threeGroups = "nchrom=3\nnind=2\npopt=f2\n"
                                "name=g1\nnloc=1\nm1 0 AB\n"
                                "name=g2\nnloc=1\nm2 0 HA\n"
                                "name=g3\nnloc=1\nm3 0 B-\n";

CodeSet codes(const std::string &text)
{
    CodeSet set;
    markCodes(text, set);
    return set;
}

struct LoaderFixture : ::testing::Test
{
    test::TempFolder folder;
    GenotypeData data;
    test::ScriptedUserInterface ui;
    DataLoader loader{data, ui};
};

TEST_F(LoaderFixture, GroupsAccumulateAcrossOpensAndAreSortedByPosition)
{
    const auto a = folder.write("a.rvk", singleGroup("first"));
    const auto b = folder.write("b.rvk", singleGroup("second"));
    EXPECT_TRUE(loader.OpenFiles({a}).completed);
    const LoadOutcome second = loader.OpenFiles({b});
    EXPECT_TRUE(second.completed);
    EXPECT_EQ(second.groupsBefore, 1);
    EXPECT_EQ(second.groupsAdded, 1);
    ASSERT_EQ(data.GroupCount(), 2);
    EXPECT_EQ(data.GroupName(1), "second");
    EXPECT_EQ(data.GroupFileName(1), "b.rvk");
    EXPECT_EQ(data.GroupLoci(0)[0].Name, "m1");
    EXPECT_TRUE(data.DataLoaded);
    EXPECT_EQ(data.SelectedIndices, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(data.LastIndividual, 3);
    EXPECT_EQ(data.CurrentIndividual, 1);
    EXPECT_EQ(second.usedCodes, codes("abc"));
    EXPECT_TRUE(ui.messages.empty());
    // Single-group files do not enter the recent list, nor bring settings of their own.
    EXPECT_EQ(second.rememberedFile, "");
    EXPECT_EQ(second.dataSetSettings, "");
}

TEST_F(LoaderFixture, MalformedSecondFileKeepsTheFirstAndStopsBeforeTheThird)
{
    const auto a = folder.write("a.rvk", singleGroup("first"));
    const auto bad = folder.write("bad.rvk", "name=x\nnloc=1\nnind=3\npopt=f2\nm1 1 ab\n#c\n");
    const auto c = folder.write("c.rvk", singleGroup("third"));
    const LoadOutcome outcome = loader.OpenFiles({a, bad, c});
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(outcome.failedFile, bad);
    EXPECT_EQ(data.GroupCount(), 1);
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{"Error encountered when reading locus: m1",
                                                     bad + " The file could not be opened because of errors, please check it"}));
    EXPECT_TRUE(data.DataLoaded);
}

TEST_F(LoaderFixture, AHeaderOrPositionThatIsNoNumberEndsWithTheLoadersOneMessage)
{
    for (const std::string &text : {std::string("name=x\nnloc=two\nnind=3\npopt=f2\nm1 1 abc\n"),
                                    std::string("name=x\nnloc=1\nnind=3.5\npopt=f2\nm1 1 abc\n"),
                                    std::string("name=x\nnloc=1\nnind=1\npopt=cp\nm1 inf ab\n")}) {
        ui.messages.clear();
        const auto path = folder.write("number.rvk", text);
        EXPECT_FALSE(loader.OpenFiles({path}).completed) << text;
        EXPECT_EQ(ui.texts(), std::vector<std::string>{DataLoader::fileFailedMessage(path)}) << text;
    }
    EXPECT_EQ(data.GroupCount(), 0);
}

TEST_F(LoaderFixture, UnreadableFilesAreReportedWithTheirReason)
{
    const auto binary = folder.write("binary.rvk", std::string("name=x\0\x01\x02", 9));
    const auto empty = folder.write("empty.rvk", "");
    const auto missing = folder.file("missing.rvk");
    for (const std::string &path : {binary, empty, missing}) {
        ui.messages.clear();
        EXPECT_FALSE(loader.OpenFiles({path, path}).completed) << path;
        ASSERT_EQ(ui.messages.size(), 2u) << path;
        EXPECT_EQ(ui.messages[1].text, DataLoader::fileFailedMessage(path));
    }
    EXPECT_EQ(data.GroupCount(), 0);
    EXPECT_FALSE(data.DataLoaded);
}

TEST_F(LoaderFixture, MultiGroupFileRegistersEveryGroupAndIsTheFileToRemember)
{
    const auto path = folder.write("three.rvk", threeGroups);
    const LoadOutcome outcome = loader.OpenFiles({path});
    EXPECT_TRUE(outcome.completed);
    EXPECT_TRUE(outcome.multiGroupFile);
    EXPECT_EQ(outcome.groupsAdded, 3);
    EXPECT_EQ(outcome.captionPath, path);
    EXPECT_EQ(outcome.rememberedFile, path);
    EXPECT_EQ(outcome.usedCodes, codes("ABH-"));
    EXPECT_GT(ui.progressCalls, 0);
    EXPECT_EQ(ui.lastProgress, 0); // reset at the end
}

TEST_F(LoaderFixture, FailingBlockOfAMultiGroupFileKeepsTheBlocksBefore)
{
    std::string text = threeGroups;
    text.replace(text.find("m2 0 HA"), 7, "m2 0 HAH");
    const auto path = folder.write("broken.rvk", text);
    const LoadOutcome outcome = loader.OpenFiles({path});
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(data.GroupCount(), 1);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "Error encountered when reading locus: m2");
    EXPECT_EQ(ui.messages[1].kind, UserInterface::MessageKind::Error);
    EXPECT_EQ(ui.messages[1].text, "Error in locus m2");
    EXPECT_EQ(outcome.rememberedFile, "");
    EXPECT_EQ(outcome.usedCodes, codes("AB")) << "the codes of the block kept";
}

// The loader reads a multi-group file from the file in passes; the reader's rules are written
// for the file's lines. Both must agree on every block, header line and name, also where a line
// is longer than what a pass reads at a time.
TEST(MultiGroupFileFromDisk, ReadsWhatTheLinesSay)
{
    const std::string longCodes = [] {
        std::string codes;
        for (int i = 0; i < 1'000'000; ++i)
            codes += i % 2 ? "A    " : "B\t   ";
        return codes; // five megabytes on one line
    }();
    const struct
    {
        const char *what;
        std::string text;
    } cases[] = {
        {"byte-order mark, CR LF ends, names with trailing blanks",
         "\xEF\xBB\xBFnchrom=2\r\nnind=2\r\npopt=f2\r\nname=g1\r\nnloc=1\r\nm1 0 AB\r\nindividual names\r\nfirst  \r\nsecond\r\n"
         "name=g2\r\nnloc=1\r\nm2 1 HB\r\n"},
        {"CR alone", "nchrom=2\rnind=2\rpopt=f2\rname=g1\rnloc=1\rm1 0 AB\rname=g2\rnloc=1\rm2 1 HB\r"},
        {"a comment naming a block, a one-line block, a blank line and a late popt line",
         "nchrom=2\nnind=2\npopt=f2\n; no name here\nname=g1\nnloc=2\n\nm1 0 AB\nm2 1\n  BA\nname=alone\n"
         "name=g2\nnloc=1\npopt=dh\nm3 0 AA\nAlias\nx y\n"},
        {"a nind line inside a block", "nchrom=2\nnind=2\npopt=f2\nname=g1\nnloc=1\nm1 0 AB\nname=g2\nnind=3\nnloc=1\nm2 0 ABH\n"},
        {"lines before the first name line", "nchrom=1\nnind=2\npopt=f2\nnloc=1\nm0 0 AB\nname=g1\nnloc=1\nm1 0 AB\n"},
        {"a line longer than a pass reads", "nchrom=1\nnind=1000000\npopt=f2\nname=g1\nnloc=1\nm1 0\n" + longCodes + "\n"},
        {"a broken second block", "nchrom=2\nnind=2\npopt=f2\nname=g1\nnloc=1\nm1 0 AB\nname=g2\nnloc=2\nm2 0 AB\nAlias\n"},
    };
    test::TempFolder folder;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        GenotypeData fromFile;
        SilentUserInterface ui;
        DataLoader loader(fromFile, ui);
        const bool fileRead = loader.OpenFiles({folder.write("multi.rvk", c.text)}).completed;

        GenotypeData fromLines;
        DataFileReader reader(fromLines, ui);
        reader.setSourceText(c.text);
        bool linesRead = true;
        try {
            reader.SplitMultiGroupFile(splitLines(c.text), [&] { SortGroupByPosition(fromLines.LinkageGroups.back()->Loci); });
        } catch (const std::exception &) {
            linesRead = false;
        }
        EXPECT_EQ(fileRead, linesRead);
        test::expectSameGroups(fromFile, fromLines);
        EXPECT_EQ(fromFile.nind, fromLines.nind);
    }
}

TEST_F(LoaderFixture, ResetEmptiesTheData)
{
    const auto path = folder.write("three.rvk", threeGroups);
    loader.OpenFiles({path});
    data.LastIndividual = 7;
    loader.Reset();
    EXPECT_EQ(data.GroupCount(), 0);
    EXPECT_EQ(data.nind, 0);
    EXPECT_EQ(data.nloc, 0);
    EXPECT_EQ(data.popt, "unknown");
    EXPECT_EQ(data.CurrentGroupName, "noname");
    EXPECT_EQ(data.CurrentIndividual, 1);
    EXPECT_EQ(data.LastIndividual, 7);
    EXPECT_FALSE(data.DataLoaded);
    EXPECT_TRUE(data.IndividualNames.empty());
}

TEST_F(LoaderFixture, DataSetSettingsFileBesideTheFirstFileIsFound)
{
    const auto path = folder.write("data.rvk", singleGroup("g"));
    const auto second = folder.write("more.rvk", singleGroup("h"));
    folder.write("data.rvs", "[x]\n");
    folder.write("more.rvs", "[x]\n");
    EXPECT_EQ(loader.OpenFiles({path, second}).dataSetSettings, folder.file("data.rvs"));
    EXPECT_EQ(loader.OpenFiles({folder.write("none.rvk", singleGroup("i"))}).dataSetSettings, "");
    // A failed read brings no settings.
    EXPECT_EQ(loader.OpenFiles({folder.write("data.rvk", "name=x\nnloc=two\n")}).dataSetSettings, "");
}

TEST(DataLoaderNames, SettingsNameDropsTheLastFourCharacters)
{
    EXPECT_EQ(DataLoader::settingsNameFor("/home/u/data.rvk"), "/home/u/data.rvs");
    EXPECT_EQ(DataLoader::settingsNameFor("/home/u/x.y.rvk"), "/home/u/x.y.rvs");
}

} // namespace
} // namespace rvk
