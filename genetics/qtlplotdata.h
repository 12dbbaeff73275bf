#pragma once
// The LOD profile picture's input from the results of a QTL mapping run.

#include "render/qtlplot.h"

#include <vector>

namespace rvk {

class QtlAnalysis;

// The picture of the given traits (indices among the analysis's traits; all when empty), each in
// its legend colour, with every group of the run.
QtlPlotInput qtlPlotInput(const QtlAnalysis &analysis, const std::vector<int> &traits = {});

} // namespace rvk
