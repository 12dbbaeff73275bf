#pragma once
// Shared by the fuzz targets: the input as text, as a file of a given name, and split in two.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace rvk::fuzz {

inline std::string_view text(const uint8_t *data, size_t size) { return {reinterpret_cast<const char *>(data), size}; }

// A folder of this process in the temporary folder, for the files the readers are given.
inline const std::filesystem::path &scratchFolder()
{
    static const std::filesystem::path folder = [] {
        std::filesystem::path p = std::filesystem::temp_directory_path() / ("rvk-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(p);
        return p;
    }();
    return folder;
}

inline std::string folderFile(const std::string &name) { return (scratchFolder() / name).string(); }

// Writes the input to a file in the scratch folder; the name's ending is what the reader under
// test looks at.
inline std::string asFile(const uint8_t *data, size_t size, const std::string &ending)
{
    const std::string path = folderFile("input" + ending);
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    return path;
}

// Two texts from one input: the first byte chooses where the rest is cut.
inline std::pair<std::string_view, std::string_view> split(const uint8_t *data, size_t size)
{
    if (size == 0)
        return {};
    const std::string_view rest = text(data + 1, size - 1);
    const size_t cut = rest.empty() ? 0 : (static_cast<size_t>(data[0]) * rest.size()) / 255;
    return {rest.substr(0, cut), rest.substr(cut)};
}

} // namespace rvk::fuzz
