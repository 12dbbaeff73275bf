#include "app/toolicons.h"

#include <QAction>
#include <QPainter>
#include <QPixmap>
#include <QToolBar>

namespace rvk {

QIcon letterIcon(const QString &letters, QColor tile)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(tile);
    painter.setPen(tile.darker(150));
    painter.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 4, 4);
    QFont font = painter.font();
    font.setPixelSize(letters.size() > 2 ? 8 : 10);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, letters);
    return QIcon(pixmap);
}

QAction *addTool(QToolBar *tools, const QIcon &icon, const QString &hint, bool enabled)
{
    QAction *action = tools->addAction(icon, hint);
    action->setToolTip(hint);
    action->setEnabled(enabled);
    return action;
}

} // namespace rvk
