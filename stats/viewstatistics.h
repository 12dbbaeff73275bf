#pragma once
// Current-view statistics: how much of the map length drawn in the last picture each allele
// carries, from the drawn lengths the views leave in the allele table.

#include "render/viewstatspicture.h"

#include <string>
#include <vector>

namespace rvk {

class AlleleTable;

class ViewStatistics
{
public:
    // Only the codes '*' to 't' are listed; 'u' to 'z' never appear.
    static constexpr int ListedEntries = 75;
    static constexpr const char *InitialShareHeader = "% of Total";
    static constexpr const char *ShareHeader = " % ";
    static constexpr const char *LengthHeader = "cM";

    struct Row
    {
        char code;
        double length; // cM
    };

    // The listed alleles in table order: used and with drawn length.
    const std::vector<Row> &rows() const { return mRows; }
    int rowCount() const { return static_cast<int>(mRows.size()); }
    // Grid total (listed entries) and pie total (all 75 entries, listed or not).
    double gridTotal() const { return mGridTotal; }
    double pieTotal() const { return mPieTotal; }

    // Grid cell of a listed row (0-based): the code, "%2.1f " of the share in percent, "%2.1f "
    // of the length, each number with its trailing blank.
    std::string cell(int row, int column) const;
    // The grid as the window shows it after a refresh: a header row and one row per allele.
    // The headers of a fresh window are "", "% of Total", ""; once an allele has been listed
    // they read "", " % ", "cM" for good.
    std::vector<std::vector<std::string>> grid(bool listedBefore) const;

    // The slices of the pie: each listed allele's fraction of the pie total, labelled by its code.
    std::vector<ViewPieSlice> pieSlices() const;

private:
    friend ViewStatistics computeViewStatistics(const AlleleTable &);
    std::vector<Row> mRows;
    double mGridTotal = 0.0;
    double mPieTotal = 0.0;
};

ViewStatistics computeViewStatistics(const AlleleTable &table);

// Window titles set after each redraw of the linkage-group and the individual view.
std::string linkageGroupViewTitle(int groupNumber, int firstIndividual, int lastIndividual);
std::string individualViewTitle(const std::string &number, const std::string &name);

} // namespace rvk
