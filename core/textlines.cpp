#include "core/textlines.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rvk {

namespace {
inline bool isLineTrailer(char c) { return c == ' ' || c == '\t' || (static_cast<unsigned char>(c) < 32); }
inline char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
} // namespace

bool startsWithByteOrderMark(std::string_view text)
{
    return text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF && static_cast<unsigned char>(text[1]) == 0xBB
        && static_cast<unsigned char>(text[2]) == 0xBF;
}

std::string_view trimLineEnd(std::string_view line)
{
    size_t size = line.size();
    while (size > 0 && isLineTrailer(line[size - 1]))
        --size;
    return line.substr(0, size);
}

void splitLinesAt(std::string_view text, char separator, std::vector<std::string_view> &lines)
{
    const char *p = text.data();
    const char *end = p + text.size();
    while (p < end) {
        const char *lineEnd = static_cast<const char *>(std::memchr(p, separator, static_cast<size_t>(end - p)));
        const char *next = lineEnd ? lineEnd + 1 : end;
        if (!lineEnd)
            lineEnd = end;
        const char *last = lineEnd;
        while (last > p && isLineTrailer(last[-1]))
            --last;
        lines.emplace_back(p, static_cast<size_t>(last - p));
        p = next;
    }
}

void splitLines(std::string_view text, std::vector<std::string_view> &lines)
{
    if (startsWithByteOrderMark(text))
        text.remove_prefix(3);
    // LF and CR LF files end lines at LF (the CR goes with the trailing characters); a file
    // without any LF is taken to use CR alone.
    splitLinesAt(text, text.find('\n') != std::string_view::npos ? '\n' : '\r', lines);
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    splitLines(text, lines);
    return lines;
}

namespace {
// The first byte in [p, end) equal, with the case bit set, to one of letters (a lower-case letter
// repeated where fewer than three are asked for).
const char *findAnyLetterNoCase(const char *p, const char *end, char a, char b, char c)
{
#if defined(__SSE2__)
    const __m128i caseBit = _mm_set1_epi8(0x20);
    const __m128i first = _mm_set1_epi8(a);
    const __m128i second = _mm_set1_epi8(b);
    const __m128i third = _mm_set1_epi8(c);
    while (end - p >= 16) {
        const __m128i bytes = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p)), caseBit);
        const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, first), _mm_cmpeq_epi8(bytes, second)),
                                          _mm_cmpeq_epi8(bytes, third));
        const int mask = _mm_movemask_epi8(hits);
        if (mask != 0)
            return p + __builtin_ctz(static_cast<unsigned>(mask));
        p += 16;
    }
#endif
    for (; p < end; ++p) {
        const char x = static_cast<char>(*p | 0x20);
        if (x == a || x == b || x == c)
            return p;
    }
    return nullptr;
}
} // namespace

const char *findLetterNoCase(const char *p, const char *end, char a, char b) { return findAnyLetterNoCase(p, end, a, b, b); }

const char *findLetterNoCase(const char *p, const char *end, char a, char b, char c)
{
    return findAnyLetterNoCase(p, end, a, b, c);
}

namespace {
bool startsWithNoCase(const char *p, const char *end, std::string_view needle)
{
    if (static_cast<size_t>(end - p) < needle.size())
        return false;
    for (size_t i = 0; i < needle.size(); ++i)
        if (lower(p[i]) != needle[i])
            return false;
    return true;
}
} // namespace

bool containsNoCase(std::string_view text, std::string_view needle)
{
    if (needle.empty())
        return true;
    const char *p = text.data();
    const char *end = p + text.size();
    while ((p = findLetterNoCase(p, end, needle[0], needle[0])) != nullptr) {
        if (startsWithNoCase(p, end, needle))
            return true;
        ++p;
    }
    return false;
}

namespace {
unsigned classifyWords(std::string_view line, bool withNames)
{
    unsigned words = 0;
    const char *p = line.data();
    const char *end = p + line.size();
    const char third = withNames ? 'i' : 'p';
    while ((p = findAnyLetterNoCase(p, end, 'n', 'p', third)) != nullptr) {
        const char letter = lower(*p);
        if (letter == 'n') {
            if (startsWithNoCase(p, end, "nind"))
                words |= HasNind;
            else if (startsWithNoCase(p, end, "name"))
                words |= HasName;
            if (end - p >= 6 && std::memcmp(p, "nchrom", 6) == 0)
                words |= HasNchrom;
        } else if (letter == 'p') {
            if (startsWithNoCase(p, end, "popt"))
                words |= HasPopt;
        } else if (withNames && startsWithNoCase(p, end, "individual names")) {
            words |= HasIndividualNames;
        }
        ++p;
    }
    return words;
}
} // namespace

unsigned classifyHeaderWords(std::string_view line) { return classifyWords(line, false); }

unsigned classifyBlockLine(std::string_view line) { return classifyWords(line, true); }

std::string removeBlanks(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t')
            out += c;
    return out;
}

bool isBlankOnly(std::string_view text)
{
    for (char c : text)
        if (c != ' ' && c != '\t')
            return false;
    return true;
}

std::string toLower(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = lower(c);
    return out;
}

std::string cutToken(std::string_view &line)
{
    const size_t firstBlank = line.find(' ');
    const size_t firstQuote = line.find('"');
    if (firstBlank != std::string_view::npos && firstQuote != std::string_view::npos && firstQuote < firstBlank) {
        const size_t closing = line.find('"', firstQuote + 1);
        if (closing == std::string_view::npos) {
            std::string token(line.substr(firstQuote + 1));
            line = {};
            return token;
        }
        std::string token(line.substr(firstQuote + 1, closing - firstQuote - 1));
        std::string_view rest = line.substr(closing + 1);
        while (!rest.empty() && static_cast<unsigned char>(rest.front()) <= 32)
            rest.remove_prefix(1);
        while (!rest.empty() && static_cast<unsigned char>(rest.back()) <= 32)
            rest.remove_suffix(1);
        line = rest;
        return token;
    }
    if (line.find_first_of(" \t") == std::string_view::npos) {
        std::string token;
        if (firstQuote != std::string_view::npos) {
            const size_t closing = line.find('"', firstQuote + 1);
            if (closing != std::string_view::npos)
                token = std::string(line.substr(firstQuote + 1, closing - firstQuote - 1));
        } else {
            token = std::string(line);
        }
        line = {};
        return token;
    }
    size_t start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
        ++start;
    size_t end = start;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t')
        ++end;
    std::string token(line.substr(start, end - start));
    line = end < line.size() ? line.substr(end + 1) : std::string_view{};
    return token;
}

} // namespace rvk
