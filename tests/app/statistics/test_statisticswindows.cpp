#include "app/statistics/globalstatisticswindow.h"
#include "app/picture/imagepage.h"
#include "app/mainwindow.h"
#include "app/statistics/markerstatisticswindow.h"
#include "app/statistics/viewstatisticswindow.h"
#include "io/spreadsheetwriter.h"
#include "render/markerstatspicture.h"
#include "stats/globalstatistics.h"
#include "stats/markerstatistics.h"
#include "stats/viewstatistics.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"
#include "support/windowfixture.h"

#include <gtest/gtest.h>

#include <QDir>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QTableWidget>
#include <QTreeView>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QPrinter>
#include <QTableView>

#include <memory>

namespace rvk {
namespace {

using test::ScriptedUserInterface;
using test::TempFolder;

// Five F2 individuals on two groups. m1 and m3 are far from 1:2:1, the others close to it.
const std::string GroupOne = "name=Chr 1\nnloc=3\nnind=5\npopt=f2\n"
                             "m1 0.0 AAAAA\nm2 10.0 AHHBB\nm3 30.0 BBBBA\n"
                             "alias zeta Alpha mid beta gamma\n";
const std::string GroupTwo = "name=Chr 2\nnloc=2\nnind=5\npopt=f2\n"
                             "m4 0.0 ABHAB\nm5 20.0 BBHAA\n"
                             "alias zeta Alpha mid beta gamma\n";

// A main window over a scratch folder with both groups loaded; messages and file choices go
// through the script.
struct StatisticsFixture : test::WindowFixture
{
    StatisticsFixture()
    {
        window->openDataFiles({QString::fromStdString(folder.write("one.rvk", GroupOne)),
                               QString::fromStdString(folder.write("two.rvk", GroupTwo))});
    }

    void run(const QString &caption) const
    {
        const QList<QAction *> actions = window->commandActions(caption);
        ASSERT_FALSE(actions.isEmpty()) << caption.toStdString();
        actions.front()->trigger();
    }

    template <typename Window> Window *find() const { return window->findChild<Window *>(); }

