#include "cli/clicommand.h"
#include "commandrun.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

namespace rvk::cli {
namespace {

// The plants of the library's correlation fixture as files: A = -1, H = 0, B = 1 by default
// (a linear recoding of 0, 1, 2, which leaves every correlation as it was), U missing.
struct AssocFiles
{
    test::TempFolder folder;
    std::string data = folder.write("plants.rvk", "nchrom=2\nnind=8\npopt=f2\n\nname=g1\nnloc=2\nm1 0.0\nAHBABHAB\nm2 5.0\nAAAAAAAA\n\n"
                                                  "name=g2\nnloc=2\nm3 0.0\nAHBUBHAA\nm4 9.0\nBBHHAAUB\n"
                                                  "Alias\n\"I1\" \"I2\" \"I3\" \"I4\" \"I5\" \"I6\" \"I7\" \"I8\"\n");
    std::string traits = folder.write("plants.qua", "ntrt=2\nnind=9\nmiss=-\ntraitnames height yield\nI1 10.5 3.1\nI2 12.25 2.2\n"
                                                    "I3 14 4.4\nI4 9.75 1.0\nI5 13.5 5.5\nI6 11 2.5\nI7 - 3.3\nI8 15 4.0\nZ 99 -7\n");
};

TEST(CliAssoc, TablesAsThePageShowsThem)
{
    AssocFiles files;
    const std::string tables = files.folder.file("tables");
    const CommandRun run = runCli({"assoc", files.data, "--traits", files.traits, "--tables", tables});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test::readWholeFile(tables + "/p.tsv"), "\theight\tyield\n"
                                                      "FDR thresh.\t0.00153\t0.00000\n"
                                                      "1>m1\t1.5E-003\t4.5E-002\n"
                                                      "1>m2\t X\t X\n"
                                                      "2>m3\t6.3E-001\t2.6E-001\n"
                                                      "2>m4\t8.5E-001\t6.1E-001\n");
    EXPECT_EQ(test::readWholeFile(tables + "/logp.tsv"), "\theight\tyield\nFDR thresh.\t2.8\t1E99\n1>m1\t2.8\t1.3\n1>m2\t X\t X\n"
                                                         "2>m3\t0.2\t0.6\n2>m4\t0.1\t0.2\n");
    EXPECT_EQ(test::readWholeFile(tables + "/q.tsv"), "\theight\tyield\n1>m1\t0.003\t0.136\n1>m2\t X\t X\n2>m3\t0.564\t0.387\n"
                                                      "2>m4\t0.564\t0.607\n");
    EXPECT_EQ(test::readWholeFile(tables + "/r.tsv"), "\theight\tyield\n1>m1\t0.94\t0.72\n1>m2\t X\t X\n2>m3\t0.25\t0.50\n"
                                                      "2>m4\t0.09\t-0.24\n");
    EXPECT_EQ(test::readWholeFile(tables + "/r2.tsv"), "\theight\tyield\n1>m1\t0.89\t0.51\n1>m2\t X\t X\n2>m3\t0.06\t0.25\n"
                                                       "2>m4\t0.01\t0.06\n");
    EXPECT_NE(run.out.find("height\tp threshold 0.00153\t-10log 2.8\t1 markers pass"), std::string::npos) << run.out;
}

TEST(CliAssoc, AnovaReportAsRtfOrText)
{
    AssocFiles files;
    const std::string rtf = files.folder.file("report.rtf"), text = files.folder.file("report.txt");
    ASSERT_EQ(runCli({"assoc", files.data, "--traits", files.traits, "--anova", "--report", rtf}).status, 0);
    const CommandRun plain = runCli({"assoc", files.data, "--traits", files.traits, "--anova", "--report", text});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_NE(plain.out.find("ANOVA of 2 traits x 4 markers: 6 pairs tested, 2 without a test"), std::string::npos) << plain.out;
    const std::string report = test::readWholeFile(text);
    EXPECT_EQ(report.rfind("ONE WAY ANALYSIS OF VARIANCE RESULTS\n\nDependent variable is: height, Independent variable is: 1>m1\n", 0), 0u);
    EXPECT_EQ(test::readWholeFile(rtf).rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(test::readWholeFile(rtf).find("Dependent variable is: yield, Independent variable is: 2>m4\\par"), std::string::npos);
}

TEST(CliAssoc, RefusesWhatItCannotDo)
{
    AssocFiles files;
    const std::string noMiss = files.folder.write("bad.qua", "traitnames t\nI1 1\n");
    struct Case
    {
        std::vector<std::string> args;
        int status;
        const char *message;
    };
    const Case cases[] = {
        {{"assoc", files.data}, 2, "--traits T.qua"},
        {{"assoc", files.data, "--traits", files.traits, "--fdr", "2"}, 2, "--fdr takes a level between 0 and 1"},
        {{"assoc", files.data, "--traits", files.traits, "--report", "x.txt"}, 2, "add --anova"},
        {{"assoc", files.data, "--traits", noMiss}, 1, "No missing-value line"},
    };
    for (const Case &c : cases) {
        const CommandRun run = runCli(c.args);
        EXPECT_EQ(run.status, c.status) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}

TEST(CliAssoc, PicturesOfThePlots)
{
    AssocFiles files;
    const std::string plot = files.folder.file("plot.png"), ld = files.folder.file("ld.svg"), view = files.folder.file("view.png");
    const CommandRun run = runCli({"assoc", files.data, "--traits", files.traits, "--plot", plot, "--plot-style", "gradient",
                                   "--ld-plot", "yield", "--out", ld});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(plot), std::string::npos);
    EXPECT_NE(test::readWholeFile(plot).find("PNG"), std::string::npos);
    EXPECT_NE(test::readWholeFile(ld).find("LD-PLOT for trait: yield"), std::string::npos);
    EXPECT_EQ(runCli({"assoc", files.data, "--traits", files.traits, "--ld-plot", "weight", "--out", ld}).status, 1);

    const CommandRun render = runCli({"render", files.data, "--view", "association", "--traits", files.traits, "--out", view});
    ASSERT_EQ(render.status, 0) << render.err;
    EXPECT_NE(test::readWholeFile(view).find("PNG"), std::string::npos);
    EXPECT_EQ(runCli({"render", files.data, "--view", "association", "--out", view}).status, 2) << "needs --traits";
}

TEST(CliExportQua, SelectionAndUnknownAnswer)
{
    AssocFiles files;
    const std::string out = files.folder.file("out");
    const CommandRun all = runCli({"export-qua", files.data, "--traits", files.traits, "--out", out});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out, out + ".qua\n");
    const std::string written = test::readWholeFile(out + ".qua");
    EXPECT_EQ(written.rfind(";RVK derived qua file\r\nnind=9\r\nntrt=2\r\nmiss=*\r\n\r\ntraitnames\theight\tyield\r\n"
                            "I1\t10.50\t3.10\r\n",
                            0),
              0u)
        << written;
    EXPECT_NE(written.find("I7\t*\t3.30\r\n"), std::string::npos);

    const std::string list = files.folder.write("two.rvl", "I2\nI7\n");
    ASSERT_EQ(runCli({"export-qua", files.data, "--traits", files.traits, "--select-list", list, "--out", out + "2.qua"}).status, 0);
    const std::string selected = test::readWholeFile(out + "2.qua");
    EXPECT_NE(selected.find("nind=2\r\n"), std::string::npos) << selected;
    EXPECT_NE(selected.find("\r\nI2\t12.25\t2.20\r\nI7\t*\t3.30\r\n"), std::string::npos);
    ASSERT_EQ(runCli({"export-qua", files.data, "--traits", files.traits, "--select-list", list, "--unselected-unknown", "--out",
                      out + "3.qua"})
                  .status,
              0);
    const std::string unknown = test::readWholeFile(out + "3.qua");
    EXPECT_NE(unknown.find("nind=8\r\n"), std::string::npos) << unknown;
    EXPECT_NE(unknown.find("\r\nI1\t*\t*\r\n"), std::string::npos);
}

} // namespace
} // namespace rvk::cli
