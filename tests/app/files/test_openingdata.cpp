#include "app/mainwindow.h"
#include "app/qtuserinterface.h"
#include "render/viewpicture.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"
#include "support/windowfixture.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>

#include <filesystem>
#include <memory>

namespace rvk {
namespace {

using test::ScriptedUserInterface;
using test::TempFolder;

// Two groups in one file: such a file enters the recent list.
const std::string TwoGroups = "nchrom=2\nnind=5\npopt=f2\nname=chrA\nnloc=2\nm1 0.0 aabba\nm2 5.0 abbab\n"
                              "name=chrB\nnloc=1\nm3 1.0 bbaab\n";
const std::string OneGroup = "name=chrC\nnloc=2\nnind=5\npopt=f2\nm4 0.0 aabba\nm5 3.0 abbab\n";

// The shared window with the choice of view and the folder its open dialog starts in.
struct Window : test::WindowFixture
{
    explicit Window(const std::string &settingsText = {}) : test::WindowFixture({}, settingsText) {}
    QString checkedMode() const
    {
        for (QRadioButton *button : window->findChildren<QRadioButton *>())
            if (button->isChecked() && button->group() && button->group()->buttons().size() == 4)
                return button->text();
        return {};
    }
    std::string lastOpenStart()
    {
        window->loadRvkData();
        return ui.openStartFolders.empty() ? std::string() : ui.openStartFolders.back();
    }
};

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

// The association plot is its run's picture: data opened afterwards (after "Close all", or added
// to those loaded) show their linkage groups; the other views stay as the user chose them.
TEST(OpeningData, NewDataLeaveTheAssociationPlotForTheLinkageGroupView)
{
    TempFolder data;
    const std::string first = data.write("first.rvk", TwoGroups);
    const std::string second = data.write("second.rvk", OneGroup);
    const struct
    {
        MainWindow::ViewMode before;
        bool closeFirst;
        MainWindow::ViewMode after;
        const char *caption;
    } cases[] = {
        {MainWindow::AssociationMode, true, MainWindow::LinkageGroupMode, "Linkage Group"},
        {MainWindow::AssociationMode, false, MainWindow::LinkageGroupMode, "Linkage Group"},
        {MainWindow::IndividualMode, false, MainWindow::IndividualMode, "Individual"},
        {MainWindow::AllInOneMode, true, MainWindow::AllInOneMode, "All in one"},
    };
    for (const auto &c : cases) {
        Window w;
        w.window->openDataFiles({QString::fromStdString(first)});
        if (c.before == MainWindow::AssociationMode)
            w.window->showAssociationPicture(ViewPicture(31, 17), {"height"});
        else
            w.window->setViewMode(c.before);
        ASSERT_EQ(w.window->viewMode(), c.before);
        if (c.closeFirst)
            w.window->closeAll();
        w.window->openDataFiles({QString::fromStdString(second)});
        const std::string label = std::string(c.caption) + (c.closeFirst ? " after Close all" : " adding a file");
        EXPECT_EQ(w.window->viewMode(), c.after) << label;
        EXPECT_EQ(w.checkedMode().toStdString(), c.caption) << label;
        // A picture of the data is shown, not the association plot nor nothing.
        EXPECT_NE(w.window->viewPicture().width(), 31) << label;
        EXPECT_GT(w.window->viewPicture().height(), 17) << label;
        EXPECT_EQ(w.window->pages()->currentIndex(), MainWindow::ImagePageIndex) << label;
        EXPECT_TRUE(w.ui.messages.empty()) << label;
    }
}

// A file opened by a name relative to the working folder (a command-line argument) is kept in
// the recent list and the caption by its full path, so the entry still opens from anywhere.
TEST(OpeningData, TheRecentListKeepsFullPaths)
{
    TempFolder data;
    const std::string file = data.write("two.rvk", TwoGroups);
    const QString full = QFileInfo(QString::fromStdString(file)).absoluteFilePath();
    const QString working = QDir::currentPath();
    Window w;
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(data.path().string())));
    w.window->openDataFiles({QStringLiteral("two.rvk")});
    QDir::setCurrent(working);
    EXPECT_EQ(w.window->recentFiles().entry(0), full.toStdString());
    EXPECT_EQ(w.window->windowTitle(), QStringLiteral("Display RVK - ") + full);
    // The entry opens after the working folder changed.
    w.window->closeAll();
    w.window->openRecent(0);
    EXPECT_EQ(w.window->data().GroupCount(), 2);
}

// Open dialogs start in the folder of the data opened last, also in a later run; at the first
// start (the settings name the program's own folder) in the user's documents folder.
TEST(OpeningData, OpenDialogsStartInTheFolderOfTheData)
{
    TempFolder data;
    const std::string file = data.write("one.rvk", OneGroup);
    const std::string dataFolder = QFileInfo(QString::fromStdString(data.path().string())).absoluteFilePath().toStdString();
    {
        Window first;
        EXPECT_EQ(first.lastOpenStart(), documentsFolder().toStdString()) << "first start";
        first.window->loadSettingsFrom();
        EXPECT_EQ(first.ui.openStartFolders.back(), documentsFolder().toStdString()) << "settings without data";
        // Opened by a drop, the command line or the recent list alike.
        first.window->openDataFiles({QString::fromStdString(file)});
        EXPECT_EQ(first.lastOpenStart(), dataFolder) << "after opening";
    }
    // A later run: the settings keep the folder.
    Window later("[path]\ncurrent=" + dataFolder + "/\n");
    EXPECT_EQ(later.lastOpenStart(), dataFolder) << "a later run";
}

// The window's dialogs: a dialog whose caller names no folder starts in the folder the window
// gives, and a bare default name of a save dialog lies there.
TEST(OpeningData, FileDialogsWithoutAFolderStartInTheDataFolder)
{
    TempFolder data;
    const QString folder = QFileInfo(QString::fromStdString(data.path().string())).absoluteFilePath();
    TempFolder other;
    const QString otherFolder = QFileInfo(QString::fromStdString(other.path().string())).absoluteFilePath();
    QtUserInterface ui;
    ui.setStartFolder([&] { return folder; });

    QString shownFolder, shownFile;
    auto answer = [&] {
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            shownFolder = dialog->directory().absolutePath();
            const QStringList selected = dialog->selectedFiles();
            shownFile = selected.isEmpty() ? QString() : selected.first();
            dialog->reject();
        });
    };
    answer();
    EXPECT_TRUE(ui.openFileNames("Open", "RVK file (*.rvk)|*.rvk", "", false).empty());
    EXPECT_EQ(shownFolder, folder) << "open, no folder named";
    answer();
    ui.openFileNames("Open", "RVK file (*.rvk)|*.rvk", otherFolder.toStdString(), true);
    EXPECT_EQ(shownFolder, otherFolder) << "open, a folder named";
    answer();
    EXPECT_EQ(ui.saveFileName("Save", "text file|*.txt", "recodelog.txt"), "");
    EXPECT_EQ(shownFolder, folder) << "save, a bare name";
    EXPECT_EQ(shownFile, folder + "/recodelog.txt");
    answer();
    ui.saveFileName("Save", "text file|*.txt", (otherFolder + "/list.txt").toStdString());
    EXPECT_EQ(shownFolder, otherFolder) << "save, a full path";
}

} // namespace
} // namespace rvk
