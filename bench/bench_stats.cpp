// Global statistics per individual and marker statistics over a large F2 population built in
// memory: 3,000 individuals x 50,000 markers in 10 groups of 150 cM, with recombination along
// each group, 1 % missing scores and 0.1 % scoring errors (which show up as singletons).
//
//   build/bench/bench_stats [--individuals N] [--markers N] [benchmark options]
//
// Target: each statistics run, report text included, finishes in under two seconds.
#include "bench/simulateddata.h"
#include "core/genotypedata.h"
#include "settings/alleletable.h"
#include "settings/generaloptions.h"
#include "stats/globalstatistics.h"
#include "stats/markerstatistics.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

rvk::bench::SimulationParameters parameters = [] {
    rvk::bench::SimulationParameters p;
    p.missingCode = 'U';
    p.errorShare = 0.001;
    p.seed = 12345;
    return p;
}();

rvk::GenotypeData &population() { return rvk::bench::sharedPopulation(parameters); }

rvk::AlleleTable usedTable()
{
    rvk::AlleleTable table;
    table.clearUsed();
    for (char code : {'A', 'B', 'H', 'U'})
        table.markUsed(code);
    return table;
}

void GlobalStatistics(benchmark::State &state)
{
    const rvk::GenotypeData &data = population();
    const rvk::AlleleTable table = usedTable();
    const rvk::GeneralOptions options;
    size_t bytes = 0;
    int singletons = 0;
    for (auto _ : state) {
        const rvk::GlobalStatistics statistics = rvk::computeGlobalStatistics(data, table, options);
        const std::string report = statistics.reportText();
        bytes = report.size();
        singletons = statistics.singletonCount();
        benchmark::DoNotOptimize(report.data());
    }
    state.counters["report_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
    state.counters["singletons"] = singletons;
}

void MarkerStatistics(benchmark::State &state)
{
    rvk::GenotypeData &data = population();
    const rvk::AlleleTable table = usedTable();
    data.Selectionyesno = state.range(0) != 0;
    // Filtering on: every second individual is ticked.
    for (int i = 0; i < data.nind; ++i)
        data.Ticked[static_cast<size_t>(i)] = !data.Selectionyesno || i % 2 == 0;
    size_t bytes = 0;
    for (auto _ : state) {
        const rvk::MarkerStatistics statistics = rvk::refreshMajorAlleles(data, table);
        const std::string report = statistics.reportText();
        bytes = report.size();
        benchmark::DoNotOptimize(report.data());
    }
    data.Selectionyesno = false;
    state.counters["report_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// The all-in-one view's silent run: counts and major alleles only.
void MajorAlleleRefresh(benchmark::State &state)
{
    rvk::GenotypeData &data = population();
    const rvk::AlleleTable table = usedTable();
    for (auto _ : state)
        benchmark::DoNotOptimize(rvk::refreshMajorAlleles(data, table).diversity());
}

BENCHMARK(GlobalStatistics)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(MarkerStatistics)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(MajorAlleleRefresh)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    rvk::bench::takeSizeOptions(argc, argv, parameters);
    parameters.individuals = std::max(1, parameters.individuals);
    parameters.markers = std::max(parameters.groups * 2, parameters.markers);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
