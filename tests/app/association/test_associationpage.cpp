#include "app/association/associationchartwidget.h"
#include "app/association/associationpage.h"
#include "app/association/associationtablemodels.h"
#include "app/association/reportwindow.h"
#include "app/dataediting/allelegridmodel.h"
#include "app/coresubsets/coresubsetpanel.h"
#include "app/selection/selectionresultspage.h"
#include "app/distances/distancepage.h"
#include "app/distances/distancegridmodel.h"
#include "app/distances/treewindow.h"
#include "app/picture/imagepage.h"
#include "app/mainwindow.h"
#include "io/spreadsheetreader.h"
#include "render/paintersurface.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <QAction>
#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QShortcut>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace rvk {
namespace {

using Table = AssociationResults::Table;
using test::ScriptedUserInterface;
using test::TempFolder;

// Eight plants I1 .. I8 in two groups: A = -1, H = 0, B = 1 by default, U missing.
const std::string Plants = "nchrom=2\nnind=8\npopt=f2\n\nname=chr1\nnloc=2\nm1 0.0\nAHBABHAB\nm2 5.0\nAAAAAAAA\n\n"
                           "name=chr2\nnloc=2\nm3 0.0\nAHBUBHAA\nm4 9.0\nBBHHAAUB\n"
                           "Alias\n\"I1\" \"I2\" \"I3\" \"I4\" \"I5\" \"I6\" \"I7\" \"I8\"\n";
const std::string Traits = "ntrt=2\nnind=9\nmiss=-\ntraitnames height yield\nI1 10.5 3.1\nI2 12.25 2.2\nI3 14 4.4\nI4 9.75 1.0\n"
                           "I5 13.5 5.5\nI6 11 2.5\nI7 - 3.3\nI8 15 4.0\nZ 99 -7\n";

struct PageFixture
{
    PageFixture()
    {
        MainWindowOptions options;
        options.programFolder = folder.path().string() + "/";
        options.settingsFile = folder.file("rvk.ini");
        window = std::make_unique<MainWindow>(options, &ui);
        window->setUrlOpener([](const QUrl &) { return true; });
        page = associationPage(*window);
    }

    void openPlants()
    {
        window->openDataFiles({QString::fromStdString(folder.write("plants.rvk", Plants))});
        ASSERT_EQ(window->data().GroupCount(), 2);
    }

    std::vector<std::string> plotList() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < page->plotTraitList()->count(); ++i)
            names.push_back(page->plotTraitList()->item(i)->text().toStdString());
        return names;
    }

    TempFolder folder;
    ScriptedUserInterface ui;
    std::unique_ptr<MainWindow> window;
    AssociationPage *page = nullptr;
};

TEST(AssociationPage, StartsWithTheTemplateAndSubPages)
{
    PageFixture f;
    ASSERT_NE(f.page, nullptr);
    EXPECT_EQ(f.page->traitTable().cell(1, 0), "Geno 1");
    // Other features add their widgets to "Trait Plotting && stats".
    auto *extra = new QLabel(QStringLiteral("convergence"));
    f.page->addTraitPlottingWidget(extra);
    EXPECT_TRUE(f.page->subPages()->widget(AssociationPage::TraitPlottingPage)->isAncestorOf(extra));
    EXPECT_EQ(f.page->traitTable().cell(0, 3), "etc..");
    QStringList captions;
    for (int i = 0; i < f.page->subPages()->count(); ++i)
        captions << f.page->subPages()->tabText(i);
    EXPECT_EQ(captions, (QStringList{"Trait data", "Marker data", "marker-trait sync", "Trait Plotting && stats", "-10LOG(p)",
                                     QString::fromUtf8("R\xC2\xB2"), "R", "p-values", "q-values"}));
    EXPECT_TRUE(f.window->commandActions(QStringLiteral("Export trait data as .&qua file")).front()->isEnabled());
    ASSERT_NE(f.window->findChild<QAction *>(QStringLiteral("associationPlotTool")), nullptr);
    EXPECT_FALSE(f.window->findChild<QAction *>(QStringLiteral("associationPlotTool"))->isEnabled()) << "waits for results";
}

TEST(AssociationPage, LoadedTraitFileReplacesTheTable)
{
    PageFixture f;
    f.openPlants();
    ASSERT_TRUE(f.page->loadTraitFile(f.folder.write("big.qua", Traits)));
    EXPECT_EQ(f.page->traitTable().columnCount(), 10);
    EXPECT_EQ(f.plotList(), (std::vector<std::string>{"height", "yield"}));

    // A second, smaller file: nothing of the first one may stay behind.
    ASSERT_TRUE(f.page->loadTraitFile(f.folder.write("small.qua", "miss=*\ntraitnames weight\n2 7\n")));
    EXPECT_EQ(f.page->traitTable().columnCount(), 2);
    EXPECT_EQ(f.page->traitTable().rowCount(), 2);
    EXPECT_EQ(f.page->traitTable().cell(1, 1), "7.00");
    EXPECT_EQ(f.page->traitTable().cell(2, 0), "");
    EXPECT_EQ(f.plotList(), (std::vector<std::string>{"weight"}));

    // A file without "miss" is refused: the table stays, the plot list is emptied.
    EXPECT_FALSE(f.page->loadTraitFile(f.folder.write("bad.qua", "traitnames t\n2 1\n")));
    EXPECT_EQ(f.page->traitTable().cell(1, 1), "7.00");
    EXPECT_TRUE(f.plotList().empty());
    ASSERT_FALSE(f.ui.messages.empty());
    EXPECT_NE(f.ui.messages.back().text.find("bad.qua"), std::string::npos);
    EXPECT_EQ(f.ui.messages.back().kind, UserInterface::MessageKind::Warning);
}

