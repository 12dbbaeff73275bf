// Panel genomics on an F2 population built in memory: 3,000 individuals x 50,000 markers in 10
// groups of 150 cM (1 % missing scores) and 3 traits, each from 20 marker effects, a polygenic
// part and noise.
//
//   build/bench/bench_panel [--individuals N] [--markers N] [benchmark options]
//
// Targets: the kinship and the exact mixed model (REML per marker) of the three traits in under
// a quarter of GEMMA's time for the same work (gemma -gk 1, then -lmm 1 per trait, timed in
// the same run when gemma is installed; GEMMA reads the data as BIMBAM text written before its
// clock starts); the P3D option under 10 s; the first 10 principal components under 5 s; the
// peak memory of the process (peak_MB, GEMMA runs as a child and does not count) under 2 GB.
//
// plink2 --pca 10 runs on the same dosages, imported into its own format before its clock starts.
//
// Measured in one run on 2 shared cores (load about 3, OpenBLAS's Haswell kernels as
// OPENBLAS_CORETYPE chose): kinship and exact model of 3 traits 81 s against GEMMA's 330 s
// (vs_gemma 0.25), P3D 26 s, PCA 21 s against plink2's 21 s, peak 497 MB. The same build on
// the idle machine moments later: P3D 13.1 s, PCA 6.3 s against plink2's 11.0 s. The P3D time
// is bound by the n x n x m products (kinship, rotation of the markers by the kinship's
// eigenvectors), about 1.4e12 floating-point operations in single precision.
#include "bench/simulateddata.h"
#include "core/genotypedata.h"
#include "core/textformat.h"
#include "genetics/dosagematrix.h"
#include "genetics/mixedmodel.h"
#include "genetics/pca.h"
#include "genetics/traittable.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <sys/resource.h>

namespace {

constexpr int Traits = 3;

rvk::bench::SimulationParameters parameters = [] {
    rvk::bench::SimulationParameters p;
    p.individuals = 3000;
    p.markers = 50000;
    p.groups = 10;
    p.seed = 2026;
    return p;
}();

rvk::GenotypeData &population()
{
    static std::unique_ptr<rvk::GenotypeData> data = rvk::bench::simulatePopulation(parameters);
    return *data;
}

int dosageAt(const rvk::GenotypeData &data, long long marker, int individual)
{
    for (int g = 0; g < data.GroupCount(); ++g) {
        if (marker < data.GroupLocusCount(g))
            return rvk::dosageOfCode(data.GroupLoci(g)[static_cast<size_t>(marker)].Genotypes[static_cast<size_t>(individual)]);
        marker -= data.GroupLocusCount(g);
    }
    return rvk::DosageMatrix::Missing;
}

// Three traits: 20 marker effects each, a polygenic part over 500 further markers, noise.
rvk::TraitTable &traits()
{
    static rvk::TraitTable table = [] {
        const rvk::GenotypeData &data = population();
        rvk::TraitTable t;
        std::mt19937 random(99);
        std::normal_distribution<double> normal;
        const long long markers = data.TotalLocusCount();
        for (int i = 0; i < data.nind; ++i)
            t.setCell(i + 1, 0, data.IndividualNames[static_cast<size_t>(i)]);
        for (int k = 1; k <= Traits; ++k) {
            t.setCell(0, k, "trait" + std::to_string(k));
            std::vector<double> value(static_cast<size_t>(data.nind), 0.0);
            for (int effect = 0; effect < 520; ++effect) {
                const long long marker = static_cast<long long>(random() % static_cast<unsigned>(markers));
                const double size = effect < 20 ? 0.5 * normal(random) : 0.08 * normal(random);
                for (int i = 0; i < data.nind; ++i) {
                    const int d = dosageAt(data, marker, i);
                    value[static_cast<size_t>(i)] += size * (d == rvk::DosageMatrix::Missing ? 1.0 : d);
                }
            }
            for (int i = 0; i < data.nind; ++i)
                t.setCell(i + 1, k, rvk::formatText("%.4f", {10.0 + value[static_cast<size_t>(i)] + normal(random)}));
        }
        return t;
    }();
    return table;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double exactSeconds = 0.0, gemmaSeconds = 0.0;

void BM_PanelKinshipAndExactMixedModel(benchmark::State &state)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto results = rvk::runMixedModel(population(), traits(), {});
        exactSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (results->traits[0].tests.empty())
            state.SkipWithError(results->traits[0].message.c_str());
        state.counters["tests"] = static_cast<double>(results->traits[0].tests.size() * results->traits.size());
    }
    state.counters["peak_MB"] = peakMegabytes();
    if (gemmaSeconds > 0.0)
        state.counters["vs_gemma"] = exactSeconds / gemmaSeconds;
    state.SetLabel(rvk::linearAlgebraDescription());
}

void BM_PanelP3d(benchmark::State &state)
{
    rvk::MixedModelOptions options;
    options.p3d = true;
    for (auto _ : state) {
        const auto results = rvk::runMixedModel(population(), traits(), options);
        if (results->traits[0].tests.empty())
            state.SkipWithError(results->traits[0].message.c_str());
        state.counters["tests"] = static_cast<double>(results->traits[0].tests.size() * results->traits.size());
    }
    state.counters["peak_MB"] = peakMegabytes();
}

