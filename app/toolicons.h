#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

class QAction;
class QToolBar;

namespace rvk {

// Tool-button images for commands that have no standard one: a few letters on a tile.
QIcon letterIcon(const QString &letters, QColor tile);

// A tool button whose hint is its text too, so commands attach to it by caption; disabled until
// a command is attached unless enabled.
QAction *addTool(QToolBar *tools, const QIcon &icon, const QString &hint, bool enabled = false);

} // namespace rvk
