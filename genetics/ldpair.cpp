#include "genetics/ldpair.h"

#include "genetics/ldpvalues.h"

#include "core/genotypedata.h"
#include "settings/alleletable.h"
#include "stats/distributions.h"

#include <algorithm>
#include <array>
#include <atomic>

#if defined(__x86_64__)
#include <immintrin.h>
#endif
#include <cmath>
#include <cstring>

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

CountTable chooseGeneralCountTable()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("popcnt"))
        return &countTablePopcnt;
#endif
    return &countTablePortable;
}

const CountTable generalCountTable = chooseGeneralCountTable();

// The padded 4 x 4 code table of two loci of at most four classes each (biallelic markers, with
// or without a missing code): cell (a, b) at 4a + b, cells of absent classes 0. One pass over
// the words computes every cell that needs one, each word of a bit set loaded once; the last
// class of each locus is what the others leave over. Every cell of the table is written.
using PaddedTable = void (*)(const std::uint64_t *bitsA, const std::uint32_t *countsA, const std::uint64_t *bitsB,
                             const std::uint32_t *countsB, int words, std::uint32_t *table);

template <int ClassesA, int ClassesB>
inline void finishPaddedTable(const std::uint32_t (&counts)[ClassesA - 1][ClassesB - 1], const std::uint32_t *countsA,
                              const std::uint32_t *countsB, std::uint32_t *table)
{
    for (int a = 0; a < ClassesA - 1; ++a) {
        std::uint32_t rest = countsA[a];
        for (int b = 0; b < ClassesB - 1; ++b) {
            table[4 * a + b] = counts[a][b];
            rest -= counts[a][b];
        }
        table[4 * a + ClassesB - 1] = rest;
    }
    for (int b = 0; b < ClassesB; ++b) {
        std::uint32_t rest = countsB[b];
        for (int a = 0; a < ClassesA - 1; ++a)
            rest -= table[4 * a + b];
        table[4 * (ClassesA - 1) + b] = rest;
    }
}

#define RVK_LD_PADDED_TABLE_BODY                                                                                       \
    if constexpr (ClassesA < 4 || ClassesB < 4)                                                                        \
        std::memset(table, 0, 16 * sizeof(std::uint32_t));                                                             \
    if constexpr (ClassesA == 1) {                                                                                     \
        for (int b = 0; b < ClassesB; ++b)                                                                             \
            table[b] = countsB[b];                                                                                     \
    } else if constexpr (ClassesB == 1) {                                                                              \
        for (int a = 0; a < ClassesA; ++a)                                                                             \
            table[4 * a] = countsA[a];                                                                                 \
    } else {                                                                                                           \
        std::uint32_t counts[ClassesA - 1][ClassesB - 1] = {};                                                         \
        for (int w = 0; w < words; ++w) {                                                                              \
            std::uint64_t columns[ClassesB - 1];                                                                       \
            _Pragma("GCC unroll 4") for (int b = 0; b < ClassesB - 1; ++b) columns[b] =                                \
                bitsB[static_cast<std::ptrdiff_t>(b) * words + w];                                                     \
            _Pragma("GCC unroll 4") for (int a = 0; a < ClassesA - 1; ++a)                                             \
            {                                                                                                          \
                const std::uint64_t row = bitsA[static_cast<std::ptrdiff_t>(a) * words + w];                           \
                _Pragma("GCC unroll 4") for (int b = 0; b < ClassesB - 1; ++b) counts[a][b] +=                         \
                    static_cast<std::uint32_t>(__builtin_popcountll(row & columns[b]));                                \
            }                                                                                                          \
        }                                                                                                              \
        finishPaddedTable<ClassesA, ClassesB>(counts, countsA, countsB, table);                                        \
    }

template <int ClassesA, int ClassesB>
void paddedTablePlain(const std::uint64_t *bitsA, const std::uint32_t *countsA, const std::uint64_t *bitsB,
                      const std::uint32_t *countsB, int words, std::uint32_t *table)
{
    RVK_LD_PADDED_TABLE_BODY
}

#if defined(__x86_64__) || defined(__i386__)
template <int ClassesA, int ClassesB>
__attribute__((target("popcnt"))) void paddedTablePopcnt(const std::uint64_t *bitsA, const std::uint32_t *countsA,
                                                         const std::uint64_t *bitsB, const std::uint32_t *countsB, int words,
                                                         std::uint32_t *table)
{
    RVK_LD_PADDED_TABLE_BODY
}
#endif

