#include "genetics/ldpair.h"

#include "genetics/ldpvalues.h"

#include "core/genotypedata.h"
#include "settings/alleletable.h"
#include "stats/distributions.h"

#include <algorithm>
#include <array>

#if defined(__x86_64__)
#include <immintrin.h>
#endif
#include <cmath>

namespace rvk {

namespace {

constexpr int OutsideCodes = AlleleTable::Size; // class of a character that is not a genotype code
constexpr int ClassLimit = AlleleTable::Size + 1;
constexpr double Missing = MissingNumval;

int ldCodeIndex(char c)
{
    const int index = AlleleTable::indexOf(c);
    return index < 0 ? OutsideCodes : index;
}

// nAB[a][b] for the classes of two loci: each a count of the individuals in both bit sets. The
// last class of the second locus is what its row leaves over, and the last row is what the
// columns leave over, so only (classesA - 1) x (classesB - 1) cells take a pass over the bits.
#define RVK_LD_COUNT_TABLE_BODY                                                                                        \
    for (int a = 0; a + 1 < classesA; ++a) {                                                                           \
        const std::uint64_t *rowA = bitsA + static_cast<std::ptrdiff_t>(a) * words;                                     \
        std::uint32_t rest = countsA[a];                                                                               \
        for (int b = 0; b + 1 < classesB; ++b) {                                                                       \
            const std::uint64_t *rowB = bitsB + static_cast<std::ptrdiff_t>(b) * words;                                 \
            std::uint32_t count = 0;                                                                                   \
            for (int w = 0; w < words; ++w)                                                                            \
                count += static_cast<std::uint32_t>(__builtin_popcountll(rowA[w] & rowB[w]));                          \
            table[a * ClassLimit + b] = count;                                                                         \
            rest -= count;                                                                                             \
        }                                                                                                              \
        table[a * ClassLimit + classesB - 1] = rest;                                                                   \
    }                                                                                                                  \
    for (int b = 0; b < classesB; ++b) {                                                                               \
        std::uint32_t rest = countsB[b];                                                                               \
        for (int a = 0; a + 1 < classesA; ++a)                                                                         \
            rest -= table[a * ClassLimit + b];                                                                         \
        table[(classesA - 1) * ClassLimit + b] = rest;                                                                 \
    }

void countTablePortable(const std::uint64_t *bitsA, int classesA, const std::uint32_t *countsA, const std::uint64_t *bitsB,
                        int classesB, const std::uint32_t *countsB, int words, std::uint32_t *table)
{
    RVK_LD_COUNT_TABLE_BODY
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("popcnt"))) void countTablePopcnt(const std::uint64_t *bitsA, int classesA, const std::uint32_t *countsA,
                                                        const std::uint64_t *bitsB, int classesB,
                                                        const std::uint32_t *countsB, int words, std::uint32_t *table)
{
    RVK_LD_COUNT_TABLE_BODY
}
#endif

#undef RVK_LD_COUNT_TABLE_BODY

using CountTable = void (*)(const std::uint64_t *, int, const std::uint32_t *, const std::uint64_t *, int, const std::uint32_t *,
                            int, std::uint32_t *);

#if defined(__x86_64__) || defined(__i386__)
// The same for loci of 2 to 4 classes each (biallelic markers, with or without a missing code):
// one pass over the words computes every cell, each word of a bit set loaded once.
template <int ClassesA, int ClassesB>
__attribute__((target("popcnt"))) void countTableFixed(const std::uint64_t *bitsA, int, const std::uint32_t *countsA,
                                                       const std::uint64_t *bitsB, int, const std::uint32_t *countsB, int words,
                                                       std::uint32_t *table)
{
    std::uint32_t counts[ClassesA - 1][ClassesB - 1] = {};
    for (int w = 0; w < words; ++w) {
        std::uint64_t columns[ClassesB - 1];
#pragma GCC unroll 4
        for (int b = 0; b < ClassesB - 1; ++b)
            columns[b] = bitsB[static_cast<std::ptrdiff_t>(b) * words + w];
#pragma GCC unroll 4
        for (int a = 0; a < ClassesA - 1; ++a) {
            const std::uint64_t row = bitsA[static_cast<std::ptrdiff_t>(a) * words + w];
#pragma GCC unroll 4
            for (int b = 0; b < ClassesB - 1; ++b)
                counts[a][b] += static_cast<std::uint32_t>(__builtin_popcountll(row & columns[b]));
        }
    }
    for (int a = 0; a < ClassesA - 1; ++a) {
        std::uint32_t rest = countsA[a];
        for (int b = 0; b < ClassesB - 1; ++b) {
            table[a * ClassLimit + b] = counts[a][b];
            rest -= counts[a][b];
        }
        table[a * ClassLimit + ClassesB - 1] = rest;
    }
    for (int b = 0; b < ClassesB; ++b) {
        std::uint32_t rest = countsB[b];
        for (int a = 0; a < ClassesA - 1; ++a)
            rest -= table[a * ClassLimit + b];
        table[(ClassesA - 1) * ClassLimit + b] = rest;
    }
}
#endif

#if defined(__x86_64__)
// The same with 512-bit registers where the processor counts bits in them: eight words per
// step, each cell's counts summed lane by lane and added up at the end.
// The sum of the eight lanes (the library's reduction starts from an undefined register, which
// GCC 12 warns about).
__attribute__((target("avx512f,avx512vpopcntdq,popcnt"))) inline long long laneSum(__m512i v)
{
    const __m256i half = _mm256_add_epi64(_mm512_maskz_extracti64x4_epi64(0xF, v, 0), _mm512_maskz_extracti64x4_epi64(0xF, v, 1));
    const __m128i quarter = _mm_add_epi64(_mm256_castsi256_si128(half), _mm256_extracti128_si256(half, 1));
    return _mm_cvtsi128_si64(_mm_add_epi64(quarter, _mm_unpackhi_epi64(quarter, quarter)));
}

template <int ClassesA, int ClassesB>
__attribute__((target("avx512f,avx512vpopcntdq,popcnt"))) void countTableWide(const std::uint64_t *bitsA, int,
                                                                              const std::uint32_t *countsA,
                                                                              const std::uint64_t *bitsB, int,
                                                                              const std::uint32_t *countsB, int words,
                                                                              std::uint32_t *table)
{
    __m512i sums[ClassesA - 1][ClassesB - 1];
#pragma GCC unroll 4
    for (int a = 0; a < ClassesA - 1; ++a)
#pragma GCC unroll 4
        for (int b = 0; b < ClassesB - 1; ++b)
            sums[a][b] = _mm512_setzero_si512();
    int w = 0;
    for (; w + 8 <= words; w += 8) {
        __m512i columns[ClassesB - 1];
#pragma GCC unroll 4
        for (int b = 0; b < ClassesB - 1; ++b)
            columns[b] = _mm512_loadu_si512(bitsB + static_cast<std::ptrdiff_t>(b) * words + w);
#pragma GCC unroll 4
        for (int a = 0; a < ClassesA - 1; ++a) {
            const __m512i row = _mm512_loadu_si512(bitsA + static_cast<std::ptrdiff_t>(a) * words + w);
#pragma GCC unroll 4
            for (int b = 0; b < ClassesB - 1; ++b)
                sums[a][b] = _mm512_add_epi64(sums[a][b], _mm512_popcnt_epi64(_mm512_and_si512(row, columns[b])));
        }
    }
    std::uint32_t counts[ClassesA - 1][ClassesB - 1];
    for (int a = 0; a < ClassesA - 1; ++a)
        for (int b = 0; b < ClassesB - 1; ++b)
            counts[a][b] = static_cast<std::uint32_t>(laneSum(sums[a][b]));
    for (; w < words; ++w)
        for (int a = 0; a < ClassesA - 1; ++a)
            for (int b = 0; b < ClassesB - 1; ++b)
                counts[a][b] += static_cast<std::uint32_t>(__builtin_popcountll(bitsA[static_cast<std::ptrdiff_t>(a) * words + w]
                                                                                 & bitsB[static_cast<std::ptrdiff_t>(b) * words + w]));
    for (int a = 0; a < ClassesA - 1; ++a) {
        std::uint32_t rest = countsA[a];
        for (int b = 0; b < ClassesB - 1; ++b) {
            table[a * ClassLimit + b] = counts[a][b];
            rest -= counts[a][b];
        }
        table[a * ClassLimit + ClassesB - 1] = rest;
    }
    for (int b = 0; b < ClassesB; ++b) {
        std::uint32_t rest = countsB[b];
        for (int a = 0; a < ClassesA - 1; ++a)
            rest -= table[a * ClassLimit + b];
        table[(ClassesA - 1) * ClassLimit + b] = rest;
    }
}
#endif

struct CountTables
{
    CountTable general = &countTablePortable;
    CountTable fixed[3][3] = {}; // [classesA - 2][classesB - 2], when the processor counts bits
};

CountTables chooseCountTables()
{
    CountTables tables;
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("popcnt")) {
        tables.general = &countTablePopcnt;
        tables.fixed[0][0] = &countTableFixed<2, 2>;
        tables.fixed[0][1] = &countTableFixed<2, 3>;
        tables.fixed[0][2] = &countTableFixed<2, 4>;
        tables.fixed[1][0] = &countTableFixed<3, 2>;
        tables.fixed[1][1] = &countTableFixed<3, 3>;
        tables.fixed[1][2] = &countTableFixed<3, 4>;
        tables.fixed[2][0] = &countTableFixed<4, 2>;
        tables.fixed[2][1] = &countTableFixed<4, 3>;
        tables.fixed[2][2] = &countTableFixed<4, 4>;
    }
#endif
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vpopcntdq") && __builtin_cpu_supports("popcnt")) {
        tables.fixed[0][0] = &countTableWide<2, 2>;
        tables.fixed[0][1] = &countTableWide<2, 3>;
        tables.fixed[0][2] = &countTableWide<2, 4>;
        tables.fixed[1][0] = &countTableWide<3, 2>;
        tables.fixed[1][1] = &countTableWide<3, 3>;
        tables.fixed[1][2] = &countTableWide<3, 4>;
        tables.fixed[2][0] = &countTableWide<4, 2>;
        tables.fixed[2][1] = &countTableWide<4, 3>;
        tables.fixed[2][2] = &countTableWide<4, 4>;
    }
