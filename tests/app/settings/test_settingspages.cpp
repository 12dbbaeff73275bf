#include "app/settings/allelelistmodel.h"
#include "app/settings/allelepage.h"
#include "app/settings/drawingoptionspage.h"
#include "app/settings/fontchooser.h"
#include "app/mainwindow.h"
#include "render/fontresolver.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialog>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

namespace rvk {
namespace {

using test::ScriptedUserInterface;
using test::TempFolder;

int row(char code) { return AlleleTable::indexOf(code); }

TEST(AlleleList, OneRowPerCodeWithItsColumns)
{
    AlleleTable table;
    AlleleListModel model(table);
    ASSERT_EQ(model.rowCount(), 81);
    const QStringList headers = {"Col", "Code", "Allele descr.", "Hatch", "Numval", "Used?"};
    for (int c = 0; c < headers.size(); ++c)
        EXPECT_EQ(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headers[c]);
    EXPECT_EQ(model.index(0, AlleleListModel::CodeColumn).data().toString(), "*");
    EXPECT_EQ(model.index(80, AlleleListModel::CodeColumn).data().toString(), "z");
    EXPECT_EQ(model.index(row('U'), AlleleListModel::NumvalColumn).data().toString(), "-99.00");
    EXPECT_EQ(model.index(row('C'), AlleleListModel::NumvalColumn).data().toString(), "0.50");
    EXPECT_EQ(model.index(row('H'), AlleleListModel::ColourColumn).data(Qt::BackgroundRole).value<QColor>(),
              QColor(192, 220, 192));
    EXPECT_FALSE(model.index(row('a'), AlleleListModel::UsedColumn).data(Qt::DecorationRole).isValid());
    table.entry(row('a')).Used = true;
    EXPECT_TRUE(model.index(row('a'), AlleleListModel::UsedColumn).data(Qt::DecorationRole).isValid());
}

TEST(AlleleList, NumvalTextChangesTheValueOnlyWhenItIsANumber)
{
    struct Case
    {
        QString typed;
        double numval; // after the edit, from 0.5
        QString cell;
    };
    const Case cases[] = {
        {"-99", -99.0, "-99"},
        {"-99.00", -99.0, "-99.00"},
        {"0.25", 0.25, "0.25"},
        {"abc", 0.5, "abc"},
        {"0,5", 0.5, "0,5"}, // a comma is no decimal separator
        {"", 0.5, ""},
    };
    for (const Case &c : cases) {
        AlleleTable table;
        AlleleListModel model(table);
        const QModelIndex cell = model.index(row('C'), AlleleListModel::NumvalColumn);
        ASSERT_TRUE(model.setData(cell, c.typed));
        EXPECT_EQ(table.lookup('C').Numval, c.numval) << c.typed.toStdString();
        EXPECT_EQ(cell.data().toString(), c.cell) << c.typed.toStdString();
        model.reload();
        EXPECT_EQ(cell.data().toString(), QString::fromStdString(formatNumval(c.numval))) << "a reload shows the value";
    }
}

TEST(AlleleList, LegendTakesAnyTextAlsoAnEmptyOne)
{
    AlleleTable table;
    AlleleListModel model(table);
    for (const QString &text : {QString("resistant parent"), QString()}) {
        model.setData(model.index(row('a'), AlleleListModel::LegendColumn), text);
        EXPECT_EQ(table.lookup('a').Legend, text.toStdString());
    }
}

TEST(AllelePageGestures, EachColumnOpensItsEditor)
{
    AlleleTable table;
    AllelePage page(table);
    std::optional<Rgb> colourAnswer = rgb(10, 20, 30);
    std::optional<int> hatchAnswer = 7;
    char askedCode = 0;
    page.setColourChooser([&](char code, Rgb, QPoint) {
        askedCode = code;
        return colourAnswer;
    });
    page.setHatchChooser([&](int, QPoint) { return hatchAnswer; });
    AlleleListModel *model = page.model();
    const int b = row('b');

    page.activateCell(model->index(b, AlleleListModel::ColourColumn), QPoint());
    EXPECT_EQ(askedCode, 'b');
    EXPECT_EQ(table.lookup('b').Color, rgb(10, 20, 30));
    colourAnswer.reset();
    page.activateCell(model->index(b, AlleleListModel::ColourColumn), QPoint());
    EXPECT_EQ(table.lookup('b').Color, rgb(10, 20, 30)) << "closing the picker changes nothing";

    page.activateCell(model->index(b, AlleleListModel::HatchColumn), QPoint());
    EXPECT_EQ(table.lookup('b').Hatch, 7);
    EXPECT_EQ(table.lookup('b').HatchBrush, &HatchPatterns()[7]);
    hatchAnswer.reset();
    page.activateCell(model->index(b, AlleleListModel::HatchColumn), QPoint());
    EXPECT_EQ(table.lookup('b').Hatch, 7);

    page.show();
    table.setLegend(b, "parent B");
    page.activateCell(model->index(b, AlleleListModel::CodeColumn), QPoint());
    auto *editor = page.list()->viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr) << "a click on the code edits the legend";
    EXPECT_EQ(editor->text(), "parent B");
}

TEST(DrawingOptionsPageRules, ControlsFollowEachOther)
{
    DrawingOptionsPage page;
    auto *names = page.findChild<QCheckBox *>("drawmarkers");
    auto *space = page.findChild<QSpinBox *>("markspace");
    auto *autosize = page.findChild<QCheckBox *>("autosize");
    ASSERT_TRUE(names && space && autosize);
    EXPECT_FALSE(space->isEnabled()) << "autosize computes the space";
    autosize->setChecked(false);
    EXPECT_TRUE(space->isEnabled());
    EXPECT_FALSE(page.options().autosize);

    names->setChecked(false);
    EXPECT_EQ(space->value(), 15);
    EXPECT_EQ(page.options().markspace, 15);
    names->setChecked(true);
    EXPECT_EQ(page.options().markspace, 100);

    int redraws = 0;
    QObject::connect(&page, &DrawingOptionsPage::colorModeChosen, [&] { ++redraws; });
    page.findChild<QRadioButton *>("RadioButton2")->click();
    EXPECT_TRUE(page.options().blackAndWhite());
    EXPECT_EQ(page.options().Fillstyle, DrawingOptions::FillStyle::Gradient);
    page.findChild<QRadioButton *>("RadioButton1")->click();
    EXPECT_EQ(page.options().Fillstyle, DrawingOptions::FillStyle::Discrete);
    EXPECT_EQ(redraws, 2);

    EXPECT_EQ(page.findChild<QLabel *>("Dummylabel")->text(), "Arial (8)");
    FontDescription chosen{"Courier", 12, rgb(0, 0, 255), true};
    page.setFontChooser([&](const FontDescription &) { return chosen; });
    page.chooseQtlFont();
    EXPECT_EQ(page.options().qtlFont, chosen);
    EXPECT_EQ(page.findChild<QLabel *>("qtllabel")->text(), "Courier (12)");
}

TEST(LabelFontDialog, SetsFamilySizeStyleAndColour)
{
    // Answer the dialog (and the colour dialog it opens) as a person would.
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto *fonts = dialog->findChild<QFontDialog *>();
        ASSERT_NE(fonts, nullptr);
        QFont font(QStringLiteral("Liberation Serif"), 14);
        font.setItalic(true);
        font.setUnderline(true);
        fonts->setCurrentFont(font);
        QTimer::singleShot(0, [] {
            auto *colours = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(colours, nullptr);
            colours->setCurrentColor(QColor(200, 10, 20));
            colours->accept();
        });
        dialog->findChild<QPushButton *>("fontColour")->click();
        dialog->accept();
    });
    const auto chosen = chooseFont(nullptr, FontDescription{"Arial", 8, rgb(0, 0, 0), true});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->name, "Liberation Serif");
    EXPECT_EQ(chosen->size, 14);
    EXPECT_FALSE(chosen->bold);
    EXPECT_TRUE(chosen->italic);
    EXPECT_TRUE(chosen->underline);
    EXPECT_EQ(chosen->color, rgb(200, 10, 20));
}

