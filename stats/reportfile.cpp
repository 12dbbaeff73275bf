#include "stats/reportfile.h"

#include "core/safefile.h"

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
    std::string error;
    return writeFileReplacing(path, text, &error) ? std::string() : error;
}

} // namespace rvk
