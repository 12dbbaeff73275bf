#include "render/paintersurface.h"

#include "render/viewpicture.h"

#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace rvk {

namespace {

QColor qtColor(Rgb color) { return QColor(redOf(color), greenOf(color), blueOf(color)); }

QImage patternTexture(const std::uint8_t *rows, QRgb zeroColor, QRgb oneColor)
{
    QImage texture(8, 8, QImage::Format_Mono);
    texture.setColorTable({zeroColor, oneColor});
    for (int r = 0; r < 8; ++r)
        texture.scanLine(r)[0] = rows[r];
    return texture;
}

} // namespace

const std::uint8_t *hatchRows(BrushSpec::Style style)
{
    static const std::uint8_t horizontal[8] = {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00};
    static const std::uint8_t vertical[8] = {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08};
    static const std::uint8_t falling[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
    static const std::uint8_t rising[8] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
    static const std::uint8_t cross[8] = {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08};
    static const std::uint8_t diagonalCross[8] = {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81};
    switch (style) {
    case BrushSpec::Style::Horizontal: return horizontal;
    case BrushSpec::Style::Vertical: return vertical;
    case BrushSpec::Style::DiagonalFalling: return falling;
    case BrushSpec::Style::DiagonalRising: return rising;
    case BrushSpec::Style::Cross: return cross;
    case BrushSpec::Style::DiagonalCross: return diagonalCross;
    default: return nullptr;
    }
}

PainterSurface::PainterSurface(QPaintDevice &device)
    : mOwnPainter(std::make_unique<QPainter>(&device)), mPainter(mOwnPainter.get())
{
    start();
}

PainterSurface::PainterSurface(QPainter &painter) : mPainter(&painter) { start(); }

PainterSurface::~PainterSurface()
{
    if (mOwnPainter && mOwnPainter->isActive())
        mOwnPainter->end();
}

void PainterSurface::start()
{
    if (const QPaintDevice *device = mPainter->device())
        mDotsPerInch = std::max(1, device->logicalDpiY());
    mFonts = FontCache(mDotsPerInch);
    if (mPainter->isActive()) {
        mPainter->setRenderHint(QPainter::Antialiasing, false);
        mPainter->setRenderHint(QPainter::TextAntialiasing, false);
        mPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
        mPainter->setBrushOrigin(0, 0);
        mTexturesAsImages = mPainter->paintEngine() && mPainter->paintEngine()->type() == QPaintEngine::SVG;
    }
}

void PainterSurface::setPen(const PenSpec &pen) { mPen = pen; }

void PainterSurface::setBrush(const BrushSpec &brush)
{
    if (brush == mBrush)
        return;
    mBrush = brush;
    mQtBrushValid = false;
}

void PainterSurface::setBrushPattern(int k) { setBrush(patternBrushSpec(k)); }

void PainterSurface::setFont(const FontDescription &font)
{
    if (font.color != mFont.color && mBrush.style == BrushSpec::Style::Pattern)
        mQtBrushValid = false; // the pattern's ink is the font colour
    mFont = font;
}

QPen PainterSurface::qtPen() const
{
    if (mPen.style == PenSpec::Style::None)
        return QPen(Qt::NoPen);
    // One-pixel pens are cosmetic: one device pixel wide on every device, as on the old surfaces.
    QPen pen(qtColor(mPen.color));
    pen.setWidth(mPen.width <= 1 ? 0 : mPen.width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    // Dotted lines are thin, as on the old platform, where only one-pixel pens can be dotted.
    if (mPen.style == PenSpec::Style::Dotted) {
        pen.setWidth(0);
        pen.setDashPattern({3.0, 3.0});
    }
    return pen;
}

const QBrush &PainterSurface::qtBrush()
{
    if (mQtBrushValid)
        return mQtBrush;
    switch (mBrush.style) {
    case BrushSpec::Style::Solid:
        mQtBrush = QBrush(qtColor(mBrush.color));
        break;
    case BrushSpec::Style::Clear:
        mQtBrush = QBrush(Qt::NoBrush);
        break;
    case BrushSpec::Style::Pattern: {
        const auto &patterns = HatchPatterns();
        if (mBrush.pattern < 0 || mBrush.pattern >= static_cast<int>(patterns.size()) ||
            patterns[static_cast<size_t>(mBrush.pattern)].empty) {
            mQtBrush = QBrush(Qt::NoBrush);
            break;
        }
        const auto &rows = patterns[static_cast<size_t>(mBrush.pattern)].rows;
        mQtBrush = QBrush(patternTexture(rows.data(), qtColor(mFont.color).rgb(), qtColor(mBrush.color).rgb()));
        break;
    }
    default:
        mQtBrush = QBrush(patternTexture(hatchRows(mBrush.style), qRgba(0, 0, 0, 0), qtColor(mBrush.color).rgb()));
        break;
    }
    mQtBrushValid = true;
    return mQtBrush;
}

// Without texture brushes (SVG) a curved figure is filled in one colour: the hatch lines' or
// the pattern's background colour.
QBrush PainterSurface::vectorFallbackBrush() const
{
    if (mBrush.style == BrushSpec::Style::Clear)
        return QBrush(Qt::NoBrush);
    return QBrush(qtColor(mBrush.color));
}

void PainterSurface::fillBox(int x1, int y1, int x2, int y2)
{
    if (x2 <= x1 || y2 <= y1 || mBrush.style == BrushSpec::Style::Clear)
        return;
    const QRect box(x1, y1, x2 - x1, y2 - y1);
    const QBrush &brush = qtBrush();
    if (brush.style() == Qt::NoBrush)
        return;
    if (brush.style() == Qt::TexturePattern && mTexturesAsImages) {
        QImage tile(box.size(), QImage::Format_ARGB32_Premultiplied);
        tile.fill(Qt::transparent);
        QPainter tilePainter(&tile);
        tilePainter.setBrushOrigin(-x1, -y1);
        tilePainter.fillRect(tile.rect(), brush);
        tilePainter.end();
        mPainter->drawImage(box.topLeft(), tile);
        return;
    }
    mPainter->fillRect(box, brush);
}

void PainterSurface::moveTo(int x, int y) { mCurrent = QPoint(x, y); }

void PainterSurface::lineTo(int x, int y)
{
    const QPoint from = mCurrent;
    mCurrent = QPoint(x, y);
    if (mPen.style == PenSpec::Style::None || from == mCurrent)
        return;
    const int dx = x - from.x();
    const int dy = y - from.y();
    const int major = std::max(std::abs(dx), std::abs(dy));
    if (mPen.style == PenSpec::Style::Solid && (dx == 0 || dy == 0)) {
        // Straight lines are spans of pixels from the start up to, not including, the end; a
        // wide pen grows upwards and to the left first.
        const int width = std::max(1, mPen.width);
        const int stepX = (dx > 0) - (dx < 0);
        const int stepY = (dy > 0) - (dy < 0);
        const int lastX = x - stepX;
        const int lastY = y - stepY;
        QRect span(QPoint(std::min(from.x(), lastX), std::min(from.y(), lastY)),
                   QPoint(std::max(from.x(), lastX), std::max(from.y(), lastY)));
        if (dy == 0)
            span.adjust(0, -(width / 2), 0, (width - 1) / 2);
        else
            span.adjust(-(width / 2), 0, (width - 1) / 2, 0);
        mPainter->fillRect(span, qtColor(mPen.color));
        return;
    }
    // Other lines run to one step short of the end point, both ends painted.
    QPen pen = qtPen();
    pen.setCapStyle(pen.widthF() <= 1 ? Qt::SquareCap : Qt::FlatCap);
    mPainter->setPen(pen);
    const QPointF last(x - static_cast<double>(dx) / major, y - static_cast<double>(dy) / major);
    if (pen.widthF() <= 1)
        mPainter->drawLine(QLineF(from, last));
    else
        mPainter->drawLine(QLineF(from, QPointF(x, y)));
}

void PainterSurface::rectangle(int x1, int y1, int x2, int y2)
{
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    if (x2 <= x1 || y2 <= y1)
        return;
    fillBox(x1, y1, x2, y2);
    if (mPen.style == PenSpec::Style::None)
        return;
    if (mPen.style == PenSpec::Style::Dotted || mPen.width <= 1) {
        mPainter->setPen(qtPen());
        mPainter->setBrush(Qt::NoBrush);
        if (x2 - x1 == 1 || y2 - y1 == 1)
            mPainter->fillRect(QRect(x1, y1, x2 - x1, y2 - y1), qtColor(mPen.color));
        else
            mPainter->drawRect(QRectF(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
        return;
    }
    // A wide border lies inside the box, so the box keeps its size.
    const int w = std::min({mPen.width, x2 - x1, y2 - y1});
    const QColor color = qtColor(mPen.color);
    mPainter->fillRect(QRect(x1, y1, x2 - x1, w), color);
    mPainter->fillRect(QRect(x1, y2 - w, x2 - x1, w), color);
    mPainter->fillRect(QRect(x1, y1, w, y2 - y1), color);
    mPainter->fillRect(QRect(x2 - w, y1, w, y2 - y1), color);
}

void PainterSurface::fillRect(int x1, int y1, int x2, int y2) { fillBox(x1, y1, x2, y2); }

void PainterSurface::drawEllipsePart(bool pie, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    if (x2 - x1 < 2 || y2 - y1 < 2)
        return;
    const QRectF box(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
    const double cx = box.center().x();
    const double cy = box.center().y();
    const double a = box.width() / 2.0;
    const double b = box.height() / 2.0;
    // Angles are counter-clockwise as seen on the screen (y grows downwards); Qt measures arcs
    // by the ellipse's parameter, so each ray is turned into the parameter of its crossing.
    auto parameterAngle = [&](int x, int y) {
        return std::atan2(-(y - cy) / b, (x - cx) / a) * 180.0 / std::numbers::pi;
    };
    const double start = parameterAngle(x3, y3);
    double sweep = parameterAngle(x4, y4) - start;
    while (sweep <= 1e-9)
        sweep += 360.0; // rays that coincide give the whole ellipse
    QPainterPath path;
    if (pie) {
        path.moveTo(box.center());
        path.arcTo(box, start, sweep);
        path.closeSubpath();
        const QBrush &brush = qtBrush();
        if (brush.style() == Qt::TexturePattern && mTexturesAsImages)
            mPainter->setBrush(vectorFallbackBrush());
        else
            mPainter->setBrush(brush);
    } else {
        path.arcMoveTo(box, start);
        path.arcTo(box, start, sweep);
        mPainter->setBrush(Qt::NoBrush);
    }
    mPainter->setPen(qtPen());
    mPainter->drawPath(path);
    mPainter->setBrush(Qt::NoBrush);
}

void PainterSurface::pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    drawEllipsePart(true, x1, y1, x2, y2, x3, y3, x4, y4);
}

void PainterSurface::arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    drawEllipsePart(false, x1, y1, x2, y2, x3, y3, x4, y4);
}

int PainterSurface::textWidth(const std::string &text)
{
    return mFonts.get(mFont).metrics.horizontalAdvance(QString::fromStdString(text));
}

int PainterSurface::textHeight(const std::string &text) { return mFonts.get(mFont).metrics.height(); }

void PainterSurface::textOut(int x, int y, const std::string &text) { drawText(x, y, text, 0); }

void PainterSurface::textOutRotated(int x, int y, const std::string &text, int angle) { drawText(x, y, text, angle); }

void PainterSurface::drawText(int x, int y, const std::string &text, int angle)
{
    if (text.empty())
        return;
    const auto &font = mFonts.get(mFont);
    const QString qtext = QString::fromStdString(text);
    const int w = font.metrics.horizontalAdvance(qtext);
    const int h = font.metrics.height();
    angle = normalizedTextAngle(angle);
    const TextCornerOffset offset = rotatedTextOffset(angle, w, h);
    const int dx = offset.dx;
    const int dy = offset.dy;
    mPainter->save();
    mPainter->translate(x + dx, y + dy);
    if (angle != 0)
        mPainter->rotate(-angle);
    if (mBrush.style == BrushSpec::Style::Solid)
        mPainter->fillRect(QRect(0, 0, w, h), qtColor(mBrush.color));
    mPainter->setFont(font.font);
    mPainter->setPen(qtColor(mFont.color));
    mPainter->drawText(QPoint(0, font.metrics.ascent()), qtext);
    mPainter->restore();
}

void PainterSurface::drawPicture(const ViewPicture &picture, int x1, int y1, int x2, int y2)
{
    picture.replay(*this, x1, y1, x2, y2);
}

} // namespace rvk
