#pragma once
// Small data sets for the statistics tests, written individual by individual.

#include "core/genotypedata.h"
#include "settings/alleletable.h"
#include "support/testdatasets.h"

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
    data.nind = groups.empty() ? 0 : static_cast<int>(groups.front().individuals.size());
    for (size_t g = 0; g < groups.size(); ++g)
        data.AppendGroup(groupFromRows(static_cast<int>(g + 1), groups[g].positions, groups[g].individuals, popt));
    finishTestData(data, groups.empty() ? 0 : groups.front().individuals.size());
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