#endif
    return tables;
}

const CountTables countTables = chooseCountTables();

CountTable countTableFor(int classesA, int classesB)
{
    if (classesA >= 2 && classesA <= 4 && classesB >= 2 && classesB <= 4 && countTables.fixed[classesA - 2][classesB - 2])
        return countTables.fixed[classesA - 2][classesB - 2];
    return countTables.general;
}

} // namespace

std::vector<LdLocus> ldGroupLoci(const GenotypeData &data, int group)
{
    std::vector<LdLocus> loci;
    if (group < 0 || group >= data.GroupCount())
        return loci;
    int index = 0;
    for (int k = 0; k < group; ++k)
        index += data.GroupLocusCount(k);
    for (const Tlocinfo &locus : data.GroupLoci(group))
        loci.push_back({&locus, group, index++});
    return loci;
}

std::vector<LdLocus> ldAllLoci(const GenotypeData &data)
{
    std::vector<LdLocus> loci;
    loci.reserve(static_cast<size_t>(data.TotalLocusCount()));
    int index = 0;
    for (int k = 0; k < data.GroupCount(); ++k)
        for (const Tlocinfo &locus : data.GroupLoci(k))
            loci.push_back({&locus, k, index++});
    return loci;
}

LdMatrices::LdMatrices(const GenotypeData &data, const AlleleTable &alleles, std::vector<LdLocus> loci, bool applySelection)
{
    for (const LdLocus &l : loci) {
        mNames.push_back(l.locus->Name);
        mPositions.push_back(l.locus->Position);
        mGroups.push_back(l.group);
    }
    if (applySelection) {
        for (int k : data.SelectedIndices)
            if (k >= 0 && k < data.nind)
                mIndividuals.push_back(k);
    } else {
        for (int k = 0; k < data.nind; ++k)
            mIndividuals.push_back(k);
    }
    mIndividualCount = static_cast<int>(mIndividuals.size());
    mWords = (mIndividualCount + 63) / 64;

    mLocusClasses.resize(loci.size());
    std::array<int, ClassLimit> classOfCode;
    std::array<std::uint8_t, 256> codeOfChar;
    for (int c = 0; c < 256; ++c)
        codeOfChar[static_cast<size_t>(c)] = static_cast<std::uint8_t>(ldCodeIndex(static_cast<char>(c)));
    std::vector<std::uint8_t> codes(static_cast<size_t>(mIndividualCount));
    for (size_t l = 0; l < loci.size(); ++l) {
        const std::string &genotypes = loci[l].locus->Genotypes;
        classOfCode.fill(-1);
        LocusClasses &classes = mLocusClasses[l];
        classes.first = static_cast<std::uint32_t>(mClassCode.size());
        for (int k = 0; k < mIndividualCount; ++k) {
            const size_t position = static_cast<size_t>(mIndividuals[static_cast<size_t>(k)]);
            // A genotype text shorter than the data set reads as a character outside the codes.
            const std::uint8_t code = position < genotypes.size() ? codeOfChar[static_cast<unsigned char>(genotypes[position])]
                                                                  : static_cast<std::uint8_t>(OutsideCodes);
            codes[static_cast<size_t>(k)] = code;
            if (classOfCode[code] < 0) {
                classOfCode[code] = static_cast<int>(classes.count++);
                mClassCode.push_back(code);
                mClassCount.push_back(0);
                mClassValue.push_back(code == OutsideCodes ? Missing : alleles.entry(code).Numval);
            }
        }
        mClassBits.resize(mClassBits.size() + static_cast<size_t>(classes.count) * static_cast<size_t>(mWords), 0);
        std::uint64_t *bits = mClassBits.data() + static_cast<size_t>(classes.first) * static_cast<size_t>(mWords);
        for (int k = 0; k < mIndividualCount; ++k) {
            const int cls = classOfCode[codes[static_cast<size_t>(k)]];
            bits[static_cast<size_t>(cls) * static_cast<size_t>(mWords) + static_cast<size_t>(k / 64)] |= std::uint64_t(1) << (k % 64);
            ++mClassCount[classes.first + static_cast<std::uint32_t>(cls)];
        }
        for (std::uint32_t c = 0; c < classes.count; ++c) {
            const double value = mClassValue[classes.first + c];
            mClassPresent.push_back(value == Missing ? 0.0 : 1.0);
            mClassPresentValue.push_back(value == Missing ? 0.0 : value);
            const double count = mClassCount[classes.first + c];
            mClassShare.push_back(count * (1.0 / static_cast<double>(mIndividualCount)));
            mClassInverseShare.push_back(static_cast<double>(mIndividualCount) / count);
            // Infinite for a class everybody carries (its D is always 0).
            mClassInverseComplement.push_back(static_cast<double>(mIndividualCount) / (static_cast<double>(mIndividualCount) - count));
        }
    }
}

