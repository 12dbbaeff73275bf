// rvk-cli qtl: QTL mapping of the data files' population for every trait of a trait file: the
// LOD scan as tab-separated text, the peaks with their intervals and the permutation thresholds,
// the LOD profile picture, and the data set with the significant peaks' support intervals as
// QTL intervals.
#include "cli/clicommand.h"
#include "cli/commandoutput.h"
#include "cli/datacommand.h"
#include "core/textformat.h"
#include "genetics/qtlanalysis.h"
#include "genetics/qtlplotdata.h"
#include "genetics/qtlreport.h"
#include "render/picturefiles.h"
#include "render/viewpicture.h"

#include <chrono>
#include <cmath>
#include <limits>
#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage =
    "qtl FILE... --traits T.qua [--method hk|em|cim] [--step CM] [--map-function haldane|kosambi] [--error-prob P] "
    "[--perm N] [--seed S] [--cofactors N] --scan OUT.tsv [--peaks OUT.tsv] [--plot PICTURE] [--save-qtl NAME] ";

// The options of the mapping; the usage status 2 after a message for a bad one, else 0.
int readQtlOptions(const DataCommand &command, QtlOptions &options)
{
    const CommandArguments &arguments = command.arguments();
    options.applySelection = true; // the selection options' individuals only (everyone without them)
    if (!arguments.readChoice("--method", qtlMethodFromName, options.method))
        return command.usageError("--method takes hk, em or cim");
    if (!arguments.readDecimal("--step", [](double step) { return step >= 0.0 && std::isfinite(step); }, options.step))
        return command.usageError("--step takes a distance in cM from 0 (0: the markers only)");
    if (!arguments.readChoice("--map-function", mapFunctionFromName, options.mapFunction))
        return command.usageError("--map-function takes haldane or kosambi");
    if (!arguments.readDecimal("--error-prob", [](double p) { return p >= 0.0 && p < 1.0; }, options.errorProbability))
        return command.usageError("--error-prob takes a probability from 0 to below 1");
    if (!arguments.readInteger("--perm", 0, 1000000, options.permutations))
        return command.usageError("--perm takes a number of permutations from 0");
    if (!arguments.readInteger("--cofactors", 0, 100, options.cofactors))
        return command.usageError("--cofactors takes a number of marker cofactors from 0");
    if (!arguments.readInteger("--seed", 0, std::numeric_limits<long long>::max(), options.seed))
        return command.usageError("--seed takes a whole number from 0");
    if (!command.has("--seed") && options.permutations > 0) {
        options.seed = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) & 0x7FFFFFFFFFFFFFFFull;
        command.err() << "seed: " << formatText("%d", {static_cast<long long>(options.seed)}) << "\n";
    }
    if (command.has("--plot") && !isPictureExtension(pictureExtension(command.value("--plot"))))
        return command.usageError("--plot takes a picture ending in .png, .jpg, .svg, .pdf or .emf");
    return 0;
}

int runQtl(const std::vector<std::string> &args, CommandContext &context)
{
    DataCommand command("qtl", usageWithSelection(Usage), context);
    if (!command.parse(args,
                       {"--traits", "--method", "--step", "--map-function", "--error-prob", "--perm", "--seed", "--cofactors", "--scan",
                        "--peaks", "--plot", "--save-qtl"},
                       {}, {{"--traits", "--traits T.qua names the trait file"}, {"--scan", "--scan OUT.tsv names the file of the LOD scan"}}))
        return 2;
    QtlOptions options;
    if (const int status = readQtlOptions(command, options))
        return status;
    if (!command.open())
        return 1;
    QtlRunControl control;
    control.ui = &command.session().ui;
    std::string error;
    const auto analysis = QtlAnalysis::run(command.session().data, *command.traits(), options, control, error);
    if (!analysis) {
        context.err << error << "\n";
        return 1;
    }
    for (const std::string &note : analysis->notes())
        context.err << note << "\n";
    context.out << qtlRunSummary(*analysis);

    CommandOutput output(context);
    output.text(command.value("--scan"), analysis->scanText());
    if (command.has("--peaks"))
        output.text(command.value("--peaks"), analysis->peaksText());
    if (command.has("--plot"))
        output.picture(recordQtlPlot(qtlPlotInput(*analysis)), command.value("--plot"));
    if (command.has("--save-qtl")) {
        if (!analysis->hasThresholds())
            context.err << "No permutations, no threshold: no QTL interval was written (use --perm N).\n";
        context.out << qtlIntervalsWrittenText(addQtlIntervals(command.session().data, *analysis, false));
        if (command.session().saveDataFile(command.value("--save-qtl"), context.out) != 0)
            output.markFailed();
    }
    return output.status();
}

const CommandRegistration registration({"qtl", std::string(Usage) + SelectionUsage,
                                        "QTL mapping (Haley-Knott, EM or composite interval mapping) of every trait with "
                                        "permutation thresholds; --scan writes the LOD of every position, --peaks the peaks with "
                                        "their 1.5-LOD and Bayes intervals, --save-qtl the data set with the significant intervals",
                                        &runQtl});

} // namespace
} // namespace rvk::cli
