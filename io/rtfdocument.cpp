#include "io/rtfdocument.h"

#include "core/textformat.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

namespace rvk {

std::string RtfDocument::plainText() const
{
    std::string text;
    for (const RtfRun &run : runs)
        text += run.text;
    return text;
}

void RtfDocument::append(std::string_view text, const RtfFont &font)
{
    if (text.empty())
        return;
    if (!runs.empty() && runs.back().font == font)
        runs.back().text += text;
    else
        runs.push_back({std::string(text), font});
}

// ---------------------------------------------------------------------------------------------
// Writer

namespace {

void appendUtf8(std::string &out, std::uint32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// The next code point of UTF-8 text at i; a byte that starts no valid sequence stands for itself
// (Latin-1), so any text can be written.
std::uint32_t nextCodePoint(std::string_view text, size_t &i)
{
    const unsigned char first = static_cast<unsigned char>(text[i]);
    int length = first < 0x80 ? 1 : (first >> 5) == 0x6 ? 2 : (first >> 4) == 0xE ? 3 : (first >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + static_cast<size_t>(length) > text.size()) {
        ++i;
        return first;
    }
    std::uint32_t value = length == 1 ? first : length == 2 ? (first & 0x1F) : length == 3 ? (first & 0x0F) : (first & 0x07);
    for (int k = 1; k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return first;
        }
        value = (value << 6) | (next & 0x3F);
    }
    i += static_cast<size_t>(length);
    return value;
}

void writeUnicode(std::string &out, std::uint32_t codePoint)
{
    const auto unit = [&out](std::uint32_t u) {
        out += "\\u" + formatText("%d", {static_cast<int>(static_cast<std::int16_t>(static_cast<std::uint16_t>(u)))}) + "?";
    };
    if (codePoint >= 0x10000) {
        codePoint -= 0x10000;
        unit(0xD800 + (codePoint >> 10));
        unit(0xDC00 + (codePoint & 0x3FF));
    } else {
        unit(codePoint);
    }
}

void writeText(std::string &out, std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\n') {
            out += "\\par\n";
            ++i;
        } else if (c == '\r') {
            ++i;
        } else if (c == '\t') {
            out += "\\tab ";
            ++i;
        } else if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += c;
            ++i;
        } else if (static_cast<unsigned char>(c) < 0x80) {
            out += c;
            ++i;
        } else {
            writeUnicode(out, nextCodePoint(text, i));
        }
    }
}

std::string fontFamilyClass(const std::string &family)
{
    const std::string lower = [&] {
        std::string l = family;
        std::transform(l.begin(), l.end(), l.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return l;
    }();
    return lower.find("courier") != std::string::npos || lower.find("mono") != std::string::npos ? "\\fmodern" : "\\fnil";
}

} // namespace

std::string RtfWriter::write(const RtfDocument &document)
{
    std::vector<std::string> families;
    std::vector<std::uint32_t> colors{0};
    for (const RtfRun &run : document.runs) {
        if (std::find(families.begin(), families.end(), run.font.family) == families.end())
            families.push_back(run.font.family);
        if (std::find(colors.begin(), colors.end(), run.font.color) == colors.end())
            colors.push_back(run.font.color);
    }
    if (families.empty())
        families.push_back(RtfFont{}.family);

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
    for (size_t f = 0; f < families.size(); ++f) {
        out += "{\\f" + formatText("%d", {static_cast<int>(f)}) + fontFamilyClass(families[f]) + "\\fcharset0 ";
        writeText(out, families[f]);
        out += ";}";
    }
    out += "}\n{\\colortbl;";
    for (size_t c = 1; c < colors.size(); ++c)
        out += formatText("\\red%d\\green%d\\blue%d;",
                          {static_cast<int>(colors[c] & 0xFF), static_cast<int>((colors[c] >> 8) & 0xFF), static_cast<int>((colors[c] >> 16) & 0xFF)});
    out += "}\n\\pard\\plain\n";
    for (const RtfRun &run : document.runs) {
        const size_t f = static_cast<size_t>(std::find(families.begin(), families.end(), run.font.family) - families.begin());
        const size_t c = static_cast<size_t>(std::find(colors.begin(), colors.end(), run.font.color) - colors.begin());
        out += "{\\f" + formatText("%d", {static_cast<int>(f)});
        out += "\\fs" + formatText("%d", {static_cast<int>(roundHalfEven(run.font.pointSize * 2))});
        if (run.font.bold)
            out += "\\b";
        if (run.font.italic)
            out += "\\i";
        if (run.font.underline)
            out += "\\ul";
        if (c > 0)
            out += "\\cf" + formatText("%d", {static_cast<int>(c)});
        out += ' ';
        writeText(out, run.text);
        out += "}";
    }
    out += "\n}\n";
    return out;
}

std::string RtfWriter::writePlain(std::string_view text, const RtfFont &font)
{
    RtfDocument document;
    document.append(text, font);
    return write(document);
}

