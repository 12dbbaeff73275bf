#include "cli/clicommand.h"
#include "commandrun.h"
#include "core/dataloader.h"
#include "core/textformat.h"
#include "genetics/ldanalysis.h"
#include "io/spreadsheetwriter.h"
#include "settings/alleletable.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>

namespace rvk::cli {
namespace {

std::string listeria() { return test::examplePath("listeria.rvk"); }

struct Example
{
    Example() { alleles.markUsed(DataLoader(data, ui).OpenFiles({listeria()}).usedCodes); }
    GenotypeData data;
    AlleleTable alleles;
    test::ScriptedUserInterface ui;
};

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

std::vector<std::string> fields(const std::string &line)
{
    std::vector<std::string> result;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        result.push_back(field);
    return result;
}

TEST(CliLd, PrintsTheLogOfAGroupRun)
{
    // Chr 1 of listeria: 13 loci, 78 pairs, every one with a p-value, so the FDR runs.
    const CommandRun r = runCli({"ld", listeria(), "--group", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> log = lines(r.out);
    ASSERT_EQ(log.size(), 2u + 78u + 1u);
    EXPECT_EQ(log[0].rfind("FDR threshold :0.", 0), 0u) << log[0];
    EXPECT_EQ(log[1].rfind("deg freedom=N-2 :", 0), 0u) << log[1];
    EXPECT_EQ(log.back().rfind("rthres : ", 0), 0u) << log.back();
    // One line per p-value, "%.3f  - %.2f" of p and R², p ascending.
    const std::regex pLine(R"(^[01]\.\d{3}  - [01]\.\d{2}$)");
    double previous = 0.0;
    for (size_t k = 2; k + 1 < log.size(); ++k) {
        ASSERT_TRUE(std::regex_match(log[k], pLine)) << k << ": " << log[k];
        const double p = std::stod(log[k].substr(0, 5));
        EXPECT_GE(p, previous) << k;
        previous = p;
    }
    // The text is the log window's, line for line.
    Example example;
    const auto analysis = LdAnalysis::runGroup(example.data, example.alleles, 0, {});
    ASSERT_TRUE(analysis);
    std::string expected;
    for (long long line = 0; line < analysis->logLineCount(); ++line)
        expected += analysis->logLine(line) + "\n";
    EXPECT_EQ(r.out, expected);

    // Chr 4 has 4 loci: 6 p-values are too few for the FDR, so only the p lines and rthres.
    const CommandRun small = runCli({"ld", listeria(), "--group", "4"});
    ASSERT_EQ(small.status, 0) << small.err;
    const std::vector<std::string> smallLog = lines(small.out);
    ASSERT_EQ(smallLog.size(), 6u + 1u);
    EXPECT_EQ(small.out.find("FDR threshold"), std::string::npos);
    EXPECT_EQ(small.out.find("deg freedom"), std::string::npos);
    EXPECT_EQ(smallLog.back().rfind("rthres : ", 0), 0u);
}

// R² of two loci from their Numval values, individuals with both values present.
double pearsonR2(const GenotypeData &data, const AlleleTable &alleles, const Tlocinfo &x, const Tlocinfo &y)
{
    double n = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (int k = 0; k < data.nind; ++k) {
        const int cx = AlleleTable::indexOf(x.Genotypes[static_cast<size_t>(k)]);
        const int cy = AlleleTable::indexOf(y.Genotypes[static_cast<size_t>(k)]);
        if (cx < 0 || cy < 0)
            continue;
        const double vx = alleles.entry(cx).Numval, vy = alleles.entry(cy).Numval;
        if (vx == -99 || vy == -99)
            continue;
        ++n;
        sx += vx, sy += vy, sxx += vx * vx, syy += vy * vy, sxy += vx * vy;
    }
    const double cov = sxy - sx * sy / n, vx = sxx - sx * sx / n, vy = syy - sy * sy / n;
    return cov * cov / (vx * vy);
}

TEST(CliLd, ListIsWhatSaveListWrites)
{
    test::TempFolder folder;
    const std::string path = folder.file("chr1.txt");
    const CommandRun r = runCli({"ld", listeria(), "--group", "1", "--list", path});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string written = test::readWholeFile(path);
    const std::vector<std::string> list = lines(written);
    ASSERT_EQ(list.size(), 1u + 78u);
    // "%25.25s" right-aligns the 17 characters of the heading in 25.
    EXPECT_EQ(list[0], "        marker_1-marker_2\tDist\tR²\tD`\tchisq`");

    // The first pair, worked from the map (D10M44 at 0.0, D1M3 at 1.0 cM) and the genotypes.
    Example example;
    const std::vector<Tlocinfo> &chr1 = example.data.GroupLoci(0);
    ASSERT_EQ(chr1[0].Name, "D10M44");
    ASSERT_EQ(chr1[1].Name, "D1M3");
    const std::vector<std::string> first = fields(list[1]);
    ASSERT_EQ(first.size(), 5u) << list[1];
    EXPECT_EQ(first[0], std::string(25 - 11, ' ') + "D10M44-D1M3");
    EXPECT_EQ(first[1], "1.00");
    EXPECT_EQ(first[2], formatText("%.2f", {pearsonR2(example.data, example.alleles, chr1[0], chr1[1])}));
    const std::regex twoDecimals(R"(^-?\d+\.\d\d$)");
    EXPECT_TRUE(std::regex_match(first[3], twoDecimals)) << first[3];
    EXPECT_TRUE(std::regex_match(first[4], twoDecimals)) << first[4];
    // The pair after it is D10M44-D1M75 at 24.8 cM: pairs go row by row.
    EXPECT_EQ(fields(list[2])[0], std::string(25 - 12, ' ') + "D10M44-D1M75");
    EXPECT_EQ(fields(list[2])[1], "24.80");

    // Byte for byte what the page's "Save list" writes for the same analysis.
    const auto analysis = LdAnalysis::runGroup(example.data, example.alleles, 0, {});
    ASSERT_TRUE(analysis);
    std::string error;
    ASSERT_TRUE(analysis->saveList(folder.file("page.txt"), error)) << error;
    EXPECT_EQ(written, test::readWholeFile(folder.file("page.txt")));

    // "limit to successive markers": the 12 neighbouring pairs only.
    ASSERT_EQ(runCli({"ld", listeria(), "--group", "1", "--successive", "--list", folder.file("next.txt")}).status, 0);
    const std::vector<std::string> successive = lines(test::readWholeFile(folder.file("next.txt")));
    ASSERT_EQ(successive.size(), 1u + 12u);
    EXPECT_EQ(fields(successive[2])[0], std::string(25 - 10, ' ') + "D1M3-D1M75");
}

TEST(CliLd, AllLociListCarriesGroupsAndMinusLogP)
{
    test::TempFolder folder;
    const std::string path = folder.file("all.txt");
    const CommandRun r = runCli({"ld", listeria(), "--all", "--list", path});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> list = lines(test::readWholeFile(path));
    ASSERT_GT(list.size(), 1u);
    EXPECT_EQ(list[0], "Chr1\tChr2\t        marker_1-marker_2\tDist\tR²\tD`\tchisq`\t-10logP`");
    // After the 12 partners of D10M44 on Chr 1 comes the first locus of Chr 2, at Dist -1.
    const std::vector<std::string> across = fields(list[13]);
    ASSERT_EQ(across.size(), 8u) << list[13];
    EXPECT_EQ(across[0], "001");
    EXPECT_EQ(across[1], "002");
    EXPECT_EQ(across[2], std::string(25 - 13, ' ') + "D10M44-D2M365");
    EXPECT_EQ(across[3], "-1.00");
    EXPECT_EQ(fields(list[12])[1], "001");
}

TEST(CliLd, TableIsTheDiallelSpreadsheet)
{
    test::TempFolder folder;
    const std::string path = folder.file("chr1.xls");
    const CommandRun r = runCli({"ld", listeria(), "--group", "1", "--measure", "dprime", "--table", path});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string bytes = test::readWholeFile(path);
    // A worksheet stream opens with its BOF record (type 0x0809).
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 2), std::string("\x09\x08", 2));
    EXPECT_NE(bytes.find("LD (D`)"), std::string::npos);
    EXPECT_NE(bytes.find("D1M155"), std::string::npos);

    Example example;
    LdOptions options;
    options.measure = LdMeasure::DPrime;
    const auto analysis = LdAnalysis::runGroup(example.data, example.alleles, 0, options);
    ASSERT_TRUE(analysis);
    EXPECT_EQ(bytes, spreadsheetBytes(analysis->tableSize(), analysis->tableSize(),
                                      [&](int column, int row) { return analysis->tableCell(column, row); }));
}

TEST(CliLd, WritesHeatPlotAndChartPictures)
{
    test::TempFolder folder;
    const struct
    {
        const char *option;
        const char *name;
        std::string start;
    } pictures[] = {
        {"--heat", "heat.png", "\x89PNG\r\n\x1a\n"},
        {"--heat", "heat.svg", "<"},
        {"--heat", "heat.jpg", "\xFF\xD8\xFF"},
        {"--heat", "heat.pdf", "%PDF-"},
        {"--chart", "chart.png", "\x89PNG\r\n\x1a\n"},
        {"--chart", "chart.svg", "<"},
    };
    for (const auto &picture : pictures) {
        const CommandRun r = runCli({"ld", listeria(), "--all", picture.option, folder.file(picture.name)});
        ASSERT_EQ(r.status, 0) << picture.name << r.err;
        const std::string bytes = test::readWholeFile(folder.file(picture.name));
        EXPECT_GT(bytes.size(), 100u) << picture.name;
        EXPECT_EQ(bytes.substr(0, picture.start.size()), picture.start) << picture.name;
    }
    const std::string svg = test::readWholeFile(folder.file("heat.svg"));
    EXPECT_NE(svg.find("<svg"), std::string::npos);
}

TEST(CliLd, WrongArgumentsExitWithStatusTwo)
{
    test::TempFolder folder;
    const std::string file = listeria();
    const std::vector<std::vector<std::string>> cases = {
        {"ld"},
        {"ld", file, "--group", "0"},
        {"ld", file, "--group", "21"}, // listeria has 20 groups
        {"ld", file, "--group", "x"},
        {"ld", file, "--all", "--group", "1"},
        {"ld", file, "--measure", "r3"},
        {"ld", file, "--heat", folder.file("heat.bmp")},
        {"ld", file, "--chart", folder.file("chart.txt")},
        {"ld", file, "--fdr", "1.5"},
        {"ld", file, "--fdr", "0"},
        {"ld", file, "--block", "1"},
        {"ld", file, "--list"},
        {"ld", file, "--no-such-option"},
    };
    for (const auto &args : cases) {
        const CommandRun r = runCli(args);
        std::string shown;
        for (const auto &a : args)
            shown += a + " ";
        EXPECT_EQ(r.status, 2) << shown;
        EXPECT_NE(r.err.find("usage: rvk-cli ld"), std::string::npos) << shown << r.err;
        EXPECT_TRUE(r.out.empty()) << shown;
    }
    EXPECT_TRUE(folder.entries().empty());
}

TEST(CliLd, UnreadableDataExitsWithStatusOneAndTheWindowsMessage)
{
    test::TempFolder folder;
    const std::string garbage = folder.write("bad.rvk", std::string("garbage\0\x01\x02", 10));
    const std::string list = folder.file("out.txt");
    for (const std::string &path : {folder.file("missing.rvk"), garbage}) {
        const CommandRun r = runCli({"ld", path, "--list", list});
        EXPECT_EQ(r.status, 1) << path;
        EXPECT_NE(r.err.find("The file could not be opened because of errors, please check it"), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << path;
    }
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"bad.rvk"}) << "no list written";
}

} // namespace
} // namespace rvk::cli

namespace rvk::cli {
namespace {

// One group of 92,682 loci (two individuals each): its pairs would not fit their 32-bit numbers,
// so the group run is refused like a run of all loci, even with --yes.
TEST(CliLd, GroupsBeyondThePairNumbersAreRefused)
{
    test::TempFolder folder;
    std::string text = "nchrom=1\nnind=2\npopt=f2\n\nname=chr1\nnloc=92682\n";
    for (int l = 0; l < 92682; ++l)
        text += "m" + std::to_string(l) + "  " + std::to_string(l * 0.01) + "\n" + (l % 2 ? "AB\n" : "BA\n");
    const std::string data = folder.write("wide.rvk", text);
    for (const char *scope : {"--group", "--all"}) {
        std::vector<std::string> args{"ld", data, scope};
        if (std::string(scope) == "--group")
            args.push_back("1");
        args.push_back("--yes");
        const CommandRun r = runCli(args);
        EXPECT_EQ(r.status, 1) << scope;
        EXPECT_NE(r.err.find("LD for 92682 loci is more than this program can hold (at most 92681 loci)."), std::string::npos)
            << scope << ": " << r.err;
    }
}

} // namespace
} // namespace rvk::cli
