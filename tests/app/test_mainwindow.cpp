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

std::string groupFile(const std::string &name, const std::string &records, int nloc)
{
    return "name=" + name + "\nnloc=" + std::to_string(nloc) + "\nnind=5\npopt=f2\n" + records;
}

const std::string Chr1 = groupFile("Chr 1", "m1 0.0 aabba\nm2 5.0 abbab\nm3 10.0 bbaab\n", 3);
const std::string Chr2 = groupFile("chr2", "m4 2.0 aaaaa\nm5 1.0 bbbbb\n", 2);
// The second record's continuation line starts with a character that is no genotype code.
const std::string Broken = groupFile("chr9", "m6 0.0 aabba\nm7 1.0 ab\n#bab\n", 2);
const std::string TwoGroupFile = "nchrom=2\nnind=5\npopt=f2\nname=chrA\nnloc=2\nm1 0.0 aabba\nm2 5.0 abbab\n"
                                 "name=chrB\nnloc=1\nm3 1.0 bbaab\n";

// A window over a scratch folder: its settings file and program folder live there, messages go
// to the script.
struct WindowFixture
{
    explicit WindowFixture(const QStringList &startFiles = {})
    {
        MainWindowOptions options;
        options.startFiles = startFiles;
        options.programFolder = folder.path().string() + "/";
        options.settingsFile = folder.file("rvk.ini");
        window = std::make_unique<MainWindow>(options, &ui);
        window->setUrlOpener([this](const QUrl &url) {
            openedUrls.append(url);
            return true;
        });
    }

    void activate()
    {
        QEvent activation(QEvent::WindowActivate);
        QApplication::sendEvent(window.get(), &activation);
    }

    DataLoader &loader() const { return window->loader(); }

    QStringList groupItems() const
    {
        QStringList items;
        for (int i = 0; i < window->groupSelector()->count(); ++i)
            items.append(window->groupSelector()->itemText(i));
        return items;
    }

    QSpinBox *field(const char *name) const { return window->findChild<QSpinBox *>(QString::fromLatin1(name)); }

    QAction *menuCommand(const QString &path) const
    {
        const QStringList parts = path.split(QLatin1Char('/'));
        QList<QAction *> actions = window->menuBar()->actions();
        QAction *found = nullptr;
        for (const QString &part : parts) {
            found = nullptr;
            for (QAction *action : actions)
                if (action->text() == part)
                    found = action;
            if (!found)
                return nullptr;
            if (found->menu())
                actions = found->menu()->actions();
        }
        return found;
    }

    bool dataPagesEnabled() const
    {
        QTabWidget *pages = window->pages();
        return pages->isTabEnabled(MainWindow::DataViewPage) && pages->isTabEnabled(MainWindow::MarkerSelectionPage)
               && pages->isTabEnabled(MainWindow::SelectionResultsPage);
    }

    TempFolder folder;
    ScriptedUserInterface ui;
    std::unique_ptr<MainWindow> window;
    QList<QUrl> openedUrls;
};

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

TEST(MainWindowOpen, CommandLineFilesOpenTogetherAtTheFirstActivationOnly)
{
    WindowFixture f;
    const QString a = QString::fromStdString(f.folder.write("a.rvk", Chr1));
    const QString b = QString::fromStdString(f.folder.write("b.rvk", Chr2));
    WindowFixture started({a, b});
    EXPECT_EQ(started.groupItems(), QStringList{"no data"}) << "nothing is read before the window is active";
    EXPECT_FALSE(started.dataPagesEnabled());

    started.activate();
    EXPECT_EQ(started.groupItems(), (QStringList{"1: chr1", "2: chr2"}));
    EXPECT_EQ(started.window->groupSelector()->currentIndex(), 0);
    EXPECT_TRUE(started.window->groupSelector()->isEnabled());
    EXPECT_EQ(started.window->statusText(0), "5 individuals/ 3 loci/ Pop:f2");
    EXPECT_EQ(started.field("SpinEdit2")->maximum(), 5);
    EXPECT_EQ(started.field("SpinEdit2")->value(), 5);
    EXPECT_TRUE(started.dataPagesEnabled());
    EXPECT_EQ(started.window->windowTitle(), "Display RVK 2.0") << "several files leave the caption";
    EXPECT_TRUE(started.ui.messages.empty());

    started.activate();
    EXPECT_EQ(started.window->data().GroupCount(), 2) << "a later activation opens nothing";
}

