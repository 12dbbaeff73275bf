// The windows that show a whole data set, at SNP scale: 3,000 individuals x 50,000 markers in
// 10 groups, 1 % missing scores written "-" (each one a possible singleton, some 1.5 million).
// Each benchmark opens the window offscreen, lets it lay itself out, closes it and reports:
//   open_s           time from the command to the laid-out window
//   data_MB          the genotype texts of the data set
//   rss_before_MB    resident memory before the command
//   peak_rise_MB     the highest resident memory while open, above rss_before
//   after_close_MB   resident memory after closing, above rss_before
// The page "Data Sort, View, Edit" is measured the same way, from showing it with a locus chosen
// to leaving it.
//
//   build/bench/bench_windows [--individuals N] [--markers N] [benchmark options]
//
// Target: each window opens within a second, stays within twice the memory of the data and
// gives it back when closed.
#include "app/dataediting/allelegridmodel.h"
#include "app/dataediting/dataeditpage.h"
#include "app/statistics/globalstatisticswindow.h"
#include "app/dataediting/locustreemodel.h"
#include "app/mainwindow.h"
#include "app/files/spreadsheetexchangewindow.h"
#include "bench/processmemory.h"
#include "bench/simulateddata.h"
#include "bench/windowbenchmain.h"
#include "core/freedmemory.h"
#include "core/genotypedata.h"
#include "stats/globalstatistics.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>


namespace {

using rvk::bench::peakMB;
using rvk::bench::residentMB;
using rvk::bench::resetPeak;

rvk::bench::SimulationParameters parameters;

void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    rvk::returnFreedMemory();
}

// The main window with the simulated population loaded, made once.
struct Session
{
    Session()
    {
        rvk::MainWindowOptions options;
        options.programFolder = folder.path().toStdString() + "/";
        options.settingsFile = folder.filePath(QStringLiteral("rvk.ini")).toStdString();
        window = std::make_unique<rvk::MainWindow>(options);
        window->data() = std::move(*rvk::bench::simulatePopulation(parameters));
        for (int g = 0; g < window->data().GroupCount(); ++g)
            for (const rvk::Tlocinfo &locus : window->data().GroupLoci(g))
                dataBytes += static_cast<double>(locus.Genotypes.size());
    }
    QTemporaryDir folder;
    std::unique_ptr<rvk::MainWindow> window;
    double dataBytes = 0.0;
};

// Made at the first use, ended before the application object.
std::unique_ptr<Session> theSession;

Session &session()
{
    if (!theSession)
        theSession = std::make_unique<Session>();
    return *theSession;
}

struct Figures
{
    double seconds = 0.0;
    double before = 0.0;
    double peak = 0.0;
    double afterClose = 0.0;
};

void report(benchmark::State &state, const Figures &f)
{
    state.counters["open_s"] = f.seconds;
    state.counters["data_MB"] = session().dataBytes / (1024.0 * 1024.0);
    state.counters["rss_before_MB"] = f.before;
    state.counters["peak_rise_MB"] = f.peak - f.before;
    state.counters["after_close_MB"] = f.afterClose - f.before;
}

void GlobalStatisticsWindow(benchmark::State &state)
{
    rvk::MainWindow &window = *session().window;
    auto *shown = window.findChild<rvk::GlobalStatisticsWindow *>();
    if (!shown) {
        state.SkipWithError("no statistics window");
        return;
    }
    Figures f;
    for (auto _ : state) {
        // The analysis alone, for comparison with the whole command.
        {
            const auto start = std::chrono::steady_clock::now();
            const rvk::GlobalStatistics alone = rvk::computeGlobalStatistics(window.data(), window.alleles(), window.generalOptions());
            benchmark::DoNotOptimize(alone.rowCount());
            state.counters["compute_s"] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
        settle();
        f.before = residentMB();
        resetPeak();
        const auto start = std::chrono::steady_clock::now();
        window.commandActions(QStringLiteral("&Global Statistics")).front()->trigger();
        QApplication::processEvents();
        f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        f.peak = peakMB();
        benchmark::DoNotOptimize(shown->statistics().singletonCount());
        state.counters["singletons"] = shown->statistics().singletonCount();
        shown->hide();
        settle();
        f.afterClose = residentMB();
    }
    report(state, f);
}

void GridView(benchmark::State &state)
{
    rvk::MainWindow &window = *session().window;
    auto *exchange = window.findChild<rvk::SpreadsheetExchangeWindow *>();
    if (!exchange) {
        state.SkipWithError("no exchange window");
        return;
    }
    Figures f;
    std::chrono::steady_clock::time_point start;
    // The window is shown and laid out, then closed, as the person would.
    exchange->setModalRunner([&](QDialog &dialog) {
        dialog.show();
        QApplication::processEvents();
        f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        f.peak = peakMB();
        dialog.hide();
    });
    for (auto _ : state) {
        settle();
        f.before = residentMB();
        resetPeak();
        start = std::chrono::steady_clock::now();
        exchange->ShowAsGrid();
        settle();
        f.afterClose = residentMB();
    }
    report(state, f);
}

// The page "Data Sort, View, Edit" shown, a locus of the last group chosen (its allele grid of
// one column per individual), and the page left (every group sorted by position again).
void DataEditPage(benchmark::State &state)
{
    rvk::MainWindow &window = *session().window;
    auto *page = window.findChild<rvk::DataEditPage *>();
    if (!page) {
        state.SkipWithError("no data edit page");
        return;
    }
    Figures f;
    for (auto _ : state) {
        settle();
        f.before = residentMB();
        resetPeak();
        const auto start = std::chrono::steady_clock::now();
        window.showPage(rvk::MainWindow::DataViewPage);
        const int group = window.data().GroupCount() - 1;
        page->chooseNode(page->treeModel()->locusIndex(group, window.data().GroupLocusCount(group) / 2));
        QApplication::processEvents();
        f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        f.peak = peakMB();
        state.counters["grid_columns"] = page->alleleGrid()->columnCount();
        window.showPage(rvk::MainWindow::ImagePageIndex);
        settle();
        f.afterClose = residentMB();
    }
    report(state, f);
}

} // namespace

BENCHMARK(DataEditPage)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(GlobalStatisticsWindow)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(GridView)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char **argv)
{
    return rvk::bench::runWindowBenchmarks(argc, argv, parameters, [] { theSession.reset(); });
}
