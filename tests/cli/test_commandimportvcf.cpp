#include "cli/clicommand.h"
#include "commandrun.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

namespace rvk::cli {
namespace {

CommandRun run(const std::vector<std::string> &args) { return runCli(args); }

const std::string Panel = "##fileformat=VCFv4.2\n##FORMAT=<ID=GT,Number=1,Type=String,Description=\"G\">\n"
                          "#CHROM\tPOS\tID\tREF\tALT\tQUAL\tFILTER\tINFO\tFORMAT\tp1\tp2\tp3\n"
                          "Chr1\t2000000\tm1\tA\tG\t.\t.\t.\tGT\t0/0\t1/1\t0/1\n"
                          "Chr1\t1000000\t.\tA\tG\t.\t.\t.\tGT\t1/1\t1/1\t./.\n"
                          "Chr2\t500000\tm3\tA\tG,T\t.\t.\t.\tGT\t0/0\t1/2\t0/1\n"
                          "Chr2\t700000\tm4\tA\tG\t.\t.\t.\tGT\t0|0\t0|0\t1|1\n";

TEST(CliImportVcf, WritesTheDataFileTheWindowWouldSave)
{
    test::TempFolder folder;
    const std::string vcf = folder.write("panel.vcf", Panel);
    const CommandRun r = run({"import-vcf", vcf, "--popt", "RI", "--out", folder.file("panel.rvk")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, folder.file("panel.rvk") + "\n");
    EXPECT_NE(r.err.find("3 of 4 sites kept. Left out: 1 with more than two alleles."), std::string::npos) << r.err;
    // Read back as a data file: two groups, sorted by position in Mb, the samples as names.
    const CommandRun info = run({"info", folder.file("panel.rvk")});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out.substr(0, info.out.find('\n')), "1\tchr1\t2\tri");
    const std::string text = test::readWholeFile(folder.file("panel.rvk"));
    EXPECT_NE(text.find("Chr1_1000000"), std::string::npos) << text;
    EXPECT_NE(text.find("\"p1\" \"p2\" \"p3\""), std::string::npos) << text;

    // The other commands open the VCF itself.
    const CommandRun direct = run({"info", vcf});
    ASSERT_EQ(direct.status, 0) << direct.err;
    EXPECT_EQ(direct.out.substr(0, direct.out.find('\n')), "1\tchr1\t2\tf2");
}

TEST(CliImportVcf, WrongArgumentsAndBadFiles)
{
    test::TempFolder folder;
    const std::string vcf = folder.write("panel.vcf", Panel);
    struct Case
    {
        std::vector<std::string> args;
        int status;
    };
    for (const Case &c : std::vector<Case>{
             {{"import-vcf", vcf}, 2},
             {{"import-vcf", vcf, "--min-maf", "0.7", "--out", folder.file("x")}, 2},
             {{"import-vcf", vcf, "--max-missing", "lots", "--out", folder.file("x")}, 2},
             {{"import-vcf", folder.write("plain.txt", "x"), "--out", folder.file("x")}, 2},
             {{"import-vcf", folder.write("broken.vcf", "##fileformat=VCFv4.2\nnot a header\n"), "--out", folder.file("x")}, 1},
             {{"import-vcf", vcf, "--region", "Chr9", "--out", folder.file("x")}, 1},
         }) {
        const CommandRun r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back() << ": " << r.err;
        EXPECT_FALSE(r.err.empty());
    }
}

} // namespace
} // namespace rvk::cli
