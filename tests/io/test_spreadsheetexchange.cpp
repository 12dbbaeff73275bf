#include "io/spreadsheetexchange.h"
#include "core/dataloader.h"
#include "settings/alleletable.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"
#include "tests/io/exportfixture.h"

#include "support/casename.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

struct Exchange
{
    test::ScriptedUserInterface ui;
    SpreadsheetExchange exchange{ui};
    GenotypeData data;
    AlleleTable alleles;

    // Pastes rows of tab-separated cells, each ending in CR LF.
    void pasteRows(const std::vector<std::string> &rows)
    {
        std::string text;
        for (const auto &row : rows)
            text += row + "\r\n";
        exchange.paste(text);
    }
    std::vector<std::string> row(int r) const { return exchange.grid().row(r); }
};

struct ExchangeFixture : ::testing::Test, Exchange
{
};

TEST_F(ExchangeFixture, PastedNumbersGetOneDecimal)
{
    pasteRows({"m1\t12\ta", "m2\t15.26\tb"});
    EXPECT_EQ(row(0), (std::vector<std::string>{"m1", "12.0", "a", "", ""}));
    EXPECT_EQ(row(1), (std::vector<std::string>{"m2", "15.3", "b", "", ""}));
    EXPECT_TRUE(exchange.dataPasted());
    EXPECT_TRUE(exchange.importEnabled());

    // At the right-click cell, wider than the grid, with bare line feeds and no final line end.
    exchange.setRightClickCell(3, 4);
    exchange.paste("x\ty\tz\nw");
    EXPECT_EQ(exchange.grid().columnCount(), 6);
    EXPECT_EQ(exchange.grid().cell(5, 4), "z");
    EXPECT_EQ(exchange.grid().cell(3, 5), "w");
    EXPECT_GE(exchange.grid().rowCount(), 7);
}

TEST_F(ExchangeFixture, ClearAndDeleteRow)
{
    pasteRows({"a", "b", "c"});
    exchange.setRightClickCell(0, 1);
    EXPECT_EQ(exchange.deleteRowQuestion(), "Are you sure you want to delete the selected row [b] ");
    EXPECT_FALSE(exchange.DeleteThisRow());
    ui.answers.push_back(true);
    EXPECT_TRUE(exchange.DeleteThisRow());
    EXPECT_EQ(exchange.grid().cell(0, 1), "c");
    EXPECT_EQ(ui.questionStyles, (std::vector<std::string>{"warning", "warning"}));
    exchange.clear();
    EXPECT_EQ(exchange.grid(), TextGrid(5, 5));
    EXPECT_FALSE(exchange.importEnabled());
    EXPECT_FALSE(exchange.recodeEnabled());
}

struct RecodeCase
{
    bool sortByFrequency;
    std::string missing;
    std::vector<std::string> cells;
    std::vector<std::string> recoded;
    std::string log;
};

void PrintTo(const RecodeCase &c, std::ostream *os) { *os << ::testing::PrintToString(c.cells) << " -> " << c.log; }

class Recoding : public ::testing::TestWithParam<RecodeCase> {};

TEST_P(Recoding, TextsBecomeLetters)
{
    test::ScriptedUserInterface ui;
    SpreadsheetExchange exchange(ui);
    std::string line = "m1\t1";
    for (const auto &cell : GetParam().cells)
        line += "\t" + cell;
    exchange.paste("h\r\nh\r\n" + line + "\r\n");
    exchange.missingDataCode = GetParam().missing;
    EXPECT_EQ(exchange.recode(GetParam().sortByFrequency), GetParam().log);
    for (size_t k = 0; k < GetParam().recoded.size(); ++k)
        EXPECT_EQ(exchange.grid().cell(static_cast<int>(k) + 2, 2), GetParam().recoded[k]);
}

INSTANTIATE_TEST_SUITE_P(
    , Recoding,
    ::testing::Values(RecodeCase{true, "", {"A/A", "A/T", "A/T", "T/T"}, {"B", "A", "A", "C"}, "m1:\tA/T=A\tA/A=B\tT/T=C\t\n"},
                      RecodeCase{false, "", {"A/A", "A/T", "A/T", "T/T"}, {"A", "B", "B", "C"}, "m1:\tA/A=A\tA/T=B\tT/T=C\t\n"},
                      RecodeCase{false, "0", {"0", "a", "b"}, {".", "B", "C"}, "m1:\t0.0=.\ta=B\tb=C\t\n"},
                      RecodeCase{false, "-", {"b", "-", "a", "b"}, {"A", ".", "C", "A"}, "m1:\tb=A\t-=.\ta=C\t\n"}),
    test::namedBy([](const RecodeCase &c) {
        return std::string(c.sortByFrequency ? "by frequency" : "in order of appearance") + (c.missing.empty() ? "" : " missing " + c.missing);
    }));

