#include "app/panel/panelwindow.h"

#include "app/association/associationpage.h"
#include "app/mainwindow.h"
#include "app/panel/panelmodels.h"
#include "app/panel/panelpicturewidget.h"
#include "core/safefile.h"
#include "core/textformat.h"
#include "core/userinterface.h"
#include "genetics/association.h"
#include "genetics/clusterorder.h"
#include "genetics/dosagematrix.h"
#include "genetics/mixedmodelpictures.h"
#include "genetics/panelreport.h"
#include "render/kinshipheatmap.h"
#include "render/pcaplot.h"
#include "render/picturefiles.h"
#include "selection/selectionlists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <cmath>

namespace rvk {

namespace {

QString qt(const std::string &text) { return QString::fromStdString(text); }

QSpinBox *spinBox(int low, int high, int value)
{
    auto *box = new QSpinBox;
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

} // namespace

PanelWindow::PanelWindow(MainWindow &window) : QWidget(&window, Qt::Window), mWindow(window)
{
    setWindowTitle(QStringLiteral("Panel genomics"));
    resize(1000, 700);
    auto *layout = new QVBoxLayout(this);
    auto *controls = new QGridLayout;
    layout->addLayout(controls);

    mKinshipMethod = new QComboBox;
    mKinshipMethod->addItems({QStringLiteral("centred (GEMMA -gk 1)"), QStringLiteral("IBS")});
    mComponents = spinBox(1, 50, 10);
    mStandardise = new QCheckBox(QStringLiteral("standardised"));
    mPcs = spinBox(0, 12, 0);
    mP3d = new QCheckBox(QStringLiteral("P3D (lambda once, under the null model)"));
    mFolds = spinBox(0, 20, 5);
    mSeed = spinBox(0, 999999, 1);
    auto *kinshipButton = new QPushButton(QStringLiteral("Kinship"));
    auto *pcaButton = new QPushButton(QStringLiteral("Principal components"));
    auto *mixedButton = new QPushButton(QStringLiteral("Mixed model"));
    auto *predictButton = new QPushButton(QStringLiteral("Genomic prediction"));
    auto *gebvButton = new QPushButton(QStringLiteral("Add GEBV to trait table"));
    auto *saveButton = new QPushButton(QStringLiteral("Save results"));
    controls->addWidget(new QLabel(QStringLiteral("kinship:")), 0, 0);
    controls->addWidget(mKinshipMethod, 0, 1);
    controls->addWidget(kinshipButton, 0, 2);
    controls->addWidget(new QLabel(QStringLiteral("components:")), 1, 0);
    controls->addWidget(mComponents, 1, 1);
    controls->addWidget(mStandardise, 1, 3);
    controls->addWidget(pcaButton, 1, 2);
    controls->addWidget(new QLabel(QStringLiteral("PCs as covariates:")), 2, 0);
    controls->addWidget(mPcs, 2, 1);
    controls->addWidget(mixedButton, 2, 2);
    controls->addWidget(mP3d, 2, 3);
    controls->addWidget(new QLabel(QStringLiteral("folds, seed:")), 3, 0);
    auto *foldsAndSeed = new QHBoxLayout;
    foldsAndSeed->addWidget(mFolds);
    foldsAndSeed->addWidget(mSeed);
    controls->addLayout(foldsAndSeed, 3, 1);
    controls->addWidget(predictButton, 3, 2);
    controls->addWidget(gebvButton, 3, 3);
    controls->addWidget(saveButton, 0, 3);

    mTabs = new QTabWidget;
    layout->addWidget(mTabs, 1);
    mKinshipImage = new QLabel;
    auto *kinshipPage = new QWidget;
    auto *kinshipLayout = new QVBoxLayout(kinshipPage);
    mTreeOrder = new QCheckBox(QStringLiteral("individuals in the order of the last tree"));
    kinshipLayout->addWidget(mTreeOrder);
    auto *kinshipArea = new QScrollArea;
    kinshipArea->setWidget(mKinshipImage);
    kinshipLayout->addWidget(kinshipArea, 1);
    mTabs->addTab(kinshipPage, QStringLiteral("Kinship"));
    auto *pcaPage = new QWidget;
    auto *pcaLayout = new QVBoxLayout(pcaPage);
    auto *colourRow = new QHBoxLayout;
    mColourBy = new QComboBox;
    mXComponent = spinBox(1, 1, 1);
    mYComponent = spinBox(1, 1, 1);
    auto *listButton = new QPushButton(QStringLiteral("Selection list..."));
    auto *savePcaButton = new QPushButton(QStringLiteral("Save picture"));
    colourRow->addWidget(new QLabel(QStringLiteral("x: PC")));
    colourRow->addWidget(mXComponent);
    colourRow->addWidget(new QLabel(QStringLiteral("y: PC")));
    colourRow->addWidget(mYComponent);
    colourRow->addWidget(new QLabel(QStringLiteral("colour by:")));
    colourRow->addWidget(mColourBy);
    colourRow->addWidget(listButton);
    colourRow->addStretch(1);
    colourRow->addWidget(savePcaButton);
    pcaLayout->addLayout(colourRow);
    mPcaPlot = new PanelPictureWidget;
    pcaLayout->addWidget(mPcaPlot, 1);
    mTabs->addTab(pcaPage, QStringLiteral("PCA"));
    auto *mixedPage = new QWidget;
    auto *mixedLayout = new QVBoxLayout(mixedPage);
    mTraitChoice = new QComboBox;
    mCompare = new QCheckBox(QStringLiteral("pictures of the plain correlation (Associations page) for comparison"));
    auto *choiceRow = new QHBoxLayout;
    choiceRow->addWidget(mTraitChoice);
    choiceRow->addWidget(mCompare, 1);
    mixedLayout->addLayout(choiceRow);
    mMixedModelView = new QTableView;
    mMixedModelModel = new MixedModelTableModel(this);
    mMixedModelView->setModel(mMixedModelModel);
    mMixedModelView->setSortingEnabled(true);
    mixedLayout->addWidget(mMixedModelView, 1);
    mTabs->addTab(mixedPage, QStringLiteral("Mixed model"));
    // The Manhattan and QQ plots, each with its "Save picture" button.
    const auto plotPage = [this](PanelPictureWidget *&plot, const QString &title) {
        auto *page = new QWidget;
        auto *pageLayout = new QVBoxLayout(page);
        auto *buttonRow = new QHBoxLayout;
        auto *save = new QPushButton(QStringLiteral("Save picture"));
        buttonRow->addStretch(1);
        buttonRow->addWidget(save);
        pageLayout->addLayout(buttonRow);
        plot = new PanelPictureWidget;
        pageLayout->addWidget(plot, 1);
        mTabs->addTab(page, title);
        PanelPictureWidget *shown = plot;
        connect(save, &QPushButton::clicked, this, [this, shown] { savePictureClick(shown); });
    };
    plotPage(mManhattan, QStringLiteral("Manhattan"));
    plotPage(mQq, QStringLiteral("QQ"));
    mPredictionView = new QTableView;
    mPredictionModel = new PredictionTableModel(this);
    mPredictionView->setModel(mPredictionModel);
    mTabs->addTab(mPredictionView, QStringLiteral("Prediction"));
    mLog = new QPlainTextEdit;
    mLog->setReadOnly(true);
    mTabs->addTab(mLog, QStringLiteral("Log"));

    connect(kinshipButton, &QPushButton::clicked, this, [this] { computeKinshipClick(); });
    connect(pcaButton, &QPushButton::clicked, this, [this] { computePcaClick(); });
    connect(mixedButton, &QPushButton::clicked, this, [this] { runMixedModelClick(); });
    connect(predictButton, &QPushButton::clicked, this, [this] { runPredictionClick(); });
    connect(gebvButton, &QPushButton::clicked, this, [this] { addGebvClick(); });
    connect(saveButton, &QPushButton::clicked, this, [this] { saveResultsClick(); });
    connect(mTraitChoice, &QComboBox::currentIndexChanged, this, [this](int index) { showMixedModelTrait(index); });
    connect(mColourBy, &QComboBox::currentIndexChanged, this, [this] { mPcaPlot->refresh(); });
    connect(mXComponent, &QSpinBox::valueChanged, this, [this] { mPcaPlot->refresh(); });
    connect(mYComponent, &QSpinBox::valueChanged, this, [this] { mPcaPlot->refresh(); });
    connect(listButton, &QPushButton::clicked, this, [this] { colourBySelectionListClick(); });
    connect(savePcaButton, &QPushButton::clicked, this, [this] { savePictureClick(mPcaPlot); });
    connect(mTreeOrder, &QCheckBox::toggled, this, [this] { drawKinship(); });
    connect(mCompare, &QCheckBox::toggled, this, [this] { showMixedModelTrait(mTraitChoice->currentIndex()); });
}

PanelWindow::~PanelWindow() = default;

std::vector<int> PanelWindow::selectedIndividuals() const
{
    std::vector<int> individuals;
    const GenotypeData &data = mWindow.data();
    for (int i = 0; i < data.nind; ++i)
        if (data.IsSelected(i))
            individuals.push_back(i);
    return individuals;
}

std::vector<std::string> PanelWindow::namesOf(const std::vector<int> &individuals) const
{
    std::vector<std::string> names;
    for (const int i : individuals)
        names.push_back(static_cast<size_t>(i) < mWindow.data().IndividualNames.size() ? mWindow.data().IndividualNames[static_cast<size_t>(i)]
                                                                                       : std::to_string(i + 1));
    return names;
}

PanelProgress PanelWindow::progress(const QString &label)
{
    mProgressDialog = std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0, 1000, this);
    mProgressDialog->setWindowModality(Qt::WindowModal);
    mProgressDialog->setMinimumDuration(500);
    mProgressDialog->setAutoClose(false);
    mProgressDialog->setAutoReset(false);
    mWindow.userInterface().setBusy(true);
    return [this](long long done, long long total) {
        mWindow.userInterface().setProgress(done, total);
        if (total > 0)
            mProgressDialog->setValue(static_cast<int>(std::min(1000LL, done * 1000 / total)));
        QCoreApplication::processEvents();
        return !mProgressDialog->wasCanceled() && !(mCancelCheck && mCancelCheck());
    };
}

void PanelWindow::endProgress()
{
    mWindow.userInterface().setBusy(false);
    mWindow.userInterface().setProgress(0, 0);
    mProgressDialog.reset();
}

void PanelWindow::note(const std::string &text)
{
    mLog->appendPlainText(qt(text));
}

void PanelWindow::computeKinshipClick()
{
    const std::vector<int> individuals = selectedIndividuals();
    const DosageMatrix dosages = DosageMatrix::fromGenotypes(mWindow.data(), individuals);
    if (!dosages.note().empty())
        note(dosages.note());
    if (dosages.markerCount() == 0) {
        mWindow.userInterface().warning(formatText("No marker varies among the %d individuals: there is no kinship to compute.",
                                                   {static_cast<int>(individuals.size())}));
        return;
    }
    const KinshipMethod method = mKinshipMethod->currentIndex() == 1 ? KinshipMethod::Ibs : KinshipMethod::Centred;
    auto kinship = computeKinship(dosages, method, progress(QStringLiteral("Computing the kinship...")));
    endProgress();
    if (!kinship)
        return; // cancelled: the earlier matrix stays
    mKinship = std::move(kinship);
    for (const auto &[i, j] : identicalKinshipRows(*mKinship))
        note(formatText("Individuals %s and %s have the same genotypes: the kinship is singular.",
                        {namesOf({individuals[static_cast<size_t>(i)]})[0], namesOf({individuals[static_cast<size_t>(j)]})[0]}));
    note(kinshipSummaryText(*mKinship));
    drawKinship();
    mTabs->setCurrentIndex(0);
}

void PanelWindow::drawKinship()
{
    if (!mKinship)
        return;
    mKinshipOrder.clear();
    if (mTreeOrder->isChecked()) {
        if (lastClusterOrder())
            mKinshipOrder = treeOrder(namesOf(mKinship->individuals), lastClusterOrder()->labels);
        if (mKinshipOrder.empty())
            note("No tree of these individuals has been built: the kinship keeps their input order.");
    }
    KinshipHeatMapInput input;
    input.size = mKinship->size;
    input.values = mKinship->values.data();
    input.centred = mKinship->method == KinshipMethod::Centred;
    input.order = mKinshipOrder;
    mKinshipImage->setPixmap(QPixmap::fromImage(renderKinshipHeatMap(input)));
    mKinshipImage->adjustSize();
}

void PanelWindow::computePcaClick()
{
    const std::vector<int> individuals = selectedIndividuals();
    const DosageMatrix dosages = DosageMatrix::fromGenotypes(mWindow.data(), individuals);
    if (!dosages.note().empty())
        note(dosages.note());
    PcaOptions options;
    options.components = mComponents->value();
    options.standardise = mStandardise->isChecked();
    std::string error;
    auto pca = computePca(dosages, options, progress(QStringLiteral("Computing principal components...")), &error);
    endProgress();
    if (!pca) {
        if (!error.empty())
            mWindow.userInterface().warning(error);
        return;
    }
    mPca = std::move(pca);
    note(pcaVarianceText(*mPca));
    for (QSpinBox *box : {mXComponent, mYComponent}) {
        box->blockSignals(true);
        box->setRange(1, mPca->componentCount);
        box->blockSignals(false);
    }
    if (mXComponent->value() == mYComponent->value()) {
        mXComponent->setValue(1);
        mYComponent->setValue(std::min(2, mPca->componentCount));
    }
    refillColourChoices();
    mPcaPlot->setSource([this](int w, int h) { return recordPcaPlot(pcaPlotInput(w, h)); },
                        [this](int w, int h, int x, int y) {
                            const PcaPlotInput plot = pcaPlotInput(w, h);
                            const int point = pcaPointAt(plot, x, y);
                            return point < 0 ? QString() : QString::fromStdString(plot.names[static_cast<size_t>(point)]);
                        });
    mTabs->setCurrentIndex(1);
}

void PanelWindow::refillColourChoices()
{
    const QString current = mColourBy->currentText();
    mColourBy->blockSignals(true);
    mColourBy->clear();
    mColourBy->addItems({QStringLiteral("none"), QStringLiteral("selection")});
    if (const AssociationPage *page = associationPage(mWindow))
        for (const std::string &trait : page->traitTable().traitNames())
            mColourBy->addItem(qt(trait));
    if (!mGroupNames.empty())
        mColourBy->addItem(mGroupLabel, QStringLiteral("group"));
    mColourBy->setCurrentIndex(std::max(0, mColourBy->findText(current)));
    mColourBy->blockSignals(false);
}

PcaPlotInput PanelWindow::pcaPlotInput(int width, int height) const
{
    PcaPlotInput plot;
    if (mPca) {
        const int first = std::clamp(mXComponent->value(), 1, mPca->componentCount);
        const int second = std::clamp(mYComponent->value(), 1, mPca->componentCount);
        plot = pcaScatter(*mPca, namesOf(mPca->individuals), first, second);
        const GenotypeData &data = mWindow.data();
        if (mColourBy->currentIndex() == 1) {
            // The individuals ticked in the individual list red, the others blue.
            for (const int i : mPca->individuals)
                plot.pointColours.push_back(static_cast<size_t>(i) < data.Ticked.size() && data.Ticked[static_cast<size_t>(i)] ? PcaGroupColour
                                                                                                                        : PcaPlainColour);
        } else if (mColourBy->currentData().toString() == QStringLiteral("group")) {
            // The individuals the selection list names red, the others blue.
            plot.title = "Principal components, coloured by " + mColourBy->currentText().toStdString();
            for (const std::string &name : plot.names)
                plot.pointColours.push_back(std::find(mGroupNames.begin(), mGroupNames.end(), name) != mGroupNames.end() ? PcaGroupColour
                                                                                                                      : PcaPlainColour);
        } else if (mColourBy->currentIndex() >= 2) {
            colourPcaByTraitRow(plot, associationPage(mWindow)->traitTable(), mColourBy->currentIndex() - 1);
        }
    }
    plot.width = width;
    plot.height = height;
    return plot;
}

void PanelWindow::runMixedModelClick()
{
    const AssociationPage *page = associationPage(mWindow);
    if (!page || page->traitTable().traitCount() == 0) {
        mWindow.userInterface().warning("There are no trait data: paste or import them on the \"Associations\" page first.");
        return;
    }
    MixedModelOptions options;
    options.p3d = mP3d->isChecked();
    options.pcs = mPcs->value();
    options.kinship = mKinshipMethod->currentIndex() == 1 ? KinshipMethod::Ibs : KinshipMethod::Centred;
    auto results = runMixedModel(mWindow.data(), page->traitTable(), options, progress(QStringLiteral("Mixed-model association...")));
    endProgress();
    if (!results)
        return;
    mMixedModel = std::move(results);
    for (const TraitModelResult &trait : mMixedModel->traits)
        note(trait.analysed ? formatText("%s: %d individuals, null-model lambda %g, %d markers tested",
                                         {trait.trait, static_cast<int>(trait.individuals.size()), trait.null.lambda, static_cast<int>(trait.tests.size())})
                            : trait.message);
    for (const std::string &text : mMixedModel->notes)
        note(text);
    mMixedModelModel->setResults(&*mMixedModel);
    mMixedModelView->sortByColumn(MixedModelTableModel::P, Qt::AscendingOrder);
    mTraitChoice->blockSignals(true);
    mTraitChoice->clear();
    for (const TraitModelResult &trait : mMixedModel->traits)
        mTraitChoice->addItem(qt(trait.trait));
    mTraitChoice->blockSignals(false);
    showMixedModelTrait(0);
    mTabs->setCurrentIndex(2);
}

void PanelWindow::showMixedModelTrait(int trait)
{
    if (!mMixedModel || trait < 0 || static_cast<size_t>(trait) >= mMixedModel->traits.size() || !mMixedModel->traits[static_cast<size_t>(trait)].analysed) {
        mManhattan->setSource({});
        mQq->setSource({});
        return;
    }
    const MixedModelResults *results = &*mMixedModel;
    const size_t t = static_cast<size_t>(trait);
    const AssociationPage *page = associationPage(mWindow);
    if (mCompare->isChecked() && page && page->results().kind() == AssociationResults::Kind::Correlation) {
        const auto &names = page->results().traitNames();
        const auto found = std::find(names.begin(), names.end(), results->traits[t].trait);
        if (found != names.end()) {
            const int column = static_cast<int>(found - names.begin()) + 1;
            const AssociationResults *correlation = &page->results();
            const GenotypeData *data = &mWindow.data();
            mManhattan->setSource([data, correlation, column](int w, int h) {
                ManhattanInput input = correlationManhattan(*data, *correlation, column);
                input.width = w;
                input.height = h;
                return recordManhattanPlot(input);
            });
            mQq->setSource([correlation, column](int w, int h) {
                QqPlotInput input = correlationQq(*correlation, column);
                input.width = w;
                input.height = h;
                return recordQqPlot(input);
            });
            return;
        }
        note("The association page has no correlation run of " + results->traits[t].trait + ": \"Calc Assoc.\" makes one.");
    }
    mManhattan->setSource([results, t](int w, int h) {
        ManhattanInput input = mixedModelManhattan(*results, t);
        input.width = w;
        input.height = h;
        return recordManhattanPlot(input);
    });
    mQq->setSource([results, t](int w, int h) {
        QqPlotInput input = mixedModelQq(*results, t);
        input.width = w;
        input.height = h;
        return recordQqPlot(input);
    });
}

void PanelWindow::runPredictionClick()
{
    const AssociationPage *page = associationPage(mWindow);
    if (!page || page->traitTable().traitCount() == 0) {
        mWindow.userInterface().warning("There are no trait data: paste or import them on the \"Associations\" page first.");
        return;
    }
    GblupOptions options;
    options.folds = mFolds->value() == 1 ? 2 : mFolds->value();
    options.seed = static_cast<unsigned>(mSeed->value());
    options.kinship = mKinshipMethod->currentIndex() == 1 ? KinshipMethod::Ibs : KinshipMethod::Centred;
    auto results = runGblup(mWindow.data(), page->traitTable(), options, progress(QStringLiteral("Genomic prediction...")));
    endProgress();
    if (!results)
        return;
    mPrediction = std::move(results);
    for (const TraitPrediction &trait : mPrediction->traits)
        note(trait.analysed ? formatText("%s: accuracy %.4f over %d folds (seed %d)",
                                         {trait.trait, trait.accuracy, static_cast<int>(trait.foldAccuracy.size()), mSeed->value()})
                            : trait.message);
    mPredictionModel->setResults(&*mPrediction);
    mTabs->setCurrentIndex(5);
}

void PanelWindow::addGebvClick()
{
    AssociationPage *page = associationPage(mWindow);
    if (!page || !mPrediction)
        return;
    for (const TraitPrediction &trait : mPrediction->traits) {
        if (!trait.analysed)
            continue;
        const int row = page->traitTable().rowCount();
        page->editTraitCell(0, row, trait.trait + "_gebv");
        for (size_t i = 0; i < mPrediction->names.size(); ++i) {
            auto column = page->traitTable().lastColumnNamed(mPrediction->names[i]);
            if (!column) {
                const int added = std::max(1, page->traitTable().columnCount());
                page->editTraitCell(added, 0, mPrediction->names[i]);
                column = added;
            }
            page->editTraitCell(*column, row, formatText("%g", {trait.gebv[i]}));
        }
        note("Added " + trait.trait + "_gebv to the trait table.");
    }
}

void PanelWindow::saveResultsClick()
{
    UserInterface &ui = mWindow.userInterface();
    std::string error;
    const auto save = [&](const std::string &title, const std::string &text) {
        const std::string path = ui.saveFileName(title, "tab-separated text|*.tsv|all|*.*", "");
        if (!path.empty() && !writeFileReplacing(path, text, &error))
            ui.warning(error);
    };
    switch (mTabs->currentIndex()) {
    case 0:
        if (mKinship)
            save("Save kinship", kinshipText(*mKinship, namesOf(mKinship->individuals)));
        break;
    case 1:
        if (mPca)
            save("Save principal component scores", pcaScoreText(*mPca, namesOf(mPca->individuals)));
        break;
    case 5:
        if (mPrediction)
            save("Save breeding values", mPrediction->gebvText());
        break;
    default:
        if (mMixedModel)
            save("Save mixed-model results", mMixedModel->resultsText());
        break;
    }
}

void PanelWindow::savePictureClick(PanelPictureWidget *plot)
{
    if (!plot)
        return;
    UserInterface &ui = mWindow.userInterface();
    // As shown, but not smaller than a usual picture.
    const ViewPicture picture = plot->pictureOfSize(std::max(plot->width(), 800), std::max(plot->height(), 600));
    if (picture.isEmpty()) {
        ui.information("There is no picture yet: run the analysis first.");
        return;
    }
    const std::string path = ui.saveFileName("Save picture", "PNG image|*.png|SVG drawing|*.svg|PDF document|*.pdf|Enhanced metafile|*.emf", "");
    if (path.empty())
        return;
    std::string written, error;
    if (!savePictureFile(picture, path, pictureExtension(path).empty() ? "png" : pictureExtension(path), written, error))
        ui.error(error);
}

void PanelWindow::colourBySelectionListClick()
{
    UserInterface &ui = mWindow.userInterface();
    const auto paths = ui.openFileNames("Open selection list", SelectionList::OpenFilter, "", false);
    if (paths.empty())
        return;
    QFile file(QString::fromStdString(paths.front()));
    if (!file.open(QIODevice::ReadOnly)) {
        ui.error(formatText("The selection list %s cannot be read: %s", {paths.front(), file.errorString().toStdString()}));
        return;
    }
    const std::string text = file.readAll().toStdString();
    std::vector<std::string> names;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        if (end > start)
            names.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (names.empty()) {
        ui.warning("The selection list names no individual.");
        return;
    }
    mGroupNames = std::move(names);
    mGroupLabel = QStringLiteral("list ") + QString::fromStdString(std::filesystem::path(paths.front()).filename().string());
    refillColourChoices();
    mColourBy->setCurrentIndex(mColourBy->findData(QStringLiteral("group")));
    mPcaPlot->refresh();
}

} // namespace rvk
