#pragma once

#include "cli/clicommand.h"

#include <sstream>
#include <string>
#include <vector>

namespace rvk::cli {

// One run of rvk-cli inside the test program: exit status and what it wrote.
struct CommandRun
{
    int status;
    std::string out, err;
};

inline CommandRun runCli(const std::vector<std::string> &args)
{
    std::ostringstream out, err;
    CommandContext context{out, err};
    const int status = runCommandLine(args, context);
    return {status, out.str(), err.str()};
}

} // namespace rvk::cli
