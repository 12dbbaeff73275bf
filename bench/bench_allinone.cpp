// Recording the all-in-one view of a large population: every marker of every individual is
// read, but the picture must grow with the pixel columns and allele changes drawn, not with the
// number of markers.

#include "core/genotypedata.h"
#include "render/allinoneview.h"
#include "render/drawcontext.h"
#include "render/paintersurface.h"
#include "settings/alleletable.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <random>

namespace {

using namespace rvk;

constexpr int Individuals = 3000;
constexpr int Groups = 10;
constexpr int MarkersPerGroup = 5000; // 50,000 in all
constexpr double GroupLength = 150.0;
constexpr int VisibleWidth = 1200;

// An F2-like population: along each group every individual keeps its genotype between a few
// crossovers; one score in a hundred is missing. The major alleles are counted as the marker
// statistics would.
GenotypeData &population()
{
    static std::unique_ptr<GenotypeData> data = [] {
        auto result = std::make_unique<GenotypeData>();
        result->nind = Individuals;
        result->popt = "f2";
        std::mt19937 random(11);
        const char codes[] = {'a', 'h', 'b'};
        std::discrete_distribution<int> code({1, 2, 1});
        std::uniform_int_distribution<int> marker(0, MarkersPerGroup - 1);
        std::poisson_distribution<int> crossovers(1.5);
        std::bernoulli_distribution missing(0.01);
        std::vector<char> column(MarkersPerGroup);
        for (int g = 0; g < Groups; ++g) {
            LinkageGroup group;
            group.Name = "chr" + std::to_string(g + 1);
            group.PopType = "f2";
            group.Loci.resize(MarkersPerGroup);
            for (int k = 0; k < MarkersPerGroup; ++k) {
                Tlocinfo &locus = group.Loci[static_cast<size_t>(k)];
                locus.Name = "m" + std::to_string(g + 1) + "_" + std::to_string(k + 1);
                locus.Position = GroupLength * k / (MarkersPerGroup - 1);
                locus.Genotypes.resize(Individuals);
            }
            for (int i = 0; i < Individuals; ++i) {
                std::vector<int> breaks(static_cast<size_t>(crossovers(random)));
                for (int &b : breaks)
                    b = marker(random);
                std::sort(breaks.begin(), breaks.end());
                char current = codes[code(random)];
                size_t next = 0;
                for (int k = 0; k < MarkersPerGroup; ++k) {
                    while (next < breaks.size() && breaks[next] == k) {
                        current = codes[code(random)];
                        ++next;
                    }
                    group.Loci[static_cast<size_t>(k)].Genotypes[static_cast<size_t>(i)] = missing(random) ? '-' : current;
                }
            }
            for (Tlocinfo &locus : group.Loci) {
                std::array<int, 256> counts{};
                for (const char c : locus.Genotypes)
                    ++counts[static_cast<unsigned char>(c)];
                char major = 'a';
                for (const char c : {'h', 'b'})
                    if (counts[static_cast<unsigned char>(c)] > counts[static_cast<unsigned char>(major)])
                        major = c;
                locus.MajorAllele = major;
                locus.MajorAlleleShare = counts[static_cast<unsigned char>(major)] / static_cast<double>(Individuals);
            }
            result->AppendGroup(std::move(group));
        }
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
    state.counters["genotypes"] = static_cast<double>(Individuals) * Groups * MarkersPerGroup;
    state.counters["width"] = picture.width();
    state.counters["height"] = picture.height();
}
BENCHMARK(recordAllInOneView)->DenseRange(0, 3)->Iterations(1)->Unit(benchmark::kMillisecond);

void replayAllInOneView(benchmark::State &state)
{
    GenotypeData &data = population();
    AlleleTable table;
    const ViewPicture picture = drawAllInOneView(data, table, context(0), VisibleWidth);
    QImage image(picture.width(), picture.height(), QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        PainterSurface surface(image);
        picture.replay(surface);
    }
    state.counters["operations"] = static_cast<double>(picture.operationCount());
}
BENCHMARK(replayAllInOneView)->Iterations(1)->Unit(benchmark::kMillisecond);

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