// The dialog lists the faces pictures are drawn with under the program's own names too; picking
// one stores the family users know, which draws the same face and names it so in saved files.
TEST(LabelFontDialog, ADrawingFaceIsStoredByItsKnownFamily)
{
    const QString drawing = drawingFontFamily("Times New Roman");
    ASSERT_NE(drawing, QStringLiteral("Liberation Serif"));
    QTimer::singleShot(0, [drawing] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QFontDialog *>()->setCurrentFont(QFont(drawing, 10));
        dialog->accept();
    });
    const auto chosen = chooseFont(nullptr, FontDescription{"Arial", 8, rgb(0, 0, 0), false});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->name, "Liberation Serif");
}

TEST(DrawingOptionsPageRules, ShowingLoadedOptionsAppliesNoRule)
{
    DrawingOptionsPage page;
    DrawingOptions loaded;
    loaded.drawmarkers = false;
    loaded.markspace = 60;
    loaded.autosize = false;
    loaded.colorMode = DrawingOptions::ColorMode::BlackAndWhite;
    loaded.Fillstyle = DrawingOptions::FillStyle::Discrete;
    page.setOptions(loaded);
    EXPECT_EQ(page.options(), loaded);
    EXPECT_EQ(page.findChild<QSpinBox *>("markspace")->value(), 60);
    EXPECT_TRUE(page.findChild<QRadioButton *>("RadioButton2")->isChecked());
}