TEST(MainWindowOpen, CommandLineFilesOpenOnceWhenTheShownWindowIsNeverActivated)
{
    WindowFixture f;
    const QString a = QString::fromStdString(f.folder.write("a.rvk", Chr1));
    WindowFixture started({a});
    started.window->show();
    QEventLoop settle;
    QTimer::singleShot(800, &settle, &QEventLoop::quit);
    settle.exec();
    EXPECT_EQ(started.groupItems(), QStringList{"1: chr1"});
    started.activate();
    EXPECT_EQ(started.window->data().GroupCount(), 1);
}

TEST(MainWindowOpen, MalformedSecondFileIsReportedAndTheFirstGroupStays)
{
    WindowFixture f;
    const std::string a = f.folder.write("a.rvk", Chr1);
    const std::string bad = f.folder.write("bad.rvk", Broken);
    const std::string c = f.folder.write("c.rvk", Chr2);
    f.ui.openChoices.push_back({a, bad, c});
    f.window->loadRvkData();

    const auto texts = f.ui.texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), DataLoader::fileFailedMessage(bad));
    EXPECT_EQ(f.groupItems(), QStringList{"1: chr1"}) << "the third file is not read";
    EXPECT_FALSE(f.window->groupSelector()->isEnabled()) << "one group left: nothing to choose";
    EXPECT_EQ(f.window->statusText(0), "5 individuals/ 3 loci/ Pop:f2");
}

TEST(MainWindowOpen, OpenDialogAddsGroupsAndCancelDoesNothing)
{
    WindowFixture f;
    f.window->loadRvkData(); // no answer in the script: cancelled
    EXPECT_EQ(f.groupItems(), QStringList{"no data"});
    f.ui.openChoices.push_back({f.folder.write("a.rvk", Chr1)});
    f.window->loadRvkData();
    f.ui.openChoices.push_back({f.folder.write("b.rvk", Chr2)});
    f.window->loadRvkData();
    EXPECT_EQ(f.groupItems(), (QStringList{"1: chr1", "2: chr2"}));
    EXPECT_EQ(f.window->pages()->currentIndex(), MainWindow::ImagePageIndex);
    EXPECT_TRUE(f.ui.messages.empty());
}

TEST(MainWindowOpen, MultiGroupFileSetsCaptionAndRecentList)
{
    WindowFixture f;
    const std::string path = f.folder.write("two.rvk", TwoGroupFile);
    f.ui.openChoices.push_back({path});
    f.window->loadRvkData();
    EXPECT_EQ(f.groupItems(), (QStringList{"1: chra", "2: chrb"}));
    EXPECT_EQ(f.window->windowTitle(), QString::fromStdString("Display RVK - " + path));
    const QAction *recent = f.menuCommand("  &File  /&Recently opened");
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(recent->menu()->actions().at(0)->text(), QString::fromStdString(path));
    EXPECT_EQ(f.window->recentFiles().entry(0), path);
    IniFile stored(f.folder.file("rvk.ini"));
    ASSERT_TRUE(stored.load());
    EXPECT_EQ(stored.readString("recent", "1", ""), path);

    // A single-group file leaves the list as it is.
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    EXPECT_EQ(f.window->recentFiles().entry(0), path);
}

TEST(MainWindowOpen, SettingsFileBesideTheDataTakesEffect)
{
    WindowFixture f;
    DisplaySettings stored(f.folder.path().string() + "/");
    stored.selected = {true, false, true};
    stored.alleles.setColor(codeIndex('a'), rgb(1, 2, 3));
    ASSERT_TRUE(saveSettings(f.folder.file("a.rvs"), stored));
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    EXPECT_EQ(f.window->data().Ticked, (std::vector<char>{1, 0, 1, 1, 1}));
    EXPECT_EQ(f.window->alleles().lookup('a').Color, rgb(1, 2, 3));
    EXPECT_TRUE(f.window->alleles().lookup('a').Used) << "the settings keep what the data use";
    EXPECT_TRUE(f.ui.messages.empty());
}

