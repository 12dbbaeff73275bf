#include "cli/clicommand.h"
#include "commandrun.h"

#include <gtest/gtest.h>

#include <new>
#include <ostream>
#include <stdexcept>
#include <vector>

namespace rvk::cli {
namespace {

// A command of this test program only, failing as its argument says after a first line of report.
int failingCommand(const std::vector<std::string> &args, CommandContext &context)
{
    context.out << "first line\n";
    const std::string how = args.empty() ? "" : args[0];
    if (how == "memory")
        throw std::bad_alloc();
    if (how == "range")
        return std::vector<int>(11).at(12);
    if (how == "length")
        return static_cast<int>(std::vector<double>(std::size_t(1) << 62).size());
    if (how == "other")
        throw 42;
    return 0;
}

const CommandRegistration registration({"failing-test-command", "failing-test-command HOW", "fails as HOW says", failingCommand});

TEST(CliEscapedErrors, AnErrorThatEscapesACommandIsPrintedWithItsOwnTextAndTheRunFails)
{
    const struct
    {
        const char *how;
        std::string err;
    } cases[] = {
        {"memory", "rvk-cli failing-test-command: std::bad_alloc\n"},
        {"range", "rvk-cli failing-test-command: vector::_M_range_check: __n (which is 12) >= this->size() (which is 11)\n"},
        {"length", "rvk-cli failing-test-command: cannot create std::vector larger than max_size()\n"},
        {"other", "rvk-cli failing-test-command: an unknown error ended the command\n"},
    };
    for (const auto &c : cases) {
        const CommandRun r = runCli({"failing-test-command", c.how});
        EXPECT_EQ(r.status, 1) << c.how;
        EXPECT_EQ(r.err, c.err) << c.how;
        EXPECT_EQ(r.out, "first line\n") << c.how << ": what was written before stays";
    }
    const CommandRun fine = runCli({"failing-test-command", "none"});
    EXPECT_EQ(fine.status, 0);
    EXPECT_EQ(fine.err, "");
}

} // namespace
} // namespace rvk::cli