    GlobalStatistics expectedGlobal() const
    {
        return computeGlobalStatistics(window->data(), window->alleles(), window->generalOptions());
    }
};

std::vector<std::vector<std::string>> shownCells(const QAbstractItemModel &model)
{
    std::vector<std::vector<std::string>> cells;
    std::vector<std::string> header;
    for (int column = 0; column < model.columnCount(); ++column)
        header.push_back(model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().toStdString());
    cells.push_back(header);
    for (int row = 0; row < model.rowCount(); ++row) {
        std::vector<std::string> line;
        for (int column = 0; column < model.columnCount(); ++column)
            line.push_back(model.index(row, column).data().toString().toStdString());
        cells.push_back(line);
    }
    return cells;
}

std::string gridBytes(const std::vector<std::vector<std::string>> &grid)
{
    const int columns = grid.empty() ? 0 : static_cast<int>(grid.front().size());
    return spreadsheetBytes(columns, static_cast<int>(grid.size()), [&grid](int column, int row) {
        return grid[static_cast<size_t>(row)][static_cast<size_t>(column)];
    });
}

// ---- Global statistics ---------------------------------------------------------------------

TEST(GlobalStatisticsWindow, TableShowsTheStatisticsAndSortsOnAHeaderClick)
{
    StatisticsFixture f;
    f.run(QStringLiteral("&Global Statistics"));
    auto *shown = f.find<GlobalStatisticsWindow>();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(shown->windowTitle(), "chr1");

    GlobalStatistics expected = f.expectedGlobal();
    ASSERT_EQ(expected.rowCount(), 5);
    EXPECT_EQ(shownCells(*shown->table()->model()), expected.spreadsheetGrid());
    const QAbstractItemModel &text = *shown->textArea()->model();
    ASSERT_EQ(text.rowCount(), expected.textLineCount());
    for (int line = 0; line < text.rowCount(); ++line)
        EXPECT_EQ(text.index(line, 0).data().toString().toStdString(), expected.textLine(line)) << line;

    // Alias sorts by name ignoring case, then a number column by value.
    for (int column : {static_cast<int>(GlobalStatistics::AliasColumn), expected.columnCount() - 2}) {
        emit shown->table()->horizontalHeader()->sectionClicked(column);
        expected.sortByColumn(column);
        EXPECT_EQ(shownCells(*shown->table()->model()), expected.spreadsheetGrid()) << "column " << column;
    }
    EXPECT_EQ(shown->table()->model()->index(0, GlobalStatistics::AliasColumn).data().toString().toStdString(),
              expected.cell(0, GlobalStatistics::AliasColumn));
}

TEST(GlobalStatisticsWindow, TextAreaEndsWithTheSingletonsAndIsLetGoWhenClosed)
{
    StatisticsFixture f;
    // Individual 2 ("Alpha") carries B between two A: the one singleton of the data.
    f.window->openDataFiles({QString::fromStdString(
        f.folder.write("three.rvk", "name=Chr 3\nnloc=3\nnind=5\npopt=f2\nm6 0.0 AAAAA\nm7 5.0 ABAAA\nm8 10.0 AAAAA\n"
                                    "alias zeta Alpha mid beta gamma\n"))});
    f.run(QStringLiteral("&Global Statistics"));
    auto *shown = f.find<GlobalStatisticsWindow>();
    ASSERT_NE(shown, nullptr);
    const QAbstractItemModel &text = *shown->textArea()->model();
    const GlobalStatistics expected = f.expectedGlobal();
    ASSERT_GE(expected.singletonCount(), 1);
    ASSERT_EQ(text.rowCount(), expected.textLineCount());
    QStringList lines;
    for (int line = 0; line < text.rowCount(); ++line)
        lines.append(text.index(line, 0).data().toString());
    const qsizetype heading = lines.indexOf(QString::fromStdString(std::to_string(expected.singletonCount()) +
                                                                   " Possible singletons identified:"));
    ASSERT_GE(heading, 0);
    EXPECT_EQ(lines.size() - heading - 1, expected.singletonCount());
    EXPECT_TRUE(lines.mid(heading + 1).contains(QStringLiteral("Ind. 2 [Alpha]  at <Group 3 m7; 5.0>  A -> B -> A")));
    // Every line fits the width the view gives its lines.
    const QFontMetrics metrics(shown->textArea()->font());
    const int lineWidth = text.index(0, 0).data(Qt::SizeHintRole).toSize().width();
    for (int line = 0; line < text.rowCount(); ++line)
        EXPECT_LE(metrics.horizontalAdvance(text.index(line, 0).data().toString()), lineWidth) << line;

    // Ctrl+C copies the chosen lines of the text area.
    QItemSelectionModel *selection = shown->textArea()->selectionModel();
    selection->select(text.index(heading + 1, 0), QItemSelectionModel::Select);
    selection->select(text.index(heading, 0), QItemSelectionModel::Select);
    shown->copySelectedLines();
    EXPECT_EQ(QApplication::clipboard()->text(), lines[heading] + QLatin1Char('\n') + lines[heading + 1]);

    // "OK" closes the window and lets go of the results.
    shown->hide();
    EXPECT_EQ(text.rowCount(), 0);
    EXPECT_EQ(shown->table()->model()->rowCount(), 0);

    // Closing the data set closes the window and empties it as well.
    f.run(QStringLiteral("&Global Statistics"));
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(shown->table()->model()->rowCount(), 5);
    f.run(QStringLiteral("&Close all"));
    EXPECT_FALSE(shown->isVisible());
    EXPECT_EQ(text.rowCount(), 0);
    EXPECT_EQ(shown->table()->model()->rowCount(), 0);
}

TEST(GlobalStatisticsWindow, SaveWritesTheReportAndCopyPutsItsLinesOnTheClipboard)
{
    StatisticsFixture f;
    f.run(QStringLiteral("&Global Statistics"));
    auto *shown = f.find<GlobalStatisticsWindow>();
    ASSERT_NE(shown, nullptr);
    emit shown->table()->horizontalHeader()->sectionClicked(GlobalStatistics::AliasColumn);

    f.ui.saveChoices.push_back(f.folder.file("report")); // no extension: ".txt" is added
    shown->save();
    EXPECT_TRUE(f.ui.messages.empty());
    GlobalStatistics expected = f.expectedGlobal();
    expected.sortByColumn(GlobalStatistics::AliasColumn);
    EXPECT_EQ(test::readWholeFile(f.folder.file("report.txt")), expected.reportText());

    shown->save(); // cancelled: nothing written, nothing said
    EXPECT_TRUE(f.ui.messages.empty());

    shown->copy();
    QString lines;
    for (const std::string &line : expected.reportLines())
        lines += QString::fromStdString(line) + QLatin1Char('\n');
    lines.chop(1);
    EXPECT_EQ(QApplication::clipboard()->text(), lines);
}

TEST(GlobalStatisticsWindow, ExportToExcelWritesTheTableAndHandsTheFileOver)
{
    StatisticsFixture f;
    f.run(QStringLiteral("&Global Statistics"));
    auto *shown = f.find<GlobalStatisticsWindow>();
    ASSERT_NE(shown, nullptr);
    QList<QUrl> opened;
    shown->setUrlOpener([&opened](const QUrl &url) {
        opened.append(url);
        return true;
    });
    shown->setExportFolder(QString::fromStdString(f.folder.path().string()));
    shown->exportToExcel();

    ASSERT_EQ(opened.size(), 1);
    const QString path = opened.front().toLocalFile();
    EXPECT_EQ(QFileInfo(path).suffix(), "xls");
    EXPECT_EQ(QFileInfo(path).absolutePath(), QFileInfo(QString::fromStdString(f.folder.path().string())).absoluteFilePath());
    EXPECT_EQ(test::readWholeFile(path.toStdString()), gridBytes(f.expectedGlobal().spreadsheetGrid()));
    EXPECT_TRUE(f.ui.messages.empty());

    // No program takes it: the person is told and may save the table where they like; the
    // hand-over file does not stay behind either way.
    shown->setUrlOpener([](const QUrl &) { return false; });
    const auto handOverFiles = [&f] {
        return QDir(QString::fromStdString(f.folder.path().string())).entryList({QStringLiteral("rvk_statistics_*")}).size();
    };
    const qsizetype before = handOverFiles();
    const std::string kept = f.folder.file("kept.xls");
    f.ui.answers = {true};
    f.ui.saveChoices = {kept};
    shown->exportToExcel();
    EXPECT_EQ(f.ui.questions, std::vector<std::string>{GlobalStatisticsWindow::noSpreadsheetProgramQuestion()});
    EXPECT_EQ(test::readWholeFile(kept), gridBytes(f.expectedGlobal().spreadsheetGrid()));
    EXPECT_EQ(handOverFiles(), before);

    f.ui.answers = {false};
    shown->exportToExcel();
    EXPECT_EQ(f.ui.questions.size(), 2u);
    EXPECT_EQ(handOverFiles(), before);
    EXPECT_TRUE(f.ui.messages.empty());
}

TEST(GlobalStatisticsWindow, PrintAsksForThePrinterFirst)
{
    StatisticsFixture f;
    f.run(QStringLiteral("&Global Statistics"));
    auto *shown = f.find<GlobalStatisticsWindow>();
    ASSERT_NE(shown, nullptr);
    const std::string pdf = f.folder.file("statistics.pdf");
    int asked = 0;
    shown->setPrintDialog([&](QPrinter &printer) {
        ++asked;
        EXPECT_EQ(&printer, &f.window->printer()) << "the printer chosen with Printer Setup";
        return false;
    });
    shown->print();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(pdf)));

