// Marker-assisted backcrossing on a large population: the backcross table over every marker, and
// the comparison drawing (segments coloured against a reference and a donor) beside the normal
// colour drawing of the same views.
//
// The recurrent parent (ind1) is made A and the donor (ind2) B at every marker, so every one of
// the 50,000 markers is informative: the table's worst case.

#include "bench/paintingbenchmark.h"
#include "bench/simulateddata.h"
#include "core/genotypedata.h"
#include "genetics/backcrossstatistics.h"
#include "render/allinoneview.h"
#include "render/drawcontext.h"
#include "render/linkagegroupview.h"
#include "settings/alleletable.h"
#include "stats/markerstatistics.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace rvk;

constexpr int VisibleWidth = 1200;

// The large mapping population (3,000 individuals x 50,000 markers in 10 groups of 150 cM).
const bench::SimulationParameters parameters = [] {
    bench::SimulationParameters p;
    p.seed = 5;
    return p;
}();

GenotypeData &population()
{
    return bench::sharedPopulation(parameters, [](GenotypeData &data) {
        for (int g = 0; g < data.GroupCount(); ++g)
            for (Tlocinfo &locus : data.GroupLoci(g)) {
                locus.Genotypes[0] = 'A';
                locus.Genotypes[1] = 'B';
            }
        AlleleTable table;
        refreshMajorAlleles(data, table);
    });
}

void backcrossTable(benchmark::State &state)
{
    const GenotypeData &data = population();
    BackcrossRequest request;
    request.recurrent = findIndividualByName(data, "ind1");
    request.donor = findIndividualByName(data, "ind2");
    request.target = findMarkerByName(data, "m25000");
    std::string error;
    int rows = 0;
    for (auto _ : state) {
        const auto table = computeBackcrossStatistics(data, request, error);
        rows = table ? table->rowCount() : -1;
        benchmark::DoNotOptimize(rows);
    }
    if (rows < 0)
        state.SkipWithError(error.c_str());
    state.counters["rows"] = rows;
    state.counters["genotypes"] = bench::genotypeCount(parameters);
}
BENCHMARK(backcrossTable)->Unit(benchmark::kMillisecond);

// 0: colour; 1: against ind1; 2: against ind1 with ind2 as donor.
DrawContext context(int variant)
{
    DrawContext c;
    c.visibleHeight = 600;
    if (variant > 0) {
        c.options.setColorMode(DrawingOptions::ColorMode::Comparison);
        c.options.compareReference = "ind1";
        if (variant == 2)
            c.options.compareDonor = "ind2";
    }
    return c;
}

void recordGroupView(benchmark::State &state)
{
    GenotypeData &data = population();
    AlleleTable table;
    const DrawContext c = context(static_cast<int>(state.range(0)));
    ViewPicture picture;
    for (auto _ : state) {
        picture = drawLinkageGroupView(data, table, c);
        benchmark::DoNotOptimize(picture.operationCount());
    }
    state.counters["operations"] = static_cast<double>(picture.operationCount());
}
BENCHMARK(recordGroupView)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void recordAllInOneView(benchmark::State &state)
{
    GenotypeData &data = population();
    AlleleTable table;
    const DrawContext c = context(static_cast<int>(state.range(0)));
    ViewPicture picture;
    for (auto _ : state) {
        picture = drawAllInOneView(data, table, c, VisibleWidth);
        benchmark::DoNotOptimize(picture.operationCount());
    }
    state.counters["operations"] = static_cast<double>(picture.operationCount());
}
BENCHMARK(recordAllInOneView)->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return rvk::bench::runPaintingBenchmarks(argc, argv); }
