#pragma once
// The page "Backcross": the backcross table of every individual against a recurrent parent and a
// donor (with a target marker, the carriers and the linkage drag), its chart, "Select" to tick the
// best carriers in the individual check list, and the F1 and pedigree check of the selected
// individuals against two parents.

#include "genetics/backcrosspedigree.h"
#include "genetics/backcrossstatistics.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QRadioButton;
class QSpinBox;
class QTableView;

namespace rvk {

class BackcrossChartWidget;
class BackcrossTableModel;
class MainWindow;

class BackcrossPage : public QWidget
{
    Q_OBJECT

public:
    explicit BackcrossPage(MainWindow &window);

    // Fills the choices of parents and target from the data set (keeping the choices made where
    // the names are still there); empties the tables when the data set changed.
    void refreshChoices();
    void calculate();          // "Calculate"
    void drawAgainstParents(); // "Draw against the parents": the comparison drawing mode
    void selectBest();         // "Select"
    void saveTable();          // "Save table.."
    void saveChart();          // "Save chart.."
    void checkPedigreeOfSelected(); // "Check selected"
    void savePedigree();       // "Save check.."

    const std::optional<BackcrossStatistics> &statistics() const { return mStatistics; }
    const std::optional<PedigreeCheck> &pedigree() const { return mPedigree; }
    BackcrossChartWidget *chart() const { return mChart; }

private:
    void showStatistics();
    void showPedigree();
    void saveGrid(const std::vector<std::vector<std::string>> &grid, const std::string &tabText, const char *title);

    MainWindow &mWindow;
    QComboBox *mRecurrent;
    QComboBox *mDonor;
    QComboBox *mTarget;
    QTableView *mTable;
    BackcrossTableModel *mModel;
    QRadioButton *mSelectTop;
    QSpinBox *mTopCount;
    QRadioButton *mSelectShare;
    QDoubleSpinBox *mMinimumShare;
    QLabel *mSummary;
    BackcrossChartWidget *mChart;
    QComboBox *mParent1;
    QComboBox *mParent2;
    QDoubleSpinBox *mF1Threshold;
    QDoubleSpinBox *mSelfThreshold;
    QTableView *mPedigreeTable;
    BackcrossTableModel *mPedigreeModel;
    std::optional<BackcrossStatistics> mStatistics;
    std::optional<PedigreeCheck> mPedigree;
};

} // namespace rvk
