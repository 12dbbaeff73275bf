#include "stats/viewstatistics.h"

#include "core/textformat.h"
#include "settings/alleletable.h"

namespace rvk {

std::string ViewStatistics::cell(int row, int column) const
{
    const Row &r = mRows[static_cast<size_t>(row)];
    switch (column) {
    case 0:
        return std::string(1, r.code);
    case 1:
        return formatText("%2.1f ", {mGridTotal > 0 ? 100.0 * r.length / mGridTotal : 0.0});
    case 2:
        return formatText("%2.1f ", {r.length});
    default:
        return {};
    }
}

std::vector<std::vector<std::string>> ViewStatistics::grid(bool listedBefore) const
{
    std::vector<std::vector<std::string>> cells;
    if (listedBefore || !mRows.empty())
        cells.push_back({"", ShareHeader, LengthHeader});
    else
        cells.push_back({"", InitialShareHeader, ""});
    for (int row = 0; row < rowCount(); ++row)
        cells.push_back({cell(row, 0), cell(row, 1), cell(row, 2)});
    return cells;
}

std::vector<ViewPieSlice> ViewStatistics::pieSlices() const
{
    std::vector<ViewPieSlice> slices;
    slices.reserve(mRows.size());
    for (const Row &r : mRows)
        slices.push_back({r.code, mPieTotal > 0 ? r.length / mPieTotal : 0.0, std::string(1, r.code)});
    return slices;
}

ViewStatistics computeViewStatistics(const AlleleTable &table)
{
    ViewStatistics result;
    for (int i = 0; i < ViewStatistics::ListedEntries; ++i) {
        const Tcolorset &entry = table.entry(i);
        result.mPieTotal += entry.DrawnLength;
        if (entry.Used && entry.DrawnLength > 0) {
            result.mRows.push_back({AlleleTable::codeOf(i), entry.DrawnLength});
            result.mGridTotal += entry.DrawnLength;
        }
    }
    return result;
}

std::string linkageGroupViewTitle(int groupNumber, int firstIndividual, int lastIndividual)
{
    return "Linkage group " + formatText("%d [%d:%d]  <", {groupNumber, firstIndividual, lastIndividual}) + ">";
}

std::string individualViewTitle(const std::string &number, const std::string &name)
{
    return "No " + number + " [" + name + "]";
}

} // namespace rvk
