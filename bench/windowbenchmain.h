#pragma once
// The start of the benchmarks that drive the window offscreen.

#include "bench/simulateddata.h"
#include "core/freedmemory.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <functional>

namespace rvk::bench {

// Starts as the program does (one heap for all threads; offscreen unless a platform is named),
// takes the size options, runs the registered benchmarks and calls endSession while the
// application still stands.
inline int runWindowBenchmarks(int argc, char **argv, SimulationParameters &parameters, const std::function<void()> &endSession)
{
    shareOneHeapAcrossThreads();
    takeSizeOptions(argc, argv, parameters);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    endSession();
    return 0;
}

} // namespace rvk::bench