TEST(AssociationPage, PasteWithoutDataCreatesIndividualsAndExportWritesThem)
{
    PageFixture f;
    f.page->clipboardText = [] { return std::string("\tP1\tP2\r\nheight\t12.345\t7\r\n"); };
    f.page->pasteBtnClick();
    EXPECT_EQ(f.page->traitTable().cell(1, 1), "12.35");
    EXPECT_EQ(f.window->data().IndividualNames, (std::vector<std::string>{"P1", "P2"}));
    EXPECT_EQ(f.plotList(), (std::vector<std::string>{"height"}));

    f.ui.saveChoices.push_back(f.folder.file("out"));
    f.page->ExportTraitFile();
    EXPECT_EQ(test::readWholeFile(f.folder.file("out.qua")),
              ";RVK derived qua file\r\nnind=2\r\nntrt=1\r\nmiss=*\r\n\r\ntraitnames\theight\r\nP1\t12.35\r\nP2\t7.00\r\n");

    // Ctrl+V while the page is shown pastes too.
    f.page->clipboardText = [] { return std::string("\tP1\tP2\r\nheight\t12.345\t7\r\n"); };
    f.page->pasteBtnClick();
    f.page->clipboardText = [] { return std::string("\tP1\tP2\r\nheight\t1\t2\r\n"); };
    QShortcut *paste = nullptr;
    for (QShortcut *shortcut : f.window->findChildren<QShortcut *>())
        if (shortcut->key() == QKeySequence(QKeySequence::Paste))
            paste = shortcut;
    ASSERT_NE(paste, nullptr);
    f.window->showPage(MainWindow::ImagePageIndex);
    emit paste->activated();
    EXPECT_EQ(f.page->traitTable().cell(2, 1), "7.00") << "not while another page is shown";
    f.window->showPage(MainWindow::AssociationsPage);
    emit paste->activated();
    EXPECT_EQ(f.page->traitTable().cell(2, 1), "2.00");

    f.page->transposebtnClick();
    EXPECT_EQ(f.page->traitTable().cell(1, 0), "height");
    EXPECT_EQ(f.page->traitTable().cell(0, 2), "P2");

    // Genotype data opened afterwards bring their own individuals.
    f.openPlants();
    EXPECT_EQ(f.window->data().IndividualNames.size(), 8u);
    EXPECT_EQ(f.window->data().IndividualNames.front(), "I1");
}

TEST(AssociationPage, MarkerDataStaleRulesAndSync)
{
    PageFixture f;
    f.openPlants();
    f.page->subPages()->setCurrentIndex(AssociationPage::MarkerDataPage);
    EXPECT_EQ(f.page->markerData().cell(0, 3), "2>m3");
    EXPECT_EQ(f.page->markerData().cell(1, 1), "-1");

    f.page->clipboardText = [] { return std::string("\tI1\tI2\r\n1>x\t5\t6\r\n"); };
    f.page->pastemarkerdatabtnClick();
    EXPECT_EQ(f.page->markerData().cell(1, 1), "5.00");
    // Loading data makes the pasted values stale: the sub-page shows the genotypes again.
    f.window->openDataFiles({QString::fromStdString(f.folder.write("chr3.rvk", "name=chr3\nnloc=1\nnind=8\npopt=f2\nm5 0.0 BBBBBBBB\n"))});
    EXPECT_EQ(f.page->markerData().cell(0, 1), "1>m1");
    EXPECT_EQ(f.page->markerData().rowCount(), 6) << "the third group came with the new file";

    ASSERT_TRUE(f.page->loadTraitFile(f.folder.write("t.qua", Traits)));
    f.page->SyncgridsClick();
    EXPECT_EQ(f.page->subPages()->currentIndex(), AssociationPage::SyncPage);
    EXPECT_EQ(f.page->syncTable().cell(3, 0), "I3");
    EXPECT_EQ(f.page->syncTable().cell(3, 1), "14.00");
    EXPECT_EQ(f.page->syncTable().cell(7, 1), "") << "plant 7 has no height";
}

