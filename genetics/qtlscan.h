#pragma once
// Single-QTL scans of one linkage group for one trait, as R/qtl's scanone and cim compute them:
// Haley-Knott regression on the genotype probabilities, interval mapping by EM, and the
// regression with marker cofactors of composite interval mapping; the LOD support and Bayes
// intervals of a LOD profile; the QTL effects at a position; and the genome-wide permutation
// maxima of the Haley-Knott scan.

#include "genetics/qtlgenotypeprobabilities.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

namespace rvk {

// One trait over the individuals that have a value: their indices among the probabilities'
// individuals and their values.
struct QtlTraitData
{
    std::vector<int> individuals;
    std::vector<double> values;
    int count() const { return static_cast<int>(values.size()); }
};

// Columns of covariates, one value per individual of the trait (in the trait's order).
using QtlCovariates = std::vector<std::vector<double>>;

// LOD of the Haley-Knott regression at every position of the group: (n / 2) log10(RSS0 / RSS1),
// with the covariates in both models. Positions listed in withoutCovariate[c] (one list per
// covariate, may be empty) leave covariate c out of both models there.
std::vector<double> haleyKnottLod(const GenotypeProbabilities &probabilities, const QtlTraitData &trait,
                                  const QtlCovariates &covariates = {},
                                  const std::vector<std::vector<char>> &withoutCovariate = {});

// LOD of interval mapping by EM (normal mixture; R/qtl's starting values, tolerance 1e-4 and
// at most 4,000 iterations) at every position.
std::vector<double> intervalMappingLod(const GenotypeProbabilities &probabilities, const QtlTraitData &trait, int threads = 1);

// The QTL effects at one position by Haley-Knott regression, coded as R/qtl's fitqtl codes
// them: backcross AA/AB -1/2, +1/2 (the difference of the means); RIL and DH AA/BB -1, +1 (half
// the difference); intercross additive -1/0/+1 and dominance 0/1/0. Dominance is NaN except in
// the intercross.
struct QtlEffects
{
    double additive = 0.0;
    double dominance = 0.0;
};
QtlEffects qtlEffects(const GenotypeProbabilities &probabilities, int position, const QtlTraitData &trait);

// Intervals of one group's LOD profile, as indices into its positions.
struct QtlInterval
{
    int low = 0;
    int peak = 0;
    int high = 0;
};
// R/qtl's lodint (expandtomarkers = FALSE): from the position before the first to the position
// after the last whose LOD exceeds the maximum minus drop; the peak is the first maximum.
QtlInterval lodSupportInterval(const std::vector<double> &positions, const std::vector<double> &lod, double drop = 1.5);
// R/qtl's bayesint: the positions of highest LOD whose share of the area under 10^LOD (each
// position weighted by half the distance to its neighbours) first reaches probability.
QtlInterval bayesCredibleInterval(const std::vector<double> &positions, const std::vector<double> &lod, double probability = 0.95);

// The quantile of R's default (type 7) of values at probability p.
double quantileType7(std::vector<double> values, double p);

// The genome-wide maximum LOD of a trait's Haley-Knott scan under each of a fixed set of
// permutations of its values, gathered group after group. The permutations come from seed alone,
// so every run with that seed, on any number of threads, gives the same maxima.
class HaleyKnottPermutations
{
public:
    HaleyKnottPermutations(const QtlTraitData &trait, int permutations, std::uint64_t seed);

    int permutationCount() const { return mPermutations; }
    // Raises the maxima by the positions of one group. progress(done) is called on the calling
    // thread with the permutations finished in this group so far, and may set cancel; a
    // cancelled scan leaves the maxima incomplete (the caller drops them).
    void scanGroup(const GenotypeProbabilities &probabilities, int threads, std::atomic<bool> &cancel,
                   const std::function<void(int done)> &progress = {});
    // The maximum LOD of every permutation.
    std::vector<double> maxima() const;

private:
    QtlTraitData mTrait;
    int mPermutations = 0;
    int mPadded = 0;            // permutations rounded up to whole blocks
    double mTotalSquares = 0.0; // sum of squares of the centred values
    std::vector<float> mValues; // [individual][permutation]: the centred values, permuted
    std::vector<double> mBest;  // per permutation: the largest explained sum of squares
};

// A random permutation of 0..n-1 from a 64-bit generator state (the same on every platform).
std::vector<int> qtlPermutation(int n, std::uint64_t &state);

// Forward selection of marker cofactors (R/qtl's cim): markers[m][i] the genotype class (1-based)
// of trait individual i at marker m; each step adds the marker whose columns (one, or the
// additive and dominance columns of an intercross) lower the residual sum of squares most.
std::vector<int> forwardSelectMarkers(const std::vector<std::vector<std::uint8_t>> &markers, const std::vector<double> &values,
                                      int count, bool intercross);

} // namespace rvk
