#pragma once
// The main window as the window tests drive it: one fixture instead of a copy in every test file.

#include "app/mainwindow.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QMenuBar>
#include <QSpinBox>
#include <QTabWidget>

#include <memory>
#include <string>

namespace rvk::test {

// Data files of five F2 individuals: one group each, two groups in one file, and a group whose
// second record cannot be read.
inline std::string groupFile(const std::string &name, const std::string &records, int nloc)
{
    return "name=" + name + "\nnloc=" + std::to_string(nloc) + "\nnind=5\npopt=f2\n" + records;
}
inline const std::string Chr1 = groupFile("Chr 1", "m1 0.0 aabba\nm2 5.0 abbab\nm3 10.0 bbaab\n", 3);
inline const std::string Chr2 = groupFile("chr2", "m4 2.0 aaaaa\nm5 1.0 bbbbb\n", 2);
// The second record's continuation line starts with a character that is no genotype code.
inline const std::string Broken = groupFile("chr9", "m6 0.0 aabba\nm7 1.0 ab\n#bab\n", 2);
inline const std::string TwoGroupFile = "nchrom=2\nnind=5\npopt=f2\nname=chrA\nnloc=2\nm1 0.0 aabba\nm2 5.0 abbab\n"
                                        "name=chrB\nnloc=1\nm3 1.0 bbaab\n";

// A window over a scratch folder of its own: its program folder and default settings file
// ("rvk.ini", written first from settingsText when given) live there; messages, questions and
// file choices go to the script, and web pages and documents it opens are only recorded.
struct WindowFixture
{
    explicit WindowFixture(const QStringList &startFiles = {}, const std::string &settingsText = {})
    {
        if (!settingsText.empty())
            folder.write("rvk.ini", settingsText);
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

    // Writes a data file into the folder and opens it as a drop or the dialog would.
    void open(const std::string &name, const std::string &text)
    {
        window->openDataFiles({QString::fromStdString(folder.write(name, text))});
    }

    // Carries out a command through its first menu entry or tool button, which must be enabled.
    void trigger(const QString &caption) const
    {
        const QList<QAction *> actions = window->commandActions(caption);
        ASSERT_FALSE(actions.isEmpty()) << caption.toStdString();
        ASSERT_TRUE(actions.first()->isEnabled()) << caption.toStdString();
        actions.first()->trigger();
    }

    // A menu entry by its path of captions, "  &File  /&Close all".
    QAction *menuCommand(const QString &path) const
    {
        QList<QAction *> actions = window->menuBar()->actions();
        QAction *found = nullptr;
        for (const QString &part : path.split(QLatin1Char('/'))) {
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

    void activate()
    {
        QEvent activation(QEvent::WindowActivate);
        QApplication::sendEvent(window.get(), &activation);
    }

    QStringList groupItems() const
    {
        QStringList items;
        for (int i = 0; i < window->groupSelector()->count(); ++i)
            items.append(window->groupSelector()->itemText(i));
        return items;
    }

    QSpinBox *field(const char *name) const { return window->findChild<QSpinBox *>(QString::fromLatin1(name)); }

    bool dataPagesEnabled() const
    {
        QTabWidget *pages = window->pages();
        return pages->isTabEnabled(MainWindow::DataViewPage) && pages->isTabEnabled(MainWindow::MarkerSelectionPage)
               && pages->isTabEnabled(MainWindow::SelectionResultsPage);
    }

    bool lastMessageIs(const std::string &text) const { return !ui.messages.empty() && ui.messages.back().text == text; }

    TempFolder folder;
    ScriptedUserInterface ui;
    std::unique_ptr<MainWindow> window;
    QList<QUrl> openedUrls;
};

} // namespace rvk::test
