#pragma once
// Marker-based distances between individuals ("genotypes") or between loci ("markers").
//
// Per pair, over every position where both sides have a value: m positions with the same
// value, u with different values, z where both values are 0 (the code '0'), q the sum of
// squared differences. "Allele sharing/SM" is 1 - m/(m+u), "Jaccard" 1 - (m-z)/(m-z+u),
// "Euclidean" sqrt(q). A pair with nothing to compare is 0 between individuals and 1 between
// loci for the two similarity coefficients, and 0 for "Euclidean".
//
// Values: the allele identity for the similarity coefficients (every code its own value, '0'
// the value 0), the code's Numval for "Euclidean"; a code whose Numval is -99 gives no value.
// Cross-pollinator ("cp") data hold two characters per individual and locus: each character is
// a position of its own, the first compared with the first and the second with the second,
// just as the marker-data table shows one value per character.
//
// Which pairs: between individuals only pairs of two selected individuals (everyone while
// filtering is off); other cells stay empty. Between loci every pair, with only selected
// individuals as positions while filtering is on.

#include "genetics/distancematrix.h"

#include <functional>
#include <optional>

namespace rvk {

class AlleleTable;
class GenotypeData;

enum class DistanceEntries { Genotypes, Markers };

struct DistanceOptions
{
    DistanceCoefficient coefficient = DistanceCoefficient::AlleleSharing;
    DistanceEntries between = DistanceEntries::Genotypes;
};

// Called once per first entry of a pair (done out of total entries); returning false stops the
// computation.
using DistanceProgress = std::function<bool(long long done, long long total)>;

// The command line's names: "sm", "jaccard", "euclidean"; "genotypes", "markers".
std::optional<DistanceCoefficient> coefficientNamed(const std::string &name);
std::optional<DistanceEntries> distanceEntriesNamed(const std::string &name);

// Labels: individuals by name in their current order; loci as the 1-based group number, ">"
// and the locus name, in group order.
std::vector<std::string> distanceLabels(const GenotypeData &data, DistanceEntries between);

// The matrix, or nothing when progress asked to stop or (with the reason in error) when the
// matrix would not fit in memory: n entries take n (n - 1) / 2 numbers of 8 bytes.
std::optional<DistanceMatrix> CalculateDistances(const GenotypeData &data, const AlleleTable &alleles,
                                                 const DistanceOptions &options, const DistanceProgress &progress = {},
                                                 std::string *error = nullptr);

// The most entries a matrix may have: 4 GB of distances (32,768 entries), far more than a
// tree or a grid can show usefully.
inline constexpr long long MaxDistanceEntries = 32768;
std::string tooManyEntriesMessage(long long entries, DistanceEntries between);

} // namespace rvk
