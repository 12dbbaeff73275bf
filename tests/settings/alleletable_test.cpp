#include "settings/alleletable.h"
#include "settings/randomgenerator.h"
#include "support/hatchpatternrows.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

TEST(ProgramRandom, IsTheLinearCongruentialSequenceFromSeedZero)
{
    ProgramRandom random;
    EXPECT_EQ(random.next(255), 0); // seed 1
    EXPECT_EQ(random.state(), 1u);
    EXPECT_EQ(random.next(255), 8); // seed 134775814
    EXPECT_EQ(random.state(), 134775814u);
    random.seed(0xFFFFFFFFu);
    EXPECT_EQ(random.next(1000), static_cast<int>((static_cast<std::uint64_t>(0xFFFFFFFFu * 134775813u + 1u) * 1000u) >> 32));
    random.seed(0);
    EXPECT_DOUBLE_EQ(random.nextReal(), 1.0 / 4294967296.0);
    for (int i = 0; i < 1000; ++i) {
        const int value = random.next(14);
        ASSERT_GE(value, 0);
        ASSERT_LT(value, 14);
    }
}

struct DefaultCase
{
    char code;
    Rgb color;
    int hatch;
    double numval;
};

TEST(AlleleTableDefaults, FirstStartGivesTheFixedAndTheSamePseudoRandomValues)
{
    // Random colours and hatches as the generator at seed 0 deals them: per entry R, G, B, hatch.
    const DefaultCase cases[] = {
        {'*', rgb(0, 8, 219), 2, 0.0},
        {'+', rgb(0, 0, 128), 2, 0.0},
        {'-', rgb(17, 214, 15), 4, 0.0},
        {'.', rgb(192, 192, 192), -1, MissingNumval},
        {'0', rgb(255, 0, 0), 3, 0.0},
        {'1', rgb(210, 71, 122), 2, 1.0},
        {'9', rgb(21, 196, 126), 12, 0.0},
        {'A', rgb(255, 0, 0), 6, -1.0},
        {'B', rgb(0, 0, 128), -1, 1.0},
        {'C', rgb(166, 202, 240), -1, 0.5},
        {'D', rgb(128, 0, 0), -1, -0.5},
        {'H', rgb(192, 220, 192), 3, 0.0},
        {'U', rgb(192, 192, 192), 4, MissingNumval},
        {'z', rgb(204, 243, 29), 2, 0.0},
    };
    const AlleleTable table;
    for (const DefaultCase &c : cases) {
        const Tcolorset &e = table.lookup(c.code);
        EXPECT_EQ(e.Color, c.color) << c.code;
        if (c.hatch >= 0) {
            EXPECT_EQ(e.Hatch, c.hatch) << c.code;
        }
        EXPECT_EQ(e.Numval, c.numval) << c.code;
        EXPECT_EQ(e.Legend, std::string(1, c.code));
        EXPECT_FALSE(e.Used);
        EXPECT_EQ(e.DrawnLength, 0.0);
    }
    // Every entry: fixed colours and values where the table gives them, else colour channels
    // drawn from 0..254, Numval 0, hatch drawn from 0..13, the code as legend.
    struct Fixed
    {
        char code;
        int r, g, b; // r < 0: pseudo-random
        double numval;
    };
    const Fixed fixed[] = {
        {'0', 255, 0, 0, 0.0},       {'1', -1, 0, 0, 1.0},   {'A', 255, 0, 0, -1.0},      {'B', 0, 0, 128, 1.0},
        {'+', 0, 0, 128, 0.0},       {'C', 166, 202, 240, 0.5}, {'D', 128, 0, 0, -0.5}, {'H', 192, 220, 192, 0.0},
        {'U', 192, 192, 192, -99.0}, {'.', 192, 192, 192, -99.0},
    };
    for (int i = 0; i < AlleleTable::Size; ++i) {
        const char code = static_cast<char>(i + 42);
        const Tcolorset &e = table.entry(i);
        const Fixed *f = nullptr;
        for (const Fixed &candidate : fixed)
            if (candidate.code == code)
                f = &candidate;
        if (f && f->r >= 0) {
            EXPECT_EQ(e.Color, rgb(f->r, f->g, f->b)) << code;
        } else {
            EXPECT_LE(redOf(e.Color), 254) << code;
            EXPECT_LE(greenOf(e.Color), 254) << code;
            EXPECT_LE(blueOf(e.Color), 254) << code;
            EXPECT_EQ(e.Color >> 24, 0u) << code;
        }
        EXPECT_EQ(e.Numval, f ? f->numval : 0.0) << code;
        EXPECT_GE(e.Hatch, 0) << code;
        EXPECT_LE(e.Hatch, 13) << code;
        EXPECT_EQ(e.HatchBrush, &HatchPatterns()[static_cast<size_t>(e.Hatch)]) << code;
        EXPECT_EQ(e.Legend, std::string(1, code));
        EXPECT_FALSE(e.Used) << code;
    }
    // Every first start is the same.
    const AlleleTable again;
    for (int i = 0; i < AlleleTable::Size; ++i) {
        EXPECT_EQ(again.entry(i).Color, table.entry(i).Color);
        EXPECT_EQ(again.entry(i).Hatch, table.entry(i).Hatch);
    }
}

