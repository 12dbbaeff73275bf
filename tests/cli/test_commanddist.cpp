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
    EXPECT_EQ(runCli({"dist", data, "--traits", folder.file("missing.qua"), "--out", folder.file("x.meg")}).status, 1);
    EXPECT_EQ(runCli({"dist", "--traits", data, "--trait-distance", "markers", "--out", folder.file("x.meg")}).status, 2);
}

TEST(CommandDist, EuclideanDistancesFromATraitFile)
{
    test::TempFolder folder;
    const std::string traits = folder.write("t.qua", "ntrt=2\nnind=3\nmiss=-\ntraitnames yield height\n"
                                                       "P1 1 10\nP2 4 14\nP3 - 10\n");
    // Between individuals over both traits: P1-P2 sqrt(9 + 16) = 5.0; P3 lacks yield, so
    // P1-P3 compares height only (0.0) and P2-P3 gives 4.0.
    const CommandRun genotypes = runCli({"dist", "--traits", traits, "--out", folder.file("g.txt")});
    ASSERT_EQ(genotypes.status, 0) << genotypes.err;
    const std::string pairs = test::readWholeFile(folder.file("g.txt"));
    EXPECT_NE(pairs.find("\r\nP2\tP1\t5.0\r\n"), std::string::npos) << pairs;
    EXPECT_NE(pairs.find("\r\nP3\tP2\t4.0\r\n"), std::string::npos) << pairs;

    // Between traits over the individuals with both values: sqrt(9^2 + 10^2) = 13.45 -> 13.5.
    const CommandRun between = runCli({"dist", "--traits", traits, "--trait-distance", "traits", "--out", folder.file("t.txt")});
    ASSERT_EQ(between.status, 0) << between.err;
    EXPECT_NE(test::readWholeFile(folder.file("t.txt")).find("\r\nheight\tyield\t13.5\r\n"), std::string::npos)
        << test::readWholeFile(folder.file("t.txt"));

    const CommandRun tree = runCli({"tree", "--traits", traits, "--method", "upgma", "--out", folder.file("t.nwk")});
    ASSERT_EQ(tree.status, 0) << tree.err;
    EXPECT_NE(test::readWholeFile(folder.file("t.nwk")).find("P3"), std::string::npos);
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
