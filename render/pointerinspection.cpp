#include "render/pointerinspection.h"

#include "core/genotypedata.h"
#include "core/textformat.h"

#include <algorithm>

namespace rvk {

const std::array<ZoomMenuEntry, 8> &zoomMenuEntries()
{
    static const std::array<ZoomMenuEntry, 8> entries{{
        {"10%", 1},
        {"20%", 2},
        {"50%", 5},
        {"100%", 10},
        {"200%", 20},
        {"500%", 50},
        {"1000%", 100},
        {"2000%", 200},
    }};
    return entries;
}

std::string zoomStatusText(double zoom) { return "Zoom: " + formatGeneral(100 * zoom) + "%"; }

bool pointerInspectionActive(double zoom) { return roundHalfEven(zoom) == 1; }

namespace {

// The drawn trait row whose band holds y: each row reaches halfway into the gaps beside it, the
// first and the last as far out as their neighbours' halves.
int traitRowAt(const PointerLayout &layout, int y)
{
    const auto &tops = layout.traitRowTops;
    const auto &bottoms = layout.traitRowBottoms;
    const size_t n = std::min(tops.size(), bottoms.size());
    const int halfGap = n > 1 ? (tops[1] - bottoms[0]) / 2 : layout.space;
    for (size_t r = 0; r < n; ++r) {
        const int from = r == 0 ? tops[r] - halfGap : (bottoms[r - 1] + tops[r]) / 2;
        const int to = r + 1 < n ? (bottoms[r] + tops[r + 1]) / 2 : bottoms[r] + halfGap;
        if (y >= from && y < to)
            return static_cast<int>(r);
    }
    return -1;
}

} // namespace

int slotAt(const PointerLayout &layout, int x, int y)
{
    const int bw = layout.barWidth;
    const int sp = layout.space;
    switch (layout.view) {
    case ViewKind::LinkageGroup: return bw + sp > 0 ? (x - layout.markSpace) / (bw + sp) : 0;
    case ViewKind::AllInOne: return bw + sp > 0 ? (y - bw - 5) / (bw + sp) : 0;
    case ViewKind::Association:
        if (!layout.traitRowTops.empty())
            return traitRowAt(layout, y);
        return bw + 2 * sp > 0 ? (y - bw - 5) / (bw + 2 * sp) - 1 : -1;
    case ViewKind::Individual: return 0;
    }
    return 0;
}

std::string slotStatusText(int slot, const std::string &name) { return "[" + formatText("%d", {slot + 1}) + "] " + name; }

namespace {

// The individual (0-based) of slot k, or -1 when the slot is not one of the selected.
int individualOfSlot(int slot, const std::vector<int> &selectedIndices)
{
    if (slot < 0 || static_cast<size_t>(slot) >= selectedIndices.size())
        return -1;
    return selectedIndices[static_cast<size_t>(slot)];
}

std::string nameOf(int individual, const std::vector<std::string> &names)
{
    return individual >= 0 && static_cast<size_t>(individual) < names.size() ? names[static_cast<size_t>(individual)] : std::string();
}

bool namesIndividuals(ViewKind view) { return view == ViewKind::LinkageGroup || view == ViewKind::AllInOne; }

bool isTraitSlot(int slot, const std::vector<std::string> &traits)
{
    return slot >= 0 && static_cast<size_t>(slot) < traits.size();
}

} // namespace

HoverResult hoverAt(const PointerLayout &layout, int x, int y, const std::vector<int> &selectedIndices,
                    const std::vector<std::string> &individualNames, const std::vector<std::string> &traits)
{
    HoverResult result;
    result.tooltipEnabled = namesIndividuals(layout.view);
    if (!pointerInspectionActive(layout.zoom))
        return result;
    const int k = slotAt(layout, x, y);
    if (namesIndividuals(layout.view)) {
        const int individual = individualOfSlot(k, selectedIndices);
        if (individual < 0)
            return result;
        result.individual = individual;
        result.statusText = slotStatusText(k, nameOf(individual, individualNames));
        result.tooltip = DetailedViewHint;
    } else if (layout.view == ViewKind::Association && isTraitSlot(k, traits)) {
        result.trait = k;
        result.statusText = slotStatusText(k, traits[static_cast<size_t>(k)]);
    }
    return result;
}

ClickResult inspectAt(const PointerLayout &layout, int x, int y, PointerButton button, const std::vector<int> &selectedIndices,
                      const std::vector<std::string> &individualNames, const std::vector<std::string> &traits)
{
    ClickResult result;
    if (layout.view == ViewKind::Individual && button == PointerButton::Right) {
        result.action = ClickResult::Action::SwitchToLinkageGroup;
        return result;
    }
    if (!pointerInspectionActive(layout.zoom))
        return result;
    const int k = slotAt(layout, x, y);
    if (layout.view == ViewKind::Association) {
        if (isTraitSlot(k, traits)) {
            result.action = ClickResult::Action::SelectTrait;
            result.trait = k;
            result.text = slotStatusText(k, traits[static_cast<size_t>(k)]);
        }
        return result;
    }
    const int individual = individualOfSlot(k, selectedIndices);
    if (individual < 0)
        return result;
    result.individual = individual + 1;
    result.text = slotStatusText(k, nameOf(individual, individualNames));
    result.action = button == PointerButton::Left ? ClickResult::Action::ShowTooltip : ClickResult::Action::OpenIndividual;
    return result;
}

std::optional<int> stepIndividual(int current, int last, StepDirection direction, const std::function<bool(int)> &isSelected)
{
    auto upFrom = [&](int i) -> std::optional<int> {
        while (i < last && !isSelected(i))
            ++i;
        if (isSelected(i))
            return i;
        return std::nullopt;
    };
    auto downFrom = [&](int i) -> std::optional<int> {
        while (i >= 2 && !isSelected(i))
            --i;
        if (isSelected(i))
            return i;
        return std::nullopt;
    };
    switch (direction) {
    case StepDirection::Up:
        if (current > 0 && current < last)
            return upFrom(current + 1);
        break;
    case StepDirection::Down:
        if (current > 1)
            return downFrom(current - 1);
        break;
    case StepDirection::PageUp:
        if (current > 0 && current < last - 10)
            return upFrom(current + 10);
        break;
    case StepDirection::PageDown:
        if (current > 11)
            return downFrom(current - 10);
        break;
    }
    return std::nullopt;
}

std::optional<int> stepIndividual(const GenotypeData &data, StepDirection direction)
{
    // The last individual may exceed the ticks of a data set that shrank; past them nobody is ticked.
    const auto ticked = [&data](int i) {
        return i >= 1 && static_cast<size_t>(i) <= data.Ticked.size() && data.Ticked[static_cast<size_t>(i - 1)] != 0;
    };
    return stepIndividual(data.CurrentIndividual, data.LastIndividual, direction, ticked);
}

std::optional<int> enteredIndividual(std::string_view text, int last)
{
    const std::optional<long long> number = parseInteger(text);
    if (!number || *number < 1 || *number > last)
        return std::nullopt;
    return static_cast<int>(*number);
}

} // namespace rvk
