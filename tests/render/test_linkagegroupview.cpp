#include "genotypeviewfixture.h"

#include "core/textformat.h"
#include "render/barpainter.h"
#include "render/linkagegroupview.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

using namespace rvk::test;

// Ten individuals, all 'a' except individual 2 ('b') and 3 ('h'), markers at 0, 50 and 100 cM.
struct GroupViewFixture
{
    GenotypeData data = makeData({{{"m1", 0, "abhaaaaaaa"}, {"m2", 50, "abhaaaaaaa"}, {"m3", 100, "abhaaaaaaa"}}}, 10);
    AlleleTable table = testTable();
    DrawContext context;

    GroupViewFixture()
    {
        context.options.autosize = false;
        context.options.markspace = 100;
        context.visibleHeight = 400;
        context.options.ShowLegend = false;
    }

    LinkageGroupView::Layout layout;
    QImage render()
    {
        return renderPicture(drawLinkageGroupView(data, table, context, &layout));
    }
    int middle() const { return ViewGeometry{layout.scale, context.zoom, context.options.topmargin}.y(25); }
};

TEST(LinkageGroupView, BarsAndPictureWidthFollowTheSlots)
{
    GroupViewFixture f;
    const QImage image = f.render();
    EXPECT_EQ(f.layout.width, 273);
    EXPECT_EQ(image.width(), 273);
    EXPECT_EQ(f.layout.height, 400);
    const int y = f.middle();
    EXPECT_EQ(pixelAt(image, 105, y), White);
    EXPECT_EQ(pixelAt(image, 106, y), Red);
    EXPECT_EQ(pixelAt(image, 113, y), Red);
    EXPECT_EQ(pixelAt(image, 114, y), White);
    EXPECT_EQ(pixelAt(image, 120, y), Blue);
    EXPECT_EQ(pixelAt(image, 127, y), Blue);
    EXPECT_EQ(pixelAt(image, 134, y), Green);
}

TEST(LinkageGroupView, UnselectedIndividualsLeaveGapsOrCloseUp)
{
    GroupViewFixture f;
    f.data.Selectionyesno = true;
    f.data.Ticked[1] = 0; // individual 2, the blue one
    f.context.skipUnselected = false;
    QImage image = f.render();
    int y = f.middle();
    EXPECT_EQ(pixelAt(image, 124, y), White);
    EXPECT_EQ(pixelAt(image, 134, y), Green);
    f.context.skipUnselected = true;
    image = f.render();
    y = f.middle();
    EXPECT_EQ(pixelAt(image, 124, y), Green);
    // Without filtering everyone counts as selected.
    f.data.Selectionyesno = false;
    image = f.render();
    EXPECT_EQ(pixelAt(image, 124, f.middle()), Blue);
}

TEST(LinkageGroupView, ZoomAndLengthMultiplierScaleThePicture)
{
    GroupViewFixture f;
    f.render();
    const auto full = f.layout;
    f.context.zoom = 0.5;
    f.render();
    EXPECT_EQ(f.layout.width, 216); // (273 + 160) / 2, the half rounded to even
    f.context.options.autosize = true;
    f.render();
    const int halfSpace = f.layout.markSpace;
    f.context.zoom = 1.0;
    f.render();
    EXPECT_EQ(halfSpace - f.layout.markSpace, 160); // round(160 / 0.5) - round(160 / 1)
    f.context.options.autosize = false;
    f.context.options.Lenmul = 4;
    f.render();
    EXPECT_EQ(f.layout.height, 2 * full.height);
    // s = (A - tm - bm) * 0.95 / 100 with A = 400, then 800: the margins do not grow with A.
    EXPECT_DOUBLE_EQ(full.scale, 340 * 0.95 / 100);
    EXPECT_DOUBLE_EQ(f.layout.scale, 740 * 0.95 / 100);
}

