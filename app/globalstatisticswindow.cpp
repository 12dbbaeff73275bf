#include "app/globalstatisticswindow.h"

#include "core/userinterface.h"
#include "io/spreadsheetwriter.h"
#include "stats/reportfile.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPagedPaintDevice>
#include <QPlainTextEdit>
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

QString joinedLines(const std::vector<std::string> &lines)
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string &line : lines)
        list.append(toQt(line));
    return list.join(QLatin1Char('\n'));
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

// ---- The window ----------------------------------------------------------------------------

GlobalStatisticsWindow::GlobalStatisticsWindow(UserInterface &ui, QWidget *parent)
    : QWidget(parent, Qt::Window),
      mUi(ui),
      mModel(new GlobalStatisticsModel(this)),
      mTable(new QTableView),
      mText(new QPlainTextEdit),
      mOpenUrl([](const QUrl &url) { return QDesktopServices::openUrl(url); }),
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
    mText->setReadOnly(true);
    mText->setLineWrapMode(QPlainTextEdit::NoWrap);
    mText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

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
}

GlobalStatisticsWindow::~GlobalStatisticsWindow() = default;

void GlobalStatisticsWindow::showStatistics(GlobalStatistics statistics)
{
    mModel->setStatistics(std::move(statistics));
    const GlobalStatistics &shown = mModel->statistics();
    mText->setPlainText(joinedLines(shown.textLines()));
    setWindowTitle(toQt(shown.caption()));
    show();
    raise();
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

void GlobalStatisticsWindow::copy() { QApplication::clipboard()->setText(joinedLines(statistics().reportLines())); }

void GlobalStatisticsWindow::print()
{
    if (!mPrinter)
        mPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    mPrinter->setDocName(toQt("Detailed information on population " + statistics().caption()));
    if (!mPrintDialog || !mPrintDialog(*mPrinter))
        return;
    std::string errorText;
    if (!printTo(*mPrinter, errorText))
        mUi.warning(errorText);
}

bool GlobalStatisticsWindow::printTo(QPagedPaintDevice &device, std::string &error) const
{
    return printTextLines(device, statistics().printLines(), mText->font(), error);
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
    if (!mOpenUrl || !mOpenUrl(QUrl::fromLocalFile(path)))
        mUi.warning("No program to open spreadsheet files was found; the table was saved as " + path.toStdString());
}

bool printTextLines(QPagedPaintDevice &device, const std::vector<std::string> &lines, const QFont &font,
                    std::string &error)
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
    for (const std::string &line : lines) {
        if (y > 0.0 && y + lineHeight > page.height()) {
            device.newPage();
            y = 0.0;
        }
        painter.drawText(QRectF(0.0, y, page.width(), lineHeight), toQt(line), option);
        y += lineHeight;
    }
    painter.end();
    return true;
}

} // namespace rvk
