#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace rvk::cli {

// Where a command writes: its report to out, messages to err.
struct CommandContext
{
    std::ostream &out;
    std::ostream &err;
};

// One command of rvk-cli. Each command lives in a file of its own and registers itself with a
// static CommandRegistration, so adding a command touches no other file.
struct CliCommand
{
    std::string name;
    std::string usage;   // e.g. "info FILE..."
    std::string summary; // one line for --help
    int (*run)(const std::vector<std::string> &args, CommandContext &context);
};

const std::vector<CliCommand> &registeredCommands();

struct CommandRegistration
{
    explicit CommandRegistration(CliCommand command);
};

// Runs rvk-cli with the arguments after the program name; returns the exit status.
int runCommandLine(const std::vector<std::string> &args, CommandContext &context);

} // namespace rvk::cli
