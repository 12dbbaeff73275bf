#include "render/viewpicture.h"

#include "render/drawsurface.h"

#include <algorithm>
#include <cmath>

namespace rvk {

struct ViewPicture::Transform
{
    bool identity = true;
    int originX = 0;
    int originY = 0;
    double scaleX = 1.0;
    double scaleY = 1.0;
    double fontScale = 1.0;

    int x(std::int32_t value) const { return identity ? value : originX + static_cast<int>(std::lround(value * scaleX)); }
    int y(std::int32_t value) const { return identity ? value : originY + static_cast<int>(std::lround(value * scaleY)); }
    int penWidth(std::int32_t width) const
    {
        if (identity)
            return width;
        return std::max(1, static_cast<int>(std::lround(width * std::min(scaleX, scaleY))));
    }
    int fontSize(std::int32_t size) const
    {
        if (fontScale == 1.0)
            return size;
        return std::max(1, static_cast<int>(std::lround(size * fontScale)));
    }
};

void ViewPicture::clear()
{
    mWords.clear();
    mTexts.clear();
    mOperationCount = 0;
}

void ViewPicture::replay(DrawSurface &surface) const
{
    Transform transform;
    transform.fontScale = 96.0 / surface.fontResolution();
    play(surface, transform);
}

void ViewPicture::replay(DrawSurface &surface, int x1, int y1, int x2, int y2) const
{
    if (mWidth <= 0 || mHeight <= 0)
        return;
    Transform transform;
    transform.originX = x1;
    transform.originY = y1;
    transform.scaleX = static_cast<double>(x2 - x1) / mWidth;
    transform.scaleY = static_cast<double>(y2 - y1) / mHeight;
    transform.identity = x1 == 0 && y1 == 0 && x2 == mWidth && y2 == mHeight;
    transform.fontScale = transform.scaleY * 96.0 / surface.fontResolution();
    play(surface, transform);
}

void ViewPicture::play(DrawSurface &surface, const Transform &t) const
{
    const PenSpec savedPen = surface.pen();
    const BrushSpec savedBrush = surface.brush();
    const FontDescription savedFont = surface.font();
    surface.setPen(PenSpec{});
    surface.setBrush(BrushSpec{});
    FontDescription startFont;
    startFont.size = t.fontSize(startFont.size);
    surface.setFont(startFont);
    surface.moveTo(t.x(0), t.y(0));

    const std::int32_t *w = mWords.data();
    const std::int32_t *end = w + mWords.size();
    auto text = [this](std::int32_t offset, std::int32_t length) {
        return mTexts.substr(static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length));
    };
    while (w < end) {
        switch (static_cast<Op>(w[0])) {
        case Op::SetPen:
            surface.setPen(PenSpec{static_cast<Rgb>(w[1]), t.penWidth(w[2]), static_cast<PenSpec::Style>(w[3])});
            w += 4;
            break;
        case Op::SetBrush:
            surface.setBrush(BrushSpec{static_cast<Rgb>(w[1]), static_cast<BrushSpec::Style>(w[2]), w[3]});
            w += 4;
            break;
        case Op::SetFont:
            surface.setFont(fontWithStyleBits(text(w[1], w[2]), t.fontSize(w[3]), static_cast<Rgb>(w[4]), w[5]));
            w += 6;
            break;
        case Op::MoveTo:
            surface.moveTo(t.x(w[1]), t.y(w[2]));
            w += 3;
            break;
        case Op::LineTo:
            surface.lineTo(t.x(w[1]), t.y(w[2]));
            w += 3;
            break;
        case Op::Rectangle:
            surface.rectangle(t.x(w[1]), t.y(w[2]), t.x(w[3]), t.y(w[4]));
            w += 5;
            break;
        case Op::FillRect:
            surface.fillRect(t.x(w[1]), t.y(w[2]), t.x(w[3]), t.y(w[4]));
            w += 5;
            break;
        case Op::Pie:
            surface.pie(t.x(w[1]), t.y(w[2]), t.x(w[3]), t.y(w[4]), t.x(w[5]), t.y(w[6]), t.x(w[7]), t.y(w[8]));
            w += 9;
            break;
        case Op::Arc:
            surface.arc(t.x(w[1]), t.y(w[2]), t.x(w[3]), t.y(w[4]), t.x(w[5]), t.y(w[6]), t.x(w[7]), t.y(w[8]));
            w += 9;
            break;
        case Op::TextOut:
            surface.textOut(t.x(w[1]), t.y(w[2]), text(w[3], w[4]));
            w += 5;
            break;
        case Op::TextOutRotated:
            surface.textOutRotated(t.x(w[1]), t.y(w[2]), text(w[3], w[4]), w[5]);
            w += 6;
            break;
        default:
            // A word that is no operation means a damaged picture: stop rather than misread.
            w = end;
            break;
        }
    }

    surface.setPen(savedPen);
    surface.setBrush(savedBrush);
    surface.setFont(savedFont);
}

} // namespace rvk
