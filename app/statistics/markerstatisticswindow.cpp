#include "app/statistics/markerstatisticswindow.h"

#include "app/mainwindow.h"
#include "core/userinterface.h"
#include "io/spreadsheetwriter.h"
#include "render/markerstatspicture.h"
#include "render/pictureexport.h"
#include "stats/reportfile.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>

namespace rvk {

namespace {

QString toQt(const std::string &text) { return QString::fromStdString(text); }

Rgb backgroundOf(const QWidget &widget)
{
    const QColor colour = widget.palette().color(QPalette::Button);
    return rgb(colour.red(), colour.green(), colour.blue());
}

} // namespace

// ---- The grid ------------------------------------------------------------------------------

MarkerStatisticsGridModel::MarkerStatisticsGridModel(QObject *parent) : QAbstractTableModel(parent) {}

void MarkerStatisticsGridModel::setStatistics(std::shared_ptr<const MarkerStatistics> statistics)
{
    beginResetModel();
    mStatistics = std::move(statistics);
    mHeader = mStatistics ? mStatistics->gridHeader() : std::vector<std::string>{};
    endResetModel();
}

int MarkerStatisticsGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !mStatistics ? 0 : mStatistics->rowCount();
}

int MarkerStatisticsGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !mStatistics ? 0 : mStatistics->gridColumnCount();
}

QVariant MarkerStatisticsGridModel::data(const QModelIndex &index, int role) const
{
    if (!mStatistics || !index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return toQt(mStatistics->gridCell(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole && index.column() > 0)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

QVariant MarkerStatisticsGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= static_cast<int>(mHeader.size()))
        return {};
    return toQt(mHeader[static_cast<size_t>(section)]);
}

// ---- The tree ------------------------------------------------------------------------------

MarkerStatisticsTreeModel::MarkerStatisticsTreeModel(QObject *parent) : QAbstractItemModel(parent) {}

void MarkerStatisticsTreeModel::setStatistics(std::shared_ptr<const MarkerStatistics> statistics)
{
    beginResetModel();
    mStatistics = std::move(statistics);
    mFirstRow.assign(1, 0);
    if (mStatistics) {
        for (const LinkageGroup &group : mStatistics->consensusGroups())
            mFirstRow.push_back(mFirstRow.back() + static_cast<int>(group.Loci.size()));
    }
    endResetModel();
}

quintptr MarkerStatisticsTreeModel::nodeNumber(const QModelIndex &index) const
{
    if (!index.isValid())
        return 0;
    const quintptr parent = index.internalId();
    const quintptr groups = static_cast<quintptr>(groupCount());
    if (parent == 0)
        return 1;
    if (parent == 1)
        return 2 + static_cast<quintptr>(index.row());
    if (parent < 2 + groups)
        return 2 + groups + static_cast<quintptr>(mFirstRow[parent - 2] + index.row());
    return 0; // an allele: no children
}

QModelIndex MarkerStatisticsTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column != 0 || row >= rowCount(parent))
        return {};
    return createIndex(row, column, parent.isValid() ? nodeNumber(parent) : 0);
}

QModelIndex MarkerStatisticsTreeModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || !mStatistics)
        return {};
    const quintptr parent = child.internalId();
    const quintptr groups = static_cast<quintptr>(groupCount());
    if (parent == 0)
        return {};
    if (parent == 1)
        return createIndex(0, 0, quintptr(0));
    if (parent < 2 + groups)
        return createIndex(static_cast<int>(parent - 2), 0, quintptr(1));
    const int row = static_cast<int>(parent - 2 - groups);
    const int group = mStatistics->group(row);
    return createIndex(row - mFirstRow[static_cast<size_t>(group)], 0, static_cast<quintptr>(2 + group));
}

int MarkerStatisticsTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!mStatistics)
        return 0;
    if (!parent.isValid())
        return 1;
    if (parent.column() != 0)
        return 0;
    const quintptr node = nodeNumber(parent);
    const quintptr groups = static_cast<quintptr>(groupCount());
    if (node == 0)
        return 0;
    if (node == 1)
        return groupCount();
    if (node < 2 + groups)
        return mFirstRow[node - 1] - mFirstRow[node - 2];
    return static_cast<int>(mStatistics->usedCodes().size());
}

