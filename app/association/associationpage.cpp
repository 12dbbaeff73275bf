#include "app/association/associationpage.h"

#include "app/association/associationchartwidget.h"
#include "app/association/associationtablemodels.h"
#include "app/association/reportwindow.h"
#include "app/distances/distancepage.h"
#include "app/mainwindow.h"
#include "app/selection/sortcontrols.h"
#include "app/picture/imagepage.h"
#include "app/workerrun.h"
#include "core/freedmemory.h"
#include "core/textformat.h"
#include "core/userinterface.h"
#include "genetics/associationplotdata.h"
#include "genetics/fdr.h"
#include "settings/generaloptions.h"
#include "io/spreadsheetwriter.h"
#include "io/traitfile.h"
#include "render/ldplot.h"
#include "selection/individualsort.h"
#include "stats/messagetally.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <set>
#include <memory>

namespace rvk {

namespace {

using Table = AssociationResults::Table;

QString toQt(const std::string &text) { return QString::fromStdString(text); }

QTableView *makeTableView(QAbstractItemModel *model)
{
    auto *view = new QTableView;
    view->setModel(model);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->horizontalHeader()->setDefaultSectionSize(64);
    view->verticalHeader()->setDefaultSectionSize(20);
    view->verticalHeader()->setMinimumSectionSize(12);
    view->setWordWrap(false);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setItemDelegate(new RotatedHeadingDelegate(view));
    return view;
}

// Column 0 wide enough for names, row 0 high enough for the individuals' names.
void shapeHeadings(QTableView *view, int columnWidth, int rowHeight)
{
    if (view->model()->columnCount() > 0)
        view->setColumnWidth(0, columnWidth);
    if (view->model()->rowCount() > 0)
        view->setRowHeight(0, rowHeight);
}

QPushButton *button(const QString &caption, QWidget *owner, const std::function<void()> &handler)
{
    auto *b = new QPushButton(caption);
    QObject::connect(b, &QPushButton::clicked, owner, handler);
    return b;
}

// The sub-page captions, in SubPage order, and the result table of each result sub-page.
const char *const SubPageCaptions[] = {"Trait data", "Marker data", "marker-trait sync", "Trait Plotting && stats",
                                       "-10LOG(p)", "R\xC2\xB2", "R", "p-values", "q-values"};
constexpr Table ResultTables[] = {Table::LogP, Table::R2, Table::R, Table::P, Table::Q};

// The "Save Sheet data" message of each sub-page.
const char *const SavedMessages[] = {"Trait Data saved as ",
                                     "Marker numerical data saved as ",
                                     "Marker-synced trait data saved as ",
                                     nullptr,
                                     "-10logP association data saved as ",
                                     "R2 association data saved as ",
                                     "R association data saved as ",
                                     "association data p-values saved as ",
                                     "association data q-values saved as "};
constexpr const char *DistanceSheetSavedMessage = "Genetic distance data saved as ";

} // namespace

AssociationPage::AssociationPage(MainWindow &window) : mWindow(window), mTraits(TraitTable::startTemplate())
{
    setObjectName(QStringLiteral("AssociationPage"));
    auto *layout = new QVBoxLayout(this);

    // The command bar above the sub-pages.
    auto *commands = new QHBoxLayout;
    commands->addWidget(button(QStringLiteral("Load .qua file"), this, [this] { ImportTraitFile(); }));
    commands->addWidget(button(QStringLiteral("Paste trait data"), this, [this] { pasteBtnClick(); }));
    auto *transpose = new QToolButton;
    transpose->setText(QStringLiteral("T"));
    transpose->setToolTip(QStringLiteral("transpose trait data"));
    connect(transpose, &QToolButton::clicked, this, [this] { transposebtnClick(); });
    commands->addWidget(transpose);
    commands->addWidget(button(QStringLiteral("Sync"), this, [this] { SyncgridsClick(); }));
    commands->addWidget(button(QStringLiteral("Calc Assoc."), this, [this] { SpeedButton5Click(); }));
    mPlotButton = button(QStringLiteral("Plot Assoc."), this, [this] { plotLDbtnClick(); });
    mPlotButton->setEnabled(false);
    commands->addWidget(mPlotButton);
    commands->addWidget(button(QStringLiteral("Save Sheet data"), this, [this] { SaveGridasExcelBtnClick(); }));
    mSortOnTrait = button(QStringLiteral("Arrange data according to trait values"), this, [this] { sortontraitClick(); });
    mSortOnTrait->setEnabled(false);
    commands->addWidget(mSortOnTrait);
    commands->addStretch();
    layout->addLayout(commands);

    mSubPages = new QTabWidget;
    mSubPages->setObjectName(QStringLiteral("associationtabs"));
    layout->addWidget(mSubPages, 1);
    buildTraitDataPage();
    buildMarkerDataPage();
    buildSyncPage();
    buildPlottingPage();
    buildResultPages();
    connect(mSubPages, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == MarkerDataPage)
            associationtabsEnter();
    });

    // Ctrl+V anywhere in the window while this page is shown pastes trait data (an edit with the
    // focus keeps its own paste).
    auto *paste = new QShortcut(QKeySequence::Paste, &window);
    paste->setContext(Qt::WindowShortcut);
    connect(paste, &QShortcut::activated, this, [this] {
        if (mWindow.pages()->currentIndex() == MainWindow::AssociationsPage)
            pasteBtnClick();
    });

    mReport = new ReportWindow(window.userInterface(), &window);
    clipboardText = [] { return QApplication::clipboard()->text().toStdString(); };
    chooseAnalysis = [this] {
        const auto answer = QMessageBox::question(this, QStringLiteral("Confirm"), toQt(AnalysisQuestion).replace('\r', '\n'),
                                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        return answer == QMessageBox::Yes  ? AnalysisChoice::Correlation
               : answer == QMessageBox::No ? AnalysisChoice::Anova
                                           : AnalysisChoice::Cancel;
    };
    refillPlotTraitList({});
}

