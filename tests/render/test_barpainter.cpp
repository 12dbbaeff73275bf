#include "genotypeviewfixture.h"
#include "textcapture.h"

#include "render/barpainter.h"
#include "render/labellayout.h"
#include "render/picturerecorder.h"

#include <gtest/gtest.h>

#include <random>

namespace rvk {
namespace {

using namespace rvk::test;

// ---- display codes -----------------------------------------------------------------------

struct CodeCase
{
    CrossPollinatorTable table;
    const char *segType;
    const char *phase;
    const char *genotype;
    int bar;
    char expected;
};

TEST(DisplayCode, CrossPollinatorRulesOfBothViews)
{
    const auto LG = CrossPollinatorTable::LinkageGroupView;
    const auto IV = CrossPollinatorTable::IndividualView;
    const CodeCase cases[] = {
        {LG, "<lmxll>", "{10}", "lm", 0, 'm'}, {LG, "<lmxll>", "{10}", "ml", 0, 'l'}, {LG, "<lmxll>", "{00}", "lm", 0, 'l'},
        {LG, "<efxeg>", "{1-}", "fe", 0, 'e'}, {LG, "<efxeg>", "{1-}", "ee", 0, 'f'},
        {LG, "<hkxhk>", "{10}", "hk", 0, 'k'}, {LG, "<hkxhk>", "{10}", "kk", 0, 'h'},
        {LG, "<abxcd>", "{10}", "ac", 0, 'b'}, {LG, "<abxcd>", "{10}", "bd", 0, 'a'},
        {LG, "<abxaa>", "{10}", "AB", 0, 'B'}, {LG, "<abxaa>", "{10}", "AA", 0, 'A'}, {LG, "<abxaa>", "{00}", "AB", 0, 'A'},
        {LG, "<abxab>", "{10}", "AA", 0, 'U'}, {LG, "<abxab>", "{00}", "BA", 0, 'U'}, {LG, "<abxab>", "{00}", "AB", 0, 'A'},
        {LG, "<aaxab>", "{01}", "AB", 1, 'D'}, {LG, "<aaxab>", "{00}", "AB", 1, 'C'}, {LG, "<aaxab>", "{01}", "AA", 1, 'C'},
        {LG, "<nnxnp>", "{-1}", "np", 1, 'n'}, {LG, "<nnxnp>", "{-1}", "nn", 1, 'p'}, {LG, "<nnxnp>", "{-0}", "np", 1, 'p'},
        {LG, "<efxeg>", "{01}", "eg", 1, 'e'}, {LG, "<efxeg>", "{01}", "ee", 1, 'g'},
        {LG, "<hkxhk>", "{01}", "hk", 1, 'h'}, {LG, "<hkxhk>", "{01}", "hh", 1, 'k'},
        {LG, "<abxcd>", "{01}", "ac", 1, 'd'}, {LG, "<abxcd>", "{01}", "bd", 1, 'c'},
        {LG, "<abxaa>", "{10}", "AB", 1, 'A'}, {LG, "<abxaa>", "{00}", "AB", 1, 'B'},
        {LG, "<abxab>", "{10}", "AA", 1, 'D'}, {LG, "<abxab>", "{00}", "AA", 1, 'C'}, {LG, "<abxab>", "{00}", "BB", 1, 'U'},
        {LG, "<lmxll>", "{11}", "lm", 1, 'm'}, // no rule for the second bar of this type
        {LG, "<xxxyy>", "{11}", "ab", 0, 'a'},
        {IV, "<aaxab>", "{01}", "AB", 0, 'D'}, {IV, "<aaxab>", "{01}", "BA", 0, 'C'}, {IV, "<aaxab>", "{00}", "AB", 0, 'C'},
        {IV, "<abxaa>", "{10}", "AB", 0, 'B'}, {IV, "<abxaa>", "{00}", "AB", 0, 'A'},
        {IV, "<abxab>", "{10}", "AA", 0, 'U'}, {IV, "<abxab>", "{00}", "AB", 0, 'A'},
        {IV, "<aaxab>", "{01}", "AB", 1, 'D'}, {IV, "<abxaa>", "{10}", "AB", 1, 'A'},
        {IV, "<abxab>", "{10}", "AA", 1, 'D'}, {IV, "<abxab>", "{00}", "BB", 1, 'U'},
        {IV, "<lmxll>", "{10}", "lm", 0, 'l'}, {IV, "<abxcd>", "{11}", "ac", 1, 'c'},
    };
    for (const CodeCase &c : cases) {
        Tlocinfo locus;
        locus.SegType = c.segType;
        locus.Phase = c.phase;
        EXPECT_EQ(displayCode(locus, c.genotype, c.bar, "cp", false, c.table), c.expected)
            << c.segType << " " << c.phase << " " << c.genotype << " bar " << c.bar << " table " << static_cast<int>(c.table);
    }
}

TEST(DisplayCode, PhaseRuleExchangesAAndBAtHaploidLociInPhaseOne)
{
    struct Case
    {
        const char *popt;
        bool deduce;
        const char *phase;
        char code;
        char expected;
    };
    const Case cases[] = {
        {"dh", true, "{1}", 'a', 'b'}, {"hap", true, "{1}", 'b', 'a'}, {"dh1", true, "{1}", 'h', 'h'},
        {"dh", false, "{1}", 'a', 'a'}, {"dh", true, "{0}", 'a', 'a'},  {"f2", true, "{1}", 'a', 'a'},
    };
    for (const Case &c : cases) {
        Tlocinfo locus;
        locus.Phase = c.phase;
        EXPECT_EQ(displayCode(locus, std::string(1, c.code), 0, c.popt, c.deduce), c.expected) << c.popt << c.deduce << c.phase;
    }
}

// ---- bar painting -------------------------------------------------------------------------

// Paints one bar from x 10 to 20 at 10 pixels per cM, no top margin.
struct BarFixture
{
    DrawContext context;
    AlleleTable table = testTable();
    std::vector<Tlocinfo> loci;

