#include "genotypeviewfixture.h"

#include "core/textformat.h"
#include "render/barpainter.h"
#include "render/comparisonview.h"
#include "render/individualview.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

using namespace rvk::test;

// Three groups of two markers (0 and 50 cM); individual 1 carries 'a', individual 2 'b'.
struct IndividualViewFixture
{
    GenotypeData data = makeData({{{"m1", 0, "ab"}, {"m2", 50, "ab"}},
                                  {{"m3", 0, "ab"}, {"m4", 50, "ab"}},
                                  {{"m5", 0, "ab"}, {"m6", 50, "ab"}}},
                                 2);
    AlleleTable table = testTable();
    DrawContext context;

    IndividualViewFixture()
    {
        context.visibleHeight = 400;
        context.options.ShowLegend = false;
    }
    int middle(double scale) const { return ViewGeometry{scale, context.zoom, context.options.topmargin}.y(25); }
};

TEST(IndividualView, GroupsStandSideBySide)
{
    struct Case
    {
        bool names;
        bool positions;
        int starts[3];
    };
    const Case cases[] = {
        {true, true, {100, 213, 326}},  // sp' = 7: groups bw + 105 apart
        {false, false, {100, 138, 176}}, // sp' = 2: bw + 30 apart
    };
    for (const Case &c : cases) {
        IndividualViewFixture f;
        f.context.options.drawmarkers = c.names;
        f.context.options.drawpos = c.positions;
        IndividualView::Layout layout;
        const QImage image = renderPicture(drawIndividualView(f.data, f.table, f.context, &layout));
        const int y = f.middle(layout.scale);
        for (int x : c.starts) {
            EXPECT_EQ(pixelAt(image, x - 1, y), White) << x;
            EXPECT_EQ(pixelAt(image, x, y), Red) << x;
            EXPECT_EQ(pixelAt(image, x + 5, y), Red) << x;
            EXPECT_EQ(pixelAt(image, x + 6, y), White) << x; // round(0.75 * 8) = 6 wide
        }
    }
}

TEST(IndividualView, BlackAndWhiteGradientFillsEverySegmentWithItsPattern)
{
    IndividualViewFixture f;
    f.context.options.colorMode = DrawingOptions::ColorMode::BlackAndWhite;
    f.context.options.Fillstyle = DrawingOptions::FillStyle::Gradient;
    f.table.setHatch(codeIndex('a'), 0);
    IndividualView::Layout layout;
    const QImage image = renderPicture(drawIndividualView(f.data, f.table, f.context, &layout));
    EXPECT_EQ(pixelAt(image, 102, f.middle(layout.scale)), Black);
}

TEST(IndividualView, ScaleStaysOneWithoutPositiveMapPositions)
{
    IndividualViewFixture f;
    f.data = makeData({{{"m1", 0, "ab"}}}, 2);
    const IndividualView view(f.data, f.table, f.context);
    EXPECT_DOUBLE_EQ(view.layout().scale, 1.0);
    ComparisonView comparison(f.data, f.table, f.context);
    EXPECT_DOUBLE_EQ(comparison.layout().scale, 1.0);
}

TEST(ComparisonView, TwoIndividualsShareThePictureInHalves)
{
    IndividualViewFixture f;
    f.data.CurrentIndividual = 2;
    ComparisonView::Layout layout;
    const QImage image = renderPicture(drawComparison(f.data, f.table, f.context, &layout));
    ASSERT_TRUE(layout.message.empty());
    // Unit width 100 + 3 * (8 + 15 * 6) = 394.
    EXPECT_EQ(layout.width, 2 * 394);
    EXPECT_EQ(layout.individuals, (std::vector<int>{1, 2}));
    const int y = ViewGeometry{layout.scale, 1.0, 20}.y(25);
    EXPECT_EQ(pixelAt(image, 100, y), Red);
    EXPECT_EQ(pixelAt(image, 394 + 100, y), Blue);
    EXPECT_EQ(f.data.CurrentIndividual, 2); // unchanged
}

TEST(ComparisonView, RefusesMoreThanTenAndNone)
{
    IndividualViewFixture f;
    f.data = makeData({{{"m1", 0, std::string(11, 'a')}, {"m2", 10, std::string(11, 'a')}}}, 11);
    ComparisonView::Layout layout;
    ViewPicture picture = drawComparison(f.data, f.table, f.context, &layout);
    EXPECT_EQ(layout.message, "too many individuals selected: 11");
    EXPECT_TRUE(picture.isEmpty());
    f.data.Ticked.assign(11, 0);
    picture = drawComparison(f.data, f.table, f.context, &layout);
    EXPECT_EQ(layout.message, ComparisonView::NoneSelectedMessage);
    EXPECT_TRUE(picture.isEmpty());
}

} // namespace
} // namespace rvk
