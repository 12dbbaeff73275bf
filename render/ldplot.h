#pragma once
// The LD plot of one trait: every linkage group as a vertical bar, side by side, and beside each
// marker two marks, one at a distance proportional to its R² with the trait (navy) and one
// proportional to 1 - q (red), titled "LD-PLOT for trait: " and the trait's name.

#include "render/drawsurface.h"
#include "settings/drawingoptions.h"

#include <string>
#include <vector>

namespace rvk {

class ViewPicture;

struct TraitLdLocus
{
    std::string name;
    double position = 0.0;
    double r2 = 0.0;          // 0 when the table shows no number
    double oneMinusQ = 0.0;   // 0 when the table shows no number
};

struct TraitLdGroup
{
    std::string name;
    std::vector<TraitLdLocus> loci; // in locus order
};

struct TraitLdPlotInput
{
    std::string traitName;
    std::vector<TraitLdGroup> groups; // TraitLdGroups
    DrawingOptions drawing;           // its top margin is taken as 60
    int clientHeight = 600;           // of the image area
    double zoom = 1.0;
    bool printing = false;
};

inline constexpr int TraitLdTopMargin = 60;
inline constexpr Rgb TraitLdR2Color = rgb(0, 0, 128);
inline constexpr Rgb TraitLdQColor = rgb(255, 0, 0);

// Picture size (Hh, W) and scale s of the plot.
struct TraitLdPlotLayout
{
    int width = 0, height = 0;
    double scale = 1.0;
};
TraitLdPlotLayout traitLdPlotLayout(const TraitLdPlotInput &input);

// Left edge C of group g's bar.
int traitLdBarLeft(const TraitLdPlotInput &input, int group);

void paintTraitLdPlot(DrawSurface &surface, const TraitLdPlotInput &input);
ViewPicture recordTraitLdPlot(const TraitLdPlotInput &input);

} // namespace rvk
