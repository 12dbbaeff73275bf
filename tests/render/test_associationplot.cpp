#include "render/associationplot.h"
#include "render/ldplot.h"
#include "render/paintersurface.h"
#include "render/picturerecorder.h"
#include "core/textformat.h"

#include "genotypeviewfixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace rvk {
namespace {

using test::pixelAt;
using test::renderPicture;
using test::whiteImage;

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

// The bar plot says under its rows how its bars are scaled, or why it has none.
TEST(AssociationPlot, NoteUnderTheBarsSaysHowTheyAreScaledOrWhyThereAreNone)
{
    const std::string r2 = "R\xC2\xB2";
    struct Case
    {
        const char *what;
        std::function<void(AssociationPlotInput &)> change;
        std::string note;
    };
    const std::vector<Case> cases{
        {"correlation", [](AssociationPlotInput &) {},
         "Bar length: " + r2 + " x 110% of half a row; \"Plotted association amplification (%):\" in the options (asso_amp) lengthens the bars."},
        {"amplified", [](AssociationPlotInput &in) { in.amplification = 300; },
         "Bar length: " + r2 + " x 400% of half a row; \"Plotted association amplification (%):\" in the options (asso_amp) lengthens the bars."},
        {"ANOVA by p", [](AssociationPlotInput &in) { in.useFdrThreshold = false; in.r2 = [](int, int) { return 0.0; }; in.r = in.r2; },
         "No bars: these results hold no " + r2 + " (an ANOVA gives none); the correlation analysis draws " + r2 + " bars."},
        {"ANOVA by q", [](AssociationPlotInput &in) { in.q = [](int, int) { return -1.0; }; in.r2 = [](int, int) { return 0.0; }; },
         "No bars: these results hold no " + r2 + " (an ANOVA gives none); the correlation analysis draws " + r2 + " bars."},
        {"none significant", [](AssociationPlotInput &in) { in.qThreshold = 0.001; },
         "No bars: no marker passes the FDR q threshold 0.001."},
        {"gradient", [](AssociationPlotInput &in) { in.style = AssociationPlotInput::Style::Gradient; }, ""},
    };
    for (const Case &c : cases) {
        AssociationPlotInput input = threeMarkers();
        c.change(input);
        EXPECT_EQ(associationPlotNote(input), c.note) << c.what;
        if (input.style == AssociationPlotInput::Style::Gradient)
            continue; // its legend stands on that line
        // Drawn from x = 160 on the line under the last row (49 + 2 * 6 + 2 * 16 = 93).
        const QImage image = renderPicture(recordAssociationPlot(input));
        int dark = 0;
        for (int y = 91; y < 91 + 16; ++y)
            for (int x = 160; x < 400; ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        EXPECT_GT(dark, 20) << c.what;
    }
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

// Text metrics in a font as the plot's painter measures them.
struct Metrics
{
    explicit Metrics(FontDescription font) : image(whiteImage(10, 10)), surface(image) { surface.setFont(font); }
    QImage image;
    PainterSurface surface;
};

bool dark(Rgb colour) { return redOf(colour) < 160 && greenOf(colour) < 160 && blueOf(colour) < 160; }

// Whether any pixel of the box x1..x2, y1..y2 (inclusive) is dark (text or connector).
bool anyDark(const QImage &image, int x1, int y1, int x2, int y2)
{
    for (int y = std::max(0, y1); y <= std::min(image.height() - 1, y2); ++y)
        for (int x = std::max(0, x1); x <= std::min(image.width() - 1, x2); ++x)
            if (dark(pixelAt(image, x, y)))
                return true;
    return false;
}

TEST(TraitLdPlot, CrowdedLabelsAreThinnedSoThatEveryLabelStandsBesideItsMarker)
{
    // 47 markers in the first 4.6 cM of a 100 cM group, then one at 100 cM: far more names than
    // the top of the column holds. A label that cannot stand beside its marker is left out;
    // none runs down the column beside markers that are not its own.
    TraitLdPlotInput input = ldInput();
    input.drawing.drawmarkers = true;
    TraitLdGroup group{"chr1", {}};
    for (int i = 0; i < 47; ++i)
        group.loci.push_back({"mk" + std::to_string(i), i * 0.1, 0.0, 0.0});
    group.loci.push_back({"last", 100.0, 0.0, 0.0});
    input.groups = {group};
    const TraitLdPlotLayout layout = traitLdPlotLayout(input);
    const auto y = [&](double p) { return static_cast<int>(roundHalfEven(layout.scale * p)) + TraitLdTopMargin; };
    FontDescription font = input.drawing.markerFont;
    font.size -= 1;
    Metrics metrics(font);
    const int th = metrics.surface.textHeight("8H8H");
    const int right = traitLdBarLeft(input, 0) - 1; // connectors end at the bar, names further left
    const QImage image = renderPicture(recordTraitLdPlot(input));
    ASSERT_GT(y(100) - y(4.6), 20 * th) << "room between the crowd and the last marker";

    // Labels and their connectors stay within four text heights of the crowd's markers...
    const int farthest = 4 * th;
    EXPECT_TRUE(anyDark(image, 0, y(0) - farthest, right, y(4.6) + farthest)) << "the crowd keeps some labels";
    EXPECT_FALSE(anyDark(image, 0, y(4.6) + farthest + th, right, y(100) - farthest - th))
        << "no label of the crowd runs down to markers that are not its own";
    // ...and the last marker's label stands beside it.
    EXPECT_TRUE(anyDark(image, 0, y(100) - th, right - 10, y(100) + th));
}

TEST(TraitLdPlot, TwoCloseLabelsAreSpreadAroundTheirMarkers)
{
    // Two markers 0.2 cM apart: their labels share the space above and below the markers,
    // the first one lifted above its marker, instead of the second one being pushed below.
    TraitLdPlotInput input = ldInput();
    input.drawing.drawmarkers = true;
    input.groups = {{"chr1", {{"a0", 0.0, 0, 0}, {"mm", 50.0, 0, 0}, {"mn", 50.2, 0, 0}, {"z9", 100.0, 0, 0}}}};
    const TraitLdPlotLayout layout = traitLdPlotLayout(input);
    const int ym = static_cast<int>(roundHalfEven(layout.scale * 50.0)) + TraitLdTopMargin;
    FontDescription font = input.drawing.markerFont;
    font.size -= 1;
    Metrics metrics(font);
    const int th = metrics.surface.textHeight("8H8H");
    const int step = metrics.surface.textHeight("8HLJ");
    const int textRight = traitLdBarLeft(input, 0) - 8 - 1;
    const int textLeft = textRight - metrics.surface.textWidth("mm");
    const QImage image = renderPicture(recordTraitLdPlot(input));
    // Unspread, the first name's box would start at ym - th/2 and the second's at ym + step - th/2.
    EXPECT_TRUE(anyDark(image, textLeft, ym - th - 1, textRight, ym - th / 2 - 1)) << "the first name is lifted";
    EXPECT_FALSE(anyDark(image, textLeft, ym + step - th / 2 + th - 2, textRight, ym + step + th)) << "the second is not pushed down";
}

TEST(TraitLdPlot, LegendAndTitleAreOnePointLargerThanTheMarkerFont)
{
    TraitLdPlotInput input = ldInput();
    input.drawing.ShowLegend = true;
    input.traitName = "plant height in the field";
    const std::string title = "LD-PLOT for trait: " + input.traitName;
    Metrics markerSize(input.drawing.markerFont);
    FontDescription larger = input.drawing.markerFont;
    larger.size += 1;
    Metrics legendSize(larger);
    const int shorter = markerSize.surface.textWidth(title), longer = legendSize.surface.textWidth(title);
    ASSERT_GE(longer - shorter, 6);
    const int sp3 = 7, groups = 2;
    const int xt = (groups * (15 * sp3 + 8) + 100) + static_cast<int>(roundHalfEven(2.2 * 8));
    const int top = TraitLdTopMargin + 180;
    const QImage image = renderPicture(recordTraitLdPlot(input));
    // The title reads downwards from (xt, top); its last ink shows its length.
    int last = -1;
    for (int y = top; y < image.height(); ++y)
        if (anyDark(image, xt, y, xt + legendSize.surface.textHeight(title), y))
            last = y;
    EXPECT_GT(last, top + shorter) << "longer than in the marker font";
    EXPECT_LE(last, top + longer);
}

} // namespace
} // namespace rvk
