#include "genetics/treebuilder.h"

#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
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

namespace rvk {
namespace {

// Neighbour joining as the rules write it, in exact rational arithmetic: the row sums S are
// summed afresh every round, Q compared exactly (the first smallest pair wins), and every
// length rounded to a double only when it is written.
using Wide = __int128;

Wide greatestCommonDivisor(Wide a, Wide b)
{
    if (a < 0)
        a = -a;
    while (b != 0) {
        const Wide r = a % b;
        a = b;
        b = r;
    }
    return a;
}

struct Fraction
{
    Wide num = 0, den = 1;
    Fraction(Wide n = 0, Wide d = 1) : num(n), den(d) { reduce(); }
    void reduce()
    {
        if (den < 0) {
            num = -num;
            den = -den;
        }
        const Wide g = greatestCommonDivisor(num, den);
        if (g > 1) {
            num /= g;
            den /= g;
        }
    }
    static Wide common(Fraction a, Fraction b) { return a.den / greatestCommonDivisor(a.den, b.den) * b.den; }
    friend Fraction operator+(Fraction a, Fraction b) { const Wide d = common(a, b); return {a.num * (d / a.den) + b.num * (d / b.den), d}; }
    friend Fraction operator-(Fraction a, Fraction b) { const Wide d = common(a, b); return {a.num * (d / a.den) - b.num * (d / b.den), d}; }
    friend Fraction operator*(Fraction a, long long k) { return {a.num * k, a.den}; }
    friend Fraction operator/(Fraction a, long long k) { return {a.num, a.den * k}; }
    friend bool operator<(Fraction a, Fraction b) { return (a - b).num < 0; }
    // The double nearest to the fraction (both parts are exact doubles in these trees).
    double value() const { return static_cast<double>(num) / static_cast<double>(den); }
};

std::string length(Fraction f) { char text[64]; std::snprintf(text, sizeof text, "%.3f", f.value()); return text; }

// d[i][j] in units of 10^-decimals.
std::string referenceNj(const std::vector<std::string> &labels, std::vector<std::vector<long long>> units, int decimals)
{
    const long long scale = decimals == 1 ? 10 : 100;
    size_t m = labels.size();
    std::vector<std::vector<Fraction>> D(m, std::vector<Fraction>(m));
    for (size_t i = 0; i < m; ++i)
        for (size_t j = 0; j < m; ++j)
            D[i][j] = Fraction(units[i][j], scale);
    std::vector<std::string> name = labels;
    std::string rootText;
    size_t I = 0, J = 0;
    while (m > 2) {
        std::vector<Fraction> S(m);
        for (size_t i = 0; i < m; ++i)
            for (size_t k = 0; k < m; ++k)
                if (k != i)
                    S[i] = S[i] + D[i][k];
        bool first = true;
        Fraction best;
        for (size_t i = 0; i + 1 < m; ++i)
            for (size_t j = i + 1; j < m; ++j) {
                const Fraction q = D[i][j] * static_cast<long long>(m - 2) - S[i] - S[j];
                if (first || q < best) { best = q; I = i; J = j; first = false; }
            }
        const long long K = static_cast<long long>(m - 2);
        const Fraction li = (D[I][J] * K + S[I] - S[J]) / (2 * K);
        const Fraction lj = (D[I][J] * K - S[I] + S[J]) / (2 * K);
        const std::string pair = name[I] + ":" + length(li) + "," + name[J] + ":" + length(lj);
        if (m > 3) {
            const Fraction dij = D[I][J];
            for (size_t k = 0; k < m; ++k) {
                const Fraction dk = (D[k][I] + D[k][J] - dij) / 2;
                D[k][I] = dk;
                D[I][k] = dk;
            }
            D[I][I] = Fraction();
            name[I] = "(" + pair + ")";
            for (size_t k = 0; k < m; ++k) {
                D[J][k] = D[m - 1][k];
                D[k][J] = D[k][m - 1];
            }
            D[J][J] = Fraction();
            name[J] = name[m - 1];
        } else {
            rootText = pair;
        }
        --m;
    }
    const size_t B = 3 - I - J;
    return "(" + rootText + "," + name[B] + ":" + length((D[B][I] + D[B][J] - D[I][J]) / 2) + ");";
}

// Nine entries with one-decimal distances: the lengths 0.1875 and 0.3125 are exact halves of
// the last written digit, written "0.188" and "0.312" ("%.3f" of the exact binary values), where
// summing noise turns them into "0.187" and "0.313".
TEST(TreeBuilder, NeighbourJoiningLengthsAtExactHalves)
{
    const std::vector<std::string> labels{"L1", "L2", "L3", "L4", "L5", "L6", "L7", "L8", "L9"};
    const std::vector<std::vector<double>> rows{
        {1.3}, {0.1, 1.5}, {0.3, 0.4, 0.6}, {0.9, 0.7, 1.2, 1.1}, {0.4, 0.7, 1.6, 0.5, 1.1},
        {1.3, 0.9, 0.5, 0.2, 0.6, 0.6}, {0.1, 0.3, 0.2, 0.7, 0.5, 0.3, 1.4}, {0.4, 0.6, 1.1, 1.7, 0.3, 0.7, 1.6, 1.2},
    };
    EXPECT_EQ(tree(matrixOf(labels, rows, 1), TreeMethod::NeighbourJoining),
              "((((L1:-0.075,L3:0.175):0.135,L8:-0.035):0.297,(L2:0.188,(L5:0.064,L9:0.236):0.312):0.166):0.109,"
              "L6:0.184,(L7:0.209,L4:-0.009):0.266);");
}

// Random matrices of 3 to 14 entries, and a few of 30 to 45 (past the fresh summation of the
// row sums every 32 rounds), in tenths and hundredths from a small range (so ties and exact
// halves are common), against the exact reference above.
TEST(TreeBuilder, NeighbourJoiningAsTheExactFormulaOnRandomMatrices)
{
    std::mt19937 random(20261211);
    for (int t = 0; t < 620; ++t) {
        const int n = t < 600 ? 3 + static_cast<int>(random() % 12) : 30 + static_cast<int>(random() % 16);
        const int decimals = 1 + static_cast<int>(random() % 2);
        const long long largest = decimals == 1 ? 20 : 150;
        std::vector<std::string> labels;
        for (int i = 0; i < n; ++i)
            labels.push_back("L" + std::to_string(i + 1));
        DistanceMatrix m(labels, decimals);
        std::vector<std::vector<long long>> units(static_cast<size_t>(n), std::vector<long long>(static_cast<size_t>(n), 0));
        for (int j = 1; j < n; ++j)
            for (int i = 0; i < j; ++i) {
                const long long v = 1 + static_cast<long long>(random() % static_cast<unsigned>(largest));
                units[static_cast<size_t>(i)][static_cast<size_t>(j)] = units[static_cast<size_t>(j)][static_cast<size_t>(i)] = v;
                m.setValue(i, j, static_cast<double>(v) / (decimals == 1 ? 10.0 : 100.0));
            }
        ASSERT_EQ(tree(m, TreeMethod::NeighbourJoining), referenceNj(labels, units, decimals)) << "tree " << t << ", " << n << " entries";
    }
}

} // namespace
} // namespace rvk

