#include "app/association/associationpage.h"
#include "app/coresubsets/convergencechart.h"
#include "app/coresubsets/coresubsetpanel.h"
#include "app/mainwindow.h"
#include "app/selection/selectionresultspage.h"
#include "selection/coresubsetsearch.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include <memory>
#include <random>

namespace rvk {
namespace {

using test::ScriptedUserInterface;
using test::TempFolder;

// nind individuals "i1".. at nloc loci of random a/b/h codes.
std::string randomDataFile(int nind, int nloc, unsigned seed)
{
    std::mt19937 engine(seed);
    std::string text = "name=Chr 1\nnloc=" + std::to_string(nloc) + "\nnind=" + std::to_string(nind) + "\npopt=f2\n";
    for (int l = 0; l < nloc; ++l) {
        text += "m" + std::to_string(l) + " " + std::to_string(l) + ".0 ";
        for (int i = 0; i < nind; ++i)
            text += "abh"[engine() % 3];
        text += "\n";
    }
    text += "alias";
    for (int i = 1; i <= nind; ++i)
        text += " i" + std::to_string(i);
    return text + "\n";
}

// Notes, at each message, whether the search's progress window exists.
struct WatchingUserInterface : ScriptedUserInterface
{
    void message(MessageKind kind, const std::string &text) override
    {
        progressWindowAtMessage.push_back(window && window->findChild<QProgressDialog *>(QStringLiteral("CoreSubsetProgress")));
        ScriptedUserInterface::message(kind, text);
    }
    QWidget *window = nullptr;
    std::vector<bool> progressWindowAtMessage;
};

struct CoreFixture
{
    explicit CoreFixture(int nind = 6, int nloc = 8)
    {
        MainWindowOptions options;
        options.programFolder = folder.path().string() + "/";
        options.settingsFile = folder.file("rvk.ini");
        window = std::make_unique<MainWindow>(options, &ui);
        ui.window = window.get();
        window->setUrlOpener([](const QUrl &) { return true; });
        page = qobject_cast<SelectionResultsPage *>(window->pageWidget(MainWindow::SelectionResultsPage));
        panel = window->findChild<CoreSubsetPanel *>(QStringLiteral("CoreSubsetPanel"));
        window->openDataFiles({QString::fromStdString(folder.write("data.rvk", randomDataFile(nind, nloc, 3)))});
        window->showPage(MainWindow::SelectionResultsPage);
    }
    int ticked() const { return static_cast<int>(std::count(window->data().Ticked.begin(), window->data().Ticked.end(), 1)); }

