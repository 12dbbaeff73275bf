// The consensus row of the all-in-one view: each marker's most frequent allele, faded towards
// white by its share q, every channel c becoming 255 - round(q * (255 - c)).

#include "genotypeviewfixture.h"

#include "core/textformat.h"
#include "render/allinoneview.h"
#include "render/picturerecorder.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

using namespace rvk::test;

struct FadeCase
{
    char major;
    double share;
    Rgb expected; // computed by hand from the fade rule
};

TEST(ConsensusFade, EachChannelMovesTowardsWhiteByTheMajorShare)
{
    // One group of three markers at 0, 50 and 100 cM; the consensus segments are 0 .. 25,
    // 25 .. 75 and 75 .. 100 cM.
    const FadeCase cases[] = {
        {'a', 0.75, rgb(255, 64, 64)},   // red: 255 - round(0.75 * 255) = 255 - 191
        {'b', 0.2, rgb(204, 204, 255)},  // blue: 255 - round(0.2 * 255) = 255 - 51
        {'c', 1.0, rgb(255, 255, 0)},    // yellow at full share: unfaded
    };
    GenotypeData data = makeData({{marker("m1", 0, "abc"), marker("m2", 50, "abc"), marker("m3", 100, "abc")}}, 3);
    for (size_t k = 0; k < 3; ++k) {
        data.GroupLoci(0)[k].MajorAllele = cases[k].major;
        data.GroupLoci(0)[k].MajorAlleleShare = cases[k].share;
    }
    AlleleTable table = testTable();
    DrawContext context;
    context.options.autosize = false;
    AllInOneView::Layout layout;
    const QImage image = renderPicture(drawAllInOneView(data, table, context, 522, &layout));

    AllInOneView view(data, table, context, 522);
    ViewPicture scratch;
    PictureRecorder recorder(scratch);
    const auto rows = view.rows(view.layout(recorder));
    ASSERT_FALSE(rows.empty());
    ASSERT_TRUE(rows.back().isConsensus());
    const int y = (rows.back().top + rows.back().bottom) / 2;
    auto x = [&](double position) { return layout.rowsStart + static_cast<int>(roundHalfEven(position * layout.scale)); };
    const double middles[] = {12.5, 50, 87.5};
    for (size_t k = 0; k < 3; ++k)
        EXPECT_EQ(pixelAt(image, x(middles[k]), y), cases[k].expected) << "marker " << k + 1;

    // The individuals' rows are not faded.
    EXPECT_EQ(pixelAt(image, x(12.5), (rows[0].top + rows[0].bottom) / 2), Red);

    // In black-and-white drawing nothing is faded: hatch 0 is solid black ink.
    context.options.colorMode = DrawingOptions::ColorMode::BlackAndWhite;
    const QImage blackAndWhite = renderPicture(drawAllInOneView(data, table, context, 522, &layout));
    EXPECT_EQ(pixelAt(blackAndWhite, x(12.5), y), Black);
}

} // namespace
} // namespace rvk
