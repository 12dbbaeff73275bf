#pragma once
// Small data sets for the distance and tree tests: one linkage group per entry of groups, each
// given individual by individual as a text of codes (two per locus for "cp").

#include "core/genotypedata.h"
#include "settings/alleletable.h"
#include "support/testdatasets.h"

#include <string>
#include <vector>

namespace rvk::test {

inline GenotypeData makeDistanceData(const std::vector<std::vector<std::string>> &groups, const std::string &popt = "f2")
{
    GenotypeData data;
    data.popt = popt;
    const size_t width = popt == "cp" ? 2 : 1;
    data.nind = groups.empty() ? 0 : static_cast<int>(groups.front().size());
    for (size_t g = 0; g < groups.size(); ++g) {
        std::vector<double> positions(groups[g].empty() ? 0 : groups[g].front().size() / width);
        for (size_t k = 0; k < positions.size(); ++k)
            positions[k] = static_cast<double>(k);
        data.AppendGroup(groupFromRows(static_cast<int>(g + 1), positions, groups[g], popt));
    }
    finishTestData(data, groups.empty() ? 0 : groups.front().size());
    return data;
}

} // namespace rvk::test
