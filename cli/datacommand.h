#pragma once

#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "cli/selectionoptions.h"
#include "genetics/traittable.h"

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace rvk::cli {

// The start every command over data files shares: its own options beside the selection
// options, the usage message for a mistake, the trait file of --traits and the opened data set.
class DataCommand
{
public:
    // usage: the block printed after a mistake's message, as "usage: rvk-cli ...\n".
    DataCommand(std::string name, std::string usage, CommandContext &context);

    // Reads the selection options and the command's own. After a usage message (see status())
    // false for an unknown option, no data file (unless filesNeeded is off) or a missing one of
    // the required options, each named with its message.
    bool parse(const std::vector<std::string> &args, const std::set<std::string> &valueOptions, const std::set<std::string> &flagOptions,
               const std::vector<std::pair<const char *, const char *>> &required = {}, bool filesNeeded = true);
    // Prints "rvk-cli NAME: text" and the usage; returns the usage status 2.
    int usageError(const std::string &text) const;
    // Reads the trait file when --traits names one, then opens the data files with the selection
    // options applied; false after the reader's or the loader's message.
    bool open();

    bool has(const std::string &option) const { return mArguments.has(option); }
    std::string value(const std::string &option) const { return mArguments.value(option); }
    const CommandArguments &arguments() const { return mArguments; }
    const SelectionOptions &selection() const { return mSelection; }
    // The trait table of --traits, once open() has read it.
    const std::optional<TraitTable> &traits() const { return mTraits; }
    CliSession &session() { return *mSession; }
    CommandContext &context() const { return mContext; }
    std::ostream &out() const { return mContext.out; }
    std::ostream &err() const { return mContext.err; }

private:
    std::string mName, mUsage;
    CommandContext &mContext;
    CommandArguments mArguments;
    SelectionOptions mSelection;
    std::optional<TraitTable> mTraits;
    std::unique_ptr<CliSession> mSession;
};

// "usage: rvk-cli " with the command's usage and the selection options.
std::string usageWithSelection(const std::string &usage);

} // namespace rvk::cli