TEST(AssociationPage, PastedMarkerDataStayUntilTheGenotypesChange)
{
    // Each event happens with pasted marker data and the "Trait data" sub-page in front; then the
    // "Marker data" sub-page is shown and "Plot Assoc." drawn, which refill a stale table.
    const std::string pasted = "\tI1\tI2\r\n1>x\t5\t6\r\n";
    const struct
    {
        const char *event;
        bool stale;
        std::function<void(PageFixture &)> happen;
    } cases[] = {
        {"ticks changed", false,
         [](PageFixture &f) {
             qobject_cast<SelectionResultsPage *>(f.window->pageWidget(MainWindow::SelectionResultsPage))->selectNone();
         }},
        {"sorted on a trait", false,
         [](PageFixture &f) {
             f.page->traitgridClick(1);
             f.page->sortontraitClick();
         }},
        {"core subset selected", false,
         [](PageFixture &f) {
             auto *panel = f.window->findChild<CoreSubsetPanel *>(QStringLiteral("CoreSubsetPanel"));
             panel->iterativeChoice()->setChecked(true);
             panel->cyclesField()->setValue(2);
             panel->sizeField()->setValue(3);
             panel->selectButton()->click();
         }},
        {"trait file loaded", false,
         [](PageFixture &f) {
             f.ui.openChoices.push_back({f.folder.write("again.qua", Traits)});
             f.page->ImportTraitFile();
         }},
        {"genotype edited", true,
         [](PageFixture &f) {
             auto *grid = f.window->findChild<AlleleGridModel *>();
             grid->setLocus(0, 0);
             ASSERT_TRUE(grid->setData(grid->index(AlleleGridModel::CodeRow, 1), QStringLiteral("B")));
         }},
        {"data loaded", true,
         [](PageFixture &f) {
             f.window->openDataFiles(
                 {QString::fromStdString(f.folder.write("chr3.rvk", "name=chr3\nnloc=1\nnind=8\npopt=f2\nm5 0.0 BBBBBBBB\n"))});
         }},
        {"closed", true, [](PageFixture &f) { f.window->closeAll(); }},
    };
    for (const auto &c : cases) {
        PageFixture f;
        f.openPlants();
        ASSERT_TRUE(f.page->loadTraitFile(f.folder.write("t.qua", Traits)));
        f.page->clipboardText = [&pasted] { return pasted; };
        f.page->pastemarkerdatabtnClick();
        f.page->subPages()->setCurrentIndex(AssociationPage::TraitDataPage);
        c.happen(f);
        f.page->subPages()->setCurrentIndex(AssociationPage::MarkerDataPage);
        f.page->plotLDbtnClick();
        EXPECT_EQ(f.page->markerData().isPasted(), !c.stale) << c.event;
        if (!c.stale) {
            EXPECT_EQ(f.page->markerData().cell(1, 1), "5.00") << c.event;
        }
    }
}

TEST(AssociationPage, RefusedTraitFileKeepsTheTicks)
{
    PageFixture f;
    f.openPlants();
    f.window->data().Ticked[2] = 0;
    f.ui.openChoices.push_back({f.folder.write("bad.qua", "traitnames t\nI1 1\n")});
    f.page->ImportTraitFile();
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.window->data().Ticked[2], 0) << "refused: the ticks stay";
    f.ui.openChoices.push_back({f.folder.write("good.qua", Traits)});
    f.page->ImportTraitFile();
    EXPECT_EQ(f.window->data().Ticked[2], 1) << "a file read ticks every individual";
}

// The trait column whose heading the "-10LOG(p)" table shows in money green (192, 220, 192), or -1.
int selectedHeading(const QTableView &table)
{
    const QAbstractItemModel *model = table.model();
    for (int column = 1; column < model->columnCount(); ++column)
        if (model->data(model->index(0, column), Qt::BackgroundRole).value<QBrush>().color() == QColor(192, 220, 192))
            return column;
    return -1;
}

TEST(AssociationPage, CorrelationRunFillsTheTablesAndPlots)
{
    PageFixture f;
    f.openPlants();
    ASSERT_TRUE(f.page->loadTraitFile(f.folder.write("t.qua", Traits)));
    f.page->chooseAnalysis = [] { return AssociationPage::AnalysisChoice::Correlation; };
    f.page->SpeedButton5Click();
    const AssociationResults &results = f.page->results();
    EXPECT_EQ(results.cell(Table::P, 1, 2), "1.5E-003");
    EXPECT_EQ(results.cell(Table::LogP, 2, 1), "1E99");
    EXPECT_EQ(results.cell(Table::Q, 1, 2), " X");
    EXPECT_EQ(f.page->subPages()->currentIndex(), AssociationPage::LogPPage);
    EXPECT_TRUE(f.page->plotButton()->isEnabled());
    EXPECT_TRUE(f.window->findChild<QAction *>(QStringLiteral("associationPlotTool"))->isEnabled()) << "the tool button";

    // Colours of the tables: a q below 0.05 pink, the R of -0.24 blue.
    EXPECT_EQ(AssociationResultsModel::cellColor(results, Table::Q, 1, 1), rgb(255, 155, 155));
    EXPECT_EQ(AssociationResultsModel::cellColor(results, Table::R, 2, 4), rgb(212, 212, 255)) << "a = round(0.24 * 180) = 43";
    EXPECT_EQ(AssociationResultsModel::cellColor(results, Table::LogP, 1, 2), rgb(255, 207, 207)) << "a = round(2.8 / 15 * 255) = 48";
    EXPECT_EQ(AssociationResultsModel::cellColor(results, Table::P, 1, 3), std::nullopt) << "\" X\" keeps the default look";

    // The first trait's p-value charts are there at once, before any click.
    EXPECT_EQ(f.page->pValueHistogram()->chart().title, "p values histogram height");
    EXPECT_EQ(f.page->pValueScatter()->chart().pointY.size(), 4u);
    f.page->pgridClick(2);
    EXPECT_EQ(f.page->pValueHistogram()->chart().title, "p values histogram yield");
    f.page->pgridClick(1);
    EXPECT_EQ(f.page->pValueHistogram()->chart().title, "p values histogram height");
    EXPECT_EQ(f.page->pValueScatter()->chart().pointY.size(), 4u);
    EXPECT_EQ(f.page->pValueScatter()->chart().pointY.front(), 0.0) << "the \" X\" row counts as 0";

    f.page->plotLDbtnClick();
    EXPECT_EQ(f.window->viewMode(), MainWindow::AssociationMode);
    EXPECT_EQ(f.window->pages()->currentIndex(), MainWindow::ImagePageIndex);
    EXPECT_FALSE(f.window->viewPicture().isEmpty());
    const int plotWidth = f.window->viewPicture().width();

    // Bar width 8, space 6: rows are h = max(2 * 8, 15) = 16 high; the group row's top is
    // (10 - 16) + 5 + 6 + 6 + 10 = 21, the traits' rows start 6 + 6 + 16 = 28 further each:
    // "height" 49-65, "yield" 77-93. A click in the middle of a row opens that trait's LD plot.
    struct Click
    {
        int y;
        QString status;
        int column; // of the "-10LOG(p)" table
        std::string title;
    };
    for (const Click &c : {Click{57, QStringLiteral("[1] height"), 1, "height"}, Click{85, QStringLiteral("[2] yield"), 2, "yield"},
                           Click{50, QStringLiteral("[1] height"), 1, "height"}}) {
        f.page->plotLDbtnClick();
        ASSERT_EQ(f.window->viewPicture().width(), plotWidth);
        f.window->pointerClickedOnPicture(QPoint(200, c.y), Qt::LeftButton);
        EXPECT_NE(f.window->viewPicture().width(), plotWidth) << "the LD plot replaced the association plot, y " << c.y;
        EXPECT_EQ(f.window->statusText(1), c.status) << "y " << c.y;
        EXPECT_EQ(f.window->viewMode(), MainWindow::AssociationMode);
        auto *logP = f.page->findChild<QTableView *>(QStringLiteral("logpgrid"));
        ASSERT_NE(logP, nullptr);
        EXPECT_EQ(logP->model()->data(logP->model()->index(0, c.column)).toString().toStdString(), c.title) << "y " << c.y;
        EXPECT_EQ(selectedHeading(*logP), c.column) << "y " << c.y;
    }

    // With "height" unticked, the only drawn row (49-65) is "yield".
    f.page->plotTraitList()->item(0)->setCheckState(Qt::Unchecked);
    f.page->plotLDbtnClick();
    f.window->pointerClickedOnPicture(QPoint(200, 57), Qt::LeftButton);
    EXPECT_EQ(f.window->statusText(1), QStringLiteral("[1] yield"));
    EXPECT_EQ(selectedHeading(*f.page->findChild<QTableView *>(QStringLiteral("logpgrid"))), 2);
}

