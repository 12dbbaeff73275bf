#include "app/statistics/globalstatisticswindow.h"

#include "app/files/desktopopener.h"
#include "app/mainwindow.h"
#include "core/freedmemory.h"
#include "core/userinterface.h"
#include "io/spreadsheetwriter.h"
#include "stats/reportfile.h"

#include <algorithm>
#include <cmath>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPagedPaintDevice>
#include <QHideEvent>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QListView>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTemporaryFile>
#include <QDesktopServices>
#include <QTextOption>
#include <QVBoxLayout>


namespace rvk {

namespace {

QString toQt(const std::string &text) { return QString::fromStdString(text); }

// The lines joined by line ends, as the clipboard takes them.
QString joinedLines(int count, const std::function<std::string(int)> &line)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += '\n';
        text += line(i);
    }
    return QString::fromStdString(text);
}


} // namespace

// ---- The table -----------------------------------------------------------------------------

GlobalStatisticsModel::GlobalStatisticsModel(QObject *parent) : QAbstractTableModel(parent) {}

void GlobalStatisticsModel::setStatistics(GlobalStatistics statistics)
{
    beginResetModel();
    mStatistics = std::move(statistics);
    endResetModel();
}

int GlobalStatisticsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : mStatistics.rowCount();
}

int GlobalStatisticsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : mStatistics.columnCount();
}

QVariant GlobalStatisticsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= mStatistics.rowCount() || index.column() >= mStatistics.columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return toQt(mStatistics.cell(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole && index.column() != GlobalStatistics::AliasColumn)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

QVariant GlobalStatisticsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= mStatistics.columnCount())
        return {};
    return toQt(mStatistics.columnCaptions()[static_cast<size_t>(section)]);
}

void GlobalStatisticsModel::sort(int column, Qt::SortOrder)
{
    if (column < 0 || column >= mStatistics.columnCount())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    mStatistics.sortByColumn(column);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// ---- The text area ------------------------------------------------------------------------

GlobalStatisticsTextModel::GlobalStatisticsTextModel(const GlobalStatisticsModel &table, QObject *parent)
    : QAbstractListModel(parent), mTable(table)
{
}

int GlobalStatisticsTextModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : mTable.statistics().textLineCount();
}

QVariant GlobalStatisticsTextModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return toQt(mTable.statistics().textLine(index.row()));
    if (role == Qt::SizeHintRole)
        return mLineSize;
    return {};
}

void GlobalStatisticsTextModel::reload()
{
    beginResetModel();
    const int characters = static_cast<int>(std::min<size_t>(mTable.statistics().longestTextLine(), 4096));
    mLineSize = QSize(mCharacter.width() * (characters + 1) + 8, mCharacter.height() + 2);
    endResetModel();
}

// ---- The window ----------------------------------------------------------------------------

GlobalStatisticsWindow::GlobalStatisticsWindow(UserInterface &ui, QWidget *parent)
    : QWidget(parent, Qt::Window),
      mUi(ui),
      mModel(new GlobalStatisticsModel(this)),
      mTable(new QTableView),
      mTextModel(new GlobalStatisticsTextModel(*mModel, this)),
      mText(new QListView),
      mOpenUrl([](const QUrl &url) { return openWithDefaultProgram(url); }),
      mExportFolder(QDir::tempPath())
{
    setObjectName(QStringLiteral("Tdetailstat"));
    resize(720, 560);

    mTable->setObjectName(QStringLiteral("statlist"));
    mTable->setModel(mModel);
    mTable->verticalHeader()->hide();
    mTable->verticalHeader()->setDefaultSectionSize(mTable->fontMetrics().height() + 4);
    mTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    mTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mTable->horizontalHeader()->setSectionsClickable(true);
    connect(mTable->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) { mModel->sort(column); });

    mText->setObjectName(QStringLiteral("statmemo"));
    mText->setModel(mTextModel);
    mText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    {
        // The widest printable character, in case the fixed font falls back to a proportional one.
        const QFontMetricsF metrics(mText->font());
        double widest = 0.0;
        for (char c = ' '; c <= '~'; ++c)
            widest = std::max(widest, metrics.horizontalAdvance(QLatin1Char(c)));
        mTextModel->setCharacterSize(QSize(static_cast<int>(std::ceil(widest)), static_cast<int>(std::ceil(metrics.height()))));
    }
    // Every line is as high as the next: the view lays out a million lines without asking
    // for each of them.
    mText->setUniformItemSizes(true);
    mText->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mText->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mText->setWordWrap(false);
    mText->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Ctrl+C copies the chosen lines, as it copied the chosen text of a text box.
    auto *copyLines = new QAction(mText);
    copyLines->setShortcut(QKeySequence::Copy);
    copyLines->setShortcutContext(Qt::WidgetShortcut);
    mText->addAction(copyLines);
    connect(copyLines, &QAction::triggered, this, &GlobalStatisticsWindow::copySelectedLines);

    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(mTable);
    splitter->addWidget(mText);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    auto button = [this](const QString &caption, const QString &hint, void (GlobalStatisticsWindow::*slot)()) {
        auto *b = new QPushButton(caption);
        b->setToolTip(hint);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(button(QStringLiteral("Print"), QString::fromLatin1(PrintHint), &GlobalStatisticsWindow::print));
    buttons->addWidget(button(QStringLiteral("Save.."), {}, &GlobalStatisticsWindow::save));
    buttons->addWidget(button(QStringLiteral("Copy"), {}, &GlobalStatisticsWindow::copy));
    buttons->addWidget(
        button(QStringLiteral("Export to Excel"), QString::fromLatin1(ExportHint), &GlobalStatisticsWindow::exportToExcel));
    buttons->addStretch();
    auto *ok = new QPushButton(QStringLiteral("OK"));
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);
    buttons->addWidget(ok);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    mPrintDialog = [this](QPrinter &printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };

    // The results describe the data set they came from: they go with it.
    if (auto *main = qobject_cast<MainWindow *>(parent))
        connect(main, &MainWindow::dataSetClosed, this, [this] {
            hide();
            release();
        });
}

