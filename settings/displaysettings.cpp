#include "settings/displaysettings.h"

#include "settings/programpaths.h"

namespace rvk {

DisplaySettings::DisplaySettings() : DisplaySettings(programDirectory()) {}

DisplaySettings::DisplaySettings(std::string folder) : programFolder(std::move(folder))
{
    currentPath = defaultCurrentPath();
    recentFiles.fill(defaultRecentFile());
}

} // namespace rvk