TEST(AssociationTableModels, CellColoursOfTheTraitAndMarkerTables)
{
    struct Case
    {
        CellColor color;
        CellColor expected;
        const char *what;
    };
    const Case cases[] = {
        {TraitTableModel::cellColor(1, 0, -1), rgb(238, 238, 238), "trait table row 0"},
        {TraitTableModel::cellColor(0, 2, 2), rgb(221, 221, 255), "name cell of the selected trait row"},
        {TraitTableModel::cellColor(0, 3, 2), rgb(238, 238, 238), "other names"},
        {TraitTableModel::cellColor(2, 3, 2), std::nullopt, "values"},
        {MarkerDataModel::cellColor(0, 4, 2), rgb(192, 220, 192), "label of an even group"},
        {MarkerDataModel::cellColor(3, 4, 2), rgb(236, 255, 236), "value of an even group"},
        {MarkerDataModel::cellColor(0, 4, 3), rgb(238, 238, 238), "label of an odd group"},
        {MarkerDataModel::cellColor(3, 4, 3), rgb(255, 255, 255), "value of an odd group"},
        {MarkerDataModel::cellColor(3, 0, 2), rgb(238, 238, 238), "names"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.color, c.expected) << c.what;
}

TEST(AssociationPage, AnovaRunFillsTheReportAndLeavesNumvalsShown)
{
    PageFixture f;
    f.openPlants();
    ASSERT_TRUE(f.page->loadTraitFile(f.folder.write("t.qua", Traits)));
    f.page->chooseAnalysis = [] { return AssociationPage::AnalysisChoice::Anova; };
    f.page->SpeedButton5Click();
    EXPECT_EQ(f.page->results().cell(Table::P, 0, 1), "threshold");
    EXPECT_EQ(f.page->results().cell(Table::P, 1, 1), "0.05");
    const QString report = QString::fromStdString(f.page->reportWindow()->reportText());
    EXPECT_TRUE(report.startsWith(QStringLiteral("ONE WAY ANALYSIS OF VARIANCE RESULTS")));
    EXPECT_TRUE(report.contains(QStringLiteral("Independent variable is: 2>m4")));
    f.page->subPages()->setCurrentIndex(AssociationPage::MarkerDataPage);
    EXPECT_EQ(f.page->markerData().cell(1, 1), "-1") << "code mode only for the run";
}

// The ANOVA report is kept as the run's numbers and shown line by line; saved, it is the file the
// same text in the editor gives, and an edit turns it into that text.
TEST(ReportWindow, AnovaReportIsShownLineByLineAndSavedAsItsText)
{
    PageFixture f;
    f.openPlants();
    ASSERT_TRUE(f.page->loadTraitFile(f.folder.write("t.qua", Traits)));
    f.page->chooseAnalysis = [] { return AssociationPage::AnalysisChoice::Anova; };
    f.page->SpeedButton5Click();
    ReportWindow &report = *f.page->reportWindow();
    ASSERT_NE(report.anovaReport(), nullptr);
    const std::string text = report.reportText();
    const QAbstractItemModel &lines = *report.reportLines()->model();
    ASSERT_EQ(lines.rowCount(), std::count(text.begin(), text.end(), '\n')) << "8 pairs of about 30 lines";
    EXPECT_EQ(lines.index(0, 0).data().toString(), QStringLiteral("ONE WAY ANALYSIS OF VARIANCE RESULTS"));
    EXPECT_EQ(lines.index(2, 0).data().toString(), QStringLiteral("Dependent variable is: height, Independent variable is: 1>m1"));
    EXPECT_TRUE(report.reportLines()->isVisibleTo(&report));

    const std::string kept = f.folder.file("kept.rtf");
    ASSERT_TRUE(report.saveFile(kept));
    report.setReportText(text);
    EXPECT_EQ(report.anovaReport(), nullptr);
    EXPECT_EQ(report.editor()->toPlainText().toStdString(), text);
    const std::string edited = f.folder.file("edited.rtf");
    ASSERT_TRUE(report.saveFile(edited));
    EXPECT_EQ(test::readWholeFile(kept), test::readWholeFile(edited));
    EXPECT_EQ(test::readWholeFile(kept), RtfWriter::writePlain(text));

    // "Font" applies to text in the editor: the report becomes that text first.
    f.page->SpeedButton5Click();
    ASSERT_NE(report.anovaReport(), nullptr);
    report.chooseFont = [](const QFont &) { return std::optional<QFont>(QFont(QStringLiteral("Arial"))); };
    report.fontClick();
    EXPECT_EQ(report.anovaReport(), nullptr);
    EXPECT_EQ(report.editor()->toPlainText().toStdString(), text);
}

// What was computed from a data set goes when it is closed or when another file joins it: the
// result tables and their charts, the ANOVA report, the synchronised table, distance matrices of
// the genotypes and the trees built from them. The trait table stays.
TEST(AssociationPage, ResultsOfTheDataSetBeforeGo)
{
    const struct
    {
        const char *event;
        std::function<void(PageFixture &)> happen;
    } cases[] = {
        {"closed", [](PageFixture &f) { f.window->closeAll(); }},
        {"another file opened",
         [](PageFixture &f) {
             f.window->openDataFiles(
                 {QString::fromStdString(f.folder.write("chr3.rvk", "name=chr3\nnloc=1\nnind=8\npopt=f2\nm5 0.0 BBBBBBBB\n"))});
         }},
    };
    for (const auto &c : cases) {
        for (const auto choice : {AssociationPage::AnalysisChoice::Correlation, AssociationPage::AnalysisChoice::Anova}) {
            PageFixture f;
            f.openPlants();
            ASSERT_TRUE(f.page->loadTraitFile(f.folder.write("t.qua", Traits)));
            f.page->chooseAnalysis = [choice] { return choice; };
            f.page->SpeedButton5Click();
            auto *distances = dynamic_cast<DistancePage *>(f.window->pageWidget(MainWindow::DistancesPage));
            ASSERT_NE(distances, nullptr);
            distances->setTreeFolders(f.folder.path().string() + "/", f.folder.file("data/"));
            distances->calculate();
            f.ui.answers = {true};
            distances->buildTree(TreeMethod::NeighbourJoining);
            ASSERT_TRUE(distances->matrix());
            ASSERT_TRUE(distances->treeWindow()->hasTree());
            ASSERT_FALSE(f.page->results().isEmpty());
            ASSERT_EQ(f.page->plotButton()->isEnabled(), choice == AssociationPage::AnalysisChoice::Correlation);

            c.happen(f);
            const std::string event = std::string(c.event) + (choice == AssociationPage::AnalysisChoice::Anova ? " after ANOVA" : "");
            EXPECT_TRUE(f.page->results().isEmpty()) << event;
            for (Table table : {Table::LogP, Table::R2, Table::R, Table::P, Table::Q})
                EXPECT_EQ(f.page->results().rowCount(table), 0) << event;
            EXPECT_EQ(f.page->reportWindow()->anovaReport(), nullptr) << event;
            EXPECT_TRUE(f.page->reportWindow()->reportText().empty()) << event;
            EXPECT_EQ(f.page->syncTable().columnCount(), 0) << event;
            EXPECT_FALSE(f.page->plotButton()->isEnabled()) << event;
            EXPECT_TRUE(f.page->pValueScatter()->chart().pointY.empty()) << event;
            EXPECT_EQ(f.page->traitTable().cell(0, 1), "height") << event << ": the trait table stays";
            EXPECT_EQ(distances->matrix(), nullptr) << event;
            EXPECT_EQ(distances->gridModel()->rowCount(), 0) << event;
            EXPECT_FALSE(distances->njButton()->isEnabled()) << event;
            EXPECT_FALSE(distances->treeWindow()->hasTree()) << event;
            EXPECT_TRUE(distances->treeWindow()->treeText().isEmpty()) << event;
        }
    }
}

// Dark pixels in the middle third of a chart's plot area (its axes and titles lie outside).
int darkInTheMiddle(const AssociationChartWidget &chart)
{
    QImage image(400, 260, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PainterSurface surface(painter);
    AssociationChartInput input = chart.chart();
    recordAssociationChart(input).replay(surface);
    painter.end();
    int dark = 0;
    for (int y = 90; y < 170; ++y)
        for (int x = 100; x < 340; ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    return dark;
}

TEST(AssociationPage, EmptyChartsSayHowToFillThem)
{
    PageFixture f;
    EXPECT_GT(darkInTheMiddle(*f.page->traitHistogram()), 20) << "a hint, not an empty frame";
    EXPECT_GT(darkInTheMiddle(*f.page->pValueHistogram()), 20);
    EXPECT_GT(darkInTheMiddle(*f.page->pValueScatter()), 20);
}

// The p-value charts show a trait of the closed data set's results no longer: "Close all" empties
// them, with the hint of how to fill them again.
TEST(AssociationPage, ClosingTheDataSetEmptiesThePValueCharts)
{
    PageFixture f;
    f.openPlants();
    ASSERT_TRUE(f.page->loadTraitFile(f.folder.write("t.qua", Traits)));
    f.page->chooseAnalysis = [] { return AssociationPage::AnalysisChoice::Correlation; };
    f.page->SpeedButton5Click();
    ASSERT_EQ(f.page->pValueHistogram()->chart().title, "p values histogram height");
    ASSERT_FALSE(f.page->pValueScatter()->chart().pointY.empty());
    f.window->closeAll();
    EXPECT_NE(f.page->pValueHistogram()->chart().title, "p values histogram height");
    EXPECT_TRUE(f.page->pValueScatter()->chart().pointY.empty());
    EXPECT_FALSE(f.page->pValueHistogram()->chart().hint.empty());
    EXPECT_GT(darkInTheMiddle(*f.page->pValueHistogram()), 20) << "a hint, not the old histogram";
    EXPECT_GT(darkInTheMiddle(*f.page->pValueScatter()), 20);
}

// A trait table of other individuals (here of a closed data set) says so when it is loaded and
// when the correlation runs, rather than giving only " X" without a word.
TEST(AssociationPage, TraitNamesMatchingNoIndividualAreReported)
{
    PageFixture f;
    f.openPlants();
    const std::string other = "ntrt=1\nnind=2\nmiss=-\ntraitnames height\nP1 10\nP2 12\n";
    ASSERT_TRUE(f.page->loadTraitFile(f.folder.write("other.qua", other)));
    const std::string warning =
        "No individual of the trait table has the name of an individual of the data set (such as \"I1\"): its traits are matched to no genotypes.";
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, warning);
    EXPECT_EQ(f.ui.messages[0].kind, UserInterface::MessageKind::Warning);
    f.page->chooseAnalysis = [] { return AssociationPage::AnalysisChoice::Correlation; };
    f.page->SpeedButton5Click();
    ASSERT_EQ(f.ui.messages.size(), 2u);
    EXPECT_EQ(f.ui.messages[1].text, warning);

    // One matching name is enough; without a data set there is nothing to match.
    ASSERT_TRUE(f.page->loadTraitFile(f.folder.write("one.qua", "ntrt=1\nnind=2\nmiss=-\ntraitnames height\nP1 10\nI3 12\n")));
    EXPECT_EQ(f.ui.messages.size(), 2u);
    f.window->closeAll();
    ASSERT_TRUE(f.page->loadTraitFile(f.folder.write("other.qua", other)));
    EXPECT_EQ(f.ui.messages.size(), 2u);
}

TEST(AssociationPage, HistogramsAndTraitSort)
{
    PageFixture f;
    f.openPlants();
    ASSERT_TRUE(f.page->loadTraitFile(f.folder.write("t.qua", Traits)));
    EXPECT_FALSE(f.page->sortOnTraitButton()->isEnabled());
    f.page->traitgridClick(1);
    EXPECT_TRUE(f.page->sortOnTraitButton()->isEnabled());
    EXPECT_EQ(f.page->traitHistogram()->chart().title, "Trait histogram height");
    EXPECT_EQ(f.page->traitHistogram()->chart().barValues.size(), 10u);
    EXPECT_EQ(f.page->traitSortKeys().back(), "height");

    f.page->sortontraitClick();
    // Sorted by height; plant 7 (no height) has the key "{".
    const std::vector<std::string> &names = f.window->data().IndividualNames;
    EXPECT_EQ(names.front(), "I4") << "9.75 is the smallest height";
    EXPECT_EQ(f.window->data().Group(0).Loci[0].Genotypes.substr(0, 1), "A") << "plant 4 carries A at m1";

    f.page->barCount()->setValue(5);
    f.page->plotTraitList()->setCurrentRow(1);
    f.page->plottraitlistClick(1);
    EXPECT_EQ(f.page->traitHistogram()->chart().barValues.size(), 5u);
    EXPECT_EQ(f.page->traitHistogram()->chart().title, "Trait histogram yield");
}

TEST(AssociationPage, EditedTraitCellsFollowTheTableRules)
{
    PageFixture f;
    f.openPlants();
    ASSERT_TRUE(f.page->loadTraitFile(f.folder.write("t.qua", Traits)));
    QAbstractItemModel *model = f.page->findChild<QTableView *>(QStringLiteral("traitgrid"))->model();
    QAbstractItemModel *sync = f.page->findChild<QTableView *>(QStringLiteral("Syncgrid"))->model();
    ASSERT_TRUE(model->flags(model->index(1, 3)) & Qt::ItemIsEditable);
    EXPECT_FALSE(sync->flags(sync->index(1, 3)) & Qt::ItemIsEditable) << "the synchronised table is derived";

    // (column, row, typed, stored): values as "%2.2f", other text and names as typed.
    struct Case
    {
        int column, row;
        const char *typed, *stored;
    };
    const Case cases[] = {{3, 1, "13.456", "13.46"}, {3, 2, " 7 ", "7.00"}, {5, 2, "n.a.", "n.a."},
                          {9, 0, "12", "12"},        {0, 2, "1000", "1000"}};
    for (const Case &c : cases) {
        ASSERT_TRUE(model->setData(model->index(c.row, c.column), QString::fromUtf8(c.typed)));
        EXPECT_EQ(f.page->traitTable().cell(c.column, c.row), c.stored) << c.typed;
        EXPECT_EQ(model->data(model->index(c.row, c.column)).toString().toStdString(), c.stored);
    }
    EXPECT_EQ(f.plotList(), (std::vector<std::string>{"height", "1000"})) << "a renamed trait is renamed in the plot list";

    // Pasted marker data stay after an edit: only the genotypes make them stale.
    f.page->clipboardText = [] { return std::string("\tI1\tI2\r\n1>x\t5\t6\r\n"); };
    f.page->pastemarkerdatabtnClick();
    model->setData(model->index(1, 4), QStringLiteral("8"));
    EXPECT_EQ(f.page->markerData().cell(1, 1), "5.00");
    EXPECT_FALSE(f.window->data().MarkerGridStale);

    // The sort keys follow an edit of their trait: plant 4 was the shortest; after the edit it
    // is the tallest (plant 7, without a height, still comes last) and plant 1 the shortest.
    f.page->traitgridClick(1);
    EXPECT_EQ(f.page->traitSortKeys()[3], "  8.0");
    model->setData(model->index(1, 4), QStringLiteral("20"));
    EXPECT_EQ(f.page->traitSortKeys()[3], " 20.0");
    f.page->sortontraitClick();
    const std::vector<std::string> &names = f.window->data().IndividualNames;
    EXPECT_EQ(names.front(), "I1");
    EXPECT_EQ(names[6], "I4");
    EXPECT_EQ(names[7], "I7");
}

TEST(ReportWindow, EmptyReportPrintsOnePageTitledRichTextOutput)
{
    PageFixture f;
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const std::string path = f.folder.file("report.pdf");
    printer.setOutputFileName(QString::fromStdString(path));
    f.page->reportWindow()->print(printer);
    const std::string pdf = test::readWholeFile(path);
    size_t pages = 0;
    for (size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
        pages += pdf.compare(at, 12, "/Type /Pages") != 0;
    EXPECT_EQ(pages, 1u);
    EXPECT_EQ(printer.docName(), QStringLiteral("Rich Text Output")) << "the job's title";
}

TEST(AssociationPage, SaveSheetDataNamesTheSubPage)
{
    PageFixture f;
    f.openPlants();
    ASSERT_TRUE(f.page->loadTraitFile(f.folder.write("t.qua", Traits)));
    f.page->calc_assoc_numClick();
    const std::pair<int, std::string> cases[] = {{AssociationPage::TraitDataPage, "Trait Data saved as "},
                                                 {AssociationPage::MarkerDataPage, "Marker numerical data saved as "},
                                                 {AssociationPage::LogPPage, "-10logP association data saved as "},
                                                 {AssociationPage::QValuesPage, "association data q-values saved as "}};
    for (const auto &[page, message] : cases) {
        f.page->subPages()->setCurrentIndex(page);
        const std::string name = f.folder.file("sheet" + std::to_string(page));
        f.ui.saveChoices.push_back(name);
        f.page->SaveGridasExcelBtnClick();
        ASSERT_FALSE(f.ui.messages.empty());
        EXPECT_EQ(f.ui.messages.back().text, message + name + ".xls");
        EXPECT_FALSE(test::readWholeFile(name + ".xls").empty());
    }
}

TEST(AssociationPage, SaveSheetDataWithGeneticDistancesShownSavesTheDistanceTable)
{
    PageFixture f;
    f.openPlants();
    ASSERT_TRUE(f.page->loadTraitFile(f.folder.write("t.qua", Traits)));
    auto *distances = dynamic_cast<DistancePage *>(f.window->pageWidget(MainWindow::DistancesPage));
    ASSERT_NE(distances, nullptr);
    f.window->pages()->setCurrentIndex(MainWindow::DistancesPage);

    // No matrix yet: nothing to save, nothing asked.
    f.page->SaveGridasExcelBtnClick();
    EXPECT_TRUE(f.ui.messages.empty());

    distances->calculate();
    ASSERT_TRUE(distances->matrix());
    const std::string name = f.folder.file("distances");
    f.ui.saveChoices.push_back(name);
    f.page->SaveGridasExcelBtnClick();
    ASSERT_FALSE(f.ui.messages.empty());
    EXPECT_EQ(f.ui.messages.back().text, "Genetic distance data saved as " + name + ".xls");
    const std::optional<TextGrid> sheet = SpreadsheetReader::read(name + ".xls");
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->rowCount(), 9) << "the distance table, not the trait table shown on the association page";
    EXPECT_EQ(sheet->cell(1, 0), "I1");
    EXPECT_EQ(sheet->cell(0, 5), "I5");
    // Allele sharing of I1 (A A A B) and I5 (B A B A): three of four loci differ.
    EXPECT_EQ(sheet->cell(1, 5), "0.75");
    EXPECT_EQ(sheet->cell(5, 1), "") << "the upper triangle stays empty";

    // The command is offered on the distance page itself.
    QPushButton *button = nullptr;
    for (QPushButton *b : distances->findChildren<QPushButton *>())
        if (b->text() == QStringLiteral("Save Sheet data"))
            button = b;
    ASSERT_NE(button, nullptr);
    const std::string again = f.folder.file("again.xls");
    f.ui.saveChoices.push_back(again);
    button->click();
    EXPECT_EQ(f.ui.messages.back().text, "Genetic distance data saved as " + again);
}

// The records of a placeable Windows metafile: (function, parameter bytes), or nothing when the
// layout is broken (wrong key or header, a record running past the end, no end record, bytes
// after it).
std::optional<std::vector<std::pair<int, std::string>>> wmfRecords(const std::string &bytes)
{
    const auto word = [&bytes](size_t at) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) | static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8; };
    const auto dword = [&](size_t at) { return word(at) | word(at + 2) << 16; };
    if (bytes.size() < 40 || dword(0) != 0x9AC6CDD7u || word(22) != 1 || word(24) != 9)
        return std::nullopt;
    std::vector<std::pair<int, std::string>> records;
    for (size_t at = 40; at + 6 <= bytes.size();) {
        const size_t size = dword(at) * 2;
        if (size < 6 || at + size > bytes.size())
            return std::nullopt;
        records.emplace_back(static_cast<int>(word(at + 4)), bytes.substr(at + 6, size - 6));
        at += size;
        if (records.back().first == 0)
            return at == bytes.size() ? std::optional(records) : std::nullopt;
    }
    return std::nullopt;
}

