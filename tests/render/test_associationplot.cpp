#include "render/associationplot.h"
#include "render/ldplot.h"
#include "render/picturerecorder.h"

#include "genotypeviewfixture.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

using test::pixelAt;
using test::renderPicture;

// One group with markers at 0, 10 and 20 cM and one trait:
//   marker 0: R = 0.9,  q = 0.01 (significant), p = 0.001
//   marker 1: R = -0.9, q = 0.2 (not significant by FDR), p = 0.001
//   marker 2: R = 0.5,  q shown " X" (-1), p = 0.5
AssociationPlotInput threeMarkers()
{
    AssociationPlotInput input;
    input.groups = {{{0.0, 10.0, 20.0}, {"m1", "m2", "m3"}}};
    input.traitNames = {"height"};
    input.traitColumns = {1};
    input.tableColumns = 2;
    const std::vector<double> r{0.9, -0.9, 0.5}, q{0.01, 0.2, -1}, p{0.001, 0.001, 0.5};
    input.r = [r](int, int g) { return r[static_cast<size_t>(g)]; };
    input.r2 = [r](int, int g) { return std::round(r[static_cast<size_t>(g)] * r[static_cast<size_t>(g)] * 100) / 100; };
    input.q = [q](int, int g) { return q[static_cast<size_t>(g)]; };
    input.p = [p](int, int g) { return p[static_cast<size_t>(g)]; };
    input.clientWidth = 800;
    input.drawing.markspace = 100;
    input.drawing.Lenmul = 2;
    input.drawing.barwidth = 8;
    input.drawing.space = 6;
    return input;
}

// a = round((800 - 100 - 2) * 2 / 2) / 20 = 34.9 pixels per cM from x = 160; h = 16; the trait
// row spans y 49 .. 65 with its middle at 57; a bar of R² 0.81 reaches round(1.1 * 0.81 * 8) + 1
// = 8 pixels from the middle, in the colour of v = round(255 * 0.81) = 207.
constexpr int MarkerX[] = {160, 509, 858};
constexpr Rgb UpBar = rgb(255, 48, 48);
constexpr Rgb DownBar = rgb(48, 48, 255);

TEST(AssociationPlot, LayoutNumbers)
{
    const AssociationPlotLayout layout = associationPlotLayout(threeMarkers());
    EXPECT_EQ(layout.rowHeight, 16);
    EXPECT_DOUBLE_EQ(layout.scale, 34.9);
    EXPECT_EQ(layout.rowTops, (std::vector<int>{21, 49}));
    EXPECT_EQ(layout.rowBottoms, (std::vector<int>{29, 65}));
    EXPECT_EQ(layout.width, 858 + 4 + 5) << "wide enough for the last band";
    EXPECT_EQ(layout.height, 6 * 22 + 25) << "round(2 * 1.35 + 3) = 6 rows of h + space, + 25";
}

TEST(AssociationPlot, BarsOnlyForSignificantMarkers)
{
    const QImage fdr = renderPicture(recordAssociationPlot(threeMarkers()));
    EXPECT_EQ(pixelAt(fdr, MarkerX[0], 53), UpBar) << "significant, positive: up from the middle";
    EXPECT_EQ(pixelAt(fdr, MarkerX[0] + 1, 60), test::White) << "nothing below the middle";
    EXPECT_EQ(pixelAt(fdr, MarkerX[1], 60), test::White) << "q above the threshold: no bar, however large R²";
    EXPECT_EQ(pixelAt(fdr, MarkerX[2], 55), test::White) << "q shown \" X\": never a bar";

    AssociationPlotInput byP = threeMarkers();
    byP.useFdrThreshold = false;
    const QImage p = renderPicture(recordAssociationPlot(byP));
    EXPECT_EQ(pixelAt(p, MarkerX[0], 53), UpBar);
    EXPECT_EQ(pixelAt(p, MarkerX[1], 60), DownBar) << "the p table decides; negative R points down";
    EXPECT_EQ(pixelAt(p, MarkerX[2], 55), test::White);

    EXPECT_TRUE(associationPlotSignificant(threeMarkers(), 1, 0));
    EXPECT_FALSE(associationPlotSignificant(threeMarkers(), 1, 2));
}

TEST(AssociationPlot, GroupBarGradientAndUncheckedTraits)
{
    AssociationPlotInput gradient = threeMarkers();
    gradient.style = AssociationPlotInput::Style::Gradient;
    const QImage image = renderPicture(recordAssociationPlot(gradient));
    EXPECT_EQ(pixelAt(image, 300, 25), rgb(0, 128, 0)) << "the group bar in row 0";
    EXPECT_EQ(pixelAt(image, MarkerX[1], 57), associationR2Color(0.81)) << "the gradient reaches each marker's colour";
    EXPECT_EQ(pixelAt(image, MarkerX[0], 57), associationR2Color(0.81));
    EXPECT_EQ(associationR2Color(0.5), rgb(255, 127, 127)) << "round(127.5) to even";

    AssociationPlotInput none = threeMarkers();
    none.traitNames.clear();
    none.traitColumns.clear();
    EXPECT_EQ(associationPlotLayout(none).rowTops.size(), 1u) << "an unchecked trait takes no room";
}