    BarFixture() { context.options.topmargin = 0; }

    void add(double position, char code, double qtlStart = 0, double qtlEnd = 0)
    {
        Tlocinfo locus;
        locus.Name = "m" + std::to_string(loci.size());
        locus.Position = position;
        locus.Genotypes = std::string(1, code);
        locus.QtlStart = qtlStart;
        locus.QtlEnd = qtlEnd;
        loci.push_back(locus);
    }

    void paint(DrawSurface &surface)
    {
        const ViewGeometry geometry{10.0, 1.0, 0};
        const DisplayCoder coder("f2", false);
        BarPainter painter(surface, table, context, geometry, coder);
        painter.paintBar(loci, 0, -1, 0, 10, 20);
    }

    QImage image()
    {
        QImage result = whiteImage(60, 260);
        PainterSurface surface(result);
        paint(surface);
        return result;
    }

    ViewPicture picture()
    {
        ViewPicture result(60, 260);
        PictureRecorder recorder(result);
        paint(recorder);
        return result;
    }
};

TEST(PaintBar, DiscreteColourChangesAtTheMidpointPixel)
{
    BarFixture f;
    f.add(0, 'a');
    f.add(10, 'b');
    const QImage image = f.image();
    EXPECT_EQ(pixelAt(image, 15, 0), Red);
    EXPECT_EQ(pixelAt(image, 15, 49), Red);
    EXPECT_EQ(pixelAt(image, 15, 50), Blue); // y(5 cM), the midpoint
    EXPECT_EQ(pixelAt(image, 15, 99), Blue);
    EXPECT_EQ(pixelAt(image, 15, 100), White); // the bar ends at the last marker
    EXPECT_EQ(pixelAt(image, 10, 30), Red);
    EXPECT_EQ(pixelAt(image, 19, 30), Red);
    EXPECT_EQ(pixelAt(image, 20, 30), White);
}

TEST(PaintBar, GradientBlendsFromMarkerToMarker)
{
    BarFixture f;
    f.context.options.Fillstyle = DrawingOptions::FillStyle::Gradient;
    f.add(0, 'a');
    f.add(10, 'b');
    const QImage image = f.image();
    EXPECT_EQ(pixelAt(image, 15, 0), Red);
    EXPECT_EQ(pixelAt(image, 15, 100), Blue);
    // Row 25 of 100: red + round(25 * (0 - 255) / 100) = 191 (191.25), blue 64 (63.75).
    EXPECT_EQ(pixelAt(image, 15, 25), rgb(191, 0, 64));
    EXPECT_EQ(pixelAt(image, 15, 50), rgb(127, 0, 128)); // -127.5 and 127.5 round to the even neighbours
}

TEST(PaintBar, GradientIsNotColouredByTicksOrQtlBars)
{
    BarFixture f;
    f.context.options.Fillstyle = DrawingOptions::FillStyle::Gradient;
    f.context.options.ticks = true;
    f.add(0, 'a');
    f.add(2, 'h', 4, 6);
    f.add(10, 'a');
    const QImage image = f.image();
    EXPECT_EQ(pixelAt(image, 15, 60), Red); // red to red all the way, despite the black tick and green QTL
    EXPECT_EQ(pixelAt(image, 15, 100), Black); // the tick of the last marker
}

TEST(PaintBar, ThreeDLookShadesWideBars)
{
    BarFixture f;
    f.context.options.Fillstyle = DrawingOptions::FillStyle::ThreeD;
    f.context.options.barwidth = 10;
    f.add(0, 'a');
    f.add(10, 'a');
    const QImage image = f.image();
    EXPECT_EQ(pixelAt(image, 10, 30), White);               // white + 0
    EXPECT_EQ(pixelAt(image, 11, 30), rgb(255, 191, 191));  // white + round(1/4 (red - white))
    EXPECT_EQ(pixelAt(image, 15, 30), Red);
    EXPECT_EQ(pixelAt(image, 17, 30), Red);                  // right shade starts at E - 3 with C itself
    EXPECT_EQ(pixelAt(image, 19, 30), rgb(191, 64, 64));    // red + round(2/4 (grey - red))
}

TEST(PaintBar, NarrowThreeDLookDrawsLikeDiscreteWithTips)
{
    BarFixture f;
    f.context.options.Fillstyle = DrawingOptions::FillStyle::ThreeD;
    f.context.options.roundtip = true;
    f.add(0, 'a');
    f.add(10, 'b');
    f.add(20, 'b');
    const QImage image = f.image();
    EXPECT_EQ(pixelAt(image, 10, 30), Red);
    EXPECT_EQ(pixelAt(image, 15, 201), Blue); // the lower tip below the end at y 200
    EXPECT_EQ(pixelAt(image, 15, 206), White);
}

TEST(PaintBar, RoundTipsAreHalfEllipsesAboveTheStartAndBelowTheEnd)
{
    // Bar x 10 .. 20 from y(0) = 20 to y(20) = 220 at 10 pixels per cM, tip half height 4.
    BarFixture f;
    f.context.options.topmargin = 20;
    f.context.options.roundtip = true;
    f.add(0, 'a');
    f.add(10, 'b');
    f.add(20, 'b');
    QImage image = whiteImage(60, 260);
    {
        PainterSurface surface(image);
        const ViewGeometry geometry{10.0, 1.0, 20};
        const DisplayCoder coder("f2", false);
        BarPainter painter(surface, f.table, f.context, geometry, coder);
        painter.paintBar(f.loci, 0, -1, 0, 10, 20);
    }
    EXPECT_EQ(pixelAt(image, 15, 18), Red);    // the upper tip, above the start, in the first allele
    EXPECT_EQ(pixelAt(image, 15, 14), White);  // beyond its height
    EXPECT_EQ(pixelAt(image, 15, 222), Blue);  // the lower tip, below the end, in the last allele
    EXPECT_EQ(pixelAt(image, 15, 226), White);
    EXPECT_EQ(pixelAt(image, 15, 120), Blue);  // the bar itself
    // Without the option the bar ends square.
    f.context.options.roundtip = false;
    image = f.image();
    EXPECT_EQ(pixelAt(image, 15, 202), White);
}

TEST(PaintBar, QtlLocusDrawsAThinBarAndIsNoSegmentBoundary)
{
    BarFixture f;
    f.add(0, 'a');
    f.add(4, 'h', 2, 8);
    f.add(10, 'b');
    const QImage image = f.image();
    // The QTL bar: x 22 .. 26 (qw 4), y(2) .. y(8), in the colour of the QTL locus's allele.
    EXPECT_EQ(pixelAt(image, 23, 50), Green);
    EXPECT_EQ(pixelAt(image, 25, 21), Green);
    EXPECT_EQ(pixelAt(image, 26, 50), White);
    EXPECT_EQ(pixelAt(image, 23, 19), White);
    // The first marker's segment ends at the midpoint to the QTL locus (2 cM).
    EXPECT_EQ(pixelAt(image, 15, 19), Red);
    EXPECT_EQ(pixelAt(image, 15, 20), Blue);
    EXPECT_DOUBLE_EQ(f.table.lookup('a').DrawnLength, 4.0);
    EXPECT_DOUBLE_EQ(f.table.lookup('h').DrawnLength, 0.0);
    EXPECT_DOUBLE_EQ(f.table.lookup('b').DrawnLength, 0.0);
    EXPECT_TRUE(f.table.lookup('a').Used);
    EXPECT_FALSE(f.table.lookup('b').Used);
}

TEST(PaintBar, BlackAndWhiteFillsWithPatterns)
{
    BarFixture f;
    f.context.options.colorMode = DrawingOptions::ColorMode::BlackAndWhite;
    f.table.setHatch(codeIndex('a'), 0); // solid black
    f.table.setHatch(codeIndex('b'), 7); // no fill
    f.add(0, 'a');
    f.add(10, 'b');
    const QImage discrete = f.image();
    EXPECT_EQ(pixelAt(discrete, 15, 20), Black);
    EXPECT_EQ(pixelAt(discrete, 15, 75), White);  // unfilled
    EXPECT_EQ(pixelAt(discrete, 10, 75), Black);  // but outlined
    f.context.options.Fillstyle = DrawingOptions::FillStyle::Gradient;
    const QImage gradient = f.image();
    EXPECT_EQ(pixelAt(gradient, 15, 20), Black);
    EXPECT_EQ(pixelAt(gradient, 10, 75), White); // invisible
}

TEST(PaintBar, RecordingGrowsWithAlleleChangesNotWithMarkers)
{
    auto operations = [](DrawingOptions::FillStyle style, DrawingOptions::ColorMode mode, int markers, bool alternate) {
        BarFixture f;
        f.context.options.Fillstyle = style;
        f.context.options.colorMode = mode;
        for (int k = 0; k < markers; ++k)
            f.add(k * 12.0 / markers, alternate && (k % 2) ? 'b' : 'a');
        return f.picture().operationCount();
    };
    using FS = DrawingOptions::FillStyle;
    using CM = DrawingOptions::ColorMode;
    for (FS style : {FS::Discrete, FS::Gradient, FS::ThreeD}) {
        EXPECT_EQ(operations(style, CM::Color, 4, false), operations(style, CM::Color, 60, false)) << static_cast<int>(style);
        EXPECT_LT(operations(style, CM::Color, 4, true), operations(style, CM::Color, 60, true)) << static_cast<int>(style);
    }
    EXPECT_EQ(operations(FS::Gradient, CM::BlackAndWhite, 4, false), operations(FS::Gradient, CM::BlackAndWhite, 60, false));
    // Black outlines between equal segments stay visible, so those are drawn one by one.
    EXPECT_LT(operations(FS::Discrete, CM::BlackAndWhite, 4, false), operations(FS::Discrete, CM::BlackAndWhite, 60, false));
}

TEST(PaintBar, MergedSegmentsPaintTheSamePixelsAsSeparateOnes)
{
    // Equal alleles on both sides of a boundary: the boundary leaves no trace in colour mode,
    // while in black and white each segment keeps its own outline.
    BarFixture f;
    f.add(0, 'a');
    f.add(5, 'a');
    f.add(10, 'a');
    const QImage colour = f.image();
    for (int y = 0; y < 100; ++y)
        ASSERT_EQ(pixelAt(colour, 15, y), Red) << y;
    f.context.options.colorMode = DrawingOptions::ColorMode::BlackAndWhite;
    f.table.setHatch(codeIndex('a'), 11);
    const QImage bw = f.image();
    EXPECT_EQ(pixelAt(bw, 12, 24), Black);
    EXPECT_EQ(pixelAt(bw, 13, 24), Black); // bottom outline of the first segment (ends at 25)
    EXPECT_EQ(pixelAt(bw, 12, 25), Black);
    EXPECT_EQ(pixelAt(bw, 13, 25), Black); // top outline of the second
}

// ---- labels -------------------------------------------------------------------------------

// ---- ruler and footer ----------------------------------------------------------------------

TEST(CmRuler, NumbersEveryTwentyFiveCmAtZoomedRoundedPlaces)
{
    // s = 3.3, z = 1.5, tm = 20, 52 cM: ticks i = 0 .. 11, numbers at i = 0, 5, 10 at
    // x = round(7.5) = 8 and y_i - 7 with y_i = round(1.5 * (round(16.5 i) + 20)):
    // y_0 = 30, y_5 = round(1.5 * (82 + 20)) = 153, y_10 = round(1.5 * (165 + 20)) = 278 (277.5 to even).
    DrawContext context;
    context.zoom = 1.5;
    QImage image = whiteImage(100, 400);
    TextCapture surface(image);
    const int lastY = drawCmRuler(surface, context, ViewGeometry{3.3, 1.5, 20}, 2, 14, 52.0);
    ASSERT_EQ(surface.texts.size(), 3u);
    const struct
    {
        const char *text;
        int y;
    } expected[] = {{"0", 30 - 7}, {"25", 153 - 7}, {"50", 278 - 7}};
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(surface.texts[k].text, expected[k].text);
        EXPECT_EQ(surface.texts[k].x, 8);
        EXPECT_EQ(surface.texts[k].y, expected[k].y) << expected[k].text;
    }
    EXPECT_EQ(lastY, 303); // y_11 = round(1.5 * (round(181.5) + 20)) = 1.5 * (182 + 20)
    // The ruler's line runs at x = 2 from y_0 to y_11; ticks reach to x = round(5z).
    EXPECT_EQ(pixelAt(image, 2, 200), Black);
    EXPECT_EQ(pixelAt(image, 6, 153), Black);

