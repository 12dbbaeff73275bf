#include "cli/clisession.h"

namespace rvk::cli {

bool CliSession::open(const std::vector<std::string> &files)
{
    const LoadOutcome outcome = loader.OpenFiles(files);
    return outcome.completed;
}

} // namespace rvk::cli
