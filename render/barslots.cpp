#include "render/barslots.h"

#include "core/genotypedata.h"
#include "core/textformat.h"

#include <algorithm>

namespace rvk {

namespace {

int roundInt(double value) { return static_cast<int>(roundHalfEven(value)); }

} // namespace

BarSlotStepper::BarSlotStepper(double zoom, int barWidth, int space, bool crossPollinator, int start)
    : mZoom(zoom)
    , mBarWidth(barWidth)
    , mSpace(space)
    , mCrossPollinator(crossPollinator)
    , mStart(start)
    , mEnd(start)
{
}

void BarSlotStepper::advance(int slot)
{
    const double z = mZoom;
    const int bw = mBarWidth;
    const int sp = mSpace;
    if (!mCrossPollinator) {
        mStart += roundInt(z * (bw + sp));
        mEnd = mStart + roundInt(z * bw);
    } else {
        mStart += roundInt(z * ((slot + 1) % 2) * (sp / 2)) + roundInt(z * (bw + sp)) / 2;
        mEnd = mStart + roundInt(z * (bw / 2));
    }
}

std::vector<BarSlot> shownBarSlots(const GenotypeData &data, int first, int last, bool skipUnselected,
                                   BarSlotStepper &stepper)
{
    const int m = data.IsCrossPollinator() ? 2 : 1;
    const int slotCount = std::max(0, (last - first + 1) * m);
    std::vector<BarSlot> shown;
    shown.reserve(static_cast<size_t>(slotCount));
    for (int slot = 0; slot < slotCount; ++slot) {
        const int individual = first + slot / m;
        if (!skipUnselected)
            stepper.advance(slot);
        if (!data.IsSelected(individual - 1))
            continue;
        if (skipUnselected)
            stepper.advance(slot);
        const int bar = slot % m;
        const int column = (individual - 1) * m + bar;
        const int other = m == 2 ? (individual - 1) * m + (1 - bar) : -1;
        shown.push_back(BarSlot{individual, bar, slot, stepper.start(), stepper.end(), column, other});
    }
    return shown;
}

} // namespace rvk
