// The tree painter, checked by pixels at the places the drawing rules compute.
#include "render/pictureexport.h"
#include "render/treeview.h"

#include <gtest/gtest.h>

#include <QImage>

namespace rvk {
namespace {

std::unique_ptr<TDendroNode> node(const std::string &label, double length, std::vector<std::unique_ptr<TDendroNode>> children = {})
{
    auto n = std::make_unique<TDendroNode>();
    n->Label = label;
    n->BranchLength = length;
    n->Kind = children.empty() ? 'L' : 'N';
    for (auto &child : children)
        n->addChild(std::move(child));
    return n;
}

// ((a:1,b:1):1,c:2) under a root without a branch.
std::unique_ptr<TDendroNode> smallTree()
{
    std::vector<std::unique_ptr<TDendroNode>> inner;
    inner.push_back(node("a", 1));
    inner.push_back(node("b", 1));
    std::vector<std::unique_ptr<TDendroNode>> top;
    top.push_back(node("(a:1,b:1)", 1, std::move(inner)));
    top.push_back(node("c", 2));
    auto root = node("Root", 0, std::move(top));
    root->Kind = 'R';
    return root;
}

bool dark(const QImage &image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

// Ink within a pixel of (x, y): slanted lines are rasterised either side of the exact point.
bool inkNear(const QImage &image, int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dark(image, x + dx, y + dy))
                return true;
    return false;
}

TEST(TreeView, ClassicBranchesAndScaleBar)
{
    const auto root = smallTree();
    TreeDrawingOptions options;
    options.width = 400;
    TreeDrawingInfo info;
    const QImage image = renderPictureToImage(drawTree(*root, options, &info));
    // Lmax 2, s = 0.75 * 400 / 60 = 5: x of the root 10, of the inner node 160, of the leaves
    // 310. Leaf y: 75, 100, 125; the inner node at its mean index 1.5 (y 88), the root's
    // anchor at index 3 (y 125), the inner node's anchor at index 2 (y 100).
    EXPECT_EQ(info.leafCount, 3);
    EXPECT_DOUBLE_EQ(info.longestPath, 2.0);
    EXPECT_EQ(image.height(), 25 * 3 + 100);
    struct Pixel
    {
        int x, y;
        bool ink;
    };
    const Pixel pixels[] = {
        {85, 88, true},   // root -> inner node, horizontal
        {10, 105, true},  // root's vertical line between y 88 and 125
        {160, 90, true},  // inner node's vertical between 75 and 100
        {230, 75, true},  // inner node -> a
        {230, 100, true}, // inner node -> b
        {230, 125, true}, // root -> c
        {230, 112, false},
        {85, 75, false},
        {40, 23, true},   // scale bar from 10 to 10 + round(6 * 2 * 5) = 70
        {75, 23, false},
    };
    for (const Pixel &p : pixels)
        EXPECT_EQ(dark(image, p.x, p.y), p.ink) << p.x << "," << p.y;
}

TEST(TreeView, StraightAndCircularPlaces)
{
    const auto root = smallTree();
    TreeDrawingOptions options;
    options.width = 400;
    options.style = TreeStyle::Straight;
    // Leaves at k + 1.5: y 88, 113, 138; inner nodes at their anchors: (a,b) index 2 -> 100.
    const auto places = treeNodePlaces(*root, options);
    ASSERT_EQ(places.size(), 5u);
    EXPECT_EQ(places[1].y, 100);
    EXPECT_EQ(places[2].y, 88);
    EXPECT_EQ(places[4].y, 138);
    const QImage straight = renderPictureToImage(drawTree(*root, options));
    // The branch from the inner node (160, 100) to a (310, 88): its middle is ink.
    EXPECT_TRUE(inkNear(straight, 235, 94));
    EXPECT_FALSE(inkNear(straight, 235, 100));

    options.style = TreeStyle::Circular;
    const QImage circle = renderPictureToImage(drawTree(*root, options));
    EXPECT_EQ(circle.width(), 400);
    EXPECT_EQ(circle.height(), 400);
    // Leaf a: angle 2 pi / 3 * 0.5 = 60 degrees, radius round(300 / 2) + 25 = 175; its radial
    // branch runs from the inner node's radius 100 outwards.
    const double angle = 3.14159265358979 / 3;
    EXPECT_TRUE(inkNear(circle, 200 + static_cast<int>(std::lround(140 * std::cos(angle))),
                     200 + static_cast<int>(std::lround(140 * std::sin(angle)))));
}

TEST(TreeView, EveryStyleDrawsALargeTreeQuickly)
{
    // A caterpillar of 2,000 leaves: deep, so every recursion of the painter is exercised.
    auto root = node("x0", 0.1);
    for (int i = 1; i < 2000; ++i) {
        std::vector<std::unique_ptr<TDendroNode>> children;
        children.push_back(std::move(root));
        children.push_back(node("x" + std::to_string(i), 0.1));
        root = node("n", 0.05, std::move(children));
    }
    root->BranchLength = 0;
    for (const TreeStyle style : {TreeStyle::Classic, TreeStyle::Straight, TreeStyle::Circular, TreeStyle::Curved}) {
        TreeDrawingOptions options;
        options.style = style;
        options.showDistances = true;
        TreeDrawingInfo info;
        const ViewPicture picture = drawTree(*root, options, &info);
        EXPECT_EQ(info.leafCount, 2000);
        EXPECT_FALSE(picture.isEmpty());
    }
}

} // namespace
} // namespace rvk

namespace rvk {
namespace {

TEST(TreeView, BandsPaintWhatTheWholePictureDoes)
{
    // A balanced tree of 64 leaves, 25 pixels apart: 1,700 pixels high, cut into 400-row bands.
    std::vector<std::unique_ptr<TDendroNode>> level;
    for (int i = 0; i < 64; ++i)
        level.push_back(node("leaf" + std::to_string(i), 0.1 + 0.01 * (i % 7)));
    while (level.size() > 1) {
        std::vector<std::unique_ptr<TDendroNode>> next;
        for (size_t i = 0; i + 1 < level.size(); i += 2) {
            std::vector<std::unique_ptr<TDendroNode>> pair;
            pair.push_back(std::move(level[i]));
            pair.push_back(std::move(level[i + 1]));
            next.push_back(node("n", 0.05, std::move(pair)));
        }
        level = std::move(next);
    }
    level.front()->BranchLength = 0;
    for (const TreeStyle style : {TreeStyle::Classic, TreeStyle::Curved}) {
        TreeDrawingOptions options;
        options.style = style;
        options.showDistances = true;
        options.width = 500;
        const ViewPicture whole = drawTree(*level.front(), options);
        const std::vector<ViewPicture> bands = pictureBands(whole, 400);
        ASSERT_EQ(bands.size(), static_cast<size_t>((whole.height() + 399) / 400));
        const QImage expected = renderPictureToImage(whole);
        for (size_t b = 0; b < bands.size(); ++b) {
            EXPECT_LT(bands[b].operationCount(), whole.operationCount());
            const QImage image = renderPictureToImage(bands[b]);
            const int top = static_cast<int>(b) * 400, bottom = std::min(whole.height(), top + 400);
            int differing = 0;
            for (int y = top; y < bottom; ++y)
                for (int x = 0; x < whole.width(); ++x)
                    differing += image.pixel(x, y) != expected.pixel(x, y);
            EXPECT_EQ(differing, 0) << "band " << b << " style " << static_cast<int>(style);
        }
    }
}

} // namespace
} // namespace rvk
