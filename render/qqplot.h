#pragma once
// The QQ plot of an association run: observed -log10 p against the expected -log10 of the
// uniform quantiles (i - 0.5) / m, the diagonal, and the genomic inflation factor lambda_GC in
// the corner.

#include "render/drawsurface.h"

#include <string>
#include <vector>

namespace rvk {

class ViewPicture;

struct QqPlotInput
{
    std::string title;
    std::vector<double> minusLog10P;
    double lambdaGc = 1.0;
    int width = 480;
    int height = 480;
};

struct QqPlotLayout
{
    int left = 0, top = 0, right = 0, bottom = 0;
    double maxValue = 1.0; // both axes run from 0 to it
    int pixelX(double expected) const;
    int pixelY(double observed) const;
};
QqPlotLayout qqPlotLayout(const QqPlotInput &input);

// The expected -log10 p of rank i (1-based, strongest first) of m.
double qqExpected(size_t rank, size_t m);

void paintQqPlot(DrawSurface &surface, const QqPlotInput &input);
ViewPicture recordQqPlot(const QqPlotInput &input);

inline constexpr Rgb QqPointColour = rgb(0, 0, 139);
inline constexpr Rgb QqDiagonalColour = rgb(220, 0, 0);

} // namespace rvk