void LdMatrices::setIndividualValues(int l, const std::vector<double> &valuesPerIndividual)
{
    LocusClasses &classes = mLocusClasses[static_cast<size_t>(l)];
    if (classes.valueRow < 0) {
        classes.valueRow = static_cast<std::int64_t>(mIndividualValues.size() / static_cast<size_t>(std::max(1, mIndividualCount)));
        mIndividualValues.resize(mIndividualValues.size() + static_cast<size_t>(mIndividualCount), Missing);
    }
    double *row = mIndividualValues.data() + classes.valueRow * mIndividualCount;
    for (int k = 0; k < mIndividualCount; ++k) {
        const size_t position = static_cast<size_t>(mIndividuals[static_cast<size_t>(k)]);
        row[k] = position < valuesPerIndividual.size() ? valuesPerIndividual[position] : Missing;
    }
}

std::size_t LdMatrices::memoryBytes() const
{
    size_t names = 0;
    for (const std::string &name : mNames)
        names += sizeof(std::string) + name.capacity();
    return names + mPositions.capacity() * sizeof(double) + mGroups.capacity() * sizeof(int) + mIndividuals.capacity() * sizeof(int) + mLocusClasses.capacity() * sizeof(LocusClasses)
        + mClassCode.capacity() + mClassCount.capacity() * sizeof(std::uint32_t) + mClassValue.capacity() * sizeof(double)
        + (mClassShare.capacity() + mClassInverseShare.capacity() + mClassInverseComplement.capacity() + mClassPresent.capacity() + mClassPresentValue.capacity()) * sizeof(double)
        + mClassBits.capacity() * sizeof(std::uint64_t) + mIndividualValues.capacity() * sizeof(double);
}

