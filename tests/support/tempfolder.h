#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace rvk::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::filesystem::path &path() const { return mPath; }
    // Writes text (bytes as given) to name inside the folder and returns the full path.
    std::string write(const std::string &name, const std::string &text) const;
    std::string file(const std::string &name) const { return (mPath / name).string(); }
    // The names in the folder (not its subfolders), sorted: shows that no temporary file is left.
    std::vector<std::string> entries() const;

private:
    std::filesystem::path mPath;
};

std::string readWholeFile(const std::string &path);
// Folder of the shared test fixtures (tests/data) and of the bundled examples.
std::string testDataPath(const std::string &name);
std::string examplePath(const std::string &name);

} // namespace rvk::test