    shown->setPrintDialog([&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    });
    shown->print();
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_GT(QFileInfo(QString::fromStdString(pdf)).size(), 0);
}

// ---- Marker statistics ---------------------------------------------------------------------

TEST(MarkerStatisticsWindow, GridAndTreeShowTheCountsWithTheSegregationMarks)
{
    StatisticsFixture f;
    f.run(QStringLiteral("&Marker Statistics"));
    auto *shown = f.find<MarkerStatisticsWindow>();
    ASSERT_NE(shown, nullptr);
    ASSERT_NE(shown->statistics(), nullptr);
    EXPECT_TRUE(shown->isVisible());
    const MarkerStatistics &statistics = *shown->statistics();
    ASSERT_EQ(statistics.rowCount(), 5);
    EXPECT_EQ(shownCells(*shown->grid()->model()), statistics.spreadsheetGrid());

    // The last column stars the F2 loci far from 1:2:1: m1 (all A) and m3 (four B, one A).
    const int marks = statistics.gridColumnCount() - 1;
    const QAbstractItemModel &grid = *shown->grid()->model();
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"m1", " * "}, {"m2", ""}, {"m3", " * "}, {"m4", ""}, {"m5", ""}};
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(grid.index(row, 0).data().toString().toStdString(), expected[static_cast<size_t>(row)].first);
        EXPECT_EQ(grid.index(row, marks).data().toString().toStdString(), expected[static_cast<size_t>(row)].second)
            << expected[static_cast<size_t>(row)].first;
    }

    EXPECT_EQ(shown->diversityLabel()->text().toStdString(), statistics.diversityText());
    EXPECT_FALSE(shown->selectionNote()->isVisibleTo(shown));
    EXPECT_EQ(f.window->data().GroupLoci(0)[0].MajorAllele, 'A');

    // Tree: the root (expanded), a node per group, per locus and per used allele.
    const MarkerStatisticsTreeModel &tree = *shown->treeModel();
    const QModelIndex root = tree.index(0, 0);
    EXPECT_EQ(root.data().toString(), "All Groups");
    EXPECT_TRUE(shown->tree()->isExpanded(root));
    ASSERT_EQ(tree.rowCount(root), 2);
    const QModelIndex second = tree.index(1, 0, root);
    EXPECT_EQ(second.data().toString().toStdString(), statistics.groupNodeText(1));
    EXPECT_EQ(tree.parent(second), root);
    ASSERT_EQ(tree.rowCount(second), 2);
    const QModelIndex m5 = tree.index(1, 0, second);
    EXPECT_EQ(m5.data().toString().toStdString(), statistics.locusNodeText(4));
    EXPECT_EQ(tree.locusRow(m5), 4);
    EXPECT_EQ(tree.parent(m5), second);
    EXPECT_EQ(tree.locusIndex(4), m5);
    const int used = static_cast<int>(statistics.usedCodes().size());
    ASSERT_EQ(tree.rowCount(m5), used);
    for (int code = 0; code < used; ++code) {
        const QModelIndex allele = tree.index(code, 0, m5);
        EXPECT_EQ(allele.data().toString().toStdString(), statistics.alleleNodeText(4, code));
        EXPECT_EQ(tree.parent(allele), m5);
        EXPECT_EQ(tree.rowCount(allele), 0);
        EXPECT_EQ(tree.locusRow(allele), -1);
    }
}

