#include "render/figurerun.h"

#include "core/textformat.h"

#include <algorithm>

namespace rvk {

namespace {

constexpr Rgb White = rgb(255, 255, 255);
constexpr Rgb Grey = rgb(128, 128, 128);

int roundInt(double value) { return static_cast<int>(roundHalfEven(value)); }

} // namespace

Rgb blendColour(Rgb a, Rgb b, int step, int steps)
{
    auto channel = [&](int ca, int cb) { return ca + roundInt(static_cast<double>(step) * (cb - ca) / steps); };
    return rgb(channel(redOf(a), redOf(b)), channel(greenOf(a), greenOf(b)), channel(blueOf(a), blueOf(b)));
}

FigureRun::FigureRun(DrawSurface &surface, Direction direction) : mSurface(surface), mDirection(direction) {}

void FigureRun::start()
{
    mPen = mSurface.pen();
    mBrush = mSurface.brush();
    mHasPending = false;
}

void FigureRun::usePen(const PenSpec &pen)
{
    if (pen == mPen)
        return;
    mSurface.setPen(pen);
    mPen = pen;
}

void FigureRun::useBrush(const BrushSpec &brush)
{
    if (brush == mBrush)
        return;
    if (brush.style == BrushSpec::Style::Pattern)
        mSurface.setBrushPattern(brush.pattern);
    else
        mSurface.setBrush(brush);
    mBrush = brush;
}

void FigureRun::lineAlong(int across, int from, int to)
{
    if (mDirection == Direction::Down) {
        mSurface.moveTo(across, from);
        mSurface.lineTo(across, to);
    } else {
        mSurface.moveTo(from, across);
        mSurface.lineTo(to, across);
    }
}

void FigureRun::draw(const Figure &f)
{
    switch (f.kind) {
    case Kind::Rectangle:
        usePen(f.pen);
        useBrush(f.brush);
        mSurface.rectangle(f.x1, f.y1, f.x2, f.y2);
        break;
    case Kind::FillRect:
        useBrush(f.brush);
        mSurface.fillRect(f.x1, f.y1, f.x2, f.y2);
        break;
    case Kind::RectangleThenFill:
        usePen(f.pen);
        useBrush(f.brush);
        mSurface.rectangle(f.x1, f.y1, f.x2, f.y2);
        mSurface.fillRect(f.x1, f.y1, f.x2, f.y2);
        break;
    case Kind::ThreeD: {
        usePen(f.pen);
        useBrush(f.brush);
        Figure inner = f;
        acrossStart(inner) += 2;
        acrossEnd(inner) -= 2;
        mSurface.rectangle(inner.x1, inner.y1, inner.x2, inner.y2);
        Figure box = f;
        const int from = alongStart(box);
        const int to = alongEnd(box);
        const int first = acrossStart(box);
        const int last = acrossEnd(box);
        PenSpec line = f.pen;
        line.style = PenSpec::Style::Solid;
        for (int i = 0; i < 4; ++i) {
            line.color = blendColour(White, f.pen.color, i, 4);
            usePen(line);
            lineAlong(first + i, from, to);
        }
        for (int i = 0; i < 4; ++i) {
            line.color = blendColour(f.pen.color, Grey, i, 4);
            usePen(line);
            lineAlong(last - 3 + i, from, to);
        }
        break;
    }
    }
}

void FigureRun::flush()
{
    if (!mHasPending)
        return;
    mHasPending = false;
    draw(mPending);
}

void FigureRun::add(const Figure &figure)
{
    Figure f = figure;
    if (alongEnd(f) == alongStart(f))
        return; // nothing to draw
    Figure &p = mPending;
    if (mHasPending && f.mergeable && p.mergeable && f.kind == p.kind && acrossStart(f) == acrossStart(p)
        && acrossEnd(f) == acrossEnd(p) && f.brush == p.brush && alongEnd(f) > alongStart(f) && alongEnd(p) > alongStart(p)) {
        if (f.kind == Kind::FillRect) {
            if (alongStart(f) >= alongStart(p) && alongStart(f) <= alongEnd(p)) {
                alongEnd(p) = std::max(alongEnd(p), alongEnd(f));
                return;
            }
        } else if (f.pen == p.pen && alongStart(f) == alongEnd(p)) {
            alongEnd(p) = alongEnd(f);
            return;
        }
    }
    flush();
    mPending = f;
    mHasPending = true;
}

void FigureRun::addGradient(Figure figure, Rgb from, Rgb to, int start, int steps)
{
    figure.kind = Kind::FillRect;
    figure.mergeable = true;
    for (int i = 0; i <= steps; ++i) {
        figure.brush.color = blendColour(from, to, i, steps);
        alongStart(figure) = start + i;
        alongEnd(figure) = start + i + 1;
        add(figure);
    }
}

bool FigureRun::outlineMatchesFill(const PenSpec &pen, const BrushSpec &brush)
{
    return brush.style == BrushSpec::Style::Solid && pen.color == brush.color && pen.width == 1
        && pen.style == PenSpec::Style::Solid;
}

} // namespace rvk