TEST(MainWindowOpen, RecentEntryResetsFirstAndIgnoresMissingFiles)
{
    WindowFixture f;
    const std::string two = f.folder.write("two.rvk", TwoGroupFile);
    f.window->openDataFiles({QString::fromStdString(two)});
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    ASSERT_EQ(f.window->data().GroupCount(), 3);

    f.window->openRecent(0);
    EXPECT_EQ(f.groupItems(), (QStringList{"1: chra", "2: chrb"})) << "reset first, then opened";

    // Entry 1 names the default example file, which is not there.
    f.window->openRecent(1);
    EXPECT_EQ(f.window->data().GroupCount(), 2);
    EXPECT_TRUE(f.ui.messages.empty());
}

TEST(MainWindowOpen, PlatformFileFromTheOpenDialogGetsItsImportChoices)
{
    WindowFixture f;
    const std::string vcf = f.folder.write(
        "panel.vcf", "##fileformat=VCFv4.2\n##FORMAT=<ID=GT,Number=1,Type=String,Description=\"G\">\n"
                     "#CHROM\tPOS\tID\tREF\tALT\tQUAL\tFILTER\tINFO\tFORMAT\ts1\ts2\n"
                     "1\t100\tm1\tA\tG\t.\t.\t.\tGT\t0/0\t1/1\n2\t100\tm2\tA\tG\t.\t.\t.\tGT\t0/1\t1/1\n");
    // The person picks the file, then chooses chromosome 2 only in the import dialog.
    QString asked;
    f.window->setPlatformOptionsChooser([&asked](const QString &path) {
        asked = path;
        PlatformImportOptions options;
        options.region = "2";
        return std::optional<PlatformImportOptions>(options);
    });
    f.ui.openChoices = {{vcf}};
    f.window->loadRvkData();
    EXPECT_EQ(asked.toStdString(), vcf);
    ASSERT_EQ(f.window->data().GroupCount(), 1);
    EXPECT_EQ(f.window->data().GroupName(0), "2");
    EXPECT_EQ(f.window->windowTitle().toStdString(), "Display RVK - " + vcf);
    EXPECT_TRUE(f.loader().platformOptions() == PlatformImportOptions{}) << "the choices were for that import only";

    // Dropped or named at start, the file is read whole; a cancelled dialog opens nothing.
    f.window->setPlatformOptionsChooser([](const QString &) { return std::optional<PlatformImportOptions>(); });
    f.ui.openChoices = {{vcf}};
    f.window->loadRvkData();
    EXPECT_EQ(f.window->data().GroupCount(), 1);
    f.window->openDataFiles({QString::fromStdString(vcf)});
    EXPECT_EQ(f.window->data().GroupCount(), 3);
}

TEST(MainWindowOpen, DroppedFilesOpenInTheirOrder)
{
    WindowFixture f;
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(f.folder.write("b.rvk", Chr2))),
                  QUrl::fromLocalFile(QString::fromStdString(f.folder.write("a.rvk", Chr1)))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.window.get(), &drop);
    EXPECT_EQ(f.groupItems(), (QStringList{"1: chr2", "2: chr1"}));
}

TEST(MainWindowClose, CloseAllEmptiesTheSelectorStatusAndPicture)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1)),
                             QString::fromStdString(f.folder.write("b.rvk", Chr2))});
    ASSERT_TRUE(f.dataPagesEnabled());
    f.field("spinedit1")->setValue(2);
    ASSERT_TRUE(f.window->alleles().lookup('b').Used);

    f.window->closeAll();
    EXPECT_FALSE(f.window->alleles().lookup('b').Used) << "the allele page lists no code of the closed data";
    EXPECT_EQ(f.groupItems(), QStringList{"no data"});
    EXPECT_FALSE(f.window->groupSelector()->isEnabled());
    EXPECT_EQ(f.window->statusText(0), "0 individuals / 0 loci");
    EXPECT_EQ(f.field("spinedit1")->value(), 1);
    EXPECT_EQ(f.field("SpinEdit2")->value(), 1);
    EXPECT_EQ(f.window->data().GroupCount(), 0);
    EXPECT_FALSE(f.window->data().DataLoaded);
    EXPECT_TRUE(f.dataPagesEnabled()) << "a reset leaves the pages enabled";
    const QImage picture = f.window->imagePage()->picture();
    bool grey = false;
    for (int y = 250; y < 290 && !grey; ++y)
        for (int x = 180; x < 480 && !grey; ++x)
            grey = (picture.pixel(x, y) & 0xFFFFFF) == (qRgb(192, 192, 192) & 0xFFFFFF);
    EXPECT_TRUE(grey);

    // Opening again after a reset starts the numbering anew.
    f.window->openDataFiles({QString::fromStdString(f.folder.file("b.rvk"))});
    EXPECT_EQ(f.groupItems(), QStringList{"1: chr2"});
}

