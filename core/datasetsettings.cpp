#include "core/datasetsettings.h"

#include "core/genotypedata.h"
#include "core/recentfiles.h"
#include "settings/displaysettings.h"
#include "settings/settingsfile.h"

namespace rvk {

bool loadSettingsWithData(const std::string &path, GenotypeData &data, DisplaySettings &settings, RecentFiles *recent,
                          std::string *errorText)
{
    storeDataIntoSettings(data, recent, settings);
    if (!loadSettings(path, settings, errorText))
        return false;
    for (size_t i = 0; i < data.Ticked.size() && i < settings.selected.size(); ++i)
        data.Ticked[i] = settings.selected[i] ? 1 : 0;
    data.RebuildSelectedIndices();
    if (recent)
        for (int i = 0; i < RecentFiles::Count; ++i)
            recent->set(i, settings.recentFiles[static_cast<size_t>(i)]);
    return true;
}

void storeDataIntoSettings(const GenotypeData &data, const RecentFiles *recent, DisplaySettings &settings)
{
    settings.selected.assign(data.Ticked.size(), true);
    for (size_t i = 0; i < data.Ticked.size(); ++i)
        settings.selected[i] = data.Ticked[i] != 0;
    if (recent)
        for (int i = 0; i < RecentFiles::Count; ++i)
            settings.recentFiles[static_cast<size_t>(i)] = recent->entry(i);
}

} // namespace rvk
