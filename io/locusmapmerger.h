#pragma once

#include "core/userinterface.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rvk {

// "Build RVK file": builds data files from a locus file (markers with their codes) and map
// files (linkage groups with marker positions). For every marker of the maps, in map order, the
// marker's record is found in the locus file and written with its map position into the map's
// group. The window shows entries(), unmodifiedText() and modifiedText() and calls the commands.
class LocusMapMerger
{
public:
    // One line of the check list "Marker names && positions ": name, two blanks, position (or
    // group name); ticked once merged.
    struct MapEntry
    {
        std::string text;
        bool merged = false;
    };

    explicit LocusMapMerger(UserInterface &ui);

    // "Load marker maps": open dialog (several files), then addMapFile for each in order.
    void LoadMarkerMaps();
    // "Load Locus data": open dialog, then loadLocusFile.
    void LoadLocusData();
    // "Merge data": save dialog with the proposed name, then merge. Returns the file reported as
    // written, or empty when cancelled or failed.
    std::string MergeData(bool separateFiles);

    // Appends the entries of one map file and the entry "alias". A map whose first kept line is
    // a marker (no group to put it in), or that holds nothing, is refused with a message and
    // adds nothing. Returns whether the map was taken.
    bool addMapFile(const std::string &path);
    bool addMapText(std::string_view text, const std::string &fileName);
    // Reads the locus file (replacing an earlier one); false with a message when unreadable.
    bool loadLocusFile(const std::string &path);
    void setLocusText(std::string_view text, const std::string &path = {});

    // Merges into files named after outputPath (its file name cut before the first "."): S.rvk
    // for one group, S_all.rvk (and S01.rvk, S02.rvk, ... with separateFiles) for several.
    // Shows "RVK File saved " + S and the list of unmatched markers. Returns the file reported
    // as written (the one the main window opens), or empty when nothing was written.
    std::string merge(const std::string &outputPath, bool separateFiles);

    // "Reset": drops the map entries, the locus lines and the results.
    void reset();

    const std::vector<MapEntry> &entries() const { return mEntries; }
    bool canLoadLocusData() const { return !mEntries.empty(); }
    bool canMerge() const { return mLocusLoaded; }
    // The proposed output name: the locus file's name cut before its first "." + ".RVK".
    const std::string &proposedOutputName() const { return mProposedName; }
    // The page "unmodified": a note, the first 200 locus lines and "...".
    std::string unmodifiedText() const;
    // The page "modified": the combined result of the last merge.
    const std::string &modifiedText() const { return mModified; }
    // The file reported as written by the last merge (empty before the first).
    const std::string &writtenPath() const { return mWrittenPath; }
    // Every file written by the last merge.
    const std::vector<std::string> &writtenFiles() const { return mWrittenFiles; }
    const std::vector<std::string> &unmatchedMarkers() const { return mUnmatched; }

    // The locus file's lines as the merger sees them, and its individual names.
    const std::vector<std::string> &locusLines() const { return mLocusLines; }
    const std::vector<std::string> &individualNames() const { return mNames; }

    static std::string savedMessage(const std::string &stem) { return "RVK File saved " + stem; }
    static std::string unmatchedWarning(const std::vector<std::string> &names);
    static std::string mapWithoutGroupMessage(const std::string &fileName);
    static std::string emptyMapMessage(const std::string &fileName);
    static std::string helpText();

    static constexpr const char *MapFilter = "map files (*.map;*.dm1;*.dm2)|*.map;*.dm1;*.dm2|any file|*.*";
    static constexpr const char *LocusFilter = "locus|*.loc|any|*.*";
    static constexpr const char *OutputFilter = "RVK format (*.rvk)|*.rvk";

private:
    struct Group
    {
        std::string name;
        int markers = 0;
        std::vector<std::string> lines; // records after the "name=" and "nloc=" lines
    };

    int findLocusLine(const std::string &lowerName) const;
    std::string namesLine() const;
    std::string groupText(const Group &group) const;

    UserInterface &mUi;
    std::vector<MapEntry> mEntries;
    std::vector<std::string> mLocusLines;
    std::vector<std::string> mLowerLines;
    // Every blank-separated word of the lower-case locus lines, with the lines holding it.
    std::unordered_map<std::string, std::vector<int>> mWordLines;
    std::vector<std::string> mNames;
    bool mLocusLoaded = false;
    std::string mProposedName;
    std::string mModified;
    std::string mWrittenPath;
    std::vector<std::string> mWrittenFiles;
    std::vector<std::string> mUnmatched;
};

} // namespace rvk
