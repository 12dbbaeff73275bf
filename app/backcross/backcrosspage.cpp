#include "app/backcross/backcrosspage.h"

#include "app/backcross/backcrosschartwidget.h"
#include "app/backcross/backcrosstablemodel.h"
#include "app/settings/drawingoptionspage.h"
#include "app/mainwindow.h"
#include "core/safefile.h"
#include "core/textformat.h"
#include "core/userinterface.h"
#include "genetics/backcrosschartinput.h"
#include "io/spreadsheetwriter.h"
#include "render/picturefiles.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace rvk {

namespace {

constexpr const char *NoTarget = "(no target)";
constexpr const char *TableFilter = "Tab-separated text (*.tsv)|*.tsv|Spreadsheet file (*.xls)|*.xls";

QPushButton *button(const char *caption, const char *name)
{
    auto *b = new QPushButton(QString::fromUtf8(caption));
    b->setObjectName(QString::fromUtf8(name));
    return b;
}

template <typename Widget> Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QString::fromUtf8(name));
    return widget;
}

QTableView *tableView(QAbstractItemModel *model, const char *name)
{
    auto *view = named(new QTableView, name);
    view->setModel(model);
    view->setSortingEnabled(true);
    view->horizontalHeader()->setSortIndicatorShown(true);
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    return view;
}

// Keeps the choice made when the name is still offered.
void fillNames(QComboBox *box, const QStringList &names, int fallback)
{
    const QString kept = box->currentText();
    box->clear();
    box->addItems(names);
    const int at = box->findText(kept);
    box->setCurrentIndex(at >= 0 ? at : std::min(fallback, static_cast<int>(names.size()) - 1));
}

} // namespace

BackcrossPage::BackcrossPage(MainWindow &window)
    : mWindow(window)
    , mRecurrent(named(new QComboBox, "recurrentParent"))
    , mDonor(named(new QComboBox, "donor"))
    , mTarget(named(new QComboBox, "targetMarker"))
    , mModel(new BackcrossTableModel(this))
    , mSelectTop(named(new QRadioButton(QStringLiteral("the best carriers:")), "selectTop"))
    , mTopCount(named(new QSpinBox, "topCount"))
    , mSelectShare(named(new QRadioButton(QStringLiteral("carriers with rpg_cm at least (%):")), "selectShare"))
    , mMinimumShare(named(new QDoubleSpinBox, "minimumShare"))
    , mSummary(named(new QLabel, "summary"))
    , mChart(named(new BackcrossChartWidget, "rpgChart"))
    , mParent1(named(new QComboBox, "parent1"))
    , mParent2(named(new QComboBox, "parent2"))
    , mF1Threshold(named(new QDoubleSpinBox, "f1Threshold"))
    , mSelfThreshold(named(new QDoubleSpinBox, "selfThreshold"))
    , mPedigreeModel(new BackcrossTableModel(this))
{
    mTable = tableView(mModel, "backcrossTable");
    mPedigreeTable = tableView(mPedigreeModel, "pedigreeTable");

    auto *parents = new QFormLayout;
    parents->addRow(QStringLiteral("Recurrent parent:"), mRecurrent);
    parents->addRow(QStringLiteral("Donor:"), mDonor);
    parents->addRow(QStringLiteral("Target marker:"), mTarget);
    auto *calculateButton = button("Calculate", "calculate");
    parents->addRow(calculateButton);

    mTopCount->setRange(1, 1000000);
    mTopCount->setValue(10);
    mMinimumShare->setRange(0.0, 100.0);
    mMinimumShare->setDecimals(2);
    mMinimumShare->setValue(90.0);
    mSelectTop->setChecked(true);
    auto *selectBox = new QGroupBox(QStringLiteral("Select"));
    auto *selectLayout = new QFormLayout(selectBox);
    selectLayout->addRow(mSelectTop, mTopCount);
    selectLayout->addRow(mSelectShare, mMinimumShare);
    auto *selectButton = button("Select", "select");
    selectButton->setToolTip(QStringLiteral("ticks the chosen individuals in the individual list, and only them"));
    selectLayout->addRow(selectButton);

    auto *drawButton = button("Draw against the parents", "drawAgainstParents");
    drawButton->setToolTip(QStringLiteral("colours the drawing by the recurrent parent's and the donor's alleles"));
    parents->addRow(drawButton);
    auto *saveTableButton = button("Save table..", "saveTable");
    auto *saveChartButton = button("Save chart..", "saveChart");
    auto *saves = new QHBoxLayout;
    saves->addWidget(saveTableButton);
    saves->addWidget(saveChartButton);
    saves->addStretch();

    auto *left = new QVBoxLayout;
    left->addLayout(parents);
    left->addWidget(selectBox);
    left->addLayout(saves);
    left->addWidget(mSummary);
    mSummary->setWordWrap(true);
    left->addStretch();

    // The pedigree check.
    mF1Threshold->setRange(0.0, 100.0);
    mF1Threshold->setValue(95.0);
    mSelfThreshold->setRange(0.0, 100.0);
    mSelfThreshold->setValue(95.0);
    auto *pedigreeBox = new QGroupBox(QStringLiteral("F1 and pedigree check"));
    auto *pedigreeForm = new QFormLayout;
    pedigreeForm->addRow(QStringLiteral("Parent P1:"), mParent1);
    pedigreeForm->addRow(QStringLiteral("Parent P2:"), mParent2);
    pedigreeForm->addRow(QStringLiteral("\"F1\" at f1_match of at least (%):"), mF1Threshold);
    pedigreeForm->addRow(QStringLiteral("a self at a similarity of at least (%):"), mSelfThreshold);
    auto *checkButton = button("Check selected", "checkPedigree");
    auto *savePedigreeButton = button("Save check..", "savePedigree");
    auto *pedigreeButtons = new QHBoxLayout;
    pedigreeButtons->addWidget(checkButton);
    pedigreeButtons->addWidget(savePedigreeButton);
    pedigreeButtons->addStretch();
    auto *pedigreeLayout = new QVBoxLayout(pedigreeBox);
    pedigreeLayout->addLayout(pedigreeForm);
    pedigreeLayout->addLayout(pedigreeButtons);
    pedigreeLayout->addWidget(mPedigreeTable);

    auto *right = new QSplitter(Qt::Vertical);
    right->addWidget(mTable);
    right->addWidget(mChart);
    right->addWidget(pedigreeBox);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(right, 1);

    connect(calculateButton, &QPushButton::clicked, this, &BackcrossPage::calculate);
    connect(selectButton, &QPushButton::clicked, this, &BackcrossPage::selectBest);
    connect(drawButton, &QPushButton::clicked, this, &BackcrossPage::drawAgainstParents);
    connect(saveTableButton, &QPushButton::clicked, this, &BackcrossPage::saveTable);
    connect(saveChartButton, &QPushButton::clicked, this, &BackcrossPage::saveChart);
    connect(checkButton, &QPushButton::clicked, this, &BackcrossPage::checkPedigreeOfSelected);
    connect(savePedigreeButton, &QPushButton::clicked, this, &BackcrossPage::savePedigree);
    auto thresholds = [this] {
        if (!mPedigree)
            return;
        mPedigree->setThresholds(mF1Threshold->value(), mSelfThreshold->value());
        showPedigree();
    };
    connect(mF1Threshold, &QDoubleSpinBox::valueChanged, this, thresholds);
    connect(mSelfThreshold, &QDoubleSpinBox::valueChanged, this, thresholds);
    mChart->setSource([this] { return mStatistics ? backcrossChartInput(*mStatistics) : BackcrossChartInput(); });
}

