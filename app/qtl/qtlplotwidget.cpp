#include "app/qtl/qtlplotwidget.h"

#include "render/paintersurface.h"

#include <QMouseEvent>
#include <QPainter>

namespace rvk {

QtlPlotWidget::QtlPlotWidget(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(400, 250);
    setMouseTracking(true);
}

void QtlPlotWidget::setInput(QtlPlotInput input)
{
    mInput = std::move(input);
    update();
}

QtlPlotInput QtlPlotWidget::sized() const
{
    QtlPlotInput input = mInput;
    input.width = std::max(width(), 200);
    input.height = std::max(height(), 150);
    return input;
}

ViewPicture QtlPlotWidget::picture() const
{
    return recordQtlPlot(sized());
}

void QtlPlotWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (mInput.groups.empty())
        return;
    PainterSurface surface(painter);
    paintQtlPlot(surface, sized());
}

void QtlPlotWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (const auto hit = qtlPlotHit(sized(), event->position().toPoint().x(), event->position().toPoint().y()))
        emit pointed(hit->group, hit->position);
}

} // namespace rvk
