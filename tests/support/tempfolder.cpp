#include "support/tempfolder.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace rvk::test {

TempFolder::TempFolder()
{
    std::random_device device;
    std::mt19937_64 random(device());
    for (;;) {
        mPath = std::filesystem::temp_directory_path() / ("rvk-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(mPath))
            break;
    }
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::permissions(mPath, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(mPath, ignored);
}

std::string TempFolder::write(const std::string &name, const std::string &text) const
{
    const std::string path = file(name);
    std::ofstream out(path, std::ios::binary);
    out << text;
    return path;
}

std::vector<std::string> TempFolder::entries() const
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(mPath))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string readWholeFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

static std::string fromEnvironment(const char *variable, const char *fallback, const std::string &name)
{
    const char *folder = std::getenv(variable);
    return std::string(folder ? folder : fallback) + "/" + name;
}

std::string testDataPath(const std::string &name) { return fromEnvironment("RVK_TEST_DATA", RVK_SOURCE_DIR "/tests/data", name); }
std::string examplePath(const std::string &name) { return fromEnvironment("RVK_EXAMPLES", RVK_SOURCE_DIR "/examples", name); }

} // namespace rvk::test
