#pragma once
// The association plot: the result tables of the marker-trait association drawn along the map.
// One band per linkage group, side by side at one cM scale; a top row with the groups as dark
// green bars with marker ticks, and one row per plotted trait with each marker's R² (as a bar
// for significant markers, or as a colour gradient) and the trait's name.
//
// Also the small charts of the association page: the trait and p-value histograms and the
// p-value scatter chart.

#include "render/drawsurface.h"
#include "settings/drawingoptions.h"

#include <functional>
#include <string>
#include <vector>

namespace rvk {

class ViewPicture;

struct AssociationPlotGroup
{
    std::vector<double> positions; // the loci found in the marker data, in map order
    std::vector<std::string> names;
    // The result row (marker index, 0-based) of each locus; empty: the loci's running count
    // over all groups.
    std::vector<int> resultRows = {};
};

struct AssociationPlotInput
{
    enum class Style { Bar = 0, Gradient = 1 }; // "R² bar plot", "R² gradient plot"

    std::vector<AssociationPlotGroup> groups; // AssocPlotGroups
    // The plotted (checked) traits: their names and result-table columns (1-based).
    std::vector<std::string> traitNames;
    std::vector<int> traitColumns;
    int tableColumns = 0; // columns of the R² table (sets the picture's height)
    // The result numbers of trait column t and marker g (the locus's result row): R² and R 0
    // when none, q and p -1 when none.
    std::function<double(int t, int g)> r2, r, q, p;

    Style style = Style::Bar;
    int amplification = 10;  // asso_amp, per cent added to 100
    int colorOffset = 0;     // "color intensity offset (0-255) :"
    bool useFdrThreshold = true;
    double qThreshold = 0.05;
    double pThreshold = 0.01;
    bool crossPollinator = false;

    DrawingOptions drawing; // barwidth, space, markspace, Lenmul, fill style, colour mode, marker font
    int clientWidth = 800;  // of the image area
    double zoom = 1.0;
};

inline constexpr int AssociationPlotLeftMargin = 160;
// The hatch of the group bars in black-and-white drawing and with "use hatch".
inline constexpr BrushSpec::Style AssociationGroupBarHatch = BrushSpec::Style::DiagonalFalling;

// The layout numbers of the plot (for the painter, the pointer and the tests).
struct AssociationPlotLayout
{
    int rowHeight = 15;        // h
    double scale = 1.0;        // a, pixels per cM at zoom 1
    std::vector<int> groupX;   // X_k
    std::vector<int> rowTops;  // y_top of row 0 and of each plotted trait's row
    std::vector<int> rowBottoms;
    int width = 0, height = 0; // the picture's size
};
AssociationPlotLayout associationPlotLayout(const AssociationPlotInput &input);

// Whether marker g of trait column t gets a bar in the "R² bar plot".
bool associationPlotSignificant(const AssociationPlotInput &input, int t, int g);
// The colour of an R² value in the rows and the gradient.
Rgb associationR2Color(double r2);

// The line under the rows of the "R² bar plot": how the bars are scaled and what lengthens them,
// or why none is drawn (no marker passes the threshold, or the results hold no R², as an ANOVA's).
// Empty in the gradient plot and without traits.
std::string associationPlotNote(const AssociationPlotInput &input);
void paintAssociationPlot(DrawSurface &surface, const AssociationPlotInput &input);
ViewPicture recordAssociationPlot(const AssociationPlotInput &input);

// ---- Charts of the association page ---------------------------------------------------------

struct AssociationChartInput
{
    std::string title;
    std::string bottomTitle;
    std::string leftTitle;
    // Bars: one per label. Points: (x, y) pairs with the y range fixed by yMin .. yMax.
    std::vector<std::string> barLabels;
    std::vector<double> barValues;
    std::vector<double> pointX;
    std::vector<double> pointY;
    bool fixedYRange = false;
    double yMin = 0.0, yMax = 1.0;
    // Shown in the middle of the plot area while the chart has neither bars nor points: what
    // the user does to fill it.
    std::string hint;
    int width = 400;
    int height = 260;
};

void paintAssociationChart(DrawSurface &surface, const AssociationChartInput &input);
ViewPicture recordAssociationChart(const AssociationChartInput &input);

} // namespace rvk
