#include "render/markerstatspicture.h"

#include "core/textformat.h"
#include "render/barpainter.h"
#include "render/labellayout.h"
#include "render/picturerecorder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace rvk {

namespace {

int roundInt(double value) { return static_cast<int>(roundHalfEven(value)); }

constexpr Rgb Black = rgb(0, 0, 0);
constexpr int RayLength = 1000; // slice rays reach far beyond the picture; the pie clips them

FontSpec pieFont()
{
    FontSpec font;
    font.name = "Arial";
    font.size = 13;
    font.bold = true;
    font.color = Black;
    return font;
}

double longestGroup(const std::vector<LinkageGroup> &groups)
{
    double longest = 0.0;
    for (const LinkageGroup &group : groups)
        if (!group.Loci.empty())
            longest = std::max(longest, group.Loci.back().Position);
    return longest;
}

int groupSpace(const DrawingOptions &options)
{
    if (!options.drawmarkers && !options.drawpos)
        return 2;
    return std::max(options.space, 7);
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

void paintMarkerStatisticsPie(DrawSurface &surface, int width, int height, const std::vector<PieSlice> &slices,
                              const AlleleTable &table, Rgb background)
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
    for (const PieSlice &slice : slices) {
        const double sweep = slice.percent / 100.0 * 2.0 * std::numbers::pi;
        const double end = start + sweep;
        const int x1 = cx + roundInt(RayLength * std::cos(end));
        const int y1 = cy - roundInt(RayLength * std::sin(end));
        // A slice of nothing would have equal rays, which the surface reads as a full circle.
        if (!(x1 == x0 && y1 == y0 && sweep <= 0.15)) {
            const int index = AlleleTable::indexOf(slice.code);
            surface.setBrush(BrushSpec{index >= 0 ? table.entry(index).Color : background, BrushSpec::Style::Solid, -1});
            surface.pie(1, 1, width - 1, height - 1, x0, y0, x1, y1);
        }
        if (sweep > 0.13)
            drawPieLabel(surface, width, height, start, end, slice.label);
        start = end;
        x0 = x1;
        y0 = y1;
    }
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
    ConsensusLayout layout;
    if (consensus.empty())
        return layout;
    layout.drawable = true;
    const DrawingOptions &o = context.options;
    const double z = context.zoom;
    const int c = (o.drawmarkers || o.drawpos) ? 15 : 5;
    const int A = context.visibleHeight;
    const int G = static_cast<int>(consensus.size());
    int width = o.markspace + roundInt((G + 1) * 1.4 * (o.barwidth + c * o.space));
    if (width < 150)
        width = 150;
    const int lengthAt100 = roundInt(o.Lenmul / 2.0 * A);
    const int height = lengthAt100 + o.topmargin;
    layout.landscape = height < width;
    layout.height = roundInt(height * z);
    layout.width = roundInt(z * width);
    const double longest = longestGroup(consensus);
    if (longest > 0)
        layout.scale = (lengthAt100 - o.topmargin - o.bottommargin) * 0.95 / longest;
    return layout;
}

void paintConsensus(DrawSurface &surface, const std::vector<LinkageGroup> &consensus, const std::string &popt,
                    AlleleTable &table, const DrawContext &context, const ConsensusLayout &layout)
{
    table.resetDrawnLengths();
    const DrawingOptions &o = context.options;
    const double z = context.zoom;
    const int tm = o.topmargin;
    const int bw = o.barwidth;
    const int spacing = groupSpace(o);
    const int G = static_cast<int>(consensus.size());
    const ViewGeometry geometry{layout.scale, z, tm};

    const int th = surface.textHeight("8H8H");
    surface.setPen(PenSpec{Black, 1, PenSpec::Style::Solid});
    FontSpec markerFont = o.markerFont;
    if (!context.printing)
        markerFont.size += roundInt(2 * z) - 2;
    surface.setFont(markerFont);
    surface.setBrushStyle(BrushSpec::Style::Solid);
    markerFont.size -= 1;
    surface.setFont(markerFont);

    const int lastTick = drawCmRuler(surface, context, geometry, roundInt(2 * z), surface.textHeight("H"), longestGroup(consensus));
    if (o.cMRuler)
        surface.textOut(5, lastTick + surface.textHeight("cM") - 1, "cM");

    // The consensus holds one plain code per locus: a cross-pollinator's major allele is one of
    // its raw codes, so it is drawn without the pair rules.
    const DisplayCoder coder(popt == "cp" ? std::string() : popt, context.deducePhase, CrossPollinatorTable::IndividualView);
    BarPainter painter(surface, table, context, geometry, coder, BarPainter::Variant::IndividualView);
    const int bz = roundInt(z * bw);

    for (int g = 0; g < G; ++g) {
        const std::vector<Tlocinfo> &loci = consensus[static_cast<size_t>(g)].Loci;
        if (loci.empty())
            continue;
        const int C = roundInt(z * (o.markspace + (bw + 15 * spacing) * g));
        const int E = C + roundInt(z * 0.75 * bw);
        painter.paintBar(loci, 0, -1, 0, C, E, E);

        surface.setPen(PenSpec{Black, 1, PenSpec::Style::Solid});
        surface.setBrush(BrushSpec{rgb(255, 255, 255), BrushSpec::Style::Solid, -1});
        FontSpec font = surface.font();
        font.size += 1;
        surface.setFont(font);
        surface.textOutRotated(C - 1, painter.lastSegmentEnd() + 10, consensus[static_cast<size_t>(g)].Name, 270);
        font.size -= 1;
        surface.setFont(font);

        font.color = rgb(192, 192, 192);
        surface.setFont(font);
        surface.setPen(PenSpec{rgb(192, 192, 192), 1, PenSpec::Style::Solid});
        std::vector<MarkerLabel> labels;
        const std::vector<char> labelled = labelledLoci(loci, o);
        int cursor = tm;
        const int step = surface.textHeight("8HLJ");
        for (size_t k = 0; k < loci.size(); ++k) {
            if (!labelled[k])
                continue;
            const int marker = geometry.y(loci[k].Position);
            cursor = std::max(cursor, marker);
            labels.push_back(MarkerLabel{static_cast<int>(k), marker, cursor});
            cursor += step;
        }
        spreadLabels(labels, bw, th);

        font.color = Black;
        surface.setFont(font);
        surface.setPen(PenSpec{rgb(128, 128, 128), 1, PenSpec::Style::Solid});
        for (const MarkerLabel &label : labels) {
            const Tlocinfo &locus = loci[static_cast<size_t>(label.locus)];
            if (o.drawmarkers) {
                surface.moveTo(C - 1, label.marker);
                surface.lineTo(C - bz - 1, label.label);
                std::string text = locus.Name;
                if (o.showphase)
                    text += " " + locus.Phase;
                surface.textOut(C - surface.textWidth(text) - bz - 1, label.label - th / 2, text);
            }
            if (o.drawpos) {
                // Instead of the position: the major allele and how frequent it is.
                surface.moveTo(C + roundInt(z * bw), label.marker);
                surface.lineTo(C + roundInt(2 * z * bw), label.label);
                const char major = locus.Genotypes.empty() ? 'U' : locus.Genotypes.front();
                surface.textOut(C + roundInt(2 * z * bw) + 1, label.label - th / 2,
                                std::string(1, major) + " " + formatText("%2.1f%%", {locus.QtlEnd}));
            }
        }
    }

    if (o.ShowLegend) {
        FontSpec legendFont = o.markerFont;
        if (!context.printing)
            legendFont.size += roundInt(2 * z) - 2;
        surface.setFont(legendFont);
        LegendPlacement placement;
        placement.x = roundInt(z * (G * (bw + 15 * spacing) + o.markspace));
        placement.bottom = roundInt((layout.height - tm) * 0.9);
        placement.headerPenWidth = 1;
        placement.boxTop = 10;
        placement.boxBottom = 20;
        drawLegend(surface, table, context, placement);
    }

    FontSpec font = surface.font();
    font.size += 1;
    surface.setFont(font);
    surface.textOut(15 * spacing, layout.height - roundInt(2.5 * surface.textHeight("8")), "Consensus genotype (most freq allele)");
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