AssociationPage::~AssociationPage() = default;

// ---------------------------------------------------------------------------------------------
// Building the sub-pages

void AssociationPage::buildTraitDataPage()
{
    mTraitModel = new TraitTableModel(mTraits, this);
    mTraitView = makeTableView(mTraitModel);
    mTraitView->setObjectName(QStringLiteral("traitgrid"));
    mTraitModel->setEditHandler([this](int column, int row, const std::string &text) { editTraitCell(column, row, text); });
    shapeHeadings(mTraitView, 100, 100);
    connect(mTraitView, &QTableView::clicked, this, [this](const QModelIndex &index) { traitgridClick(index.row()); });
    mSubPages->addTab(mTraitView, QString::fromUtf8(SubPageCaptions[TraitDataPage]));
}

void AssociationPage::buildMarkerDataPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(button(QStringLiteral("Refresh data"), this, [this] { refreshmarkergridClick(); }));
    buttons->addWidget(button(QStringLiteral("Paste marker data"), this, [this] { pastemarkerdatabtnClick(); }));
    buttons->addStretch();
    layout->addLayout(buttons);
    mMarkerModel = new MarkerDataModel(mMarkers, this);
    mMarkerView = makeTableView(mMarkerModel);
    mMarkerView->setObjectName(QStringLiteral("markergrid"));
    layout->addWidget(mMarkerView, 1);
    mSubPages->addTab(page, QString::fromUtf8(SubPageCaptions[MarkerDataPage]));
}

void AssociationPage::buildSyncPage()
{
    mSyncModel = new TraitTableModel(mSync, this);
    mSyncView = makeTableView(mSyncModel);
    mSyncView->setObjectName(QStringLiteral("Syncgrid"));
    mSubPages->addTab(mSyncView, QString::fromUtf8(SubPageCaptions[SyncPage]));
}

void AssociationPage::buildPlottingPage()
{
    auto *page = new QWidget;
    auto *layout = new QHBoxLayout(page);
    auto *left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Traits to plot:")));
    mPlotTraits = new QListWidget;
    mPlotTraits->setObjectName(QStringLiteral("plottraitlist"));
    connect(mPlotTraits, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { plottraitlistClick(mPlotTraits->row(item)); });
    left->addWidget(mPlotTraits, 1);
    auto *selection = new QHBoxLayout;
    selection->addWidget(button(QStringLiteral("Select all"), this, [this] { plotlistshowallbtnClick(); }));
    selection->addWidget(button(QStringLiteral("Select none"), this, [this] { plottraitlistselnonebtnClick(); }));
    left->addLayout(selection);
    auto *bars = new QHBoxLayout;
    bars->addWidget(new QLabel(QStringLiteral("number of bars: ")));
    mBarCount = new QSpinBox;
    mBarCount->setObjectName(QStringLiteral("numbins"));
    mBarCount->setRange(5, 30);
    mBarCount->setValue(12);
    connect(mBarCount, &QSpinBox::valueChanged, this, [this] {
        if (mPlotTraits->currentRow() >= 0)
            plottraitlistClick(mPlotTraits->currentRow());
    });
    bars->addWidget(mBarCount);
    left->addLayout(bars);

    layout->addLayout(left);

    auto *right = new QVBoxLayout;
    mTraitHistogram = new AssociationChartWidget(mWindow.userInterface());
    mTraitHistogram->setObjectName(QStringLiteral("Chart4"));
    mTraitHistogram->setChart(emptyTraitHistogram());
    right->addWidget(mTraitHistogram, 1);
    mPlottingExtras = new QVBoxLayout;
    right->addLayout(mPlottingExtras);
    layout->addLayout(right, 1);
    mSubPages->addTab(page, QString::fromUtf8(SubPageCaptions[TraitPlottingPage]));
}

