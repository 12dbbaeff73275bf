#include "genetics/ldpair.h"

#include "genetics/ldfixture.h"
#include "settings/alleletable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cstdint>

namespace rvk {
namespace {

using test::LdTestLocus;
using test::makeLdData;

// Sixteen F2 individuals (A = -1, H = 0, B = 1; 'U' and '.' missing by default).
GenotypeData fixtureData()
{
    return makeLdData({{
        {"l1", 0.0, "AAHBBHAABHBBAHAB"},
        {"l2", 5.0, "AAHBBHABBHBAAHAB"},
        {"l3", 7.5, "AUHBBHAABHB.AHAB"},
        {"l4", 9.0, "BBHAAHBBAHAABHBA"},
        {"l5", 20.0, "AHHBHBAABABBHHAA"},
    }});
}

// Expected values from a reference written individual by individual from the definitions
// (Python, p-values by mpmath's regularized incomplete beta at 30 digits).
struct Expected
{
    int i, j;
    double R, DPrime, Chi, P, MinusLogP;
    int n;
};

TEST(ComputeLdPair, MatchesTheIndividualByIndividualReference)
{
    const GenotypeData data = fixtureData();
    const AlleleTable alleles;
    const LdMatrices matrices(data, alleles, ldGroupLoci(data, 0), false);
    const Expected cases[] = {
        {0, 1, 0.66666666666666663, 0.8, 0.72222222222222221, 0.0047959191083770383, 2.3191281506527872, 16},
        {1, 2, 0.81167944991342778, 0.9, 0.8666666666666667, 0.00042349881038131963, 3.3731478052755506, 14},
        {0, 4, 0.61101009266077877, 0.4681818181818182, 0.23194444444444443, 0.011921843757652338, 1.92365657413832, 16},
        {2, 4, 0.60875958743507064, 0.53636363636363638, 0.34916666666666668, 0.020865070394603318, 1.6805801457264777, 14},
    };
    for (const Expected &e : cases) {
        const LdPairResult r = ComputeLdPair(matrices, e.i, e.j);
        SCOPED_TRACE(testing::Message() << e.i << "-" << e.j);
        EXPECT_TRUE(r.available);
        EXPECT_TRUE(r.hasP);
        EXPECT_NEAR(r.R, e.R, 1e-14);
        EXPECT_NEAR(r.R2, e.R * e.R, 1e-14);
        EXPECT_NEAR(r.DPrime, e.DPrime, 1e-14);
        EXPECT_NEAR(r.ChiSquarePrime, e.Chi, 1e-14);
        EXPECT_NEAR(r.P / e.P, 1.0, 1e-12);
        EXPECT_NEAR(r.MinusLogP, e.MinusLogP, 1e-12);
        EXPECT_EQ(r.n, e.n);
    }
    EXPECT_DOUBLE_EQ(ComputeLdPair(matrices, 0, 1).Dist, 5.0);
}

TEST(ComputeLdPair, MissingValuesLeaveRButStayInTheCodeTable)
{
    // l3 is l1 with 'U' and '.' in two places: R over the 14 others is exactly 1, while the two
    // missing codes are classes of their own in D' and chi-square'.
    const GenotypeData data = fixtureData();
    const AlleleTable alleles;
    const LdMatrices matrices(data, alleles, ldGroupLoci(data, 0), false);
    const LdPairResult r = ComputeLdPair(matrices, 0, 2);
    EXPECT_EQ(r.n, 14);
    EXPECT_EQ(r.R, 1.0);
    EXPECT_DOUBLE_EQ(r.DPrime, 1.0);
    EXPECT_DOUBLE_EQ(r.ChiSquarePrime, 1.0);
    EXPECT_FALSE(r.hasP);
}

TEST(ComputeLdPair, PerfectCouplingHasNoPValue)
{
    const GenotypeData data = makeLdData({{{"a", 0, "00110101"}, {"b", 1, "00110101"}, {"c", 2, "11001010"}}});
    const AlleleTable alleles;
    const LdMatrices matrices(data, alleles, ldGroupLoci(data, 0), false);
    const LdPairResult coupled = ComputeLdPair(matrices, 0, 1);
    EXPECT_EQ(coupled.R, 1.0);
    EXPECT_EQ(coupled.R2, 1.0);
    EXPECT_EQ(coupled.P, 0.0);
    EXPECT_EQ(coupled.MinusLogP, -1.0);
    EXPECT_FALSE(coupled.hasP);
    EXPECT_DOUBLE_EQ(coupled.DPrime, 1.0);
    EXPECT_DOUBLE_EQ(coupled.ChiSquarePrime, 1.0);
    const LdPairResult repulsion = ComputeLdPair(matrices, 0, 2);
    EXPECT_EQ(repulsion.R, -1.0);
    EXPECT_FALSE(repulsion.hasP);
}

TEST(ComputeLdPair, MonomorphicLocusGivesROneAndNoDisequilibrium)
{
    // Whatever its value, a locus carrying one code has no spread at all.
    for (const char *mono : {"HHHHHHH", "CCCCCCC"}) {
        const GenotypeData data = makeLdData({{{"m", 0, mono}, {"x", 1, "AHBABHA"}}});
        const AlleleTable alleles;
        const LdMatrices matrices(data, alleles, ldGroupLoci(data, 0), false);
        const LdPairResult r = ComputeLdPair(matrices, 0, 1);
        EXPECT_TRUE(r.available) << mono;
        EXPECT_EQ(r.R, 1.0) << mono;
        EXPECT_EQ(r.DPrime, 0.0) << mono;
        EXPECT_EQ(r.ChiSquarePrime, 0.0) << mono;
        EXPECT_FALSE(r.hasP) << mono;
    }
}

TEST(ComputeLdPair, AlmostNoSpreadIsNotAvailable)
{
    AlleleTable alleles;
    alleles.setNumval(AlleleTable::indexOf('C'), 0.0001); // C and H differ by 1e-4
    const GenotypeData data = makeLdData({{{"tiny", 0, "CHCH"}, {"x", 1, "ABAB"}, {"y", 2, "ABBA"}}});
    const LdMatrices matrices(data, alleles, ldGroupLoci(data, 0), false);
    // Sxx = 4 * (0.5e-4)^2 = 1e-8, Syy = 4: d = 2e-4, inside (0, 0.001].
    EXPECT_FALSE(ComputeLdPair(matrices, 0, 1).available);
    EXPECT_FALSE(ComputeLdPair(matrices, 0, 2).available);
    EXPECT_TRUE(ComputeLdPair(matrices, 1, 2).available);
}

TEST(ComputeLdPair, TheIndividualFilterLimitsEveryCount)
{
    GenotypeData data = fixtureData();
    data.Ticked.assign(16, 0);
    for (int k : {0, 2, 3, 5, 7, 8, 11, 13, 14})
        data.Ticked[static_cast<size_t>(k)] = 1;
    data.Selectionyesno = true;
    data.RebuildSelectedIndices();
    const AlleleTable alleles;
    const LdMatrices filtered(data, alleles, ldGroupLoci(data, 0), true);
    EXPECT_EQ(filtered.individualCount(), 9);
    const LdPairResult r = ComputeLdPair(filtered, 0, 4);
    EXPECT_EQ(r.n, 9);
    EXPECT_NEAR(r.R, 0.9332565252573827, 1e-14);
    EXPECT_NEAR(r.DPrime, 0.888888888888889, 1e-14);
    EXPECT_NEAR(r.ChiSquarePrime, 0.75, 1e-14);
    EXPECT_NEAR(r.P / 0.00023683431251056777, 1.0, 1e-12);
    // Without the filter the same pair counts everybody.
    const LdMatrices everybody(data, alleles, ldGroupLoci(data, 0), false);
    EXPECT_EQ(ComputeLdPair(everybody, 0, 4).n, 16);
}

TEST(ComputeLdPair, IndividualValuesReplaceTheCodeValues)
{
    // Values of their own (marker intensities) give the same R as the code values they copy,
    // and a value row of their own may differ from the codes.
    const GenotypeData data = fixtureData();
    const AlleleTable alleles;
    LdMatrices matrices(data, alleles, ldGroupLoci(data, 0), false);
    const LdPairResult byCodes = ComputeLdPair(matrices, 0, 1);
    std::vector<double> values;
    for (char c : data.GroupLoci(0)[0].Genotypes)
        values.push_back(alleles.lookup(c).Numval);
    matrices.setIndividualValues(0, values);
    const LdPairResult byValues = ComputeLdPair(matrices, 0, 1);
    EXPECT_NEAR(byValues.R, byCodes.R, 1e-14);
    EXPECT_EQ(byValues.DPrime, byCodes.DPrime);
    values[0] = MissingNumval;
    matrices.setIndividualValues(0, values);
    EXPECT_EQ(ComputeLdPair(matrices, 0, 1).n, 15);
}

TEST(ComputeLdPair, LociOnDifferentGroupsHaveDistanceMinusOne)
{
    const GenotypeData data = makeLdData({{{"a", 10, "ABAB"}}, {{"b", 10, "ABBA"}}});
    const AlleleTable alleles;
    const LdMatrices matrices(data, alleles, ldAllLoci(data), false);
    ASSERT_EQ(matrices.locusCount(), 2);
    EXPECT_EQ(ComputeLdPair(matrices, 0, 1).Dist, -1.0);
    EXPECT_EQ(matrices.group(1), 1);
}

TEST(ComputeLdPair, ManyIndividualsSpanSeveralWords)
{
    // 150 individuals take three words of bits, 700 eleven (a wide step of eight and a tail);
    // codes A, H, B and a missing U make four classes (the padded tables), C and D two more (the
    // general tables). Reference by direct summation.
    for (const std::string codesA : {"AHBU", "AHBUCD"})
    for (int individuals : {150, 700}) {
        std::string a, b;
        for (int k = 0; k < individuals; ++k) {
            a += codesA[static_cast<size_t>(k * 5 + k / 7) % codesA.size()];
            b += "AHB"[(k / 3 + k) % 3];
        }
        const GenotypeData data = makeLdData({{{"a", 0, a}, {"b", 1, b}, {"c", 2, a}}});
        const AlleleTable alleles;
        const LdMatrices matrices(data, alleles, ldGroupLoci(data, 0), false);
        EXPECT_EQ(ComputeLdPair(matrices, 0, 2).R, 1.0);
        const LdPairResult r = ComputeLdPair(matrices, 0, 1);
        double sx = 0, sy = 0;
        int n = 0;
        for (int k = 0; k < individuals; ++k) {
            const double x = alleles.lookup(a[static_cast<size_t>(k)]).Numval;
            if (x == MissingNumval)
                continue;
            sx += x;
            sy += alleles.lookup(b[static_cast<size_t>(k)]).Numval;
            ++n;
        }
        double sxx = 0, syy = 0, sxy = 0;
        for (int k = 0; k < individuals; ++k) {
            const double x0 = alleles.lookup(a[static_cast<size_t>(k)]).Numval;
            if (x0 == MissingNumval)
                continue;
            const double x = x0 - sx / n;
            const double y = alleles.lookup(b[static_cast<size_t>(k)]).Numval - sy / n;
            sxx += x * x;
            syy += y * y;
            sxy += x * y;
        }
        EXPECT_NEAR(r.R, sxy / std::sqrt(sxx * syy), 1e-13) << codesA << individuals;
        EXPECT_EQ(r.n, n) << codesA << individuals;
        // The code table behind D': chi-square' of the 4 (or 6) x 3 table from direct counts.
        double table[6][3] = {}, rows[6] = {}, columns[3] = {};
        for (int k = 0; k < individuals; ++k) {
            const int ra = static_cast<int>(codesA.find(a[static_cast<size_t>(k)]));
            const int cb = static_cast<int>(std::string("AHB").find(b[static_cast<size_t>(k)]));
            table[ra][cb] += 1;
            rows[ra] += 1;
            columns[cb] += 1;
        }
        double chi = 0;
        for (size_t i = 0; i < codesA.size(); ++i)
            for (int j = 0; j < 3; ++j) {
                const double pa = rows[i] / individuals, pb = columns[j] / individuals;
                const double d = table[i][j] / individuals - pa * pb;
                chi += d * d / (pa * pb);
            }
        EXPECT_NEAR(r.ChiSquarePrime, chi / 2, 1e-13) << codesA << individuals;
    }
}

// The plain and the wide kernels (where the processor has them) must agree to the last bit, for
// loci of one to four classes (the padded tables) and of more (the general tables), over a
// wide step of eight words and a tail.
TEST(ComputeLdPair, PlainAndWideKernelsGiveTheSameBits)
{
    const int individuals = 700;
    std::vector<LdTestLocus> loci;
    const char *alphabets[] = {"A", "AB", "AHB", "AHBU", "AHBUCD", "HB", "AHU"};
    for (int l = 0; l < 14; ++l) {
        const std::string alphabet = alphabets[l % 7];
        std::string codes;
        unsigned state = 12345u + 977u * static_cast<unsigned>(l);
        for (int k = 0; k < individuals; ++k) {
            state = state * 1103515245u + 12345u;
            // Neighbouring loci share most codes, so that the pairs are linked.
            const unsigned draw = (l % 2 == 0 && k % 3 != 0) ? static_cast<unsigned>(k) : state >> 16;
            codes += alphabet[draw % alphabet.size()];
        }
        loci.push_back({"m" + std::to_string(l), static_cast<double>(l), codes});
    }
    const GenotypeData data = makeLdData({loci});
    const AlleleTable alleles;
    const LdMatrices matrices(data, alleles, ldGroupLoci(data, 0), false);
    auto bits = [](double v) {
        std::uint64_t b;
        std::memcpy(&b, &v, sizeof b);
        return b;
    };
    for (int i = 0; i < matrices.locusCount(); ++i)
        for (int j = i + 1; j < matrices.locusCount(); ++j) {
            UsePlainLdKernels(true);
            const LdPairResult plain = ComputeLdPair(matrices, i, j);
            UsePlainLdKernels(false);
            const LdPairResult wide = ComputeLdPair(matrices, i, j);
            SCOPED_TRACE(testing::Message() << i << "-" << j);
            EXPECT_EQ(bits(plain.R), bits(wide.R));
            EXPECT_EQ(bits(plain.DPrime), bits(wide.DPrime));
            EXPECT_EQ(bits(plain.ChiSquarePrime), bits(wide.ChiSquarePrime));
            EXPECT_EQ(bits(plain.P), bits(wide.P));
            EXPECT_EQ(plain.n, wide.n);
            EXPECT_EQ(plain.available, wide.available);
        }
}

// A locus whose values differ, but only one of them meets the other locus's present values, has
// no spread in the pair: R is 1 and there is no p-value, with either kernel.
TEST(ComputeLdPair, ValuesLeftEqualByTheOtherLocusHaveNoSpread)
{
    const GenotypeData data = makeLdData({{{"a", 0, "AAAAHHHHBB"}, {"b", 1, "AHBAUUUUUU"}}});
    const AlleleTable alleles;
    const LdMatrices matrices(data, alleles, ldGroupLoci(data, 0), false);
    for (bool plain : {true, false}) {
        UsePlainLdKernels(plain);
        const LdPairResult r = ComputeLdPair(matrices, 0, 1);
        EXPECT_EQ(r.R, 1.0) << plain;
        EXPECT_EQ(r.n, 4) << plain;
        EXPECT_FALSE(r.hasP) << plain;
    }
    UsePlainLdKernels(false);
}

} // namespace
} // namespace rvk
