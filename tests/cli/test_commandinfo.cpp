#include "cli/clicommand.h"
#include "commandrun.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace rvk::cli {
namespace {

using cli::CommandRun;
CommandRun run(const std::vector<std::string> &args) { return runCli(args); }

TEST(CliInfo, ListsTheGroupsOfTheExampleData)
{
    const CommandRun r = run({"info", test::examplePath("listeria.rvk")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "1\tchr1\t13\tf2");
    EXPECT_NE(r.out.find("\n20\tchrx\t"), std::string::npos);
    EXPECT_NE(r.out.find("\n120 individuals/ 13 loci/ Pop:f2\n"), std::string::npos);
}

TEST(CliInfo, FailingFileReportsTheWindowsMessageAndFails)
{
    test::TempFolder folder;
    const auto good = folder.write("good.rvk", "name=g\nnloc=1\nnind=2\npopt=f2\nm1 0 ab\n");
    const auto bad = folder.write("bad.rvk", "name=b\nnloc=2\nnind=2\npopt=f2\nm1 0 ab\n");
    const CommandRun r = run({"info", good, bad});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(bad + " The file could not be opened because of errors, please check it"), std::string::npos);
}

TEST(CliInfo, HelpListsTheCommandsAndUnknownCommandsFail)
{
    const CommandRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("info FILE..."), std::string::npos);
    EXPECT_EQ(run({"frobnicate"}).status, 2);
    EXPECT_EQ(run({"info"}).status, 2);
}

} // namespace
} // namespace rvk::cli

namespace rvk::cli {
namespace {

TEST(CliInfo, SelectionOptionsReportTheSelectionState)
{
    // In the example data, 29 mice carry A at D10M44 (chr1, 0.0 cM), the first L009, L011, L012.
    const CommandRun r = run({"info", test::examplePath("listeria.rvk"), "--criteria", "D10M44=A"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string expectedSelected =
        "selected: L009 L011 L012 L013 L015 L017 L023 L030 L031 L032 L042 L045 L053 L055 L065 L069 L079 L080 L087 "
        "L089 L091 L101 L102 L106 L110 L113 L117 L119 L120\n";
    EXPECT_NE(r.out.find("\nselection criteria set\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(expectedSelected), std::string::npos) << r.out;

    // Two criteria and the undoing sort, which states itself in the status text.
    const CommandRun both = run({"info", test::examplePath("listeria.rvk"), "--sort", "none", "--criteria=D10M44=A,D1M3=!H"});
    EXPECT_EQ(both.status, 0) << both.err;
    EXPECT_NE(both.out.find("\nNot sorted\n"), std::string::npos) << both.out;
    EXPECT_EQ(run({"info", test::examplePath("listeria.rvk"), "--criteria", "NOSUCH=A"}).status, 1);
    EXPECT_EQ(run({"info", test::examplePath("listeria.rvk"), "--sort"}).status, 2);
}

} // namespace
} // namespace rvk::cli

namespace rvk::cli {
namespace {

// Four individuals loaded as delta, Alpha, charlie, bravo; m1 orders them a, b, c, d as
// Alpha, bravo, charlie, delta; m2 is b only for Alpha.
const char *const SortFile = "name=g\nnloc=2\nnind=4\npopt=f2\nm1 0 dacb\nm2 5 abaa\nalias delta Alpha charlie bravo\n";

TEST(CliInfo, SortAndCriteriaGiveTheSelectedIndividualsInTheNewOrder)
{
    test::TempFolder folder;
    const std::string file = folder.write("four.rvk", SortFile);
    const std::string head = "1\tg\t2\tf2\n4 individuals/ 2 loci/ Pop:f2\n";
    struct Case
    {
        std::vector<std::string> options;
        std::string out; // after the two lines every run starts with
    };
    const std::vector<Case> cases = {
        // The criterion ticks delta, charlie and bravo; the sort then moves the ticks along.
        {{"--criteria", "m2=a", "--sort", "marker:m1"},
         "selection criteria set\nSorted on marker: m1\nselected: bravo charlie delta\n"},
        {{"--criteria", "m2=!a"}, "selection criteria set\nselected: Alpha\n"},
        // Names compared without regard to case.
        {{"--sort", "alias"}, "Sorted on Alias\nselected: Alpha bravo charlie delta\n"},
        // "none" restores the load order.
        {{"--sort", "none"}, "Not sorted\nselected: delta Alpha charlie bravo\n"},
    };
    for (const Case &c : cases) {
        std::vector<std::string> args = {"info", file};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CommandRun r = run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, head + c.out) << c.options.front() << " " << c.options.back();
    }
}

} // namespace
} // namespace rvk::cli
