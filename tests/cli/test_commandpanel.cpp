// rvk-cli kinship, pca, mlm and predict on the panel fixture of the genetics tests
// (tests/data/panel; its numbers were computed once with GEMMA 0.98.5, see make_reference.sh).
#include "cli/clicommand.h"
#include "commandrun.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>

namespace rvk::cli {
namespace {

std::string panel(const std::string &name) { return test::testDataPath("panel/" + name); }

std::vector<std::vector<std::string>> table(const std::string &text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        std::istringstream in(line);
        for (std::string field; std::getline(in, field, '\t');)
            fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

TEST(CommandMlm, ResultsHaveTheNamedColumnsAndGemmasPValues)
{
    test::TempFolder folder;
    const std::string out = folder.file("results.tsv");
    const CommandRun run = runCli({"mlm", panel("panel.rvk"), "--traits", panel("panel.qua"), "--out", out, "--manhattan",
                                   folder.file("m.png"), "--qq", folder.file("q.svg")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("T1: 36 individuals, 1 covariates"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("T2: 31 individuals"), std::string::npos) << run.out;
    const auto rows = table(test::readWholeFile(out));
    ASSERT_EQ(rows.size(), 1u + 2 * 44);
    const std::vector<std::string> heading(rows[0].begin(), rows[0].begin() + 8);
    EXPECT_EQ(heading, (std::vector<std::string>{"trait", "group", "locus", "position", "beta", "se", "p", "lambda"}));
    // GEMMA's p_wald of T1 (lmm_t1.txt), by marker.
    std::map<std::string, double> gemma;
    std::istringstream lines(test::readWholeFile(panel("lmm_t1.txt")));
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        const auto fields = table(line)[0];
        gemma[fields[1]] = std::stod(fields[11]);
    }
    int checked = 0;
    for (size_t r = 1; r < rows.size(); ++r) {
        if (rows[r][0] != "T1")
            continue;
        ASSERT_TRUE(gemma.count(rows[r][2])) << rows[r][2];
        const double p = std::stod(rows[r][6]), expected = gemma[rows[r][2]];
        EXPECT_NEAR(-std::log10(p), -std::log10(expected), 0.01 * -std::log10(expected) + 1e-6) << rows[r][2];
        ++checked;
    }
    EXPECT_EQ(checked, 44);
    EXPECT_EQ(rows[1][1], "chr1");
    EXPECT_EQ(rows[1][2], "g1m01");
    EXPECT_EQ(rows[1][3], "1.9");
    // One picture of each kind per trait, named after it.
    for (const char *name : {"m_T1.png", "m_T2.png", "q_T1.svg", "q_T2.svg"})
        EXPECT_TRUE(std::filesystem::exists(folder.file(name))) << name;
}

TEST(CommandMlm, CompareDrawsThePlainCorrelationBeside)
{
    test::TempFolder folder;
    const CommandRun run = runCli({"mlm", panel("panel.rvk"), "--traits", panel("panel.qua"), "--out", folder.file("r.tsv"), "--manhattan",
                                   folder.file("m.png"), "--compare"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char *name : {"m_T1.png", "m_T2.png", "m_T1_correlation.png", "m_T2_correlation.png"})
        EXPECT_TRUE(std::filesystem::exists(folder.file(name))) << name;
}

TEST(CommandMlm, SelectionOptionsChooseTheIndividuals)
{
    test::TempFolder folder;
    // The 14 lines with B at g1m01 (none of them lacks T2, so both traits share their kinship).
    const CommandRun run = runCli({"mlm", panel("panel.rvk"), "--traits", panel("panel.qua"), "--out", folder.file("r.tsv"), "--criteria",
                                   "g1m01=B", "--p3d"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("T1: 14 individuals"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("T1, T2: 2 of 45 markers do not vary among the 14 individuals"), std::string::npos) << run.out;
}

TEST(CommandPanel, UsageErrors)
{
    const struct
    {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"mlm", "x.rvk", "--out", "r.tsv"}, "--traits T.qua names the trait file"},
        {{"mlm", "x.rvk", "--traits", "t.qua"}, "--out RESULTS.tsv names the results file"},
        {{"mlm", "x.rvk", "--traits", "t.qua", "--out", "r.tsv", "--pcs", "20"}, "--pcs takes a number of principal components from 0 to 12"},
        {{"mlm", "x.rvk", "--traits", "t.qua", "--out", "r.tsv", "--qq", "q.txt"}, "--qq takes a picture ending in"},
        {{"kinship", "x.rvk", "--out", "k.tsv", "--method", "vanraden"}, "--method takes centred or ibs"},
        {{"pca", "x.rvk", "--out", "s.tsv", "--axes", "2,2"}, "--axes takes two different component numbers"},
        {{"pca", "x.rvk", "--out", "s.tsv", "--colour", "T1"}, "--colour TRAIT and --traits T.qua go together"},
        {{"predict", "x.rvk", "--traits", "t.qua", "--out", "g.tsv", "--folds", "1"}, "--folds takes 0 (no cross-validation)"},
        {{"predict", "x.rvk", "--traits", "t.qua", "--out", "g.tsv", "--seed", "-3"}, "--seed takes a whole number"},
    };
    for (const auto &c : cases) {
        const CommandRun run = runCli(c.args);
        EXPECT_EQ(run.status, 2) << c.args[0];
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}

TEST(CommandKinship, WritesGemmasMatrixWithNames)
{
    test::TempFolder folder;
    const CommandRun run = runCli({"kinship", panel("panel.rvk"), "--out", folder.file("k.tsv")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("1 of 45 markers do not vary among the 36 individuals and are left out."), std::string::npos);
    const auto rows = table(test::readWholeFile(folder.file("k.tsv")));
    ASSERT_EQ(rows.size(), 37u);
    EXPECT_EQ(rows[0][1], "L01");
    EXPECT_EQ(rows[36][0], "L36");
    std::istringstream gemma(test::readWholeFile(panel("k_all.txt")));
    for (int i = 1; i <= 36; ++i)
        for (int j = 1; j <= 36; ++j) {
            double expected;
            gemma >> expected;
            EXPECT_NEAR(std::stod(rows[static_cast<size_t>(i)][static_cast<size_t>(j)]), expected, 1e-8);
        }
}

TEST(CommandPca, ScoresAndPlot)
{
    test::TempFolder folder;
    const CommandRun run = runCli({"pca", panel("panel.rvk"), "--pcs", "3", "--out", folder.file("s.tsv"), "--plot", folder.file("p.png"),
                                   "--traits", panel("panel.qua"), "--colour", "T2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("component\teigenvalue\tvariance share\nPC1\t"), std::string::npos) << run.out;
    const auto rows = table(test::readWholeFile(folder.file("s.tsv")));
    ASSERT_EQ(rows.size(), 37u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"individual", "PC1", "PC2", "PC3"}));
    EXPECT_TRUE(std::filesystem::exists(folder.file("p.png")));
}

TEST(CommandPredict, TheSeedRepeatsTheCrossValidation)
{
    test::TempFolder folder;
    const std::vector<std::string> args = {"predict", panel("panel.rvk"), "--traits", panel("panel.qua"), "--seed", "11", "--folds", "4", "--out",
                                           folder.file("g.tsv")};
    const CommandRun first = runCli(args), again = runCli(args);
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, again.out);
    EXPECT_NE(first.out.find("over 4 folds (seed 11)"), std::string::npos) << first.out;
    const auto rows = table(test::readWholeFile(folder.file("g.tsv")));
    ASSERT_EQ(rows.size(), 37u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"individual", "T1_gebv", "T2_gebv"}));
}

} // namespace
} // namespace rvk::cli
