#include "io/locusmapmerger.h"
#include "core/dataloader.h"
#include "settings/alleletable.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include "support/casename.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rvk {
namespace {

struct Loaded
{
    GenotypeData data;
    test::ScriptedUserInterface ui;
    explicit Loaded(const std::string &path) { DataLoader(data, ui).OpenFiles({path}); }
};

struct MergerFixture : ::testing::Test
{
    test::TempFolder folder;
    test::ScriptedUserInterface ui;
    LocusMapMerger merger{ui};
};

TEST_F(MergerFixture, ListeriaMergesIntoTheExampleDataFile)
{
    ASSERT_TRUE(merger.addMapFile(test::examplePath("listeria.map")));
    ASSERT_TRUE(merger.loadLocusFile(test::examplePath("listeria.loc")));
    const std::string written = merger.merge(folder.file("merged.rvk"), false);
    ASSERT_EQ(written, folder.file("merged_all.rvk"));
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"RVK File saved " + folder.file("merged")});

    Loaded merged(written);
    Loaded example(test::examplePath("listeria.rvk"));
    ASSERT_TRUE(merged.ui.messages.empty()) << merged.ui.messages.front().text;
    EXPECT_EQ(merged.data.nind, example.data.nind);
    EXPECT_EQ(merged.data.popt, example.data.popt);
    EXPECT_EQ(merged.data.IndividualNames, example.data.IndividualNames);
    ASSERT_EQ(merged.data.GroupCount(), example.data.GroupCount());
    for (int k = 0; k < example.data.GroupCount(); ++k) {
        EXPECT_EQ(merged.data.GroupName(k), example.data.GroupName(k));
        const auto &a = merged.data.GroupLoci(k);
        const auto &b = example.data.GroupLoci(k);
        ASSERT_EQ(a.size(), b.size()) << example.data.GroupName(k);
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].Name, b[i].Name);
            EXPECT_DOUBLE_EQ(a[i].Position, b[i].Position);
            EXPECT_EQ(a[i].Genotypes, b[i].Genotypes) << b[i].Name;
        }
    }
    for (const auto &entry : merger.entries())
        EXPECT_TRUE(entry.merged || entry.text == "alias") << entry.text;
}

TEST_F(MergerFixture, MarkersGoIntoTheirMapGroupsInMapOrder)
{
    ASSERT_TRUE(merger.addMapText("; map\nchrom 1\nm1 0.0\nm2\t5,5\nm2 5.5\nm4 inf\nm5 NaN\n\ngroup 2\nm3 1\nm9 2\n", "a.map"));
    EXPECT_EQ(merger.entries().size(), 7u);
    EXPECT_EQ(merger.entries()[0].text, "chrom  1");
    EXPECT_EQ(merger.entries()[2].text, "m2  5.5");
    EXPECT_EQ(merger.entries().back().text, "alias");
    merger.setLocusText("nind = 3\npopt = F2\nM2 aab\nm3 ab\nb\nm1 <abxcd>{0-}(x) a b a\n", folder.file("x.loc"));
    EXPECT_EQ(merger.proposedOutputName(), folder.file("x.RVK"));
    EXPECT_EQ(merger.merge(folder.file("out.rvk"), true), folder.file("out_all.rvk"));
    EXPECT_EQ(test::readWholeFile(folder.file("out_all.rvk")),
              "nchrom=2\nnind=3\npopt=f2\n"
              "\nname=  1\nnloc=2\n\nm1  0.0 <abxcd> {0-}\n a b a\n\nm2  5.5\naab\n"
              "\nname=  2\nnloc=1\n\nm3  1\nab\nb\n");
    EXPECT_EQ(test::readWholeFile(folder.file("out02.rvk")), "popt=f2\nnind=3\n\nname=  2\nnloc=1\n\nm3  1\nab\nb\n");
    EXPECT_TRUE(std::filesystem::exists(folder.file("out01.rvk")));
    EXPECT_EQ(merger.unmatchedMarkers(), std::vector<std::string>{"m9"});
    EXPECT_EQ(ui.texts().back(), "These markers were in the map file but not found in the loc file: \rm9\r");
    EXPECT_FALSE(merger.entries()[5].merged);
    EXPECT_EQ(merger.modifiedText(), test::readWholeFile(folder.file("out_all.rvk")));

    Loaded back(folder.file("out_all.rvk"));
    ASSERT_EQ(back.data.GroupCount(), 2);
    EXPECT_EQ(back.data.GroupLoci(0)[0].Name, "m1 <abxcd>");
    EXPECT_EQ(back.data.GroupLoci(0)[1].Genotypes, "aab");
}

struct WordCase
{
    std::string locusLines;
    bool found;
};

