#include "app/association/associationpage.h"
#include "app/ld/ldchartwidget.h"
#include "app/ld/ldheatplotview.h"
#include "app/ld/lddialleltable.h"
#include "app/ld/ldlinemodel.h"
#include "app/ld/ldpage.h"
#include "app/mainwindow.h"
#include "genetics/clusterorder.h"
#include "genetics/fdr.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include <filesystem>
#include <memory>

namespace rvk {
namespace {

using test::ScriptedUserInterface;
using test::TempFolder;

// Six F2 individuals on two groups; m1 and m2 in coupling, m3 in repulsion with both.
const std::string GroupOne = "name=Chr 1\nnloc=3\nnind=6\npopt=f2\n"
                             "m1 0.0 AAHBBA\nm2 10.0 AAHBBH\nm3 30.0 BBHAAB\n"
                             "alias a b c d e f\n";
const std::string GroupTwo = "name=Chr 2\nnloc=2\nnind=6\npopt=f2\n"
                             "m4 0.0 ABHABA\nm5 20.0 BBHAAH\n"
                             "alias a b c d e f\n";

struct LdPageFixture
{
    // The two small groups above, or the example data when given its path.
    explicit LdPageFixture(const std::string &dataFile = {})
    {
        MainWindowOptions options;
        options.programFolder = folder.path().string() + "/";
        options.settingsFile = folder.file("rvk.ini");
        window = std::make_unique<MainWindow>(options, &ui);
        window->setUrlOpener([](const QUrl &) { return true; });
        if (dataFile.empty())
            window->openDataFiles({QString::fromStdString(folder.write("one.rvk", GroupOne)),
                                   QString::fromStdString(folder.write("two.rvk", GroupTwo))});
        else
            window->openDataFiles({QString::fromStdString(dataFile)});
        page = dynamic_cast<LdPage *>(window->pageWidget(MainWindow::LdPage));
        page->markerldsheetShow();
    }

