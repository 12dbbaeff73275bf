#pragma once
// The dosage matrix of the panel analyses (kinship, principal components, mixed model, genomic
// prediction): per analysed individual and marker the number of B alleles, A = 0, H = 1, B = 2,
// every other code missing. Stored marker after marker, two bits per call (about 37 MB for
// 3,000 individuals x 50,000 markers).
//
// Markers whose dosage does not vary among the analysed individuals (every call the same, or
// all missing) tell nothing; they are left out and counted, and note() says so.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rvk {

class GenotypeData;

// Called now and then with the work done out of the total; returning false stops the work.
using PanelProgress = std::function<bool(long long done, long long total)>;

class DosageMatrix
{
public:
    static constexpr int Missing = 3;

    struct MarkerInfo
    {
        int group = 0;        // 0-based group index in the data set
        int locus = 0;        // 0-based index in the group's locus list
        std::string name;
        double position = 0.0;
    };

    // How the values of a marker column are centred and scaled.
    enum class Scaling {
        Raw,        // the dosage itself, a missing call replaced by the marker's mean
        Centred,    // dosage minus the mean; a missing call 0 (the mean)
        Standardised // centred and divided by sqrt(2 p (1 - p)), p = mean / 2 (PLINK's scaling)
    };

    DosageMatrix() = default;

    // The individuals (0-based indices into data, in the order given) at every locus of every
    // group in group and list order. Data of cross-pollinators (two codes per individual) has
    // no dosages: every call is missing.
    static DosageMatrix fromGenotypes(const GenotypeData &data, const std::vector<int> &individuals);
    // From dosages given individual after individual (rows), each a list of 0, 1, 2 or Missing;
    // markers named m1, m2, ... in group 0 at positions 0, 1, ... unless infos are given.
    static DosageMatrix fromRows(const std::vector<std::vector<int>> &rows, std::vector<MarkerInfo> infos = {});

    // The same markers for some of the individuals (rows of this matrix, in the order given);
    // markers that no longer vary are left out.
    DosageMatrix subset(const std::vector<int> &rows) const;

    int individualCount() const { return mIndividuals; }
    int markerCount() const { return static_cast<int>(mMarkers.size()); }
    // The data set's index of each row (what fromGenotypes was given).
    const std::vector<int> &individuals() const { return mIndividualIndex; }
    const MarkerInfo &marker(int m) const { return mMarkers[static_cast<size_t>(m)]; }
    // Markers left out because they do not vary, and the markers looked at in all.
    int leftOutCount() const { return mLeftOut; }
    int examinedCount() const { return markerCount() + mLeftOut; }
    // "3 of 120 markers do not vary among the 40 individuals and are left out." or empty.
    std::string note() const;

    // 0, 1, 2 or Missing.
    int dosage(int row, int marker) const
    {
        const std::uint8_t byte = mCalls[static_cast<size_t>(marker) * mBytesPerMarker + static_cast<size_t>(row >> 2)];
        return (byte >> ((row & 3) * 2)) & 3;
    }
    // Mean dosage of a marker over its called individuals, and the number of missing calls.
    double mean(int marker) const { return mMean[static_cast<size_t>(marker)]; }
    int missingCount(int marker) const { return mMissing[static_cast<size_t>(marker)]; }

    // Writes markers [first, first + count) as a column-major block of individualCount() rows
    // (column j of the block = marker first + j, leading dimension individualCount()).
    void block(int first, int count, Scaling scaling, double *out) const;
    // The same, for a single marker.
    void column(int marker, Scaling scaling, double *out) const { block(marker, 1, scaling, out); }

private:
    void appendMarker(const std::vector<std::uint8_t> &calls, MarkerInfo info);

    int mIndividuals = 0;
    size_t mBytesPerMarker = 0;
    std::vector<int> mIndividualIndex;
    std::vector<std::uint8_t> mCalls; // marker after marker, 4 calls per byte, low bits first
    std::vector<MarkerInfo> mMarkers;
    std::vector<double> mMean;
    std::vector<int> mMissing;
    int mLeftOut = 0;
};

// The dosage of a genotype code: 'A' 0, 'H' 1, 'B' 2, anything else DosageMatrix::Missing.
int dosageOfCode(char code);

// Z Z' (individualCount() squared, both halves, column-major) of the dosages Z centred (or
// standardised) per marker, missing at the mean: the kinship's and the principal components'
// product. In single precision (twice as fast on large panels) the entries keep about 7 digits.
// False when progress asked to stop.
bool dosageGram(const DosageMatrix &dosages, DosageMatrix::Scaling scaling, std::vector<double> &g, const PanelProgress &progress = {},
                bool singlePrecision = false);

// The OpenBLAS kernels in use and its threads ("Haswell, 2 threads"), for the logs and benchmarks.
std::string linearAlgebraDescription();

} // namespace rvk
