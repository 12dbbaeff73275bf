// rvk-cli mlm: the mixed-model association of every trait of a trait file with every marker
// (GEMMA's exact test, or P3D), the results as a tab-separated table and the Manhattan and QQ
// plots as pictures.
#include "cli/clicommand.h"
#include "cli/commandoutput.h"
#include "cli/datacommand.h"
#include "genetics/associationreport.h"
#include "genetics/fdr.h"
#include "genetics/panelreport.h"
#include "render/picturefiles.h"

#include <algorithm>
#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage = "mlm FILE... --traits T.qua [--pcs K] [--p3d] [--kinship centred|ibs] --out RESULTS.tsv "
                              "[--manhattan PICTURE] [--qq PICTURE] [--compare] ";

int runMlm(const std::vector<std::string> &args, CommandContext &context)
{
    DataCommand command("mlm", usageWithSelection(Usage), context);
    if (!command.parse(args, {"--traits", "--pcs", "--kinship", "--out", "--manhattan", "--qq"}, {"--p3d", "--compare"},
                       {{"--traits", "--traits T.qua names the trait file"}, {"--out", "--out RESULTS.tsv names the results file"}}))
        return 2;
    MixedModelOptions options;
    options.p3d = command.has("--p3d");
    if (!command.arguments().readInteger("--pcs", 0, 12, options.pcs))
        return command.usageError("--pcs takes a number of principal components from 0 to 12");
    if (!command.arguments().readChoice("--kinship", kinshipMethodNamed, options.kinship))
        return command.usageError("--kinship takes centred or ibs");
    for (const char *option : {"--manhattan", "--qq"})
        if (command.has(option) && !isPictureExtension(pictureExtension(command.value(option))))
            return command.usageError(std::string(option) + " takes a picture ending in .png, .jpg, .svg, .pdf or .emf");
    if (!command.open())
        return 1;
    const GenotypeData &data = command.session().data;
    const auto results = runMixedModel(data, *command.traits(), options);
    if (!results)
        return 1;
    context.out << mixedModelSummary(*results);
    CommandOutput output(context);
    if (std::none_of(results->traits.begin(), results->traits.end(), [](const TraitModelResult &t) { return t.analysed; }))
        output.markFailed();
    output.text(command.value("--out"), results->resultsText());
    // For comparison, the plain correlation test of the association page on the same traits.
    std::optional<AssociationRun> correlation;
    if (command.has("--compare") && (command.has("--manhattan") || command.has("--qq"))) {
        AssociationRequest request;
        request.fdrLevel = DefaultFdrLevel;
        correlation = runAssociation(data, command.session().settings.alleles, *command.traits(), request, command.session().ui);
        if (!correlation->completed)
            output.fail(correlation->error);
    }
    for (const PictureFile &file : mixedModelPictureFiles(data, *results, correlation ? &correlation->results : nullptr,
                                                          command.value("--manhattan"), command.value("--qq")))
        output.picture(file.picture, file.path);
    return output.status();
}

const CommandRegistration registration({"mlm", std::string(Usage) + SelectionUsage,
                                        "mixed-model association of every trait with every marker (GEMMA's exact Wald test with REML per "
                                        "marker, or --p3d), the intercept and --pcs principal components as covariates; writes trait, "
                                        "group, locus, position, beta, se, p, lambda per trait and marker; with several traits the pictures "
                                        "get the trait's name; --compare also draws them for the plain correlation test of assoc (the file names get _correlation)",
                                        &runMlm});

} // namespace
} // namespace rvk::cli
