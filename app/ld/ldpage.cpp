#include "app/ld/ldpage.h"

#include "app/ld/ldchartwidget.h"
#include "app/ld/ldheatplotview.h"
#include "app/ld/lddialleltable.h"
#include "app/ld/ldlinemodel.h"
#include "app/association/associationchartwidget.h"
#include "app/association/associationpage.h"
#include "app/mainwindow.h"
#include "app/workerrun.h"
#include "core/textformat.h"
#include "core/userinterface.h"
#include "genetics/clusterorder.h"
#include "genetics/fdr.h"
#include "genetics/ldpictures.h"
#include "genetics/markerdata.h"
#include "io/spreadsheetwriter.h"
#include "render/picturefiles.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace rvk {

namespace {

constexpr int DefaultColumnWidth = 45;
constexpr int DefaultRowHeight = 20;
// Largest table a spreadsheet file holds: a heading column and one column per locus.
constexpr int MaxSpreadsheetLoci = MaxSpreadsheetColumns - 1;

// The run's progress and cancel requests, on the worker thread, passed to the progress of
// RunOnWorker (its dialog and the window's progress bar); the run asks nothing else.
class WorkerRunProgress : public UserInterface
{
public:
    explicit WorkerRunProgress(const WorkerProgress &progress) : mProgress(progress) {}
    void message(MessageKind, const std::string &) override {}
    bool question(const std::string &) override { return false; }
    std::vector<std::string> openFileNames(const std::string &, const std::string &, const std::string &, bool) override
    {
        return {};
    }
    std::string saveFileName(const std::string &, const std::string &, const std::string &) override { return {}; }
    void setProgress(long long position, long long maximum) override
    {
        if (maximum > 0 && !mProgress(position, maximum))
            mCancelled = true;
    }
    void setBusy(bool) override {}
    bool cancelled() const { return mCancelled; }

private:
    const WorkerProgress &mProgress;
    bool mCancelled = false;
};

QString extensionOf(const QString &path) { return QFileInfo(path).suffix(); }

} // namespace

