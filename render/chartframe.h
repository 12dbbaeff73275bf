#pragma once
// The frame every chart of the analyses starts with: a white background and the title centred
// at the top in the chart font's bold, one size up.

#include "render/drawsurface.h"
#include "settings/fontdescription.h"

#include <string>

namespace rvk {

// Paints the background and the title, leaves the surface with the chart font (Arial 8) set and
// returns that font for the axis texts.
FontDescription paintChartFrame(DrawSurface &surface, int width, int height, const std::string &title);

} // namespace rvk
