#pragma once
// The column of marker labels beside the bars: which markers get a label, where the labels
// go so that they neither overlap nor stray far from their markers, and drawing them.

#include "core/tlocinfo.h"
#include "render/barpainter.h"
#include "render/drawcontext.h"
#include "render/drawsurface.h"

#include <vector>

namespace rvk {

struct MarkerLabel
{
    int locus = 0;  // index in the group's locus list
    int marker = 0; // y the label points at
    int label = 0;  // y of the label's centre line
};

// Whether locus k gets a label: markers closer than markskip cM to the previous locus are left
// out, QTL loci never.
std::vector<char> labelledLoci(const std::vector<Tlocinfo> &loci, const DrawingOptions &options);

// Moves labels upwards, one pixel at a time, while that lowers the summed squared distance of
// the labels to their markers; a label pushed to less than minDistance below the one above it
// pushes that one too. Then lifts labels that hang below their marker with room above them.
// Labels never move down.
void spreadLabels(std::vector<MarkerLabel> &labels, int barWidth, int minDistance);
// The same result, recomputing the whole column after every one-pixel move; spreadLabels moves
// packed blocks of labels at once, which long columns need.
void spreadLabelsOneByOne(std::vector<MarkerLabel> &labels, int barWidth, int minDistance);
// The last step of the spreading alone: labels below their marker with more than minDistance
// to the label above move up, the lowest first.
void liftHangingLabels(std::vector<MarkerLabel> &labels, int barWidth, int minDistance);

// The width autosize makes room for: the widest name with its position, in the surface's font.
int widestMarkerLabel(DrawSurface &surface, const std::vector<Tlocinfo> &loci);

// The labels of the linkage-group view at their spread places, with the marker font selected.
std::vector<MarkerLabel> layoutMarkerLabels(DrawSurface &surface, const std::vector<Tlocinfo> &loci,
                                            const DrawContext &context, const ViewGeometry &geometry, int minDistance);

// Draws the labels right-aligned before the bars and the connector lines, in lineColour, to the
// markers. markSpace is the space for marker names in use (after autosize).
void drawMarkerLabels(DrawSurface &surface, const std::vector<Tlocinfo> &loci, const std::vector<MarkerLabel> &labels,
                      const DrawContext &context, const ViewGeometry &geometry, int markSpace,
                      Rgb lineColour = rgb(128, 128, 128));

} // namespace rvk
