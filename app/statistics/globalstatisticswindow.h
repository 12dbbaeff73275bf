#pragma once

#include "stats/globalstatistics.h"

#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <QSize>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QPagedPaintDevice;
class QListView;
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

// The text area below the table, one row per line. The lines are written from the statistics
// when the view shows them: a list of a million singletons costs a few bytes each, not a widget
// line each.
class GlobalStatisticsTextModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit GlobalStatisticsTextModel(const GlobalStatisticsModel &table, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    // The statistics behind the table were replaced.
    void reload();
    // The size of one character of the view's font: every line is as high as one character,
    // and as wide as the longest line may be.
    void setCharacterSize(QSize size) { mCharacter = size; }

private:
    const GlobalStatisticsModel &mTable;
    QSize mCharacter{8, 16};
    QSize mLineSize;
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
    QListView *textArea() const { return mText; }
    GlobalStatisticsTextModel *textModel() const { return mTextModel; }
    // Lets go of the results (closing the window, closing the data set): they can be large.
    void release();

    // The buttons.
    void save();
    void copy();
    // Ctrl+C in the text area: the chosen lines, in their order.
    void copySelectedLines();
    void print();
    void exportToExcel();
    // "Print" after the printer was chosen: the lines in the text area's font, as many pages as
    // they take. False with the reason when the device cannot be painted.
    bool printTo(QPagedPaintDevice &device, std::string &error) const;

    void setPrintDialog(PrintDialog dialog) { mPrintDialog = std::move(dialog); }
    void setUrlOpener(UrlOpener opener) { mOpenUrl = std::move(opener); }
    // Asked when no program opened the exported spreadsheet file.
    static std::string noSpreadsheetProgramQuestion();
    // Where "Export to Excel" leaves the file it hands over (the system's temporary folder).
    void setExportFolder(const QString &folder) { mExportFolder = folder; }

protected:
    void hideEvent(QHideEvent *event) override;

private:
    UserInterface &mUi;
    GlobalStatisticsModel *mModel;
    QTableView *mTable;
    GlobalStatisticsTextModel *mTextModel;
    QListView *mText;
    std::unique_ptr<QPrinter> mPrinter; // made when first needed: finding printers takes time
    PrintDialog mPrintDialog;
    UrlOpener mOpenUrl;
    QString mExportFolder;
};

// Prints lines of text (tabs expanded) in font on as many pages of device as they need; line(i)
// gives line i of count, so a long report is never held whole.
bool printTextLines(QPagedPaintDevice &device, int count, const std::function<std::string(int)> &line,
                    const QFont &font, std::string &error);

} // namespace rvk