TEST(LinkageGroupView, CrossPollinatorBarsUseTheIndividualsCharacterPair)
{
    // Individual 3 of 4 carries "ab" at every locus, the others "hh".
    GroupViewFixture f;
    f.data = makeData({{{"m1", 0, "hhhhabhh"}, {"m2", 100, "hhhhabhh"}}}, 4, "cp");
    f.context.firstIndividual = 3;
    f.context.lastIndividual = 4;
    const QImage image = f.render();
    const int y = f.middle();
    // Start 100 - 8 + 6 = 98; bar 0 at 98 + 3 + 7 = 108 .. 112, bar 1 at 115 .. 119.
    EXPECT_EQ(pixelAt(image, 108, y), Red);
    EXPECT_EQ(pixelAt(image, 111, y), Red);
    EXPECT_EQ(pixelAt(image, 112, y), White);
    EXPECT_EQ(pixelAt(image, 115, y), Blue);
    EXPECT_EQ(pixelAt(image, 118, y), Blue);
    EXPECT_EQ(pixelAt(image, 125, y), Green);
}

TEST(LinkageGroupView, HorizontalNamesFollowTheLabelFrequency)
{
    GroupViewFixture f;
    f.context.options.sideways = false;
    f.context.options.labelfreq = 5;
    const QImage image = f.render();
    const int nameY = ViewGeometry{f.layout.scale, 1.0, f.context.options.topmargin}.y(100) + 6;
    auto inked = [&](int slot) {
        const int x = 106 + 14 * slot;
        for (int yy = nameY; yy < nameY + 12 && yy < image.height(); ++yy)
            for (int xx = x; xx < x + 6; ++xx)
                if (pixelAt(image, xx, yy) != White)
                    return true;
        return false;
    };
    EXPECT_TRUE(inked(0));  // the first bar always
    EXPECT_FALSE(inked(1));
    EXPECT_FALSE(inked(2));
    EXPECT_TRUE(inked(4));  // (4 + 1) is a multiple of 5
    EXPECT_TRUE(inked(9));
}

TEST(LinkageGroupView, LegendShowsOnlyUsedAlleles)
{
    GroupViewFixture f;
    f.context.options.ShowLegend = true;
    f.table.lookup('c').Used = false;
    const QImage image = f.render();
    const int x0 = f.layout.width - 22;
    const int rows = static_cast<int>(roundHalfEven((f.layout.height - 20) * 0.95)) / 12;
    auto box = [&](int n) { return pixelAt(image, x0 + 6, 20 + 16 + rows * n); };
    // Used are the alleles at the first marker of the bars: 'a', 'b', 'h' in table order.
    EXPECT_EQ(box(1), Red);
    EXPECT_EQ(box(2), Blue);
    EXPECT_EQ(box(3), Green);
    EXPECT_EQ(box(4), White);
}

TEST(LinkageGroupView, GroupWithoutMapLengthShowsANotice)
{
    GroupViewFixture f;
    f.data = makeData({{{"m1", 0, "aaaaaaaaaa"}, {"m2", 0, "aaaaaaaaaa"}}}, 10);
    const QImage image = f.render();
    EXPECT_FALSE(f.layout.hasMapLength);
    bool inked = false;
    for (int y = 0; y < image.height() && !inked; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pixelAt(image, x, y) != White) {
                inked = true;
                break;
            }
    EXPECT_TRUE(inked);
    EXPECT_GE(image.width(), 200);
    // An empty group is no group to scale either.
    f.data = makeData({{}}, 10);
    f.render();
    EXPECT_FALSE(f.layout.hasMapLength);
}

TEST(LinkageGroupView, RangeBeyondTheIndividualsIsCut)
{
    GroupViewFixture f;
    f.context.firstIndividual = 0;
    f.context.lastIndividual = 50;
    f.render();
    EXPECT_EQ(f.layout.firstIndividual, 1);
    EXPECT_EQ(f.layout.lastIndividual, 10);
    EXPECT_EQ(f.layout.width, 273);
}

TEST(LinkageGroupView, DrawnLengthCountsTheCentiMorgansOfEachAllele)
{
    GroupViewFixture f;
    f.render();
    EXPECT_DOUBLE_EQ(f.table.lookup('a').DrawnLength, 8 * 100.0);
    EXPECT_DOUBLE_EQ(f.table.lookup('b').DrawnLength, 100.0);
    EXPECT_DOUBLE_EQ(f.table.lookup('h').DrawnLength, 100.0);
    f.render(); // a second drawing starts from zero
    EXPECT_DOUBLE_EQ(f.table.lookup('b').DrawnLength, 100.0);
}

} // namespace
} // namespace rvk
