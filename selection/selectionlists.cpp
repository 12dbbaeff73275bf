#include "selection/selectionlists.h"

#include "core/safefile.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "core/userinterface.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unordered_set>

namespace rvk {

std::string selectionActiveText(long long selectedCount)
{
    return "Selection active; [" + formatText("%d", {selectedCount}) + " selected]";
}

namespace SelectionList {

namespace {

constexpr const char *LineEnd = "\r\n";

bool inList(const GenotypeData &data, int i) { return i >= 0 && static_cast<size_t>(i) < data.Ticked.size(); }

// The tick and lock lists always have one entry per listed name.
void fitLists(GenotypeData &data)
{
    const size_t n = data.IndividualNames.size();
    if (data.Ticked.size() != n)
        data.Ticked.resize(n, 1);
    if (data.Locked.size() != n)
        data.Locked.resize(n, 0);
}

std::string withDefaultExtension(const std::string &path, const char *extension)
{
    if (path.empty() || std::filesystem::path(path).has_extension())
        return path;
    return path + "." + extension;
}

std::string joinLines(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines) {
        text += line;
        text += LineEnd;
    }
    return text;
}

bool readFile(const std::string &path, std::string &text, std::string *error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error)
            *error = "Cannot open " + path;
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        if (error)
            *error = "Cannot read " + path;
        return false;
    }
    text = buffer.str();
    return true;
}

} // namespace

void selectAll(GenotypeData &data)
{
    data.SelectedIndices.clear();
    if (data.GroupCount() == 0)
        return;
    data.TickAll();
}

void selectNone(GenotypeData &data)
{
    if (data.GroupCount() == 0)
        return;
    fitLists(data);
    std::fill(data.Ticked.begin(), data.Ticked.end(), 0);
    std::fill(data.Locked.begin(), data.Locked.end(), 0);
}

void check(GenotypeData &data, const std::vector<int> &highlighted)
{
    if (data.GroupCount() == 0)
        return;
    fitLists(data);
    for (int i : highlighted)
        if (inList(data, i))
            data.Ticked[static_cast<size_t>(i)] = 1;
}

void uncheck(GenotypeData &data, const std::vector<int> &highlighted)
{
    if (data.GroupCount() == 0)
        return;
    fitLists(data);
    for (int i : highlighted)
        if (inList(data, i)) {
            data.Ticked[static_cast<size_t>(i)] = 0;
            data.Locked[static_cast<size_t>(i)] = 0;
        }
}

void lock(GenotypeData &data, const std::vector<int> &highlighted)
{
    if (data.GroupCount() == 0)
        return;
    fitLists(data);
    for (int i : highlighted)
        if (inList(data, i)) {
            data.Ticked[static_cast<size_t>(i)] = 1;
            data.Locked[static_cast<size_t>(i)] = 1;
        }
}

void unlock(GenotypeData &data, const std::vector<int> &highlighted)
{
    if (data.GroupCount() == 0)
        return;
    fitLists(data);
    for (int i : highlighted)
        if (inList(data, i))
            data.Locked[static_cast<size_t>(i)] = 0;
}

void listClicked(GenotypeData &data) { data.Selectionyesno = true; }

void leavePage(GenotypeData &data, SelectionTexts &texts)
{
    data.RebuildSelectedIndices();
    const size_t ticked = data.SelectedIndices.size();
    if (ticked == data.IndividualNames.size()) {
        data.Selectionyesno = false;
        texts.statusText = SelectionTexts::NoSelection;
    } else {
        data.Selectionyesno = true;
        texts.statusText = selectionActiveText(static_cast<long long>(ticked));
    }
}

CoreSetSize coreSetSizeOnEnter(int nind, int value)
{
    CoreSetSize size{nind, value};
    if (value > nind)
        size.value = nind / 2;
    return size;
}

std::string selectionListText(const GenotypeData &data)
{
    std::string text;
    const size_t n = std::min(data.Ticked.size(), data.IndividualNames.size());
    for (size_t i = 0; i < n; ++i)
        if (data.Ticked[i]) {
            text += data.IndividualNames[i];
            text += LineEnd;
        }
    return text;
}

int applySelectionListText(GenotypeData &data, std::string_view text)
{
    fitLists(data);
    // A byte-order mark is not part of the first name.
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::unordered_set<std::string_view> names;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        names.insert(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    int count = 0;
    for (size_t i = 0; i < data.Ticked.size(); ++i) {
        const bool named = names.count(data.IndividualNames[i]) > 0;
        data.Ticked[i] = named ? 1 : 0;
        count += named;
    }
    return count;
}

bool writeSelectionListFile(const std::string &path, const GenotypeData &data, std::string *error)
{
    return rvk::writeFileReplacing(path, selectionListText(data), error);
}

bool readSelectionListFile(const std::string &path, GenotypeData &data, std::string *error)
{
    std::string text;
    if (!readFile(path, text, error))
        return false;
    applySelectionListText(data, text);
    return true;
}

bool saveSelectionList(const GenotypeData &data, UserInterface &ui)
{
    const std::string chosen = ui.saveFileName("Save selection", SaveFilter, {});
    if (chosen.empty())
        return false;
    std::string error;
    if (!writeSelectionListFile(withDefaultExtension(chosen, DefaultExtension), data, &error)) {
        ui.error(error);
        return false;
    }
    return true;
}

bool openSelectionList(GenotypeData &data, UserInterface &ui)
{
    const std::vector<std::string> chosen = ui.openFileNames("Open selection", OpenFilter, {}, false);
    if (chosen.empty() || chosen.front().empty())
        return false;
    std::string error;
    if (!readSelectionListFile(chosen.front(), data, &error)) {
        ui.error(error);
        return false;
    }
    return true;
}

std::vector<std::string> savedResultLines(const SelectionTexts &texts)
{
    std::vector<std::string> lines;
    lines.reserve(texts.Memo1.size() + texts.Memo2.size() + 3);
    lines.push_back("Applied criteria:");
    lines.insert(lines.end(), texts.Memo1.begin(), texts.Memo1.end());
    lines.push_back({});
    lines.push_back("Selection Results:");
    lines.insert(lines.end(), texts.Memo2.begin(), texts.Memo2.end());
    return lines;
}

bool writeResultFile(const std::string &path, const SelectionTexts &texts, std::string *error)
{
    return rvk::writeFileReplacing(path, joinLines(savedResultLines(texts)), error);
}

bool saveResults(const SelectionTexts &texts, UserInterface &ui)
{
    const std::string chosen = ui.saveFileName("Save selection results", ResultsFilter, {});
    if (chosen.empty())
        return false;
    std::string error;
    if (!writeResultFile(withDefaultExtension(chosen, ResultsExtension), texts, &error)) {
        ui.error(error);
        return false;
    }
    return true;
}

std::vector<std::string> printedResultLines(const SelectionTexts &texts, const std::string &shortDate)
{
    std::vector<std::string> lines;
    lines.reserve(texts.Memo1.size() + texts.Memo2.size() + 4);
    lines.push_back(std::string(PrintTitle) + shortDate);
    lines.push_back({});
    lines.insert(lines.end(), texts.Memo1.begin(), texts.Memo1.end());
    lines.push_back({});
    lines.push_back("Selection Results:");
    lines.insert(lines.end(), texts.Memo2.begin(), texts.Memo2.end());
    return lines;
}

} // namespace SelectionList
} // namespace rvk
