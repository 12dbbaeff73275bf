#include "io/distanceexport.h"

#include "core/safefile.h"
#include "core/userinterface.h"
#include "io/spreadsheetwriter.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace rvk {

namespace {

std::string underscored(std::string label)
{
    std::replace(label.begin(), label.end(), ' ', '_');
    return label;
}

std::string lowerExtension(const std::string &path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    for (char &c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

void line(std::string &text, const std::string &content)
{
    text += content;
    text += "\r\n";
}

std::string megaText(const DistanceExportInput &in)
{
    const int n = in.entries;
    std::string text;
    line(text, "#mega");
    line(text, "!TITLE  Genetic distance between " + std::to_string(in.individuals) + " genotypes;");
    line(text, "!Format DataType=distance;");
    line(text, "!Description Measure " + in.measure + "  Nloc=" + std::to_string(in.loci) + " ;");
    line(text, "");
    for (int r = 1; r <= n; ++r)
        line(text, "#" + underscored(in.cell(0, r)));
    line(text, "");
    for (int r = 1; r <= n; ++r) {
        std::string row;
        for (int c = 1; c <= n; ++c)
            row += in.cell(c, r) + " ";
        line(text, row);
    }
    return text;
}

std::string nexusText(const DistanceExportInput &in)
{
    const int n = in.entries;
    const std::string ntax = "  DIMENSIONS ntax=" + std::to_string(n) + ";";
    std::string text;
    line(text, "#NEXUS");
    line(text, "");
    line(text, "[!Genetic distances for " + std::to_string(in.loci) + " loci;" + " Description Measure " + in.measure + "]");
    line(text, "");
    line(text, "BEGIN TAXA;");
    line(text, ntax);
    line(text, "TAXLABELS");
    for (int r = 1; r <= n; ++r)
        line(text, underscored(in.cell(0, r)));
    line(text, ";");
    line(text, "END;");
    line(text, "");
    line(text, "BEGIN distances;");
    line(text, ntax);
    for (const char *format : {"  FORMAT", "      triangle=LOWER", "      NO diagonal", "      labels", "      missing=?", "  ;", "MATRIX"})
        line(text, format);
    for (int r = 1; r <= n; ++r) {
        std::string row = "   " + underscored(in.cell(0, r)) + " ";
        for (int c = 1; c <= n; ++c)
            row += in.cell(c, r) + " ";
        line(text, row);
    }
    line(text, "   ;");
    line(text, "END;");
    return text;
}

std::string pairwiseText(const DistanceExportInput &in)
{
    std::string text;
    line(text, "pairwise  Genetic distance between " + std::to_string(in.individuals) + " genotypes; Measure " + in.measure
                   + "  Nloc=" + std::to_string(in.loci) + " ;");
    line(text, "Geno-1\tGeno-2\tDistance");
    for (int r = 2; r <= in.entries; ++r)
        for (int c = 1; c < r; ++c)
            line(text, in.cell(0, r) + "\t" + in.cell(c, 0) + "\t" + in.cell(c, r));
    return text;
}

} // namespace

const char *distanceFileExtension(DistanceFileFormat format)
{
    switch (format) {
    case DistanceFileFormat::Spreadsheet:
        return ".xls";
    case DistanceFileFormat::Mega:
        return ".meg";
    case DistanceFileFormat::Nexus:
        return ".nex";
    case DistanceFileFormat::PairwiseText:
        return ".txt";
    }
    return "";
}

DistanceFileFormat distanceFileFormatOfFilterEntry(int entry)
{
    switch (entry) {
    case 0:
        return DistanceFileFormat::Spreadsheet;
    case 1:
        return DistanceFileFormat::Mega;
    case 2:
        return DistanceFileFormat::Nexus;
    default:
        return DistanceFileFormat::PairwiseText;
    }
}

DistanceFileFormat distanceFileFormatOf(const std::string &path)
{
    const std::string extension = lowerExtension(path);
    for (const DistanceFileFormat format : {DistanceFileFormat::Spreadsheet, DistanceFileFormat::Mega, DistanceFileFormat::Nexus})
        if (extension == distanceFileExtension(format))
            return format;
    return DistanceFileFormat::PairwiseText;
}

std::string withDistanceFileExtension(const std::string &path, DistanceFileFormat format)
{
    if (std::filesystem::path(path).filename().string().find('.') != std::string::npos)
        return path;
    return path + distanceFileExtension(format);
}

std::string distanceFileText(const DistanceExportInput &input, DistanceFileFormat format)
{
    switch (format) {
    case DistanceFileFormat::Mega:
        return megaText(input);
    case DistanceFileFormat::Nexus:
        return nexusText(input);
    case DistanceFileFormat::PairwiseText:
        return pairwiseText(input);
    case DistanceFileFormat::Spreadsheet:
        break;
    }
    return {};
}

bool WriteDistanceFile(const DistanceExportInput &input, DistanceFileFormat format, const std::string &path,
                       std::string *errorText)
{
    if (format == DistanceFileFormat::Spreadsheet)
        return WriteGridAsSpreadsheet(input.entries + 1, input.entries + 1, input.cell, path, errorText);
    return writeFileReplacing(path, distanceFileText(input, format), errorText);
}

std::string SaveDistanceMatrix(const DistanceExportInput &input, UserInterface &ui)
{
    ui.information(SaveMatrixNote);
    const UserInterface::SaveChoice chosen = ui.saveFileChoice("Save matrix", SaveMatrixFilter, "");
    if (chosen.path.empty())
        return {};
    // The chosen type decides the format; a typed name keeps its own extension. A front end
    // that cannot tell the type leaves it to the name, a bare name meaning the first type.
    const DistanceFileFormat format = chosen.filterIndex >= 0
                                          ? distanceFileFormatOfFilterEntry(chosen.filterIndex)
                                          : distanceFileFormatOf(withDistanceFileExtension(chosen.path, DistanceFileFormat::Spreadsheet));
    const std::string path = withDistanceFileExtension(chosen.path, format);
    if (format == DistanceFileFormat::Spreadsheet) {
        const std::string tooLarge = spreadsheetSizeProblem(input.entries + 1, input.entries + 1);
        if (!tooLarge.empty()) {
            ui.warning(tooLarge + " Save the matrix as MEGA, NEXUS or pairwise text instead.");
            return {};
        }
    }
    std::string error;
    if (!WriteDistanceFile(input, format, path, &error)) {
        ui.error(error);
        return {};
    }
    if (format == DistanceFileFormat::Spreadsheet)
        ui.information("Data saved as " + path);
    return path;
}

} // namespace rvk