LdPage::LdPage(MainWindow &window) : QWidget(&window), mWindow(window)
{
    auto *outer = new QVBoxLayout(this);
    // Above both sub-pages while they show the results of a closed data set.
    mClosedDataNote = new QLabel(QString::fromLatin1(ClosedDataText), this);
    mClosedDataNote->setObjectName(QStringLiteral("ldClosedDataNote"));
    mClosedDataNote->setWordWrap(true);
    mClosedDataNote->setStyleSheet(QStringLiteral("QLabel { background: #fff3c0; color: black; padding: 4px; }"));
    mClosedDataNote->setVisible(false);
    outer->addWidget(mClosedDataNote);
    mSubPages = new QTabWidget(this);
    mSubPages->setObjectName(QStringLiteral("LdSubPages"));
    outer->addWidget(mSubPages);

    // "Marker LD"
    auto *markerPage = new QWidget;
    auto *markerLayout = new QVBoxLayout(markerPage);
    auto *controls = new QGridLayout;
    markerLayout->addLayout(controls);

    mGroupBox = new QComboBox;
    mGroupBox->setObjectName(QStringLiteral("LDselectbox"));
    mCalcButton = new QPushButton(QStringLiteral("only this group>"));
    mCalcButton->setObjectName(QStringLiteral("LDcalc"));
    mAllButton = new QPushButton(QStringLiteral("Calc LD for all loci"));
    mAllButton->setObjectName(QStringLiteral("LDall"));
    controls->addWidget(mCalcButton, 0, 0);
    controls->addWidget(mGroupBox, 0, 1);
    controls->addWidget(mAllButton, 1, 0, 1, 2);

    auto *measures = new QGroupBox(QStringLiteral("Measure"));
    auto *measureLayout = new QVBoxLayout(measures);
    auto makeRadio = [](const char *caption, const char *name, QLayout *layout) {
        auto *radio = new QRadioButton(QString::fromUtf8(caption));
        radio->setObjectName(QString::fromLatin1(name));
        layout->addWidget(radio);
        return radio;
    };
    mR2 = makeRadio("R²", "r2", measureLayout);
    mR = makeRadio("R", "R_single", measureLayout);
    mLogP = makeRadio("-10log(p)", "logp", measureLayout);
    mDPrime = makeRadio("Lewontin D'", "dprime", measureLayout);
    mChi = makeRadio("χ²'", "chi", measureLayout);
    mR2->setChecked(true);
    controls->addWidget(measures, 0, 2, 4, 1);

    mSuccessive = new QCheckBox(QStringLiteral("limit to successive markers"));
    mSuccessive->setObjectName(QStringLiteral("successivemarkers"));
    mIntensity = new QCheckBox(QStringLiteral("Use marker intensity data"));
    mIntensity->setObjectName(QStringLiteral("usepasteddataforLD"));
    mIntensity->setEnabled(false); // enabled once the association page's marker-data table is there
    mClusterOrder = new QCheckBox(QStringLiteral("rearrange loci according to NJ clustering"));
    mClusterOrder->setObjectName(QStringLiteral("useclusterorder"));
    mClusterOrder->setEnabled(false); // enabled once a tree has left a cluster order
    controls->addWidget(mSuccessive, 2, 0, 1, 2);
    controls->addWidget(mIntensity, 3, 0, 1, 2);
    controls->addWidget(mClusterOrder, 4, 0, 1, 2);

    auto *heatBox = new QGroupBox(QStringLiteral("HeatPlot"));
    auto *heatLayout = new QGridLayout(heatBox);
    heatLayout->addWidget(new QLabel(QStringLiteral("Block size")), 0, 0);
    mBlockSize = new QSpinBox;
    mBlockSize->setObjectName(QStringLiteral("LDblocksize"));
    mBlockSize->setRange(2, 100);
    mBlockSize->setValue(5);
    heatLayout->addWidget(mBlockSize, 0, 1);
    mColour = new QRadioButton(QStringLiteral("Color"));
    mColour->setObjectName(QStringLiteral("heatcolor"));
    mBlackAndWhite = new QRadioButton(QStringLiteral("B&&W"));
    mBlackAndWhite->setObjectName(QStringLiteral("heatBW"));
    mColour->setChecked(true);
    heatLayout->addWidget(mColour, 1, 0);
    heatLayout->addWidget(mBlackAndWhite, 1, 1);
    controls->addWidget(heatBox, 0, 3, 3, 1);

    auto *saveList = new QPushButton(QStringLiteral("Save list"));
    saveList->setObjectName(QStringLiteral("saveLDpairwisebtn"));
    auto *saveExcel = new QPushButton(QStringLiteral("Save as Excel File"));
    saveExcel->setObjectName(QStringLiteral("Saveasexcelbtn"));
    controls->addWidget(saveList, 3, 3);
    controls->addWidget(saveExcel, 4, 3);
    auto *note = new QLabel(QString::fromLatin1(NoteText));
    note->setWordWrap(true);
    controls->addWidget(note, 0, 4, 5, 1);
    controls->setColumnStretch(4, 1);

    auto *splitter = new QSplitter(Qt::Horizontal);
    markerLayout->addWidget(splitter, 1);
    auto *resultTabs = new QTabWidget;
    splitter->addWidget(resultTabs);

    mTableModel = new LdDiallelModel(this);
    mTable = new QTableView;
    mTable->setObjectName(QStringLiteral("StringGrid1"));
    mTable->setModel(mTableModel);
    mTable->setItemDelegate(new LdDiallelDelegate(*mTableModel, mTable));
    mTable->horizontalHeader()->hide();
    mTable->verticalHeader()->hide();
    mTable->horizontalHeader()->setDefaultSectionSize(DefaultColumnWidth);
    mTable->verticalHeader()->setDefaultSectionSize(DefaultRowHeight);
    mTable->horizontalHeader()->setMinimumSectionSize(5);
    mTable->verticalHeader()->setMinimumSectionSize(5);
    resultTabs->addTab(mTable, QStringLiteral("LD diallel"));

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mListModel = new LdLineModel(this);
    mList = new QListView;
    mList->setObjectName(QStringLiteral("Memo5"));
    mList->setModel(mListModel);
    mList->setUniformItemSizes(true);
    mList->setFont(fixed);
    resultTabs->addTab(mList, QStringLiteral("LD pairwise data"));

    auto *right = new QSplitter(Qt::Vertical);
    splitter->addWidget(right);
    auto *chartPane = new QWidget;
    auto *chartLayout = new QVBoxLayout(chartPane);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    mChart = new LdChartWidget;
    mChart->setObjectName(QStringLiteral("Chart1"));
    auto *saveChart = new QPushButton(QStringLiteral("save chart"));
    saveChart->setToolTip(QStringLiteral("doubleclick to save chart"));
    chartLayout->addWidget(mChart, 1);
    chartLayout->addWidget(saveChart, 0, Qt::AlignRight);
    right->addWidget(chartPane);
    mLogModel = new LdLineModel(this);
    mLogModel->setFixedLines({QString::fromLatin1(LdAnalysis::InitialLogText)});
    mLog = new QListView;
    mLog->setObjectName(QStringLiteral("Memo4"));
    mLog->setModel(mLogModel);
    mLog->setUniformItemSizes(true);
    mLog->setFont(fixed);
    right->addWidget(mLog);

    mSubPages->addTab(markerPage, QStringLiteral("Marker LD"));

    // "HeatPlot"
    auto *heatPage = new QWidget;
    auto *heatPageLayout = new QVBoxLayout(heatPage);
    auto *saveHeat = new QPushButton(QStringLiteral("save"));
    saveHeat->setObjectName(QStringLiteral("SpeedButton6"));
    saveHeat->setToolTip(QStringLiteral("save heat plot"));
    heatPageLayout->addWidget(saveHeat, 0, Qt::AlignLeft);
    // Shown while there is no plot: only runs over all loci draw one.
    mHeatHint = new QLabel(QStringLiteral("The heat plot shows the LD of all loci: click \"Calc LD for all loci\"."));
    mHeatHint->setObjectName(QStringLiteral("heatPlotHint"));
    heatPageLayout->addWidget(mHeatHint);
    mHeatArea = new QScrollArea;
    mHeatView = new LdHeatPlotView;
    mHeatArea->setWidget(mHeatView);
    mHeatArea->setWidgetResizable(false);
    heatPageLayout->addWidget(mHeatArea, 1);
    mSubPages->addTab(heatPage, QStringLiteral("HeatPlot"));

    connect(mCalcButton, &QPushButton::clicked, this, [this] { LDcalcClick(); });
    connect(mAllButton, &QPushButton::clicked, this, [this] { LDallClick(); });
    connect(saveList, &QPushButton::clicked, this, [this] { saveLDpairwisebtnClick(); });
    connect(saveExcel, &QPushButton::clicked, this, [this] { SaveasexcelbtnClick(); });
    connect(saveChart, &QPushButton::clicked, this, [this] { Chart1DblClick(); });
    connect(mChart, &LdChartWidget::saveRequested, this, [this] { Chart1DblClick(); });
    connect(saveHeat, &QPushButton::clicked, this, [this] { SpeedButton6Click(); });
    connect(mBlockSize, &QSpinBox::valueChanged, this, [this] { redrawHeatPlot(); });
    connect(mColour, &QRadioButton::toggled, this, [this] { redrawHeatPlot(); });
}

