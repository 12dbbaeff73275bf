#pragma once
// A backcross family small enough to work out by hand: the recurrent parent R, the donor D and
// seven offspring, two linkage groups.
//
//          g1                                             g2
//          m1   m2   m3   m4   m5   m6   m7               n1   n2
//   cM      0   10   15   20   30   40   50                5   12
//   R       A    A    A    A    A    H    B                A    C
//   D       B    B    A    U    B    B    A                B    A
//   I1      A    A    A    A    A    A    B                A    A
//   I2      A    H    H    H    h    H    B                B    A
//   I3      B    U    A    A    B    A    A                U    A
//   I4      B    A    A    A    A    A    X                H    A
//   I5      u    -    .    C    D    c    d                .    U
//   I6      B    A    A    A    B    A    A                B    A
//   I7      H    H    A    U    H    H    H                H    A
//
// Informative loci (R and D known, homozygous, different): m1, m2, m5, m7 in g1 (m3: equal,
// m4: D unknown, m6: R heterozygous) and n1 alone in g2 (n2: R's C is unknown).
// Weights in g1: m1 (10 - 0)/2 = 5, m2 (30 - 0)/2 = 15, m5 (50 - 10)/2 = 20, m7 (50 - 30)/2 = 10;
// they add up to the 50 cM the group spans. n1 is alone in g2 and weighs 0.

#include "core/genotypedata.h"

#include <string>
#include <vector>

namespace rvk::test {

struct BackcrossFixtureLocus
{
    std::string name;
    double position;
    std::string codes; // R D I1 I2 I3 I4 I5 I6 I7
};

inline const std::vector<std::vector<BackcrossFixtureLocus>> &backcrossFixtureGroups()
{
    static const std::vector<std::vector<BackcrossFixtureLocus>> groups{
        {{"m1", 0, "ABAABBuBH"},
         {"m2", 10, "ABAHUA-AH"},
         {"m3", 15, "AAAHAA.AA"},
         {"m4", 20, "AUAHAACAU"},
         {"m5", 30, "ABAhBADBH"},
         {"m6", 40, "HBAHAAcAH"},
         {"m7", 50, "BABBAXdAH"}},
        {{"n1", 5, "ABABUH.BH"}, {"n2", 12, "CAAAAAUAA"}},
    };
    return groups;
}

inline const std::vector<std::string> &backcrossFixtureNames()
{
    static const std::vector<std::string> names{"R", "D", "I1", "I2", "I3", "I4", "I5", "I6", "I7"};
    return names;
}

inline GenotypeData makeBackcrossFixture()
{
    GenotypeData data;
    data.popt = "bc";
    const auto &groups = backcrossFixtureGroups();
    const char *groupNames[] = {"g1", "g2"};
    for (size_t g = 0; g < groups.size(); ++g) {
        LinkageGroup group;
        group.Name = groupNames[g];
        group.PopType = data.popt;
        for (const auto &l : groups[g]) {
            Tlocinfo locus;
            locus.Name = l.name;
            locus.Position = l.position;
            locus.Genotypes = l.codes;
            group.Loci.push_back(locus);
        }
        data.AppendGroup(std::move(group));
    }
    data.nind = static_cast<int>(backcrossFixtureNames().size());
    data.IndividualNames = backcrossFixtureNames();
    for (int i = 0; i < data.nind; ++i)
        data.IndividualNumbers.push_back(i + 1);
    data.TickAll();
    data.DataLoaded = true;
    return data;
}

// The same family as a multi-group data file.
inline std::string backcrossFixtureFile()
{
    const auto &groups = backcrossFixtureGroups();
    std::string text = "nchrom=2\nnind=9\npopt=bc\n";
    const char *groupNames[] = {"g1", "g2"};
    for (size_t g = 0; g < groups.size(); ++g) {
        text += std::string("name=") + groupNames[g] + "\nnloc=" + std::to_string(groups[g].size()) + "\n";
        for (const auto &l : groups[g])
            text += l.name + " " + std::to_string(static_cast<int>(l.position)) + ".0 " + l.codes + "\n";
    }
    text += "alias";
    for (const std::string &name : backcrossFixtureNames())
        text += " " + name;
    text += "\n";
    return text;
}

} // namespace rvk::test
