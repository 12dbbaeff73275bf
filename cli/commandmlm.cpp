// rvk-cli mlm: the mixed-model association of every trait of a trait file with every marker
// (GEMMA's exact test, or P3D), the results as a tab-separated table and the Manhattan and QQ
// plots as pictures.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "core/safefile.h"
#include "core/textformat.h"
#include "genetics/association.h"
#include "genetics/fdr.h"
#include "genetics/kinship.h"
#include "genetics/markerdata.h"
#include "genetics/mixedmodel.h"
#include "genetics/mixedmodelpictures.h"
#include "render/picturefiles.h"
#include "render/viewpicture.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage = "mlm FILE... --traits T.qua [--pcs K] [--p3d] [--kinship centred|ibs] --out RESULTS.tsv "
                              "[--manhattan PICTURE] [--qq PICTURE] [--compare] ";

int usageError(CommandContext &context, const std::string &text)
{
    context.err << "rvk-cli mlm: " << text << "\nusage: rvk-cli " << Usage << SelectionUsage << "\n";
    return 2;
}

// The picture file of one trait: the name itself for a single trait, else the trait's name
// added before the extension.
std::string picturePathOf(const std::string &path, const std::string &trait, bool several)
{
    if (!several)
        return path;
    const std::filesystem::path p(path);
    return (p.parent_path() / (p.stem().string() + "_" + trait + p.extension().string())).string();
}

int runMlm(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    CommandArguments parsed;
    std::string error;
    if (!parseSelectionOptions(rest, selection, &error)
        || !parseCommandArguments(rest, {"--traits", "--pcs", "--kinship", "--out", "--manhattan", "--qq"}, {"--p3d", "--compare"}, parsed, error))
        return usageError(context, error);
    if (parsed.files.empty())
        return usageError(context, "no data file named");
    if (!parsed.has("--traits"))
        return usageError(context, "--traits T.qua names the trait file");
    if (!parsed.has("--out"))
        return usageError(context, "--out RESULTS.tsv names the results file");
    MixedModelOptions options;
    options.p3d = parsed.has("--p3d");
    if (parsed.has("--pcs")) {
        const auto pcs = parseInteger(parsed.value("--pcs"));
        if (!pcs || *pcs < 0 || *pcs > 12)
            return usageError(context, "--pcs takes a number of principal components from 0 to 12");
        options.pcs = static_cast<int>(*pcs);
    }
    if (parsed.has("--kinship")) {
        const auto method = kinshipMethodNamed(parsed.value("--kinship"));
        if (!method)
            return usageError(context, "--kinship takes centred or ibs");
        options.kinship = *method;
    }
    for (const char *option : {"--manhattan", "--qq"})
        if (parsed.has(option) && !isPictureExtension(pictureExtension(parsed.value(option))))
            return usageError(context, std::string(option) + " takes a picture ending in .png, .jpg, .svg, .pdf or .emf");

    const std::optional<TraitTable> traits = CliSession::readTraitTable(parsed.value("--traits"), context);
    if (!traits)
        return 1;
    CliSession session(context);
    if (!session.open(parsed.files, selection))
        return 1;
    const auto results = runMixedModel(session.data, *traits, options);
    if (!results)
        return 1;
    int analysed = 0;
    for (const TraitModelResult &trait : results->traits) {
        if (!trait.analysed) {
            context.out << trait.message << "\n";
            continue;
        }
        ++analysed;
        context.out << formatText("%s: %d individuals, %d covariates, null-model lambda %g (vg %g, ve %g), %d markers tested\n",
                                  {trait.trait, static_cast<int>(trait.individuals.size()), trait.covariateCount, trait.null.lambda, trait.null.vg,
                                   trait.null.ve, static_cast<int>(trait.tests.size())});
    }
    for (const std::string &note : results->notes)
        context.out << note << "\n";
    int status = analysed > 0 ? 0 : 1;
    if (writeFileReplacing(parsed.value("--out"), results->resultsText(), &error))
        context.out << parsed.value("--out") << "\n";
    else {
        context.err << error << "\n";
        status = 1;
    }
    // For comparison, the plain correlation test of the association page on the same traits.
    AssociationResults correlation;
    MarkerData markers;
    const bool compare = parsed.has("--compare") && (parsed.has("--manhattan") || parsed.has("--qq"));
    if (compare) {
        markers.fillFromGenotypes(session.data, session.settings.alleles);
        const CorrelationOutcome outcome = runCorrelationAssociation(markers, *traits, DefaultFdrLevel, correlation);
        if (!outcome.completed) {
            context.err << outcome.error << "\n";
            status = 1;
        }
    }
    const bool several = analysed > 1;
    for (size_t t = 0; t < results->traits.size(); ++t) {
        const TraitModelResult &trait = results->traits[t];
        if (!trait.analysed)
            continue;
        std::string written;
        if (parsed.has("--manhattan")) {
            const std::string path = picturePathOf(parsed.value("--manhattan"), trait.trait, several);
            if (savePictureFile(recordManhattanPlot(mixedModelManhattan(*results, t)), path, pictureExtension(path), written, error))
                context.out << written << "\n";
            else {
                context.err << error << "\n";
                status = 1;
            }
        }
        if (parsed.has("--qq")) {
            const std::string path = picturePathOf(parsed.value("--qq"), trait.trait, several);
            if (savePictureFile(recordQqPlot(mixedModelQq(*results, t)), path, pictureExtension(path), written, error))
                context.out << written << "\n";
            else {
                context.err << error << "\n";
                status = 1;
            }
        }
        const auto names = correlation.traitNames();
        const auto found = std::find(names.begin(), names.end(), trait.trait);
        if (!compare || found == names.end())
            continue;
        const int column = static_cast<int>(found - names.begin()) + 1;
        const std::pair<const char *, ViewPicture> pictures[] = {
            {"--manhattan", parsed.has("--manhattan") ? recordManhattanPlot(correlationManhattan(session.data, correlation, column)) : ViewPicture()},
            {"--qq", parsed.has("--qq") ? recordQqPlot(correlationQq(correlation, column)) : ViewPicture()}};
        for (const auto &[option, picture] : pictures) {
            if (!parsed.has(option))
                continue;
            const std::string path = picturePathOf(parsed.value(option), trait.trait + "_correlation", true);
            if (savePictureFile(picture, path, pictureExtension(path), written, error))
                context.out << written << "\n";
            else {
                context.err << error << "\n";
                status = 1;
            }
        }
    }
    return status;
}

const CommandRegistration registration({"mlm", std::string(Usage) + SelectionUsage,
                                        "mixed-model association of every trait with every marker (GEMMA's exact Wald test with REML per "
                                        "marker, or --p3d), the intercept and --pcs principal components as covariates; writes trait, "
                                        "group, locus, position, beta, se, p, lambda per trait and marker; with several traits the pictures "
                                        "get the trait's name; --compare also draws them for the plain correlation test of assoc (the file names get _correlation)",
                                        &runMlm});

} // namespace
} // namespace rvk::cli