    TempFolder folder;
    ScriptedUserInterface ui;
    std::unique_ptr<MainWindow> window;
    LdPage *page = nullptr;
};

TEST(LdPage, HasItsControlsWithTheirDefaults)
{
    LdPageFixture f;
    ASSERT_TRUE(f.page);
    EXPECT_EQ(f.window->pages()->tabText(MainWindow::LdPage), "LD ");
    EXPECT_EQ(f.page->subPages()->tabText(0), "Marker LD");
    EXPECT_EQ(f.page->subPages()->tabText(1), "HeatPlot");
    EXPECT_TRUE(f.page->findChild<QRadioButton *>("r2")->isChecked());
    EXPECT_TRUE(f.page->findChild<QRadioButton *>("heatcolor")->isChecked());
    EXPECT_EQ(f.page->findChild<QSpinBox *>("LDblocksize")->value(), 5);
    EXPECT_EQ(f.page->findChild<QSpinBox *>("LDblocksize")->minimum(), 2);
    EXPECT_EQ(f.page->findChild<QSpinBox *>("LDblocksize")->maximum(), 100);
    // The marker-data table of the association page is there to read.
    EXPECT_EQ(f.page->findChild<QCheckBox *>("usepasteddataforLD")->isEnabled(), associationPage(*f.window) != nullptr);
    // Rearranging by the cluster order waits for a tree (an earlier test in this program may have built one).
    EXPECT_EQ(f.page->findChild<QCheckBox *>("useclusterorder")->isEnabled(), lastClusterOrder().has_value());
    const QComboBox *groups = f.page->findChild<QComboBox *>("LDselectbox");
    EXPECT_EQ(groups->count(), 2);
    EXPECT_EQ(f.page->logModel()->lineText(0), "Log window");
}

TEST(LdPage, GroupRunFillsTableListLogAndChart)
{
    LdPageFixture f;
    f.page->findChild<QComboBox *>("LDselectbox")->setCurrentIndex(0);
    f.page->findChild<QRadioButton *>("R_single")->setChecked(true);
    f.page->LDcalcClick();
    const LdAnalysis *analysis = f.page->analysis();
    ASSERT_TRUE(analysis);
    EXPECT_EQ(analysis->locusCount(), 3);
    LdDiallelModel *table = f.page->tableModel();
    EXPECT_EQ(table->rowCount(), 4);
    EXPECT_EQ(table->index(0, 0).data().toString(), "LD (R)");
    EXPECT_EQ(table->index(0, 1).data().toString(), "m1");
    EXPECT_EQ(table->index(3, 1).data().toString(), " -1.00"); // m1-m3 in repulsion
    EXPECT_EQ(f.page->listModel()->rowCount(), 4);
    EXPECT_EQ(f.page->listModel()->lineText(0).toStdString(), analysis->listHeader());
    EXPECT_EQ(f.page->listModel()->lineText(1).toStdString(), analysis->listLine(1));
    EXPECT_EQ(f.page->logModel()->lineText(f.page->logModel()->rowCount() - 1).left(9), "rthres : ");
    EXPECT_TRUE(f.page->chart()->hasChart());
    EXPECT_TRUE(f.page->heatPlotImage().isNull()); // only all-loci runs draw the heat plot
}

// Until a run over all loci draws the heat plot, its page says how to get one.
TEST(LdPage, HeatPlotPageWithoutPlotSaysHowToDrawIt)
{
    LdPageFixture f;
    f.page->show();
    auto *hint = f.page->findChild<QLabel *>(QStringLiteral("heatPlotHint"));
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->text(), "The heat plot shows the LD of all loci: click \"Calc LD for all loci\".");
    f.page->LDcalcClick();
    EXPECT_FALSE(hint->isHidden());
    f.page->LDallClick();
    EXPECT_TRUE(hint->isHidden()) << "the plot is there";
}

TEST(LdPage, AllLociRunDrawsTheHeatPlotWhichOutlivesAGroupRun)
{
    LdPageFixture f;
    f.page->LDallClick();
    ASSERT_TRUE(f.page->analysis());
    EXPECT_EQ(f.page->analysis()->locusCount(), 5);
    EXPECT_EQ(f.page->tableModel()->index(0, 4).data().toString(), "2>m4");
    const QImage heat = f.page->heatPlotImage();
    EXPECT_EQ(heat.width(), (5 + 3) * 5 + 1);
    // m1-m2 (column 0, row 1) is in strong LD: red, not white.
    const QRgb cell = heat.pixel(2, 7);
    EXPECT_EQ(qRed(cell), 255);
    EXPECT_LT(qGreen(cell), 255);
    // The block size redraws the plot.
    f.page->findChild<QSpinBox *>("LDblocksize")->setValue(10);
    EXPECT_EQ(f.page->heatPlotImage().width(), (5 + 3) * 10 + 1);
    f.page->LDcalcClick();
    EXPECT_EQ(f.page->analysis()->scope(), LdAnalysis::Scope::Group);
    ASSERT_TRUE(f.page->heatPlotAnalysis());
    EXPECT_EQ(f.page->heatPlotAnalysis()->scope(), LdAnalysis::Scope::AllLoci);
}

TEST(LdHeatPlotView, ShowsPlotsLargerThanABitmapAtTheirOwnSizeTileByTile)
{
    // 1000 loci at block size 5 would have been shrunk to 4-pixel squares to fit a 4096-pixel
    // bitmap; the view keeps 5 pixels per pair: 1003 * 5 + 1 = 5016 pixels a side.
    LdHeatPlotInput input;
    input.locusCount = 1000;
    input.blockSize = 5;
    input.row = [](int i, const std::function<void(int, float, bool)> &visit) {
        if (i == 998)
            visit(999, 1.0f, false);
    };
    LdHeatPlotView view;
    view.setPlot(input);
    EXPECT_EQ(view.size(), QSize(5016, 5016));
    // The last pair's square, x 4990..4994 and y 4995..4999, painted where the view shows it.
    const QImage corner = view.renderArea(QRect(4980, 4980, 36, 36));
    EXPECT_EQ(corner.pixel(4992 - 4980, 4997 - 4980) & 0xFFFFFF, 0xFF0000u | (255u - 200) << 8 | (255u - 200));
    EXPECT_EQ(corner.pixel(4989 - 4980, 4997 - 4980) & 0xFFFFFF, 0xFFFFFFu) << "left of the square";
    EXPECT_EQ(corner.pixel(4992 - 4980, 5000 - 4980) & 0xFFFFFF, 0xFFFFFFu) << "below the square";
    EXPECT_EQ(corner.pixel(5014 - 4980, 4997 - 4980) & 0xFFFFFF, 0u) << "the frame's right edge (x 1 .. 5015, the last one excluded)";
    // The painted widget shows the same pixels as the rendering of that area.
    view.resize(5016, 5016);
    QImage shown(36, 36, QImage::Format_RGB32);
    view.render(&shown, QPoint(), QRegion(4980, 4980, 36, 36));
    EXPECT_EQ(shown.pixel(4992 - 4980, 4997 - 4980) & 0xFFFFFF, corner.pixel(4992 - 4980, 4997 - 4980) & 0xFFFFFF);
    view.setPlot(std::nullopt);
    EXPECT_EQ(view.size(), QSize(0, 0));
}

TEST(LdPage, SavesListTableChartAndHeatPlot)
{
    LdPageFixture f;
    f.page->LDallClick();
    const std::string list = f.folder.file("pairs.txt");
    f.ui.saveChoices = {list, f.folder.file("table"), f.folder.file("chart"), f.folder.file("heat.png"),
                        f.folder.file("heat.emf")};
    f.page->saveLDpairwisebtnClick();
    std::string expected;
    for (long long k = 0; k < f.page->analysis()->listLineCount(); ++k)
        expected += f.page->analysis()->listLine(k) + "\n";
    EXPECT_EQ(test::readWholeFile(list), expected);

    f.page->SaveasexcelbtnClick();
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, "Data saved as " + f.folder.file("table.xls"));
    EXPECT_FALSE(test::readWholeFile(f.folder.file("table.xls")).empty());