namespace {

// Sxx, Syy, Sxy and n of the individuals with both values present, from their own values.
void correlationSumsByIndividual(const double *x, const double *y, int count, double &sxx, double &syy, double &sxy, int &n)
{
    double sumX = 0.0, sumY = 0.0;
    n = 0;
    for (int k = 0; k < count; ++k)
        if (x[k] != Missing && y[k] != Missing) {
            sumX += x[k];
            sumY += y[k];
            ++n;
        }
    sxx = syy = sxy = 0.0;
    if (n == 0)
        return;
    const double mx = sumX / n, my = sumY / n;
    double firstX = Missing, firstY = Missing;
    bool constantX = true, constantY = true;
    for (int k = 0; k < count; ++k)
        if (x[k] != Missing && y[k] != Missing) {
            if (firstX == Missing) {
                firstX = x[k];
                firstY = y[k];
            }
            constantX = constantX && x[k] == firstX;
            constantY = constantY && y[k] == firstY;
            sxx += (x[k] - mx) * (x[k] - mx);
            syy += (y[k] - my) * (y[k] - my);
            sxy += (x[k] - mx) * (y[k] - my);
        }
    if (constantX)
        sxx = 0.0;
    if (constantY)
        syy = 0.0;
}

// Whether every value of a class that occurs (count > 0) is the same.
bool allEqual(const double *values, const double *counts, int classes)
{
    bool seen = false;
    double first = 0.0;
    for (int c = 0; c < classes; ++c) {
        if (counts[c] <= 0.0)
            continue;
        if (seen && values[c] != first)
            return false;
        seen = true;
        first = values[c];
    }
    return true;
}


// A locus's per-class arrays, as the matrices keep them.
struct ClassArrays
{
    const std::uint32_t *count;
    const double *share;             // count / individuals
    const double *inverseShare;      // individuals / count
    const double *inverseComplement; // individuals / (individuals - count)
    const double *present;           // 1, or 0 for a missing value
    const double *presentValue;      // the value, or 0
};

// D', chi-square' and (withCorrelation) the sums of R from the code table of a pair. FixedA and
// FixedB are the class counts when known at compile time (0: take the run-time counts), so the
// common loci of two to four classes run in fully unrolled loops.
template <int FixedA, int FixedB>
void measuresFromTable(int classesA, int classesB, const ClassArrays &A, const ClassArrays &B, const std::uint32_t *table,
                       long long total, bool withCorrelation, LdPairResult &result, double &sxx, double &syy, double &sxy, int &n)
{
    const int ka = FixedA ? FixedA : classesA;
    const int kb = FixedB ? FixedB : classesB;
    constexpr int SizeA = FixedA ? FixedA : ClassLimit;
    constexpr int SizeB = FixedB ? FixedB : ClassLimit;

    // D' and chi-square' over every class, missing-data codes included.
    const double inverseTotal = 1.0 / static_cast<double>(total);
    const double inverseTotalSquared = inverseTotal * inverseTotal;
    double dPrime = 0.0, chi = 0.0;
#pragma GCC unroll 4
    for (int a = 0; a < ka; ++a) {
        const double pa = A.share[a];
        const long long ca = A.count[a];
#pragma GCC unroll 4
        for (int b = 0; b < kb; ++b) {
            const double pb = B.share[b];
            // D = pab - pa pb, from whole counts so that independence gives exactly 0.
            const long long excess = static_cast<long long>(table[a * ClassLimit + b]) * total - ca * static_cast<long long>(B.count[b]);
            const double d = static_cast<double>(excess) * inverseTotalSquared;
            // 1 / Dmax = 1 / min(u, v) = max(1 / u, 1 / v), from the reciprocals of the shares and
            // of their complements: no division per cell, and no branch on the sign of D (which
            // would mispredict half of the time). D = 0 adds nothing; it is also the only case
            // where a complement can be 0.
            const double inverseBelow = std::max(A.inverseShare[a] * B.inverseShare[b], A.inverseComplement[a] * B.inverseComplement[b]);
            const double inverseAbove = std::max(A.inverseShare[a] * B.inverseComplement[b], A.inverseComplement[a] * B.inverseShare[b]);
            const double inverseDMax = d < 0.0 ? inverseBelow : inverseAbove;
            const double ratio = excess == 0 ? 0.0 : std::fabs(d) * inverseDMax;
            dPrime += pa * pb * ratio;
            chi += d * d * A.inverseShare[a] * B.inverseShare[b];
        }
    }
    const int k = std::min(ka, kb);
    result.DPrime = dPrime;
    result.ChiSquarePrime = k >= 2 ? chi / (k - 1) : 0.0;
    if (!withCorrelation)
        return;

    // R: values follow the codes, so the sums come from the class table. A missing value's class
    // has weight 0 (no branch on which class of a locus is the missing one).
    double rowCount[SizeA], columnCount[SizeB], weighted[SizeA * SizeB];
    std::fill_n(columnCount, kb, 0.0);
    double both = 0.0;
#pragma GCC unroll 4
    for (int a = 0; a < ka; ++a) {
        double row = 0.0;
#pragma GCC unroll 4
        for (int b = 0; b < kb; ++b) {
            const double c = static_cast<double>(table[a * ClassLimit + b]) * A.present[a] * B.present[b];
            weighted[a * SizeB + b] = c;
            row += c;
            columnCount[b] += c;
        }
        rowCount[a] = row;
        both += row;
    }
    n = static_cast<int>(both);
    if (n <= 0)
        return;
    double sumX = 0.0, sumY = 0.0;
    for (int a = 0; a < ka; ++a)
        sumX += rowCount[a] * A.presentValue[a];
    for (int b = 0; b < kb; ++b)
        sumY += columnCount[b] * B.presentValue[b];
    const double mx = sumX / n, my = sumY / n;
    double dx[SizeA], dy[SizeB];
    for (int a = 0; a < ka; ++a)
        dx[a] = A.presentValue[a] - mx;
    for (int b = 0; b < kb; ++b)
        dy[b] = B.presentValue[b] - my;
    // Values that are all equal have no spread at all; testing it keeps rounding in the mean
    // from turning "no variation" into a tiny spread.
    if (!allEqual(A.presentValue, rowCount, ka))
        for (int a = 0; a < ka; ++a)
            sxx += rowCount[a] * dx[a] * dx[a];
    if (!allEqual(B.presentValue, columnCount, kb))
        for (int b = 0; b < kb; ++b)
            syy += columnCount[b] * dy[b] * dy[b];
#pragma GCC unroll 4
    for (int a = 0; a < ka; ++a)
#pragma GCC unroll 4
        for (int b = 0; b < kb; ++b)
            sxy += weighted[a * SizeB + b] * dx[a] * dy[b];
}

using Measures = void (*)(int, int, const ClassArrays &, const ClassArrays &, const std::uint32_t *, long long, bool,
                          LdPairResult &, double &, double &, double &, int &);

#if defined(__x86_64__)
// The same for loci of 2 to 4 classes with 512-bit registers: the 16 cells of a 4 x 4 table are
// two registers of eight (lane 4a + b), every per-cell term is computed lane by lane, and the
// terms are added up one by one in the order of measuresFromTable, so the results are the same
// to the last bit. No fused multiply-add, for the same reason.
// (The all-lanes masked forms of permute, convert and max keep GCC 12 from warning about the
// undefined registers the plain forms start from.)
#define RVK_LD_WIDE __attribute__((target("avx512f,avx512vl,avx512dq"), optimize("fp-contract=off")))

// Lane 4a + b of (low, high) holds the value of class a.
RVK_LD_WIDE inline void spreadRows(__m512d v, __m512d &low, __m512d &high)
{
    low = _mm512_maskz_permutexvar_pd(0xFF, _mm512_setr_epi64(0, 0, 0, 0, 1, 1, 1, 1), v);
    high = _mm512_maskz_permutexvar_pd(0xFF, _mm512_setr_epi64(2, 2, 2, 2, 3, 3, 3, 3), v);
}

// Lane 4a + b holds the value of class b.
RVK_LD_WIDE inline __m512d spreadColumns(__m512d v) { return _mm512_maskz_permutexvar_pd(0xFF, _mm512_setr_epi64(0, 1, 2, 3, 0, 1, 2, 3), v); }

RVK_LD_WIDE inline __m512d loadCounts(__mmask8 mask, const std::uint32_t *counts)
{
    return _mm512_maskz_cvtepu32_pd(0xFF, _mm256_maskz_loadu_epi32(mask, counts));
}

// Cells (a, b) and (a + 1, b) of the code table.
RVK_LD_WIDE inline __m512d loadTableRows(const std::uint32_t *table, int a, __mmask8 maskFirst, __mmask8 maskSecond)
{
    const __m128i first = _mm_maskz_loadu_epi32(maskFirst, table + a * ClassLimit);
    const __m128i second = _mm_maskz_loadu_epi32(maskSecond, table + (a + 1) * ClassLimit);
    return _mm512_maskz_cvtepu32_pd(0xFF, _mm256_inserti128_si256(_mm256_zextsi128_si256(first), second, 1));
}

template <int ClassesA, int ClassesB>
RVK_LD_WIDE void measuresWide(int, int, const ClassArrays &A, const ClassArrays &B, const std::uint32_t *table, long long total,
                              bool withCorrelation, LdPairResult &result, double &sxx, double &syy, double &sxy, int &n)
{
    static_assert(ClassesA >= 2 && ClassesA <= 4 && ClassesB >= 2 && ClassesB <= 4);
    constexpr __mmask8 MaskA = (1u << ClassesA) - 1, MaskB = (1u << ClassesB) - 1;

    __m512d shareA[2], inverseShareA[2], inverseComplementA[2], countA[2];
    spreadRows(_mm512_maskz_loadu_pd(MaskA, A.share), shareA[0], shareA[1]);
    spreadRows(_mm512_maskz_loadu_pd(MaskA, A.inverseShare), inverseShareA[0], inverseShareA[1]);
    spreadRows(_mm512_maskz_loadu_pd(MaskA, A.inverseComplement), inverseComplementA[0], inverseComplementA[1]);
    spreadRows(loadCounts(MaskA, A.count), countA[0], countA[1]);
    const __m512d shareB = spreadColumns(_mm512_maskz_loadu_pd(MaskB, B.share));
    const __m512d inverseShareB = spreadColumns(_mm512_maskz_loadu_pd(MaskB, B.inverseShare));
    const __m512d inverseComplementB = spreadColumns(_mm512_maskz_loadu_pd(MaskB, B.inverseComplement));
    const __m512d countB = spreadColumns(loadCounts(MaskB, B.count));

    __m512d cells[2];
    cells[0] = loadTableRows(table, 0, MaskB, MaskB);
    cells[1] = ClassesA > 2 ? loadTableRows(table, 2, MaskB, ClassesA > 3 ? MaskB : 0) : _mm512_setzero_pd();

    // Counts below 2^26 make every product of two counts exact in a double, so D = pab - pa pb
    // from whole counts is the same as with 64-bit integers.
    const double totalD = static_cast<double>(total);
    const double inverseTotal = 1.0 / totalD;
    const __m512d totalV = _mm512_set1_pd(totalD);
    const __m512d inverseTotalSquared = _mm512_set1_pd(inverseTotal * inverseTotal);
    alignas(64) double dPrimeTerms[16], chiTerms[16];
    for (int h = 0; h < (ClassesA > 2 ? 2 : 1); ++h) {
        const __m512d excess = _mm512_sub_pd(_mm512_mul_pd(cells[h], totalV), _mm512_mul_pd(countA[h], countB));
        const __m512d d = _mm512_mul_pd(excess, inverseTotalSquared);
        const __mmask8 negative = _mm512_cmp_pd_mask(d, _mm512_setzero_pd(), _CMP_LT_OQ);
        const __mmask8 nonZero = _mm512_cmp_pd_mask(excess, _mm512_setzero_pd(), _CMP_NEQ_OQ);
        // D < 0: 1 / min(pa pb, (1 - pa)(1 - pb)); else 1 / min(pa (1 - pb), (1 - pa) pb).
        const __m512d x = _mm512_mask_blend_pd(negative, inverseComplementB, inverseShareB);
        const __m512d y = _mm512_mask_blend_pd(negative, inverseShareB, inverseComplementB);
        const __m512d inverseDMax = _mm512_maskz_max_pd(0xFF, _mm512_mul_pd(inverseShareA[h], x), _mm512_mul_pd(inverseComplementA[h], y));
        const __m512d ratio = _mm512_maskz_mul_pd(nonZero, _mm512_abs_pd(d), inverseDMax);
        _mm512_store_pd(dPrimeTerms + 8 * h, _mm512_mul_pd(_mm512_mul_pd(shareA[h], shareB), ratio));
        _mm512_store_pd(chiTerms + 8 * h,
                        _mm512_mul_pd(_mm512_mul_pd(_mm512_mul_pd(d, d), inverseShareA[h]), inverseShareB));
    }
    double dPrime = 0.0, chi = 0.0;
#pragma GCC unroll 4
    for (int a = 0; a < ClassesA; ++a)
#pragma GCC unroll 4
        for (int b = 0; b < ClassesB; ++b) {
            dPrime += dPrimeTerms[4 * a + b];
            chi += chiTerms[4 * a + b];
        }
    constexpr int k = ClassesA < ClassesB ? ClassesA : ClassesB;
    result.DPrime = dPrime;
    result.ChiSquarePrime = chi / (k - 1);
    if (!withCorrelation)
        return;

    // R: a missing value's class has weight 0.
    __m512d presentA[2];
    spreadRows(_mm512_maskz_loadu_pd(MaskA, A.present), presentA[0], presentA[1]);
    const __m512d presentB = spreadColumns(_mm512_maskz_loadu_pd(MaskB, B.present));
    alignas(64) double weighted[16];
    for (int h = 0; h < (ClassesA > 2 ? 2 : 1); ++h)
        _mm512_store_pd(weighted + 8 * h, _mm512_mul_pd(_mm512_mul_pd(cells[h], presentA[h]), presentB));
    double rowCount[ClassesA], columnCount[ClassesB] = {};
    double both = 0.0;
#pragma GCC unroll 4
    for (int a = 0; a < ClassesA; ++a) {
        double row = 0.0;
#pragma GCC unroll 4
        for (int b = 0; b < ClassesB; ++b) {
            row += weighted[4 * a + b];
            columnCount[b] += weighted[4 * a + b];
        }
        rowCount[a] = row;
        both += row;
    }
    n = static_cast<int>(both);
    if (n <= 0)
        return;
    double sumX = 0.0, sumY = 0.0;
    for (int a = 0; a < ClassesA; ++a)
        sumX += rowCount[a] * A.presentValue[a];
    for (int b = 0; b < ClassesB; ++b)
        sumY += columnCount[b] * B.presentValue[b];
    const double mx = sumX / n, my = sumY / n;
    double dx[4] = {}, dy[4] = {};
    for (int a = 0; a < ClassesA; ++a)
        dx[a] = A.presentValue[a] - mx;
    for (int b = 0; b < ClassesB; ++b)
        dy[b] = B.presentValue[b] - my;
    if (!allEqual(A.presentValue, rowCount, ClassesA))
        for (int a = 0; a < ClassesA; ++a)
            sxx += rowCount[a] * dx[a] * dx[a];
    if (!allEqual(B.presentValue, columnCount, ClassesB))
        for (int b = 0; b < ClassesB; ++b)
            syy += columnCount[b] * dy[b] * dy[b];
    __m512d dxV[2];
    spreadRows(_mm512_maskz_loadu_pd(0xF, dx), dxV[0], dxV[1]);
    const __m512d dyV = spreadColumns(_mm512_maskz_loadu_pd(0xF, dy));
    alignas(64) double products[16];
    for (int h = 0; h < (ClassesA > 2 ? 2 : 1); ++h)
        _mm512_store_pd(products + 8 * h, _mm512_mul_pd(_mm512_mul_pd(_mm512_load_pd(weighted + 8 * h), dxV[h]), dyV));
#pragma GCC unroll 4
    for (int a = 0; a < ClassesA; ++a)
#pragma GCC unroll 4
        for (int b = 0; b < ClassesB; ++b)
            sxy += products[4 * a + b];
}

#undef RVK_LD_WIDE

bool wideMeasuresAvailable()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq");
}
#endif

