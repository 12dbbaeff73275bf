// Global statistics per individual and marker statistics over a large F2 population built in
// memory: 3,000 individuals x 50,000 markers in 10 groups of 150 cM, with recombination along
// each group, 1 % missing scores and 0.1 % scoring errors (which show up as singletons).
//
//   build/bench/bench_stats [--individuals N] [--markers N] [benchmark options]
//
// Target: each statistics run, report text included, finishes in under two seconds.
#include "core/genotypedata.h"
#include "settings/alleletable.h"
#include "settings/generaloptions.h"
#include "stats/globalstatistics.h"
#include "stats/markerstatistics.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int individuals = 3000;
int markers = 50000;
constexpr int Groups = 10;
constexpr double GroupLength = 150.0;

// A small, fast generator; the data only need to look like a population, not pass tests.
struct SplitMix
{
    std::uint64_t state;
    std::uint64_t next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
};

// Each individual carries two gametes along each group; a gamete switches parent with the
// chance of a crossover over the marker interval. Written locus by locus, as stored.
rvk::GenotypeData &population()
{
    static rvk::GenotypeData data = [] {
        rvk::GenotypeData d;
        d.popt = "f2";
        d.nind = individuals;
        SplitMix random{12345};
        const int perGroup = markers / Groups;
        std::vector<std::uint8_t> gamete1(static_cast<size_t>(individuals));
        std::vector<std::uint8_t> gamete2(static_cast<size_t>(individuals));
        for (int g = 0; g < Groups; ++g) {
            rvk::LinkageGroup group;
            group.Name = "chr" + std::to_string(g + 1);
            group.PopType = "f2";
            group.Loci.resize(static_cast<size_t>(perGroup));
            const double step = GroupLength / (perGroup - 1);
            const double crossover = step / 100.0;
            for (int i = 0; i < individuals; ++i) {
                gamete1[static_cast<size_t>(i)] = random.next() & 1;
                gamete2[static_cast<size_t>(i)] = random.next() & 1;
            }
            for (int k = 0; k < perGroup; ++k) {
                rvk::Tlocinfo &locus = group.Loci[static_cast<size_t>(k)];
                locus.Name = "c" + std::to_string(g + 1) + "m" + std::to_string(k + 1);
                locus.Position = k * step;
                locus.Genotypes.resize(static_cast<size_t>(individuals));
                char *codes = locus.Genotypes.data();
                for (int i = 0; i < individuals; ++i) {
                    if (k > 0) {
                        if (random.uniform() < crossover)
                            gamete1[static_cast<size_t>(i)] ^= 1;
                        if (random.uniform() < crossover)
                            gamete2[static_cast<size_t>(i)] ^= 1;
                    }
                    const int sum = gamete1[static_cast<size_t>(i)] + gamete2[static_cast<size_t>(i)];
                    char code = sum == 0 ? 'A' : (sum == 1 ? 'H' : 'B');
                    const double noise = random.uniform();
                    if (noise < 0.01)
                        code = 'U';
                    else if (noise < 0.011)
                        code = "AHB"[random.next() % 3];
                    codes[i] = code;
                }
            }
            d.AppendGroup(std::move(group));
        }
        for (int i = 0; i < individuals; ++i) {
            d.IndividualNames.push_back("F2-" + std::to_string(i + 1));
            d.IndividualNumbers.push_back(i + 1);
        }
        d.TickAll();
        d.DataLoaded = true;
        return d;
    }();
    return data;
}

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
    // Own options first; the rest go to the benchmark library.
    std::vector<char *> rest = {argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--individuals") == 0 && i + 1 < argc)
            individuals = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--markers") == 0 && i + 1 < argc)
            markers = std::max(Groups * 2, std::atoi(argv[++i]));
        else
            rest.push_back(argv[i]);
    }
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
