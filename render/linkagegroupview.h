#pragma once
// The main picture: one chromosome bar per individual for one linkage group, with the marker
// labels on the left, the cM ruler at the left edge, the legend at the right edge and a footer.

#include "render/comparisoncolouring.h"
#include "render/drawcontext.h"
#include "render/drawsurface.h"
#include "render/viewpicture.h"
#include "settings/alleletable.h"

#include <string>

namespace rvk {

class GenotypeData;

class LinkageGroupView
{
public:
    // Shown instead of the bars when the group has no positive map length to scale.
    static constexpr const char *NoMapLengthNotice = "This linkage group has no map length to draw";

    struct Layout
    {
        bool drawable = false;      // a group is loaded
        bool hasMapLength = false;  // the last locus lies beyond 0 cM
        int width = 0;              // W, zoomed
        int height = 0;             // Hh, zoomed
        double scale = 0.0;         // s, pixels per cM at 100 % (CmScale)
        int markSpace = 0;          // space for marker names in use (after autosize)
        bool landscape = false;     // printer orientation
        int firstIndividual = 1;    // range drawn, 1-based, inclusive
        int lastIndividual = 0;
    };

    LinkageGroupView(const GenotypeData &data, AlleleTable &table, const DrawContext &context);

    // Picture size and scale. Text is measured on surface in the font it has before painting.
    Layout layout(DrawSurface &surface) const;
    // Paints the group with a layout from layout() (or the printer's, with the fit factor as
    // the context's zoom). Resets and refills DrawnLength; marks the first allele of each bar used.
    void paint(DrawSurface &surface, const Layout &layout) const;
    // layout() and paint() on one surface.
    Layout draw(DrawSurface &surface) const;

private:
    const GenotypeData &mData;
    // The user's table, or the comparison mode's.
    DrawingPalette mPalette;
    AlleleTable &mTable;
    const DrawContext &mContext;
};

// Records the view of the context's group into a picture of the view's size; the picture stays
// empty when no group is loaded. layout, when given, receives the size, scale and name space.
ViewPicture drawLinkageGroupView(const GenotypeData &data, AlleleTable &table, const DrawContext &context,
                                 LinkageGroupView::Layout *layout = nullptr);

} // namespace rvk