#undef RVK_LD_PADDED_TABLE_BODY

#if defined(__x86_64__)
// The same with 512-bit registers where the processor counts bits in them: eight words per
// step, each cell's counts summed lane by lane and added up at the end.
#define RVK_LD_POPCOUNT512 __attribute__((target("avx512f,avx512vpopcntdq,popcnt")))

// The lane sums of eight registers at once: pairs of registers, then pairs of pairs, folded
// into one another.
RVK_LD_POPCOUNT512 __attribute__((always_inline)) inline void laneSums(const __m512i *v, std::uint64_t *sums)
{
    __m512i pairs[4], quads[2];
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k)
        pairs[k] = _mm512_add_epi64(_mm512_maskz_unpacklo_epi64(0xFF, v[2 * k], v[2 * k + 1]),
                                    _mm512_maskz_unpackhi_epi64(0xFF, v[2 * k], v[2 * k + 1]));
#pragma GCC unroll 2
    for (int k = 0; k < 2; ++k)
        quads[k] = _mm512_add_epi64(_mm512_maskz_shuffle_i64x2(0xFF, pairs[2 * k], pairs[2 * k + 1], _MM_SHUFFLE(2, 0, 2, 0)),
                                    _mm512_maskz_shuffle_i64x2(0xFF, pairs[2 * k], pairs[2 * k + 1], _MM_SHUFFLE(3, 1, 3, 1)));
    _mm512_storeu_si512(sums, _mm512_add_epi64(_mm512_maskz_shuffle_i64x2(0xFF, quads[0], quads[1], _MM_SHUFFLE(2, 0, 2, 0)),
                                               _mm512_maskz_shuffle_i64x2(0xFF, quads[0], quads[1], _MM_SHUFFLE(3, 1, 3, 1))));
}

template <int ClassesA, int ClassesB>
RVK_LD_POPCOUNT512 void paddedTableWide(const std::uint64_t *bitsA, const std::uint32_t *countsA, const std::uint64_t *bitsB,
                                        const std::uint32_t *countsB, int words, std::uint32_t *table)
{
    if constexpr (ClassesA == 1 || ClassesB == 1) {
        paddedTablePlain<ClassesA, ClassesB>(bitsA, countsA, bitsB, countsB, words, table);
    } else {
        if constexpr (ClassesA < 4 || ClassesB < 4)
            std::memset(table, 0, 16 * sizeof(std::uint32_t));
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
        // The cells' lane sums, eight registers at a time.
        constexpr int Cells = (ClassesA - 1) * (ClassesB - 1);
        __m512i cells[16];
#pragma GCC unroll 16
        for (int c = 0; c < 16; ++c)
            cells[c] = c < Cells ? sums[c / (ClassesB - 1)][c % (ClassesB - 1)] : _mm512_setzero_si512();
        alignas(64) std::uint64_t totals[16];
        laneSums(cells, totals);
        if constexpr (Cells > 8)
            laneSums(cells + 8, totals + 8);
        std::uint32_t counts[ClassesA - 1][ClassesB - 1];
        for (int a = 0; a < ClassesA - 1; ++a)
            for (int b = 0; b < ClassesB - 1; ++b)
                counts[a][b] = static_cast<std::uint32_t>(totals[a * (ClassesB - 1) + b]);
        for (; w < words; ++w)
            for (int a = 0; a < ClassesA - 1; ++a)
                for (int b = 0; b < ClassesB - 1; ++b)
                    counts[a][b] += static_cast<std::uint32_t>(__builtin_popcountll(
                        bitsA[static_cast<std::ptrdiff_t>(a) * words + w] & bitsB[static_cast<std::ptrdiff_t>(b) * words + w]));
        finishPaddedTable<ClassesA, ClassesB>(counts, countsA, countsB, table);
    }
}
#undef RVK_LD_POPCOUNT512
#endif

