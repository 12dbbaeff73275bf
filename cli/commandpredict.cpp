// rvk-cli predict: genomic prediction (GBLUP) of every trait of a trait file for the selected
// individuals, with seeded k-fold cross-validation of its accuracy.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "core/safefile.h"
#include "core/textformat.h"
#include "genetics/gblup.h"

#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage = "predict FILE... --traits T.qua [--folds K] [--seed S] [--kinship centred|ibs] --out GEBV.tsv ";

int usageError(CommandContext &context, const std::string &text)
{
    context.err << "rvk-cli predict: " << text << "\nusage: rvk-cli " << Usage << SelectionUsage << "\n";
    return 2;
}

int runPredict(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    CommandArguments parsed;
    std::string error;
    if (!parseSelectionOptions(rest, selection, &error)
        || !parseCommandArguments(rest, {"--traits", "--folds", "--seed", "--kinship", "--out"}, {}, parsed, error))
        return usageError(context, error);
    if (parsed.files.empty())
        return usageError(context, "no data file named");
    if (!parsed.has("--traits"))
        return usageError(context, "--traits T.qua names the trait file");
    if (!parsed.has("--out"))
        return usageError(context, "--out GEBV.tsv names the file to write");
    GblupOptions options;
    if (parsed.has("--folds")) {
        const auto folds = parseInteger(parsed.value("--folds"));
        if (!folds || *folds < 0 || *folds == 1 || *folds > 100)
            return usageError(context, "--folds takes 0 (no cross-validation) or a number of folds from 2 to 100");
        options.folds = static_cast<int>(*folds);
    }
    if (parsed.has("--seed")) {
        const auto seed = parseInteger(parsed.value("--seed"));
        if (!seed || *seed < 0 || *seed > 4294967295LL)
            return usageError(context, "--seed takes a whole number from 0 to 4294967295");
        options.seed = static_cast<unsigned>(*seed);
    }
    if (parsed.has("--kinship")) {
        const auto method = kinshipMethodNamed(parsed.value("--kinship"));
        if (!method)
            return usageError(context, "--kinship takes centred or ibs");
        options.kinship = *method;
    }
    const std::optional<TraitTable> traits = CliSession::readTraitTable(parsed.value("--traits"), context);
    if (!traits)
        return 1;
    CliSession session(context);
    if (!session.open(parsed.files, selection))
        return 1;
    const auto results = runGblup(session.data, *traits, options);
    if (!results)
        return 1;
    for (const std::string &note : results->notes)
        context.out << note << "\n";
    int analysed = 0;
    for (const TraitPrediction &trait : results->traits) {
        if (!trait.analysed) {
            context.out << trait.message << "\n";
            continue;
        }
        ++analysed;
        context.out << formatText("%s: %d individuals with values, lambda %g", {trait.trait, trait.trainingCount, trait.fit.lambda});
        if (!trait.foldAccuracy.empty())
            context.out << formatText(", accuracy %.4f over %d folds (seed %d)", {trait.accuracy, static_cast<int>(trait.foldAccuracy.size()),
                                                                                 static_cast<long long>(options.seed)});
        context.out << "\n";
    }
    if (!writeFileReplacing(parsed.value("--out"), results->gebvText(), &error)) {
        context.err << error << "\n";
        return 1;
    }
    context.out << parsed.value("--out") << "\n";
    return analysed > 0 ? 0 : 1;
}

const CommandRegistration registration({"predict", std::string(Usage) + SelectionUsage,
                                        "genomic prediction (GBLUP) of every trait for the selected individuals, from those with values: "
                                        "writes the breeding values as <trait>_gebv columns and prints the k-fold cross-validated accuracy "
                                        "(default 5 folds, seed 1)",
                                        &runPredict});

} // namespace
} // namespace rvk::cli
