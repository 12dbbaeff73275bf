#include "cli/datacommand.h"

#include <ostream>

namespace rvk::cli {

DataCommand::DataCommand(std::string name, std::string usage, CommandContext &context)
    : mName(std::move(name)), mUsage(std::move(usage)), mContext(context)
{
}

bool DataCommand::parse(const std::vector<std::string> &args, const std::set<std::string> &valueOptions, const std::set<std::string> &flagOptions,
                        const std::vector<std::pair<const char *, const char *>> &required, bool filesNeeded)
{
    std::vector<std::string> rest = args;
    std::string error;
    if (!parseSelectionOptions(rest, mSelection, &error) || !parseCommandArguments(rest, valueOptions, flagOptions, mArguments, error)) {
        usageError(error);
        return false;
    }
    if (filesNeeded && mArguments.files.empty()) {
        usageError("no data file named");
        return false;
    }
    for (const auto &[option, message] : required)
        if (!mArguments.has(option)) {
            usageError(message);
            return false;
        }
    return true;
}

int DataCommand::usageError(const std::string &text) const
{
    mContext.err << "rvk-cli " << mName << ": " << text << "\n" << mUsage;
    return 2;
}

bool DataCommand::open()
{
    if (mArguments.has("--traits") && !(mTraits = CliSession::readTraitTable(mArguments.value("--traits"), mContext)))
        return false;
    mSession = std::make_unique<CliSession>(mContext);
    return mSession->open(mArguments.files, mSelection);
}

std::string usageWithSelection(const std::string &usage) { return "usage: rvk-cli " + usage + SelectionUsage + "\n"; }

} // namespace rvk::cli
