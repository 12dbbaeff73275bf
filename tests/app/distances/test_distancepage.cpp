// The page "Genetic Distances" and the tree window, driven as a user would.
#include "app/association/associationpage.h"
#include "app/distances/distancegridmodel.h"
#include "app/distances/distancepage.h"
#include "app/distances/treewindow.h"
#include "app/mainwindow.h"
#include "genetics/clusterorder.h"
#include "io/distanceexport.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QBrush>
#include <QMimeData>
#include <QChartView>
#include <QDir>
#include <QGraphicsTextItem>
#include <QClipboard>
#include <QApplication>
#include <QListWidget>
#include <QPdfWriter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTabWidget>

#include <filesystem>
#include <memory>

namespace rvk {
namespace {

using test::ScriptedUserInterface;
using test::TempFolder;

// Four F2 individuals on one group: ind1 and ind2 agree at 3 of 4 loci.
const std::string Group = "name=Chr 1\nnloc=4\nnind=4\npopt=f2\n"
                          "m1 0.0 AABB\nm2 10.0 AAHB\nm3 20.0 HBBA\nm4 30.0 ABAA\n"
                          "alias p one p two p3 p4\n";

struct DistanceFixture
{
    DistanceFixture()
    {
        MainWindowOptions options;
        options.programFolder = folder.path().string() + "/";
        options.settingsFile = folder.file("rvk.ini");
        window = std::make_unique<MainWindow>(options, &ui);
        window->setUrlOpener([](const QUrl &) { return true; });
        window->openDataFiles({QString::fromStdString(folder.write("one.rvk", Group))});
        page = dynamic_cast<DistancePage *>(window->pageWidget(MainWindow::DistancesPage));
        page->setTreeFolders(folder.path().string() + "/", folder.file("data/"));
        page->setFileOpener([this](const QUrl &url) {
            opened.push_back(url.toLocalFile().toStdString());
            return true;
        });
    }

    std::string cell(int column, int row) const
    {
        return page->gridModel()->index(row, column).data().toString().toStdString();
    }

