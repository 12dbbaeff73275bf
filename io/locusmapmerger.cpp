#include "io/locusmapmerger.h"

#include "core/datafilewriter.h"
#include "core/textformat.h"
#include "core/textlines.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace rvk {

namespace {

bool readFile(const std::string &path, std::string &text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return true;
}

std::string fileNameOf(const std::string &path) { return std::filesystem::path(path).filename().string(); }

bool isGroupWord(const std::string &lowerName) { return lowerName == "chrom" || lowerName == "group"; }

size_t nonBlankCount(std::string_view text)
{
    size_t count = 0;
    for (char c : text)
        if (c != ' ' && c != '\t')
            ++count;
    return count;
}

// The first token (name) of an entry and the rest behind it.
void splitEntry(const std::string &entry, std::string &name, std::string &rest)
{
    const size_t blank = entry.find(' ');
    name = entry.substr(0, blank);
    rest = blank == std::string::npos ? std::string() : entry.substr(blank);
}

} // namespace

LocusMapMerger::LocusMapMerger(UserInterface &ui) : mUi(ui) {}

std::string LocusMapMerger::mapWithoutGroupMessage(const std::string &fileName)
{
    return "The map file " + fileName
         + " does not begin with a \"chrom\" or \"group\" line, so its markers belong to no linkage group. "
           "The map was not loaded.";
}

std::string LocusMapMerger::emptyMapMessage(const std::string &fileName)
{
    return "The map file " + fileName + " holds no linkage group. The map was not loaded.";
}

std::string LocusMapMerger::unmatchedWarning(const std::vector<std::string> &names)
{
    std::string text = "These markers were in the map file but not found in the loc file: ";
    text += '\r';
    for (const std::string &name : names) {
        text += name;
        text += '\r';
    }
    return text;
}

std::string LocusMapMerger::helpText()
{
    return "1. Load one or more map files: per linkage group a line \"chrom\" or \"group\" with the group's name, "
           "then one line per marker with its name and its position in cM.\n"
           "2. Load the locus file: a header with nind= and popt=, then per marker a line with its name and its "
           "codes, possibly continued on further lines; individual names may follow a line \"individual names\".\n"
           "3. Merge: every marker of the maps is looked up in the locus file (whole words, any case) and written "
           "with its map position into its group, in map order. Markers of the locus file that are not in a map "
           "are left out.\n";
}

bool LocusMapMerger::addMapFile(const std::string &path)
{
    std::string text;
    if (!readFile(path, text)) {
        mUi.warning("Unable to read " + path);
        return false;
    }
    return addMapText(text, fileNameOf(path));
}

bool LocusMapMerger::addMapText(std::string_view text, const std::string &fileName)
{
    std::vector<std::string> added;
    for (std::string_view line : splitLines(text)) {
        if (line.empty() || line.front() == ';')
            continue;
        std::string tabless(line);
        for (char &c : tabless)
            if (c == '\t')
                c = ' ';
        std::string_view rest = tabless;
        while (!rest.empty() && rest.front() == ' ')
            rest.remove_prefix(1);
        const size_t end = rest.find(' ');
        const std::string name(rest.substr(0, end));
        const std::string position = end == std::string_view::npos ? std::string() : removeBlanks(rest.substr(end + 1));
        if (name.empty())
            continue;
        if (parseDecimal(position) || isGroupWord(toLower(name)))
            added.push_back(name + "  " + position);
    }
    if (added.empty()) {
        mUi.warning(emptyMapMessage(fileName));
        return false;
    }
    std::string firstName, firstRest;
    splitEntry(added.front(), firstName, firstRest);
    if (!isGroupWord(toLower(firstName))) {
        mUi.warning(mapWithoutGroupMessage(fileName));
        return false;
    }
    for (std::string &entry : added)
        mEntries.push_back({std::move(entry), false});
    mEntries.push_back({"alias", false});
    return true;
}

bool LocusMapMerger::loadLocusFile(const std::string &path)
{
    std::string text;
    if (!readFile(path, text)) {
        mUi.warning("Unable to read " + path);
        return false;
    }
    setLocusText(text, path);
    return true;
}