    f.page->Chart1DblClick();
    EXPECT_FALSE(test::readWholeFile(f.folder.file("chart.emf")).empty());
    f.page->SpeedButton6Click();
    QImage saved(QString::fromStdString(f.folder.file("heat.png")));
    EXPECT_EQ(saved.width(), f.page->heatPlotImage().width());
    f.page->SpeedButton6Click();
    EXPECT_EQ(test::readWholeFile(f.folder.file("heat.emf")).substr(0, 4), std::string("\x01\0\0\0", 4));
    EXPECT_EQ(f.ui.messages.size(), 1u); // no failure reported
}

TEST(LdPage, SavedFilesUseTheirFormatsOwnBytes)
{
    LdPageFixture f;
    f.page->LDcalcClick();
    f.ui.saveChoices = {f.folder.file("table.xls"), f.folder.file("chart.wmf")};

    // The table's corner cell "LD (R²)" is written in the file's 8-bit code page: ² is 0xB2,
    // not the two UTF-8 bytes C2 B2 that spreadsheet programs show as "Â²".
    f.page->SaveasexcelbtnClick();
    const std::string table = test::readWholeFile(f.folder.file("table.xls"));
    const std::string corner = std::string("\x04\x02\x0F\x00\x00\x00\x00\x00\x00\x00\x07\x00LD (R\xB2)", 19);
    EXPECT_EQ(table.substr(12, corner.size()), corner);

    // A ".wmf" name gets a placeable Windows metafile (key D7 CD C6 9A, then a memory-metafile
    // header of version 3), not an enhanced metafile under that name.
    f.page->Chart1DblClick();
    const std::string chart = test::readWholeFile(f.folder.file("chart.wmf"));
    ASSERT_GE(chart.size(), 40u);
    EXPECT_EQ(chart.substr(0, 4), std::string("\xD7\xCD\xC6\x9A", 4));
    EXPECT_EQ(chart.substr(22, 6), std::string("\x01\x00\x09\x00\x00\x03", 6));
    EXPECT_NE(chart.find("marker LD"), std::string::npos) << "the chart's title is among its texts";
    EXPECT_EQ(f.ui.messages.size(), 1u) << "only the table's confirmation";
}

