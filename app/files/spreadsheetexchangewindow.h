#pragma once

#include "io/spreadsheetexchange.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QTabWidget;

namespace rvk {

class MainWindow;
class TextGridModel;

// The window "RVK <-> Excel data exchange": a free grid of text cells that is pasted into, read
// from a spreadsheet file or filled from the data set, edited, recoded, saved and imported as
// the new data set. The exchange logic keeps the grid and the state; the window shows them and
// calls its commands. Created once and shown modally.
class SpreadsheetExchangeWindow : public QDialog
{
    Q_OBJECT

public:
    explicit SpreadsheetExchangeWindow(MainWindow &window);
    ~SpreadsheetExchangeWindow() override;

    SpreadsheetExchange &exchange() { return mExchange; }
    TextGridModel *gridModel() const { return mModel; }
    QTableView *gridView() const { return mGridView; }

    // "Load/Paste from Excel": the window with an empty grid; after an import the main window
    // shows the new data set.
    void LoadPasteFromExcel();
    // "Excel style edit", "Export to Excel": the data set in its grid form; after an import the
    // main window shows the new data set. Nothing without loaded groups.
    void ShowAsGrid();
    // The tool "Excel data exchange": the grid form when groups are loaded, else the import.
    void ExcelDataExchange();

    // The window's controls.
    void pasteExcelData();                 // "Paste Excel data", "Paste here", Ctrl+V
    void pasteText(const QString &text);   // the same with a given text
    void clearGrid();                      // "Clear"
    void addRow();                         // "add row"
    void insertColumn();                   // "insert column"
    void deleteThisRow();                  // "Delete this row"
    void setShowHeaders(bool show);        // "Show Headers:" "Yes" / "No"
    void openExcelFile();                  // "Open Excel File"
    void saveExcelFile();                  // "Save Excel File"
    void recode();                         // "Recode"
    void saveRecodeLog();                  // "Save" on the page "Recode log"
    void importIntoRvk();                  // "Import into RVK"
    // The cell the context menu and pasting work on, in grid coordinates.
    void setRightClickCell(int column, int row);

    // Whether "Import into RVK" built a data set during the present showing.
    bool importedThisVisit() const { return mImported; }

    // How the window runs modally; replaceable so tests can drive it without an event loop.
    void setModalRunner(std::function<void(QDialog &)> runner) { mRunModal = std::move(runner); }

private:
    void showGridContextMenu(const QPoint &position);
    void syncOptions();
    void refresh();
    void run();
    // The main window after an import: selector, range fields, pages, view.
    void updateMainWindow(bool fromPaste);

    MainWindow &mWindow;
    SpreadsheetExchange mExchange;
    bool mImported = false;
    bool mCrossPollinatorGrid = false;
    std::function<void(QDialog &)> mRunModal;

    TextGridModel *mModel = nullptr;
    QTableView *mGridView = nullptr;
    QTabWidget *mPages = nullptr;
    QPlainTextEdit *mRecodeLog = nullptr;
    QLineEdit *mMissingCode = nullptr;
    QCheckBox *mImputePositions = nullptr;
    QRadioButton *mHeadersYes = nullptr;
    QRadioButton *mHeadersNo = nullptr;
    QPushButton *mImportButton = nullptr;
    QPushButton *mRecodeButton = nullptr;
};

} // namespace rvk
