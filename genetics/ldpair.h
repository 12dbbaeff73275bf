#pragma once
// Pairwise linkage disequilibrium of two loci: the correlation R of their numeric allele values
// with its p-value, and the normalised disequilibrium D' and standardised chi-square of their
// genotype-code contingency table.
//
// LdMatrices holds the loci of one analysis in analysis order, built once: for every locus the
// code classes its participating individuals carry, each as a bit set over those individuals,
// with the class's numeric value (Numval of the allele table, -99 missing). A pair's 81 x 81
// code table is then a few AND + popcount passes over the bit sets, so a pair costs well under a
// microsecond whatever the number of individuals, and nothing is allocated per pair.
//
// When the values come from a table of their own (marker intensities), each locus also keeps
// one value per participating individual and R is summed individual by individual.

#include <cstdint>
#include <string>
#include <vector>

namespace rvk {

class AlleleTable;
class GenotypeData;
class LdPValueCache;
struct Tlocinfo;

// One locus of an analysis, in analysis order.
struct LdLocus
{
    const Tlocinfo *locus = nullptr;
    int group = 0; // 0-based linkage group
    int index = 0; // 0-based over the loci of all groups, group after group
};

// The loci of group k in map order, or of all groups one after the other.
std::vector<LdLocus> ldGroupLoci(const GenotypeData &data, int group);
std::vector<LdLocus> ldAllLoci(const GenotypeData &data);

struct LdPairResult
{
    double Dist = 0.0;   // cM between the loci; -1 on different linkage groups
    double R = 0.0;
    double R2 = 0.0;
    double DPrime = 0.0;
    double ChiSquarePrime = 0.0;
    double P = 0.0;
    double MinusLogP = -1.0; // -log10(P), -1 when P is 0
    int n = 0;               // individuals with both values present
    bool available = true;   // false: "N/A" (the spread of the values is almost but not quite 0)
    bool hasP = false;       // the pair's p-value belongs in the analysis's p-value list
};

class LdMatrices
{
public:
    LdMatrices() = default;

    // The loci's codes and Numval values for the individuals taking part: the ticked ones when
    // applySelection is set (the data's SelectedIndices), everybody otherwise. Cross-pollinator
    // loci are read from their first nind characters.
    LdMatrices(const GenotypeData &data, const AlleleTable &alleles, std::vector<LdLocus> loci, bool applySelection);

    // Replaces the values of locus l by one value per data-set individual (-99 missing), read from
    // a table of values rather than from the codes; the codes stay those of the genotypes.
    void setIndividualValues(int l, const std::vector<double> &valuesPerIndividual);

    int locusCount() const { return static_cast<int>(mNames.size()); }
    int individualCount() const { return mIndividualCount; }
    // Name, map position and 0-based group of locus l, copied when the matrices were built (the
    // results outlive the data set they came from).
    const std::string &name(int l) const { return mNames[static_cast<size_t>(l)]; }
    double position(int l) const { return mPositions[static_cast<size_t>(l)]; }
    int group(int l) const { return mGroups[static_cast<size_t>(l)]; }
    // The analysis's individuals: indices into the data set.
    const std::vector<int> &individuals() const { return mIndividuals; }

    // Bytes held by the matrices.
    std::size_t memoryBytes() const;

    // Loci of at most four classes (nearly every marker) also keep their class arrays padded to
    // four entries with zeros, so that a pair's measures are a few operations on 4 x 4 tables.
    struct alignas(64) PaddedClasses
    {
        double count[4] = {}, share[4] = {}, inverseShare[4] = {}, inverseComplement[4] = {}, present[4] = {},
               presentValue[4] = {};
        std::uint16_t uniform = 0; // bit s: the present values of the classes in subset s are equal
        bool padded = false;       // at most four classes
    };

private:
    friend class LdRow;

    struct LocusClasses
    {
        std::uint32_t first = 0; // index of the first class in the class arrays
        std::uint32_t count = 0;
        std::int64_t valueRow = -1; // row of individual values, -1 when the values follow the codes
    };

    std::vector<std::string> mNames;
    std::vector<double> mPositions;
    std::vector<int> mGroups;
    std::vector<int> mIndividuals;
    int mIndividualCount = 0;
    int mWords = 0; // 64-bit words per bit set
    std::vector<LocusClasses> mLocusClasses;
    std::vector<std::uint8_t> mClassCode;     // code index 0..80, 81 for a character outside the codes
    std::vector<std::uint32_t> mClassCount;   // individuals carrying the class
    std::vector<double> mClassValue;          // Numval of the class, -99 missing
    std::vector<double> mClassPresent;        // 1, or 0 for a missing value
    std::vector<double> mClassPresentValue;   // the value, 0 for a missing one
    std::vector<double> mClassShare;          // count / individuals
    std::vector<double> mClassInverseShare;   // individuals / count
    std::vector<double> mClassInverseComplement; // individuals / (individuals - count)
    std::vector<std::uint64_t> mClassBits;    // mWords words per class
    std::vector<double> mIndividualValues;    // rows of individual values (intensity data)
    std::vector<PaddedClasses> mPadded;       // one per locus
};

// The pairs of locus i with other loci, the work that depends on i alone done once: analyses
// run row by row.
class LdRow
{
public:
    LdRow(const LdMatrices &matrices, int i);
    // ComputeLdPairMeasures(matrices, i, j).
    LdPairResult measures(int j) const;
    // The same for j and j + 1 at once (the processor overlaps the two).
    void measuresOfTwo(int j, LdPairResult *results) const;

private:
    double distance(int j) const;
    void paddedTable(int j, std::uint32_t *table) const;

    const LdMatrices &mMatrices;
    int mI;
    bool mPadded;
    bool mCodeValues; // the values of locus i follow its codes
    // The padded class arrays of locus i (count, share, inverse share, inverse complement,
    // present, present value), each spread over 16 lanes: lane 4a + b holds class a.
    alignas(64) double mSpread[6][16];
};

// Tests and benchmarks: computes with the plain kernels even where the processor has wider ones
// (both give the same results to the last bit).
void UsePlainLdKernels(bool plain);

// The measures of loci i and j (i before j in analysis order). P is TwoTailedTProb's, or the
// cache's (to about 1e-12) for runs over many pairs.
LdPairResult ComputeLdPair(const LdMatrices &matrices, int i, int j, LdPValueCache *pValues = nullptr);

// The same in two steps, for runs that compute a row of pairs before their p-values: everything
// but P and MinusLogP, then those (hasP and n tell which table entry it needs).
LdPairResult ComputeLdPairMeasures(const LdMatrices &matrices, int i, int j);
void ComputeLdPairP(LdPairResult &pair, LdPValueCache *pValues);
// ComputeLdPairP for a row of pairs with the cache, in order, the cache's lookups batched.
void ComputeLdPairsP(LdPairResult *pairs, int count, LdPValueCache &pValues);

} // namespace rvk
