#pragma once
// Small data sets for the LD tests, written locus by locus.

#include "core/genotypedata.h"
#include "settings/alleletable.h"
#include "support/testdatasets.h"

#include <string>
#include <vector>

namespace rvk::test {

struct LdTestLocus
{
    std::string name;
    double position;
    std::string genotypes; // one code per individual
};

// One linkage group per entry of groups; every locus must have the same number of individuals.
inline GenotypeData makeLdData(const std::vector<std::vector<LdTestLocus>> &groups, const std::string &popt = "f2")
{
    GenotypeData data;
    data.popt = popt;
    size_t nind = 0;
    for (size_t g = 0; g < groups.size(); ++g) {
        LinkageGroup group;
        group.Name = "chr" + std::to_string(g + 1);
        group.PopType = popt;
        for (const LdTestLocus &l : groups[g]) {
            Tlocinfo locus;
            locus.Name = l.name;
            locus.Position = l.position;
            locus.Genotypes = l.genotypes;
            nind = popt == "cp" ? l.genotypes.size() / 2 : l.genotypes.size();
            group.Loci.push_back(locus);
        }
        data.AppendGroup(std::move(group));
    }
    finishTestData(data, nind);
    return data;
}

} // namespace rvk::test
