#include "settings/alleletable.h"

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

size_t AlleleTable::index(char code)
{
    int i = static_cast<unsigned char>(code) - 42;
    if (i < 0 || i >= Size)
        i = 'U' - 42;
    return static_cast<size_t>(i);
}

void AlleleTable::setColor(int i, Rgb color) { mEntries[static_cast<size_t>(i)].Color = color; }
void AlleleTable::setHatch(int i, int k)
{
    auto &e = mEntries[static_cast<size_t>(i)];
    e.Hatch = k;
    e.HatchBrush = &HatchPatterns()[static_cast<size_t>(k)];
}
void AlleleTable::setLegend(int i, const std::string &text) { mEntries[static_cast<size_t>(i)].Legend = text; }
void AlleleTable::setNumval(int i, double value) { mEntries[static_cast<size_t>(i)].Numval = value; }
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

void AlleleTable::setDefaults()
{
    // Placeholder defaults until the settings layer builds the real table.
    for (int i = 0; i < Size; ++i) {
        auto &e = mEntries[static_cast<size_t>(i)];
        e = Tcolorset{};
        e.Legend = std::string(1, static_cast<char>(i + 42));
        setHatch(i, 0);
    }
}

} // namespace rvk