TEST(SettingsInTheWindow, ToolButtonsAndPageShareTheColourModeAndFilesRoundTrip)
{
    TempFolder folder;
    ScriptedUserInterface ui;
    MainWindowOptions options;
    options.programFolder = folder.path().string() + "/";
    options.settingsFile = folder.file("rvk.ini");
    MainWindow window(options, &ui);

    window.setColorMode(DrawingOptions::ColorMode::BlackAndWhite);
    EXPECT_TRUE(window.displaySettings().drawing.blackAndWhite());
    EXPECT_TRUE(window.drawingOptionsPage()->findChild<QRadioButton *>("RadioButton2")->isChecked());

    window.showSettingsPage(1);
    EXPECT_EQ(window.pages()->currentIndex(), MainWindow::SettingsPage);

    const int a = row('a');
    window.allelePage()->model()->setColour(a, rgb(1, 2, 3));
    window.drawingOptionsPage()->findChild<QSpinBox *>("barwidth")->setValue(17);
    EXPECT_EQ(window.displaySettings().drawing.barwidth, 17);
    const std::string saved = folder.file("mine.rvs");
    ui.saveChoices.push_back(saved);
    window.saveSettingsAs();
    ASSERT_TRUE(ui.messages.empty());

    window.allelePage()->model()->setColour(a, rgb(200, 200, 200));
    window.drawingOptionsPage()->findChild<QSpinBox *>("barwidth")->setValue(5);
    ui.openChoices.push_back({saved});
    window.loadSettingsFrom();
    EXPECT_EQ(window.alleles().entry(a).Color, rgb(1, 2, 3));
    EXPECT_EQ(window.displaySettings().drawing.barwidth, 17);
    EXPECT_EQ(window.drawingOptionsPage()->findChild<QSpinBox *>("barwidth")->value(), 17);
    EXPECT_EQ(window.allelePage()->model()->index(a, AlleleListModel::ColourColumn).data(Qt::BackgroundRole).value<QColor>(),
              QColor(1, 2, 3));
}

} // namespace
} // namespace rvk
