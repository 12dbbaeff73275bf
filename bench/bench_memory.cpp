// Memory given back when a data set is closed. For each analysis the window (offscreen) opens a
// simulated F2 population written as a data file (1,000 individuals x 10,000 markers in 10
// groups unless told otherwise), runs the analysis through the window's own commands, chooses
// "Close all" and reports resident memory (VmRSS of /proc/self/status):
//   rss_before_MB    before the data set was opened
//   open_rise_MB     the data set open, above rss_before
//   run_rise_MB      after the analysis, above the open data set
//   after_close_MB   after "Close all", above rss_before (what the closed data set left behind)
//   first_after_close_MB  the same for the first round (see measure)
//   run_s            the analysis's time in the window (the trait file's loading included)
//   longest_freeze_s the longest time the window did not answer during the analysis
//
//   build/bench/bench_memory [--individuals N] [--markers N] [benchmark options]
//
// Target: after_close_MB stays within a few MB of 0 for every analysis: what is computed from a
// data set goes with it.
#include "app/association/associationpage.h"
#include "app/coresubsets/coresubsetpanel.h"
#include "app/distances/distancepage.h"
#include "app/ld/ldpage.h"
#include "app/mainwindow.h"
#include "bench/processmemory.h"
#include "bench/simulateddata.h"
#include "bench/windowbenchmain.h"
#include "core/freedmemory.h"
#include "core/genotypedata.h"
#include "core/textformat.h"
#include "core/userinterface.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <random>
#include <string>