TEST(AssociationChart, DoubleClickSavesEmfOrARealWmf)
{
    TempFolder folder;
    AssociationChartInput chart;
    chart.title = "p values histogram height";
    chart.leftTitle = "Frequency";
    chart.barLabels = {"0.0", "0.1"};
    chart.barValues = {3, 1};
    const ViewPicture picture = recordAssociationChart(chart);

    std::string written, error;
    ASSERT_TRUE(saveChartPicture(picture, folder.file("chart"), written, error)) << error;
    EXPECT_EQ(written, folder.file("chart.emf")) << "a bare name becomes an EMF file";
    EXPECT_EQ(test::readWholeFile(written).substr(0, 4), std::string("\x01\0\0\0", 4)) << "EMR_HEADER first";

    ASSERT_TRUE(saveChartPicture(picture, folder.file("chart.WMF"), written, error)) << error;
    EXPECT_EQ(written, folder.file("chart.WMF"));
    const std::string bytes = test::readWholeFile(written);
    const auto records = wmfRecords(bytes);
    ASSERT_TRUE(records) << "a placeable WMF whose records end with the end record";
    // The frame of the placeable header is the chart's size at 96 units per inch.
    const auto word = [&bytes](size_t at) { return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8; };
    EXPECT_EQ(word(10), chart.width);
    EXPECT_EQ(word(12), chart.height);
    EXPECT_EQ(word(14), 96);
    bool title = false;
    int rectangles = 0, lines = 0;
    for (const auto &[function, parameters] : *records) {
        title = title || (function == 0x0A32 && parameters.find(chart.title) != std::string::npos); // EXTTEXTOUT
        rectangles += function == 0x041B;                                                               // RECTANGLE
        lines += function == 0x0213;                                                                    // LINETO
    }
    EXPECT_TRUE(title);
    EXPECT_GE(rectangles, 3) << "the white ground and the two bars";
    EXPECT_GE(lines, 5) << "the axes and their ticks";
}

