#include "app/features.h"

#include "app/dataediting/dataeditpage.h"
#include "app/files/exportcommands.h"
#include "app/mainwindow.h"
#include "app/files/mergerwindow.h"
#include "app/files/spreadsheetexchangewindow.h"

namespace rvk {

void installDataEditingFeature(MainWindow &window)
{
    auto *exports = new ExportCommands(window);
    exports->attach();

    // The secondary windows are made once and live as long as the main window.
    auto *merger = new MergerWindow(window);
    window.attachCommand(QStringLiteral("&Build RVK File.."), [merger] { merger->BuildRvkFile(); });
    window.attachCommand(QStringLiteral("Build RVK file"), [merger] { merger->BuildRvkFile(); });

    auto *exchange = new SpreadsheetExchangeWindow(window);
    window.attachCommand(QStringLiteral("Load/Paste from Excel"), [exchange] { exchange->LoadPasteFromExcel(); });
    window.attachCommand(QStringLiteral("Excel style edit"), [exchange] { exchange->ShowAsGrid(); });
    window.attachCommand(QStringLiteral("Export to Excel"), [exchange] { exchange->ShowAsGrid(); });
    window.attachCommand(QStringLiteral("Excel data exchange"), [exchange] { exchange->ExcelDataExchange(); });

    auto *page = new DataEditPage(window);
    window.setPageWidget(MainWindow::DataViewPage, page);
    QObject::connect(page, &DataEditPage::gridViewRequested, exchange, &SpreadsheetExchangeWindow::ShowAsGrid);
    QObject::connect(page, &DataEditPage::saveRequested, exports, [exports] { exports->SaveDataFile(); });
    const auto showPage = [&window] {
        if (window.data().GroupCount() > 0)
            window.showPage(MainWindow::DataViewPage);
    };
    window.attachCommand(QStringLiteral("Edit && Sort data"), showPage);
    window.attachCommand(QStringLiteral("Sort data"), showPage);
}

} // namespace rvk
