#pragma once
// Small data sets for the statistics tests, written individual by individual.

#include "core/genotypedata.h"
#include "settings/alleletable.h"

#include <string>
#include <vector>

namespace rvk::test {

// One linkage group: the positions of its loci and, per individual, its codes at these loci in
// order (two characters per locus for cross-pollinators).
struct GroupRows
{
    std::vector<double> positions;
    std::vector<std::string> individuals;
};

inline GenotypeData makeStatsData(const std::vector<GroupRows> &groups, const std::string &popt = "f2")
{
    GenotypeData data;
    data.popt = popt;
    const size_t width = popt == "cp" ? 2 : 1;
    const size_t nind = groups.empty() ? 0 : groups.front().individuals.size();
    data.nind = static_cast<int>(nind);
    for (size_t g = 0; g < groups.size(); ++g) {
        LinkageGroup group;
        group.Name = "chr" + std::to_string(g + 1);
        group.PopType = popt;
        for (size_t k = 0; k < groups[g].positions.size(); ++k) {
            Tlocinfo locus;
            locus.Name = "m" + std::to_string(g + 1) + "_" + std::to_string(k + 1);
            locus.Position = groups[g].positions[k];
            for (const std::string &row : groups[g].individuals)
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

// The allele table as the reader leaves it: Used set for every code in the data.
inline AlleleTable tableFor(const GenotypeData &data)
{
    AlleleTable table;
    for (const auto &group : data.LinkageGroups)
        for (const Tlocinfo &locus : group->Loci)
            for (char c : locus.Genotypes)
                table.markUsed(c);
    return table;
}

} // namespace rvk::test
