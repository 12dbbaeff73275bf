#pragma once

#include "core/genotypecodes.h"
#include "core/genotypedata.h"
#include "core/platformimport.h"
#include "core/userinterface.h"

#include <functional>
#include <string>
#include <vector>

namespace rvk {

// What an OpenFiles call did and found, for the front end to bring its controls and its settings
// up to date.
struct LoadOutcome
{
    int groupsBefore = 0;        // groups registered before the call
    int groupsAdded = 0;         // groups registered by the call
    bool completed = false;      // every file (or every block) was read
    bool multiGroupFile = false; // one file cut into blocks
    std::string failedFile;      // the file that failed, if any
    std::string captionPath;     // set when the window caption becomes "Display RVK - " + path
    CodeSet usedCodes;           // the genotype codes of the groups read (also those kept before a failure)
    std::string rememberedFile;  // the file for "&Recently opened", when the read makes one (multi-group and platform files)
    std::string dataSetSettings; // the data set's own settings file (folder + stem + ".rvs") found beside it, to be loaded next
    bool aliasSection = false;   // names came from an "alias" section: labels go sideways
    bool cancelled = false;      // the person stopped the reading of a genotyping-platform file
};

// Opens data files into the data set: one group per file, or one multi-group file cut into
// blocks; groups accumulate across calls. Messages go through the UserInterface with the
// program's texts; nothing is shown directly. What belongs to the settings (the codes used, the
// file to remember, the data set's own settings file) comes back in the LoadOutcome for the
// front end to hand on.
class DataLoader
{
public:
    DataLoader(GenotypeData &data, UserInterface &ui);

    LoadOutcome OpenFiles(const std::vector<std::string> &paths);

    // VCF, BCF and HapMap files open like data files, each chromosome a group. The options
    // (region, samples, filters, map, population type) apply to the opens that follow.
    void setPlatformOptions(const PlatformImportOptions &options) { mPlatformOptions = options; }
    const PlatformImportOptions &platformOptions() const { return mPlatformOptions; }
    // Polled while a platform file is read; true stops the read and adds nothing.
    void setCancelCheck(std::function<bool()> check) { mCancelCheck = std::move(check); }
    // "Close all": empties the data set (the front end clears the alleles' Used flags).
    void Reset();

    // The settings dialogs' default name for a data file: folder + name less its last four
    // characters + ".rvs".
    static std::string settingsNameFor(const std::string &dataFilePath);
    const std::string &defaultSettingsName() const { return mDefaultSettingsName; }
    // Takes the name another loader chose (one that read the files away from the window).
    void setDefaultSettingsName(std::string name) { mDefaultSettingsName = std::move(name); }

    // The message shown when a file of a multi-file open cannot be read.
    static std::string fileFailedMessage(const std::string &fileName);

private:
    GenotypeData &mData;
    UserInterface &mUi;
    std::string mDefaultSettingsName;
    PlatformImportOptions mPlatformOptions;
    std::function<bool()> mCancelCheck;

    bool openPlatformFile(const std::string &path, LoadOutcome &outcome, const std::function<void()> &finishLoad);
};

} // namespace rvk
