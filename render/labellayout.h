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

// A marker that may get a label: y is where its label would stand at best (the cursor never
// stays above it), marker the y the label points at, step what the label takes of the column.
// A QTL label is always kept.
struct LabelCandidate
{
    int locus = 0;
    int y = 0;
    int marker = 0;
    int step = 0;
    bool alwaysKept = false;
};

// How far a spread label may stand from its marker, in pixels, for labels minDistance apart:
// beyond it the connector no longer leads the eye to the marker.
int farthestLabelOffset(int minDistance);

// Whether every label stands within farthestLabelOffset of the marker it points at.
bool labelsBesideTheirMarkers(const std::vector<MarkerLabel> &labels, int minDistance);

// Lays out the candidates' labels from top down (each at max(cursor, y), the cursor advancing by
// step), then spreads them. When the column is too crowded for every label to end within
// farthestLabelOffset of its marker, labels are thinned the way a larger marker skip would thin
// them: a label is kept only where its marker lies far enough below the last kept one, with the
// smallest such distance that lets every kept label stand beside its marker. Columns that fit
// are spread exactly as before.
std::vector<MarkerLabel> placeMarkerLabels(const std::vector<LabelCandidate> &candidates, int top, int barWidth,
                                           int minDistance);

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
