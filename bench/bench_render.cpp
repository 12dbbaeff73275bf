// Recording and replaying the linkage-group view of a large population: the picture must grow
// with the allele changes drawn, not with markers or pixels.

#include "bench/paintingbenchmark.h"
#include "bench/simulateddata.h"
#include "core/genotypedata.h"
#include "render/drawcontext.h"
#include "render/linkagegroupview.h"
#include "settings/alleletable.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace rvk;

constexpr int Individuals = 2000;
constexpr int Markers = 5000;
constexpr double GroupLength = 150.0;

// One group of an F2-like population without missing scores.
GenotypeData &population()
{
    static std::unique_ptr<GenotypeData> data = [] {
        bench::SimulationParameters parameters;
        parameters.groups = 1;
        parameters.individuals = Individuals;
        parameters.markers = Markers;
        parameters.groupLength = GroupLength;
        parameters.codes = "ahb";
        parameters.missingShare = 0.0;
        parameters.seed = 7;
        return bench::simulatePopulation(parameters);
    }();
    return *data;
}

DrawContext context(DrawingOptions::FillStyle style)
{
    DrawContext c;
    c.visibleHeight = 600;
    c.options.Fillstyle = style;
    if (style == DrawingOptions::FillStyle::Gradient)
        c.options.colorMode = DrawingOptions::ColorMode::BlackAndWhite;
    return c;
}

void recordGroupView(benchmark::State &state)
{
    const auto style = static_cast<DrawingOptions::FillStyle>(state.range(0));
    GenotypeData &data = population();
    AlleleTable table;
    const DrawContext c = context(style);
    ViewPicture picture;
    for (auto _ : state) {
        picture = drawLinkageGroupView(data, table, c);
        benchmark::DoNotOptimize(picture.operationCount());
    }
    state.counters["operations"] = static_cast<double>(picture.operationCount());
    state.counters["bytes"] = static_cast<double>(picture.memoryBytes());
    state.counters["segments"] = static_cast<double>(Individuals) * Markers;
    state.counters["pixels"] = static_cast<double>(picture.width()) * picture.height();
}
BENCHMARK(recordGroupView)
    ->Arg(static_cast<int>(DrawingOptions::FillStyle::Discrete))
    ->Arg(static_cast<int>(DrawingOptions::FillStyle::ThreeD))
    ->Arg(static_cast<int>(DrawingOptions::FillStyle::Gradient))
    ->Unit(benchmark::kMillisecond);

void replayGroupView(benchmark::State &state)
{
    GenotypeData &data = population();
    AlleleTable table;
    const DrawContext c = context(DrawingOptions::FillStyle::Discrete);
    const ViewPicture picture = drawLinkageGroupView(data, table, c);
    bench::replayOntoBitmap(state, picture);
}
BENCHMARK(replayGroupView)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return rvk::bench::runPaintingBenchmarks(argc, argv); }
