#include "cli/cliuserinterface.h"

#include <ostream>

namespace rvk::cli {

void CliUserInterface::message(MessageKind, const std::string &text)
{
    ++mMessages;
    mErr << text << "\n";
}

bool CliUserInterface::question(const std::string &text)
{
    mErr << text << " [answered No]\n";
    return false;
}

} // namespace rvk::cli