TEST(MainWindowView, ModesShowTheirPanelsAndGroupsStep)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1)),
                             QString::fromStdString(f.folder.write("b.rvk", Chr2))});
    auto *tools = f.window->findChild<QToolBar *>(QStringLiteral("ToolBar"));
    QAction *browser = nullptr;
    QAction *range = nullptr;
    for (QAction *action : tools->actions()) {
        if (QWidget *widget = tools->widgetForAction(action)) {
            if (widget->objectName() == "IndividualBrowser")
                browser = action;
            if (widget->objectName() == "RangePanel")
                range = action;
        }
    }
    ASSERT_TRUE(browser && range);

    struct Case
    {
        MainWindow::ViewMode mode;
        bool browserShown;
        bool rangeShown;
    };
    for (const Case c : {Case{MainWindow::IndividualMode, true, false}, Case{MainWindow::AllInOneMode, false, true},
                         Case{MainWindow::LinkageGroupMode, false, true}}) {
        f.window->setViewMode(c.mode);
        EXPECT_EQ(browser->isVisible(), c.browserShown) << c.mode;
        EXPECT_EQ(range->isVisible(), c.rangeShown) << c.mode;
    }

    f.window->nextGroup();
    EXPECT_EQ(f.window->groupSelector()->currentIndex(), 1);
    EXPECT_EQ(f.window->statusText(0), "5 individuals/ 2 loci/ Pop:f2");
    EXPECT_EQ(f.window->data().CurrentGroupName, "chr2");
    f.window->nextGroup();
    EXPECT_EQ(f.window->groupSelector()->currentIndex(), 1) << "no group after the last";
    f.window->previousGroup();
    f.window->previousGroup();
    EXPECT_EQ(f.window->groupSelector()->currentIndex(), 0);

    f.window->setViewMode(MainWindow::IndividualMode);
    EXPECT_EQ(f.window->statusText(1), "1");
    f.window->nextGroup();
    EXPECT_EQ(f.window->data().CurrentIndividual, 2) << "in the individual view the arrows step individuals";
    EXPECT_EQ(f.window->statusText(1), "2");
}

TEST(MainWindowView, IndividualViewWithNobodySelectedFallsBackToLinkageGroups)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    GenotypeData &data = f.window->data();
    data.Selectionyesno = true;
    std::fill(data.Ticked.begin(), data.Ticked.end(), 0);
    f.window->setViewMode(MainWindow::IndividualMode);
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Selection too intense, no plants meet the set criteria"});
    EXPECT_EQ(f.window->viewMode(), MainWindow::LinkageGroupMode);

    // With a later individual ticked, the view moves on to it.
    f.ui.messages.clear();
    data.Ticked[3] = 1;
    data.CurrentIndividual = 1;
    f.window->setViewMode(MainWindow::IndividualMode);
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_EQ(f.window->viewMode(), MainWindow::IndividualMode);
    EXPECT_EQ(data.CurrentIndividual, 4);
}

bool holdsColour(const QImage &image, Rgb colour)
{
    const QRgb wanted = qRgb(redOf(colour), greenOf(colour), blueOf(colour)) & 0xFFFFFF;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == wanted)
                return true;
    return false;
}

TEST(MainWindowView, LoadedGroupIsDrawnOnceIntoTheImagePage)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    LinkageGroupView::Layout layout;
    drawLinkageGroupView(f.window->data(), f.window->alleles(), f.window->drawContext(), &layout);
    const QImage picture = f.window->imagePage()->picture();
    EXPECT_EQ(picture.size(), QSize(layout.width, layout.height));
    const Rgb colourA = f.window->alleles().lookup('a').Color;
    EXPECT_TRUE(holdsColour(picture, colourA)) << "bars in the colour of allele a";

    f.window->setColorMode(DrawingOptions::ColorMode::BlackAndWhite);
    EXPECT_TRUE(f.window->displaySettings().drawing.blackAndWhite());
    EXPECT_FALSE(holdsColour(f.window->imagePage()->picture(), colourA));
}

