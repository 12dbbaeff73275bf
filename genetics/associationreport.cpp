#include "genetics/associationreport.h"

#include "core/textformat.h"
#include "genetics/associationplotdata.h"
#include "genetics/traittable.h"
#include "render/viewpicture.h"
#include "stats/messagetally.h"

#include <algorithm>

namespace rvk {

namespace {

std::string correlationSummary(const AssociationResults &results, int sharedIndividuals, double fdrLevel)
{
    std::string text = formatText("correlation of %d traits x %d markers over %d shared individuals, FDR level %g\n",
                                  {results.traitCount(), results.markerCount(), sharedIndividuals, fdrLevel});
    for (int t = 1; t <= results.traitCount(); ++t) {
        int passing = 0;
        for (int m = 0; m < results.markerCount(); ++m)
            if (results.exactP(t, m) <= results.pThreshold(t) && results.pThreshold(t) > 0.0)
                ++passing;
        text += results.traitNames()[static_cast<size_t>(t - 1)] + "\tp threshold " + results.cell(AssociationResults::Table::P, t, 1) +
                "\t-10log " + results.cell(AssociationResults::Table::LogP, t, 1) + "\t" + std::to_string(passing) + " markers pass\n";
    }
    return text;
}

} // namespace

AssociationRun runAssociation(const GenotypeData &data, const AlleleTable &alleles, const TraitTable &traits, const AssociationRequest &request,
                              UserInterface &ui)
{
    AssociationRun run;
    if (request.anova) {
        run.markers.fillFromGenotypes(data, alleles, MarkerData::Coding::CodeNumber);
        const TraitTable sync = buildSyncTable(traits, run.markers.individualNames());
        MessageTally tally(ui);
        const AnovaOutcome outcome = runAnovaAssociation(run.markers, sync, run.results, run.report, {}, &tally);
        tally.flush();
        if (!outcome.completed) {
            run.error = outcome.error;
            return run;
        }
        run.summary = formatText("ANOVA of %d traits x %d markers: %d pairs tested, %d without a test\n",
                                 {run.results.traitCount(), run.results.markerCount(), outcome.pairs - outcome.untested, outcome.untested});
        // Back to the values the tables and plots show.
        run.markers.fillFromGenotypes(data, alleles);
    } else {
        run.markers.fillFromGenotypes(data, alleles);
        const CorrelationOutcome outcome = runCorrelationAssociation(run.markers, traits, request.fdrLevel, run.results);
        if (!outcome.completed) {
            run.error = outcome.error;
            return run;
        }
        const int shared = static_cast<int>(matchIndividuals(run.markers, traits).markerColumns.size());
        run.summary = correlationSummary(run.results, shared, request.fdrLevel);
    }
    run.completed = true;
    return run;
}

const std::vector<std::pair<const char *, AssociationResults::Table>> &associationTableFiles()
{
    static const std::vector<std::pair<const char *, AssociationResults::Table>> files = {
        {"logp.tsv", AssociationResults::Table::LogP}, {"r.tsv", AssociationResults::Table::R},
        {"r2.tsv", AssociationResults::Table::R2},     {"p.tsv", AssociationResults::Table::P},
        {"q.tsv", AssociationResults::Table::Q}};
    return files;
}

std::string associationTableText(const AssociationResults &results, AssociationResults::Table table)
{
    std::string text;
    for (int r = 0; r < results.rowCount(table); ++r) {
        for (int c = 0; c < results.columnCount(table); ++c) {
            if (c > 0)
                text += '\t';
            text += results.cell(table, c, r);
        }
        text += '\n';
    }
    return text;
}

ViewPicture associationPlotOfAllTraits(const GenotypeData &data, const AssociationRun &run, const AssociationPlotInput &options)
{
    std::vector<std::pair<std::string, bool>> plotted;
    for (const std::string &name : run.results.traitNames())
        plotted.emplace_back(name, true);
    AssociationPlotInput input = associationPlotInput(data, run.markers, run.results, plotted);
    input.style = options.style;
    input.useFdrThreshold = options.useFdrThreshold;
    input.qThreshold = options.qThreshold;
    input.drawing = options.drawing;
    return recordAssociationPlot(input);
}

std::optional<ViewPicture> traitLdPlotNamed(const GenotypeData &data, const AssociationRun &run, const std::string &trait,
                                            const DrawingOptions &drawing)
{
    const auto &names = run.results.traitNames();
    const auto found = std::find(names.begin(), names.end(), trait);
    if (found == names.end())
        return std::nullopt;
    TraitLdPlotInput input = traitLdPlotInput(data, run.markers, run.results, static_cast<int>(found - names.begin()) + 1);
    input.drawing = drawing;
    return recordTraitLdPlot(input);
}

} // namespace rvk
