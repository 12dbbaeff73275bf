#include "genetics/treebuilder.h"

#include "core/systemmemory.h"
#include "core/textformat.h"
#include "core/userinterface.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace rvk {

namespace {

// Values that differ by no more than rounding noise count as equal, so that the tie rule (the
// first pair in row order) decides between pairs whose criterion is the same in exact
// arithmetic: with three entries, for example, every neighbour-joining Q is the same number.
double tieTolerance(double value) { return 1e-10 * std::max(1.0, std::fabs(value)); }

// A subtree under construction: a leaf (entry index) or a join of two or three subtrees with
// the lengths of their branches. The Newick text is written once, at the end, from this
// structure, so no label can be mistaken for a node name.
struct Subtree
{
    int leaf = -1;
    std::vector<std::pair<int, double>> children; // subtree index, branch length
};

class Forest
{
public:
    explicit Forest(const DistanceMatrix &matrix) : mMatrix(matrix)
    {
        for (int i = 0; i < matrix.size(); ++i)
            mTrees.push_back({i, {}});
    }

    int join(std::vector<std::pair<int, double>> children)
    {
        mTrees.push_back({-1, std::move(children)});
        return static_cast<int>(mTrees.size()) - 1;
    }

    std::string newick(int root) const
    {
        std::string text;
        write(root, text);
        return text + ";";
    }

private:
    void write(int tree, std::string &text) const
    {
        const Subtree &t = mTrees[static_cast<size_t>(tree)];
        if (t.leaf >= 0) {
            text += mMatrix.label(t.leaf);
            return;
        }
        text += '(';
        for (size_t c = 0; c < t.children.size(); ++c) {
            if (c)
                text += ',';
            write(t.children[c].first, text);
            text += ':';
            text += formatText("%.3f", {t.children[c].second});
        }
        text += ')';
    }

    const DistanceMatrix &mMatrix;
    std::vector<Subtree> mTrees;
};

// The working matrix: full rows of n numbers, slot k's row at k * n.
struct WorkMatrix
{
    // Every value times unit (1, or 10^decimals for whole numbers of the matrix's last decimal).
    explicit WorkMatrix(const DistanceMatrix &matrix, double unit = 1.0) : n(static_cast<size_t>(matrix.size())), d(n * n, 0.0)
    {
        for (size_t i = 0; i < n; ++i)
            for (size_t j = i + 1; j < n; ++j) {
                const double v = matrix.value(static_cast<int>(i), static_cast<int>(j));
                d[i * n + j] = d[j * n + i] = unit == 1.0 ? v : std::nearbyint(v * unit);
            }
    }
    double &at(size_t i, size_t j) { return d[i * n + j]; }
    double *row(size_t i) { return d.data() + i * n; }

    // The entry of slot from takes slot to (row and column).
    void moveSlot(size_t from, size_t to, size_t m)
    {
        if (from == to)
            return;
        for (size_t k = 0; k < m; ++k) {
            d[to * n + k] = d[from * n + k];
            d[k * n + to] = d[k * n + from];
        }
        d[to * n + to] = 0.0;
    }

