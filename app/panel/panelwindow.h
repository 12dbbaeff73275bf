#pragma once
// The window "Panel genomics": kinship (heat map), principal components (scatter plot and
// scores), mixed-model association (table sortable by p, Manhattan and QQ plots) and genomic
// prediction (accuracy per trait; breeding values added to the trait table as "<trait>_gebv").
// Each long step shows its progress with "Cancel"; a cancelled step keeps the earlier results.
// The analyses run in the logic; the window collects the options and shows what comes back.

#include "genetics/gblup.h"
#include "genetics/kinship.h"
#include "genetics/mixedmodel.h"
#include "genetics/pca.h"
#include "render/pcaplot.h"

#include <QWidget>

#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressDialog;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;

namespace rvk {

class MainWindow;
class MixedModelTableModel;
class PanelPictureWidget;
class PredictionTableModel;

class PanelWindow : public QWidget
{
public:
    explicit PanelWindow(MainWindow &window);
    ~PanelWindow() override;

    void computeKinshipClick();
    void computePcaClick();
    void runMixedModelClick();
    void runPredictionClick();
    // Adds "<trait>_gebv" rows to the trait table (one value per individual column).
    void addGebvClick();
    void saveResultsClick();
    // "Save picture" of a plot: PNG, SVG, PDF or EMF by the name's extension.
    void savePictureClick(PanelPictureWidget *plot);
    // "Selection list...": colours the PCA scatter by the group of individuals a selection list
    // file names (red; the others blue) and adds the choice "list <file>" to the colours.
    void colourBySelectionListClick();

    // The state, for the tests.
    const std::optional<KinshipMatrix> &kinship() const { return mKinship; }
    const std::optional<PcaResult> &pca() const { return mPca; }
    const std::optional<MixedModelResults> &mixedModel() const { return mMixedModel; }
    const std::optional<GblupResults> &prediction() const { return mPrediction; }
    MixedModelTableModel *mixedModelTable() const { return mMixedModelModel; }
    QTabWidget *tabs() const { return mTabs; }
    QSpinBox *pcsBox() const { return mPcs; }
    QCheckBox *p3dBox() const { return mP3d; }
    // Manhattan and QQ of the association page's correlation run instead, for comparison.
    QCheckBox *compareBox() const { return mCompare; }
    PanelPictureWidget *manhattan() const { return mManhattan; }
    PanelPictureWidget *qq() const { return mQq; }
    PanelPictureWidget *pcaPlot() const { return mPcaPlot; }
    // The PCA scatter's colours: "none", "selection", then the traits of the trait table, then
    // the group of a selection list once one is read.
    QComboBox *colourByBox() const { return mColourBy; }
    // The components on the scatter's axes (1-based).
    QSpinBox *xComponentBox() const { return mXComponent; }
    QSpinBox *yComponentBox() const { return mYComponent; }
    // The kinship heat map in the leaf order of the last tree (when it names the individuals).
    QCheckBox *treeOrderBox() const { return mTreeOrder; }
    const std::vector<int> &kinshipOrder() const { return mKinshipOrder; }
    PcaPlotInput pcaPlotInput(int width, int height) const;
    QPlainTextEdit *log() const { return mLog; }
    // Set by tests: a function asked now and then whether to stop (the Cancel button).
    void setCancelCheck(std::function<bool()> check) { mCancelCheck = std::move(check); }

private:
    std::vector<int> selectedIndividuals() const;
    std::vector<std::string> namesOf(const std::vector<int> &individuals) const;
    PanelProgress progress(const QString &label);
    void endProgress();
    void note(const std::string &text);
    void showMixedModelTrait(int trait);
    void refillColourChoices();
    void drawKinship();

    MainWindow &mWindow;
    std::optional<KinshipMatrix> mKinship;
    std::vector<int> mKinshipOrder;
    std::optional<PcaResult> mPca;
    std::optional<MixedModelResults> mMixedModel;
    std::optional<GblupResults> mPrediction;
    std::function<bool()> mCancelCheck;
    std::unique_ptr<QProgressDialog> mProgressDialog;

    QComboBox *mKinshipMethod = nullptr;
    QSpinBox *mComponents = nullptr;
    QCheckBox *mStandardise = nullptr;
    QSpinBox *mPcs = nullptr;
    QCheckBox *mP3d = nullptr;
    QSpinBox *mFolds = nullptr;
    QSpinBox *mSeed = nullptr;
    QComboBox *mTraitChoice = nullptr;
    QCheckBox *mCompare = nullptr;
    QComboBox *mColourBy = nullptr;
    QSpinBox *mXComponent = nullptr;
    QSpinBox *mYComponent = nullptr;
    std::vector<std::string> mGroupNames; // of the selection list the scatter is coloured by
    QString mGroupLabel;
    QCheckBox *mTreeOrder = nullptr;
    QTabWidget *mTabs = nullptr;
    QLabel *mKinshipImage = nullptr;
    PanelPictureWidget *mPcaPlot = nullptr;
    PanelPictureWidget *mManhattan = nullptr;
    PanelPictureWidget *mQq = nullptr;
    QTableView *mMixedModelView = nullptr;
    MixedModelTableModel *mMixedModelModel = nullptr;
    QTableView *mPredictionView = nullptr;
    PredictionTableModel *mPredictionModel = nullptr;
    QPlainTextEdit *mLog = nullptr;
};

// The window of the main window (made by the feature).
PanelWindow *panelWindow(MainWindow &window);

} // namespace rvk
