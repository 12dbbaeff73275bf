#pragma once
// A distance matrix between n entries (individuals, loci or traits), held as the lower triangle
// of numbers. Each value is kept rounded exactly as the grid shows it ("%2.2f" for the
// similarity coefficients, "%2.1f" for Euclidean distances), so every reader — the grid, the
// trees, the exports — sees the same numbers. The grid's texts are made when asked for:
// 3,000 individuals make 4.5 million pairs, which never become 4.5 million texts.

#include <cstddef>
#include <string>
#include <vector>

namespace rvk {

enum class DistanceCoefficient { AlleleSharing, Jaccard, Euclidean };

// "Allele sharing/SM", "Jaccard", "Euclidean": the items of "Similarity Coefficient".
const char *coefficientCaption(DistanceCoefficient coefficient);

class DistanceMatrix
{
public:
    DistanceMatrix() = default;
    // decimals: 2 for "%2.2f" cells, 1 for "%2.1f" cells. Every pair starts empty.
    DistanceMatrix(std::vector<std::string> labels, int decimals);

    int size() const { return static_cast<int>(mLabels.size()); }
    const std::vector<std::string> &labels() const { return mLabels; }
    const std::string &label(int entry) const { return mLabels[static_cast<size_t>(entry)]; }
    int decimals() const { return mDecimals; }

    // Entries are 0-based; (i, j) and (j, i) are the same pair; i != j.
    bool hasValue(int i, int j) const;
    // The value as shown; NaN for an empty cell.
    double value(int i, int j) const { return mValues[index(i, j)]; }
    // Stores value rounded to the matrix's decimals.
    void setValue(int i, int j, double value);
    // Empties a cell.
    void clearValue(int i, int j);
    // Whether every pair holds a value (what the trees need).
    bool complete() const;
    // Pairs left empty.
    size_t emptyCount() const;

    // The grid of (n + 1) x (n + 1) cells: labels in row 0 and column 0 (the corner is empty),
    // the distance of entries i < j in column i, row j (1-based), every other cell empty.
    int gridSize() const { return size() + 1; }
    std::string cellText(int column, int row) const;

    // A value as the grid writes it, and the number such a text stands for.
    static std::string formatValue(double value, int decimals);
    static double roundAsShown(double value, int decimals);

private:
    size_t index(int i, int j) const
    {
        if (i > j)
            std::swap(i, j);
        return static_cast<size_t>(j) * static_cast<size_t>(j - 1) / 2 + static_cast<size_t>(i);
    }

    std::vector<std::string> mLabels;
    int mDecimals = 2;
    std::vector<double> mValues; // lower triangle, row by row; NaN = empty
};

} // namespace rvk