    TempFolder folder;
    ScriptedUserInterface ui;
    std::unique_ptr<MainWindow> window;
    DistancePage *page = nullptr;
    std::vector<std::string> opened;
};

TEST(DistancePage, CalculateShowsTheGridAndEnablesTheTrees)
{
    DistanceFixture f;
    ASSERT_NE(f.page, nullptr);
    // The menu command leads to the page.
    const auto commands = f.window->commandActions(QStringLiteral("Calculate genetic distance"));
    ASSERT_FALSE(commands.isEmpty());
    EXPECT_TRUE(commands.front()->isEnabled());
    commands.front()->trigger();
    EXPECT_EQ(f.window->pages()->currentIndex(), MainWindow::DistancesPage);
    EXPECT_FALSE(f.page->njButton()->isEnabled());
    f.page->calculate();
    ASSERT_TRUE(f.page->matrix());
    EXPECT_TRUE(f.page->njButton()->isEnabled());
    EXPECT_EQ(f.page->gridModel()->rowCount(), 5);
    // ind1 = A A H A, ind2 = A A B B: 2 of 4 differ.
    EXPECT_EQ(f.cell(0, 1), f.window->data().IndividualNames[0]);
    EXPECT_EQ(f.cell(1, 2), "0.50");
    EXPECT_EQ(f.cell(2, 1), "");
    EXPECT_EQ(f.page->grid()->columnWidth(0), 100);
    EXPECT_EQ(f.page->grid()->rowHeight(0), 100);
    // White through red: a = round(0.5 * 180) = 90.
    const QColor fill = f.page->gridModel()->index(2, 1).data(Qt::BackgroundRole).value<QBrush>().color();
    EXPECT_EQ(fill, QColor(255, 165, 165));
    EXPECT_EQ(f.page->gridModel()->index(0, 1).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(238, 238, 238));

    f.page->setEntries(DistanceEntries::Markers);
    f.page->setCoefficient(DistanceCoefficient::Euclidean);
    f.page->calculate();
    EXPECT_EQ(f.cell(0, 1), "1>m1");
    EXPECT_FALSE(f.page->gridModel()->index(2, 1).data(Qt::BackgroundRole).isValid()); // no shading
}

TEST(DistancePage, TreeGoesToTheTreeWindowOrTheDefaultProgram)
{
    DistanceFixture f;
    f.page->setEntries(DistanceEntries::Markers);
    f.page->calculate();
    const std::string path = f.folder.path().string() + "/NJtree.nwk";

    f.ui.answers = {false};
    f.page->buildTree(TreeMethod::NeighbourJoining);
    ASSERT_EQ(f.ui.questions.size(), 1u);
    EXPECT_EQ(f.ui.questions[0], "Use RVK treeviewer or launch external default treeviewer? " + path
                                     + "\n (you need to have the .nwk file extension linked to a viewer like treeview,Mega etc)");
    EXPECT_EQ(f.opened, std::vector<std::string>{path});
    const std::string line = test::readWholeFile(path);
    EXPECT_EQ(line.substr(line.size() - 3), ";\r\n");
    ASSERT_TRUE(lastClusterOrder());
    EXPECT_EQ(lastClusterOrder()->labels.size(), 4u);
    EXPECT_EQ(lastClusterOrder()->labels[0].find('>'), std::string::npos); // locus names only

    // Yes: UPGMA goes to the tree window, and the file the question names is written all the same.
    f.ui.answers = {true};
    f.page->buildTree(TreeMethod::Upgma);
    const std::string upgmaPath = f.folder.path().string() + "/UPGMAtree.nwk";
    EXPECT_NE(f.ui.questions.back().find(upgmaPath + "\n"), std::string::npos);
    ASSERT_TRUE(std::filesystem::exists(upgmaPath));
    TreeWindow &tree = *f.page->treeWindow();
    EXPECT_EQ(test::readWholeFile(upgmaPath), tree.treeText().toStdString() + "\r\n") << "the tree shown";
    EXPECT_EQ(f.opened.size(), 1u) << "no outside viewer";
    EXPECT_TRUE(tree.isVisible());
    EXPECT_EQ(tree.windowTitle(), "Treeform");
    EXPECT_EQ(tree.drawingInfo().leafCount, 4);
    EXPECT_EQ(tree.treeText().toStdString().back(), ';');
    EXPECT_EQ(tree.leafList()->count(), 4);
    EXPECT_TRUE(tree.dumpText().startsWith(" [100] 1111 Root"));

    // Cophenetic correlation of a tree against its own matrix.
    tree.calculateCophenetic();
    EXPECT_TRUE(tree.copheneticText().startsWith("Cophenetic correlation = ")) << tree.copheneticText().toStdString();
    EXPECT_FALSE(tree.gridModel()->index(1, 2).data().toString().isEmpty()); // tree distance above    EXPECT_EQ(tree.copheneticPointCount(), 6) << "one point per pair of 4 leaves";

    // Another tree, or closing the data set, leaves no numbers of the earlier tree on "Stats".
    f.ui.answers = {true};
    f.page->buildTree(TreeMethod::NeighbourJoining);
    EXPECT_TRUE(tree.copheneticText().isEmpty());
    EXPECT_EQ(tree.copheneticPointCount(), 0);
    tree.calculateCophenetic();
    ASSERT_EQ(tree.copheneticPointCount(), 6);
    f.window->closeAll();
    EXPECT_TRUE(tree.copheneticText().isEmpty());
    EXPECT_EQ(tree.copheneticPointCount(), 0);
    EXPECT_EQ(f.window->windowTitle(), "Display RVK 2.0");
}

TEST(DistancePage, UltrametricMatrixHasCopheneticCorrelationOne)
{
    DistanceFixture f;
    // a-b 0.2, c-d 0.2, everything else 0.8: UPGMA keeps every distance.
    DistanceMatrix m({"a", "b", "c", "d"}, 2);
    for (int j = 1; j < 4; ++j)
        for (int i = 0; i < j; ++i)
            m.setValue(i, j, (i == 0 && j == 1) || (i == 2 && j == 3) ? 0.2 : 0.8);
    const auto tree = BuildTree(m, TreeMethod::Upgma);
    TreeWindow &window = *f.page->treeWindow();
    window.showTree(tree->newick, std::make_shared<const DistanceMatrix>(m));
    window.calculateCophenetic();
    EXPECT_EQ(window.copheneticText(), "Cophenetic correlation = 1.00");
}

// The texts the chart shows, as laid out (a title too long for its room is shown cut, with "…").
QStringList chartTexts(QChartView &view)
{
    QStringList texts;
    for (QGraphicsItem *item : view.scene()->items())
        if (auto *text = qgraphicsitem_cast<QGraphicsTextItem *>(item))
            texts << text->toPlainText();
    return texts;
}

// The chart's axis titles are shown whole at the window's own size, not cut to "Tree …".
TEST(TreeWindow, CopheneticChartShowsItsAxisTitlesWhole)
{
    DistanceFixture f;
    DistanceMatrix m({"a", "b", "c", "d", "e"}, 2);
    for (int j = 1; j < 5; ++j)
        for (int i = 0; i < j; ++i)
            m.setValue(i, j, 0.1 * (i + j));
    TreeWindow &window = *f.page->treeWindow();
    window.showTree(BuildTree(m, TreeMethod::NeighbourJoining)->newick, std::make_shared<const DistanceMatrix>(m));
    window.tabs()->setCurrentIndex(2);
    // A low window presses the chart to the least height it accepts.
    window.resize(820, 200);
    window.calculateCophenetic();
    QCoreApplication::processEvents();
    QChartView &chart = *window.copheneticChart();
    ASSERT_GT(chart.height(), 0);
    const QStringList texts = chartTexts(chart);
    EXPECT_TRUE(texts.contains(QStringLiteral("Tree distance"))) << texts.join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("True distance"))) << texts.join(QStringLiteral(" | ")).toStdString();
}

