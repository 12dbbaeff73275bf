// LD analyses over an F2 population built in memory: 1,000 individuals x 10,000 markers in 10
// groups of 150 cM, 1 % missing scores.
//
//   build/bench/bench_ld [--individuals N] [--markers N] [benchmark options]
//   build/bench/bench_ld [--individuals N] [--markers N] --digest [--plain]
//
// --digest prints one number made from every result of the within-group runs (each pair's
// measures, p-value and state, the log lines, the threshold and rthres): two builds that print
// the same digest give the same results to the last bit. --plain computes with the plain kernels
// rather than the processor's wider ones: the digest must not change.
//
// Targets: within-group LD (all four measures, p-values and FDR) at 7 million pairs per second
// or more on one core; the all-loci run of the same data (50 million pairs) with its heat plot
// in under 20 seconds.
#include "bench/simulateddata.h"
#include "core/genotypedata.h"
#include "genetics/ldanalysis.h"
#include "genetics/ldpictures.h"
#include "settings/alleletable.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <memory>

namespace {

rvk::bench::SimulationParameters parameters = [] {
    rvk::bench::SimulationParameters p;
    p.individuals = 1000;
    p.markers = 10000;
    p.groups = 10;
    p.missingCode = 'U';
    p.seed = 4711;
    return p;
}();

rvk::GenotypeData &population()
{
    static std::unique_ptr<rvk::GenotypeData> data = rvk::bench::simulatePopulation(parameters);
    return *data;
}

// "only this group>" on every group in turn.
void BM_LdWithinGroups(benchmark::State &state)
{
    const rvk::GenotypeData &data = population();
    const rvk::AlleleTable alleles;
    long long pairs = 0;
    for (auto _ : state) {
        for (int group = 0; group < data.GroupCount(); ++group) {
            const auto analysis = rvk::LdAnalysis::runGroup(data, alleles, group, {});
            pairs += rvk::LdAnalysis::pairCount(analysis->locusCount());
            benchmark::DoNotOptimize(analysis->pThreshold());
        }
    }
    state.counters["pairs/s"] = benchmark::Counter(static_cast<double>(pairs), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LdWithinGroups)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// "Calc LD for all loci" and the heat plot as the page shows it.
void BM_LdAllLociWithHeatPlot(benchmark::State &state)
{
    const rvk::GenotypeData &data = population();
    const rvk::AlleleTable alleles;
    long long pairs = 0;
    for (auto _ : state) {
        const auto analysis = rvk::LdAnalysis::runAllLoci(data, alleles, {});
        const QImage image = rvk::renderLdHeatPlotImage(rvk::ldHeatPlotInput(*analysis, {}), rvk::HeatPlotScreenSide);
        pairs += rvk::LdAnalysis::pairCount(analysis->locusCount());
        benchmark::DoNotOptimize(image.width());
        state.counters["MB"] = static_cast<double>(analysis->memoryBytes()) / (1024.0 * 1024.0);
    }
    state.counters["pairs/s"] = benchmark::Counter(static_cast<double>(pairs), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LdAllLociWithHeatPlot)->Unit(benchmark::kSecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();

} // namespace

// The --digest number: FNV-1a over the bytes of every result.
void printDigest()
{
    const rvk::GenotypeData &data = population();
    const rvk::AlleleTable alleles;
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&h](const void *p, size_t n) {
        const auto *b = static_cast<const unsigned char *>(p);
        for (size_t k = 0; k < n; ++k)
            h = (h ^ b[k]) * 1099511628211ull;
    };
    for (int group = 0; group < data.GroupCount(); ++group) {
        const auto a = rvk::LdAnalysis::runGroup(data, alleles, group, {});
        const int L = a->locusCount();
        for (int i = 0; i < L; ++i)
            for (int j = i + 1; j < L; ++j) {
                const rvk::LdPairResult r = a->pair(i, j);
                const double v[] = {r.R, r.R2, r.DPrime, r.ChiSquarePrime, r.P, r.MinusLogP};
                mix(v, sizeof v);
                mix(&r.n, sizeof r.n);
                const float f = a->value(i, j);
                mix(&f, sizeof f);
                const bool s[] = {a->available(i, j), a->negativeR(i, j)};
                mix(s, sizeof s);
            }
        for (long long k = 0; k < a->logLineCount(); ++k) {
            const std::string line = a->logLine(k);
            mix(line.data(), line.size());
        }
        const double t[] = {a->pThreshold(), a->rthres()};
        mix(t, sizeof t);
    }
    std::string text = "digest ";
    for (int shift = 60; shift >= 0; shift -= 4)
        text += "0123456789abcdef"[(h >> shift) & 0xF];
    std::puts(text.c_str());
}

int main(int argc, char **argv)
{
    rvk::bench::takeSizeOptions(argc, argv, parameters);
    if (argc > 1 && std::string(argv[1]) == "--digest") {
        // --plain: with the plain kernels, which must give the same digest as the wide ones.
        rvk::UsePlainLdKernels(argc > 2 && std::string(argv[2]) == "--plain");
        printDigest();
        return 0;
    }
    // The heat plot's texts need a GUI application; offscreen unless the caller chose a platform.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QGuiApplication application(qtArgc, argv);
    population(); // built before the clocks run
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
