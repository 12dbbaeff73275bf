#pragma once
// Painting of chromosome bars and of the pieces every view shares: the code drawn for a
// genotype, one bar segment by segment, the cM ruler, the colour legend and the footer line.

#include "core/tlocinfo.h"
#include "render/drawcontext.h"
#include "render/drawsurface.h"
#include "render/figurerun.h"
#include "settings/alleletable.h"

#include <string>
#include <string_view>
#include <vector>

namespace rvk {

class GenotypeData;

// Scale and zoom of one drawing. Map positions are laid out at 100 % and then zoomed, so that
// a zoomed picture shows the same rounding as the unzoomed one.
struct ViewGeometry
{
    double scale = 1.0; // pixels per cM at 100 %
    double zoom = 1.0;
    int topMargin = 20;

    int y(double position) const;
    // A horizontal length given at 100 %.
    int zoomed(double length) const;
};

// The cross-pollinator rules differ between the views: the linkage-group view draws both
// parents' alleles, the individual view a reduced set.
enum class CrossPollinatorTable { LinkageGroupView, IndividualView };

// Turns the genotype characters of an individual into the code whose allele-table entry
// colours the segment: the cross-pollinator rules and, for haploid data, the phase rule.
class DisplayCoder
{
public:
    DisplayCoder(const std::string &popt, bool deducePhase, CrossPollinatorTable table = CrossPollinatorTable::LinkageGroupView);
    // The coder of a view: the data set's population type, the context's phase rule and, in the
    // comparison mode, the references the codes are compared with.
    DisplayCoder(const GenotypeData &data, const DrawContext &context, CrossPollinatorTable table);

    // What a locus contributes to the rules, worked out once per locus.
    struct LocusRules
    {
        const void *bar0 = nullptr; // rule rows of bar 0 and bar 1 for the locus type
        const void *bar1 = nullptr;
        char d1 = 0;                // first and second character inside the phase braces
        char d2 = 0;
        bool swapAB = false;        // haploid locus in phase {1} with phase deduction on
        bool compare = false;       // comparison mode: the code becomes its comparison category
        char reference[2] = {};     // the references' display codes for bar 0 and bar 1
        char donor[2] = {};
    };
    LocusRules rulesFor(const Tlocinfo &locus) const;

    // code is the individual's character for the bar, other the individual's other character
    // (cross-pollinators only); bar is 0 or 1.
    char code(const LocusRules &rules, char code, char other, int bar) const;
    char code(const Tlocinfo &locus, std::string_view genotype, int bar) const;

    bool crossPollinator() const { return mCrossPollinator; }
    // Whether codes become comparison categories (see render/comparisoncolouring.h).
    bool comparing() const { return mReference >= 0; }

private:
    char plainCode(const LocusRules &rules, char code, char other, int bar) const;

    bool mCrossPollinator;
    int mReference = -1; // comparison references, 0-based
    int mDonor = -1;
    bool mHaploidPhase;
    CrossPollinatorTable mTable;
};

// The code drawn for individual genotype (one character, two for "cp") at a locus.
char displayCode(const Tlocinfo &locus, std::string_view genotype, int bar, const std::string &popt,
                 bool deducePhase, CrossPollinatorTable table = CrossPollinatorTable::LinkageGroupView);

// The marker font at the start of a drawing: on screen growing with the zoom, and with
// shrinkWhenZoomedOut (the linkage-group view) smaller when zoomed out.
FontDescription startMarkerFont(const DrawContext &context, bool shrinkWhenZoomedOut = false);

// The colour-mode brush style of allele-table hatch k.
BrushSpec::Style hatchStyle(int hatch);
// The brush of a segment drawn in colour with allele-table hatch k: in "Color" mode the colour,
// hatched with "use hatch"; in "B && W" the pattern of hatch k.
BrushSpec segmentBrush(const DrawContext &context, Rgb colour, int hatch);

// Paints chromosome bars segment by segment. Consecutive segments that would paint exactly the
// same pixels as one figure are drawn as one, so a recorded picture grows with the number of
// allele changes rather than with the number of markers or pixel rows.
class BarPainter
{
public:
    enum class Variant { LinkageGroupView, IndividualView };

    BarPainter(DrawSurface &surface, AlleleTable &table, const DrawContext &context, const ViewGeometry &geometry,
               const DisplayCoder &coder, Variant variant = Variant::LinkageGroupView);

    // One bar. column is the character of every Genotypes text that belongs to the bar and
    // otherColumn the individual's other character (-1 when there is none); bar is 0 or 1.
    // The bar spans left .. right; QTL bars stand right of qtlRight (the bar's right edge in
    // the linkage-group view). Adds the cM each segment carries to DrawnLength.
    void paintBar(const std::vector<Tlocinfo> &loci, int column, int otherColumn, int bar, int left, int right, int qtlRight);
    void paintBar(const std::vector<Tlocinfo> &loci, int column, int otherColumn, int bar, int left, int right)
    {
        paintBar(loci, column, otherColumn, bar, left, right, right);
    }

    // The y where the last segment painted ended.
    int lastSegmentEnd() const { return mLastEnd; }

private:
    void prepare(const std::vector<Tlocinfo> &loci);

    DrawSurface &mSurface;
    AlleleTable &mTable;
    const DrawContext &mContext;
    ViewGeometry mGeometry;
    const DisplayCoder &mCoder;
    Variant mVariant;

    // Per-locus values of the loci last painted, worked out once for all bars.
    const std::vector<Tlocinfo> *mPrepared = nullptr;
    size_t mPreparedCount = 0;
    std::vector<DisplayCoder::LocusRules> mRules;
    std::vector<int> mMarkerY;   // y of the marker
    std::vector<int> mBoundaryY; // y of the midpoint to the next locus
    std::vector<double> mLength; // cM to the next locus

    // The segments' figures, drawn as few as paint the same pixels.
    FigureRun mRun;
    int mLastEnd = 0;
};

// The cM ruler along the left edge: a tick every 5 cM from 0 to beyond maxPosition and a number
// every 25 cM, centred on its tick by textHeight. Returns the y of the last tick.
int drawCmRuler(DrawSurface &surface, const DrawContext &context, const ViewGeometry &geometry, int x, int textHeight,
                double maxPosition);

// Where the legend stands; the defaults are those of the linkage-group view.
struct LegendPlacement
{
    int x = 0;            // left of the boxes
    int bottom = 0;       // end of the vertical header line, also the height the rows share
    int headerPenWidth = 2;
    int boxTop = 12;      // unzoomed offsets of the boxes below the top margin
    int boxBottom = 20;
};
// The brush and pen (pen with its colour changed) of an allele's box in a legend: the segment's
// brush; a hatched box is outlined in its colour, the others in black.
void setLegendBoxStyle(DrawSurface &surface, const DrawContext &context, const Tcolorset &entry, PenSpec pen);
LegendPlacement linkageGroupLegendPlacement(const DrawContext &context, int width, int height);
// The legend of the used alleles, one box and label per entry.
void drawLegend(DrawSurface &surface, const AlleleTable &table, const DrawContext &context, const LegendPlacement &placement);

// "Group n  [name]  footer text" near the bottom of the picture.
void drawFooter(DrawSurface &surface, const DrawContext &context, int width, int height, int textHeight, int group,
                const std::string &groupName);

} // namespace rvk