TEST(MainWindowView, ZoomMenuSetsTheFactorStatusAndPictureSize)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    const int width100 = f.window->imagePage()->picture().width();
    auto *menu = f.window->findChild<QMenu *>(QStringLiteral("ZoomMenu"));
    ASSERT_NE(menu, nullptr);
    QStringList entries;
    for (QAction *action : menu->actions())
        entries.append(action->text());
    EXPECT_EQ(entries, (QStringList{"10%", "20%", "50%", "100%", "200%", "500%", "1000%", "2000%"}));

    struct Case
    {
        int tag;
        double factor;
        QString status;
    };
    for (const Case &c : {Case{5, 0.5, "Zoom: 50%"}, Case{1, 0.1, "Zoom: 10%"}, Case{200, 20.0, "Zoom: 2000%"},
                          Case{20, 2.0, "Zoom: 200%"}}) {
        f.window->zoomTo(c.tag);
        EXPECT_DOUBLE_EQ(f.window->zoomFactor(), c.factor);
        EXPECT_EQ(f.window->statusText(3), c.status);
    }
    LinkageGroupView::Layout layout;
    drawLinkageGroupView(f.window->data(), f.window->alleles(), f.window->drawContext(), &layout);
    EXPECT_EQ(f.window->imagePage()->picture().size(), QSize(layout.width, layout.height)) << "drawn at 200 %";
    EXPECT_GT(layout.width, width100);
    EXPECT_EQ(f.window->imagePage()->picture().width(), f.window->viewPicture().width());
}

TEST(MainWindowView, AllInOneModeDrawsTheWholeGenome)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1)),
                             QString::fromStdString(f.folder.write("b.rvk", Chr2))});
    f.window->setViewMode(MainWindow::AllInOneMode);
    AllInOneView::Layout layout;
    drawAllInOneView(f.window->data(), f.window->alleles(), f.window->drawContext(),
                     f.window->imagePage()->viewport()->width(), &layout);
    EXPECT_TRUE(layout.drawable);
    EXPECT_EQ(f.window->imagePage()->picture().size(), QSize(layout.width, layout.height));
    EXPECT_EQ(f.window->data().GroupLoci(0)[0].MajorAllele, 'a') << "major alleles refreshed for the consensus row";
}

TEST(MainWindowView, PointerNamesIndividualsAndOpensThemAt100Percent)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    LinkageGroupView::Layout layout;
    drawLinkageGroupView(f.window->data(), f.window->alleles(), f.window->drawContext(), &layout);
    const DrawingOptions &options = f.window->displaySettings().drawing;
    const int third = layout.markSpace + 2 * (options.barwidth + options.space) + 1;

    f.window->pointerMovedOnPicture(QPoint(third, 50));
    EXPECT_EQ(f.window->statusText(1), "[3] 3");
    EXPECT_EQ(f.window->imagePage()->pictureHint().toStdString(), DetailedViewHint);

    f.window->pointerClickedOnPicture(QPoint(third, 50), Qt::RightButton);
    EXPECT_EQ(f.window->viewMode(), MainWindow::IndividualMode);
    EXPECT_EQ(f.window->data().CurrentIndividual, 3);
    f.window->pointerClickedOnPicture(QPoint(10, 10), Qt::RightButton);
    EXPECT_EQ(f.window->viewMode(), MainWindow::LinkageGroupMode);

    f.window->zoomTo(20);
    const QString before = f.window->statusText(1);
    f.window->pointerMovedOnPicture(QPoint(layout.markSpace + 1, 50));
    EXPECT_EQ(f.window->statusText(1), before) << "at 200 % the pointer names nobody";
}

TEST(MainWindowView, IndividualFieldStepsAndTakesTypedNumbers)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    f.window->setViewMode(MainWindow::IndividualMode);
    f.window->enterIndividual("5");
    EXPECT_EQ(f.window->data().CurrentIndividual, 5);
    EXPECT_EQ(f.window->statusText(1), "5");
    f.window->stepIndividual(StepDirection::Up);
    EXPECT_EQ(f.window->data().CurrentIndividual, 5) << "nothing after the last";
    f.window->enterIndividual("9");
    EXPECT_EQ(f.window->data().CurrentIndividual, 5) << "out of range: unchanged";
    f.window->data().Ticked[3] = 0;
    f.window->stepIndividual(StepDirection::Down);
    EXPECT_EQ(f.window->data().CurrentIndividual, 3) << "unticked individuals are skipped";
}

