#pragma once
// The Manhattan plot of an association run: the linkage groups side by side along the map,
// -log10 p of every tested marker (groups in alternating blues), the Bonferroni line (red) and
// the FDR line (green) across, and the markers above the lower line labelled with their names
// (the strongest first, at most maxLabels).

#include "render/drawsurface.h"

#include <limits>
#include <string>
#include <vector>

namespace rvk {

class ViewPicture;

struct ManhattanPoint
{
    int group = 0; // index into groupNames
    double position = 0.0;
    double minusLog10P = 0.0;
    std::string label;
};

struct ManhattanInput
{
    std::string title;
    std::vector<std::string> groupNames;
    std::vector<ManhattanPoint> points;
    double bonferroni = std::numeric_limits<double>::quiet_NaN(); // -log10 of the thresholds;
    double fdr = std::numeric_limits<double>::quiet_NaN();        // NaN: no line
    int maxLabels = 20;
    int width = 900;
    int height = 420;
};

struct ManhattanLayout
{
    int left = 0, top = 0, right = 0, bottom = 0;
    double yMax = 1.0;
    std::vector<double> groupStart, groupLength; // cM along the x axis
    double totalLength = 1.0;
    int pixelX(int group, double position) const;
    int pixelY(double minusLog10P) const;
};
ManhattanLayout manhattanLayout(const ManhattanInput &input);

void paintManhattanPlot(DrawSurface &surface, const ManhattanInput &input);
ViewPicture recordManhattanPlot(const ManhattanInput &input);

inline constexpr Rgb ManhattanDarkColour = rgb(0, 0, 139);
inline constexpr Rgb ManhattanLightColour = rgb(100, 149, 237);
inline constexpr Rgb ManhattanBonferroniColour = rgb(220, 0, 0);
inline constexpr Rgb ManhattanFdrColour = rgb(0, 150, 0);

} // namespace rvk
