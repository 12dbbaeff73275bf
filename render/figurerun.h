#pragma once
// The figures a bar or an all-in-one row is painted with, handed over one after another along
// the bar (downwards) or the row (rightwards). Consecutive figures that would paint exactly the
// same pixels as one figure are drawn as one, so a recorded picture grows with the number of
// allele changes rather than with the number of markers or pixel rows.

#include "render/drawsurface.h"

namespace rvk {

// a + round(step * (b - a) / steps) per channel: the colour runs of gradients and 3D shading.
Rgb blendColour(Rgb a, Rgb b, int step, int steps);

class FigureRun
{
public:
    enum class Direction { Down, Right };
    enum class Kind {
        Rectangle,
        FillRect,
        RectangleThenFill, // the outline, then the interior filled over it
        ThreeD,            // a rectangle narrowed by 2 across the run, shaded light to dark across
    };
    struct Figure
    {
        Kind kind = Kind::Rectangle;
        BrushSpec brush;
        PenSpec pen;
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        bool mergeable = false; // may join a neighbour along the run
    };

    FigureRun(DrawSurface &surface, Direction direction);

    // Starts a run from the surface's current pen and brush.
    void start();
    // A figure without extent along the run paints nothing and is dropped.
    void add(const Figure &figure);
    // steps + 1 one-pixel fills from start along the run, the brush colour running from from
    // to to; the figure gives the brush style and the extent across the run.
    void addGradient(Figure figure, Rgb from, Rgb to, int start, int steps);
    // A solid one-pixel outline in the brush's colour paints nothing a fill would not, so such
    // figures may join.
    static bool outlineMatchesFill(const PenSpec &pen, const BrushSpec &brush);
    // Draws the figure in hand, if any.
    void flush();

    bool hasPending() const { return mHasPending; }
    Figure &pending() { return mPending; }

    // Give the surface a pen or brush only when it differs from the last one given.
    void usePen(const PenSpec &pen);
    void useBrush(const BrushSpec &brush);
    const PenSpec &pen() const { return mPen; }
    const BrushSpec &brush() const { return mBrush; }

private:
    void draw(const Figure &figure);
    int &alongStart(Figure &f) const { return mDirection == Direction::Down ? f.y1 : f.x1; }
    int &alongEnd(Figure &f) const { return mDirection == Direction::Down ? f.y2 : f.x2; }
    int &acrossStart(Figure &f) const { return mDirection == Direction::Down ? f.x1 : f.y1; }
    int &acrossEnd(Figure &f) const { return mDirection == Direction::Down ? f.x2 : f.y2; }
    // A line along the run, across the run at position across.
    void lineAlong(int across, int from, int to);

    DrawSurface &mSurface;
    Direction mDirection;
    bool mHasPending = false;
    Figure mPending;
    PenSpec mPen;
    BrushSpec mBrush;
};

} // namespace rvk
