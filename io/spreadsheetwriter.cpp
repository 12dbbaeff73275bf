#include "io/spreadsheetwriter.h"

#include "core/datafilewriter.h"
#include "core/textformat.h"

#include <algorithm>
#include <cstdint>

namespace rvk {

namespace {

void putWord(std::string &out, unsigned value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

// Windows-1252 bytes 0x80..0x9F; the others are Latin-1. The five bytes the code page leaves
// undefined stand for themselves.
constexpr std::uint16_t Cp1252High[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                          0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

// The code point of the UTF-8 sequence at text[at] and its length; length 0 when the bytes there
// are not a well-formed sequence.
std::pair<std::uint32_t, size_t> utf8At(std::string_view text, size_t at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return {lead, 1};
    size_t length = 0;
    std::uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return {0, 0};
    }
    if (at + length > text.size())
        return {0, 0};
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return {0, 0};
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return {0, 0};
    return {code, length};
}

bool isUtf8(std::string_view text)
{
    for (size_t at = 0; at < text.size();) {
        const size_t length = utf8At(text, at).second;
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

void appendUtf8(std::string &out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

std::string spreadsheetSizeProblem(int columns, int rows)
{
    if (columns <= MaxSpreadsheetColumns && rows <= MaxSpreadsheetRows)
        return {};
    const bool wide = columns > MaxSpreadsheetColumns;
    return formatText("The table has %d %s; a spreadsheet file (.xls) holds at most %d columns and %d rows.",
                      {wide ? columns : rows, wide ? "columns" : "rows", MaxSpreadsheetColumns, MaxSpreadsheetRows});
}

std::string spreadsheetCodePageText(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();) {
        const auto [code, length] = utf8At(utf8, at);
        if (length == 0) { // not UTF-8: an 8-bit text already
            out += utf8[at++];
            continue;
        }
        at += length;
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            out += static_cast<char>(code);
            continue;
        }
        const std::uint16_t *found = std::find(std::begin(Cp1252High), std::end(Cp1252High), code);
        out += found != std::end(Cp1252High) ? static_cast<char>(0x80 + (found - std::begin(Cp1252High))) : '?';
    }
    return out;
}

std::string textOfSpreadsheetCodePage(std::string_view bytes)
{
    if (isUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        appendUtf8(out, byte >= 0x80 && byte < 0xA0 ? Cp1252High[byte - 0x80] : byte);
    }
    return out;
}

std::string spreadsheetBytes(int columns, int rows, const std::function<std::string(int, int)> &cell)
{
    std::string out;
    for (unsigned word : {0x0809u, 8u, 0u, 0x0010u, 0u, 0u})
        putWord(out, word);
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            const std::string text = spreadsheetCodePageText(cell(c, r));
            const size_t length = std::min(text.size(), MaxSpreadsheetCellBytes);
            for (unsigned word : {0x0204u, static_cast<unsigned>(length + 8), static_cast<unsigned>(r),
                                  static_cast<unsigned>(c), 0u, static_cast<unsigned>(length)})
                putWord(out, word);
            out.append(text, 0, length);
        }
    }
    putWord(out, 0x000A);
    putWord(out, 0);
    return out;
}

bool WriteGridAsSpreadsheet(int columns, int rows, const std::function<std::string(int, int)> &cell,
                            const std::string &path, std::string *errorText)
{
    if (const std::string problem = spreadsheetSizeProblem(columns, rows); !problem.empty()) {
        if (errorText)
            *errorText = problem + " Save it as text instead.";
        return false;
    }
    return writeFileReplacing(path, spreadsheetBytes(columns, rows, cell), errorText);
}

bool WriteGridAsSpreadsheet(const TextGrid &grid, const std::string &path, std::string *errorText)
{
    return WriteGridAsSpreadsheet(
        grid.columnCount(), grid.rowCount(), [&grid](int c, int r) { return grid.cell(c, r); }, path, errorText);
}

} // namespace rvk
