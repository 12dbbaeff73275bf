#include "render/linkagegroupview.h"

#include "core/genotypedata.h"
#include "render/picturerecorder.h"
#include "core/textformat.h"
#include "render/barpainter.h"
#include "render/barslots.h"
#include "render/labellayout.h"

#include <algorithm>

namespace rvk {

namespace {

int roundInt(double value) { return static_cast<int>(roundHalfEven(value)); }

} // namespace

LinkageGroupView::LinkageGroupView(const GenotypeData &data, AlleleTable &table, const DrawContext &context)
    : mData(data)
    , mPalette(data, table, context)
    , mTable(mPalette.table())
    , mContext(context)
{
}

LinkageGroupView::Layout LinkageGroupView::layout(DrawSurface &surface) const
{
    Layout layout;
    if (mContext.group < 0 || mContext.group >= mData.GroupCount())
        return layout;
    layout.drawable = true;
    const DrawingOptions &o = mContext.options;
    const double z = mContext.zoom;
    const auto &loci = mData.GroupLoci(mContext.group);

    layout.firstIndividual = mContext.firstShown();
    layout.lastIndividual = mContext.lastShown(mData.nind);
    const int a = layout.firstIndividual;
    const int b = layout.lastIndividual;

    layout.markSpace = o.markspace;
    if (o.autosize) {
        const int widest = widestMarkerLabel(surface, loci);
        layout.markSpace = surface.textWidth("100") + roundInt(160 / z) + widest;
    }
    const int ms = layout.markSpace;

    const int heightAt100 = roundInt(mContext.visibleHeight * o.Lenmul / 2.0);
    const int usable = heightAt100 - o.topmargin - o.bottommargin;
    const double length = loci.empty() ? 0.0 : loci.back().Position;
    layout.hasMapLength = length > 0;
    layout.scale = layout.hasMapLength ? usable * 0.95 / length : 0.0;

    const int shown = b - a + 3;
    int width = mData.IsCrossPollinator() ? ms + shown * (roundInt(1.5 * o.space) + o.barwidth) + 5
                                          : shown * (o.space + o.barwidth) + ms + 5;
    if (width < 200)
        width = 200;
    if (z < 1)
        width += roundInt(80 / z);
    if (!layout.hasMapLength)
        width = std::max(width, surface.textWidth(NoMapLengthNotice) + 20);
    layout.landscape = heightAt100 < width;
    layout.height = roundInt(heightAt100 * z);
    layout.width = roundInt(width * z);
    return layout;
}

void LinkageGroupView::paint(DrawSurface &surface, const Layout &layout) const
{
    if (!layout.drawable)
        return;
    mTable.resetDrawnLengths();
    const DrawingOptions &o = mContext.options;
    const double z = mContext.zoom;
    const auto &loci = mData.GroupLoci(mContext.group);
    const int W = layout.width;
    const int Hh = layout.height;
    const int ms = layout.markSpace;

    const int th = surface.textHeight("8HJL");
    surface.setPen(PenSpec{rgb(0, 0, 0), 1, PenSpec::Style::Solid});
    surface.setFont(startMarkerFont(mContext, true));
    surface.setBrush(BrushSpec{surface.brush().style == BrushSpec::Style::Clear ? rgb(255, 255, 255) : surface.brush().color,
                               BrushSpec::Style::Solid, -1});

    if (!layout.hasMapLength) {
        surface.textOut(roundInt(10 * z), roundInt(z * o.topmargin), NoMapLengthNotice);
        return;
    }
    const ViewGeometry geometry{layout.scale, z, o.topmargin};
    const double length = loci.back().Position;

    surface.moveTo(roundInt(z), roundInt(z * o.topmargin));
    drawCmRuler(surface, mContext, geometry, roundInt(z), th, length);
    if (o.cMRuler)
        surface.textOut(5, Hh - th - 1, "cM");

    const auto labels = layoutMarkerLabels(surface, loci, mContext, geometry, th);
    drawMarkerLabels(surface, loci, labels, mContext, geometry, ms);
    PenSpec pen = surface.pen();
    pen.color = rgb(0, 0, 0);
    surface.setPen(pen);
    FontDescription font = surface.font();
    font.color = rgb(0, 0, 0);
    surface.setFont(font);

    const bool cp = mData.IsCrossPollinator();
    const int a = layout.firstIndividual;
    const int bw = o.barwidth;
    const int sp = o.space;
    const int nameY = geometry.y(length) + roundInt(6 * z);

    const DisplayCoder coder(mData, mContext, CrossPollinatorTable::LinkageGroupView);
    BarPainter painter(surface, mTable, mContext, geometry, coder, BarPainter::Variant::LinkageGroupView);

    BarSlotStepper stepper(z, bw, sp, cp, roundInt(z * (ms - bw)) + (cp ? roundInt(z * sp) : 0));
    const BrushSpec clear{rgb(255, 255, 255), BrushSpec::Style::Clear, -1};
    for (const BarSlot &slot : shownBarSlots(mData, a, layout.lastIndividual, mContext.skipUnselected, stepper)) {
        const int x = slot.start;
        const int right = slot.end;
        painter.paintBar(loci, slot.column, slot.otherColumn, slot.bar, x, right);

        if (!(surface.brush() == clear))
            surface.setBrush(clear);
        const std::string &name = static_cast<size_t>(slot.individual - 1) < mData.IndividualNames.size()
            ? mData.IndividualNames[static_cast<size_t>(slot.individual - 1)]
            : std::string();
        if (o.sideways) {
            if (!cp || slot.bar == 0)
                surface.textOutRotated(right - bw, nameY, name, 270);
        } else if ((slot.slot + a) % std::max(1, o.labelfreq) == 0 || slot.slot == 0) {
            surface.textOut(x, nameY, name);
        }
    }

    drawLegend(surface, mTable, mContext, linkageGroupLegendPlacement(mContext, W, Hh));
    drawFooter(surface, mContext, W, Hh, th, mContext.group, mData.GroupName(mContext.group));
}

LinkageGroupView::Layout LinkageGroupView::draw(DrawSurface &surface) const
{
    const Layout result = layout(surface);
    paint(surface, result);
    return result;
}

ViewPicture drawLinkageGroupView(const GenotypeData &data, AlleleTable &table, const DrawContext &context,
                                 LinkageGroupView::Layout *layout)
{
    return recordView(LinkageGroupView(data, table, context), layout);
}

} // namespace rvk
