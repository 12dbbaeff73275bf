// Trees over a distance matrix of 2,000 entries (simple-matching distances of simulated
// individuals, so rounded to two decimals with many ties), and the cophenetic correlation of
// the tree's 2,000 leaves.
//
//   build/bench/bench_tree [--individuals N] [--markers N] [benchmark options]
//
// Targets: neighbour joining under 2.5 s, UPGMA under 0.2 s, the cophenetic correlation under 2 s,
// a picture of the tree in any style well under a second (styles 0..3: classic, straight,
// circular, curved).
#include "bench/simulateddata.h"
#include "core/genotypedata.h"
#include "genetics/distancecalculation.h"
#include "genetics/cophenetic.h"
#include "genetics/treebuilder.h"
#include "io/newickreader.h"
#include "render/paintersurface.h"
#include "render/treeview.h"
#include "settings/alleletable.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

rvk::bench::SimulationParameters parameters = [] {
    rvk::bench::SimulationParameters p;
    p.individuals = 2000;
    p.markers = 2000;
    p.missingCode = 'U';
    p.seed = 99;
    return p;
}();

const rvk::DistanceMatrix &matrix()
{
    static const rvk::DistanceMatrix m = [] {
        const auto data = rvk::bench::simulatePopulation(parameters);
        return *rvk::CalculateDistances(*data, rvk::AlleleTable(), {});
    }();
    return m;
}

void Tree(benchmark::State &state, rvk::TreeMethod method)
{
    const rvk::DistanceMatrix &m = matrix();
    size_t length = 0;
    for (auto _ : state) {
        const auto tree = rvk::BuildTree(m, method);
        length = tree->newick.size();
        benchmark::DoNotOptimize(tree->newick.data());
    }
    state.counters["entries"] = m.size();
    state.counters["newick_kB"] = static_cast<double>(length) / 1024.0;
}

// Reading the NJ tree back and measuring its 2,000 leaves against the matrix.
void CopheneticCorrelation(benchmark::State &state)
{
    const rvk::DistanceMatrix &m = matrix();
    const auto tree = rvk::BuildTree(m, rvk::TreeMethod::NeighbourJoining);
    double r = 0;
    for (auto _ : state) {
        const auto root = rvk::ReadTree(tree->newick, m.labels());
        r = rvk::CopheneticCorrelation(*root, m).correlation();
        benchmark::DoNotOptimize(r);
    }
    state.counters["r"] = r;
}

// The tree window's drawing of the 2,000-leaf tree in each style (text read, picture recorded).
void TreePicture(benchmark::State &state)
{
    const rvk::DistanceMatrix &m = matrix();
    const auto tree = rvk::BuildTree(m, rvk::TreeMethod::NeighbourJoining);
    const auto root = rvk::ReadTree(tree->newick, m.labels());
    rvk::TreeDrawingOptions options;
    options.style = static_cast<rvk::TreeStyle>(state.range(0));
    options.showDistances = true;
    size_t operations = 0;
    for (auto _ : state)
        operations = rvk::drawTree(*root, options).operationCount();
    state.counters["operations"] = static_cast<double>(operations);
}

// One screenful of the classic picture replayed, clipped, as the tree window paints while it
// scrolls through the middle of the tree.
void TreeScrollPaint(benchmark::State &state)
{
    const rvk::DistanceMatrix &m = matrix();
    const auto tree = rvk::BuildTree(m, rvk::TreeMethod::NeighbourJoining);
    const auto root = rvk::ReadTree(tree->newick, m.labels());
    rvk::TreeDrawingOptions options;
    options.showDistances = true;
    const rvk::ViewPicture picture = rvk::drawTree(*root, options);
    // The window keeps the picture in bands of 1,024 rows and replays those it shows.
    const std::vector<rvk::ViewPicture> bands = rvk::pictureBands(picture, 1024);
    QImage screen(options.width, 600, QImage::Format_RGB32);
    const int top = picture.height() / 2;
    for (auto _ : state) {
        QPainter painter(&screen);
        painter.translate(0, -top);
        painter.setClipRect(0, top, options.width, 600);
        rvk::PainterSurface surface(painter);
        for (size_t b = 0; b < bands.size(); ++b)
            if (static_cast<int>(b) * 1024 < top + 600 && static_cast<int>(b + 1) * 1024 > top)
                bands[b].replay(surface);
    }
}

BENCHMARK(TreeScrollPaint)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(CopheneticCorrelation)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(TreePicture)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(Tree, NeighbourJoining, rvk::TreeMethod::NeighbourJoining)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(Tree, Upgma, rvk::TreeMethod::Upgma)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    // Texts are measured with the fonts a screen would use.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QGuiApplication application(qtArgc, argv);
    rvk::bench::takeSizeOptions(argc, argv, parameters);
    parameters.individuals = std::max(3, parameters.individuals);
    parameters.markers = std::max(parameters.groups * 2, parameters.markers);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
