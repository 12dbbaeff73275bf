#include "core/textlines.h"

#include <cstring>

namespace rvk {

namespace {
inline bool isLineTrailer(char c) { return c == ' ' || c == '\t' || (static_cast<unsigned char>(c) < 32); }
inline char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
} // namespace

void splitLines(std::string_view text, std::vector<std::string_view> &lines)
{
    if (text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF && static_cast<unsigned char>(text[1]) == 0xBB
        && static_cast<unsigned char>(text[2]) == 0xBF)
        text.remove_prefix(3);
    const char *p = text.data();
    const char *end = p + text.size();
    while (p < end) {
        const char *lf = static_cast<const char *>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char *lineEnd = lf ? lf : end;
        // A lone CR (old Mac line ends) also ends a line; look for one only in this line.
        const char *cr = static_cast<const char *>(std::memchr(p, '\r', static_cast<size_t>(lineEnd - p)));
        if (cr && cr + 1 < lineEnd) {
            lineEnd = cr;
            lf = cr;
        }
        const char *last = lineEnd;
        while (last > p && isLineTrailer(last[-1]))
            --last;
        lines.emplace_back(p, static_cast<size_t>(last - p));
        if (!lf)
            break;
        p = lf + 1;
    }
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    splitLines(text, lines);
    return lines;
}

bool containsNoCase(std::string_view text, std::string_view needle)
{
    if (needle.empty())
        return true;
    if (text.size() < needle.size())
        return false;
    const char first = needle[0];
    const char firstUpper = (first >= 'a' && first <= 'z') ? static_cast<char>(first - 32) : first;
    const char *p = text.data();
    const char *last = text.data() + text.size() - needle.size();
    while (p <= last) {
        // Jump to the next candidate of either case; memchr is vectorised and most lines
        // (genotype codes) hold few candidates.
        const size_t span = static_cast<size_t>(last - p) + 1;
        const char *a = static_cast<const char *>(std::memchr(p, first, span));
        const char *b = firstUpper != first ? static_cast<const char *>(std::memchr(p, firstUpper, a ? static_cast<size_t>(a - p) : span)) : nullptr;
        const char *hit = b ? b : a;
        if (!hit)
            return false;
        size_t i = 1;
        while (i < needle.size() && lower(hit[i]) == needle[i])
            ++i;
        if (i == needle.size())
            return true;
        p = hit + 1;
    }
    return false;
}

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
