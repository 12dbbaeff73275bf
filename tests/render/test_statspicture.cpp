#include "render/markerstatspicture.h"
#include "render/picturerecorder.h"
#include "render/viewstatspicture.h"

#include "genotypeviewfixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace rvk {
namespace {

using test::Blue;
using test::Green;
using test::pixelAt;
using test::Red;
using test::renderPicture;
using test::testTable;

// A recorder that also keeps every text written, with its place.
class TextCapture : public PictureRecorder
{
public:
    using PictureRecorder::PictureRecorder;
    struct Text
    {
        int x, y;
        std::string text;
    };
    std::vector<Text> texts;
    void textOut(int x, int y, const std::string &text) override
    {
        texts.push_back({x, y, text});
        PictureRecorder::textOut(x, y, text);
    }
    const Text *find(const std::string &text) const
    {
        for (const Text &t : texts)
            if (t.text == text)
                return &t;
        return nullptr;
    }
};

// The pixel at radius r from the centre of a width x height pie, at angle degrees
// counter-clockwise from 3 o'clock.
Rgb pieColourAt(const QImage &image, double degrees, double r)
{
    const double a = degrees * std::numbers::pi / 180.0;
    const int cx = image.width() / 2;
    const int cy = image.height() / 2;
    return pixelAt(image, cx + static_cast<int>(std::lround(r * std::cos(a))), cy - static_cast<int>(std::lround(r * std::sin(a))));
}

int inkPixels(const QImage &image, int x1, int y1, int x2, int y2)
{
    int ink = 0;
    for (int y = std::max(0, y1); y < std::min(image.height(), y2); ++y)
        for (int x = std::max(0, x1); x < std::min(image.width(), x2); ++x)
            ink += pixelAt(image, x, y) == test::Black;
    return ink;
}

TEST(MarkerStatisticsPie, SlicesRunCounterClockwiseFromThreeOClock)
{
    const AlleleTable table = testTable();
    const ViewPicture picture = drawMarkerStatisticsPie({{'a', 25.0, ""}, {'b', 75.0, ""}}, table);
    EXPECT_EQ(picture.width(), 201);
    EXPECT_EQ(picture.height(), 193);
    const QImage image = renderPicture(picture);
    for (double degrees : {10.0, 45.0, 80.0})
        EXPECT_EQ(pieColourAt(image, degrees, 60), Red) << degrees;
    for (double degrees : {100.0, 180.0, 270.0, 350.0})
        EXPECT_EQ(pieColourAt(image, degrees, 60), Blue) << degrees;
    EXPECT_EQ(pixelAt(image, 0, 0), ButtonFaceColor);
    EXPECT_EQ(pixelAt(image, 200, 192), ButtonFaceColor);
}

TEST(MarkerStatisticsPie, AnEmptySliceDrawsNothingRatherThanAFullCircle)
{
    const AlleleTable table = testTable();
    const QImage image = renderPicture(drawMarkerStatisticsPie({{'b', 50.0, ""}, {'a', 0.0, ""}, {'h', 50.0, ""}}, table));
    EXPECT_EQ(pieColourAt(image, 90, 60), Blue);
    EXPECT_EQ(pieColourAt(image, 270, 60), Green);
    // A single full slice closes the circle.
    const QImage full = renderPicture(drawMarkerStatisticsPie({{'a', 0.0, ""}, {'b', 100.0, ""}}, table));
    for (double degrees : {45.0, 135.0, 225.0, 315.0})
        EXPECT_EQ(pieColourAt(full, degrees, 60), Blue) << degrees;
}

TEST(MarkerStatisticsPie, LabelsStandInsideTheRimOfWideSlicesOnly)
{
    const AlleleTable table = testTable();
    ViewPicture picture(MarkerPieWidth, MarkerPieHeight);
    TextCapture capture(picture);
    paintMarkerStatisticsPie(capture, MarkerPieWidth, MarkerPieHeight,
                             {{'a', 1.0, "a: 1 (1.0%)"}, {'b', 49.0, "b: 49 (49.0%)"}, {'h', 50.0, "h: 50 (50.0%)"}}, table);
    ASSERT_EQ(capture.texts.size(), 2u); // 1 % is 0.063 radians: no label
    EXPECT_EQ(capture.texts[0].text, "b: 49 (49.0%)");

    // Two halves: the labels are centred above and below the centre, near the rim.
    const QImage image = renderPicture(drawMarkerStatisticsPie({{'a', 50.0, "a"}, {'b', 50.0, "b"}}, table));
    const int cx = 100;
    EXPECT_GT(inkPixels(image, cx - 12, 0, cx + 12, 40), 0);
    EXPECT_GT(inkPixels(image, cx - 12, 153, cx + 12, 193), 0);
    EXPECT_EQ(inkPixels(image, cx - 20, 60, cx + 20, 130), 0);
}

TEST(ViewStatisticsPie, OneAlleleCoversThePie)
{
    const AlleleTable table = testTable();
    const ViewPicture picture = drawViewStatisticsPie({{'a', 1.0, "a"}}, table, ButtonFaceColor);
    EXPECT_EQ(picture.width(), 153);
    EXPECT_EQ(picture.height(), 145);
    const QImage image = renderPicture(picture);
    for (double degrees : {30.0, 135.0, 225.0, 300.0})
        EXPECT_EQ(pieColourAt(image, degrees, 25), Red) << degrees;
    EXPECT_EQ(pixelAt(image, 0, 0), ButtonFaceColor);
}

TEST(ViewStatisticsPie, SharesOfTheWholeDrawnLengthLeaveAGap)
{
    const AlleleTable table = testTable();
    const QImage split = renderPicture(drawViewStatisticsPie({{'a', 0.75, "a"}, {'b', 0.25, "b"}}, table, ButtonFaceColor));
    EXPECT_EQ(pieColourAt(split, 135, 25), Red);
    EXPECT_EQ(pieColourAt(split, 315, 25), Blue);
    // Half of the length was drawn with a code the window does not list.
    const QImage gap = renderPicture(drawViewStatisticsPie({{'a', 0.5, "a"}}, table, ButtonFaceColor));
    EXPECT_EQ(pieColourAt(gap, 90, 25), Red);
    EXPECT_EQ(pieColourAt(gap, 270, 25), ButtonFaceColor);
}

TEST(ViewStatisticsPie, NarrowSlicesHaveNoLabel)
{
    const AlleleTable table = testTable();
    ViewPicture picture(ViewPieWidth, ViewPieHeight);
    TextCapture capture(picture);
    paintViewStatisticsPie(capture, ViewPieWidth, ViewPieHeight, {{'a', 0.02, "a"}, {'b', 0.98, "b"}}, table, ButtonFaceColor);
    ASSERT_EQ(capture.texts.size(), 1u); // 0.02 of the turn is 0.126 radians
    EXPECT_EQ(capture.texts[0].text, "b");
}

std::vector<LinkageGroup> consensusGroups()
{
    auto locus = [](const std::string &name, double position, char major, double share) {
        Tlocinfo l;
        l.Name = name;
        l.Position = position;
        l.Genotypes = std::string(1, major);
        l.QtlEnd = share;
        return l;
    };
    LinkageGroup first;
    first.Name = "chr1";
    first.Loci = {locus("m1", 0, 'a', 75.0), locus("m2", 50, 'a', 60.0), locus("m3", 100, 'b', 55.5)};
    LinkageGroup second;
    second.Name = "chr2";
    second.Loci = {locus("n1", 0, 'b', 90.0), locus("n2", 40, 'h', 40.0)};
    return {first, second};
}

TEST(ConsensusPicture, OneBarPerGroupOfTheMajorAlleles)
{
    AlleleTable table = testTable();
    table.markUsed('a');
    table.markUsed('b');
    table.markUsed('h');
    DrawContext context; // bar width 8, space 6 (7 in this layout), names 100 pixels, 600 pixels high
    ConsensusLayout layout;
    const ViewPicture picture = drawConsensusPicture(consensusGroups(), "f2", table, context, &layout);
    ASSERT_TRUE(layout.drawable);
    // Width 100 + round(3 * 1.4 * (8 + 15 * 6)), as the marker labels are on.
    EXPECT_EQ(layout.width, 100 + 412);
    EXPECT_EQ(layout.height, 620);
    EXPECT_DOUBLE_EQ(layout.scale, (600 - 20 - 40) * 0.95 / 100);
    const QImage image = renderPicture(picture);
    auto y = [&](double cM) { return static_cast<int>(std::lround(layout.scale * cM)) + 20; };
    // Group 1 at x 100..106, group 2 at 100 + 8 + 15 * 7 = 213.
    EXPECT_EQ(pixelAt(image, 103, y(10)), Red);
    EXPECT_EQ(pixelAt(image, 103, y(60)), Red);
    EXPECT_EQ(pixelAt(image, 103, y(90)), Blue);
    EXPECT_EQ(pixelAt(image, 216, y(10)), Blue);
    EXPECT_EQ(pixelAt(image, 216, y(30)), Green);
    EXPECT_DOUBLE_EQ(table.lookup('a').DrawnLength, 100.0);
    EXPECT_DOUBLE_EQ(table.lookup('b').DrawnLength, 0.0 + 40.0);
}

TEST(ConsensusPicture, LabelsShowTheMajorAlleleAndTheFooterIsFixed)
{
    AlleleTable table = testTable();
    DrawContext context;
    context.options.showtext = false; // the consensus footer does not depend on it
    context.options.Customtext = "my footer";
    const ConsensusLayout layout = consensusLayout(consensusGroups(), context);
    ViewPicture picture;
    TextCapture capture(picture);
    paintConsensus(capture, consensusGroups(), "f2", table, context, layout);
    EXPECT_NE(capture.find("a 75.0%"), nullptr);
    EXPECT_NE(capture.find("b 55.5%"), nullptr);
    EXPECT_NE(capture.find("m3"), nullptr);
    EXPECT_EQ(capture.find("100.00"), nullptr);
    const TextCapture::Text *footer = capture.find("Consensus genotype (most freq allele)");
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->x, 15 * 7);
    EXPECT_LT(footer->y, layout.height);
    EXPECT_GT(footer->y, layout.height - 80);
    for (const auto &text : capture.texts)
        EXPECT_EQ(text.text.find("my footer"), std::string::npos);
}

TEST(ConsensusPicture, WithoutMarkerLabelsTheGroupsMoveCloser)
{
    DrawContext context;
    context.options.drawmarkers = false;
    context.options.drawpos = false;
    const ConsensusLayout layout = consensusLayout(consensusGroups(), context);
    EXPECT_EQ(layout.width, 100 + static_cast<int>(std::lround(3 * 1.4 * (8 + 5 * 6))));
    EXPECT_FALSE(consensusLayout({}, context).drawable);
}

} // namespace
} // namespace rvk
