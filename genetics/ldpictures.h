#pragma once
// The pictures of an LD run: the heat plot of an all-loci run and the chart of the measure
// against map distance, as the page shows them and the command line saves them.

#include "render/ldchart.h"
#include "render/ldheatplot.h"

#include <optional>
#include <string>

namespace rvk {

class LdAnalysis;
enum class LdMeasure;

LdPlotMeasure ldPlotMeasure(LdMeasure measure);

struct LdHeatPlotOptions
{
    int blockSize = 5;          // "Block size", 2..100
    bool blackAndWhite = false; // "B&&W"
    int barWidth = 8;           // the display setting
    FontDescription font;       // the QTL-label font
};

// The heat plot input over the run's pairs (the analysis must outlive it).
LdHeatPlotInput ldHeatPlotInput(const LdAnalysis &analysis, const LdHeatPlotOptions &options);

// The chart input over the run's pairs (the analysis must outlive it).
LdChartInput ldChartInput(const LdAnalysis &analysis);

// The colour of a diallel-table cell (columns >= 1, rows >= 2) that shows a number v: v > 0 red
// (255, 255-a, 255-a) with a one-pixel frame, a = round(v * 180), or round(v / 10 * 255) for
// -log10 p; v <= 0 blue (255-a, 255-a, 255) without frame, a = -round(v * 180) for R², R and D',
// -round(v / 10 * 255) otherwise; a at most 255. Nothing for a text that is not a number.
struct LdTableCellFill
{
    Rgb color = 0;
    bool framed = false;
};
std::optional<LdTableCellFill> ldTableCellFill(LdMeasure measure, const std::string &text);

// Largest side of a bitmap of the whole heat plot: a saved PNG or JPEG, and a whole-plot bitmap
// of screen size. The screen itself and the vector files show the plot at its own size.
inline constexpr int HeatPlotScreenSide = 4096;
inline constexpr int HeatPlotBitmapFileSide = 8192;

} // namespace rvk
