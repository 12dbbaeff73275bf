#pragma once
// Marker statistics: for every locus of every group, how many individuals carry each allele,
// the most frequent (major) allele, the 1:2:1 segregation test of F2 loci and a diversity sum
// over all loci. The result feeds the marker-statistics window (grid, tree, pie), its "save" and
// "Save as Excel File", the consensus picture and, through MajorAllele and MajorAlleleShare of
// the loci, the consensus row of the all-in-one view.

#include "core/linkagegroup.h"
#include "render/markerstatspicture.h"

#include <string>
#include <vector>

namespace rvk {

class AlleleTable;
class GenotypeData;

class MarkerStatistics
{
public:
    // X^2 above which an F2 locus is starred as distorted.
    static constexpr double SegregationThreshold = 3.84;

    // Texts of the window and its two saves.
    static constexpr const char *SelectedOnlyNote = "Note: data are for selected individuals only";
    static constexpr const char *GridHint = "rightclick to paste data in place";
    static constexpr const char *SaveFilter = "text (*.txt)|*.txt";
    static constexpr const char *ExcelFilter = "Excel|*.xls";
    static constexpr const char *SavedMessage = "Data saved as "; // followed by the file name

    int rowCount() const { return static_cast<int>(mRows.size()); }
    const std::vector<char> &usedCodes() const { return mUsedCodes; }

    // Per locus row (all groups in order, loci in position order).
    int group(int row) const { return mRows[static_cast<size_t>(row)].group; }
    int locus(int row) const { return mRows[static_cast<size_t>(row)].locus; }
    int count(int row, int usedCodeIndex) const;
    // 100 * count / the number of all individuals, counted or not.
    double share(int row, int usedCodeIndex) const;
    // Counted individuals whose code is not 'u'.
    int typed(int row) const { return mRows[static_cast<size_t>(row)].typed; }
    char majorAllele(int row) const { return mRows[static_cast<size_t>(row)].major; }
    double majorShare(int row) const { return mRows[static_cast<size_t>(row)].majorShare; } // percent
    double chiSquare(int row) const { return mRows[static_cast<size_t>(row)].chiSquare; }
    // Whether the row gets the star: F2 data and X^2 above the threshold.
    bool distorted(int row) const;
    bool isF2() const { return mF2; }

    // The sum over all loci of typed / count(c) for every code c other than 'u' that occurs.
    double diversity() const { return mDiversity; }
    // divstatlabel: the diversity as "%4.2f".
    std::string diversityText() const;
    // Whether only selected individuals were counted (the window's red note).
    bool selectionFiltered() const { return mFiltered; }

    // The grid markstatgrid: 6 + 2u columns and one header row.
    int gridColumnCount() const { return 6 + 2 * static_cast<int>(mUsedCodes.size()); }
    std::vector<std::string> gridHeader() const;
    std::string gridCell(int row, int column) const;
    // "Save as Excel File": the header row and one row per locus.
    std::vector<std::vector<std::string>> spreadsheetGrid() const;

    // The tree TreeView2: the root, one node per group, per locus and per used allele.
    static constexpr const char *TreeRoot = "All Groups";
    std::string groupNodeText(int group) const;
    std::string locusNodeText(int row) const;
    std::string alleleNodeText(int row, int usedCodeIndex) const;
    // The pie of a locus node: one slice per allele line, read from the lines' texts.
    std::vector<PieSlice> pieSlices(int row) const;

    // "save": the tree, one node per line, indented by one tab per level below the root, each
    // line ended by CR LF.
    std::string reportText() const;

    // One list of consensus loci per group: each locus's name, position, type and phase with the
    // major allele as its only genotype and the major share (percent) in QtlEnd.
    const std::vector<LinkageGroup> &consensusGroups() const { return mConsensus; }

private:
    friend MarkerStatistics computeMarkerStatistics(const GenotypeData &, const AlleleTable &);
    struct Row
    {
        int group = 0;
        int locus = 0;
        int typed = 0;
        char major = 'U';
        double majorShare = 0.0;
        double chiSquare = 0.0;
    };

    std::vector<char> mUsedCodes;
    std::vector<Row> mRows;
    std::vector<int> mCounts; // per row, one count per used code
    double mShareBase = 0.0; // the number the shares divide by
    double mDiversity = 0.0;
    bool mF2 = false;
    bool mFiltered = false;
    // Also the source of the group and locus names and positions of the texts.
    std::vector<LinkageGroup> mConsensus;
};

// Counts every locus over the individuals that count: the selected ones when "Apply Selection
// Filtering" is on, else all. Codes are read as stored (no display coding); for
// cross-pollinators both characters of each individual are counted and the shares are taken
// of twice the number of individuals.
MarkerStatistics computeMarkerStatistics(const GenotypeData &data, const AlleleTable &table);

// Writes MajorAllele and MajorAlleleShare (a fraction) of every locus from the statistics.
void storeMajorAlleles(GenotypeData &data, const MarkerStatistics &statistics);

// The silent run before an all-in-one drawing: computes and stores the major alleles.
MarkerStatistics refreshMajorAlleles(GenotypeData &data, const AlleleTable &table);

// The report "save" writes, in one call.
std::string markerStatisticsReport(const GenotypeData &data, const AlleleTable &table);

// The upper-tail probability of a 1:2:1 segregation X^2 (two degrees of freedom), for readers
// who want more than the star.
double segregationProbability(double chiSquare);

} // namespace rvk
