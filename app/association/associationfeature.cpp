#include "app/association/associationpage.h"
#include "app/features.h"
#include "app/mainwindow.h"

#include <QAction>
#include <QMenu>

namespace rvk {

void installAssociationFeature(MainWindow &window)
{
    auto *page = new AssociationPage(window);
    window.setPageWidget(MainWindow::AssociationsPage, page);
    window.attachCommand(QStringLiteral("Import trait data"), [&window, page] {
        window.showPage(MainWindow::AssociationsPage);
        page->ImportTraitFile();
    });
    window.attachCommand(QStringLiteral("Export trait data as .&qua file"), [page] { page->ExportTraitFile(); });
    // The association plot's tool button waits for results, as "Plot Assoc." does.
    if (auto *tool = window.findChild<QAction *>(QStringLiteral("associationPlotTool")))
        QObject::connect(tool, &QAction::triggered, page, [page] { page->plotLDbtnClick(); });
    // The menu "Association Analysis" holds the import; it waits for nothing now.
    for (QAction *action : window.commandActions(QStringLiteral("Import trait data")))
        for (QObject *owner : action->associatedObjects())
            if (auto *menu = qobject_cast<QMenu *>(owner)) {
                menu->setEnabled(true);
                menu->menuAction()->setEnabled(true);
            }

    // Loading or closing genotypes makes the marker data stale (an edit marks the data set) and
    // the results of the data set before go. Ticks, sorting and core subsets change no genotype:
    // pasted marker data stay.
    QObject::connect(&window, &MainWindow::dataSetLoaded, page, [page] { page->dataSetClosed(); });
    QObject::connect(&window, &MainWindow::dataSetClosed, page, [page] { page->dataSetClosed(); });
    QObject::connect(&window, &MainWindow::individualsChanged, page, [page] { page->individualsReordered(); });
    // A click on a trait row of the association plot draws that trait's LD plot.
    QObject::connect(&window, &MainWindow::traitClickedOnPicture, page, [page](int trait) { page->showTraitLdPlot(trait); });
}

} // namespace rvk