TEST(TreeWindow, CopyPutsMetafileSvgAndBitmapOnTheClipboard)
{
    DistanceFixture f;
    DistanceMatrix m({"a", "b", "c"}, 2);
    m.setValue(0, 1, 0.2);
    m.setValue(0, 2, 0.8);
    m.setValue(1, 2, 0.8);
    TreeWindow &window = *f.page->treeWindow();
    window.showTree(BuildTree(m, TreeMethod::Upgma)->newick, std::make_shared<const DistanceMatrix>(m));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(f.folder.path().string()));
    window.copyImageToClipboard();
    QDir::setCurrent(previous);
    const QMimeData *copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->data(QStringLiteral("image/emf")).startsWith(QByteArray("\x01\x00\x00\x00", 4)));
    EXPECT_TRUE(copied->data(QStringLiteral("image/svg+xml")).contains("<svg"));
    EXPECT_FALSE(QApplication::clipboard()->image().isNull());
}

TEST(DistancePage, MatrixWithEmptyCellsGivesAClearMessage)
{
    DistanceFixture f;
    MainWindow &w = *f.window;
    w.data().Ticked[1] = 0;
    w.data().Selectionyesno = true;
    f.page->calculate();
    EXPECT_EQ(f.cell(1, 2), "");
    f.page->buildTree(TreeMethod::Upgma);
    ASSERT_FALSE(f.ui.messages.empty());
    EXPECT_EQ(f.ui.messages.back().text, emptyCellsMessage(3));
    EXPECT_TRUE(f.ui.questions.empty());
}

TEST(DistancePage, ATreeThatFailsLeavesNoLeafOrderOfAnEarlierTree)
{
    DistanceFixture f;
    f.page->setEntries(DistanceEntries::Markers);
    f.page->calculate();
    f.ui.answers = {false};
    f.page->buildTree(TreeMethod::NeighbourJoining);
    ASSERT_TRUE(lastClusterOrder());
    ASSERT_EQ(lastClusterOrder()->labels.size(), 4u);

    // A matrix with an empty cell stops the next tree: the order of the first one is gone.
    f.page->setEntries(DistanceEntries::Genotypes);
    f.window->data().Ticked[1] = 0;
    f.window->data().Selectionyesno = true;
    f.page->calculate();
    f.page->buildTree(TreeMethod::Upgma);
    EXPECT_EQ(f.ui.messages.back().text, emptyCellsMessage(3));
    ASSERT_TRUE(lastClusterOrder()) << "it exists from the first tree on";
    EXPECT_TRUE(lastClusterOrder()->labels.empty());
}

