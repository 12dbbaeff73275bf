#pragma once
// The pictures of the marker-statistics window: the pie of one locus's allele shares and the
// consensus genotype, every group drawn as one bar of its most frequent alleles.

#include "core/linkagegroup.h"
#include "render/drawcontext.h"
#include "render/drawsurface.h"
#include "render/individualview.h"
#include "render/viewpicture.h"
#include "settings/alleletable.h"

#include <string>
#include <vector>

namespace rvk {

// One slice of a pie: the allele, its share in percent and the label written on it.
struct PieSlice
{
    char code = ' ';
    double percent = 0.0;
    std::string label;
};

// The window background (button face) the statistics pictures are cleared with.
constexpr Rgb ButtonFaceColor = rgb(240, 240, 240);

// Size of the pie picture pieimage.
constexpr int MarkerPieWidth = 201;
constexpr int MarkerPieHeight = 193;

// Paints the slices counter-clockwise from 3 o'clock, each spanning its percent of the full
// circle, filled in its allele's colour, and labels those wider than 0.13 radians.
void paintMarkerStatisticsPie(DrawSurface &surface, int width, int height, const std::vector<PieSlice> &slices,
                              const AlleleTable &table, Rgb background = ButtonFaceColor);
ViewPicture drawMarkerStatisticsPie(const std::vector<PieSlice> &slices, const AlleleTable &table,
                                    Rgb background = ButtonFaceColor);

// A slice as the pie painter takes it: the allele, the angle it spans in radians and its label.
struct PieSweep
{
    char code = ' ';
    double sweep = 0.0;
    std::string label;
};

// Clears width x height to background and paints the slices counter-clockwise from 3 o'clock,
// each filled in its allele's colour (background for a code without entry), labelling those
// wider than 0.13 radians. A slice whose two rays fall on the same pixel would make the surface
// paint a whole circle: it is painted only when it spans more than wholeCircleAbove radians.
void paintPie(DrawSurface &surface, int width, int height, const std::vector<PieSweep> &slices, const AlleleTable &table,
              Rgb background, double wholeCircleAbove);

// Writes a slice's label centred on the slice's middle direction, pulled in from the rim so its
// farthest corner lies about on the circle. Shared with the current-view statistics pie.
void drawPieLabel(DrawSurface &surface, int width, int height, double startAngle, double endAngle, const std::string &text);

// The consensus picture, laid out and painted like the individual view of one individual whose
// genotype at every locus is the major allele.
using ConsensusLayout = IndividualView::Layout;
ConsensusLayout consensusLayout(const std::vector<LinkageGroup> &consensus, const DrawContext &context);
void paintConsensus(DrawSurface &surface, const std::vector<LinkageGroup> &consensus, const std::string &popt,
                    AlleleTable &table, const DrawContext &context, const ConsensusLayout &layout);
ViewPicture drawConsensusPicture(const std::vector<LinkageGroup> &consensus, const std::string &popt, AlleleTable &table,
                                 const DrawContext &context, ConsensusLayout *layout = nullptr);

} // namespace rvk
