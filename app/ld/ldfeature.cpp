#include "app/features.h"

#include "app/ld/ldpage.h"
#include "app/mainwindow.h"

namespace rvk {

void installLdFeature(MainWindow &window)
{
    auto *page = new LdPage(window);
    window.setPageWidget(MainWindow::LdPage, page);
    window.attachCommand(QStringLiteral("Marker LD"), [&window, page] {
        window.showPage(MainWindow::LdPage);
        page->markerldsheetShow();
    });
    QObject::connect(&window, &MainWindow::pageChanged, page, [page](int newPage, int) {
        if (newPage == MainWindow::LdPage)
            page->markerldsheetShow();
    });
    QObject::connect(&window, &MainWindow::dataSetLoaded, page, [page] { page->markerldsheetShow(); });
    QObject::connect(&window, &MainWindow::dataSetClosed, page, [page] { page->dataSetClosed(); });
}

} // namespace rvk
