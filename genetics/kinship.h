#pragma once
// The relatedness of the analysed individuals, from their dosage matrix:
//  - centred relatedness (GEMMA's -gk 1): every marker centred on its mean over the analysed
//    individuals, a missing dosage replaced by that mean, K = W W' / number of markers;
//  - IBS similarity: per pair the share of alleles identical by state over the markers called in
//    both, (2 - |x_i - x_j|) / 2 averaged; 1 on the diagonal.
// The large products run on OpenBLAS (threaded); the symmetric eigendecomposition, computed once
// per set of individuals and shared by the traits that have them, on LAPACK.

#include "genetics/dosagematrix.h"

#include <optional>
#include <string>
#include <vector>

namespace rvk {

enum class KinshipMethod { Centred, Ibs };

// The command line's and the page's names: "centred", "ibs".
std::optional<KinshipMethod> kinshipMethodNamed(const std::string &name);
std::string kinshipMethodName(KinshipMethod method);

struct KinshipMatrix
{
    KinshipMethod method = KinshipMethod::Centred;
    int size = 0;                  // individuals
    int markerCount = 0;           // markers it was computed from
    std::vector<int> individuals;  // the data set's index of each row
    std::vector<double> values;    // size x size, symmetric

    double at(int i, int j) const { return values[static_cast<size_t>(i) * static_cast<size_t>(size) + static_cast<size_t>(j)]; }
    bool empty() const { return size == 0; }
};

// The matrix, or nothing when progress asked to stop. A matrix of no markers is all zero. The
// centred one in single precision (about 7 digits, twice as fast) serves the mixed model of
// large panels.
std::optional<KinshipMatrix> computeKinship(const DosageMatrix &dosages, KinshipMethod method, const PanelProgress &progress = {},
                                           bool singlePrecision = false);

// The rows and columns of some individuals (indices into the matrix).
KinshipMatrix kinshipSubset(const KinshipMatrix &kinship, const std::vector<int> &rows);

// Pairs of individuals (indices into the matrix) whose rows are the same: duplicates make the
// matrix singular. At most limit pairs.
std::vector<std::pair<int, int>> identicalKinshipRows(const KinshipMatrix &kinship, int limit = 10);

// The rows in the leaf order of a tree (leaf labels left to right): the index of each
// individual named by a leaf, in the leaves' order, then the individuals no leaf names in their
// own order. Empty when no leaf names an individual.
std::vector<int> treeOrder(const std::vector<std::string> &names, const std::vector<std::string> &leafLabels);

// The tab-separated text of the matrix: a heading line (an empty cell, then the names), then one
// line per individual (its name, then its row), numbers in general format.
std::string kinshipText(const KinshipMatrix &kinship, const std::vector<std::string> &names);

// K = U diag(values) U', values ascending; eigenvalues below 1e-10 in size count as zero (set to
// 0), as GEMMA does.
struct KinshipEigen
{
    int size = 0;
    std::vector<double> values;  // ascending
    std::vector<double> vectors; // column-major, size x size: column k belongs to values[k]
    int zeroCount = 0;           // eigenvalues set to zero

    double vector(int row, int k) const { return vectors[static_cast<size_t>(k) * static_cast<size_t>(size) + static_cast<size_t>(row)]; }
};

// Nothing (with the reason in error) when LAPACK fails. In single precision (about twice as fast;
// what a single-precision rotation of the markers needs) the vectors keep about 6 digits.
std::optional<KinshipEigen> decomposeKinship(const KinshipMatrix &kinship, std::string *error = nullptr, bool singlePrecision = false);

} // namespace rvk
