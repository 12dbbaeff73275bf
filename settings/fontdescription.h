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
    bool operator==(const FontDescription &) const = default;
};

// The caption of a font's sample label: the name and the size in points, "Arial (8)".
std::string fontCaption(const FontDescription &font);

} // namespace rvk
