#include "core/dataloader.h"
#include "core/platformimport.h"
#include "core/readexception.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <htslib/bgzf.h>
#include <htslib/hts.h>
#include <htslib/tbx.h>
#include <htslib/vcf.h>

#include <cstring>
#include <fstream>

namespace rvk {
namespace {

const std::string VcfHeader = "##fileformat=VCFv4.2\n"
                              "##contig=<ID=Chr1>\n##contig=<ID=Chr2>\n"
                              "##FORMAT=<ID=GT,Number=1,Type=String,Description=\"Genotype\">\n"
                              "##FORMAT=<ID=DP,Number=1,Type=Integer,Description=\"Depth\">\n";

std::string vcf(const std::vector<std::string> &samples, const std::vector<std::string> &records)
{
    std::string text = VcfHeader + "#CHROM\tPOS\tID\tREF\tALT\tQUAL\tFILTER\tINFO\tFORMAT";
    for (const auto &s : samples)
        text += "\t" + s;
    text += "\n";
    for (const auto &r : records)
        text += r + "\n";
    return text;
}

// A record: chromosome, position, ID, ALT and the GT calls.
std::string site(const std::string &chrom, int pos, const std::string &id, const std::string &alt,
                 const std::vector<std::string> &calls)
{
    std::string line = chrom + "\t" + std::to_string(pos) + "\t" + id + "\tA\t" + alt + "\t.\tPASS\t.\tGT";
    for (const auto &c : calls)
        line += "\t" + c;
    return line;
}

// The VCF text written bgzipped (and indexed) or as BCF (and indexed), through htslib.
std::string writeCompressed(const test::TempFolder &folder, const std::string &name, const std::string &text, bool index)
{
    const std::string path = folder.file(name);
    if (name.ends_with(".bcf")) {
        const std::string plain = folder.write(name + ".vcf", text);
        htsFile *in = hts_open(plain.c_str(), "r");
        bcf_hdr_t *header = bcf_hdr_read(in);
        htsFile *out = hts_open(path.c_str(), "wb");
        EXPECT_EQ(bcf_hdr_write(out, header), 0);
        bcf1_t *record = bcf_init();
        while (bcf_read(in, header, record) == 0)
            EXPECT_EQ(bcf_write(out, header, record), 0);
        bcf_destroy(record);
        hts_close(out);
        bcf_hdr_destroy(header);
        hts_close(in);
        if (index) {
            EXPECT_EQ(bcf_index_build(path.c_str(), 14), 0);
        }
        return path;
    }
    BGZF *out = bgzf_open(path.c_str(), "w");
    EXPECT_EQ(bgzf_write(out, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    bgzf_close(out);
    if (index) {
        EXPECT_EQ(tbx_index_build(path.c_str(), 0, &tbx_conf_vcf), 0);
    }
    return path;
}

std::vector<std::string> codesOf(const PlatformData &data, size_t group)
{
    std::vector<std::string> codes;
    for (const Tlocinfo &locus : data.groups.at(group).Loci)
        codes.push_back(locus.Genotypes);
    return codes;
}

TEST(VcfImport, EveryCallFormIsCodedAndSitesGroupedByChromosome)
{
    test::TempFolder folder;
    const std::string path = folder.write(
        "calls.vcf", vcf({"s1", "s2", "s3", "s4"},
                         {site("Chr1", 1500000, "m1", "G", {"0/0", "0/1", "1/0", "1/1"}),
                          site("Chr1", 2500000, ".", "G", {"0|0", "0|1", "1|0", "1|1"}),
                          site("Chr1", 3000000, "m3", "G", {"./.", ".", "./1", "0/."}),
                          site("Chr2", 10, "h1", "G", {"0", "1", ".", "1"}),
                          site("Chr1", 4000000, "multi", "G,T", {"0/0", "0/2", "1/1", "2/2"}),
                          site("Chr1", 5000000, "tri", "G", {"0/0/1", "0/1/1", "1/1/1", "0/0/0"})}));
    const PlatformData data = readPlatformFile(path, {});
    EXPECT_EQ(data.samples, (std::vector<std::string>{"s1", "s2", "s3", "s4"}));
    ASSERT_EQ(data.groups.size(), 2u);
    EXPECT_EQ(data.groups[0].Name, "chr1");
    EXPECT_EQ(data.groups[1].Name, "chr2");
    EXPECT_EQ(codesOf(data, 0), (std::vector<std::string>{"AHHB", "AHHB", "UUUU"}));
    EXPECT_EQ(codesOf(data, 1), (std::vector<std::string>{"ABUB"}));
    EXPECT_EQ(data.groups[0].Loci[0].Name, "m1");
    EXPECT_EQ(data.groups[0].Loci[1].Name, "Chr1_2500000");
    EXPECT_DOUBLE_EQ(data.groups[0].Loci[0].Position, 1.5);
    EXPECT_DOUBLE_EQ(data.groups[1].Loci[0].Position, 0.00001);
    EXPECT_EQ(data.popt, "f2");
    EXPECT_EQ(data.report.sitesRead, 6);
    EXPECT_EQ(data.report.sitesKept, 4);
    EXPECT_EQ(data.report.multiAllelic, 1);
    EXPECT_EQ(data.report.otherPloidy, 1);
    EXPECT_EQ(data.report.summary("calls.vcf"),
              "calls.vcf: 4 of 6 sites kept. Left out: 1 with more than two alleles; 1 neither haploid nor diploid.");
}

TEST(VcfImport, PopulationTypeFollowsTheCallsUnlessChosen)
{
    test::TempFolder folder;
    const std::string inbred = folder.write("ri.vcf", vcf({"a", "b"}, {site("Chr1", 100, "m", "G", {"0/0", "1/1"})}));
    EXPECT_EQ(readPlatformFile(inbred, {}).popt, "ri");
    PlatformImportOptions chosen;
    chosen.popt = "DH";
    EXPECT_EQ(readPlatformFile(inbred, chosen).popt, "dh");
    chosen.popt = "cp";
    EXPECT_THROW(readPlatformFile(inbred, chosen), readexception);
}

TEST(VcfImport, FiltersOnMissingShareAndMinorAlleleFrequency)
{
    test::TempFolder folder;
    // Minor-allele frequencies 0.5, 0.125 and 0 (monomorphic); missing shares 0, 0.25 and 0.5.
    const std::string path = folder.write(
        "f.vcf", vcf({"a", "b", "c", "d"}, {site("Chr1", 1, "common", "G", {"0/0", "1/1", "0/1", "0/1"}),
                                            site("Chr1", 2, "rare", "G", {"0/0", "0/0", "./.", "0/1"}),
                                            site("Chr1", 3, "fixed", "G", {"0/0", "0/0", "./.", "./."})}));
    struct Case
    {
        double minMaf, maxMissing;
        std::vector<std::string> kept;
    };
    for (const Case &c : std::vector<Case>{{0.0, 1.0, {"common", "rare", "fixed"}},
                                           {0.1, 1.0, {"common", "rare"}},
                                           {0.2, 1.0, {"common"}},
                                           {0.0, 0.3, {"common", "rare"}},
                                           {0.0, 0.0, {"common"}}}) {
        PlatformImportOptions options;
        options.minMaf = c.minMaf;
        options.maxMissing = c.maxMissing;
        const PlatformData data = readPlatformFile(path, options);
        std::vector<std::string> kept;
        for (const Tlocinfo &locus : data.groups.at(0).Loci)
            kept.push_back(locus.Name);
        EXPECT_EQ(kept, c.kept) << c.minMaf << " " << c.maxMissing;
    }
}

TEST(VcfImport, MapFilePositionsAndSitesMissingFromTheMap)
{
    test::TempFolder folder;
    const std::string path = folder.write("m.vcf", vcf({"a", "b"}, {site("Chr1", 100, "m1", "G", {"0/0", "1/1"}),
                                                                   site("Chr1", 200, "m2", "G", {"0/0", "1/1"}),
                                                                   site("Chr1", 300, "m3", "G", {"1/1", "0/0"})}));
    for (const std::string &map : {std::string("chrom 1\nm3 12.5\nm1 40\n"), std::string("1 m3 12.5 300\n1 m1 40 100\n")}) {
        PlatformImportOptions options;
        options.mapFile = folder.write("sites.map", map);
        const PlatformData data = readPlatformFile(path, options);
        ASSERT_EQ(data.groups.size(), 1u);
        ASSERT_EQ(data.groups[0].Loci.size(), 2u) << map;
        EXPECT_EQ(data.groups[0].Loci[0].Name, "m3"); // in map order
        EXPECT_DOUBLE_EQ(data.groups[0].Loci[0].Position, 12.5);
        EXPECT_DOUBLE_EQ(data.groups[0].Loci[1].Position, 40.0);
        EXPECT_EQ(data.report.notInMap, 1);
        EXPECT_NE(data.report.summary("m.vcf").find("1 not in the map file (m2)"), std::string::npos);
    }
}

TEST(VcfImport, RegionAndSamplesWithAndWithoutAnIndex)
{
    test::TempFolder folder;
    const std::string text = vcf({"a", "b", "c"}, {site("Chr1", 100, "x1", "G", {"0/0", "0/1", "1/1"}),
                                                   site("Chr1", 200, "x2", "G", {"1/1", "0/1", "0/0"}),
                                                   site("Chr1", 300, "x3", "G", {"0/1", "0/0", "1/1"}),
                                                   site("Chr2", 150, "y1", "G", {"0/0", "0/0", "1/1"})});
    PlatformImportOptions options;
    options.region = "Chr1:150-300";
    options.samplesFile = folder.write("samples.txt", "c\n# a comment\nzz\na\n");
    for (const std::string &path : {folder.write("plain.vcf", text), writeCompressed(folder, "indexed.vcf.gz", text, true),
                                    writeCompressed(folder, "unindexed.vcf.gz", text, false),
                                    writeCompressed(folder, "indexed.bcf", text, true)}) {
        const PlatformData data = readPlatformFile(path, options);
        EXPECT_EQ(data.samples, (std::vector<std::string>{"a", "c"})) << path; // in the file's order
        ASSERT_EQ(data.groups.size(), 1u) << path;
        EXPECT_EQ(codesOf(data, 0), (std::vector<std::string>{"BA", "HB"})) << path;
        EXPECT_EQ(data.report.samplesNotFound, std::vector<std::string>{"zz"}) << path;
    }
    options.region = "Chr2";
    EXPECT_EQ(codesOf(readPlatformFile(writeCompressed(folder, "again.vcf.gz", text, true), options), 0),
              std::vector<std::string>{"AB"});
}

TEST(VcfImport, BadFilesAreRefusedWithTheirFileAndRecord)
{
    test::TempFolder folder;
    const std::string good = vcf({"a", "b"}, {site("Chr1", 100, "m1", "G", {"0/0", "1/1"}),
                                              site("Chr1", 200, "m2", "G", {"0/1", "1/1"})});
    std::string truncated, damaged;
    {
        std::vector<std::string> many;
        for (int i = 1; i <= 20000; ++i)
            many.push_back(site("Chr1", i, "s" + std::to_string(i), "G", {"0/0", "0/1"}));
        const std::string whole = writeCompressed(folder, "whole.vcf.gz", vcf({"a", "b"}, many), false);
        const std::string bytes = test::readWholeFile(whole);
        truncated = folder.write("cut.vcf.gz", bytes.substr(0, bytes.size() - 200));
        std::string flipped = bytes;
        for (size_t i = flipped.size() / 2; i < flipped.size() / 2 + 16; ++i)
            flipped[i] = static_cast<char>(~flipped[i]);
        damaged = folder.write("damaged.vcf.gz", flipped);
    }
    // A BCF (uncompressed, as htslib also reads it) whose second record claims 2.5 GB, and one
    // whose header claims 4 GB.
    std::string lengths, headerLength;
    {
        BGZF *in = bgzf_open(writeCompressed(folder, "lengths.bcf", good, false).c_str(), "r");
        std::string raw;
        char buffer[4096];
        for (ssize_t n; (n = bgzf_read(in, buffer, sizeof buffer)) > 0;)
            raw.append(buffer, static_cast<size_t>(n));
        bgzf_close(in);
        auto word = [&raw](size_t at) {
            uint32_t value = 0;
            std::memcpy(&value, raw.data() + at, 4);
            return size_t{value};
        };
        const size_t first = 9 + word(5);
        const size_t second = first + 8 + word(first) + word(first + 4);
        ASSERT_LT(second + 8, raw.size());
        std::string header = raw;
        const uint32_t claimed = 0xA0000000u, headerClaimed = 0xFFFFFF00u;
        std::memcpy(raw.data() + second, &claimed, 4);
        lengths = folder.write("lengths-raw.bcf", raw);
        std::memcpy(header.data() + 5, &headerClaimed, 4);
        headerLength = folder.write("header-raw.bcf", header);
    }
    std::string noGt = good;
    noGt.replace(noGt.find("##FORMAT=<ID=GT"), noGt.find('\n', noGt.find("##FORMAT=<ID=GT")) - noGt.find("##FORMAT=<ID=GT") + 1, "");
    struct Case
    {
        std::string path, expected;
    };
    const std::vector<Case> cases{
        {truncated, "cut.vcf.gz: the file is truncated"},
        {headerLength, "header-raw.bcf: the BCF header is damaged (its length claims 4294967040 bytes)"},
        {lengths, "lengths-raw.bcf: reading stopped at record 2 (after Chr1:100): its length is damaged (it claims 2684354"},
        {damaged, "damaged.vcf.gz: "}, // where the damage shows depends on the bytes
        {folder.write("malformed.vcf", good + "Chr1\tnotanumber\tm3\tA\tG\t.\tPASS\t.\tGT\t0/0\t0/1\n"), "malformed.vcf: reading stopped at record 3 (after Chr1:200)"},
        {folder.write("short.vcf", good + "Chr1\t300\tm3\tA\tG\t.\tPASS\t.\tGT\t0/0\n"), "short.vcf: reading stopped at record 3 (after Chr1:200)"},
        {folder.write("columns.vcf", good + "Chr1\t300\tm3\n"), "columns.vcf: record 3 (Chr1:300) has no GT field"},
        {folder.write("nosamples.vcf", VcfHeader + "#CHROM\tPOS\tID\tREF\tALT\tQUAL\tFILTER\tINFO\n"), "nosamples.vcf: the header names no samples"},
        {folder.write("nogt.vcf", noGt), "nogt.vcf: the header defines no GT field"},
        {folder.write("gtless.vcf", vcf({"a", "b"}, {"Chr1\t100\tm1\tA\tG\t.\tPASS\t.\tDP\t3\t4"})), "gtless.vcf: record 1 (Chr1:100) has no GT field"},
        {folder.write("notvcf.vcf", "just some text\n"), "notvcf.vcf"},
    };
    for (const Case &c : cases) {
        try {
            readPlatformFile(c.path, {});
            ADD_FAILURE() << c.path << " was read";
        } catch (const readexception &error) {
            EXPECT_EQ(std::string(error.what()).rfind(c.expected, 0), 0u) << error.what();
            if (c.path == damaged) {
                EXPECT_NE(std::string(error.what()).find("record"), std::string::npos) << error.what();
            }
        }
    }
}

TEST(HapMapImport, TwoLetterAndIupacCallsBothCode)
{
    test::TempFolder folder;
    const std::string header = "rs#\talleles\tchrom\tpos\tstrand\tassembly#\tcenter\tprotLSID\tassayLSID\tpanelLSID\tQCcode\tp1\tp2\tp3\tp4\n";
    const std::string fixed = "\t+\tNA\tNA\tNA\tNA\tNA\tNA";
    const std::string path = folder.write(
        "panel.hmp.txt", header + "snp1\tA/G\t1\t2000000" + fixed + "\tAA\tAG\tGG\tNN\n"
                             + "snp2\tC/T\t1\t1000000" + fixed + "\tC\tY\tT\tN\n"
                             + "snp3\tA/C/G\t2\t500" + fixed + "\tAA\tCC\tGG\tAC\n"
                             + "snp4\tG/T\t2\t700" + fixed + "\tGG\tTG\tK\tTT\n");
    const PlatformData data = readPlatformFile(path, {});
    EXPECT_EQ(data.samples, (std::vector<std::string>{"p1", "p2", "p3", "p4"}));
    ASSERT_EQ(data.groups.size(), 2u);
    // Sorted by position within the group: snp2 (1 Mb) before snp1 (2 Mb).
    EXPECT_EQ(data.groups[0].Loci[0].Name, "snp2");
    EXPECT_EQ(codesOf(data, 0), (std::vector<std::string>{"AHBU", "AHBU"}));
    EXPECT_EQ(codesOf(data, 1), (std::vector<std::string>{"AHHB"}));
    EXPECT_EQ(data.report.multiAllelic, 1);

    const std::string broken = folder.write("short.hmp.txt", header + "snp1\tA/G\t1\t200" + fixed + "\tAA\tAG\n");
    try {
        readPlatformFile(broken, {});
        ADD_FAILURE() << "a line with too few columns was read";
    } catch (const readexception &error) {
        EXPECT_EQ(std::string(error.what()), "short.hmp.txt, line 2: the line has 13 columns, the header 15");
    }
}

TEST(PlatformLoader, OpensLikeADataFileAndAddsNothingOnFailure)
{
    test::TempFolder folder;
    GenotypeData data;
    test::ScriptedUserInterface ui;
    DataLoader loader(data, ui);
    const std::string path = folder.write("panel.vcf", vcf({"a", "b", "c"}, {site("Chr1", 300, "m2", "G", {"0/0", "0/1", "1/1"}),
                                                                           site("Chr1", 100, "m1", "G", {"1/1", "0/1", "./."}),
                                                                           site("Chr2", 5, "m3", "G", {"0/0", "0/0", "1/1"}),
                                                                           site("Chr2", 6, "m4", "G,T", {"0/0", "0/0", "1/1"})}));
    const LoadOutcome outcome = loader.OpenFiles({path});
    ASSERT_TRUE(outcome.completed);
    EXPECT_EQ(outcome.groupsAdded, 2);
    EXPECT_EQ(outcome.captionPath, path);
    EXPECT_EQ(data.nind, 3);
    EXPECT_EQ(data.popt, "f2");
    EXPECT_EQ(data.IndividualNames, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(data.GroupLoci(0)[0].Name, "m1");
    EXPECT_EQ(data.GroupLoci(0)[0].Genotypes, "BHU");
    CodeSet used;
    for (char code : std::string("ABHU"))
        used.set(static_cast<size_t>(codeIndex(code)));
    EXPECT_EQ(outcome.usedCodes, used);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"panel.vcf: 3 of 4 sites kept. Left out: 1 with more than two alleles."});

    // A file of another sample count, or a damaged one, adds nothing.
    ui.messages.clear();
    const std::string other = folder.write("other.vcf", vcf({"a", "b"}, {site("Chr3", 1, "z", "G", {"0/0", "1/1"})}));
    EXPECT_FALSE(loader.OpenFiles({other}).completed);
    EXPECT_EQ(data.GroupCount(), 2);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, DataLoader::fileFailedMessage(other));

    // A cancelled read adds nothing and says nothing.
    ui.messages.clear();
    loader.setCancelCheck([] { return true; });
    std::vector<std::string> many;
    for (int i = 1; i <= 3000; ++i)
        many.push_back(site("Chr4", i, "s" + std::to_string(i), "G", {"0/0", "0/1", "1/1"}));
    const LoadOutcome cancelled = loader.OpenFiles({folder.write("big.vcf", vcf({"a", "b", "c"}, many))});
    EXPECT_TRUE(cancelled.cancelled) << ::testing::PrintToString(ui.texts());
    EXPECT_EQ(data.GroupCount(), 2);
    EXPECT_TRUE(ui.messages.empty());
}

} // namespace
} // namespace rvk
