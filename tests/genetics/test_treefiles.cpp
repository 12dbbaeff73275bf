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
    // An installed program (bin/ beside share/rvk/) keeps its trees in the data folder even
    // where its folder could be written.
    const std::string installed = folder.file("prefix/bin/");
    std::filesystem::create_directories(installed);
    std::filesystem::create_directories(folder.file("prefix/share/rvk"));
    EXPECT_EQ(treeFilePath(TreeMethod::NeighbourJoining, installed, data), data + "NJtree.nwk");
    if (::geteuid() == 0)
        GTEST_SKIP() << "an administrator can write every folder";
    std::filesystem::permissions(program, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_EQ(treeFilePath(TreeMethod::Upgma, program, data), data + "UPGMAtree.nwk");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
}

} // namespace
} // namespace rvk
