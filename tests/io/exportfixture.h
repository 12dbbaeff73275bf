#pragma once

#include "core/genotypedata.h"

#include <string>
#include <vector>

namespace rvk::test {

// A data set built in memory: groups of (name, position, codes) loci.
struct LocusSpec
{
    std::string name;
    double position;
    std::string codes;
    double qtlStart = 0;
    double qtlEnd = 0;
};

inline void addGroup(GenotypeData &data, const std::string &name, const std::vector<LocusSpec> &loci)
{
    LinkageGroup group;
    group.Name = name;
    for (const LocusSpec &spec : loci) {
        Tlocinfo locus;
        locus.Name = spec.name;
        locus.Position = spec.position;
        locus.Genotypes = spec.codes;
        locus.QtlStart = spec.qtlStart;
        locus.QtlEnd = spec.qtlEnd;
        group.Loci.push_back(locus);
    }
    data.AppendGroup(std::move(group));
}

inline void setIndividuals(GenotypeData &data, const std::vector<std::string> &names, const std::string &popt = "f2")
{
    data.popt = popt;
    data.nind = static_cast<int>(names.size());
    data.IndividualNames = names;
    data.TickAll();
    data.CurrentIndividual = 1;
}

} // namespace rvk::test