// ---------------------------------------------------------------------------------------------
// Reader

namespace {

// Windows-1252 bytes 0x80..0x9F; the others are Latin-1.
constexpr std::uint16_t Cp1252High[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                          0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                          0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

struct ReaderState
{
    RtfFont font;
    int fontIndex = -1;
    int colorIndex = 0;
    int unicodeSkip = 1;
    enum class Destination { Text, FontTable, ColorTable, Skip } destination = Destination::Text;
};

class Parser
{
public:
    explicit Parser(std::string_view rtf) : mText(rtf) {}

    RtfDocument run()
    {
        ReaderState state;
        std::vector<ReaderState> stack;
        size_t i = 0;
        int skipChars = 0;
        while (i < mText.size()) {
            const char c = mText[i];
            if (c == '{') {
                stack.push_back(state);
                ++i;
                // "{\*\destination ...}": an optional destination this reader does not know.
                if (mText.substr(i, 2) == "\\*")
                    state.destination = ReaderState::Destination::Skip;
                continue;
            }
            if (c == '}') {
                finishFontEntry(state);
                if (!stack.empty()) {
                    state = stack.back();
                    stack.pop_back();
                }
                ++i;
                continue;
            }
            if (c == '\r' || c == '\n') {
                ++i;
                continue;
            }
            if (c == '\\') {
                i = controlWord(i, state, skipChars);
                continue;
            }
            if (skipChars > 0) {
                --skipChars;
                ++i;
                continue;
            }
            text(state, std::string_view(&mText[i], 1));
            ++i;
        }
        return mDocument;
    }

private:
    size_t controlWord(size_t i, ReaderState &state, int &skipChars)
    {
        ++i; // the backslash
        if (i >= mText.size())
            return i;
        const char first = mText[i];
        if (!std::isalpha(static_cast<unsigned char>(first))) {
            ++i;
            if (first == '\'') {
                const int byte = hexByte(i);
                if (byte < 0)
                    return i;
                i += 2;
                if (skipChars > 0) {
                    --skipChars;
                    return i;
                }
                std::uint32_t codePoint = static_cast<std::uint32_t>(byte);
                if (byte >= 0x80 && byte < 0xA0)
                    codePoint = Cp1252High[byte - 0x80];
                std::string utf8;
                appendUtf8(utf8, codePoint);
                text(state, utf8);
            } else if (first == '\\' || first == '{' || first == '}') {
                text(state, std::string_view(&mText[i - 1], 1));
            } else if (first == '~') {
                text(state, "\xC2\xA0");
            } else if (first == '*') {
                state.destination = ReaderState::Destination::Skip;
            } else if (first == '\n' || first == '\r') {
                text(state, "\n");
            }
            return i;
        }
        const size_t start = i;
        while (i < mText.size() && std::isalpha(static_cast<unsigned char>(mText[i])))
            ++i;
        const std::string word(mText.substr(start, i - start));
        bool hasParameter = false;
        long parameter = 0;
        const size_t numberStart = i;
        const bool negative = i < mText.size() && mText[i] == '-';
        if (negative)
            ++i;
        while (i < mText.size() && std::isdigit(static_cast<unsigned char>(mText[i]))) {
            // Parameters are 16-bit numbers; longer digit runs saturate instead of overflowing.
            parameter = std::min<long>(parameter * 10 + (mText[i] - '0'), 1L << 20);
            hasParameter = true;
            ++i;
        }
        if (negative && !hasParameter)
            i = numberStart;
        if (negative)
            parameter = -parameter;
        if (i < mText.size() && mText[i] == ' ')
            ++i;
        apply(word, hasParameter, parameter, state, skipChars);
        return i;
    }

    void apply(const std::string &word, bool hasParameter, long parameter, ReaderState &state, int &skipChars)
    {
        using D = ReaderState::Destination;
        if (word == "fonttbl") {
            state.destination = D::FontTable;
        } else if (word == "colortbl") {
            state.destination = D::ColorTable;
        } else if (word == "stylesheet" || word == "info" || word == "pict" || word == "header" || word == "footer"
                   || word == "listtable" || word == "listoverridetable" || word == "generator" || word == "object") {
            state.destination = D::Skip;
        } else if (state.destination == D::FontTable) {
            if (word == "f")
                state.fontIndex = static_cast<int>(parameter);
        } else if (state.destination == D::ColorTable) {
            const int value = static_cast<int>(std::clamp<long>(parameter, 0, 255));
            if (word == "red")
                mPendingColor = (mPendingColor & ~0xFFu) | static_cast<std::uint32_t>(value);
            else if (word == "green")
                mPendingColor = (mPendingColor & ~0xFF00u) | (static_cast<std::uint32_t>(value) << 8);
            else if (word == "blue")
                mPendingColor = (mPendingColor & ~0xFF0000u) | (static_cast<std::uint32_t>(value) << 16);
        } else if (word == "par" || word == "line") {
            text(state, "\n");
        } else if (word == "tab") {
            text(state, "\t");
        } else if (word == "plain") {
            const RtfFont fresh;
            state.font.bold = state.font.italic = state.font.underline = false;
            state.font.pointSize = 12.0;
            state.font.color = fresh.color;
            state.font.family = fontName(0);
        } else if (word == "f") {
            state.font.family = fontName(static_cast<int>(parameter));
        } else if (word == "fs") {
            state.font.pointSize = hasParameter ? parameter / 2.0 : 12.0;
        } else if (word == "b") {
            state.font.bold = !hasParameter || parameter != 0;
        } else if (word == "i") {
            state.font.italic = !hasParameter || parameter != 0;
        } else if (word == "ul") {
            state.font.underline = !hasParameter || parameter != 0;
        } else if (word == "ulnone") {
            state.font.underline = false;
        } else if (word == "cf") {
            const size_t index = static_cast<size_t>(std::max<long>(0, parameter));
            state.font.color = index > 0 && index < mColors.size() + 1 ? mColors[index - 1] : 0;
        } else if (word == "uc") {
            state.unicodeSkip = static_cast<int>(parameter);
        } else if (word == "u") {
            std::uint32_t unit = static_cast<std::uint16_t>(static_cast<std::int16_t>(parameter));
            if (unit >= 0xD800 && unit < 0xDC00) {
                mHighSurrogate = unit;
            } else {
                if (unit >= 0xDC00 && unit < 0xE000 && mHighSurrogate)
                    unit = 0x10000 + ((mHighSurrogate - 0xD800) << 10) + (unit - 0xDC00);
                mHighSurrogate = 0;
                std::string utf8;
                appendUtf8(utf8, unit);
                text(state, utf8);
            }
            skipChars = state.unicodeSkip;
        } else if (word == "emdash") {
            text(state, "\xE2\x80\x94");
        } else if (word == "endash") {
            text(state, "\xE2\x80\x93");
        } else if (word == "bullet") {
            text(state, "\xE2\x80\xA2");
        } else if (word == "lquote" || word == "rquote") {
            text(state, "'");
        }
    }

    void text(ReaderState &state, std::string_view chars)
    {
        switch (state.destination) {
        case ReaderState::Destination::Text: mDocument.append(chars, state.font); break;
        case ReaderState::Destination::FontTable:
            if (chars == ";")
                finishFontEntry(state);
            else
                mFontName += chars;
            break;
        case ReaderState::Destination::ColorTable:
            if (chars == ";")
                finishColorEntry();
            break;
        case ReaderState::Destination::Skip: break;
        }
    }

    // The two hex digits of \'hh at i, or -1 when they are not there.
    int hexByte(size_t i) const
    {
        int value = 0;
        for (size_t k = i; k < i + 2; ++k) {
            if (k >= mText.size())
                return -1;
            const char h = static_cast<char>(std::tolower(static_cast<unsigned char>(mText[k])));
            if (h >= '0' && h <= '9')
                value = value * 16 + (h - '0');
            else if (h >= 'a' && h <= 'f')
                value = value * 16 + (h - 'a' + 10);
            else
                return -1;
        }
        return value;
    }

    void finishFontEntry(ReaderState &state)
    {
        if (state.destination != ReaderState::Destination::FontTable || state.fontIndex < 0)
            return;
        std::string name = mFontName;
        while (!name.empty() && (name.back() == ';' || name.back() == ' '))
            name.pop_back();
        mFonts[state.fontIndex] = name;
        mFontName.clear();
        state.fontIndex = -1;
    }

    void finishColorEntry()
    {
        if (!mColorStarted) {
            // The first entry of the table is the automatic colour (index 0).
            mColorStarted = true;
            mPendingColor = 0;
            return;
        }
        mColors.push_back(mPendingColor);
        mPendingColor = 0;
    }

    std::string fontName(int index) const
    {
        const auto found = mFonts.find(index);
        return found == mFonts.end() ? RtfFont{}.family : found->second;
    }

    std::string_view mText;
    RtfDocument mDocument;
    std::map<int, std::string> mFonts;
    std::string mFontName;
    std::vector<std::uint32_t> mColors;
    std::uint32_t mPendingColor = 0;
    bool mColorStarted = false;
    std::uint32_t mHighSurrogate = 0;
};

} // namespace

RtfDocument RtfReader::read(std::string_view rtf)
{
    size_t start = 0;
    while (start < rtf.size() && (rtf[start] == ' ' || rtf[start] == '\r' || rtf[start] == '\n' || rtf[start] == '\t'))
        ++start;
    if (rtf.substr(start, 5) != "{\\rtf") {
        RtfDocument plain;
        plain.append(rtf, RtfFont{});
        return plain;
    }
    return Parser(rtf.substr(start)).run();
}

} // namespace rvk
