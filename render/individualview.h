#pragma once
// The whole genome of one individual: one bar per linkage group side by side, marker names on
// the left of each bar and positions on the right. The comparison of individuals paints several
// of these next to one another.

#include "core/tlocinfo.h"
#include "render/barpainter.h"
#include "render/comparisoncolouring.h"
#include "render/drawcontext.h"
#include "render/drawsurface.h"
#include "render/viewpicture.h"
#include "settings/alleletable.h"

#include <functional>
#include <string>
#include <vector>

namespace rvk {

class GenotypeData;

// One genome as the individual view draws it: one bar (two for a cross-pollinator) per linkage
// group side by side, names left and position labels right of each bar, the cM ruler, the
// legend and a footer. The consensus picture of the marker statistics is drawn the same way.
struct GenomeDrawing
{
    struct Group
    {
        const std::vector<Tlocinfo> *loci = nullptr;
        std::string name;
    };
    std::vector<Group> groups;
    int column = 0;    // character of the first bar in every Genotypes text
    int bars = 1;      // 2: a cross-pollinator, whose second bar reads the next character
    double scale = 1.0;
    int height = 0;    // Hh of the picture
    int offset = 0;    // x of the genome inside the picture
    // The text right of the bar for a labelled marker.
    std::function<std::string(const Tlocinfo &)> positionText;
    std::string footer; // none when empty

    // The largest map position of the last locus over all groups.
    double longestGroup() const;
};
// Resets and refills DrawnLength.
void paintGenome(DrawSurface &surface, AlleleTable &table, const DrawContext &context, const DisplayCoder &coder,
                 const GenomeDrawing &genome);

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
    // The same for groupCount groups reaching up to longest cM; labelledSpaceFactor is how many
    // bar spaces a group takes beside its bar when marker names or positions are shown.
    static Layout layoutFor(int groupCount, double longest, const DrawContext &context, int labelledSpaceFactor);
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
    // The user's table, or the comparison mode's.
    DrawingPalette mPalette;
    AlleleTable &mTable;
    const DrawContext &mContext;
};

// Records the view of the context's current individual into a picture of the view's size.
ViewPicture drawIndividualView(const GenotypeData &data, AlleleTable &table, const DrawContext &context,
                               IndividualView::Layout *layout = nullptr);

} // namespace rvk
