#include "render/associationplot.h"

#include "core/textformat.h"
#include "render/picturerecorder.h"
#include "render/viewpicture.h"

#include <algorithm>
#include <cmath>

namespace rvk {

namespace {

constexpr Rgb Black = rgb(0, 0, 0);
constexpr Rgb White = rgb(255, 255, 255);
constexpr Rgb DarkGreen = rgb(0, 128, 0);
constexpr Rgb FrameGrey = rgb(192, 192, 192);

int roundInt(double value) { return static_cast<int>(roundHalfEven(value)); }
int channel(long long value) { return static_cast<int>(std::clamp<long long>(value, 0, 255)); }

double lastPosition(const AssociationPlotGroup &group) { return group.positions.empty() ? 0.0 : group.positions.back(); }

} // namespace

Rgb associationR2Color(double r2)
{
    if (r2 >= 0) {
        const int v = channel(roundHalfEven(r2 * 255));
        return rgb(255, 255 - v, 255 - v);
    }
    const long long v = roundHalfEven((r2 - 0.3) * 850);
    return rgb(channel(255 + v), channel(255 + v), 255);
}

AssociationPlotLayout associationPlotLayout(const AssociationPlotInput &input)
{
    AssociationPlotLayout layout;
    const DrawingOptions &d = input.drawing;
    const double z = input.zoom;
    layout.rowHeight = std::max(2 * d.barwidth, 15);
    const int h = layout.rowHeight;
    const int groups = static_cast<int>(input.groups.size());
    double totalLength = 0.0;
    for (const AssociationPlotGroup &group : input.groups)
        totalLength += lastPosition(group);
    const double widthShare = static_cast<double>(roundHalfEven((input.clientWidth - d.markspace - 2 * groups) * d.Lenmul / 2.0));
    layout.scale = totalLength > 0 ? widthShare / totalLength : 1.0;

    // Rows: the group bars, then every plotted trait.
    int y = roundInt(z * (10 - h)) + 5;
    const int rows = 1 + static_cast<int>(input.traitNames.size());
    for (int row = 0; row < rows; ++row) {
        const int hr = row == 0 ? 10 : h;
        y += roundInt(z * d.space) + roundInt(z * (d.space + hr));
        const double hb = row == 0 || input.crossPollinator ? h / 2.0 : h;
        layout.rowTops.push_back(y);
        layout.rowBottoms.push_back(y + roundInt(z * hb));
    }

    // Bands: each group starts 4 pixels after the furthest segment end of the one before.
    int x = AssociationPlotLeftMargin;
    for (const AssociationPlotGroup &group : input.groups) {
        layout.groupX.push_back(x);
        int end = x;
        const size_t n = group.positions.size();
        for (size_t s = 0; s < n; ++s) {
            const double p = group.positions[s];
            const double middle = s + 1 < n ? p + (group.positions[s + 1] - p) / 2 : p;
            end = std::max(end, roundInt(z * layout.scale * middle) + x);
        }
        x = std::max(x, end) + 4;
    }
    // The bands may reach past the image area (the left margin is not part of the scale): the
    // picture grows to hold them rather than cutting the last group off.
    layout.width = std::max(roundInt((input.clientWidth + 5) * z), x + 5);
    layout.height = roundInt((roundHalfEven(input.tableColumns * 1.35 + 3) * (h + d.space) + 25) * z);
    // The gradient legend, or the bar plot's note, goes under the last row.
    if (!layout.rowTops.empty())
        layout.height = std::max(layout.height, layout.rowTops.back() + 2 * d.space + 3 * h + 10);
    return layout;
}

bool associationPlotSignificant(const AssociationPlotInput &input, int t, int g)
{
    if (input.useFdrThreshold) {
        const double q = input.q ? input.q(t, g) : -1.0;
        return q <= input.qThreshold && q > -1;
    }
    const double p = input.p ? input.p(t, g) : -1.0;
    return p <= input.pThreshold && p > -1;
}

std::string associationPlotNote(const AssociationPlotInput &input)
{
    if (input.style != AssociationPlotInput::Style::Bar || input.traitNames.empty())
        return {};
    int significant = 0, bars = 0;
    bool anyR2 = false;
    for (int t : input.traitColumns) {
        int g = 0;
        for (const AssociationPlotGroup &group : input.groups)
            for (size_t s = 0; s < group.positions.size(); ++s, ++g) {
                const int row = s < group.resultRows.size() ? group.resultRows[s] : g;
                const double r2 = input.r2 ? input.r2(t, row) : 0.0;
                anyR2 = anyR2 || r2 > 0;
                if (associationPlotSignificant(input, t, row)) {
                    ++significant;
                    bars += r2 > 0;
                }
            }
    }
    if (bars > 0)
        return "Bar length: R\xC2\xB2 x " + formatText("%d", {input.amplification + 100})
            + "% of half a row; \"Plotted association amplification (%):\" in the options (asso_amp) lengthens the bars.";
    if (!anyR2 || significant > 0)
        return "No bars: these results hold no R\xC2\xB2 (an ANOVA gives none); the correlation analysis draws R\xC2\xB2 bars.";
    return input.useFdrThreshold ? "No bars: no marker passes the FDR q threshold " + formatGeneral(input.qThreshold) + "."
                                 : "No bars: no marker passes the p-value threshold " + formatGeneral(input.pThreshold) + ".";
}

namespace {

// The brush of the group bars: dark green, or black in black-and-white drawing. Black-and-white
// drawing hatches every bar (a solid black bar would hide its marker ticks), colour drawing only
// with "use hatch"; the hatch is the back-diagonal one the LD pictures use in black and white.
BrushSpec groupBarBrush(const DrawingOptions &d)
{
    const Rgb color = d.blackAndWhite() ? Black : DarkGreen;
    const bool hatched = d.blackAndWhite() || d.useHatch();
    return BrushSpec{color, hatched ? AssociationGroupBarHatch : BrushSpec::Style::Solid, -1};
}

void groupBar(DrawSurface &surface, const AssociationPlotInput &input, int x1, int y1, int x2, int y2)
{
    if (x2 <= x1)
        return;
    const DrawingOptions &d = input.drawing;
    const BrushSpec brush = groupBarBrush(d);
    surface.setPen({brush.color, 1});
    surface.setBrush(brush);
    switch (d.Fillstyle) {
    case DrawingOptions::FillStyle::Discrete:
        surface.rectangle(x1, y1, x2, y2);
        break;
    case DrawingOptions::FillStyle::Gradient:
        surface.fillRect(x1, y1, x2, y2);
        break;
    case DrawingOptions::FillStyle::ThreeD: {
        surface.fillRect(x1, y1, x2, y2);
        // Four highlight lines fading from white into the bar's colour at the top, four shadow
        // lines fading from it to grey at the bottom.
        const Rgb grey = rgb(128, 128, 128);
        const auto blend = [](Rgb from, Rgb to, int i) {
            const auto mix = [i](int a, int b) { return channel(a + roundHalfEven((b - a) * i / 4.0)); };
            return rgb(mix(from & 0xFF, to & 0xFF), mix((from >> 8) & 0xFF, (to >> 8) & 0xFF), mix((from >> 16) & 0xFF, (to >> 16) & 0xFF));
        };
        for (int i = 0; i < 4; ++i) {
            if (y1 + i < y2) {
                surface.setPen({blend(White, brush.color, i), 1});
                surface.moveTo(x1, y1 + i);
                surface.lineTo(x2, y1 + i);
            }
            if (y2 - 4 + i >= y1) {
                surface.setPen({blend(brush.color, grey, i), 1});
                surface.moveTo(x1, y2 - 4 + i);
                surface.lineTo(x2, y2 - 4 + i);
            }
        }
        break;
    }
    }
}

} // namespace

void paintAssociationPlot(DrawSurface &surface, const AssociationPlotInput &input)
{
    const AssociationPlotLayout layout = associationPlotLayout(input);
    const DrawingOptions &d = input.drawing;
    const double z = input.zoom;
    const double a = layout.scale;
    const int h = layout.rowHeight;
    const int halfH = roundInt(h / 2.0);
    FontDescription groupFont = d.markerFont;
    groupFont.size += 3;
    FontDescription nameFont = d.markerFont;

    int g0 = 0; // global index of the group's first locus
    for (size_t k = 0; k < input.groups.size(); ++k) {
        const AssociationPlotGroup &group = input.groups[k];
        const int X = layout.groupX[k];
        const size_t n = group.positions.size();
        const auto markerX = [&](double p) { return roundInt(z * a * p) + X; };
        std::vector<int> segmentEnds(n);
        for (size_t s = 0; s < n; ++s) {
            const double p = group.positions[s];
            const double middle = s + 1 < n ? p + (group.positions[s + 1] - p) / 2 : p;
            segmentEnds[s] = roundInt(z * a * middle) + X;
        }
        const int groupEnd = n ? *std::max_element(segmentEnds.begin(), segmentEnds.end()) : X;

        // The group number above its band.
        surface.setFont(groupFont);
        const std::string number = formatText("%d", {static_cast<int>(k) + 1});
        surface.textOut(roundInt(a * 0.5 * lastPosition(group) * z) + X - surface.textWidth(number) / 2, 1, number);

        // Row 0: the group as bars with marker ticks.
        const int top0 = layout.rowTops[0], bottom0 = layout.rowBottoms[0];
        int previous = X;
        for (size_t s = 0; s < n; ++s) {
            groupBar(surface, input, previous, top0, segmentEnds[s], bottom0);
            previous = segmentEnds[s];
        }
        surface.setPen({Black, 1});
        for (size_t s = 0; s < n; ++s) {
            surface.moveTo(markerX(group.positions[s]), top0 + 1);
            surface.lineTo(markerX(group.positions[s]), top0 + 4);
        }

        // A row per plotted trait.
        for (size_t row = 0; row < input.traitNames.size(); ++row) {
            const int t = input.traitColumns[row];
            const int top = layout.rowTops[row + 1], bottom = layout.rowBottoms[row + 1];
            Rgb gradientColor = White;
            previous = X;
            for (size_t s = 0; s < n; ++s) {
                const int g = s < group.resultRows.size() ? group.resultRows[s] : g0 + static_cast<int>(s);
                const double r2 = input.r2 ? input.r2(t, g) : 0.0;
                const double r = input.r ? std::max(-1.0, input.r(t, g)) : 0.0;
                const Rgb color = associationR2Color(r2);
                if (s == 0) {
                    surface.setPen({FrameGrey, 1});
                    surface.setBrush({White, BrushSpec::Style::Clear});
                    surface.rectangle(X, top - 1, groupEnd + 2, bottom + 1);
                    gradientColor = color;
                }
                if (input.style == AssociationPlotInput::Style::Gradient) {
                    const int width = segmentEnds[s] - previous;
                    for (int x = previous; x < segmentEnds[s]; ++x) {
                        const double f = width > 0 ? static_cast<double>(x - previous) / width : 1.0;
                        const auto mix = [f](int from, int to) { return channel(roundHalfEven(from + (to - from) * f)); };
                        surface.setPen({rgb(mix(gradientColor & 0xFF, color & 0xFF), mix((gradientColor >> 8) & 0xFF, (color >> 8) & 0xFF),
                                            mix((gradientColor >> 16) & 0xFF, (color >> 16) & 0xFF)),
                                        1});
                        surface.moveTo(x, top);
                        surface.lineTo(x, bottom);
                    }
                    gradientColor = color;
                } else if (associationPlotSignificant(input, t, g)) {
                    const int v = channel(input.colorOffset + roundHalfEven((255 - input.colorOffset) * r2));
                    const Rgb pen = r > 0 ? rgb(255, 255 - v, 255 - v) : rgb(255 - v, 255 - v, 255);
                    const int sign = r >= 0 ? 1 : -1;
                    const int middle = bottom - halfH;
                    const int tip = middle - roundInt((input.amplification + 100) / 100.0 * r2 * (h / 2.0) * sign) - 1;
                    surface.setPen({pen, 2});
                    surface.moveTo(markerX(group.positions[s]), tip);
                    surface.lineTo(markerX(group.positions[s]), middle);
                }
                previous = segmentEnds[s];
            }
            if (k == 0) {
                surface.setFont(nameFont);
                surface.textOut(1, top - 2, input.traitNames[row]);
            }
        }
        g0 += static_cast<int>(n);
    }

    if (input.style == AssociationPlotInput::Style::Gradient && !layout.rowTops.empty()) {
        const int y0 = layout.rowTops.back() + 2 * d.space + 2 * h;
        const int y1 = y0 + roundInt(z * h);
        const int left = AssociationPlotLeftMargin;
        surface.setFont(nameFont);
        surface.textOut(left, y0 - 2, "Legend: R\xC2\xB2 : 0.0");
        for (int i = 0; i <= 150; ++i) {
            const int fade = channel(255 - roundHalfEven(i * 255.0 / 150));
            surface.setPen({rgb(255, fade, fade), 1});
            surface.moveTo(left + 100 + i, y0);
            surface.lineTo(left + 100 + i, y1);
        }
        surface.textOut(left + 255, y0 - 2, "1.0");
        surface.setPen({FrameGrey, 1});
        surface.setBrush({White, BrushSpec::Style::Clear});
        surface.rectangle(left + 99, y0 - 1, left + 252, y1 + 1);
    }
    const std::string note = associationPlotNote(input);
    if (!note.empty() && !layout.rowTops.empty()) {
        surface.setFont(nameFont);
        surface.textOut(AssociationPlotLeftMargin, layout.rowTops.back() + 2 * d.space + 2 * h - 2, note);
    }
}

ViewPicture recordAssociationPlot(const AssociationPlotInput &input)
{
    const AssociationPlotLayout layout = associationPlotLayout(input);
    ViewPicture picture;
    {
        PictureRecorder recorder(picture);
        paintAssociationPlot(recorder, input);
    }
    picture.setSize(layout.width, layout.height);
    return picture;
}

// ---------------------------------------------------------------------------------------------
// Charts

void paintAssociationChart(DrawSurface &surface, const AssociationChartInput &input)
{
    const int left = 55, right = input.width - 15, top = 30, bottom = input.height - 45;
    surface.setPen({White, 1});
    surface.setBrush({White});
    surface.fillRect(0, 0, input.width, input.height);
    FontDescription font;
    font.size = 8;
    surface.setFont(font);
    FontDescription titleFont = font;
    titleFont.bold = true;
    titleFont.size = 9;
    surface.setFont(titleFont);
    surface.textOut(std::max(2, (input.width - surface.textWidth(input.title)) / 2), 6, input.title);
    surface.setFont(font);
    surface.textOut(std::max(2, (left + right - surface.textWidth(input.bottomTitle)) / 2), input.height - 18, input.bottomTitle);
    surface.textOutRotated(4, (top + bottom + surface.textWidth(input.leftTitle)) / 2, input.leftTitle, 90);
    if (right <= left || bottom <= top)
        return;

    double yMin = input.yMin, yMax = input.yMax;
    if (!input.fixedYRange) {
        yMin = 0.0;
        yMax = 0.0;
        for (double v : input.barValues)
            yMax = std::max(yMax, v);
        for (double v : input.pointY)
            yMax = std::max(yMax, v);
        if (yMax <= 0)
            yMax = 1.0;
    }
    const auto yOf = [&](double v) { return bottom - roundInt((v - yMin) / (yMax - yMin) * (bottom - top)); };

    // Axes with five steps on the left.
    surface.setPen({Black, 1});
    surface.moveTo(left, top);
    surface.lineTo(left, bottom);
    surface.lineTo(right, bottom);
    for (int k = 0; k <= 4; ++k) {
        const double v = yMin + (yMax - yMin) * k / 4;
        const int y = yOf(v);
        surface.moveTo(left - 4, y);
        surface.lineTo(left, y);
        const std::string text = formatGeneral(std::round(v * 1000) / 1000);
        surface.textOut(left - 6 - surface.textWidth(text), y - surface.textHeight(text) / 2, text);
    }

    if (!input.barValues.empty()) {
        const int bars = static_cast<int>(input.barValues.size());
        const double slot = static_cast<double>(right - left) / bars;
        // Every label when they fit under their bars, else every second, third...
        int widest = 1;
        for (const std::string &label : input.barLabels)
            widest = std::max(widest, surface.textWidth(label) + 4);
        const int step = std::max(1, static_cast<int>(std::ceil(widest / std::max(1.0, slot))));
        for (int k = 0; k < bars; ++k) {
            const int x1 = left + roundInt(slot * k + slot * 0.15);
            const int x2 = left + roundInt(slot * (k + 1) - slot * 0.15);
            surface.setPen({rgb(0, 0, 128), 1});
            surface.setBrush({rgb(255, 0, 0)});
            if (input.barValues[static_cast<size_t>(k)] > 0)
                surface.rectangle(x1, yOf(input.barValues[static_cast<size_t>(k)]), std::max(x1 + 1, x2), bottom + 1);
            if (static_cast<size_t>(k) < input.barLabels.size() && k % step == 0) {
                const std::string &label = input.barLabels[static_cast<size_t>(k)];
                surface.setBrush({White, BrushSpec::Style::Clear});
                surface.textOut((x1 + x2 - surface.textWidth(label)) / 2, bottom + 3, label);
            }
        }
    }
    if (!input.pointX.empty()) {
        double xMax = 1.0;
        for (double x : input.pointX)
            xMax = std::max(xMax, x);
        surface.setPen({rgb(255, 0, 0), 1});
        surface.setBrush({rgb(255, 0, 0)});
        for (size_t i = 0; i < input.pointX.size() && i < input.pointY.size(); ++i) {
            const int x = left + roundInt(input.pointX[i] / xMax * (right - left));
            const int y = yOf(std::clamp(input.pointY[i], yMin, yMax));
            surface.fillRect(x - 1, y - 1, x + 2, y + 2);
        }
        const std::string last = formatGeneral(xMax);
        surface.setBrush({White, BrushSpec::Style::Clear});
        surface.textOut(right - surface.textWidth(last), bottom + 3, last);
    }    if (input.barValues.empty() && input.pointX.empty() && !input.hint.empty()) {
        surface.setBrush({White, BrushSpec::Style::Clear});
        surface.textOut(std::max(left + 2, (left + right - surface.textWidth(input.hint)) / 2),
                        (top + bottom - surface.textHeight(input.hint)) / 2, input.hint);
    }
}

ViewPicture recordAssociationChart(const AssociationChartInput &input)
{
    ViewPicture picture;
    {
        PictureRecorder recorder(picture);
        paintAssociationChart(recorder, input);
    }
    picture.setSize(input.width, input.height);
    return picture;
}

} // namespace rvk
