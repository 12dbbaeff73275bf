// The texts of the linkage-group view (ruler numbers, unit, marker labels with their positions,
// legend labels, footer, individual names), collected from the drawn picture and compared with
// the places and texts the drawing rules give for a small data set.

#include "genotypeviewfixture.h"
#include "textcapture.h"

#include "render/linkagegroupview.h"
#include "render/picturerecorder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rvk {
namespace {

using namespace rvk::test;

// Two groups; the second (drawn) has markers at 0, 12.34 and 60 cM and three individuals.
// With an image area 400 pixels high, lm = 2, tm = 20, bm = 40: A = 400, the usable height
// 340 and the scale s = 340 * 0.95 / 60 = 5.38333 pixels per cM. The width
// (3 - 1 + 3) * 14 + 100 + 5 = 175 is raised to 200.
struct ViewTextsFixture
{
    GenotypeData data = makeData({{marker("x1", 0, "aaa"), marker("x2", 10, "aaa")},
                                  {marker("m1", 0, "abh"), marker("m2", 12.34, "abh"), marker("m3", 60, "abh")}},
                                 3);
    AlleleTable table = testTable();
    DrawContext context;
    LinkageGroupView::Layout layout;

    ViewTextsFixture()
    {
        context.group = 1;
        context.visibleHeight = 400;
        context.options.autosize = false;
        context.options.markspace = 100;
        context.options.Customtext = "cross 7";
        table.setLegend(codeIndex('a'), "Parent A of the cross");
        table.setLegend(codeIndex('b'), "");
        table.setLegend(codeIndex('h'), "het");
    }

    std::vector<TextCapture::Text> texts() { return capturedTexts(drawLinkageGroupView(data, table, context, &layout)); }
};

// Height of "8HJL" in a recorder's initial font: the th of the drawing rules.
int initialTextHeight()
{
    ViewPicture scratch;
    PictureRecorder recorder(scratch);
    return recorder.textHeight("8HJL");
}

const TextCapture::Text *find(const std::vector<TextCapture::Text> &texts, const std::string &text)
{
    for (const TextCapture::Text &t : texts)
        if (t.text == text)
            return &t;
    return nullptr;
}

bool isNumber(const std::string &text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

TEST(LinkageGroupViewTexts, SizeAndScaleAreExact)
{
    ViewTextsFixture f;
    f.texts();
    EXPECT_EQ(f.layout.width, 200);
    EXPECT_EQ(f.layout.height, 400);
    EXPECT_DOUBLE_EQ(f.layout.scale, 340 * 0.95 / 60);
    // Doubling the length multiplier doubles A, not the margins: s = (800 - 60) * 0.95 / 60.
    f.context.options.Lenmul = 4;
    f.texts();
    EXPECT_EQ(f.layout.height, 800);
    EXPECT_DOUBLE_EQ(f.layout.scale, 740 * 0.95 / 60);
}

TEST(LinkageGroupViewTexts, RulerNumbersEveryTwentyFiveCmAndTheUnit)
{
    ViewTextsFixture f;
    const auto texts = f.texts();
    const int th = initialTextHeight();
    // Ticks every 5 cM up to trunc(60 / 5) + 1 = 13; numbers at i = 0, 5, 10:
    // y = round(i * s * 5) + 20 = 20, 135 + 20, 269 + 20.
    const auto numbers = textsWhere(texts, [](const TextCapture::Text &t) { return isNumber(t.text); });
    ASSERT_EQ(numbers.size(), 3u);
    const struct
    {
        const char *text;
        int y;
    } expected[] = {{"0", 20}, {"25", 155}, {"50", 289}};
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(numbers[k].text, expected[k].text);
        EXPECT_EQ(numbers[k].x, 5) << expected[k].text;
        EXPECT_EQ(numbers[k].y, expected[k].y - th / 2) << expected[k].text;
        EXPECT_EQ(numbers[k].angle, 0);
    }
    const TextCapture::Text *unit = find(texts, "cM");
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->x, 5);
    EXPECT_EQ(unit->y, 400 - th - 1);

    f.context.options.cMRuler = false;
    const auto without = f.texts();
    EXPECT_TRUE(textsWhere(without, [](const TextCapture::Text &t) { return isNumber(t.text) || t.text == "cM"; }).empty());
}

