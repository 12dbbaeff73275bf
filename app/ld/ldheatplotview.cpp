#include "app/ld/ldheatplotview.h"

#include "render/paintersurface.h"

#include <QPaintEvent>
#include <QPainter>

namespace rvk {

namespace {
// Tiles kept, counted in kilobytes: about 64 tiles of 256 x 256 pixels.
constexpr int TileCacheKilobytes = 64 * LdHeatPlotView::TileSide * LdHeatPlotView::TileSide * 4 / 1024;
} // namespace

LdHeatPlotView::LdHeatPlotView(QWidget *parent) : QWidget(parent), mTiles(TileCacheKilobytes)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(0, 0);
}

void LdHeatPlotView::setPlot(std::optional<LdHeatPlotInput> input)
{
    mTiles.clear();
    mInput = std::move(input);
    if (mInput) {
        mLayout = ldHeatPlotFullLayout(mInput->locusCount, mInput->blockSize);
        // The frame's right and bottom edges are the picture's last pixels.
        resize(mLayout.width + 1, mLayout.height + 1);
    } else {
        mLayout = {};
        resize(0, 0);
    }
    update();
}

QImage LdHeatPlotView::renderArea(const QRect &area) const
{
    QImage image(area.size(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    if (!mInput)
        return image;
    QPainter painter(&image);
    painter.translate(-area.left(), -area.top());
    PainterSurface surface(painter);
    paintLdHeatPlotRegion(surface, *mInput, mLayout, area.left(), area.top(), area.right(), area.bottom());
    return image;
}

QImage LdHeatPlotView::renderWhole() const
{
    if (!mInput)
        return {};
    return renderArea(QRect(0, 0, mLayout.width + 1, mLayout.height + 1));
}

const QImage &LdHeatPlotView::tile(int column, int row) const
{
    const quint64 key = (static_cast<quint64>(static_cast<quint32>(row)) << 32) | static_cast<quint32>(column);
    if (const QImage *kept = mTiles.object(key))
        return *kept;
    auto *made = new QImage(renderArea(QRect(column * TileSide, row * TileSide, TileSide, TileSide)));
    const QImage &result = *made;
    mTiles.insert(key, made, TileSide * TileSide * 4 / 1024);
    return result;
}

void LdHeatPlotView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect exposed = event->rect();
    if (!mInput) {
        painter.fillRect(exposed, palette().window());
        return;
    }
    const int firstColumn = std::max(0, exposed.left() / TileSide), lastColumn = exposed.right() / TileSide;
    const int firstRow = std::max(0, exposed.top() / TileSide), lastRow = exposed.bottom() / TileSide;
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = firstColumn; column <= lastColumn; ++column)
            painter.drawImage(column * TileSide, row * TileSide, tile(column, row));
}

} // namespace rvk
