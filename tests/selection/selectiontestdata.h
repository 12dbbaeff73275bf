#pragma once
// Small in-memory data sets for the selection and sort tests.

#include "core/genotypedata.h"

#include <string>
#include <vector>

namespace rvk::test {

struct TestLocus
{
    std::string name;
    double position;
    std::string genotypes;
    std::string segType = {};
};

struct TestGroup
{
    std::string name;
    std::vector<TestLocus> loci;
    std::string fileName = {};
};

// A loaded data set: every individual ticked, load numbers 1..nind, names as given (or "1",
// "2", ... when none are given).
inline void fillData(GenotypeData &data, int nind, const std::vector<TestGroup> &groups, const std::string &popt = "f2",
                     std::vector<std::string> names = {})
{
    data.Reset();
    data.nind = nind;
    data.popt = popt;
    for (const TestGroup &g : groups) {
        LinkageGroup group;
        group.Name = g.name;
        group.PopType = popt;
        group.FileName = g.fileName;
        for (const TestLocus &l : g.loci) {
            Tlocinfo locus;
            locus.Name = l.name;
            locus.Position = l.position;
            locus.Genotypes = l.genotypes;
            locus.setSegType(l.segType);
            group.Loci.push_back(locus);
        }
        data.AppendGroup(std::move(group));
    }
    if (names.empty())
        for (int i = 1; i <= nind; ++i)
            names.push_back(std::to_string(i));
    data.IndividualNames = names;
    data.IndividualNumbers.clear();
    for (int i = 1; i <= nind; ++i)
        data.IndividualNumbers.push_back(i);
    data.DataLoaded = true;
    data.TickAll();
}

inline std::vector<int> ticks(const GenotypeData &data) { return {data.Ticked.begin(), data.Ticked.end()}; }

} // namespace rvk::test
