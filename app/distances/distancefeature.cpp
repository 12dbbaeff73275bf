#include "app/features.h"

#include "app/distances/distancepage.h"
#include "app/mainwindow.h"

namespace rvk {

void installDistanceFeature(MainWindow &window)
{
    auto *page = new DistancePage(window);
    window.setPageWidget(MainWindow::DistancesPage, page);
    window.attachCommand(QStringLiteral("Calculate genetic distance"), [&window] { window.showPage(MainWindow::DistancesPage); });
}

} // namespace rvk
