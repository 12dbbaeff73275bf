#include "selection/markercriteria.h"
#include "selection/selectionlists.h"
#include "selectiontestdata.h"
#include "support/scripteduserinterface.h"

#include <gtest/gtest.h>

namespace rvk::test {
namespace {

using State = MarkerCriteria::CriterionState;
using Criterion = MarkerCriteria::Criterion;

Criterion parsed(const char *text) { return *Criterion::fromText(text); }

// Group 1 "chr1" with m1 (0 cM) and m2 (12.5 cM), group 2 "chr2" with m3; four individuals.
struct CriteriaFixture
{
    CriteriaFixture()
    {
        fillData(data, 4,
                 {{"chr1", {{"m1", 0.0, "aahA"}, {"m2", 12.5, "bhhb"}}, "one.rvk"},
                  {"chr2", {{"m3", 3.0, "abab"}}, "two.rvk"}},
                 "f2", {"P1", "P2", "P3", "P4"});
        criteria.build(ui);
    }
    int row(int group, int locus) const { return criteria.rowOf(group, locus); }

    GenotypeData data;
    ScriptedUserInterface ui;
    MarkerCriteria criteria{data};
    SelectionTexts texts;
};

TEST(MarkerCriteria, ListHasOneHeaderRowPerGroupAndOneRowPerLocus)
{
    CriteriaFixture f;
    ASSERT_EQ(f.criteria.rowCount(), 5);
    const std::vector<std::vector<std::string>> expected = {
        {"Linkage-group 1", " <chr1>", "", ""},
        {" m1", "0.0 ", "All", "aahA"},
        {" m2", "12.5 ", "All", "bhhb"},
        {"Linkage-group 2", " <chr2>", "", ""},
        {" m3", "3.0 ", "All", "abab"},
    };
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < MarkerCriteria::ColumnCount; ++c)
            EXPECT_EQ(f.criteria.cellText(r, c), expected[static_cast<size_t>(r)][static_cast<size_t>(c)]) << r << "," << c;
    EXPECT_EQ(f.criteria.rowState(0), State::Header);
    EXPECT_EQ(f.criteria.rowState(4), State::None);
    EXPECT_EQ(f.criteria.rowShade(0), MarkerCriteria::RowShade::GroupHeader);
    EXPECT_EQ(f.criteria.rowShade(1), MarkerCriteria::RowShade::Plain);
    EXPECT_EQ(f.criteria.rowShade(2), MarkerCriteria::RowShade::Tooltip);
    EXPECT_EQ(f.criteria.rowShade(3), MarkerCriteria::RowShade::GroupHeader);
    EXPECT_EQ(f.criteria.rowAt(4).group, 1);
    EXPECT_EQ(f.criteria.rowAt(4).locus, 0);
    EXPECT_TRUE(f.criteria.rowAt(3).isHeader());
    EXPECT_EQ(f.ui.lastProgress, 0);
    EXPECT_FALSE(f.ui.busy);
}

TEST(MarkerCriteria, CrossPollinatorCaptionsCarryTheSegregationType)
{
    GenotypeData data;
    fillData(data, 2, {{"lg1", {{"m1", 1.0, "aaab", "<abxaa>"}, {"m2{0}", 2.0, "abab", "<abxaa>"}}}}, "cp");
    MarkerCriteria criteria(data);
    ScriptedUserInterface ui;
    criteria.build(ui);
    EXPECT_EQ(criteria.cellText(1, MarkerCriteria::MarkerColumn), " m1 <abxaa>");
    EXPECT_EQ(criteria.cellText(2, MarkerCriteria::MarkerColumn), " m2{0}");
}

TEST(MarkerCriteria, ManyLociBuildWithoutRowObjects)
{
    GenotypeData data;
    TestGroup group{"big", {}};
    for (int l = 0; l < 50000; ++l)
        group.loci.push_back({"m" + std::to_string(l), l * 0.01, "ab"});
    fillData(data, 2, {group, {"small", {{"last", 1.0, "ba"}}}});
    MarkerCriteria criteria(data);
    ScriptedUserInterface ui;
    ASSERT_TRUE(criteria.build(ui));
    EXPECT_EQ(criteria.rowCount(), 50003);
    EXPECT_EQ(criteria.cellText(50000, MarkerCriteria::MarkerColumn), " m49999");
    EXPECT_EQ(criteria.cellText(50001, MarkerCriteria::MarkerColumn), "Linkage-group 2");
    EXPECT_EQ(criteria.cellText(50002, MarkerCriteria::MarkerColumn), " last");
    EXPECT_EQ(ui.lastProgressMaximum, 0);
}

TEST(MarkerCriteria, NothingIsBuiltForOneIndividual)
{
    GenotypeData data;
    fillData(data, 1, {{"g", {{"m1", 0.0, "a"}}}});
    MarkerCriteria criteria(data);
    ScriptedUserInterface ui;
    EXPECT_FALSE(criteria.build(ui));
    EXPECT_EQ(criteria.rowCount(), 0);
    data.Selectionyesno = true;
    EXPECT_TRUE(criteria.meetsAllCriteria(0));
}

TEST(MarkerCriteria, TypedKeysSetTheCriterion)
{
    using M = MarkerCriteria;
    struct Case
    {
        char key;
        unsigned modifiers;
        const char *text; // nullptr: row unchanged (stays "b")
    };
    const Case cases[] = {
        {'a', M::NoModifier, "a"},
        {'A', M::NoModifier, "a"},
        {'a', M::ShiftModifier, "A"},
        {'a', M::ControlModifier, "!a"},
        {'a', M::ShiftModifier | M::ControlModifier, "!A"},
        {'3', M::NoModifier, "3"},
        {'3', M::KeypadModifier, "3"},
        {'3', M::ControlModifier, "!3"},
        {'*', M::KeypadModifier, "All"},
        {'8', M::ShiftModifier, "All"},
        {'3', M::ShiftModifier, nullptr},
        {'a', M::AltModifier, nullptr},
        {'-', M::NoModifier, nullptr},
        {' ', M::NoModifier, nullptr},
    };
    for (const Case &c : cases) {
        CriteriaFixture f;
        ASSERT_TRUE(f.criteria.setCriterion(0, 0, parsed("b")));
        const bool changed = f.criteria.typeKey(f.row(0, 0), c.key, c.modifiers);
        const std::string expected = c.text ? c.text : "b";
        EXPECT_EQ(f.criteria.cellText(f.row(0, 0), MarkerCriteria::SelectColumn), expected) << c.key << " " << c.modifiers;
        EXPECT_EQ(changed, c.text != nullptr) << c.key << " " << c.modifiers;
    }
    CriteriaFixture f;
    EXPECT_FALSE(f.criteria.typeKey(f.row(0, -1), 'a', M::NoModifier)); // header row
    EXPECT_EQ(f.criteria.activeCriterionCount(), 0);
}

// m1 = "a", m2 = "!b": codes (a, b) fail, (a, h) pass, (h, h) fail.
TEST(MarkerCriteria, RequireAndExcludeCombineOverTheLociOfAGroup)
{
    CriteriaFixture f;
    f.criteria.typeKey(f.row(0, 0), 'a', MarkerCriteria::NoModifier);
    f.criteria.typeKey(f.row(0, 1), 'b', MarkerCriteria::ControlModifier);
    f.criteria.apply(f.texts);
    EXPECT_TRUE(f.data.Selectionyesno);
    EXPECT_EQ(f.texts.statusText, "selection criteria set");
    EXPECT_EQ(ticks(f.data), (std::vector<int>{0, 1, 0, 0})); // P4 has "A": case matters
    EXPECT_EQ(f.data.SelectedIndices, (std::vector<int>{1}));
    EXPECT_FALSE(f.criteria.MeetsCriteria(0, 0));
    EXPECT_TRUE(f.criteria.MeetsCriteria(0, 1));
    EXPECT_FALSE(f.criteria.MeetsCriteria(0, 2));
    EXPECT_TRUE(f.criteria.MeetsCriteria(1, 0)); // no criteria in group 2
}

TEST(MarkerCriteria, CodesNobodyCarries)
{
    struct Case
    {
        const char *criterion;
        std::vector<int> ticks;
    };
    const Case cases[] = {{"z", {0, 0, 0, 0}}, {"!z", {1, 1, 1, 1}}, {"A", {0, 0, 0, 1}}, {"!A", {1, 1, 1, 0}}};
    for (const Case &c : cases) {
        CriteriaFixture f;
        f.criteria.setCriterion(0, 0, parsed(c.criterion));
        f.criteria.apply(f.texts);
        EXPECT_EQ(ticks(f.data), c.ticks) << c.criterion;
    }
}

TEST(MarkerCriteria, CriteriaOfSeveralGroupsCombineAsAnd)
{
    CriteriaFixture f;
    f.criteria.setCriterion(0, 1, parsed("h")); // P2, P3
    f.criteria.setCriterion(1, 0, parsed("b")); // P2, P4
    f.criteria.apply(f.texts);
    EXPECT_EQ(ticks(f.data), (std::vector<int>{0, 1, 0, 0}));
    EXPECT_TRUE(f.criteria.MeetsCriteria(0, 2));
    EXPECT_FALSE(f.criteria.meetsAllCriteria(2));
}

TEST(MarkerCriteria, LeavingThePageNeverReselectsAHandUntickedIndividual)
{
    CriteriaFixture f;
    f.criteria.setCriterion(1, 0, parsed("!a")); // P2 and P4 pass
    f.criteria.apply(f.texts);
    f.criteria.leavePage(f.texts);
    EXPECT_EQ(ticks(f.data), (std::vector<int>{0, 1, 0, 1}));

    SelectionList::uncheck(f.data, {3}); // by hand
    SelectionList::check(f.data, {0});   // by hand, fails the criterion
    EXPECT_EQ(f.criteria.leavePage(f.texts), 1);
    EXPECT_EQ(ticks(f.data), (std::vector<int>{0, 1, 0, 0}));
    EXPECT_EQ(f.data.SelectedIndices, (std::vector<int>{1}));

    // "Apply" starts from the criteria alone and gives P4 back.
    f.criteria.apply(f.texts);
    EXPECT_EQ(ticks(f.data), (std::vector<int>{0, 1, 0, 1}));
}

TEST(MarkerCriteria, LeavingThePageWritesTheCriteriaAndResultTexts)
{
    CriteriaFixture f;
    f.criteria.setCriterion(0, 1, parsed("!b"));
    f.criteria.setCriterion(1, 0, parsed("a"));
    f.criteria.apply(f.texts);
    f.criteria.leavePage(f.texts);
    const std::vector<std::string> memo1 = {"Selected in :", "chr1 <one.rvk>", "chr2 <two.rvk>", "Selection criteria:",
                                            " m2 <group 1 @ 12.5  > !b", " m3 <group 2 @ 3.0  > a"};
    EXPECT_EQ(f.texts.Memo1, memo1);
    const std::vector<std::string> memo2 = {"1 individuals selected:", "Nr.   3  [P3]"};
    EXPECT_EQ(f.texts.Memo2, memo2);

    f.criteria.clearCriteria();
    f.criteria.setCriterion(0, 0, parsed("!h"));
    f.criteria.apply(f.texts);
    f.criteria.leavePage(f.texts);
    const std::vector<std::string> three = {"3 individuals selected:", "Nr.   1  [P1]", "Nr.   2  [P2]", "Nr.   4  [P4]"};
    EXPECT_EQ(f.texts.Memo2, three);
}

TEST(MarkerCriteria, ClearAllReturnsToNoSelection)
{
    CriteriaFixture f;
    f.criteria.setCriterion(0, 0, parsed("a"));
    f.criteria.setCriterion(1, 0, parsed("!b"));
    f.criteria.apply(f.texts);
    SelectionList::lock(f.data, {0});
    f.criteria.leavePage(f.texts);
    ASSERT_FALSE(f.texts.Memo1.empty());

    EXPECT_EQ(f.criteria.clearAll(f.texts), 5);
    EXPECT_EQ(f.criteria.activeCriterionCount(), 0);
    for (int r = 0; r < f.criteria.rowCount(); ++r)
        if (!f.criteria.rowAt(r).isHeader()) {
            EXPECT_EQ(f.criteria.cellText(r, MarkerCriteria::SelectColumn), "All");
        }
    EXPECT_FALSE(f.data.Selectionyesno);
    EXPECT_EQ(ticks(f.data), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(f.data.Locked, (std::vector<char>{0, 0, 0, 0}));
    EXPECT_EQ(f.data.SelectedIndices, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(f.texts.Memo1.empty());
    EXPECT_TRUE(f.texts.Memo2.empty());
    EXPECT_EQ(f.texts.statusText, "no selection");
}

TEST(MarkerCriteria, TheMenuToggleSwitchesFilteringOnAndOff)
{
    CriteriaFixture f;
    f.criteria.setCriterion(0, 0, parsed("a"));
    f.criteria.toggleFiltering(f.texts);
    EXPECT_TRUE(f.data.Selectionyesno);
    EXPECT_EQ(ticks(f.data), (std::vector<int>{1, 1, 0, 0}));
    SelectionList::lock(f.data, {1});

    f.criteria.toggleFiltering(f.texts);
    EXPECT_FALSE(f.data.Selectionyesno);
    EXPECT_EQ(f.texts.statusText, "no selection");
    EXPECT_EQ(ticks(f.data), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(f.data.Locked, (std::vector<char>{0, 0, 0, 0}));
    EXPECT_TRUE(f.criteria.MeetsCriteria(0, 3)); // filtering off: everyone meets
}

TEST(MarkerCriteria, CrossPollinatorCriteriaCompareGenotypes)
{
    using M = MarkerCriteria;
    GenotypeData data;
    // Individuals: ab, AB, aa, ba.
    fillData(data, 4, {{"lg1", {{"m1", 0.0, "abABaaba", "<abxab>"}}}}, "cp");
    MarkerCriteria criteria(data);
    ScriptedUserInterface ui;
    criteria.build(ui);
    SelectionTexts texts;

    // Two codes typed one after the other form the genotype; a third starts anew.
    criteria.typeKey(1, 'a', M::NoModifier);
    EXPECT_EQ(criteria.criterion(0, 0).text(), "a");
    criteria.typeKey(1, 'b', M::NoModifier);
    EXPECT_EQ(criteria.criterion(0, 0).text(), "ab");
    criteria.typeKey(1, 'b', M::ControlModifier);
    EXPECT_EQ(criteria.criterion(0, 0).text(), "!b");

    struct Case
    {
        const char *criterion;
        std::vector<int> ticks;
    };
    const Case cases[] = {
        {"ab", {1, 1, 0, 0}}, {"AB", {1, 1, 0, 0}}, {"!ab", {0, 0, 1, 1}}, {"a", {1, 1, 1, 1}},
        {"b", {1, 1, 0, 1}},  {"!b", {0, 0, 1, 0}}, {"All", {1, 1, 1, 1}},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(criteria.setCriterion(0, 0, parsed(c.criterion)));
        criteria.apply(texts);
        EXPECT_EQ(ticks(data), c.ticks) << c.criterion;
    }
}

TEST(MarkerCriteria, CriterionTexts)
{
    EXPECT_EQ(Criterion{}.text(), "All");
    for (const char *text : {"a", "!a", "Z", "ab", "!ab", "*b"})
        EXPECT_EQ(parsed(text).text(), text);
    EXPECT_EQ(parsed("*").state, State::None);
    EXPECT_EQ(parsed("all").state, State::None);
    for (const char *bad : {"!", "abc", "a~", "!!a"})
        EXPECT_FALSE(Criterion::fromText(bad).has_value()) << bad;

    CriteriaFixture f;
    EXPECT_FALSE(f.criteria.setCriterion(0, 0, parsed("ab"))); // two codes need a cross-pollinator
    EXPECT_FALSE(f.criteria.setCriterion(0, 5, parsed("a")));
}

TEST(MarkerCriteria, ClearingEmptiesTheList)
{
    CriteriaFixture f;
    f.criteria.setCriterion(0, 0, parsed("a"));
    f.criteria.clear();
    EXPECT_FALSE(f.criteria.isBuilt());
    EXPECT_EQ(f.criteria.rowCount(), 0);
    f.criteria.build(f.ui);
    EXPECT_EQ(f.criteria.activeCriterionCount(), 0);
}

} // namespace
} // namespace rvk::test