TEST(DistancePage, SaveMatrixWritesTheChosenFormat)
{
    DistanceFixture f;
    f.page->calculate();
    f.page->setCoefficient(DistanceCoefficient::Jaccard); // changed after the calculation
    f.ui.saveChoices = {f.folder.file("d.meg")};
    f.page->saveMatrix();
    const std::string mega = test::readWholeFile(f.folder.file("d.meg"));
    EXPECT_NE(mega.find("!TITLE  Genetic distance between 4 genotypes;\r\n"), std::string::npos);
    EXPECT_NE(mega.find("Measure Allele sharing/SM  Nloc=4 ;"), std::string::npos);
    EXPECT_EQ(f.ui.messages.front().text, SaveMatrixNote);
}

TEST(TreeWindow, StylesStepSizeHighlightsAndFiles)
{
    DistanceFixture f;
    TreeWindow &tree = *f.page->treeWindow();
    const std::string nwk = f.folder.write("other.nwk", "(('leaf a':0.1,b:0.2,c:0.3)99:0.5,d:1);\n");
    // "Open Tree.." on the page: a file of another program in the tree window.
    f.ui.openChoices = {{nwk}};
    for (QPushButton *button : f.page->findChildren<QPushButton *>())
        if (button->text() == "Open Tree..")
            button->click();
    EXPECT_TRUE(tree.isVisible());
    EXPECT_EQ(tree.drawingInfo().leafCount, 4);
    const int tall = tree.picture().height();
    tree.setStepSize(50);
    EXPECT_GT(tree.picture().height(), tall);
    tree.setStyle(TreeStyle::Circular);
    EXPECT_EQ(tree.picture().height(), tree.picture().width());

    // Ticks and colours survive a redraw.
    QListWidget *list = tree.leafList();
    list->item(0)->setSelected(true);
    tree.checkSelectedLeaves(true);
    tree.colourSelectedLeaves(0x00FF00);
    tree.acceptHighlights();
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(tree.options().leafColors.at(list->item(0)->text().toStdString()), 0x00FF00u);
    EXPECT_EQ(tree.tabs()->currentIndex(), TreeWindow::DendrogramTab);

    // A tree of the same leaves keeps the list; one of other leaves gets a new list, keeping
    // the looks of the leaves it shares with the old one.
    const std::string ticked = list->item(0)->text().toStdString();
    ASSERT_TRUE(tree.openTreeFile(f.folder.write("same.nwk", "(d:1,('leaf a':1,b:1,c:1):1);")));
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    ASSERT_TRUE(tree.openTreeFile(f.folder.write("new.nwk", "(" + ticked + ":1,x:2);")));
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text().toStdString(), ticked);
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(1)->checkState(), Qt::Unchecked);
    ASSERT_TRUE(tree.openTreeFile(nwk));

    // "Save Tree Description": a name without extension gets ".nwk".
    f.ui.saveChoices = {f.folder.file("saved")};
    tree.saveTreeDescription();
    EXPECT_EQ(test::readWholeFile(f.folder.file("saved.nwk")), "(('leaf a':0.1,b:0.2,c:0.3)99:0.5,d:1);\r\n");
    f.ui.saveChoices = {f.folder.file("tree.svg")};
    tree.saveImage();
    EXPECT_TRUE(std::filesystem::exists(f.folder.file("tree.svg")));
    QPdfWriter pdf(QString::fromStdString(f.folder.file("tree.pdf")));
    tree.printTo(pdf);
    EXPECT_GT(std::filesystem::file_size(f.folder.file("tree.pdf")), 0u);
}

