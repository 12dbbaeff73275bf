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
    EXPECT_TRUE(f.window->loader().platformOptions() == PlatformImportOptions{}) << "the choices were for that import only";

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
