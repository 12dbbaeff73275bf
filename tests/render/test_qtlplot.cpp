#include "render/qtlplot.h"
#include "render/viewpicture.h"

#include "genotypeviewfixture.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

using test::pixelAt;
using test::renderPicture;

// Two groups (0..40 cM with markers at 0, 20, 40; 0..20 cM) in a 600 x 300 picture: the plotting
// area runs from x 50 to 580 and y 30 (LOD 5, the top rounded up from 4.2 * 1.05) to 260 (LOD 0);
// 60 cM over 530 - 12 pixels (one gap) = 8.633 pixels per cM, group 2 from x 50 + 345 + 12.
QtlPlotInput twoGroups()
{
    QtlPlotInput input;
    input.width = 600;
    input.height = 300;
    input.groups = {{"chr1", {0, 10, 20, 30, 40}, {0, 20, 40}}, {"chr2", {0, 10, 20}, {0, 20}}};
    QtlPlotTrait flat{"height", qtlTraitColor(0), {{4.0, 4.0, 4.2, 4.0, 4.0}, {0.5, 0.5, 0.5}}, 2.5, 2.0, {{0, 2}}};
    QtlPlotTrait low{"yield", qtlTraitColor(1), {{1.0, 1.0, 1.0, 1.0, 1.0}, {3.0, 3.0, 3.0}}, -1.0, -1.0, {}};
    input.traits = {flat, low};
    return input;
}

TEST(QtlPlot, LayoutNumbers)
{
    const QtlPlotLayout layout = qtlPlotLayout(twoGroups());
    EXPECT_EQ(layout.lodMaximum, 5.0);
    EXPECT_EQ(layout.x(0, 0), 50);
    EXPECT_EQ(layout.x(0, 20), 50 + 173);
    EXPECT_EQ(layout.x(1, 0), 407);
    EXPECT_EQ(layout.y(0), 260);
    EXPECT_EQ(layout.y(4), 76);
    EXPECT_EQ(layout.y(2.5), 145);
}

TEST(QtlPlot, CurvesThresholdsAndPeaksInTheTraitsColours)
{
    const QImage image = renderPicture(recordQtlPlot(twoGroups()));
    ASSERT_EQ(image.width(), 600);
    EXPECT_EQ(pixelAt(image, 80, 76), qtlTraitColor(0)) << "height at LOD 4 on chr1";
    EXPECT_EQ(pixelAt(image, 450, 260 - 138), qtlTraitColor(1)) << "yield at LOD 3 on chr2";
    int dots = 0;
    for (int x = 100; x < 120; ++x)
        dots += pixelAt(image, x, 145) == qtlTraitColor(0);
    EXPECT_GT(dots, 3) << "the 5 % threshold, dotted";
    EXPECT_LT(dots, 20);
    EXPECT_EQ(pixelAt(image, 223, 60), qtlTraitColor(0)) << "the peak mark above LOD 4.2 (y 67) at 20 cM";
    EXPECT_EQ(pixelAt(image, 300, 50), rgb(255, 255, 255));
}

TEST(QtlPlot, PointerFindsTheNearestPosition)
{
    const QtlPlotInput input = twoGroups();
    const auto onPeak = qtlPlotHit(input, 225, 150);
    ASSERT_TRUE(onPeak);
    EXPECT_EQ(onPeak->group, 0);
    EXPECT_EQ(onPeak->position, 2);
    const auto second = qtlPlotHit(input, 500, 200);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->group, 1);
    EXPECT_EQ(second->position, 1);
    EXPECT_FALSE(qtlPlotHit(input, 225, 5)) << "above the plot";
}

} // namespace
} // namespace rvk
