#include "genetics/associationplotdata.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "core/textlines.h"
#include "genetics/association.h"
#include "genetics/markerdata.h"
#include "genetics/traittable.h"
#include "render/viewpicture.h"

#include <unordered_map>

namespace rvk {

namespace {

// The marker name of a label: the text after ">", or the whole text without one; lower case.
std::string labelName(const std::string &label)
{
    const size_t mark = label.find('>');
    return toLower(mark == std::string::npos ? label : label.substr(mark + 1));
}

// The last marker-data row (1-based) of every name.
std::unordered_map<std::string, int> rowsByName(const MarkerData &markers)
{
    std::unordered_map<std::string, int> rows;
    for (int r = 1; r < markers.rowCount(); ++r)
        rows[labelName(markers.label(r))] = r;
    return rows;
}

} // namespace

std::vector<AssociationPlotGroup> associationPlotGroups(const GenotypeData &data, const MarkerData &markers)
{
    const auto rows = rowsByName(markers);
    std::vector<AssociationPlotGroup> groups;
    for (int g = 0; g < data.GroupCount(); ++g) {
        AssociationPlotGroup group;
        for (const Tlocinfo &locus : data.GroupLoci(g)) {
            const auto found = rows.find(toLower(locus.Name));
            if (found == rows.end())
                continue;
            group.positions.push_back(locus.Position);
            group.names.push_back(locus.Name);
            // Read by name: a marker table pasted in another order or without some loci still
            // gives each locus its own results.
            group.resultRows.push_back(found->second - 1);
        }
        groups.push_back(std::move(group));
    }
    return groups;
}

AssociationPlotInput associationPlotInput(const GenotypeData &data, const MarkerData &markers, const AssociationResults &results,
                                          const std::vector<std::pair<std::string, bool>> &plotted)
{
    AssociationPlotInput input;
    input.groups = associationPlotGroups(data, markers);
    for (size_t i = 0; i < plotted.size(); ++i)
        if (plotted[i].second) {
            input.traitNames.push_back(plotted[i].first);
            input.traitColumns.push_back(static_cast<int>(i) + 1);
        }
    input.tableColumns = results.columnCount(AssociationResults::Table::R2);
    input.crossPollinator = data.IsCrossPollinator();
    const AssociationResults *source = &results;
    input.r2 = [source](int t, int g) { return source->r2(t, g); };
    input.r = [source](int t, int g) { return source->r(t, g); };
    input.q = [source](int t, int g) { return source->q(t, g); };
    input.p = [source](int t, int g) { return source->p(t, g); };
    return input;
}

TraitLdPlotInput traitLdPlotInput(const GenotypeData &data, const MarkerData &markers, const AssociationResults &results, int trait)
{
    TraitLdPlotInput input;
    // The name from the first table that has it (pasted results fill only some of them).
    for (const auto table : {AssociationResults::Table::LogP, AssociationResults::Table::P, AssociationResults::Table::R2,
                             AssociationResults::Table::R})
        if (input.traitName.empty())
            input.traitName = results.cell(table, trait, 0);
    const auto rows = rowsByName(markers);
    for (int g = 0; g < data.GroupCount(); ++g) {
        TraitLdGroup group;
        group.name = data.GroupName(g);
        for (const Tlocinfo &locus : data.GroupLoci(g)) {
            TraitLdLocus entry;
            entry.name = locus.Name;
            entry.position = locus.Position;
            if (const auto found = rows.find(toLower(locus.Name)); found != rows.end()) {
                entry.r2 = parseDecimal(results.cell(AssociationResults::Table::R2, trait, found->second)).value_or(0.0);
                if (const auto q = parseDecimal(results.cell(AssociationResults::Table::Q, trait, found->second)))
                    entry.oneMinusQ = 1.0 - *q;
            }
            group.loci.push_back(std::move(entry));
        }
        input.groups.push_back(std::move(group));
    }
    return input;
}

ViewPicture drawCorrelationAssociationPlot(const GenotypeData &data, const AlleleTable &alleles, const TraitTable &traits,
                                           AssociationPlotInput options, double fdrLevel, std::string *error)
{
    MarkerData markers;
    markers.fillFromGenotypes(data, alleles);
    AssociationResults results;
    const CorrelationOutcome outcome = runCorrelationAssociation(markers, traits, fdrLevel, results);
    if (!outcome.completed) {
        if (error)
            *error = outcome.error;
        return {};
    }
    std::vector<std::pair<std::string, bool>> plotted;
    for (const std::string &name : results.traitNames())
        plotted.emplace_back(name, true);
    AssociationPlotInput input = associationPlotInput(data, markers, results, plotted);
    input.style = options.style;
    input.amplification = options.amplification;
    input.colorOffset = options.colorOffset;
    input.useFdrThreshold = options.useFdrThreshold;
    input.qThreshold = options.qThreshold;
    input.pThreshold = options.pThreshold;
    input.drawing = options.drawing;
    input.clientWidth = options.clientWidth;
    input.zoom = options.zoom;
    return recordAssociationPlot(input);
}

} // namespace rvk
