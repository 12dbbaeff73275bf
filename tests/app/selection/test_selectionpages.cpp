#include "app/selection/criterialistmodel.h"
#include "app/selection/individualchecklistmodel.h"
#include "app/mainwindow.h"
#include "app/selection/markerselectionpage.h"
#include "app/selection/selectionresultspage.h"
#include "app/selection/sortcontrols.h"
#include "render/comparisonview.h"
#include "selection/markercriteria.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"
#include "support/windowfixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>

#include <memory>

namespace rvk {
namespace {

using test::ScriptedUserInterface;
using test::TempFolder;

// Five F2 individuals, loaded in the order delta, alpha, echo, charlie, bravo.
const std::string FiveIndividuals = "name=Chr 1\nnloc=3\nnind=5\npopt=f2\n"
                                    "m1 0.0 aabba\nm2 5.0 abbab\nm3 10.0 bbaab\n"
                                    "alias delta alpha echo charlie bravo\n";
const std::string SecondGroup = "name=Chr 2\nnloc=2\nnind=5\npopt=f2\n"
                                "m4 0.0 ababa\nm5 8.0 bbbaa\n"
                                "alias delta alpha echo charlie bravo\n";
const std::string ElevenIndividuals = "name=Chr 1\nnloc=2\nnind=11\npopt=f2\n"
                                      "m1 0.0 aabbaabbaab\nm2 20.0 abababababa\n";

const QString ApplyFiltering = QStringLiteral("&Apply Selection Filtering");

struct SelectionFixture : test::WindowFixture
{
    explicit SelectionFixture(const std::string &data = FiveIndividuals)
    {
        criteriaPage = qobject_cast<MarkerSelectionPage *>(window->pageWidget(MainWindow::MarkerSelectionPage));
        resultsPage = qobject_cast<SelectionResultsPage *>(window->pageWidget(MainWindow::SelectionResultsPage));
        resultsPage->setResultPrinter([this](const QStringList &lines, const QFont &) { printed = lines; });
        if (!data.empty())
            open("data.rvk", data);
    }

    QTreeView *criteriaList() const { return criteriaPage->list(); }
    QString cell(int row, int column) const
    {
        return criteriaPage->model()->index(row, column).data().toString();
    }

    // A key typed on a row of the criteria list, as the keyboard sends it.
    void typeOnRow(int row, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTreeView *list = criteriaList();
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(list, &press);
    }

    void click(QWidget *page, const char *name) const
    {
        auto *button = page->findChild<QPushButton *>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }

    void highlight(const std::vector<int> &rows) const
    {
        QListView *list = resultsPage->list();
        list->selectionModel()->clearSelection();
        for (int row : rows)
            list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::Select);
    }

