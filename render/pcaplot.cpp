#include "render/pcaplot.h"

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

void range(const std::vector<double> &values, double &low, double &high)
{
    low = 0.0;
    high = 0.0;
    bool any = false;
    for (const double v : values)
        if (std::isfinite(v)) {
            low = any ? std::min(low, v) : v;
            high = any ? std::max(high, v) : v;
            any = true;
        }
    if (high <= low) {
        low -= 1.0;
        high += 1.0;
    }
    const double margin = (high - low) * 0.05;
    low -= margin;
    high += margin;
}

} // namespace

int PcaPlotLayout::pixelX(double x) const
{
    return left + static_cast<int>(std::lround((x - xMin) / (xMax - xMin) * (right - left)));
}

int PcaPlotLayout::pixelY(double y) const
{
    return bottom - static_cast<int>(std::lround((y - yMin) / (yMax - yMin) * (bottom - top)));
}

PcaPlotLayout pcaPlotLayout(const PcaPlotInput &input)
{
    PcaPlotLayout layout;
    layout.left = 70;
    layout.top = 34;
    layout.right = std::max(layout.left + 1, input.width - 20);
    layout.bottom = std::max(layout.top + 1, input.height - 50);
    range(input.x, layout.xMin, layout.xMax);
    range(input.y, layout.yMin, layout.yMax);
    return layout;
}

Rgb gradientColour(double t)
{
    t = std::clamp(t, 0.0, 1.0);
    // blue (0, 0, 255) -> yellow (255, 255, 0) -> red (255, 0, 0)
    if (t < 0.5) {
        const double u = t / 0.5;
        return rgb(static_cast<int>(std::lround(255 * u)), static_cast<int>(std::lround(255 * u)), static_cast<int>(std::lround(255 * (1 - u))));
    }
    const double u = (t - 0.5) / 0.5;
    return rgb(255, static_cast<int>(std::lround(255 * (1 - u))), 0);
}

Rgb pcaPointColour(const PcaPlotInput &input, size_t i)
{
    if (!input.pointColours.empty())
        return i < input.pointColours.size() ? input.pointColours[i] : PcaNoValueColour;
    if (input.colourValues.empty())
        return PcaPlainColour;
    if (i >= input.colourValues.size() || !std::isfinite(input.colourValues[i]))
        return PcaNoValueColour;
    double low = 0.0, high = 0.0;
    bool any = false;
    for (const double v : input.colourValues)
        if (std::isfinite(v)) {
            low = any ? std::min(low, v) : v;
            high = any ? std::max(high, v) : v;
            any = true;
        }
    return gradientColour(high > low ? (input.colourValues[i] - low) / (high - low) : 0.5);
}

int pcaPointAt(const PcaPlotInput &input, int x, int y, int radius)
{
    const PcaPlotLayout layout = pcaPlotLayout(input);
    int best = -1;
    long bestDistance = static_cast<long>(radius) * radius + 1;
    for (size_t i = 0; i < std::min(input.x.size(), input.y.size()); ++i) {
        if (!std::isfinite(input.x[i]) || !std::isfinite(input.y[i]))
            continue;
        const long dx = layout.pixelX(input.x[i]) - x, dy = layout.pixelY(input.y[i]) - y;
        if (dx * dx + dy * dy < bestDistance) {
            bestDistance = dx * dx + dy * dy;
            best = static_cast<int>(i);
        }
    }
    return best;
}

void paintPcaPlot(DrawSurface &s, const PcaPlotInput &input)
{
    const PcaPlotLayout layout = pcaPlotLayout(input);
    paintChartFrame(s, input.width, input.height, input.title);
    const int plotWidth = layout.right - layout.left, plotHeight = layout.bottom - layout.top;
    s.textOut(layout.left + (plotWidth - s.textWidth(input.xTitle)) / 2, layout.bottom + 26, input.xTitle);
    s.textOutRotated(6, layout.top + (plotHeight + s.textWidth(input.yTitle)) / 2, input.yTitle, 90);
    s.setPen({rgb(0, 0, 0), 1, PenSpec::Style::Solid});
    const double xStep = niceStep(layout.xMax - layout.xMin, 8), yStep = niceStep(layout.yMax - layout.yMin, 6);
    for (double x = std::ceil(layout.xMin / xStep) * xStep; x <= layout.xMax; x += xStep) {
        const int X = layout.pixelX(x);
        s.moveTo(X, layout.bottom);
        s.lineTo(X, layout.bottom + 5);
        const std::string label = formatGeneral(std::round(x / xStep) * xStep);
        s.textOut(X - s.textWidth(label) / 2, layout.bottom + 7, label);
    }
    for (double y = std::ceil(layout.yMin / yStep) * yStep; y <= layout.yMax; y += yStep) {
        const int Y = layout.pixelY(y);
        s.moveTo(layout.left - 5, Y);
        s.lineTo(layout.left, Y);
        const std::string label = formatGeneral(std::round(y / yStep) * yStep);
        s.textOut(layout.left - 8 - s.textWidth(label), Y - s.textHeight(label) / 2, label);
    }
    s.rectangle(layout.left, layout.top, layout.right + 1, layout.bottom + 1);
    for (size_t i = 0; i < std::min(input.x.size(), input.y.size()); ++i) {
        if (!std::isfinite(input.x[i]) || !std::isfinite(input.y[i]))
            continue;
        const int X = layout.pixelX(input.x[i]), Y = layout.pixelY(input.y[i]);
        const Rgb colour = pcaPointColour(input, i);
        s.setPen({colour, 1, PenSpec::Style::Solid});
        s.setBrush({colour, BrushSpec::Style::Solid});
        s.fillRect(X - 2, Y - 2, X + 3, Y + 3);
    }
}

ViewPicture recordPcaPlot(const PcaPlotInput &input)
{
    ViewPicture picture;
    {
        PictureRecorder recorder(picture);
        paintPcaPlot(recorder, input);
    }
    picture.setSize(input.width, input.height);
    return picture;
}

} // namespace rvk
