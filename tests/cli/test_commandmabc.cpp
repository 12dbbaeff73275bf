// rvk-cli mabc and pedigree on the hand-worked backcross family (tests/genetics/backcrossfixture.h,
// where the numbers are worked out).
#include "commandrun.h"
#include "genetics/backcrossfixture.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <QImage>

#include <sstream>

namespace rvk::cli {
namespace {

std::vector<std::vector<std::string>> tsv(const std::string &text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        size_t start = 0;
        for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            fields.push_back(line.substr(start, tab - start));
        fields.push_back(line.substr(start));
        rows.push_back(fields);
    }
    return rows;
}

struct Family
{
    test::TempFolder folder;
    std::string data = folder.write("family.rvk", test::backcrossFixtureFile());
};

TEST(CliMabc, WritesTheTableWithTargetAndGroupColumns)
{
    Family f;
    const std::string out = f.folder.file("mabc.tsv");
    const std::string chart = f.folder.file("mabc.png");
    const CommandRun r = runCli({"mabc", f.data, "--recurrent", "R", "--donor", "D", "--target", "m5", "--out", out, "--chart", chart});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = tsv(test::readWholeFile(out));
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"individual", "rpg_markers", "rpg_cm", "donor_segments", "donor_cm",
                                                 "target_code", "carrier", "drag_left_cm", "drag_right_cm", "rpg_markers:g1",
                                                 "rpg_cm:g1", "rpg_markers:g2", "rpg_cm:g2"}));
    EXPECT_EQ(rows[4], (std::vector<std::string>{"I2", "60.00", "65.00", "2", "35.00", "h", "yes", "20.00", "0.00", "75.00",
                                                 "65.00", "0.00", "-"}));
    EXPECT_EQ(rows[7][1], "-"); // I5: nothing scored
    EXPECT_FALSE(test::readWholeFile(chart).empty());
}

TEST(CliMabc, RowsFollowTheSelectionOptions)
{
    Family f;
    const std::string out = f.folder.file("mabc.tsv");
    // m5 = B: D, I3 and I6 carry the donor allele there.
    const CommandRun r = runCli({"mabc", f.data, "--recurrent", "R", "--donor", "D", "--criteria", "m5=B", "--out", out});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = tsv(test::readWholeFile(out));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1][0], "D");
    EXPECT_EQ(rows[2][0], "I3");
    EXPECT_EQ(rows[3][2], "30.00");
    EXPECT_EQ(rows[0].size(), 9u); // no target columns
}

TEST(CliMabc, RefusesUnknownNamesAndBadParents)
{
    Family f;
    const std::string out = f.folder.file("mabc.tsv");
    struct Case
    {
        std::vector<std::string> extra;
        int status;
        std::string named;
    };
    const Case cases[] = {
        {{"--recurrent", "Rx", "--donor", "D"}, 2, "\"Rx\""},
        {{"--recurrent", "R", "--donor", "Dx"}, 2, "\"Dx\""},
        {{"--recurrent", "R", "--donor", "D", "--target", "m9"}, 2, "\"m9\""},
        {{"--recurrent", "R", "--donor", "R"}, 2, "two different individuals"},
        {{"--recurrent", "R", "--donor", "D", "--target", "m3"}, 1, "\"m3\" is not informative"},
        {{"--recurrent", "I1", "--donor", "R"}, 1, "No locus tells"},
    };
    for (const Case &c : cases) {
        std::vector<std::string> args{"mabc", f.data, "--out", out};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const CommandRun r = runCli(args);
        EXPECT_EQ(r.status, c.status) << c.named;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("nan"), std::string::npos);
    }
    EXPECT_EQ(f.folder.entries(), (std::vector<std::string>{"family.rvk"}));
}

TEST(CliPedigree, WritesVerdictsAndTakesAThreshold)
{
    Family f;
    const std::string out = f.folder.file("pedigree.tsv");
    CommandRun r = runCli({"pedigree", f.data, "--parents", "R,D", "--out", out});
    ASSERT_EQ(r.status, 0) << r.err;
    auto rows = tsv(test::readWholeFile(out));
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"individual", "f1_match", "similarity_p1", "similarity_p2", "verdict",
                                                 "contradictions", "contradicting_loci"}));
    EXPECT_EQ(rows[4], (std::vector<std::string>{"I2", "33.33", "62.50", "50.00", "check", "4", "m1, m3, m7, n1"}));
    EXPECT_EQ(rows[9][4], "F1");
    EXPECT_EQ(rows[3][4], "check"); // I1: 93.75 % like R

    r = runCli({"pedigree", f.data, "--parents", "R,D", "--threshold", "90", "--out", out});
    ASSERT_EQ(r.status, 0) << r.err;
    rows = tsv(test::readWholeFile(out));
    EXPECT_EQ(rows[3][4], "self of P1");

    r = runCli({"pedigree", f.data, "--parents", "R,Q", "--out", out});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("\"Q\""), std::string::npos) << r.err;
}

} // namespace
} // namespace rvk::cli

namespace rvk::cli {
namespace {

TEST(CliRenderComparison, ColoursByReferenceAndDonorAndRefusesUnknownNames)
{
    Family f;
    const std::string png = f.folder.file("compare.png");
    CommandRun r = runCli({"render", f.data, "--reference", "R", "--donor", "D", "--out", png});
    ASSERT_EQ(r.status, 0) << r.err;
    const QImage image = QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(image.isNull());
    // The recurrent parent's allele green, the donor's red, heterozygous yellow; no segment in
    // the allele colour of A (255, 0, 0 by default).
    int green = 0, red = 0, yellow = 0, alleleA = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y) & 0xFFFFFF;
            green += c == 0x00AA00;
            red += c == 0xDC0000;
            yellow += c == 0xFFD200;
            alleleA += c == 0xFF0000;
        }
    EXPECT_GT(green, 0);
    EXPECT_GT(red, 0);
    EXPECT_GT(yellow, 0);
    EXPECT_EQ(alleleA, 0);

    struct Case
    {
        std::vector<std::string> extra;
        std::string named;
    };
    const Case cases[] = {
        {{"--reference", "Z"}, "\"Z\""},
        {{"--reference", "R", "--donor", "Q"}, "\"Q\""},
        {{"--reference", "R", "--donor", "R"}, "two different"},
        {{"--donor", "D"}, "--donor needs --reference"},
    };
    for (const Case &c : cases) {
        std::vector<std::string> args{"render", f.data, "--out", f.folder.file("x.png")};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        r = runCli(args);
        EXPECT_EQ(r.status, 2) << c.named;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
    }
}

} // namespace
} // namespace rvk::cli
