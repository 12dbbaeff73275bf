// Opening a large multi-group data file, beside a plain byte-counting pass over the same bytes.
//
//   build/bench/bench_open [--individuals N] [--markers N] [benchmark options]
//
// Targets: opening runs at no less than a quarter of the plain pass's speed, and the peak
// memory of the process stays below twice the number of genotype codes plus 100 MB.
#include "bench/simulateddata.h"
#include "core/dataloader.h"
#include "core/freedmemory.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

rvk::bench::SimulationParameters parameters;
std::string dataFile;

// The yardstick: one pass over the file's bytes counting line ends, the least any text parser
// must do.
__attribute__((noinline)) long long countLines(const std::string &path, long long &bytes)
{
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return -1;
    std::vector<char> buffer(1 << 20);
    long long lines = 0;
    bytes = 0;
    for (;;) {
        const size_t n = std::fread(buffer.data(), 1, buffer.size(), file);
        if (n == 0)
            break;
        bytes += static_cast<long long>(n);
        for (size_t i = 0; i < n; ++i)
            lines += buffer[i] == '\n';
    }
    std::fclose(file);
    return lines;
}

void PlainBytePass(benchmark::State &state)
{
    long long bytes = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(countLines(dataFile, bytes));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void OpenDataFile(benchmark::State &state)
{
    rvk::SilentUserInterface ui;
    long long groups = 0;
    for (auto _ : state) {
        rvk::GenotypeData data;
        rvk::DataLoader loader(data, ui);
        const rvk::LoadOutcome outcome = loader.OpenFiles({dataFile});
        if (!outcome.completed)
            state.SkipWithError("the file could not be read");
        groups = data.GroupCount();
    }
    const double codes = static_cast<double>(parameters.individuals) * parameters.markers;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(std::filesystem::file_size(dataFile)));
    state.counters["groups"] = static_cast<double>(groups);
    state.counters["peak_MB"] = peakMegabytes();
    state.counters["budget_MB"] = 2.0 * codes / (1024.0 * 1024.0) + 100.0;
}

// The window reads files on a worker thread, allocating from the one heap all threads share.
void OpenDataFileOnAWorkerThread(benchmark::State &state)
{
    for (auto _ : state) {
        bool completed = false;
        std::thread worker([&] {
            rvk::SilentUserInterface ui;
            rvk::GenotypeData data;
            rvk::DataLoader loader(data, ui);
            completed = loader.OpenFiles({dataFile}).completed;
        });
        worker.join();
        if (!completed)
            state.SkipWithError("the file could not be read");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(std::filesystem::file_size(dataFile)));
}

} // namespace

int main(int argc, char **argv)
{
    rvk::shareOneHeapAcrossThreads(); // as the window does
    rvk::bench::takeSizeOptions(argc, argv, parameters);
    dataFile = (std::filesystem::temp_directory_path()
                / ("rvk-bench-" + std::to_string(parameters.individuals) + "x" + std::to_string(parameters.markers) + ".rvk"))
                   .string();
    if (!std::filesystem::exists(dataFile)) {
        std::fprintf(stderr, "writing %s ...\n", dataFile.c_str());
        if (rvk::bench::writeSimulatedDataFile(dataFile, parameters) < 0) {
            std::fprintf(stderr, "cannot write %s\n", dataFile.c_str());
            return 1;
        }
    }
    // The memory figure is the process's peak, so the open runs first and alone.
    benchmark::RegisterBenchmark("OpenDataFile", OpenDataFile)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("OpenDataFileOnAWorkerThread", OpenDataFileOnAWorkerThread)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
    benchmark::RegisterBenchmark("PlainBytePass", PlainBytePass)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
