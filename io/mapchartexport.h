#pragma once

#include "core/genotypedata.h"
#include "core/userinterface.h"

#include <string>

namespace rvk {

class AlleleTable;

// "Create &Mapchart data": the graphical genotype of the individual of the individual view as
// a MapChart chart file (.mct): every group a chromosome with its markers, QTL intervals and
// segments coloured by the individual's codes; the allele colours go into the colour table.
class MapChartExport
{
public:
    // What the chart takes from the window besides the data.
    struct Options
    {
        std::string footerText;   // the "Footer text:" field
        std::string fontName;     // the marker-label font
        int fontSize = 8;         // in points
        std::string date;         // today's date as the window shows it
    };

    MapChartExport(const GenotypeData &data, const AlleleTable &alleles, UserInterface &ui);

    // The whole command. individualView: the view mode is "Individual"; otherwise (or without
    // data) only the warning. Asks for the file name, writes it and returns its path (the window
    // then hands it to the platform to open); empty when nothing was written.
    std::string ExportMapChart(bool individualView, const Options &options);
    // Writes the chart to path as given (".mct" appended only to a name without extension).
    std::string write(const std::string &chosenPath, const Options &options);

    // The chart lines (header and chromosomes) and the chart-option lines that follow them.
    static std::string chartText(const GenotypeData &data, const AlleleTable &alleles, const Options &options);
    static std::string chartOptionsText(const AlleleTable &alleles, const Options &options);
    // The segment lines of group k, without the "segments" heading.
    static std::string segmentLines(const GenotypeData &data, const AlleleTable &alleles, int group);
    // 1-based position of code in " " + the used codes: 2 for the first used code, 0 when unused.
    static int colorNumber(const AlleleTable &alleles, char code);

    static constexpr const char *DialogFilter = "MapChart 2.0 file (*.mct)|*.mct";
    static std::string notIndividualViewWarning()
    {
        return "Select an indiviual in `Individual view` before exporting to MapChart";
    }

private:
    const GenotypeData &mData;
    const AlleleTable &mAlleles;
    UserInterface &mUi;
};

} // namespace rvk
