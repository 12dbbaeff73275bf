// QTL mapping of a simulated F2 built in memory: 1,000 individuals x 10,000 markers in 10 groups of
// 150 cM, 1 % missing scores, three traits (a QTL each on groups 1, 4 and 7 plus noise).
//
//   build/bench/bench_qtl [--individuals N] [--markers N] [benchmark options]
//   build/bench/bench_qtl --large      (3,000 x 50,000, one trait: HK scan and 1,000 permutations)
//
// Targets (both cores): genotype probabilities at the markers in under 0.5 s; the Haley-Knott
// scan of 3 traits in under 0.2 s; 1,000 permutations x 3 traits in under 20 s. --large: the whole
// run in under a minute with a peak resident size under 2 GB (it prints both).
// bench/bench_qtl_rqtl.sh times R/qtl on the same data when R is installed.
#include "bench/simulateddata.h"
#include "core/genotypedata.h"
#include "genetics/qtlanalysis.h"
#include "genetics/qtlgenotypeprobabilities.h"
#include "genetics/qtlscan.h"
#include "genetics/traittable.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>

namespace {

rvk::bench::SimulationParameters parameters = [] {
    rvk::bench::SimulationParameters p;
    p.individuals = 1000;
    p.markers = 10000;
    p.groups = 10;
    p.missingCode = '-';
    p.seed = 4711;
    return p;
}();

rvk::GenotypeData &population() { return rvk::bench::sharedPopulation(parameters); }

// Traits with a QTL at the middle marker of groups 1, 4, 7 (A 0, H 1, B 2 scaled) plus noise,
// named by the individuals as the trait table names them.
rvk::TraitTable simulatedTraits(const rvk::GenotypeData &data, int traits)
{
    rvk::TraitTable table;
    std::mt19937 random(99);
    std::normal_distribution<double> noise(0.0, 1.0);
    for (int i = 0; i < data.nind; ++i)
        table.setCell(i + 1, 0, data.IndividualNames[static_cast<size_t>(i)]);
    for (int t = 0; t < traits; ++t) {
        table.setCell(0, t + 1, "trait" + std::to_string(t + 1));
        const auto &loci = data.GroupLoci((3 * t) % data.GroupCount());
        const std::string &codes = loci[loci.size() / 2].Genotypes;
        for (int i = 0; i < data.nind; ++i) {
            const char c = codes[static_cast<size_t>(i)];
            const double g = c == 'A' ? 0.0 : c == 'H' ? 1.0 : c == 'B' ? 2.0 : 1.0;
            table.setCell(i + 1, t + 1, std::to_string(0.4 * g + noise(random)));
        }
    }
    return table;
}

struct Prepared
{
    std::vector<std::vector<double>> positions;
    std::vector<std::vector<std::vector<std::uint8_t>>> observed;
};

const Prepared &prepared()
{
    static const Prepared p = [] {
        Prepared p;
        const rvk::GenotypeData &data = population();
        const rvk::QtlObservationCodes codes = rvk::observationCodes(rvk::QtlCross::Intercross);
        for (int g = 0; g < data.GroupCount(); ++g) {
            std::vector<double> at;
            std::vector<std::vector<std::uint8_t>> observed;
            for (const rvk::Tlocinfo &locus : data.GroupLoci(g)) {
                at.push_back(locus.Position);
                std::vector<std::uint8_t> o(locus.Genotypes.size());
                for (size_t i = 0; i < o.size(); ++i)
                    o[i] = codes.code[static_cast<unsigned char>(locus.Genotypes[i])];
                observed.push_back(std::move(o));
            }
            p.positions.push_back(std::move(at));
            p.observed.push_back(std::move(observed));
        }
        return p;
    }();
    return p;
}

int threads()
{
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

std::vector<rvk::GenotypeProbabilities> allProbabilities(double step)
{
    const Prepared &p = prepared();
    rvk::GenotypeProbabilityOptions options;
    options.step = step;
    std::vector<rvk::GenotypeProbabilities> all;
    for (size_t g = 0; g < p.positions.size(); ++g)
        all.push_back(rvk::GenotypeProbabilities::compute(rvk::QtlCross::Intercross, p.positions[g], p.observed[g],
                                                          population().nind, options, threads()));
    return all;
}

std::vector<rvk::QtlTraitData> traitData(int count)
{
    const rvk::GenotypeData &data = population();
    const rvk::TraitTable table = simulatedTraits(data, count);
    std::vector<rvk::QtlTraitData> traits(static_cast<size_t>(count));
    for (int t = 0; t < count; ++t)
        for (int i = 0; i < data.nind; ++i) {
            traits[static_cast<size_t>(t)].individuals.push_back(i);
            traits[static_cast<size_t>(t)].values.push_back(std::stod(table.cell(i + 1, t + 1)));
        }
    return traits;
}

// calc.genoprob(step = 0): every group, both cores.
void BM_QtlGenotypeProbabilities(benchmark::State &state)
{
    prepared();
    for (auto _ : state) {
        const auto all = allProbabilities(static_cast<double>(state.range(0)));
        size_t bytes = 0;
        for (const auto &p : all)
            bytes += p.memoryBytes();
        state.counters["MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
    }
}
BENCHMARK(BM_QtlGenotypeProbabilities)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// scanone(method = "hk") of 3 traits over every group.
void BM_QtlHaleyKnottScan3Traits(benchmark::State &state)
{
    const auto all = allProbabilities(0.0);
    const auto traits = traitData(3);
    for (auto _ : state)
        for (const auto &trait : traits)
            for (const auto &p : all)
                benchmark::DoNotOptimize(rvk::haleyKnottLod(p, trait).data());
}
BENCHMARK(BM_QtlHaleyKnottScan3Traits)->Unit(benchmark::kMillisecond)->UseRealTime();

// 1,000 permutations of each of 3 traits, genome-wide maxima.
void BM_QtlPermutations1000x3Traits(benchmark::State &state)
{
    const auto all = allProbabilities(0.0);
    const auto traits = traitData(3);
    for (auto _ : state) {
        for (size_t t = 0; t < traits.size(); ++t) {
            rvk::HaleyKnottPermutations permutations(traits[t], 1000, t + 1);
            std::atomic<bool> cancel{false};
            for (const auto &p : all)
                permutations.scanGroup(p, threads(), cancel);
            benchmark::DoNotOptimize(permutations.maxima().data());
        }
    }
}
BENCHMARK(BM_QtlPermutations1000x3Traits)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// The command's whole run: probabilities with pseudo-markers every cM, scans, 1,000 permutations,
// peaks and intervals of 3 traits.
void BM_QtlWholeRun3Traits(benchmark::State &state)
{
    const rvk::GenotypeData &data = population();
    const rvk::TraitTable traits = simulatedTraits(data, 3);
    for (auto _ : state) {
        std::string error;
        const auto analysis = rvk::QtlAnalysis::run(data, traits, {}, {}, error);
        benchmark::DoNotOptimize(analysis.get());
    }
}
BENCHMARK(BM_QtlWholeRun3Traits)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

int runLarge()
{
    parameters.individuals = 3000;
    parameters.markers = 50000;
    const auto start = std::chrono::steady_clock::now();
    const rvk::GenotypeData &data = population();
    const rvk::TraitTable traits = simulatedTraits(data, 1);
    const auto built = std::chrono::steady_clock::now();
    rvk::QtlOptions options;
    options.step = 0.0;
    std::string error;
    const auto analysis = rvk::QtlAnalysis::run(data, traits, options, {}, error);
    const auto done = std::chrono::steady_clock::now();
    if (!analysis) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("3,000 x 50,000 F2, one trait, HK scan and 1,000 permutations: %.1f s (data built in %.1f s); peak resident %.0f MB; "
                "threshold 5%% %.3f\n",
                std::chrono::duration<double>(done - built).count(), std::chrono::duration<double>(built - start).count(),
                static_cast<double>(usage.ru_maxrss) / 1024.0, analysis->threshold(0, 0.05));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--large") == 0)
        return runLarge();
    rvk::bench::takeSizeOptions(argc, argv, parameters);
    population(); // built before the clocks run
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
