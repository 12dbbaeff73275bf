#include "io/locusfileexport.h"
#include "io/mapchartexport.h"
#include "io/megaexport.h"
#include "settings/alleletable.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"
#include "tests/io/exportfixture.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

std::vector<std::string> linesOf(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

GenotypeData threePlants()
{
    GenotypeData data;
    test::setIndividuals(data, {"P1", "P2", "P3"});
    test::addGroup(data, "g1", {{"m1", 0, "abh"}, {"a_marker_name_of_30_chars_xyz", 5, "aab"}});
    test::addGroup(data, "g2", {{"m3", 1, "hhh"}});
    data.CurrentGroupName = "g2";
    return data;
}

TEST(LocusFileExport, AllTickedIndividuals)
{
    const auto lines = linesOf(LocusFileExport::fileText(threePlants(), false));
    const std::string pad(25, ' ');
    const std::vector<std::string> expected = {
        ";alias", "nind=3", "popt = f2", "name = g2", "nloc = 3", "",
        ";" + pad + "\tPPP", ";" + pad + "\t123", ";" + pad + "\t   ", ";" + pad + "\t   ", ";" + pad + "\t   ",
        "", ";name=g1", ";nloc=2", "m1" + std::string(23, ' ') + "\tabh", "a_marker_name_of_30_chars\taab",
        "", ";name=g2", ";nloc=1", "m3" + std::string(23, ' ') + "\thhh"};
    EXPECT_EQ(lines, expected);
}

TEST(LocusFileExport, FilteringWritesTheSelectionOrEveryoneWithUnknowns)
{
    GenotypeData data = threePlants();
    data.Selectionyesno = true;
    data.Ticked[1] = 0;
    auto subset = linesOf(LocusFileExport::fileText(data, false));
    EXPECT_EQ(subset[0], ";loc file is a selected subset of a larger set");
    EXPECT_EQ(subset[2], "nind=2");
    EXPECT_EQ(subset.back(), "m3" + std::string(23, ' ') + "\thh");
    auto everyone = linesOf(LocusFileExport::fileText(data, true));
    EXPECT_EQ(everyone[2], "nind=3");
    EXPECT_EQ(everyone.back(), "m3" + std::string(23, ' ') + "\thUh");

    // The command asks only while filtering is on, and confirms with the path it wrote.
    test::TempFolder folder;
    test::ScriptedUserInterface ui;
    ui.saveChoices.push_back(folder.file("out.v1.txt"));
    ui.answers.push_back(true);
    const std::string path = LocusFileExport(data, ui).ExportLocusFile();
    EXPECT_EQ(path, folder.file("out.loc"));
    EXPECT_EQ(ui.questions, std::vector<std::string>{"Save unselected as unknown ?"});
    EXPECT_EQ(ui.questionStyles, std::vector<std::string>{"information"});
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"File succesfully saved as " + path});
    EXPECT_NE(test::readWholeFile(path).find("\thUh"), std::string::npos);
}

TEST(LocusFileExport, CrossPollinatorsWriteTwoCodesEach)
{
    GenotypeData data;
    test::setIndividuals(data, {"A", "B"}, "cp");
    test::addGroup(data, "g", {{"m1", 0, "abcd"}});
    data.Selectionyesno = true;
    data.Ticked[0] = 0;
    EXPECT_EQ(linesOf(LocusFileExport::fileText(data, true)).back(), "m1" + std::string(23, ' ') + "\tUUcd");
}

TEST(MegaExport, CodesAsAminoAcids)
{
    GenotypeData data;
    test::setIndividuals(data, {"plant 7", "x"});
    test::addGroup(data, "g1", {{"l1", 0, "Aa"}, {"l2", 1, "Bb"}, {"l3", 2, "Jj"}, {"l4", 3, "Oo"}, {"l5", 4, "Uu"}, {"l6", 5, "at"}, {"l7", 6, "bz"}});
    test::addGroup(data, "g2", {{"l8", 0, "ab"}});
    EXPECT_EQ(MegaExport::sequenceLine(data, 0, 0), "#plant_7 A VYW?A V");
    EXPECT_EQ(MegaExport::sequenceLine(data, 0, 1), "#x A VYW?T ?");
    const auto lines = linesOf(MegaExport::fileText(data));
    ASSERT_EQ(lines.size(), 4u + 2 * 4u);
    EXPECT_EQ(lines[0], "#MEGA");
    EXPECT_EQ(lines[2], "!Format DataType=Protein Missing=?;");
    EXPECT_EQ(lines[3], "!Description name=g1Pop: f2  2 indiv. , coding: A/a=A etc until T/t=T except B=V, J=Y, O=W & U=?;");
    EXPECT_EQ(lines[5], "!Domain=group_1;");
    EXPECT_EQ(lines[9], "!Domain=group_2;");
    EXPECT_EQ(lines[10], "#plant_7 A ");
    EXPECT_EQ(lines[11], "#x V ");

    test::TempFolder folder;
    test::ScriptedUserInterface ui;
    EXPECT_EQ(MegaExport(data, ui).write(folder.file("set.final.x")), folder.file("set.meg"));
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"File succesfully saved as " + folder.file("set.meg")});
}