void AssociationPage::buildResultPages()
{
    for (size_t i = 0; i < std::size(ResultTables); ++i) {
        auto *model = new AssociationResultsModel(mResults, ResultTables[i], this);
        mResultModels[i] = model;
        QTableView *view = makeTableView(model);
        mResultViews[i] = view;
        QWidget *page = view;
        if (ResultTables[i] == Table::P) {
            view->setObjectName(QStringLiteral("pgrid"));
            connect(view, &QTableView::clicked, this, [this](const QModelIndex &index) { pgridClick(index.column()); });
            page = new QWidget;
            auto *layout = new QHBoxLayout(page);
            auto *tableSide = new QVBoxLayout;
            auto *buttons = new QHBoxLayout;
            buttons->addWidget(button(QStringLiteral("Paste p-values"), this, [this] { pastepvalueClick(); }));
            QPushButton *pasteR = button(QStringLiteral("Paste r-values"), this, [this] { pastervalueClick(); });
            pasteR->setToolTip(QStringLiteral("paste r values, r2 values will be calculated"));
            buttons->addWidget(pasteR);
            buttons->addStretch();
            tableSide->addLayout(buttons);
            tableSide->addWidget(view, 1);
            layout->addLayout(tableSide, 1);
            auto *charts = new QVBoxLayout;
            mPColumnCaption = new QLabel;
            charts->addWidget(mPColumnCaption);
            mPHistogram = new AssociationChartWidget(mWindow.userInterface());
            mPScatter = new AssociationChartWidget(mWindow.userInterface());
            showEmptyPValueCharts();
            charts->addWidget(mPHistogram, 1);
            charts->addWidget(mPScatter, 1);
            layout->addLayout(charts);
        } else if (ResultTables[i] == Table::LogP) {
            view->setObjectName(QStringLiteral("logpgrid"));
            connect(view, &QTableView::clicked, this, [this](const QModelIndex &index) {
                mResultModels[0]->setSelectedColumn(index.column());
            });
        }
        mSubPages->addTab(page, QString::fromUtf8(SubPageCaptions[LogPPage + static_cast<int>(i)]));
    }
}

void AssociationPage::addTraitPlottingWidget(QWidget *widget) { mPlottingExtras->addWidget(widget); }

// ---------------------------------------------------------------------------------------------
// The trait table

void AssociationPage::traitTableReplaced()
{
    mTraitModel->setSelectedRow(-1);
    mTraitModel->tableReplaced();
    mSortKeyRow = -1;
    shapeHeadings(mTraitView, 110, 80);
}

