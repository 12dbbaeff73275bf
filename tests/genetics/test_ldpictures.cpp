#include "genetics/ldpictures.h"

#include "genetics/ldanalysis.h"
#include "genetics/ldfixture.h"
#include "render/paintersurface.h"
#include "render/viewpicture.h"
#include "settings/alleletable.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <tuple>

namespace rvk {
namespace {

using test::makeLdData;

TEST(LdHeatPlot, IntensityFollowsTheMeasure)
{
    struct Case { LdPlotMeasure measure; double value; int v; };
    const Case cases[] = {
        {LdPlotMeasure::MinusLogP, 4.0, 50},     // 4 / 20 * 250
        {LdPlotMeasure::MinusLogP, 40.0, 255},   // capped
        {LdPlotMeasure::MinusLogP, -1.0, 0},     // no p-value: white
        {LdPlotMeasure::R, -0.7, 140},           // abs(round(-140))
        {LdPlotMeasure::R, 0.5, 100},
        {LdPlotMeasure::R2, 0.6525, 130},        // 130.5 rounds to the even 130
        {LdPlotMeasure::R2, 0.6575, 132},        // 131.5 rounds to 132
        {LdPlotMeasure::DPrime, 1.0, 200},
        {LdPlotMeasure::ChiSquarePrime, 3.0, 255},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ldHeatIntensity(c.measure, c.value), c.v) << static_cast<int>(c.measure) << " " << c.value;
}

TEST(LdHeatPlot, FillColourRules)
{
    EXPECT_EQ(ldHeatFill(100, false, false).color, rgb(255, 155, 155));
    EXPECT_EQ(ldHeatFill(100, true, false).color, rgb(155, 155, 255));
    EXPECT_FALSE(ldHeatFill(100, true, false).hatched);
    EXPECT_EQ(ldHeatFill(100, false, true).color, rgb(155, 155, 155));
    EXPECT_FALSE(ldHeatFill(100, false, true).hatched);
    EXPECT_EQ(ldHeatFill(100, true, true).color, rgb(155, 155, 155));
    EXPECT_TRUE(ldHeatFill(100, true, true).hatched);
}

// Three loci: a and b in repulsion (R = -1), c uncorrelated with both.
GenotypeData threeLoci()
{
    return makeLdData({{{"a", 0, "AABBAABB"}, {"b", 10, "BBAABBAA"}, {"c", 20, "ABABABAB"}}});
}

QImage paintedPlot(const LdAnalysis &analysis, bool blackAndWhite, int blockSize)
{
    LdHeatPlotOptions options;
    options.blockSize = blockSize;
    options.blackAndWhite = blackAndWhite;
    return renderLdHeatPlotImage(ldHeatPlotInput(analysis, options), 10000);
}

QRgb pixel(const QImage &image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

TEST(LdHeatPlot, NegativeRIsBlueInColourAndHatchedGreyInBlackAndWhite)
{
    const GenotypeData data = threeLoci();
    LdOptions options;
    options.measure = LdMeasure::R;
    const auto analysis = LdAnalysis::runAllLoci(data, AlleleTable(), options);
    ASSERT_TRUE(analysis->negativeR(0, 1));
    const int b = 16;
    // Pair (0, 1): the square x = 0..15, y = 16..31; R = -1 gives v = 200.
    const QImage colour = paintedPlot(*analysis, false, b);
    EXPECT_EQ(colour.width(), (3 + 3) * b + 1);
    for (auto [x, y] : {std::pair{3, 20}, std::pair{10, 27}, std::pair{8, 24}})
        EXPECT_EQ(pixel(colour, x, y), qRgb(55, 55, 255) & 0xFFFFFF) << x << "," << y;
    const QImage grey = paintedPlot(*analysis, true, b);
    std::map<QRgb, int> colours;
    for (int y = b + 2; y < 2 * b - 2; ++y)
        for (int x = 2; x < b - 2; ++x)
            ++colours[pixel(grey, x, y)];
    // Hatch lines in grey (55, 55, 55) on white: both occur, nothing else.
    EXPECT_EQ(colours.size(), 2u);
    EXPECT_GT(colours[qRgb(55, 55, 55) & 0xFFFFFF], 0);
    EXPECT_GT(colours[qRgb(255, 255, 255) & 0xFFFFFF], 0);
}

TEST(LdHeatPlot, PositivePairsAreRedAndGroupsAreDrawnBesideTheDiagonal)
{
    const GenotypeData data = makeLdData({{{"a", 0, "AABBAABB"}, {"b", 10, "AABBAABA"}}, {{"c", 0, "ABABABAB"}}});
    const auto analysis = LdAnalysis::runAllLoci(data, AlleleTable(), {});
    const double r2 = analysis->pair(0, 1).R2;
    const int v = ldHeatIntensity(LdPlotMeasure::R2, r2);
    const int b = 10;
    const QImage image = paintedPlot(*analysis, false, b);
    EXPECT_EQ(pixel(image, 5, 15), qRgb(255, 255 - v, 255 - v) & 0xFFFFFF);
    // The first group's line runs from (3b, 0) to (5b, 2b) in money green; its middle is green.
    EXPECT_EQ(pixel(image, 4 * b, b), qRgb(192, 220, 192) & 0xFFFFFF);
    // The second group (odd index) in olive, from (5b, 2b) to (6b, 3b).
    EXPECT_EQ(pixel(image, 5 * b + b / 2, 2 * b + b / 2), qRgb(128, 128, 0) & 0xFFFFFF);
}

// The rectangles (left, top, right, bottom) of an EMF file's EMR_RECTANGLE records, and its
// header's device size.
struct EmfRectangles
{
    std::vector<std::array<std::int32_t, 4>> rectangles;
    std::int32_t deviceWidth = 0, deviceHeight = 0;
};
EmfRectangles emfRectangles(const std::string &bytes)
{
    const auto dword = [&bytes](size_t at) {
        std::uint32_t v = 0;
        for (int k = 3; k >= 0; --k)
            v = v << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(k)]);
        return v;
    };
    EmfRectangles result;
    if (bytes.size() < 80 || dword(0) != 1)
        return result;
    result.deviceWidth = static_cast<std::int32_t>(dword(72));
    result.deviceHeight = static_cast<std::int32_t>(dword(76));
    for (size_t at = 0; at + 8 <= bytes.size();) {
        const std::uint32_t type = dword(at), size = dword(at + 4);
        if (size < 8 || at + size > bytes.size())
            break;
        if (type == 43) // EMR_RECTANGLE
            result.rectangles.push_back({static_cast<std::int32_t>(dword(at + 8)), static_cast<std::int32_t>(dword(at + 12)),
                                         static_cast<std::int32_t>(dword(at + 16)), static_cast<std::int32_t>(dword(at + 20))});
        at += size;
    }
    return result;
}

TEST(LdHeatPlot, VectorFilesKeepTheBlockSizeForManyLoci)
{
    // 300 loci at block size 5: the plot is (300 + 3) * 5 = 1515 pixels a side, and so is its
    // EMF, each square 5 pixels (a pen-less rectangle one pixel larger on the right and bottom).
    LdHeatPlotInput input;
    input.locusCount = 300;
    input.blockSize = 5;
    input.row = [](int i, const std::function<void(int, float, bool)> &visit) {
        if (i == 0)
            visit(1, 1.0f, false);
        if (i == 298)
            visit(299, 1.0f, false);
    };
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("heat.emf")).toStdString();
    std::string written, error;
    ASSERT_TRUE(saveLdHeatPlot(input, path, HeatPlotBitmapFileSide, written, error)) << error;
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const EmfRectangles emf = emfRectangles(bytes);
    EXPECT_EQ(emf.deviceWidth, 1516);
    EXPECT_EQ(emf.deviceHeight, 1516);
    using R = std::array<std::int32_t, 4>;
    const auto has = [&emf](const R &r) { return std::find(emf.rectangles.begin(), emf.rectangles.end(), r) != emf.rectangles.end(); };
    EXPECT_TRUE(has(R{1, 1, 1515, 1515})) << "the frame";
    EXPECT_TRUE(has(R{0, 5, 6, 11})) << "pair (0, 1)";
    EXPECT_TRUE(has(R{1490, 1495, 1496, 1501})) << "pair (298, 299)";

