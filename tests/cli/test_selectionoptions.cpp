#include "cli/clisession.h"
#include "cli/selectionoptions.h"
#include "selection/selectiontestdata.h"
#include "settings/alleletable.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace rvk::cli {
namespace {

using test::fillData;
using test::ticks;

struct OptionsFixture
{
    OptionsFixture()
    {
        // Individuals i1..i5; m1 "abaab", m2 "hbhab" in chr1, m3 "aabbb" in chr2.
        fillData(data, 5, {{"chr1", {{"m1 <x>", 0.0, "abaab"}, {"m2", 10.0, "hbhab"}}}, {"chr2", {{"m3", 0.0, "aabbb"}}}}, "f2",
                 {"i1", "i2", "i3", "i4", "i5"});
        alleles.setLegend(AlleleTable::indexOf('b'), "parent B");
    }
    bool apply(std::vector<std::string> args)
    {
        arguments = std::move(args);
        error.clear();
        return applySelectionOptions(arguments, data, alleles, ui, &error, &report);
    }

    GenotypeData data;
    AlleleTable alleles;
    test::ScriptedUserInterface ui;
    std::vector<std::string> arguments;
    std::string error;
    SelectionOptionsReport report;
};

TEST(SelectionOptions, CriteriaSelectAsApplyDoes)
{
    OptionsFixture f;
    ASSERT_TRUE(f.apply({"file.rvk", "--criteria", "m1=a,m2=!b", "--other"})) << f.error;
    EXPECT_EQ(f.arguments, (std::vector<std::string>{"file.rvk", "--other"}));
    EXPECT_TRUE(f.data.Selectionyesno);
    EXPECT_EQ(ticks(f.data), (std::vector<int>{1, 0, 1, 1, 0}));
    EXPECT_EQ(f.data.SelectedIndices, (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(f.report.texts.statusText, "selection criteria set");
    ASSERT_FALSE(f.report.texts.Memo2.empty());
    EXPECT_EQ(f.report.texts.Memo2.front(), "3 individuals selected:");
    EXPECT_EQ(f.report.texts.Memo1.back(), " m2 <group 1 @ 10.0  > !b");
}

TEST(SelectionOptions, ListAndCriteriaTogetherSelectTheirCommonIndividuals)
{
    OptionsFixture f;
    test::TempFolder folder;
    const std::string list = folder.write("chosen.rvl", "i1\r\ni2\r\ni4\r\n");
    ASSERT_TRUE(f.apply({"--select-list=" + list, "--criteria=m3=!b"})) << f.error;
    EXPECT_EQ(ticks(f.data), (std::vector<int>{1, 1, 0, 0, 0}));
    EXPECT_TRUE(f.arguments.empty());

    OptionsFixture g;
    ASSERT_TRUE(g.apply({"--select-list", list})) << g.error;
    EXPECT_EQ(ticks(g.data), (std::vector<int>{1, 1, 0, 1, 0}));
    EXPECT_EQ(g.report.texts.statusText, "Selection active; [3 selected]");
    EXPECT_TRUE(g.data.Selectionyesno);
}

TEST(SelectionOptions, SortChoices)
{
    struct Case
    {
        std::string sort;
        std::vector<std::string> names;
        std::string status;
    };
    const std::vector<Case> cases = {
        {"marker:m2", {"i4", "i2", "i5", "i1", "i3"}, "Sorted on marker: m2"},
        {"marker:m1 <x>", {"i1", "i3", "i4", "i2", "i5"}, "Sorted on marker: m1 <x>"},
        {"group:2", {"i1", "i2", "i3", "i4", "i5"}, "Sorted on group: chr2"},
        {"group:chr1", {"i4", "i1", "i3", "i2", "i5"}, "Sorted on group: chr1"},
        {"all", {"i4", "i1", "i3", "i2", "i5"}, "Sorted on all markers"},
        {"allele:b", {"i1", "i3", "i4", "i2", "i5"}, "Sorted on content of allele: b (parent B)"},
        {"alias", {"i1", "i2", "i3", "i4", "i5"}, "Sorted on Alias"},
        {"none", {"i1", "i2", "i3", "i4", "i5"}, "Not sorted"},
    };
    for (const Case &c : cases) {
        OptionsFixture f;
        ASSERT_TRUE(f.apply({"--sort", c.sort})) << c.sort << ": " << f.error;
        EXPECT_TRUE(f.report.sorted) << c.sort;
        EXPECT_EQ(f.data.IndividualNames, c.names) << c.sort;
        EXPECT_EQ(f.report.sortStatus, c.status) << c.sort;
    }
}

TEST(SelectionOptions, SortRunsAfterTheSelectionSoTicksMove)
{
    OptionsFixture f;
    ASSERT_TRUE(f.apply({"--sort", "marker:m2", "--criteria", "m3=a"})) << f.error;
    EXPECT_EQ(f.data.IndividualNames, (std::vector<std::string>{"i4", "i2", "i5", "i1", "i3"}));
    EXPECT_EQ(ticks(f.data), (std::vector<int>{0, 1, 0, 1, 0}));
    EXPECT_EQ(f.data.SelectedIndices, (std::vector<int>{1, 3}));
}

TEST(SelectionOptions, BadInputIsRefusedBeforeAnythingChanges)
{
    test::TempFolder folder;
    const std::string list = folder.write("one.rvl", "i1\n");
    const std::vector<std::vector<std::string>> cases = {
        {"--criteria"},
        {"--criteria", "m1"},
        {"--criteria", "=a"},
        {"--criteria", "m1=abc"},
        {"--criteria", "nosuch=a"},
        {"--criteria", "m1=ab"}, // two codes need a cross-pollinator
        {"--select-list", folder.file("absent.rvl")},
        {"--select-list", list, "--criteria", "m9=a"},
        {"--sort", "sideways"},
        {"--sort", "marker:nosuch"},
        {"--sort", "group:3"},
        {"--sort", "allele:~"},
        {"--sort", "allele:ab"},
        {"--select-list", list, "--sort", "group:0"},
        {"--sort="},
    };
    for (const auto &args : cases) {
        OptionsFixture f;
        EXPECT_FALSE(f.apply(args)) << args.front() << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_FALSE(f.error.empty());
        EXPECT_EQ(ticks(f.data), (std::vector<int>{1, 1, 1, 1, 1}));
        EXPECT_FALSE(f.data.Selectionyesno);
        EXPECT_EQ(f.data.IndividualNames, (std::vector<std::string>{"i1", "i2", "i3", "i4", "i5"}));
    }
}

TEST(SelectionOptions, WorkOnAnOpenedDataFile)
{
    test::TempFolder folder;
    const std::string file = folder.write("small.rvk", "name=g\nnloc=2\nnind=4\npopt=f2\nm1 0 abab\nm2 5 aabb\n");
    std::ostringstream out, err;
    CommandContext context{out, err};
    CliSession session(context);
    ASSERT_TRUE(session.open({file})) << err.str();
    std::vector<std::string> args = {"--criteria", "m2=b", "--sort", "marker:m1"};
    std::string error;
    ASSERT_TRUE(applySelectionOptions(args, session.data, session.settings.alleles, session.ui, &error)) << error;
    EXPECT_EQ(session.data.IndividualNames, (std::vector<std::string>{"1", "3", "2", "4"}));
    EXPECT_EQ(session.data.Ticked, (std::vector<char>{0, 1, 0, 1}));
    EXPECT_EQ(session.data.GroupLoci(0)[1].Genotypes, "abab");
}

} // namespace
} // namespace rvk::cli
