#pragma once
// Small data sets for the distance and tree tests: one linkage group per entry of groups, each
// given individual by individual as a text of codes (two per locus for "cp").

#include "core/genotypedata.h"
#include "settings/alleletable.h"

#include <string>
#include <vector>

namespace rvk::test {

inline GenotypeData makeDistanceData(const std::vector<std::vector<std::string>> &groups, const std::string &popt = "f2")
{
    GenotypeData data;
    data.popt = popt;
    const size_t width = popt == "cp" ? 2 : 1;
    const size_t nind = groups.empty() ? 0 : groups.front().size();
    data.nind = static_cast<int>(nind);
    for (size_t g = 0; g < groups.size(); ++g) {
        LinkageGroup group;
        group.Name = "chr" + std::to_string(g + 1);
        group.PopType = popt;
        const size_t loci = groups[g].empty() ? 0 : groups[g].front().size() / width;
        for (size_t k = 0; k < loci; ++k) {
            Tlocinfo locus;
            locus.Name = "m" + std::to_string(g + 1) + "_" + std::to_string(k + 1);
            locus.Position = static_cast<double>(k);
            for (const std::string &row : groups[g])
                locus.Genotypes += row.substr(k * width, width);
            group.Loci.push_back(locus);
        }
        data.AppendGroup(std::move(group));
    }
    for (size_t i = 0; i < nind; ++i) {
        data.IndividualNames.push_back("ind" + std::to_string(i + 1));
        data.IndividualNumbers.push_back(static_cast<int>(i + 1));
    }
    data.TickAll();
    data.DataLoaded = true;
    return data;
}

} // namespace rvk::test