    // Beyond what a vector file reasonably holds the plot is refused for them, with the bitmaps named.
    input.locusCount = 2001; // 2,001,000 pairs
    const std::string large = folder.filePath(QStringLiteral("large.svg")).toStdString();
    EXPECT_FALSE(saveLdHeatPlot(input, large, HeatPlotBitmapFileSide, written, error));
    EXPECT_EQ(error, "The heat plot of 2001 loci has too many squares for a vector file; save it as PNG or JPEG.");
    EXPECT_FALSE(std::ifstream(large).good());
}

TEST(LdHeatPlot, LargeRunsShrinkToPixelsAndBlocksKeepingTheStrongestPair)
{
    const LdHeatPlotLayout fits = ldHeatPlotLayout(100, 5, 4096);
    EXPECT_EQ(fits.blockPixels, 5);
    EXPECT_EQ(fits.width, 103 * 5);
    const LdHeatPlotLayout smaller = ldHeatPlotLayout(1000, 5, 4096);
    EXPECT_EQ(smaller.blockPixels, 4);
    EXPECT_EQ(smaller.pairsPerBlock, 1);
    const LdHeatPlotLayout blocks = ldHeatPlotLayout(10000, 5, 4096);
    EXPECT_EQ(blocks.blockPixels, 1);
    EXPECT_EQ(blocks.pairsPerBlock, 3);
    EXPECT_EQ(blocks.width, 3334 + 3);
    EXPECT_LE(blocks.width, 4096);

    // 9000 loci at most 3006 pixels: blocks of 3 x 3 pairs. The block of rows 3..5 and columns
    // 0..2 holds a weak positive pair and one strong negative pair: it shows the negative one.
    LdHeatPlotInput input;
    input.locusCount = 9000;
    input.measure = LdPlotMeasure::R;
    input.row = [](int i, const std::function<void(int, float, bool)> &visit) {
        if (i == 0)
            visit(3, 0.1f, false);
        if (i == 2)
            visit(5, -0.9f, true);
        if (i == 10)
            visit(8000, 0.5f, false);
    };
    const QImage image = renderLdHeatPlotImage(input, 3006);
    ASSERT_EQ(image.width(), 3003 + 1);
    EXPECT_EQ(pixel(image, 0, 1), qRgb(75, 75, 255) & 0xFFFFFF); // v = 180
    EXPECT_EQ(pixel(image, 3, 2666), qRgb(255, 155, 155) & 0xFFFFFF);
    EXPECT_EQ(pixel(image, 500, 1500), qRgb(255, 255, 255) & 0xFFFFFF);
}

