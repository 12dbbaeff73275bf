#include "app/features.h"

#include "app/statistics/globalstatisticswindow.h"
#include "app/mainwindow.h"
#include "app/statistics/markerstatisticswindow.h"
#include "app/statistics/viewstatisticswindow.h"
#include "stats/globalstatistics.h"

#include <QObject>

namespace rvk {

void installStatisticsFeature(MainWindow &window)
{
    // Each window is made once, hidden, and lives as long as the main window; its command shows
    // it again with fresh results.
    auto *current = new ViewStatisticsWindow(window);
    const auto showCurrent = [current] { current->showCurrentViewStatistics(); };
    window.attachCommand(QStringLiteral("Statistics on &Current View"), showCurrent);
    window.attachCommand(QStringLiteral("Show Statistics"), showCurrent);
    QObject::connect(&window, &MainWindow::viewDrawn, current, &ViewStatisticsWindow::afterViewDrawn);
    QObject::connect(&window, &MainWindow::dataSetClosed, current, &QWidget::hide);

    auto *global = new GlobalStatisticsWindow(window.userInterface(), &window);
    window.attachCommand(QStringLiteral("&Global Statistics"), [&window, global] {
        global->showStatistics(computeGlobalStatistics(window.data(), window.alleles(), window.generalOptions()));
    });

    auto *markers = new MarkerStatisticsWindow(window);
    window.attachCommand(QStringLiteral("&Marker Statistics"), [markers] { markers->run(); });
}

} // namespace rvk
