#include "render/ldplot.h"

#include "core/textformat.h"
#include "render/barpainter.h"
#include "render/drawcontext.h"
#include "render/labellayout.h"
#include "render/picturerecorder.h"
#include "render/viewpicture.h"

#include <algorithm>

namespace rvk {

namespace {

constexpr Rgb Black = rgb(0, 0, 0);
constexpr Rgb BarColor = rgb(192, 220, 192);

int roundInt(double value) { return static_cast<int>(roundHalfEven(value)); }

double largestPosition(const TraitLdPlotInput &input)
{
    double largest = 0.0;
    for (const TraitLdGroup &group : input.groups)
        if (!group.loci.empty())
            largest = std::max(largest, group.loci.back().position);
    return largest;
}

int thirdOfBar(const TraitLdPlotInput &input) { return std::max(7, input.drawing.barwidth / 3); }

} // namespace

TraitLdPlotLayout traitLdPlotLayout(const TraitLdPlotInput &input)
{
    const DrawingOptions &d = input.drawing;
    const int bw8 = std::max(8, d.barwidth);
    const int c = d.drawmarkers || d.drawpos ? 13 : 3;
    const int A = roundInt(input.clientHeight * d.Lenmul / 2.0);
    const int groups = static_cast<int>(input.groups.size());
    const int W0 = std::max(150, d.markspace + 4 * (groups + 1) * (bw8 + c * d.space));
    const int H0 = TraitLdTopMargin + A;
    TraitLdPlotLayout layout;
    layout.height = roundInt(H0 * input.zoom);
    layout.width = roundInt(W0 * input.zoom);
    const double lmax = largestPosition(input);
    layout.scale = lmax > 0 ? (A - TraitLdTopMargin - d.bottommargin) * 0.95 / lmax : 1.0;
    return layout;
}

int traitLdBarLeft(const TraitLdPlotInput &input, int group)
{
    return roundInt(input.zoom * (input.drawing.markspace + (15 * thirdOfBar(input) + input.drawing.barwidth) * group));
}

void paintTraitLdPlot(DrawSurface &surface, const TraitLdPlotInput &input)
{
    const TraitLdPlotLayout layout = traitLdPlotLayout(input);
    const DrawingOptions &d = input.drawing;
    const double z = input.zoom;
    const int bw = d.barwidth;
    const int tm = TraitLdTopMargin;
    const double s = layout.scale;
    const auto y = [&](double p) { return roundInt(z * (roundHalfEven(s * p) + tm)); };
    const int sp3 = thirdOfBar(input);
    const double lmax = largestPosition(input);

    surface.setPen({Black, 1});
    FontDescription font = d.markerFont;
    if (!input.printing)
        font.size += roundInt(2 * z) - 2;
    font.size = std::max(1, font.size - 1);
    surface.setFont(font);
    surface.setBrush({rgb(255, 255, 255)});
    const int th = surface.textHeight("8H8H");

    if (d.cMRuler) {
        DrawContext context;
        context.options = d;
        context.options.topmargin = tm;
        context.zoom = z;
        context.printing = input.printing;
        ViewGeometry geometry;
        geometry.scale = s;
        geometry.zoom = z;
        geometry.topMargin = tm;
        const int lastTick = drawCmRuler(surface, context, geometry, roundInt(2 * z), surface.textHeight("H"), lmax);
        surface.textOut(5, lastTick + surface.textHeight("cM") - 1, "cM");
    }

    const int groups = static_cast<int>(input.groups.size());
    for (int g = 0; g < groups; ++g) {
        const TraitLdGroup &group = input.groups[static_cast<size_t>(g)];
        const int C = traitLdBarLeft(input, g);
        const int E = roundInt(z * bw) + C;
        const int top = roundInt(z * tm);
        // The scale bracket from 0 to 1 above the marks.
        surface.setPen({Black, 1});
        surface.moveTo(E, top - 3);
        surface.lineTo(E, top - 5);
        surface.lineTo(E + roundInt(15 * z), top - 5);
        surface.lineTo(E + roundInt(15 * z), top - 2);
        surface.textOut(E, top - surface.textHeight("0") - 5, "0");
        surface.textOut(E + roundInt(15 * z), top - surface.textHeight("1") - 5, "1");

        if (group.loci.empty())
            continue;
        surface.setPen({BarColor, 1});
        surface.setBrush({BarColor});
        int I = y(group.loci.front().position);
        const size_t n = group.loci.size();
        int lastY2 = I;
        for (size_t k = 0; k < n; ++k) {
            const TraitLdLocus &locus = group.loci[k];
            const double half = k + 1 < n ? (group.loci[k + 1].position - locus.position) / 2 : 0.0;
            const int y2 = y(locus.position + half);
            const int ym = y(locus.position);
            if (d.Fillstyle == DrawingOptions::FillStyle::Discrete) {
                if (d.roundtip && k + 1 == n)
                    surface.pie(C, y2 - roundInt(4 * z), E, y2 + roundInt(4 * z), C, y2, E, y2);
                if (d.roundtip && k == 0)
                    surface.pie(C, I - roundInt(4 * z), E, I + roundInt(4 * z), E, I, C, I);
                surface.rectangle(C, I, E, y2);
            } else {
                surface.fillRect(C, I, E, y2);
            }
            const int xb = roundInt(z * (bw + 2)) + C;
            const auto mark = [&](int x, Rgb color) {
                surface.setPen({color, 1});
                surface.moveTo(x - 1, ym - 1);
                surface.lineTo(x + 1, ym + 1);
                surface.moveTo(x - 1, ym + 1);
                surface.lineTo(x - 1, ym - 1);
            };
            mark(xb + roundInt(z * locus.r2 * 15), TraitLdR2Color);
            mark(xb + roundInt(z * locus.oneMinusQ * 15), TraitLdQColor);
            surface.setPen({BarColor, 1});
            surface.setBrush({BarColor});
            I = y2;
            lastY2 = y2;
        }
        surface.setPen({Black, 1});
        surface.setBrush({rgb(255, 255, 255)});
        FontDescription nameFont = font;
        nameFont.size += 1;
        surface.setFont(nameFont);
        surface.textOutRotated(C - 1, lastY2 + 10, group.name, 270);
        surface.setFont(font);

        if (d.drawmarkers) {
            // A marker gets a label when it lies at least the marker skip below the last
            // labelled one; the labels are then spread and, where the column is too crowded
            // for every label to stand beside its marker, thinned as in the linkage-group view.
            const int step = surface.textHeight("8HLJ");
            std::vector<LabelCandidate> candidates;
            double previous = -5.0;
            for (size_t k = 0; k < n; ++k) {
                const TraitLdLocus &locus = group.loci[k];
                if (locus.position - previous < d.markskip)
                    continue;
                previous = locus.position;
                const int ym = y(locus.position);
                candidates.push_back(LabelCandidate{static_cast<int>(k), ym, ym, step, false});
            }
            surface.setPen({rgb(128, 128, 128), 1});
            for (const MarkerLabel &label : placeMarkerLabels(candidates, tm, bw, th)) {
                const std::string &name = group.loci[static_cast<size_t>(label.locus)].name;
                surface.moveTo(C - 1, label.marker);
                surface.lineTo(C - roundInt(z * bw) - 1, label.label);
                surface.textOut(C - surface.textWidth(name) - roundInt(z * bw) - 1, label.label - th / 2, name);
            }
        }
    }

    if (d.ShowLegend) {
        const int N = roundInt((layout.height - tm) * 0.9);
        const int Ce = roundInt(z * (groups * (15 * sp3 + bw) + d.markspace));
        const int x0 = Ce + roundInt(2 * z * bw);
        const int xt = Ce + roundInt(2.2 * z * bw);
        surface.setPen({Black, 1});
        surface.moveTo(x0 - 3, tm + 3);
        surface.lineTo(x0 + roundInt(16 * z), tm + 3);
        surface.moveTo(x0 - 3, tm + 3);
        surface.lineTo(x0 - 3, N);
        // The marker font as the drawing started with it (without the bars' point less), one
        // point larger for the legend's texts and the title.
        FontDescription legendFont = d.markerFont;
        if (!input.printing)
            legendFont.size += roundInt(2 * z) - 2;
        legendFont.size = std::max(1, legendFont.size + 1);
        surface.setFont(legendFont);
        surface.setPen({TraitLdQColor, 2});
        surface.moveTo(x0 + 4, tm + 5);
        surface.lineTo(x0 + 4, tm + 25);
        surface.textOutRotated(xt, tm + 27, ": 1-q", 270);
        surface.setPen({TraitLdR2Color, 2});
        surface.moveTo(x0 + 4, tm + 70);
        surface.lineTo(x0 + 4, tm + 85);
        surface.textOutRotated(xt, tm + 87, ": R\xC2\xB2", 270);
        surface.setPen({Black, 1});
        surface.textOutRotated(xt, tm + 180, "LD-PLOT for trait: " + input.traitName, 270);
    }
}

ViewPicture recordTraitLdPlot(const TraitLdPlotInput &input)
{
    const TraitLdPlotLayout layout = traitLdPlotLayout(input);
    ViewPicture picture;
    if (input.groups.empty())
        return picture;
    {
        PictureRecorder recorder(picture);
        paintTraitLdPlot(recorder, input);
    }
    picture.setSize(layout.width, layout.height);
    return picture;
}

} // namespace rvk