TEST(AlleleTableDefaults, MissingDataCodesAreOnlyThoseAtMinus99)
{
    const AlleleTable table;
    EXPECT_TRUE(table.lookup('U').isMissing());
    EXPECT_TRUE(table.lookup('.').isMissing());
    // '-' is a common missing code in locus files but counts as an observation until set.
    EXPECT_FALSE(table.lookup('-').isMissing());
    EXPECT_FALSE(table.lookup('0').isMissing());
}

TEST(AlleleTableLookup, CodeCharactersMapToTheirEntries)
{
    AlleleTable table;
    EXPECT_EQ(&table.lookup('*'), &table.entry(0));
    EXPECT_EQ(&table.lookup('A'), &table.entry(65 - 42));
    EXPECT_EQ(&table.lookup('z'), &table.entry(80));
    EXPECT_EQ(AlleleTable::indexOf('z'), 80);
    EXPECT_EQ(AlleleTable::indexOf(')'), -1);
    EXPECT_EQ(AlleleTable::indexOf('{'), -1);
    EXPECT_EQ(AlleleTable::codeOf(23), 'A');
    // A character outside the range never reads outside the table.
    EXPECT_EQ(&table.lookup('~'), &table.lookup('U'));
}

struct NumvalTextCase
{
    const char *text;
    bool accepted;
    double value;
};

TEST(AlleleTableEditing, NumvalTextIsTakenOnlyWhenItIsANumber)
{
    const NumvalTextCase cases[] = {
        {"-99", true, -99.0},   {"-99.00", true, -99.0}, {"-99.5", true, -99.5}, {"0.5", true, 0.5},
        {" 2.25 ", true, 2.25}, {"1e2", true, 100.0},   {"0,5", false, 0.0},    {"", false, 0.0},
        {"abc", false, 0.0},    {"1.2.3", false, 0.0},  {"nan", false, 0.0},    {"inf", false, 0.0},
    };
    for (const NumvalTextCase &c : cases) {
        AlleleTable table;
        const int i = AlleleTable::indexOf('-');
        table.setNumval(i, 3.0);
        EXPECT_EQ(table.setNumvalText(i, c.text), c.accepted) << c.text;
        EXPECT_EQ(table.entry(i).Numval, c.accepted ? c.value : 3.0) << c.text;
    }
    AlleleTable table;
    table.setNumvalText(AlleleTable::indexOf('-'), "-99.00");
    EXPECT_TRUE(table.lookup('-').isMissing());
    table.setNumvalText(AlleleTable::indexOf('-'), "-99.5");
    EXPECT_FALSE(table.lookup('-').isMissing());
}

TEST(AlleleTableEditing, NumvalIsListedWithTwoDecimals)
{
    EXPECT_EQ(formatNumval(-99.0), "-99.00");
    EXPECT_EQ(formatNumval(0.5), "0.50");
    EXPECT_EQ(formatNumval(1.0), "1.00");
    EXPECT_EQ(formatNumval(-0.5), "-0.50");
}

