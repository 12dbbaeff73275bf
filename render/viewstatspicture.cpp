#include "render/viewstatspicture.h"

#include "render/markerstatspicture.h"
#include "render/picturerecorder.h"

#include <limits>

namespace rvk {

namespace {

// The full turn of this pie is a little short of 2 pi, so a single slice leaves a sliver.
constexpr double FullTurn = 6.282;

} // namespace

void paintViewStatisticsPie(DrawSurface &surface, int width, int height, const std::vector<ViewPieSlice> &slices,
                            const AlleleTable &table, Rgb background)
{
    std::vector<PieSweep> sweeps;
    sweeps.reserve(slices.size());
    for (const ViewPieSlice &slice : slices)
        sweeps.push_back(PieSweep{slice.code, FullTurn * slice.fraction, slice.label});
    // No slice reaches a whole turn, so equal rays always mean a slice too thin to show.
    paintPie(surface, width, height, sweeps, table, background, std::numeric_limits<double>::infinity());
}

ViewPicture drawViewStatisticsPie(const std::vector<ViewPieSlice> &slices, const AlleleTable &table, Rgb background)
{
    ViewPicture picture(ViewPieWidth, ViewPieHeight);
    PictureRecorder recorder(picture);
    paintViewStatisticsPie(recorder, ViewPieWidth, ViewPieHeight, slices, table, background);
    return picture;
}

} // namespace rvk