int MarkerStatisticsTreeModel::columnCount(const QModelIndex &) const { return 1; }

int MarkerStatisticsTreeModel::locusRow(const QModelIndex &index) const
{
    if (!mStatistics || !index.isValid())
        return -1;
    const quintptr parent = index.internalId();
    if (parent >= 2 && parent < 2 + static_cast<quintptr>(groupCount()))
        return mFirstRow[parent - 2] + index.row();
    return -1;
}

QModelIndex MarkerStatisticsTreeModel::locusIndex(int row) const
{
    if (!mStatistics || row < 0 || row >= mStatistics->rowCount())
        return {};
    const int group = mStatistics->group(row);
    return createIndex(row - mFirstRow[static_cast<size_t>(group)], 0, static_cast<quintptr>(2 + group));
}

QVariant MarkerStatisticsTreeModel::data(const QModelIndex &index, int role) const
{
    if (!mStatistics || !index.isValid() || role != Qt::DisplayRole)
        return {};
    const quintptr parent = index.internalId();
    const quintptr groups = static_cast<quintptr>(groupCount());
    if (parent == 0)
        return QString::fromLatin1(MarkerStatistics::TreeRoot);
    if (parent == 1)
        return toQt(mStatistics->groupNodeText(index.row()));
    if (parent < 2 + groups)
        return toQt(mStatistics->locusNodeText(mFirstRow[parent - 2] + index.row()));
    return toQt(mStatistics->alleleNodeText(static_cast<int>(parent - 2 - groups), index.row()));
}

// ---- The window ----------------------------------------------------------------------------

MarkerStatisticsWindow::MarkerStatisticsWindow(MainWindow &window)
    : QWidget(&window, Qt::Window),
      mWindow(window),
      mGridModel(new MarkerStatisticsGridModel(this)),
      mTreeModel(new MarkerStatisticsTreeModel(this)),
      mGrid(new QTableView),
      mTree(new QTreeView),
      mLocusLabel(new QLabel(QString::fromLatin1(NoLocusText))),
      mPieView(new QLabel),
      mDiversity(new QLabel),
      mNote(new QLabel(QString::fromLatin1(MarkerStatistics::SelectedOnlyNote)))
{
    setObjectName(QStringLiteral("TMarkerstats"));
    setWindowTitle(QStringLiteral("Marker Statistics"));
    resize(760, 620);

    mTree->setObjectName(QStringLiteral("TreeView2"));
    mTree->setModel(mTreeModel);
    mTree->setHeaderHidden(true);
    mTree->setUniformRowHeights(true);
    connect(mTree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        const int row = mTreeModel->locusRow(current);
        if (row >= 0)
            showLocusPie(row);
    });

    mGrid->setObjectName(QStringLiteral("markstatgrid"));
    mGrid->setModel(mGridModel);
    mGrid->setToolTip(QString::fromLatin1(MarkerStatistics::GridHint));
    mGrid->verticalHeader()->hide();
    mGrid->verticalHeader()->setDefaultSectionSize(mGrid->fontMetrics().height() + 4);
    mGrid->horizontalHeader()->setDefaultSectionSize(44);
    mGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);

    mLocusLabel->setObjectName(QStringLiteral("Label10"));
    mPieView->setObjectName(QStringLiteral("pieimage"));
    mPieView->setFixedSize(MarkerPieWidth, MarkerPieHeight);
    mDiversity->setObjectName(QStringLiteral("divstatlabel"));
    mDiversity->setTextInteractionFlags(Qt::TextSelectableByMouse);
    mNote->setStyleSheet(QStringLiteral("color: red"));
    mNote->hide();

    auto *diversityRow = new QHBoxLayout;
    diversityRow->addWidget(new QLabel(QStringLiteral("Diversity:")));
    diversityRow->addWidget(mDiversity);
    diversityRow->addStretch();

    auto *pieColumn = new QVBoxLayout;
    pieColumn->addWidget(mLocusLabel);
    pieColumn->addWidget(mPieView);
    pieColumn->addLayout(diversityRow);
    pieColumn->addWidget(mNote);
    pieColumn->addStretch();

    auto *top = new QWidget;
    auto *topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(mTree, 1);
    topLayout->addLayout(pieColumn);

    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(top);
    splitter->addWidget(mGrid);

    auto *save = new QPushButton(QStringLiteral("save"));
    connect(save, &QPushButton::clicked, this, &MarkerStatisticsWindow::save);
    auto *excel = new QPushButton(QStringLiteral("Save as Excel File"));
    connect(excel, &QPushButton::clicked, this, &MarkerStatisticsWindow::saveAsExcel);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(save);
    buttons->addWidget(excel);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    clearPie();
}

