#pragma once
// The whole genome of all shown individuals at once: the linkage groups laid end to end from
// left to right, one horizontal row per individual (two for cross-pollinators) and a last row,
// "Consensus", with the most frequent allele of every marker, paler where it is less frequent.
// Printing uses a vertical layout instead: every group painted like the linkage-group view,
// one below the other, on one page.

#include "render/comparisoncolouring.h"
#include "render/drawcontext.h"
#include "render/drawsurface.h"
#include "render/viewpicture.h"
#include "settings/alleletable.h"

#include <vector>

namespace rvk {

class GenotypeData;
class UserInterface;

class AllInOneView
{
public:
    static constexpr const char *ConsensusLabel = "Consensus";
    // Shown instead of the rows when no group reaches beyond 0 cM, so there is nothing to scale.
    static constexpr const char *NoMapLengthNotice = "The linkage groups have no map length to draw";

    struct Layout
    {
        bool drawable = false;         // a group is loaded
        bool hasMapLength = false;     // the groups together are longer than 0 cM
        int width = 0;                 // W, zoomed
        int height = 0;                // Hh, zoomed
        double scale = 0.0;            // s, pixels per cM at 100 % (CmScale)
        int markSpace = 0;             // "Space for markernames:" after autosize (printing uses it)
        bool landscape = false;        // printer orientation
        bool previewLandscape = false; // print-preview orientation
        int firstIndividual = 1;       // range drawn, 1-based, inclusive
        int lastIndividual = 0;
        // x where the first group begins, zoomed: the top margin, or more when the widest row
        // name (from x = 1) needs it, so that no bar covers a name.
        int rowsStart = 0;
    };


    // One painted row. individual is 1-based, 0 for the consensus row; bar is 0 or 1 for the two
    // rows of a cross-pollinator. top .. bottom (exclusive) are zoomed picture rows.
    struct Row
    {
        int individual = 0;
        int bar = 0;
        int slot = 0; // J, counted over all rows of the range whether drawn or not
        int top = 0;
        int bottom = 0;
        bool isConsensus() const { return individual == 0; }
    };

    // visibleWidth is the client width of the image area; the picture is as wide and the
    // genome is scaled to it.
    AllInOneView(const GenotypeData &data, AlleleTable &table, const DrawContext &context, int visibleWidth);

    // Progress of the painting (one step per group) goes here when set.
    void setUserInterface(UserInterface *ui) { mUserInterface = ui; }

    // Picture size and scale; with autosize the marker-name space is measured on surface in the
    // marker font (the surface's font is restored).
    Layout layout(DrawSurface &surface) const;
    // The screen painter. MajorAllele and MajorAlleleShare of every locus must be current (the
    // marker statistics fill them). Resets and refills DrawnLength.
    void paint(DrawSurface &surface, const Layout &layout) const;
    Layout draw(DrawSurface &surface) const;

    // The printing painter on a page width x height device pixels, with the scale of the
    // all-in-one drawing at 100 % and the fit factor fit. Uses the context's markspace.
    void paintForPrint(DrawSurface &surface, int height, int width, double scale, double fit) const;

    // The rows the screen painter draws, in drawing order, the consensus row last.
    std::vector<Row> rows(const Layout &layout) const;

    // Sum over groups of the position of each group's last locus.
    static double totalLength(const GenotypeData &data);
    // s = round(lm / 2 * Cw) / Ltot with Cw = visibleWidth - tm - 2 * groups; 0 without length.
    // leftEdge (at 100 %) replaces tm where the row names need more room.
    static double scaleFor(const GenotypeData &data, const DrawingOptions &options, int visibleWidth);
    static double scaleFor(const GenotypeData &data, const DrawingOptions &options, int visibleWidth, int leftEdge);

private:
    const GenotypeData &mData;
    // The user's table, or the comparison mode's.
    DrawingPalette mPalette;
    AlleleTable &mTable;
    const DrawContext &mContext;
    int mVisibleWidth;
    UserInterface *mUserInterface = nullptr;
};

// Records the all-in-one view into a picture of the view's size; the picture stays empty when
// no group is loaded. layout, when given, receives the size, scale and orientations.
ViewPicture drawAllInOneView(const GenotypeData &data, AlleleTable &table, const DrawContext &context, int visibleWidth,
                             AllInOneView::Layout *layout = nullptr, UserInterface *ui = nullptr);

} // namespace rvk
