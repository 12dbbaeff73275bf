#pragma once

#include "render/drawsurface.h"
#include "render/fontresolver.h"

#include <QBrush>
#include <QPainter>
#include <QPoint>

#include <memory>

class QPaintDevice;

namespace rvk {

// The surface over a QPainter on any paint device: a bitmap (QImage), the printer page
// (QPrinter), an SVG (QSvgGenerator at 96 dpi) or a PDF (QPdfWriter). It draws pixel-exact, with
// antialiasing off: rectangles cover x1..x2-1, y1..y2-1, lines leave out their end point, hatch
// and pattern brushes repeat every 8 pixels from the device origin. Fonts are in points at the
// device's resolution (96 on a bitmap).
class PainterSurface : public DrawSurface
{
public:
    // Paints on the device with a painter of its own, ended when the surface goes.
    explicit PainterSurface(QPaintDevice &device);
    // Paints through a painter the caller began (and may use for new printer pages).
    explicit PainterSurface(QPainter &painter);
    ~PainterSurface() override;
    PainterSurface(const PainterSurface &) = delete;
    PainterSurface &operator=(const PainterSurface &) = delete;

    bool isActive() const { return mPainter->isActive(); }
    QPainter &painter() { return *mPainter; }
    int fontResolution() const override { return mDotsPerInch; }

    void setPen(const PenSpec &pen) override;
    void setBrush(const BrushSpec &brush) override;
    void setBrushPattern(int k) override;
    void setFont(const FontDescription &font) override;

    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void fillRect(int x1, int y1, int x2, int y2) override;
    void pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void textOut(int x, int y, const std::string &text) override;
    int textWidth(const std::string &text) override;
    int textHeight(const std::string &text) override;
    void textOutRotated(int x, int y, const std::string &text, int angle) override;
    void drawPicture(const ViewPicture &picture, int x1, int y1, int x2, int y2) override;

    PenSpec pen() const override { return mPen; }
    BrushSpec brush() const override { return mBrush; }
    FontDescription font() const override { return mFont; }

private:
    void start();
    QPen qtPen() const;
    const QBrush &qtBrush();
    QBrush vectorFallbackBrush() const;
    void fillBox(int x1, int y1, int x2, int y2);
    void drawEllipsePart(bool pie, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void drawText(int x, int y, const std::string &text, int angle);

    std::unique_ptr<QPainter> mOwnPainter;
    QPainter *mPainter = nullptr;
    int mDotsPerInch = 96;
    // An SVG writer drops texture brushes, so hatched and patterned areas go out as images.
    bool mTexturesAsImages = false;
    PenSpec mPen;
    BrushSpec mBrush;
    FontDescription mFont;
    QPoint mCurrent;
    FontCache mFonts;
    QBrush mQtBrush;
    bool mQtBrushValid = false;
};

// The 8 x 8 line pattern of a hatch style, rows top first, most significant bit leftmost, a 1
// bit on the hatch line (the patterns of the old platform's hatch brushes).
const std::uint8_t *hatchRows(BrushSpec::Style style);

} // namespace rvk
