#pragma once

#include "selection/coresubsetsearch.h"

#include <QGroupBox>

class QComboBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace rvk {

// The core-subset controls of the page "Select Indiv. && Sel. Results": "Select core set of
// size:" with the size `subpopsize`, the criterion list `divcriterion`, the method, the runs or
// cycles `corecycle`, the iterations or steps `maxiter` and "show convergenge chart".
class CoreSubsetPanel : public QGroupBox
{
    Q_OBJECT

public:
    explicit CoreSubsetPanel(QWidget *parent = nullptr);

    // The settings as the controls show them; iterrepeat and SArho come from the settings page.
    CoreSubsetSettings settings(int iterrepeat, int SArho) const;

    QPushButton *selectButton() const { return mSelect; }
    QPushButton *chartButton() const { return mChart; }
    QSpinBox *sizeField() const { return mSize; }
    QSpinBox *cyclesField() const { return mCycles; }
    QSpinBox *iterationsField() const { return mIterations; }
    QComboBox *criterionList() const { return mCriterion; }
    QRadioButton *iterativeChoice() const { return mIterative; }
    QRadioButton *annealingChoice() const { return mAnnealing; }

    // The page is entered, or a data set of nind individuals arrived: the size's maximum follows.
    void followPopulation(int nind);
    void setRunning(bool running);

signals:
    void selectRequested();
    void chartRequested();

private:
    QPushButton *mSelect = nullptr;
    QPushButton *mChart = nullptr;
    QSpinBox *mSize = nullptr;
    QSpinBox *mCycles = nullptr;
    QSpinBox *mIterations = nullptr;
    QComboBox *mCriterion = nullptr;
    QRadioButton *mIterative = nullptr;
    QRadioButton *mAnnealing = nullptr;
};

} // namespace rvk
