#pragma once
// The page "Genetic Distances": the distance matrix between individuals or loci with its
// coefficient, the NJ and UPGMA trees of the matrix shown, and "Save matrix".

#include "genetics/distancecalculation.h"
#include "genetics/treebuilder.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QPushButton;
class QRadioButton;
class QTableView;
class QUrl;

namespace rvk {

class DistanceGridModel;
class MainWindow;
class TreeWindow;

class DistancePage : public QWidget
{
    Q_OBJECT

public:
    explicit DistancePage(MainWindow &window, QWidget *parent = nullptr);

    // "Calculate": the matrix with the chosen coefficient and kind, with progress that can be
    // cancelled; a cancelled run keeps the matrix shown before.
    void calculate();
    // Shows a matrix of Euclidean distances from trait values and enables the tree buttons.
    void showTraitMatrix(DistanceMatrix matrix);
    void setCoefficient(DistanceCoefficient coefficient);
    void setEntries(DistanceEntries entries);
    // "NJ Dendrogram" and "UPGMA Dendrogram".
    void buildTree(TreeMethod method);
    // "Save matrix".
    void saveMatrix();
    // The data set was closed or replaced: a matrix of its genotypes, and a tree built from one,
    // go with it (a matrix of trait values stays, as the trait table does).
    void dataSetClosed();

    // The matrix shown, shared with the tree window (a large matrix is kept once).
    const std::shared_ptr<const DistanceMatrix> &matrix() const { return mMatrix; }
    DistanceCoefficient coefficient() const;
    DistanceGridModel *gridModel() const { return mModel; }
    QTableView *grid() const { return mGrid; }
    TreeWindow *treeWindow() const { return mTreeWindow; }
    QPushButton *njButton() const { return mNj; }
    QPushButton *upgmaButton() const { return mUpgma; }

    // Where the tree files go, and how an outside program is started; replaceable for tests.
    void setTreeFolders(std::string programFolder, std::string dataFolder);
    void setFileOpener(std::function<bool(const QUrl &)> opener) { mOpen = std::move(opener); }
    std::string treeFilePathFor(TreeMethod method) const;

private:
    void showMatrix();

    MainWindow &mWindow;
    std::shared_ptr<const DistanceMatrix> mMatrix;
    bool mMatrixOfTraits = false;
    bool mTreeOfGenotypes = false; // the tree window shows a tree of a genotype matrix
    DistanceCoefficient mShownCoefficient = DistanceCoefficient::AlleleSharing;
    std::string mProgramFolder, mDataFolder;
    std::function<bool(const QUrl &)> mOpen;

    QComboBox *mCoefficient = nullptr;
    QRadioButton *mGenotypes = nullptr;
    QRadioButton *mMarkers = nullptr;
    QPushButton *mNj = nullptr;
    QPushButton *mUpgma = nullptr;
    QTableView *mGrid = nullptr;
    DistanceGridModel *mModel = nullptr;
    TreeWindow *mTreeWindow = nullptr;
};

} // namespace rvk
