#pragma once
// The selection and sort options shared by the commands that open data files:
//   --criteria MARKER=CODE[,MARKER=!CODE...]   select by allele criteria, as "Apply" does
//   --select-list FILE.rvl                     tick the individuals named in a selection list
//   --sort all|marker:NAME|group:N|alias|allele:CODE|none
// With both --select-list and --criteria an individual must be on the list and meet the
// criteria. The sort runs last, so the ticks move with the individuals.

#include "selection/selectiontexts.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace rvk {
class AlleleTable;
class GenotypeData;
class UserInterface;
} // namespace rvk

namespace rvk::cli {

// The options as --help shows them.
inline constexpr const char *SelectionUsage = "[--criteria MARKER=CODE[,MARKER=!CODE...]] [--select-list FILE.rvl] "
                                              "[--sort all|marker:NAME|group:N|alias|allele:CODE|none]";

struct SelectionOptions
{
    std::vector<std::pair<std::string, std::string>> criteria; // marker name, criterion text
    std::string selectList;
    std::optional<std::string> sort;

    bool empty() const { return criteria.empty() && selectList.empty() && !sort; }
};

// What applying the options did, for commands that report it.
struct SelectionOptionsReport
{
    SelectionTexts texts;   // criteria and results texts, selection panel
    std::string sortStatus; // the sort's status text, when it gives one
    bool sorted = false;
};

// Takes the options it knows out of args ("--option VALUE" or "--option=VALUE") and leaves the
// rest in order. False with a message in error for a missing or malformed value.
bool parseSelectionOptions(std::vector<std::string> &args, SelectionOptions &options, std::string *error);

// Applies parsed options to an opened data set. False with a message in error for an unknown
// marker or group, a criterion the locus cannot take, or an unreadable list.
bool applySelectionOptions(const SelectionOptions &options, GenotypeData &data, const AlleleTable &alleles, UserInterface &ui,
                           std::string *error, SelectionOptionsReport *report = nullptr);

// Both steps at once.
bool applySelectionOptions(std::vector<std::string> &args, GenotypeData &data, const AlleleTable &alleles, UserInterface &ui,
                           std::string *error, SelectionOptionsReport *report = nullptr);

} // namespace rvk::cli
