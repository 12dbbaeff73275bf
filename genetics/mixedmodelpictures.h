#pragma once
// The pictures of a mixed-model run: the Manhattan plot and the QQ plot of one trait.

#include "render/manhattanplot.h"
#include "render/qqplot.h"

#include <cstddef>

namespace rvk {

class AssociationResults;
class GenotypeData;
struct MixedModelResults;

// Trait index into results.traits; Bonferroni and FDR lines at the 0.05 level.
ManhattanInput mixedModelManhattan(const MixedModelResults &results, size_t trait);
QqPlotInput mixedModelQq(const MixedModelResults &results, size_t trait);

// The same pictures of the plain correlation test of the association page, for comparison:
// trait column t (1-based) of a correlation run whose marker rows are the loci of data in
// group order. Markers without a correlation are left out.
ManhattanInput correlationManhattan(const GenotypeData &data, const AssociationResults &results, int trait);
QqPlotInput correlationQq(const AssociationResults &results, int trait);

} // namespace rvk
