// The texts of the individual view for a small data set: ruler numbers every 25 cM, the unit,
// the group names under the bars, marker names on the left, positions with two decimals on
// the right, the legend labels and the footer naming the individual.

#include "genotypeviewfixture.h"
#include "textcapture.h"

#include "render/individualview.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rvk {
namespace {

using namespace rvk::test;

std::vector<std::string> textsAt(const std::vector<TextCapture::Text> &texts, int angle)
{
    std::vector<std::string> result;
    for (const TextCapture::Text &t : texts)
        if (t.angle == angle)
            result.push_back(t.text);
    return result;
}

bool contains(const std::vector<std::string> &texts, const std::string &text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(IndividualViewTexts, RulerLabelsGroupNamesLegendAndFooter)
{
    GenotypeData data = makeData({{marker("m1", 0, "abh"), marker("m2", 12.34, "abh"), marker("m3", 60, "abh")}, {marker("n1", 0, "hha"), marker("n2", 30, "hha")}}, 3);
    AlleleTable table = testTable();
    table.setLegend(codeIndex('b'), "Parent B of the cross");
    // As the reader leaves them: every code of the data used.
    for (char code : {'a', 'b', 'h'})
        table.markUsed(code);
    DrawContext context;
    context.visibleHeight = 400;
    context.currentIndividual = 2;
    context.options.Customtext = "cross 7";
    const auto texts = capturedTexts(drawIndividualView(data, table, context));
    const auto straight = textsAt(texts, 0);
    const auto turned = textsAt(texts, 270);

    // Ruler up to the longest group, 60 cM: ticks to trunc(60 / 5) + 1 = 13, numbers at 0, 25, 50.
    std::vector<std::string> numbers;
    for (const std::string &t : straight)
        if (!t.empty() && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
            numbers.push_back(t);
    EXPECT_EQ(numbers, (std::vector<std::string>{"0", "25", "50"}));
    EXPECT_TRUE(contains(straight, "cM"));

    // Individual 2 carries b on the first group and h on the second.
    for (const char *name : {"m1", "m2", "m3", "n1", "n2"})
        EXPECT_TRUE(contains(straight, name)) << name;
    for (const char *position : {"0.00", "12.34", "60.00", "30.00"})
        EXPECT_TRUE(contains(straight, position)) << position;
    EXPECT_TRUE(contains(turned, "chr1"));
    EXPECT_TRUE(contains(turned, "chr2"));
    // The used alleles, legends cut to 8 characters.
    EXPECT_TRUE(contains(turned, "Legend"));
    EXPECT_TRUE(contains(turned, "a"));
    EXPECT_TRUE(contains(turned, "Parent B"));
    EXPECT_TRUE(contains(turned, "h"));
    EXPECT_TRUE(contains(straight, "Ind no:2 [I2] - cross 7"));
}

} // namespace
} // namespace rvk
