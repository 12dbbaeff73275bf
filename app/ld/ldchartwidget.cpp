#include "app/ld/ldchartwidget.h"

#include "render/paintersurface.h"

#include <QPainter>

namespace rvk {

LdChartWidget::LdChartWidget(QWidget *parent) : QWidget(parent)
{
    setToolTip(QStringLiteral("doubleclick to save chart"));
    setMinimumSize(300, 200);
}

void LdChartWidget::setSource(std::function<LdChartInput()> source)
{
    mSource = std::move(source);
    mCache = ViewPicture();
    update();
}

ViewPicture LdChartWidget::picture(int width, int height) const
{
    LdChartInput input = mSource ? mSource() : LdChartInput();
    input.width = std::max(width, 200);
    input.height = std::max(height, 150);
    return recordLdChart(input);
}

void LdChartWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (mCache.width() != std::max(width(), 200) || mCache.height() != std::max(height(), 150) || mCache.isEmpty())
        mCache = picture(width(), height());
    PainterSurface surface(painter);
    mCache.replay(surface);
}

void LdChartWidget::mouseDoubleClickEvent(QMouseEvent *) { emit saveRequested(); }

} // namespace rvk
