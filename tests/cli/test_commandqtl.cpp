// rvk-cli qtl on the intercross fixture of tests/data/qtl (made with R/qtl by
// tests/data/qtl/make_fixtures.R); the LODs are checked against R/qtl's scanone of that file.
#include "cli/clicommand.h"
#include "commandrun.h"
#include "core/textformat.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace rvk::cli {
namespace {

std::vector<std::vector<std::string>> tabTable(const std::string &text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> cells;
        std::string cell;
        std::istringstream fields(line);
        while (std::getline(fields, cell, '\t'))
            cells.push_back(cell);
        if (!line.empty() && line.back() == '\t')
            cells.emplace_back();
        rows.push_back(cells);
    }
    return rows;
}

struct QtlFiles
{
    test::TempFolder folder;
    std::string data = test::testDataPath("qtl/f2.rvk");
    std::string traits = test::testDataPath("qtl/f2.qua");
    std::string scan = folder.file("scan.tsv");
    std::string peaks = folder.file("peaks.tsv");
};

TEST(CliQtl, ScanFileHoldsEveryPositionWithRqtlsLod)
{
    QtlFiles files;
    const CommandRun run = runCli({"qtl", files.data, "--traits", files.traits, "--step", "2.5", "--perm", "0", "--scan", files.scan});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto scan = tabTable(test::readWholeFile(files.scan));
    const auto expected = tabTable(test::readWholeFile(test::testDataPath("qtl/f2_scan.tsv")));
    ASSERT_EQ(scan.size(), expected.size());
    EXPECT_EQ(scan[0], (std::vector<std::string>{"group", "locus", "position", "T1", "T2"}));
    for (size_t r = 1; r < scan.size(); ++r) {
        ASSERT_EQ(scan[r].size(), 5u);
        EXPECT_EQ(scan[r][0], expected[r][0]);
        EXPECT_EQ(scan[r][1], expected[r][1]);
        EXPECT_EQ(parseDecimal(scan[r][2]), parseDecimal(expected[r][2])) << scan[r][2];
        for (size_t t = 3; t < 5; ++t) {
            EXPECT_EQ(scan[r][t].size() - scan[r][t].find('.'), 5u) << "four decimals: " << scan[r][t];
            EXPECT_NEAR(*parseDecimal(scan[r][t]), *parseDecimal(expected[r][t]), 0.01) << "row " << r;
        }
    }
}

TEST(CliQtl, PeaksWithThresholdsAndIntervalsIntoTheDataFile)
{
    QtlFiles files;
    const std::string saved = files.folder.file("mapped.rvk");
    const CommandRun run = runCli({"qtl", files.data, "--traits", files.traits, "--step", "2.5", "--perm", "300", "--seed", "11",
                                   "--scan", files.scan, "--peaks", files.peaks, "--save-qtl", saved});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto peaks = tabTable(test::readWholeFile(files.peaks));
    ASSERT_EQ(peaks.size(), 5u); // two traits on two groups
    EXPECT_EQ(peaks[0][0], "trait");
    EXPECT_EQ(peaks[0].size(), 15u);
    // R/qtl: T1 on group 1 peaks at 20 cM (LOD 5.617), lodint 7.5 - 32.5, bayesint 12.5 - 27.5.
    EXPECT_EQ(peaks[1], (std::vector<std::string>{"T1", "1", "20", "m5", "5.6171", "7.5", "32.5", "12.5", "27.5", "38.06", "1.1923",
                                                  "0.1106", peaks[1][12], peaks[1][13], "yes"}));
    EXPECT_EQ(peaks[2].back(), "no");
    EXPECT_NE(run.out.find("2 QTL intervals written"), std::string::npos) << run.out;
    const std::string text = test::readWholeFile(saved);
    EXPECT_NE(text.find("m5  22.8/7.5/32.5"), std::string::npos) << text;
    EXPECT_NE(text.find("m9  10.0/3.2/28.2"), std::string::npos) << text;

    // Mapping the saved file again keeps the intervals it carries.
    const std::string again = files.folder.file("again.rvk");
    const CommandRun second = runCli({"qtl", saved, "--traits", files.traits, "--step", "2.5", "--perm", "300", "--seed", "11",
                                      "--scan", files.scan, "--save-qtl", again});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_NE(second.out.find("0 QTL intervals written, 2 markers kept the interval they had"), std::string::npos) << second.out;
    EXPECT_EQ(test::readWholeFile(again), text);
}

