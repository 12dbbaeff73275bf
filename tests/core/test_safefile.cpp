#include "core/safefile.h"

#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/stat.h>

namespace rvk {
namespace {

namespace fs = std::filesystem;
using test::readWholeFile;
using test::TempFolder;

mode_t modeOf(const std::string &path)
{
    struct stat s {};
    ::stat(path.c_str(), &s);
    return s.st_mode & 07777;
}

TEST(WriteFileReplacing, NewFileGetsTheBytesAndNothingElseIsLeft)
{
    TempFolder folder;
    const std::string path = folder.file("new.txt");
    const std::string bytes("line 1\r\nzero \0 byte\n", 20);
    std::string error = "untouched";
    ASSERT_TRUE(writeFileReplacing(path, bytes, &error));
    EXPECT_EQ(readWholeFile(path), bytes);
    EXPECT_EQ(error, "untouched");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"new.txt"});
    // An empty text makes an empty file.
    ASSERT_TRUE(writeFileReplacing(folder.file("empty.txt"), std::string_view()));
    EXPECT_EQ(fs::file_size(folder.file("empty.txt")), 0u);
}

TEST(WriteFileReplacing, ExistingFileIsReplacedByARenameKeepingItsMode)
{
    TempFolder folder;
    const std::string path = folder.write("data.rvk", "old contents that are longer than the new ones\n");
    ::chmod(path.c_str(), 0640);
    // A reader that opened the old file keeps seeing the old file: the new bytes went to another
    // file, which took the name in one rename, not into the old file.
    std::ifstream opened(path, std::ios::binary);
    ASSERT_TRUE(writeFileReplacing(path, "new\n"));
    EXPECT_EQ(readWholeFile(path), "new\n");
    std::stringstream oldText;
    oldText << opened.rdbuf();
    EXPECT_EQ(oldText.str(), "old contents that are longer than the new ones\n");
    EXPECT_EQ(modeOf(path), 0640u);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"data.rvk"});
}

TEST(WriteFileReplacing, WritingThroughALinkChangesTheLinkedFile)
{
    TempFolder folder;
    const std::string target = folder.write("target.txt", "old");
    const std::string link = folder.file("link.txt");
    fs::create_symlink(target, link);
    ASSERT_TRUE(writeFileReplacing(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readWholeFile(target), "new");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"link.txt", "target.txt"}));
}

TEST(WriteFileReplacing, FailedWritesReportTheMessageAndLeaveNoTemporaryFile)
{
    TempFolder folder;
    // No such folder.
    const std::string missing = folder.file("no folder/out.txt");
    std::string error;
    EXPECT_FALSE(writeFileReplacing(missing, "x", &error));
    EXPECT_EQ(error, "Unable to write to " + missing);
    EXPECT_FALSE(fs::exists(missing));

    // A folder where the file should be.
    fs::create_directory(folder.file("sub"));
    error.clear();
    EXPECT_FALSE(writeFileReplacing(folder.file("sub"), "x", &error));
    EXPECT_EQ(error, "Unable to write to " + folder.file("sub"));
    EXPECT_TRUE(fs::is_directory(folder.file("sub")));
    EXPECT_TRUE(fs::is_empty(folder.file("sub")));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"sub"});

    // Through the user interface: one error message with the same text.
    test::ScriptedUserInterface ui;
    EXPECT_FALSE(writeFileReplacing(missing, "x", ui));
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"Unable to write to " + missing});
}

TEST(WriteFileReplacing, AWriterThatFailsLeavesTheOldFileAsItWas)
{
    TempFolder folder;
    const std::string path = folder.write("picture.emf", "old picture");
    std::string temporaryUsed;
    std::string error;
    const bool written = writeFileReplacing(
        path,
        [&](const std::string &temporary) {
            temporaryUsed = temporary;
            std::ofstream(temporary, std::ios::binary) << "half a pic";
            return false;
        },
        &error);
    EXPECT_FALSE(written);
    EXPECT_EQ(error, "Unable to write to " + path);
    EXPECT_EQ(readWholeFile(path), "old picture");
    EXPECT_EQ(fs::path(temporaryUsed).parent_path(), folder.path()); // beside the target
    EXPECT_FALSE(fs::exists(temporaryUsed));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"picture.emf"});

    // The same writer succeeding replaces the file.
    EXPECT_TRUE(writeFileReplacing(path, [](const std::string &temporary) {
        std::ofstream(temporary, std::ios::binary) << "new picture";
        return true;
    }));
    EXPECT_EQ(readWholeFile(path), "new picture");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"picture.emf"});
}

} // namespace
} // namespace rvk
