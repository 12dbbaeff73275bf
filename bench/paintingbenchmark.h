#pragma once
// What the benchmarks that paint share: replaying a recorded picture onto a bitmap, and their
// main(), since fonts and images need a GUI application (offscreen unless the caller chose a
// platform).

#include "render/paintersurface.h"
#include "render/viewpicture.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <cstdlib>

namespace rvk::bench {

// Replays picture onto a white bitmap of its size once per iteration.
inline void replayOntoBitmap(benchmark::State &state, const ViewPicture &picture)
{
    QImage image(picture.width(), picture.height(), QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        PainterSurface surface(image);
        picture.replay(surface);
    }
    state.counters["operations"] = static_cast<double>(picture.operationCount());
}

inline int runPaintingBenchmarks(int argc, char **argv)
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

} // namespace rvk::bench