TEST_F(ExchangeFixture, RecodeAsksAndNeedsData)
{
    exchange.Recode();
    EXPECT_TRUE(ui.questions.empty());
    pasteRows({"h", "h", "m1\t1\tx\ty\ty"});
    ui.answers.push_back(true);
    exchange.Recode();
    EXPECT_EQ(ui.questions, std::vector<std::string>{SpreadsheetExchange::recodeQuestion()});
    EXPECT_EQ(exchange.recodeLog(), "m1:\ty=A\tx=B\t\n");
}

TEST_F(ExchangeFixture, ImportWithoutDataOnlyAnswers)
{
    EXPECT_FALSE(exchange.ImportIntoRvk(data, alleles));
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"no Excel data loaded/ pasted!"});
}

TEST_F(ExchangeFixture, NormalLayoutImport)
{
    pasteRows({"alias\t\tP1\tP2\tP3", "popt\tF2", "name=chr1", "nloc=2", "m1\t5\ta\tb\t", "m2\t1\tb\tb\tc", "", "name = chr 2",
               "m3\t0\ta\tb\tc", "m4\t2\tz~\tb\tc"});
    ASSERT_TRUE(exchange.ImportIntoRvk(data, alleles));
    ASSERT_EQ(data.GroupCount(), 2);
    EXPECT_EQ(data.GroupName(0), "chr1");
    EXPECT_EQ(data.GroupName(1), "chr 2");
    EXPECT_EQ(data.popt, "f2");
    EXPECT_EQ(data.nind, 3);
    EXPECT_EQ(data.IndividualNames, (std::vector<std::string>{"P1", "P2", "P3"}));
    EXPECT_EQ(data.GroupLoci(0)[0].Genotypes, "ab.");
    EXPECT_DOUBLE_EQ(data.GroupLoci(0)[0].Position, 5.0);
    EXPECT_EQ(data.GroupLoci(1)[0].Genotypes, "abc");
    // Four codes where three belong: told, and cut so every locus fits the individuals.
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"m4 number of alleles (4) does not seem to match other loci (3) !"});
    EXPECT_EQ(data.GroupLoci(1)[1].Genotypes, "zUb");
    EXPECT_TRUE(alleles.lookup('U').Used);
    EXPECT_EQ(data.IndividualNumbers, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(data.SelectedIndices, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(data.DataLoaded);
}

TEST_F(ExchangeFixture, RowsWithAnEmptyFirstCellContinueTheLocusAbove)
{
    // The group's last row never continues a locus: the empty row between groups adds nothing.
    pasteRows({"name=a", "m1\t0\ta\tb", "\t\tc\td", "m2\t1\tb\tb", "\t\ta\ta", "", "name=b", "m3\t0\ta\ta", "\t\tb\tb"});
    ASSERT_TRUE(exchange.ImportIntoRvk(data, alleles));
    EXPECT_EQ(data.nind, 4);
    EXPECT_EQ(data.GroupLoci(0)[0].Genotypes, "abcd");
    EXPECT_EQ(data.GroupLoci(0)[1].Genotypes, "bbaa");
    EXPECT_EQ(data.GroupLoci(1)[0].Genotypes, "aabb");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ExchangeFixture, AFailedSampleWithEmptyCellsKeepsItsColumnAndEveryName)
{
    struct Case
    {
        const char *what;
        std::vector<std::string> rows;
        std::vector<std::string> names;
    };
    const std::vector<Case> cases{
        {"named in the alias row", {"alias\t\tP1\tP2\tP3", "name=a", "m1\t0\ta\tb\t", "m2\t1\tb\ta\t"}, {"P1", "P2", "P3"}},
        {"counted by the nind row", {"nind=3", "name=a", "m1\t0\ta\tb\t", "m2\t1\tb\ta\t"}, {"1", "2", "3"}},
        {"the failed sample in the middle", {"alias\t\tP1\tP2\tP3", "name=a", "m1\t0\ta\t\tb", "m2\t1\tb\t\ta"}, {"P1", "P2", "P3"}},
    };
    for (const Case &c : cases) {
        Exchange f;
        f.pasteRows(c.rows);
        ASSERT_TRUE(f.exchange.ImportIntoRvk(f.data, f.alleles)) << c.what;
        EXPECT_EQ(f.data.nind, 3) << c.what;
        EXPECT_EQ(f.data.IndividualNames, c.names) << c.what;
        EXPECT_EQ(f.data.GroupLoci(0)[0].Genotypes.size(), 3u) << c.what;
        EXPECT_NE(f.data.GroupLoci(0)[1].Genotypes.find('.'), std::string::npos) << c.what;
        EXPECT_TRUE(f.ui.messages.empty()) << c.what;
    }
}

TEST_F(ExchangeFixture, AnAbsurdIndividualCountIsRefusedAndNothingReplaced)
{
    pasteRows({"nind=5111111111111", "name=a", "m1\t0\ta\tb"});
    data.nind = 7;
    EXPECT_FALSE(exchange.ImportIntoRvk(data, alleles));
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"The grid's nind row says 5111111111111; RVK reads at most 1000000 individuals"});
    EXPECT_EQ(data.nind, 7);
    EXPECT_EQ(data.GroupCount(), 0);
}

