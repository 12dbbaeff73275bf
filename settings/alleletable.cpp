#include "settings/alleletable.h"

#include "core/textformat.h"
#include "settings/randomgenerator.h"

#include <cmath>

namespace rvk {

const std::array<HatchPattern, 16> &HatchPatterns()
{
    static const std::array<HatchPattern, 16> patterns = [] {
        std::array<HatchPattern, 16> p{};
        const std::uint8_t rows[16][8] = {
            {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, {0xFE, 0xFD, 0xFB, 0xF7, 0xEF, 0xDF, 0xBF, 0x7F},
            {0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0x00, 0xFB, 0xFB}, {0xEF, 0xD7, 0xBB, 0x7D, 0xFE, 0x7D, 0xBB, 0xD7},
            {0x7F, 0xBF, 0xDF, 0xEF, 0xF7, 0xFB, 0xFD, 0xFE}, {0xFF, 0xFF, 0xFF, 0xFF, 0xE1, 0x1E, 0xFF, 0xFF},
            {0xF7, 0xF7, 0xF7, 0xFB, 0xFB, 0xFB, 0xFB, 0xF7}, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
            {0xEE, 0xDD, 0xBB, 0x77, 0xEE, 0xDD, 0xBB, 0x77}, {0x77, 0xBB, 0xDD, 0xEE, 0x77, 0xBB, 0xDD, 0xEE},
            {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF}, {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA},
            {0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33}, {0x33, 0x33, 0xCC, 0xCC, 0x33, 0x33, 0xCC, 0xCC},
            {0x9F, 0x0F, 0x0F, 0x9F, 0xF9, 0xF0, 0xF0, 0xF9}, {0xE7, 0xC3, 0x81, 0x00, 0x00, 0x81, 0xC3, 0xE7}};
        for (int i = 0; i < 16; ++i)
            for (int r = 0; r < 8; ++r)
                p[static_cast<size_t>(i)].rows[static_cast<size_t>(r)] = rows[i][r];
        p[7].empty = true;
        return p;
    }();
    return patterns;
}

AlleleTable::AlleleTable() { setDefaults(); }

std::string formatNumval(double value) { return formatText("%.2f", {value}); }

std::optional<double> parseNumval(std::string_view text)
{
    const std::optional<double> value = parseDecimal(text);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

int AlleleTable::indexOf(char code)
{
    const int i = static_cast<unsigned char>(code) - FirstCode;
    return (i < 0 || i >= Size) ? -1 : i;
}

size_t AlleleTable::index(char code)
{
    // The reader admits only '*'..'z'; anything else is shown as the unknown code 'U'.
    const int i = indexOf(code);
    return static_cast<size_t>(i < 0 ? 'U' - FirstCode : i);
}

void AlleleTable::setColor(int i, Rgb color) { mEntries[static_cast<size_t>(i)].Color = color & 0xFFFFFF; }

void AlleleTable::setHatch(int i, int k)
{
    if (k < 0 || k >= static_cast<int>(HatchPatterns().size()))
        k = 0;
    auto &e = mEntries[static_cast<size_t>(i)];
    e.Hatch = k;
    e.HatchBrush = &HatchPatterns()[static_cast<size_t>(k)];
}

void AlleleTable::setLegend(int i, const std::string &text) { mEntries[static_cast<size_t>(i)].Legend = text; }

void AlleleTable::setNumval(int i, double value) { mEntries[static_cast<size_t>(i)].Numval = value; }

bool AlleleTable::setNumvalText(int i, std::string_view text)
{
    const std::optional<double> value = parseNumval(text);
    if (!value)
        return false;
    setNumval(i, *value);
    return true;
}

void AlleleTable::addDrawnLength(char code, double length) { lookup(code).DrawnLength += length; }

void AlleleTable::resetDrawnLengths()
{
    for (auto &e : mEntries)
        e.DrawnLength = 0.0;
}

void AlleleTable::clearUsed()
{
    for (auto &e : mEntries)
        e.Used = false;
}

void AlleleTable::markUsed(char code)
{
    if (const int i = indexOf(code); i >= 0)
        mEntries[static_cast<size_t>(i)].Used = true;
}

std::bitset<AlleleTable::Size> AlleleTable::usedFlags() const
{
    std::bitset<Size> flags;
    for (int i = 0; i < Size; ++i)
        flags[static_cast<size_t>(i)] = mEntries[static_cast<size_t>(i)].Used;
    return flags;
}

void AlleleTable::setUsedFlags(const std::bitset<Size> &flags)
{
    for (int i = 0; i < Size; ++i)
        mEntries[static_cast<size_t>(i)].Used = flags[static_cast<size_t>(i)];
}

std::optional<Rgb> AlleleTable::fixedDefaultColor(char code)
{
    switch (code) {
    case '0':
    case 'A':
        return rgb(255, 0, 0);
    case 'B':
    case '+':
        return rgb(0, 0, 128);
    case 'C':
        return rgb(166, 202, 240);
    case 'D':
        return rgb(128, 0, 0);
    case 'H':
        return rgb(192, 220, 192);
    case 'U':
    case '.':
        return rgb(192, 192, 192);
    default:
        return std::nullopt;
    }
}

double AlleleTable::defaultNumval(char code)
{
    switch (code) {
    case '1':
    case 'B':
        return 1.0;
    case 'A':
        return -1.0;
    case 'C':
        return 0.5;
    case 'D':
        return -0.5;
    case 'U':
    case '.':
        return MissingNumval;
    default: // '0', '+', 'H' and every other code
        return 0.0;
    }
}

AlleleTable::RandomDefault AlleleTable::drawRandomDefault(ProgramRandom &random)
{
    const int r = random.next(255);
    const int g = random.next(255);
    const int b = random.next(255);
    const int hatch = random.next(14);
    return {rgb(r, g, b), hatch};
}

void AlleleTable::setDefaults()
{
    ProgramRandom firstStart(0);
    setDefaults(firstStart);
}

void AlleleTable::setDefaults(ProgramRandom &random)
{
    for (int i = 0; i < Size; ++i) {
        const char code = codeOf(i);
        const RandomDefault drawn = drawRandomDefault(random);
        auto &e = mEntries[static_cast<size_t>(i)];
        const bool used = e.Used;
        e = Tcolorset{};
        e.Color = fixedDefaultColor(code).value_or(drawn.color);
        e.Numval = defaultNumval(code);
        e.Legend = std::string(1, code);
        e.Used = used;
        setHatch(i, drawn.hatch);
    }
}

} // namespace rvk
