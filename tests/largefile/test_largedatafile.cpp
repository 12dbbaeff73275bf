// Data files of a gigabyte: read within the memory the open benchmark promises (twice the
// genotype codes plus 100 MB), or refused, but never by exhausting the machine's memory. Each
// file is opened in a child process whose data segment is capped, so that a reader gone wrong
// fails there with an allocation error instead of taking the machine down, and whose peak
// resident memory is what the test measures.
#include "core/dataloader.h"
#include "core/genotypedata.h"
#include "core/userinterface.h"
#include "settings/alleletable.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <new>
#include <string>

namespace rvk {
namespace {

constexpr long long Gigabyte = 1000LL * 1000 * 1000;
constexpr long long Megabyte = 1024LL * 1024;

struct ChildReport
{
    bool exited = false;     // the child ended normally (no signal, no allocation failure)
    bool completed = false;  // the loader read the file
    int groups = 0;
    long long loci = 0;
    long long peakBytes = 0; // the child's peak resident memory
};

// Opens path as the window does, in a child process limited to dataLimit bytes of data segment.
ChildReport openInChild(const std::string &path, long long dataLimit)
{
    int channel[2];
    if (pipe(channel) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const rlimit limit{static_cast<rlim_t>(dataLimit), static_cast<rlim_t>(dataLimit)};
        setrlimit(RLIMIT_DATA, &limit);
        ChildReport report;
        try {
            GenotypeData data;
            SilentUserInterface ui;
            DataLoader loader(data, ui);
            report.completed = loader.OpenFiles({path}).completed;
            report.groups = data.GroupCount();
            report.loci = data.TotalLocusCount();
            report.exited = true;
        } catch (const std::bad_alloc &) {
            report.exited = false;
        }
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        report.peakBytes = static_cast<long long>(usage.ru_maxrss) * 1024;
        (void)!write(channel[1], &report, sizeof report);
        _exit(0);
    }
    close(channel[1]);
    ChildReport report;
    const bool got = read(channel[0], &report, sizeof report) == static_cast<ssize_t>(sizeof report);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!got || !WIFEXITED(status))
        report.exited = false;
    return report;
}

class LargeDataFile : public testing::Test
{
protected:
    void SetUp() override
    {
        // A gigabyte file and room to spare, or the test says why it cannot run.
        std::error_code error;
        const auto space = std::filesystem::space(std::filesystem::temp_directory_path(), error);
        if (error || space.available < static_cast<std::uintmax_t>(3 * Gigabyte))
            GTEST_SKIP() << "less than 3 GB free in " << std::filesystem::temp_directory_path();
    }
    void TearDown() override
    {
        if (!mPath.empty())
            std::filesystem::remove(mPath);
    }

    std::string path()
    {
        mPath = (std::filesystem::temp_directory_path() / ("rvk-large-" + std::to_string(getpid()) + ".rvk")).string();
        return mPath;
    }

private:
    std::string mPath;
};

// Writes a data file of groups x lociPerGroup loci of nind F2 codes in blocks of five, as the
// program writes them; returns the file's size.
long long writeDataFile(const std::string &path, int groups, long long lociPerGroup, int nind)
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return -1;
    std::fprintf(file, "nchrom=%d\nnind=%d\npopt=f2\n\n", groups, nind);
    std::string codes;
    for (int k = 0; k < nind; ++k) {
        codes += "AHBHA-HB"[(k * 7 + k / 3) % 8];
        if (k % 5 == 4 || k + 1 == nind)
            codes += ' ';
    }
    codes += '\n';
    for (int g = 0; g < groups; ++g) {
        std::fprintf(file, "name=chr%d\nnloc=%lld\n", g + 1, lociPerGroup);
        for (long long l = 0; l < lociPerGroup; ++l) {
            std::fprintf(file, "g%dm%lld  %.1f \n", g + 1, l + 1, static_cast<double>(l) * 0.01);
            // Neighbouring loci differ a little, as linked markers do.
            const long long k = l % nind;
            codes[static_cast<size_t>(k + k / 5)] = l % 2 ? 'A' : 'B';
            std::fwrite(codes.data(), 1, codes.size(), file);
        }
        std::fputc('\n', file);
    }
    const bool ok = std::fflush(file) == 0;
    std::fclose(file);
    return ok ? static_cast<long long>(std::filesystem::file_size(path)) : -1;
}

TEST_F(LargeDataFile, AGigabyteOfGenotypesIsReadWithinTheMemoryBudget)
{
    const int nind = 2000, groups = 10;
    const long long lociPerGroup = 42000; // about 1.02 GB of file, 840 million codes
    const std::string file = path();
    const long long size = writeDataFile(file, groups, lociPerGroup, nind);
    ASSERT_GT(size, Gigabyte) << "cannot write " << file;
    const long long codes = static_cast<long long>(nind) * groups * lociPerGroup;
    const long long budget = 2 * codes + 100 * Megabyte;

    const ChildReport report = openInChild(file, budget + 512 * Megabyte);
    ASSERT_TRUE(report.exited) << "the reader ran out of its memory or crashed";
    EXPECT_TRUE(report.completed);
    EXPECT_EQ(report.groups, groups);
    EXPECT_EQ(report.loci, groups * lociPerGroup);
    EXPECT_LE(report.peakBytes, budget) << "peak " << report.peakBytes / Megabyte << " MB, budget " << budget / Megabyte << " MB";
    RecordProperty("peak_MB", static_cast<int>(report.peakBytes / Megabyte));
    RecordProperty("budget_MB", static_cast<int>(budget / Megabyte));
}

TEST_F(LargeDataFile, AGigabyteLineIsNotHeldInMemory)
{
    // A header and one locus whose codes line runs on for a gigabyte without an end: whatever the
    // reader makes of it, it must not copy the line.
    const std::string file = path();
    {
        std::FILE *out = std::fopen(file.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fputs("nchrom=1\nnind=10\npopt=f2\n\nname=chr1\nnloc=1\nm1 0.0\n", out);
        std::string block(Megabyte, 'A');
        for (long long written = 0; written < Gigabyte; written += static_cast<long long>(block.size()))
            std::fwrite(block.data(), 1, block.size(), out);
        std::fclose(out);
    }
    // Its resident pages are the file's own (the line must be read through to find its end);
    // what the cap on the data segment keeps out is a copy of them.
    const ChildReport report = openInChild(file, 200 * Megabyte);
    ASSERT_TRUE(report.exited) << "the reader copied the line or crashed";
    EXPECT_FALSE(report.completed);
}

TEST_F(LargeDataFile, AGigabyteOfZerosIsRefused)
{
    // Not text at all (a disk image, say): refused without reading it through.
    const std::string file = path();
    std::FILE *out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fclose(out);
    std::filesystem::resize_file(file, Gigabyte); // sparse: no gigabyte on the disk
    const ChildReport report = openInChild(file, 400 * Megabyte);
    ASSERT_TRUE(report.exited);
    EXPECT_FALSE(report.completed);
    EXPECT_EQ(report.groups, 0);
    EXPECT_LE(report.peakBytes, 200 * Megabyte) << "peak " << report.peakBytes / Megabyte << " MB";
}

} // namespace
} // namespace rvk