namespace rvk {
namespace {

// A tree of n entries works in an n x n matrix of doubles beside the distance matrix: 8.6 GB
// (8 GiB) at the 32,768 entries a distance matrix may have. Where the machine has less free,
// the user is asked, with both sizes, before anything is allocated.
TEST(TreeBuilder, AsksBeforeATreeLargerThanTheFreeMemory)
{
    EXPECT_GE(treeWorkBytes(32768), 8LL * 32768 * 32768);
    EXPECT_LT(treeWorkBytes(32768), 8LL * 32768 * 32768 + (64LL << 20)) << "little more than the matrix";
    const long long gigabyte = 1LL << 30;
    struct Case { int entries; long long available; std::vector<bool> answers; bool build; bool asked; };
    const Case cases[] = {
        {32768, gigabyte, {false}, false, true},
        {32768, gigabyte, {true}, true, true},
        {32768, 16 * gigabyte, {}, true, false},
        {32768, -1, {}, true, false}, // the system does not tell: no question
        {1000, 100LL << 20, {}, true, false},
    };
    for (const Case &c : cases) {
        test::ScriptedUserInterface ui;
        ui.answers.assign(c.answers.begin(), c.answers.end());
        EXPECT_EQ(confirmTreeMemory(c.entries, c.available, ui), c.build) << c.entries << " " << c.available;
        ASSERT_EQ(ui.questions.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(ui.questions[0], "A tree of 32768 entries needs about 8.0 GB of memory for its working matrix, but only 1.0 GB are "
                                       "free. Build it anyway? (Without enough memory the program may be stopped by the system.)");
            EXPECT_EQ(ui.questionStyles[0], "warning");
        }
    }
}

} // namespace
} // namespace rvk
