#include "app/dataediting/allelegridmodel.h"
#include "app/dataediting/dataeditpage.h"
#include "app/files/exportcommands.h"
#include "app/dataediting/locustreemodel.h"
#include "app/mainwindow.h"
#include "app/files/mergerwindow.h"
#include "app/selection/sortcontrols.h"
#include "app/files/spreadsheetexchangewindow.h"
#include "app/files/textgridmodel.h"
#include "app/statistics/globalstatisticswindow.h"
#include "core/dataloader.h"
#include "settings/alleletable.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"
#include "support/windowfixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>

#include <filesystem>
#include <memory>

namespace rvk {
namespace {

using test::ScriptedUserInterface;
using test::TempFolder;

// Five individuals; the second group's loci are out of order in the file.
const std::string Chr1 = "name=chr1\nnloc=3\nnind=5\npopt=f2\nm1 0.0 aabba\nm2 5.0 abbab\nm3 10.0 bbaab\n";
const std::string Chr2 = "name=chr2\nnloc=2\nnind=5\npopt=f2\nm4 2.0 aaaaa\nm5 1.0 bbbbb\n";

// The window with the data files of the tests at hand and the exports' desktop opener recorded.
struct WindowFixture : test::WindowFixture
{
    WindowFixture()
    {
        exports()->setFileOpener([this](const QUrl &url) {
            openedFiles.append(url);
            return true;
        });
    }

    void openExample()
    {
        window->openDataFiles({QString::fromStdString(folder.write("chr1.rvk", Chr1)),
                               QString::fromStdString(folder.write("chr2.rvk", Chr2))});
        ASSERT_EQ(window->data().GroupCount(), 2);
    }

    std::vector<std::string> locusNames(int group) const
    {
        std::vector<std::string> names;
        for (const Tlocinfo &locus : window->data().GroupLoci(group))
            names.push_back(locus.Name);
        return names;
    }

    ExportCommands *exports() const { return window->findChild<ExportCommands *>(); }
    MergerWindow *merger() const { return window->findChild<MergerWindow *>(); }
    SpreadsheetExchangeWindow *exchange() const { return window->findChild<SpreadsheetExchangeWindow *>(); }

    QList<QUrl> openedFiles;
};

// ---------------------------------------------------------------------------------------------
// Saving and exports

TEST(DataEditingExports, SaveWritesAFileThatReadsBackWithEveryGroup)
{
    WindowFixture f;
    f.openExample();
    f.ui.saveChoices.push_back(f.folder.file("saved.final.rvk"));
    f.trigger("Sa&ve RVK data");

    const std::string written = f.folder.file("saved.rvk");
    ASSERT_TRUE(std::filesystem::exists(written));
    EXPECT_TRUE(f.lastMessageIs("File succesfully saved as " + written));
    EXPECT_EQ(f.window->recentFiles().entry(0), written);
    EXPECT_FALSE(f.window->commandActions(QString::fromStdString(written)).isEmpty()); // the recent menu follows

    WindowFixture reread;
    reread.window->openDataFiles({QString::fromStdString(written)});
    ASSERT_EQ(reread.window->data().GroupCount(), 2);
    EXPECT_EQ(reread.groupItems(), f.groupItems());
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(reread.locusNames(k), f.locusNames(k));
        for (int i = 0; i < f.window->data().GroupLocusCount(k); ++i)
            EXPECT_EQ(reread.window->data().GroupLoci(k)[i].Genotypes, f.window->data().GroupLoci(k)[i].Genotypes);
    }
}

TEST(DataEditingExports, CancelledSaveWritesNothing)
{
    WindowFixture f;
    f.openExample();
    f.trigger("Sa&ve RVK data");
    for (const std::string &name : f.folder.entries())
        EXPECT_TRUE(name == "chr1.rvk" || name == "chr2.rvk" || name == "rvk.ini") << name;
}

TEST(DataEditingExports, LocusAndMegaFilesTakeTheirExtension)
{
    struct Case
    {
        QString command;
        std::string extension;
    };
    for (const Case &c : {Case{"Export as &Locus data (.loc)", ".loc"}, Case{"Create M&EGA datafile", ".meg"}}) {
        WindowFixture f;
        f.openExample();
        f.ui.saveChoices.push_back(f.folder.file("out.txt"));
        f.trigger(c.command);
        const std::string written = f.folder.file("out" + c.extension);
        EXPECT_TRUE(std::filesystem::exists(written)) << c.extension;
        EXPECT_TRUE(f.lastMessageIs("File succesfully saved as " + written)) << c.extension;
    }
}

TEST(DataEditingExports, MapChartNeedsTheIndividualViewAndOpensTheWrittenChart)
{
    WindowFixture f;
    f.openExample();
    f.ui.saveChoices.push_back(f.folder.file("chart.mct"));
    f.trigger("Create &Mapchart data");
    EXPECT_TRUE(f.lastMessageIs("Select an indiviual in `Individual view` before exporting to MapChart"));
    EXPECT_TRUE(f.openedFiles.isEmpty());
    EXPECT_FALSE(std::filesystem::exists(f.folder.file("chart.mct")));

    f.window->setViewMode(MainWindow::IndividualMode);
    f.trigger("Create &Mapchart data");
    ASSERT_TRUE(std::filesystem::exists(f.folder.file("chart.mct")));
    EXPECT_EQ(f.openedFiles, QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(f.folder.file("chart.mct")))});
}

