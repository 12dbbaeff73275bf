#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rvk {

class ProgramRandom;

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

// How colour drawing with "use hatch" hatches an allele: hatch lines in the allele's colour on a
// transparent background. Hatch numbers 0 and 7..15 have no line style and fill solid.
enum class ColorHatchStyle { Solid, DiagonalRising, Cross, DiagonalCross, DiagonalFalling, Horizontal, Vertical };
constexpr ColorHatchStyle colorHatchStyle(int hatch)
{
    switch (hatch) {
    case 1: return ColorHatchStyle::DiagonalRising;   // slash
    case 2: return ColorHatchStyle::Cross;            // +
    case 3: return ColorHatchStyle::DiagonalCross;    // x
    case 4: return ColorHatchStyle::DiagonalFalling;  // backslash
    case 5: return ColorHatchStyle::Horizontal;
    case 6: return ColorHatchStyle::Vertical;
    default: return ColorHatchStyle::Solid;
    }
}

// The numeric value that marks missing data, compared exactly: -99 and -99.00 are missing,
// -99.5 is an observation.
constexpr double MissingNumval = -99.0;

// The allele list's text of a Numval: two decimals with a decimal point.
std::string formatNumval(double value);
// The value of a typed Numval text: a number with "." as decimal point (sign, exponent and
// surrounding blanks allowed, "-99" as well as "-99.00"); nothing for any other text, which
// leaves the Numval as it was.
std::optional<double> parseNumval(std::string_view text);

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
    static constexpr int FirstCode = 42; // '*'; the last code is 'z' (122)

    AlleleTable(); // the first-start defaults

    static char codeOf(int i) { return static_cast<char>(i + FirstCode); }
    // The entry index of a code, or -1 for a character outside '*'..'z'.
    static int indexOf(char code);

    Tcolorset &lookup(char code) { return mEntries[index(code)]; }
    const Tcolorset &lookup(char code) const { return mEntries[index(code)]; }
    Tcolorset &entry(int i) { return mEntries[static_cast<size_t>(i)]; }
    const Tcolorset &entry(int i) const { return mEntries[static_cast<size_t>(i)]; }

    void setColor(int i, Rgb color);
    void setHatch(int i, int k);
    void setLegend(int i, const std::string &text);
    void setNumval(int i, double value);
    // The list's Numval edit: takes the value when text is a number, else keeps the old one.
    // Returns whether the value was taken.
    bool setNumvalText(int i, std::string_view text);
    // Adds the cM length drawn with code (the views' tally for the current-view statistics).
    void addDrawnLength(char code, double length);
    void resetDrawnLengths();
    void clearUsed();
    // Sets Used of entry i when bit i is set.
    template <typename Bits> void markUsed(const Bits &codes)
    {
        for (int i = 0; i < Size; ++i)
            if (codes.test(static_cast<size_t>(i)))
                mEntries[static_cast<size_t>(i)].Used = true;
    }

    void markUsed(char code);
    void setUsed(int i, bool used) { mEntries[static_cast<size_t>(i)].Used = used; }
    std::bitset<Size> usedFlags() const;
    void setUsedFlags(const std::bitset<Size> &flags);

    // Restores the first-start defaults (the same pseudo-random colours and hatches every time,
    // drawn from a generator at seed 0). Used flags are kept.
    void setDefaults();
    // The same with the draws taken from random: for each entry in order three colour draws
    // (R, G, B, each 0..254) and one hatch draw (0..13), whether or not the entry has a fixed
    // colour, so a code's default never depends on the other entries.
    void setDefaults(ProgramRandom &random);

    // The fixed default colour of the codes '0', 'A', 'B', '+', 'C', 'D', 'H', 'U', '.'.
    static std::optional<Rgb> fixedDefaultColor(char code);
    // -99 for 'U' and '.', the fixed values of '0', '1', 'A', 'B', 'C', 'D', 'H', else 0.
    static double defaultNumval(char code);
    // One pseudo-random default: colour and hatch, in the order the loader draws them.
    struct RandomDefault
    {
        Rgb color;
        int hatch; // 0..13
    };
    static RandomDefault drawRandomDefault(ProgramRandom &random);

private:
    static size_t index(char code);
    std::array<Tcolorset, Size> mEntries;
};

} // namespace rvk