void AssociationPage::refillPlotTraitList(const std::vector<std::string> &names)
{
    mPlotTraits->clear();
    for (const std::string &name : names) {
        auto *item = new QListWidgetItem(toQt(name), mPlotTraits);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
}

void AssociationPage::adoptTraitIndividuals()
{
    // Trait data without genotypes: the trait table's individuals become the data set's names
    // and the individual check list, so selections and exports can work on them.
    GenotypeData &data = mWindow.data();
    if (!data.IndividualNames.empty())
        return;
    for (int c = 1; c < mTraits.columnCount(); ++c)
        data.IndividualNames.push_back(mTraits.cell(c, 0));
    const size_t n = data.IndividualNames.size();
    data.Ticked.assign(n, 1);
    data.Locked.assign(n, 0);
    data.IndividualNumbers.resize(n);
    for (size_t i = 0; i < n; ++i)
        data.IndividualNumbers[i] = static_cast<int>(i) + 1;
    data.RebuildSelectedIndices();
    mWindow.pages()->setTabEnabled(MainWindow::SelectionResultsPage, true);
    emit mWindow.individualsChanged();
}

std::string AssociationPage::unmatchedTraitNamesWarning() const
{
    // Trait rows find their genotypes by the individual's name; a table of another data set
    // gives only empty results.
    const GenotypeData &data = mWindow.data();
    if (data.GroupCount() == 0 || data.IndividualNames.empty() || mTraits.columnCount() < 2)
        return {};
    const std::set<std::string> names(data.IndividualNames.begin(), data.IndividualNames.end());
    for (int c = 1; c < mTraits.columnCount(); ++c)
        if (names.count(mTraits.cell(c, 0)))
            return {};
    return "No individual of the trait table has the name of an individual of the data set (such as \""
        + data.IndividualNames.front() + "\"): its traits are matched to no genotypes.";
}

void AssociationPage::warnOfUnmatchedTraitNames()
{
    const std::string warning = unmatchedTraitNamesWarning();
    if (!warning.empty())
        mWindow.userInterface().warning(warning);
}

bool AssociationPage::loadTraitFile(const std::string &path)
{
    // The list of traits to plot is emptied first, also when the file is refused.
    refillPlotTraitList({});
    const TraitFileContents contents = TraitFileReader::readFile(path);
    if (!contents.ok()) {
        // A refused file is reported, not an error that ended the program's command.
        mWindow.userInterface().warning(contents.error);
        return false;
    }
    // A trait file replaces the trait table: cells of an earlier, larger table must not pass
    // for this file's data.
    mTraits = TraitTable::fromColumns(contents.columns, contents.rowCount);
    traitTableReplaced();
    refillPlotTraitList(contents.traitNames);
    warnOfUnmatchedTraitNames();
    return true;
}

void AssociationPage::ImportTraitFile()
{
    const std::vector<std::string> names = mWindow.userInterface().openFileNames("Load .qua file", TraitFileReader::Filter, {}, false);
    // A refused file leaves the individual lists and their ticks as they were.
    if (!names.empty() && !loadTraitFile(names.front()))
        return;
    adoptTraitIndividuals();
    GenotypeData &data = mWindow.data();
    std::fill(data.Ticked.begin(), data.Ticked.end(), 1);
    data.RebuildSelectedIndices();
    mWindow.pages()->setTabEnabled(MainWindow::SelectionResultsPage, !data.IndividualNames.empty());
    emit mWindow.individualsChanged();
}

void AssociationPage::ExportTraitFile()
{
    UserInterface &ui = mWindow.userInterface();
    const std::string path = ui.saveFileName("Export trait data as .qua file", TraitFileWriter::Filter, {});
    if (path.empty())
        return;
    const GenotypeData &data = mWindow.data();
    TraitExportInput input;
    input.columnCount = mTraits.columnCount();
    input.rowCount = mTraits.rowCount();
    input.cell = [this](int c, int r) -> const std::string & { return mTraits.cell(c, r); };
    input.checkListNames = data.IndividualNames;
    input.ticked = data.Ticked;
    input.filtering = data.Selectionyesno;
    if (input.filtering && !input.checkListNames.empty())
        input.unselectedAsUnknown = ui.question(UserInterface::MessageKind::Information, TraitFileWriter::UnselectedQuestion);
    std::string error;
    if (!TraitFileWriter::write(path, input, &error))
        ui.error(error);
}

void AssociationPage::pasteBtnClick()
{
    pasteTable(mTraits, clipboardText ? clipboardText() : std::string());
    traitTableReplaced();
    mSubPages->setCurrentIndex(TraitDataPage);
    refillPlotTraitList(mTraits.traitNames());
    adoptTraitIndividuals();
}

void AssociationPage::transposebtnClick()
{
    mTraits.transpose();
    traitTableReplaced();
}

void AssociationPage::markMarkerDataStale()
{
    mMarkersStale = true;
    mWindow.data().MarkerGridStale = true;
    if (mSubPages->currentIndex() == MarkerDataPage)
        associationtabsEnter();
}

void AssociationPage::dataSetClosed()
{
    const bool hadResults = !mResults.isEmpty();
    const bool held = hadResults || mReport->anovaReport() || !mMarkers.isEmpty() || mSync.columnCount() > 0;
    mResults = AssociationResults();
    for (AssociationResultsModel *model : mResultModels)
        model->resultsReplaced();
    mDrawnRows = DrawnTraitRows();
    mReport->clearText();
    mSync = TraitTable();
    mSyncModel->tableReplaced();
    mMarkers.clear();
    mMarkerModel->tableReplaced();
    mPlotButton->setEnabled(false);
    if (auto *tool = mWindow.findChild<QAction *>(QStringLiteral("associationPlotTool")))
        tool->setEnabled(false);
    // The traits to plot were those of the results: those of the trait table again.
    if (hadResults)
        refillPlotTraitList(mTraits.traitNames());
    markMarkerDataStale();
    showEmptyPValueCharts();
    if (held)
        returnFreedMemory();
}

void AssociationPage::individualsReordered()
{
    if (!mMarkers.isPasted() && !mMarkers.isEmpty())
        mMarkerModel->tableReplaced();
}

void AssociationPage::ensureMarkerData(MarkerData::Coding coding)
{
    if (!mMarkersStale && !mWindow.data().MarkerGridStale && mMarkers.coding() == coding)
        return;
    mMarkers.fillFromGenotypes(mWindow.data(), mWindow.alleles(), coding);
    mMarkersStale = false;
    mWindow.data().MarkerGridStale = false;
    mMarkerModel->tableReplaced();
    shapeHeadings(mMarkerView, 100, 80);
}

void AssociationPage::associationtabsEnter()
{
    if (mMarkersStale || mWindow.data().MarkerGridStale)
        ensureMarkerData();
}

void AssociationPage::refreshmarkergridClick()
{
    mMarkersStale = true;
    associationtabsEnter();
}

void AssociationPage::pastemarkerdatabtnClick()
{
    mMarkers.paste(clipboardText ? clipboardText() : std::string());
    mMarkersStale = false;
    mWindow.data().MarkerGridStale = false;
    mMarkerModel->tableReplaced();
    shapeHeadings(mMarkerView, 110, 40);
}

void AssociationPage::SyncgridsClick()
{
    if (mMarkers.isEmpty() || mMarkersStale)
        associationtabsEnter();
    mSync = buildSyncTable(mTraits, mMarkers.individualNames());
    mSyncModel->tableReplaced();
    shapeHeadings(mSyncView, 110, 80);
    mSubPages->setCurrentIndex(SyncPage);
}

void AssociationPage::traitgridClick(int row)
{
    if (row <= 0 || row >= mTraits.rowCount())
        return;
    mSortOnTrait->setEnabled(true);
    mTraitModel->setSelectedRow(row);
    mHistogramRow = row;
    const std::vector<std::string> &names = mWindow.data().IndividualNames;
    mTraitSortKeys = traitSortKeyEntries(mTraits, row, names);
    mSortKeyRow = row;
    mSortKeysFromPlotList = false;
    const TraitHistogram histogram = quickTraitHistogram(mTraits, row, names);
    AssociationChartInput chart;
    chart.title = histogram.title;
    chart.leftTitle = "Frequency";
    chart.barLabels = histogram.labels;
    chart.barValues.assign(histogram.counts.begin(), histogram.counts.end());
    mTraitHistogram->setChart(chart);
}

void AssociationPage::plottraitlistClick(int item)
{
    const int row = item + 1;
    if (item < 0 || row >= mTraits.rowCount())
        return;
    mSortOnTrait->setEnabled(true);
    const GenotypeData &data = mWindow.data();
    mTraitSortKeys = traitSortKeyEntries(mTraits, row, data.IndividualNames);
    mSortKeyRow = row;
    mSortKeysFromPlotList = true;
    std::vector<bool> selected(data.IndividualNames.size());
    for (size_t i = 0; i < selected.size(); ++i)
        selected[i] = i < data.Ticked.size() && data.Ticked[i];
    const TraitHistogram histogram = selectedTraitHistogram(mTraits, row, data.IndividualNames, selected, mBarCount->value());
    AssociationChartInput chart;
    chart.title = histogram.title;
    chart.leftTitle = "Frequency";
    chart.barLabels = histogram.labels;
    chart.barValues.assign(histogram.counts.begin(), histogram.counts.end());
    mTraitHistogram->setChart(chart);
}

void AssociationPage::editTraitCell(int column, int row, const std::string &text)
{
    if (column < 0 || row < 0)
        return;
    const bool grows = column >= mTraits.columnCount() || row >= mTraits.rowCount();
    mTraits.setCell(column, row, editedCellText(column, row, text));
    if (grows)
        mTraitModel->tableReplaced();
    // A renamed trait keeps its place and tick in the list of traits to plot.
    if (column == 0 && row >= 1 && row - 1 < mPlotTraits->count())
        mPlotTraits->item(row - 1)->setText(toQt(mTraits.cell(0, row)));
    // The sort keys and the histogram follow the values (and the names they are matched by) of
    // the trait they were made from, so a sort after the edit uses the edited values.
    if (mSortKeyRow >= 1 && (row == mSortKeyRow || row == 0)) {
        if (mSortKeysFromPlotList)
            plottraitlistClick(mSortKeyRow - 1);
        else
            traitgridClick(mSortKeyRow);
    }
    // A synchronised table already built shows the edit too. The marker data are not touched:
    // only a change of the genotypes makes them stale, so pasted marker data stay.
    if (mSync.columnCount() > 0) {
        mSync = buildSyncTable(mTraits, mMarkers.individualNames());
        mSyncModel->tableReplaced();
        shapeHeadings(mSyncView, 110, 80);
    }
}

void AssociationPage::plotlistshowallbtnClick()
{
    for (int i = 0; i < mPlotTraits->count(); ++i)
        mPlotTraits->item(i)->setCheckState(Qt::Checked);
}

void AssociationPage::plottraitlistselnonebtnClick()
{
    for (int i = 0; i < mPlotTraits->count(); ++i)
        mPlotTraits->item(i)->setCheckState(Qt::Unchecked);
}

// ---------------------------------------------------------------------------------------------
// The analyses

bool AssociationPage::runOnWorker(const QString &label, const std::function<void(const AnalysisHooks &hooks)> &step)
{
    return RunOnWorker(this, label, mWindow.userInterface(), [&](const WorkerProgress &progress) {
        bool goOn = true;
        AnalysisHooks hooks;
        hooks.progress = [&](long long done, long long total) {
            if (total > 0)
                goOn = progress(done, total);
        };
        hooks.cancelled = [&] { return !goOn; };
        step(hooks);
    });
}

void AssociationPage::resultsReplaced()
{
    for (AssociationResultsModel *model : mResultModels)
        model->resultsReplaced();
    for (QTableView *view : mResultViews)
        shapeHeadings(view, 100, 100);
    // The traits of the run, all checked (of a stopped run those it reached).
    refillPlotTraitList(mResults.writtenTraitNames());
    showFirstPValueCharts();
}

AssociationChartInput AssociationPage::emptyTraitHistogram()
{
    AssociationChartInput empty;
    empty.title = "Trait histogram ";
    empty.leftTitle = "Frequency";
    empty.hint = "Click a trait name to see its histogram";
    return empty;
}

void AssociationPage::showEmptyPValueCharts()
{
    AssociationChartInput histogram;
    histogram.title = "P value distribution";
    histogram.hint = "Run an analysis, then click a trait's column";
    mPHistogram->setChart(histogram);
    AssociationChartInput scatter;
    scatter.hint = histogram.hint;
    mPScatter->setChart(scatter);
    mPColumnCaption->clear();
}

void AssociationPage::showFirstPValueCharts()
{
    // The first trait's charts at once; a click on another column shows that trait's.
    if (mResults.columnCount(Table::P) > 1)
        pgridClick(1);
    else
        showEmptyPValueCharts();
}

void AssociationPage::SpeedButton5Click()
{
    switch (chooseAnalysis ? chooseAnalysis() : AnalysisChoice::Cancel) {
    case AnalysisChoice::Correlation: calc_assoc_numClick(); break;
    case AnalysisChoice::Anova: anovabtnClick(); break;
    case AnalysisChoice::Cancel: break;
    }
}

void AssociationPage::calc_assoc_numClick()
{
    UserInterface &ui = mWindow.userInterface();
    ui.setBusy(true);
    if (mMarkers.isEmpty() || (!mMarkers.isPasted() && (mMarkersStale || mWindow.data().MarkerGridStale)))
        ensureMarkerData();
    mSubPages->setCurrentIndex(LogPPage);
    ui.setBusy(false);
    AssociationResults fresh;
    CorrelationOutcome outcome;
    // The run goes on a worker thread while the window stays responsive.
    const double fdrLevel = FdrLevel(mWindow.generalOptions().qthreshold);
    const bool ran = runOnWorker(QStringLiteral("Calculating association..."), [&](const AnalysisHooks &hooks) {
        outcome = runCorrelationAssociation(mMarkers, mTraits, fdrLevel, fresh, hooks);
    });
    if (!ran || outcome.cancelled)
        return; // the previous results stay
    // A cell that is no number stops the run; the tables keep what was computed up to it.
    mResults = std::move(fresh);
    resultsReplaced();
    warnOfUnmatchedTraitNames();
    if (!outcome.error.empty()) {
        ui.error(outcome.error);
        return;
    }
    mPlotButton->setEnabled(true);
    if (auto *tool = mWindow.findChild<QAction *>(QStringLiteral("associationPlotTool")))
        tool->setEnabled(true);
}

void AssociationPage::anovabtnClick()
{
    UserInterface &ui = mWindow.userInterface();
    // The marker data in code mode for the run; afterwards they are stale, so the next display
    // shows the allele values again.
    mMarkersStale = true;
    ensureMarkerData(MarkerData::Coding::CodeNumber);
    SyncgridsClick();
    mSubPages->setCurrentIndex(PValuesPage);
    AssociationResults fresh;
    auto report = std::make_shared<AnovaAssociationReport>();
    AnovaOutcome outcome;
    // The distributions may report the same failure for thousands of marker and trait pairs:
    // each distinct message is shown once, with its count, after the run.
    MessageTally tally(ui);
    // Both cores share the pairs on worker threads while the window stays responsive; Cancel
    // keeps the tables and the report of the run before.
    const bool ran = runOnWorker(QStringLiteral("Calculating ANOVA..."), [&](const AnalysisHooks &hooks) {
        outcome = runAnovaAssociation(mMarkers, mSync, fresh, *report, hooks, &tally);
    });
    tally.flush();
    mMarkersStale = true;
    mWindow.data().MarkerGridStale = true;
    if (!ran || outcome.cancelled)
        return;
    mReport->clearText();
    mResults = std::move(fresh);
    resultsReplaced();
    warnOfUnmatchedTraitNames();
    if (!outcome.error.empty()) {
        ui.error(outcome.error);
        return;
    }
    mReport->showAnovaReport(std::move(report));
    mReport->showReport();
}

void AssociationPage::pgridClick(int column)
{
    if (column < 1 || column >= mResults.columnCount(Table::P))
        return;
    const std::string name = mResults.cell(Table::P, column, 0);
    mPColumnCaption->setText(toQt(name));
    AssociationChartInput histogram;
    histogram.title = "p values histogram " + name;
    histogram.bottomTitle = "p-value";
    histogram.leftTitle = "Frequency";
    histogram.barValues.assign(20, 0.0);
    for (int k = 0; k < 20; ++k)
        histogram.barLabels.push_back(formatText("%.1f", {k / 20.0}));
    std::vector<double> pValues;
    for (int r = 2; r < mResults.rowCount(Table::P); ++r) {
        const std::optional<double> p = parseDecimal(mResults.cell(Table::P, column, r));
        if (p) {
            const long long bar = std::clamp<long long>(roundHalfEven(*p * 19), 0, 19);
            histogram.barValues[static_cast<size_t>(bar)] += 1;
        }
        pValues.push_back(p.value_or(0.0));
    }
    mPHistogram->setChart(histogram);
    std::sort(pValues.begin(), pValues.end());
    AssociationChartInput scatter;
    scatter.title = "p values scatterplot" + name;
    scatter.bottomTitle = "rank nr ";
    scatter.leftTitle = "P-value";
    scatter.fixedYRange = true;
    for (size_t i = 0; i < pValues.size(); ++i) {
        scatter.pointX.push_back(static_cast<double>(i + 1));
        scatter.pointY.push_back(pValues[i]);
    }
    mPScatter->setChart(scatter);
}

void AssociationPage::pastepvalueClick()
{
    mResults.pastePValues(clipboardText ? clipboardText() : std::string(), mWindow.generalOptions().qthreshold);
    for (AssociationResultsModel *model : mResultModels)
        model->resultsReplaced();
    shapeHeadings(mResultViews[3], 110, 100);
    showFirstPValueCharts();
}

void AssociationPage::pastervalueClick()
{
    mResults.pasteRValues(clipboardText ? clipboardText() : std::string());
    for (AssociationResultsModel *model : mResultModels)
        model->resultsReplaced();
    std::vector<std::string> names;
    for (int c = 1; c < mResults.columnCount(Table::R); ++c)
        names.push_back(mResults.cell(Table::R, c, 0));
    refillPlotTraitList(names);
    mPlotButton->setEnabled(true);
    if (auto *tool = mWindow.findChild<QAction *>(QStringLiteral("associationPlotTool")))
        tool->setEnabled(true);
    markMarkerDataStale();
}

void AssociationPage::SaveGridasExcelBtnClick()
{
    // With the page "Genetic Distances" in front the command saves its distance table (the
    // labels in row 0 and column 0, as the grid shows it).
    const bool distances = mWindow.pages()->currentIndex() == MainWindow::DistancesPage;
    const DistancePage *distancePage = distances ? mWindow.findChild<DistancePage *>() : nullptr;
    const std::shared_ptr<const DistanceMatrix> matrix = distancePage ? distancePage->matrix() : nullptr;
    const int page = mSubPages->currentIndex();
    if (distances ? !matrix : (page < 0 || page > QValuesPage || !SavedMessages[page]))
        return;
    UserInterface &ui = mWindow.userInterface();
    std::string path = ui.saveFileName("Save Sheet data", "Excel|*.xls", {});
    if (path.empty())
        return;
    const size_t slash = path.find_last_of('/');
    if (path.find('.', slash == std::string::npos ? 0 : slash) == std::string::npos)
        path += ".xls";
    std::string error;
    bool written = false;
    if (distances) {
        if (WriteGridAsSpreadsheet(matrix->gridSize(), matrix->gridSize(), [&matrix](int c, int r) { return matrix->cellText(c, r); },
                                   path, &error))
            ui.information(DistanceSheetSavedMessage + path);
        else
            ui.error(error);
        return;
    }
    if (page == TraitDataPage || page == SyncPage) {
        const TraitTable &table = page == TraitDataPage ? mTraits : mSync;
        written = WriteGridAsSpreadsheet(table.columnCount(), table.rowCount(), [&table](int c, int r) { return table.cell(c, r); },
                                         path, &error);
    } else if (page == MarkerDataPage) {
        written = WriteGridAsSpreadsheet(mMarkers.columnCount(), mMarkers.rowCount(),
                                         [this](int c, int r) { return mMarkers.cell(c, r); }, path, &error);
    } else {
        const Table table = ResultTables[static_cast<size_t>(page - LogPPage)];
        written = WriteGridAsSpreadsheet(mResults.columnCount(table), mResults.rowCount(table),
                                         [this, table](int c, int r) { return mResults.cell(table, c, r); }, path, &error);
    }
    if (written)
        ui.information(SavedMessages[page] + path);
    else
        ui.error(error);
}

// ---------------------------------------------------------------------------------------------
// Plots and the trait sort

AssociationPlotInput AssociationPage::plotSettings() const
{
    // The association settings of the "Settings" page, read when the plot is drawn.
    const GeneralOptions options = mWindow.generalOptions();
    AssociationPlotInput settings;
    settings.style = options.associationplot == GeneralOptions::AssociationPlot::GradientPlot ? AssociationPlotInput::Style::Gradient
                                                                                              : AssociationPlotInput::Style::Bar;
    settings.amplification = options.asso_amp;
    settings.colorOffset = options.coloroffset;
    settings.useFdrThreshold = options.useFDRthreshold;
    settings.qThreshold = parseDecimal(options.qthreshold).value_or(0.05);
    settings.pThreshold = parseDecimal(options.pthreshold).value_or(0.01);
    return settings;
}

std::vector<std::pair<std::string, bool>> AssociationPage::plottedTraits() const
{
    std::vector<std::pair<std::string, bool>> traits;
    for (int i = 0; i < mPlotTraits->count(); ++i)
        traits.emplace_back(mPlotTraits->item(i)->text().toStdString(), mPlotTraits->item(i)->checkState() == Qt::Checked);
    return traits;
}

void AssociationPage::plotLDbtnClick()
{
    if (mResults.isEmpty() || mWindow.data().GroupCount() == 0)
        return;
    associationtabsEnter();
    const AssociationPlotInput settings = plotSettings();
    AssociationPlotInput input = associationPlotInput(mWindow.data(), mMarkers, mResults, plottedTraits());
    input.style = settings.style;
    input.amplification = settings.amplification;
    input.colorOffset = settings.colorOffset;
    input.useFdrThreshold = settings.useFdrThreshold;
    input.qThreshold = settings.qThreshold;
    input.pThreshold = settings.pThreshold;
    input.drawing = mWindow.displaySettings().drawing;
    input.clientWidth = mWindow.imagePage()->width();
    input.zoom = mWindow.zoomFactor();
    const AssociationPlotLayout layout = associationPlotLayout(input);
    // Row 0 of the layout holds the group bars; the trait rows follow.
    mDrawnRows = DrawnTraitRows{input.traitNames, input.traitColumns,
                                std::vector<int>(layout.rowTops.begin() + 1, layout.rowTops.end()),
                                std::vector<int>(layout.rowBottoms.begin() + 1, layout.rowBottoms.end())};
    mWindow.showAssociationPicture(recordAssociationPlot(input), mDrawnRows.names, mDrawnRows.tops, mDrawnRows.bottoms);
}

void AssociationPage::showTraitLdPlot(int row)
{
    if (row < 0 || static_cast<size_t>(row) >= mDrawnRows.columns.size())
        return;
    const int column = mDrawnRows.columns[static_cast<size_t>(row)];
    if (column >= mResults.columnCount(Table::LogP))
        return;
    mResultModels[0]->setSelectedColumn(column);
    TraitLdPlotInput input = traitLdPlotInput(mWindow.data(), mMarkers, mResults, column);
    input.drawing = mWindow.displaySettings().drawing;
    input.clientHeight = mWindow.imagePage()->height();
    input.zoom = mWindow.zoomFactor();
    ViewPicture picture = recordTraitLdPlot(input);
    // The view stays "Association": a further click picks a trait as on the association plot.
    if (!picture.isEmpty())
        mWindow.showAssociationPicture(std::move(picture), mDrawnRows.names, mDrawnRows.tops, mDrawnRows.bottoms);
}

void AssociationPage::sortontraitClick()
{
    if (mTraitSortKeys.empty())
        return;
    auto *page = mWindow.pageWidget(MainWindow::DataViewPage);
    SortControls *sort = page ? page->findChild<SortControls *>() : nullptr;
    if (!sort)
        return;
    sort->sortOnTrait(TraitSortKeys(mTraitSortKeys));
    emit mWindow.individualsChanged();
}

AssociationPage *associationPage(MainWindow &window)
{
    return dynamic_cast<AssociationPage *>(window.pageWidget(MainWindow::AssociationsPage));
}

} // namespace rvk