// ---------------------------------------------------------------------------------------------
// Locus/map merger

TEST(DataEditingMerger, MergingTheListeriaExampleOpensItsTwentyGroups)
{
    WindowFixture f;
    MergerWindow *merger = f.merger();
    ASSERT_NE(merger, nullptr);
    EXPECT_EQ(merger->windowTitle(), "Build RVK file ");
    f.ui.openChoices.push_back({test::examplePath("listeria.map")});
    f.ui.openChoices.push_back({test::examplePath("listeria.loc")});
    f.ui.saveChoices.push_back(f.folder.file("listeria.rvk"));
    int shown = 0;
    merger->setModalRunner([&](QDialog &) {
        ++shown;
        merger->loadMarkerMaps();
        EXPECT_GT(merger->entryCount(), 20);
        merger->loadLocusData();
        EXPECT_TRUE(merger->unmodifiedText().startsWith("Only the first part of the locus file is shown below"));
        merger->mergeData();
        EXPECT_TRUE(merger->modifiedText().startsWith("nchrom=20"));
    });
    f.trigger("&Build RVK File..");
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(merger->merger().writtenPath(), f.folder.file("listeria_all.rvk"));
    EXPECT_EQ(f.window->data().GroupCount(), 20);
    EXPECT_EQ(f.window->groupSelector()->count(), 20);
    EXPECT_TRUE(f.window->pages()->isTabEnabled(MainWindow::DataViewPage));

    // A later visit without a merge opens nothing again.
    merger->setModalRunner([&](QDialog &) { ++shown; });
    f.trigger("Build RVK file");
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(f.window->data().GroupCount(), 20);
}

TEST(DataEditingMerger, ButtonsFollowWhatWasLoadedAndResetEmptiesTheList)
{
    WindowFixture f;
    MergerWindow *merger = f.merger();
    EXPECT_FALSE(merger->merger().canLoadLocusData());
    merger->loadLocusData(); // disabled: no dialog asked
    EXPECT_EQ(f.ui.openChoices.size(), 0u);
    f.ui.openChoices.push_back({test::examplePath("listeria.map")});
    merger->loadMarkerMaps();
    EXPECT_TRUE(merger->merger().canLoadLocusData());
    EXPECT_FALSE(merger->merger().canMerge());
    merger->resetMerger();
    EXPECT_EQ(merger->entryCount(), 0);
    EXPECT_FALSE(merger->merger().canLoadLocusData());
}

// ---------------------------------------------------------------------------------------------
// Spreadsheet exchange

const QString PastedTable = "nind=3\r\npopt=f2\r\nname=g1\r\nm1\t0\ta\tb\tb\r\nm2\t5\tb\ta\ta\r\n"
                            "name=g2\r\nm3\t1\ta\ta\tb\r\n";