GlobalStatisticsWindow::~GlobalStatisticsWindow() = default;

void GlobalStatisticsWindow::showStatistics(GlobalStatistics statistics)
{
    mModel->setStatistics(std::move(statistics));
    mTextModel->reload();
    setWindowTitle(toQt(mModel->statistics().caption()));
    show();
    raise();
}

void GlobalStatisticsWindow::release()
{
    mModel->setStatistics(GlobalStatistics());
    mTextModel->reload();
    returnFreedMemory();
}

void GlobalStatisticsWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // Closed, not minimised: each run computes the results anew, so nothing is lost.
    if (!event->spontaneous())
        release();
}

void GlobalStatisticsWindow::save()
{
    const std::string chosen = mUi.saveFileName("Save", GlobalStatistics::SaveFilter, {});
    if (chosen.empty())
        return;
    const std::string errorText = writeReportFile(withDefaultExtension(chosen, ".txt"), statistics().reportText());
    if (!errorText.empty())
        mUi.warning(errorText);
}

void GlobalStatisticsWindow::copy()
{
    const GlobalStatistics &shown = statistics();
    QApplication::clipboard()->setText(joinedLines(shown.reportLineCount(), [&shown](int i) { return shown.reportLine(i); }));
}

void GlobalStatisticsWindow::copySelectedLines()
{
    QModelIndexList chosen = mText->selectionModel()->selectedIndexes();
    if (chosen.isEmpty())
        return;
    std::sort(chosen.begin(), chosen.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    const GlobalStatistics &shown = statistics();
    QApplication::clipboard()->setText(joinedLines(static_cast<int>(chosen.size()), [&](int i) { return shown.textLine(chosen[i].row()); }));
}

void GlobalStatisticsWindow::print()
{
    // The printer chosen with "Printer Setup" when the window belongs to the main window.
    auto *main = qobject_cast<MainWindow *>(parentWidget());
    if (!main && !mPrinter)
        mPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrinter &printer = main ? main->printer() : *mPrinter;
    printer.setDocName(toQt("Detailed information on population " + statistics().caption()));
    if (!mPrintDialog || !mPrintDialog(printer))
        return;
    std::string errorText;
    if (!printTo(printer, errorText))
        mUi.warning(errorText);
}

bool GlobalStatisticsWindow::printTo(QPagedPaintDevice &device, std::string &error) const
{
    const GlobalStatistics &shown = statistics();
    return printTextLines(device, shown.printLineCount(), [&shown](int i) { return shown.printLine(i); }, mText->font(), error);
}

void GlobalStatisticsWindow::exportToExcel()
{
    // The spreadsheet program gets a file of its own to open; it stays for as long as that
    // program may want it, in the temporary folder the system clears.
    QTemporaryFile reserved(mExportFolder + QStringLiteral("/rvk_statistics_XXXXXX.xls"));
    reserved.setAutoRemove(false);
    if (!reserved.open()) {
        mUi.warning("Unable to write to " + (mExportFolder + QStringLiteral("/rvk_statistics.xls")).toStdString());
        return;
    }
    const QString path = reserved.fileName();
    reserved.close();

    const GlobalStatistics &shown = statistics();
    const auto cell = [&shown](int column, int row) {
        return row == 0 ? shown.columnCaptions()[static_cast<size_t>(column)] : shown.cell(row - 1, column);
    };
    std::string errorText;
    if (!WriteGridAsSpreadsheet(shown.columnCount(), shown.rowCount() + 1, cell, path.toStdString(), &errorText)) {
        mUi.warning(errorText);
        return;
    }
    if (mOpenUrl && mOpenUrl(QUrl::fromLocalFile(path)))
        return;
    // Nothing opened it: the hand-over file goes, and the table can be kept where the person says.
    QFile::remove(path);
    if (!mUi.question(noSpreadsheetProgramQuestion()))
        return;
    const std::string chosen = mUi.saveFileName("Save as Excel File", "excel file|*.xls", "statistics.xls");
    if (chosen.empty())
        return;
    if (!WriteGridAsSpreadsheet(shown.columnCount(), shown.rowCount() + 1, cell, chosen, &errorText))
        mUi.warning(errorText);
}

std::string GlobalStatisticsWindow::noSpreadsheetProgramQuestion()
{
    return "No program could open the spreadsheet file. Save the table as a spreadsheet file instead?";
}

bool printTextLines(QPagedPaintDevice &device, int count, const std::function<std::string(int)> &line,
                    const QFont &font, std::string &error)
{
    QPainter painter;
    if (!painter.begin(&device)) {
        error = "Unable to print";
        return false;
    }
    painter.setFont(font);
    const QFontMetricsF metrics(painter.font(), &device);
    const double lineHeight = metrics.lineSpacing();
    const QRectF page = painter.viewport();
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::NoWrap);
    // Wide enough for the longest column caption ("Total (cM)") and a gap.
    option.setTabStopDistance(metrics.horizontalAdvance(QStringLiteral("Total (cM)__")));
    double y = 0.0;
    for (int i = 0; i < count; ++i) {
        if (y > 0.0 && y + lineHeight > page.height()) {
            device.newPage();
            y = 0.0;
        }
        painter.drawText(QRectF(0.0, y, page.width(), lineHeight), toQt(line(i)), option);
        y += lineHeight;
    }
    painter.end();
    return true;
}

} // namespace rvk