TEST(ReportWindow, LongReportGoesInWhole)
{
    PageFixture f;
    ReportWindow *report = f.page->reportWindow();
    std::string text;
    for (int i = 0; i < 60000; ++i)
        text += "line " + std::to_string(i) + " of a long report of the ANOVA association\n";
    report->setReportText(text);
    EXPECT_EQ(report->editor()->document()->blockCount(), 60001);
    EXPECT_EQ(report->editor()->toPlainText().toStdString(), text);
    EXPECT_FALSE(report->editor()->isReadOnly());
}

TEST(ReportWindow, RtfRoundTripKeepsABoldResizedFont)
{
    PageFixture f;
    ReportWindow *report = f.page->reportWindow();
    EXPECT_EQ(report->windowTitle(), QStringLiteral("Output File"));
    report->setReportText("ONE WAY ANALYSIS OF VARIANCE RESULTS\n\nBETWEEN      1");
    QTextCursor cursor(report->editor()->document());
    cursor.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
    report->editor()->setTextCursor(cursor);
    report->chooseFont = [](const QFont &) {
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(16);
        font.setBold(true);
        return std::optional<QFont>(font);
    };
    report->fontClick();
    const std::string path = f.folder.file("report.rtf");
    ASSERT_TRUE(report->saveFile(path));
    report->clearText();
    ASSERT_TRUE(report->openFile(path));
    EXPECT_EQ(report->editor()->toPlainText(), QStringLiteral("ONE WAY ANALYSIS OF VARIANCE RESULTS\n\nBETWEEN      1"));
    const RtfDocument document = report->document();
    ASSERT_GE(document.runs.size(), 2u);
    EXPECT_EQ(document.runs[0].text, "ONE ");
    EXPECT_TRUE(document.runs[0].font.bold);
    EXPECT_EQ(document.runs[0].font.pointSize, 16.0);
    EXPECT_EQ(document.runs[0].font.family, "Arial");
    EXPECT_FALSE(document.runs[1].font.bold);
    EXPECT_EQ(document.runs[1].font.family, "Courier New");

    // The next report comes in the report font, not in the font last chosen for a selection.
    report->editor()->setTextCursor(QTextCursor(report->editor()->document()));
    report->setReportText("ONE WAY ANALYSIS OF VARIANCE RESULTS");
    ASSERT_EQ(report->document().runs.size(), 1u);
    EXPECT_EQ(report->document().runs[0].font, RtfFont{});
}

} // namespace
} // namespace rvk
