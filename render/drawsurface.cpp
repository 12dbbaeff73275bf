#include "render/drawsurface.h"

#include <cmath>
#include <numbers>

namespace rvk {

BrushSpec patternBrushSpec(int k)
{
    BrushSpec brush;
    const auto &patterns = HatchPatterns();
    if (k < 0 || k >= static_cast<int>(patterns.size()) || patterns[static_cast<size_t>(k)].empty) {
        brush.style = BrushSpec::Style::Clear;
        return brush;
    }
    brush.style = BrushSpec::Style::Pattern;
    brush.pattern = k;
    return brush;
}

BrushSpec withBrushColor(BrushSpec brush, Rgb color)
{
    brush.color = color;
    if (brush.style == BrushSpec::Style::Clear || brush.style == BrushSpec::Style::Pattern)
        brush.style = BrushSpec::Style::Solid;
    brush.pattern = -1;
    return brush;
}

BrushSpec withBrushStyle(BrushSpec brush, BrushSpec::Style style)
{
    if (style == BrushSpec::Style::Pattern) {
        // A pattern style needs a pattern; without one the brush stays as it is.
        return brush.pattern >= 0 ? patternBrushSpec(brush.pattern) : brush;
    }
    brush.style = style;
    brush.pattern = -1;
    if (style == BrushSpec::Style::Clear)
        brush.color = rgb(255, 255, 255);
    return brush;
}

int normalizedTextAngle(int angle)
{
    angle %= 360;
    return angle < 0 ? angle + 360 : angle;
}

TextCornerOffset rotatedTextOffset(int angle, int width, int height)
{
    const double rad = std::numbers::pi / 180.0;
    const double a = angle;
    const int w = width;
    const int h = height;
    TextCornerOffset offset;
    if (angle <= 90) {
        offset.dy = static_cast<int>(std::sin(a * rad) * w);
    } else if (angle <= 180) {
        offset.dx = static_cast<int>(-std::cos(a * rad) * w);
        offset.dy = static_cast<int>(std::cos((180 - a) * rad) * h + std::sin(a * rad) * w);
    } else if (angle <= 270) {
        offset.dx = static_cast<int>(std::sin((a - 180) * rad) * h - std::cos(a * rad) * w);
        offset.dy = static_cast<int>(std::sin((270 - a) * rad) * h);
    } else {
        offset.dx = static_cast<int>(std::sin((360 - a) * rad) * h);
    }
    return offset;
}

void DrawSurface::setBrushColor(Rgb color) { setBrush(withBrushColor(brush(), color)); }

void DrawSurface::setBrushStyle(BrushSpec::Style style) { setBrush(withBrushStyle(brush(), style)); }

void DrawSurface::setPenColor(Rgb color)
{
    PenSpec p = pen();
    p.color = color;
    setPen(p);
}

void DrawSurface::setFontSize(int size)
{
    FontDescription f = font();
    f.size = size;
    setFont(f);
}

void DrawSurface::setFontColor(Rgb color)
{
    FontDescription f = font();
    f.color = color;
    setFont(f);
}

void DrawSurface::setFontBold(bool bold)
{
    FontDescription f = font();
    f.bold = bold;
    setFont(f);
}

} // namespace rvk
