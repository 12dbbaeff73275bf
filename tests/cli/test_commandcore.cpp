#include "cli/clicommand.h"
#include "commandrun.h"
#include "core/textlines.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rvk::cli {
namespace {

CommandRun run(const std::vector<std::string> &args) { return runCli(args); }

// The individuals named in a selection list, one per line.
std::vector<std::string> listedNames(const std::string &text)
{
    std::vector<std::string> names;
    for (std::string_view line : splitLines(text))
        if (!line.empty())
            names.emplace_back(line);
    return names;
}

TEST(CliCore, TheSameSeedGivesTheSameSubsetAndLogs)
{
    test::TempFolder folder;
    const std::string data = test::examplePath("listeria.rvk");
    for (const std::string method : {"annealing", "iterative"}) {
        const std::vector<std::string> args{"core", data, "--size", "10", "--method", method, "--cycles", "3",
                                            "--seed", "42", "--fixed", "L001"};
        const CommandRun first = run(args);
        ASSERT_EQ(first.status, 0) << first.err;
        const CommandRun second = run(args);
        EXPECT_EQ(first.out, second.out) << method;
        EXPECT_FALSE(first.out.empty());

        std::vector<std::string> written = args;
        written.insert(written.end(), {"--out", folder.file(method + ".rvl")});
        ASSERT_EQ(run(written).status, 0);
        const std::vector<std::string> names = listedNames(test::readWholeFile(folder.file(method + ".rvl")));
        EXPECT_EQ(names.size(), 10u) << method;
        EXPECT_NE(std::find(names.begin(), names.end(), "L001"), names.end()) << "the fixed individual stays, " << method;
    }
}

TEST(CliCore, NoSubsetAboveZeroFailsAndWritesNothing)
{
    // Nobody recombines anywhere: every subset has the "Max (UniRec)" value 0, so no run of the
    // iterative search beats the bound of 0.
    test::TempFolder folder;
    std::string text = "nchrom=1\nnind=8\npopt=f2\n\nname=chr1\nnloc=3\n";
    for (const char *locus : {"m1  0.0", "m2  10.0", "m3  20.0"})
        text += std::string(locus) + "\nAAAABBBB\n";
    const std::string data = folder.write("flat.rvk", text);
    const std::string out = folder.file("subset.rvl"), log = folder.file("log.txt");
    const CommandRun r = run({"core", data, "--size", "3", "--method", "iterative", "--criterion", "unirec", "--cycles", "4",
                              "--seed", "7", "--out", out, "--log", log});
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.err.find("no subset with a diversity value above 0 was found; the selection is unchanged"), std::string::npos) << r.err;
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"flat.rvk"}) << "no selection list, no log file";
}

TEST(CliCore, WrongArgumentsFailWithStatusTwo)
{
    const std::string data = test::examplePath("listeria.rvk");
    for (const std::vector<std::string> &args : std::vector<std::vector<std::string>>{
             {"core", data},
             {"core", data, "--size", "zero"},
             {"core", data, "--size", "5", "--criterion", "beauty"},
             {"core", data, "--size", "5", "--method", "guessing"},
             {"core", "--size", "5"}}) {
        const CommandRun r = run(args);
        EXPECT_EQ(r.status, 2) << args.back() << ": " << r.err;
        EXPECT_FALSE(r.err.empty());
    }
}

} // namespace
} // namespace rvk::cli
