#include "render/markerstatspicture.h"

#include "core/textformat.h"
#include "render/barpainter.h"
#include "render/picturerecorder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace rvk {

namespace {

int roundInt(double value) { return static_cast<int>(roundHalfEven(value)); }

constexpr Rgb Black = rgb(0, 0, 0);
constexpr int RayLength = 1000; // slice rays reach far beyond the picture; the pie clips them

FontDescription pieFont()
{
    FontDescription font;
    font.name = "Arial";
    font.size = 13;
    font.bold = true;
    font.color = Black;
    return font;
}

// The consensus groups as the individual view's painter takes them: one individual, read from
// the first character.
GenomeDrawing consensusGenome(const std::vector<LinkageGroup> &consensus)
{
    GenomeDrawing genome;
    for (const LinkageGroup &group : consensus)
        genome.groups.push_back(GenomeDrawing::Group{&group.Loci, group.Name});
    return genome;
}

} // namespace

void drawPieLabel(DrawSurface &surface, int width, int height, double startAngle, double endAngle, const std::string &text)
{
    if (text.empty())
        return;
    const int cx = width / 2;
    const int cy = height / 2;
    const int r = std::min(width, height) / 2;
    const double d = (startAngle + endAngle) / 2.0;
    const int tw2 = surface.textWidth(text) / 2;
    const int th2 = surface.textHeight(text) / 2;
    const int px = cx + roundInt(r * std::cos(d));
    const int py = cy - roundInt(r * std::sin(d));
    int farthest = 0;
    for (int sx : {-1, 1})
        for (int sy : {-1, 1}) {
            const double dx = px + sx * tw2 - cx;
            const double dy = py + sy * th2 - cy;
            farthest = std::max(farthest, roundInt(std::sqrt(dx * dx + dy * dy)));
        }
    const int rho = 2 * r - farthest;
    // Labels are written without a background box so they never cover the slice edges.
    const BrushSpec brush = surface.brush();
    surface.setBrushStyle(BrushSpec::Style::Clear);
    surface.textOut(cx + roundInt(rho * std::cos(d)) - tw2, cy - roundInt(rho * std::sin(d)) - th2, text);
    surface.setBrush(brush);
}

void paintPie(DrawSurface &surface, int width, int height, const std::vector<PieSweep> &slices, const AlleleTable &table,
              Rgb background, double wholeCircleAbove)
{
    surface.setBrush(BrushSpec{background, BrushSpec::Style::Solid, -1});
    surface.setPen(PenSpec{background, 1, PenSpec::Style::Solid});
    surface.rectangle(0, 0, width, height);
    surface.setFont(pieFont());

    const int cx = width / 2;
    const int cy = height / 2;
    double start = 0.0;
    int x0 = cx + RayLength;
    int y0 = cy;
    for (const PieSweep &slice : slices) {
        const double end = start + slice.sweep;
        const int x1 = cx + roundInt(RayLength * std::cos(end));
        const int y1 = cy - roundInt(RayLength * std::sin(end));
        if (!(x1 == x0 && y1 == y0 && slice.sweep <= wholeCircleAbove)) {
            const int index = AlleleTable::indexOf(slice.code);
            surface.setBrush(BrushSpec{index >= 0 ? table.entry(index).Color : background, BrushSpec::Style::Solid, -1});
            surface.pie(1, 1, width - 1, height - 1, x0, y0, x1, y1);
        }
        if (slice.sweep > 0.13)
            drawPieLabel(surface, width, height, start, end, slice.label);
        start = end;
        x0 = x1;
        y0 = y1;
    }
}

void paintMarkerStatisticsPie(DrawSurface &surface, int width, int height, const std::vector<PieSlice> &slices,
                              const AlleleTable &table, Rgb background)
{
    std::vector<PieSweep> sweeps;
    sweeps.reserve(slices.size());
    for (const PieSlice &slice : slices)
        sweeps.push_back(PieSweep{slice.code, slice.percent / 100.0 * 2.0 * std::numbers::pi, slice.label});
    // Only a slice of nothing has equal rays, except one that closes the whole circle.
    paintPie(surface, width, height, sweeps, table, background, 0.15);
}

ViewPicture drawMarkerStatisticsPie(const std::vector<PieSlice> &slices, const AlleleTable &table, Rgb background)
{
    ViewPicture picture(MarkerPieWidth, MarkerPieHeight);
    PictureRecorder recorder(picture);
    paintMarkerStatisticsPie(recorder, MarkerPieWidth, MarkerPieHeight, slices, table, background);
    return picture;
}

ConsensusLayout consensusLayout(const std::vector<LinkageGroup> &consensus, const DrawContext &context)
{
    // The groups take one bar space more than in the individual view.
    return IndividualView::layoutFor(static_cast<int>(consensus.size()), consensusGenome(consensus).longestGroup(), context, 15);
}

void paintConsensus(DrawSurface &surface, const std::vector<LinkageGroup> &consensus, const std::string &popt,
                    AlleleTable &table, const DrawContext &context, const ConsensusLayout &layout)
{
    GenomeDrawing genome = consensusGenome(consensus);
    genome.scale = layout.scale;
    genome.height = layout.height;
    // Instead of the position: the major allele and how frequent it is.
    genome.positionText = [](const Tlocinfo &locus) {
        const char major = locus.Genotypes.empty() ? 'U' : locus.Genotypes.front();
        return std::string(1, major) + " " + formatText("%2.1f%%", {locus.QtlEnd});
    };
    genome.footer = "Consensus genotype (most freq allele)";
    // The consensus holds one plain code per locus: a cross-pollinator's major allele is one of
    // its raw codes, so it is drawn without the pair rules.
    const DisplayCoder coder(popt == "cp" ? std::string() : popt, context.deducePhase, CrossPollinatorTable::IndividualView);
    paintGenome(surface, table, context, coder, genome);
}

ViewPicture drawConsensusPicture(const std::vector<LinkageGroup> &consensus, const std::string &popt, AlleleTable &table,
                                 const DrawContext &context, ConsensusLayout *layout)
{
    const ConsensusLayout result = consensusLayout(consensus, context);
    ViewPicture picture;
    if (result.drawable) {
        PictureRecorder recorder(picture);
        paintConsensus(recorder, consensus, popt, table, context, result);
        picture.setSize(result.width, result.height);
    }
    if (layout)
        *layout = result;
    return picture;
}

} // namespace rvk
