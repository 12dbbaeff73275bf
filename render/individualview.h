#pragma once
// The whole genome of one individual: one bar per linkage group side by side, marker names on
// the left of each bar and positions on the right. The comparison of individuals paints several
// of these next to one another.

#include "render/drawcontext.h"
#include "render/drawsurface.h"
#include "render/viewpicture.h"
#include "settings/alleletable.h"

namespace rvk {

class GenotypeData;

class IndividualView
{
public:
    struct Layout
    {
        bool drawable = false; // a group is loaded
        int width = 0;         // W, zoomed
        int height = 0;        // Hh, zoomed
        double scale = 1.0;    // pixels per cM at 100 %
        bool landscape = false;
    };

    IndividualView(const GenotypeData &data, AlleleTable &table, const DrawContext &context);

    // Picture size and scale for the context's current individual.
    Layout layout() const;
    // Paints individual (1-based) into a picture width x height at x offset offset.
    void paintIndividual(DrawSurface &surface, int individual, int height, int width, double scale, int offset) const;
    // layout() and paintIndividual() of the context's current individual.
    Layout draw(DrawSurface &surface) const;

    // The largest map position of the last locus over all groups.
    static double longestGroup(const GenotypeData &data);
    // "Space between bars :" as this view uses it: at least 7, or 2 without any marker labels.
    static int groupSpace(const DrawingOptions &options);

private:
    const GenotypeData &mData;
    AlleleTable &mTable;
    const DrawContext &mContext;
};

// Records the view of the context's current individual into a picture of the view's size.
ViewPicture drawIndividualView(const GenotypeData &data, AlleleTable &table, const DrawContext &context,
                               IndividualView::Layout *layout = nullptr);

} // namespace rvk