LdPage::~LdPage() = default;

const LdAnalysis *LdPage::heatPlotAnalysis() const
{
    if (mAnalysis && mAnalysis->scope() == LdAnalysis::Scope::AllLoci)
        return mAnalysis.get();
    return mHeatAnalysis.get();
}

void LdPage::markerldsheetShow()
{
    mClusterOrder->setEnabled(lastClusterOrder().has_value());
    mIntensity->setEnabled(associationPage(mWindow) != nullptr);
    const QComboBox *selector = mWindow.groupSelector();
    const QSignalBlocker blocker(mGroupBox);
    mGroupBox->clear();
    if (!selector)
        return;
    for (int k = 0; k < selector->count(); ++k)
        mGroupBox->addItem(selector->itemText(k));
    mGroupBox->setCurrentIndex(selector->currentIndex());
}

void LdPage::dataSetClosed()
{
    markerldsheetShow();
    if (!mAnalysis && !mHeatAnalysis)
        return;
    std::string summary = mAnalysis ? mAnalysis->summary() : std::string();
    if (mHeatAnalysis)
        summary += (summary.empty() ? "" : "; the heat plot's ") + mHeatAnalysis->summary();
    releaseResults();
    mClosedDataNote->setText(QString::fromLatin1(ClosedDataText) + QString::fromStdString(summary) + QStringLiteral("."));
    mClosedDataNote->setVisible(true);
}

void LdPage::releaseResults()
{
    // The views let go of the runs before they are destroyed.
    mTableModel->setAnalysis(nullptr);
    mListModel->setFixedLines({});
    mLogModel->setFixedLines({QString::fromLatin1(LdAnalysis::InitialLogText)});
    mChart->setSource({});
    mHeatView->setPlot(std::nullopt);
    mHeatHint->setVisible(true);
    mAnalysis.reset();
    mHeatAnalysis.reset();
}

