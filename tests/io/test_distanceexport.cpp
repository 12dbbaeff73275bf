#include "io/distanceexport.h"

#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace rvk {
namespace {

// A grid as the distance page holds it: labels, then the lower triangle row by row.
DistanceExportInput inputOf(std::vector<std::string> labels, std::vector<std::vector<std::string>> rows,
                            const std::string &measure = "Jaccard")
{
    DistanceExportInput in;
    in.entries = static_cast<int>(labels.size());
    in.cell = [labels, rows](int column, int row) -> std::string {
        if (row == 0 && column == 0)
            return "";
        if (row == 0)
            return labels[static_cast<size_t>(column - 1)];
        if (column == 0)
            return labels[static_cast<size_t>(row - 1)];
        if (column >= row)
            return "";
        return rows[static_cast<size_t>(row - 2)][static_cast<size_t>(column - 1)];
    };
    in.individuals = 7;
    in.measure = measure;
    in.loci = 12;
    return in;
}

TEST(DistanceExport, OneEntryMatrixInEveryTextFormat)
{
    const DistanceExportInput in = inputOf({"P1"}, {});
    EXPECT_EQ(distanceFileText(in, DistanceFileFormat::Mega),
              "#mega\r\n"
              "!TITLE  Genetic distance between 7 genotypes;\r\n"
              "!Format DataType=distance;\r\n"
              "!Description Measure Jaccard  Nloc=12 ;\r\n"
              "\r\n"
              "#P1\r\n"
              "\r\n"
              " \r\n");
    EXPECT_EQ(distanceFileText(in, DistanceFileFormat::Nexus),
              "#NEXUS\r\n"
              "\r\n"
              "[!Genetic distances for 12 loci; Description Measure Jaccard]\r\n"
              "\r\n"
              "BEGIN TAXA;\r\n"
              "  DIMENSIONS ntax=1;\r\n"
              "TAXLABELS\r\n"
              "P1\r\n"
              ";\r\n"
              "END;\r\n"
              "\r\n"
              "BEGIN distances;\r\n"
              "  DIMENSIONS ntax=1;\r\n"
              "  FORMAT\r\n"
              "      triangle=LOWER\r\n"
              "      NO diagonal\r\n"
              "      labels\r\n"
              "      missing=?\r\n"
              "  ;\r\n"
              "MATRIX\r\n"
              "   P1  \r\n"
              "   ;\r\n"
              "END;\r\n");
    EXPECT_EQ(distanceFileText(in, DistanceFileFormat::PairwiseText),
              "pairwise  Genetic distance between 7 genotypes; Measure Jaccard  Nloc=12 ;\r\n"
              "Geno-1\tGeno-2\tDistance\r\n");
}

TEST(DistanceExport, BlanksInLabelsAndEmptyCells)
{
    // Three entries; the pair (line a, line c) was left out by the selection.
    const DistanceExportInput in = inputOf({"line a", "b", "line c"}, {{"0.25"}, {"", "0.50"}}, "Allele sharing/SM");
    const std::string mega = distanceFileText(in, DistanceFileFormat::Mega);
    EXPECT_NE(mega.find("\r\n#line_a\r\n#b\r\n#line_c\r\n\r\n   \r\n0.25   \r\n 0.50  \r\n"), std::string::npos) << mega;
    const std::string nexus = distanceFileText(in, DistanceFileFormat::Nexus);
    EXPECT_NE(nexus.find("TAXLABELS\r\nline_a\r\nb\r\nline_c\r\n;\r\n"), std::string::npos) << nexus;
    EXPECT_NE(nexus.find("MATRIX\r\n   line_a    \r\n   b 0.25   \r\n   line_c  0.50  \r\n   ;\r\nEND;\r\n"),
              std::string::npos)
        << nexus;
    EXPECT_EQ(distanceFileText(in, DistanceFileFormat::PairwiseText),
              "pairwise  Genetic distance between 7 genotypes; Measure Allele sharing/SM  Nloc=12 ;\r\n"
              "Geno-1\tGeno-2\tDistance\r\n"
              "b\tline a\t0.25\r\n"
              "line c\tline a\t\r\n"
              "line c\tb\t0.50\r\n");
}

TEST(DistanceExport, FormatAndExtensionFollowTheChosenName)
{
    struct Case
    {
        const char *chosen;
        const char *written;
        DistanceFileFormat format;
    };
    const Case cases[] = {
        {"/d/m", "/d/m.xls", DistanceFileFormat::Spreadsheet},
        {"/d/m.MEG", "/d/m.MEG", DistanceFileFormat::Mega},
        {"/d/m.nex", "/d/m.nex", DistanceFileFormat::Nexus},
        {"/d/m.txt", "/d/m.txt", DistanceFileFormat::PairwiseText},
        {"/d.x/m.dat", "/d.x/m.dat", DistanceFileFormat::PairwiseText}, // an extension is kept
        {"/d.x/m", "/d.x/m.xls", DistanceFileFormat::Spreadsheet},
    };
    for (const Case &c : cases) {
        const std::string path = withDistanceFileExtension(c.chosen, DistanceFileFormat::Spreadsheet);
        EXPECT_EQ(path, c.written);
        EXPECT_EQ(distanceFileFormatOf(path), c.format) << c.chosen;
    }
}

TEST(DistanceExport, SaveMatrixCommand)
{
    test::TempFolder folder;
    test::ScriptedUserInterface ui;
    const DistanceExportInput in = inputOf({"a", "b"}, {{"0.25"}});
    ui.saveChoices = {folder.file("m.nex"), folder.file("sheet"), ""};
    EXPECT_EQ(SaveDistanceMatrix(in, ui), folder.file("m.nex"));
    EXPECT_EQ(ui.messages.at(0).text, SaveMatrixNote);
    EXPECT_EQ(test::readWholeFile(folder.file("m.nex")), distanceFileText(in, DistanceFileFormat::Nexus));

    ui.messages.clear();
    EXPECT_EQ(SaveDistanceMatrix(in, ui), folder.file("sheet.xls"));
    EXPECT_TRUE(std::filesystem::exists(folder.file("sheet.xls")));
    EXPECT_EQ(ui.texts().back(), "Data saved as " + folder.file("sheet.xls"));

    EXPECT_EQ(SaveDistanceMatrix(in, ui), ""); // cancelled

    ui.saveChoices = {folder.file("missing/m.meg")};
    ui.messages.clear();
    EXPECT_EQ(SaveDistanceMatrix(in, ui), "");
    EXPECT_EQ(ui.messages.back().kind, UserInterface::MessageKind::Error);
}

} // namespace
} // namespace rvk
