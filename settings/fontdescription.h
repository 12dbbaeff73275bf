#pragma once

#include "settings/alleletable.h"

#include <string>

namespace rvk {

// A font as the settings and the drawing surface know it.
struct FontDescription
{
    std::string name = "Arial";
    int size = 8; // points
    Rgb color = 0;
    bool bold = false;
    // Kept while the program runs (the font dialogs set them); the settings files store only
    // name, size and colour.
    bool italic = false;
    bool underline = false;
    bool operator==(const FontDescription &) const = default;
};

// The style flags of a font as one number (bold 1, italic 2, underline 4), as recorded pictures
// keep them, and back.
inline int fontStyleBits(const FontDescription &font)
{
    return (font.bold ? 1 : 0) | (font.italic ? 2 : 0) | (font.underline ? 4 : 0);
}
inline FontDescription fontWithStyleBits(std::string name, int size, Rgb color, int bits)
{
    FontDescription font{std::move(name), size, color, (bits & 1) != 0};
    font.italic = (bits & 2) != 0;
    font.underline = (bits & 4) != 0;
    return font;
}

// The caption of a font's sample label: the name and the size in points, "Arial (8)".
std::string fontCaption(const FontDescription &font);

} // namespace rvk