void MarkerStatisticsWindow::run()
{
    GenotypeData &data = mWindow.data();
    if (data.GroupCount() == 0)
        return;
    auto statistics = std::make_shared<const MarkerStatistics>(computeMarkerStatistics(data, mWindow.alleles()));
    storeMajorAlleles(data, *statistics);
    mStatistics = statistics;
    mGridModel->setStatistics(statistics);
    mTreeModel->setStatistics(statistics);
    mGrid->setColumnWidth(0, 100);
    mGrid->setColumnWidth(2, 60);
    mTree->expand(mTreeModel->index(0, 0));
    clearPie();

    mDiversity->setText(toQt(statistics->diversityText()));
    mNote->setVisible(statistics->selectionFiltered());
    show();
    raise();

    // The consensus is then the picture printed and exported, until the next drawing.
    mWindow.showPicture(drawConsensusPicture(statistics->consensusGroups(), data.popt, mWindow.alleles(), mWindow.drawContext()));
}

void MarkerStatisticsWindow::clearPie()
{
    mLocusLabel->setText(QString::fromLatin1(NoLocusText));
    mPie = QImage(MarkerPieWidth, MarkerPieHeight, QImage::Format_RGB32);
    const Rgb background = backgroundOf(*this);
    mPie.fill(QColor(redOf(background), greenOf(background), blueOf(background)));
    mPieView->setPixmap(QPixmap::fromImage(mPie));
}

void MarkerStatisticsWindow::showLocusPie(int row)
{
    if (!mStatistics || row < 0 || row >= mStatistics->rowCount())
        return;
    mLocusLabel->setText(toQt(mStatistics->locusNodeText(row)));
    mPie = renderPictureToImage(drawMarkerStatisticsPie(mStatistics->pieSlices(row), mWindow.alleles(), backgroundOf(*this)));
    mPieView->setPixmap(QPixmap::fromImage(mPie));
}

void MarkerStatisticsWindow::save()
{
    if (!mStatistics)
        return;
    UserInterface &ui = mWindow.userInterface();
    const std::string chosen = ui.saveFileName("Save", MarkerStatistics::SaveFilter, {});
    if (chosen.empty())
        return;
    const std::string errorText = writeReportFile(withDefaultExtension(chosen, ".txt"), mStatistics->reportText());
    if (!errorText.empty())
        ui.warning(errorText);
}

void MarkerStatisticsWindow::saveAsExcel()
{
    if (!mStatistics)
        return;
    UserInterface &ui = mWindow.userInterface();
    const std::string chosen = ui.saveFileName("Save as Excel File", MarkerStatistics::ExcelFilter, {});
    if (chosen.empty())
        return;
    const std::string path = withDefaultExtension(chosen, ".xls");
    const MarkerStatistics &shown = *mStatistics;
    const std::vector<std::string> header = shown.gridHeader();
    const auto cell = [&shown, &header](int column, int row) {
        return row == 0 ? header[static_cast<size_t>(column)] : shown.gridCell(row - 1, column);
    };
    std::string errorText;
    if (!WriteGridAsSpreadsheet(shown.gridColumnCount(), shown.rowCount() + 1, cell, path, &errorText)) {
        ui.warning(errorText);
        return;
    }
    ui.information(MarkerStatistics::SavedMessage + path);
}

} // namespace rvk