void BackcrossPage::refreshChoices()
{
    const GenotypeData &data = mWindow.data();
    QStringList names;
    for (int i = 0; i < data.nind && static_cast<size_t>(i) < data.IndividualNames.size(); ++i)
        names << QString::fromStdString(data.IndividualNames[static_cast<size_t>(i)]);
    fillNames(mRecurrent, names, 0);
    fillNames(mDonor, names, 1);
    fillNames(mParent1, names, 0);
    fillNames(mParent2, names, 1);
    QStringList markers{QString::fromUtf8(NoTarget)};
    for (int g = 0; g < data.GroupCount(); ++g)
        for (const Tlocinfo &locus : data.GroupLoci(g))
            markers << QString::fromStdString(plainMarkerName(locus.Name));
    const QString kept = mTarget->currentText();
    mTarget->clear();
    mTarget->addItems(markers);
    mTarget->setCurrentIndex(std::max(0, mTarget->findText(kept)));
}

void BackcrossPage::calculate()
{
    const GenotypeData &data = mWindow.data();
    BackcrossRequest request;
    request.recurrent = findIndividualByName(data, mRecurrent->currentText().toStdString());
    request.donor = findIndividualByName(data, mDonor->currentText().toStdString());
    if (mTarget->currentIndex() > 0)
        request.target = findMarkerByName(data, mTarget->currentText().toStdString());
    std::string error;
    if (request.recurrent < 0)
        error = backcrossParentMissingMessage("recurrent parent", mRecurrent->currentText().toStdString());
    else if (request.donor < 0)
        error = backcrossParentMissingMessage("donor", mDonor->currentText().toStdString());
    mStatistics.reset();
    if (error.empty())
        mStatistics = computeBackcrossStatistics(data, request, error);
    if (!mStatistics)
        mWindow.userInterface().message(UserInterface::MessageKind::Warning, error);
    showStatistics();
}

