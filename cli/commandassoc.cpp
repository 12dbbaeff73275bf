// rvk-cli assoc: the marker-trait association of the "Associations" page ("Calc Assoc."): the
// correlation of every marker with every trait with FDR q-values, or the multi-allele ANOVA,
// over the data files and a trait file. The five result tables can be written as tab-separated
// text, the ANOVA report as RTF or plain text, and the association and LD plots as pictures.
#include "cli/clicommand.h"
#include "cli/commandoutput.h"
#include "cli/datacommand.h"
#include "core/textformat.h"
#include "genetics/associationreport.h"
#include "genetics/fdr.h"
#include "io/rtfdocument.h"
#include "render/picturefiles.h"
#include "render/viewpicture.h"

#include <filesystem>
#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage =
    "assoc FILE... --traits T.qua [--anova] [--fdr Q] [--tables DIR] [--report OUT.rtf|OUT.txt] "
    "[--plot OUT.png|.svg|.pdf|.emf] [--plot-style bar|gradient] [--threshold q|p] [--ld-plot TRAIT --out OUT...] ";

// The run's tables, report and pictures, as the options ask for them.
int writeResults(DataCommand &command, const AssociationRun &run, const AssociationPlotInput &plotOptions)
{
    CommandOutput output(command.context());
    if (const std::string folder = command.value("--tables"); !folder.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
        for (const auto &[name, table] : associationTableFiles())
            output.text((std::filesystem::path(folder) / name).string(), associationTableText(run.results, table));
    }
    if (const std::string path = command.value("--report"); !path.empty()) {
        const bool rtf = path.ends_with(".rtf") || path.ends_with(".RTF");
        output.text(path, rtf ? RtfWriter::writePlain(run.report) : run.report);
    }
    const GenotypeData &data = command.session().data;
    if (command.has("--plot"))
        output.picture(associationPlotOfAllTraits(data, run, plotOptions), command.value("--plot"));
    if (const std::string trait = command.value("--ld-plot"); !trait.empty()) {
        if (const auto picture = traitLdPlotNamed(data, run, trait, command.session().settings.drawing))
            output.picture(*picture, command.value("--out"));
        else
            output.fail("rvk-cli assoc: no trait named " + trait);
    }
    return output.status();
}

int runAssoc(const std::vector<std::string> &args, CommandContext &context)
{
    DataCommand command("assoc", usageWithSelection(Usage), context);
    if (!command.parse(args, {"--traits", "--fdr", "--tables", "--report", "--plot", "--plot-style", "--threshold", "--ld-plot", "--out"},
                       {"--anova"}, {{"--traits", "--traits T.qua names the trait file"}}))
        return 2;
    AssociationRequest request;
    request.anova = command.has("--anova");
    request.fdrLevel = DefaultFdrLevel;
    if (!command.arguments().readDecimal("--fdr", [](double level) { return level > 0.0 && level < 1.0; }, request.fdrLevel))
        return command.usageError("--fdr takes a level between 0 and 1");
    if (command.has("--report") && !command.value("--report").empty() && !request.anova)
        return command.usageError("--report writes the ANOVA report; add --anova");
    if (command.has("--ld-plot") != command.has("--out"))
        return command.usageError("--ld-plot TRAIT and --out OUT go together");
    for (const char *option : {"--plot", "--out"})
        if (command.has(option) && !isPictureExtension(pictureExtension(command.value(option))))
            return command.usageError(std::string(option) + " takes a picture ending in .png, .jpg, .svg, .pdf or .emf");
    AssociationPlotInput plotOptions;
    if (const std::string style = command.value("--plot-style"); !style.empty()) {
        if (style != "bar" && style != "gradient")
            return command.usageError("--plot-style takes bar or gradient");
        plotOptions.style = style == "bar" ? AssociationPlotInput::Style::Bar : AssociationPlotInput::Style::Gradient;
    }
    if (const std::string threshold = command.value("--threshold"); !threshold.empty()) {
        if (threshold != "q" && threshold != "p")
            return command.usageError("--threshold takes q (FDR q threshold) or p (p-value threshold)");
        plotOptions.useFdrThreshold = threshold == "q";
    }
    plotOptions.qThreshold = request.fdrLevel;
    if (!command.open())
        return 1;
    CliSession &session = command.session();
    plotOptions.drawing = session.settings.drawing;
    const AssociationRun run = runAssociation(session.data, session.settings.alleles, *command.traits(), request, session.ui);
    if (!run.completed) {
        context.err << run.error << "\n";
        return 1;
    }
    context.out << run.summary;
    return writeResults(command, run, plotOptions);
}

const CommandRegistration registration({"assoc", std::string(Usage) + SelectionUsage,
                                        "marker-trait association (correlation with FDR q-values, or --anova), as \"Calc Assoc.\" "
                                        "computes it; --tables DIR writes logp.tsv, r.tsv, r2.tsv, p.tsv and q.tsv as the page shows them",
                                        &runAssoc});

} // namespace
} // namespace rvk::cli
