#pragma once
// Genotype probabilities of a mapping population along one linkage group: the hidden Markov
// model of the cross (backcross, intercross, recombinant inbreds by selfing, doubled haploids)
// with a map function and a genotyping error rate, at every marker and at pseudo-markers every
// step cM, as R/qtl's calc.genoprob computes them.
//
// Probabilities are kept as floats, position by position: the column of one genotype at one
// position holds every individual's probability next to each other, as the scans read them.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rvk {

enum class QtlCross { Backcross, Intercross, RiSelf, DoubledHaploid };
enum class MapFunction { Haldane, Kosambi };

// The cross of a population type: "bc", "f2", "ri" (also "ril", "riself"), "dh" (also "dh1");
// nothing for every other type.
std::optional<QtlCross> qtlCrossOf(const std::string &popt);
// Genotype classes of a cross: 2, or 3 for the intercross.
int genotypeCount(QtlCross cross);
// The class names as the tables head them: "AA", "AB" (backcross), "AA", "AB", "BB" (intercross),
// "AA", "BB" (RIL, DH).
std::vector<std::string> genotypeNames(QtlCross cross);

// What a genotype code says, for the model: 0 missing, 1..3 the classes AA, AB (H), BB in their
// order for the cross, 4 "not BB" (D), 5 "not AA" (C). Codes are read regardless of case; "U",
// "-", "." and every code outside the cross's classes are missing.
struct QtlObservationCodes
{
    std::uint8_t code[256] = {};
};
QtlObservationCodes observationCodes(QtlCross cross);

// Recombination fraction of a distance in cM.
double recombinationFraction(double cM, MapFunction function);

// The positions scanned along a group: every marker, and with step > 0 a pseudo-marker every step
// cM from the first marker wherever no marker sits exactly there (R/qtl's fixed-width grid).
struct ScanPosition
{
    double position = 0.0;
    int marker = -1; // index among the group's markers; -1 for a pseudo-marker
};
std::vector<ScanPosition> scanPositions(const std::vector<double> &markerPositions, double step);

struct GenotypeProbabilityOptions
{
    MapFunction mapFunction = MapFunction::Haldane;
    double errorProbability = 1e-4;
    double step = 1.0; // cM; 0 scans the markers only
};

// The probabilities of one group.
class GenotypeProbabilities
{
public:
    GenotypeProbabilities() = default;

    // observed[m][i]: the observation code (QtlObservationCodes) of individual i at marker m;
    // markerPositions ascending. threads > 1 shares the individuals out.
    static GenotypeProbabilities compute(QtlCross cross, const std::vector<double> &markerPositions,
                                         const std::vector<std::vector<std::uint8_t>> &observed, int individuals,
                                         const GenotypeProbabilityOptions &options, int threads = 1);

    QtlCross cross() const { return mCross; }
    int individualCount() const { return mIndividuals; }
    int positionCount() const { return static_cast<int>(mPositions.size()); }
    int genotypeCount() const { return mGenotypes; }
    const std::vector<ScanPosition> &positions() const { return mPositions; }
    // Individual i's probability of genotype g at position p; the column of (p, g).
    float probability(int position, int genotype, int individual) const
    {
        return column(position, genotype)[individual];
    }
    const float *column(int position, int genotype) const
    {
        return mProbabilities.get() + (static_cast<size_t>(position) * static_cast<size_t>(mGenotypes) + static_cast<size_t>(genotype)) * mStride;
    }
    size_t memoryBytes() const { return mSize * sizeof(float); }

    // The most probable genotype (1-based class) of every individual at every marker, by the
    // Viterbi path of the same model (R/qtl's argmax.geno), [marker][individual].
    static std::vector<std::vector<std::uint8_t>> mostProbableGenotypes(QtlCross cross, const std::vector<double> &markerPositions,
                                                                        const std::vector<std::vector<std::uint8_t>> &observed,
                                                                        int individuals, MapFunction mapFunction,
                                                                        double errorProbability);

private:
    QtlCross mCross = QtlCross::Backcross;
    int mIndividuals = 0;
    int mGenotypes = 2;
    size_t mStride = 0; // floats per column: the individuals rounded up to whole blocks
    std::vector<ScanPosition> mPositions;
    // Uninitialised: every float is written by compute. Large blocks ask for huge pages, as a
    // first touch of millions of small pages costs more than computing them.
    struct Release
    {
        void operator()(float *p) const;
    };
    std::unique_ptr<float[], Release> mProbabilities;
    size_t mSize = 0;
};

} // namespace rvk
