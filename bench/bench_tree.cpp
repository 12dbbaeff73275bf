// Trees over a distance matrix of 2,000 entries (simple-matching distances of simulated
// individuals, so rounded to two decimals with many ties), and the cophenetic correlation of
// the tree's 2,000 leaves.
//
//   build/bench/bench_tree [--individuals N] [--markers N] [benchmark options]
//
// Targets: neighbour joining under 2.5 s, UPGMA under 0.2 s, the cophenetic correlation under 2 s.
#include "bench/simulateddata.h"
#include "core/genotypedata.h"
#include "genetics/distancecalculation.h"
#include "genetics/treebuilder.h"
#include "settings/alleletable.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

rvk::bench::SimulationParameters parameters = [] {
    rvk::bench::SimulationParameters p;
    p.individuals = 2000;
    p.markers = 2000;
    p.missingCode = 'U';
    p.seed = 99;
    return p;
}();

const rvk::DistanceMatrix &matrix()
{
    static const rvk::DistanceMatrix m = [] {
        const auto data = rvk::bench::simulatePopulation(parameters);
        return *rvk::CalculateDistances(*data, rvk::AlleleTable(), {});
    }();
    return m;
}

void Tree(benchmark::State &state, rvk::TreeMethod method)
{
    const rvk::DistanceMatrix &m = matrix();
    size_t length = 0;
    for (auto _ : state) {
        const auto tree = rvk::BuildTree(m, method);
        length = tree->newick.size();
        benchmark::DoNotOptimize(tree->newick.data());
    }
    state.counters["entries"] = m.size();
    state.counters["newick_kB"] = static_cast<double>(length) / 1024.0;
}

BENCHMARK_CAPTURE(Tree, NeighbourJoining, rvk::TreeMethod::NeighbourJoining)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(Tree, Upgma, rvk::TreeMethod::Upgma)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    rvk::bench::takeSizeOptions(argc, argv, parameters);
    parameters.individuals = std::max(3, parameters.individuals);
    parameters.markers = std::max(parameters.groups * 2, parameters.markers);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