void BackcrossPage::showStatistics()
{
    BackcrossTableModel::Source source;
    if (mStatistics) {
        BackcrossStatistics *table = &*mStatistics;
        source.rows = table->rowCount();
        source.captions = table->columnCaptions();
        source.cell = [table](int row, int column) { return table->cell(row, column); };
        source.sort = [this, table](int column, bool descending) {
            table->sortByColumn(column, descending);
            mChart->setSource([this] { return mStatistics ? backcrossChartInput(*mStatistics) : BackcrossChartInput(); });
        };
        mSummary->setText(QString::fromStdString(formatText("%d informative loci; %d individuals", {table->informativeLoci(), table->rowCount()})));
    } else {
        mSummary->clear();
    }
    mModel->setSource(std::move(source));
    mTable->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    mChart->setSource([this] { return mStatistics ? backcrossChartInput(*mStatistics) : BackcrossChartInput(); });
}

void BackcrossPage::drawAgainstParents()
{
    auto *options = mWindow.findChild<DrawingOptionsPage *>();
    if (!options)
        return;
    options->chooseComparison(mRecurrent->currentText().toStdString(), mDonor->currentText().toStdString());
    mWindow.showPage(MainWindow::ImagePageIndex);
}

void BackcrossPage::selectBest()
{
    if (!mStatistics)
        return;
    const std::vector<int> chosen = mSelectTop->isChecked() ? mStatistics->bestCarriers(mTopCount->value())
                                                            : mStatistics->bestCarriers(-1, mMinimumShare->value());
    GenotypeData &data = mWindow.data();
    const size_t n = static_cast<size_t>(data.nind);
    data.Ticked.resize(n, 0);
    data.Locked.resize(n, 0);
    // Locked individuals keep their ticks.
    for (size_t i = 0; i < n; ++i)
        if (!data.Locked[i])
            data.Ticked[i] = 0;
    for (int i : chosen)
        if (!data.Locked[static_cast<size_t>(i)])
            data.Ticked[static_cast<size_t>(i)] = 1;
    data.RebuildSelectedIndices();
    mSummary->setText(QString::fromStdString(formatText("%d individuals ticked", {static_cast<int>(chosen.size())})));
    emit mWindow.individualsChanged();
    mWindow.redrawIfShown();
}

void BackcrossPage::saveGrid(const std::vector<std::vector<std::string>> &grid, const std::string &tabText, const char *title)
{
    UserInterface &ui = mWindow.userInterface();
    const UserInterface::SaveChoice choice = ui.saveFileChoice(title, TableFilter, "");
    if (choice.path.empty())
        return;
    std::string path = choice.path;
    const bool spreadsheet = choice.filterIndex == 1 || pictureExtension(path) == "xls";
    if (pictureExtension(path).empty())
        path += spreadsheet ? ".xls" : ".tsv";
    std::string error;
    const bool written = spreadsheet
        ? WriteGridAsSpreadsheet(grid.empty() ? 0 : static_cast<int>(grid[0].size()), static_cast<int>(grid.size()),
                                 [&](int column, int row) { return grid[static_cast<size_t>(row)][static_cast<size_t>(column)]; },
                                 path, &error)
        : writeFileReplacing(path, tabText, &error);
    if (written)
        ui.message(UserInterface::MessageKind::Information, "File succesfully saved as " + path);
    else
        ui.message(UserInterface::MessageKind::Warning, error);
}

void BackcrossPage::saveTable()
{
    if (mStatistics)
        saveGrid(mStatistics->spreadsheetGrid(), mStatistics->tabText(), "Save backcross table");
}

void BackcrossPage::saveChart()
{
    if (!mStatistics)
        return;
    UserInterface &ui = mWindow.userInterface();
    const std::string path = ui.saveFileName("Save chart", JpegFirstFilter, "");
    if (path.empty())
        return;
    std::string written, error;
    const int width = std::max(800, std::min(4000, 60 + 4 * mStatistics->rowCount()));
    if (savePictureFile(mChart->picture(width, 420), path, "jpg", written, error))
        ui.message(UserInterface::MessageKind::Information, "File succesfully saved as " + written);
    else
        ui.message(UserInterface::MessageKind::Warning, error);
}

void BackcrossPage::checkPedigreeOfSelected()
{
    const GenotypeData &data = mWindow.data();
    PedigreeRequest request;
    request.parent1 = findIndividualByName(data, mParent1->currentText().toStdString());
    request.parent2 = findIndividualByName(data, mParent2->currentText().toStdString());
    request.f1Threshold = mF1Threshold->value();
    request.selfThreshold = mSelfThreshold->value();
    request.selectedOnly = true;
    std::string error;
    mPedigree = checkPedigree(data, request, error);
    if (!mPedigree)
        mWindow.userInterface().message(UserInterface::MessageKind::Warning, error);
    showPedigree();
}

void BackcrossPage::showPedigree()
{
    BackcrossTableModel::Source source;
    if (mPedigree) {
        const PedigreeCheck *check = &*mPedigree;
        source.rows = check->rowCount();
        source.captions = PedigreeCheck::columnCaptions();
        source.cell = [check](int row, int column) { return check->cell(row, column); };
    }
    mPedigreeModel->setSource(std::move(source));
}

void BackcrossPage::savePedigree()
{
    if (mPedigree)
        saveGrid(mPedigree->spreadsheetGrid(), mPedigree->tabText(), "Save pedigree check");
}

} // namespace rvk
