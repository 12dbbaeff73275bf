#include "app/files/spreadsheetexchangewindow.h"

#include "app/settings/drawingoptionspage.h"
#include "app/files/exportcommands.h"
#include "app/mainwindow.h"
#include "app/files/textgridmodel.h"
#include "core/freedmemory.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTableView>

#include <QTabWidget>
#include <QVBoxLayout>

namespace rvk {

namespace {

constexpr int HeadingRowHeight = 100;

// Row 0 (the names) is written rotated upwards; a single code below it is framed in its
// allele's colour, so the codes of a pasted or loaded set can be checked at a glance.
class ExchangeGridDelegate : public QStyledItemDelegate
{
public:
    ExchangeGridDelegate(const TextGridModel &model, const AlleleTable &alleles, QObject *parent)
        : QStyledItemDelegate(parent), mModel(model), mAlleles(alleles)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const int column = mModel.gridColumn(index);
        const int row = mModel.gridRow(index);
        const QString text = index.data().toString();
        if (row == 0 && !text.isEmpty()) {
            painter->save();
            painter->fillRect(option.rect, option.palette.base());
            QFont font = option.font;
            font.setFamily(QStringLiteral("tahoma"));
            painter->setFont(font);
            painter->translate(option.rect.left() + 2, option.rect.top() + 80);
            painter->rotate(-90);
            painter->drawText(QPoint(0, painter->fontMetrics().ascent()), text);
            painter->restore();
            return;
        }
        QStyledItemDelegate::paint(painter, option, index);
        if (column >= 2 && text.size() == 1) {
            const int entry = AlleleTable::indexOf(text.at(0).toLatin1());
            if (entry >= 0) {
                const Rgb colour = mAlleles.entry(entry).Color;
                painter->save();
                painter->setPen(QColor(redOf(colour), greenOf(colour), blueOf(colour)));
                painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
                painter->restore();
            }
        }
    }

private:
    const TextGridModel &mModel;
    const AlleleTable &mAlleles;
};

// "1 group / 12 loci / 90 indiv.": the summary after an import from the grid.
QString importSummaryText(const GenotypeData &data)
{
    const int groups = data.GroupCount();
    return QString::fromStdString(std::to_string(groups) + (groups < 2 ? " group / " : " groups / ")
                                  + std::to_string(data.TotalLocusCount()) + " loci / " + std::to_string(data.nind)
                                  + " indiv.");
}

} // namespace