void LocusMapMerger::setLocusText(std::string_view text, const std::string &path)
{
    mLocusLines.clear();
    mLowerLines.clear();
    mWordLines.clear();
    mNames.clear();
    const std::vector<std::string_view> lines = splitLines(text);
    size_t namesStart = lines.size();
    for (size_t i = 0; i < lines.size(); ++i)
        if (containsNoCase(lines[i], "individual names")) {
            namesStart = i;
            break;
        }
    for (size_t i = 0; i < namesStart; ++i) {
        std::string line(lines[i]);
        for (char &c : line)
            if (c == '\t')
                c = ' ';
        const size_t semicolon = line.find(';');
        if (semicolon != std::string::npos && semicolon > 0) {
            mLocusLines.push_back(line.substr(0, semicolon));
            mLocusLines.push_back(line.substr(semicolon));
        } else {
            mLocusLines.push_back(std::move(line));
        }
    }
    for (size_t i = namesStart + 1; i < lines.size(); ++i)
        if (!lines[i].empty())
            mNames.emplace_back(lines[i]);

    mLowerLines.reserve(mLocusLines.size());
    for (size_t i = 0; i < mLocusLines.size(); ++i) {
        mLowerLines.push_back(toLower(mLocusLines[i]));
        std::string_view rest = mLowerLines.back();
        while (!rest.empty()) {
            const size_t end = rest.find(' ');
            const std::string_view word = rest.substr(0, end);
            if (!word.empty()) {
                auto &where = mWordLines[std::string(word)];
                if (where.empty() || where.back() != static_cast<int>(i))
                    where.push_back(static_cast<int>(i));
            }
            if (end == std::string_view::npos)
                break;
            rest.remove_prefix(end + 1);
        }
    }
    mLocusLoaded = true;
    if (!path.empty())
        mProposedName = replaceExtensionAtFirstDot(path, ".RVK");
}

int LocusMapMerger::findLocusLine(const std::string &lowerName) const
{
    if (lowerName.empty())
        return -1;
    // Only lines holding the name as a whole word can match; of those, the first whose first
    // occurrence of the name is that whole word counts.
    const auto found = mWordLines.find(lowerName);
    if (found == mWordLines.end())
        return -1;
    for (int i : found->second) {
        const std::string &line = mLowerLines[static_cast<size_t>(i)];
        const size_t at = line.find(lowerName);
        const size_t after = at + lowerName.size();
        if ((at == 0 || line[at - 1] == ' ') && (after == line.size() || line[after] == ' '))
            return i;
    }
    return -1;
}

std::string LocusMapMerger::unmodifiedText() const
{
    std::string text = "Only the first part of the locus file is shown below\n\n";
    for (size_t i = 0; i < mLocusLines.size() && i < 200; ++i)
        text += mLocusLines[i] + "\n";
    text += "...\n...\n";
    return text;
}

std::string LocusMapMerger::namesLine() const
{
    std::string line = "alias";
    for (const std::string &name : mNames)
        // A name with blanks in it travels in quotes, so it stays one name.
        line += " " + (name.find_first_of(" \t") != std::string::npos ? "\"" + name + "\"" : name);
    return line;
}

std::string LocusMapMerger::groupText(const Group &group) const
{
    std::string text = "name=" + group.name + "\nnloc=" + std::to_string(group.markers) + "\n";
    for (const std::string &line : group.lines)
        text += line + "\n";
    return text;
}

