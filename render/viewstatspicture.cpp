#include "render/viewstatspicture.h"

#include "core/textformat.h"
#include "render/markerstatspicture.h"
#include "render/picturerecorder.h"

#include <cmath>

namespace rvk {

namespace {

int roundInt(double value) { return static_cast<int>(roundHalfEven(value)); }

constexpr int RayLength = 1000;
// The full turn of this pie is a little short of 2 pi, so a single slice leaves a sliver.
constexpr double FullTurn = 6.282;

} // namespace

void paintViewStatisticsPie(DrawSurface &surface, int width, int height, const std::vector<ViewPieSlice> &slices,
                            const AlleleTable &table, Rgb background)
{
    FontSpec font;
    font.name = "Arial";
    font.size = 13;
    font.bold = true;
    font.color = rgb(0, 0, 0);
    surface.setFont(font);
    surface.setBrush(BrushSpec{background, BrushSpec::Style::Solid, -1});
    surface.setPen(PenSpec{background, 1, PenSpec::Style::Solid});
    surface.rectangle(0, 0, width, height);

    const int cx = width / 2;
    const int cy = height / 2;
    double start = 0.0;
    int x0 = cx + RayLength;
    int y0 = cy;
    for (const ViewPieSlice &slice : slices) {
        const double sweep = FullTurn * slice.fraction;
        const double end = start + sweep;
        const int x1 = cx + roundInt(RayLength * std::cos(end));
        const int y1 = cy - roundInt(RayLength * std::sin(end));
        // Equal rays would make the surface paint a whole circle over the earlier slices; a
        // slice that thin has nothing to show.
        if (x1 != x0 || y1 != y0) {
            const int index = AlleleTable::indexOf(slice.code);
            surface.setBrush(BrushSpec{index >= 0 ? table.entry(index).Color : background, BrushSpec::Style::Solid, -1});
            surface.pie(1, 1, width - 1, height - 1, x0, y0, x1, y1);
        }
        if (sweep > 0.13)
            drawPieLabel(surface, width, height, start, end, slice.label);
        start = end;
        x0 = x1;
        y0 = y1;
    }
}

ViewPicture drawViewStatisticsPie(const std::vector<ViewPieSlice> &slices, const AlleleTable &table, Rgb background)
{
    ViewPicture picture(ViewPieWidth, ViewPieHeight);
    PictureRecorder recorder(picture);
    paintViewStatisticsPie(recorder, ViewPieWidth, ViewPieHeight, slices, table, background);
    return picture;
}

} // namespace rvk