// Row 0 spans y 21 .. 29; x 300 .. 315 lies inside the second segment of the group bar, away
// from the marker ticks. Hatch lines run back-diagonally through every pixel with x - y a
// multiple of 8 (the brush is anchored at the picture's origin).
TEST(AssociationPlot, GroupBarsHatchedInBlackAndWhiteAndWithUseHatch)
{
    using Fill = DrawingOptions::FillStyle;
    using Mode = DrawingOptions::ColorMode;
    using Hatch = DrawingOptions::HatchGroup;
    struct Case
    {
        const char *name;
        Mode mode;
        Hatch hatch;
        Fill fill;
        bool hatched;
        Rgb ink;
    };
    const Case cases[] = {
        {"B&W, gradient (B&W's usual style)", Mode::BlackAndWhite, Hatch::Solid, Fill::Gradient, true, test::Black},
        {"B&W, discrete", Mode::BlackAndWhite, Hatch::Solid, Fill::Discrete, true, test::Black},
        {"B&W, use hatch", Mode::BlackAndWhite, Hatch::UseHatch, Fill::Discrete, true, test::Black},
        {"colour, use hatch", Mode::Color, Hatch::UseHatch, Fill::Discrete, true, rgb(0, 128, 0)},
        {"colour, solid", Mode::Color, Hatch::Solid, Fill::Discrete, false, rgb(0, 128, 0)},
    };
    for (const Case &c : cases) {
        AssociationPlotInput input = threeMarkers();
        input.drawing.colorMode = c.mode;
        input.drawing.hatchgrp = c.hatch;
        input.drawing.Fillstyle = c.fill;
        const QImage image = renderPicture(recordAssociationPlot(input));
        for (const int y : {23, 25, 27}) {
            for (int x = 300; x < 316; ++x) {
                const bool onLine = ((x - y) % 8 + 8) % 8 == 0;
                const Rgb expected = !c.hatched || onLine ? c.ink : test::White;
                ASSERT_EQ(pixelAt(image, x, y), expected) << c.name << " at (" << x << ", " << y << ")";
            }
        }
    }

    // "3D look": four lines from white into the bar colour at the top, four from it to grey
    // (128, 128, 128) at the bottom: y 25 is dark green itself, y 28 three quarters of the way.
    AssociationPlotInput look = threeMarkers();
    look.drawing.Fillstyle = Fill::ThreeD;
    const QImage image = renderPicture(recordAssociationPlot(look));
    EXPECT_EQ(pixelAt(image, 300, 22), rgb(191, 223, 191)) << "white + (C - white) / 4";
    EXPECT_EQ(pixelAt(image, 300, 25), rgb(0, 128, 0));
    EXPECT_EQ(pixelAt(image, 300, 28), rgb(96, 128, 96));
}

TraitLdPlotInput ldInput()
{
    TraitLdPlotInput input;
    input.traitName = "height";
    input.drawing.barwidth = 8;
    input.drawing.markspace = 100;
    input.drawing.ShowLegend = false;
    input.drawing.cMRuler = false;
    input.drawing.drawmarkers = false;
    input.groups = {{"chr1", {{"m1", 0.0, 0.5, 0.8}, {"m2", 40.0, 0.0, 0.0}}}, {"chr2", {{"m3", 0.0, 0.0, 0.0}}}};
    return input;
}

TEST(TraitLdPlot, MarksAndBarPlaces)
{
    const TraitLdPlotInput input = ldInput();
    EXPECT_EQ(traitLdBarLeft(input, 1) - traitLdBarLeft(input, 0), 113) << "15 * 7 + 8 pixels per group";
    const QImage image = renderPicture(recordTraitLdPlot(input));
    // xb = C + 10; the navy mark 8 pixels right of it (round(7.5) to even), the red one 12.
    const int xb = traitLdBarLeft(input, 0) + 10;
    const int ym = TraitLdTopMargin;
    EXPECT_EQ(pixelAt(image, xb + 8, ym), TraitLdR2Color);
    EXPECT_EQ(pixelAt(image, xb + 12, ym), TraitLdQColor);
    EXPECT_EQ(pixelAt(image, traitLdBarLeft(input, 0) + 4, ym + 20), rgb(192, 220, 192)) << "the bar";
    EXPECT_TRUE(recordTraitLdPlot(TraitLdPlotInput{}).isEmpty()) << "nothing to draw without groups";
}

} // namespace
} // namespace rvk
