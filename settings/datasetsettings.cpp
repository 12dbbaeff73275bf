#include "settings/datasetsettings.h"

#include "core/genotypedata.h"
#include "settings/displaysettings.h"
#include "settings/settingsfile.h"

namespace rvk {

bool loadSettingsWithData(const std::string &path, GenotypeData &data, DisplaySettings &settings, std::string *errorText)
{
    storeDataIntoSettings(data, settings);
    if (!loadSettings(path, settings, errorText))
        return false;
    for (size_t i = 0; i < data.Ticked.size() && i < settings.selected.size(); ++i)
        data.Ticked[i] = settings.selected[i] ? 1 : 0;
    data.RebuildSelectedIndices();
    return true;
}

void storeDataIntoSettings(const GenotypeData &data, DisplaySettings &settings)
{
    settings.selected.assign(data.Ticked.size(), true);
    for (size_t i = 0; i < data.Ticked.size(); ++i)
        settings.selected[i] = data.Ticked[i] != 0;
}

} // namespace rvk
