#include "stats/reportfile.h"

#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rvk {
namespace {

TEST(ReportFile, AppendsTheExtensionOnlyToANameWithoutOne)
{
    EXPECT_EQ(withDefaultExtension("/a/b/report", ".txt"), "/a/b/report.txt");
    EXPECT_EQ(withDefaultExtension("/a/b/report.lst", ".txt"), "/a/b/report.lst");
    EXPECT_EQ(withDefaultExtension("/a/b.d/report", ".xls"), "/a/b.d/report.xls");
}

TEST(ReportFile, ReplacesAnOldReportWholeAndKeepsItWhenWritingFails)
{
    test::TempFolder folder;
    const std::string path = folder.write("stats.txt", "old");
    EXPECT_EQ(writeReportFile(path, "new\r\nlines\r\n"), "");
    EXPECT_EQ(test::readWholeFile(path), "new\r\nlines\r\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".rvk-saving"));

    const std::string missing = folder.file("no/such/folder/stats.txt");
    EXPECT_EQ(writeReportFile(missing, "x"), "Unable to write to " + missing);
    EXPECT_EQ(test::readWholeFile(path), "new\r\nlines\r\n");
}

} // namespace
} // namespace rvk
