#include "genetics/treebuilder.h"

#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>

namespace rvk {
namespace {

// A matrix from its labels and the lower triangle, row by row (row r holds r distances).
DistanceMatrix matrixOf(const std::vector<std::string> &labels, const std::vector<std::vector<double>> &rows, int decimals = 2)
{
    DistanceMatrix m(labels, decimals);
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            m.setValue(static_cast<int>(c), static_cast<int>(r + 1), rows[r][c]);
    return m;
}

std::string tree(const DistanceMatrix &m, TreeMethod method)
{
    std::string error;
    const auto result = BuildTree(m, method, &error);
    return result ? result->newick : "error: " + error;
}

TEST(TreeBuilder, SmallTreesAsTheRulesWriteThem)
{
    struct Case
    {
        const char *what;
        std::vector<std::string> labels;
        std::vector<std::vector<double>> rows;
        TreeMethod method;
        const char *newick;
    };
    const Case cases[] = {
        // One round: S = 0.8, 0.9, 1.1, every Q the same, so a and b (slot order) are joined.
        {"three entries, NJ", {"a", "b", "c"}, {{0.3}, {0.5, 0.6}}, TreeMethod::NeighbourJoining,
         "(a:0.100,b:0.200,c:0.400);"},
        // A matrix breaking the triangle inequality gives a negative branch.
        {"negative length", {"a", "b", "c"}, {{0.1}, {0.5, 0.2}}, TreeMethod::NeighbourJoining,
         "(a:0.200,b:-0.100,c:0.300);"},
        // All Q equal: a, b first; d moves into slot 2; the last round joins slots 1 and 2.
        {"NJ ties", {"a", "b", "c", "d"}, {{1}, {1, 1}, {1, 1, 1}}, TreeMethod::NeighbourJoining,
         "((a:0.500,b:0.500):0.000,d:0.500,c:0.500);"},
        {"two entries, UPGMA", {"a", "b"}, {{0.5}}, TreeMethod::Upgma, "(a:0.250,b:0.250);"},
        {"UPGMA ties", {"a", "b", "c", "d"}, {{1}, {1, 1}, {1, 1, 1}}, TreeMethod::Upgma,
         "(((a:0.500,b:0.500):0.000,d:0.500):0.000,c:0.500);"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(tree(matrixOf(c.labels, c.rows), c.method), c.newick) << c.what;
}

TEST(TreeBuilder, UpgmaWeighsClustersBySize)
{
    // c, d at 0.2 join first (h 0.1); (c,d) to a: (0.6 + 0.5) / 2 = 0.55, to b: 0.9. Then
    // a (slot 1) and the node (slot 3) at 0.55 (h 0.275), the first slot's name first; to b:
    // (1 * 0.9 + 2 * 0.9) / 3 = 0.9; root at 0.45.
    const DistanceMatrix m = matrixOf({"a", "b", "c", "d"}, {{0.9}, {0.6, 0.9}, {0.5, 0.9, 0.2}});
    EXPECT_EQ(tree(m, TreeMethod::Upgma), "((a:0.275,(c:0.100,d:0.100):0.175):0.175,b:0.450);");
}

TEST(TreeBuilder, RefusesIncompleteOrTooSmallMatrices)
{
    DistanceMatrix m = matrixOf({"a", "b", "c"}, {{0.3}, {0.5, 0.6}});
    m.clearValue(0, 2);
    std::string error;
    EXPECT_FALSE(BuildTree(m, TreeMethod::Upgma, &error).has_value());
    EXPECT_EQ(error, emptyCellsMessage(1));
    EXPECT_FALSE(BuildTree(matrixOf({"a", "b"}, {{0.3}}), TreeMethod::NeighbourJoining, &error).has_value());
    EXPECT_EQ(error, tooFewEntriesMessage(TreeMethod::NeighbourJoining, 2));
    EXPECT_FALSE(BuildTree(matrixOf({"a"}, {}), TreeMethod::Upgma, &error).has_value());
    EXPECT_TRUE(BuildTree(matrixOf({"a", "b"}, {{0.3}}), TreeMethod::Upgma).has_value());
}

TEST(TreeBuilder, ClusterOrderOfLocusLabels)
{
    const auto result = BuildTree(matrixOf({"1>m1", "1>m2", "2>m3", "2>m4"}, {{0.9}, {0.6, 0.9}, {0.5, 0.9, 0.2}}),
                                  TreeMethod::Upgma);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->order.labels, (std::vector<std::string>{"m1", "m3", "m4", "m2"}));
}

// Splits of a Newick tree with their branch lengths: "leaf,leaf,...=length", leaves sorted.
// Unrooted: each split is named by the side without the first leaf of labels.
std::multiset<std::string> splitsOf(const std::string &newick, const std::vector<std::string> &labels, bool rooted,
                                    std::map<std::string, double> *lengths)
{
    struct Frame
    {
        std::vector<std::string> leaves;
    };
    std::vector<Frame> stack(1);
    std::multiset<std::string> result;
    auto emit = [&](std::vector<std::string> leaves, double length) {
        if (!rooted && std::find(leaves.begin(), leaves.end(), labels.front()) != leaves.end()) {
            std::vector<std::string> other;
            for (const auto &l : labels)
                if (std::find(leaves.begin(), leaves.end(), l) == leaves.end())
                    other.push_back(l);
            leaves = other;
        }
        std::sort(leaves.begin(), leaves.end());
        std::string key;
        for (const auto &l : leaves)
            key += (key.empty() ? "" : ",") + l;
        result.insert(key);
        (*lengths)[key] = length;
    };
    std::vector<std::string> pending; // leaves of the subtree just closed or read
    size_t i = 0;
    while (i < newick.size()) {
        const char c = newick[i];
        if (c == '(') {
            stack.push_back({});
            ++i;
        } else if (c == ')' || c == ',' || c == ';') {
            ++i;
            if (c == ')') {
                pending = stack.back().leaves;
                stack.pop_back();
            }
        } else if (c == ':') {
            size_t end = i + 1;
            while (end < newick.size() && std::string(",);").find(newick[end]) == std::string::npos)
                ++end;
            emit(pending, std::stod(newick.substr(i + 1, end - i - 1)));
            for (const auto &l : pending)
                stack.back().leaves.push_back(l);
            pending.clear();
            i = end;
        } else {
            size_t end = i;
            while (end < newick.size() && std::string(":,();").find(newick[end]) == std::string::npos)
                ++end;
            pending = {newick.substr(i, end - i)};
            i = end;
        }
    }
    return result;
}

// Ten woodmouse mitochondrial sequences (ape's data set), K80 distances times 10 rounded to
// two decimals. Expected splits and lengths from R 4.2 with ape 5.7: nj() and
// as.phylo(hclust(method = "average")).
const std::vector<std::string> WoodmouseLabels = {"No305",   "No304",   "No306",   "No0906S", "No0908S",
                                                  "No0909S", "No0910S", "No0912S", "No0913S", "No1103S"};
const std::vector<std::vector<double>> WoodmouseRows = {
    {0.16},
    {0.14, 0.04},
    {0.19, 0.14, 0.1},
    {0.17, 0.12, 0.07, 0.13},
    {0.17, 0.16, 0.12, 0.17, 0.15},
    {0.18, 0.13, 0.08, 0.1, 0.12, 0.16},
    {0.15, 0.14, 0.1, 0.15, 0.13, 0.11, 0.14},
    {0.19, 0.05, 0.05, 0.13, 0.13, 0.17, 0.1, 0.15},
    {0.13, 0.12, 0.07, 0.13, 0.11, 0.08, 0.12, 0.04, 0.13},
};
const std::map<std::string, double> WoodmouseNj = {
    {"No0906S,No0908S,No0909S,No0910S,No0912S,No0913S,No1103S,No304,No306", 0.094250},
    {"No0906S,No0908S,No0910S,No0913S,No304,No306", 0.020469},
    {"No0906S,No0910S,No0913S,No304,No306", 0.002969},
    {"No0906S,No0910S", 0.017031},
    {"No0906S", 0.056667},
    {"No0908S", 0.054531},
    {"No0909S,No0912S,No1103S", 0.013250},
    {"No0909S", 0.062917},
    {"No0910S", 0.043333},
    {"No0912S,No1103S", 0.012083},
    {"No0912S", 0.031429},
    {"No0913S,No304,No306", 0.017969},
    {"No0913S,No304", 0.018281},
    {"No0913S", 0.027500},
    {"No1103S", 0.008571},
    {"No304", 0.022500},
    {"No306", 0.001719},
};
const std::map<std::string, double> WoodmouseUpgma = {
    {"No0906S,No0908S,No0909S,No0910S,No0912S,No0913S,No1103S,No304,No306", 0.015000},
    {"No0906S,No0908S,No0910S,No0913S,No304,No306", 0.009097},
    {"No0906S,No0910S", 0.008125},
    {"No0906S", 0.050000},
    {"No0908S,No0913S,No304,No306", 0.004792},
    {"No0908S", 0.053333},
    {"No0909S,No0912S,No1103S", 0.019722},
    {"No0909S", 0.047500},
    {"No0910S", 0.050000},
    {"No0912S,No1103S", 0.027500},
    {"No0912S", 0.020000},
    {"No0913S,No304,No306", 0.028333},
    {"No0913S", 0.025000},
    {"No1103S", 0.020000},
    {"No304,No306", 0.005000},
    {"No304", 0.020000},
    {"No305", 0.082222},
    {"No306", 0.020000},
};

TEST(TreeBuilder, AgreesWithApeOnARealMatrix)
{
    const DistanceMatrix m = matrixOf(WoodmouseLabels, WoodmouseRows);
    for (const auto &[method, expected, rooted] :
         {std::tuple{TreeMethod::NeighbourJoining, &WoodmouseNj, false}, std::tuple{TreeMethod::Upgma, &WoodmouseUpgma, true}}) {
        const std::string newick = tree(m, method);
        std::map<std::string, double> lengths;
        const auto splits = splitsOf(newick, WoodmouseLabels, rooted, &lengths);
        // NJ's root of three is no split of the unrooted tree; UPGMA's two root branches are
        // one edge in ape's tree of the same clusters, so compare by cluster.
        for (const auto &[split, length] : *expected) {
            ASSERT_TRUE(lengths.count(split)) << newick << " lacks " << split;
            EXPECT_NEAR(lengths[split], length, 0.0005 + 1e-9) << newick << " " << split;
        }
        EXPECT_EQ(lengths.size(), expected->size()) << newick;
    }
}

} // namespace
} // namespace rvk

namespace rvk {
namespace {

TEST(TreeBuilder, StopsWhenProgressSaysSo)
{
    DistanceMatrix m(std::vector<std::string>(40, "x"), 2);
    for (int j = 1; j < 40; ++j)
        for (int i = 0; i < j; ++i)
            m.setValue(i, j, 0.01 * ((i * 7 + j * 3) % 50) + 0.1);
    for (const TreeMethod method : {TreeMethod::NeighbourJoining, TreeMethod::Upgma}) {
        long long total = 0;
        std::string error;
        EXPECT_FALSE(BuildTree(m, method, &error, [&](long long, long long all) {
                         total = all;
                         return false;
                     }).has_value());
        EXPECT_TRUE(error.empty());
        EXPECT_EQ(total, 38);
        EXPECT_TRUE(BuildTree(m, method, &error, [](long long, long long) { return true; }).has_value());
    }
}

} // namespace
} // namespace rvk

namespace rvk {
namespace {

// Forty entries of random distances: many rounds, so the neighbour-joining sums kept up to date
// between fresh summations are checked as well. Expected splits from ape (see the file).
TEST(TreeBuilder, AgreesWithApeOnFortyRandomEntries)
{
    std::istringstream file(test::readWholeFile(test::testDataPath("distance_trees40.txt")));
    std::vector<std::string> labels;
    for (int i = 1; i <= 40; ++i)
        labels.push_back((i < 10 ? "t0" : "t") + std::to_string(i));
    std::vector<std::vector<double>> rows;
    std::map<std::string, std::map<std::string, double>> expected;
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "row") {
            rows.emplace_back();
            for (double v; words >> v;)
                rows.back().push_back(v);
        } else if (kind == "nj" || kind == "upgma") {
            std::string split;
            words >> split;
            const size_t equals = split.find('=');
            expected[kind][split.substr(0, equals)] = std::stod(split.substr(equals + 1));
        }
    }
    ASSERT_EQ(rows.size(), 39u);
    const DistanceMatrix m = matrixOf(labels, rows);
    for (const auto &[method, name, rooted] : {std::tuple{TreeMethod::NeighbourJoining, "nj", false}, std::tuple{TreeMethod::Upgma, "upgma", true}}) {
        const std::string newick = tree(m, method);
        std::map<std::string, double> lengths;
        splitsOf(newick, labels, rooted, &lengths);
        for (const auto &[split, length] : expected[name]) {
            ASSERT_TRUE(lengths.count(split)) << name << ": " << newick << " lacks " << split;
            EXPECT_NEAR(lengths[split], length, 0.0005 + 1e-9) << name << " " << split;
        }
        EXPECT_EQ(lengths.size(), expected[name].size()) << name;
    }
}

} // namespace
} // namespace rvk
