#include "cli/clicommand.h"

#include <algorithm>
#include <exception>
#include <ostream>

namespace rvk::cli {

namespace {
std::vector<CliCommand> &commandList()
{
    static std::vector<CliCommand> commands;
    return commands;
}

void printHelp(std::ostream &out)
{
    out << "Usage: rvk-cli COMMAND [OPTIONS] FILE...\n"
           "Graphical genotypes, statistics and exports of RVK data sets, without a window.\n\n"
           "Commands:\n";
    std::vector<CliCommand> commands = commandList();
    std::sort(commands.begin(), commands.end(), [](const CliCommand &a, const CliCommand &b) { return a.name < b.name; });
    for (const CliCommand &command : commands) {
        out << "  " << command.usage << "\n      " << command.summary << "\n";
    }
    out << "\n  --help    this text\n";
}
} // namespace

const std::vector<CliCommand> &registeredCommands() { return commandList(); }

CommandRegistration::CommandRegistration(CliCommand command) { commandList().push_back(std::move(command)); }

int runCommandLine(const std::vector<std::string> &args, CommandContext &context)
{
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printHelp(args.empty() ? context.err : context.out);
        return args.empty() ? 2 : 0;
    }
    for (const CliCommand &command : commandList()) {
        if (command.name != args[0])
            continue;
        // An error that escapes a command (running out of memory, an index out of range) ends
        // it with its own text and status 1, as a refused input does.
        try {
            return command.run(std::vector<std::string>(args.begin() + 1, args.end()), context);
        } catch (const std::exception &error) {
            context.out.flush();
            context.err << "rvk-cli " << command.name << ": " << error.what() << "\n";
        } catch (...) {
            context.out.flush();
            context.err << "rvk-cli " << command.name << ": an unknown error ended the command\n";
        }
        return 1;
    }
    context.err << "rvk-cli: unknown command \"" << args[0] << "\" (see rvk-cli --help)\n";
    return 2;
}

} // namespace rvk::cli