TEST(AlleleTableEditing, EditsChangeOneFieldOfOneEntry)
{
    AlleleTable table;
    const int i = AlleleTable::indexOf('A');
    const Tcolorset before = table.entry(i + 1);
    table.setColor(i, rgb(1, 2, 3));
    table.setLegend(i, "");
    table.setHatch(i, 7);
    EXPECT_EQ(table.entry(i).Color, rgb(1, 2, 3));
    EXPECT_EQ(table.entry(i).Legend, "");
    EXPECT_EQ(table.entry(i).Hatch, 7);
    EXPECT_TRUE(table.entry(i).HatchBrush->empty);
    table.setHatch(i, 15);
    EXPECT_EQ(table.entry(i).HatchBrush, &HatchPatterns()[15]);
    table.setHatch(i, 16); // outside the patterns: the first one
    EXPECT_EQ(table.entry(i).Hatch, 0);
    EXPECT_EQ(table.entry(i + 1).Color, before.Color);
    EXPECT_EQ(table.entry(i + 1).Hatch, before.Hatch);
}

TEST(AlleleTableState, UsedAndDrawnLengthTallies)
{
    AlleleTable table;
    table.markUsed('A');
    table.markUsed('B');
    table.markUsed('!'); // outside the table: ignored
    std::bitset<AlleleTable::Size> more;
    more.set(static_cast<size_t>(AlleleTable::indexOf('H')));
    table.markUsed(more);
    EXPECT_EQ(table.usedFlags().count(), 3u);
    EXPECT_TRUE(table.lookup('H').Used);

    table.addDrawnLength('A', 2.5);
    table.addDrawnLength('A', 1.0);
    EXPECT_EQ(table.lookup('A').DrawnLength, 3.5);
    table.resetDrawnLengths();
    EXPECT_EQ(table.lookup('A').DrawnLength, 0.0);

    const auto flags = table.usedFlags();
    table.setDefaults();
    EXPECT_EQ(table.usedFlags(), flags); // rebuilding the display properties keeps Used
    table.clearUsed();
    EXPECT_EQ(table.usedFlags().count(), 0u);
}

TEST(HatchPatternsTable, SixteenPatternsWithSeventhEmpty)
{
    const auto &patterns = HatchPatterns();
    ASSERT_EQ(patterns.size(), 16u);
    EXPECT_EQ(patterns[0].rows, (std::array<std::uint8_t, 8>{0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(patterns[15].rows, (std::array<std::uint8_t, 8>{0xE7, 0xC3, 0x81, 0x00, 0x00, 0x81, 0xC3, 0xE7}));
    for (size_t i = 0; i < patterns.size(); ++i)
        EXPECT_EQ(patterns[i].empty, i == 7) << i;
}

TEST(HatchPatternsTable, EveryRowOfEveryPattern)
{
    const auto &patterns = HatchPatterns();
    for (size_t i = 0; i < 16; ++i) {
        if (static_cast<int>(i) == test::EmptyHatchPattern) {
            EXPECT_TRUE(patterns[i].empty);
            continue;
        }
        for (size_t row = 0; row < 8; ++row)
            EXPECT_EQ(patterns[i].rows[row], test::HatchPatternRows[i][row]) << "pattern " << i << " row " << row;
    }
}

TEST(HatchPatternsTable, ColourDrawingStyleOfEachHatch)
{
    using S = ColorHatchStyle;
    const S expected[16] = {S::Solid,           S::DiagonalRising, S::Cross, S::DiagonalCross, S::DiagonalFalling, S::Horizontal,
                            S::Vertical,        S::Solid,          S::Solid, S::Solid,         S::Solid,           S::Solid,
                            S::Solid,           S::Solid,          S::Solid, S::Solid};
    for (int hatch = 0; hatch < 16; ++hatch)
        EXPECT_EQ(colorHatchStyle(hatch), expected[hatch]) << hatch;
}

} // namespace
} // namespace rvk
