#pragma once

#include <string>

namespace rvk {

class GenotypeData;
class RecentFiles;
struct DisplaySettings;

// Loads a settings file into the display settings and brings the data set along: a ".rvs" file
// sets which individuals are ticked (individuals it does not mention are ticked, an ".ini" file
// leaves the ticks alone), and the recent list takes the file's entries. Returns false with a
// message in errorText when the file cannot be read.
bool loadSettingsWithData(const std::string &path, GenotypeData &data, DisplaySettings &settings, RecentFiles *recent,
                          std::string *errorText);

// Copies the ticks of the data set and the recent list into the settings, before they are saved.
void storeDataIntoSettings(const GenotypeData &data, const RecentFiles *recent, DisplaySettings &settings);

} // namespace rvk
