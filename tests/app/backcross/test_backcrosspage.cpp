// The "Backcross" page on the hand-worked family of tests/genetics/backcrossfixture.h (where its
// numbers are worked out): the table, "Select" into the individual check list, saving, the
// pedigree check and the drawing against the parents.
#include "app/backcross/backcrosspage.h"
#include "app/settings/drawingoptionspage.h"
#include "app/mainwindow.h"
#include "genetics/backcrossfixture.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>

#include <memory>

namespace rvk {
namespace {

struct BackcrossPageFixture
{
    BackcrossPageFixture()
    {
        MainWindowOptions options;
        options.programFolder = folder.path().string() + "/";
        options.settingsFile = folder.file("rvk.ini");
        window = std::make_unique<MainWindow>(options, &ui);
        window->setUrlOpener([](const QUrl &) { return true; });
        window->openDataFiles({QString::fromStdString(folder.write("family.rvk", test::backcrossFixtureFile()))});
        page = window->findChild<BackcrossPage *>();
        page->refreshChoices();
    }
    template <typename T> T *child(const char *name) const { return page->findChild<T *>(QString::fromUtf8(name)); }
    void choose(const char *box, const char *text) const
    {
        QComboBox *combo = child<QComboBox>(box);
        combo->setCurrentIndex(combo->findText(QString::fromUtf8(text)));
    }
    QString cell(const char *table, int row, int column) const
    {
        QAbstractItemModel *model = child<QTableView>(table)->model();
        return model->data(model->index(row, column)).toString();
    }

    test::TempFolder folder;
    test::ScriptedUserInterface ui;
    std::unique_ptr<MainWindow> window;
    BackcrossPage *page = nullptr;
};

TEST(BackcrossPage, IsALastTabWithTheDataSetsNames)
{
    BackcrossPageFixture f;
    ASSERT_TRUE(f.page);
    const int index = f.window->pages()->indexOf(f.page);
    EXPECT_EQ(index, MainWindow::PageCount);
    EXPECT_EQ(f.window->pages()->tabText(index), "Backcross");
    EXPECT_EQ(f.child<QComboBox>("recurrentParent")->currentText(), "R");
    EXPECT_EQ(f.child<QComboBox>("donor")->currentText(), "D");
    EXPECT_EQ(f.child<QComboBox>("targetMarker")->count(), 1 + 9);
}

TEST(BackcrossPage, CalculatesSortsSelectsAndSaves)
{
    BackcrossPageFixture f;
    f.choose("targetMarker", "m5");
    f.child<QPushButton>("calculate")->click();
    ASSERT_TRUE(f.page->statistics());
    EXPECT_EQ(f.cell("backcrossTable", 3, 0), "I2");
    EXPECT_EQ(f.cell("backcrossTable", 3, 2), "65.00");
    EXPECT_EQ(f.cell("backcrossTable", 3, 7), "20.00");

    // Sorting by rpg_cm, highest first: R and I1 (100), then I4 (87.5).
    f.child<QTableView>("backcrossTable")->sortByColumn(2, Qt::DescendingOrder);
    EXPECT_EQ(f.cell("backcrossTable", 2, 0), "I4");

    // The two best carriers of m5: I2 (65) and I7 (50); I4 does not carry it.
    f.child<QRadioButton>("selectTop")->setChecked(true);
    f.child<QSpinBox>("topCount")->setValue(2);
    f.child<QPushButton>("select")->click();
    const std::vector<char> two{0, 0, 0, 1, 0, 0, 0, 0, 1};
    EXPECT_EQ(f.window->data().Ticked, two);
    EXPECT_EQ(f.window->data().SelectedIndices, (std::vector<int>{3, 8}));
    // Carriers at or above 30 %: I2, I7 and I6.
    f.child<QRadioButton>("selectShare")->setChecked(true);
    f.child<QDoubleSpinBox>("minimumShare")->setValue(30.0);
    f.child<QPushButton>("select")->click();
    EXPECT_EQ(f.window->data().SelectedIndices, (std::vector<int>{3, 7, 8}));

    const std::string tsv = f.folder.file("table.tsv");
    f.ui.saveChoices.push_back(tsv);
    f.ui.saveFilterChoices.push_back(0);
    f.child<QPushButton>("saveTable")->click();
    const std::string text = test::readWholeFile(tsv);
    EXPECT_EQ(text.rfind("individual\trpg_markers\trpg_cm\t", 0), 0u) << text;
    EXPECT_NE(text.find("\nI2\t60.00\t65.00\t2\t35.00\th\tyes\t20.00\t0.00\t"), std::string::npos) << text;

    const std::string png = f.folder.file("chart.png");
    f.ui.saveChoices.push_back(png);
    f.child<QPushButton>("saveChart")->click();
    EXPECT_FALSE(test::readWholeFile(png).empty());
}

TEST(BackcrossPage, BadParentsGiveAMessageAndNoTable)
{
    BackcrossPageFixture f;
    f.choose("donor", "R");
    f.child<QPushButton>("calculate")->click();
    EXPECT_FALSE(f.page->statistics());
    ASSERT_FALSE(f.ui.messages.empty());
    EXPECT_EQ(f.ui.messages.back().text, SameParentsMessage);
    EXPECT_EQ(f.child<QTableView>("backcrossTable")->model()->rowCount(), 0);
}

TEST(BackcrossPage, PedigreeCheckOfTheSelectedFollowsTheThresholds)
{
    BackcrossPageFixture f;
    f.child<QPushButton>("checkPedigree")->click();
    ASSERT_TRUE(f.page->pedigree());
    EXPECT_EQ(f.cell("pedigreeTable", 2, 0), "I1");
    EXPECT_EQ(f.cell("pedigreeTable", 2, 4), "check"); // 93.75 % like R
    EXPECT_EQ(f.cell("pedigreeTable", 8, 4), "F1");
    f.child<QDoubleSpinBox>("selfThreshold")->setValue(90.0);
    EXPECT_EQ(f.cell("pedigreeTable", 2, 4), "self of P1");
}

TEST(BackcrossPage, DrawsAgainstTheParents)
{
    BackcrossPageFixture f;
    f.child<QPushButton>("drawAgainstParents")->click();
    const DrawingOptions &drawing = f.window->displaySettings().drawing;
    EXPECT_TRUE(drawing.comparison());
    EXPECT_EQ(drawing.compareReference, "R");
    EXPECT_EQ(drawing.compareDonor, "D");
    EXPECT_EQ(f.window->pages()->currentIndex(), MainWindow::ImagePageIndex);
    // The drawing options page shows the mode.
    auto *options = f.window->findChild<DrawingOptionsPage *>();
    EXPECT_TRUE(options->findChild<QRadioButton *>("compareMode")->isChecked());
}

} // namespace
} // namespace rvk
