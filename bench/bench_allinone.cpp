// Recording the all-in-one view of a large population: every marker of every individual is
// read, but the picture must grow with the pixel columns and allele changes drawn, not with the
// number of markers.

#include "bench/paintingbenchmark.h"
#include "bench/simulateddata.h"
#include "core/genotypedata.h"
#include "render/allinoneview.h"
#include "render/drawcontext.h"
#include "settings/alleletable.h"
#include "stats/markerstatistics.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace rvk;

constexpr int VisibleWidth = 1200;

// The large mapping population (3,000 individuals x 50,000 markers in 10 groups of 150 cM) in
// lower-case codes, with 1 % missing scores.
const bench::SimulationParameters parameters = [] {
    bench::SimulationParameters p;
    p.codes = "ahb";
    p.seed = 11;
    return p;
}();

// The major alleles are counted as the marker statistics count them before the view draws.
GenotypeData &population()
{
    return bench::sharedPopulation(parameters, [](GenotypeData &data) {
        AlleleTable table;
        table.clearUsed();
        for (const char code : {'a', 'h', 'b'})
            table.markUsed(code);
        refreshMajorAlleles(data, table);
    });
}

DrawContext context(int variant)
{
    DrawContext c;
    switch (variant) {
    case 0: c.options.Fillstyle = DrawingOptions::FillStyle::Discrete; break;
    case 1:
        c.options.Fillstyle = DrawingOptions::FillStyle::ThreeD;
        c.options.barwidth = 12;
        break;
    case 2:
        c.options.colorMode = DrawingOptions::ColorMode::BlackAndWhite;
        c.options.Fillstyle = DrawingOptions::FillStyle::Gradient;
        break;
    case 3:
        c.options.colorMode = DrawingOptions::ColorMode::BlackAndWhite;
        c.options.Fillstyle = DrawingOptions::FillStyle::Discrete;
        break;
    }
    return c;
}

// Variants: 0 colour "Discrete", 1 colour "3D look" with wide bars, 2 "B && W" "Gradient",
// 3 "B && W" "Discrete" (outlined segments, which cannot merge).
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
    state.counters["bytes"] = static_cast<double>(picture.memoryBytes());
    state.counters["genotypes"] = bench::genotypeCount(parameters);
    state.counters["width"] = picture.width();
    state.counters["height"] = picture.height();
}
BENCHMARK(recordAllInOneView)->DenseRange(0, 3)->Iterations(1)->Unit(benchmark::kMillisecond);

void replayAllInOneView(benchmark::State &state)
{
    GenotypeData &data = population();
    AlleleTable table;
    const ViewPicture picture = drawAllInOneView(data, table, context(0), VisibleWidth);
    bench::replayOntoBitmap(state, picture);
}
BENCHMARK(replayAllInOneView)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return rvk::bench::runPaintingBenchmarks(argc, argv); }
