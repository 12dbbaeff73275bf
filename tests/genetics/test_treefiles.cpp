#include "genetics/treefiles.h"

#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace rvk {
namespace {

TEST(TreeFiles, BesideTheProgramOnlyWhenItsFolderCanBeWritten)
{
    test::TempFolder folder;
    const std::string program = folder.file("program/"), data = folder.file("data/");
    std::filesystem::create_directories(program);
    EXPECT_EQ(treeFilePath(TreeMethod::NeighbourJoining, program, data), program + "NJtree.nwk");
    // A folder that cannot be written to (here: one that is missing) sends the tree to the
    // user's data folder, made when needed.
    EXPECT_EQ(treeFilePath(TreeMethod::Upgma, folder.file("missing/"), data), data + "UPGMAtree.nwk");
    EXPECT_TRUE(std::filesystem::is_directory(data));
    if (::geteuid() == 0)
        GTEST_SKIP() << "an administrator can write every folder";
    std::filesystem::permissions(program, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_EQ(treeFilePath(TreeMethod::Upgma, program, data), data + "UPGMAtree.nwk");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
}

} // namespace
} // namespace rvk
