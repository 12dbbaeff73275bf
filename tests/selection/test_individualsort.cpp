#include "selection/individualsort.h"
#include "selection/selectionlists.h"
#include "selection/textlistsort.h"
#include "selectiontestdata.h"
#include "settings/alleletable.h"
#include "support/scripteduserinterface.h"

#include <gtest/gtest.h>

#include <random>

namespace rvk::test {
namespace {

namespace IS = IndividualSort;

// Everything that travels with an individual.
struct Snapshot
{
    std::vector<std::string> names;
    std::vector<int> numbers;
    std::vector<char> ticked;
    std::vector<std::string> genotypes;
    bool operator==(const Snapshot &) const = default;
};

Snapshot snapshot(const GenotypeData &data)
{
    Snapshot s{data.IndividualNames, data.IndividualNumbers, data.Ticked, {}};
    for (const auto &group : data.LinkageGroups)
        for (const Tlocinfo &locus : group->Loci)
            s.genotypes.push_back(locus.Genotypes);
    return s;
}

// Two groups, six individuals.
void sixIndividuals(GenotypeData &data)
{
    fillData(data, 6,
             {{"chr1", {{"m1", 0.0, "bahBaa"}, {"m2", 10.0, "abhhbb"}}}, {"chr2", {{"m3", 0.0, "hbaaab"}, {"m4", 30.0, "bbaaAb"}}}},
             "f2", {"zeta", "Alpha", "beta", "alpha2", "Gamma", "delta"});
}

std::vector<std::string> names(const GenotypeData &data) { return data.IndividualNames; }

TEST(IndividualSort, SortingAndUndoingRestoresEverything)
{
    const TraitSortKeys trait({" 12.5", "-3.0", "", "abc", "  0.5", " 99.0", "height"});
    std::vector<SortRequest> requests = {
        SortRequest::allMarkers(), SortRequest::marker(0, 1), SortRequest::wholeGroup(1),
        SortRequest::alias(), SortRequest::alleleContent("a (legend)"), SortRequest::trait(&trait),
    };
    for (const SortRequest &request : requests) {
        GenotypeData data;
        sixIndividuals(data);
        SelectionList::uncheck(data, {1, 4});
        SelectionList::lock(data, {2});
        const Snapshot loaded = snapshot(data);
        ScriptedUserInterface ui;
        ASSERT_TRUE(IS::sortIndividuals(data, request, ui).sorted) << static_cast<int>(request.choice);
        EXPECT_NE(snapshot(data), loaded) << static_cast<int>(request.choice);
        EXPECT_EQ(data.Locked, (std::vector<char>(6, 0))); // sorting releases locks
        const SortOutcome undo = IS::sortIndividuals(data, SortRequest::undo(), ui);
        EXPECT_TRUE(undo.sorted);
        EXPECT_EQ(undo.statusText, "Not sorted");
        EXPECT_EQ(snapshot(data), loaded) << static_cast<int>(request.choice);
        EXPECT_EQ(data.SelectedIndices, (std::vector<int>{0, 2, 3, 5}));
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST(IndividualSort, UndoRestoresTheLoadOrderOfTensOfThousandsOfIndividuals)
{
    const int n = 12345;
    std::mt19937 random(7);
    const char codes[] = "abhAB-";
    auto genotypes = [&]() {
        std::string text(n, ' ');
        for (char &c : text)
            c = codes[random() % 6];
        return text;
    };
    GenotypeData data;
    fillData(data, n, {{"g1", {{"m1", 0.0, genotypes()}, {"m2", 5.0, genotypes()}}}, {"g2", {{"m3", 1.0, genotypes()}}}});
    for (int i = 0; i < n; i += 3)
        data.Ticked[static_cast<size_t>(i)] = 0;
    const Snapshot loaded = snapshot(data);
    ScriptedUserInterface ui;
    for (SortRequest request : {SortRequest::allMarkers(), SortRequest::marker(1, 0)}) {
        ASSERT_TRUE(IS::sortIndividuals(data, request, ui).sorted);
        ASSERT_NE(data.IndividualNumbers, loaded.numbers);
        ASSERT_TRUE(IS::sortIndividuals(data, SortRequest::undo(), ui).sorted);
        EXPECT_TRUE(snapshot(data) == loaded);
    }
    EXPECT_EQ(data.IndividualNumberText(n - 1), "12345");
}

TEST(IndividualSort, MarkerKeysIgnoreLetterCase)
{
    GenotypeData data;
    fillData(data, 4, {{"g", {{"m1", 0.0, "aBAb"}}}}, "f2", {"i1", "i2", "i3", "i4"});
    ScriptedUserInterface ui;
    const SortOutcome outcome = IS::sortIndividuals(data, SortRequest::marker(0, 0, "m1"), ui);
    EXPECT_EQ(outcome.statusText, "Sorted on marker: m1");
    // "a" and "A" are one key, "b" and "B" another; equal keys keep their order.
    EXPECT_EQ(names(data), (std::vector<std::string>{"i1", "i3", "i2", "i4"}));
    EXPECT_EQ(data.GroupLoci(0)[0].Genotypes, "aABb");
}

TEST(IndividualSort, AllMarkersGivesOneOrderWithTicksAndLoadNumbersBreakingTies)
{
    GenotypeData data;
    fillData(data, 5, {{"g", {{"m1", 0.0, "babaa"}, {"m2", 1.0, "aAaaa"}}}}, "f2", {"i1", "i2", "i3", "i4", "i5"});
    data.Ticked = {1, 1, 0, 1, 1};
    ScriptedUserInterface ui;
    EXPECT_EQ(IS::SortKey(data, SortRequest::allMarkers(), 2), "ba @n #0003 }i3");
    IS::sortIndividuals(data, SortRequest::allMarkers(), ui);
    // Codes i1 "ba", i2 "aA", i3 "ba", i4 "aa", i5 "aa": "aA" and "aa" are equal keys, ordered by
    // load number; of the two "ba", unticked i3 comes first.
    const std::vector<std::string> once = names(data);
    EXPECT_EQ(once, (std::vector<std::string>{"i2", "i4", "i5", "i3", "i1"}));
    EXPECT_EQ(data.Ticked, (std::vector<char>{1, 1, 1, 0, 1}));
    EXPECT_EQ(data.SelectedIndices, (std::vector<int>{0, 1, 2, 4}));
    IS::sortIndividuals(data, SortRequest::allMarkers(), ui);
    EXPECT_EQ(names(data), once);
}

TEST(IndividualSort, AlleleContentSharesEachIntervalBetweenItsEnds)
{
    GenotypeData data;
    fillData(data, 2, {{"g", {{"m1", 0.0, "ab"}, {"m2", 10.0, "aa"}, {"m3", 30.0, "ba"}}}}, "f2", {"first", "second"});
    const auto content = IS::AlleleContent(data, 0);
    EXPECT_DOUBLE_EQ(content[static_cast<size_t>('a' - 42)], 20.0);
    EXPECT_DOUBLE_EQ(content[static_cast<size_t>('b' - 42)], 10.0);
    const SortRequest onA = SortRequest::alleleContent("a (A parent)");
    const SortRequest onB = SortRequest::alleleContent("b (B parent)");
    EXPECT_EQ(IS::SortKey(data, onA, 0), "       20.00");
    EXPECT_EQ(IS::SortKey(data, onB, 0), "       10.00");
    EXPECT_EQ(IS::SortKey(data, onA, 1), "       25.00");

    ScriptedUserInterface ui;
    const SortOutcome outcome = IS::sortIndividuals(data, onB, ui);
    EXPECT_EQ(outcome.statusText, "Sorted on content of allele: b (B parent)");
    EXPECT_EQ(names(data), (std::vector<std::string>{"second", "first"})); // 5 before 10

    // No allele chosen: no sort, no message.
    EXPECT_FALSE(IS::sortIndividuals(data, SortRequest::alleleContent({}), ui).sorted);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(names(data), (std::vector<std::string>{"second", "first"}));
}

TEST(IndividualSort, NamesSortAsTextWithoutRegardToCase)
{
    GenotypeData data;
    sixIndividuals(data);
    ScriptedUserInterface ui;
    EXPECT_EQ(IS::SortKey(data, SortRequest::alias(), 1), "Alpha{");
    EXPECT_EQ(IS::sortIndividuals(data, SortRequest::alias(), ui).statusText, "Sorted on Alias");
    EXPECT_EQ(names(data), (std::vector<std::string>{"Alpha", "alpha2", "beta", "delta", "Gamma", "zeta"}));
}

TEST(IndividualSort, TraitValuesSortAsNumbersWithMissingValuesLast)
{
    GenotypeData data;
    fillData(data, 6, {{"g", {{"m1", 0.0, "aaaaaa"}}}}, "f2", {"i1", "i2", "i3", "i4", "i5", "i6"});
    // i6 has no column in the trait table: the keys stop after i5.
    const TraitSortKeys trait({" 12.5", "-30.0", "", "abc", "  2.5", "height"});
    EXPECT_EQ(trait.name(), "height");
    EXPECT_EQ(IS::choiceCaption(SortChoice::Trait, trait.name()), "Trait height");
    const SortRequest request = SortRequest::trait(&trait);
    EXPECT_EQ(IS::SortKey(data, request, 0), " 12.5{");
    EXPECT_EQ(IS::SortKey(data, request, 5), "{");
    ScriptedUserInterface ui;
    EXPECT_EQ(IS::sortIndividuals(data, request, ui).statusText, "Sorted on Trait data");
    EXPECT_EQ(names(data), (std::vector<std::string>{"i2", "i5", "i1", "i4", "i3", "i6"}));

    const TraitSortKeys none;
    EXPECT_FALSE(IS::sortIndividuals(data, SortRequest::trait(&none), ui).sorted);
    EXPECT_FALSE(IS::sortIndividuals(data, SortRequest::trait(nullptr), ui).sorted);
}

TEST(IndividualSort, MissingMarkerOrGroupIsReported)
{
    GenotypeData data;
    sixIndividuals(data);
    const Snapshot loaded = snapshot(data);
    ScriptedUserInterface ui;
    EXPECT_FALSE(IS::sortIndividuals(data, SortRequest::marker(0, -1), ui).sorted);
    EXPECT_FALSE(IS::sortIndividuals(data, SortRequest::marker(1, 2), ui).sorted);
    EXPECT_FALSE(IS::sortIndividuals(data, SortRequest::wholeGroup(-1), ui).sorted);
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{"Please select a marker for sorting first..",
                                                    "Please select a marker for sorting first..",
                                                    "Please select a group for sorting first.."}));
    EXPECT_EQ(snapshot(data), loaded);

    GenotypeData empty;
    EXPECT_FALSE(IS::sortIndividuals(empty, SortRequest::allMarkers(), ui).sorted);
    EXPECT_EQ(ui.messages.size(), 3u);
}

TEST(IndividualSort, GroupKeysAndStatusTexts)
{
    GenotypeData data;
    sixIndividuals(data);
    ScriptedUserInterface ui;
    EXPECT_EQ(IS::SortKey(data, SortRequest::wholeGroup(1), 0), "hb");
    EXPECT_EQ(IS::sortIndividuals(data, SortRequest::wholeGroup(1, "chr2"), ui).statusText, "Sorted on group: chr2");
    // Keys: zeta hb, Alpha bb, beta aa, alpha2 aa, Gamma aA, delta bb.
    EXPECT_EQ(names(data), (std::vector<std::string>{"beta", "alpha2", "Gamma", "Alpha", "delta", "zeta"}));
    EXPECT_EQ(IS::sortIndividuals(data, SortRequest::allMarkers(), ui).statusText, "Sorted on all markers");

    EXPECT_EQ(IS::choiceCaption(SortChoice::NoSort), "No sort /undo sort");
    EXPECT_EQ(IS::choiceCaption(SortChoice::AlleleContent), "overall allele content: ");
    EXPECT_EQ(IS::choiceForTreeLevel(0), SortChoice::AllMarkers);
    EXPECT_EQ(IS::choiceForTreeLevel(1), SortChoice::SelectedGroup);
    EXPECT_EQ(IS::choiceForTreeLevel(2), SortChoice::SelectedMarker);
    AlleleTable table;
    table.setLegend(AlleleTable::indexOf('a'), "parent A");
    EXPECT_EQ(IS::alleleItem(table, 'a'), "a (parent A)");
}

TEST(IndividualSort, CrossPollinatorPairsMoveTogether)
{
    GenotypeData data;
    // Individuals: c1 "ab"/"ac", c2 "aa"/"bd", c3 "Ab"/"ad", c4 "ba"/"bc".
    fillData(data, 4, {{"lg", {{"m1", 0.0, "abaaAbba", "<abxab>"}, {"m2", 5.0, "acbdadbc", "<abxcd>"}}}}, "cp",
             {"c1", "c2", "c3", "c4"});
    data.Ticked = {1, 0, 1, 1};
    const Snapshot loaded = snapshot(data);
    ScriptedUserInterface ui;

    EXPECT_EQ(IS::SortKey(data, SortRequest::marker(0, 0), 2), "Ab");
    SortOutcome outcome = IS::sortIndividuals(data, SortRequest::marker(0, 0), ui);
    EXPECT_TRUE(outcome.sorted);
    EXPECT_TRUE(outcome.statusText.empty()); // the panel keeps its text
    EXPECT_EQ(names(data), (std::vector<std::string>{"c2", "c1", "c3", "c4"}));
    EXPECT_EQ(data.GroupLoci(0)[0].Genotypes, "aaabAbba");
    EXPECT_EQ(data.GroupLoci(0)[1].Genotypes, "bdacadbc");
    EXPECT_EQ(data.Ticked, (std::vector<char>{0, 1, 1, 1}));

    // The group key takes the first code of each pair: c1 "aa", c2 "ab", c3 "Aa", c4 "bb".
    EXPECT_EQ(IS::SortKey(data, SortRequest::wholeGroup(0), 0), "ab");
    IS::sortIndividuals(data, SortRequest::wholeGroup(0), ui);
    EXPECT_EQ(names(data), (std::vector<std::string>{"c1", "c3", "c2", "c4"}));

    IS::sortIndividuals(data, SortRequest::allMarkers(), ui);
    EXPECT_EQ(names(data), (std::vector<std::string>{"c2", "c1", "c3", "c4"}));

    // Allele content has no cross-pollinator key: the load order comes back.
    outcome = IS::sortIndividuals(data, SortRequest::alleleContent("a ()"), ui);
    EXPECT_TRUE(outcome.sorted);
    EXPECT_TRUE(snapshot(data) == loaded);
}

TEST(TextListSort, AscendingWithoutRegardToCase)
{
    std::vector<std::string> texts = {"beta", "Alpha", "abc{", "ab{", "10", "9", " x", "-1", "ALPHA2"};
    sortTextList(texts);
    const std::vector<std::string> expected = {" x", "-1", "10", "9", "ab{", "abc{", "Alpha", "ALPHA2", "beta"};
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(compareTextKeys("Abc", "aBC"), 0);
    EXPECT_LT(compareTextKeys("a", "ab"), 0);
    EXPECT_GT(compareTextKeys("a", "{"), 0);
}

} // namespace
} // namespace rvk::test
