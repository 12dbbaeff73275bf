#pragma once

#include "settings/displaysettings.h"

#include <string>

namespace rvk {

class IniFile;
class ProgramRandom;

// The file filters of "Save Settings.." and "Load Settings..".
inline constexpr const char *SettingsSaveFilter = "RVK settings (*.rvs)|*.rvs|Ini files |*.ini";
inline constexpr const char *SettingsLoadFilter = "RVK settings (*.rvs)|*.rvs|Ini files|*.ini";

// The ".ini" variant (the default file rvk.ini is one) leaves out the individuals' check states;
// every other name is the ".rvs" variant. The extension is compared without regard to case.
bool isIniSettingsFile(const std::string &path);

// Writes every stored setting into ini, in the file's order: per allele entry its "colors",
// "hatch", "Legend" and "numval" keys, then the drawing options, fonts, footer, folder, recent
// files and, withSelection, the section "selected". Keys already there are replaced in place.
void writeSettings(IniFile &ini, const DisplaySettings &settings, bool withSelection);

// Reads the settings from ini. Missing or unreadable values take their defaults; pseudo-random
// default colours and hatches are drawn from random, four draws per allele entry whether used or
// not. The Used flags of the allele table are kept. Drawing options are set as stored (the
// marker-names and colour-mode rules do not apply to a load) and brought into their ranges.
// Only withSelection are the existing entries of settings.selected read ("selected"/"1"...),
// each defaulting to checked.
void readSettings(const IniFile &ini, DisplaySettings &settings, bool withSelection, ProgramRandom &random);

// "Save Settings..": writes the settings to path, keeping keys of the file that are not written.
// The file is replaced as a whole only after the new one is complete, so a failure leaves the old
// file intact. On failure errorText gets "Unable to write to " and the path.
bool saveSettings(const std::string &path, const DisplaySettings &settings, std::string *errorText = nullptr);

// "Load Settings..", the start-up load and the data set's own ".rvs": a missing file reads as
// empty, so every setting takes its default. A file that exists but cannot be read changes
// nothing and returns false with the reason. Nothing is redrawn here.
bool loadSettings(const std::string &path, DisplaySettings &settings, std::string *errorText = nullptr);
bool loadSettings(const std::string &path, DisplaySettings &settings, ProgramRandom &random, std::string *errorText);
// The name the data loader uses for the same operation.
inline bool loadSettingsFile(const std::string &path, DisplaySettings &settings, std::string *errorText = nullptr)
{
    return loadSettings(path, settings, errorText);
}

// "Set as Default" and the save when the main window closes: the settings go to the default
// settings file (defaultSettingsFilePath()), which the next start loads.
bool saveDefaultSettings(const DisplaySettings &settings, std::string *errorText = nullptr);
// Start-up: loads the default settings file.
bool loadDefaultSettings(DisplaySettings &settings, std::string *errorText = nullptr);

} // namespace rvk
