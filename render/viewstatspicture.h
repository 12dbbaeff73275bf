#pragma once
// The pie of the current-view statistics: how much of the drawn map length each allele carries.

#include "render/drawsurface.h"
#include "render/viewpicture.h"
#include "settings/alleletable.h"

#include <string>
#include <vector>

namespace rvk {

// One slice: the allele, its fraction of all drawn length and its label (the code).
struct ViewPieSlice
{
    char code = ' ';
    double fraction = 0.0;
    std::string label;
};

// Size of the picture Image1 of the statistics window.
constexpr int ViewPieWidth = 153;
constexpr int ViewPieHeight = 145;

// Paints the slices counter-clockwise from 3 o'clock, slice k spanning 6.282 * fraction radians
// in its allele's colour, labelled when wider than 0.13 radians.
void paintViewStatisticsPie(DrawSurface &surface, int width, int height, const std::vector<ViewPieSlice> &slices,
                            const AlleleTable &table, Rgb background);
ViewPicture drawViewStatisticsPie(const std::vector<ViewPieSlice> &slices, const AlleleTable &table, Rgb background);

} // namespace rvk
