#include "render/individualview.h"

#include "core/genotypedata.h"
#include "render/picturerecorder.h"
#include "core/textformat.h"
#include "render/barpainter.h"
#include "render/labellayout.h"

#include <algorithm>

namespace rvk {

namespace {

int roundInt(double value) { return static_cast<int>(roundHalfEven(value)); }

constexpr Rgb Black = rgb(0, 0, 0);

} // namespace

IndividualView::IndividualView(const GenotypeData &data, AlleleTable &table, const DrawContext &context)
    : mData(data)
    , mPalette(data, table, context)
    , mTable(mPalette.table())
    , mContext(context)
{
}

double IndividualView::longestGroup(const GenotypeData &data)
{
    double longest = 0.0;
    for (const auto &group : data.LinkageGroups)
        if (!group->Loci.empty())
            longest = std::max(longest, group->Loci.back().Position);
    return longest;
}

int IndividualView::groupSpace(const DrawingOptions &options)
{
    if (!options.drawmarkers && !options.drawpos)
        return 2;
    return std::max(options.space, 7);
}

IndividualView::Layout IndividualView::layout() const
{
    return layoutFor(mData.GroupCount(), longestGroup(mData), mContext, 14);
}

IndividualView::Layout IndividualView::layoutFor(int groupCount, double longest, const DrawContext &context,
                                                 int labelledSpaceFactor)
{
    Layout layout;
    if (groupCount == 0)
        return layout;
    layout.drawable = true;
    const DrawingOptions &o = context.options;
    const double z = context.zoom;
    const int c = (o.drawmarkers || o.drawpos) ? labelledSpaceFactor : 5;
    const int A = context.visibleHeight;
    const int G = groupCount;
    int width = o.markspace + roundInt((G + 1) * 1.4 * (o.barwidth + c * o.space));
    if (width < 150)
        width = 150;
    const int lengthAt100 = roundInt(o.Lenmul / 2.0 * A);
    const int height = lengthAt100 + o.topmargin;
    layout.landscape = height < width;
    layout.height = roundInt(height * z);
    layout.width = roundInt(z * width);
    layout.scale = 1.0;
    if (longest > 0)
        layout.scale = (lengthAt100 - o.topmargin - o.bottommargin) * 0.95 / longest;
    return layout;
}

void IndividualView::paintIndividual(DrawSurface &surface, int individual, int height, int width, double scale, int offset) const
{
    const DrawingOptions &o = mContext.options;
    const int m = mData.IsCrossPollinator() ? 2 : 1;
    const int i = individual;
    GenomeDrawing genome;
    for (int g = 0; g < mData.GroupCount(); ++g)
        genome.groups.push_back(GenomeDrawing::Group{&mData.GroupLoci(g), mData.GroupName(g)});
    genome.column = (i - 1) * m;
    genome.bars = m;
    genome.scale = scale;
    genome.height = height;
    genome.offset = offset;
    genome.positionText = [](const Tlocinfo &locus) { return formatText("%2.2f", {locus.Position}); };
    if (o.showtext) {
        const std::string name = static_cast<size_t>(i - 1) < mData.IndividualNames.size() ? mData.IndividualNames[static_cast<size_t>(i - 1)] : std::string();
        genome.footer = "Ind no:" + formatText("%d", {i}) + " [" + name + "] - " + o.Customtext;
    }
    const DisplayCoder coder(mData, mContext, CrossPollinatorTable::IndividualView);
    paintGenome(surface, mTable, mContext, coder, genome);
    (void)width;
}

double GenomeDrawing::longestGroup() const
{
    double longest = 0.0;
    for (const Group &group : groups)
        if (!group.loci->empty())
            longest = std::max(longest, group.loci->back().Position);
    return longest;
}

void paintGenome(DrawSurface &surface, AlleleTable &table, const DrawContext &context, const DisplayCoder &coder,
                 const GenomeDrawing &genome)
{
    table.resetDrawnLengths();
    const DrawingOptions &o = context.options;
    const double z = context.zoom;
    const int tm = o.topmargin;
    const int bw = o.barwidth;
    const int spacing = IndividualView::groupSpace(o);
    const int G = static_cast<int>(genome.groups.size());
    const int m = genome.bars;
    const ViewGeometry geometry{genome.scale, z, tm};
    const int offset = genome.offset;

    const int th = surface.textHeight("8H8H");
    surface.setPen(PenSpec{Black, 1, PenSpec::Style::Solid});
    FontDescription markerFont = startMarkerFont(context);
    surface.setFont(markerFont);
    surface.setBrushStyle(BrushSpec::Style::Solid);
    markerFont.size -= 1;
    surface.setFont(markerFont);

    const int lastTick = drawCmRuler(surface, context, geometry, roundInt(2 * z), surface.textHeight("H"), genome.longestGroup());
    if (o.cMRuler)
        surface.textOut(5, lastTick + surface.textHeight("cM") - 1, "cM");

    BarPainter painter(surface, table, context, geometry, coder, BarPainter::Variant::IndividualView);
    const int bz = roundInt(z * bw);
    const int bp = m == 2 ? 2 * bw : bw;

    for (int g = 0; g < G; ++g) {
        const auto &loci = *genome.groups[static_cast<size_t>(g)].loci;
        if (loci.empty())
            continue;
        const int C = roundInt(z * (o.markspace + (bw + 15 * spacing) * g)) + offset;
        const int E = C + roundInt(z * 0.75 * bw);

        for (int bar = 0; bar < m; ++bar) {
            const int u = roundInt(z * bar * (bw + 2));
            const int column = genome.column + bar;
            const int other = m == 2 ? genome.column + (1 - bar) : -1;
            painter.paintBar(loci, column, other, bar, C + u, E + u, E);
        }
        // Group name under the bar.
        surface.setPen(PenSpec{Black, 1, PenSpec::Style::Solid});
        surface.setBrush(BrushSpec{rgb(255, 255, 255), BrushSpec::Style::Solid, -1});
        FontDescription font = surface.font();
        font.size += 1;
        surface.setFont(font);
        surface.textOutRotated(C - 1, painter.lastSegmentEnd() + 10, genome.groups[static_cast<size_t>(g)].name, 270);
        font.size -= 1;
        surface.setFont(font);

        // Labels: laid out from the top margin down, then spread.
        font.color = rgb(192, 192, 192);
        surface.setFont(font);
        surface.setPen(PenSpec{rgb(192, 192, 192), 1, PenSpec::Style::Solid});
        std::vector<LabelCandidate> candidates;
        const std::vector<char> labelled = labelledLoci(loci, o);
        const int step = surface.textHeight("8HLJ");
        for (size_t k = 0; k < loci.size(); ++k) {
            if (!labelled[k])
                continue;
            const int y = geometry.y(loci[k].Position);
            const bool qtl = loci[k].QtlStart != 0;
            const int marker = o.drawmarkers && qtl ? (geometry.y(loci[k].QtlStart) + geometry.y(loci[k].QtlEnd)) / 2 : y;
            candidates.push_back(LabelCandidate{static_cast<int>(k), y, marker, step, qtl});
        }
        const std::vector<MarkerLabel> labels = placeMarkerLabels(candidates, tm, bw, th);

        font.color = Black;
        surface.setFont(font);
        const FontDescription labelFont = font;
        PenSpec pen{rgb(128, 128, 128), 1, PenSpec::Style::Solid};
        surface.setPen(pen);
        for (const MarkerLabel &label : labels) {
            const Tlocinfo &locus = loci[static_cast<size_t>(label.locus)];
            const bool qtl = locus.QtlStart != 0;
            if (o.drawmarkers) {
                if (qtl) {
                    const int yq1 = geometry.y(locus.QtlStart);
                    const int yq2 = geometry.y(locus.QtlEnd);
                    surface.moveTo(C - 2, yq1);
                    surface.lineTo(C - 2, yq2);
                    surface.moveTo(C - 1, yq1);
                    surface.lineTo(C - 4, yq1);
                    surface.moveTo(C - 1, yq2);
                    surface.lineTo(C - 4, yq2);
                    surface.setPen(PenSpec{rgb(255, 0, 0), 1, PenSpec::Style::Dotted});
                    surface.moveTo(C - bz - 1, label.label);
                    surface.lineTo(C - 4, yq1);
                    surface.moveTo(C - bz - 1, label.label);
                    surface.lineTo(C - 4, yq2);
                    surface.setPen(pen);
                    surface.setFont(o.qtlFont);
                    surface.textOut(C - surface.textWidth(locus.Name) - bz - 1, label.label - th / 2, locus.Name);
                } else {
                    surface.moveTo(C - 1, label.marker);
                    surface.lineTo(C - bz - 1, label.label);
                    std::string text = locus.Name;
                    if (o.showphase)
                        text += " " + locus.Phase;
                    surface.setFont(labelFont);
                    surface.textOut(C - surface.textWidth(text) - bz - 1, label.label - th / 2, text);
                }
            }
            if (o.drawpos && !qtl) {
                surface.moveTo(C + roundInt(z * bp), label.marker);
                surface.lineTo(C + roundInt(2 * z * bp), label.label);
                surface.setFont(labelFont);
                surface.textOut(C + roundInt(2 * z * bp) + 1, label.label - th / 2, genome.positionText(locus));
            }
        }
        surface.setFont(labelFont);
    }

    if (o.ShowLegend) {
        surface.setFont(startMarkerFont(context));
        LegendPlacement placement;
        placement.x = roundInt(z * (G * (bw + 15 * spacing) + o.markspace)) + offset;
        placement.bottom = roundInt((genome.height - tm) * 0.9);
        placement.headerPenWidth = 1;
        placement.boxTop = 10;
        placement.boxBottom = 20;
        drawLegend(surface, table, context, placement);
    }

    if (!genome.footer.empty()) {
        FontDescription font = surface.font();
        font.size += 1;
        surface.setFont(font);
        surface.textOut(offset + 15 * spacing, genome.height - roundInt(2.5 * surface.textHeight("8")), genome.footer);
    }
}

IndividualView::Layout IndividualView::draw(DrawSurface &surface) const
{
    const Layout result = layout();
    if (!result.drawable)
        return result;
    const int individual = std::clamp(mContext.currentIndividual, 1, std::max(1, mData.nind));
    paintIndividual(surface, individual, result.height, result.width, result.scale, 0);
    return result;
}

ViewPicture drawIndividualView(const GenotypeData &data, AlleleTable &table, const DrawContext &context,
                               IndividualView::Layout *layout)
{
    return recordView(IndividualView(data, table, context), layout);
}

} // namespace rvk
