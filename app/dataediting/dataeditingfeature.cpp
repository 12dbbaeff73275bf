#include "app/features.h"

#include "app/dataediting/dataeditpage.h"
#include "app/mainwindow.h"

namespace rvk {

void installDataEditingFeature(MainWindow &window)
{
    auto *page = new DataEditPage(window);
    window.setPageWidget(MainWindow::DataViewPage, page);
    // The page's buttons lead to the grid form and to the save of the files feature.
    QObject::connect(page, &DataEditPage::gridViewRequested, &window, [&window] { window.runCommand(QStringLiteral("Excel style edit")); });
    QObject::connect(page, &DataEditPage::saveRequested, &window, [&window] { window.runCommand(QStringLiteral("Sa&ve RVK data")); });
    const auto showPage = [&window] {
        if (window.data().GroupCount() > 0)
            window.showPage(MainWindow::DataViewPage);
    };
    window.attachCommand(QStringLiteral("Edit && Sort data"), showPage);
    window.attachCommand(QStringLiteral("Sort data"), showPage);
}

} // namespace rvk
