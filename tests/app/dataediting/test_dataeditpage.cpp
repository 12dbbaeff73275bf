#include "app/dataediting/allelegridmodel.h"
#include "app/dataediting/dataeditpage.h"
#include "app/dataediting/locustreemodel.h"
#include "app/mainwindow.h"
#include "app/selection/sortcontrols.h"
#include "settings/alleletable.h"
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

// Five individuals; the second group's loci are out of order in the file.
const std::string Chr1 = "name=chr1\nnloc=3\nnind=5\npopt=f2\nm1 0.0 aabba\nm2 5.0 abbab\nm3 10.0 bbaab\n";
const std::string Chr2 = "name=chr2\nnloc=2\nnind=5\npopt=f2\nm4 2.0 aaaaa\nm5 1.0 bbbbb\n";

// The page "Data Sort, View, Edit" with both groups loaded.
struct EditPageFixture : test::WindowFixture
{
    EditPageFixture()
    {
        window->openDataFiles({QString::fromStdString(folder.write("chr1.rvk", Chr1)),
                               QString::fromStdString(folder.write("chr2.rvk", Chr2))});
        trigger("Edit && Sort data");
        page = window->findChild<DataEditPage *>();
    }

    std::vector<std::string> locusNames(int group) const
    {
        std::vector<std::string> names;
        for (const Tlocinfo &locus : window->data().GroupLoci(group))
            names.push_back(locus.Name);
        return names;
    }

    void chooseLocus(int group, int locus) { page->chooseNode(page->treeModel()->locusIndex(group, locus)); }
    QString treeText(const QModelIndex &index) const { return index.data().toString(); }

    DataEditPage *page = nullptr;
};

TEST(DataEditingPage, CommandShowsThePageWithItsTree)
{
    EditPageFixture f;
    ASSERT_NE(f.page, nullptr);
    EXPECT_EQ(f.window->pages()->currentIndex(), MainWindow::DataViewPage);
    LocusTreeModel *tree = f.page->treeModel();
    EXPECT_EQ(f.treeText(tree->rootIndex()), "Genome");
    EXPECT_EQ(tree->rowCount(tree->rootIndex()), 2);
    EXPECT_EQ(f.treeText(tree->groupIndex(0)), "group 1: \"chr1\"");
    EXPECT_EQ(f.treeText(tree->locusIndex(0, 1)), "\"m2\" (1: 5.0)");
    EXPECT_EQ(tree->parent(tree->locusIndex(1, 0)), tree->groupIndex(1));
}

TEST(DataEditingPage, RightClickInTheTreeSortsOnTheChosenNode)
{
    EditPageFixture f;
    ASSERT_NE(f.page->sortControls(), nullptr);
    f.page->chooseNode(f.page->treeModel()->groupIndex(0));
    EXPECT_EQ(f.page->sortControls()->choice(), SortChoice::SelectedGroup);
    f.chooseLocus(0, 0); // m1: aabba
    EXPECT_EQ(f.page->sortControls()->choice(), SortChoice::SelectedMarker);
    f.ui.answers.push_back(true);
    emit f.page->tree()->customContextMenuRequested(QPoint(1, 1));
    EXPECT_EQ(f.ui.questions.back(), "Sort data on selected marker/group ?");
    EXPECT_EQ(f.ui.questionStyles.back(), "ok-cancel");
    EXPECT_EQ(f.window->data().GroupLoci(0)[0].Genotypes, "aaabb");
}

TEST(DataEditingPage, ChoosingALocusFillsTheFieldsAndTheGrid)
{
    EditPageFixture f;
    f.chooseLocus(0, 1);
    EXPECT_EQ(f.page->nameField()->text(), "m2");
    EXPECT_EQ(f.page->positionField()->text(), "5.0");
    EXPECT_EQ(f.page->qtlStartField()->text(), "-");
    EXPECT_EQ(f.page->qtlEndField()->text(), "-");
    AlleleGridModel *grid = f.page->alleleGrid();
    EXPECT_EQ(grid->columnCount(), 5);
    EXPECT_EQ(grid->data(grid->index(0, 2), Qt::DisplayRole).toString(), "3");
    EXPECT_EQ(grid->data(grid->index(1, 2), Qt::DisplayRole).toString(), "b");
    EXPECT_EQ(grid->data(grid->index(0, 2), Qt::ToolTipRole).toString(), "ind: 3");
    EXPECT_FALSE(grid->data(grid->index(1, 2), Qt::ToolTipRole).isValid());
}

