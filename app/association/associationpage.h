#pragma once
// The page "Associations": the trait table, the marker-data table and the synchronised table,
// the trait histograms on "Trait Plotting && stats", the five result tables of the association
// runs, and the commands that fill them, run the analyses and draw the association and LD plots.
// The page holds the data; the logic (genetics/association, genetics/traittable) computes.

#include "genetics/association.h"
#include "genetics/markerdata.h"
#include "genetics/traittable.h"
#include "render/associationplot.h"

#include <QWidget>

#include <array>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTableView;
class QVBoxLayout;

namespace rvk {

class AssociationChartWidget;
class AssociationResultsModel;
class MainWindow;
class MarkerDataModel;
class ReportWindow;
class TraitTableModel;

class AssociationPage : public QWidget
{
public:
    // The sub-pages, in their order.
    enum SubPage { TraitDataPage, MarkerDataPage, SyncPage, TraitPlottingPage, LogPPage, R2Page, RPage, PValuesPage, QValuesPage };

    explicit AssociationPage(MainWindow &window);
    ~AssociationPage() override;

    // Trait files: "Load .qua file" and "Export trait data as .&qua file".
    void ImportTraitFile();
    void ExportTraitFile();
    // Loads a trait file chosen already; false after a message. The table is replaced.
    bool loadTraitFile(const std::string &path);

    // The tables and their commands.
    void pasteBtnClick();
    void transposebtnClick();
    void associationtabsEnter();
    void refreshmarkergridClick();
    void pastemarkerdatabtnClick();
    void SyncgridsClick();
    void traitgridClick(int row);
    void plottraitlistClick(int item);
    // A cell of the trait table edited in the window (typed text as entered).
    void editTraitCell(int column, int row, const std::string &text);
    void plotlistshowallbtnClick();
    void plottraitlistselnonebtnClick();
    // The data set changed: the marker data are stale (refilled when next needed).
    void markMarkerDataStale();
    // The data set was closed, or more groups joined it: the results of its analyses (the five
    // tables, their charts, the ANOVA report, the synchronised table and the association plot's
    // rows) go, and the marker data are stale. The trait table stays.
    void dataSetClosed();
    // The individuals were reordered or their ticks changed: no genotype changed, so the marker
    // data stay (a table filled from the genotypes shows the new order).
    void individualsReordered();

    // The analyses: "Calc Assoc." asks which; the two runs; the p-value charts of a column.
    void SpeedButton5Click();
    void calc_assoc_numClick();
    void anovabtnClick();
    void pgridClick(int column);
    void pastepvalueClick();
    void pastervalueClick();
    void SaveGridasExcelBtnClick();

    // "Plot Assoc." and the LD plot of a trait clicked in the association plot.
    void plotLDbtnClick();
    // row: the trait's row in the association plot shown (0 = the first drawn trait).
    void showTraitLdPlot(int row);
    // "Arrange data according to trait values".
    void sortontraitClick();

    // The state, for the other features and the tests.
    const TraitTable &traitTable() const { return mTraits; }
    const TraitTable &syncTable() const { return mSync; }
    const MarkerData &markerData() const { return mMarkers; }
    const AssociationResults &results() const { return mResults; }
    const std::vector<std::string> &traitSortKeys() const { return mTraitSortKeys; }
    QTabWidget *subPages() const { return mSubPages; }
    ReportWindow *reportWindow() const { return mReport; }
    QListWidget *plotTraitList() const { return mPlotTraits; }
    QPushButton *sortOnTraitButton() const { return mSortOnTrait; }
    QPushButton *plotButton() const { return mPlotButton; }
    AssociationChartWidget *traitHistogram() const { return mTraitHistogram; }
    AssociationChartWidget *pValueHistogram() const { return mPHistogram; }
    AssociationChartWidget *pValueScatter() const { return mPScatter; }
    QSpinBox *barCount() const { return mBarCount; }
    // The plot settings as the "Settings" page shows them.
    AssociationPlotInput plotSettings() const;

    // Other features put their widgets on "Trait Plotting && stats" (below the histogram): the
    // page takes ownership.
    void addTraitPlottingWidget(QWidget *widget);

    // Replaceable for the tests: the clipboard's text, and the answer to "Calc Assoc." (Yes =
    // correlation, No = ANOVA, Cancel = nothing).
    enum class AnalysisChoice { Correlation, Anova, Cancel };
    std::function<std::string()> clipboardText;
    std::function<AnalysisChoice()> chooseAnalysis;

    static constexpr const char *AnalysisQuestion =
        "Select type of analysis:\rclick Yes for correlation analysis (bi-allelic or quantitative marker coding)\rClick No for "
        "Anova (multiallelic/SSR/Haploblock marker coding)";

private:
    void buildTraitDataPage();
    void buildMarkerDataPage();
    void buildSyncPage();
    void buildPlottingPage();
    void buildResultPages();
    void traitTableReplaced();
    void refillPlotTraitList(const std::vector<std::string> &names);
    void adoptTraitIndividuals();
    void resultsReplaced();
    static AssociationChartInput emptyTraitHistogram();
    // A warning when a data set is open and no trait-table individual bears one of its names;
    // empty otherwise.
    std::string unmatchedTraitNamesWarning() const;
    void warnOfUnmatchedTraitNames();
    void showEmptyPValueCharts();
    void showFirstPValueCharts();
    void ensureMarkerData(MarkerData::Coding coding = MarkerData::Coding::Numval);
    // Runs step on a worker thread with a progress dialog whose Cancel the step hears through
    // its hooks; false when the run was cancelled.
    bool runOnWorker(const QString &label, const std::function<void(const AnalysisHooks &hooks)> &step);
    std::vector<std::pair<std::string, bool>> plottedTraits() const;

    MainWindow &mWindow;
    TraitTable mTraits;
    TraitTable mSync;
    MarkerData mMarkers;
    bool mMarkersStale = true;
    AssociationResults mResults;
    // The association plot shown: its rows' trait names, result columns and rows in pixels.
    struct DrawnTraitRows
    {
        std::vector<std::string> names;
        std::vector<int> columns, tops, bottoms;
    } mDrawnRows;
    std::vector<std::string> mTraitSortKeys;
    int mHistogramRow = -1;
    // The trait row the sort keys were built from, and whether by the plotted histogram.
    int mSortKeyRow = -1;
    bool mSortKeysFromPlotList = false;

    QTabWidget *mSubPages = nullptr;
    QTableView *mTraitView = nullptr;
    QTableView *mMarkerView = nullptr;
    QTableView *mSyncView = nullptr;
    TraitTableModel *mTraitModel = nullptr;
    TraitTableModel *mSyncModel = nullptr;
    MarkerDataModel *mMarkerModel = nullptr;
    std::array<AssociationResultsModel *, AssociationResults::TableCount> mResultModels{};
    std::array<QTableView *, AssociationResults::TableCount> mResultViews{};
    QListWidget *mPlotTraits = nullptr;
    QSpinBox *mBarCount = nullptr;
    AssociationChartWidget *mTraitHistogram = nullptr;
    AssociationChartWidget *mPHistogram = nullptr;
    AssociationChartWidget *mPScatter = nullptr;
    QLabel *mPColumnCaption = nullptr;
    QVBoxLayout *mPlottingExtras = nullptr;
    QPushButton *mSortOnTrait = nullptr;
    QPushButton *mPlotButton = nullptr;
    ReportWindow *mReport = nullptr;
};

// The association page of window, for the features that read the trait table or add to
// "Trait Plotting && stats" (null before the association feature is installed).
AssociationPage *associationPage(MainWindow &window);

} // namespace rvk
