#include "render/qqplot.h"

#include "core/textformat.h"
#include "render/chartframe.h"
#include "render/picturerecorder.h"
#include "render/viewpicture.h"

#include <algorithm>
#include <cmath>
#include <functional>

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

double qqExpected(size_t rank, size_t m)
{
    return -std::log10((static_cast<double>(rank) - 0.5) / static_cast<double>(m));
}

int QqPlotLayout::pixelX(double expected) const
{
    return left + static_cast<int>(std::lround(std::clamp(expected, 0.0, maxValue) / maxValue * (right - left)));
}

int QqPlotLayout::pixelY(double observed) const
{
    return bottom - static_cast<int>(std::lround(std::clamp(observed, 0.0, maxValue) / maxValue * (bottom - top)));
}

QqPlotLayout qqPlotLayout(const QqPlotInput &input)
{
    QqPlotLayout layout;
    layout.left = 60;
    layout.top = 34;
    layout.right = std::max(layout.left + 1, input.width - 20);
    layout.bottom = std::max(layout.top + 1, input.height - 50);
    double top = input.minusLog10P.empty() ? 1.0 : qqExpected(1, input.minusLog10P.size());
    for (const double v : input.minusLog10P)
        if (std::isfinite(v))
            top = std::max(top, v);
    layout.maxValue = std::max(1.0, std::ceil(top * 1.05));
    return layout;
}

void paintQqPlot(DrawSurface &s, const QqPlotInput &input)
{
    const QqPlotLayout layout = qqPlotLayout(input);
    paintChartFrame(s, input.width, input.height, input.title);
    const std::string bottomTitle = "expected -log10 p", leftTitle = "observed -log10 p";
    s.textOut(layout.left + (layout.right - layout.left - s.textWidth(bottomTitle)) / 2, layout.bottom + 26, bottomTitle);
    s.textOutRotated(6, layout.top + (layout.bottom - layout.top + s.textWidth(leftTitle)) / 2, leftTitle, 90);
    s.setPen({rgb(0, 0, 0), 1, PenSpec::Style::Solid});
    const double step = niceStep(layout.maxValue, 6);
    for (double v = 0.0; v <= layout.maxValue + 1e-9; v += step) {
        const std::string label = formatGeneral(v);
        const int X = layout.pixelX(v), Y = layout.pixelY(v);
        s.moveTo(X, layout.bottom);
        s.lineTo(X, layout.bottom + 5);
        s.textOut(X - s.textWidth(label) / 2, layout.bottom + 7, label);
        s.moveTo(layout.left - 5, Y);
        s.lineTo(layout.left, Y);
        s.textOut(layout.left - 8 - s.textWidth(label), Y - s.textHeight(label) / 2, label);
    }
    s.moveTo(layout.left, layout.top);
    s.lineTo(layout.left, layout.bottom);
    s.lineTo(layout.right + 1, layout.bottom);
    s.setPen({QqDiagonalColour, 1, PenSpec::Style::Solid});
    s.moveTo(layout.pixelX(0.0), layout.pixelY(0.0));
    s.lineTo(layout.pixelX(layout.maxValue), layout.pixelY(layout.maxValue));
    std::vector<double> observed;
    for (const double v : input.minusLog10P)
        if (std::isfinite(v))
            observed.push_back(v);
    std::sort(observed.begin(), observed.end(), std::greater<>());
    s.setPen({QqPointColour, 1, PenSpec::Style::Solid});
    s.setBrush({QqPointColour, BrushSpec::Style::Solid});
    for (size_t i = 0; i < observed.size(); ++i) {
        const int X = layout.pixelX(qqExpected(i + 1, observed.size())), Y = layout.pixelY(observed[i]);
        s.fillRect(X - 2, Y - 2, X + 3, Y + 3);
    }
    s.setPen({rgb(0, 0, 0), 1, PenSpec::Style::Solid});
    s.setBrush({rgb(255, 255, 255), BrushSpec::Style::Clear});
    s.textOut(layout.left + 10, layout.top + 6, "lambda_GC = " + formatText("%.3f", {input.lambdaGc}));
}

ViewPicture recordQqPlot(const QqPlotInput &input)
{
    ViewPicture picture;
    {
        PictureRecorder recorder(picture);
        paintQqPlot(recorder, input);
    }
    picture.setSize(input.width, input.height);
    return picture;
}

} // namespace rvk
