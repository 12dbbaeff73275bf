#include "core/datafilewriter.h"
#include "core/dataloader.h"
#include "core/textformat.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rvk {
namespace {

struct LoadedSet
{
    GenotypeData data;
    test::ScriptedUserInterface ui;

    bool open(const std::string &path)
    {
        DataLoader loader(data, ui);
        return loader.OpenFiles({path}).completed;
    }
};

// Everything the file keeps: groups, loci in order, positions to one decimal, phases, names.
void expectSameData(const GenotypeData &a, const GenotypeData &b)
{
    EXPECT_EQ(a.nind, b.nind);
    EXPECT_EQ(a.popt, b.popt);
    EXPECT_EQ(a.IndividualNames, b.IndividualNames);
    ASSERT_EQ(a.GroupCount(), b.GroupCount());
    for (int k = 0; k < a.GroupCount(); ++k) {
        EXPECT_EQ(a.GroupName(k), b.GroupName(k));
        ASSERT_EQ(a.GroupLocusCount(k), b.GroupLocusCount(k)) << "group " << k;
        for (int i = 0; i < a.GroupLocusCount(k); ++i) {
            const Tlocinfo &x = a.GroupLoci(k)[static_cast<size_t>(i)];
            const Tlocinfo &y = b.GroupLoci(k)[static_cast<size_t>(i)];
            EXPECT_EQ(x.Name, y.Name);
            EXPECT_EQ(formatText("%2.1f", {x.Position}), formatText("%2.1f", {y.Position})) << x.Name;
            EXPECT_EQ(formatText("%2.1f", {x.QtlStart}), formatText("%2.1f", {y.QtlStart})) << x.Name;
            EXPECT_EQ(formatText("%2.1f", {x.QtlEnd}), formatText("%2.1f", {y.QtlEnd})) << x.Name;
            EXPECT_EQ(x.Phase, y.Phase) << x.Name;
            EXPECT_EQ(x.SegType, y.SegType) << x.Name;
            EXPECT_EQ(x.Genotypes, y.Genotypes) << x.Name;
        }
    }
}

Tlocinfo locus(const std::string &name, double position, const std::string &phase = {})
{
    Tlocinfo l;
    l.Name = name;
    l.Position = position;
    l.Phase = phase;
    return l;
}

TEST(DataFileWriter, LocusLines)
{
    EXPECT_EQ(DataFileWriter::locusLine(locus("m1", 12.34), false), "m1  12.3 ");
    EXPECT_EQ(DataFileWriter::locusLine(locus("m1", 2.0, "{1}"), false), "m1  2.0 {1}");
    EXPECT_EQ(DataFileWriter::locusLine(locus("m1", -1.0), false), "m1  -1.0 ");
    // Annotations go behind the position, in the order the reader takes them.
    EXPECT_EQ(DataFileWriter::locusLine(locus("m12 <abxcd> (x1)", 3.0, "{0-}"), true), "m12  3.0 <abxcd> {0-} (x1)");
    EXPECT_EQ(DataFileWriter::locusLine(locus("m12 (x1)", 3.0), false), "m12  3.0 (x1)");
    // Names the reader would cut apart or drop travel in quotes.
    EXPECT_EQ(DataFileWriter::locusLine(locus("two words", 1.0), false), "\"two words\"  1.0 ");
    EXPECT_EQ(DataFileWriter::locusLine(locus(";m", 1.0), false), "\";m\"  1.0 ");
    EXPECT_EQ(DataFileWriter::locusLine(locus("", 1.0), false), "\"\"  1.0 ");
    // A cp locus whose name lacks its type still writes the type.
    Tlocinfo typed = locus("m2", 4.0, "{00}");
    typed.SegType = "<abxab>";
    EXPECT_EQ(DataFileWriter::locusLine(typed, true), "m2  4.0 <abxab> {00}");
    Tlocinfo qtl = locus("q1", 12.5);
    qtl.QtlStart = 10;
    qtl.QtlEnd = 15;
    EXPECT_EQ(DataFileWriter::locusLine(qtl, false), "q1  12.5/10.0/15.0 ");
}

TEST(DataFileWriter, BlankAfterEveryFifthCode)
{
    EXPECT_EQ(DataFileWriter::genotypeLine("aabbabb"), "aabba bb");
    EXPECT_EQ(DataFileWriter::genotypeLine("aabbabbaba"), "aabba bbaba ");
    EXPECT_EQ(DataFileWriter::genotypeLine(";abc"), " ;abc");
    EXPECT_EQ(DataFileWriter::namesLine({"P1", "", "plant 7"}), "\"P1\" \"\" \"plant 7\" ");
}

TEST(DataFileWriter, OutputNameIsCutAtTheFirstDotOfTheFileName)
{
    EXPECT_EQ(replaceExtensionAtFirstDot("/data.v2/set.rvk", ".rvk"), "/data.v2/set.rvk");
    EXPECT_EQ(replaceExtensionAtFirstDot("/data.v2/set.final.rvk", ".rvk"), "/data.v2/set.rvk");
    EXPECT_EQ(replaceExtensionAtFirstDot("/data.v2/set", ".loc"), "/data.v2/set.loc");
    EXPECT_EQ(replaceExtensionAtFirstDot("set.x", ".meg"), "set.meg");
}

TEST(DataFileWriter, ListeriaReadsBackTheSame)
{
    test::TempFolder folder;
    LoadedSet original;
    ASSERT_TRUE(original.open(test::examplePath("listeria.rvk")));
    test::ScriptedUserInterface ui;
    DataFileWriter writer(original.data, ui);
    // The window puts the file into its recent list when told, before the confirmation.
    std::vector<std::string> told;
    const std::string path = writer.save(folder.file("copy.final.rvk"), [&](const std::string &written) {
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_TRUE(std::filesystem::is_regular_file(written));
        told.push_back(written);
    });
    EXPECT_EQ(path, folder.file("copy.rvk"));
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"File succesfully saved as " + path});
    EXPECT_EQ(told, std::vector<std::string>{path});

    LoadedSet copy;
    ASSERT_TRUE(copy.open(path));
    expectSameData(original.data, copy.data);
    const std::string text = test::readWholeFile(path);
    EXPECT_EQ(text.substr(0, 37), "nchrom=20\nnind=120\npopt=f2\n\nname=chr1");
}

