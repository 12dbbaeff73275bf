#include "app/splashwindow.h"
#include "app/workerrun.h"
#include "core/userinterface.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <stdexcept>
#include <thread>

using namespace rvk;

namespace {

// Records the status bar's progress as the window would show it.
class ProgressRecorder : public SilentUserInterface
{
public:
    void setProgress(long long position, long long maximum) override
    {
        last = {position, maximum};
        if (maximum > 0)
            ++shown;
    }
    std::pair<long long, long long> last{-1, -1};
    int shown = 0;
};

// A step that moves until told to stop or until its time runs out (so a fault cannot hang the test).
bool SlowStep(const WorkerProgress &progress, std::chrono::milliseconds length)
{
    const auto end = std::chrono::steady_clock::now() + length;
    for (long long i = 0; std::chrono::steady_clock::now() < end; ++i) {
        if (!progress(i % 100, 100))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace

TEST(WorkerRun, WindowKeepsAnsweringAndTheResultArrivesOnItsThread)
{
    QWidget window;
    ProgressRecorder ui;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    int result = 0;
    std::thread::id stepThread;
    const bool finished = RunOnWorker(&window, QStringLiteral("Working..."), ui, [&](const WorkerProgress &progress) {
        stepThread = std::this_thread::get_id();
        SlowStep(progress, std::chrono::milliseconds(600));
        result = 42;
    });
    EXPECT_TRUE(finished);
    EXPECT_EQ(result, 42);
    EXPECT_NE(stepThread, std::this_thread::get_id());
    // The window's timer went on firing while the step ran, and the status bar followed it.
    EXPECT_GE(ticks, 5);
    EXPECT_GT(ui.shown, 0);
    // Afterwards the status bar's progress is cleared.
    EXPECT_EQ(ui.last, (std::pair<long long, long long>{0, 0}));
}

TEST(WorkerRun, CancelStopsTheStepAndSaysSo)
{
    QWidget window;
    ProgressRecorder ui;
    QTimer::singleShot(150, &window, [&] {
        auto *dialog = window.findChild<QProgressDialog *>();
        ASSERT_NE(dialog, nullptr);
        dialog->cancel();
    });
    bool stepSawCancel = false;
    const auto start = std::chrono::steady_clock::now();
    const bool finished = RunOnWorker(&window, QStringLiteral("Working..."), ui, [&](const WorkerProgress &progress) {
        stepSawCancel = !SlowStep(progress, std::chrono::seconds(20));
    });
    EXPECT_FALSE(finished);
    EXPECT_TRUE(stepSawCancel);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(window.findChild<QProgressDialog *>(), nullptr);
}

TEST(WorkerRun, ProgressDialogIsWideEnoughForItsTitle)
{
    // A window showing a file with a long path: the dialog carries the window's title whole.
    QWidget window;
    window.setWindowTitle(QStringLiteral("Display RVK - /home/someone/field trials/2026/a long folder name/cross.genotypes"));
    window.resize(400, 300);
    window.show();
    ProgressRecorder ui;
    QString title;
    int titleWidth = 0;
    int dialogWidth = 0;
    QTimer::singleShot(700, &window, [&] {
        auto *dialog = window.findChild<QProgressDialog *>();
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        titleWidth = dialog->fontMetrics().horizontalAdvance(title);
        dialogWidth = dialog->isVisible() ? dialog->width() : -1;
        dialog->cancel();
    });
    RunOnWorker(&window, QStringLiteral("Reading genotypes..."), ui,
                [&](const WorkerProgress &progress) { SlowStep(progress, std::chrono::seconds(20)); });
    EXPECT_EQ(title, window.windowTitle());
    EXPECT_GT(titleWidth, 0);
    EXPECT_GE(dialogWidth, titleWidth) << "the title \"" << title.toStdString() << "\" is cut";
}

TEST(WorkerRun, QuickStepsAndFailuresComeBackToTheCaller)
{
    QWidget window;
    SilentUserInterface ui;
    int value = 0;
    EXPECT_TRUE(RunOnWorker(&window, QStringLiteral("Working..."), ui, [&](const WorkerProgress &) { value = 7; }));
    EXPECT_EQ(value, 7);
    EXPECT_THROW(RunOnWorker(&window, QStringLiteral("Working..."), ui,
                             [](const WorkerProgress &) { throw std::runtime_error("bad input"); }),
                 std::runtime_error);
}

// The splash closes itself while a large start file is still being read behind a progress
// dialog; deleting it inside the dialog's loop once crashed window activation on the next event.
TEST(WorkerRun, TheSplashTimingOutDuringARunLeavesTheWindowWorking)
{
    QWidget window;
    window.show();
    SplashWindow splash;
    splash.showCentred();
    ProgressRecorder ui;
    const bool finished = RunOnWorker(&window, QStringLiteral("Reading genotypes..."), ui, [](const WorkerProgress &progress) {
        SlowStep(progress, std::chrono::milliseconds(SplashWindow::ShowMilliseconds + 400));
    });
    EXPECT_TRUE(finished);
    EXPECT_FALSE(splash.isVisible());
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (std::chrono::steady_clock::now() < end)
        QApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
}
