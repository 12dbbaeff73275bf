#pragma once

#include "stats/globalstatistics.h"

#include <QAbstractTableModel>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QPagedPaintDevice;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QTableView;

namespace rvk {

class UserInterface;

// The table statlist over the statistics: cells are formatted when the view asks for them, so a
// population of thousands costs a few numbers per individual and nothing per cell.
class GlobalStatisticsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit GlobalStatisticsModel(QObject *parent = nullptr);

    void setStatistics(GlobalStatistics statistics);
    const GlobalStatistics &statistics() const { return mStatistics; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Always ascending, whatever order the header asks for: a second click sorts the same way.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    GlobalStatistics mStatistics;
};

// The window of "&Global Statistics": the sortable table, the text area below it and the buttons
// that print, save, copy and export what they show.
class GlobalStatisticsWindow : public QWidget
{
    Q_OBJECT

public:
    // Asks for the printer set-up; false when the person cancels. Replaceable so that nothing
    // waits for a dialog under test.
    using PrintDialog = std::function<bool(QPrinter &printer)>;
    // Hands a file to the platform's default handler.
    using UrlOpener = std::function<bool(const QUrl &url)>;

    static constexpr const char *PrintHint = "Print (selection) of list";
    static constexpr const char *ExportHint = "starts up Excel and puts the data into sheet 1";

    explicit GlobalStatisticsWindow(UserInterface &ui, QWidget *parent = nullptr);
    ~GlobalStatisticsWindow() override;

    // Replaces table, text area and caption by the results of a run, and shows the window.
    void showStatistics(GlobalStatistics statistics);
    const GlobalStatistics &statistics() const { return mModel->statistics(); }
    GlobalStatisticsModel *model() const { return mModel; }
    QTableView *table() const { return mTable; }
    QPlainTextEdit *textArea() const { return mText; }

    // The buttons.
    void save();
    void copy();
    void print();
    void exportToExcel();
    // "Print" after the printer was chosen: the lines in the text area's font, as many pages as
    // they take. False with the reason when the device cannot be painted.
    bool printTo(QPagedPaintDevice &device, std::string &error) const;

    void setPrintDialog(PrintDialog dialog) { mPrintDialog = std::move(dialog); }
    void setUrlOpener(UrlOpener opener) { mOpenUrl = std::move(opener); }
    // Where "Export to Excel" leaves the file it hands over (the system's temporary folder).
    void setExportFolder(const QString &folder) { mExportFolder = folder; }

private:
    UserInterface &mUi;
    GlobalStatisticsModel *mModel;
    QTableView *mTable;
    QPlainTextEdit *mText;
    std::unique_ptr<QPrinter> mPrinter; // made when first needed: finding printers takes time
    PrintDialog mPrintDialog;
    UrlOpener mOpenUrl;
    QString mExportFolder;
};

// Prints lines of text (tabs expanded) in font on as many pages of device as they need.
bool printTextLines(QPagedPaintDevice &device, const std::vector<std::string> &lines, const QFont &font,
                    std::string &error);

} // namespace rvk
