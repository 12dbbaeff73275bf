#include "app/features.h"

#include "app/distances/distancepage.h"
#include "app/mainwindow.h"

namespace rvk {

void installDistanceFeature(MainWindow &window)
{
    auto *page = new DistancePage(window);
    window.setPageWidget(MainWindow::DistancesPage, page);
}

} // namespace rvk
