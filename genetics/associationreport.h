#pragma once
// The association of the "Associations" page run as one operation: the marker data, the
// correlation with FDR q-values or the multi-allele ANOVA, the summary lines, the result tables
// as tab-separated text and the pictures of the plots.

#include "genetics/association.h"
#include "genetics/markerdata.h"
#include "render/associationplot.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace rvk {

class AlleleTable;
class GenotypeData;
class TraitTable;
class UserInterface;
class ViewPicture;

struct AssociationRequest
{
    bool anova = false;
    double fdrLevel = 0.05; // the level of the FDR per trait
};

struct AssociationRun
{
    bool completed = false;
    std::string error;   // why the run stopped
    std::string summary; // a line on the run and, for the correlation, one per trait
    std::string report;  // the ANOVA report of every trait and marker pair
    // The marker data in value coding, as the tables and plots read them.
    MarkerData markers;
    AssociationResults results;
};

// Runs the association of every trait with every marker of the data set. The ANOVA's messages
// of the distributions go to ui, each distinct one once, with its count.
AssociationRun runAssociation(const GenotypeData &data, const AlleleTable &alleles, const TraitTable &traits, const AssociationRequest &request,
                              UserInterface &ui);

// The file names of the five result tables and the tables they hold.
const std::vector<std::pair<const char *, AssociationResults::Table>> &associationTableFiles();
// A result table as the page shows it, tab-separated, a line a row.
std::string associationTableText(const AssociationResults &results, AssociationResults::Table table);

// The association plot of every trait, drawn with the given style, thresholds and drawing options.
ViewPicture associationPlotOfAllTraits(const GenotypeData &data, const AssociationRun &run, const AssociationPlotInput &options);
// The LD plot of the named trait; nothing when no trait has that name.
std::optional<ViewPicture> traitLdPlotNamed(const GenotypeData &data, const AssociationRun &run, const std::string &trait,
                                            const DrawingOptions &drawing);

} // namespace rvk
