#include "core/genotypedata.h"
#include "render/pointerinspection.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>

namespace rvk {
namespace {

const std::vector<std::string> Names{"I1", "I2", "I3", "I4", "I5"};
const std::vector<int> AllSelected{0, 1, 2, 3, 4};

TEST(ZoomMenu, TagsCaptionsAndStatusText)
{
    const auto &entries = zoomMenuEntries();
    const char *captions[] = {"10%", "20%", "50%", "100%", "200%", "500%", "1000%", "2000%"};
    const int tags[] = {1, 2, 5, 10, 20, 50, 100, 200};
    // Exactly these eight entries in this order.
    ASSERT_EQ(entries.size(), std::size(captions));
    for (size_t i = 0; i < std::size(captions); ++i) {
        ASSERT_NE(entries[i].caption, nullptr) << i;
        EXPECT_STREQ(entries[i].caption, captions[i]);
        EXPECT_EQ(entries[i].tag, tags[i]);
        // The status text repeats the caption.
        EXPECT_EQ(zoomStatusText(zoomFactorForTag(entries[i].tag)), std::string("Zoom: ") + captions[i]);
    }
    EXPECT_EQ(zoomStatusText(0.5), "Zoom: 50%");
    EXPECT_TRUE(pointerInspectionActive(1.0));
    for (double zoom : {0.1, 0.2, 0.5, 2.0, 5.0})
        EXPECT_FALSE(pointerInspectionActive(zoom)) << zoom;
}

TEST(PointerHitTest, SlotsOfEachView)
{
    const struct
    {
        ViewKind view;
        int x, y;
        int slot;
    } cases[] = {
        {ViewKind::LinkageGroup, 130, 0, 2},  // (130 - 100) div 14
        {ViewKind::LinkageGroup, 100, 0, 0},
        {ViewKind::LinkageGroup, 90, 0, 0},   // up to one slot before the first still counts
        {ViewKind::LinkageGroup, 86, 0, -1},
        {ViewKind::AllInOne, 0, 21, 0},       // (21 - 13) div 14
        {ViewKind::AllInOne, 0, 35, 1},
        {ViewKind::Association, 0, 13 + 20, 0}, // (y - 13) div 20 - 1
        {ViewKind::Association, 0, 13 + 40, 1},
        {ViewKind::Individual, 500, 500, 0},
    };
    for (const auto &c : cases) {
        PointerLayout layout;
        layout.view = c.view;
        EXPECT_EQ(slotAt(layout, c.x, c.y), c.slot) << static_cast<int>(c.view) << " " << c.x << "," << c.y;
    }
}

TEST(PointerHitTest, HoverNamesTheSelectedIndividualOfTheSlot)
{
    PointerLayout layout; // ms 100, bw 8, sp 6, 100 %
    HoverResult hover = hoverAt(layout, 130, 10, AllSelected, Names);
    EXPECT_TRUE(hover.tooltipEnabled);
    EXPECT_EQ(hover.individual, 2);
    EXPECT_EQ(hover.statusText, "[3] I3");
    EXPECT_EQ(hover.tooltip, "Right-Click for detailed view");

    // Unselected individuals take no slot: the third slot is the fourth individual.
    hover = hoverAt(layout, 130, 10, {0, 1, 3}, Names);
    EXPECT_EQ(hover.statusText, "[3] I4");

    // Past the last slot, and at any zoom but 100 %, nothing is named.
    EXPECT_TRUE(hoverAt(layout, 100 + 14 * 5, 10, AllSelected, Names).statusText.empty());
    layout.zoom = 2.0;
    hover = hoverAt(layout, 130, 10, AllSelected, Names);
    EXPECT_TRUE(hover.statusText.empty());
    EXPECT_EQ(hover.individual, -1);

    layout = PointerLayout{};
    layout.view = ViewKind::Individual;
    EXPECT_FALSE(hoverAt(layout, 130, 10, AllSelected, Names).tooltipEnabled);
    layout.view = ViewKind::Association;
    hover = hoverAt(layout, 0, 13 + 40, AllSelected, Names, {"t0", "t1", "t2"});
    EXPECT_FALSE(hover.tooltipEnabled);
    EXPECT_EQ(hover.statusText, "[2] t1");
    // The first trait is named as any other.
    EXPECT_EQ(hoverAt(layout, 0, 13 + 20, AllSelected, Names, {"t0", "t1"}).statusText, "[1] t0");
}

TEST(PointerHitTest, ClicksOpenTheIndividualOrReturnToTheGroup)
{
    PointerLayout layout;
    ClickResult click = inspectAt(layout, 130, 10, PointerButton::Right, AllSelected, Names);
    EXPECT_EQ(click.action, ClickResult::Action::OpenIndividual);
    EXPECT_EQ(click.individual, 3);
    click = inspectAt(layout, 130, 10, PointerButton::Left, AllSelected, Names);
    EXPECT_EQ(click.action, ClickResult::Action::ShowTooltip);
    EXPECT_EQ(click.text, "[3] I3");

    layout.view = ViewKind::Individual;
    EXPECT_EQ(inspectAt(layout, 5, 5, PointerButton::Right, AllSelected, Names).action, ClickResult::Action::SwitchToLinkageGroup);
    layout.zoom = 5.0; // the way back works at any zoom
    EXPECT_EQ(inspectAt(layout, 5, 5, PointerButton::Right, AllSelected, Names).action, ClickResult::Action::SwitchToLinkageGroup);

    layout = PointerLayout{};
    layout.zoom = 0.5;
    EXPECT_EQ(inspectAt(layout, 130, 10, PointerButton::Right, AllSelected, Names).action, ClickResult::Action::None);

    layout = PointerLayout{};
    layout.view = ViewKind::Association;
    click = inspectAt(layout, 0, 13 + 40, PointerButton::Left, AllSelected, Names, {"t0", "t1"});
    EXPECT_EQ(click.action, ClickResult::Action::SelectTrait);
    EXPECT_EQ(click.trait, 1);
    EXPECT_EQ(click.text, "[2] t1");
}

TEST(PointerHitTest, AssociationRowsGiveTheirOwnTrait)
{
    // Three trait rows 16 pixels high, 12 apart: 49-65, 77-93, 105-121. Each row owns the
    // pixels up to halfway into the gaps beside it (6 pixels).
    PointerLayout layout;
    layout.view = ViewKind::Association;
    layout.traitRowTops = {49, 77, 105};
    layout.traitRowBottoms = {65, 93, 121};
    const std::vector<std::string> traits{"t0", "t1", "t2"};
    struct Case
    {
        int y;
        int trait; // -1: none
    };
    for (const Case c : std::vector<Case>{{20, -1}, {42, -1}, {43, 0}, {49, 0}, {57, 0}, {70, 0}, {71, 1}, {85, 1},
                                          {99, 2}, {121, 2}, {126, 2}, {127, -1}}) {
        const ClickResult click = inspectAt(layout, 300, c.y, PointerButton::Left, AllSelected, Names, traits);
        EXPECT_EQ(click.trait, c.trait) << "y " << c.y;
        EXPECT_EQ(click.action, c.trait < 0 ? ClickResult::Action::None : ClickResult::Action::SelectTrait) << "y " << c.y;
        if (c.trait >= 0) {
            EXPECT_EQ(click.text, "[" + std::to_string(c.trait + 1) + "] " + traits[static_cast<size_t>(c.trait)]);
            EXPECT_EQ(hoverAt(layout, 300, c.y, AllSelected, Names, traits).trait, c.trait);
        }
    }
    // A single row reaches one space beyond its edges.
    layout.traitRowTops = {49};
    layout.traitRowBottoms = {65};
    EXPECT_EQ(inspectAt(layout, 300, 43, PointerButton::Left, AllSelected, Names, {"only"}).trait, 0);
    EXPECT_EQ(inspectAt(layout, 300, 71, PointerButton::Left, AllSelected, Names, {"only"}).trait, -1);
}

// Individuals 1..last; the set lists the unticked ones.
std::optional<int> step(int current, int last, StepDirection direction, std::set<int> unticked = {})
{
    return stepIndividual(current, last, direction, [&](int i) { return i >= 1 && i <= last && !unticked.count(i); });
}

TEST(IndividualStepping, StepsSkipUnselectedAndStopAtTheEnds)
{
    EXPECT_EQ(step(3, 20, StepDirection::Up), 4);
    EXPECT_EQ(step(3, 20, StepDirection::Up, {4, 5}), 6);
    EXPECT_EQ(step(20, 20, StepDirection::Up), std::nullopt);
    // From the last selected individual with every later one unselected nothing changes.
    EXPECT_EQ(step(17, 20, StepDirection::Up, {18, 19, 20}), std::nullopt);
    EXPECT_EQ(step(0, 20, StepDirection::Up), std::nullopt);

    EXPECT_EQ(step(5, 20, StepDirection::Down), 4);
    EXPECT_EQ(step(5, 20, StepDirection::Down, {3, 4}), 2);
    EXPECT_EQ(step(1, 20, StepDirection::Down), std::nullopt);
    EXPECT_EQ(step(4, 20, StepDirection::Down, {1, 2, 3}), std::nullopt);

    EXPECT_EQ(step(15, 20, StepDirection::PageDown), 5);
    EXPECT_EQ(step(11, 20, StepDirection::PageDown), std::nullopt);
    EXPECT_EQ(step(15, 30, StepDirection::PageUp), 25);
    EXPECT_EQ(step(15, 30, StepDirection::PageUp, {25}), 26);
    EXPECT_EQ(step(20, 30, StepDirection::PageUp), std::nullopt);
}

TEST(IndividualStepping, EnterTakesAnyNumberInRange)
{
    EXPECT_EQ(enteredIndividual("20", 20), 20);
    EXPECT_EQ(enteredIndividual(" 7 ", 20), 7);
    EXPECT_EQ(enteredIndividual("21", 20), std::nullopt);
    EXPECT_EQ(enteredIndividual("0", 20), std::nullopt);
    EXPECT_EQ(enteredIndividual("x", 20), std::nullopt);
}

TEST(IndividualStepping, DataSetTicksDecide)
{
    GenotypeData data;
    for (int i = 0; i < 5; ++i)
        data.IndividualNames.push_back("I" + std::to_string(i + 1));
    data.nind = 5;
    data.TickAll();
    data.Ticked[3] = 0;
    data.LastIndividual = 5;
    data.CurrentIndividual = 3;
    EXPECT_EQ(stepIndividual(data, StepDirection::Up), 5);
}

} // namespace
} // namespace rvk
