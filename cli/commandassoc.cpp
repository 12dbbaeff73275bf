// rvk-cli assoc: the marker-trait association of the "Associations" page ("Calc Assoc."): the
// correlation of every marker with every trait with FDR q-values, or the multi-allele ANOVA,
// over the data files and a trait file. The five result tables can be written as tab-separated
// text, the ANOVA report as RTF or plain text, and the association and LD plots as pictures.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "core/safefile.h"
#include "core/textformat.h"
#include "genetics/association.h"
#include "genetics/associationplotdata.h"
#include "genetics/fdr.h"
#include "genetics/markerdata.h"
#include "genetics/traittable.h"
#include "io/rtfdocument.h"
#include "io/traitfile.h"
#include "render/picturefiles.h"
#include "render/viewpicture.h"
#include "stats/messagetally.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage =
    "assoc FILE... --traits T.qua [--anova] [--fdr Q] [--tables DIR] [--report OUT.rtf|OUT.txt] "
    "[--plot OUT.png|.svg|.pdf|.emf] [--plot-style bar|gradient] [--threshold q|p] [--ld-plot TRAIT --out OUT...] ";

int usageError(CommandContext &context, const std::string &text)
{
    context.err << "rvk-cli assoc: " << text << "\nusage: rvk-cli " << Usage << SelectionUsage << "\n";
    return 2;
}

