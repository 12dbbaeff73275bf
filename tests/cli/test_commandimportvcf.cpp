#include "cli/clicommand.h"
#include "commandrun.h"
#include "core/dataloader.h"
#include "core/textformat.h"
#include "genetics/association.h"
#include "genetics/markerdata.h"
#include "settings/alleletable.h"
#include "support/scripteduserinterface.h"
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

// Twelve plants at 13 sites of one chromosome; p12 has no call anywhere, p11 none at s1.
const std::string MissingCalls =
    "##fileformat=VCFv4.2\n##FORMAT=<ID=GT,Number=1,Type=String,Description=\"G\">\n"
    "#CHROM\tPOS\tID\tREF\tALT\tQUAL\tFILTER\tINFO\tFORMAT\tp1\tp2\tp3\tp4\tp5\tp6\tp7\tp8\tp9\tp10\tp11\tp12\n"
    "Chr1\t1000000\ts1\tA\tG\t.\t.\t.\tGT\t0/1\t0/0\t0/1\t1/1\t0/0\t0/0\t1/1\t0/0\t0/1\t1/1\t./.\t./.\n"
    "Chr1\t2000000\ts2\tA\tG\t.\t.\t.\tGT\t0/0\t0/0\t0/0\t0/1\t0/1\t0/0\t0/0\t0/0\t1/1\t0/1\t0/0\t./.\n"
    "Chr1\t3000000\ts3\tA\tG\t.\t.\t.\tGT\t0/0\t0/0\t1/1\t1/1\t1/1\t0/0\t1/1\t1/1\t0/1\t0/0\t0/0\t./.\n"
    "Chr1\t4000000\ts4\tA\tG\t.\t.\t.\tGT\t1/1\t0/0\t0/1\t0/1\t0/0\t1/1\t0/0\t1/1\t0/1\t1/1\t1/1\t./.\n"
    "Chr1\t5000000\ts5\tA\tG\t.\t.\t.\tGT\t0/0\t1/1\t1/1\t1/1\t0/0\t0/1\t0/0\t1/1\t1/1\t0/0\t1/1\t./.\n"
    "Chr1\t6000000\ts6\tA\tG\t.\t.\t.\tGT\t1/1\t0/0\t0/1\t1/1\t1/1\t0/1\t0/1\t0/1\t1/1\t0/1\t0/1\t./.\n"
    "Chr1\t7000000\ts7\tA\tG\t.\t.\t.\tGT\t0/0\t0/0\t1/1\t0/0\t0/0\t1/1\t0/1\t1/1\t0/1\t0/1\t1/1\t./.\n"
    "Chr1\t8000000\ts8\tA\tG\t.\t.\t.\tGT\t0/1\t1/1\t0/0\t0/0\t1/1\t0/1\t0/0\t0/1\t0/0\t0/1\t0/1\t./.\n"
    "Chr1\t9000000\ts9\tA\tG\t.\t.\t.\tGT\t1/1\t0/0\t1/1\t1/1\t0/1\t0/1\t1/1\t0/1\t1/1\t0/1\t1/1\t./.\n"
    "Chr1\t10000000\ts10\tA\tG\t.\t.\t.\tGT\t0/0\t0/0\t0/1\t0/1\t1/1\t1/1\t0/0\t0/0\t1/1\t1/1\t0/1\t./.\n"
    "Chr1\t11000000\ts11\tA\tG\t.\t.\t.\tGT\t1/1\t1/1\t0/1\t0/1\t1/1\t0/1\t1/1\t0/1\t0/0\t0/1\t0/1\t./.\n"
    "Chr1\t12000000\ts12\tA\tG\t.\t.\t.\tGT\t1/1\t0/0\t0/1\t0/0\t0/0\t0/1\t0/0\t1/1\t0/0\t0/1\t0/1\t./.\n"
    "Chr1\t13000000\ts13\tA\tG\t.\t.\t.\tGT\t0/0\t0/0\t0/1\t0/1\t1/1\t0/1\t0/0\t0/1\t1/1\t0/1\t1/1\t./.\n";

TEST(CliImportVcf, MissingCallsTakeNoPartInLdAndAssociation)
{
    test::TempFolder folder;
    const std::string vcf = folder.write("missing.vcf", MissingCalls);
    // Every pair of sites without s1 has 11 plants with both calls: 9 degrees of freedom (the
    // last pair's). Missing calls read as heterozygotes would give 10.
    const CommandRun ld = run({"ld", vcf, "--group", "1"});
    ASSERT_EQ(ld.status, 0) << ld.err;
    EXPECT_NE(ld.out.find("\ndeg freedom=N-2 :9\n"), std::string::npos) << ld.out;

    // The correlation with a trait over the plants with a call, against R's cor.test with the
    // codes A = -1, H = 0, B = 1 and NA for a missing call.
    GenotypeData data;
    AlleleTable alleles;
    test::ScriptedUserInterface ui;
    alleles.markUsed(DataLoader(data, ui).OpenFiles({vcf}).usedCodes);
    ASSERT_EQ(data.GroupCount(), 1);
    EXPECT_EQ(data.GroupLoci(0)[0].Genotypes.substr(10), "UU");
    MarkerData markers;
    markers.fillFromGenotypes(data, alleles);
    TraitTable traits;
    pasteTable(traits, "\tp1\tp2\tp3\tp4\tp5\tp6\tp7\tp8\tp9\tp10\tp11\tp12\n"
                       "t\t10.5\t12\t9.25\t14\t11.5\t13.25\t8.75\t15\t12.5\t10\t13.75\t20\n");
    AssociationResults results;
    ASSERT_TRUE(runCorrelationAssociation(markers, traits, 0.05, results).completed);
    const struct
    {
        int marker; // 0-based
        double r, p; // R: cor.test(x[ok], trait[ok])
    } cases[] = {
        {0, -0.45011504179980211, 0.19178172034430865},  // 10 plants
        {1, 0.083579253832183412, 0.80698756138346917},  // 11 plants
        {12, 0.40802886110618652, 0.21284988114749442},  // 11 plants
    };
    for (const auto &c : cases) {
        EXPECT_NEAR(results.exactP(1, c.marker), c.p, 1e-9 * c.p) << "s" << c.marker + 1;
        EXPECT_EQ(results.cell(AssociationResults::Table::R, 1, c.marker + 1), formatText("%.2f", {c.r})) << "s" << c.marker + 1;
    }
}

} // namespace
} // namespace rvk::cli
