// Opening a bgzipped VCF file, beside bcftools printing every genotype of the same file.
//
//   build/bench/bench_vcf [--individuals N] [--markers N] [benchmark options]
//
// Targets: opening takes at most 1.5 times as long as `bcftools query -f '[%GT]\n'` (timed in the
// same run; skipped without bcftools), and the peak memory of the process stays below twice
// the number of genotype codes plus 100 MB.
#include "bench/simulateddata.h"
#include "core/dataloader.h"
#include "core/genotypedata.h"
#include "settings/alleletable.h"

#include <benchmark/benchmark.h>
#include <htslib/bgzf.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>

namespace {

rvk::bench::SimulationParameters parameters;
std::string vcfFile;
double bcftoolsSeconds = 0.0;

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The simulated population as a bgzipped VCF: one CHROM per group, positions in base pairs.
bool writeSimulatedVcf(const std::string &path)
{
    const auto data = rvk::bench::simulatePopulation(parameters);
    BGZF *out = bgzf_open(path.c_str(), "w");
    if (!out)
        return false;
    std::string text = "##fileformat=VCFv4.2\n##FORMAT=<ID=GT,Number=1,Type=String,Description=\"Genotype\">\n";
    for (int g = 0; g < data->GroupCount(); ++g)
        text += "##contig=<ID=" + data->GroupName(g) + ">\n";
    text += "#CHROM\tPOS\tID\tREF\tALT\tQUAL\tFILTER\tINFO\tFORMAT";
    for (const std::string &name : data->IndividualNames)
        text += "\t" + name;
    text += "\n";
    bool written = true;
    for (int g = 0; g < data->GroupCount() && written; ++g) {
        long long lastPosition = 0;
        for (const rvk::Tlocinfo &locus : data->GroupLoci(g)) {
            const long long position = std::max(lastPosition + 1, static_cast<long long>(std::llround(locus.Position * 1e6)) + 1);
            lastPosition = position;
            text += data->GroupName(g) + "\t" + std::to_string(position) + "\t" + locus.Name + "\tA\tG\t.\tPASS\t.\tGT";
            for (char code : locus.Genotypes)
                text += code == 'A' ? "\t0/0" : code == 'H' ? "\t0/1" : code == 'B' ? "\t1/1" : "\t./.";
            text += "\n";
            if (text.size() > (1u << 22)) {
                written = bgzf_write(out, text.data(), text.size()) == static_cast<ssize_t>(text.size());
                text.clear();
            }
        }
    }
    written = written && bgzf_write(out, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return bgzf_close(out) == 0 && written;
}

void BcftoolsQuery(benchmark::State &state)
{
    const std::string command = "bcftools query -f '[%GT]\\n' '" + vcfFile + "' > /dev/null";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("bcftools is not installed (Debian package bcftools)");
            return;
        }
        bcftoolsSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(bcftoolsSeconds);
    }
}

void OpenVcf(benchmark::State &state)
{
    rvk::SilentUserInterface ui;
    double seconds = 0.0;
    for (auto _ : state) {
        rvk::GenotypeData data;
        rvk::DataLoader loader(data, ui);
        const auto start = std::chrono::steady_clock::now();
        const rvk::LoadOutcome outcome = loader.OpenFiles({vcfFile});
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        if (!outcome.completed)
            state.SkipWithError("the file could not be read");
    }
    const double codes = static_cast<double>(parameters.individuals) * parameters.markers;
    state.counters["peak_MB"] = peakMegabytes();
    state.counters["budget_MB"] = 2.0 * codes / (1024.0 * 1024.0) + 100.0;
    if (bcftoolsSeconds > 0.0)
        state.counters["vs_bcftools"] = seconds / bcftoolsSeconds;
}

} // namespace

int main(int argc, char **argv)
{
    rvk::bench::takeSizeOptions(argc, argv, parameters);
    vcfFile = (std::filesystem::temp_directory_path()
               / ("rvk-bench-" + std::to_string(parameters.individuals) + "x" + std::to_string(parameters.markers) + ".vcf.gz"))
                  .string();
    if (!std::filesystem::exists(vcfFile)) {
        std::fprintf(stderr, "writing %s ...\n", vcfFile.c_str());
        if (!writeSimulatedVcf(vcfFile)) {
            std::fprintf(stderr, "cannot write %s\n", vcfFile.c_str());
            std::filesystem::remove(vcfFile);
            return 1;
        }
    }
    // The memory figure is the process's peak: bcftools runs in a process of its own, then the
    // open runs alone.
    benchmark::RegisterBenchmark("BcftoolsQuery", BcftoolsQuery)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
    benchmark::RegisterBenchmark("OpenVcf", OpenVcf)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
