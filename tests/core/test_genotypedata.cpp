#include "core/genotypedata.h"
#include "core/textformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

namespace rvk {
namespace {

std::vector<Tlocinfo> lociAt(std::initializer_list<std::pair<const char *, double>> entries)
{
    std::vector<Tlocinfo> loci;
    for (const auto &[name, position] : entries) {
        Tlocinfo locus;
        locus.Name = name;
        locus.Position = position;
        loci.push_back(locus);
    }
    return loci;
}

std::vector<std::string> namesOf(const std::vector<Tlocinfo> &loci)
{
    std::vector<std::string> names;
    for (const auto &locus : loci)
        names.push_back(locus.Name);
    return names;
}

TEST(SortGroupByPosition, FollowsTheExchangeOrder)
{
    struct Case
    {
        std::vector<Tlocinfo> loci;
        std::vector<std::string> sorted;
    };
    const std::vector<Case> cases = {
        {lociAt({{"B", 1.0}, {"C", 1.0}, {"A", 0.0}}), {"A", "C", "B"}},
        {lociAt({{"A", 0.0}, {"B", 1.0}, {"C", 1.0}}), {"A", "B", "C"}},
        {lociAt({{"D", 3.0}, {"C", 2.0}, {"B", 1.0}, {"A", -1.0}}), {"A", "B", "C", "D"}},
        {lociAt({{"only", 5.0}}), {"only"}},
        {{}, {}},
    };
    for (Case c : cases) {
        SortGroupByPosition(c.loci);
        EXPECT_EQ(namesOf(c.loci), c.sorted);
    }
}

TEST(GenotypeData, CrossPollinatorGenotypesArePairs)
{
    GenotypeData data;
    data.popt = "cp";
    data.nind = 3;
    Tlocinfo locus;
    locus.Genotypes = "abacbd";
    EXPECT_EQ(data.Genotype(locus, 1), "ac");
    EXPECT_EQ(data.Genotype(locus, 3), "");
    data.popt = "f2";
    EXPECT_EQ(data.Genotype(locus, 1), "b");
}

// The segregation type and the phase are fixed-capacity texts: a longer text keeps its first
// seven (four) characters, wherever it comes from.
TEST(Tlocinfo, SegTypeAndPhaseKeepTheirFirstCharacters)
{
    const struct
    {
        std::string given, segType, phase;
    } cases[] = {
        {"", "", ""},
        {"{0}", "{0}", "{0}"},
        {"{0-}", "{0-}", "{0-}"},
        {"<abxcd>", "<abxcd>", "<abx"},
        {"<abxcdef>{01}", "<abxcde", "<abx"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.given);
        Tlocinfo locus;
        locus.setSegType(c.given);
        locus.setPhase(c.given);
        EXPECT_EQ(locus.SegType, c.segType);
        EXPECT_EQ(locus.Phase, c.phase);
        Tlocinfo assigned;
        assigned.SegType = c.given;
        assigned.Phase = c.given;
        EXPECT_EQ(assigned.SegType, locus.SegType);
        EXPECT_EQ(assigned.Phase, locus.Phase);
        EXPECT_EQ("m " + locus.Phase, "m " + c.phase);
        EXPECT_EQ(std::string(locus.SegType).size(), c.segType.size());
    }
}

TEST(GenotypeData, LoadNumbersKeepEveryDigit)
{
    GenotypeData data;
    data.IndividualNumbers = {7, 12345};
    EXPECT_EQ(data.IndividualNumberText(0), "0007");
    EXPECT_EQ(data.IndividualNumberText(1), "12345");
}

TEST(TextFormat, PrintfReadings)
{
    struct Case
    {
        std::string pattern;
        std::string expected;
        std::string result;
    };
    const std::vector<Case> cases = {
        {"%2.1f", "12.3", formatText("%2.1f", {12.34})},
        {"%2.1f", "0.1", formatText("%2.1f", {0.05})},
        {"%8.2e", "1.2E-004", formatText("%8.2e", {0.00012})}, {"%9.2e", " 1.2E-004", formatText("%9.2e", {0.00012})},
        {"%8.2e", "-1.2E+003", formatText("%8.2e", {-1234.0})},
        {"%.4d", "0007", formatText("%.4d", {7})},
        {"%.3d", "012", formatText("%.3d", {12})},
        {"%25.25s", std::string(22, ' ') + "abc", formatText("%25.25s", {"abc"})},
        {"%5.5s", "abcde", formatText("%5.5s", {"abcdefgh"})},
        {"%d [%d:%d]  <", "3 [1:120]  <", formatText("%d [%d:%d]  <", {3, 1, 120})},
        {"%g", "12.5", formatText("%g", {12.5})},
        {"%g", "0.1", formatText("%g", {0.1})},
        {"%%", "100%", formatText("%d%%", {100})},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.result, c.expected) << c.pattern;
    EXPECT_EQ(formatGeneral(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(formatGeneral(-99), "-99");
}

// Lists of millions of numbers are written by a fixed-point writer of their own; the C library's
// printf (exact decimal expansion, halves to even) is the reference: ties that binary numbers hold
// exactly, values a hair on either side of a half, signs of zero, large and odd values.
TEST(TextFormat, FixedWriterWritesWhatPrintfWrites)
{
    std::vector<double> values = {0.0, -0.0, 0.125, 0.375, 2.5, 3.5, -2.5, 0.005, 0.015, 1.005, 0.995, 0.9999999,
                                  -0.001, 123456.785, 999999999.5, 1e-300, 5e9, 1e300, -1e300};
    for (int k = 1; k < 4000; ++k) {
        const double half = (2 * k + 1) / 2000.0;
        values.insert(values.end(), {half, std::nextafter(half, 0.0), std::nextafter(half, 1e9), k / 8.0, -k / 7.0});
    }
    for (const double value : values)
        for (int decimals = 0; decimals <= 6; ++decimals) {
            char expected[512];
            std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
            std::string written = "x";
            appendFixed(written, value, decimals);
            ASSERT_EQ(written, "x" + std::string(expected)) << value << " " << decimals;
        }
}

TEST(TextFormat, NumbersReadWithADecimalPointOnly)
{
    EXPECT_EQ(parseDecimal(" 12.5 "), 12.5);
    EXPECT_EQ(parseDecimal("-3e2"), -300.0);
    EXPECT_EQ(parseDecimal("+1.5"), 1.5);
    EXPECT_FALSE(parseDecimal("1,5"));
    EXPECT_FALSE(parseDecimal(""));
    EXPECT_FALSE(parseDecimal("12a"));
    for (const char *notANumber : {"nan", "NaN", "-nan", "inf", "+inf", "-INF", "infinity", "Infinity", "1e999"})
        EXPECT_FALSE(parseDecimal(notANumber)) << notANumber;
    EXPECT_EQ(parseInteger("42"), 42);
    EXPECT_FALSE(parseInteger("4.2"));
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(5.55556e51), std::numeric_limits<long long>::max());
    EXPECT_EQ(roundHalfEven(-1e300), std::numeric_limits<long long>::min());
    EXPECT_EQ(roundHalfEven(std::nan("")), 0);
}

} // namespace
} // namespace rvk
