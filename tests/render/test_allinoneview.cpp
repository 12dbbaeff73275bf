#include "genotypeviewfixture.h"
#include "textlog.h"

#include "core/textformat.h"
#include "render/allinoneview.h"
#include "render/picturerecorder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rvk {
namespace {

using namespace rvk::test;

// Ten individuals, all 'a' except individual 2 ('b') and 3 ('h'), one group of 100 cM. With
// an image area 522 pixels wide and the default top margin the group spans x = 20 .. 520 at
// 5 pixels per cM; rows are 8 pixels high, one every 14 pixels, the first at y = 21.
struct AllInOneFixture
{
    GenotypeData data = makeData({{{"m1", 0, "abhaaaaaaa"}, {"m2", 50, "abhaaaaaaa"}, {"m3", 100, "abhaaaaaaa"}}}, 10);
    AlleleTable table = testTable();
    DrawContext context;
    int visibleWidth = 522;
    AllInOneView::Layout layout;

    AllInOneFixture()
    {
        context.options.autosize = false;
        for (Tlocinfo &locus : data.GroupLoci(0)) {
            locus.MajorAllele = 'a';
            locus.MajorAlleleShare = 0.5;
        }
    }

    ViewPicture record() { return drawAllInOneView(data, table, context, visibleWidth, &layout); }
    QImage render() { return renderPicture(record()); }
    std::vector<AllInOneView::Row> rows()
    {
        AllInOneView view(data, table, context, visibleWidth);
        ViewPicture scratch;
        PictureRecorder recorder(scratch);
        return view.rows(view.layout(recorder));
    }
};

TEST(AllInOneView, ScaleSharesTheImageWidthAmongAllGroups)
{
    // Groups of 100, 50 and 50 cM in 1000 pixels: (1000 - 20 - 6) / 200 = 4.87 pixels per cM.
    GenotypeData data = makeData({{{"a1", 0, "a"}, {"a2", 100, "a"}}, {{"b1", 0, "a"}, {"b2", 50, "a"}}, {{"c1", 0, "a"}, {"c2", 50, "a"}}}, 1);
    DrawingOptions options;
    EXPECT_DOUBLE_EQ(AllInOneView::scaleFor(data, options, 1000), 4.87);
    EXPECT_DOUBLE_EQ(AllInOneView::totalLength(data), 200.0);
    options.Lenmul = 4;
    EXPECT_DOUBLE_EQ(AllInOneView::scaleFor(data, options, 1000), 9.74);
    // Nothing to scale without map length, and never a negative scale in a narrow window.
    GenotypeData flat = makeData({{{"x", 0, "a"}}}, 1);
    EXPECT_EQ(AllInOneView::scaleFor(flat, options, 1000), 0.0);
    EXPECT_EQ(AllInOneView::scaleFor(data, options, 10), 0.0);

    AlleleTable table = testTable();
    DrawContext context;
    AllInOneView::Layout layout;
    drawAllInOneView(data, table, context, 1000, &layout);
    EXPECT_EQ(layout.width, 1000);
    EXPECT_EQ(layout.height, (1 - 1 + 4) * 14 + 25);
    EXPECT_TRUE(layout.landscape);
    EXPECT_TRUE(layout.previewLandscape);
}

TEST(AllInOneView, TenIndividualsGiveElevenRowsTheLastTheConsensus)
{
    AllInOneFixture f;
    const auto rows = f.rows();
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_TRUE(rows.back().isConsensus());
    EXPECT_EQ(rows[0].top, 21);
    EXPECT_EQ(rows[0].bottom, 29);
    EXPECT_EQ(rows[1].top, 35);
    EXPECT_EQ(rows[10].top, 21 + 10 * 14);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(rows[static_cast<size_t>(i)].individual, i + 1);
}

TEST(AllInOneView, RowsShowTheAllelesAlongXAndTheConsensusFaded)
{
    AllInOneFixture f;
    const QImage image = f.render();
    EXPECT_EQ(f.layout.width, 522);
    EXPECT_EQ(f.layout.height, 13 * 14 + 25);
    // The rows begin after the name column ("Consensus" is the widest name) and the group's
    // 100 cM fill the rest: Cw = 522 - start - 2 pixels.
    const int start = f.layout.rowsStart;
    ASSERT_GT(start, 20);
    EXPECT_DOUBLE_EQ(f.layout.scale, (522.0 - start - 2) / 100.0);
    const int end = start + static_cast<int>(roundHalfEven(100 * f.layout.scale));
    const int middle = start + static_cast<int>(roundHalfEven(50 * f.layout.scale));
    const struct
    {
        int x, y;
        Rgb colour;
    } cases[] = {
        {start + 80, 25, Red},   {end - 1, 25, Red},   {end, 25, White}, {start - 1, 25, White}, // individual 1
        {start + 80, 39, Blue},  {start + 80, 53, Green}, {start + 80, 32, White},             // individuals 2, 3 and the gap
        {middle, 18, Black}, {middle, 19, Black}, {middle, 20, White}, {middle + 1, 18, White}, // marker tick above the first row
        {start + 280, 165, rgb(255, 127, 127)},                                                // consensus at share 0.5
    };
    for (const auto &c : cases)
        EXPECT_EQ(pixelAt(image, c.x, c.y), c.colour) << c.x << "," << c.y;
}

TEST(AllInOneView, LegendStandsBelowTheRowsOnlyWhenChecked)
{
    AllInOneFixture f;
    // Legend row at y = 161 + 12 + 16 = 189; entry n at x = 20 + 41 n + 10 .. 20 + 41 n + 20.
    QImage image = f.render();
    EXPECT_EQ(pixelAt(image, 76, 195), Red);
    EXPECT_EQ(pixelAt(image, 117, 195), Blue);
    EXPECT_EQ(pixelAt(image, 158, 195), Green);
    f.context.options.ShowLegend = false;
    image = f.render();
    for (int y = 170; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(pixelAt(image, x, y), White) << x << "," << y;
}

TEST(AllInOneView, UnselectedIndividualsLeaveGapsOrCloseUp)
{
    AllInOneFixture f;
    f.data.Selectionyesno = true;
    f.data.Ticked[1] = 0; // individual 2, the blue one
    f.context.skipUnselected = false;
    QImage image = f.render();
    EXPECT_EQ(pixelAt(image, 100, 39), White);
    EXPECT_EQ(pixelAt(image, 100, 53), Green);
    f.context.skipUnselected = true;
    image = f.render();
    EXPECT_EQ(pixelAt(image, 100, 39), Green);
    EXPECT_EQ(f.rows().size(), 10u);
}

TEST(AllInOneView, CrossPollinatorsGetTwoHalfRowsPerIndividual)
{
    AllInOneFixture f;
    f.data = makeData({{{"m1", 0, "abha"}, {"m2", 100, "abha"}}}, 2, "cp");
    const auto rows = f.rows();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].individual, 1);
    EXPECT_EQ(rows[0].bar, 0);
    EXPECT_EQ(rows[1].individual, 1);
    EXPECT_EQ(rows[1].bar, 1);
    EXPECT_EQ(rows[0].bottom - rows[0].top, 4);
    const QImage image = f.render();
    EXPECT_EQ(pixelAt(image, 100, rows[0].top + 1), Red);
    EXPECT_EQ(pixelAt(image, 100, rows[1].top + 1), Blue);
    EXPECT_EQ(pixelAt(image, 100, rows[2].top + 1), Green);
}

