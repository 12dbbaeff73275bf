#include "settings/drawingoptions.h"

namespace rvk {

void DrawingOptions::setDrawMarkers(bool on)
{
    drawmarkers = on;
    markspace = on ? MarkspaceWithNames : MarkspaceWithoutNames;
}

void DrawingOptions::setColorMode(ColorMode mode)
{
    colorMode = mode;
    if (mode == ColorMode::BlackAndWhite && Fillstyle == FillStyle::Discrete)
        Fillstyle = FillStyle::Gradient;
    else if (mode != ColorMode::BlackAndWhite && Fillstyle == FillStyle::Gradient)
        Fillstyle = FillStyle::Discrete;
}

namespace {
void makeUsable(FontDescription &font)
{
    const FontDescription defaults;
    if (font.name.empty())
        font.name = defaults.name;
    if (font.size <= 0)
        font.size = defaults.size;
    font.color &= 0xFFFFFF;
}
} // namespace

void DrawingOptions::clampToRanges()
{
    barwidth = barwidthRange.clamp(barwidth);
    qtlbarwidth = qtlbarwidthRange.clamp(qtlbarwidth);
    space = spaceRange.clamp(space);
    markspace = markspaceRange.clamp(markspace);
    markskip = markskipRange.clamp(markskip);
    Lenmul = LenmulRange.clamp(Lenmul);
    topmargin = topmarginRange.clamp(topmargin);
    bottommargin = bottommarginRange.clamp(bottommargin);
    labelfreq = labelfreqRange.clamp(labelfreq);
    makeUsable(markerFont);
    makeUsable(qtlFont);
}

} // namespace rvk