namespace {

using rvk::bench::residentMB;

rvk::bench::SimulationParameters parameters = [] {
    rvk::bench::SimulationParameters p;
    p.individuals = 1000;
    p.markers = 10000;
    return p;
}();

void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// Answers every question with Yes (the tree in the program's own viewer, a long LD run) and
// shows messages on the error stream.
class BenchUserInterface : public rvk::SilentUserInterface
{
public:
    void message(MessageKind, const std::string &text) override { std::cerr << text << "\n"; }
    using rvk::SilentUserInterface::question;
    bool question(const std::string &) override { return true; }
};

// The data file and a trait file of three traits for it, written once; the window, made once.
struct Session
{
    Session()
    {
        dataFile = folder.filePath(QStringLiteral("population.rvk")).toStdString();
        rvk::bench::writeSimulatedDataFile(dataFile, parameters);
        traitFile = folder.filePath(QStringLiteral("traits.qua")).toStdString();
        std::ofstream traits(traitFile, std::ios::binary);
        traits << "ntrt=3\nnind=" << parameters.individuals << "\nmiss=-\ntraitnames height yield weight\n";
        std::mt19937 random(7);
        std::normal_distribution<double> noise(50.0, 5.0);
        for (int i = 1; i <= parameters.individuals; ++i)
            traits << "ind" << i << ' ' << rvk::formatText("%2.2f", {noise(random)}) << ' ' << rvk::formatText("%2.2f", {noise(random)})
                   << ' ' << rvk::formatText("%2.2f", {noise(random)}) << '\n';
        traits.close();
        rvk::MainWindowOptions options;
        options.programFolder = folder.path().toStdString() + "/";
        options.settingsFile = folder.filePath(QStringLiteral("rvk.ini")).toStdString();
        window = std::make_unique<rvk::MainWindow>(options, &ui);
    }
    QTemporaryDir folder;
    std::string dataFile;
    std::string traitFile;
    BenchUserInterface ui;
    std::unique_ptr<rvk::MainWindow> window;
};

std::unique_ptr<Session> theSession;

Session &session()
{
    if (!theSession)
        theSession = std::make_unique<Session>();
    return *theSession;
}

// Opens the data set, runs the analysis and closes the data set, twice: the first round also
// pays what the program makes once (a window first shown, the worker threads' memory pools), so
// the figures are those of the second, with what the first left behind beside them.
void measure(benchmark::State &state, const std::function<void(Session &)> &analysis)
{
    Session &s = session();
    double before = 0, opened = 0, ran = 0, closed = 0, firstLeft = 0, seconds = 0, longestFreeze = 0;
    for (auto _ : state) {
        for (int round = 0; round < 2; ++round) {
            settle();
            before = residentMB();
            s.window->openDataFiles({QString::fromStdString(s.dataFile)});
            settle();
            opened = residentMB();
            const auto start = std::chrono::steady_clock::now();
            // A timer pinging the window: the longest gap between its ticks is the longest the
            // window did not answer.
            auto lastTick = start;
            QTimer ping;
            ping.setInterval(20);
            QObject::connect(&ping, &QTimer::timeout, [&] {
                const auto now = std::chrono::steady_clock::now();
                longestFreeze = std::max(longestFreeze, std::chrono::duration<double>(now - lastTick).count());
                lastTick = now;
            });
            longestFreeze = 0;
            ping.start();
            analysis(s);
            ping.stop();
            const auto end = std::chrono::steady_clock::now();
            longestFreeze = std::max(longestFreeze, std::chrono::duration<double>(end - lastTick).count());
            seconds = std::chrono::duration<double>(end - start).count();
            settle();
            ran = residentMB();
            s.window->closeAll();
            settle();
            closed = residentMB();
            if (round == 0)
                firstLeft = closed - before;
        }
    }
    state.counters["rss_before_MB"] = before;
    state.counters["open_rise_MB"] = opened - before;
    state.counters["run_rise_MB"] = ran - opened;
    state.counters["after_close_MB"] = closed - before;
    state.counters["first_after_close_MB"] = firstLeft;
    state.counters["run_s"] = seconds;
    state.counters["longest_freeze_s"] = longestFreeze;
}

rvk::AssociationPage &associations(Session &s)
{
    rvk::AssociationPage &page = *rvk::associationPage(*s.window);
    page.loadTraitFile(s.traitFile);
    return page;
}

rvk::DistancePage &distances(Session &s)
{
    auto &page = *dynamic_cast<rvk::DistancePage *>(s.window->pageWidget(rvk::MainWindow::DistancesPage));
    page.setTreeFolders(s.folder.path().toStdString() + "/", s.folder.path().toStdString() + "/");
    return page;
}

void AssociationCorrelation(benchmark::State &state)
{
    measure(state, [](Session &s) { associations(s).calc_assoc_numClick(); });
}
BENCHMARK(AssociationCorrelation)->Unit(benchmark::kMillisecond)->Iterations(1);

void AssociationAnova(benchmark::State &state)
{
    measure(state, [](Session &s) { associations(s).anovabtnClick(); });
}
BENCHMARK(AssociationAnova)->Unit(benchmark::kMillisecond)->Iterations(1);

void DistanceMatrix(benchmark::State &state)
{
    measure(state, [](Session &s) { distances(s).calculate(); });
}
BENCHMARK(DistanceMatrix)->Unit(benchmark::kMillisecond)->Iterations(1);

void NeighbourJoiningTree(benchmark::State &state)
{
    measure(state, [](Session &s) {
        rvk::DistancePage &page = distances(s);
        page.calculate();
        page.buildTree(rvk::TreeMethod::NeighbourJoining);
    });
}
BENCHMARK(NeighbourJoiningTree)->Unit(benchmark::kMillisecond)->Iterations(1);

void CoreSubset(benchmark::State &state)
{
    measure(state, [](Session &s) {
        auto *panel = s.window->findChild<rvk::CoreSubsetPanel *>(QStringLiteral("CoreSubsetPanel"));
        panel->iterativeChoice()->setChecked(true);
        panel->cyclesField()->setValue(2);
        panel->sizeField()->setValue(std::max(2, parameters.individuals / 10));
        panel->selectButton()->click();
    });
}
BENCHMARK(CoreSubset)->Unit(benchmark::kMillisecond)->Iterations(1);

// LD within the first group ("only this group>").
void LinkageDisequilibrium(benchmark::State &state)
{
    measure(state, [](Session &s) {
        if (auto *page = dynamic_cast<rvk::LdPage *>(s.window->pageWidget(rvk::MainWindow::LdPage)))
            page->LDcalcClick();
    });
}
BENCHMARK(LinkageDisequilibrium)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    return rvk::bench::runWindowBenchmarks(argc, argv, parameters, [] { theSession.reset(); });
}
