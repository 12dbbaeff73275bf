#include "app/panel/panelpicturewidget.h"

#include "render/paintersurface.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace rvk {

PanelPictureWidget::PanelPictureWidget(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(300, 200);
    setMouseTracking(true);
}

void PanelPictureWidget::setSource(Source source, PointerText pointerText)
{
    mSource = std::move(source);
    mPointerText = std::move(pointerText);
    mCache = ViewPicture();
    update();
}

void PanelPictureWidget::refresh()
{
    mCache = ViewPicture();
    update();
}

ViewPicture PanelPictureWidget::picture() const
{
    if (!mSource)
        return {};
    if (mCache.isEmpty() || mCache.width() != width() || mCache.height() != height())
        mCache = mSource(width(), height());
    return mCache;
}

void PanelPictureWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!mSource)
        return;
    const ViewPicture shown = picture();
    PainterSurface surface(painter);
    shown.replay(surface);
}

void PanelPictureWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!mPointerText)
        return;
    const QPoint at = event->position().toPoint();
    const QString text = pointerText(at.x(), at.y());
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), text, this);
}

} // namespace rvk
