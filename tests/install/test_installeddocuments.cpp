// The program's own files in an installed tree: settings in the user's folder, the manual and
// the list of changes found beside the program or in <prefix>/share/rvk/, from any folder.
#include "app/mainwindow.h"
#include "settings/programpaths.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QUrl>

#include <filesystem>
#include <memory>

namespace rvk {
namespace {

using test::ScriptedUserInterface;
using test::TempFolder;

// <scratch>/usr/bin/ and, when installed, <scratch>/usr/share/rvk/.
struct Tree
{
    explicit Tree(bool installed)
    {
        std::filesystem::create_directories(bin());
        if (installed)
            std::filesystem::create_directories(data());
    }
    std::string bin() const { return folder.path().string() + "/usr/bin/"; }
    std::string data() const { return folder.path().string() + "/usr/share/rvk/"; }
    std::string config() const { return folder.path().string() + "/home/.config/rvk/"; }
    std::string put(const std::string &where, const std::string &name) const
    {
        std::filesystem::create_directories(where);
        const std::string path = where + name;
        FILE *file = std::fopen(path.c_str(), "w");
        std::fputs("x\n", file);
        std::fclose(file);
        return path;
    }
    TempFolder folder;
};

TEST(InstalledProgram, IsKnownByItsDataFolderBesideBin)
{
    const Tree installed(true);
    EXPECT_EQ(installedDataDirectory(installed.bin()), installed.data());
    // Without the trailing slash too.
    EXPECT_EQ(installedDataDirectory(installed.bin().substr(0, installed.bin().size() - 1)), installed.data());

    const Tree build(false);
    EXPECT_EQ(installedDataDirectory(build.bin()), "");
    // A folder with share/rvk/ beside it that is not bin/ is a program folder of its own.
    const Tree other(true);
    std::filesystem::create_directories(other.folder.path() / "usr" / "tools");
    EXPECT_EQ(installedDataDirectory(other.folder.path().string() + "/usr/tools/"), "");
    EXPECT_EQ(installedDataDirectory(""), "");
}

TEST(InstalledProgram, KeepsItsSettingsInTheUsersFolderEvenWhenBinIsWritable)
{
    // The scratch bin/ is writable, as /usr/bin is for root: an installed program still keeps
    // rvk.ini out of it.
    const Tree installed(true);
    EXPECT_EQ(defaultSettingsFilePath(installed.bin(), installed.config()), installed.config() + "rvk.ini");
    EXPECT_TRUE(std::filesystem::is_directory(installed.config()));

    // A program in a folder of its own keeps them beside itself.
    const Tree build(false);
    EXPECT_EQ(defaultSettingsFilePath(build.bin(), build.config()), build.bin() + "rvk.ini");
}

TEST(InstalledProgram, FindsItsDocumentsBesideItselfFirstThenInTheDataFolder)
{
    const Tree tree(true);
    EXPECT_EQ(programDocumentPath(tree.bin(), "rvkmanual.pdf"), "");
    const std::string installed = tree.put(tree.data(), "rvkmanual.pdf");
    EXPECT_EQ(programDocumentPath(tree.bin(), "rvkmanual.pdf"), installed);
    const std::string beside = tree.put(tree.bin(), "rvkmanual.pdf");
    EXPECT_EQ(programDocumentPath(tree.bin(), "rvkmanual.pdf"), beside);
    // A folder of that name is no document.
    std::filesystem::create_directories(tree.data() + "whatsnew.txt");
    EXPECT_EQ(programDocumentPath(tree.bin(), "whatsnew.txt"), "");
}

// A main window of a program in tree.bin(), started from an empty current folder.
struct HelpFixture
{
    explicit HelpFixture(const Tree &tree) : previous(QDir::currentPath())
    {
        std::filesystem::create_directories(start.path());
        QDir::setCurrent(QString::fromStdString(start.path().string()));
        MainWindowOptions options;
        options.programFolder = tree.bin();
        options.settingsFile = start.file("settings.ini");
        window = std::make_unique<MainWindow>(options, &ui);
        window->setUrlOpener([this](const QUrl &url) {
            opened.push_back(url.toLocalFile().toStdString());
            return true;
        });
    }
    ~HelpFixture() { QDir::setCurrent(previous); }

    QString previous;
    TempFolder start;
    ScriptedUserInterface ui;
    std::unique_ptr<MainWindow> window;
    std::vector<std::string> opened;
};

TEST(InstalledProgram, ManualOpensFromTheCurrentFolderElseBesideOrInstalled)
{
    const Tree tree(true);
    HelpFixture f(tree);
    // Missing everywhere: nothing opens and nothing is said.
    f.window->showManual();
    EXPECT_TRUE(f.opened.empty());
    EXPECT_TRUE(f.ui.messages.empty());

    const std::string installed = tree.put(tree.data(), "rvkmanual.pdf");
    f.window->showManual();
    ASSERT_EQ(f.opened.size(), 1u);
    EXPECT_EQ(f.opened.back(), installed);

    const std::string beside = tree.put(tree.bin(), "rvkmanual.pdf");
    f.window->showManual();
    EXPECT_EQ(f.opened.back(), beside);

    const std::string here = f.start.write("rvkmanual.pdf", "x\n");
    f.window->showManual();
    EXPECT_EQ(std::filesystem::canonical(f.opened.back()), std::filesystem::canonical(here));
    EXPECT_TRUE(f.ui.messages.empty());
}

TEST(InstalledProgram, WhatsNewOpensTheInstalledListOrWarns)
{
    const Tree tree(true);
    HelpFixture f(tree);
    f.window->showWhatsNew();
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Whatsnew.txt not found"});
    EXPECT_TRUE(f.opened.empty());

    f.ui.messages.clear();
    // The current folder does not count for this one.
    f.start.write("whatsnew.txt", "x\n");
    f.window->showWhatsNew();
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Whatsnew.txt not found"});

    f.ui.messages.clear();
    const std::string installed = tree.put(tree.data(), "whatsnew.txt");
    f.window->showWhatsNew();
    EXPECT_TRUE(f.ui.messages.empty());
    ASSERT_EQ(f.opened.size(), 1u);
    EXPECT_EQ(f.opened.back(), installed);
}

} // namespace
} // namespace rvk
