#include "render/chartframe.h"

namespace rvk {

FontDescription paintChartFrame(DrawSurface &s, int width, int height, const std::string &title)
{
    s.setPen({rgb(255, 255, 255), 1, PenSpec::Style::Solid});
    s.setBrush({rgb(255, 255, 255), BrushSpec::Style::Solid});
    s.fillRect(0, 0, width, height);
    FontDescription font;
    font.name = "Arial";
    font.size = 8;
    FontDescription titleFont = font;
    titleFont.size = 10;
    titleFont.bold = true;
    s.setFont(titleFont);
    s.textOut((width - s.textWidth(title)) / 2, 8, title);
    s.setFont(font);
    return font;
}

} // namespace rvk
