#pragma once
// What a painter needs to know besides the data and the allele table. The main window and the
// command-line front end fill the same struct, so no painter ever reads a control.

#include "settings/drawingoptions.h"

#include <algorithm>
#include <string>

namespace rvk {

struct DrawContext
{
    DrawingOptions options;
    // The general option "deduce locus phase ": draw a and b exchanged at haploid loci in phase {1}.
    bool deducePhase = false;

    // 1.0 = 100 %; when printing, the fit factor of the page.
    double zoom = 1.0;
    // Printing keeps the stored font sizes; on screen they grow with the zoom.
    bool printing = false;
    // Client height of the image area, in pixels; the views derive their height from it.
    int visibleHeight = 600;

    // Linkage-group view: the group (0-based) and the range "Show:" a "-" b of individuals
    // (1-based, inclusive); lastIndividual 0 means up to the last individual.
    int group = 0;
    int firstIndividual = 1;
    int lastIndividual = 0;
    // "Skip unselected individuals in drawing": unselected individuals take no slot.
    bool skipUnselected = true;
    // The range drawn: out-of-range individuals would address characters beyond the genotype
    // texts.
    int firstShown() const { return std::max(1, firstIndividual); }
    int lastShown(int nind) const { return lastIndividual <= 0 ? nind : std::min(lastIndividual, nind); }

    // Individual view: the individual shown (1-based).
    int currentIndividual = 1;

    bool isColour() const { return !options.blackAndWhite(); }
};

} // namespace rvk
