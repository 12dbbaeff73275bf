#include "genetics/distancecalculation.h"

#include "genetics/test_distancefixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace rvk {
namespace {

using test::makeDistanceData;

std::string pairText(const DistanceMatrix &matrix, int i, int j) { return matrix.cellText(i + 1, j + 1); }

DistanceMatrix calculate(const GenotypeData &data, DistanceCoefficient coefficient,
                         DistanceEntries between = DistanceEntries::Genotypes)
{
    const AlleleTable alleles;
    return *CalculateDistances(data, alleles, {coefficient, between});
}

// Two individuals, texts of codes; 'U' is missing (Numval -99), '0' the zero code; with the
// default values A = -1, B = 1, C = 0.5, '0' = 0.
TEST(DistanceCalculation, PairsOfIndividualsByCoefficient)
{
    struct Case
    {
        const char *what;
        std::string x, y;
        const char *sm, *jaccard, *euclidean;
    };
    const Case cases[] = {
        // m = 3 (A, 0, C), u = 1 (B/C), z = 1, the U locus skipped: 1 - 3/4 and 1 - 2/3;
        // q = (1 - 0.5)^2.
        {"worked example", "AB0UC", "AC0BC", "0.25", "0.33", "0.5"},
        {"identical", "AB0CH", "AB0CH", "0.00", "0.00", "0.0"},
        {"no shared locus", "AUU", "UBU", "0.00", "0.00", "0.0"},
        // '0' shared: a match for SM, ignored by Jaccard (m - z = 0, u = 1).
        {"shared zero", "0A", "0B", "0.50", "1.00", "2.0"},
        // 1 - 7/8 = 0.125 exactly: printed "0.12", the half rounded to the even neighbour.
        {"exact half", "AAAAAAAA", "AAAAAAAB", "0.12", "0.12", "2.0"},
        // '-' is a code with a value (0), not a missing one.
        {"dash is a value", "A-", "A0", "0.50", "0.50", "0.0"},
    };
    for (const Case &c : cases) {
        const GenotypeData data = makeDistanceData({{c.x, c.y}});
        EXPECT_EQ(pairText(calculate(data, DistanceCoefficient::AlleleSharing), 0, 1), c.sm) << c.what;
        EXPECT_EQ(pairText(calculate(data, DistanceCoefficient::Jaccard), 0, 1), c.jaccard) << c.what;
        EXPECT_EQ(pairText(calculate(data, DistanceCoefficient::Euclidean), 0, 1), c.euclidean) << c.what;
    }
}

TEST(DistanceCalculation, ShownValuesAreTheRoundedOnes)
{
    const GenotypeData data = makeDistanceData({{"AAAAAAAA", "AAAAAAAB", "ABBBBBBB"}});
    const DistanceMatrix m = calculate(data, DistanceCoefficient::AlleleSharing);
    EXPECT_DOUBLE_EQ(m.value(0, 1), 0.12);
    EXPECT_DOUBLE_EQ(m.value(1, 0), 0.12);
    EXPECT_DOUBLE_EQ(m.value(0, 2), 0.88);  // 7/8 = 0.875 -> "0.88"
    EXPECT_EQ(m.cellText(1, 3), "0.88");
    EXPECT_EQ(m.cellText(3, 1), "");        // upper triangle stays empty
    EXPECT_EQ(m.cellText(2, 2), "");
}

TEST(DistanceCalculation, LociWithoutCommonIndividualAreOneApart)
{
    // Loci m1_1 and m1_2 never scored in the same individual.
    const GenotypeData data = makeDistanceData({{"AU", "UB"}, {"A", "A"}});
    const DistanceMatrix m = calculate(data, DistanceCoefficient::AlleleSharing, DistanceEntries::Markers);
    ASSERT_EQ(m.size(), 3);
    EXPECT_EQ(m.labels(), (std::vector<std::string>{"1>m1_1", "1>m1_2", "2>m2_1"}));
    EXPECT_EQ(pairText(m, 0, 1), "1.00");
    EXPECT_EQ(pairText(calculate(data, DistanceCoefficient::Jaccard, DistanceEntries::Markers), 0, 1), "1.00");
    EXPECT_EQ(pairText(m, 0, 2), "0.00");   // A, A at individual 1
    EXPECT_EQ(pairText(m, 1, 2), "1.00");   // B vs A at individual 2
}

TEST(DistanceCalculation, SelectionLeavesPairsOfUnselectedIndividualsEmpty)
{
    GenotypeData data = makeDistanceData({{"AB", "AA", "BB"}});
    data.Ticked[1] = 0;
    data.Selectionyesno = true;
    DistanceMatrix m = calculate(data, DistanceCoefficient::AlleleSharing);
    EXPECT_EQ(pairText(m, 0, 1), "");
    EXPECT_EQ(pairText(m, 1, 2), "");
    EXPECT_EQ(pairText(m, 0, 2), "0.50");
    EXPECT_FALSE(m.complete());
    EXPECT_EQ(m.emptyCount(), 2u);
    // Filtering off: everyone counts.
    data.Selectionyesno = false;
    m = calculate(data, DistanceCoefficient::AlleleSharing);
    EXPECT_TRUE(m.complete());

    // Between loci, unselected individuals are no positions: with individual 2 out, the two
    // loci agree at individual 1 (A/B differ) and 3 (B/B agree).
    data.Selectionyesno = true;
    m = calculate(data, DistanceCoefficient::AlleleSharing, DistanceEntries::Markers);
    EXPECT_EQ(pairText(m, 0, 1), "0.50");
    data.Selectionyesno = false;
    m = calculate(data, DistanceCoefficient::AlleleSharing, DistanceEntries::Markers);
    EXPECT_EQ(pairText(m, 0, 1), "0.33"); // individual 2 agrees (A/A)
}

TEST(DistanceCalculation, CrossPollinatorCharactersArePositionsOfTheirOwn)
{
    // Two loci, two characters each: "ac|bd" vs "ab|bd": first characters a/a, b/b agree,
    // second characters c/b differ, d/d agree: 1 - 3/4.
    const GenotypeData data = makeDistanceData({{"acbd", "abbd"}}, "cp");
    EXPECT_EQ(pairText(calculate(data, DistanceCoefficient::AlleleSharing), 0, 1), "0.25");
    // Between the two loci: positions are the four characters (a/b, c/d, a/b, b/d): all differ.
    EXPECT_EQ(pairText(calculate(data, DistanceCoefficient::AlleleSharing, DistanceEntries::Markers), 0, 1), "1.00");
}

// The packed computation against a plain count over random data with many codes, missing
// values and zeros, over more positions than eight machine words hold (the widest step of the count).
TEST(DistanceCalculation, AgreesWithAPlainCountOnRandomData)
{
    std::mt19937 random(7);
    const std::string codes = "ABCHD0U-abc";
    std::vector<std::string> rows(9);
    for (std::string &row : rows)
        for (int k = 0; k < 700; ++k)
            row += codes[random() % codes.size()];
    const GenotypeData data = makeDistanceData({rows});
    const AlleleTable alleles;
    for (const DistanceCoefficient coefficient :
         {DistanceCoefficient::AlleleSharing, DistanceCoefficient::Jaccard, DistanceCoefficient::Euclidean}) {
        const DistanceMatrix m = calculate(data, coefficient);
        for (int i = 0; i < 9; ++i)
            for (int j = i + 1; j < 9; ++j) {
                int same = 0, differ = 0, zeros = 0;
                double q = 0;
                for (int k = 0; k < 700; ++k) {
                    const char a = rows[i][k], b = rows[j][k];
                    const double va = alleles.lookup(a).Numval, vb = alleles.lookup(b).Numval;
                    if (va == -99 || vb == -99)
                        continue;
                    (a == b ? same : differ) += 1;
                    zeros += a == '0' && b == '0';
                    q += (va - vb) * (va - vb);
                }
                double expected = 0;
                if (coefficient == DistanceCoefficient::AlleleSharing)
                    expected = 1.0 - double(same) / (same + differ);
                else if (coefficient == DistanceCoefficient::Jaccard)
                    expected = 1.0 - double(same - zeros) / (same - zeros + differ);
                else
                    expected = std::sqrt(q);
                EXPECT_EQ(pairText(m, i, j), DistanceMatrix::formatValue(expected, m.decimals())) << i << " " << j;
            }
    }
}

TEST(DistanceCalculation, StopsWhenProgressSaysSo)
{
    const GenotypeData data = makeDistanceData({{"AB", "AA", "BB"}});
    const AlleleTable alleles;
    long long lastTotal = 0;
    EXPECT_FALSE(CalculateDistances(data, alleles, {}, [&](long long, long long total) {
                     lastTotal = total;
                     return false;
                 }).has_value());
    EXPECT_EQ(lastTotal, 3);
}

} // namespace
} // namespace rvk

namespace rvk {
namespace {

TEST(DistanceCalculation, RefusesAMatrixThatWouldNotFitInMemory)
{
    // 40,000 loci of one individual: 800 million pairs.
    GenotypeData data = test::makeDistanceData({{std::string(40000, 'A')}});
    std::string error;
    EXPECT_FALSE(CalculateDistances(data, AlleleTable(), {DistanceCoefficient::AlleleSharing, DistanceEntries::Markers}, {}, &error));
    EXPECT_EQ(error, tooManyEntriesMessage(40000, DistanceEntries::Markers));
    EXPECT_NE(error.find("6103 MB"), std::string::npos) << error;
}

} // namespace
} // namespace rvk
