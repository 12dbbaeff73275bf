#include "render/manhattanplot.h"

#include "core/textformat.h"
#include "render/chartframe.h"
#include "render/picturerecorder.h"
#include "render/viewpicture.h"

#include <algorithm>
#include <cmath>

namespace rvk {

namespace {

double niceStep(double span, int count)
{
    if (span <= 0.0)
        return 1.0;
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0})
        if (raw <= factor * power)
            return factor * power;
    return 10.0 * power;
}

} // namespace

int ManhattanLayout::pixelX(int group, double position) const
{
    const double x = groupStart[static_cast<size_t>(group)] + std::max(0.0, position);
    return left + static_cast<int>(std::lround(x / totalLength * (right - left)));
}

int ManhattanLayout::pixelY(double minusLog10P) const
{
    return bottom - static_cast<int>(std::lround(std::clamp(minusLog10P, 0.0, yMax) / yMax * (bottom - top)));
}

ManhattanLayout manhattanLayout(const ManhattanInput &input)
{
    ManhattanLayout layout;
    layout.left = 60;
    layout.top = 34;
    layout.right = std::max(layout.left + 1, input.width - 20);
    layout.bottom = std::max(layout.top + 1, input.height - 50);
    const size_t groups = input.groupNames.size();
    layout.groupLength.assign(groups, 0.0);
    for (const ManhattanPoint &p : input.points)
        if (p.group >= 0 && static_cast<size_t>(p.group) < groups)
            layout.groupLength[static_cast<size_t>(p.group)] = std::max(layout.groupLength[static_cast<size_t>(p.group)], p.position);
    double total = 0.0;
    for (size_t g = 0; g < groups; ++g) {
        layout.groupLength[g] = std::max(layout.groupLength[g], 1.0);
        total += layout.groupLength[g];
    }
    const double gap = groups > 1 ? total * 0.02 : 0.0;
    double at = 0.0;
    for (size_t g = 0; g < groups; ++g) {
        layout.groupStart.push_back(at);
        at += layout.groupLength[g] + gap;
    }
    layout.totalLength = std::max(at - gap, 1.0);
    double top = 1.0;
    for (const ManhattanPoint &p : input.points)
        if (std::isfinite(p.minusLog10P))
            top = std::max(top, p.minusLog10P);
    for (const double line : {input.bonferroni, input.fdr})
        if (std::isfinite(line))
            top = std::max(top, line);
    layout.yMax = std::ceil(top * 1.05);
    return layout;
}

void paintManhattanPlot(DrawSurface &s, const ManhattanInput &input)
{
    const ManhattanLayout layout = manhattanLayout(input);
    const FontDescription font = paintChartFrame(s, input.width, input.height, input.title);
    const std::string leftTitle = "-log10 p";
    s.textOutRotated(6, layout.top + (layout.bottom - layout.top + s.textWidth(leftTitle)) / 2, leftTitle, 90);
    s.setPen({rgb(0, 0, 0), 1, PenSpec::Style::Solid});
    const double yStep = niceStep(layout.yMax, 6);
    for (double y = 0.0; y <= layout.yMax + 1e-9; y += yStep) {
        const int Y = layout.pixelY(y);
        s.moveTo(layout.left - 5, Y);
        s.lineTo(layout.left, Y);
        const std::string label = formatGeneral(y);
        s.textOut(layout.left - 8 - s.textWidth(label), Y - s.textHeight(label) / 2, label);
    }
    s.moveTo(layout.left, layout.top);
    s.lineTo(layout.left, layout.bottom);
    s.lineTo(layout.right + 1, layout.bottom);
    for (size_t g = 0; g < input.groupNames.size(); ++g) {
        const int x1 = layout.pixelX(static_cast<int>(g), 0.0), x2 = layout.pixelX(static_cast<int>(g), layout.groupLength[g]);
        const std::string &name = input.groupNames[g];
        s.textOut((x1 + x2 - s.textWidth(name)) / 2, layout.bottom + 8, name);
    }
    for (const ManhattanPoint &p : input.points) {
        if (!std::isfinite(p.minusLog10P) || p.group < 0 || static_cast<size_t>(p.group) >= input.groupNames.size())
            continue;
        const Rgb colour = p.group % 2 == 0 ? ManhattanDarkColour : ManhattanLightColour;
        const int X = layout.pixelX(p.group, p.position), Y = layout.pixelY(p.minusLog10P);
        s.setPen({colour, 1, PenSpec::Style::Solid});
        s.setBrush({colour, BrushSpec::Style::Solid});
        s.fillRect(X - 2, Y - 2, X + 3, Y + 3);
    }
    double lowest = std::numeric_limits<double>::infinity();
    const std::pair<double, Rgb> lines[] = {{input.bonferroni, ManhattanBonferroniColour}, {input.fdr, ManhattanFdrColour}};
    for (const auto &[value, colour] : lines) {
        if (!std::isfinite(value))
            continue;
        lowest = std::min(lowest, value);
        s.setPen({colour, 1, PenSpec::Style::Solid});
        const int Y = layout.pixelY(value);
        s.moveTo(layout.left + 1, Y);
        s.lineTo(layout.right + 1, Y);
    }
    // The markers above the lower line, strongest first.
    std::vector<const ManhattanPoint *> above;
    for (const ManhattanPoint &p : input.points)
        if (std::isfinite(p.minusLog10P) && p.minusLog10P > lowest && p.group >= 0 && static_cast<size_t>(p.group) < input.groupNames.size())
            above.push_back(&p);
    std::sort(above.begin(), above.end(), [](const ManhattanPoint *a, const ManhattanPoint *b) { return a->minusLog10P > b->minusLog10P; });
    if (static_cast<int>(above.size()) > input.maxLabels)
        above.resize(static_cast<size_t>(std::max(0, input.maxLabels)));
    FontDescription labelFont = font;
    labelFont.size = 7;
    s.setFont(labelFont);
    s.setBrush({rgb(255, 255, 255), BrushSpec::Style::Clear});
    s.setPen({rgb(0, 0, 0), 1, PenSpec::Style::Solid});
    for (const ManhattanPoint *p : above)
        s.textOut(layout.pixelX(p->group, p->position) + 4, layout.pixelY(p->minusLog10P) - s.textHeight(p->label) - 1, p->label);
}

ViewPicture recordManhattanPlot(const ManhattanInput &input)
{
    ViewPicture picture;
    {
        PictureRecorder recorder(picture);
        paintManhattanPlot(recorder, input);
    }
    picture.setSize(input.width, input.height);
    return picture;
}

} // namespace rvk
