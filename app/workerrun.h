#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace rvk {

class UserInterface;

// Reports how far a long step is (done out of total) and answers whether it may go on: false
// once the person has pressed "Cancel". Called on the worker thread.
using WorkerProgress = std::function<bool(long long done, long long total)>;

// Runs a long step of the logic on a worker thread while the window's event loop keeps running:
// the window repaints and answers, a window-modal progress dialog (shown after a fraction of a
// second) and the status bar's progress bar follow the step, and "Cancel" asks it to stop.
// Returns when the step has ended, on the window's thread, so the caller takes its result there.
// True when the step ran to its end; false when it was cancelled (the caller then keeps what it
// showed before). An exception thrown by the step is thrown again here.
bool RunOnWorker(QWidget *parent, const QString &label, UserInterface &ui,
                 const std::function<void(const WorkerProgress &progress)> &step);

} // namespace rvk
