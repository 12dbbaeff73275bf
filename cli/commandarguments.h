#pragma once

#include "core/textformat.h"

#include <functional>
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

    // Reads a whole-number option into target when it lies from minimum to maximum; true also
    // when the option is not given (target keeps its default), false for any other value.
    template <typename Number>
    bool readInteger(const std::string &option, long long minimum, long long maximum, Number &target) const
    {
        if (!values.count(option))
            return true;
        const auto number = parseInteger(value(option));
        if (!number || *number < minimum || *number > maximum)
            return false;
        target = static_cast<Number>(*number);
        return true;
    }
    // Reads a decimal option into target when valid accepts it; true also when it is not given.
    bool readDecimal(const std::string &option, const std::function<bool(double)> &valid, double &target) const
    {
        if (!values.count(option))
            return true;
        const auto number = parseDecimal(value(option));
        if (!number || !valid(*number))
            return false;
        target = *number;
        return true;
    }
    // Reads a named choice through from (a name to a value, nothing for an unknown name).
    template <typename Choice, typename From>
    bool readChoice(const std::string &option, const From &from, Choice &target) const
    {
        if (!values.count(option))
            return true;
        const auto choice = from(value(option));
        if (!choice)
            return false;
        target = *choice;
        return true;
    }
};

// Sorts args into files, the named value options and flags; false with a message in error for an
// unknown option or a missing value.
bool parseCommandArguments(const std::vector<std::string> &args, const std::set<std::string> &valueOptions,
                           const std::set<std::string> &flagOptions, CommandArguments &parsed, std::string &error);

} // namespace rvk::cli
