// The panel pictures, checked by pixels at the places their layouts compute.
#include "genotypeviewfixture.h"
#include "render/kinshipheatmap.h"
#include "render/manhattanplot.h"
#include "render/pcaplot.h"
#include "render/qqplot.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>

namespace rvk {
namespace {

using test::renderPicture;

QRgb qtColour(Rgb colour) { return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF); }

TEST(ManhattanPlot, PointsInGroupColoursAndTheThresholdLines)
{
    ManhattanInput input;
    input.groupNames = {"chr1", "chr2"};
    input.points = {{0, 10.0, 1.0, "a"}, {0, 50.0, 6.0, "top"}, {1, 20.0, 2.0, "b"}};
    input.bonferroni = 3.0;
    input.fdr = 4.5;
    const QImage image = renderPicture(recordManhattanPlot(input));
    const ManhattanLayout layout = manhattanLayout(input);
    EXPECT_EQ(image.pixel(layout.pixelX(0, 10.0), layout.pixelY(1.0)), qtColour(ManhattanDarkColour));
    EXPECT_EQ(image.pixel(layout.pixelX(1, 20.0), layout.pixelY(2.0)), qtColour(ManhattanLightColour));
    // The lines across, away from the points.
    const int x = (layout.left + layout.right) / 2 + 37;
    EXPECT_EQ(image.pixel(x, layout.pixelY(3.0)), qtColour(ManhattanBonferroniColour));
    EXPECT_EQ(image.pixel(x, layout.pixelY(4.5)), qtColour(ManhattanFdrColour));
    // The second group starts after the first one's 50 cM and a gap.
    EXPECT_GT(layout.pixelX(1, 0.0), layout.pixelX(0, 50.0));
}

TEST(QqPlot, ObservedAgainstExpectedWithTheDiagonal)
{
    EXPECT_NEAR(qqExpected(1, 10), -std::log10(0.05), 1e-12);
    QqPlotInput input;
    input.minusLog10P = {0.1, 3.0, 0.5};
    input.lambdaGc = 1.02;
    const QImage image = renderPicture(recordQqPlot(input));
    const QqPlotLayout layout = qqPlotLayout(input);
    // The strongest of three at the expected -log10(0.5 / 3).
    EXPECT_EQ(image.pixel(layout.pixelX(qqExpected(1, 3)), layout.pixelY(3.0)), qtColour(QqPointColour));
    EXPECT_EQ(image.pixel(layout.pixelX(2.5), layout.pixelY(2.5)), qtColour(QqDiagonalColour));
}

TEST(PcaPlot, TraitGradientAndThePointUnderThePointer)
{
    PcaPlotInput input;
    input.x = {-1.0, 0.0, 2.0};
    input.y = {0.0, 1.0, -1.0};
    input.names = {"low", "none", "high"};
    input.colourValues = {1.0, std::nan(""), 5.0};
    const QImage image = renderPicture(recordPcaPlot(input));
    const PcaPlotLayout layout = pcaPlotLayout(input);
    EXPECT_EQ(image.pixel(layout.pixelX(-1.0), layout.pixelY(0.0)), qtColour(gradientColour(0.0)));
    EXPECT_EQ(image.pixel(layout.pixelX(2.0), layout.pixelY(-1.0)), qtColour(gradientColour(1.0)));
    EXPECT_EQ(image.pixel(layout.pixelX(0.0), layout.pixelY(1.0)), qtColour(PcaNoValueColour));
    EXPECT_EQ(pcaPointAt(input, layout.pixelX(2.0) + 2, layout.pixelY(-1.0) - 1), 2);
    EXPECT_EQ(pcaPointAt(input, layout.left + 1, layout.top + 1), -1);
    EXPECT_EQ(gradientColour(0.0), rgb(0, 0, 255));
    EXPECT_EQ(gradientColour(0.5), rgb(255, 255, 0));
    EXPECT_EQ(gradientColour(1.0), rgb(255, 0, 0));
}

TEST(KinshipHeatMap, CellsInTheGivenOrderAndAveragedWhenSmall)
{
    // Two related pairs: 0-2 and 1-3.
    const double values[16] = {1, -1, 0.8, -1, -1, 1, -1, 0.8, 0.8, -1, 1, -1, -1, 0.8, -1, 1};
    KinshipHeatMapInput input;
    input.size = 4;
    input.values = values;
    input.order = {0, 2, 1, 3};
    const QImage image = renderKinshipHeatMap(input);
    ASSERT_EQ(image.width(), 4);
    EXPECT_EQ(image.pixel(1, 0), qtColour(kinshipColour(0.8, -1, 1))); // 0 with 2, side by side
    EXPECT_EQ(image.pixel(2, 0), qtColour(rgb(0, 0, 255)));            // 0 with 1: the lowest
    EXPECT_EQ(image.pixel(0, 0), qtColour(rgb(255, 0, 0)));            // the diagonal
    input.side = 2; // each pixel the mean of a 2 x 2 block: (1 + 0.8 + 0.8 + 1) / 4
    const QImage small = renderKinshipHeatMap(input);
    ASSERT_EQ(small.width(), 2);
    EXPECT_EQ(small.pixel(0, 0), qtColour(kinshipColour(0.9, -1, 1)));
}

} // namespace
} // namespace rvk
