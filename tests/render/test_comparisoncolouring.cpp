// The comparison drawing mode: segments coloured by how each code compares with a reference
// individual's code at the same locus, or by whose allele it is with a donor as well. Pixels are
// read at places computed from the views' geometry (see the linkage-group and all-in-one view
// tests for the same layouts).
#include "genotypeviewfixture.h"

#include "render/allinoneview.h"
#include "render/barpainter.h"
#include "render/comparisoncolouring.h"
#include "render/individualview.h"
#include "render/linkagegroupview.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

using namespace rvk::test;

// The category colours as the legend documents them.
constexpr Rgb SameGreen = rgb(0, 170, 0);
constexpr Rgb DifferentRed = rgb(220, 0, 0);
constexpr Rgb HetYellow = rgb(255, 210, 0);
constexpr Rgb UnknownGrey = rgb(192, 192, 192);
constexpr Rgb OtherBlue = rgb(70, 110, 230);

// Reference I1. Markers at 0, 50 and 100 cM; segments m1 0..25, m2 25..75, m3 75..100 cM.
//        I1  I2  I3  I4  I5  I6  I7  I8
//   m1   a   a   b   h   U   -   x   a
//   m2   h   h   a   H   C   h   a   h
//   m3   U   a   b   h   a   a   a   a
struct ComparisonFixture
{
    GenotypeData data = makeData({{{"m1", 0, "aabhU-xa", 0, 0, "", ""},
                                   {"m2", 50, "hhaHChah", 0, 0, "", ""},
                                   {"m3", 100, "Uabhaaaa", 0, 0, "", ""}}},
                                 8);
    AlleleTable table = testTable();
    DrawContext context;

    ComparisonFixture()
    {
        context.options.autosize = false;
        context.options.markspace = 100;
        context.visibleHeight = 400;
        context.options.ShowLegend = false;
        context.options.colorMode = DrawingOptions::ColorMode::Comparison;
        context.options.compareReference = "I1";
    }
    LinkageGroupView::Layout layout;
    QImage render() { return renderPicture(drawLinkageGroupView(data, table, context, &layout)); }
    int y(double position) const { return ViewGeometry{layout.scale, context.zoom, context.options.topmargin}.y(position); }
    // Bars 14 pixels apart from x = 106, 8 wide.
    static int barX(int individual) { return 106 + 14 * individual + 4; }
};

TEST(ComparisonColouring, CategoriesOfTheTable)
{
    using namespace ComparisonCategory;
    struct Case
    {
        char code, reference, donor, expected;
    };
    const Case cases[] = {
        {'a', 'a', 0, Same},
        {'H', 'h', 0, Same}, // both heterozygous
        {'a', 'b', 0, Different},
        {'h', 'a', 0, HeterozygousAgainstHomozygous},
        {'a', 'H', 0, HeterozygousAgainstHomozygous},
        {'U', 'a', 0, Unknown},
        {'a', 'd', 0, Unknown}, // unknown in the reference
        {'a', 'a', 'b', ReferenceAllele},
        {'b', 'a', 'b', DonorAllele},
        {'H', 'a', 'b', Heterozygous},
        {'c', 'a', 'b', Unknown},
        {'x', 'a', 'b', OtherCode},
        {'a', 'U', 'a', DonorAllele},
    };
    for (const Case &c : cases) {
        const char got = c.donor ? comparisonCategory(c.code, c.reference, c.donor) : comparisonCategory(c.code, c.reference);
        EXPECT_EQ(got, c.expected) << c.code << " against " << c.reference << " " << (c.donor ? c.donor : ' ');
    }
}

TEST(ComparisonColouring, LinkageGroupViewColoursBySegment)
{
    ComparisonFixture f;
    const QImage image = f.render();
    const int m1 = f.y(12), m2 = f.y(50), m3 = f.y(90);
    const struct
    {
        int individual; // 0-based
        Rgb atM1, atM2, atM3;
    } expected[] = {
        {0, SameGreen, SameGreen, UnknownGrey},
        {1, SameGreen, SameGreen, UnknownGrey},
        {2, DifferentRed, HetYellow, UnknownGrey},
        {3, HetYellow, SameGreen, UnknownGrey},
        {4, UnknownGrey, UnknownGrey, UnknownGrey},
        {5, UnknownGrey, SameGreen, UnknownGrey},
        {6, DifferentRed, HetYellow, UnknownGrey},
    };
    for (const auto &e : expected) {
        EXPECT_EQ(pixelAt(image, ComparisonFixture::barX(e.individual), m1), e.atM1) << "I" << e.individual + 1 << " m1";
        EXPECT_EQ(pixelAt(image, ComparisonFixture::barX(e.individual), m2), e.atM2) << "I" << e.individual + 1 << " m2";
        EXPECT_EQ(pixelAt(image, ComparisonFixture::barX(e.individual), m3), e.atM3) << "I" << e.individual + 1 << " m3";
    }
    // The boundary between m1 and m2 stays at 25 cM.
    EXPECT_EQ(pixelAt(image, ComparisonFixture::barX(2), f.y(25) - 1), DifferentRed);
    EXPECT_EQ(pixelAt(image, ComparisonFixture::barX(2), f.y(25)), HetYellow);
    // The user's allele colours are left alone.
    EXPECT_EQ(f.table.lookup('a').Color, Red);
}

