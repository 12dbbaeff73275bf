#include "app/qtl/qtlpage.h"

#include "app/association/associationpage.h"
#include "app/mainwindow.h"
#include "app/qtl/qtlplotwidget.h"
#include "app/qtl/qtltablemodel.h"
#include "core/safefile.h"
#include "core/textformat.h"
#include "core/userinterface.h"
#include "genetics/qtlplotdata.h"
#include "genetics/traittable.h"
#include "io/spreadsheetwriter.h"
#include "render/paintersurface.h"
#include "render/picturefiles.h"
#include "render/viewpicture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace rvk {

namespace {

bool endsWith(const std::string &text, const std::string &tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

QtlPage::QtlPage(MainWindow &window) : QWidget(&window), mWindow(window)
{
    auto *outer = new QHBoxLayout(this);
    auto *controls = new QVBoxLayout;
    auto *form = new QFormLayout;
    mMethod = new QComboBox;
    mMethod->addItems({QStringLiteral("Haley-Knott regression (hk)"), QStringLiteral("Interval mapping by EM (em)"),
                       QStringLiteral("Composite interval mapping (cim)")});
    form->addRow(QStringLiteral("Method:"), mMethod);
    mStep = new QDoubleSpinBox;
    mStep->setRange(0.0, 50.0);
    mStep->setDecimals(1);
    mStep->setValue(1.0);
    mStep->setSuffix(QStringLiteral(" cM"));
    form->addRow(QStringLiteral("Step:"), mStep);
    mMapFunction = new QComboBox;
    mMapFunction->addItems({QStringLiteral("Haldane"), QStringLiteral("Kosambi")});
    form->addRow(QStringLiteral("Map function:"), mMapFunction);
    mErrorProbability = new QLineEdit(QStringLiteral("0.0001"));
    form->addRow(QStringLiteral("Error rate:"), mErrorProbability);
    mPermutations = new QSpinBox;
    mPermutations->setRange(0, 100000);
    mPermutations->setValue(1000);
    form->addRow(QStringLiteral("Permutations:"), mPermutations);
    mSeed = new QSpinBox;
    mSeed->setRange(0, 2147483647);
    mSeed->setValue(1);
    form->addRow(QStringLiteral("Seed:"), mSeed);
    mCofactors = new QSpinBox;
    mCofactors->setRange(0, 50);
    mCofactors->setValue(3);
    form->addRow(QStringLiteral("Cofactors (cim):"), mCofactors);
    controls->addLayout(form);
    mSelectedOnly = new QCheckBox(QStringLiteral("Selected individuals only"));
    controls->addWidget(mSelectedOnly);
    auto *run = new QPushButton(QStringLiteral("Run QTL mapping"));
    run->setObjectName(QStringLiteral("qtlRun"));
    connect(run, &QPushButton::clicked, this, [this] { runMapping(); });
    controls->addWidget(run);
    controls->addWidget(new QLabel(QStringLiteral("Traits drawn:")));
    mTraits = new QListWidget;
    connect(mTraits, &QListWidget::itemChanged, this, [this] { refreshPicture(); });
    controls->addWidget(mTraits, 1);
    const std::pair<const char *, void (QtlPage::*)()> buttons[] = {
        {AddIntervalsCaption, &QtlPage::addIntervalsToMap}, {"Save picture..", &QtlPage::savePicture},
        {"Save peaks..", &QtlPage::savePeaks},              {"Save LOD grid..", &QtlPage::saveGrid},
        {"Print picture", &QtlPage::printPicture}};
    for (const auto &[caption, slot] : buttons) {
        auto *button = new QPushButton(QString::fromUtf8(caption));
        connect(button, &QPushButton::clicked, this, slot);
        controls->addWidget(button);
    }
    outer->addLayout(controls);

    auto *splitter = new QSplitter(Qt::Vertical);
    auto *top = new QWidget;
    auto *topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    mPlot = new QtlPlotWidget;
    topLayout->addWidget(mPlot, 1);
    mPointer = new QLabel;
    topLayout->addWidget(mPointer);
    connect(mPlot, &QtlPlotWidget::pointed, this, [this](int group, int position) {
        if (!mAnalysis)
            return;
        const QtlAnalysis::Group &g = mAnalysis->groups()[static_cast<size_t>(group)];
        const int row = g.firstRow + position;
        std::string text = g.name + formatText("  %.1f cM", {mAnalysis->rowPosition(row)});
        if (const std::string locus = mAnalysis->rowLocus(row); !locus.empty())
            text += "  " + locus;
        for (int t : plottedTraits())
            text += "   " + mAnalysis->traitNames()[static_cast<size_t>(t)] + formatText(" LOD %.2f", {mAnalysis->lod(t, row)});
        mPointer->setText(QString::fromStdString(text));
    });
    splitter->addWidget(top);
    auto *tables = new QTabWidget;
    mPeaksModel = new QtlTableModel(this);
    mGridModel = new QtlTableModel(this);
    mPeaksView = new QTableView;
    mPeaksView->setModel(mPeaksModel);
    mGridView = new QTableView;
    mGridView->setModel(mGridModel);
    for (QTableView *view : {mPeaksView, mGridView})
        view->verticalHeader()->setDefaultSectionSize(20);
    tables->addTab(mPeaksView, QStringLiteral("Peaks"));
    tables->addTab(mGridView, QStringLiteral("LOD grid"));
    splitter->addWidget(tables);
    outer->addWidget(splitter, 1);
}

QtlPage::~QtlPage() = default;

QtlOptions QtlPage::options() const
{
    QtlOptions options;
    options.method = static_cast<QtlMethod>(mMethod->currentIndex());
    options.step = mStep->value();
    options.mapFunction = mMapFunction->currentIndex() == 1 ? MapFunction::Kosambi : MapFunction::Haldane;
    options.errorProbability = parseDecimal(mErrorProbability->text().toStdString()).value_or(1e-4);
    options.permutations = mPermutations->value();
    options.seed = static_cast<std::uint64_t>(mSeed->value());
    options.cofactors = mCofactors->value();
    options.applySelection = mSelectedOnly->isChecked();
    return options;
}

void QtlPage::runMapping()
{
    auto *association = dynamic_cast<AssociationPage *>(mWindow.pageWidget(MainWindow::AssociationsPage));
    if (!association) {
        mWindow.userInterface().warning("No trait table.");
        return;
    }
    runMapping(association->traitTable());
}

void QtlPage::runMapping(const TraitTable &traits)
{
    UserInterface &ui = mWindow.userInterface();
    QProgressDialog dialog(QStringLiteral("QTL mapping.."), QStringLiteral("Cancel"), 0, 1000, this);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(500);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    class Progress : public SilentUserInterface
    {
    public:
        Progress(UserInterface &target, QProgressDialog &dialog) : mTarget(target), mDialog(dialog) {}
        void setProgress(long long position, long long maximum) override
        {
            mTarget.setProgress(position, maximum);
            if (maximum > 0)
                mDialog.setValue(static_cast<int>(position * 1000 / maximum));
        }

    private:
        UserInterface &mTarget;
        QProgressDialog &mDialog;
    } progress(ui, dialog);
    QtlRunControl control;
    control.ui = &progress;
    control.cancelRequested = [&dialog] {
        QCoreApplication::processEvents();
        return dialog.wasCanceled();
    };
    std::string error;
    ui.setBusy(true);
    auto result = QtlAnalysis::run(mWindow.data(), traits, options(), control, error);
    ui.setBusy(false);
    if (!result) {
        if (!dialog.wasCanceled())
            ui.warning(error);
        return; // cancelled or refused: the previous results stay
    }
    mAnalysis = std::move(result);
    if (!mAnalysis->notes().empty()) {
        std::string text;
        for (const std::string &note : mAnalysis->notes())
            text += note + "\n";
        ui.information(text);
    }
    showResults();
}

void QtlPage::showResults()
{
    const QtlAnalysis *a = mAnalysis.get();
    mTraits->blockSignals(true);
    mTraits->clear();
    for (const std::string &name : a->traitNames()) {
        auto *item = new QListWidgetItem(QString::fromStdString(name), mTraits);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    mTraits->blockSignals(false);
    const std::vector<std::string> headings = QtlAnalysis::peakHeadings();
    mPeaksModel->setTable(static_cast<int>(headings.size()), static_cast<int>(a->peaks().size()),
                          [headings](int c, int) { return headings[static_cast<size_t>(c)]; },
                          [a](int c, int r) { return a->peakCells(a->peaks()[static_cast<size_t>(r)])[static_cast<size_t>(c)]; });
    mGridModel->setTable(3 + a->traitCount(), a->rowCount(),
                         [a](int c, int) {
                             static const char *fixed[] = {"group", "locus", "position"};
                             return c < 3 ? std::string(fixed[c]) : a->traitNames()[static_cast<size_t>(c - 3)];
                         },
                         [a](int c, int r) {
                             switch (c) {
                             case 0:
                                 return formatText("%d", {a->groups()[static_cast<size_t>(a->rowGroup(r))].dataGroup + 1});
                             case 1:
                                 return a->rowLocus(r);
                             case 2:
                                 return formatGeneral(std::round(a->rowPosition(r) * 1e6) / 1e6);
                             default:
                                 return formatText("%.4f", {a->lod(c - 3, r)});
                             }
                         });
    refreshPicture();
}

std::vector<int> QtlPage::plottedTraits() const
{
    std::vector<int> traits;
    for (int k = 0; k < mTraits->count(); ++k)
        if (mTraits->item(k)->checkState() == Qt::Checked)
            traits.push_back(k);
    return traits;
}

void QtlPage::refreshPicture()
{
    if (!mAnalysis)
        return;
    const std::vector<int> traits = plottedTraits();
    QtlPlotInput input = qtlPlotInput(*mAnalysis, traits);
    if (traits.empty())
        input.traits.clear();
    mPlot->setInput(std::move(input));
}

void QtlPage::addIntervalsToMap()
{
    UserInterface &ui = mWindow.userInterface();
    if (!mAnalysis)
        return;
    if (!mAnalysis->hasThresholds()) {
        ui.information("Without permutations there is no threshold, so no peak is significant: run with permutations first.");
        return;
    }
    bool replace = false;
    if (const int inTheWay = qtlIntervalsInTheWay(mWindow.data(), *mAnalysis); inTheWay > 0)
        replace = ui.question(formatText("%d markers nearest to a significant peak carry a QTL interval already. Replace them?", {inTheWay}));
    const QtlIntervalWrite written = addQtlIntervals(mWindow.data(), *mAnalysis, replace);
    ui.information(formatText("%d QTL intervals added to the map.", {written.written})
                   + (written.kept > 0 ? formatText(" %d intervals already there were kept.", {written.kept}) : std::string()));
    mWindow.redrawIfShown();
}

void QtlPage::savePicture()
{
    if (!mAnalysis)
        return;
    UserInterface &ui = mWindow.userInterface();
    const std::string path = ui.saveFileName("Save picture", "PNG image|*.png|SVG drawing|*.svg|PDF document|*.pdf|Enhanced metafile|*.emf|JPEG|*.jpg", "");
    if (path.empty())
        return;
    std::string written, error;
    if (!savePictureFile(mPlot->picture(), path, pictureExtension(path).empty() ? "png" : pictureExtension(path), written, error))
        ui.error(error);
}

void QtlPage::saveTable(const QtlTableModel &model, const char *title)
{
    UserInterface &ui = mWindow.userInterface();
    const std::string path = ui.saveFileName(title, "Tab text|*.txt|Excel|*.xls", "");
    if (path.empty())
        return;
    const int columns = model.columnCount(), rows = model.rowCount() + 1;
    std::string error;
    if (endsWith(path, ".xls")) {
        if (!WriteGridAsSpreadsheet(columns, rows, [&model](int c, int r) { return model.text(c, r); }, path, &error))
            ui.error(error);
        return;
    }
    std::string text;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            text += (c ? "\t" : "") + model.text(c, r);
        text += "\n";
    }
    writeFileReplacing(path, text, ui);
}

void QtlPage::savePeaks()
{
    if (mAnalysis)
        saveTable(*mPeaksModel, "Save peaks");
}

void QtlPage::saveGrid()
{
    if (mAnalysis)
        saveTable(*mGridModel, "Save LOD grid");
}

void QtlPage::printPicture()
{
    if (!mAnalysis)
        return;
    QPrinter &printer = mWindow.printer();
    printer.setDocName(QStringLiteral("QTL mapping"));
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const ViewPicture picture = mPlot->picture();
    QPainter painter(&printer);
    const QRect page = painter.viewport();
    const double scale = std::min(page.width() / static_cast<double>(picture.width()), page.height() / static_cast<double>(picture.height()));
    painter.scale(scale, scale);
    PainterSurface surface(painter);
    picture.replay(surface);
}

} // namespace rvk
