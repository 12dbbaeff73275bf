#include "cli/clicommand.h"
#include "commandrun.h"
#include "core/dataloader.h"
#include "io/locusfileexport.h"
#include "io/megaexport.h"
#include "settings/alleletable.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace rvk::cli {
namespace {

using cli::CommandRun;
CommandRun run(const std::vector<std::string> &args) { return runCli(args); }

// The example data as the window would hold them after opening path.
struct Loaded
{
    explicit Loaded(const std::string &path) { completed = DataLoader(data, ui).OpenFiles({path}).completed; }
    GenotypeData data;
    test::ScriptedUserInterface ui;
    bool completed = false;
};

void expectSameData(const GenotypeData &a, const GenotypeData &b)
{
    ASSERT_EQ(a.GroupCount(), b.GroupCount());
    EXPECT_EQ(a.IndividualNames, b.IndividualNames);
    for (int k = 0; k < a.GroupCount(); ++k) {
        EXPECT_EQ(a.GroupName(k), b.GroupName(k));
        ASSERT_EQ(a.GroupLocusCount(k), b.GroupLocusCount(k));
        for (int l = 0; l < a.GroupLocusCount(k); ++l) {
            EXPECT_EQ(a.GroupLoci(k)[l].Name, b.GroupLoci(k)[l].Name);
            EXPECT_EQ(a.GroupLoci(k)[l].Genotypes, b.GroupLoci(k)[l].Genotypes);
            EXPECT_NEAR(a.GroupLoci(k)[l].Position, b.GroupLoci(k)[l].Position, 0.05);
        }
    }
}

TEST(CliExports, SaveAndMergeReadBackAsTheExampleData)
{
    test::TempFolder folder;
    const std::string example = test::examplePath("listeria.rvk");
    const CommandRun saved = run({"save", example, "--out", folder.file("copy.of.data")});
    ASSERT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.out, folder.file("copy.rvk") + "\n");
    const CommandRun merged = run({"merge", test::examplePath("listeria.map"), "--loc", test::examplePath("listeria.loc"), "--out",
                            folder.file("merged")});
    ASSERT_EQ(merged.status, 0) << merged.err;

    Loaded original(example), copy(folder.file("copy.rvk")), built(merged.out.substr(0, merged.out.find('\n')));
    ASSERT_TRUE(original.completed && copy.completed && built.completed);
    expectSameData(original.data, copy.data);
    expectSameData(original.data, built.data);
}

TEST(CliExports, LocusAndMegaFilesHoldWhatTheWindowWrites)
{
    test::TempFolder folder;
    const std::string example = test::examplePath("listeria.rvk");
    Loaded loaded(example);
    ASSERT_EQ(run({"export-loc", example, "--out", folder.file("x")}).status, 0);
    EXPECT_EQ(test::readWholeFile(folder.file("x.loc")), LocusFileExport::fileText(loaded.data, false));
    ASSERT_EQ(run({"export-mega", example, "--out", folder.file("x")}).status, 0);
    EXPECT_EQ(test::readWholeFile(folder.file("x.meg")), MegaExport::fileText(loaded.data));
    const CommandRun chart = run({"export-mapchart", example, "--individual", "7", "--out", folder.file("seven.mct")});
    ASSERT_EQ(chart.status, 0) << chart.err;
    EXPECT_NE(test::readWholeFile(folder.file("seven.mct")).find("L007"), std::string::npos);
}

TEST(CliExports, SpreadsheetImportOfTheProgramsOwnWorkbook)
{
    test::TempFolder folder;
    const CommandRun r = run({"import-sheet", test::testDataPath("sheet_genotypes.xls"), "--recode", "sorted", "--out", folder.file("sheet")});
    ASSERT_EQ(r.status, 0) << r.err;
    Loaded imported(folder.file("sheet.rvk"));
    EXPECT_TRUE(imported.completed);
    EXPECT_GT(imported.data.GroupCount(), 0);
}

TEST(CliExports, SpreadsheetImportRecodesEachRowByFrequencyOrByFirstAppearance)
{
    test::TempFolder folder;
    const std::string sheet = folder.write("genotypes.csv", "alias,,P1,P2,P3,P4\n"
                                                            "popt,f2\n"
                                                            "nind,4\n"
                                                            "name=chr1\n"
                                                            "m1,0,A/T,T/T,A/T,A/A\n"
                                                            "m2,10,G/G,C/C,-,C/C\n");
    struct Case
    {
        const char *recode;
        std::string log;
        const char *m1, *m2;
    };
    // Sorted: the most frequent text of a row gets A, equal counts keep their first appearance;
    // plain: letters in order of first appearance. The missing-data text "-" gets ".", and its
    // letter is not given to the next text.
    const Case cases[] = {
        {"sorted", "m1:\tA/T=A\tT/T=B\tA/A=C\t\nm2:\tC/C=A\tG/G=B\t-=.\t\n", "ABAC", "BA.A"},
        {"plain", "m1:\tA/T=A\tT/T=B\tA/A=C\t\nm2:\tG/G=A\tC/C=B\t-=.\t\n", "ABAC", "AB.B"},
    };
    for (const Case &c : cases) {
        const std::string out = folder.file(std::string(c.recode) + ".rvk");
        const CommandRun r = run({"import-sheet", sheet, "--recode", c.recode, "--missing", "-", "--out", out});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, c.log + ("File succesfully saved as " + out + "\n")) << c.recode;
        EXPECT_EQ(r.out, out + "\n");
        // The data file as the writer lays it out: header, one group, loci with position and
        // phase, codes in blocks of five, the names.
        EXPECT_EQ(test::readWholeFile(out), std::string("nchrom=1\nnind=4\npopt=f2\n\nname=chr1\nnloc=2\n") + "m1  0.0 \n" +
                                                c.m1 + "\nm2  10.0 \n" + c.m2 + "\nAlias\n\"P1\" \"P2\" \"P3\" \"P4\" \n")
            << c.recode;
    }
}

TEST(CliExports, BadArgumentsAndFailuresGiveTheirStatus)
{
    test::TempFolder folder;
    const std::string example = test::examplePath("listeria.rvk");
    struct Case
    {
        std::vector<std::string> args;
        int status;
    };
    const std::vector<Case> cases = {
        {{"save", example}, 2},
        {{"export-mega", "--out", folder.file("m")}, 2},
        {{"export-loc", example, "--bogus", "--out", folder.file("l")}, 2},
        {{"merge", "--loc", example, "--out", folder.file("o")}, 2},
        {{"import-sheet", example, "--recode", "upside-down", "--out", folder.file("s")}, 2},
        {{"export-mapchart", example, "--individual", "121", "--out", folder.file("c.mct")}, 1},
        {{"merge", example, "--loc", test::examplePath("listeria.loc"), "--out", folder.file("o")}, 1},
        {{"import-sheet", folder.file("missing.xls"), "--out", folder.file("s")}, 1},
        {{"save", example, "--out", folder.file("no/such/folder/x")}, 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(run(c.args).status, c.status) << c.args[0] << " " << c.args.back();
}

} // namespace
} // namespace rvk::cli
