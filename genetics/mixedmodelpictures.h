#pragma once
// The pictures of a mixed-model run: the Manhattan plot and the QQ plot of one trait.

#include "render/manhattanplot.h"
#include "render/qqplot.h"

#include <cstddef>

namespace rvk {

struct MixedModelResults;

// Trait index into results.traits; Bonferroni and FDR lines at the 0.05 level.
ManhattanInput mixedModelManhattan(const MixedModelResults &results, size_t trait);
QqPlotInput mixedModelQq(const MixedModelResults &results, size_t trait);

} // namespace rvk
