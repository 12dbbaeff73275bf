#include "app/files/workeropening.h"

#include "app/workerrun.h"
#include "core/deferreduserinterface.h"
#include "core/genotypedata.h"

#include <QString>

namespace rvk {

namespace {
// Thrown through the loader when the person presses "Cancel". It is no std::exception, so the
// loader does not take it for a malformed file: it ends the whole reading.
struct ReadingCancelled
{
};
} // namespace

LoadOutcome OpenDataFilesOnWorker(QWidget *parent, GenotypeData &data, UserInterface &ui,
                                  const std::vector<std::string> &paths, std::string &defaultSettingsName)
{
    GenotypeData staging = data.StagingCopy();
    const int before = staging.GroupCount();
    LoadOutcome outcome;
    const WorkerProgress *workerProgress = nullptr;
    bool stopped = false;
    DeferredUserInterface reading([&](long long position, long long maximum) {
        if (workerProgress && !stopped && !(*workerProgress)(position, maximum)) {
            stopped = true;
            throw ReadingCancelled{};
        }
    });
    std::string settingsName;
    const bool finished = RunOnWorker(parent, QStringLiteral("Reading genotypes..."), ui, [&](const WorkerProgress &progress) {
        workerProgress = &progress;
        DataLoader loader(staging, reading);
        try {
            outcome = loader.OpenFiles(paths);
            settingsName = loader.defaultSettingsName();
        } catch (const ReadingCancelled &) {
        }
        workerProgress = nullptr;
    });
    if (!finished || stopped) {
        LoadOutcome cancelled;
        cancelled.groupsBefore = before;
        cancelled.cancelled = true;
        return cancelled;
    }
    data.TakeLoaded(std::move(staging), before);
    defaultSettingsName = settingsName;
    reading.replay(ui);
    return outcome;
}

} // namespace rvk