Measures measuresFor(int classesA, int classesB)
{
    static constexpr Measures fixed[3][3] = {
        {&measuresFromTable<2, 2>, &measuresFromTable<2, 3>, &measuresFromTable<2, 4>},
        {&measuresFromTable<3, 2>, &measuresFromTable<3, 3>, &measuresFromTable<3, 4>},
        {&measuresFromTable<4, 2>, &measuresFromTable<4, 3>, &measuresFromTable<4, 4>},
    };
#if defined(__x86_64__)
    static constexpr Measures wide[3][3] = {
        {&measuresWide<2, 2>, &measuresWide<2, 3>, &measuresWide<2, 4>},
        {&measuresWide<3, 2>, &measuresWide<3, 3>, &measuresWide<3, 4>},
        {&measuresWide<4, 2>, &measuresWide<4, 3>, &measuresWide<4, 4>},
    };
    static const bool useWide = wideMeasuresAvailable();
    if (useWide && classesA >= 2 && classesA <= 4 && classesB >= 2 && classesB <= 4)
        return wide[classesA - 2][classesB - 2];
#endif
    if (classesA >= 2 && classesA <= 4 && classesB >= 2 && classesB <= 4)
        return fixed[classesA - 2][classesB - 2];
    return &measuresFromTable<0, 0>;
}

} // namespace

