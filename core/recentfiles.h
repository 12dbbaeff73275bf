#pragma once

#include <array>
#include <string>

namespace rvk {

class IniFile;

// The three most recently opened multi-group data files, entry 0 the newest. Kept in the
// default settings file, section "recent", keys "1", "2", "3".
class RecentFiles
{
public:
    static constexpr int Count = 3;

    // Every entry defaults to the program's folder followed by "example.rvk".
    explicit RecentFiles(const std::string &programDirectory = {});

    const std::string &entry(int i) const { return mEntries.at(static_cast<size_t>(i)); }
    const std::array<std::string, Count> &entries() const { return mEntries; }

    void set(int i, const std::string &path) { mEntries.at(static_cast<size_t>(i)) = path; }
    // Puts path first unless it already is (exact comparison); returns whether the list changed.
    bool push(const std::string &path);

    void load(const IniFile &ini);
    void store(IniFile &ini) const;

private:
    std::string mDefault;
    std::array<std::string, Count> mEntries;
};

} // namespace rvk
