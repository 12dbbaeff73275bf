#include "app/features.h"

#include "app/mainwindow.h"
#include "app/panel/panelwindow.h"

#include <QMenu>
#include <QMenuBar>

namespace rvk {

PanelWindow *panelWindow(MainWindow &window)
{
    // Found by its name: the window has no meta-object of its own for a typed search.
    return static_cast<PanelWindow *>(window.findChild<QWidget *>(QStringLiteral("PanelWindow"), Qt::FindDirectChildrenOnly));
}

void installPanelFeature(MainWindow &window)
{
    auto *panel = new PanelWindow(window);
    panel->setObjectName(QStringLiteral("PanelWindow"));
    // "Panel genomics..." in "Advanced Analyses", beside the other analyses.
    for (QAction *action : window.menuBar()->actions())
        if (action->menu() && action->text() == QStringLiteral("Advanced &Analyses")) {
            QAction *command = action->menu()->addAction(QStringLiteral("Panel genomics..."));
            QObject::connect(command, &QAction::triggered, panel, [panel] {
                panel->show();
                panel->raise();
            });
        }
}

} // namespace rvk