TEST(DataEditingExchange, ImportingAPastedTableShowsItsGroups)
{
    WindowFixture f;
    SpreadsheetExchangeWindow *exchange = f.exchange();
    ASSERT_NE(exchange, nullptr);
    EXPECT_EQ(exchange->windowTitle(), "RVK <-> Excel data exchange");
    exchange->setModalRunner([&](QDialog &) {
        exchange->pasteText(PastedTable);
        EXPECT_EQ(exchange->gridModel()->data(exchange->gridModel()->index(3, 1), Qt::DisplayRole).toString(), "0.0");
        exchange->importIntoRvk();
    });
    f.trigger("Load/Paste from Excel");
    EXPECT_EQ(f.groupItems(), (QStringList{"1: g1", "2: g2"}));
    EXPECT_TRUE(f.window->groupSelector()->isEnabled());
    EXPECT_EQ(f.window->data().nind, 3);
    EXPECT_EQ(f.window->statusText(0), "2 groups / 3 loci / 3 indiv.");
    EXPECT_TRUE(f.window->pages()->isTabEnabled(MainWindow::DataViewPage));
    EXPECT_TRUE(f.window->pages()->isTabEnabled(MainWindow::SelectionResultsPage));
    EXPECT_EQ(f.window->data().GroupLoci(0)[1].Genotypes, "baa");
}

TEST(DataEditingExchange, ClosingWithoutImportLeavesTheDataSet)
{
    WindowFixture f;
    f.openExample();
    const QStringList before = f.groupItems();
    f.exchange()->setModalRunner([&](QDialog &) { f.exchange()->importIntoRvk(); });
    f.trigger("Load/Paste from Excel"); // an empty grid: nothing to import
    EXPECT_TRUE(f.lastMessageIs("no Excel data loaded/ pasted!"));
    EXPECT_EQ(f.groupItems(), before);
    EXPECT_EQ(f.window->data().GroupCount(), 2);
}

TEST(DataEditingExchange, GridFormOfTheDataSetImportsBackWithAnEdit)
{
    WindowFixture f;
    f.openExample();
    SpreadsheetExchangeWindow *exchange = f.exchange();
    exchange->setModalRunner([&](QDialog &) {
        TextGridModel *model = exchange->gridModel();
        EXPECT_EQ(model->data(model->indexOf(0, 7), Qt::DisplayRole).toString(), "name=chr1");
        EXPECT_EQ(model->data(model->indexOf(0, 8), Qt::DisplayRole).toString(), "m1");
        EXPECT_TRUE(model->setData(model->indexOf(2, 8), "b"));
        exchange->importIntoRvk();
    });
    f.trigger("Excel style edit");
    ASSERT_EQ(f.window->data().GroupCount(), 2);
    EXPECT_EQ(f.window->data().GroupLoci(0)[0].Genotypes, "babba");
    EXPECT_EQ(f.groupItems(), (QStringList{"1: chr1", "2: chr2"}));
}

// An import replaces the data set: it is announced as closed and then as loaded, as "Close all"
// and an open would, so nothing computed from the old data stays.
TEST(DataEditingExchange, ImportClosesTheReplacedDataSetFirst)
{
    WindowFixture f;
    f.openExample();
    f.trigger("&Global Statistics");
    auto *statistics = f.window->findChild<GlobalStatisticsWindow *>();
    ASSERT_NE(statistics, nullptr);
    ASSERT_TRUE(statistics->isVisible());
    ASSERT_TRUE(f.window->alleles().lookup('a').Used);

    std::vector<std::string> announced;
    QObject::connect(f.window.get(), &MainWindow::dataSetClosed, [&] { announced.push_back("closed"); });
    QObject::connect(f.window.get(), &MainWindow::dataSetLoaded, [&] { announced.push_back("loaded"); });
    f.exchange()->setModalRunner([&](QDialog &) {
        f.exchange()->pasteText("nind=3\r\npopt=f2\r\nname=g1\r\nm1\t0\tA\tB\tH\r\n");
        f.exchange()->importIntoRvk();
    });
    f.trigger("Load/Paste from Excel");
    ASSERT_EQ(f.groupItems(), QStringList{"1: g1"});
    EXPECT_EQ(announced, (std::vector<std::string>{"closed", "loaded"}));
    EXPECT_FALSE(statistics->isVisible()) << "the old data set's statistics went with it";
    EXPECT_FALSE(f.window->alleles().lookup('a').Used) << "only the new codes are listed";
    EXPECT_TRUE(f.window->alleles().lookup('H').Used);
}