LdPairResult ComputeLdPair(const LdMatrices &m, int i, int j, LdPValueCache *pValues)
{
    LdPairResult result = ComputeLdPairMeasures(m, i, j);
    ComputeLdPairP(result, pValues);
    return result;
}

LdPairResult ComputeLdPairMeasures(const LdMatrices &m, int i, int j)
{
    LdPairResult result;
    result.Dist = m.group(i) == m.group(j) ? std::fabs(m.position(j) - m.position(i)) : -1.0;

    const auto &ci = m.mLocusClasses[static_cast<size_t>(i)];
    const auto &cj = m.mLocusClasses[static_cast<size_t>(j)];
    const int ka = static_cast<int>(ci.count), kb = static_cast<int>(cj.count);
    const std::uint32_t *countA = m.mClassCount.data() + ci.first;
    const std::uint32_t *countB = m.mClassCount.data() + cj.first;
    const double *valueA = m.mClassValue.data() + ci.first;
    const double *valueB = m.mClassValue.data() + cj.first;

    std::array<std::uint32_t, ClassLimit * ClassLimit> table; // only the ka x kb corner is used
    if (ka > 0 && kb > 0)
        countTableFor(ka, kb)(m.mClassBits.data() + static_cast<size_t>(ci.first) * static_cast<size_t>(m.mWords), ka, countA,
                   m.mClassBits.data() + static_cast<size_t>(cj.first) * static_cast<size_t>(m.mWords), kb, countB, m.mWords,
                   table.data());

    const long long total = m.mIndividualCount;
    auto arrays = [&m](std::uint32_t first) {
        return ClassArrays{m.mClassCount.data() + first,      m.mClassShare.data() + first,
                           m.mClassInverseShare.data() + first, m.mClassInverseComplement.data() + first,
                           m.mClassPresent.data() + first,      m.mClassPresentValue.data() + first};
    };
    const bool ownValues = ci.valueRow >= 0 || cj.valueRow >= 0;
    double sxx = 0.0, syy = 0.0, sxy = 0.0;
    int n = 0;
    if (total > 0)
        measuresFor(ka, kb)(ka, kb, arrays(ci.first), arrays(cj.first), table.data(), total, !ownValues, result, sxx, syy, sxy, n);

    if (ownValues) {
        // Values of their own on at least one side: R individual by individual. A locus without
        // a value row takes its class values.
        std::vector<double> own; // only intensity runs come here
        auto row = [&](const auto &classes, const double *classValue, std::int64_t valueRow) -> const double * {
            if (valueRow >= 0)
                return m.mIndividualValues.data() + valueRow * m.mIndividualCount;
            own.assign(static_cast<size_t>(m.mIndividualCount), Missing);
            const std::uint64_t *bits = m.mClassBits.data() + static_cast<size_t>(classes.first) * static_cast<size_t>(m.mWords);
            for (std::uint32_t c = 0; c < classes.count; ++c)
                for (int k = 0; k < m.mIndividualCount; ++k)
                    if (bits[c * static_cast<size_t>(m.mWords) + static_cast<size_t>(k / 64)] >> (k % 64) & 1)
                        own[static_cast<size_t>(k)] = classValue[c];
            return nullptr;
        };
        const double *x = row(ci, valueA, ci.valueRow);
        std::vector<double> ownX;
        if (!x) {
            ownX.swap(own);
            x = ownX.data();
        }
        const double *y = row(cj, valueB, cj.valueRow);
        if (!y)
            y = own.data();
        correlationSumsByIndividual(x, y, m.mIndividualCount, sxx, syy, sxy, n);
    }
    result.n = n;
    const double d = std::sqrt(sxx * syy);
    if (d > 0.0 && d <= 0.001) {
        result.available = false;
        return result;
    }
    result.R = d == 0.0 ? 1.0 : sxy / d;
    result.R2 = result.R * result.R;

    result.hasP = 1.0 - result.R2 > 0.0 && n - 2 >= 0;
    return result;
}

void ComputeLdPairP(LdPairResult &result, LdPValueCache *pValues)
{
    if (!result.available)
        return;
    const int df = result.n - 2;
    if (result.hasP) {
        if (pValues) {
            double minusLog = -1.0;
            result.P = pValues->twoTailed(df, std::fabs(result.R), &minusLog);
            result.MinusLogP = result.P > 0.0 ? minusLog : -1.0;
            return;
        }
        const double t = std::fabs(result.R) * std::sqrt(df / (1.0 - result.R2));
        result.P = TwoTailedTProb(df, t);
    }
    result.MinusLogP = result.P > 0.0 ? -std::log10(result.P) : -1.0;
}

} // namespace rvk
