// Marker-trait association over a large F2 population built in memory: 3,000 individuals x
// 50,000 markers in 10 groups (1 % missing scores), three traits of which one follows a QTL, one
// has 5 % missing values; and the multi-allele ANOVA with its report over 1,000 x 10,000.
//
//   build/bench/bench_association [--individuals N] [--markers N] [benchmark options]
//
// Targets: the correlation association with its FDR in under 1.1 s; the ANOVA association of
// 1,000 x 10,000 x 3 traits with its report in under 10 s.
#include "bench/simulateddata.h"
#include "core/genotypedata.h"
#include "core/textformat.h"
#include "genetics/association.h"
#include "genetics/markerdata.h"
#include "genetics/traittable.h"
#include "settings/alleletable.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>

namespace {

rvk::bench::SimulationParameters parameters = [] {
    rvk::bench::SimulationParameters p;
    p.missingCode = 'U';
    p.seed = 4242;
    return p;
}();

rvk::GenotypeData &population() { return rvk::bench::sharedPopulation(parameters); }

// Three traits over the individuals, stored as the trait table stores them ("%2.2f"): one with a
// QTL at the 100th marker, one pure noise with 5 % missing values, one pure noise.
rvk::TraitTable traitsOf(const rvk::GenotypeData &data)
{
    std::mt19937 random(7);
    std::normal_distribution<double> noise(50.0, 5.0);
    std::uniform_real_distribution<double> share(0.0, 1.0);
    rvk::TraitTable traits(data.nind + 1, 4);
    traits.setCell(0, 1, "qtl");
    traits.setCell(0, 2, "gappy");
    traits.setCell(0, 3, "noise");
    const rvk::Tlocinfo &qtl = data.GroupLoci(0).at(std::min<size_t>(100, data.GroupLoci(0).size() - 1));
    for (int i = 0; i < data.nind; ++i) {
        const int c = i + 1;
        traits.setCell(c, 0, data.IndividualNames[static_cast<size_t>(i)]);
        const char code = qtl.Genotypes[static_cast<size_t>(i)];
        const double effect = code == 'A' ? -3.0 : code == 'B' ? 3.0 : 0.0;
        traits.setCell(c, 1, rvk::formatText("%2.2f", {noise(random) + effect}));
        traits.setCell(c, 2, share(random) < 0.05 ? std::string() : rvk::formatText("%2.2f", {noise(random)}));
        traits.setCell(c, 3, rvk::formatText("%2.2f", {noise(random)}));
    }
    return traits;
}

void CorrelationAssociation(benchmark::State &state)
{
    const rvk::GenotypeData &data = population();
    const rvk::AlleleTable alleles;
    const rvk::TraitTable traits = traitsOf(data);
    rvk::AssociationResults results;
    for (auto _ : state) {
        rvk::MarkerData markers;
        markers.fillFromGenotypes(data, alleles);
        const rvk::CorrelationOutcome outcome = rvk::runCorrelationAssociation(markers, traits, 0.05, results);
        if (!outcome.completed)
            state.SkipWithError(outcome.error.c_str());
        benchmark::DoNotOptimize(results.pThreshold(1));
    }
    state.counters["markers"] = data.TotalLocusCount();
    state.counters["individuals"] = data.nind;
    state.counters["qtl_logp_threshold"] = std::stod(results.cell(rvk::AssociationResults::Table::LogP, 1, 1) == "1E99"
                                                         ? "0"
                                                         : results.cell(rvk::AssociationResults::Table::LogP, 1, 1));
}
BENCHMARK(CorrelationAssociation)->Unit(benchmark::kMillisecond)->Iterations(3);

// The ANOVA run over 1,000 individuals x 10,000 markers (a tenth of the individuals and a fifth
// of the markers of the population above, whatever its size), report text included.
void AnovaAssociation(benchmark::State &state)
{
    rvk::bench::SimulationParameters smaller = parameters;
    smaller.individuals = std::max(10, parameters.individuals / 3);
    smaller.markers = std::max(10, parameters.markers / 5);
    static std::unique_ptr<rvk::GenotypeData> data = rvk::bench::simulatePopulation(smaller);
    const rvk::AlleleTable alleles;
    const rvk::TraitTable traits = traitsOf(*data);
    rvk::AssociationResults results;
    size_t bytes = 0;
    long long lines = 0;
    for (auto _ : state) {
        rvk::MarkerData markers;
        markers.fillFromGenotypes(*data, alleles, rvk::MarkerData::Coding::CodeNumber);
        const rvk::TraitTable sync = rvk::buildSyncTable(traits, markers.individualNames());
        std::string report;
        const rvk::AnovaOutcome outcome = rvk::runAnovaAssociation(markers, sync, results, report);
        if (!outcome.completed)
            state.SkipWithError(outcome.error.c_str());
        bytes = report.size();
        lines = std::count(report.begin(), report.end(), '\n');
        benchmark::DoNotOptimize(report.data());
    }
    state.counters["markers"] = data->TotalLocusCount();
    state.counters["individuals"] = data->nind;
    state.counters["report_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
    state.counters["report_lines"] = static_cast<double>(lines);
}
BENCHMARK(AnovaAssociation)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    rvk::bench::takeSizeOptions(argc, argv, parameters);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