TEST(LdChart, PaintsEachPixelOnceAndTheThresholdInNavy)
{
    LdChartInput input;
    input.leftTitle = "LD (R²)";
    input.range = LdChartInput::Range::UpToOne;
    input.largestDistance = 100.0;
    long long calls = 0;
    input.points = [&calls](const std::function<void(double, double)> &visit) {
        for (int k = 0; k < 100000; ++k) {
            ++calls;
            visit(50.0, 0.5); // one place, many times
        }
        visit(0.0, 1.0);
    };
    input.thresholdY = 0.25;
    const ViewPicture picture = recordLdChart(input);
    EXPECT_LT(picture.operationCount(), 2000u);
    QImage image(input.width, input.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        PainterSurface surface(image);
        picture.replay(surface);
    }
    const LdChartPlotArea area = ldChartPlotArea(input);
    const int x = area.left + (area.right - area.left) / 2;
    const int y = area.bottom - (area.bottom - area.top) / 2;
    EXPECT_EQ(pixel(image, x, y), qRgb(255, 0, 0) & 0xFFFFFF);
    EXPECT_EQ(pixel(image, x + 1, y), qRgb(255, 0, 0) & 0xFFFFFF); // the cross's arm
    const int thresholdY = area.bottom - static_cast<int>(std::lround(0.25 * (area.bottom - area.top)));
    EXPECT_EQ(pixel(image, area.left + 30, thresholdY), qRgb(0, 0, 128) & 0xFFFFFF);
    const LdChartAxes axes = ldChartAxes(input);
    EXPECT_EQ(axes.yMax, 1.0);
    EXPECT_EQ(axes.xMax, 100.0);
}

TEST(LdChart, RangesFollowTheMeasure)
{
    const GenotypeData data = threeLoci();
    for (auto [measure, low, high] : {std::tuple{LdMeasure::R, -1.0, 1.0}, std::tuple{LdMeasure::R2, 0.0, 1.0}}) {
        LdOptions options;
        options.measure = measure;
        const auto analysis = LdAnalysis::runGroup(data, AlleleTable(), 0, options);
        const LdChartAxes axes = ldChartAxes(ldChartInput(*analysis));
        EXPECT_EQ(axes.yMin, low);
        EXPECT_EQ(axes.yMax, high);
        EXPECT_EQ(axes.xMax, 20.0);
    }
}

TEST(LdTable, CellColoursFollowTheSignAndTheMeasure)
{
    struct Case { LdMeasure measure; const char *text; Rgb color; bool framed; };
    const Case cases[] = {
        {LdMeasure::R2, " 0.50", rgb(255, 165, 165), true},          // a = 90
        {LdMeasure::R, " -0.50", rgb(165, 165, 255), false},
        {LdMeasure::R, " 0.00", rgb(255, 255, 255), false},          // zero counts as not positive
        {LdMeasure::MinusLogP, " 4.00", rgb(255, 153, 153), true},   // 4 / 10 * 255 = 102
        {LdMeasure::MinusLogP, " -1.00", rgb(229, 229, 255), false}, // -round(-25.5) = 26 (half to even)
        {LdMeasure::ChiSquarePrime, " 2.00", rgb(255, 0, 0), true},  // 360 capped at 255
    };
    for (const Case &c : cases) {
        const auto fill = ldTableCellFill(c.measure, c.text);
        ASSERT_TRUE(fill) << c.text;
        EXPECT_EQ(fill->color, c.color) << c.text;
        EXPECT_EQ(fill->framed, c.framed) << c.text;
    }
    EXPECT_FALSE(ldTableCellFill(LdMeasure::R2, "N/A"));
    EXPECT_FALSE(ldTableCellFill(LdMeasure::R2, ""));
}

} // namespace
} // namespace rvk
