// Core-subset selection with the default settings of the page, the data copy and the start
// set's reference value included.
//
//   build/bench/bench_coresubset [benchmark options]
//
// Targets: simulated annealing choosing 100 of 3,000 individuals x 50,000 markers in under 5 s;
// iterative optimisation choosing 30 of 300 individuals x 5,000 markers in under 10 s.
#include "bench/simulateddata.h"
#include "core/genotypedata.h"
#include "core/userinterface.h"
#include "selection/coresubsetrandom.h"
#include "selection/coresubsetsearch.h"
#include "selection/diversitycounter.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

rvk::GenotypeData &population(int individuals, int markers)
{
    static std::unique_ptr<rvk::GenotypeData> large, small;
    std::unique_ptr<rvk::GenotypeData> &data = individuals >= 3000 ? large : small;
    if (!data) {
        rvk::bench::SimulationParameters p;
        p.individuals = individuals;
        p.markers = markers;
        p.codes = "ahb";
        p.missingShare = 0.01;
        p.seed = 5;
        data = rvk::bench::simulatePopulation(p);
    }
    return *data;
}

void search(benchmark::State &state, rvk::GenotypeData &data, const rvk::CoreSubsetSettings &settings)
{
    rvk::SilentUserInterface ui;
    rvk::CoreSubsetObserver observer;
    const rvk::Subset start(data.Ticked.begin(), data.Ticked.end());
    const rvk::Subset fixed(data.Locked.begin(), data.Locked.end());
    std::uint64_t seed = 1;
    size_t logLines = 0;
    double value = 0;
    for (auto _ : state) {
        rvk::CoreSubsetRandom random(seed++);
        rvk::SelectionTexts texts;
        const rvk::CoreSubsetOutcome outcome = runCoreSubsetSearch(data, start, fixed, settings, random, texts, observer, ui);
        logLines = texts.Memo2.size();
        value = outcome.value;
        benchmark::DoNotOptimize(outcome.subset.data());
    }
    state.counters["value"] = value;
    state.counters["log lines"] = static_cast<double>(logLines);
}

void Annealing100Of3000x50000(benchmark::State &state)
{
    rvk::CoreSubsetSettings settings; // annealing, 100 cycles, 50 -> 100 steps, cooling 90 %
    settings.subpopsize = 100;
    search(state, population(3000, 50000), settings);
}

void Iterative30Of300x5000(benchmark::State &state)
{
    rvk::CoreSubsetSettings settings; // 100 runs of at most 50 iterations, 20 repeats
    settings.method = rvk::CoreSubsetSettings::Method::Iterative;
    settings.subpopsize = 30;
    search(state, population(300, 5000), settings);
}

// The parts of a search's set-up: the compact copy of the genotypes, and the counts of a start
// set of all 3,000 individuals.
void CopyGenotypes3000x50000(benchmark::State &state)
{
    rvk::GenotypeData &data = population(3000, 50000);
    for (auto _ : state) {
        rvk::DiversityData compact;
        benchmark::DoNotOptimize(compact.build(data, nullptr));
    }
}

void CountStartSet3000x50000(benchmark::State &state)
{
    rvk::GenotypeData &data = population(3000, 50000);
    rvk::DiversityData compact;
    compact.build(data, nullptr);
    rvk::CoreSubsetRandom random(1);
    rvk::DiversityCounter counter(compact, rvk::DiversityCriterion::DiversitySum, random);
    const rvk::Subset everyone(data.Ticked.begin(), data.Ticked.end());
    for (auto _ : state) {
        counter.assign(everyone);
        benchmark::DoNotOptimize(counter.value());
    }
}

// One look-ahead swap of a 100-member subset.
void SwapLookAhead3000x50000(benchmark::State &state)
{
    rvk::GenotypeData &data = population(3000, 50000);
    rvk::DiversityData compact;
    compact.build(data, nullptr);
    rvk::CoreSubsetRandom random(1);
    rvk::DiversityCounter counter(compact, rvk::DiversityCriterion::DiversitySum, random);
    rvk::Subset subset(static_cast<size_t>(data.nind), 0);
    for (int i = 0; i < 100; ++i)
        subset[static_cast<size_t>(i * 30)] = 1;
    counter.assign(subset);
    int in = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(counter.valueSwapped(0, in));
        in = in % 29 + 1;
    }
}

BENCHMARK(CopyGenotypes3000x50000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(CountStartSet3000x50000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SwapLookAhead3000x50000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Annealing100Of3000x50000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Iterative30Of300x5000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