    context.options.cMRuler = false;
    QImage empty = whiteImage(100, 400);
    TextCapture none(empty);
    drawCmRuler(none, context, ViewGeometry{3.3, 1.5, 20}, 2, 14, 52.0);
    EXPECT_TRUE(none.texts.empty());
    EXPECT_EQ(pixelAt(empty, 2, 200), White);
}

TEST(MarkerLabels, SkipRuleLabelsMarkersFarEnoughFromTheirPredecessor)
{
    std::vector<Tlocinfo> loci(5);
    const double positions[] = {0, 2, 4, 10, 11};
    for (size_t k = 0; k < loci.size(); ++k)
        loci[k].Position = positions[k];
    loci[4].QtlStart = 10.5;
    DrawingOptions options;
    options.markskip = 5;
    EXPECT_EQ(labelledLoci(loci, options), (std::vector<char>{1, 0, 0, 1, 1}));
    options.drawmarkers = false;
    options.drawpos = false;
    EXPECT_EQ(labelledLoci(loci, options), (std::vector<char>{0, 0, 0, 0, 0}));
}

TEST(MarkerLabels, SpreadingPushesOverlappingLabelsUpOnly)
{
    struct Case
    {
        std::vector<MarkerLabel> before;
        std::vector<int> after;
    };
    const Case cases[] = {
        // A lone label: the first two moves always happen.
        {{{0, 100, 100}}, {98}},
        // Two labels on one marker end up around it, th apart.
        {{{0, 100, 100}, {1, 100, 112}}, {93, 105}},
    };
    for (const Case &c : cases) {
        std::vector<MarkerLabel> labels = c.before;
        spreadLabels(labels, 8, 12);
        ASSERT_EQ(labels.size(), c.after.size());
        for (size_t j = 0; j < labels.size(); ++j)
            EXPECT_EQ(labels[j].label, c.after[j]) << j;
    }
}

TEST(MarkerLabels, CrowdedLabelsNeverMoveDownAndKeepTheirOrder)
{
    std::vector<MarkerLabel> labels;
    for (int j = 0; j < 40; ++j)
        labels.push_back({j, 200 + j, 200 + 14 * j});
    const auto before = labels;
    spreadLabels(labels, 8, 14);
    for (size_t j = 0; j < labels.size(); ++j) {
        EXPECT_LE(labels[j].label, before[j].label);
        if (j > 0) {
            EXPECT_GE(labels[j].label - labels[j - 1].label, 13);
        }
    }
    EXPECT_LT(labels[0].label, 200); // pushed above its marker, also above the top margin if need be
}

} // namespace
} // namespace rvk

