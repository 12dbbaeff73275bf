#pragma once

#include "settings/alleletable.h"
#include "settings/fontdescription.h"

#include <string>

namespace rvk {

class ViewPicture;

struct PenSpec
{
    enum class Style { Solid, Dotted, None };
    Rgb color = 0;
    int width = 1;
    Style style = Style::Solid;
    bool operator==(const PenSpec &) const = default;
};

struct BrushSpec
{
    enum class Style { Solid, Clear, DiagonalRising, DiagonalFalling, Cross, DiagonalCross, Horizontal, Vertical, Pattern };
    Rgb color = rgb(255, 255, 255);
    Style style = Style::Solid;
    int pattern = -1; // index into HatchPatterns() when style is Pattern
    bool operator==(const BrushSpec &) const = default;
};

// The 2D surface every picture of the program is painted through: integer pixels, origin top
// left, y downwards. It holds a current pen, brush, font and point. Right and bottom edges of
// rectangles are exclusive and the end point of a line is not painted.
class DrawSurface
{
public:
    virtual ~DrawSurface() = default;

    virtual void setPen(const PenSpec &pen) = 0;
    virtual void setBrush(const BrushSpec &brush) = 0;
    // A brush of HatchPatterns entry k: 0 bits in the font colour, 1 bits in the brush colour.
    // Entry 7 sets the clear style.
    virtual void setBrushPattern(int k) = 0;
    virtual void setFont(const FontDescription &font) = 0;

    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;
    virtual void rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void fillRect(int x1, int y1, int x2, int y2) = 0;
    virtual void pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
    virtual void arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
    virtual void textOut(int x, int y, const std::string &text) = 0;
    virtual int textWidth(const std::string &text) = 0;
    virtual int textHeight(const std::string &text) = 0;
    virtual void textOutRotated(int x, int y, const std::string &text, int angle) = 0;
    virtual void drawPicture(const ViewPicture &picture, int x1, int y1, int x2, int y2) = 0;

    // Current state, for painters that change one property at a time.
    virtual PenSpec pen() const = 0;
    virtual BrushSpec brush() const = 0;
    virtual FontDescription font() const = 0;

    // Pixels per inch at which this surface turns font points into pixels. A recorded picture
    // measures its texts at 96; replaying it onto a finer device scales its fonts by this.
    virtual int fontResolution() const { return 96; }

    // Changing only the brush colour keeps a hatch style, turns a clear brush solid and drops a
    // pattern (the brush becomes solid); setting the clear style makes the brush colour white.
    void setBrushColor(Rgb color);
    void setBrushStyle(BrushSpec::Style style);
    void setPenColor(Rgb color);
    void setFontSize(int size);
    void setFontColor(Rgb color);
    void setFontBold(bool bold);
};

// The angle of textOutRotated brought into 0 .. 359 degrees.
int normalizedTextAngle(int angle);
// Where textOutRotated puts the text's own top-left corner, relative to (x, y), for a text
// width x height turned counter-clockwise by angle (0 .. 359) degrees: the turned text stays
// right of and below (x, y); for 270 it fills x .. x + height, y .. y + width.
struct TextCornerOffset
{
    int dx = 0;
    int dy = 0;
};
TextCornerOffset rotatedTextOffset(int angle, int width, int height);

// The brush that setBrushPattern(k) selects: like a fresh brush, its colour is white, so the
// pattern paints in the font colour on white. Entry 7 (no pattern) gives the clear brush.
BrushSpec patternBrushSpec(int k);
// The brush after changing only its colour, or only its style (see DrawSurface::setBrushColor).
BrushSpec withBrushColor(BrushSpec brush, Rgb color);
BrushSpec withBrushStyle(BrushSpec brush, BrushSpec::Style style);

} // namespace rvk
