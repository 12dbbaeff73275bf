#include "app/features.h"

#include "app/backcross/backcrosspage.h"
#include "app/mainwindow.h"

#include <QTabWidget>

namespace rvk {

void installBackcrossFeature(MainWindow &window)
{
    // After the window's own pages, so their indexes stay as the window numbers them.
    auto *page = new BackcrossPage(window);
    page->setObjectName(QStringLiteral("BackcrossPage"));
    window.pages()->addTab(page, QStringLiteral("Backcross"));
    QObject::connect(window.pages(), &QTabWidget::currentChanged, page, [&window, page](int index) {
        if (window.pages()->widget(index) == page)
            page->refreshChoices();
    });
    QObject::connect(&window, &MainWindow::dataSetLoaded, page, [page] { page->refreshChoices(); });
    QObject::connect(&window, &MainWindow::dataSetClosed, page, [page] { page->refreshChoices(); });
}

} // namespace rvk
