#include "render/ldchart.h"

#include "core/textformat.h"
#include "render/chartframe.h"
#include "render/picturerecorder.h"
#include "render/viewpicture.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace rvk {

namespace {

// A step of 1, 2 or 5 times a power of ten giving about count intervals over span.
double niceStep(double span, int count)
{
    if (span <= 0.0)
        return 1.0;
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0, 10.0})
        if (raw <= factor * power)
            return factor * power;
    return 10.0 * power;
}

} // namespace

LdChartAxes ldChartAxes(const LdChartInput &input)
{
    LdChartAxes axes;
    axes.xMax = input.largestDistance > 0.0 ? input.largestDistance : 1.0;
    double low = 0.0, high = 0.0;
    bool any = false;
    if (input.points)
        input.points([&](double, double v) {
            if (!std::isfinite(v))
                return;
            low = any ? std::min(low, v) : v;
            high = any ? std::max(high, v) : v;
            any = true;
        });
    if (input.thresholdY) {
        low = any ? std::min(low, *input.thresholdY) : *input.thresholdY;
        high = any ? std::max(high, *input.thresholdY) : *input.thresholdY;
        any = true;
    }
    switch (input.range) {
    case LdChartInput::Range::MinusOneToOne:
        axes.yMin = -1.0;
        axes.yMax = 1.0;
        break;
    case LdChartInput::Range::UpToOne:
        axes.yMin = std::min(0.0, low);
        axes.yMax = 1.0;
        break;
    case LdChartInput::Range::Automatic:
        axes.yMin = std::min(0.0, low);
        axes.yMax = any && high > axes.yMin ? high : axes.yMin + 1.0;
        break;
    }
    return axes;
}

LdChartPlotArea ldChartPlotArea(const LdChartInput &input)
{
    return {70, 34, std::max(71, input.width - 20), std::max(35, input.height - 50)};
}

void paintLdChart(DrawSurface &s, const LdChartInput &input)
{
    const LdChartAxes axes = ldChartAxes(input);
    const LdChartPlotArea area = ldChartPlotArea(input);
    const int plotWidth = area.right - area.left, plotHeight = area.bottom - area.top;
    auto px = [&](double x) {
        return area.left + static_cast<int>(std::lround((x - axes.xMin) / (axes.xMax - axes.xMin) * plotWidth));
    };
    auto py = [&](double y) {
        return area.bottom - static_cast<int>(std::lround((y - axes.yMin) / (axes.yMax - axes.yMin) * plotHeight));
    };

    // Background, title and axis titles.
    paintChartFrame(s, input.width, input.height, input.title);
    s.textOut(area.left + (plotWidth - s.textWidth(input.bottomTitle)) / 2, area.bottom + 26, input.bottomTitle);
    s.textOutRotated(6, area.top + (plotHeight - s.textWidth(input.leftTitle)) / 2, input.leftTitle, 90);

    // Grid lines, ticks and labels.
    s.setPen({rgb(0, 0, 0), 1, PenSpec::Style::Solid});
    const double xStep = niceStep(axes.xMax - axes.xMin, 8);
    for (double x = std::ceil(axes.xMin / xStep) * xStep; x <= axes.xMax + xStep * 1e-9; x += xStep) {
        const int X = px(x);
        s.moveTo(X, area.bottom);
        s.lineTo(X, area.bottom + 5);
        const std::string label = formatGeneral(std::round(x / xStep) * xStep);
        s.textOut(X - s.textWidth(label) / 2, area.bottom + 7, label);
    }
    const double yStep = niceStep(axes.yMax - axes.yMin, 6);
    for (double y = std::ceil(axes.yMin / yStep) * yStep; y <= axes.yMax + yStep * 1e-9; y += yStep) {
        const int Y = py(y);
        s.moveTo(area.left - 5, Y);
        s.lineTo(area.left, Y);
        const std::string label = formatGeneral(std::round(y / yStep) * yStep);
        s.textOut(area.left - 8 - s.textWidth(label), Y - s.textHeight(label) / 2, label);
    }
    s.moveTo(area.left, area.top);
    s.lineTo(area.left, area.bottom);
    s.lineTo(area.right + 1, area.bottom);

    // Points: each pixel of the plot area at most once.
    if (input.points) {
        std::vector<char> taken(static_cast<size_t>(plotWidth + 1) * static_cast<size_t>(plotHeight + 1), 0);
        s.setPen({LdChartPointColor, 1, PenSpec::Style::Solid});
        input.points([&](double x, double y) {
            if (!std::isfinite(x) || !std::isfinite(y) || y < axes.yMin || y > axes.yMax || x < axes.xMin || x > axes.xMax)
                return;
            const int X = px(x), Y = py(y);
            char &cell = taken[static_cast<size_t>(Y - area.top) * static_cast<size_t>(plotWidth + 1) + static_cast<size_t>(X - area.left)];
            if (cell)
                return;
            cell = 1;
            s.moveTo(X - 2, Y);
            s.lineTo(X + 3, Y);
            s.moveTo(X, Y - 2);
            s.lineTo(X, Y + 3);
        });
    }

    if (input.thresholdY && *input.thresholdY >= axes.yMin && *input.thresholdY <= axes.yMax) {
        s.setPen({LdChartThresholdColor, 1, PenSpec::Style::Solid});
        s.moveTo(px(0.0), py(*input.thresholdY));
        s.lineTo(px(axes.xMax) + 1, py(*input.thresholdY));
    }
}

ViewPicture recordLdChart(const LdChartInput &input)
{
    ViewPicture picture;
    {
        PictureRecorder recorder(picture);
        paintLdChart(recorder, input);
    }
    picture.setSize(input.width, input.height);
    return picture;
}

} // namespace rvk
