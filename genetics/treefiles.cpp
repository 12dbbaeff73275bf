#include "genetics/treefiles.h"

#include "settings/programpaths.h"

#include <cstdlib>
#include <filesystem>

#include <pwd.h>
#include <unistd.h>

namespace rvk {

namespace {

std::string withSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace

std::string userDataDirectory()
{
    if (const char *xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/')
        return withSlash(xdg) + "rvk/";
    std::string home;
    if (const char *variable = std::getenv("HOME"); variable && variable[0])
        home = variable;
    else if (const passwd *entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        home = entry->pw_dir;
    return home.empty() ? std::string() : withSlash(home) + ".local/share/rvk/";
}

std::string treeFilePath(TreeMethod method, const std::string &programFolder, const std::string &dataFolder)
{
    const std::string name = treeFileName(method);
    const std::string besideProgram = withSlash(programFolder) + name;
    // An installed program's folder (/usr/bin) is no place for data, even for a user who may
    // write there.
    const bool installed = !installedDataDirectory(programFolder).empty();
    if (!installed && !programFolder.empty() && ::access(programFolder.c_str(), W_OK) == 0
        && (::access(besideProgram.c_str(), F_OK) != 0 || ::access(besideProgram.c_str(), W_OK) == 0))
        return besideProgram;
    if (dataFolder.empty())
        return besideProgram;
    std::error_code error;
    std::filesystem::create_directories(dataFolder, error);
    return withSlash(dataFolder) + name;
}

} // namespace rvk
