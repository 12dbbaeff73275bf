#include "app/mainwindow.h"
#include "core/dataloader.h"
#include "core/genotypedata.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QProgressDialog>
#include <QTimer>

#include <memory>
#include <string>

namespace rvk {
namespace {

using test::ScriptedUserInterface;
using test::TempFolder;

struct Window
{
    Window()
    {
        MainWindowOptions options;
        options.programFolder = program.path().string() + "/";
        options.settingsFile = program.file("rvk.ini");
        window = std::make_unique<MainWindow>(options, &ui);
    }
    TempFolder program;
    ScriptedUserInterface ui;
    std::unique_ptr<MainWindow> window;
};

// A multi-group file of groups x loci x individuals with codes that differ between loci.
std::string multiGroupFile(int groups, int loci, int individuals)
{
    std::string text = "nchrom=" + std::to_string(groups) + "\nnind=" + std::to_string(individuals) + "\npopt=f2\n";
    for (int g = 0; g < groups; ++g) {
        text += "name=g" + std::to_string(g + 1) + "\nnloc=" + std::to_string(loci) + "\n";
        for (int l = 0; l < loci; ++l) {
            text += "m" + std::to_string(g) + "_" + std::to_string(l) + " " + std::to_string(loci - l) + ".5 ";
            for (int i = 0; i < individuals; ++i)
                text += "ABH-"[(i * 5 + l * 3 + g) % 4];
            text += "\n";
        }
    }
    return text;
}

void expectSameData(const GenotypeData &shown, const GenotypeData &read)
{
    EXPECT_EQ(shown.nind, read.nind);
    EXPECT_EQ(shown.popt, read.popt);
    EXPECT_EQ(shown.IndividualNames, read.IndividualNames);
    ASSERT_EQ(shown.GroupCount(), read.GroupCount());
    for (int k = 0; k < shown.GroupCount(); ++k) {
        EXPECT_EQ(shown.GroupName(k), read.GroupName(k));
        EXPECT_EQ(shown.GroupFileName(k), read.GroupFileName(k));
        ASSERT_EQ(shown.GroupLocusCount(k), read.GroupLocusCount(k));
        for (int l = 0; l < shown.GroupLocusCount(k); ++l) {
            const Tlocinfo &a = shown.GroupLoci(k)[static_cast<size_t>(l)];
            const Tlocinfo &b = read.GroupLoci(k)[static_cast<size_t>(l)];
            EXPECT_EQ(a.Name, b.Name);
            EXPECT_EQ(a.Position, b.Position);
            EXPECT_EQ(a.Genotypes, b.Genotypes);
        }
    }
}

} // namespace

// The window reads data files on a worker into a copy of the data set and takes the groups over
// at the end: what it then holds is what the loader reads from the same files, also where files
// are added to data already open and where a file fails part-way.
TEST(WorkerOpening, TheWindowHoldsWhatTheLoaderReads)
{
    TempFolder data;
    const std::string multi = data.write("multi.rvk", multiGroupFile(3, 40, 7));
    const std::string single = data.write("single.rvk", "name=chrC\nnloc=2\nnind=7\npopt=f2\nm4 3.0 AABBAHH\nm5 1.0 ABBABAB\n");
    const std::string broken = data.write("broken.rvk", "name=chrD\nnloc=2\nnind=7\npopt=f2\nm6 0.0 AABBAHH\n#7 1.0\n");
    const struct
    {
        const char *what;
        std::vector<std::vector<std::string>> opens;
    } cases[] = {
        {"a multi-group file", {{multi}}},
        {"a file added to one open", {{single}, {multi}}},
        {"two files at once, the second broken", {{single, broken}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Window w;
        GenotypeData read;
        ScriptedUserInterface loaderUi;
        DataLoader loader(read, loaderUi);
        for (const auto &paths : c.opens) {
            QStringList list;
            for (const std::string &path : paths)
                list << QString::fromStdString(path);
            w.window->openDataFiles(list);
            loader.OpenFiles(paths);
        }
        expectSameData(w.window->data(), read);
        // The loader's messages reach the window's interface, in their order.
        EXPECT_EQ(w.ui.texts(), loaderUi.texts());
        EXPECT_EQ(w.window->groupSelector()->count(), read.GroupCount());
    }
}

// "Cancel" on the reading's progress dialog stops it and leaves the data shown before, untouched.
TEST(WorkerOpening, CancelKeepsTheDataShownBefore)
{
    TempFolder data;
    const std::string first = data.write("first.rvk", "name=chrC\nnloc=2\nnind=500\npopt=f2\nm4 3.0 " + std::string(500, 'A')
                                                          + "\nm5 1.0 " + std::string(500, 'B') + "\n");
    // Large enough that the reading is still going when the dialog's Cancel is pressed.
    const std::string large = data.write("large.rvk", multiGroupFile(20, 2000, 500));
    Window w;
    w.window->openDataFiles({QString::fromStdString(first)});
    ASSERT_EQ(w.window->data().GroupCount(), 1);
    const std::string title = w.window->windowTitle().toStdString();

    bool cancelPressed = false;
    QTimer::singleShot(0, w.window.get(), [&] {
        if (auto *dialog = w.window->findChild<QProgressDialog *>()) {
            dialog->cancel();
            cancelPressed = true;
        }
    });
    w.window->openDataFiles({QString::fromStdString(large)});
    ASSERT_TRUE(cancelPressed);
    const GenotypeData &shown = w.window->data();
    ASSERT_EQ(shown.GroupCount(), 1);
    EXPECT_EQ(shown.GroupName(0), "chrc");
    EXPECT_EQ(shown.nind, 500);
    EXPECT_EQ(shown.GroupLoci(0)[0].Genotypes, std::string(500, 'B'));
    EXPECT_EQ(shown.IndividualNames.size(), 500u);
    EXPECT_EQ(w.window->groupSelector()->count(), 1);
    EXPECT_EQ(w.window->windowTitle().toStdString(), title);
    EXPECT_TRUE(w.ui.messages.empty());

    // The data stay usable: the file opens in full afterwards.
    w.window->openDataFiles({QString::fromStdString(large)});
    EXPECT_EQ(w.window->data().GroupCount(), 21);
}

} // namespace rvk
