#pragma once
// The pieces the tests' small in-memory data sets share: a linkage group written individual by
// individual, and the finishing every data set built in a test needs.

#include "core/genotypedata.h"

#include <string>
#include <vector>

namespace rvk::test {

// Group number (from 1) "chr<number>" with loci "m<number>_<k>" at the given positions; rows
// hold, per individual, its codes at these loci in order (two characters a locus for "cp").
inline LinkageGroup groupFromRows(int number, const std::vector<double> &positions, const std::vector<std::string> &rows,
                                  const std::string &popt)
{
    const size_t width = popt == "cp" ? 2 : 1;
    LinkageGroup group;
    group.Name = "chr" + std::to_string(number);
    group.PopType = popt;
    for (size_t k = 0; k < positions.size(); ++k) {
        Tlocinfo locus;
        locus.Name = "m" + std::to_string(number) + "_" + std::to_string(k + 1);
        locus.Position = positions[k];
        for (const std::string &row : rows)
            locus.Genotypes += row.substr(k * width, width);
        group.Loci.push_back(locus);
    }
    return group;
}

// Names the individuals <prefix>1 ... <prefix>N, numbers them, ticks them all and marks the data
// set loaded, as reading a file leaves it.
inline void finishTestData(GenotypeData &data, size_t individuals, const std::string &prefix = "ind")
{
    data.nind = static_cast<int>(individuals);
    for (size_t i = 0; i < individuals; ++i) {
        data.IndividualNames.push_back(prefix + std::to_string(i + 1));
        data.IndividualNumbers.push_back(static_cast<int>(i + 1));
    }
    data.TickAll();
    data.DataLoaded = true;
}

} // namespace rvk::test
