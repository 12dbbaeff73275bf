// Simple-matching distances between the individuals of a large F2 population built in memory:
// 3,000 individuals x 50,000 markers in 10 groups, 1 % missing scores (4.5 million pairs).
//
//   build/bench/bench_distance [--individuals N] [--markers N] [benchmark options]
//
// Target: the whole matrix in under 8 s on one core.
#include "bench/simulateddata.h"
#include "core/genotypedata.h"
#include "genetics/distancecalculation.h"
#include "settings/alleletable.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

rvk::bench::SimulationParameters parameters = [] {
    rvk::bench::SimulationParameters p;
    p.missingCode = 'U';
    p.seed = 4321;
    return p;
}();

rvk::GenotypeData &population() { return rvk::bench::sharedPopulation(parameters); }

void Distances(benchmark::State &state, rvk::DistanceCoefficient coefficient)
{
    const rvk::GenotypeData &data = population();
    const rvk::AlleleTable alleles;
    double sample = 0;
    for (auto _ : state) {
        const auto matrix = rvk::CalculateDistances(data, alleles, {coefficient, rvk::DistanceEntries::Genotypes});
        sample = matrix->value(0, matrix->size() - 1);
        benchmark::DoNotOptimize(sample);
    }
    state.counters["pairs_M"] = static_cast<double>(data.nind) * (data.nind - 1) / 2 / 1e6;
}

BENCHMARK_CAPTURE(Distances, AlleleSharing, rvk::DistanceCoefficient::AlleleSharing)
    ->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(Distances, Jaccard, rvk::DistanceCoefficient::Jaccard)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(Distances, Euclidean, rvk::DistanceCoefficient::Euclidean)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    rvk::bench::takeSizeOptions(argc, argv, parameters);
    parameters.individuals = std::max(2, parameters.individuals);
    parameters.markers = std::max(parameters.groups * 2, parameters.markers);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
