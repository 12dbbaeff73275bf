// The page "QTL mapping" on the intercross fixture of tests/data/qtl (made with R/qtl by
// tests/data/qtl/make_fixtures.R; R/qtl's hk peak of T1 is on group 1 at 20 cM, LOD 5.617).
#include "app/mainwindow.h"
#include "app/qtl/qtlpage.h"
#include "app/qtl/qtlplotwidget.h"
#include "genetics/traittable.h"
#include "io/traitfile.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>

#include <memory>

namespace rvk {
namespace {

using test::ScriptedUserInterface;
using test::TempFolder;

struct QtlPageFixture
{
    QtlPageFixture()
    {
        MainWindowOptions options;
        options.programFolder = folder.path().string() + "/";
        options.settingsFile = folder.file("rvk.ini");
        window = std::make_unique<MainWindow>(options, &ui);
        window->setUrlOpener([](const QUrl &) { return true; });
        window->openDataFiles({QString::fromStdString(test::testDataPath("qtl/f2.rvk"))});
        page = window->findChild<QtlPage *>("QtlPage");
        const TraitFileContents contents = TraitFileReader::readFile(test::testDataPath("qtl/f2.qua"));
        traits = TraitTable::fromColumns(contents.columns, contents.rowCount);
        page->findChild<QDoubleSpinBox *>()->setValue(2.5);
    }
    void setPermutations(int n)
    {
        for (QSpinBox *box : page->findChildren<QSpinBox *>())
            if (box->value() == 1000)
                box->setValue(n);
    }

    TempFolder folder;
    ScriptedUserInterface ui;
    std::unique_ptr<MainWindow> window;
    QtlPage *page = nullptr;
    TraitTable traits;
};

TEST(QtlPage, IsAPageOfItsOwnAfterTheOthers)
{
    QtlPageFixture f;
    ASSERT_TRUE(f.page);
    const int index = f.window->pages()->indexOf(f.page);
    EXPECT_GE(index, MainWindow::PageCount) << "after the fixed pages, so their indices stay";
    EXPECT_EQ(f.window->pages()->tabText(index), "QTL mapping");
    const QtlOptions options = f.page->options();
    EXPECT_EQ(options.method, QtlMethod::HaleyKnott);
    EXPECT_EQ(options.permutations, 1000);
    EXPECT_EQ(options.errorProbability, 1e-4);
    EXPECT_EQ(options.mapFunction, MapFunction::Haldane);
}

TEST(QtlPage, RunFillsThePeaksTheGridAndThePicture)
{
    QtlPageFixture f;
    f.setPermutations(100);
    f.page->runMapping(f.traits);
    ASSERT_TRUE(f.page->analysis()) << (f.ui.messages.empty() ? "" : f.ui.messages.back().text);
    const QAbstractItemModel *peaks = f.page->peaksView()->model();
    ASSERT_EQ(peaks->rowCount(), 4);
    EXPECT_EQ(peaks->headerData(2, Qt::Horizontal).toString(), "position");
    EXPECT_EQ(peaks->index(0, 0).data().toString(), "T1");
    EXPECT_EQ(peaks->index(0, 2).data().toString(), "20");
    EXPECT_EQ(peaks->index(0, 3).data().toString(), "m5");
    EXPECT_NEAR(peaks->index(0, 4).data().toString().toDouble(), 5.617, 0.01);
    EXPECT_EQ(peaks->index(0, 14).data().toString(), "yes");
    const QAbstractItemModel *grid = f.page->gridView()->model();
    EXPECT_EQ(grid->rowCount(), 41);
    EXPECT_EQ(grid->columnCount(), 5);
    EXPECT_EQ(grid->index(0, 1).data().toString(), "m1");
    EXPECT_NEAR(grid->index(0, 3).data().toString().toDouble(), 2.773455, 0.01) << "R/qtl's hk LOD of T1 at m1";
    EXPECT_EQ(f.page->plotWidget()->input().traits.size(), 2u);

    emit f.page->plotWidget()->pointed(0, 11); // 0, 2.5, 5, 7.3, 7.5, 10, 12.5, 15, 15.1, 15.1, 17.5, 20
    EXPECT_EQ(f.page->pointerLabel()->text().left(14), "chr1  20.0 cM ");
    EXPECT_TRUE(f.page->pointerLabel()->text().contains("T1 LOD 5.62"));
}

TEST(QtlPage, IntervalsAreAddedAndOnesAlreadyThereReplacedOnlyWhenTheUserAgrees)
{
    QtlPageFixture f;
    f.setPermutations(100);
    f.page->runMapping(f.traits);
    ASSERT_TRUE(f.page->analysis());
    Tlocinfo *m5 = nullptr;
    for (Tlocinfo &locus : f.window->data().GroupLoci(0))
        if (locus.Name == "m5")
            m5 = &locus;
    ASSERT_TRUE(m5);
    m5->QtlStart = 21.0;
    m5->QtlEnd = 24.0;
    f.ui.answers = {false};
    f.page->addIntervalsToMap();
    ASSERT_EQ(f.ui.questions.size(), 1u);
    EXPECT_EQ(f.ui.questions[0], "1 markers nearest to a significant peak carry a QTL interval already. Replace them?");
    EXPECT_EQ(m5->QtlStart, 21.0);
    EXPECT_EQ(f.ui.messages.back().text, "1 QTL intervals added to the map. 1 intervals already there were kept.");
    f.ui.answers = {true};
    f.page->addIntervalsToMap();
    EXPECT_EQ(m5->QtlStart, 7.5);
    EXPECT_EQ(m5->QtlEnd, 32.5);
}

} // namespace
} // namespace rvk
