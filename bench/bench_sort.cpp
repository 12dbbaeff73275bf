// Sorting the individuals of a large data set on all markers, and undoing the sort.
//
//   build/bench/bench_sort [--individuals N] [--markers N] [benchmark options]
//
// Targets: each step takes less than two seconds for 3,000 individuals x 50,000 markers.
#include "core/genotypedata.h"
#include "core/userinterface.h"
#include "selection/individualsort.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

int individuals = 3000;
int markers = 50000;
constexpr int Groups = 10;
constexpr double GroupLength = 150.0;

// An F2-like population built in memory: along each group every individual's two chromosomes
// switch parent at random with the map distance, so neighbouring markers agree as in real data.
rvk::GenotypeData &dataSet()
{
    static rvk::GenotypeData data;
    if (data.nind > 0)
        return data;
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    data.nind = individuals;
    data.popt = "f2";
    const int perGroup = markers / Groups;
    for (int g = 0; g < Groups; ++g) {
        rvk::LinkageGroup group;
        group.Name = "chr" + std::to_string(g + 1);
        group.PopType = data.popt;
        std::vector<char> first(static_cast<size_t>(individuals)), second(static_cast<size_t>(individuals));
        for (int i = 0; i < individuals; ++i) {
            first[static_cast<size_t>(i)] = uniform(random) < 0.5;
            second[static_cast<size_t>(i)] = uniform(random) < 0.5;
        }
        const int count = g + 1 == Groups ? markers - perGroup * (Groups - 1) : perGroup;
        const double step = GroupLength / count;
        for (int l = 0; l < count; ++l) {
            rvk::Tlocinfo locus;
            locus.Name = "m" + std::to_string(g) + "_" + std::to_string(l);
            locus.Position = l * step;
            locus.Genotypes.resize(static_cast<size_t>(individuals));
            const double switchChance = step / 100.0;
            for (int i = 0; i < individuals; ++i) {
                char &a = first[static_cast<size_t>(i)];
                char &b = second[static_cast<size_t>(i)];
                if (uniform(random) < switchChance)
                    a = !a;
                if (uniform(random) < switchChance)
                    b = !b;
                const double missing = uniform(random);
                locus.Genotypes[static_cast<size_t>(i)] = missing < 0.02 ? '-' : (a && b ? 'a' : (!a && !b ? 'b' : 'h'));
            }
            group.Loci.push_back(std::move(locus));
        }
        data.AppendGroup(std::move(group));
    }
    for (int i = 1; i <= individuals; ++i) {
        data.IndividualNames.push_back("ind" + std::to_string(i));
        data.IndividualNumbers.push_back(i);
    }
    data.DataLoaded = true;
    data.TickAll();
    return data;
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

// Takes --individuals N and --markers N away from the arguments before the library sees them.
void readOwnOptions(int &argc, char **argv)
{
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (i + 1 < argc && std::strcmp(argv[i], "--individuals") == 0) {
            individuals = std::atoi(argv[++i]);
        } else if (i + 1 < argc && std::strcmp(argv[i], "--markers") == 0) {
            markers = std::atoi(argv[++i]);
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
}

} // namespace

int main(int argc, char **argv)
{
    readOwnOptions(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
