#pragma once
// The scatter plot of two principal components: one dot per individual, coloured by a trait
// (a gradient from blue through yellow to red over its range), by given colours (the
// selection, a group of a selection list) or all alike; individuals without a colour value grey.

#include "render/drawsurface.h"

#include <string>
#include <vector>

namespace rvk {

class ViewPicture;

struct PcaPlotInput
{
    std::string title = "Principal components";
    std::string xTitle = "PC1";
    std::string yTitle = "PC2";
    std::vector<double> x, y;
    std::vector<std::string> names;
    std::vector<double> colourValues; // a trait per point (NaN: none); empty: not by a trait
    std::vector<Rgb> pointColours;    // explicit colours per point; when given they count
    int width = 640;
    int height = 480;
};

struct PcaPlotLayout
{
    int left = 0, top = 0, right = 0, bottom = 0; // plot area
    double xMin = 0, xMax = 1, yMin = 0, yMax = 1;
    int pixelX(double x) const;
    int pixelY(double y) const;
};
PcaPlotLayout pcaPlotLayout(const PcaPlotInput &input);

// The dot's colour of point i.
Rgb pcaPointColour(const PcaPlotInput &input, size_t i);
// The blue-yellow-red gradient at t in [0, 1].
Rgb gradientColour(double t);
// The point under (x, y) within radius pixels, -1 when none: the name under the pointer.
int pcaPointAt(const PcaPlotInput &input, int x, int y, int radius = 4);

void paintPcaPlot(DrawSurface &surface, const PcaPlotInput &input);
ViewPicture recordPcaPlot(const PcaPlotInput &input);

inline constexpr Rgb PcaPlainColour = rgb(0, 0, 160);
inline constexpr Rgb PcaNoValueColour = rgb(170, 170, 170);
// The selected individuals, or the group of a selection list.
inline constexpr Rgb PcaGroupColour = rgb(220, 0, 0);

} // namespace rvk