LdOptions LdPage::collectOptions() const
{
    LdOptions options;
    if (mR->isChecked())
        options.measure = LdMeasure::R;
    else if (mLogP->isChecked())
        options.measure = LdMeasure::MinusLogP;
    else if (mDPrime->isChecked())
        options.measure = LdMeasure::DPrime;
    else if (mChi->isChecked())
        options.measure = LdMeasure::ChiSquarePrime;
    options.successiveMarkers = mSuccessive->isChecked();
    options.applySelection = mWindow.data().Selectionyesno;
    if (mIntensity->isEnabled() && mIntensity->isChecked())
        if (AssociationPage *association = associationPage(mWindow)) {
            // The marker-data table, refilled first when it is stale; row g + 1 holds locus g
            // (counted over all groups), column k + 1 individual k. A cell that is not a number is
            // missing.
            association->associationtabsEnter();
            const MarkerData *markers = &association->markerData();
            const int individuals = mWindow.data().nind;
            options.individualValues = [markers, individuals](int index) {
                std::vector<double> values(static_cast<size_t>(individuals), MarkerData::Missing);
                std::vector<int> columns(static_cast<size_t>(individuals));
                for (int k = 0; k < individuals; ++k)
                    columns[static_cast<size_t>(k)] = k + 1;
                if (markers->rowValues(index + 1, columns, values.data(), nullptr))
                    return values;
                for (int k = 0; k < individuals; ++k)
                    values[static_cast<size_t>(k)] = parseDecimal(markers->cell(k + 1, index + 1)).value_or(MarkerData::Missing);
                return values;
            };
        }
    // The FDR level of the associations, as its edit "qthreshold" shows it.
    options.fdrLevel = FdrLevel(mWindow.generalOptions().qthreshold);
    return options;
}

LdHeatPlotOptions LdPage::heatOptions() const
{
    LdHeatPlotOptions options;
    options.blockSize = mBlockSize->value();
    options.blackAndWhite = mBlackAndWhite->isChecked();
    const DrawingOptions &drawing = mWindow.displaySettings().drawing;
    options.barWidth = drawing.barwidth;
    options.font = drawing.qtlFont;
    return options;
}

std::unique_ptr<LdAnalysis> LdPage::runWithProgress(
    const std::function<std::unique_ptr<LdAnalysis>(const LdRunControl &)> &run, long long, const QString &label)
{
    UserInterface &ui = mWindow.userInterface();
    mRunning = true;
    mCalcButton->setEnabled(false);
    mAllButton->setEnabled(false);
    std::unique_ptr<LdAnalysis> result;
    // On a worker thread: the window keeps painting and answering, and the progress dialog
    // shows from the first moment of a long run.
    const bool finished = RunOnWorker(this, label, ui, [&](const WorkerProgress &progress) {
        WorkerRunProgress runProgress(progress);
        LdRunControl control{&runProgress, [&runProgress] { return runProgress.cancelled(); }};
        result = run(control);
    });
    mCalcButton->setEnabled(true);
    mAllButton->setEnabled(true);
    mRunning = false;
    if (!finished)
        result.reset();
    return result;
}

void LdPage::LDcalcClick()
{
    if (mRunning)
        return;
    const GenotypeData &data = mWindow.data();
    const int group = mGroupBox->currentIndex();
    if (group < 0 || group >= data.GroupCount())
        return;
    const long long loci = data.GroupLocusCount(group);
    UserInterface &ui = mWindow.userInterface();
    if (const std::string refusal = LdAnalysis::refusal(loci); !refusal.empty()) {
        ui.warning(refusal);
        return;
    }
    if (LdAnalysis::pairCount(loci) > LdAnalysis::AskAbovePairs && !ui.question(LdAnalysis::longRunQuestion(loci, data.nind)))
        return;
    const LdOptions options = collectOptions();
    auto analysis = runWithProgress(
        [&](const LdRunControl &control) { return LdAnalysis::runGroup(data, mWindow.alleles(), group, options, control); },
        LdAnalysis::pairCount(data.GroupLocusCount(group)));
    if (!analysis)
        return; // cancelled: the previous results stay
    // The heat plot keeps showing the last all-loci run.
    if (mAnalysis && mAnalysis->scope() == LdAnalysis::Scope::AllLoci)
        mHeatAnalysis = std::move(mAnalysis);
    mAnalysis = std::move(analysis);
    showResults();
}

void LdPage::LDallClick()
{
    if (mRunning)
        return;
    const GenotypeData &data = mWindow.data();
    if (data.GroupCount() == 0)
        return;
    UserInterface &ui = mWindow.userInterface();
    const long long loci = data.TotalLocusCount();
    if (const std::string refusal = LdAnalysis::refusal(loci); !refusal.empty()) {
        ui.warning(refusal);
        return;
    }
    if (LdAnalysis::pairCount(loci) > LdAnalysis::AskAbovePairs && !ui.question(LdAnalysis::longRunQuestion(loci, data.nind)))
        return;
    LdOptions options = collectOptions();
    if (mClusterOrder->isEnabled() && mClusterOrder->isChecked() && lastClusterOrder())
        options.clusterOrder = lastClusterOrder()->labels;
    auto analysis = runWithProgress(
        [&](const LdRunControl &control) { return LdAnalysis::runAllLoci(data, mWindow.alleles(), options, control); },
        LdAnalysis::pairCount(loci));
    if (!analysis)
        return;
    // The shown run is the heat plot's too, until the next group run.
    mHeatView->setPlot(std::nullopt); // before the run it shows goes
    mHeatHint->setVisible(true);
    mHeatAnalysis.reset();
    mAnalysis = std::move(analysis);
    showResults();
    redrawHeatPlot();
}

