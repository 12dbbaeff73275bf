#include "stats/reportfile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace rvk {

std::string withDefaultExtension(const std::string &path, const std::string &ext)
{
    if (std::filesystem::path(path).filename().has_extension())
        return path;
    return path + ext;
}

std::string writeReportFile(const std::string &path, const std::string &text)
{
    const std::string temporary = path + ".rvk-saving";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return "Could not write " + path;
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        if (!out) {
            out.close();
            std::remove(temporary.c_str());
            return "Could not write " + path;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::remove(temporary.c_str());
        return "Could not write " + path;
    }
    return {};
}

} // namespace rvk
