#pragma once
// Euclidean distances from trait values ("Calc Euclidean Distances" on "Trait Plotting && stats"):
// between the individuals of the trait table over the ticked traits, or between the ticked
// traits over all individuals. Cells are written "%2.1f"; a pair with nothing to compare is 0.

#include "genetics/distancematrix.h"
#include "genetics/traittable.h"

#include <string>
#include <vector>

namespace rvk {

enum class TraitDistanceEntries { Genotypes, Traits };

struct TraitDistanceOutcome
{
    DistanceMatrix matrix;
    // "'x' is not a valid floating point value" when a cell is neither empty nor a number: the
    // matrix then holds the pairs computed before that cell was met.
    std::string error;
};

// ticked[k] tells whether trait k (row k + 1 of the table) takes part; a shorter list leaves the
// rest unticked.
TraitDistanceOutcome computeTraitDistances(const TraitTable &table, const std::vector<bool> &ticked, TraitDistanceEntries entries);

} // namespace rvk