TEST(AllInOneView, DrawnLengthGrowsOncePerSegment)
{
    AllInOneFixture f;
    f.record();
    // Eight 'a' individuals and the consensus, 100 cM each; 'b' and 'h' one individual each.
    EXPECT_DOUBLE_EQ(f.table.lookup('a').DrawnLength, 900.0);
    EXPECT_DOUBLE_EQ(f.table.lookup('b').DrawnLength, 100.0);
    EXPECT_DOUBLE_EQ(f.table.lookup('h').DrawnLength, 100.0);
}

TEST(AllInOneView, ManyMarkersRecordAFewOperationsPerRow)
{
    // 20000 markers of one allele with a missing code every 997 markers: segments narrower
    // than a pixel paint nothing and equal neighbours merge.
    std::vector<LocusSpec> loci;
    for (int k = 0; k < 20000; ++k)
        loci.push_back({"m" + std::to_string(k), k * 0.01, k % 997 == 0 ? "U" : "a"});
    AllInOneFixture f;
    f.data = makeData({loci}, 1);
    for (Tlocinfo &locus : f.data.GroupLoci(0))
        locus.MajorAllele = 'a', locus.MajorAlleleShare = 1.0;
    const ViewPicture picture = f.record();
    EXPECT_LT(picture.operationCount(), 600u);
    const QImage image = renderPicture(picture);
    EXPECT_EQ(pixelAt(image, 300, 25), Red);

    // In "B && W" every segment is outlined in black: one-pixel segments make the row black,
    // drawn as one band rather than a rectangle per pixel column.
    f.context.options.setColorMode(DrawingOptions::ColorMode::BlackAndWhite);
    f.context.options.Fillstyle = DrawingOptions::FillStyle::Discrete;
    const ViewPicture outlined = f.record();
    EXPECT_LT(outlined.operationCount(), 600u);
    EXPECT_EQ(pixelAt(renderPicture(outlined), 300, 25), Black);
}

