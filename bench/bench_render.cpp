// Recording and replaying the linkage-group view of a large population: the picture must grow
// with the allele changes drawn, not with markers or pixels.

#include "core/genotypedata.h"
#include "render/drawcontext.h"
#include "render/linkagegroupview.h"
#include "render/paintersurface.h"
#include "settings/alleletable.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>

namespace {

using namespace rvk;

constexpr int Individuals = 2000;
constexpr int Markers = 5000;
constexpr double GroupLength = 150.0;

// One group of an F2-like population: every individual starts with a random genotype and
// changes it at a few crossovers along the group.
GenotypeData &population()
{
    static std::unique_ptr<GenotypeData> data = [] {
        auto result = std::make_unique<GenotypeData>();
        result->nind = Individuals;
        result->popt = "f2";
        std::mt19937 random(7);
        LinkageGroup group;
        group.Name = "chr1";
        group.PopType = "f2";
        group.Loci.resize(Markers);
        for (int k = 0; k < Markers; ++k) {
            group.Loci[static_cast<size_t>(k)].Name = "marker" + std::to_string(k + 1);
            group.Loci[static_cast<size_t>(k)].Position = GroupLength * k / (Markers - 1);
            group.Loci[static_cast<size_t>(k)].Genotypes.resize(Individuals);
        }
        const char codes[] = {'a', 'h', 'b'};
        std::uniform_int_distribution<int> code(0, 2);
        std::uniform_int_distribution<int> marker(0, Markers - 1);
        std::poisson_distribution<int> crossovers(3.0);
        for (int i = 0; i < Individuals; ++i) {
            std::vector<int> breaks(static_cast<size_t>(crossovers(random)));
            for (int &b : breaks)
                b = marker(random);
            std::sort(breaks.begin(), breaks.end());
            char current = codes[code(random)];
            size_t next = 0;
            for (int k = 0; k < Markers; ++k) {
                while (next < breaks.size() && breaks[next] == k) {
                    current = codes[code(random)];
                    ++next;
                }
                group.Loci[static_cast<size_t>(k)].Genotypes[static_cast<size_t>(i)] = current;
            }
        }
        result->AppendGroup(std::move(group));
        for (int i = 0; i < Individuals; ++i) {
            result->IndividualNames.push_back("ind" + std::to_string(i + 1));
            result->IndividualNumbers.push_back(i + 1);
        }
        result->TickAll();
        result->DataLoaded = true;
        return result;
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
    QImage image(picture.width(), picture.height(), QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        PainterSurface surface(image);
        picture.replay(surface);
    }
    state.counters["operations"] = static_cast<double>(picture.operationCount());
}
BENCHMARK(replayGroupView)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
