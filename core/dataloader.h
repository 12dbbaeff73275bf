#pragma once

#include "core/genotypedata.h"
#include "core/platformimport.h"
#include "core/userinterface.h"

#include <functional>
#include <string>
#include <vector>

namespace rvk {

class AlleleTable;
class RecentFiles;

// What an OpenFiles call did, for the front end to bring its controls up to date.
struct LoadOutcome
{
    int groupsBefore = 0;        // groups registered before the call
    int groupsAdded = 0;         // groups registered by the call
    bool completed = false;      // every file (or every block) was read
    bool multiGroupFile = false; // one file cut into blocks
    std::string failedFile;      // the file that failed, if any
    std::string captionPath;     // set when the window caption becomes "Display RVK - " + path
    bool recentChanged = false;  // the recent list was written
    std::string dataSetSettings; // the data set's own settings file that was loaded, if any
    bool aliasSection = false;   // names came from an "alias" section: labels go sideways
    bool cancelled = false;      // the person stopped the reading of a genotyping-platform file
};

// Opens data files into the data set: one group per file, or one multi-group file cut into
// blocks; groups accumulate across calls. Messages go through the UserInterface with the
// program's texts; nothing is shown directly.
class DataLoader
{
public:
    DataLoader(GenotypeData &data, AlleleTable &alleles, UserInterface &ui);

    // Where the recent list lives and is written (the default settings file). Optional.
    void setRecentFiles(RecentFiles *recent, std::string defaultSettingsPath);
    // Called with the path of the data set's own settings file (folder + stem + ".rvs") when it
    // exists after a load.
    void setSettingsLoader(std::function<void(const std::string &path)> loader);

    LoadOutcome OpenFiles(const std::vector<std::string> &paths);

    // VCF, BCF and HapMap files open like data files, each chromosome a group. The options
    // (region, samples, filters, map, population type) apply to the opens that follow.
    void setPlatformOptions(const PlatformImportOptions &options) { mPlatformOptions = options; }
    const PlatformImportOptions &platformOptions() const { return mPlatformOptions; }
    // Polled while a platform file is read; true stops the read and adds nothing.
    void setCancelCheck(std::function<bool()> check) { mCancelCheck = std::move(check); }
    // "Close all": empties the data set and clears every allele's Used flag.
    void Reset();

    // The settings dialogs' default name for a data file: folder + name less its last four
    // characters + ".rvs".
    static std::string settingsNameFor(const std::string &dataFilePath);
    const std::string &defaultSettingsName() const { return mDefaultSettingsName; }

    // The message shown when a file of a multi-file open cannot be read.
    static std::string fileFailedMessage(const std::string &fileName);

private:
    GenotypeData &mData;
    AlleleTable &mAlleles;
    UserInterface &mUi;
    RecentFiles *mRecent = nullptr;
    std::string mDefaultSettingsPath;
    std::function<void(const std::string &)> mSettingsLoader;
    std::string mDefaultSettingsName;
    PlatformImportOptions mPlatformOptions;
    std::function<bool()> mCancelCheck;

    bool openPlatformFile(const std::string &path, LoadOutcome &outcome, const std::function<void()> &finishLoad);
};

} // namespace rvk
