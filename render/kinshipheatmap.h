#pragma once
// The kinship heat map: one cell per pair of individuals in the given order (input order, or
// the leaf order of a tree), blue for low relatedness through white to red for high, the
// colour scale symmetric around 0 for the centred kinship and running from the smallest value
// for IBS. Panels larger than the picture are drawn by averaging the pairs that share a pixel.

#include "render/drawsurface.h"

#include <vector>

class QImage;

namespace rvk {

struct KinshipHeatMapInput
{
    int size = 0;
    const double *values = nullptr; // size x size, symmetric
    std::vector<int> order;         // rows in drawing order; empty: 0, 1, ...
    bool centred = true;
    int side = 600;                 // pixels of the square, at most one per individual
};

// The colour of a value on the map's scale (low .. high).
Rgb kinshipColour(double value, double low, double high);
// The picture, side x side pixels (fewer when there are fewer individuals).
QImage renderKinshipHeatMap(const KinshipHeatMapInput &input);

} // namespace rvk