TEST(ComparisonColouring, TwoReferencesShowWhoseAlleleItIs)
{
    ComparisonFixture f;
    f.context.options.compareDonor = "I3"; // b at m1, a at m2, b at m3
    const QImage image = f.render();
    const int m1 = f.y(12), m2 = f.y(50), m3 = f.y(90);
    EXPECT_EQ(pixelAt(image, ComparisonFixture::barX(1), m1), SameGreen);    // a = reference
    EXPECT_EQ(pixelAt(image, ComparisonFixture::barX(2), m1), DifferentRed); // the donor itself
    EXPECT_EQ(pixelAt(image, ComparisonFixture::barX(3), m1), HetYellow);
    EXPECT_EQ(pixelAt(image, ComparisonFixture::barX(4), m1), UnknownGrey);
    EXPECT_EQ(pixelAt(image, ComparisonFixture::barX(6), m1), OtherBlue);    // x
    EXPECT_EQ(pixelAt(image, ComparisonFixture::barX(6), m2), DifferentRed); // a = donor's at m2
    EXPECT_EQ(pixelAt(image, ComparisonFixture::barX(2), m3), DifferentRed); // reference unknown, b = donor's
    EXPECT_EQ(pixelAt(image, ComparisonFixture::barX(1), m3), OtherBlue);    // a is neither U nor b
    EXPECT_EQ(pixelAt(image, ComparisonFixture::barX(3), m3), HetYellow);
}

TEST(ComparisonColouring, LegendListsTheCategories)
{
    ComparisonFixture f;
    f.context.options.ShowLegend = true;
    const QImage image = f.render();
    // Legend boxes at x0 = W - 22, rows K = round((H - tm) * 0.95) div 12 apart, box n from
    // tm + 12 + K n to tm + 20 + K n.
    const int x0 = f.layout.width - 22, tm = f.context.options.topmargin;
    const int K = static_cast<int>(std::lround((f.layout.height - tm) * 0.95)) / 12;
    const Rgb boxes[] = {SameGreen, DifferentRed, HetYellow, UnknownGrey};
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(pixelAt(image, x0 + 6, tm + 16 + K * n), boxes[n - 1]) << n;
    // No box for an allele of the data after them.
    const Rgb fifth = pixelAt(image, x0 + 6, tm + 16 + K * 5);
    EXPECT_TRUE(fifth != Red && fifth != Blue && fifth != Green) << fifth;
}

TEST(ComparisonColouring, UnknownReferenceDrawsTheAllelesColours)
{
    ComparisonFixture f;
    f.context.options.compareReference = "nobody";
    const QImage image = f.render();
    EXPECT_EQ(pixelAt(image, ComparisonFixture::barX(0), f.y(12)), Red);
}

TEST(ComparisonColouring, AllInOneAndIndividualViewsUseTheCategories)
{
    ComparisonFixture f;
    f.context.options.ShowLegend = false;
    // All in one, 522 pixels wide: the group spans x = 20 .. 520 at 5 pixels per cM, rows 8
    // high every 14 pixels from y = 21.
    const QImage all = renderPicture(drawAllInOneView(f.data, f.table, f.context, 522));
    auto rowY = [](int individual) { return 25 + 14 * individual; };
    EXPECT_EQ(pixelAt(all, 20 + 5 * 12, rowY(2)), DifferentRed);
    EXPECT_EQ(pixelAt(all, 20 + 5 * 50, rowY(2)), HetYellow);
    EXPECT_EQ(pixelAt(all, 20 + 5 * 12, rowY(3)), HetYellow);
    EXPECT_EQ(pixelAt(all, 20 + 5 * 50, rowY(1)), SameGreen);
    EXPECT_EQ(pixelAt(all, 20 + 5 * 90, rowY(1)), UnknownGrey);

    // The individual view of I3: red, then yellow, then grey from top to bottom, no allele colour.
    f.context.currentIndividual = 3;
    const QImage single = renderPicture(drawIndividualView(f.data, f.table, f.context));
    int red = 0, yellow = 0, alleleRed = 0;
    for (int y = 0; y < single.height(); ++y)
        for (int x = 0; x < single.width(); ++x) {
            const Rgb c = pixelAt(single, x, y);
            red += c == DifferentRed;
            yellow += c == HetYellow;
            alleleRed += c == Red;
        }
    EXPECT_GT(red, 0);
    EXPECT_GT(yellow, 0);
    EXPECT_EQ(alleleRed, 0);
}

} // namespace
} // namespace rvk
