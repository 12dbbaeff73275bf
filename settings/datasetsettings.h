#pragma once

#include <string>

namespace rvk {

class GenotypeData;
struct DisplaySettings;

// Loads a settings file into the display settings and brings the data set along: a ".rvs" file
// sets which individuals are ticked (individuals it does not mention are ticked, an ".ini" file
// leaves the ticks alone). Returns false with a
// message in errorText when the file cannot be read.
bool loadSettingsWithData(const std::string &path, GenotypeData &data, DisplaySettings &settings, std::string *errorText);

// Copies the ticks of the data set into the settings, before they are saved.
void storeDataIntoSettings(const GenotypeData &data, DisplaySettings &settings);

} // namespace rvk
