#include "core/codecollector.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include <cstring>

namespace rvk {

namespace {

// The byte kept for each byte read: the code itself inside "*".."z", "U" outside, 0 for the
// blanks and tabs that are dropped.
const std::array<char, 256> &collectTable()
{
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        for (int c = 0; c < 256; ++c)
            t[static_cast<size_t>(c)] = isGenotypeCode(static_cast<char>(c)) ? static_cast<char>(c) : UnknownCode;
        t[static_cast<unsigned char>(' ')] = 0;
        t[static_cast<unsigned char>('\t')] = 0;
        return t;
    }();
    return table;
}

#if defined(__x86_64__)
// For every 8-bit mask of bytes to keep, the shuffle that packs those bytes to the front.
struct PackTable
{
    alignas(16) std::array<std::array<unsigned char, 8>, 256> shuffle{};
    std::array<unsigned char, 256> count{};
    PackTable()
    {
        for (int mask = 0; mask < 256; ++mask) {
            int n = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (mask & (1 << bit))
                    shuffle[static_cast<size_t>(mask)][static_cast<size_t>(n++)] = static_cast<unsigned char>(bit);
            for (int rest = n; rest < 8; ++rest)
                shuffle[static_cast<size_t>(mask)][static_cast<size_t>(rest)] = 0x80;
            count[static_cast<size_t>(mask)] = static_cast<unsigned char>(n);
        }
    }
};

const PackTable &packTable()
{
    static const PackTable table;
    return table;
}
#endif

} // namespace

CodeCollector::CodeCollector()
{
#if defined(__x86_64__)
    mVector = __builtin_cpu_supports("ssse3");
#else
    mVector = false;
#endif
}

bool CodeCollector::isKnown(unsigned char c) const
{
    for (int i = 0; i < mKnownCount; ++i)
        if (mKnown[static_cast<size_t>(i)] == c)
            return true;
    return false;
}

size_t CodeCollector::appendScalar(char *write, const char *p, const char *end)
{
    const auto &collect = collectTable();
    char *const begin = write;
    for (; p < end; ++p) {
        const char code = collect[static_cast<unsigned char>(*p)];
        if (code == 0)
            continue;
        *write++ = code;
        const auto c = static_cast<unsigned char>(code);
        if (!mSeen[c]) {
            mSeen[c] = 1;
            if (code == *p && mKnownCount < static_cast<int>(mKnown.size()))
                mKnown[static_cast<size_t>(mKnownCount++)] = c;
        }
    }
    return static_cast<size_t>(write - begin);
}

#if defined(__x86_64__)
__attribute__((target("ssse3,popcnt")))
#endif
size_t CodeCollector::appendVector(char *write, const char *p, const char *end)
{
#if defined(__x86_64__)
    const PackTable &pack = packTable();
    char *const begin = write;
    const __m128i blank = _mm_set1_epi8(' ');
    const __m128i tab = _mm_set1_epi8('\t');
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i dropped = _mm_or_si128(_mm_cmpeq_epi8(bytes, blank), _mm_cmpeq_epi8(bytes, tab));
        __m128i known = dropped;
        for (int i = 0; i < mKnownCount; ++i)
            known = _mm_or_si128(known, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(mKnown[static_cast<size_t>(i)]))));
        if (_mm_movemask_epi8(known) != 0xFFFF) {
            // A code not met before, or one outside the range: this block goes byte by byte.
            write += appendScalar(write, p, p + 16);
            p += 16;
            continue;
        }
        const unsigned keep = ~static_cast<unsigned>(_mm_movemask_epi8(dropped)) & 0xFFFFu;
        const unsigned low = keep & 0xFF, high = keep >> 8;
        const __m128i lowShuffle = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(pack.shuffle[low].data()));
        const __m128i highShuffle = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(pack.shuffle[high].data()));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(write), _mm_shuffle_epi8(bytes, lowShuffle));
        write += pack.count[low];
        _mm_storel_epi64(reinterpret_cast<__m128i *>(write), _mm_shuffle_epi8(_mm_srli_si128(bytes, 8), highShuffle));
        write += pack.count[high];
        p += 16;
    }
    write += appendScalar(write, p, end);
    return static_cast<size_t>(write - begin);
#else
    return appendScalar(write, p, end);
#endif
}

size_t CodeCollector::append(std::string &out, std::string_view text)
{
    // The vector path writes whole 8-byte groups, so it packs into a scratch buffer first and
    // the codes' own text grows only by what it keeps (no slack beyond the locus's codes).
    if (mScratch.size() < text.size() + 16)
        mScratch.resize(text.size() + 16);
    const char *p = text.data();
    const size_t n = mVector ? appendVector(mScratch.data(), p, p + text.size()) : appendScalar(mScratch.data(), p, p + text.size());
    out.append(mScratch.data(), n);
    return n;
}

CodeSet CodeCollector::usedCodes() const
{
    CodeSet used;
    for (int i = 0; i < CodeCount; ++i)
        if (mSeen[static_cast<unsigned char>(codeAt(i))])
            used.set(static_cast<size_t>(i));
    return used;
}

} // namespace rvk
