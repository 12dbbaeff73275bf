// rvk-cli dist and rvk-cli tree over the bundled example.
#include "cli/commandrun.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

namespace rvk::cli {
namespace {

TEST(CommandDist, WritesTheFormatOfTheExtension)
{
    test::TempFolder folder;
    const std::string data = test::examplePath("listeria.rvk");
    const CommandRun nexus = runCli({"dist", data, "--coefficient", "jaccard", "--out", folder.file("m.nex")});
    ASSERT_EQ(nexus.status, 0) << nexus.err;
    const std::string text = test::readWholeFile(folder.file("m.nex"));
    EXPECT_EQ(text.rfind("#NEXUS\r\n", 0), 0u);
    EXPECT_NE(text.find("  DIMENSIONS ntax=120;\r\n"), std::string::npos);
    EXPECT_NE(text.find("Description Measure Jaccard]"), std::string::npos);

    // Between loci: one label per locus, group number first.
    const CommandRun list = runCli({"dist", data, "--between", "markers", "--out", folder.file("pairs")});
    ASSERT_EQ(list.status, 0) << list.err;
    const std::string pairs = test::readWholeFile(folder.file("pairs.txt"));
    EXPECT_NE(pairs.find("\r\n1>D1M3\t1>D10M44\t"), std::string::npos) << pairs.substr(0, 300);

    EXPECT_EQ(runCli({"dist", data, "--coefficient", "cosine", "--out", folder.file("x.meg")}).status, 2);
    EXPECT_EQ(runCli({"dist", data, "--traits", "t.qua", "--out", folder.file("x.meg")}).status, 2);
}

TEST(CommandTree, WritesOneNewickLineOrSaysWhyNot)
{
    test::TempFolder folder;
    const std::string data = test::examplePath("listeria.rvk");
    const CommandRun nj = runCli({"tree", data, "--method", "nj", "--out", folder.file("t.nwk")});
    ASSERT_EQ(nj.status, 0) << nj.err;
    const std::string newick = test::readWholeFile(folder.file("t.nwk"));
    EXPECT_EQ(newick.substr(newick.size() - 3), ";\r\n");
    EXPECT_NE(newick.find("L120:"), std::string::npos);

    // A selection leaves pairs empty: no tree, and no file.
    const CommandRun selected =
        runCli({"tree", data, "--method", "upgma", "--criteria", "D10M44=A", "--out", folder.file("s.nwk")});
    EXPECT_EQ(selected.status, 1);
    EXPECT_NE(selected.err.find("empty cells"), std::string::npos) << selected.err;
    EXPECT_FALSE(std::filesystem::exists(folder.file("s.nwk")));

    EXPECT_EQ(runCli({"tree", data, "--method", "fitch", "--out", folder.file("x.nwk")}).status, 2);
}

} // namespace
} // namespace rvk::cli

namespace rvk::cli {
namespace {

TEST(CommandTree, PictureAndCopheneticCorrelation)
{
    test::TempFolder folder;
    const std::string data = test::examplePath("listeria.rvk");
    const CommandRun run = runCli({"tree", data, "--method", "upgma", "--out", folder.file("u.nwk"), "--picture",
                                   folder.file("u.png"), "--style", "circular", "--cophenetic"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(folder.file("u.png")));
    EXPECT_NE(run.out.find("Cophenetic correlation = 0."), std::string::npos) << run.out;

    // A tree file from another program, multifurcating and with quoted labels.
    const std::string nwk = folder.write("other.nwk", "(('a b':1,c:2,d:1)90:0.5,e:1);\n");
    const CommandRun drawn = runCli({"tree", "--newick", nwk, "--picture", folder.file("o.svg"), "--style", "curved"});
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    EXPECT_NE(test::readWholeFile(folder.file("o.svg")).find("a b"), std::string::npos);
    const std::string broken = folder.write("broken.nwk", "((a,b);");
    EXPECT_EQ(runCli({"tree", "--newick", broken, "--picture", folder.file("b.png")}).status, 1);
}

} // namespace
} // namespace rvk::cli
