#include "app/workerrun.h"

#include "core/userinterface.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

namespace rvk {

bool RunOnWorker(QWidget *parent, const QString &label, UserInterface &ui,
                 const std::function<void(const WorkerProgress &progress)> &step)
{
    std::atomic<long long> done{0};
    std::atomic<long long> total{0};
    std::atomic<bool> cancelled{false};
    std::atomic<bool> finished{false};
    std::exception_ptr failure;

    QProgressDialog dialog(label, QStringLiteral("Cancel"), 0, 100, parent);
    dialog.setWindowModality(Qt::WindowModal);
    // The dialog carries the window's title (the file shown) and is wide enough for all of it,
    // with room for the title bar's icon and buttons.
    const QString title = parent ? parent->window()->windowTitle() : QGuiApplication::applicationDisplayName();
    dialog.setWindowTitle(title);
    dialog.setMinimumWidth(std::max(dialog.sizeHint().width(), dialog.fontMetrics().horizontalAdvance(title) + 160));
    dialog.setMinimumDuration(300);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    dialog.setValue(0);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&cancelled] { cancelled = true; });

    QEventLoop loop;
    // The progress bars follow the step a few times a second; the worker only writes two numbers.
    QTimer poll;
    poll.setInterval(100);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (dialog.wasCanceled())
            cancelled = true;
        const long long t = total.load();
        const long long d = std::min(done.load(), t);
        if (t > 0) {
            long long scale = 1;
            while (t / scale > 1'000'000'000)
                scale *= 10;
            if (!dialog.wasCanceled()) {
                dialog.setMaximum(static_cast<int>(t / scale));
                dialog.setValue(static_cast<int>(d / scale));
            }
            ui.setProgress(d, t);
        }
        if (finished.load())
            loop.quit();
    });
    poll.start();

    std::thread worker([&] {
        try {
            step([&](long long d, long long t) {
                done = d;
                total = t;
                return !cancelled.load();
            });
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    // The step may end before the loop starts: the queued quit above then ends it at once.
    if (!finished.load())
        loop.exec();
    while (!finished.load()) // a quit from elsewhere (application closing) still waits for the step
        loop.exec();
    worker.join();
    poll.stop();
    dialog.reset();
    ui.setProgress(0, 0);
    if (failure)
        std::rethrow_exception(failure);
    return !cancelled.load();
}

} // namespace rvk