TEST(DataFileWriter, CrossPollinatorAnnotationsAndPhasesReadBack)
{
    test::TempFolder folder;
    const std::string source = folder.write("cp.rvk", "name=lg 1\nnloc=3\nnind=3\npopt=CP\n"
                                                      "m1 3.0 <abxcd>{0-}(x1) ab ac bd\n"
                                                      "\"m 2\" 4.0 <abxab> ab\nab aa\n"
                                                      "m3 1.5 <lmxll>(first) lm ll lm\n"
                                                      "alias \"plant 1\" P2 \"\"\n");
    LoadedSet original;
    ASSERT_TRUE(original.open(source));
    ASSERT_EQ(original.data.GroupLocusCount(0), 3);
    test::ScriptedUserInterface ui;
    const std::string path = DataFileWriter(original.data, ui).save(folder.file("out.rvk"));
    ASSERT_FALSE(path.empty());
    LoadedSet copy;
    ASSERT_TRUE(copy.open(path));
    expectSameData(original.data, copy.data);
    EXPECT_EQ(copy.data.GroupLoci(0)[1].Name, "m1 <abxcd> (x1)");
    EXPECT_EQ(copy.data.GroupLoci(0)[1].SegType, "<abxcd>");
    EXPECT_EQ(copy.data.GroupLoci(0)[1].Genotypes, "abacbd");
    EXPECT_EQ(copy.data.IndividualNames, (std::vector<std::string>{"plant 1", "P2", ""}));
}

TEST(DataFileWriter, HaploidPhasesAndQtlIntervalsReadBack)
{
    test::TempFolder folder;
    const std::string source = folder.write("dh.rvk", "name=a\nnloc=3\nnind=6\npopt=dh\n"
                                                      "m1 0 aabbab\nm2 12.34 bbaaba\nq1 20/18/25.5 aabbab\n");
    LoadedSet original;
    ASSERT_TRUE(original.open(source));
    test::ScriptedUserInterface ui;
    const std::string path = DataFileWriter(original.data, ui).save(folder.file("dh2.rvk"));
    LoadedSet copy;
    ASSERT_TRUE(copy.open(path));
    expectSameData(original.data, copy.data);
    EXPECT_EQ(copy.data.GroupLoci(0)[1].Phase, "{1}");
    EXPECT_DOUBLE_EQ(copy.data.GroupLoci(0)[1].Position, 12.3);
    EXPECT_DOUBLE_EQ(copy.data.GroupLoci(0)[2].QtlEnd, 25.5);
    EXPECT_NE(test::readWholeFile(path).find("\nm2  12.3 {1}\nbbaab a\n"), std::string::npos);
}

TEST(DataFileWriter, FailedWriteReportsAndKeepsTheOldFile)
{
    test::TempFolder folder;
    LoadedSet original;
    ASSERT_TRUE(original.open(test::examplePath("listeria.rvk")));
    test::ScriptedUserInterface ui;
    DataFileWriter writer(original.data, ui);
    EXPECT_EQ(writer.save(folder.file("missing/set.rvk"), [](const std::string &) { ADD_FAILURE() << "told of a file not written"; }), "");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Unable to write to " + folder.file("missing/set.rvk"));

    // The old file is replaced only by a complete new one, and no temporary file stays.
    const std::string old = folder.write("set.rvk", "old");
    EXPECT_EQ(writer.save(old), old);
    EXPECT_NE(test::readWholeFile(old), "old");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"set.rvk"});
}

TEST(DataFileWriter, NamesTheReaderMistakesForKeysAreReported)
{
    GenotypeData data;
    data.nind = 1;
    data.popt = "f2";
    data.IndividualNames = {"nameless"};
    LinkageGroup group;
    group.Name = "g";
    group.Loci.push_back(locus("m1", 0));
    group.Loci.back().Genotypes = "a";
    data.AppendGroup(group);
    std::vector<std::string> misread;
    DataFileWriter::fileText(data, &misread);
    EXPECT_EQ(misread, std::vector<std::string>{"\"nameless\" "});

    test::TempFolder folder;
    test::ScriptedUserInterface ui;
    DataFileWriter(data, ui).save(folder.file("n.rvk"));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].kind, UserInterface::MessageKind::Warning);
}

TEST(DataFileWriter, NothingLoadedOrCancelledWritesNothing)
{
    GenotypeData data;
    test::ScriptedUserInterface ui;
    ui.saveChoices.push_back("/tmp/x.rvk");
    EXPECT_EQ(DataFileWriter(data, ui).SaveDataFile(), "");
    EXPECT_EQ(ui.saveChoices.size(), 1u);
}

} // namespace
} // namespace rvk