// A raster chart file is not the size of the chart on screen: it is proposed 1600 pixels wide in
// the chart's proportions, and takes the size the user chooses; the chart is scaled to fill it.
TEST(LdPage, ChartSavedAsRasterTakesTheChosenSize)
{
    LdPageFixture f;
    f.page->LDcalcClick();
    f.page->chart()->resize(565, 200);
    f.ui.saveChoices = {f.folder.file("proposed.png"), f.folder.file("chosen.jpg"), f.folder.file("cancelled.png")};
    f.page->Chart1DblClick(); // the proposal taken
    ASSERT_EQ(f.ui.proposedPictureSizes.size(), 1u);
    EXPECT_EQ(f.ui.proposedPictureSizes[0], (std::pair<int, int>{1600, 566})) << "200 * 1600 / 565 = 566.4";
    QImage proposed(QString::fromStdString(f.folder.file("proposed.png")));
    ASSERT_FALSE(proposed.isNull());
    EXPECT_EQ(proposed.size(), QSize(1600, 566));
    // The chart fills the width: something is drawn in the right quarter, not only at the left.
    auto drawnIn = [](const QImage &image, int x1, int x2) {
        for (int x = x1; x < x2; ++x)
            for (int y = 0; y < image.height(); ++y)
                if (qGray(image.pixel(x, y)) < 128)
                    return true;
        return false;
    };
    EXPECT_TRUE(drawnIn(proposed, 1200, 1600));

    f.ui.pictureSizes = {{2400, 600}, {0, 0}};
    f.page->Chart1DblClick();
    QImage chosen(QString::fromStdString(f.folder.file("chosen.jpg")));
    EXPECT_EQ(chosen.size(), QSize(2400, 600));
    EXPECT_TRUE(drawnIn(chosen, 1800, 2400));

    f.page->Chart1DblClick(); // cancelled at the size: no file, no message
    EXPECT_FALSE(std::filesystem::exists(f.folder.file("cancelled.png")));
    EXPECT_TRUE(f.ui.messages.empty());
}

TEST(LdPage, ClusterOrderOfTheLastTreeRearrangesAllLoci)
{
    LdPageFixture f;
    setLastClusterOrder(ClusterOrder{{"m5", "m1", "m4", "m2", "m3"}});
    f.page->markerldsheetShow();
    QCheckBox *useOrder = f.page->findChild<QCheckBox *>("useclusterorder");
    ASSERT_TRUE(useOrder->isEnabled());
    useOrder->setChecked(true);
    f.page->LDallClick();
    ASSERT_TRUE(f.page->analysis());
    EXPECT_TRUE(f.page->analysis()->clusterOrderUsed());
    EXPECT_EQ(f.page->tableModel()->index(0, 1).data().toString(), "2>m5");
    EXPECT_EQ(f.page->tableModel()->index(0, 2).data().toString(), "1>m1");
    useOrder->setChecked(false);
    f.page->LDallClick();
    EXPECT_FALSE(f.page->analysis()->clusterOrderUsed());
    EXPECT_EQ(f.page->tableModel()->index(0, 1).data().toString(), "1>m1");
}

TEST(LdPage, FdrLevelComesFromTheQThresholdEdit)
{
    LdPageFixture f(test::examplePath("listeria.rvk"));
    f.page->findChild<QComboBox *>("LDselectbox")->setCurrentIndex(0); // 13 loci, 78 pairs
    auto thresholdAt = [&](const QString &level) {
        f.window->findChild<QLineEdit *>("qthreshold")->setText(level);
        f.page->LDcalcClick();
        std::vector<double> p;
        const LdAnalysis *a = f.page->analysis();
        if (!a)
            return std::pair{-1.0, p};
        for (int i = 0; i < a->locusCount(); ++i)
            for (int j = i + 1; j < a->locusCount(); ++j)
                if (const LdPairResult r = a->exactPair(i, j); r.hasP)
                    p.push_back(r.P);
        EXPECT_TRUE(a->fdrRun());
        return std::pair{a->pThreshold(), p};
    };
    const auto [strict, p] = thresholdAt("0.01");
    EXPECT_EQ(strict, FdrAdjust(p, 0.01).PThreshold);
    const auto [loose, p2] = thresholdAt("0.3");
    EXPECT_EQ(loose, FdrAdjust(p2, 0.3).PThreshold);
    EXPECT_GT(loose, strict);
    const auto [fallback, p3] = thresholdAt("none");
    EXPECT_EQ(fallback, FdrAdjust(p3, 0.05).PThreshold);
}

