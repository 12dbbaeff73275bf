#pragma once
// What the selection page shows beside the check list: the criteria text, the results text and
// the selection panel of the status bar. The criteria, the selection lists and the core-subset
// search all write here; the page and the command line show it.

#include <string>
#include <vector>

namespace rvk {

struct SelectionTexts
{
    static constexpr const char *NoSelection = "no selection";
    static constexpr const char *CriteriaSet = "selection criteria set";

    std::vector<std::string> Memo1; // "Selection Criteria"
    std::vector<std::string> Memo2; // "Selection Results"
    std::string statusText = NoSelection; // third panel of the status bar

    void clearMemos()
    {
        Memo1.clear();
        Memo2.clear();
    }
};

// "Selection active; [" + count + " selected]".
std::string selectionActiveText(long long selectedCount);

} // namespace rvk