#define RVK_LD_PADDED_TABLES(F)                                                                                        \
    {                                                                                                                  \
        {&F<1, 1>, &F<1, 2>, &F<1, 3>, &F<1, 4>}, {&F<2, 1>, &F<2, 2>, &F<2, 3>, &F<2, 4>},                            \
            {&F<3, 1>, &F<3, 2>, &F<3, 3>, &F<3, 4>}, { &F<4, 1>, &F<4, 2>, &F<4, 3>, &F<4, 4> }                       \
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
    mPadded.resize(loci.size());
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
        if (classes.count <= 4) {
            // Each word of the (at most four) bit sets is built in registers, 64 individuals at a
            // time, rather than by a read-modify-write of memory per individual.
            std::uint32_t counts[4] = {};
            for (int w = 0; w < mWords; ++w) {
                std::uint64_t word[4] = {};
                const int end = std::min(64, mIndividualCount - 64 * w);
                for (int b = 0; b < end; ++b) {
                    // No branch on the class: it changes from one individual to the next.
                    const int cls = classOfCode[codes[static_cast<size_t>(64 * w + b)]];
                    word[0] |= static_cast<std::uint64_t>(cls == 0) << b;
                    word[1] |= static_cast<std::uint64_t>(cls == 1) << b;
                    word[2] |= static_cast<std::uint64_t>(cls == 2) << b;
                    word[3] |= static_cast<std::uint64_t>(cls == 3) << b;
                }
                for (std::uint32_t c = 0; c < classes.count; ++c) {
                    bits[c * static_cast<size_t>(mWords) + static_cast<size_t>(w)] = word[c];
                    counts[c] += static_cast<std::uint32_t>(__builtin_popcountll(word[c]));
                }
            }
            for (std::uint32_t c = 0; c < classes.count; ++c)
                mClassCount[classes.first + c] = counts[c];
        } else {
            for (int k = 0; k < mIndividualCount; ++k) {
                const int cls = classOfCode[codes[static_cast<size_t>(k)]];
                bits[static_cast<size_t>(cls) * static_cast<size_t>(mWords) + static_cast<size_t>(k / 64)] |= std::uint64_t(1) << (k % 64);
                ++mClassCount[classes.first + static_cast<std::uint32_t>(cls)];
            }
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
        PaddedClasses &padded = mPadded[l];
        padded.padded = classes.count <= 4;
        if (!padded.padded)
            continue;
        for (std::uint32_t c = 0; c < classes.count; ++c) {
            const std::uint32_t k = classes.first + c;
            padded.count[c] = mClassCount[k];
            padded.share[c] = mClassShare[k];
            padded.inverseShare[c] = mClassInverseShare[k];
            padded.inverseComplement[c] = mClassInverseComplement[k];
            padded.present[c] = mClassPresent[k];
            padded.presentValue[c] = mClassPresentValue[k];
        }
        for (unsigned subset = 0; subset < 16; ++subset) {
            bool equal = true;
            for (std::uint32_t c = 1; c < classes.count; ++c)
                for (std::uint32_t e = 0; e < c; ++e)
                    if ((subset >> c & 1) && (subset >> e & 1) && padded.presentValue[c] != padded.presentValue[e])
                        equal = false;
            padded.uniform |= static_cast<std::uint16_t>(equal) << subset;
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
        + mClassBits.capacity() * sizeof(std::uint64_t) + mIndividualValues.capacity() * sizeof(double)
        + mPadded.capacity() * sizeof(PaddedClasses);
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

// D', chi-square' and (withCorrelation) the sums of R from the code table of a pair of loci of
// any number of classes (those of more than four: loci of many alleles or odd codes).
void measuresFromTable(int ka, int kb, const ClassArrays &A, const ClassArrays &B, const std::uint32_t *table,
                       long long total, bool withCorrelation, LdPairResult &result, double &sxx, double &syy, double &sxy, int &n)
{
    constexpr int SizeA = ClassLimit;
    constexpr int SizeB = ClassLimit;

    // D' and chi-square' over every class, missing-data codes included.
    const double inverseTotal = 1.0 / static_cast<double>(total);
    const double inverseTotalSquared = inverseTotal * inverseTotal;
    double dPrime = 0.0, chi = 0.0;
    for (int a = 0; a < ka; ++a) {
        const double pa = A.share[a];
        const long long ca = A.count[a];
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
    for (int a = 0; a < ka; ++a) {
        double row = 0.0;
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
    for (int a = 0; a < ka; ++a)
        for (int b = 0; b < kb; ++b)
            sxy += weighted[a * SizeB + b] * dx[a] * dy[b];
}

// What a pair's padded 4 x 4 tables give: D', chi-square' (before its division by k - 1) and the
// sums of R.
struct PaddedSums
{
    double dPrime = 0.0, chi = 0.0, sxx = 0.0, syy = 0.0, sxy = 0.0;
    int n = 0;
};

// The rows of LdRow's spread class arrays.
enum SpreadRow { SpreadCount, SpreadShare, SpreadInverseShare, SpreadInverseComplement, SpreadPresent, SpreadPresentValue };

// One pair of a row: the other locus and the pair's padded code table.
struct PaddedPair
{
    const LdMatrices::PaddedClasses *B;
    const std::uint32_t *table;
};

// The measures of count (1 or 2) pairs of one row.
using PaddedMeasures = void (*)(const double (*spreadA)[16], std::uint16_t uniformA, const PaddedPair *pairs, int count,
                                double total, bool withCorrelation, PaddedSums *sums);

// The classes a pair's table has individuals in, as subsets (bit a: class a): rows of A and
// columns of B, from the occupied cells (bit 4a + b).
inline unsigned occupiedRows(unsigned cells)
{
    return ((cells & 0x000Fu) != 0) | ((cells & 0x00F0u) != 0) << 1 | ((cells & 0x0F00u) != 0) << 2 | ((cells & 0xF000u) != 0) << 3;
}
inline unsigned occupiedColumns(unsigned cells) { return (cells | cells >> 4 | cells >> 8 | cells >> 12) & 0xFu; }
// Values that are all equal have no spread at all; testing it keeps rounding in the mean from
// turning "no variation" into a tiny spread.
inline bool uniformOver(std::uint16_t uniform, unsigned subset) { return (uniform >> subset) & 1u; }

// Eight lanes of doubles and their masks. The one kernel below is written on these: compiled
// for processors with 512-bit registers each is one register, elsewhere the compiler splits it
// into narrower steps. Both compilations do the same operations lane by lane and add up in the
// same order (no fused multiply-add in either), so they give the same results to the last bit.
// The helpers are always inlined, so that passing these by value changes no calling convention
// (the compiler's note on it comes at the end of the file, hence no pop).
#pragma GCC diagnostic ignored "-Wpsabi"
typedef double Lanes __attribute__((vector_size(64)));
typedef long long LaneMask __attribute__((vector_size(64)));
typedef std::uint32_t LaneCounts __attribute__((vector_size(32)));

inline __attribute__((always_inline)) Lanes splat(double value)
{
    return Lanes{value, value, value, value, value, value, value, value};
}
inline __attribute__((always_inline)) Lanes loadLanes(const double *values)
{
    Lanes lanes;
    std::memcpy(&lanes, values, sizeof lanes);
    return lanes;
}
// The four classes of a locus in lanes 4a + b (its class b), for a = 0, 1.
inline __attribute__((always_inline)) Lanes broadcastClasses(const double *values)
{
    typedef double FourLanes __attribute__((vector_size(32)));
    FourLanes four;
    std::memcpy(&four, values, sizeof four);
    return __builtin_shufflevector(four, four, 0, 1, 2, 3, 0, 1, 2, 3);
}
inline __attribute__((always_inline)) Lanes absolute(Lanes value)
{
    return reinterpret_cast<Lanes>(reinterpret_cast<LaneMask>(value) & ~reinterpret_cast<LaneMask>(splat(-0.0)));
}
inline __attribute__((always_inline)) Lanes select(LaneMask mask, Lanes yes, Lanes no)
{
    return reinterpret_cast<Lanes>((mask & reinterpret_cast<LaneMask>(yes)) | (~mask & reinterpret_cast<LaneMask>(no)));
}
// The lanes set in low (bits 0..7) and high (bits 8..15).
inline __attribute__((always_inline)) unsigned maskBits(LaneMask low, LaneMask high)
{
    LaneMask bits = (low & LaneMask{1, 2, 4, 8, 16, 32, 64, 128}) | (high & LaneMask{256, 512, 1024, 2048, 4096, 8192, 16384, 32768});
    bits |= __builtin_shufflevector(bits, bits, 4, 5, 6, 7, 0, 1, 2, 3);
    bits |= __builtin_shufflevector(bits, bits, 2, 3, 0, 1, 6, 7, 4, 5);
    bits |= __builtin_shufflevector(bits, bits, 1, 0, 3, 2, 5, 4, 7, 6);
    return static_cast<unsigned>(bits[0]);
}

// The total of the 16 terms of each of Count sums, lanes 0..7 in low and 8..15 in high, added in
// a fixed tree: the pairs (k, k + 8), then (k, k + 4), (k, k + 2) and (0, 1). Four sums at a
// time, their lanes side by side.
template <int Count>
inline __attribute__((always_inline)) void treeTotals(const Lanes (&low)[Count], const Lanes (&high)[Count], double *totals)
{
    #pragma GCC unroll 16
    for (int first = 0; first < Count; first += 4) {
        Lanes v[4];
        #pragma GCC unroll 16
        for (int k = 0; k < 4; ++k)
            v[k] = first + k < Count ? low[first + k] + high[first + k] : Lanes{};
        // q: the sums (k, k + 4) of two totals, lanes 0..3 the first, 4..7 the second.
        const Lanes q0 = __builtin_shufflevector(v[0], v[1], 0, 1, 2, 3, 8, 9, 10, 11)
            + __builtin_shufflevector(v[0], v[1], 4, 5, 6, 7, 12, 13, 14, 15);
        const Lanes q1 = __builtin_shufflevector(v[2], v[3], 0, 1, 2, 3, 8, 9, 10, 11)
            + __builtin_shufflevector(v[2], v[3], 4, 5, 6, 7, 12, 13, 14, 15);
        // r: (k, k + 2), two lanes per total.
        const Lanes r = __builtin_shufflevector(q0, q1, 0, 1, 4, 5, 8, 9, 12, 13)
            + __builtin_shufflevector(q0, q1, 2, 3, 6, 7, 10, 11, 14, 15);
        #pragma GCC unroll 16
        for (int k = 0; k < 4; ++k)
            if (first + k < Count)
                totals[first + k] = r[2 * k] + r[2 * k + 1];
    }
}

// The measures from the padded tables of Pairs pairs of one row (one or two, their operations
// interleaved so that the processor works on both while either waits for a result), one cell per
// lane (lane 4a + b), every term computed cell by cell. D = pab - pa pb from whole counts (exact
// in doubles below 2^26 individuals), so that independence gives exactly 0. 1 / Dmax =
// 1 / min(u, v) = max(1 / u, 1 / v), from the reciprocals of the shares and of their
// complements; D = 0 adds nothing and is also the only case where a complement can be 0. A
// missing value's class has weight 0 in R.
template <int Pairs>
inline __attribute__((always_inline)) void paddedMeasuresOf(const double (*A)[16], std::uint16_t uniformA,
                                                            const PaddedPair *pairs, double total, bool withCorrelation,
                                                            PaddedSums *out)
{
    const double inverseTotal = 1.0 / total;
    const Lanes totalV = splat(total);
    const Lanes inverseTotalSquared = splat(inverseTotal * inverseTotal);
    const Lanes zero = Lanes{};
    Lanes presentValueB[Pairs], w[Pairs][2];
    // Per pair: D', chi-square', n and the sums of the two values.
    Lanes firstLow[5 * Pairs], firstHigh[5 * Pairs];
    #pragma GCC unroll 16
    for (int p = 0; p < Pairs; ++p) {
        const LdMatrices::PaddedClasses &B = *pairs[p].B;
        const Lanes countB = broadcastClasses(B.count), shareB = broadcastClasses(B.share);
        const Lanes inverseShareB = broadcastClasses(B.inverseShare), inverseComplementB = broadcastClasses(B.inverseComplement);
        const Lanes presentB = broadcastClasses(B.present);
        presentValueB[p] = broadcastClasses(B.presentValue);
        #pragma GCC unroll 16
        for (int h = 0; h < 2; ++h) {
            Lanes *terms = h == 0 ? firstLow : firstHigh;
            LaneCounts counts;
            std::memcpy(&counts, pairs[p].table + 8 * h, sizeof counts);
            const Lanes cells = __builtin_convertvector(counts, Lanes);
            const Lanes inverseShareA = loadLanes(A[SpreadInverseShare] + 8 * h);
            const Lanes excess = cells * totalV - loadLanes(A[SpreadCount] + 8 * h) * countB;
            const Lanes d = excess * inverseTotalSquared;
            const LaneMask negative = d < zero;
            const Lanes below = inverseShareA * select(negative, inverseShareB, inverseComplementB);
            const Lanes above = loadLanes(A[SpreadInverseComplement] + 8 * h) * select(negative, inverseComplementB, inverseShareB);
            const Lanes inverseDMax = select(below > above, below, above);
            const Lanes ratio = select(excess != zero, absolute(d) * inverseDMax, zero);
            w[p][h] = cells * loadLanes(A[SpreadPresent] + 8 * h) * presentB;
            terms[5 * p] = loadLanes(A[SpreadShare] + 8 * h) * shareB * ratio;
            terms[5 * p + 1] = d * d * inverseShareA * inverseShareB;
            terms[5 * p + 2] = w[p][h];
            terms[5 * p + 3] = w[p][h] * loadLanes(A[SpreadPresentValue] + 8 * h);
            terms[5 * p + 4] = w[p][h] * presentValueB[p];
        }
    }
    double first[5 * Pairs];
    treeTotals<5 * Pairs>(firstLow, firstHigh, first);

    Lanes secondLow[3 * Pairs], secondHigh[3 * Pairs];
    int n[Pairs];
    #pragma GCC unroll 16
    for (int p = 0; p < Pairs; ++p) {
        out[p].dPrime = first[5 * p];
        out[p].chi = first[5 * p + 1];
        n[p] = static_cast<int>(first[5 * p + 2]);
        // With n = 0 these are not finite; such pairs keep sums of 0 below.
        const double mx = first[5 * p + 3] / n[p], my = first[5 * p + 4] / n[p];
        const Lanes dy = presentValueB[p] - splat(my);
        #pragma GCC unroll 16
        for (int h = 0; h < 2; ++h) {
            Lanes *terms = h == 0 ? secondLow : secondHigh;
            const Lanes dx = loadLanes(A[SpreadPresentValue] + 8 * h) - splat(mx);
            const Lanes wx = w[p][h] * dx, wy = w[p][h] * dy;
            terms[3 * p] = wx * dx;
            terms[3 * p + 1] = wy * dy;
            terms[3 * p + 2] = wx * dy;
        }
    }
    double second[3 * Pairs];
    treeTotals<3 * Pairs>(secondLow, secondHigh, second);
    #pragma GCC unroll 16
    for (int p = 0; p < Pairs; ++p) {
        out[p].n = 0;
        out[p].sxx = out[p].syy = out[p].sxy = 0.0;
        if (!withCorrelation)
            continue;
        out[p].n = n[p];
        if (n[p] <= 0)
            continue;
        const unsigned occupied = maskBits(w[p][0] > zero, w[p][1] > zero);
        out[p].sxx = uniformOver(uniformA, occupiedRows(occupied)) ? 0.0 : second[3 * p];
        out[p].syy = uniformOver(pairs[p].B->uniform, occupiedColumns(occupied)) ? 0.0 : second[3 * p + 1];
        out[p].sxy = second[3 * p + 2];
    }
}

// The kernel compiled for any processor, and for those with 512-bit registers.
RVK_SEPARATE_MULTIPLY_ADD void paddedMeasuresPlain(const double (*A)[16], std::uint16_t uniformA, const PaddedPair *pairs,
                                                   int count, double total, bool withCorrelation, PaddedSums *out)
{
    if (count == 2)
        paddedMeasuresOf<2>(A, uniformA, pairs, total, withCorrelation, out);
    else
        paddedMeasuresOf<1>(A, uniformA, pairs, total, withCorrelation, out);
}

#if defined(__x86_64__)
__attribute__((target("avx512f,avx512vl,avx512dq"))) RVK_SEPARATE_MULTIPLY_ADD void
paddedMeasuresWide(const double (*A)[16], std::uint16_t uniformA, const PaddedPair *pairs, int count, double total,
                   bool withCorrelation, PaddedSums *out)
{
    if (count == 2)
        paddedMeasuresOf<2>(A, uniformA, pairs, total, withCorrelation, out);
    else
        paddedMeasuresOf<1>(A, uniformA, pairs, total, withCorrelation, out);
}
#endif

struct PaddedKernels
{
    PaddedTable table[4][4]; // [classes of A - 1][classes of B - 1]
    PaddedMeasures measures;
};

PaddedKernels plainKernels()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("popcnt"))
        return {RVK_LD_PADDED_TABLES(paddedTablePopcnt), &paddedMeasuresPlain};
#endif
    return {RVK_LD_PADDED_TABLES(paddedTablePlain), &paddedMeasuresPlain};
}

PaddedKernels bestKernels()
{
    PaddedKernels kernels = plainKernels();
#if defined(__x86_64__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vpopcntdq") && __builtin_cpu_supports("popcnt")) {
        const PaddedKernels wide{RVK_LD_PADDED_TABLES(paddedTableWide), nullptr};
        std::copy(&wide.table[0][0], &wide.table[0][0] + 16, &kernels.table[0][0]);
    }
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq"))
        kernels.measures = &paddedMeasuresWide;
#endif
    return kernels;
}

#undef RVK_LD_PADDED_TABLES

const PaddedKernels kernelChoices[2] = {bestKernels(), plainKernels()};
std::atomic<const PaddedKernels *> activeKernels{&kernelChoices[0]};

} // namespace

void UsePlainLdKernels(bool plain) { activeKernels = &kernelChoices[plain ? 1 : 0]; }

LdPairResult ComputeLdPair(const LdMatrices &m, int i, int j, LdPValueCache *pValues)
{
    LdPairResult result = ComputeLdPairMeasures(m, i, j);
    ComputeLdPairP(result, pValues);
    return result;
}

LdPairResult ComputeLdPairMeasures(const LdMatrices &m, int i, int j) { return LdRow(m, i).measures(j); }

LdRow::LdRow(const LdMatrices &matrices, int i) : mMatrices(matrices), mI(i)
{
    const LdMatrices::PaddedClasses &A = matrices.mPadded[static_cast<size_t>(i)];
    mPadded = A.padded;
    mCodeValues = matrices.mLocusClasses[static_cast<size_t>(i)].valueRow < 0;
    const double *arrays[6] = {A.count, A.share, A.inverseShare, A.inverseComplement, A.present, A.presentValue};
    for (int row = 0; row < 6; ++row)
        for (int lane = 0; lane < 16; ++lane)
            mSpread[row][lane] = arrays[row][lane / 4];
}

namespace {

// R, R² and whether the pair has a p-value, from the sums of R (d = sqrt(Sxx Syy)).
void finishCorrelation(LdPairResult &result, double d, double sxy, int n)
{
    result.n = n;
    if (d > 0.0 && d <= 0.001) {
        result.available = false;
        return;
    }
    result.R = d == 0.0 ? 1.0 : sxy / d;
    result.R2 = result.R * result.R;
    result.hasP = 1.0 - result.R2 > 0.0 && n - 2 >= 0;
}

} // namespace

double LdRow::distance(int j) const
{
    const LdMatrices &m = mMatrices;
    return m.group(mI) == m.group(j) ? std::fabs(m.position(j) - m.position(mI)) : -1.0;
}

void LdRow::paddedTable(int j, std::uint32_t *table) const
{
    const LdMatrices &m = mMatrices;
    const auto &ci = m.mLocusClasses[static_cast<size_t>(mI)];
    const auto &cj = m.mLocusClasses[static_cast<size_t>(j)];
    const size_t words = static_cast<size_t>(m.mWords);
    activeKernels.load(std::memory_order_relaxed)->table[ci.count - 1][cj.count - 1](
        m.mClassBits.data() + ci.first * words, m.mClassCount.data() + ci.first, m.mClassBits.data() + cj.first * words,
        m.mClassCount.data() + cj.first, m.mWords, table);
}

void LdRow::measuresOfTwo(int j, LdPairResult *results) const
{
    const LdMatrices &m = mMatrices;
    const LdMatrices::PaddedClasses &B0 = m.mPadded[static_cast<size_t>(j)], &B1 = m.mPadded[static_cast<size_t>(j) + 1];
    if (!mPadded || !mCodeValues || !B0.padded || !B1.padded || m.mIndividualCount <= 0
        || m.mLocusClasses[static_cast<size_t>(j)].valueRow >= 0 || m.mLocusClasses[static_cast<size_t>(j) + 1].valueRow >= 0) {
        results[0] = measures(j);
        results[1] = measures(j + 1);
        return;
    }
    alignas(64) std::uint32_t tables[2][16];
    paddedTable(j, tables[0]);
    paddedTable(j + 1, tables[1]);
    const PaddedPair pairs[2] = {{&B0, tables[0]}, {&B1, tables[1]}};
    PaddedSums sums[2];
    activeKernels.load(std::memory_order_relaxed)
        ->measures(mSpread, m.mPadded[static_cast<size_t>(mI)].uniform, pairs, 2, static_cast<double>(m.mIndividualCount), true, sums);
    const int ka = static_cast<int>(m.mLocusClasses[static_cast<size_t>(mI)].count);
    // Both square roots first: the processor works on them side by side.
    const double d[2] = {std::sqrt(sums[0].sxx * sums[0].syy), std::sqrt(sums[1].sxx * sums[1].syy)};
    for (int p = 0; p < 2; ++p) {
        LdPairResult &result = results[p];
        result = LdPairResult();
        result.Dist = distance(j + p);
        const int k = std::min(ka, static_cast<int>(m.mLocusClasses[static_cast<size_t>(j + p)].count));
        result.DPrime = sums[p].dPrime;
        result.ChiSquarePrime = k >= 2 ? sums[p].chi / (k - 1) : 0.0;
        finishCorrelation(result, d[p], sums[p].sxy, sums[p].n);
    }
}

LdPairResult LdRow::measures(int j) const
{
    const LdMatrices &m = mMatrices;
    const int i = mI;
    LdPairResult result;
    result.Dist = distance(j);

    const auto &ci = m.mLocusClasses[static_cast<size_t>(i)];
    const auto &cj = m.mLocusClasses[static_cast<size_t>(j)];
    const int ka = static_cast<int>(ci.count), kb = static_cast<int>(cj.count);
    const long long total = m.mIndividualCount;
    const bool ownValues = ci.valueRow >= 0 || cj.valueRow >= 0;
    double sxx = 0.0, syy = 0.0, sxy = 0.0;
    int n = 0;
    const LdMatrices::PaddedClasses &B = m.mPadded[static_cast<size_t>(j)];
    if (total > 0 && mPadded && B.padded) {
        alignas(64) std::uint32_t table[16];
        paddedTable(j, table);
        const PaddedPair pair{&B, table};
        PaddedSums sums;
        activeKernels.load(std::memory_order_relaxed)
            ->measures(mSpread, m.mPadded[static_cast<size_t>(i)].uniform, &pair, 1, static_cast<double>(total), !ownValues, &sums);
        const int k = std::min(ka, kb);
        result.DPrime = sums.dPrime;
        result.ChiSquarePrime = k >= 2 ? sums.chi / (k - 1) : 0.0;
        sxx = sums.sxx;
        syy = sums.syy;
        sxy = sums.sxy;
        n = sums.n;
    } else if (total > 0) {
        const std::uint64_t *bitsA = m.mClassBits.data() + static_cast<size_t>(ci.first) * static_cast<size_t>(m.mWords);
        const std::uint64_t *bitsB = m.mClassBits.data() + static_cast<size_t>(cj.first) * static_cast<size_t>(m.mWords);
        std::array<std::uint32_t, ClassLimit * ClassLimit> table; // only the ka x kb corner is used
        generalCountTable(bitsA, ka, m.mClassCount.data() + ci.first, bitsB, kb, m.mClassCount.data() + cj.first, m.mWords,
                          table.data());
        auto arrays = [&m](std::uint32_t first) {
            return ClassArrays{m.mClassCount.data() + first,      m.mClassShare.data() + first,
                               m.mClassInverseShare.data() + first, m.mClassInverseComplement.data() + first,
                               m.mClassPresent.data() + first,      m.mClassPresentValue.data() + first};
        };
        measuresFromTable(ka, kb, arrays(ci.first), arrays(cj.first), table.data(), total, !ownValues, result, sxx, syy,
                                sxy, n);
    }

    if (ownValues) {
        // Values of their own on at least one side: R individual by individual. A locus without
        // a value row takes its class values.
        const double *valueA = m.mClassValue.data() + ci.first;
        const double *valueB = m.mClassValue.data() + cj.first;
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
    finishCorrelation(result, std::sqrt(sxx * syy), sxy, n);
    return result;
}

void ComputeLdPairsP(LdPairResult *pairs, int count, LdPValueCache &pValues)
{
    std::vector<int> df;
    std::vector<double> absR, p, minusLog;
    std::vector<int> which;
    for (int k = 0; k < count; ++k)
        if (pairs[k].available && pairs[k].hasP) {
            which.push_back(k);
            df.push_back(pairs[k].n - 2);
            absR.push_back(std::fabs(pairs[k].R));
        }
    p.resize(which.size());
    minusLog.resize(which.size());
    pValues.twoTailedMany(df.data(), absR.data(), static_cast<int>(which.size()), p.data(), minusLog.data());
    for (size_t w = 0; w < which.size(); ++w) {
        LdPairResult &pair = pairs[which[w]];
        pair.P = p[w];
        pair.MinusLogP = p[w] > 0.0 ? minusLog[w] : -1.0;
    }
    for (int k = 0; k < count; ++k)
        if (pairs[k].available && !pairs[k].hasP)
            pairs[k].MinusLogP = pairs[k].P > 0.0 ? -std::log10(pairs[k].P) : -1.0;
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
