#pragma once
// The page "LD " with its sub-pages "Marker LD" (controls, diallel table, pairwise list, chart
// and log) and "HeatPlot". The analyses run in the logic (LdAnalysis); the page collects the
// options from its controls, shows the results and saves them.

#include "genetics/ldanalysis.h"

#include <QImage>
#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QListView;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;
class QTabWidget;
class QTableView;

namespace rvk {

class LdChartWidget;
class LdDiallelModel;
class LdLineModel;
class MainWindow;
struct LdHeatPlotOptions;
class LdHeatPlotView;

class LdPage : public QWidget
{
public:
    explicit LdPage(MainWindow &window);
    ~LdPage() override;

    // The page was shown: the group box follows the main group selector.
    void markerldsheetShow();
    // The data set was closed or replaced: the results computed from it go (their memory returns
    // to the system); the page keeps a one-line summary of them, marked as that of the closed
    // data, until the next run finishes.
    void dataSetClosed();
    // "only this group>" and "Calc LD for all loci".
    void LDcalcClick();
    void LDallClick();
    // "Save list", "Save as Excel File", the chart's save and the heat plot's save.
    void saveLDpairwisebtnClick();
    void SaveasexcelbtnClick();
    void Chart1DblClick();
    void SpeedButton6Click();

    // The run whose table, list, chart and log are shown, and the last all-loci run (the heat
    // plot's); null before the first.
    const LdAnalysis *analysis() const { return mAnalysis.get(); }
    const LdAnalysis *heatPlotAnalysis() const;
    // The heat plot as shown, as one bitmap (null before an all-loci run); for small plots.
    QImage heatPlotImage() const;
    LdHeatPlotView *heatPlotView() const { return mHeatView; }
    LdDiallelModel *tableModel() const { return mTableModel; }
    LdLineModel *listModel() const { return mListModel; }
    LdLineModel *logModel() const { return mLogModel; }
    LdChartWidget *chart() const { return mChart; }
    QTabWidget *subPages() const { return mSubPages; }
    QLabel *closedDataNote() const { return mClosedDataNote; }

    // Followed by the closed run's summary.
    static constexpr const char *ClosedDataText = "Results of the data set that was closed: ";
    static constexpr const char *NoteText =
        " Note: this is an experimental new module, results depend on the 'Numval' data for the alleles (see Settings) ";

private:
    LdOptions collectOptions() const;
    LdHeatPlotOptions heatOptions() const;
    // Runs an analysis on a worker thread with progress and cancel; the shown results change only
    // when it completes. Work on the list goes the same way (pairs: its size).
    std::unique_ptr<LdAnalysis> runWithProgress(const std::function<std::unique_ptr<LdAnalysis>(const LdRunControl &)> &run,
                                                long long pairs, const QString &label = QStringLiteral("Calculating LD..."));
    void showResults();
    void releaseResults();
    void redrawHeatPlot();

    MainWindow &mWindow;
    std::unique_ptr<LdAnalysis> mAnalysis;
    std::unique_ptr<LdAnalysis> mHeatAnalysis;
    bool mRunning = false;

    QTabWidget *mSubPages = nullptr;
    QLabel *mClosedDataNote = nullptr;
    QComboBox *mGroupBox = nullptr;
    QPushButton *mCalcButton = nullptr;
    QPushButton *mAllButton = nullptr;
    QRadioButton *mR2 = nullptr;
    QRadioButton *mR = nullptr;
    QRadioButton *mLogP = nullptr;
    QRadioButton *mDPrime = nullptr;
    QRadioButton *mChi = nullptr;
    QCheckBox *mSuccessive = nullptr;
    QCheckBox *mIntensity = nullptr;
    QCheckBox *mClusterOrder = nullptr;
    QSpinBox *mBlockSize = nullptr;
    QRadioButton *mColour = nullptr;
    QRadioButton *mBlackAndWhite = nullptr;
    QTableView *mTable = nullptr;
    LdDiallelModel *mTableModel = nullptr;
    QListView *mList = nullptr;
    LdLineModel *mListModel = nullptr;
    QListView *mLog = nullptr;
    LdLineModel *mLogModel = nullptr;
    LdChartWidget *mChart = nullptr;
    QScrollArea *mHeatArea = nullptr;
    QLabel *mHeatHint = nullptr;
    LdHeatPlotView *mHeatView = nullptr;
};

} // namespace rvk