    TempFolder folder;
    WatchingUserInterface ui;
    std::unique_ptr<MainWindow> window;
    SelectionResultsPage *page = nullptr;
    CoreSubsetPanel *panel = nullptr;
};

TEST(CoreSubsetWindow, ControlsOnTheSelectionPageWithTheirDefaults)
{
    CoreFixture f;
    ASSERT_NE(f.panel, nullptr);
    EXPECT_TRUE(f.page->isAncestorOf(f.panel));
    EXPECT_EQ(f.panel->selectButton()->text(), "Select core set of size:");
    const QStringList criteria = {"Max (Diversity Sum)", "Max (# of alleles)", "Max (Garza-Williamson index)", "Max (UniRec)"};
    QStringList items;
    for (int i = 0; i < f.panel->criterionList()->count(); ++i)
        items << f.panel->criterionList()->itemText(i);
    EXPECT_EQ(items, criteria);
    EXPECT_EQ(f.panel->criterionList()->currentIndex(), 0);
    EXPECT_TRUE(f.panel->annealingChoice()->isChecked());
    EXPECT_EQ(f.panel->iterativeChoice()->text(), "Iterative optimization");
    EXPECT_EQ(f.panel->cyclesField()->value(), 100);
    EXPECT_EQ(f.panel->cyclesField()->maximum(), 10000);
    EXPECT_EQ(f.panel->cyclesField()->toolTip(), "number of runs (each start with a random subset and interatively improves on that)");
    EXPECT_EQ(f.panel->iterationsField()->value(), 50);
    EXPECT_EQ(f.panel->iterationsField()->maximum(), 1000);
    EXPECT_EQ(f.panel->iterationsField()->toolTip(), "max number of iterations per run");
    EXPECT_EQ(f.panel->chartButton()->text(), "show convergenge chart");
    EXPECT_FALSE(f.panel->chartButton()->isEnabled());
    // 20 is above the 6 individuals: 6 div 2, with 6 as the most.
    EXPECT_EQ(f.panel->sizeField()->value(), 3);
    EXPECT_EQ(f.panel->sizeField()->maximum(), 6);
}

TEST(CoreSubsetWindow, IterativeSearchTicksTheSubsetAndShowsItsLogs)
{
    CoreFixture f;
    f.panel->iterativeChoice()->setChecked(true);
    f.panel->cyclesField()->setValue(5);
    f.panel->sizeField()->setValue(2);
    f.panel->selectButton()->click();
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_EQ(f.ticked(), 2);
    EXPECT_TRUE(f.window->data().Selectionyesno);
    EXPECT_TRUE(f.page->criteriaText()->toPlainText().startsWith("Criterion used for subset selection : Max (Diversity Sum)"));
    EXPECT_TRUE(f.page->resultsText()->toPlainText().startsWith("Criterion used: Max (Diversity Sum)"));
    EXPECT_TRUE(f.window->statusText(1).startsWith("Opt. val: "));
    EXPECT_EQ(f.window->statusText(2), "Selection active; [2 selected]");
    EXPECT_TRUE(f.panel->chartButton()->isEnabled());
    f.panel->chartButton()->click();
    auto *chart = f.window->findChild<ConvergenceChart *>();
    ASSERT_NE(chart, nullptr);
    // The chart stands on "Trait Plotting && stats", which the button brings to the front.
    AssociationPage *traits = associationPage(*f.window);
    ASSERT_NE(traits, nullptr);
    EXPECT_TRUE(traits->isAncestorOf(chart));
    EXPECT_EQ(f.window->pages()->currentIndex(), MainWindow::AssociationsPage);
    EXPECT_EQ(traits->subPages()->currentIndex(), AssociationPage::TraitPlottingPage);
    EXPECT_EQ(chart->stepTitle(), "iter steps");
    EXPECT_EQ(chart->valueTitle(), "Max (Diversity Sum)");
}

TEST(CoreSubsetWindow, AnnealingRaisesStepsAndSizeWarningKeepsTicks)
{
    CoreFixture f;
    f.panel->sizeField()->setValue(2);
    f.panel->selectButton()->click();
    EXPECT_EQ(f.ticked(), 2);
    EXPECT_EQ(f.panel->iterationsField()->value(), 100);
    EXPECT_EQ(f.window->findChild<ConvergenceChart *>()->stepTitle(), "SA steps");

    // Two ticked now: a subset of 2 is not smaller than the start set.
    f.panel->selectButton()->click();
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text,
              "requested subset larger than set already selected or Fixed subset larger than requested subset, please adjust first");
    EXPECT_EQ(f.ticked(), 2);
    EXPECT_TRUE(f.window->data().Selectionyesno);
}

// The size warning ends the command before any progress window opens, and the logs of the last
// search stay, for either method.
TEST(CoreSubsetWindow, SizeWarningComesFirstAndKeepsTheLastLogs)
{
    for (const bool iterative : {false, true}) {
        CoreFixture f(12, 8);
        f.panel->sizeField()->setValue(4);
        f.panel->selectButton()->click(); // annealing: 4 of 12
        ASSERT_EQ(f.ticked(), 4);
        const QString criteria = f.page->criteriaText()->toPlainText();
        const QString results = f.page->resultsText()->toPlainText();
        ASSERT_FALSE(results.isEmpty());

        f.panel->iterativeChoice()->setChecked(iterative);
        f.panel->annealingChoice()->setChecked(!iterative);
        f.panel->sizeField()->setValue(5); // more than the 4 ticked
        f.panel->selectButton()->click();
        ASSERT_EQ(f.ui.messages.size(), 1u) << iterative;
        EXPECT_EQ(f.ui.messages[0].text, CoreSubsetSizeWarning);
        EXPECT_EQ(f.ui.progressWindowAtMessage, std::vector<bool>{false}) << iterative;
        EXPECT_EQ(f.page->criteriaText()->toPlainText(), criteria) << iterative;
        EXPECT_EQ(f.page->resultsText()->toPlainText(), results) << iterative;
        EXPECT_EQ(f.ticked(), 4);
        EXPECT_TRUE(f.window->data().Selectionyesno);
        EXPECT_TRUE(f.panel->selectButton()->isEnabled());
    }
}

// Cancel in the progress window ends a long search; the best subset so far stays ticked.
TEST(CoreSubsetWindow, CancelKeepsTheBestSubsetTicked)
{
    CoreFixture f(80, 300);
    f.panel->iterativeChoice()->setChecked(true);
    f.panel->cyclesField()->setValue(10000);
    f.panel->sizeField()->setValue(10);
    f.window->allelePage(); // the settings page exists; iterrepeat stays at its default
    bool sawDialog = false;
    int ticksWhileRunning = -1;
    QTimer::singleShot(150, f.window.get(), [&] {
        if (auto *dialog = f.window->findChild<QProgressDialog *>(QStringLiteral("CoreSubsetProgress"))) {
            sawDialog = true;
            // The check list follows the search.
            ticksWhileRunning = f.ticked();
            dialog->cancel();
        }
    });
    f.panel->selectButton()->click();
    EXPECT_TRUE(sawDialog);
    EXPECT_EQ(ticksWhileRunning, 10);
    EXPECT_EQ(f.ticked(), 10);
    EXPECT_TRUE(f.page->resultsText()->toPlainText().contains(
        "search cancelled by the user; the best subset found so far is selected"));
    EXPECT_TRUE(f.panel->selectButton()->isEnabled());
}

// Points are crosses reaching two pixels from their centre, in the series' colour.
TEST(ConvergenceChartPicture, PointsAreCrossesAtTheirPlaces)
{
    ConvergenceChart chart;
    chart.resize(300, 200);
    chart.setSeries({{1, 2.0}, {2, 4.0}, {3, 3.5}, {5, 3.0}}, "Max (UniRec)", "SA steps", Qt::blue);
    EXPECT_EQ(chart.valueMinimum(), 2.0);
    EXPECT_EQ(chart.valueMaximum(), 4.0);
    const QImage image = chart.grab().toImage();
    const QPoint first = chart.placeOf({1, 2.0});
    const QPoint last = chart.placeOf({5, 3.0});
    // Step 1 sits on the left edge of the plot, step 5 on the right; 3.0 halfway up.
    EXPECT_EQ(first.x(), ConvergenceChart::Margin);
    EXPECT_EQ(last.x(), 300 - 1 - ConvergenceChart::OuterMargin);
    EXPECT_NEAR(last.y(), (ConvergenceChart::OuterMargin + 200 - 1 - ConvergenceChart::Margin) / 2.0, 1.0);
    const QPoint middle = chart.placeOf({3, 3.5}); // inside the frame
    for (const QPoint &offset : {QPoint(0, 0), QPoint(2, 0), QPoint(-2, 0), QPoint(0, 2), QPoint(0, -2)})
        EXPECT_EQ(image.pixelColor(middle + offset), QColor(Qt::blue)) << offset.x() << "," << offset.y();
    EXPECT_EQ(image.pixelColor(middle + QPoint(2, 2)), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(middle + QPoint(4, 0)), QColor(Qt::white));
}

TEST(ConvergenceChartPicture, WideValueLabelsKeepClearOfTheValueTitle)
{
    ConvergenceChart chart;
    chart.resize(300, 200);
    chart.setSeries({{1, 123456.78}, {2, 234567.89}}, "Max (UniRec)", "SA steps", Qt::blue);
    const QImage image = chart.grab().toImage();
    const QFontMetrics metrics = chart.fontMetrics();
    // The turned title stands in the leftmost column, metrics.height() + 2 wide; the top value
    // label ("234567.89") is the ink left of the frame around the frame's top edge.
    const int frameLeft = chart.placeOf({1, 234567.89}).x();
    const int top = ConvergenceChart::OuterMargin;
    int leftmost = -1;
    for (int x = 0; x < frameLeft - 1 && leftmost < 0; ++x)
        for (int y = top - metrics.height() / 2; y < top + metrics.height() / 2; ++y)
            if (image.pixelColor(x, y).lightness() < 160) {
                leftmost = x;
                break;
            }
    ASSERT_GE(leftmost, 0) << "no value label drawn";
    EXPECT_GT(leftmost, metrics.height() + 2) << "the value label runs into the title's column";
    EXPECT_GE(frameLeft - leftmost, metrics.horizontalAdvance(QStringLiteral("234567.89")) - 2) << "the value label is cut";
}

} // namespace
} // namespace rvk
