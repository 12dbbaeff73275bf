#include "genetics/cophenetic.h"

#include <gtest/gtest.h>

#include <cmath>

namespace rvk {
namespace {

std::unique_ptr<TDendroNode> leaf(const std::string &label, double length)
{
    auto node = std::make_unique<TDendroNode>();
    node->Label = label;
    node->Kind = 'L';
    node->BranchLength = length;
    return node;
}

std::unique_ptr<TDendroNode> join(std::vector<std::unique_ptr<TDendroNode>> children, double length)
{
    auto node = std::make_unique<TDendroNode>();
    node->BranchLength = length;
    for (auto &child : children)
        node->addChild(std::move(child));
    return node;
}

template <typename... Nodes> std::vector<std::unique_ptr<TDendroNode>> list(Nodes... nodes)
{
    std::vector<std::unique_ptr<TDendroNode>> result;
    (result.push_back(std::move(nodes)), ...);
    return result;
}

TEST(Cophenetic, PathLengthsAndCorrelation)
{
    // ((a:1,b:1):1,c:2), ultrametric: its path lengths are a-b 2, a-c 4, b-c 4.
    auto root = join(list(join(list(leaf("a", 1), leaf("b", 1)), 1), leaf("c", 2)), 0);
    const std::vector<std::string> labels = {"a", "b", "c"};
    CopheneticResult result = CopheneticCorrelation(*root, labels, {2, 4, 4});
    EXPECT_DOUBLE_EQ(result.treeDistance(0, 1), 2);
    EXPECT_DOUBLE_EQ(result.treeDistance(2, 0), 4);
    EXPECT_EQ(result.resultText(), "Cophenetic correlation = 1.00");
    // Grid: matrix below the diagonal, tree above; the labels in row and column 0.
    EXPECT_EQ(result.cellText(1, 3), "4.00");
    EXPECT_EQ(result.cellText(3, 1), "4.000");
    EXPECT_EQ(result.cellText(0, 2), "b");
    EXPECT_EQ(result.cellColor(1, 2), 0xFFFFFFu);

    // A matrix the tree keeps only in part: a-b 1 (tree 2), a-c 4, b-c 3.
    result = CopheneticCorrelation(*root, labels, {1, 4, 3});
    // x = (1, 4, 3), y = (2, 4, 4): R's cor() gives 0.9449112.
    EXPECT_NEAR(result.correlation(), 0.944911182523068, 1e-12);
    // a-b: |2 - 1| / 1.5 -> b = 67: RGB(255, 188, 188).
    EXPECT_EQ(result.cellColor(1, 2), 255u | (188u << 8) | (188u << 16));
    EXPECT_EQ(result.cellColor(2, 1), result.cellColor(1, 2));
}

TEST(Cophenetic, LeavesUnderTheRootAndUnknownLabels)
{
    // Three leaves joined under the root directly (an NJ root): the sums of two branches.
    auto root = join(list(leaf("x", 0.1), leaf("y", 0.2), leaf("z", 0.4)), 0);
    const CopheneticResult result = CopheneticCorrelation(*root, {"x", "y", "z", "w"}, {0.3, 0.5, 0.6, 1, 1, 1});
    EXPECT_DOUBLE_EQ(result.treeDistance(0, 1), 0.1 + 0.2);
    EXPECT_DOUBLE_EQ(result.treeDistance(1, 2), 0.2 + 0.4);
    EXPECT_TRUE(std::isnan(result.treeDistance(0, 3))); // w is no leaf
    EXPECT_EQ(result.cellText(4, 1), "");
    EXPECT_EQ(result.resultText(), "Cophenetic correlation = 1.00");
}

} // namespace
} // namespace rvk