TEST(MarkerStatisticsWindow, NoteShowsWhenOnlySelectedIndividualsCount)
{
    StatisticsFixture f;
    f.window->data().Selectionyesno = true;
    f.run(QStringLiteral("&Marker Statistics"));
    auto *shown = f.find<MarkerStatisticsWindow>();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->selectionNote()->isVisible());
    EXPECT_EQ(shown->selectionNote()->text(), "Note: data are for selected individuals only");

    f.window->data().Selectionyesno = false;
    f.run(QStringLiteral("&Marker Statistics"));
    EXPECT_FALSE(shown->selectionNote()->isVisible());
}

TEST(MarkerStatisticsWindow, ChoosingALocusDrawsItsPie)
{
    StatisticsFixture f;
    f.run(QStringLiteral("&Marker Statistics"));
    auto *shown = f.find<MarkerStatisticsWindow>();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->locusLabel()->text(), ". . .");

    // m1 is all A: the pie is one slice in A's colour, its label on the left.
    const QModelIndex m1 = shown->treeModel()->locusIndex(0);
    shown->tree()->setCurrentIndex(m1);
    EXPECT_EQ(shown->locusLabel()->text(), m1.data().toString());
    const QImage &pie = shown->pieImage();
    ASSERT_EQ(pie.size(), QSize(MarkerPieWidth, MarkerPieHeight));
    const Rgb a = f.window->alleles().entry(AlleleTable::indexOf('A')).Color;
    const QPoint below(MarkerPieWidth / 2, MarkerPieHeight / 2 + 60);
    EXPECT_EQ(pie.pixelColor(below), QColor(redOf(a), greenOf(a), blueOf(a)));

    // A new run starts without a chosen locus.
    f.run(QStringLiteral("&Marker Statistics"));
    EXPECT_EQ(shown->locusLabel()->text(), ". . .");
}

