#include "settings/recentfiles.h"

#include "settings/inifile.h"

namespace rvk {

bool RecentFiles::push(const std::string &path)
{
    if (path == mEntries[0])
        return false;
    mEntries[2] = mEntries[1];
    mEntries[1] = mEntries[0];
    mEntries[0] = path;
    return true;
}

bool RecentFiles::remember(const std::string &path, const std::string &settingsPath, bool &changed, std::string &errorText)
{
    changed = push(path);
    if (!changed || settingsPath.empty())
        return true;
    IniFile ini(settingsPath);
    if (!ini.load(&errorText))
        return false;
    store(ini);
    return ini.save(&errorText);
}

void RecentFiles::store(IniFile &ini) const
{
    for (int i = 0; i < Count; ++i)
        ini.writeString("recent", std::to_string(i + 1), mEntries[static_cast<size_t>(i)]);
}

} // namespace rvk