void PrintTo(const WordCase &c, std::ostream *os) { *os << ::testing::PrintToString(c.locusLines); }

class WholeWordMatch : public ::testing::TestWithParam<WordCase> {};

TEST_P(WholeWordMatch, OnlyTheFirstOccurrenceAsAWholeWordCounts)
{
    test::TempFolder folder;
    test::ScriptedUserInterface ui;
    LocusMapMerger merger(ui);
    merger.addMapText("chrom a\nm1 1.0\n", "m.map");
    merger.setLocusText("nind=2\n" + GetParam().locusLines);
    const bool written = !merger.merge(folder.file("o.rvk"), false).empty();
    EXPECT_EQ(written, GetParam().found);
    EXPECT_EQ(merger.unmatchedMarkers().empty(), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(, WholeWordMatch,
                         ::testing::Values(WordCase{"xm1 ab\n", false}, WordCase{"m1x ab\n", false},
                                           WordCase{"xm1 m1 ab\n", false}, WordCase{"ab M1\n", true},
                                           WordCase{"  m1 ab\n", true}, WordCase{"xm1 ab\nm1 ab\n", true}),
                         test::namedBy([](const WordCase &c) { return c.locusLines + (c.found ? " found" : " not found"); }));

TEST_F(MergerFixture, OneGroupWritesOneFileWithTheNamesAtItsEnd)
{
    merger.addMapText("group Chr 7\nb 2.5\na 1\n", "m.map");
    merger.setLocusText("nind=2\npopt=cp\na ab\ncd\nb <abxab> ab aa ;note\nindividual names:\nP 1\nP2\n");
    EXPECT_EQ(merger.merge(folder.file("one.x.rvk"), true), folder.file("one.rvk"));
    EXPECT_FALSE(std::filesystem::exists(folder.file("one_all.rvk")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("one01.rvk")));
    EXPECT_EQ(test::readWholeFile(folder.file("one.rvk")),
              "popt=cp\nnind=2\n\nname=  Chr7\nnloc=2\n\nb  2.5 <abxab>\n ab aa \n\na  1\nab\ncd\nalias \"P 1\" P2\n");
    EXPECT_EQ(merger.modifiedText().substr(0, 27), "nchrom=1\nnind=2\npopt=cp\n\nna");
    Loaded back(folder.file("one.rvk"));
    ASSERT_EQ(back.data.GroupCount(), 1);
    EXPECT_EQ(back.data.IndividualNames, (std::vector<std::string>{"P 1", "P2"}));
    EXPECT_EQ(back.data.GroupLoci(0)[1].SegType, "<abxab>");
}

TEST_F(MergerFixture, MapWithoutAGroupLineIsRefused)
{
    EXPECT_FALSE(merger.addMapText("m1 1.0\nchrom 1\nm2 2.0\n", "bad.map"));
    EXPECT_TRUE(merger.entries().empty());
    EXPECT_EQ(ui.texts(), std::vector<std::string>{LocusMapMerger::mapWithoutGroupMessage("bad.map")});
    EXPECT_FALSE(merger.addMapText("; nothing\n\n", "empty.map"));
    EXPECT_FALSE(merger.canLoadLocusData());
}

TEST_F(MergerFixture, AGroupWithoutFoundMarkersGivesWayToTheNext)
{
    merger.addMapText("chrom 1\nzz 0\nchrom 2\nm3 1\n", "m.map");
    merger.setLocusText("nind=1\nm3 a\n");
    EXPECT_EQ(merger.merge(folder.file("g.rvk"), false), folder.file("g.rvk"));
    EXPECT_EQ(test::readWholeFile(folder.file("g.rvk")), "popt=\nnind=1\n\nname=  2\nnloc=1\n\nm3  1\na\n");
}

TEST_F(MergerFixture, AnIndividualCountThatIsNoNumberWritesNothing)
{
    merger.addMapText("chrom 1\nm1 0\n", "m.map");
    merger.setLocusText("nind=x\nm1 a\n");
    EXPECT_EQ(merger.merge(folder.file("n.rvk"), false), "");
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"'x' is not a valid integer value"});
    EXPECT_FALSE(std::filesystem::exists(folder.file("n.rvk")));
}

TEST_F(MergerFixture, ResetDropsEverything)
{
    merger.addMapText("chrom 1\nm1 0\n", "m.map");
    merger.setLocusText("nind=1\nm1 a\n");
    merger.reset();
    EXPECT_TRUE(merger.entries().empty());
    EXPECT_FALSE(merger.canMerge());
    EXPECT_FALSE(merger.canLoadLocusData());
}

} // namespace
} // namespace rvk
