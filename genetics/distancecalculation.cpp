#include "genetics/distancecalculation.h"

#include "core/genotypedata.h"
#include "settings/alleletable.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <immintrin.h>
#include <thread>

namespace rvk {

namespace {

// The values the data hold, numbered: symbol -1 is "no value".
struct Symbols
{
    std::array<int, 256> ofCode{};
    std::vector<char> codes;
    int zero = -1;
};

// Where a position's value comes from: one character of one locus's genotype text.
struct Position
{
    const std::string *genotypes;
    size_t offset; // character of the first individual, or of the individual for loci
};

// The positions of every entry as bit planes, entry after entry: a presence plane, then the
// value planes (the bits of the symbol number, plus a plane for '0', for the similarity
// coefficients; one plane per symbol for Euclidean distances).
struct PackedEntries
{
    size_t words = 0;
    int planes = 0; // without the presence plane
    std::vector<std::uint64_t> bits;

    size_t stride() const { return words * static_cast<size_t>(planes + 1); }
    const std::uint64_t *entry(int e) const { return bits.data() + static_cast<size_t>(e) * stride(); }
    std::uint64_t *entry(int e) { return bits.data() + static_cast<size_t>(e) * stride(); }
};

int bitsFor(int count)
{
    int bits = 0;
    while ((1 << bits) < count)
        ++bits;
    return bits;
}

Symbols collectSymbols(const GenotypeData &data, const AlleleTable &alleles)
{
    std::array<bool, 256> seen{};
    for (int g = 0; g < data.GroupCount(); ++g)
        for (const Tlocinfo &locus : data.GroupLoci(g))
            for (const char c : locus.Genotypes)
                seen[static_cast<unsigned char>(c)] = true;
    Symbols symbols;
    symbols.ofCode.fill(-1);
    for (int c = 0; c < 256; ++c) {
        if (!seen[static_cast<size_t>(c)] || AlleleTable::indexOf(static_cast<char>(c)) < 0)
            continue;
        if (alleles.lookup(static_cast<char>(c)).isMissing())
            continue;
        symbols.ofCode[static_cast<size_t>(c)] = static_cast<int>(symbols.codes.size());
        if (c == '0')
            symbols.zero = static_cast<int>(symbols.codes.size());
        symbols.codes.push_back(static_cast<char>(c));
    }
    return symbols;
}

struct Layout
{
    bool euclidean = false;
    int valueBits = 0;   // similarity: bits of the symbol number
    bool zeroPlane = false;
};

void setBit(PackedEntries &packed, const Layout &layout, int entry, size_t position, int symbol)
{
    const size_t word = position >> 6;
    const std::uint64_t bit = std::uint64_t(1) << (position & 63);
    std::uint64_t *base = packed.entry(entry);
    base[word] |= bit;
    if (layout.euclidean) {
        base[static_cast<size_t>(1 + symbol) * packed.words + word] |= bit;
        return;
    }
    for (int t = 0; t < layout.valueBits; ++t)
        if ((symbol >> t) & 1)
            base[static_cast<size_t>(1 + t) * packed.words + word] |= bit;
    if (layout.zeroPlane && symbol == 0)
        base[static_cast<size_t>(1 + layout.valueBits) * packed.words + word] |= bit;
}

struct PairCounts
{
    long long both = 0; // positions with values on both sides
    long long differ = 0;
    long long zeros = 0;
    double squares = 0.0;
};

template <int ValueBits, bool Zero>
[[gnu::always_inline]] inline PairCounts similarityCounts(const std::uint64_t *x, const std::uint64_t *y, size_t words)
{
    long long both = 0, differ = 0, zeros = 0;
    for (size_t w = 0; w < words; ++w) {
        const std::uint64_t present = x[w] & y[w];
        std::uint64_t different = 0;
        for (int t = 1; t <= ValueBits; ++t)
            different |= x[t * words + w] ^ y[t * words + w];
        both += std::popcount(present);
        differ += std::popcount(present & different);
        if constexpr (Zero)
            zeros += std::popcount(x[(ValueBits + 1) * words + w] & y[(ValueBits + 1) * words + w]);
    }
    return {both, differ, zeros, 0.0};
}

// The weight of each pair of different symbols in a Euclidean distance: the squared
// difference of their values.
struct SymbolPair
{
    int a, b;
    double weight;
};

[[gnu::always_inline]] inline PairCounts euclideanCounts(const std::uint64_t *x, const std::uint64_t *y, size_t words,
                                                         const std::vector<SymbolPair> &pairs)
{
    double q = 0.0;
    for (const SymbolPair &p : pairs) {
        const std::uint64_t *xa = x + (1 + p.a) * words, *xb = x + (1 + p.b) * words;
        const std::uint64_t *ya = y + (1 + p.a) * words, *yb = y + (1 + p.b) * words;
        long long count = 0;
        for (size_t w = 0; w < words; ++w)
            count += std::popcount((xa[w] & yb[w]) | (xb[w] & ya[w]));
        q += p.weight * static_cast<double>(count);
    }
    return {0, 0, 0, q};
}

struct Job
{
    const PackedEntries *packed;
    const std::vector<SymbolPair> *pairs;
    const std::vector<char> *counted; // per entry: whether its pairs are computed
    DistanceCoefficient coefficient;
    bool betweenIndividuals;
    DistanceMatrix *matrix;
};

double distanceOf(const Job &job, const PairCounts &counts)
{
    const double nothing = job.betweenIndividuals ? 0.0 : 1.0;
    switch (job.coefficient) {
    case DistanceCoefficient::AlleleSharing: {
        const long long m = counts.both - counts.differ, u = counts.differ;
        return m + u == 0 ? nothing : 1.0 - static_cast<double>(m) / static_cast<double>(m + u);
    }
    case DistanceCoefficient::Jaccard: {
        const long long mz = counts.both - counts.differ - counts.zeros, u = counts.differ;
        return mz + u == 0 ? nothing : 1.0 - static_cast<double>(mz) / static_cast<double>(mz + u);
    }
    case DistanceCoefficient::Euclidean:
        return std::sqrt(counts.squares);
    }
    return 0.0;
}

// Pairs (i, j) with first entries first..last-1 and every later j, each counted by `count`. The
// block of first entries stays in the cache while the later entries stream past it once.
template <class Count> [[gnu::always_inline]] inline void rowBlock(const Job &job, int first, int last, Count count)
{
    const PackedEntries &packed = *job.packed;
    const int n = job.matrix->size();
    const std::vector<char> &counted = *job.counted;
    for (int j = first + 1; j < n; ++j) {
        if (!counted[static_cast<size_t>(j)])
            continue;
        const std::uint64_t *y = packed.entry(j);
        const int end = std::min(last, j);
        for (int i = first; i < end; ++i)
            if (counted[static_cast<size_t>(i)])
                job.matrix->setValue(i, j, distanceOf(job, count(packed.entry(i), y)));
    }
}

template <int ValueBits, bool Zero, bool Euclidean>
[[gnu::always_inline]] inline void rowBlockScalar(const Job &job, int first, int last)
{
    const size_t words = job.packed->words;
    if constexpr (Euclidean)
        rowBlock(job, first, last, [&job, words](const std::uint64_t *x, const std::uint64_t *y) {
            return euclideanCounts(x, y, words, *job.pairs);
        });
    else
        rowBlock(job, first, last, [words](const std::uint64_t *x, const std::uint64_t *y) {
            return similarityCounts<ValueBits, Zero>(x, y, words);
        });
}

using BlockFunction = void (*)(const Job &, int, int);

// The counting is inlined into each block function, so that it is compiled for that function's
// processor.
template <int ValueBits, bool Zero, bool Euclidean>
[[gnu::target("popcnt"), gnu::flatten]] void rowBlockPopcount(const Job &job, int first, int last)
{
    rowBlockScalar<ValueBits, Zero, Euclidean>(job, first, last);
}

template <int ValueBits, bool Zero, bool Euclidean> [[gnu::flatten]] void rowBlockPortable(const Job &job, int first, int last)
{
    rowBlockScalar<ValueBits, Zero, Euclidean>(job, first, last);
}

// Processors with a vector population count take eight words of every plane at a time.
#define RVK_WIDE_TARGET gnu::target("avx512f,avx512vpopcntdq,popcnt")

[[RVK_WIDE_TARGET, gnu::always_inline]] inline long long laneSum(__m512i v)
{
    alignas(64) long long lanes[8];
    _mm512_store_si512(lanes, v);
    return lanes[0] + lanes[1] + lanes[2] + lanes[3] + lanes[4] + lanes[5] + lanes[6] + lanes[7];
}

template <int ValueBits, bool Zero>
[[RVK_WIDE_TARGET]] inline PairCounts similarityCountsWide(const std::uint64_t *x, const std::uint64_t *y,
                                                                              size_t words)
{
    __m512i both = _mm512_setzero_si512(), differ = _mm512_setzero_si512(), zeros = _mm512_setzero_si512();
    size_t w = 0;
    for (; w + 8 <= words; w += 8) {
        const __m512i present = _mm512_and_si512(_mm512_loadu_si512(x + w), _mm512_loadu_si512(y + w));
        __m512i different = _mm512_setzero_si512();
        for (int t = 1; t <= ValueBits; ++t)
            different = _mm512_or_si512(different, _mm512_xor_si512(_mm512_loadu_si512(x + t * words + w),
                                                                    _mm512_loadu_si512(y + t * words + w)));
        both = _mm512_add_epi64(both, _mm512_popcnt_epi64(present));
        differ = _mm512_add_epi64(differ, _mm512_popcnt_epi64(_mm512_and_si512(present, different)));
        if constexpr (Zero)
            zeros = _mm512_add_epi64(zeros, _mm512_popcnt_epi64(_mm512_and_si512(_mm512_loadu_si512(x + (ValueBits + 1) * words + w),
                                                                                 _mm512_loadu_si512(y + (ValueBits + 1) * words + w))));
    }
    PairCounts counts{laneSum(both), laneSum(differ), laneSum(zeros), 0.0};
    for (; w < words; ++w) {
        const std::uint64_t present = x[w] & y[w];
        std::uint64_t different = 0;
        for (int t = 1; t <= ValueBits; ++t)
            different |= x[t * words + w] ^ y[t * words + w];
        counts.both += std::popcount(present);
        counts.differ += std::popcount(present & different);
        if constexpr (Zero)
            counts.zeros += std::popcount(x[(ValueBits + 1) * words + w] & y[(ValueBits + 1) * words + w]);
    }
    return counts;
}

[[RVK_WIDE_TARGET]] inline PairCounts euclideanCountsWide(const std::uint64_t *x, const std::uint64_t *y,
                                                                             size_t words, const std::vector<SymbolPair> &pairs)
{
    double q = 0.0;
    for (const SymbolPair &p : pairs) {
        const std::uint64_t *xa = x + (1 + p.a) * words, *xb = x + (1 + p.b) * words;
        const std::uint64_t *ya = y + (1 + p.a) * words, *yb = y + (1 + p.b) * words;
        __m512i sum = _mm512_setzero_si512();
        size_t w = 0;
        for (; w + 8 <= words; w += 8) {
            const __m512i crossed = _mm512_or_si512(_mm512_and_si512(_mm512_loadu_si512(xa + w), _mm512_loadu_si512(yb + w)),
                                                    _mm512_and_si512(_mm512_loadu_si512(xb + w), _mm512_loadu_si512(ya + w)));
            sum = _mm512_add_epi64(sum, _mm512_popcnt_epi64(crossed));
        }
        long long count = laneSum(sum);
        for (; w < words; ++w)
            count += std::popcount((xa[w] & yb[w]) | (xb[w] & ya[w]));
        q += p.weight * static_cast<double>(count);
    }
    return {0, 0, 0, q};
}

template <int ValueBits, bool Zero, bool Euclidean>
[[RVK_WIDE_TARGET, gnu::flatten]] void rowBlockWide(const Job &job, int first, int last)
{
    const size_t words = job.packed->words;
    if constexpr (Euclidean)
        rowBlock(job, first, last, [&job, words](const std::uint64_t *x, const std::uint64_t *y) {
            return euclideanCountsWide(x, y, words, *job.pairs);
        });
    else
        rowBlock(job, first, last, [words](const std::uint64_t *x, const std::uint64_t *y) {
            return similarityCountsWide<ValueBits, Zero>(x, y, words);
        });
}

template <int ValueBits, bool Zero, bool Euclidean> BlockFunction pick()
{
    static const bool wide = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vpopcntdq");
    if (wide)
        return &rowBlockWide<ValueBits, Zero, Euclidean>;
    static const bool hasPopcount = __builtin_cpu_supports("popcnt");
    return hasPopcount ? &rowBlockPopcount<ValueBits, Zero, Euclidean> : &rowBlockPortable<ValueBits, Zero, Euclidean>;
}

template <bool Zero> BlockFunction pickSimilarity(int valueBits)
{
    switch (valueBits) {
    case 0: return pick<0, Zero, false>();
    case 1: return pick<1, Zero, false>();
    case 2: return pick<2, Zero, false>();
    case 3: return pick<3, Zero, false>();
    case 4: return pick<4, Zero, false>();
    case 5: return pick<5, Zero, false>();
    case 6: return pick<6, Zero, false>();
    default: return pick<7, Zero, false>();
    }
}

BlockFunction blockFunction(const Layout &layout)
{
    if (layout.euclidean)
        return pick<0, false, true>();
    return layout.zeroPlane ? pickSimilarity<true>(layout.valueBits) : pickSimilarity<false>(layout.valueBits);
}

} // namespace

std::optional<DistanceCoefficient> coefficientNamed(const std::string &name)
{
    if (name == "sm")
        return DistanceCoefficient::AlleleSharing;
    if (name == "jaccard")
        return DistanceCoefficient::Jaccard;
    if (name == "euclidean")
        return DistanceCoefficient::Euclidean;
    return std::nullopt;
}

std::optional<DistanceEntries> distanceEntriesNamed(const std::string &name)
{
    if (name == "genotypes")
        return DistanceEntries::Genotypes;
    if (name == "markers")
        return DistanceEntries::Markers;
    return std::nullopt;
}

std::vector<std::string> distanceLabels(const GenotypeData &data, DistanceEntries between)
{
    std::vector<std::string> labels;
    if (between == DistanceEntries::Genotypes) {
        labels.assign(data.IndividualNames.begin(), data.IndividualNames.end());
        labels.resize(static_cast<size_t>(std::max(0, data.nind)));
        return labels;
    }
    for (int g = 0; g < data.GroupCount(); ++g)
        for (const Tlocinfo &locus : data.GroupLoci(g))
            labels.push_back(std::to_string(g + 1) + ">" + locus.Name);
    return labels;
}

std::string tooManyEntriesMessage(long long entries, DistanceEntries between)
{
    return "A distance matrix between " + std::to_string(entries)
           + (between == DistanceEntries::Genotypes ? " individuals" : " markers") + " would need "
           + std::to_string(entries * (entries - 1) / 2 * 8 / (1024 * 1024)) + " MB; at most "
           + std::to_string(MaxDistanceEntries) + " entries can be compared. Select fewer "
           + (between == DistanceEntries::Genotypes ? "individuals" : "markers (one linkage group, for example)") + ".";
}

std::optional<DistanceMatrix> CalculateDistances(const GenotypeData &data, const AlleleTable &alleles,
                                                 const DistanceOptions &options, const DistanceProgress &progress,
                                                 std::string *error)
{
    const bool individuals = options.between == DistanceEntries::Genotypes;
    const bool euclidean = options.coefficient == DistanceCoefficient::Euclidean;
    const long long entries = individuals ? data.nind : data.TotalLocusCount();
    if (entries > MaxDistanceEntries) {
        if (error)
            *error = tooManyEntriesMessage(entries, options.between);
        return std::nullopt;
    }
    DistanceMatrix matrix(distanceLabels(data, options.between), euclidean ? 1 : 2);
    const int n = matrix.size();

    const Symbols symbols = collectSymbols(data, alleles);
    const int symbolCount = static_cast<int>(symbols.codes.size());
    Layout layout;
    layout.euclidean = euclidean;
    if (!euclidean) {
        // Symbol 0 is '0' when it occurs, so that the zero plane is simply "symbol 0".
        layout.valueBits = bitsFor(symbolCount);
        layout.zeroPlane = symbols.zero >= 0 && options.coefficient == DistanceCoefficient::Jaccard;
    }
    std::array<int, 256> symbolOf = symbols.ofCode;
    if (symbols.zero > 0) {
        for (int &s : symbolOf)
            if (s == 0)
                s = symbols.zero;
            else if (s == symbols.zero)
                s = 0;
    }

    // The positions, and which entries take part.
    const int perIndividual = data.CodesPerIndividual();
    std::vector<Position> positions;
    std::vector<char> counted(static_cast<size_t>(n), 1);
    std::vector<const Tlocinfo *> loci;
    for (int g = 0; g < data.GroupCount(); ++g)
        for (const Tlocinfo &locus : data.GroupLoci(g))
            loci.push_back(&locus);
    if (individuals) {
        for (const Tlocinfo *locus : loci)
            for (int k = 0; k < perIndividual; ++k)
                positions.push_back({&locus->Genotypes, static_cast<size_t>(k)});
        for (int i = 0; i < n; ++i)
            counted[static_cast<size_t>(i)] = data.IsSelected(i) ? 1 : 0;
    } else {
        for (int i = 0; i < data.nind; ++i)
            if (data.IsSelected(i))
                for (int k = 0; k < perIndividual; ++k)
                    positions.push_back({nullptr, static_cast<size_t>(i * perIndividual + k)});
    }

    PackedEntries packed;
    packed.words = (positions.size() + 63) / 64;
    packed.planes = euclidean ? symbolCount : layout.valueBits + (layout.zeroPlane ? 1 : 0);
    packed.bits.assign(packed.stride() * static_cast<size_t>(n), 0);
    auto symbolAt = [&](const std::string &genotypes, size_t offset) {
        return offset < genotypes.size() ? symbolOf[static_cast<unsigned char>(genotypes[offset])] : -1;
    };
    if (individuals) {
        for (size_t p = 0; p < positions.size(); ++p)
            for (int i = 0; i < n; ++i)
                if (const int s = symbolAt(*positions[p].genotypes, positions[p].offset + static_cast<size_t>(i * perIndividual)); s >= 0)
                    setBit(packed, layout, i, p, s);
    } else {
        for (int e = 0; e < n; ++e)
            for (size_t p = 0; p < positions.size(); ++p)
                if (const int s = symbolAt(loci[static_cast<size_t>(e)]->Genotypes, positions[p].offset); s >= 0)
                    setBit(packed, layout, e, p, s);
    }

    std::vector<SymbolPair> pairs;
    if (euclidean) {
        std::vector<int> codeOfSymbol(static_cast<size_t>(symbolCount));
        for (int c = 0; c < 256; ++c)
            if (symbolOf[static_cast<size_t>(c)] >= 0)
                codeOfSymbol[static_cast<size_t>(symbolOf[static_cast<size_t>(c)])] = c;
        for (int a = 0; a < symbolCount; ++a)
            for (int b = a + 1; b < symbolCount; ++b) {
                const double d = alleles.lookup(static_cast<char>(codeOfSymbol[static_cast<size_t>(a)])).Numval
                                 - alleles.lookup(static_cast<char>(codeOfSymbol[static_cast<size_t>(b)])).Numval;
                if (d != 0.0)
                    pairs.push_back({a, b, d * d});
            }
    }

    const Job job{&packed, &pairs, &counted, options.coefficient, individuals, &matrix};
    const BlockFunction run = blockFunction(layout);
    // First entries per block: as many as fit half a megabyte, so they stay in the cache.
    const size_t strideBytes = std::max<size_t>(packed.stride() * 8, 1);
    const int block = static_cast<int>(std::clamp<size_t>((512u * 1024u) / strideBytes, 1, 64));
    // The blocks are shared among the processor's cores, a round of one block per core at a
    // time; progress is reported (and a stop honoured) between rounds, on the calling thread.
    const int cores = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    for (int first = 0; first < n;) {
        std::vector<std::thread> workers;
        int last = first;
        for (int c = 0; c < cores && last < n; ++c) {
            const int from = last, to = std::min(n, last + block);
            if (c + 1 < cores && to < n)
                workers.emplace_back([&job, run, from, to] { run(job, from, to); });
            else
                run(job, from, to);
            last = to;
        }
        for (std::thread &worker : workers)
            worker.join();
        first = last;
        if (progress && !progress(last, n))
            return std::nullopt;
    }
    return matrix;
}

} // namespace rvk
