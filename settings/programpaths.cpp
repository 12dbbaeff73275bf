#include "settings/programpaths.h"

#include <cstdlib>
#include <filesystem>

#include <pwd.h>
#include <unistd.h>

namespace rvk {

namespace {

std::string withTrailingSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

const char *const SettingsFileName = "rvk.ini";

} // namespace

std::string programDirectory()
{
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    return withTrailingSlash(executable.parent_path().string());
}

std::string userConfigDirectory()
{
    const char *xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/')
        return withTrailingSlash(xdg) + "rvk/";
    std::string home;
    if (const char *variable = std::getenv("HOME"); variable && variable[0])
        home = variable;
    else if (const passwd *entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        home = entry->pw_dir;
    if (home.empty())
        return {};
    return withTrailingSlash(home) + ".config/rvk/";
}

std::string defaultSettingsFilePath(const std::string &programFolder, const std::string &configFolder)
{
    const std::string besideProgram = withTrailingSlash(programFolder) + SettingsFileName;
    const bool installed = !programFolder.empty() && !installedDataDirectory(programFolder).empty();
    if (!programFolder.empty() && !installed && ::access(programFolder.c_str(), W_OK) == 0) {
        // An existing file there that cannot be replaced counts as an unwritable place.
        if (::access(besideProgram.c_str(), F_OK) != 0 || ::access(besideProgram.c_str(), W_OK) == 0)
            return besideProgram;
    }
    if (configFolder.empty())
        return besideProgram;
    std::error_code error;
    std::filesystem::create_directories(configFolder, error);
    return withTrailingSlash(configFolder) + SettingsFileName;
}

std::string installedDataDirectory(const std::string &programFolder)
{
    if (programFolder.empty())
        return {};
    const std::filesystem::path folder = std::filesystem::path(withTrailingSlash(programFolder)).parent_path();
    if (folder.filename() != "bin")
        return {};
    const std::filesystem::path data = folder.parent_path() / "share" / "rvk";
    std::error_code error;
    if (!std::filesystem::is_directory(data, error))
        return {};
    return withTrailingSlash(data.lexically_normal().string());
}

std::string programDocumentPath(const std::string &programFolder, const std::string &name)
{
    std::error_code error;
    if (!programFolder.empty()) {
        const std::string beside = withTrailingSlash(programFolder) + name;
        if (std::filesystem::is_regular_file(beside, error))
            return beside;
    }
    const std::string data = installedDataDirectory(programFolder);
    if (!data.empty() && std::filesystem::is_regular_file(data + name, error))
        return data + name;
    return {};
}

std::string defaultSettingsFilePath() { return defaultSettingsFilePath(programDirectory(), userConfigDirectory()); }

} // namespace rvk