TEST(MainWindowPicture, FilesClipboardAndPrinterGetTheDrawing)
{
    WindowFixture f;
    f.window->saveImageAsMetafile();
    f.window->saveImageAsJpeg();
    EXPECT_TRUE(f.ui.messages.empty()) << "without a drawing nothing is asked";

    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    // The metafile command writes a metafile; a name that asks for JPEG gets JPEG.
    f.ui.saveChoices = {f.folder.file("picture.emf"), f.folder.file("photo"), f.folder.file("chosen.jpg")};
    f.window->saveImageAsMetafile();
    const std::string emf = test::readWholeFile(f.folder.file("picture.emf"));
    ASSERT_GT(emf.size(), 44u);
    EXPECT_EQ(emf.substr(40, 4), " EMF");
    f.window->saveImageAsJpeg();
    const std::string jpeg = test::readWholeFile(f.folder.file("photo.jpg"));
    ASSERT_GT(jpeg.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(jpeg[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(jpeg[1]), 0xD8);
    f.window->saveImageAsMetafile();
    EXPECT_EQ(test::readWholeFile(f.folder.file("chosen.jpg")).substr(0, 2), "\xFF\xD8");
    // The dialogs also offer SVG, PDF and PNG, chosen by the name's extension.
    f.ui.saveChoices = {f.folder.file("drawing.svg"), f.folder.file("drawing.pdf"), f.folder.file("drawing.png")};
    f.window->saveImageAsMetafile();
    f.window->saveImageAsJpeg();
    f.window->saveImageAsMetafile();
    EXPECT_NE(test::readWholeFile(f.folder.file("drawing.svg")).find("<svg"), std::string::npos);
    EXPECT_EQ(test::readWholeFile(f.folder.file("drawing.pdf")).substr(0, 5), "%PDF-");
    EXPECT_EQ(QImage(QString::fromStdString(f.folder.file("drawing.png"))).size(), f.window->imagePage()->picture().size());
    EXPECT_TRUE(f.ui.messages.empty());

    const QString previous = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(f.folder.path().string()));
    f.window->copyImageToClipboard();
    QDir::setCurrent(previous);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(f.folder.file(ClipboardMetafileName))));
    EXPECT_EQ(QApplication::clipboard()->image().size(), f.window->imagePage()->picture().size());
    const QMimeData *copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->data(QStringLiteral("image/emf")).startsWith(QByteArray("\x01\x00\x00\x00", 4)));
    EXPECT_TRUE(copied->data(QStringLiteral("image/svg+xml")).contains("<svg"));

    const QImage onScreen = f.window->imagePage()->picture();
    const std::string pdf = f.folder.file("print.pdf");
    {
        QPdfWriter writer(QString::fromStdString(pdf));
        f.window->printTo(writer);
    }
    EXPECT_GT(test::readWholeFile(pdf).size(), 500u);
    EXPECT_EQ(f.window->imagePage()->picture(), onScreen) << "the screen picture comes back after printing";
}

TEST(MainWindowPicture, WithoutAPrinterPrintingGoesToAPdfFile)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "this machine has a printer";
    WindowFixture f;
    QPrinter &printer = f.window->printer();
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_TRUE(printer.outputFileName().endsWith(QStringLiteral("rvk-print.pdf")));
}

TEST(MainWindowPicture, PreviewPageCutsTheCurrentPicture)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    f.window->pages()->setCurrentIndex(MainWindow::PrintPreviewPageIndex);
    PrintPreviewPage *preview = f.window->previewPage();
    const ViewPicture &picture = f.window->viewPicture();
    const QSize area = f.window->imagePage()->viewport()->size();
    EXPECT_GE(picture.width(), area.width()) << "raised to the image area";
    EXPECT_GE(picture.height(), area.height());
    EXPECT_EQ(preview->orientation(), PageOrientation::Landscape);
    const PrintPreview expected = layoutPrintPreview(picture.width(), picture.height(), PageOrientation::Landscape);
    EXPECT_EQ(preview->preview().pages, expected.pages);
    EXPECT_EQ(preview->findChild<QLabel *>("pagecnt")->text().toStdString(),
              pageCountText(static_cast<int>(expected.pages.size())));

    preview->setOrientation(PageOrientation::Portrait);
    EXPECT_EQ(preview->preview().pages,
              layoutPrintPreview(picture.width(), picture.height(), PageOrientation::Portrait).pages);

    const std::string pdf = f.folder.file("preview.pdf");
    {
        QPdfWriter writer(QString::fromStdString(pdf));
        std::string error;
        EXPECT_TRUE(preview->printPages(writer, error)) << error;
    }
    EXPECT_GT(test::readWholeFile(pdf).size(), 500u);
}