TEST(LinkageGroupViewTexts, MarkerLabelsCarryNameAndPositionRightAligned)
{
    ViewTextsFixture f;
    const auto texts = f.texts();
    // Markers at y = 20, round(5.38333 * 12.34) + 20 = 86 and 323 + 20 = 343. The labels stand
    // there, except that the spreading moves the first label up twice (its cost is the first
    // largest, and the second move is always made): 18.
    const struct
    {
        const char *text;
        int labelY;
    } expected[] = {{"m1 0.0", 18}, {"m2 12.3", 86}, {"m3 60.0", 343}};
    for (const auto &e : expected) {
        const TextCapture::Text *label = find(texts, e.text);
        ASSERT_NE(label, nullptr) << e.text;
        EXPECT_EQ(label->x + label->width, 100 - 15) << e.text; // right-aligned at xl = ms - 15
        EXPECT_EQ(label->y, e.labelY - label->height / 2) << e.text;
        EXPECT_EQ(label->font.size, 8) << e.text;
    }
    // Names only, positions only.
    f.context.options.drawpos = false;
    EXPECT_NE(find(f.texts(), "m2"), nullptr);
    f.context.options.drawpos = true;
    f.context.options.drawmarkers = false;
    EXPECT_NE(find(f.texts(), " 12.3"), nullptr);
}

TEST(LinkageGroupViewTexts, LegendLabelsOfTheUsedAllelesInTableOrder)
{
    ViewTextsFixture f;
    const auto texts = f.texts();
    // x0 = 200 - 22; N = round(380 * 0.95) = 361, K = 30; entry n at y = 20 + 22 + 30 n.
    const TextCapture::Text *title = find(texts, "Legend");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x, 180);
    EXPECT_EQ(title->y, 25);
    EXPECT_EQ(title->angle, 270);
    EXPECT_TRUE(title->font.bold);
    const struct
    {
        const char *text;
        int y;
    } expected[] = {{"Parent A", 72}, {"b", 102}, {"het", 132}};
    const auto labels = textsWhere(texts, [](const TextCapture::Text &t) { return t.angle == 270 && t.x == 180 && t.text != "Legend"; });
    ASSERT_EQ(labels.size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(labels[k].text, expected[k].text);
        EXPECT_EQ(labels[k].y, expected[k].y) << expected[k].text;
        EXPECT_FALSE(labels[k].font.bold) << expected[k].text;
    }
    // Box n: x 178 .. 190, y 20 + 12 + 30 n .. 20 + 20 + 30 n, in the allele's colour.
    const QImage image = renderPicture(drawLinkageGroupView(f.data, f.table, f.context));
    EXPECT_EQ(pixelAt(image, 184, 66), Red);
    EXPECT_EQ(pixelAt(image, 184, 96), Blue);
    EXPECT_EQ(pixelAt(image, 184, 126), Green);
    EXPECT_EQ(pixelAt(image, 184, 80), White);
}

TEST(LinkageGroupViewTexts, FooterNamesTheGroupCountedFromOne)
{
    ViewTextsFixture f;
    const auto texts = f.texts();
    const TextCapture::Text *footer = find(texts, "Group 2  [chr2]  cross 7");
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->x, 200 / 3);
    EXPECT_EQ(footer->y, 400 - initialTextHeight());
    EXPECT_EQ(footer->font.size, 8 + 2);

    f.context.group = 0;
    EXPECT_NE(find(f.texts(), "Group 1  [chr1]  cross 7"), nullptr);
    f.context.options.showtext = false;
    EXPECT_TRUE(textsWhere(f.texts(), [](const TextCapture::Text &t) { return t.text.rfind("Group", 0) == 0; }).empty());
}

TEST(LinkageGroupViewTexts, IndividualNamesUnderTheBars)
{
    ViewTextsFixture f;
    // Sideways: turned names at (E - bw, y(60) + 6) = (106, 349), (120, 349), (134, 349).
    auto texts = f.texts();
    const int xs[] = {106, 120, 134};
    for (int i = 0; i < 3; ++i) {
        const TextCapture::Text *name = find(texts, "I" + std::to_string(i + 1));
        ASSERT_NE(name, nullptr) << i;
        EXPECT_EQ(name->x, xs[i]);
        EXPECT_EQ(name->y, 349);
        EXPECT_EQ(name->angle, 270);
    }
    // Horizontal, every second individual: the first bar (J = 0) and J + a = 2.
    f.context.options.sideways = false;
    f.context.options.labelfreq = 2;
    texts = f.texts();
    ASSERT_NE(find(texts, "I1"), nullptr);
    EXPECT_EQ(find(texts, "I1")->angle, 0);
    EXPECT_EQ(find(texts, "I1")->x, 106);
    EXPECT_NE(find(texts, "I2"), nullptr);
    EXPECT_EQ(find(texts, "I3"), nullptr);
}

} // namespace
} // namespace rvk