void BM_PanelPca10(benchmark::State &state)
{
    state.SetLabel(rvk::linearAlgebraDescription());
    const rvk::GenotypeData &data = population();
    std::vector<int> all(static_cast<size_t>(data.nind));
    for (int i = 0; i < data.nind; ++i)
        all[static_cast<size_t>(i)] = i;
    for (auto _ : state) {
        const rvk::DosageMatrix dosages = rvk::DosageMatrix::fromGenotypes(data, all);
        rvk::PcaOptions options;
        options.components = 10;
        const auto pca = rvk::computePca(dosages, options);
        benchmark::DoNotOptimize(pca->eigenvalues[0]);
        state.counters["truncated"] = pca->truncated ? 1 : 0;
        state.counters["block_steps"] = pca->iterations;
    }
    state.counters["peak_MB"] = peakMegabytes();
}

// GEMMA on the same data and traits: BIMBAM files written first, then -gk 1 and -lmm 1 per
// trait with its own kinship file, as a user would run it.
void BM_Gemma(benchmark::State &state)
{
    if (std::system("command -v gemma > /dev/null 2>&1") != 0) {
        state.SkipWithError("gemma is not installed (Debian package gemma)");
        return;
    }
    const rvk::GenotypeData &data = population();
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "rvk-bench-panel-gemma";
    std::filesystem::create_directories(folder);
    {
        std::ofstream geno(folder / "geno.txt");
        for (int g = 0; g < data.GroupCount(); ++g)
            for (const rvk::Tlocinfo &locus : data.GroupLoci(g)) {
                geno << locus.Name << ", B, A";
                for (int i = 0; i < data.nind; ++i) {
                    const int d = rvk::dosageOfCode(locus.Genotypes[static_cast<size_t>(i)]);
                    geno << ", ";
                    if (d == rvk::DosageMatrix::Missing)
                        geno << "NA";
                    else
                        geno << d;
                }
                geno << '\n';
            }
        std::ofstream pheno(folder / "pheno.txt");
        for (int i = 1; i <= data.nind; ++i) {
            for (int k = 1; k <= Traits; ++k)
                pheno << (k > 1 ? "\t" : "") << traits().cell(i, k);
            pheno << '\n';
        }
    }
    const std::string cd = "cd '" + folder.string() + "' && ";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        bool ok = std::system((cd + "gemma -g geno.txt -p pheno.txt -gk 1 -miss 1 -o k > /dev/null 2>&1").c_str()) == 0;
        for (int k = 1; k <= Traits && ok; ++k)
            ok = std::system((cd + "gemma -g geno.txt -p pheno.txt -n " + std::to_string(k) + " -k output/k.cXX.txt -lmm 1 -miss 1 -o t"
                              + std::to_string(k) + " > /dev/null 2>&1")
                                 .c_str())
                 == 0;
        gemmaSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!ok)
            state.SkipWithError("gemma failed");
    }
    std::filesystem::remove_all(folder);
}

// plink2 --pca 10 on the same dosages (imported into its own format before its clock starts).
void BM_Plink2Pca10(benchmark::State &state)
{
    if (std::system("command -v plink2 > /dev/null 2>&1") != 0) {
        state.SkipWithError("plink2 is not installed (Debian package plink2)");
        return;
    }
    const rvk::GenotypeData &data = population();
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "rvk-bench-panel-plink2";
    std::filesystem::create_directories(folder);
    {
        std::ofstream dosages(folder / "dosages.txt");
        for (int g = 0; g < data.GroupCount(); ++g)
            for (const rvk::Tlocinfo &locus : data.GroupLoci(g)) {
                dosages << locus.Name << " B A";
                for (int i = 0; i < data.nind; ++i) {
                    const int d = rvk::dosageOfCode(locus.Genotypes[static_cast<size_t>(i)]);
                    dosages << ' ';
                    if (d == rvk::DosageMatrix::Missing)
                        dosages << "NA";
                    else
                        dosages << d;
                }
                dosages << '\n';
            }
        std::ofstream fam(folder / "lines.fam");
        for (int i = 0; i < data.nind; ++i)
            fam << data.IndividualNames[static_cast<size_t>(i)] << ' ' << data.IndividualNames[static_cast<size_t>(i)] << " 0 0 0 -9\n";
    }
    const std::string cd = "cd '" + folder.string() + "' && ";
    if (std::system((cd + "plink2 --import-dosage dosages.txt noheader format=1 single-chr=1 --fam lines.fam --make-pgen --out panel "
                          "> import.log 2>&1")
                        .c_str())
        != 0) {
        state.SkipWithError("plink2 could not import the dosages");
        return;
    }
    for (auto _ : state) {
        const bool ok = std::system((cd + "plink2 --pfile panel --pca 10 --threads 2 --out pca > /dev/null 2>&1").c_str()) == 0;
        if (!ok)
            state.SkipWithError("plink2 --pca failed");
    }
    std::filesystem::remove_all(folder);
}

BENCHMARK(BM_PanelPca10)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Plink2Pca10)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_PanelP3d)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Gemma)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_PanelKinshipAndExactMixedModel)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    rvk::bench::takeSizeOptions(argc, argv, parameters);
    population(); // built before the clocks run
    traits();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