    size_t n;
    std::vector<double> d;
};

// The smallest Q = K D[i][j] - S[i] - S[j] of row i over j = first..m-1.
double lowestQPortable(const double *row, const double *S, double si, double K, size_t j, size_t m)
{
    const __m128d k2 = _mm_set1_pd(K), s2 = _mm_set1_pd(si);
    __m128d lowest = _mm_set1_pd(1e300);
    for (; j + 2 <= m; j += 2)
        lowest = _mm_min_pd(lowest, _mm_sub_pd(_mm_sub_pd(_mm_mul_pd(k2, _mm_loadu_pd(row + j)), s2), _mm_loadu_pd(S + j)));
    double result = std::min(_mm_cvtsd_f64(lowest), _mm_cvtsd_f64(_mm_unpackhi_pd(lowest, lowest)));
    for (; j < m; ++j)
        result = std::min(result, K * row[j] - si - S[j]);
    return result;
}

[[gnu::target("avx2")]] double lowestQWide(const double *row, const double *S, double si, double K, size_t j, size_t m)
{
    const __m256d k4 = _mm256_set1_pd(K), s4 = _mm256_set1_pd(si);
    __m256d lowest = _mm256_set1_pd(1e300);
    for (; j + 4 <= m; j += 4)
        lowest = _mm256_min_pd(lowest, _mm256_sub_pd(_mm256_sub_pd(_mm256_mul_pd(k4, _mm256_loadu_pd(row + j)), s4), _mm256_loadu_pd(S + j)));
    alignas(32) double lanes[4];
    _mm256_store_pd(lanes, lowest);
    double result = std::min(std::min(lanes[0], lanes[1]), std::min(lanes[2], lanes[3]));
    for (; j < m; ++j)
        result = std::min(result, K * row[j] - si - S[j]);
    return result;
}

double lowestQ(const double *row, const double *S, double si, double K, size_t j, size_t m)
{
    static const bool wide = __builtin_cpu_supports("avx2");
    return wide ? lowestQWide(row, S, si, K, j, m) : lowestQPortable(row, S, si, K, j, m);
}

// Neighbour joining counts in units of the matrix's last decimal (hundredths or tenths, as the
// matrix keeps its values rounded): the distances are whole numbers then, and the sums S, the
// criteria Q and the halved distances of the joined nodes are exact in doubles (halving adds a
// binary digit per join, far from the 53 a double holds in any tree of a practical depth). So
// the row sums kept up to date are the sums afresh, ties are exact ties, the first pair wins them as the rules say, and each branch length is the
// exact rational value rounded once, when it is divided back into distances: a length of
// exactly 0.1875 is written "0.188", as the formula gives it, never "0.187" from summing noise.
std::optional<TreeResult> neighbourJoining(const DistanceMatrix &matrix, const TreeProgress &progress)
{
    Forest forest(matrix);
    const double unit = matrix.decimals() == 1 ? 10.0 : 100.0;
    WorkMatrix D(matrix, unit);
    const size_t n = D.n;
    std::vector<int> tree(n);
    for (size_t i = 0; i < n; ++i)
        tree[i] = static_cast<int>(i);
    std::vector<double> S(n + 1, 0.0), rowMin(n, 0.0);
    size_t m = n;
    size_t I = 0, J = 1;
    long round = 0;
    std::vector<std::pair<int, double>> rootChildren;
    while (m > 2) {
        if (progress && (n - m) % 16 == 0 && !progress(static_cast<long long>(n - m), static_cast<long long>(n - 2)))
            return std::nullopt;
        // S[i] = sum over k of D[i][k] (D[i][i] is 0): summed afresh now and then, and kept up
        // to date by each join in between, which is the same number while the counts are exact.
        if (round++ % 32 == 0) {
            std::fill(S.begin(), S.begin() + static_cast<long>(m), 0.0);
            for (size_t k = 0; k < m; ++k) {
                const double *row = D.row(k);
                size_t i = 0;
                for (; i + 2 <= m; i += 2)
                    _mm_storeu_pd(&S[i], _mm_add_pd(_mm_loadu_pd(&S[i]), _mm_loadu_pd(row + i)));
                for (; i < m; ++i)
                    S[i] += row[i];
            }
        }
        // The first pair with the smallest Q = (m - 2) D[i][j] - S[i] - S[j]: the smallest value
        // of each row first, then the first pair holding the smallest of all.
        const double K = static_cast<double>(m - 2);
        double best = 1e300;
        for (size_t i = 0; i + 1 < m; ++i) {
            rowMin[i] = lowestQ(D.row(i), S.data(), S[i], K, i + 1, m);
            best = std::min(best, rowMin[i]);
        }
        for (size_t i = 0; i + 1 < m; ++i) {
            if (rowMin[i] > best)
                continue;
            const double *row = D.row(i);
            size_t j = i + 1;
            while (j + 1 < m && K * row[j] - S[i] - S[j] > best)
                ++j;
            I = i;
            J = j;
            break;
        }
        const double dij = D.at(I, J);
        const double li = (K * dij + S[I] - S[J]) / (2 * K * unit);
        const double lj = (K * dij - S[I] + S[J]) / (2 * K * unit);
        if (m > 3) {
            const int node = forest.join({{tree[I], li}, {tree[J], lj}});
            double sumI = 0.0;
            for (size_t k = 0; k < m; ++k) {
                const double dk = (D.at(k, I) + D.at(k, J) - dij) / 2;
                if (k != I && k != J) {
                    S[k] += dk - D.at(k, I) - D.at(k, J);
                    sumI += dk;
                }
                D.at(k, I) = dk;
                D.at(I, k) = dk;
            }
            D.at(I, I) = 0.0;
            S[I] = sumI;
            tree[I] = node;
            D.moveSlot(m - 1, J, m);
            tree[J] = tree[m - 1];
            S[J] = S[m - 1];
        } else {
            const size_t B = 3 - I - J; // the slot of 0, 1, 2 that was not joined
            const double lb = (D.at(B, I) + D.at(B, J) - dij) / (2 * unit);
            rootChildren = {{tree[I], li}, {tree[J], lj}, {tree[B], lb}};
        }
        --m;
    }
    return TreeResult{forest.newick(forest.join(rootChildren)), {}};
}

// UPGMA with the smallest value of every row (over the later slots) kept, so a round costs the
// rows it changed instead of the whole matrix. Row i's entry is the first j > i holding that
// smallest value, so the rows scanned in order give the pair the full scan would give.
std::optional<TreeResult> upgma(const DistanceMatrix &matrix, const TreeProgress &progress)
{
    Forest forest(matrix);
    WorkMatrix D(matrix);
    const size_t n = D.n;
    std::vector<int> tree(n), size(n, 1);
    std::vector<double> height(n, 0.0);
    for (size_t i = 0; i < n; ++i)
        tree[i] = static_cast<int>(i);
    std::vector<double> rowMin(n);
    std::vector<size_t> rowArg(n);
    size_t m = n;
    auto scanRow = [&](size_t i) {
        double lowest = 2147483647.0;
        size_t arg = n;
        const double *row = D.row(i);
        for (size_t j = i + 1; j < m; ++j)
            if (row[j] < lowest) {
                lowest = row[j];
                arg = j;
            }
        rowMin[i] = lowest;
        rowArg[i] = arg;
    };
    for (size_t i = 0; i + 1 < m; ++i)
        scanRow(i);
    while (m > 2) {
        if (progress && (n - m) % 64 == 0 && !progress(static_cast<long long>(n - m), static_cast<long long>(n - 2)))
            return std::nullopt;
        size_t I = 0, J = 1;
        double best = 2147483647.0;
        for (size_t i = 0; i + 1 < m; ++i)
            if (rowArg[i] < m && rowMin[i] < best)
                best = rowMin[i];
        const double limit = best + tieTolerance(best);
        for (size_t i = 0; i + 1 < m; ++i) {
            if (rowArg[i] >= m || rowMin[i] > limit)
                continue;
            const double *row = D.row(i);
            size_t j = i + 1;
            while (j + 1 < m && row[j] > limit)
                ++j;
            I = i;
            J = j;
            break;
        }
        const double dij = D.at(I, J);
        const int node = forest.join({{tree[I], dij / 2 - height[I]}, {tree[J], dij / 2 - height[J]}});
        const double wi = static_cast<double>(size[I]) / (size[I] + size[J]);
        const double wj = static_cast<double>(size[J]) / (size[I] + size[J]);
        for (size_t k = 0; k < m; ++k) {
            const double dk = wi * D.at(I, k) + wj * D.at(J, k);
            D.at(k, I) = dk;
            D.at(I, k) = dk;
        }
        size[I] += size[J];
        height[I] = dij / 2;
        tree[I] = node;
        const size_t last = m - 1;
        D.moveSlot(last, J, m);
        tree[J] = tree[last];
        size[J] = size[last];
        height[J] = height[last];
        --m;
        // Rows that must be scanned again: the two rewritten rows, and every row whose smallest
        // value lay in a changed column (I, J, or the slot that left). Other rows only compare
        // their kept value with the new values of columns I and J.
        for (size_t i = 0; i + 1 < m; ++i) {
            if (i == I || i == J || rowArg[i] == I || rowArg[i] == J || rowArg[i] >= m) {
                scanRow(i);
                continue;
            }
            for (const size_t c : {I, J}) {
                if (c <= i)
                    continue;
                const double v = D.at(i, c);
                if (v < rowMin[i] || (v == rowMin[i] && c < rowArg[i])) {
                    rowMin[i] = v;
                    rowArg[i] = c;
                }
            }
        }
    }
    return TreeResult{forest.newick(forest.join({{tree[0], D.at(0, 1) / 2 - height[0]}, {tree[1], D.at(0, 1) / 2 - height[1]}})), {}};
}

} // namespace

