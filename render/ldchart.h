#pragma once
// The LD page's chart "marker LD": one cross per pair of loci on the same linkage group, the LD
// measure against the map distance, with the threshold line of the run.
//
// A run over thousands of loci gives millions of points, most of them on top of each other: the
// chart paints each pixel of its plot area once, however many points fall on it, so the picture
// stays small whatever the number of pairs.

#include "render/drawsurface.h"

#include <functional>
#include <optional>
#include <string>

namespace rvk {

class ViewPicture;

struct LdChartInput
{
    std::string title = "marker LD";
    std::string bottomTitle = "map distance (cM)";
    std::string leftTitle; // the measure caption
    enum class Range { Automatic, UpToOne, MinusOneToOne };
    Range range = Range::Automatic;
    double largestDistance = 0.0; // the x extent
    // Calls visit(distance, value) for every point.
    std::function<void(const std::function<void(double, double)> &visit)> points;
    std::optional<double> thresholdY; // the navy line from x = 0 to the x extent
    int width = 640;
    int height = 420;
};

// Axis ranges of the chart (for the painter and its tests).
struct LdChartAxes
{
    double xMin = 0.0, xMax = 1.0, yMin = 0.0, yMax = 1.0;
};
LdChartAxes ldChartAxes(const LdChartInput &input);

// The plot area inside the picture, where (xMin, yMin) .. (xMax, yMax) are drawn.
struct LdChartPlotArea
{
    int left = 0, top = 0, right = 0, bottom = 0;
};
LdChartPlotArea ldChartPlotArea(const LdChartInput &input);

void paintLdChart(DrawSurface &surface, const LdChartInput &input);
ViewPicture recordLdChart(const LdChartInput &input);

inline constexpr Rgb LdChartPointColor = rgb(255, 0, 0);
inline constexpr Rgb LdChartThresholdColor = rgb(0, 0, 128); // navy

} // namespace rvk