namespace rvk {
namespace {

TEST(MarkerLabels, LongColumnsSpreadLikeOneByOne)
{
    // Long columns move packed blocks at once; the result must be the one of single moves.
    std::mt19937 random(3);
    for (int round = 0; round < 40; ++round) {
        const int n = 33 + static_cast<int>(random() % 120);
        const int th = 8 + static_cast<int>(random() % 8);
        const int step = th - 3 + static_cast<int>(random() % 6); // some columns start too tight
        std::vector<MarkerLabel> labels;
        int marker = 20, cursor = 20;
        for (int j = 0; j < n; ++j) {
            marker += static_cast<int>(random() % 30 < 20 ? random() % 3 : random() % 60);
            cursor = std::max(cursor, marker);
            labels.push_back({j, marker, cursor});
            cursor += step;
        }
        std::vector<MarkerLabel> blocks = labels;
        std::vector<MarkerLabel> single = labels;
        spreadLabels(blocks, 8, th);
        spreadLabelsOneByOne(single, 8, th);
        for (int j = 0; j < n; ++j)
            ASSERT_EQ(blocks[static_cast<size_t>(j)].label, single[static_cast<size_t>(j)].label) << "round " << round << " label " << j;
    }
}

} // namespace
} // namespace rvk

namespace rvk {
namespace {

TEST(MarkerLabels, EmptyColumnStaysEmpty)
{
    std::vector<MarkerLabel> labels;
    spreadLabels(labels, 8, 12);
    spreadLabelsOneByOne(labels, 8, 12);
    EXPECT_TRUE(labels.empty());
}

} // namespace
} // namespace rvk
