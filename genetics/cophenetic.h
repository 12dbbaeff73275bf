#pragma once
// The cophenetic correlation of a tree: how well the distances along the tree (the sum of the
// branch lengths on the path between two leaves) keep the distances of the matrix it was built
// from. Pearson's r over every pair of matrix entries.

#include "io/newicknode.h"

#include <cstddef>
#include <string>
#include <vector>

namespace rvk {

class CopheneticResult
{
public:
    CopheneticResult() = default;
    CopheneticResult(std::vector<std::string> labels, std::vector<double> matrix, std::vector<double> tree, double r)
        : mLabels(std::move(labels)), mMatrix(std::move(matrix)), mTree(std::move(tree)), mCorrelation(r)
    {
    }

    int size() const { return static_cast<int>(mLabels.size()); }
    const std::vector<std::string> &labels() const { return mLabels; }
    // Entries i != j, 0-based. The tree distance is NaN for a label that is no leaf of the tree.
    double matrixDistance(int i, int j) const { return mMatrix[index(i, j)]; }
    double treeDistance(int i, int j) const { return mTree[index(i, j)]; }
    // Pearson's r over the pairs with both distances; NaN when it is undefined.
    double correlation() const { return mCorrelation; }
    // "Cophenetic correlation = " and r as "%2.2f".
    std::string resultText() const;

    // The tree window's grid of (n + 1) x (n + 1) cells: labels in row 0 and column 0, matrix
    // distances "%2.2f" below the diagonal (column i, row j, i < j), tree distances "%2.3f"
    // above it (column j, row i).
    std::string cellText(int column, int row) const;
    // Fill of a body cell: white through red by the relative difference of its two distances,
    // b = round(100 |tree - matrix| / mean) limited to 255; white when either is missing.
    unsigned cellColor(int column, int row) const;

private:
    size_t index(int i, int j) const
    {
        if (i > j)
            std::swap(i, j);
        return static_cast<size_t>(j) * static_cast<size_t>(j - 1) / 2 + static_cast<size_t>(i);
    }

    std::vector<std::string> mLabels;
    std::vector<double> mMatrix, mTree;
    double mCorrelation = 0.0;
};

// Path lengths between the leaves of root for every pair of labels (leaves found by exact
// label), and their correlation with matrixDistance(i, j). matrix holds the lower triangle in
// the order of DistanceMatrix (pair (i, j), i < j, at j (j - 1) / 2 + i).
CopheneticResult CopheneticCorrelation(const TDendroNode &root, const std::vector<std::string> &labels,
                                       std::vector<double> matrix);

class DistanceMatrix;
// The same against a distance matrix: its labels and values.
CopheneticResult CopheneticCorrelation(const TDendroNode &root, const DistanceMatrix &matrix);

inline constexpr const char *CopheneticResultCaption = "Cophenetic correlation = ";

} // namespace rvk
