#pragma once
// The page "QTL mapping": the options of a run (method, step, map function, error rate,
// permutations, seed, cofactors), the LOD profile picture with pointer inspection, the peaks
// table and the LOD grid, saving, printing, and "Add QTL intervals to the map".

#include "genetics/qtlanalysis.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableView;

namespace rvk {

class MainWindow;
class QtlPlotWidget;
class QtlTableModel;
class TraitTable;

class QtlPage : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char *PageCaption = "QTL mapping";
    static constexpr const char *AddIntervalsCaption = "Add QTL intervals to the map";

    explicit QtlPage(MainWindow &window);
    ~QtlPage() override;

    // The options as the controls show them.
    QtlOptions options() const;
    // "Run QTL mapping" over the trait table of the association page.
    void runMapping();
    // Runs on the given traits (for the command and the tests).
    void runMapping(const TraitTable &traits);
    const QtlAnalysis *analysis() const { return mAnalysis.get(); }
    // "Add QTL intervals to the map": asks before replacing intervals already there.
    void addIntervalsToMap();
    void savePicture();
    void savePeaks();
    void saveGrid();
    void printPicture();
    // The traits ticked for the picture (indices among the analysis's traits).
    std::vector<int> plottedTraits() const;
    QtlPlotWidget *plotWidget() const { return mPlot; }
    QTableView *peaksView() const { return mPeaksView; }
    QTableView *gridView() const { return mGridView; }
    QLabel *pointerLabel() const { return mPointer; }

private:
    void showResults();
    void refreshPicture();
    void saveTable(const QtlTableModel &model, const char *title);

    MainWindow &mWindow;
    std::unique_ptr<QtlAnalysis> mAnalysis;
    QComboBox *mMethod = nullptr;
    QDoubleSpinBox *mStep = nullptr;
    QComboBox *mMapFunction = nullptr;
    QLineEdit *mErrorProbability = nullptr;
    QSpinBox *mPermutations = nullptr;
    QSpinBox *mSeed = nullptr;
    QSpinBox *mCofactors = nullptr;
    QCheckBox *mSelectedOnly = nullptr;
    QListWidget *mTraits = nullptr;
    QtlPlotWidget *mPlot = nullptr;
    QLabel *mPointer = nullptr;
    QTableView *mPeaksView = nullptr;
    QTableView *mGridView = nullptr;
    QtlTableModel *mPeaksModel = nullptr;
    QtlTableModel *mGridModel = nullptr;
};

} // namespace rvk
