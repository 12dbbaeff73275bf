#pragma once
// What the association plot and the LD plot of a trait draw, taken from the data set, the
// marker-data table and the association results.

#include "render/associationplot.h"
#include "render/ldplot.h"

#include <string>
#include <vector>

namespace rvk {

class AlleleTable;
class AssociationResults;
class GenotypeData;
class MarkerData;
class TraitTable;
class ViewPicture;

// AssocPlotGroups: per linkage group the loci (positions and names) that have a marker-data row,
// each with the result row of that row. A table filled from the genotypes holds every locus:
// locus g (counted over all groups in group order) reads row g. A pasted or incomplete table is
// read by label: "<group>><name>" (name compared without regard to case) for that group's locus,
// a label without a group number for the locus of that name in any group; the last such row.
std::vector<AssociationPlotGroup> associationPlotGroups(const GenotypeData &data, const MarkerData &markers);

// The plot's groups and result accessors; the traits are those of plotted (column t = index + 1
// of each entry whose flag is set). results must outlive the input's use.
AssociationPlotInput associationPlotInput(const GenotypeData &data, const MarkerData &markers, const AssociationResults &results,
                                          const std::vector<std::pair<std::string, bool>> &plotted);

// TraitLdGroups for result column t: every locus of every group with R² and 1 - q from its
// marker-data row (found as for the association plot); a locus in no row has no values (both
// marks at the bar).
TraitLdPlotInput traitLdPlotInput(const GenotypeData &data, const MarkerData &markers, const AssociationResults &results, int trait);

// The whole road of "Calc Assoc." (correlation) and "Plot Assoc." without a window: the marker
// data from the genotypes, the correlation with FDR at fdrLevel, every trait plotted. An empty
// picture and a message in error when the association stops.
ViewPicture drawCorrelationAssociationPlot(const GenotypeData &data, const AlleleTable &alleles, const TraitTable &traits,
                                           AssociationPlotInput options, double fdrLevel, std::string *error);

} // namespace rvk
