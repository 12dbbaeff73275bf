#pragma once
// Where the bars of a range of individuals stand side by side (or, in the all-in-one view, the
// rows stand one below the other): every individual takes a slot, a cross-pollinator two
// narrower ones, one per parent, with a gap between individuals.

#include <vector>

namespace rvk {

class GenotypeData;

// One slot that is drawn. individual is 1-based, bar 0 or 1; start .. end are zoomed pixels
// across the bar.
struct BarSlot
{
    int individual = 0;
    int bar = 0;
    int slot = 0; // counted over the whole range, drawn or not
    int start = 0;
    int end = 0;
    int column = 0;       // the bar's character in every Genotypes text
    int otherColumn = -1; // a cross-pollinator's other character, -1 otherwise
};

// Steps from slot to slot: each advance moves the start by a bar and a space (for a
// cross-pollinator by half of that, plus half a space before each individual's first bar).
class BarSlotStepper
{
public:
    BarSlotStepper(double zoom, int barWidth, int space, bool crossPollinator, int start);

    void advance(int slot);
    int start() const { return mStart; }
    int end() const { return mEnd; }

private:
    double mZoom;
    int mBarWidth;
    int mSpace;
    bool mCrossPollinator;
    int mStart;
    int mEnd;
};

// The slots of individuals first .. last (1-based, inclusive) that are drawn, stepping with
// stepper: unselected individuals are left out, and with skipUnselected they take no room.
std::vector<BarSlot> shownBarSlots(const GenotypeData &data, int first, int last, bool skipUnselected,
                                   BarSlotStepper &stepper);

} // namespace rvk
