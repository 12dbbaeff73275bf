#include "render/backcrosschart.h"

#include "core/textformat.h"
#include "render/chartframe.h"
#include "render/picturerecorder.h"
#include "render/viewpicture.h"

#include <algorithm>
#include <cmath>

namespace rvk {

namespace {
constexpr Rgb White = rgb(255, 255, 255);
constexpr Rgb Black = rgb(0, 0, 0);
// Room for the names under the bars, rotated.
constexpr int NameRoom = 70;
} // namespace

BackcrossChartLayout backcrossChartLayout(const BackcrossChartInput &input)
{
    BackcrossChartLayout layout;
    layout.left = 60;
    layout.top = 40;
    layout.right = std::max(layout.left + 1, input.width - 20);
    layout.bottom = std::max(layout.top + 1, input.height - NameRoom);
    return layout;
}

int BackcrossChartLayout::barLeft(int i, int count) const
{
    const long long width = right - left;
    return left + static_cast<int>(width * i / std::max(1, count));
}

int BackcrossChartLayout::barRight(int i, int count) const
{
    const int next = barLeft(i + 1, count);
    // A pixel of white between bars while they are wide enough to spare it.
    return next - barLeft(i, count) >= 4 ? next - 1 : next;
}

int BackcrossChartLayout::y(double percent) const
{
    return bottom - static_cast<int>(std::lround(std::clamp(percent, 0.0, 100.0) / 100.0 * (bottom - top)));
}

void paintBackcrossChart(DrawSurface &s, const BackcrossChartInput &input)
{
    const BackcrossChartLayout layout = backcrossChartLayout(input);
    paintChartFrame(s, input.width, input.height, input.title);
    s.textOutRotated(6, layout.top + (layout.bottom - layout.top - s.textWidth(input.leftTitle)) / 2, input.leftTitle, 90);

    // The axis with a label every 20 %.
    s.setPen({Black, 1, PenSpec::Style::Solid});
    for (int p = 0; p <= 100; p += 20) {
        const int Y = layout.y(p);
        s.moveTo(layout.left - 5, Y);
        s.lineTo(layout.left, Y);
        const std::string label = formatText("%d", {p});
        s.textOut(layout.left - 8 - s.textWidth(label), Y - s.textHeight(label) / 2, label);
    }

    // Bars.
    const int n = static_cast<int>(input.bars.size());
    const int nameHeight = s.textHeight("Hg");
    for (int i = 0; i < n; ++i) {
        const BackcrossChartInput::Bar &bar = input.bars[static_cast<size_t>(i)];
        const int x1 = layout.barLeft(i, n), x2 = layout.barRight(i, n);
        if (bar.value && x2 > x1) {
            const Rgb colour = !input.hasTarget || bar.carrier ? BackcrossChartCarrierColor : BackcrossChartOtherColor;
            s.setBrush({colour, BrushSpec::Style::Solid});
            s.fillRect(x1, layout.y(*bar.value), x2, layout.bottom);
        }
        // Names while there is room for them side by side.
        if (layout.barLeft(i + 1, n) - x1 >= nameHeight) {
            s.setBrush({White, BrushSpec::Style::Clear});
            s.textOutRotated(x1, layout.bottom + 4, bar.name.substr(0, 12), 270);
        }
    }
    s.setPen({Black, 1, PenSpec::Style::Solid});
    s.moveTo(layout.left, layout.top);
    s.lineTo(layout.left, layout.bottom);
    s.lineTo(layout.right + 1, layout.bottom);

    if (input.hasTarget) {
        int x = layout.right;
        const std::pair<Rgb, std::string> entries[] = {{BackcrossChartOtherColor, input.nonCarrierCaption},
                                                       {BackcrossChartCarrierColor, input.carrierCaption}};
        for (const auto &[colour, caption] : entries) {
            x -= s.textWidth(caption);
            s.setBrush({White, BrushSpec::Style::Clear});
            s.textOut(x, 24, caption);
            x -= 14;
            s.setBrush({colour, BrushSpec::Style::Solid});
            s.fillRect(x, 25, x + 10, 35);
            x -= 12;
        }
    }
}

ViewPicture recordBackcrossChart(const BackcrossChartInput &input)
{
    ViewPicture picture;
    {
        PictureRecorder recorder(picture);
        paintBackcrossChart(recorder, input);
    }
    picture.setSize(input.width, input.height);
    return picture;
}

} // namespace rvk
