// rvk-cli predict: genomic prediction (GBLUP) of every trait of a trait file for the selected
// individuals, with seeded k-fold cross-validation of its accuracy.
#include "cli/clicommand.h"
#include "cli/commandoutput.h"
#include "cli/datacommand.h"
#include "genetics/panelreport.h"

#include <algorithm>
#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage = "predict FILE... --traits T.qua [--folds K] [--seed S] [--kinship centred|ibs] --out GEBV.tsv ";

int runPredict(const std::vector<std::string> &args, CommandContext &context)
{
    DataCommand command("predict", usageWithSelection(Usage), context);
    if (!command.parse(args, {"--traits", "--folds", "--seed", "--kinship", "--out"}, {},
                       {{"--traits", "--traits T.qua names the trait file"}, {"--out", "--out GEBV.tsv names the file to write"}}))
        return 2;
    GblupOptions options;
    const CommandArguments &arguments = command.arguments();
    if (!arguments.readInteger("--folds", 0, 100, options.folds) || options.folds == 1)
        return command.usageError("--folds takes 0 (no cross-validation) or a number of folds from 2 to 100");
    if (!arguments.readInteger("--seed", 0, 4294967295LL, options.seed))
        return command.usageError("--seed takes a whole number from 0 to 4294967295");
    if (!arguments.readChoice("--kinship", kinshipMethodNamed, options.kinship))
        return command.usageError("--kinship takes centred or ibs");
    if (!command.open())
        return 1;
    const auto results = runGblup(command.session().data, *command.traits(), options);
    if (!results)
        return 1;
    context.out << gblupSummary(*results, options.seed);
    if (!CommandOutput(context).text(command.value("--out"), results->gebvText()))
        return 1;
    const bool analysed = std::any_of(results->traits.begin(), results->traits.end(), [](const TraitPrediction &t) { return t.analysed; });
    return analysed ? 0 : 1;
}

const CommandRegistration registration({"predict", std::string(Usage) + SelectionUsage,
                                        "genomic prediction (GBLUP) of every trait for the selected individuals, from those with values: "
                                        "writes the breeding values as <trait>_gebv columns and prints the k-fold cross-validated accuracy "
                                        "(default 5 folds, seed 1)",
                                        &runPredict});

} // namespace
} // namespace rvk::cli