// Lets the window's queued work (the redraw after a resize) run.
void processEventsFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(MainWindowPicture, PreviewShowsTheDataAsTheyAreNow)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    const QImage before = renderPictureToImage(f.window->viewPicture());
    // Rewritten on another page, as "Sort !" does, without visiting the image page.
    f.window->pages()->setCurrentIndex(MainWindow::DataViewPage);
    for (auto &locus : f.window->data().LinkageGroups.front()->Loci)
        std::reverse(locus.Genotypes.begin(), locus.Genotypes.end());
    f.window->pages()->setCurrentIndex(MainWindow::PrintPreviewPageIndex);
    const QImage previewed = renderPictureToImage(f.window->viewPicture());
    const QImage current = renderPictureToImage(
        drawLinkageGroupView(f.window->data(), f.window->alleles(), f.window->drawContext()));
    EXPECT_NE(previewed, before);
    EXPECT_EQ(previewed.copy(QRect(QPoint(0, 0), current.size())), current);
}

TEST(MainWindowView, PictureFollowsTheWindowSize)
{
    WindowFixture f;
    f.window->resize(800, 500);
    f.window->show();
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    processEventsFor(300);
    const int smallHeight = f.window->imagePage()->picture().height();
    f.window->resize(1000, 900); // maximised
    processEventsFor(300);
    const ViewPicture expected = drawLinkageGroupView(f.window->data(), f.window->alleles(), f.window->drawContext());
    EXPECT_GT(f.window->imagePage()->picture().height(), smallHeight);
    EXPECT_EQ(f.window->imagePage()->picture().size(), QSize(expected.width(), expected.height()));
}

TEST(MainWindowView, AutosizeShowsTheMeasuredSpaceAndAllInOneTurnsThePreview)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    ASSERT_TRUE(f.window->drawingOptionsPage()->options().autosize);
    LinkageGroupView::Layout layout;
    drawLinkageGroupView(f.window->data(), f.window->alleles(), f.window->drawContext(), &layout);
    EXPECT_EQ(f.field("markspace")->value(), DrawingOptions::markspaceRange.clamp(layout.markSpace));
    EXPECT_NE(layout.markSpace, 100) << "the fixture must measure something other than the default";

    f.window->previewPage()->setOrientation(PageOrientation::Portrait);
    f.window->setViewMode(MainWindow::AllInOneMode);
    const ViewPicture &picture = f.window->viewPicture();
    ASSERT_LT(picture.height(), picture.width());
    EXPECT_EQ(f.window->previewPage()->orientation(), PageOrientation::Landscape);
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

TEST(MainWindowView, RefreshWithoutDataOnlyShowsTheImagePage)
{
    WindowFixture f;
    f.window->pages()->setCurrentIndex(MainWindow::SettingsPage);
    const QImage before = f.window->imagePage()->picture();
    f.window->redrawbtnClick();
    EXPECT_EQ(f.window->pages()->currentIndex(), MainWindow::ImagePageIndex);
    EXPECT_EQ(f.window->imagePage()->picture(), before);
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

TEST(MainWindowSettings, RecentListIsStoredOnCloseAndReadAtStart)
{
    TempFolder shared;
    const std::string path = shared.write("two.rvk", TwoGroupFile);
    {
        WindowFixture f;
        MainWindowOptions options;
        options.programFolder = shared.path().string() + "/";
        options.settingsFile = shared.file("rvk.ini");
        MainWindow window(options, &f.ui);
        window.openDataFiles({QString::fromStdString(path)});
        window.close();
        EXPECT_TRUE(f.ui.messages.empty());
    }
    ScriptedUserInterface ui;
    MainWindowOptions options;
    options.programFolder = shared.path().string() + "/";
    options.settingsFile = shared.file("rvk.ini");
    MainWindow window(options, &ui);
    EXPECT_EQ(window.recentFiles().entry(0), path);
}

} // namespace
} // namespace rvk
