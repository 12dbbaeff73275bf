#include "render/qtlplot.h"

#include "core/textformat.h"
#include "render/picturerecorder.h"
#include "render/viewpicture.h"

#include <algorithm>
#include <cmath>

namespace rvk {

namespace {

constexpr int LeftMargin = 50;
constexpr int RightMargin = 20;
constexpr int TopMargin = 30;
constexpr int BottomMargin = 40;
constexpr int GroupGap = 12;
constexpr Rgb White = rgb(255, 255, 255);
constexpr Rgb Black = rgb(0, 0, 0);
constexpr Rgb Grey = rgb(160, 160, 160);

double groupLength(const QtlPlotGroup &group)
{
    if (group.positions.empty())
        return 0.0;
    return group.positions.back() - group.positions.front();
}

Rgb lighter(Rgb color)
{
    return rgb((redOf(color) + 255) / 2, (greenOf(color) + 255) / 2, (blueOf(color) + 255) / 2);
}

} // namespace

Rgb qtlTraitColor(int k)
{
    static const Rgb colors[] = {rgb(31, 119, 180), rgb(214, 39, 40),  rgb(44, 160, 44),  rgb(255, 127, 14), rgb(148, 103, 189),
                                 rgb(140, 86, 75),  rgb(227, 119, 194), rgb(23, 190, 207), rgb(188, 189, 34), rgb(90, 90, 90)};
    return colors[static_cast<size_t>(k) % std::size(colors)];
}

int QtlPlotLayout::x(int group, double cM) const
{
    return groupLeft[static_cast<size_t>(group)] + static_cast<int>(std::lround((cM - groupStart[static_cast<size_t>(group)]) * pixelsPerCm));
}

int QtlPlotLayout::y(double lod) const
{
    const double share = std::clamp(lod / lodMaximum, 0.0, 1.0);
    return bottom - static_cast<int>(std::lround(share * (bottom - top)));
}

QtlPlotLayout qtlPlotLayout(const QtlPlotInput &input)
{
    QtlPlotLayout layout;
    layout.left = LeftMargin;
    layout.right = std::max(input.width - RightMargin, LeftMargin + 10);
    layout.top = TopMargin;
    layout.bottom = std::max(input.height - BottomMargin, TopMargin + 10);
    double top = 1.0;
    for (const QtlPlotTrait &trait : input.traits) {
        for (const auto &lod : trait.lod)
            for (double v : lod)
                if (std::isfinite(v))
                    top = std::max(top, v);
        top = std::max({top, trait.threshold5, trait.threshold10});
    }
    layout.lodMaximum = std::ceil(top * 1.05);
    double total = 0.0;
    for (const QtlPlotGroup &group : input.groups)
        total += std::max(groupLength(group), 1.0);
    const int gaps = std::max(static_cast<int>(input.groups.size()) - 1, 0);
    const int usable = std::max(layout.right - layout.left - gaps * GroupGap, 10);
    layout.pixelsPerCm = total > 0.0 ? usable / total : 1.0;
    double x = layout.left;
    for (const QtlPlotGroup &group : input.groups) {
        layout.groupLeft.push_back(static_cast<int>(std::lround(x)));
        layout.groupStart.push_back(group.positions.empty() ? 0.0 : group.positions.front());
        x += std::max(groupLength(group), 1.0) * layout.pixelsPerCm + GroupGap;
    }
    return layout;
}

void paintQtlPlot(DrawSurface &surface, const QtlPlotInput &input)
{
    const QtlPlotLayout layout = qtlPlotLayout(input);
    surface.setPen({White, 1});
    surface.setBrush({White});
    surface.fillRect(0, 0, input.width, input.height);
    FontDescription font;
    font.size = 8;
    surface.setFont(font);
    const int th = surface.textHeight("8HJ");

    // LOD axis with whole-number ticks.
    surface.setPen({Black, 1});
    surface.moveTo(layout.left - 4, layout.top);
    surface.lineTo(layout.left - 4, layout.bottom + 1);
    const int step = std::max(1, static_cast<int>(std::ceil(layout.lodMaximum / 10.0)));
    for (int v = 0; v <= layout.lodMaximum; v += step) {
        const int y = layout.y(v);
        surface.moveTo(layout.left - 8, y);
        surface.lineTo(layout.left - 4, y);
        const std::string label = formatText("%d", {v});
        surface.textOut(layout.left - 10 - surface.textWidth(label), y - th / 2, label);
    }
    surface.textOutRotated(4, (layout.top + layout.bottom) / 2 + surface.textWidth("LOD") / 2, "LOD", 90);

    // Groups: base line, marker ticks, name.
    for (size_t g = 0; g < input.groups.size(); ++g) {
        const QtlPlotGroup &group = input.groups[g];
        if (group.positions.empty())
            continue;
        const int x1 = layout.x(static_cast<int>(g), group.positions.front());
        const int x2 = layout.x(static_cast<int>(g), group.positions.back());
        surface.setPen({Black, 1});
        surface.moveTo(x1, layout.bottom);
        surface.lineTo(x2 + 1, layout.bottom);
        for (double m : group.markerPositions) {
            const int x = layout.x(static_cast<int>(g), m);
            surface.moveTo(x, layout.bottom);
            surface.lineTo(x, layout.bottom + 5);
        }
        const int w = surface.textWidth(group.name);
        surface.textOut((x1 + x2) / 2 - w / 2, layout.bottom + 8, group.name);
    }

    // Thresholds under the curves.
    for (const QtlPlotTrait &trait : input.traits) {
        const struct
        {
            double value;
            Rgb color;
        } lines[] = {{trait.threshold5, trait.color}, {trait.threshold10, lighter(trait.color)}};
        for (const auto &line : lines) {
            if (!(line.value >= 0.0))
                continue;
            surface.setPen({line.color, 1, PenSpec::Style::Dotted});
            const int y = layout.y(line.value);
            surface.moveTo(layout.left, y);
            surface.lineTo(layout.right, y);
        }
    }
    // Curves.
    for (const QtlPlotTrait &trait : input.traits) {
        surface.setPen({trait.color, 2});
        for (size_t g = 0; g < input.groups.size() && g < trait.lod.size(); ++g) {
            const auto &positions = input.groups[g].positions;
            for (size_t p = 0; p < positions.size() && p < trait.lod[g].size(); ++p) {
                const int x = layout.x(static_cast<int>(g), positions[p]);
                const int y = layout.y(trait.lod[g][p]);
                if (p == 0)
                    surface.moveTo(x, y);
                else
                    surface.lineTo(x, y);
            }
        }
        // Peaks: a filled triangle above the curve.
        surface.setPen({trait.color, 1});
        surface.setBrush({trait.color});
        for (const auto &[g, p] : trait.peaks) {
            if (g < 0 || static_cast<size_t>(g) >= input.groups.size() || p < 0 || static_cast<size_t>(p) >= input.groups[static_cast<size_t>(g)].positions.size())
                continue;
            const int x = layout.x(g, input.groups[static_cast<size_t>(g)].positions[static_cast<size_t>(p)]);
            const int y = layout.y(trait.lod[static_cast<size_t>(g)][static_cast<size_t>(p)]) - 4;
            surface.fillRect(x - 3, y - 6, x + 4, y);
        }
    }
    // Legend, top right.
    int ly = 4;
    int legendWidth = 0;
    for (const QtlPlotTrait &trait : input.traits)
        legendWidth = std::max(legendWidth, surface.textWidth(trait.name));
    const int lx = layout.right - legendWidth - 30;
    for (const QtlPlotTrait &trait : input.traits) {
        surface.setPen({trait.color, 2});
        surface.moveTo(lx, ly + th / 2);
        surface.lineTo(lx + 20, ly + th / 2);
        surface.setPen({Black, 1});
        surface.setBrush({White});
        surface.textOut(lx + 25, ly, trait.name);
        ly += th + 2;
    }
}

ViewPicture recordQtlPlot(const QtlPlotInput &input)
{
    ViewPicture picture;
    {
        PictureRecorder recorder(picture);
        paintQtlPlot(recorder, input);
    }
    picture.setSize(input.width, input.height);
    return picture;
}

std::optional<QtlPlotHit> qtlPlotHit(const QtlPlotInput &input, int x, int y)
{
    const QtlPlotLayout layout = qtlPlotLayout(input);
    if (y < layout.top - 10 || y > layout.bottom + 10)
        return std::nullopt;
    for (size_t g = 0; g < input.groups.size(); ++g) {
        const auto &positions = input.groups[g].positions;
        if (positions.empty())
            continue;
        const int x1 = layout.x(static_cast<int>(g), positions.front());
        const int x2 = layout.x(static_cast<int>(g), positions.back());
        if (x < x1 - GroupGap / 2 || x > x2 + GroupGap / 2)
            continue;
        QtlPlotHit hit;
        hit.group = static_cast<int>(g);
        int best = std::abs(layout.x(hit.group, positions[0]) - x);
        for (size_t p = 1; p < positions.size(); ++p) {
            const int d = std::abs(layout.x(hit.group, positions[p]) - x);
            if (d < best) {
                best = d;
                hit.position = static_cast<int>(p);
            }
        }
        return hit;
    }
    return std::nullopt;
}

} // namespace rvk
