// Every input kept from a fuzzing finding is read again, without sanitizers, through the same
// reader as its fuzz target: tests/fuzz/regression/cases/NAME/ holds the inputs of fuzz_NAME.
#include "fuzz/fuzzreaders.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rvk {
namespace {

std::filesystem::path casesFolder()
{
    return std::filesystem::path(test::testDataPath("")).parent_path().parent_path() / "fuzz" / "regression" / "cases";
}

TEST(FuzzRegressions, KeptInputsAreReadWithoutFault)
{
    int read = 0;
    ASSERT_TRUE(std::filesystem::is_directory(casesFolder())) << casesFolder();
    for (const auto &folder : std::filesystem::directory_iterator(casesFolder())) {
        if (!folder.is_directory())
            continue;
        const auto reader = fuzz::fuzzReaders().find(folder.path().filename().string());
        ASSERT_NE(reader, fuzz::fuzzReaders().end()) << "no reader for " << folder.path();
        for (const auto &file : std::filesystem::directory_iterator(folder.path())) {
            const std::string bytes = test::readWholeFile(file.path().string());
            EXPECT_EQ(reader->second(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size()), 0) << file.path();
            ++read;
        }
    }
    EXPECT_GT(read, 0);
}

} // namespace
} // namespace rvk