TEST(TreeWindow, ReadsItsTextBoxWithoutATreeAndWarns)
{
    ScriptedUserInterface ui;
    TreeWindow tree(ui);
    tree.setTreeText(QStringLiteral("((a:1,b:1):1,c:2;"));
    tree.draw();
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.front().text.rfind("haakjes Error ", 0), 0u);
    EXPECT_GE(tree.drawingInfo().leafCount, 1); // reading goes on after a warning

    ScriptedUserInterface quiet;
    TreeWindow good(quiet);
    good.setTreeText(QStringLiteral("((a:1,b:1):1,c:2);"));
    good.draw();
    EXPECT_TRUE(quiet.messages.empty());
    EXPECT_EQ(good.drawingInfo().leafCount, 3);

    // Each drawing reads the text box again: an edited text is drawn, an emptied one is not.
    good.setTreeText(QStringLiteral("((a:1,b:1):1,(c:2,d:1):1);"));
    good.draw();
    EXPECT_EQ(good.drawingInfo().leafCount, 4);
    EXPECT_EQ(good.leafList()->count(), 4);
    good.setTreeText(QString());
    good.draw();
    EXPECT_EQ(good.treeRoot(), nullptr);
    EXPECT_EQ(good.picture().operationCount(), 0u);
}

} // namespace
} // namespace rvk

namespace rvk {
namespace {

// Numbers on shaded cells are written in black on light fills and in white on deep ones.
TEST(DistanceGridModel, TextColourFollowsTheCellsBrightness)
{
    struct Case
    {
        unsigned fill; // 0x00BBGGRR, as the page's shading gives it
        QColor text;   // invalid: the default look
    };
    // White through red: a = round(d * 180); brightness 0.299 R + 0.587 G + 0.114 B.
    const std::vector<Case> cases{
        {0xFFFFFFu, QColor()},                  // d = 0: no fill
        {0xCDCDFFu, QColor(Qt::black)},          // d = 0.28: (255, 205, 205), 220
        {0x7777FFu, QColor(Qt::black)},          // d = 0.76: (255, 119, 119), 160
        {0x4B4BFFu, QColor(Qt::white)},          // d = 1.0: (255, 75, 75), 129
        {0x0000FFu, QColor(Qt::white)},          // saturated red, 76
    };
    for (const Case &c : cases) {
        DistanceGridModel model;
        model.setGrid(2, [](int, int) { return std::string("0.5"); }, [&c](int, int) { return c.fill; });
        const QVariant text = model.data(model.index(1, 1), Qt::ForegroundRole);
        if (!c.text.isValid()) {
            EXPECT_FALSE(text.isValid()) << std::hex << c.fill;
            continue;
        }
        ASSERT_TRUE(text.isValid()) << std::hex << c.fill;
        EXPECT_EQ(text.value<QBrush>().color(), c.text) << std::hex << c.fill;
    }
}

TEST(TraitDistancesInTheWindow, CalcEuclideanDistancesFillsTheGeneticDistancesPage)
{
    DistanceFixture f;
    AssociationPage *traits = associationPage(*f.window);
    ASSERT_NE(traits, nullptr);
    ASSERT_TRUE(traits->loadTraitFile(f.folder.write("t.qua", "ntrt=3\nnind=3\nmiss=-\ntraitnames yield height oil\n"
                                                               "P1 1 10 3\nP2 4 14 -\nP3 1 10 3\n")));
    // The open data set has no P1 .. P3: the load says so; distances between traits need no genotypes.
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text.rfind("No individual of the trait table", 0), 0u);
    f.ui.messages.clear();
    // "oil" unticked: P1-P2 over yield and height only.
    QListWidget *list = traits->plotTraitList();
    ASSERT_EQ(list->count(), 3);
    list->item(0)->setCheckState(Qt::Checked);
    list->item(1)->setCheckState(Qt::Checked);
    list->item(2)->setCheckState(Qt::Unchecked);
    traits->findChild<QPushButton *>("trait_calcdistbtn")->click();
    EXPECT_EQ(f.window->pages()->currentIndex(), MainWindow::DistancesPage);
    ASSERT_NE(f.page->matrix(), nullptr);
    EXPECT_EQ(f.page->matrix()->labels(), (std::vector<std::string>{"P1", "P2", "P3"}));
    EXPECT_EQ(f.page->matrix()->cellText(1, 2), "5.0");
    EXPECT_TRUE(f.page->njButton()->isEnabled());

    // Between the ticked traits.
    traits->findChild<QRadioButton *>("trait_traitdist")->setChecked(true);
    traits->findChild<QPushButton *>("trait_calcdistbtn")->click();
    EXPECT_EQ(f.page->matrix()->labels(), (std::vector<std::string>{"yield", "height"}));
    EXPECT_TRUE(f.ui.messages.empty());
}

} // namespace
} // namespace rvk
