#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace rvk::cli {

// The arguments of a command: file names, options with a value ("--out NAME" or "--out=NAME")
// and flags ("--separate").
struct CommandArguments
{
    std::vector<std::string> files;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;

    bool has(const std::string &option) const { return values.count(option) || flags.count(option); }
    std::string value(const std::string &option) const
    {
        const auto it = values.find(option);
        return it == values.end() ? std::string() : it->second;
    }
};

// Sorts args into files, the named value options and flags; false with a message in error for an
// unknown option or a missing value.
bool parseCommandArguments(const std::vector<std::string> &args, const std::set<std::string> &valueOptions,
                           const std::set<std::string> &flagOptions, CommandArguments &parsed, std::string &error);

} // namespace rvk::cli
