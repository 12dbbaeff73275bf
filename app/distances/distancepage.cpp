#include "app/distances/distancepage.h"

#include "app/workerrun.h"

#include "app/association/associationpage.h"
#include "app/files/desktopopener.h"
#include "app/distances/distancegridmodel.h"
#include "app/distances/treewindow.h"
#include "app/mainwindow.h"
#include "app/workerrun.h"
#include "core/safefile.h"
#include "core/systemmemory.h"
#include "core/textformat.h"
#include "core/userinterface.h"
#include "genetics/clusterorder.h"
#include "genetics/treefiles.h"
#include "io/distanceexport.h"
#include "settings/programpaths.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>

namespace rvk {

DistancePage::DistancePage(MainWindow &window, QWidget *parent)
    : QWidget(parent), mWindow(window), mProgramFolder(programDirectory()), mDataFolder(userDataDirectory()),
      mOpen([](const QUrl &url) { return openWithDefaultProgram(url); })
{
    setObjectName(QStringLiteral("DistancePage"));
    auto *layout = new QVBoxLayout(this);
    auto *controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("Similarity Coefficient")));
    mCoefficient = new QComboBox;
    mCoefficient->setObjectName(QStringLiteral("whichcoeff"));
    for (const DistanceCoefficient c : {DistanceCoefficient::AlleleSharing, DistanceCoefficient::Jaccard, DistanceCoefficient::Euclidean})
        mCoefficient->addItem(QString::fromLatin1(coefficientCaption(c)));
    controls->addWidget(mCoefficient);

    auto *kind = new QGroupBox(QStringLiteral("Calculate distances"));
    auto *kindLayout = new QHBoxLayout(kind);
    mGenotypes = new QRadioButton(QStringLiteral("genotypes"));
    mGenotypes->setObjectName(QStringLiteral("genodist"));
    mGenotypes->setChecked(true);
    mMarkers = new QRadioButton(QStringLiteral("markers"));
    mMarkers->setObjectName(QStringLiteral("markdist"));
    kindLayout->addWidget(mGenotypes);
    kindLayout->addWidget(mMarkers);
    controls->addWidget(kind);

    auto *calculateButton = new QPushButton(QStringLiteral("Calculate"));
    calculateButton->setObjectName(QStringLiteral("CalcDistance"));
    connect(calculateButton, &QPushButton::clicked, this, [this] { calculate(); });
    controls->addWidget(calculateButton);
    mNj = new QPushButton(QStringLiteral("NJ Dendrogram"));
    mNj->setEnabled(false);
    connect(mNj, &QPushButton::clicked, this, [this] { buildTree(TreeMethod::NeighbourJoining); });
    controls->addWidget(mNj);
    mUpgma = new QPushButton(QStringLiteral("UPGMA Dendrogram"));
    mUpgma->setEnabled(false);
    connect(mUpgma, &QPushButton::clicked, this, [this] { buildTree(TreeMethod::Upgma); });
    controls->addWidget(mUpgma);
    auto *save = new QPushButton(QStringLiteral("Save matrix"));
    save->setObjectName(QStringLiteral("savedist"));
    save->setToolTip(QStringLiteral("Save distances as Excel, MEGA, or NEXUS file"));
    connect(save, &QPushButton::clicked, this, [this] { saveMatrix(); });
    controls->addWidget(save);
    // The association page's "Save Sheet data" saves this page's table when it is in front.
    auto *sheet = new QPushButton(QStringLiteral("Save Sheet data"));
    connect(sheet, &QPushButton::clicked, this, [this] {
        if (AssociationPage *associations = associationPage(mWindow))
            associations->SaveGridasExcelBtnClick();
    });
    controls->addWidget(sheet);
    // Trees of other programs open in the same window.
    auto *openTree = new QPushButton(QStringLiteral("Open Tree.."));
    openTree->setToolTip(QStringLiteral("Show a Newick tree file in the tree window"));
    connect(openTree, &QPushButton::clicked, this, [this] { mTreeWindow->openTreeFileDialog(); });
    controls->addWidget(openTree);
    controls->addStretch();
    layout->addLayout(controls);

    mModel = new DistanceGridModel(this);
    mGrid = new QTableView;
    mGrid->setObjectName(QStringLiteral("DistGrid"));
    mGrid->setModel(mModel);
    mGrid->setItemDelegate(new DistanceGridDelegate(false, mGrid));
    mGrid->horizontalHeader()->hide();
    mGrid->verticalHeader()->hide();
    mGrid->horizontalHeader()->setDefaultSectionSize(40);
    mGrid->verticalHeader()->setDefaultSectionSize(20);
    mGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(mGrid, 1);

    mTreeWindow = new TreeWindow(window.userInterface(), &window);
}

DistanceCoefficient DistancePage::coefficient() const { return static_cast<DistanceCoefficient>(mCoefficient->currentIndex()); }

void DistancePage::setCoefficient(DistanceCoefficient coefficient) { mCoefficient->setCurrentIndex(static_cast<int>(coefficient)); }

void DistancePage::setEntries(DistanceEntries entries)
{
    (entries == DistanceEntries::Genotypes ? mGenotypes : mMarkers)->setChecked(true);
}