TEST_F(ExchangeFixture, ImputedPositionsNumberTheLoci)
{
    pasteRows({"name=a", "m1\t5\ta", "m2\t1\tb", "m3\tx\tb", "m4\tinf\ta", "m5\tNaN\ta"});
    exchange.imputeMapPositions = true;
    ASSERT_TRUE(exchange.ImportIntoRvk(data, alleles));
    EXPECT_DOUBLE_EQ(data.GroupLoci(0)[2].Position, 2.0);
    exchange.imputeMapPositions = false;
    ASSERT_TRUE(exchange.ImportIntoRvk(data, alleles));
    EXPECT_DOUBLE_EQ(data.GroupLoci(0)[0].Position, 5.0);
    // Texts that are not numbers, "inf" and "NaN" among them, give 0.
    for (size_t k = 2; k < 5; ++k)
        EXPECT_DOUBLE_EQ(data.GroupLoci(0)[k].Position, 0.0) << k;
    EXPECT_EQ(data.IndividualNames, std::vector<std::string>{"1"});
}

TEST_F(ExchangeFixture, AlternativeLayoutStartsAGroupWhereColumnOneChanges)
{
    pasteRows({"alternativelayout=yes", "popt\tri", "h", "m1\tg1\t0\ta\tb", "m2\tg1\t5\tb\tb", "m3\tG2\t0\ta\ta", "m4\tg2\t3\tb\ta",
               "m5\tg1\t9\ta\ta"});
    ASSERT_TRUE(exchange.ImportIntoRvk(data, alleles));
    ASSERT_EQ(data.GroupCount(), 3);
    EXPECT_EQ(data.GroupName(0), "g1");
    EXPECT_EQ(data.GroupName(1), "G2");
    EXPECT_EQ(data.GroupName(2), "g1");
    EXPECT_EQ(data.GroupLocusCount(0), 2);
    EXPECT_EQ(data.GroupLoci(1)[1].Genotypes, "ba");
    EXPECT_DOUBLE_EQ(data.GroupLoci(1)[1].Position, 3.0);
    EXPECT_EQ(data.nind, 2);
}

TEST_F(ExchangeFixture, CrossPollinatorsWithoutAnIndividualCount)
{
    pasteRows({"popt\tcp", "name=lg", "m1\t0\t<abxab>\t\tab\taa\tbb", "m2\t3\t<abxcd>\t{00}\tac\tbd\tad"});
    ASSERT_TRUE(exchange.ImportIntoRvk(data, alleles));
    EXPECT_EQ(data.nind, 3);
    EXPECT_EQ(data.GroupLoci(0)[0].SegType, "<abxab>");
    EXPECT_EQ(data.GroupLoci(0)[0].Phase, "{00}");
    EXPECT_EQ(data.GroupLoci(0)[1].Phase, "{00}");
    EXPECT_EQ(data.GroupLoci(0)[1].Genotypes, "acbdad");
}