TEST(AllInOneView, PrintingStacksTheGroupsOneBelowTheOther)
{
    // Individual 1 carries 'a' on group 1, 'b' on group 2 and 'h' on group 3.
    AllInOneFixture f;
    f.data = makeData({{{"a1", 0, "ab"}, {"a2", 50, "ab"}, {"a3", 100, "ab"}},
                       {{"b1", 0, "ba"}, {"b2", 50, "ba"}, {"b3", 100, "ba"}},
                       {{"c1", 0, "ha"}, {"c2", 50, "ha"}, {"c3", 100, "ha"}}},
                      2);
    f.context.options.markspace = 100;
    QImage page = whiteImage(800, 1400);
    {
        PainterSurface surface(page);
        AllInOneView view(f.data, f.table, f.context, 522);
        view.paintForPrint(surface, page.height(), page.width(), 2.0, 1.0);
    }
    // The first bar spans x = 106 .. 114; walk down its middle.
    std::vector<std::pair<Rgb, int>> runs; // colour and first row of each coloured run
    for (int y = 0; y < page.height(); ++y) {
        const Rgb c = pixelAt(page, 110, y);
        if (c == White || c == Black)
            continue;
        if (runs.empty() || runs.back().first != c || pixelAt(page, 110, y - 1) != c)
            runs.emplace_back(c, y);
    }
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].first, Red);
    EXPECT_EQ(runs[0].second, 20);
    EXPECT_EQ(runs[1].first, Blue);
    EXPECT_EQ(runs[2].first, Green);
    // Each group is 200 pixels long and starts at least 40 pixels below the one above.
    EXPECT_GE(runs[1].second, runs[0].second + 240);
    EXPECT_GE(runs[2].second, runs[1].second + 240);
}

TEST(AllInOneView, PrintingWithoutLabelsStillStacksTheGroups)
{
    AllInOneFixture f;
    f.data = makeData({{{"a1", 0, "a"}, {"a2", 100, "a"}}, {{"b1", 0, "b"}, {"b2", 100, "b"}}}, 1);
    f.context.options.drawmarkers = false;
    f.context.options.drawpos = false;
    f.context.options.markspace = 15;
    QImage page = whiteImage(400, 800);
    {
        PainterSurface surface(page);
        AllInOneView(f.data, f.table, f.context, 522).paintForPrint(surface, page.height(), page.width(), 2.0, 1.0);
    }
    // Bar of the single individual: x = 15 - 8 + 14 = 21 .. 29. Group 2 starts at 40 + 220 + 20.
    EXPECT_EQ(pixelAt(page, 25, 100), Red);
    EXPECT_EQ(pixelAt(page, 25, 280 + 100), Blue);
}

