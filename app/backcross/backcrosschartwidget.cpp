#include "app/backcross/backcrosschartwidget.h"

#include "render/paintersurface.h"

#include <QPainter>

#include <algorithm>

namespace rvk {

BackcrossChartWidget::BackcrossChartWidget(QWidget *parent) : QWidget(parent) { setMinimumSize(300, 200); }

void BackcrossChartWidget::setSource(std::function<BackcrossChartInput()> source)
{
    mSource = std::move(source);
    mCache = ViewPicture();
    update();
}

ViewPicture BackcrossChartWidget::picture(int width, int height) const
{
    BackcrossChartInput input = mSource ? mSource() : BackcrossChartInput();
    input.width = std::max(width, 200);
    input.height = std::max(height, 150);
    return recordBackcrossChart(input);
}

void BackcrossChartWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (mCache.isEmpty() || mCache.width() != std::max(width(), 200) || mCache.height() != std::max(height(), 150))
        mCache = picture(width(), height());
    PainterSurface surface(painter);
    mCache.replay(surface);
}

} // namespace rvk