TEST(DataEditingPage, TypingACodeChangesTheGenotypeText)
{
    struct Case
    {
        int column;
        QString typed;
        std::string genotypes;
    };
    // m1 holds aabba; only the first character counts, and only a code ("*".."z").
    for (const Case &c : {Case{1, "b", "abbba"}, Case{0, "Bx", "Babba"}, Case{4, "*", "aabb*"}, Case{0, "#x", "aabba"},
                          Case{0, "", "aabba"}, Case{0, "{", "aabba"}}) {
        EditPageFixture f;
        f.chooseLocus(0, 0);
        AlleleGridModel *grid = f.page->alleleGrid();
        grid->setData(grid->index(AlleleGridModel::CodeRow, c.column), c.typed);
        EXPECT_EQ(f.window->data().GroupLoci(0)[0].Genotypes, c.genotypes) << c.typed.toStdString();
    }
}

TEST(DataEditingPage, UpdateStoresNameQtlIntervalAndPosition)
{
    EditPageFixture f;
    f.chooseLocus(0, 0);
    f.page->nameField()->setText("m1x");
    f.page->qtlStartField()->setText("10");
    f.page->qtlEndField()->setText("20");
    f.page->positionField()->setText("2.5");
    f.page->update();
    const Tlocinfo &locus = f.window->data().GroupLoci(0)[0];
    EXPECT_EQ(locus.Name, "m1x");
    EXPECT_DOUBLE_EQ(locus.QtlStart, 10);
    EXPECT_DOUBLE_EQ(locus.QtlEnd, 20);
    EXPECT_DOUBLE_EQ(locus.Position, 2.5);
    // The node shows the name and the new position until the tree is built again.
    EXPECT_EQ(f.treeText(f.page->treeModel()->locusIndex(0, 0)), "\"m1x\" (2.5)");
    f.page->refreshTree();
    EXPECT_EQ(f.treeText(f.page->treeModel()->locusIndex(0, 0)), "\"m1x\" (1: 2.5)");
}

TEST(DataEditingPage, RenamedLocusKeepsItsTreeTextUntilRefreshed)
{
    EditPageFixture f;
    f.chooseLocus(0, 2);
    f.page->nameField()->setText("m3 new");
    f.page->applyName();
    EXPECT_EQ(f.window->data().GroupLoci(0)[2].Name, "m3 new");
    EXPECT_EQ(f.treeText(f.page->treeModel()->locusIndex(0, 2)), "\"m3\" (1: 10.0)");
}

TEST(DataEditingPage, PositionThatIsNoNumberIsNotStored)
{
    EditPageFixture f;
    f.chooseLocus(0, 1);
    f.page->positionField()->setText("far");
    f.page->applyPosition();
    EXPECT_DOUBLE_EQ(f.window->data().GroupLoci(0)[1].Position, 5.0);
    EXPECT_EQ(f.page->positionField()->text(), "5.0");
}

TEST(DataEditingPage, LeavingThePageSortsAMovedLocus)
{
    EditPageFixture f;
    f.chooseLocus(0, 1); // m2 at 5
    f.page->positionField()->setText("50");
    f.page->applyPosition();
    EXPECT_EQ(f.treeText(f.page->treeModel()->locusIndex(0, 1)), "\"m2\" (50.0)");
    EXPECT_EQ(f.locusNames(0), (std::vector<std::string>{"m1", "m2", "m3"}));
    f.window->showPage(MainWindow::ImagePageIndex);
    EXPECT_EQ(f.locusNames(0), (std::vector<std::string>{"m1", "m3", "m2"}));
    EXPECT_EQ(f.window->data().nloc, 2);
    // Back on the page the tree shows the new order.
    f.window->showPage(MainWindow::DataViewPage);
    EXPECT_EQ(f.treeText(f.page->treeModel()->locusIndex(0, 2)), "\"m2\" (1: 50.0)");
}

TEST(DataEditingPage, ClosingTheDataSetDropsTheChosenLocus)
{
    EditPageFixture f;
    f.chooseLocus(0, 0);
    f.window->closeAll();
    EXPECT_EQ(f.page->chosenGroup(), -1);
    EXPECT_EQ(f.page->alleleGrid()->columnCount(), 0);
    f.page->nameField()->setText("x");
    f.page->applyName(); // nothing to change, nothing to crash
}

} // namespace
} // namespace rvk
