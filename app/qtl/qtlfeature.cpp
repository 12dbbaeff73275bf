#include "app/features.h"

#include "app/mainwindow.h"
#include "app/qtl/qtlpage.h"

#include <QTabWidget>

namespace rvk {

void installQtlFeature(MainWindow &window)
{
    // The page comes after the fixed pages, so their indices stay as they are.
    auto *page = new QtlPage(window);
    page->setObjectName(QStringLiteral("QtlPage"));
    window.pages()->addTab(page, QString::fromUtf8(QtlPage::PageCaption));
}

} // namespace rvk