TEST(LdPage, MarkerIntensityDataGiveTheCorrelation)
{
    LdPageFixture f;
    AssociationPage *association = associationPage(*f.window);
    if (!association)
        GTEST_SKIP() << "no association page";
    QCheckBox *useValues = f.page->findChild<QCheckBox *>("usepasteddataforLD");
    ASSERT_TRUE(useValues->isEnabled());
    f.page->LDcalcClick();
    const LdPairResult byCodes = f.page->analysis()->exactPair(0, 1);
    // The table filled from the genotypes holds the codes' values: the same R.
    useValues->setChecked(true);
    f.page->LDcalcClick();
    EXPECT_NEAR(f.page->analysis()->exactPair(0, 1).R, byCodes.R, 1e-14);
    // Pasted values of their own (row 0 the individuals, then one row per locus of all groups).
    association->clipboardText = [] {
        return std::string("\ta\tb\tc\td\te\tf\n1>m1\t1\t2\t3\t4\t5\t6\n1>m2\t2\t1\t4\t3\t6\t5\n"
                           "1>m3\t1\t1\t1\t2\t2\tx\n2>m4\t1\t2\t1\t2\t1\t2\n2>m5\t1\t1\t2\t2\t1\t1\n");
    };
    association->pastemarkerdatabtnClick();
    f.page->LDcalcClick();
    const LdPairResult pasted = f.page->analysis()->exactPair(0, 1);
    // (1..6) against (2, 1, 4, 3, 6, 5): Sxy = 14.5, Sxx = Syy = 17.5.
    EXPECT_NEAR(pasted.R, 14.5 / 17.5, 1e-14);
    EXPECT_EQ(f.page->analysis()->exactPair(0, 2).n, 5); // "x" is missing
}

// Closing or replacing the data set lets go of every LD result computed from it (group run,
// all-loci run, heat plot): the views empty, nothing of it can be saved, and the page keeps a
// one-line summary marked as that of the closed data until a run on the data now loaded ends.
TEST(LdPage, ResultsOfAClosedDataSetAreReleasedAndSummarised)
{
    LdPageFixture f;
    f.window->show();
    QLabel *note = f.page->closedDataNote();
    ASSERT_NE(note, nullptr);
    // Opening data shows the picture: the LD page is brought to the front to look at it.
    const auto marked = [&f, note] {
        f.window->showPage(MainWindow::LdPage);
        return note->isVisible();
    };
    f.window->closeAll();
    EXPECT_FALSE(marked()) << "no results, nothing to mark";

    for (const bool replace : {false, true}) {
        SCOPED_TRACE(replace ? "replaced" : "Close all");
        f.window->closeAll();
        f.window->openDataFiles({QString::fromStdString(f.folder.file("one.rvk"))});
        f.page->markerldsheetShow();
        f.page->LDallClick();
        f.page->LDcalcClick(); // the all-loci run stays as the heat plot's
        ASSERT_NE(f.page->heatPlotAnalysis(), nullptr);
        EXPECT_FALSE(marked());
        if (replace)
            f.window->dataSetReplaced(); // as when the spreadsheet exchange imports a new data set
        else
            f.window->closeAll();
        EXPECT_EQ(f.page->analysis(), nullptr);
        EXPECT_EQ(f.page->heatPlotAnalysis(), nullptr);
        EXPECT_EQ(f.page->tableModel()->rowCount(), 0);
        EXPECT_EQ(f.page->listModel()->rowCount(), 0);
        EXPECT_EQ(f.page->logModel()->lineText(0).toStdString(), LdAnalysis::InitialLogText);
        EXPECT_TRUE(f.page->heatPlotImage().isNull());
        EXPECT_TRUE(marked());
        EXPECT_TRUE(note->text().startsWith(
            QStringLiteral("Results of the data set that was closed: LD of group 1 (3 loci, 3 pairs), FDR threshold 0.05, rthres ")))
            << note->text().toStdString();
        EXPECT_NE(note->text().indexOf(QStringLiteral("the heat plot's LD of all loci (3 loci, 3 pairs)")), -1);

        const std::string list = f.folder.file("closed.txt");
        f.ui.saveChoices = {list};
        f.page->saveLDpairwisebtnClick();
        EXPECT_FALSE(std::filesystem::exists(list)) << "nothing of the closed data set is saved";
        f.ui.saveChoices.clear();
    }

    // A finished run on the data loaded clears the mark.
    f.window->closeAll();
    f.window->openDataFiles({QString::fromStdString(f.folder.file("two.rvk"))});
    f.page->markerldsheetShow();
    EXPECT_TRUE(marked());
    f.page->LDcalcClick();
    EXPECT_FALSE(marked());
    EXPECT_EQ(f.page->tableModel()->index(0, 1).data().toString(), "m4");
}

} // namespace
} // namespace rvk