void DistancePage::setTreeFolders(std::string programFolder, std::string dataFolder)
{
    mProgramFolder = std::move(programFolder);
    mDataFolder = std::move(dataFolder);
}

std::string DistancePage::treeFilePathFor(TreeMethod method) const { return treeFilePath(method, mProgramFolder, mDataFolder); }

void DistancePage::calculate()
{
    const DistanceOptions options{coefficient(), mGenotypes->isChecked() ? DistanceEntries::Genotypes : DistanceEntries::Markers};
    UserInterface &ui = mWindow.userInterface();
    std::string error;
    std::optional<DistanceMatrix> matrix;
    const bool finished = RunOnWorker(this, QStringLiteral("Calculating distances..."), ui, [&](const WorkerProgress &progress) {
        matrix = CalculateDistances(mWindow.data(), mWindow.alleles(), options, progress, &error);
    });
    if (!finished)
        return;
    if (!matrix) {
        if (!error.empty())
            ui.warning(error);
        return;
    }
    mMatrix = std::make_shared<const DistanceMatrix>(std::move(*matrix));
    mMatrixOfTraits = false;
    mShownCoefficient = options.coefficient;
    showMatrix();
    mNj->setEnabled(true);
    mUpgma->setEnabled(true);
}

void DistancePage::showTraitMatrix(DistanceMatrix matrix)
{
    mMatrix = std::make_shared<const DistanceMatrix>(std::move(matrix));
    mMatrixOfTraits = true;
    mShownCoefficient = DistanceCoefficient::Euclidean;
    showMatrix();
    mNj->setEnabled(true);
    mUpgma->setEnabled(true);
}

void DistancePage::showMatrix()
{
    if (!mMatrix) {
        mModel->clear();
        return;
    }
    const DistanceMatrix *matrix = mMatrix.get();
    const bool shaded = mShownCoefficient != DistanceCoefficient::Euclidean;
    mModel->setGrid(
        matrix->gridSize(), [matrix](int c, int r) { return matrix->cellText(c, r); },
        [matrix, shaded](int c, int r) -> unsigned {
            if (!shaded || c >= r || c == 0)
                return 0xFFFFFFu;
            const double v = matrix->value(c - 1, r - 1);
            if (std::isnan(v) || v <= 0)
                return 0xFFFFFFu;
            // White through red.
            const unsigned a = static_cast<unsigned>(std::min<long long>(255, roundHalfEven(v * 180)));
            return 255u | ((255u - a) << 8) | ((255u - a) << 16);
        });
    mGrid->setColumnWidth(0, 100);
    mGrid->setRowHeight(0, 100);
}

void DistancePage::dataSetClosed()
{
    if (mTreeOfGenotypes)
        mTreeWindow->clearTree();
    else
        mTreeWindow->clearStats(); // its correlation was found against a matrix of the data set
    mTreeOfGenotypes = false;
    if (mMatrix && !mMatrixOfTraits) {
        mMatrix.reset();
        showMatrix();
        mNj->setEnabled(false);
        mUpgma->setEnabled(false);
    }
}

void DistancePage::buildTree(TreeMethod method)
{
    UserInterface &ui = mWindow.userInterface();
    if (!mMatrix)
        return;
    // Every tree starts a new, empty leaf order: one that fails or is cancelled leaves none, so
    // the LD tables cannot take the order of an older tree for this one's.
    setLastClusterOrder(ClusterOrder{});
    if (!confirmTreeMemory(mMatrix->size(), availableMemoryBytes(), ui))
        return;
    std::string error;
    std::optional<TreeResult> tree;
    const DistanceMatrix &matrix = *mMatrix;
    const bool finished = RunOnWorker(this, QStringLiteral("Building the tree..."), ui, [&](const WorkerProgress &progress) {
        tree = BuildTree(matrix, method, &error, progress);
    });
    if (!finished)
        return;
    if (!tree) {
        if (!error.empty())
            ui.warning(error);
        return;
    }
    setLastClusterOrder(tree->order);
    const std::string path = treeFilePathFor(method);
    const std::string line = tree->newick + "\r\n";
    // Both trees are written before the question that names the file, whichever viewer shows it.
    if (!writeFileReplacing(path, line, ui))
        return;
    const bool own = ui.question("Use RVK treeviewer or launch external default treeviewer? " + path + "\n"
                                 + " (you need to have the .nwk file extension linked to a viewer like treeview,Mega etc)");
    if (own) {
        mTreeWindow->showTree(tree->newick, mMatrix);
        mTreeOfGenotypes = !mMatrixOfTraits;
        return;
    }
    if (!mOpen(QUrl::fromLocalFile(QString::fromStdString(path))))
        ui.warning("No program is set to open " + path + ": it is saved there.");
}

void DistancePage::saveMatrix()
{
    if (!mMatrix)
        return;
    // The measure named in the file is the one the matrix was calculated with, even when the
    // coefficient list has been changed since.
    const DistanceMatrix *matrix = mMatrix.get();
    DistanceExportInput input{matrix->size(), [matrix](int c, int r) { return matrix->cellText(c, r); }, mWindow.data().nind,
                              coefficientCaption(mShownCoefficient), static_cast<int>(mWindow.data().TotalLocusCount())};
    SaveDistanceMatrix(input, mWindow.userInterface());
}

} // namespace rvk
