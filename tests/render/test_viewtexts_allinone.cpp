// The texts of the all-in-one view for a small data set: the group title above its rows, the
// row names with "Consensus" last, and the horizontal legend below the rows.

#include "genotypeviewfixture.h"
#include "textcapture.h"

#include "core/textformat.h"
#include "render/allinoneview.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

using namespace rvk::test;

const TextCapture::Text *find(const std::vector<TextCapture::Text> &texts, const std::string &text)
{
    for (const TextCapture::Text &t : texts)
        if (t.text == text)
            return &t;
    return nullptr;
}

TEST(AllInOneViewTexts, TitleRowNamesAndLegend)
{
    // One group of 100 cM, three individuals: rows 8 pixels high every 14 from y = 21, the
    // consensus row fourth at y = 63.
    GenotypeData data = makeData({{marker("m1", 0, "abh"), marker("m2", 50, "abh"), marker("m3", 100, "abh")}}, 3);
    for (Tlocinfo &locus : data.GroupLoci(0)) {
        locus.MajorAllele = 'a';
        locus.MajorAlleleShare = 1.0 / 3;
    }
    AlleleTable table = testTable();
    for (char code : {'a', 'b', 'h'})
        table.markUsed(code);
    table.setLegend(codeIndex('h'), "heterozygous");
    DrawContext context;
    context.options.autosize = false;
    AllInOneView::Layout layout;
    const auto texts = capturedTexts(drawAllInOneView(data, table, context, 522, &layout));
    const int start = layout.rowsStart;

    // Title "1: chr1" at x0 + round(s * 0.2 * 100), y 1, one point larger than the marker font.
    const TextCapture::Text *title = find(texts, "1: chr1");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x, start + static_cast<int>(roundHalfEven(layout.scale * 20)));
    EXPECT_EQ(title->y, 1);
    EXPECT_EQ(title->font.size, 9);

    // Row names at (1, top - 2).
    const struct
    {
        const char *name;
        int y;
    } rows[] = {{"I1", 19}, {"I2", 33}, {"I3", 47}, {"Consensus", 61}};
    for (const auto &row : rows) {
        const TextCapture::Text *name = find(texts, row.name);
        ASSERT_NE(name, nullptr) << row.name;
        EXPECT_EQ(name->x, 1) << row.name;
        EXPECT_EQ(name->y, row.y) << row.name;
    }

    // Legend at v = 63 + 2 * 6 + 2 * 8 = 91; entry n at x = tm + K n + 22 with K = N div 12,
    // N = round(0.95 xmax) and xmax the end of the rows.
    const int xmax = start + static_cast<int>(roundHalfEven(100 * layout.scale));
    const int k = static_cast<int>(roundHalfEven(xmax * 0.95)) / 12;
    const TextCapture::Text *legend = find(texts, "Legend");
    ASSERT_NE(legend, nullptr);
    EXPECT_EQ(legend->x, 25);
    EXPECT_EQ(legend->y, 91);
    EXPECT_EQ(legend->angle, 0);
    EXPECT_TRUE(legend->font.bold);
    const struct
    {
        const char *label;
        int n;
    } labels[] = {{"a", 1}, {"b", 2}, {"heterozy", 3}};
    for (const auto &l : labels) {
        const TextCapture::Text *label = find(texts, l.label);
        ASSERT_NE(label, nullptr) << l.label;
        EXPECT_EQ(label->x, 20 + k * l.n + 22) << l.label;
        EXPECT_EQ(label->y, 91) << l.label;
    }
    // No marker labels, ruler or footer in this view.
    EXPECT_EQ(find(texts, "m1"), nullptr);
    EXPECT_EQ(find(texts, "cM"), nullptr);
}

} // namespace
} // namespace rvk