TEST_F(ExchangeFixture, GridFormOfTheDataSetImportsBack)
{
    GenotypeData original;
    test::ScriptedUserInterface loadUi;
    ASSERT_TRUE(DataLoader(original, loadUi).OpenFiles({test::examplePath("listeria.rvk")}).completed);
    exchange.fillFromDataSet(original, "2024-05-01");
    EXPECT_EQ(exchange.grid().columnCount(), 122);
    EXPECT_EQ(row(4)[0], ";autoformatted RVK datafile - 2024-05-01");
    EXPECT_EQ(row(7)[0], "name=chr1");
    EXPECT_EQ(row(8)[1], "0.00");
    ASSERT_TRUE(exchange.ImportIntoRvk(data, alleles));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(data.nind, original.nind);
    EXPECT_EQ(data.IndividualNames, original.IndividualNames);
    ASSERT_EQ(data.GroupCount(), original.GroupCount());
    for (int k = 0; k < data.GroupCount(); ++k) {
        EXPECT_EQ(data.GroupName(k), original.GroupName(k));
        ASSERT_EQ(data.GroupLocusCount(k), original.GroupLocusCount(k));
        for (int i = 0; i < data.GroupLocusCount(k); ++i)
            EXPECT_EQ(data.GroupLoci(k)[static_cast<size_t>(i)].Genotypes, original.GroupLoci(k)[static_cast<size_t>(i)].Genotypes);
    }
}

TEST_F(ExchangeFixture, SpreadsheetFilesOpenAndSave)
{
    pasteRows({"keep"});
    const TextGrid before = exchange.grid();
    EXPECT_FALSE(exchange.openFile(test::testDataPath("no_such_sheet.xls")));
    EXPECT_EQ(exchange.grid(), before);
    EXPECT_EQ(ui.messages.size(), 1u);

    // A workbook written by a spreadsheet program, imported.
    ASSERT_TRUE(exchange.openFile(test::testDataPath("sheet_genotypes.xls")));
    EXPECT_EQ(exchange.captionPath(), test::testDataPath("sheet_genotypes.xls"));
    ASSERT_TRUE(exchange.ImportIntoRvk(data, alleles));
    EXPECT_EQ(data.GroupLoci(0).size(), 3u);
    EXPECT_EQ(data.GroupLoci(0)[1].Genotypes, "B.A");
    EXPECT_EQ(data.IndividualNames, (std::vector<std::string>{"P1", "P2", "P3"}));

    // Saved by the program and read back: the same grid, and the same import.
    test::TempFolder folder;
    ui.messages.clear();
    const std::string path = exchange.saveFile(folder.file("saved"));
    EXPECT_EQ(path, folder.file("saved.xls"));
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"Data saved as " + path});
    const TextGrid saved = exchange.grid();
    exchange.clear();
    ASSERT_TRUE(exchange.openFile(path));
    EXPECT_EQ(exchange.grid(), saved);
    GenotypeData again;
    ASSERT_TRUE(exchange.ImportIntoRvk(again, alleles));
    EXPECT_EQ(again.GroupLoci(0)[2].Name, "x,y");
    EXPECT_DOUBLE_EQ(again.GroupLoci(0)[2].Position, 1.25);
}

} // namespace
} // namespace rvk

namespace rvk {
namespace {

TEST_F(ExchangeFixture, CrossPollinatorGridFormImportsBack)
{
    // The grid's "nind" row counts individuals; each holds two codes.
    GenotypeData original;
    test::setIndividuals(original, {"A", "B"}, "cp");
    test::addGroup(original, "lg", {{"m1", 0, "abaa"}, {"m2", 2.5, "acbd"}});
    original.GroupLoci(0)[0].SegType = "<abxaa>";
    original.GroupLoci(0)[0].Phase = "{0-}";
    original.GroupLoci(0)[1].SegType = "<abxcd>";
    original.GroupLoci(0)[1].Phase = "{01}";
    exchange.fillFromDataSet(original, "today");
    EXPECT_EQ(exchange.grid().columnCount(), 6);
    EXPECT_EQ(row(8), (std::vector<std::string>{"m1", "0.00", "<abxaa>", "{0-}", "ab", "aa"}));
    ASSERT_TRUE(exchange.ImportIntoRvk(data, alleles));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(data.nind, 2);
    EXPECT_EQ(data.IndividualNames, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(data.GroupLoci(0)[1].Genotypes, "acbd");
    EXPECT_EQ(data.GroupLoci(0)[1].Phase, "{01}");
    EXPECT_EQ(data.GroupLoci(0)[1].SegType, "<abxcd>");
}

} // namespace
} // namespace rvk
