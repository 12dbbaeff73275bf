#pragma once
// The individual check list: one tick (selected) and one lock (must stay in every core subset)
// per individual, kept in GenotypeData::Ticked and GenotypeData::Locked. These are the actions of
// the list's buttons, the selection list files (".rvl") and the result texts of the page.
// "Highlighted" entries are the rows the user has marked in the list (0-based indices).

#include "selection/selectiontexts.h"

#include <string>
#include <string_view>
#include <vector>

namespace rvk {

class GenotypeData;
class UserInterface;

namespace SelectionList {

constexpr const char *SaveFilter = "RVK selection (*.rvl)|*.rvl|Text|*.txt";
constexpr const char *OpenFilter = "RVK selection list (*.rvl)|*.rvl|Text file|*.txt";
constexpr const char *DefaultExtension = "rvl";
constexpr const char *ResultsFilter = "Text file (*.txt)|*.txt|All files (*.*)|*.*";
constexpr const char *ResultsExtension = "txt";
constexpr const char *PrintTitle = "RVK graphical genotype selection results: ";

// "All": ticks every individual and releases every lock; SelectedIndices lists everyone. With no
// linkage group loaded only SelectedIndices is emptied.
void selectAll(GenotypeData &data);
// "None": every entry unticked and unlocked.
void selectNone(GenotypeData &data);
// "Check": ticks the highlighted entries (locks stay as they are).
void check(GenotypeData &data, const std::vector<int> &highlighted);
// "Uncheck": unticks the highlighted entries and releases their locks.
void uncheck(GenotypeData &data, const std::vector<int> &highlighted);
// "Lock current selection (must be included always)": ticks and locks the highlighted entries.
void lock(GenotypeData &data, const std::vector<int> &highlighted);
// "Unlock current selection": releases the locks of the highlighted entries, ticks unchanged.
void unlock(GenotypeData &data, const std::vector<int> &highlighted);
// A click in the list turns selection filtering on.
void listClicked(GenotypeData &data);

// Leaving the page: SelectedIndices follows the ticks; filtering is off when everyone is ticked
// and on otherwise, and texts.statusText says which.
void leavePage(GenotypeData &data, SelectionTexts &texts);

// The "Select core set of size:" field on entering the page: its maximum becomes nind, and a
// value above nind becomes nind div 2.
struct CoreSetSize
{
    int maximum;
    int value;
};
CoreSetSize coreSetSizeOnEnter(int nind, int value);

// Selection list files: the names of the ticked entries, one a line, each line ended by CR LF.
std::string selectionListText(const GenotypeData &data);
// Unticks every entry, then ticks each entry whose name equals a line of text exactly (lines
// ended by CR, LF or CR LF). Locks, SelectedIndices and filtering are left for leaving the page.
// Returns the number of ticked entries.
int applySelectionListText(GenotypeData &data, std::string_view text);
// The file versions; false with the reason in error when the file cannot be written or read.
// Writing goes to a temporary file renamed over the target, so an old list survives a failure.
bool writeSelectionListFile(const std::string &path, const GenotypeData &data, std::string *error);
bool readSelectionListFile(const std::string &path, GenotypeData &data, std::string *error);
// "save selection" / "open selection": ask for the file, then write or read it; false when
// cancelled or failed (failures are reported through ui).
bool saveSelectionList(const GenotypeData &data, UserInterface &ui);
bool openSelectionList(GenotypeData &data, UserInterface &ui);

// "Save..": "Applied criteria:", the criteria text, an empty line, "Selection Results:" and the
// results text.
std::vector<std::string> savedResultLines(const SelectionTexts &texts);
bool writeResultFile(const std::string &path, const SelectionTexts &texts, std::string *error);
bool saveResults(const SelectionTexts &texts, UserInterface &ui);
// "Print": the title with the date (in the user's short date format), an empty line, the
// criteria text, an empty line, "Selection Results:" and the results text.
std::vector<std::string> printedResultLines(const SelectionTexts &texts, const std::string &shortDate);

} // namespace SelectionList
} // namespace rvk