long long treeWorkBytes(int entries)
{
    const long long n = std::max(0, entries);
    // The working matrix, the row sums and row minima, the slots' subtrees, and the text.
    return 8 * n * n + 128 * n;
}

std::string treeMemoryQuestion(int entries, long long availableBytes)
{
    return formatText("A tree of %d entries needs about %s of memory for its working matrix, but only %s are free. "
                      "Build it anyway? (Without enough memory the program may be stopped by the system.)",
                      {entries, memorySizeText(treeWorkBytes(entries)), memorySizeText(availableBytes)});
}

bool confirmTreeMemory(int entries, long long availableBytes, UserInterface &ui)
{
    if (availableBytes < 0 || treeWorkBytes(entries) <= availableBytes)
        return true;
    return ui.question(UserInterface::MessageKind::Warning, treeMemoryQuestion(entries, availableBytes));
}

const char *treeFileName(TreeMethod method) { return method == TreeMethod::NeighbourJoining ? "NJtree.nwk" : "UPGMAtree.nwk"; }

std::string emptyCellsMessage(size_t emptyCells)
{
    return "The distance matrix has " + std::to_string(emptyCells)
           + " empty cells (pairs left out by the selection of individuals). A tree needs a distance for every pair: "
             "calculate the distances again with all individuals, or with selection filtering off.";
}

std::string tooFewEntriesMessage(TreeMethod method, int entries)
{
    return std::string(method == TreeMethod::NeighbourJoining ? "Neighbour joining needs at least three entries"
                                                              : "UPGMA needs at least two entries")
           + "; the distance matrix has " + std::to_string(entries) + ".";
}

std::optional<TreeResult> BuildTree(const DistanceMatrix &matrix, TreeMethod method, std::string *error,
                                    const TreeProgress &progress)
{
    const int needed = method == TreeMethod::NeighbourJoining ? 3 : 2;
    if (matrix.size() < needed) {
        if (error)
            *error = tooFewEntriesMessage(method, matrix.size());
        return std::nullopt;
    }
    if (const size_t empty = matrix.emptyCount(); empty > 0) {
        if (error)
            *error = emptyCellsMessage(empty);
        return std::nullopt;
    }
    std::optional<TreeResult> result =
        method == TreeMethod::NeighbourJoining ? neighbourJoining(matrix, progress) : upgma(matrix, progress);
    if (result)
        result->order = clusterOrderOfNewick(result->newick);
    return result;
}

} // namespace rvk