TEST(MarkerStatisticsWindow, RunPutsTheConsensusInPlaceOfTheMainPicture)
{
    StatisticsFixture f;
    f.run(QStringLiteral("&Marker Statistics"));
    auto *shown = f.find<MarkerStatisticsWindow>();
    ASSERT_NE(shown, nullptr);
    AlleleTable table = f.window->alleles();
    const ViewPicture consensus = drawConsensusPicture(shown->statistics()->consensusGroups(), f.window->data().popt,
                                                       table, f.window->drawContext());
    EXPECT_EQ(f.window->imagePage()->picture().size(), QSize(consensus.width(), consensus.height()));
    // Printed and exported as it is shown.
    EXPECT_EQ(f.window->viewPicture().width(), consensus.width());
    EXPECT_EQ(f.window->viewPicture().height(), consensus.height());
    EXPECT_EQ(f.window->viewPicture().operationCount(), consensus.operationCount());
}

TEST(MarkerStatisticsWindow, SavesWriteTheTreeAndTheGrid)
{
    StatisticsFixture f;
    f.run(QStringLiteral("&Marker Statistics"));
    auto *shown = f.find<MarkerStatisticsWindow>();
    ASSERT_NE(shown, nullptr);
    const MarkerStatistics &statistics = *shown->statistics();

    f.ui.saveChoices.push_back(f.folder.file("tree"));
    shown->save();
    EXPECT_EQ(test::readWholeFile(f.folder.file("tree.txt")), statistics.reportText());
    EXPECT_TRUE(f.ui.messages.empty());

    f.ui.saveChoices.push_back(f.folder.file("markers"));
    shown->saveAsExcel();
    EXPECT_EQ(test::readWholeFile(f.folder.file("markers.xls")), gridBytes(statistics.spreadsheetGrid()));
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages.front().text, "Data saved as " + f.folder.file("markers.xls"));
}

TEST(MarkerStatisticsWindow, NothingHappensWithoutData)
{
    ScriptedUserInterface ui;
    TempFolder folder;
    MainWindowOptions options;
    options.programFolder = folder.path().string() + "/";
    options.settingsFile = folder.file("rvk.ini");
    MainWindow window(options, &ui);
    window.commandActions(QStringLiteral("&Marker Statistics")).front()->trigger();
    auto *shown = window.findChild<MarkerStatisticsWindow *>();
    ASSERT_NE(shown, nullptr);
    EXPECT_FALSE(shown->isVisible());
    EXPECT_EQ(shown->statistics(), nullptr);
}

// ---- Current-view statistics ---------------------------------------------------------------

TEST(ViewStatisticsWindow, TitleFollowsEveryDrawingButTheAllInOneView)
{
    StatisticsFixture f;
    auto *shown = f.find<ViewStatisticsWindow>();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->windowTitle(), "Statistics");
    EXPECT_EQ(shown->statisticsTitle(), "Linkage group 1 [1:5]  <>");

    f.window->nextGroup();
    EXPECT_EQ(shown->statisticsTitle(), "Linkage group 2 [1:5]  <>");

    f.window->data().CurrentIndividual = 2;
    f.window->setViewMode(MainWindow::IndividualMode);
    EXPECT_EQ(shown->statisticsTitle(), "No 2 [Alpha]");

    f.window->setViewMode(MainWindow::AllInOneMode);
    EXPECT_EQ(shown->statisticsTitle(), "No 2 [Alpha]");
}

