#include "core/statustexts.h"

namespace rvk {

std::string dataSummaryText(const GenotypeData &data, int group)
{
    if (group < 0 || group >= data.GroupCount())
        return emptyDataSummaryText();
    return std::to_string(data.nind) + " individuals/ " + std::to_string(data.GroupLocusCount(group)) + " loci/ Pop:"
         + data.GroupPopType(group);
}

std::string emptyDataSummaryText() { return "0 individuals / 0 loci"; }

std::string groupSelectorText(const GenotypeData &data, int group)
{
    return std::to_string(group + 1) + ": " + data.GroupName(group);
}

} // namespace rvk