TEST(CliQtl, TheSameSeedGivesTheSameThresholds)
{
    QtlFiles files;
    const std::vector<std::string> args{"qtl", files.data, "--traits", files.traits, "--perm", "200", "--seed", "5", "--scan", files.scan};
    const CommandRun first = runCli(args);
    const CommandRun second = runCli(args);
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("thresholds 5% "), std::string::npos);
    EXPECT_EQ(first.out, second.out);
    const CommandRun unseeded = runCli({"qtl", files.data, "--traits", files.traits, "--perm", "10", "--scan", files.scan});
    EXPECT_NE(unseeded.err.find("seed: "), std::string::npos);
}

TEST(CliQtl, SelectionOptionsLeaveTheUnselectedOut)
{
    QtlFiles files;
    const CommandRun all = runCli({"qtl", files.data, "--traits", files.traits, "--perm", "0", "--scan", files.scan});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_NE(all.out.find("T1\t54 individuals"), std::string::npos) << all.out;
    // The individuals scored H at m1 are not selected and leave every scan.
    const CommandRun selected =
        runCli({"qtl", files.data, "--traits", files.traits, "--perm", "0", "--criteria", "m1=!H", "--scan", files.scan});
    ASSERT_EQ(selected.status, 0) << selected.err;
    EXPECT_EQ(selected.out.find("T1\t54 individuals"), std::string::npos) << selected.out;
    EXPECT_NE(selected.out.find("individuals"), std::string::npos);
}

TEST(CliQtl, RefusesWhatItCannotDo)
{
    QtlFiles files;
    const std::string cp = files.folder.write("cp.rvk", "nind=2\npopt=cp\nname=g\nnloc=2\nm1 0.0 <abxcd>\nacbd\nm2 5.0 <abxcd>\nacbd\n");
    struct Case
    {
        std::vector<std::string> args;
        int status;
        const char *message;
    };
    const Case cases[] = {
        {{"qtl", files.data, "--traits", files.traits}, 2, "--scan OUT.tsv"},
        {{"qtl", files.data, "--scan", files.scan}, 2, "--traits T.qua"},
        {{"qtl", files.data, "--traits", files.traits, "--scan", files.scan, "--method", "ml"}, 2, "--method takes hk, em or cim"},
        {{"qtl", files.data, "--traits", files.traits, "--scan", files.scan, "--map-function", "cf"}, 2, "haldane or kosambi"},
        {{"qtl", files.data, "--traits", files.traits, "--scan", files.scan, "--error-prob", "1.5"}, 2, "--error-prob"},
        {{"qtl", files.data, "--traits", files.traits, "--scan", files.scan, "--plot", "x.bmp"}, 2, "--plot takes a picture"},
        {{"qtl", cp, "--traits", files.traits, "--scan", files.scan}, 1, "cross-pollinator (\"cp\") populations is not available yet"},
    };
    for (const Case &c : cases) {
        const CommandRun run = runCli(c.args);
        EXPECT_EQ(run.status, c.status) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}

TEST(CliQtl, PictureOfTheProfiles)
{
    QtlFiles files;
    const std::string plot = files.folder.file("lod.svg");
    const CommandRun run = runCli({"qtl", files.data, "--traits", files.traits, "--perm", "50", "--seed", "1", "--scan", files.scan, "--plot", plot});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string svg = test::readWholeFile(plot);
    EXPECT_NE(svg.find("chr1"), std::string::npos);
    EXPECT_NE(svg.find("T2"), std::string::npos);
}

} // namespace
} // namespace rvk::cli
