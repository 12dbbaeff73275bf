#pragma once
// The backcross page's chart: one bar per individual, its share of the recurrent parent's genome
// by map length (rpg_cm, 0 to 100 %), the carriers of the target allele in their own colour.

#include "render/drawsurface.h"

#include <optional>
#include <string>
#include <vector>

namespace rvk {

class ViewPicture;

struct BackcrossChartInput
{
    struct Bar
    {
        std::string name;
        std::optional<double> value; // percent; no bar without a value
        bool carrier = false;
    };
    std::vector<Bar> bars;
    std::string title = "recurrent-parent genome (cM)";
    std::string leftTitle = "rpg_cm (%)";
    // The legend's captions; without a target every bar is drawn as a carrier and there is no legend.
    bool hasTarget = false;
    std::string carrierCaption;    // "carrier of <marker>"
    std::string nonCarrierCaption; // "not a carrier"
    int width = 800;
    int height = 420;
};

// Where 0 % (bottom) and 100 % (top) stand, and the bars' columns.
struct BackcrossChartLayout
{
    int left = 0, top = 0, right = 0, bottom = 0;
    // Left and right x (exclusive) of bar i.
    int barLeft(int i, int count) const;
    int barRight(int i, int count) const;
    // The y of a share in percent.
    int y(double percent) const;
};
BackcrossChartLayout backcrossChartLayout(const BackcrossChartInput &input);

void paintBackcrossChart(DrawSurface &surface, const BackcrossChartInput &input);
ViewPicture recordBackcrossChart(const BackcrossChartInput &input);

inline constexpr Rgb BackcrossChartCarrierColor = rgb(0, 150, 0);
inline constexpr Rgb BackcrossChartOtherColor = rgb(170, 170, 170);

} // namespace rvk
