// Sorting the individuals of a large data set on all markers, and undoing the sort.
//
//   build/bench/bench_sort [--individuals N] [--markers N] [benchmark options]
//
// Targets: each step takes less than two seconds for 3,000 individuals x 50,000 markers.
#include "bench/simulateddata.h"
#include "core/genotypedata.h"
#include "core/userinterface.h"
#include "selection/individualsort.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// An F2-like population, 2 % of the scores missing.
rvk::bench::SimulationParameters parameters = [] {
    rvk::bench::SimulationParameters p;
    p.codes = "ahb";
    p.missingShare = 0.02;
    p.seed = 11;
    return p;
}();

rvk::GenotypeData &dataSet()
{
    static std::unique_ptr<rvk::GenotypeData> data = rvk::bench::simulatePopulation(parameters);
    return *data;
}

void SortOnAllMarkers(benchmark::State &state)
{
    rvk::GenotypeData &data = dataSet();
    rvk::SilentUserInterface ui;
    for (auto _ : state) {
        const rvk::SortOutcome outcome = rvk::IndividualSort::sortIndividuals(data, rvk::SortRequest::allMarkers(), ui);
        benchmark::DoNotOptimize(outcome.sorted);
        state.PauseTiming();
        rvk::IndividualSort::sortIndividuals(data, rvk::SortRequest::undo(), ui);
        state.ResumeTiming();
    }
    state.counters["codes"] = static_cast<double>(data.nind) * static_cast<double>(data.TotalLocusCount());
}

void UndoSort(benchmark::State &state)
{
    rvk::GenotypeData &data = dataSet();
    rvk::SilentUserInterface ui;
    for (auto _ : state) {
        state.PauseTiming();
        rvk::IndividualSort::sortIndividuals(data, rvk::SortRequest::allMarkers(), ui);
        state.ResumeTiming();
        const rvk::SortOutcome outcome = rvk::IndividualSort::sortIndividuals(data, rvk::SortRequest::undo(), ui);
        benchmark::DoNotOptimize(outcome.sorted);
    }
}

BENCHMARK(SortOnAllMarkers)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(UndoSort)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    rvk::bench::takeSizeOptions(argc, argv, parameters);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