std::string LocusMapMerger::merge(const std::string &outputPath, bool separateFiles)
{
    // The header of the locus file.
    int nind = 0;
    std::string popt;
    for (const std::string &line : mLocusLines) {
        const std::string compact = toLower(removeBlanks(line));
        const size_t equals = compact.find('=');
        const std::string value = equals == std::string::npos ? std::string() : compact.substr(equals + 1);
        if (compact.find("nind") != std::string::npos) {
            const auto number = parseInteger(value);
            if (!number) {
                mUi.error("'" + value + "' is not a valid integer value");
                return {};
            }
            nind = static_cast<int>(*number);
        }
        if (compact.find("popt") != std::string::npos)
            popt = value;
    }
    const long long expected = popt == "cp" ? 2LL * nind : nind;

    std::vector<Group> groups;
    mUnmatched.clear();
    for (size_t e = 0; e < mEntries.size(); ++e) {
        MapEntry &entry = mEntries[e];
        entry.merged = false;
        std::string name, rest;
        splitEntry(entry.text, name, rest);
        const std::string lowerName = toLower(name);
        if (isGroupWord(lowerName)) {
            if (groups.empty() || groups.back().markers > 0)
                groups.push_back({});
            // A group none of whose markers was found gives way to the next group line, so the
            // next group's markers are not filed under its name.
            groups.back() = Group{rest, 0, {}};
            entry.merged = true;
            continue;
        }
        const std::string key = removeBlanks(lowerName);
        const int found = groups.empty() ? -1 : findLocusLine(key);
        if (found < 0) {
            if (lowerName != "alias")
                mUnmatched.push_back(name);
            continue;
        }
        Group &group = groups.back();
        if (lowerName != "alias")
            ++group.markers;
        const std::string &line = mLocusLines[static_cast<size_t>(found)];
        const size_t at = mLowerLines[static_cast<size_t>(found)].find(key);
        std::string markerLine = line.substr(0, at) + name + rest;
        std::string tail = line.substr(at + key.size());
        if (!tail.empty() && tail.front() == ' ')
            tail.erase(0, 1);
        for (const auto &[open, length] : {std::pair{'<', size_t{7}}, std::pair{'{', size_t{4}}}) {
            const size_t start = tail.find(open);
            if (start == std::string::npos)
                continue;
            markerLine += " " + tail.substr(start, length);
            tail = start + length < tail.size() ? tail.substr(start + length) : std::string();
        }
        group.lines.emplace_back();
        group.lines.push_back(markerLine);
        long long codes = 0;
        if (!isBlankOnly(tail)) {
            for (char close : {')', '>'}) {
                const size_t at2 = tail.find(close);
                if (at2 != std::string::npos)
                    tail = tail.substr(at2 + 1);
            }
            if (!isBlankOnly(tail))
                group.lines.push_back(tail);
            codes = static_cast<long long>(nonBlankCount(tail));
        }
        for (size_t next = static_cast<size_t>(found) + 1; codes < expected && next < mLocusLines.size(); ++next) {
            const std::string &more = mLocusLines[next];
            group.lines.push_back(more);
            if (more.find(';') == std::string::npos)
                codes += static_cast<long long>(nonBlankCount(more));
        }
        entry.merged = true;
    }
    // A last group that got no marker holds nothing worth a group.
    if (!groups.empty() && groups.back().markers == 0)
        groups.pop_back();
    if (groups.empty()) {
        mUi.warning("No marker of the maps was found in the locus file; nothing was written.");
        if (!mUnmatched.empty())
            mUi.warning(unmatchedWarning(mUnmatched));
        return {};
    }

    const std::string stem = replaceExtensionAtFirstDot(outputPath, "");
    const bool withNames = !mNames.empty() && static_cast<long long>(mNames.size()) == nind;
    const std::string names = withNames ? namesLine() + "\n" : std::string();
    const std::string header = "popt=" + popt + "\nnind=" + std::to_string(nind) + "\n\n";
    std::string all = "nchrom=" + std::to_string(groups.size()) + "\nnind=" + std::to_string(nind) + "\npopt=" + popt + "\n";
    for (const Group &group : groups)
        all += "\n" + groupText(group) + names;

    std::vector<std::pair<std::string, std::string>> files;
    if (groups.size() == 1) {
        files.emplace_back(stem + ".rvk", header + groupText(groups.front()) + names);
    } else {
        files.emplace_back(stem + "_all.rvk", all);
        if (separateFiles)
            for (size_t k = 0; k < groups.size(); ++k)
                files.emplace_back(stem + formatText("%.2d", {static_cast<int>(k + 1)}) + ".rvk", header + groupText(groups[k]));
    }
    mWrittenFiles.clear();
    for (const auto &[path, text] : files) {
        if (!writeFileReplacing(path, text, mUi))
            return {};
        mWrittenFiles.push_back(path);
    }
    mWrittenPath = files.front().first;
    mModified = all;
    mUi.information(savedMessage(stem));
    if (!mUnmatched.empty())
        mUi.warning(unmatchedWarning(mUnmatched));
    return mWrittenPath;
}

void LocusMapMerger::reset()
{
    mEntries.clear();
    mLocusLines.clear();
    mLowerLines.clear();
    mWordLines.clear();
    mNames.clear();
    mLocusLoaded = false;
    mModified.clear();
    mUnmatched.clear();
}

void LocusMapMerger::LoadMarkerMaps()
{
    for (const std::string &path : mUi.openFileNames("Load marker maps", MapFilter, {}, true))
        addMapFile(path);
}

void LocusMapMerger::LoadLocusData()
{
    const auto paths = mUi.openFileNames("Load Locus data", LocusFilter, {}, false);
    if (!paths.empty())
        loadLocusFile(paths.front());
}

std::string LocusMapMerger::MergeData(bool separateFiles)
{
    if (!canMerge())
        return {};
    const std::string chosen = mUi.saveFileName("Merge data", OutputFilter, mProposedName);
    if (chosen.empty())
        return {};
    return merge(chosen, separateFiles);
}

} // namespace rvk