TEST(DataEditingExchange, ToolShowsTheGridFormOnlyWithData)
{
    WindowFixture f;
    SpreadsheetExchangeWindow *exchange = f.exchange();
    int rows = -1;
    exchange->setModalRunner([&](QDialog &) { rows = exchange->exchange().grid().rowCount(); });
    f.trigger("Excel data exchange");
    EXPECT_EQ(rows, 5); // the empty 5 x 5 grid of the import
    f.openExample();
    f.trigger("Excel data exchange");
    EXPECT_EQ(rows, 6 + 2 + 3 + 2 + 2); // header rows, then per group a blank row, "name=" and the loci
}

TEST(DataEditingExchange, CrossPollinatorGridFormHasItsTypeAndPhaseColumns)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(
        f.folder.write("cp.rvk", "name=lg1\nnloc=2\nnind=3\npopt=cp\nm1 0.0 <abxcd> acadbc\nm2 4.0 <lmxll> lllmlm\n"))});
    ASSERT_EQ(f.window->data().GroupCount(), 1);
    SpreadsheetExchangeWindow *exchange = f.exchange();
    QList<int> widths;
    exchange->setModalRunner([&](QDialog &dialog) {
        auto *view = dialog.findChild<QTableView *>();
        ASSERT_NE(view, nullptr);
        for (int column = 0; column < 4; ++column)
            widths.append(view->columnWidth(column));
    });
    f.trigger("Excel style edit");
    EXPECT_EQ(widths, (QList<int>{100, 60, 60, 50}));
}

TEST(DataEditingExchange, ClosingTheGridLetsGoOfItsCells)
{
    WindowFixture f;
    f.openExample();
    SpreadsheetExchangeWindow *exchange = f.exchange();
    int shownRows = -1;
    exchange->setModalRunner([&](QDialog &) { shownRows = exchange->gridModel()->rowCount(); });
    // "Show && edit data in gridview" on the page "Data Sort, View, Edit".
    emit f.window->findChild<DataEditPage *>()->gridViewRequested();
    EXPECT_EQ(shownRows, 6 + 2 + 3 + 2 + 2);
    // Closed: the data set's cells are gone from the window, the next showing fills them anew.
    EXPECT_EQ(exchange->exchange().grid().rowCount(), 5);
    EXPECT_EQ(exchange->exchange().grid().columnCount(), 5);
    EXPECT_EQ(exchange->gridModel()->rowCount(), 5);
    shownRows = -1;
    emit f.window->findChild<DataEditPage *>()->gridViewRequested();
    EXPECT_EQ(shownRows, 6 + 2 + 3 + 2 + 2);
}

TEST(DataEditingExchange, RowsAndColumnsAddedAndDeleted)
{
    WindowFixture f;
    SpreadsheetExchangeWindow *exchange = f.exchange();
    exchange->clearGrid();
    exchange->addRow();
    exchange->insertColumn();
    EXPECT_EQ(exchange->gridModel()->rowCount(), 6);
    EXPECT_EQ(exchange->gridModel()->columnCount(), 6);
    exchange->setRightClickCell(0, 2);
    f.ui.answers.push_back(true);
    exchange->deleteThisRow();
    EXPECT_EQ(exchange->gridModel()->rowCount(), 5);
    exchange->setShowHeaders(true);
    EXPECT_EQ(exchange->gridModel()->rowCount(), 4); // row 0 and column 0 became the headings
    EXPECT_EQ(exchange->gridModel()->columnCount(), 5);
}

} // namespace
} // namespace rvk
