#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace rvk {

// A colour as the settings files store it: R + 256 * G + 65536 * B.
using Rgb = std::uint32_t;
constexpr Rgb rgb(int r, int g, int b) { return static_cast<Rgb>(r) | (static_cast<Rgb>(g) << 8) | (static_cast<Rgb>(b) << 16); }
constexpr int redOf(Rgb c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(Rgb c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(Rgb c) { return static_cast<int>((c >> 16) & 0xFF); }

// One 8 x 8 one-bit pattern for black-and-white drawing: rows top first, most significant bit
// leftmost; a 0 bit is ink, a 1 bit background. Entry 7 has no pattern (paints nothing).
struct HatchPattern
{
    std::array<std::uint8_t, 8> rows{};
    bool empty = false;
};
const std::array<HatchPattern, 16> &HatchPatterns();

constexpr double MissingNumval = -99.0;

// The display properties and numeric value of one genotype code.
struct Tcolorset
{
    Rgb Color = 0;
    const HatchPattern *HatchBrush = nullptr; // always &HatchPatterns()[Hatch]
    int Hatch = 0;
    double DrawnLength = 0.0;
    std::string Legend;
    bool Used = false;
    double Numval = 0.0;

    bool isMissing() const { return Numval == MissingNumval; }
};

// The 81 allele definitions, entry c - 42 for code c.
class AlleleTable
{
public:
    static constexpr int Size = 81;

    AlleleTable(); // the first-start defaults

    Tcolorset &lookup(char code) { return mEntries[index(code)]; }
    const Tcolorset &lookup(char code) const { return mEntries[index(code)]; }
    Tcolorset &entry(int i) { return mEntries[static_cast<size_t>(i)]; }
    const Tcolorset &entry(int i) const { return mEntries[static_cast<size_t>(i)]; }

    void setColor(int i, Rgb color);
    void setHatch(int i, int k);
    void setLegend(int i, const std::string &text);
    void setNumval(int i, double value);
    void resetDrawnLengths();
    void clearUsed();
    // Sets Used of entry i when bit i is set.
    template <typename Bits> void markUsed(const Bits &codes)
    {
        for (int i = 0; i < Size; ++i)
            if (codes.test(static_cast<size_t>(i)))
                mEntries[static_cast<size_t>(i)].Used = true;
    }

    // Restores the first-start defaults (the same pseudo-random colours and hatches every time).
    void setDefaults();

private:
    static size_t index(char code);
    std::array<Tcolorset, Size> mEntries;
};

} // namespace rvk