TEST(ViewStatisticsWindow, ShowsTheDrawnLengthsAndStepsThroughGroups)
{
    StatisticsFixture f;
    auto *shown = f.find<ViewStatisticsWindow>();
    ASSERT_NE(shown, nullptr);
    EXPECT_FALSE(shown->isVisible());
    f.run(QStringLiteral("Show Statistics"));
    EXPECT_TRUE(shown->isVisible());

    const auto gridCells = [shown] {
        std::vector<std::vector<std::string>> cells;
        QTableWidget *grid = shown->grid();
        std::vector<std::string> header;
        for (int column = 0; column < grid->columnCount(); ++column)
            header.push_back(grid->horizontalHeaderItem(column)->text().toStdString());
        cells.push_back(header);
        for (int row = 0; row < grid->rowCount(); ++row) {
            std::vector<std::string> line;
            for (int column = 0; column < grid->columnCount(); ++column)
                line.push_back(grid->item(row, column)->text().toStdString());
            cells.push_back(line);
        }
        return cells;
    };
    const auto expectedCells = [&f] { return computeViewStatistics(f.window->alleles()).grid(true); };
    EXPECT_GT(shown->grid()->rowCount(), 0);
    EXPECT_EQ(gridCells(), expectedCells());
    EXPECT_EQ(shown->pieImage().size(), QSize(ViewPieWidth, ViewPieHeight));

    // "Next >" and "< Prev" press the group buttons; the grid follows the new drawing.
    shown->next();
    EXPECT_EQ(f.window->groupSelector()->currentIndex(), 1);
    EXPECT_EQ(shown->statisticsTitle(), "Linkage group 2 [1:5]  <>");
    EXPECT_EQ(gridCells(), expectedCells());
    shown->previous();
    EXPECT_EQ(f.window->groupSelector()->currentIndex(), 0);
    EXPECT_EQ(gridCells(), expectedCells());

    // In the individual view they step the individual.
    f.window->setViewMode(MainWindow::IndividualMode);
    const int before = f.window->data().CurrentIndividual;
    shown->next();
    EXPECT_EQ(f.window->data().CurrentIndividual, before + 1);
    shown->previous();
    EXPECT_EQ(f.window->data().CurrentIndividual, before);

    // Closing the data set hides the window; shown again it lists nothing.
    f.window->closeAll();
    EXPECT_FALSE(shown->isVisible());
    f.run(QStringLiteral("Statistics on &Current View"));
    EXPECT_EQ(shown->grid()->rowCount(), 0);
    EXPECT_EQ(shown->grid()->horizontalHeaderItem(1)->text(), " % ");
}

TEST(ViewStatisticsWindow, FreshWindowShowsTheInitialHeader)
{
    ScriptedUserInterface ui;
    TempFolder folder;
    MainWindowOptions options;
    options.programFolder = folder.path().string() + "/";
    options.settingsFile = folder.file("rvk.ini");
    MainWindow window(options, &ui);
    auto *shown = window.findChild<ViewStatisticsWindow *>();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->grid()->rowCount(), 0);
    EXPECT_EQ(shown->grid()->horizontalHeaderItem(1)->text(), "% of Total");
}

TEST(ViewStatisticsWindow, PrintAsksForThePrinterFirst)
{
    StatisticsFixture f;
    auto *shown = f.find<ViewStatisticsWindow>();
    ASSERT_NE(shown, nullptr);
    const std::string pdf = f.folder.file("window.pdf");
    shown->setPrintDialog([&f](QPrinter &printer) {
        EXPECT_EQ(&printer, &f.window->printer()) << "the printer chosen with Printer Setup";
        return false;
    });
    shown->print();
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(pdf)));
    shown->setPrintDialog([&pdf](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    });
    shown->print();
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_GT(QFileInfo(QString::fromStdString(pdf)).size(), 0);
}

// ---- The commands --------------------------------------------------------------------------

TEST(StatisticsFeature, CommandsAreEnabledOnceInstalled)
{
    StatisticsFixture f;
    for (const QString &caption : {QStringLiteral("Statistics on &Current View"), QStringLiteral("Show Statistics"),
                                   QStringLiteral("&Global Statistics"), QStringLiteral("&Marker Statistics")}) {
        const QList<QAction *> actions = f.window->commandActions(caption);
        ASSERT_FALSE(actions.isEmpty()) << caption.toStdString();
        for (QAction *action : actions)
            EXPECT_TRUE(action->isEnabled()) << caption.toStdString();
    }
}

} // namespace
} // namespace rvk
