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

// The marker-data row (1-based) of every locus of data, by group and then locus; 0 for a locus
// in no row.
//
// A table filled from the genotypes holds every locus in group order, so locus g (counted over
// all groups) is row g + 1, whatever the names: several groups may share marker names (files of
// one chromosome each naming their markers M1, M2, ...). A pasted table, or one that does not
// hold every locus, is read by name instead: a label "<group>><name>" stands for the locus of
// that name in that group, a label without a group number for a locus of that name in any group
// (the labels with a group number come first); of several rows for the same locus the last one
// counts. A label whose text before ">" is no group number counts as one without.
std::vector<std::vector<int>> markerRowsOfLoci(const GenotypeData &data, const MarkerData &markers)
{
    std::vector<std::vector<int>> rows(static_cast<size_t>(data.GroupCount()));
    long long loci = 0;
    for (int g = 0; g < data.GroupCount(); ++g)
        loci += data.GroupLocusCount(g);
    if (!markers.isPasted() && markers.markerCount() == loci) {
        int row = 1;
        for (int g = 0; g < data.GroupCount(); ++g)
            for (int k = 0; k < data.GroupLocusCount(g); ++k)
                rows[static_cast<size_t>(g)].push_back(row++);
        return rows;
    }
    std::unordered_map<std::string, int> byGroupAndName;
    std::unordered_map<std::string, int> byName;
    for (int r = 1; r < markers.rowCount(); ++r) {
        const std::string label = markers.label(r);
        if (const int group = markers.groupNumberOf(r); group > 0)
            byGroupAndName[formatText("%d", {group}) + ">" + labelName(label)] = r;
        else
            byName[labelName(label)] = r;
    }
    for (int g = 0; g < data.GroupCount(); ++g)
        for (const Tlocinfo &locus : data.GroupLoci(g)) {
            const std::string name = toLower(locus.Name);
            int row = 0;
            if (const auto found = byGroupAndName.find(formatText("%d", {g + 1}) + ">" + name); found != byGroupAndName.end())
                row = found->second;
            else if (const auto named = byName.find(name); named != byName.end())
                row = named->second;
            rows[static_cast<size_t>(g)].push_back(row);
        }
    return rows;
}

} // namespace

std::vector<AssociationPlotGroup> associationPlotGroups(const GenotypeData &data, const MarkerData &markers)
{
    const auto rows = markerRowsOfLoci(data, markers);
    std::vector<AssociationPlotGroup> groups;
    for (int g = 0; g < data.GroupCount(); ++g) {
        AssociationPlotGroup group;
        const std::vector<Tlocinfo> &loci = data.GroupLoci(g);
        for (size_t k = 0; k < loci.size(); ++k) {
            const int row = rows[static_cast<size_t>(g)][k];
            if (row == 0)
                continue;
            group.positions.push_back(loci[k].Position);
            group.names.push_back(loci[k].Name);
            group.resultRows.push_back(row - 1);
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
    const auto rows = markerRowsOfLoci(data, markers);
    for (int g = 0; g < data.GroupCount(); ++g) {
        TraitLdGroup group;
        group.name = data.GroupName(g);
        const std::vector<Tlocinfo> &loci = data.GroupLoci(g);
        for (size_t k = 0; k < loci.size(); ++k) {
            TraitLdLocus entry;
            entry.name = loci[k].Name;
            entry.position = loci[k].Position;
            if (const int row = rows[static_cast<size_t>(g)][k]; row > 0) {
                entry.r2 = parseDecimal(results.cell(AssociationResults::Table::R2, trait, row)).value_or(0.0);
                if (const auto q = parseDecimal(results.cell(AssociationResults::Table::Q, trait, row)))
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
