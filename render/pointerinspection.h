#pragma once
// What the pointer names on the main picture, how the "Ind:" field steps through the
// individuals, and the zoom menu. Plain functions over the view layouts: the window turns the
// answers into status-bar texts, tooltips and view switches.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rvk {

class GenotypeData;

// The choices of "Organize by:".
enum class ViewKind { LinkageGroup, Individual, AllInOne, Association };

// ---- Zoom ---------------------------------------------------------------------------------

struct ZoomMenuEntry
{
    const char *caption; // "10%" ... "2000%"
    int tag;             // ZoomFactor = tag / 10
};
// The entries of the tool button "Zoom factor", in menu order; "100%" is the default.
const std::array<ZoomMenuEntry, 8> &zoomMenuEntries();
constexpr double zoomFactorForTag(int tag) { return tag / 10.0; }
// "Zoom: " + 100 * zoom in general format + "%", for status field 3 ("Zoom: 50%").
std::string zoomStatusText(double zoom);
// The pointer names individuals only at 100 %: the hit test knows the unzoomed layout alone.
bool pointerInspectionActive(double zoom);

// ---- Hit test ------------------------------------------------------------------------------

// What the hit test needs of the view on screen.
struct PointerLayout
{
    ViewKind view = ViewKind::LinkageGroup;
    double zoom = 1.0;
    int markSpace = 100; // space for marker names in use (after autosize)
    int barWidth = 8;
    int space = 6;
    // "Association": the top and bottom (picture pixels) of each drawn trait row, in drawing
    // order. When given, the row under the pointer is the slot (the gaps between rows split in
    // the middle); without them the slot comes from the bar width and space.
    std::vector<int> traitRowTops, traitRowBottoms;
};

// The slot under the point: "Linkage Group" (x - ms) div (bw + sp); "All in one"
// (y - bw - 5) div (bw + sp); "Association" the trait row under the point (or, without rows,
// (y - bw - 5) div (bw + 2 sp) - 1; -1 outside every row); "Individual" 0.
// Division truncates toward zero, so a point up to one slot before the first still gives 0.
int slotAt(const PointerLayout &layout, int x, int y);

// "[" + (k + 1) + "] " + name.
std::string slotStatusText(int slot, const std::string &name);
inline constexpr const char *DetailedViewHint = "Right-Click for detailed view";

// What hovering shows.
struct HoverResult
{
    bool tooltipEnabled = false;     // the picture's tooltip is on in this view
    std::string statusText;          // for status field 1; empty: leave it
    std::string tooltip;             // the tooltip's text when it names an individual
    int individual = -1;             // 0-based index of the individual named, or -1
    int trait = -1;                  // index in the plotted-trait list ("Association"), or -1
};
// selectedIndices: SelectedIndices (0-based, ascending); traits: the plotted-trait list.
HoverResult hoverAt(const PointerLayout &layout, int x, int y, const std::vector<int> &selectedIndices,
                    const std::vector<std::string> &individualNames, const std::vector<std::string> &traits = {});

enum class PointerButton { Left, Right };

// What a click asks of the window.
struct ClickResult
{
    enum class Action {
        None,
        SwitchToLinkageGroup, // right click in the individual view: back to "Linkage Group", redraw
        ShowTooltip,          // left click on an individual: tooltip = text
        OpenIndividual,       // right click on an individual: CurrentIndividual = individual,
                              // "Ind:" shows it, press "Individual view" and draw it
        SelectTrait,          // "Association": status field 1 = text, select column trait + 1 of
                              // the "-10LOG(p)" table, draw the LD plot of the trait
    };
    Action action = Action::None;
    std::string text;
    int individual = 0; // 1-based, for OpenIndividual and ShowTooltip
    int trait = -1;
};
ClickResult inspectAt(const PointerLayout &layout, int x, int y, PointerButton button, const std::vector<int> &selectedIndices,
                      const std::vector<std::string> &individualNames, const std::vector<std::string> &traits = {});

// ---- Individual stepping -------------------------------------------------------------------

enum class StepDirection { Up, Down, PageUp, PageDown };

// The individual that becomes current (1-based), or nothing when the step leaves it as it is.
// isSelected tells whether individual i (1-based) is ticked.
std::optional<int> stepIndividual(int current, int last, StepDirection direction, const std::function<bool(int)> &isSelected);
// The same over the data set's ticks (LastIndividual as last).
std::optional<int> stepIndividual(const GenotypeData &data, StepDirection direction);
// Enter in the "Ind:" field: the number typed when it is 1 .. last, selected or not.
std::optional<int> enteredIndividual(std::string_view text, int last);

} // namespace rvk