    std::vector<bool> listTicks() const
    {
        std::vector<bool> ticks;
        QAbstractItemModel *model = resultsPage->list()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            ticks.push_back(model->index(row, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked);
        return ticks;
    }

    QStringList listNames() const
    {
        QStringList names;
        QAbstractItemModel *model = resultsPage->list()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            names.append(model->index(row, 0).data().toString());
        return names;
    }

    bool filteringChecked() const
    {
        const QList<QAction *> actions = window->commandActions(ApplyFiltering);
        return !actions.isEmpty() && actions.front()->isChecked();
    }

    int currentPage() const { return window->pages()->currentIndex(); }

    MarkerSelectionPage *criteriaPage = nullptr;
    SelectionResultsPage *resultsPage = nullptr;
    QStringList printed;
};

TEST(SelectionPages, TheMenuShowsThePagesOnceDataAreLoadedAndEnteringAPageBuildsTheCriteriaList)
{
    SelectionFixture f("");
    ASSERT_NE(f.criteriaPage, nullptr);
    ASSERT_NE(f.resultsPage, nullptr);
    QAction *specify = f.window->commandActions(QStringLiteral("&Specify Criteria..")).front();
    specify->trigger();
    EXPECT_EQ(f.currentPage(), MainWindow::ImagePageIndex);

    f.open("data.rvk", FiveIndividuals);
    EXPECT_EQ(f.criteriaPage->model()->rowCount(), 0); // built when first needed
    specify->trigger();
    EXPECT_EQ(f.currentPage(), MainWindow::MarkerSelectionPage);
    ASSERT_EQ(f.criteriaPage->model()->rowCount(), 4);
    const QStringList captions = {"Marker", "Pos", "Select", " Alleles"};
    for (int column = 0; column < captions.size(); ++column)
        EXPECT_EQ(f.criteriaPage->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                  captions[column]);
    EXPECT_EQ(f.cell(0, MarkerCriteria::MarkerColumn), "Linkage-group 1");
    EXPECT_EQ(f.cell(1, MarkerCriteria::MarkerColumn), " m1");
    EXPECT_EQ(f.cell(2, MarkerCriteria::PosColumn), "5.0 ");
    EXPECT_EQ(f.cell(3, MarkerCriteria::SelectColumn), "All");
    EXPECT_EQ(f.cell(3, MarkerCriteria::AllelesColumn), "bbaab");
    EXPECT_EQ(f.criteriaList()->header()->sectionSize(MarkerCriteria::MarkerColumn), 200);
    EXPECT_EQ(f.criteriaPage->model()->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(192, 220, 192));
}

TEST(SelectionPages, KeysTypedInTheListSetTheCriterionOfTheHighlightedRow)
{
    SelectionFixture f;
    f.window->showPage(MainWindow::MarkerSelectionPage);
    struct Case
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char *criterion;
    };
    const Case cases[] = {
        {Qt::Key_A, Qt::NoModifier, "a"},
        {Qt::Key_A, Qt::ShiftModifier, "A"},
        {Qt::Key_B, Qt::ControlModifier, "!b"},
        {Qt::Key_B, Qt::ShiftModifier | Qt::ControlModifier, "!B"},
        {Qt::Key_5, Qt::NoModifier, "5"},
        {Qt::Key_5, Qt::ControlModifier, "!5"},
        {Qt::Key_Asterisk, Qt::KeypadModifier, "All"},
        {Qt::Key_H, Qt::NoModifier, "h"},
        {Qt::Key_A, Qt::AltModifier, "h"},      // other modifiers leave the row as it is
        {Qt::Key_Minus, Qt::NoModifier, "h"},   // so does a key that is no code
        {Qt::Key_Asterisk, Qt::ShiftModifier, "All"},
    };
    for (const Case &c : cases) {
        f.typeOnRow(1, c.key, c.modifiers);
        EXPECT_EQ(f.cell(1, MarkerCriteria::SelectColumn), c.criterion) << c.criterion;
    }
    // Typing on a group's header row does nothing.
    f.typeOnRow(0, Qt::Key_A);
    EXPECT_EQ(f.cell(0, MarkerCriteria::SelectColumn), f.criteriaPage->model()->index(0, 2).data().toString());
    EXPECT_EQ(f.criteriaPage->criteria().activeCriterionCount(), 0);
    // Typing alone selects nobody differently.
    f.typeOnRow(1, Qt::Key_A);
    EXPECT_EQ(f.listTicks(), std::vector<bool>(5, true));
    EXPECT_FALSE(f.window->data().Selectionyesno);
}

TEST(SelectionPages, ApplyTicksWhomTheCriteriaSelectAndShowsTheResults)
{
    SelectionFixture f;
    f.window->showPage(MainWindow::MarkerSelectionPage);
    f.typeOnRow(1, Qt::Key_A);                      // m1 = a: delta, alpha, bravo
    f.typeOnRow(3, Qt::Key_A, Qt::ControlModifier); // m3 != a: not echo, not charlie
    f.click(f.criteriaPage, "ApplyselectionBtn");

    EXPECT_EQ(f.currentPage(), MainWindow::SelectionResultsPage);
    const MarkerCriteria &criteria = f.criteriaPage->criteria();
    std::vector<bool> expected;
    for (int i = 0; i < 5; ++i)
        expected.push_back(criteria.meetsAllCriteria(i));
    EXPECT_EQ(expected, (std::vector<bool>{true, true, false, false, true}));
    EXPECT_EQ(f.listTicks(), expected);
    EXPECT_TRUE(f.window->data().Selectionyesno);
    EXPECT_TRUE(f.filteringChecked());
    EXPECT_EQ(f.window->statusText(2), "selection criteria set");
    EXPECT_EQ(f.window->displaySettings().drawing.labelfreq, 1);
    const QStringList results = f.resultsPage->resultsText()->toPlainText().split('\n');
    ASSERT_EQ(results.size(), 4);
    EXPECT_EQ(results[0], "3 individuals selected:");
    EXPECT_TRUE(results[1].startsWith("Nr.")) << results[1].toStdString();
    EXPECT_TRUE(f.resultsPage->criteriaText()->toPlainText().contains(" m3 <group 1 @ 10.0  > !a"))
        << f.resultsPage->criteriaText()->toPlainText().toStdString();

    // Leaving the page with the ticks as they are keeps filtering on and counts them.
    f.window->showPage(MainWindow::DataViewPage);
    EXPECT_EQ(f.window->statusText(2), "Selection active; [3 selected]");
    EXPECT_EQ(f.window->data().SelectedIndices, (std::vector<int>{0, 1, 4}));

    // "Clear All": every criterion back to "All", everyone selected, texts empty, filtering off.
    f.window->showPage(MainWindow::MarkerSelectionPage);
    f.click(f.criteriaPage, "ResetSelbtn");
    for (int row = 1; row < 4; ++row)
        EXPECT_EQ(f.cell(row, MarkerCriteria::SelectColumn), "All");
    EXPECT_EQ(f.listTicks(), std::vector<bool>(5, true));
    EXPECT_FALSE(f.filteringChecked());
    EXPECT_EQ(f.window->statusText(2), "no selection");
    EXPECT_TRUE(f.resultsPage->resultsText()->toPlainText().isEmpty());
    EXPECT_EQ(f.window->displaySettings().drawing.labelfreq, 5);
}

TEST(SelectionPages, TheMenuToggleSwitchesFilteringOnAndOff)
{
    SelectionFixture f;
    f.window->showPage(MainWindow::MarkerSelectionPage);
    f.typeOnRow(2, Qt::Key_B); // m2 = b: alpha, echo, bravo
    QAction *toggle = f.window->commandActions(ApplyFiltering).front();
    toggle->trigger();
    EXPECT_TRUE(f.filteringChecked());
    EXPECT_EQ(f.listTicks(), (std::vector<bool>{false, true, true, false, true}));
    EXPECT_EQ(f.window->statusText(2), "selection criteria set");
    EXPECT_EQ(f.currentPage(), MainWindow::ImagePageIndex);
    toggle->trigger();
    EXPECT_FALSE(f.filteringChecked());
    EXPECT_EQ(f.listTicks(), std::vector<bool>(5, true));
    EXPECT_EQ(f.window->statusText(2), "no selection");
}

TEST(SelectionPages, TheCheckListFollowsTicksAndLocks)
{
    SelectionFixture f;
    f.window->showPage(MainWindow::SelectionResultsPage);
    EXPECT_EQ(f.listNames(), (QStringList{"delta", "alpha", "echo", "charlie", "bravo"}));
    QAbstractItemModel *model = f.resultsPage->list()->model();

    f.highlight({1, 3});
    f.click(f.resultsPage, "fixselectbutn");
    for (int row : {1, 3}) {
        EXPECT_FALSE(model->flags(model->index(row, 0)) & Qt::ItemIsUserCheckable) << row;
        EXPECT_TRUE(model->index(row, 0).data(Qt::ForegroundRole).isValid()) << row;
    }
    EXPECT_TRUE(model->flags(model->index(0, 0)) & Qt::ItemIsUserCheckable);

    f.click(f.resultsPage, "selectnoneind");
    EXPECT_EQ(f.listTicks(), std::vector<bool>(5, false));
    EXPECT_TRUE(model->flags(model->index(1, 0)) & Qt::ItemIsUserCheckable); // "None" releases locks

    f.highlight({0, 2});
    f.click(f.resultsPage, "checkbtn");
    EXPECT_EQ(f.listTicks(), (std::vector<bool>{true, false, true, false, false}));
    f.click(f.resultsPage, "fixselectbutn");
    f.highlight({0});
    f.click(f.resultsPage, "unlockbtn");
    EXPECT_TRUE(model->flags(model->index(0, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model->flags(model->index(2, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_EQ(f.listTicks(), (std::vector<bool>{true, false, true, false, false})); // unlocking keeps ticks

    // A locked entry cannot be unticked by hand; an unlocked one can, and that turns filtering on.
    EXPECT_FALSE(model->setData(model->index(2, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_TRUE(model->setData(model->index(4, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(f.filteringChecked());

    f.window->showPage(MainWindow::ImagePageIndex);
    EXPECT_EQ(f.window->statusText(2), "Selection active; [3 selected]");
    EXPECT_EQ(f.window->data().SelectedIndices, (std::vector<int>{0, 2, 4}));

    // Everyone ticked by hand: leaving the page switches filtering off.
    f.window->showPage(MainWindow::SelectionResultsPage);
    for (int row : {1, 3})
        model->setData(model->index(row, 0), Qt::Checked, Qt::CheckStateRole);
    EXPECT_TRUE(f.filteringChecked());
    f.window->showPage(MainWindow::ImagePageIndex);
    EXPECT_FALSE(f.filteringChecked());
    EXPECT_EQ(f.window->statusText(2), "no selection");
}

TEST(SelectionPages, SelectionListsAreSavedAndReadBack)
{
    SelectionFixture f;
    f.window->showPage(MainWindow::SelectionResultsPage);
    f.click(f.resultsPage, "selectnoneind");
    f.highlight({1, 4});
    f.click(f.resultsPage, "checkbtn");

    const std::string path = f.folder.file("chosen.rvl");
    f.ui.saveChoices.push_back(path);
    f.click(f.resultsPage, "saveselectionbtn");
    EXPECT_EQ(test::readWholeFile(path), "alpha\r\nbravo\r\n");

    f.click(f.resultsPage, "SelectallIndBtn");
    EXPECT_EQ(f.listTicks(), std::vector<bool>(5, true));
    f.ui.openChoices.push_back({path});
    f.click(f.resultsPage, "openselectionbtn");
    EXPECT_EQ(f.listTicks(), (std::vector<bool>{false, true, false, false, true}));

    // Cancelled dialogs change nothing.
    f.click(f.resultsPage, "openselectionbtn");
    f.click(f.resultsPage, "saveselectionbtn");
    EXPECT_EQ(f.listTicks(), (std::vector<bool>{false, true, false, false, true}));
    EXPECT_TRUE(f.ui.messages.empty());
}

TEST(SelectionPages, ResultTextsAreSavedAndPrinted)
{
    SelectionFixture f;
    f.window->showPage(MainWindow::MarkerSelectionPage);
    f.typeOnRow(1, Qt::Key_B);
    f.click(f.criteriaPage, "ApplyselectionBtn");

    const std::string path = f.folder.file("results.txt");
    f.ui.saveChoices.push_back(path);
    f.click(f.resultsPage, "Saveresulstbtn");
    const std::string saved = test::readWholeFile(path);
    EXPECT_EQ(saved.rfind("Applied criteria:", 0), 0u) << saved;
    EXPECT_NE(saved.find("Selection Results:"), std::string::npos);
    EXPECT_NE(saved.find("2 individuals selected:"), std::string::npos);

    f.click(f.resultsPage, "Printresultbtn");
    ASSERT_GE(f.printed.size(), 3);
    EXPECT_TRUE(f.printed[0].startsWith("RVK graphical genotype selection results: "));
    EXPECT_TRUE(f.printed.contains("Selection Results:"));
    EXPECT_TRUE(f.printed.contains("2 individuals selected:"));
}

TEST(SelectionPages, CompareIndividualsDrawsAtMostTen)
{
    SelectionFixture f(ElevenIndividuals);
    f.window->showPage(MainWindow::SelectionResultsPage);
    f.click(f.resultsPage, "Comparebtn");
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{std::string(ComparisonView::TooManyMessage) + "11"});
    EXPECT_EQ(f.currentPage(), MainWindow::SelectionResultsPage);

    // Two ticked: both drawn side by side on the image page.
    f.ui.messages.clear();
    f.click(f.resultsPage, "selectnoneind");
    f.highlight({0, 5});
    f.click(f.resultsPage, "checkbtn");
    f.click(f.resultsPage, "Comparebtn");
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_EQ(f.currentPage(), MainWindow::ImagePageIndex);
    ComparisonView::Layout layout = ComparisonView(f.window->data(), f.window->alleles(), f.window->drawContext()).layout();
    EXPECT_EQ(layout.individuals, (std::vector<int>{1, 6}));
    EXPECT_EQ(f.window->viewPicture().width(), layout.width);
    EXPECT_EQ(f.window->viewPicture().height(), layout.height);
}

TEST(SelectionPages, SortingThroughTheControlsAndUndoingIt)
{
    SelectionFixture f;
    f.open("two.rvk", SecondGroup);
    SortControls controls(*f.window);
    auto *choices = controls.findChild<QButtonGroup *>();
    ASSERT_NE(choices, nullptr);
    const QStringList captions = {"No sort /undo sort", "All markers", "Selected marker", "Selected group", "Alias",
                                  "overall allele content: ", "Trait "};
    ASSERT_EQ(choices->buttons().size(), captions.size());
    for (int i = 0; i < captions.size(); ++i)
        EXPECT_EQ(choices->button(i)->text(), captions[i]);
    EXPECT_FALSE(choices->button(static_cast<int>(SortChoice::Trait))->isEnabled());
    EXPECT_EQ(controls.alleleChoice()->placeholderText(), "choose..");

    // echo loses its tick; the tick travels with it.
    f.window->showPage(MainWindow::SelectionResultsPage);
    f.resultsPage->list()->model()->setData(f.resultsPage->list()->model()->index(2, 0), Qt::Unchecked,
                                            Qt::CheckStateRole);
    const std::vector<std::string> genotypes = {f.window->data().GroupLoci(0)[0].Genotypes,
                                                f.window->data().GroupLoci(1)[1].Genotypes};

    choices->button(static_cast<int>(SortChoice::Alias))->click();
    controls.findChild<QPushButton *>(QStringLiteral("sortbtn"))->click();
    EXPECT_EQ(f.listNames(), (QStringList{"alpha", "bravo", "charlie", "delta", "echo"}));
    EXPECT_EQ(f.listTicks(), (std::vector<bool>{true, true, true, true, false}));
    EXPECT_EQ(f.window->statusText(2), "Sorted on Alias");
    EXPECT_EQ(f.window->data().GroupLoci(0)[0].Genotypes, "aabab");

    choices->button(static_cast<int>(SortChoice::NoSort))->click();
    controls.findChild<QPushButton *>(QStringLiteral("sortbtn"))->click();
    EXPECT_EQ(f.listNames(), (QStringList{"delta", "alpha", "echo", "charlie", "bravo"}));
    EXPECT_EQ(f.listTicks(), (std::vector<bool>{true, true, false, true, true}));
    EXPECT_EQ(f.window->statusText(2), "Not sorted");
    EXPECT_EQ(f.window->data().GroupLoci(0)[0].Genotypes, genotypes[0]);
    EXPECT_EQ(f.window->data().GroupLoci(1)[1].Genotypes, genotypes[1]);
}

TEST(SelectionPages, SortChoicesNeedTheirNodeOrAllele)
{
    SelectionFixture f;
    SortControls controls(*f.window);
    controls.setChoice(SortChoice::SelectedMarker);
    EXPECT_FALSE(controls.sort());
    controls.setChoice(SortChoice::SelectedGroup);
    EXPECT_FALSE(controls.sort());
    EXPECT_EQ(f.ui.texts(), (std::vector<std::string>{IndividualSort::SelectMarkerFirst,
                                                      IndividualSort::SelectGroupFirst}));
    // Allele content without a chosen allele keeps the order.
    controls.setChoice(SortChoice::AlleleContent);
    EXPECT_FALSE(controls.sort());
    EXPECT_EQ(f.listNames(), (QStringList{"delta", "alpha", "echo", "charlie", "bravo"}));

    // A tree node preselects its choice; the tree's context menu asks first.
    controls.setTreeNode(2, 0, 1, QStringLiteral("m2"));
    EXPECT_EQ(controls.choice(), SortChoice::SelectedMarker);
    f.ui.answers.push_back(false);
    controls.sortOnTreeNode();
    EXPECT_EQ(f.listNames(), (QStringList{"delta", "alpha", "echo", "charlie", "bravo"}));
    f.ui.answers.push_back(true);
    controls.sortOnTreeNode();
    EXPECT_EQ(f.window->statusText(2), "Sorted on marker: m2");
    EXPECT_EQ(f.window->data().GroupLoci(0)[1].Genotypes, "aabbb");

    // The allele list offers the codes in use; the content of "b" orders by cM carried.
    ASSERT_TRUE(controls.chooseAllele('b'));
    controls.setChoice(SortChoice::AlleleContent);
    EXPECT_TRUE(controls.sort());
    EXPECT_TRUE(f.window->statusText(2).startsWith("Sorted on content of allele: b"));
}

TEST(SelectionPages, OpeningAnotherFileEmptiesTheCriteria)
{
    SelectionFixture f;
    f.window->showPage(MainWindow::MarkerSelectionPage);
    f.typeOnRow(1, Qt::Key_A);
    f.click(f.criteriaPage, "ApplyselectionBtn");
    f.open("two.rvk", SecondGroup);
    EXPECT_FALSE(f.filteringChecked());
    EXPECT_EQ(f.window->statusText(2), "no selection");
    EXPECT_EQ(f.criteriaPage->model()->rowCount(), 0);
    f.window->showPage(MainWindow::SelectionResultsPage);
    ASSERT_EQ(f.criteriaPage->model()->rowCount(), 7);
    EXPECT_EQ(f.cell(4, MarkerCriteria::MarkerColumn), "Linkage-group 2");
    for (int row : {1, 2, 3, 5, 6})
        EXPECT_EQ(f.cell(row, MarkerCriteria::SelectColumn), "All");
    EXPECT_EQ(f.listTicks(), std::vector<bool>(5, true));
}

} // namespace
} // namespace rvk
