#include "app/aboutbox.h"
#include "app/applicationsetup.h"
#include "app/settings/drawingoptionspage.h"
#include "app/picture/imagepage.h"
#include "app/picture/printpreviewpage.h"
#include "app/mainwindow.h"
#include "core/dataloader.h"
#include "render/allinoneview.h"
#include "render/linkagegroupview.h"
#include "render/pictureexport.h"
#include "render/pointerinspection.h"
#include "render/printlayout.h"
#include "settings/inifile.h"
#include "settings/settingsfile.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"
#include "support/windowfixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QDropEvent>
#include <QEventLoop>
#include <QTimer>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolBar>

#include <algorithm>
#include <memory>

namespace rvk {
namespace {

using test::ScriptedUserInterface;
using test::TempFolder;

using test::Broken;
using test::Chr1;
using test::Chr2;
using test::TwoGroupFile;

using test::WindowFixture;

TEST(MainWindowStart, EmptyWindowShowsItsInitialState)
{
    WindowFixture f;
    EXPECT_EQ(f.window->windowTitle(), "Display RVK 2.0");
    EXPECT_EQ(f.groupItems(), QStringList{"no data"});
    EXPECT_FALSE(f.window->groupSelector()->isEnabled());
    const QStringList initial = {"data", "name", "no selection", "zoom:100%"};
    for (int panel = 0; panel < initial.size(); ++panel)
        EXPECT_EQ(f.window->statusText(panel), initial[panel]);
    EXPECT_FALSE(f.window->pages()->isTabEnabled(MainWindow::DataViewPage));
    EXPECT_FALSE(f.window->pages()->isTabEnabled(MainWindow::MarkerSelectionPage));
    EXPECT_FALSE(f.window->pages()->isTabEnabled(MainWindow::SelectionResultsPage));
    EXPECT_TRUE(f.window->pages()->isTabEnabled(MainWindow::SettingsPage));
    EXPECT_EQ(f.window->pages()->currentIndex(), MainWindow::ImagePageIndex);
    // The placeholder's first line in its pale green at its place.
    const QImage picture = f.window->imagePage()->picture();
    bool green = false;
    for (int y = 140; y < 180 && !green; ++y)
        for (int x = 280; x < 600 && !green; ++x)
            green = (picture.pixel(x, y) & 0xFFFFFF) == (qRgb(192, 220, 192) & 0xFFFFFF);
    EXPECT_TRUE(green);
}

TEST(MainWindowStart, PagesAndTheirCaptionsInOrder)
{
    WindowFixture f;
    const QStringList captions = {"RVK Image", "Data Sort, View, Edit", "Marker Selection",
                                  "Select Indiv. && Sel. Results", "Associations", "LD ", "Genetic Distances",
                                  "Settings", "Print Preview", "Backcross", "QTL mapping"};
    QTabWidget *pages = f.window->pages();
    ASSERT_EQ(pages->count(), captions.size());
    for (int i = 0; i < captions.size(); ++i)
        EXPECT_EQ(pages->tabText(i), captions[i]);
    auto *settings = qobject_cast<QTabWidget *>(pages->widget(MainWindow::SettingsPage));
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->tabText(0), "Allele && General options");
    EXPECT_EQ(settings->tabText(1), "Drawing options");
}

TEST(MainWindowStart, MenuTreeHasEveryCaptionInOrder)
{
    WindowFixture f;
    // One line per menu entry: the menu path, "-" for a separator.
    const QStringList expected = {
        "  &File  ", "  &File  /&Load RVK data", "  &File  /&Recently opened", "  &File  /Sa&ve RVK data",
        "  &File  /-", "  &File  /&Build RVK File..", "  &File  /-", "  &File  /Load/Paste from Excel", "  &File  /-",
        "  &File  /Printer &Setup", "  &File  /&Print RVK..", "  &File  /-", "  &File  /&Close all", "  &File  /-",
        "  &File  /E&xit",
        "&Edit   ", "&Edit   /Copy Image to Clipboard", "&Edit   /Edit && Sort data", "&Edit   /Excel style edit",
        "E&xport", "E&xport/Save RVK image as &Jpeg (.jpg)", "E&xport/&Save RVK image as Metafile (.EMF)", "E&xport/-",
        "E&xport/Export as &Locus data (.loc)", "E&xport/Export trait data as .&qua file", "E&xport/-",
        "E&xport/Export to Excel", "E&xport/-", "E&xport/Create &Mapchart data", "E&xport/Create M&EGA datafile",
        "S&tatistics  ", "S&tatistics  /Statistics on &Current View", "S&tatistics  /-",
        "S&tatistics  /&Global Statistics", "S&tatistics  /&Marker Statistics",
        "&Marker Selection  ", "&Marker Selection  /&Specify Criteria..", "&Marker Selection  /-",
        "&Marker Selection  /&View Criteria and Results", "&Marker Selection  /&Apply Selection Filtering",
        "Advanced &Analyses", "Advanced &Analyses/Marker LD", "Advanced &Analyses/Association Analysis",
        "Advanced &Analyses/Association Analysis/Import trait data", "Advanced &Analyses/Calculate genetic distance",
        "Advanced &Analyses/Panel genomics...",
        "Settings", "Settings/Allele && General options", "Settings/Drawing options",
        "&Help", "&Help/Manual", "&Help/Whats &New ?", "&Help/Useful links", "&Help/Useful links/MEGA website",
        "&Help/Useful links/Mapchart website", "&Help/-", "&Help/&About",
    };
    QStringList found;
    std::function<void(const QString &, const QList<QAction *> &)> walk = [&](const QString &prefix,
                                                                            const QList<QAction *> &actions) {
        for (QAction *action : actions) {
            const QString entry = prefix + (action->isSeparator() ? QStringLiteral("-") : action->text());
            found.append(entry);
            // The recent entries are file paths, checked elsewhere.
            if (action->menu() && action->text() != "&Recently opened")
                walk(entry + "/", action->menu()->actions());
        }
    };
    walk(QString(), f.window->menuBar()->actions());
    EXPECT_EQ(found, expected);
    const QAction *recent = f.menuCommand("  &File  /&Recently opened");
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(recent->menu()->actions().size(), 3);
}

TEST(MainWindowStart, EveryCommandHasItsWork)
{
    WindowFixture f;
    const QStringList working = {"  &File  /&Load RVK data", "  &File  /&Close all", "  &File  /E&xit",
                                 "&Help/Manual", "&Help/Whats &New ?", "&Help/&About",
                                 "Settings/Allele && General options", "Settings/Drawing options",
                                 "  &File  /&Print RVK..", "E&xport/Save RVK image as &Jpeg (.jpg)",
                                 "&Edit   /Copy Image to Clipboard", "  &File  /Sa&ve RVK data",
                                 "  &File  /&Build RVK File..", "E&xport/Export to Excel",
                                 "S&tatistics  /&Global Statistics", "Advanced &Analyses/Marker LD",
                                 "Advanced &Analyses/Calculate genetic distance", "E&xport/Export trait data as .&qua file"};
    for (const QString &path : working) {
        const QAction *action = f.menuCommand(path);
        ASSERT_NE(action, nullptr) << path.toStdString();
        EXPECT_TRUE(action->isEnabled()) << path.toStdString();
    }
}

TEST(MainWindowStart, CommandsOfTheDataPagesWaitForData)
{
    WindowFixture f;
    const QStringList paths = {"&Marker Selection  /&Specify Criteria..", "&Marker Selection  /&View Criteria and Results",
                               "&Edit   /Edit && Sort data"};
    for (const QString &path : paths) {
        const QAction *action = f.menuCommand(path);
        ASSERT_NE(action, nullptr) << path.toStdString();
        EXPECT_FALSE(action->isEnabled()) << path.toStdString();
    }
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    for (const QString &path : paths)
        EXPECT_TRUE(f.menuCommand(path)->isEnabled()) << path.toStdString();
}

TEST(MainWindowHelp, AboutBoxLeadsNowhereItCannotGo)
{
    AboutBox box;
    QStringList texts;
    for (const QLabel *label : box.findChildren<QLabel *>())
        texts.append(label->text());
    const QString all = texts.join(QLatin1Char('\n'));
    EXPECT_TRUE(all.contains(QStringLiteral("RVK"))) << all.toStdString();
    EXPECT_FALSE(all.contains(QStringLiteral("example"))) << all.toStdString();
    EXPECT_FALSE(all.contains(QStringLiteral("href"))) << all.toStdString();
}

TEST(MainWindowStart, ToolBarHintsInOrder)
{
    WindowFixture f;
    auto *tools = f.window->findChild<QToolBar *>(QStringLiteral("ToolBar"));
    ASSERT_NE(tools, nullptr);
    QStringList hints;
    for (QAction *action : tools->actions()) {
        if (action->isSeparator())
            hints.append("|");
        else if (QWidget *widget = tools->widgetForAction(action); widget && !action->icon().isNull())
            hints.append(action->toolTip());
        else if (widget && !widget->toolTip().isEmpty())
            hints.append(widget->toolTip());
        else if (widget && widget->objectName() == "groupnr")
            hints.append("groupnr");
        else
            hints.append(action->toolTip());
    }
    const QStringList expected = {"Open RVK file", "Build RVK file", "|", "Linkage group view", "Individual view",
                                  "draw all linkage groups", "", "|", "groupnr", "prev group", "next group", "|",
                                  "Color drawing", "B&W drawing", "|", "Copy Image to Clipboard",
                                  "Save Image as metafile", "Print drawing", "Settings", "Show Statistics",
                                  "Sort data", "Excel data exchange", "|", "Zoom factor", "|", "Refresh drawing",
                                  "Show Individual No", "Show subset of individuals"};
    EXPECT_EQ(hints, expected);
}

TEST(MainWindowStart, WindowTitleIsTheProgramsOwnWithoutADesktopSuffix)
{
    configureApplication(*qobject_cast<QApplication *>(QCoreApplication::instance()));
    // A display name of its own would be appended to every title by the desktop.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QGuiApplication::applicationName());
    EXPECT_EQ(QLocale().decimalPoint(), QLatin1Char('.'));
    EXPECT_EQ(QGuiApplication::desktopFileName(), "rvk");
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    WindowFixture f;
    EXPECT_EQ(f.window->windowTitle(), "Display RVK 2.0");
}

TEST(MainWindowHelp, WhatsNewOpensTheProgramsFileOrWarns)
{
    WindowFixture f;
    f.window->showWhatsNew();
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Whatsnew.txt not found"});
    EXPECT_TRUE(f.openedUrls.isEmpty());

    f.ui.messages.clear();
    const std::string path = f.folder.write("whatsnew.txt", "news\n");
    f.window->showWhatsNew();
    EXPECT_TRUE(f.ui.messages.empty());
    ASSERT_EQ(f.openedUrls.size(), 1);
    EXPECT_EQ(f.openedUrls[0].toLocalFile().toStdString(), path);
}

} // namespace
} // namespace rvk
