#include "selection/selectionlists.h"
#include "selectiontestdata.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rvk::test {
namespace {

namespace SL = SelectionList;

struct ListFixture
{
    ListFixture() { fillData(data, 5, {{"g", {{"m1", 0.0, "abhab"}}}}, "f2", {"A1", "B2", "A1", "c3", "D4"}); }
    GenotypeData data;
    SelectionTexts texts;
};

TEST(SelectionList, ButtonsTickUntickLockAndUnlock)
{
    ListFixture f;
    SL::selectNone(f.data);
    EXPECT_EQ(ticks(f.data), (std::vector<int>{0, 0, 0, 0, 0}));

    SL::check(f.data, {1, 3, 99, -1});
    EXPECT_EQ(ticks(f.data), (std::vector<int>{0, 1, 0, 1, 0}));
    EXPECT_EQ(f.data.Locked, (std::vector<char>{0, 0, 0, 0, 0})); // "Check" does not lock

    SL::lock(f.data, {0, 1});
    EXPECT_EQ(ticks(f.data), (std::vector<int>{1, 1, 0, 1, 0}));
    EXPECT_EQ(f.data.Locked, (std::vector<char>{1, 1, 0, 0, 0}));

    SL::unlock(f.data, {0});
    EXPECT_EQ(ticks(f.data), (std::vector<int>{1, 1, 0, 1, 0})); // "Unlock" keeps ticks
    EXPECT_EQ(f.data.Locked, (std::vector<char>{0, 1, 0, 0, 0}));

    SL::uncheck(f.data, {1});
    EXPECT_EQ(ticks(f.data), (std::vector<int>{1, 0, 0, 1, 0}));
    EXPECT_EQ(f.data.Locked, (std::vector<char>{0, 0, 0, 0, 0})); // "Uncheck" releases

    SL::lock(f.data, {4});
    SL::selectAll(f.data);
    EXPECT_EQ(ticks(f.data), (std::vector<int>{1, 1, 1, 1, 1}));
    EXPECT_EQ(f.data.Locked, (std::vector<char>{0, 0, 0, 0, 0}));
    EXPECT_EQ(f.data.SelectedIndices, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(SelectionList, WithoutGroupsOnlyAllEmptiesTheIndices)
{
    GenotypeData data;
    data.IndividualNames = {"x", "y"};
    data.Ticked = {1, 0};
    data.Locked = {0, 0};
    data.SelectedIndices = {0};
    SL::selectNone(data);
    SL::check(data, {1});
    SL::lock(data, {1});
    EXPECT_EQ(data.Ticked, (std::vector<char>{1, 0}));
    EXPECT_EQ(data.Locked, (std::vector<char>{0, 0}));
    SL::selectAll(data);
    EXPECT_TRUE(data.SelectedIndices.empty());
    EXPECT_EQ(data.Ticked, (std::vector<char>{1, 0}));
}

TEST(SelectionList, LeavingThePageSetsFilteringFromTheTicks)
{
    ListFixture f;
    SL::uncheck(f.data, {0, 4});
    SL::leavePage(f.data, f.texts);
    EXPECT_TRUE(f.data.Selectionyesno);
    EXPECT_EQ(f.texts.statusText, "Selection active; [3 selected]");
    EXPECT_EQ(f.data.SelectedIndices, (std::vector<int>{1, 2, 3}));

    // Everyone ticked: filtering goes off even after a click in the list turned it on.
    SL::check(f.data, {0, 4});
    SL::listClicked(f.data);
    EXPECT_TRUE(f.data.Selectionyesno);
    SL::leavePage(f.data, f.texts);
    EXPECT_FALSE(f.data.Selectionyesno);
    EXPECT_EQ(f.texts.statusText, "no selection");
}

TEST(SelectionList, ListFilesAreReadWithEveryLineEnd)
{
    struct Case
    {
        const char *description;
        std::string text;
        std::vector<int> ticks;
    };
    const std::vector<Case> cases = {
        {"CR LF", "B2\r\nD4\r\n", {0, 1, 0, 0, 1}},
        {"LF without last line end", "B2\nD4", {0, 1, 0, 0, 1}},
        {"CR", "B2\rc3\r", {0, 1, 0, 1, 0}},
        {"no match", "b2\nX\n d4\n", {0, 0, 0, 0, 0}},
        {"duplicate names", "A1\r\n", {1, 0, 1, 0, 0}},
        {"byte-order mark", "\xEF\xBB\xBF" "c3\r\n", {0, 0, 0, 1, 0}},
        {"empty file", "", {0, 0, 0, 0, 0}},
    };
    TempFolder folder;
    for (const Case &c : cases) {
        ListFixture f;
        const std::string path = folder.write("list.rvl", c.text);
        std::string error;
        ASSERT_TRUE(SL::readSelectionListFile(path, f.data, &error)) << error;
        EXPECT_EQ(ticks(f.data), c.ticks) << c.description;
        EXPECT_FALSE(f.data.Selectionyesno) << c.description; // leaving the page applies the ticks
        EXPECT_EQ(f.data.SelectedIndices, (std::vector<int>{0, 1, 2, 3, 4})) << c.description;
    }
}

TEST(SelectionList, EachLineEndEndsOneLineSoNoEmptyNameIsRead)
{
    // Individuals without names (an alias section with too few names) are named only by an
    // empty line; CR LF, LF and CR each end one line and make no empty line between two names.
    struct Case
    {
        const char *description;
        std::string text;
        std::vector<int> ticks;
    };
    const std::vector<Case> cases = {
        {"CR LF", "A1\r\nD4\r\n", {1, 0, 0, 0, 1}},
        {"LF", "A1\nD4\n", {1, 0, 0, 0, 1}},
        {"CR", "A1\rD4\r", {1, 0, 0, 0, 1}},
        {"CR LF at the end only", "D4\r\n", {0, 0, 0, 0, 1}},
        {"an empty line names the unnamed", "A1\r\n\r\nD4\r\n", {1, 1, 0, 1, 1}},
        {"LF CR is two line ends", "A1\n\rD4", {1, 1, 0, 1, 1}},
    };
    for (const Case &c : cases) {
        GenotypeData data;
        fillData(data, 5, {{"g", {{"m1", 0.0, "abhab"}}}}, "f2", {"A1", "", "B2", "", "D4"});
        SL::applySelectionListText(data, c.text);
        EXPECT_EQ(ticks(data), c.ticks) << c.description;
    }
}

TEST(SelectionList, ListNamingNobodyLeavesNoneSelected)
{
    ListFixture f;
    SL::applySelectionListText(f.data, "nobody\r\n");
    SL::leavePage(f.data, f.texts);
    EXPECT_TRUE(f.data.Selectionyesno);
    EXPECT_EQ(f.texts.statusText, "Selection active; [0 selected]");
    EXPECT_TRUE(f.data.SelectedIndices.empty());
}

TEST(SelectionList, LockedEntriesKeepTheirLockWhenAListUnticksThem)
{
    ListFixture f;
    SL::lock(f.data, {3, 4});
    SL::applySelectionListText(f.data, "D4\n");
    EXPECT_EQ(ticks(f.data), (std::vector<int>{0, 0, 0, 0, 1}));
    EXPECT_EQ(f.data.Locked, (std::vector<char>{0, 0, 0, 1, 1}));
}

TEST(SelectionList, SavedListsHoldTheTickedNamesWithCrLf)
{
    ListFixture f;
    SL::uncheck(f.data, {1, 3});
    SL::lock(f.data, {4});
    TempFolder folder;
    ScriptedUserInterface ui;
    ui.saveChoices.push_back(folder.file("chosen"));
    ASSERT_TRUE(SL::saveSelectionList(f.data, ui));
    EXPECT_EQ(readWholeFile(folder.file("chosen.rvl")), "A1\r\nA1\r\nD4\r\n");

    // Reading it back gives the same ticks.
    ListFixture g;
    ASSERT_TRUE(SL::readSelectionListFile(folder.file("chosen.rvl"), g.data, nullptr));
    EXPECT_EQ(ticks(g.data), (std::vector<int>{1, 0, 1, 0, 1}));

    ui.saveChoices.push_back(folder.file("other.txt"));
    ASSERT_TRUE(SL::saveSelectionList(f.data, ui));
    EXPECT_TRUE(std::filesystem::exists(folder.file("other.txt")));

    // Cancelled: nothing written.
    EXPECT_FALSE(SL::saveSelectionList(f.data, ui));
    EXPECT_TRUE(ui.messages.empty());
}

TEST(SelectionList, AFailedSaveKeepsTheOldFile)
{
    ListFixture f;
    TempFolder folder;
    // A folder standing where the list should go cannot be replaced: it stays with its content.
    const std::string old = folder.file("kept.rvl");
    std::filesystem::create_directory(old);
    folder.write("kept.rvl/inside.txt", "old\r\n");
    std::string error;
    EXPECT_FALSE(SL::writeSelectionListFile(old, f.data, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readWholeFile(folder.file("kept.rvl/inside.txt")), "old\r\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"kept.rvl"});

    ScriptedUserInterface ui;
    ui.saveChoices.push_back(folder.file("missing/list.rvl"));
    EXPECT_FALSE(SL::saveSelectionList(f.data, ui));
    ASSERT_EQ(ui.messages.size(), 1u);

    ui.openChoices.push_back({folder.file("absent.rvl")});
    EXPECT_FALSE(SL::openSelectionList(f.data, ui));
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ticks(f.data), (std::vector<int>{1, 1, 1, 1, 1})); // nothing read, nothing changed
}

TEST(SelectionList, ResultTextsForSavingAndPrinting)
{
    SelectionTexts texts;
    texts.Memo1 = {"Selected in :", "chr1 <a.rvk>"};
    texts.Memo2 = {"1 individuals selected:", "Nr.   2  [B2]"};
    const std::vector<std::string> saved = {"Applied criteria:", "Selected in :", "chr1 <a.rvk>", "",
                                            "Selection Results:", "1 individuals selected:", "Nr.   2  [B2]"};
    EXPECT_EQ(SL::savedResultLines(texts), saved);
    const std::vector<std::string> printed = {"RVK graphical genotype selection results: 03/05/2024", "", "Selected in :",
                                              "chr1 <a.rvk>", "", "Selection Results:", "1 individuals selected:",
                                              "Nr.   2  [B2]"};
    EXPECT_EQ(SL::printedResultLines(texts, "03/05/2024"), printed);

    TempFolder folder;
    ScriptedUserInterface ui;
    ui.saveChoices.push_back(folder.file("results"));
    ASSERT_TRUE(SL::saveResults(texts, ui));
    EXPECT_EQ(readWholeFile(folder.file("results.txt")),
              "Applied criteria:\r\nSelected in :\r\nchr1 <a.rvk>\r\n\r\nSelection Results:\r\n1 individuals selected:\r\n"
              "Nr.   2  [B2]\r\n");
    EXPECT_FALSE(SL::saveResults(texts, ui)); // cancelled
}

TEST(SelectionList, CoreSetSizeFollowsThePopulation)
{
    struct Case
    {
        int nind, value, maximum, expected;
    };
    for (const Case c : {Case{100, 10, 100, 10}, Case{100, 100, 100, 100}, Case{100, 101, 100, 50}, Case{7, 20, 7, 3}}) {
        const SL::CoreSetSize size = SL::coreSetSizeOnEnter(c.nind, c.value);
        EXPECT_EQ(size.maximum, c.maximum);
        EXPECT_EQ(size.value, c.expected);
    }
}

} // namespace
} // namespace rvk::test