void LdPage::showResults()
{
    const LdAnalysis *analysis = mAnalysis.get();
    mClosedDataNote->setVisible(false);
    mTableModel->setAnalysis(analysis);
    mTable->setColumnWidth(0, 80);
    mTable->setRowHeight(0, analysis->scope() == LdAnalysis::Scope::Group ? 90 : 80);
    mListModel->setSource([analysis] { return analysis->listLineCount(); }, [analysis](long long k) { return analysis->listLine(k); });
    mLogModel->setSource([analysis] { return analysis->logLineCount(); }, [analysis](long long k) { return analysis->logLine(k); });
    mChart->setSource([analysis] { return ldChartInput(*analysis); });
}

void LdPage::redrawHeatPlot()
{
    const LdAnalysis *analysis = heatPlotAnalysis();
    if (!analysis)
        return;
    // At the plot's own size, however large: the view paints the exposed tiles only.
    mHeatView->setPlot(ldHeatPlotInput(*analysis, heatOptions()));
    mHeatHint->setVisible(false);
}

QImage LdPage::heatPlotImage() const { return mHeatView->renderWhole(); }

void LdPage::saveLDpairwisebtnClick()
{
    if (!mAnalysis)
        return;
    UserInterface &ui = mWindow.userInterface();
    const std::string path = ui.saveFileName("Save list", "text|*.txt|all|*.*", "");
    if (path.empty())
        return;
    std::string error;
    bool saved = false;
    const LdAnalysis *analysis = mAnalysis.get();
    runWithProgress(
        [&](const LdRunControl &control) {
            saved = analysis->saveList(path, error, control);
            return std::unique_ptr<LdAnalysis>();
        },
        analysis->listLineCount(), QStringLiteral("Saving list..."));
    if (!saved && !error.empty())
        ui.error(error);
}

void LdPage::SaveasexcelbtnClick()
{
    if (!mAnalysis)
        return;
    UserInterface &ui = mWindow.userInterface();
    if (mAnalysis->locusCount() > MaxSpreadsheetLoci) {
        ui.warning(formatText("The table of %d loci is too large for a spreadsheet file. \"Save list\" saves every pair.",
                              {mAnalysis->locusCount()}));
        return;
    }
    std::string path = ui.saveFileName("Save as Excel File", "Excel|*.xls", "");
    if (path.empty())
        return;
    if (extensionOf(QString::fromStdString(path)).isEmpty())
        path += ".xls";
    std::string error;
    const LdAnalysis *analysis = mAnalysis.get();
    if (!WriteGridAsSpreadsheet(analysis->tableSize(), analysis->tableSize(),
                                [analysis](int column, int row) { return analysis->tableCell(column, row); }, path, &error)) {
        ui.error(error);
        return;
    }
    ui.information("Data saved as " + path);
}

void LdPage::Chart1DblClick()
{
    if (!mAnalysis)
        return;
    UserInterface &ui = mWindow.userInterface();
    const std::string path = ui.saveFileName("Save chart", ChartFileFilter, "");
    if (path.empty())
        return;
    // As the association page's charts: ".emf" for a bare name, a Windows metafile for ".wmf",
    // a raster picture of a chosen size.
    std::string written, error;
    if (!saveChartPicture(mChart->shownPicture(), path, ui, written, error) && !error.empty())
        ui.error(error);
}

void LdPage::SpeedButton6Click()
{
    const LdAnalysis *analysis = heatPlotAnalysis();
    if (!analysis)
        return;
    UserInterface &ui = mWindow.userInterface();
    const std::string path = ui.saveFileName("Save heat plot", MetafileFirstFilter, "");
    if (path.empty())
        return;
    std::string written, error;
    ui.setBusy(true);
    const bool saved = saveLdHeatPlot(ldHeatPlotInput(*analysis, heatOptions()), path, HeatPlotBitmapFileSide, written, error);
    ui.setBusy(false);
    if (!saved)
        ui.error(error);
}

} // namespace rvk
