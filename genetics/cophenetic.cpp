#include "genetics/cophenetic.h"

#include "core/textformat.h"
#include "genetics/distancematrix.h"

#include <cmath>
#include <limits>
#include <unordered_map>

namespace rvk {

namespace {

struct Walk
{
    std::unordered_map<std::string, int> entryOf; // label -> matrix entry (first of equal labels)
    std::vector<double> *tree;
    size_t leafCount = 0;
};

// Post order: the matrix entries below node with their depth (sum of branch lengths from the
// node down to the leaf, the leaf's own branch included). Every pair from two different
// children has its lowest common node here, so it is met exactly once.
std::vector<std::pair<int, double>> leavesBelow(const TDendroNode &node, Walk &walk)
{
    if (node.isLeaf()) {
        const auto it = walk.entryOf.find(node.Label);
        if (it == walk.entryOf.end())
            return {};
        return {{it->second, 0.0}};
    }
    std::vector<std::pair<int, double>> all;
    for (const auto &child : node.Children) {
        std::vector<std::pair<int, double>> below = leavesBelow(*child, walk);
        for (auto &leaf : below)
            leaf.second += child->BranchLength;
        for (const auto &[m, dm] : below)
            for (const auto &[l, dl] : all) {
                if (l == m)
                    continue;
                const int i = std::min(l, m), j = std::max(l, m);
                (*walk.tree)[static_cast<size_t>(j) * static_cast<size_t>(j - 1) / 2 + static_cast<size_t>(i)] = dl + dm;
            }
        all.insert(all.end(), below.begin(), below.end());
    }
    return all;
}

} // namespace

CopheneticResult CopheneticCorrelation(const TDendroNode &root, const std::vector<std::string> &labels,
                                       std::vector<double> matrix)
{
    const size_t n = labels.size();
    std::vector<double> tree(n < 2 ? 0 : n * (n - 1) / 2, std::numeric_limits<double>::quiet_NaN());
    Walk walk;
    walk.tree = &tree;
    for (size_t i = n; i-- > 0;)
        walk.entryOf[labels[i]] = static_cast<int>(i);
    leavesBelow(root, walk);

    double sx = 0, sy = 0;
    long long count = 0;
    for (size_t k = 0; k < tree.size(); ++k)
        if (!std::isnan(tree[k]) && !std::isnan(matrix[k])) {
            sx += matrix[k];
            sy += tree[k];
            ++count;
        }
    double r = std::numeric_limits<double>::quiet_NaN();
    if (count > 0) {
        const double mx = sx / static_cast<double>(count), my = sy / static_cast<double>(count);
        double sxy = 0, sxx = 0, syy = 0;
        for (size_t k = 0; k < tree.size(); ++k)
            if (!std::isnan(tree[k]) && !std::isnan(matrix[k])) {
                const double dx = matrix[k] - mx, dy = tree[k] - my;
                sxy += dx * dy;
                sxx += dx * dx;
                syy += dy * dy;
            }
        if (sxx > 0 && syy > 0)
            r = sxy / std::sqrt(sxx * syy);
    }
    return CopheneticResult(labels, std::move(matrix), std::move(tree), r);
}

CopheneticResult CopheneticCorrelation(const TDendroNode &root, const DistanceMatrix &matrix)
{
    const int n = matrix.size();
    std::vector<double> values;
    values.reserve(n < 2 ? 0 : static_cast<size_t>(n) * static_cast<size_t>(n - 1) / 2);
    for (int j = 1; j < n; ++j)
        for (int i = 0; i < j; ++i)
            values.push_back(matrix.value(i, j));
    return CopheneticCorrelation(root, matrix.labels(), std::move(values));
}

std::string CopheneticResult::resultText() const
{
    return std::string(CopheneticResultCaption) + (std::isnan(mCorrelation) ? std::string("?") : formatText("%2.2f", {mCorrelation}));
}

std::string CopheneticResult::cellText(int column, int row) const
{
    if (row == 0 && column == 0)
        return {};
    if (row == 0)
        return mLabels[static_cast<size_t>(column - 1)];
    if (column == 0)
        return mLabels[static_cast<size_t>(row - 1)];
    if (column == row)
        return {};
    const double v = column < row ? matrixDistance(column - 1, row - 1) : treeDistance(column - 1, row - 1);
    if (std::isnan(v))
        return {};
    return formatText(column < row ? "%2.2f" : "%2.3f", {v});
}

unsigned CopheneticResult::cellColor(int column, int row) const
{
    const unsigned white = 0xFFFFFF;
    if (row == 0 || column == 0 || row == column)
        return white;
    const double x = matrixDistance(column - 1, row - 1), y = treeDistance(column - 1, row - 1);
    if (std::isnan(x) || std::isnan(y))
        return white;
    const double mean = (x + y) / 2;
    const long long b = mean > 0 ? std::min<long long>(255, roundHalfEven(100 * std::fabs(y - x) / mean)) : 0;
    const unsigned g = static_cast<unsigned>(255 - b);
    return 255u | (g << 8) | (g << 16);
}

} // namespace rvk
