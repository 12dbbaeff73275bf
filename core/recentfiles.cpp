#include "core/recentfiles.h"

#include "settings/inifile.h"

namespace rvk {

namespace {
constexpr const char *Section = "recent";
std::string keyOf(int i) { return std::to_string(i + 1); }
} // namespace

RecentFiles::RecentFiles(const std::string &programDirectory)
{
    std::string folder = programDirectory;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    mDefault = folder + "example.rvk";
    mEntries.fill(mDefault);
}

bool RecentFiles::push(const std::string &path)
{
    if (path == mEntries[0])
        return false;
    mEntries[2] = mEntries[1];
    mEntries[1] = mEntries[0];
    mEntries[0] = path;
    return true;
}

void RecentFiles::load(const IniFile &ini)
{
    for (int i = 0; i < Count; ++i)
        mEntries[static_cast<size_t>(i)] = ini.readString(Section, keyOf(i), mDefault);
}

void RecentFiles::store(IniFile &ini) const
{
    for (int i = 0; i < Count; ++i)
        ini.writeString(Section, keyOf(i), mEntries[static_cast<size_t>(i)]);
}

} // namespace rvk