SpreadsheetExchangeWindow::SpreadsheetExchangeWindow(MainWindow &window)
    : QDialog(&window),
      mWindow(window),
      mExchange(window.userInterface()),
      mRunModal([](QDialog &dialog) { dialog.exec(); })
{
    setObjectName(QStringLiteral("SpreadsheetExchangeWindow"));
    setWindowTitle(QStringLiteral("RVK <-> Excel data exchange"));
    resize(900, 620);

    mModel = new TextGridModel(mExchange.grid(), this);
    mGridView = new QTableView;
    mGridView->setObjectName(QStringLiteral("ExchangeGrid"));
    mGridView->setModel(mModel);
    mGridView->setItemDelegate(new ExchangeGridDelegate(*mModel, window.alleles(), this));
    mGridView->setContextMenuPolicy(Qt::CustomContextMenu);
    mGridView->horizontalHeader()->setDefaultSectionSize(40);
    mGridView->verticalHeader()->setDefaultSectionSize(20);
    mGridView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(mGridView, &QTableView::customContextMenuRequested, this, &SpreadsheetExchangeWindow::showGridContextMenu);

    mRecodeLog = new QPlainTextEdit;
    mRecodeLog->setReadOnly(true);
    mRecodeLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *logPage = new QWidget;
    auto *logLayout = new QVBoxLayout(logPage);
    logLayout->addWidget(mRecodeLog, 1);
    auto *saveLogButton = new QPushButton(QStringLiteral("Save"));
    connect(saveLogButton, &QPushButton::clicked, this, &SpreadsheetExchangeWindow::saveRecodeLog);
    logLayout->addWidget(saveLogButton, 0, Qt::AlignLeft);

    mPages = new QTabWidget;
    mPages->addTab(mGridView, QStringLiteral("Data"));
    mPages->addTab(logPage, QStringLiteral("Recode log"));

    auto button = [this](const QString &caption, void (SpreadsheetExchangeWindow::*slot)()) {
        auto *b = new QPushButton(caption);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    auto *controls = new QVBoxLayout;
    controls->addWidget(button(QStringLiteral("Paste Excel data"), &SpreadsheetExchangeWindow::pasteExcelData));
    controls->addWidget(button(QStringLiteral("Open Excel File"), &SpreadsheetExchangeWindow::openExcelFile));
    controls->addWidget(button(QStringLiteral("Save Excel File"), &SpreadsheetExchangeWindow::saveExcelFile));
    controls->addWidget(button(QStringLiteral("Clear"), &SpreadsheetExchangeWindow::clearGrid));
    controls->addWidget(button(QStringLiteral("add row"), &SpreadsheetExchangeWindow::addRow));
    controls->addWidget(button(QStringLiteral("insert column"), &SpreadsheetExchangeWindow::insertColumn));

    auto *headers = new QGroupBox(QStringLiteral("Show Headers:"));
    auto *headersLayout = new QHBoxLayout(headers);
    mHeadersYes = new QRadioButton(QStringLiteral("Yes"));
    mHeadersNo = new QRadioButton(QStringLiteral("No"));
    mHeadersNo->setChecked(true);
    headersLayout->addWidget(mHeadersYes);
    headersLayout->addWidget(mHeadersNo);
    connect(mHeadersYes, &QRadioButton::toggled, this, [this](bool on) { setShowHeaders(on); });
    controls->addWidget(headers);

    controls->addWidget(new QLabel(QStringLiteral("Missing data is coded as: ")));
    mMissingCode = new QLineEdit;
    mMissingCode->setPlaceholderText(QStringLiteral("(leave blank to ignore) "));
    controls->addWidget(mMissingCode);
    mRecodeButton = button(QStringLiteral("Recode"), &SpreadsheetExchangeWindow::recode);
    controls->addWidget(mRecodeButton);
    mImputePositions = new QCheckBox(QStringLiteral("Impute map positions"));
    controls->addWidget(mImputePositions);
    mImportButton = button(QStringLiteral("Import into RVK"), &SpreadsheetExchangeWindow::importIntoRvk);
    controls->addWidget(mImportButton);
    controls->addStretch();
    auto *closeButton = new QPushButton(QStringLiteral("Close"));
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    controls->addWidget(closeButton);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(mPages, 1);
    layout->addLayout(controls);

    auto *paste = new QShortcut(QKeySequence::Paste, this);
    connect(paste, &QShortcut::activated, this, &SpreadsheetExchangeWindow::pasteExcelData);
    refresh();
}

SpreadsheetExchangeWindow::~SpreadsheetExchangeWindow() = default;

void SpreadsheetExchangeWindow::run()
{
    mImported = false;
    refresh();
    mRunModal(*this);
    // Every showing fills the grid anew (empty, or from the data set): the cells of a whole data
    // set are not kept while the window is closed.
    mExchange.grid() = TextGrid(5, 5);
    mModel->reload();
    // The cells of a large grid were many small blocks: hand the freed pages back to the system.
    returnFreedMemory();
}

void SpreadsheetExchangeWindow::LoadPasteFromExcel()
{
    mExchange.clear();
    mCrossPollinatorGrid = false;
    run();
    if (mImported)
        updateMainWindow(true);
}

void SpreadsheetExchangeWindow::ShowAsGrid()
{
    if (mWindow.data().GroupCount() == 0)
        return;
    mExchange.fillFromDataSet(mWindow.data(), ExportCommands::today());
    // The grid form of cross-pollinator data has two more columns: segregation type and phase.
    mCrossPollinatorGrid = mWindow.data().popt == "cp";
    run();
    if (mImported)
        updateMainWindow(false);
}

void SpreadsheetExchangeWindow::ExcelDataExchange()
{
    if (mWindow.data().GroupCount() > 0)
        ShowAsGrid();
    else
        LoadPasteFromExcel();
}

void SpreadsheetExchangeWindow::updateMainWindow(bool fromPaste)
{
    if (fromPaste) {
        // Pasted sets usually carry long names in their alias row: one label per individual,
        // written sideways.
        DrawingOptions &drawing = mWindow.displaySettings().drawing;
        drawing.labelfreq = 1;
        drawing.sideways = true;
        mWindow.drawingOptionsPage()->setOptions(drawing);
    }
    mWindow.dataSetReplaced();
    if (fromPaste)
        mWindow.setStatusText(0, importSummaryText(mWindow.data()));
}

void SpreadsheetExchangeWindow::pasteExcelData() { pasteText(QApplication::clipboard()->text()); }

void SpreadsheetExchangeWindow::pasteText(const QString &text)
{
    mExchange.paste(text.toStdString());
    refresh();
    mGridView->setColumnWidth(0, 80);
}

void SpreadsheetExchangeWindow::clearGrid()
{
    mExchange.clear();
    refresh();
}

void SpreadsheetExchangeWindow::addRow()
{
    mExchange.addRow();
    refresh();
}

void SpreadsheetExchangeWindow::insertColumn()
{
    mExchange.insertColumn();
    refresh();
}

void SpreadsheetExchangeWindow::deleteThisRow()
{
    if (mExchange.DeleteThisRow())
        refresh();
}

void SpreadsheetExchangeWindow::setShowHeaders(bool show)
{
    mExchange.showHeaders = show;
    {
        const QSignalBlocker yes(mHeadersYes);
        const QSignalBlocker no(mHeadersNo);
        mHeadersYes->setChecked(show);
        mHeadersNo->setChecked(!show);
    }
    mModel->setHeadingsFixed(show);
    refresh();
}

void SpreadsheetExchangeWindow::openExcelFile()
{
    if (mExchange.OpenExcelFile() && !mExchange.captionPath().empty())
        mWindow.setWindowTitle(QStringLiteral("Display RVK - ") + QString::fromStdString(mExchange.captionPath()));
    refresh();
}

void SpreadsheetExchangeWindow::saveExcelFile() { mExchange.SaveExcelFile(); }

void SpreadsheetExchangeWindow::recode()
{
    syncOptions();
    mExchange.Recode();
    refresh();
}

void SpreadsheetExchangeWindow::saveRecodeLog()
{
    // The log is text: the dialog starts on the text filter.
    const std::string path =
        mWindow.userInterface().saveFileName("Save", "text file|*.txt|excel file|*.xls", "recodelog.txt");
    if (!path.empty())
        mExchange.saveRecodeLog(path);
}

void SpreadsheetExchangeWindow::importIntoRvk()
{
    syncOptions();
    if (!mExchange.ImportIntoRvk(mWindow.data(), mWindow.alleles()))
        return;
    mImported = true;
    accept();
}

void SpreadsheetExchangeWindow::setRightClickCell(int column, int row) { mExchange.setRightClickCell(column, row); }

void SpreadsheetExchangeWindow::showGridContextMenu(const QPoint &position)
{
    const QModelIndex index = mGridView->indexAt(position);
    if (index.isValid())
        setRightClickCell(mModel->gridColumn(index), mModel->gridRow(index));
    QMenu menu(this);
    menu.addAction(QStringLiteral("Paste here"), this, &SpreadsheetExchangeWindow::pasteExcelData);
    menu.addAction(QStringLiteral("Delete this row"), this, &SpreadsheetExchangeWindow::deleteThisRow);
    menu.exec(mGridView->viewport()->mapToGlobal(position));
}

void SpreadsheetExchangeWindow::syncOptions()
{
    mExchange.missingDataCode = mMissingCode->text().trimmed().toStdString();
    mExchange.imputeMapPositions = mImputePositions->isChecked();
}

void SpreadsheetExchangeWindow::refresh()
{
    mModel->reload();
    if (!mModel->headingsFixed() && mModel->rowCount() > 0)
        mGridView->setRowHeight(0, HeadingRowHeight);
    mGridView->horizontalHeader()->setVisible(mModel->headingsFixed());
    mGridView->verticalHeader()->setVisible(mModel->headingsFixed());
    if (mModel->headingsFixed())
        mGridView->horizontalHeader()->setFixedHeight(HeadingRowHeight);
    if (mModel->columnCount() > 1) {
        mGridView->setColumnWidth(0, 100);
        mGridView->setColumnWidth(1, 60);
    }
    if (mCrossPollinatorGrid && mModel->columnCount() > 3) {
        mGridView->setColumnWidth(2, 60);
        mGridView->setColumnWidth(3, 50);
    }
    mRecodeLog->setPlainText(QString::fromStdString(mExchange.recodeLog()));
    mImportButton->setEnabled(mExchange.importEnabled());
    mRecodeButton->setEnabled(mExchange.recodeEnabled());
    mImputePositions->setChecked(mExchange.imputeMapPositions);
}

} // namespace rvk
