#pragma once

#include <array>
#include <string>

namespace rvk {

class IniFile;

// The three most recently opened data files, entry 0 the newest, as the display settings hold
// them (section "recent", keys "1", "2", "3" of the settings files). This class is the list's
// operations; the entries themselves live in DisplaySettings::recentFiles, their only owner.
class RecentFiles
{
public:
    static constexpr int Count = 3;
    using Entries = std::array<std::string, Count>;

    explicit RecentFiles(Entries &entries) : mEntries(entries) {}

    const std::string &entry(int i) const { return mEntries.at(static_cast<size_t>(i)); }
    void set(int i, const std::string &path) { mEntries.at(static_cast<size_t>(i)) = path; }

    // Puts path first unless it already is (exact comparison); returns whether the list changed.
    bool push(const std::string &path);

    // Puts path first and, when that changed the list, writes the three entries to the settings
    // file at settingsPath (an existing file that cannot be read is left alone). Returns false
    // with a message in errorText when the file could not be written.
    bool remember(const std::string &path, const std::string &settingsPath, bool &changed, std::string &errorText);

    void store(IniFile &ini) const;

private:
    Entries &mEntries;
};

} // namespace rvk