TEST(AllInOneView, NoGroupsDrawNothingAndNoLengthShowsTheNotice)
{
    AllInOneFixture f;
    f.data = GenotypeData();
    EXPECT_TRUE(f.record().isEmpty());
    EXPECT_FALSE(f.layout.drawable);
    f.data = makeData({{{"x", 0, "a"}}}, 1);
    const ViewPicture picture = f.record();
    EXPECT_FALSE(f.layout.hasMapLength);
    EXPECT_FALSE(picture.isEmpty());
}

} // namespace
} // namespace rvk

namespace rvk {
namespace {

using namespace rvk::test;

bool isAlleleColour(Rgb c) { return c == Red || c == Blue || c == Green; }

bool hasInk(const QImage &image, int x1, int x2, int y1, int y2)
{
    for (int y = std::max(0, y1); y < std::min(y2, image.height()); ++y)
        for (int x = std::max(0, x1); x < std::min(x2, image.width()); ++x)
            if (image.pixelColor(x, y).lightness() < 128)
                return true;
    return false;
}

TEST(AllInOneView, EveryRowNameStandsClearOfTheBars)
{
    AllInOneFixture f;
    for (int i = 0; i < f.data.nind; ++i)
        f.data.IndividualNames[static_cast<size_t>(i)] = i == 4 ? "a_much_longer_name" : formatText("L%.3d", {i + 1});
    QImage image;
    const std::vector<TextLog::Text> texts = replayLoggingTexts(f.record(), image);
    const auto rows = f.rows();
    int names = 0;
    for (const AllInOneView::Row &row : rows) {
        const std::string name = row.isConsensus() ? "Consensus" : f.data.IndividualNames[static_cast<size_t>(row.individual - 1)];
        const auto t = std::find_if(texts.begin(), texts.end(), [&](const TextLog::Text &x) { return x.text == name; });
        ASSERT_NE(t, texts.end()) << name;
        ++names;
        // The bars begin after the name; within the name's box no allele colour.
        EXPECT_LT(t->x + t->width, f.layout.rowsStart) << name;
        for (int y = t->y; y < t->y + t->height && y < image.height(); ++y)
            for (int x = t->x; x < t->x + t->width; ++x)
                ASSERT_FALSE(isAlleleColour(pixelAt(image, x, y))) << name << " covered at " << x << "," << y;
        // Its last character is drawn.
        EXPECT_TRUE(hasInk(image, t->x + t->width * 3 / 4, t->x + t->width, t->y, t->y + t->height)) << name;
        EXPECT_EQ(pixelAt(image, f.layout.rowsStart, (row.top + row.bottom) / 2) == White, false) << name;
    }
    EXPECT_EQ(names, 11);
    // The genome still fits the picture's width.
    EXPECT_LE(f.layout.rowsStart + static_cast<int>(roundHalfEven(100 * f.layout.scale)), f.layout.width);
}

// Captions logged at the top of the picture, left to right.
std::vector<TextLog::Text> captionsOf(const std::vector<TextLog::Text> &texts)
{
    std::vector<TextLog::Text> captions;
    for (const TextLog::Text &t : texts)
        if (t.y == 1)
            captions.push_back(t);
    std::sort(captions.begin(), captions.end(), [](const auto &a, const auto &b) { return a.x < b.x; });
    return captions;
}

// The x spans of the groups along the first row (individual 1, red), left to right.
std::vector<std::pair<int, int>> groupSpans(const QImage &image, int y)
{
    std::vector<std::pair<int, int>> spans;
    for (int x = 0; x < image.width(); ++x) {
        if (pixelAt(image, x, y) != Red)
            continue;
        const int start = x;
        while (x + 1 < image.width() && pixelAt(image, x + 1, y) == Red)
            ++x;
        spans.emplace_back(start, x);
    }
    return spans;
}

TEST(AllInOneView, GroupCaptionsStandAboveTheirGroupsWithoutOverlapping)
{
    struct Case
    {
        std::vector<double> lengths; // cM of each group
        int width;
        int fullCaptions; // how many groups keep "n: name"; the others show their number
    };
    const Case cases[] = {
        {{50, 50, 50}, 522, 3},        // room for all: each at a fifth of its group
        {{100, 1, 1}, 522, 1},         // short groups: their numbers, above them
        {{100, 1, 1, 1, 1, 1}, 700, 1},
        {std::vector<double>(40, 1.0), 600, 0}, // more groups than their numbers fit
    };
    for (const Case &c : cases) {
        std::vector<std::vector<LocusSpec>> groups;
        const int n = static_cast<int>(c.lengths.size());
        for (int g = 0; g < n; ++g)
            groups.push_back({{"m" + std::to_string(g) + "a", 0, "ab"}, {"m" + std::to_string(g) + "b", c.lengths[static_cast<size_t>(g)], "ab"}});
        AllInOneFixture f;
        f.data = makeData(groups, 2);
        for (int g = 0; g < n; ++g)
            f.data.LinkageGroups[static_cast<size_t>(g)]->Name = "chromosome_" + std::to_string(g + 1);
        f.visibleWidth = c.width;
        QImage image;
        const std::vector<TextLog::Text> captions = captionsOf(replayLoggingTexts(f.record(), image));
        const auto rows = f.rows();
        const std::vector<std::pair<int, int>> spans = groupSpans(image, (rows[0].top + rows[0].bottom) / 2);
        // Every group is in the picture, the last one too.
        ASSERT_EQ(spans.size(), static_cast<size_t>(n)) << n << " groups";
        // Every group is captioned, unless there are more groups than even their numbers can
        // caption side by side: then every second, third, ... group, and the last.
        ASSERT_LE(captions.size(), static_cast<size_t>(n)) << n << " groups";
        ASSERT_GE(captions.size(), c.fullCaptions == 0 ? static_cast<size_t>(n) / 3 : static_cast<size_t>(n)) << n << " groups";
        int full = 0;
        for (size_t j = 0; j < captions.size(); ++j) {
            const TextLog::Text &t = captions[j];
            const size_t g = static_cast<size_t>(std::stoi(t.text)) - 1; // the group the caption names
            ASSERT_LT(g, static_cast<size_t>(n)) << t.text;
            const std::string number = std::to_string(g + 1);
            ASSERT_TRUE(t.text == number || t.text == number + ": chromosome_" + number) << t.text;
            if (t.text != number) {
                ++full;
                // A full caption starts above its own group.
                EXPECT_GE(t.x, spans[g].first) << t.text;
                EXPECT_LE(t.x, spans[g].second + 1) << t.text;
            }
            EXPECT_GE(t.x, 0);
            EXPECT_LE(t.x + t.width, f.layout.width) << t.text;
            if (j > 0) {
                EXPECT_LE(captions[j - 1].x + captions[j - 1].width, t.x) << t.text << " overlaps";
            }
        }
        EXPECT_EQ(full, c.fullCaptions) << n << " groups";
        // The last caption's last character is in the picture.
        const TextLog::Text &last = captions.back();
        EXPECT_TRUE(hasInk(image, last.x + last.width * 3 / 4, last.x + last.width, 1, 1 + last.height)) << n;
        // Where the captions have room they stand at a fifth of their group.
        if (c.fullCaptions == n) {
            for (size_t g = 0; g < captions.size(); ++g)
                EXPECT_EQ(captions[g].x, spans[g].first + static_cast<int>(roundHalfEven(f.layout.scale * 0.2 * c.lengths[g])));
        }
    }
}

} // namespace
} // namespace rvk