TEST(MegaExport, CrossPollinatorsKeepEachIndividualsPair)
{
    GenotypeData data;
    test::setIndividuals(data, {"a", "b"}, "cp");
    test::addGroup(data, "g", {{"l1", 0, "abcd"}, {"l2", 1, "efgh"}});
    EXPECT_EQ(MegaExport::sequenceLine(data, 0, 1), "#b CD GH");
}

struct MapChartFixture : ::testing::Test
{
    GenotypeData data;
    AlleleTable alleles;
    MapChartExport::Options options{"footer", "Arial", 9, "2024-05-01"};

    MapChartFixture()
    {
        test::setIndividuals(data, {"P1", "P2"});
        alleles.markUsed('A');
        alleles.markUsed('B');
    }
};

TEST_F(MapChartFixture, SegmentsRunBetweenMarkerMidpoints)
{
    test::addGroup(data, "g1", {{"m1", 0, "AB"}, {"m2", 10, "BB"}, {"m3", 30, "AA"}});
    EXPECT_EQ(MapChartExport::colorNumber(alleles, 'A'), 2);
    EXPECT_EQ(MapChartExport::colorNumber(alleles, 'B'), 3);
    EXPECT_EQ(MapChartExport::colorNumber(alleles, 'H'), 0);
    EXPECT_EQ(MapChartExport::segmentLines(data, alleles, 0), "0.0 5.0 c2\r\n5.0 20.0 c3\r\n20.0 30.0 c2\r\n");
    data.CurrentGroupName = "g1";
    const auto lines = linesOf(MapChartExport::chartText(data, alleles, options));
    const std::vector<std::string> expected = {";RVK derived MapChart file", ";2024-05-01", ";g1", ";footer", ";individual: 1  [P1]",
                                               "chrom 1", "m1 0.0", "m2 10.0", "m3 30.0", "segments", "0.0 5.0 c2",
                                               "5.0 20.0 c3", "20.0 30.0 c2"};
    EXPECT_EQ(lines, expected);
}

TEST_F(MapChartFixture, QtlLociAndTheColourTable)
{
    test::addGroup(data, "g1", {{"q1", 12.5, "BA", 10, 15}});
    data.CurrentIndividual = 1;
    const auto lines = linesOf(MapChartExport::chartText(data, alleles, options));
    const std::vector<std::string> tail(lines.end() - 5, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"chrom 1", "QTLs", "q1 10.0 10.0 10.0 15.0 c3", "segments", "12.5 12.5 c3"}));

    alleles.setColor(AlleleTable::indexOf('A'), 255);
    const auto chartOptions = linesOf(MapChartExport::chartOptionsText(alleles, options));
    EXPECT_EQ(chartOptions[5], "LocusFontName=Arial");
    EXPECT_EQ(chartOptions[6], "LocusFontSize=9");
    EXPECT_EQ(chartOptions[9], "LegendFontName=Arial");
    EXPECT_EQ(chartOptions[14], "16777215");
    EXPECT_EQ(chartOptions[16], "255");
    EXPECT_EQ(chartOptions.size(), 18u + 8u);
}

TEST_F(MapChartFixture, OnlyFromTheIndividualView)
{
    test::addGroup(data, "g1", {{"m1", 0, "AB"}});
    test::ScriptedUserInterface ui;
    ui.saveChoices.push_back("/nonexistent/x.mct");
    EXPECT_EQ(MapChartExport(data, alleles, ui).ExportMapChart(false, options), "");
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"Select an indiviual in `Individual view` before exporting to MapChart"});
    EXPECT_EQ(ui.saveChoices.size(), 1u);

    test::TempFolder folder;
    test::ScriptedUserInterface ok;
    ok.saveChoices.push_back(folder.file("chart"));
    EXPECT_EQ(MapChartExport(data, alleles, ok).ExportMapChart(true, options), folder.file("chart.mct"));
    EXPECT_EQ(test::readWholeFile(folder.file("chart.mct")).substr(0, 28), ";RVK derived MapChart file\r\n");
}

} // namespace
} // namespace rvk
