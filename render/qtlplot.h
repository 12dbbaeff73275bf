#pragma once
// The LOD profile picture of QTL mapping: every linkage group side by side at one cM scale, the
// LOD curve of each plotted trait in its own colour, the traits' 5 % and 10 % permutation
// thresholds as dotted lines (the 10 % one in a lighter tint), a mark at each significant peak,
// the marker ticks under each group, the LOD axis and a legend.

#include "render/drawsurface.h"

#include <optional>
#include <string>
#include <vector>

namespace rvk {

class ViewPicture;

struct QtlPlotGroup
{
    std::string name;
    std::vector<double> positions;       // scanned positions, ascending
    std::vector<double> markerPositions; // ticks
};

struct QtlPlotTrait
{
    std::string name;
    Rgb color = 0;
    std::vector<std::vector<double>> lod; // per group, per position
    double threshold5 = -1.0;             // below 0: none
    double threshold10 = -1.0;
    std::vector<std::pair<int, int>> peaks; // (group, position index) of significant peaks
};

struct QtlPlotInput
{
    std::vector<QtlPlotGroup> groups;
    std::vector<QtlPlotTrait> traits;
    int width = 1000;
    int height = 420;
};

// The colour of the k-th plotted trait.
Rgb qtlTraitColor(int k);

struct QtlPlotLayout
{
    int left = 0, right = 0, top = 0, bottom = 0; // the plotting area
    double lodMaximum = 1.0;                       // the LOD at the top
    double pixelsPerCm = 1.0;
    std::vector<int> groupLeft;                    // x of each group's first position
    std::vector<double> groupStart;                // its cM
    int x(int group, double cM) const;
    int y(double lod) const;
};
QtlPlotLayout qtlPlotLayout(const QtlPlotInput &input);

void paintQtlPlot(DrawSurface &surface, const QtlPlotInput &input);
ViewPicture recordQtlPlot(const QtlPlotInput &input);

// Pointer inspection: the scanned position nearest to pixel x (within the group under it).
struct QtlPlotHit
{
    int group = 0;
    int position = 0; // index into the group's positions
};
std::optional<QtlPlotHit> qtlPlotHit(const QtlPlotInput &input, int x, int y);

} // namespace rvk
