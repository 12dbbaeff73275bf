#pragma once

#include "settings/alleletable.h"
#include "settings/drawingoptions.h"
#include "settings/recentfiles.h"

#include <array>
#include <string>
#include <vector>

namespace rvk {

// Everything a settings file holds: the allele table, the drawing options with the two label
// fonts and the footer, the data-file dialog's folder, the recent data files and (".rvs" files
// only) the check state of every individual. The window keeps one instance, copies its controls
// into it before a save and from it after a load.
struct DisplaySettings
{
    static constexpr int RecentCount = RecentFiles::Count;

    DisplaySettings();                                // defaults relative to programDirectory()
    explicit DisplaySettings(std::string programFolder); // programFolder ends in "/"

    AlleleTable alleles;
    DrawingOptions drawing;
    // The folder of the data file opened last; the open dialog starts there.
    std::string currentPath;
    // The recent data files, entry 0 the newest (keys "1", "2", "3").
    RecentFiles::Entries recentFiles;
    // Check state of each individual in the list, in the current order. A load changes only the
    // entries that exist here, so the caller sizes it to the number of individuals first.
    std::vector<bool> selected;
    // The folder the defaults of currentPath and recentFiles are taken from.
    std::string programFolder;

    // What currentPath and each recent entry are when the file does not say.
    std::string defaultCurrentPath() const { return programFolder; }
    std::string defaultRecentFile() const { return programFolder + "example.rvk"; }
};

} // namespace rvk
