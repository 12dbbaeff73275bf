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

TEST(DistanceExport, TheChosenFilterEntryGivesTheFormatAndANamedExtensionStays)
{
    struct Case
    {
        const char *name;  // as typed in the file choice
        int filterEntry;   // 0 Excel, 1 MEGA, 2 NEXUS, 3 pairwise text
        const char *saved; // the file written
        std::string start; // its first bytes
    };
    const std::string sheetStart("\x09\x08\x08\x00", 4);
    const Case cases[] = {
        {"dist.v2", 1, "dist.v2", "#mega\r\n"},
        {"m.meg", 2, "m.meg", "#NEXUS\r\n"},
        {"list.xls", 3, "list.xls", "pairwise  Genetic distance"},
        {"table.txt", 0, "table.txt", sheetStart},
        {"bare", 1, "bare.meg", "#mega\r\n"},
        {"bare2", 2, "bare2.nex", "#NEXUS\r\n"},
        {"bare3", 3, "bare3.txt", "pairwise  Genetic distance"},
        {"bare4", 0, "bare4.xls", sheetStart},
        {"d.x/inner", 1, "d.x/inner.meg", "#mega\r\n"}, // a dot in a folder name is no extension
    };
    test::TempFolder folder;
    std::filesystem::create_directory(folder.file("d.x"));
    const DistanceExportInput in = inputOf({"a", "b"}, {{"0.25"}});
    for (const Case &c : cases) {
        test::ScriptedUserInterface ui;
        ui.saveChoices = {folder.file(c.name)};
        ui.saveFilterChoices = {c.filterEntry};
        EXPECT_EQ(SaveDistanceMatrix(in, ui), folder.file(c.saved)) << c.name;
        EXPECT_EQ(test::readWholeFile(folder.file(c.saved)).substr(0, c.start.size()), c.start) << c.name;
    }
}

TEST(DistanceExport, AMatrixWiderThanASpreadsheetFileIsNotSavedAsOne)
{
    test::TempFolder folder;
    // 255 entries and their labels fill the 256 columns a spreadsheet file holds; 3,000 do not.
    const auto square = [](int entries) {
        DistanceExportInput in;
        in.entries = entries;
        in.cell = [](int c, int r) { return c == 0 || r == 0 ? "e" + std::to_string(c + r) : c < r ? "0.50" : ""; };
        return in;
    };
    test::ScriptedUserInterface ui;
    ui.saveChoices = {folder.file("fits.xls"), folder.file("wide.xls"), folder.file("wide.meg")};
    ui.saveFilterChoices = {0, 0, 1};
    EXPECT_EQ(SaveDistanceMatrix(square(255), ui), folder.file("fits.xls"));
    EXPECT_EQ(ui.messages.back().text, "Data saved as " + folder.file("fits.xls"));

    EXPECT_EQ(SaveDistanceMatrix(square(3000), ui), "");
    EXPECT_FALSE(std::filesystem::exists(folder.file("wide.xls")));
    EXPECT_EQ(ui.messages.back().kind, UserInterface::MessageKind::Warning);
    EXPECT_EQ(ui.messages.back().text, "The table has 3001 columns; a spreadsheet file (.xls) holds at most 256 columns "
                                       "and 65536 rows. Save the matrix as MEGA, NEXUS or pairwise text instead.");
    // The text formats take it.
    EXPECT_EQ(SaveDistanceMatrix(square(3000), ui), folder.file("wide.meg"));
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