bool endsWith(const std::string &text, const std::string &tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string tableText(const AssociationResults &results, AssociationResults::Table table)
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

int runAssoc(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    CommandArguments parsed;
    std::string error;
    if (!parseSelectionOptions(rest, selection, &error)
        || !parseCommandArguments(rest, {"--traits", "--fdr", "--tables", "--report", "--plot", "--plot-style", "--threshold", "--ld-plot", "--out"},
                                  {"--anova"}, parsed, error))
        return usageError(context, error);
    if (parsed.files.empty())
        return usageError(context, "no data file named");
    if (!parsed.has("--traits"))
        return usageError(context, "--traits T.qua names the trait file");
    double fdrLevel = DefaultFdrLevel;
    if (parsed.has("--fdr")) {
        const auto level = parseDecimal(parsed.value("--fdr"));
        if (!level || *level <= 0.0 || *level >= 1.0)
            return usageError(context, "--fdr takes a level between 0 and 1");
        fdrLevel = *level;
    }
    const bool anova = parsed.has("--anova");
    const std::string reportPath = parsed.value("--report");
    if (!reportPath.empty() && !anova)
        return usageError(context, "--report writes the ANOVA report; add --anova");
    if (parsed.has("--ld-plot") != parsed.has("--out"))
        return usageError(context, "--ld-plot TRAIT and --out OUT go together");
    for (const char *option : {"--plot", "--out"})
        if (parsed.has(option) && !isPictureExtension(pictureExtension(parsed.value(option))))
            return usageError(context, std::string(option) + " takes a picture ending in .png, .jpg, .svg, .pdf or .emf");
    AssociationPlotInput plotOptions;
    if (const std::string style = parsed.value("--plot-style"); !style.empty()) {
        if (style != "bar" && style != "gradient")
            return usageError(context, "--plot-style takes bar or gradient");
        plotOptions.style = style == "bar" ? AssociationPlotInput::Style::Bar : AssociationPlotInput::Style::Gradient;
    }
    if (const std::string threshold = parsed.value("--threshold"); !threshold.empty()) {
        if (threshold != "q" && threshold != "p")
            return usageError(context, "--threshold takes q (FDR q threshold) or p (p-value threshold)");
        plotOptions.useFdrThreshold = threshold == "q";
    }
    plotOptions.qThreshold = fdrLevel;

    const std::optional<TraitTable> read = CliSession::readTraitTable(parsed.value("--traits"), context);
    if (!read)
        return 1;
    const TraitTable &traits = *read;

    CliSession session(context);
    if (!session.open(parsed.files, selection))
        return 1;

    MarkerData markers;
    AssociationResults results;
    std::string report;
    if (anova) {
        markers.fillFromGenotypes(session.data, session.settings.alleles, MarkerData::Coding::CodeNumber);
        const TraitTable sync = buildSyncTable(traits, markers.individualNames());
        MessageTally tally(session.ui); // each distinct message of the distributions once, counted
        const AnovaOutcome outcome = runAnovaAssociation(markers, sync, results, report, {}, &tally);
        tally.flush();
        if (!outcome.completed) {
            context.err << outcome.error << "\n";
            return 1;
        }
        context.out << formatText("ANOVA of %d traits x %d markers: %d pairs tested, %d without a test\n",
                                  {results.traitCount(), results.markerCount(), outcome.pairs - outcome.untested, outcome.untested});
        // Back to the values the tables and plots show.
        markers.fillFromGenotypes(session.data, session.settings.alleles);
    } else {
        markers.fillFromGenotypes(session.data, session.settings.alleles);
        const CorrelationOutcome outcome = runCorrelationAssociation(markers, traits, fdrLevel, results);
        if (!outcome.completed) {
            context.err << outcome.error << "\n";
            return 1;
        }
        const IndividualMatch match = matchIndividuals(markers, traits);
        context.out << formatText("correlation of %d traits x %d markers over %d shared individuals, FDR level %g\n",
                                  {results.traitCount(), results.markerCount(), static_cast<int>(match.markerColumns.size()), fdrLevel});
        for (int t = 1; t <= results.traitCount(); ++t) {
            int passing = 0;
            for (int m = 0; m < results.markerCount(); ++m)
                if (results.exactP(t, m) <= results.pThreshold(t) && results.pThreshold(t) > 0.0)
                    ++passing;
            context.out << results.traitNames()[static_cast<size_t>(t - 1)] << "\tp threshold "
                        << results.cell(AssociationResults::Table::P, t, 1) << "\t-10log " << results.cell(AssociationResults::Table::LogP, t, 1)
                        << "\t" << passing << " markers pass\n";
        }
    }

    int status = 0;
    const auto failed = [&](const std::string &text) {
        context.err << text << "\n";
        status = 1;
    };
    if (const std::string folder = parsed.value("--tables"); !folder.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
        const std::pair<const char *, AssociationResults::Table> tables[] = {
            {"logp.tsv", AssociationResults::Table::LogP}, {"r.tsv", AssociationResults::Table::R},
            {"r2.tsv", AssociationResults::Table::R2},     {"p.tsv", AssociationResults::Table::P},
            {"q.tsv", AssociationResults::Table::Q}};
        for (const auto &[name, table] : tables) {
            const std::string path = (std::filesystem::path(folder) / name).string();
            if (writeFileReplacing(path, tableText(results, table), &error))
                context.out << path << "\n";
            else
                failed(error);
        }
    }
    if (!reportPath.empty()) {
        const std::string bytes = endsWith(reportPath, ".rtf") || endsWith(reportPath, ".RTF") ? RtfWriter::writePlain(report) : report;
        if (writeFileReplacing(reportPath, bytes, &error))
            context.out << reportPath << "\n";
        else
            failed(error);
    }
    if (const std::string path = parsed.value("--plot"); !path.empty()) {
        std::vector<std::pair<std::string, bool>> plotted;
        for (const std::string &name : results.traitNames())
            plotted.emplace_back(name, true);
        AssociationPlotInput input = associationPlotInput(session.data, markers, results, plotted);
        input.style = plotOptions.style;
        input.useFdrThreshold = plotOptions.useFdrThreshold;
        input.qThreshold = plotOptions.qThreshold;
        input.drawing = session.settings.drawing;
        std::string written;
        if (savePictureFile(recordAssociationPlot(input), path, pictureExtension(path), written, error))
            context.out << written << "\n";
        else
            failed(error);
    }
    if (const std::string trait = parsed.value("--ld-plot"); !trait.empty()) {
        const auto &names = results.traitNames();
        const auto found = std::find(names.begin(), names.end(), trait);
        if (found == names.end()) {
            failed("rvk-cli assoc: no trait named " + trait);
        } else {
            TraitLdPlotInput input = traitLdPlotInput(session.data, markers, results, static_cast<int>(found - names.begin()) + 1);
            input.drawing = session.settings.drawing;
            std::string written;
            const std::string path = parsed.value("--out");
            if (savePictureFile(recordTraitLdPlot(input), path, pictureExtension(path), written, error))
                context.out << written << "\n";
            else
                failed(error);
        }
    }
    return status;
}

const CommandRegistration registration({"assoc", std::string(Usage) + SelectionUsage,
                                        "marker-trait association (correlation with FDR q-values, or --anova), as \"Calc Assoc.\" "
                                        "computes it; --tables DIR writes logp.tsv, r.tsv, r2.tsv, p.tsv and q.tsv as the page shows them",
                                        &runAssoc});

} // namespace
} // namespace rvk::cli
