// rvk-cli qtl: QTL mapping of the data files' population for every trait of a trait file: the
// LOD scan as tab-separated text, the peaks with their intervals and the permutation thresholds,
// the LOD profile picture, and the data set with the significant peaks' support intervals as
// QTL intervals.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "core/safefile.h"
#include "core/textformat.h"
#include "genetics/qtlanalysis.h"
#include "genetics/qtlplotdata.h"
#include "render/picturefiles.h"
#include "render/viewpicture.h"

#include <chrono>
#include <cmath>
#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage =
    "qtl FILE... --traits T.qua [--method hk|em|cim] [--step CM] [--map-function haldane|kosambi] [--error-prob P] "
    "[--perm N] [--seed S] [--cofactors N] --scan OUT.tsv [--peaks OUT.tsv] [--plot PICTURE] [--save-qtl NAME] ";

int usageError(CommandContext &context, const std::string &text)
{
    context.err << "rvk-cli qtl: " << text << "\nusage: rvk-cli " << Usage << SelectionUsage << "\n";
    return 2;
}

int runQtl(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    CommandArguments parsed;
    std::string error;
    if (!parseSelectionOptions(rest, selection, &error)
        || !parseCommandArguments(rest,
                                  {"--traits", "--method", "--step", "--map-function", "--error-prob", "--perm", "--seed", "--cofactors",
                                   "--scan", "--peaks", "--plot", "--save-qtl"},
                                  {}, parsed, error))
        return usageError(context, error);
    if (parsed.files.empty())
        return usageError(context, "no data file named");
    if (!parsed.has("--traits"))
        return usageError(context, "--traits T.qua names the trait file");
    if (!parsed.has("--scan"))
        return usageError(context, "--scan OUT.tsv names the file of the LOD scan");

    QtlOptions options;
    options.applySelection = true; // the selection options' individuals only (everyone without them)
    if (parsed.has("--method")) {
        const auto method = qtlMethodFromName(parsed.value("--method"));
        if (!method)
            return usageError(context, "--method takes hk, em or cim");
        options.method = *method;
    }
    if (parsed.has("--step")) {
        const auto step = parseDecimal(parsed.value("--step"));
        if (!step || *step < 0.0 || !std::isfinite(*step))
            return usageError(context, "--step takes a distance in cM from 0 (0: the markers only)");
        options.step = *step;
    }
    if (parsed.has("--map-function")) {
        const auto function = mapFunctionFromName(parsed.value("--map-function"));
        if (!function)
            return usageError(context, "--map-function takes haldane or kosambi");
        options.mapFunction = *function;
    }
    if (parsed.has("--error-prob")) {
        const auto p = parseDecimal(parsed.value("--error-prob"));
        if (!p || *p < 0.0 || *p >= 1.0)
            return usageError(context, "--error-prob takes a probability from 0 to below 1");
        options.errorProbability = *p;
    }
    if (parsed.has("--perm")) {
        const auto n = parseInteger(parsed.value("--perm"));
        if (!n || *n < 0 || *n > 1000000)
            return usageError(context, "--perm takes a number of permutations from 0");
        options.permutations = static_cast<int>(*n);
    }
    if (parsed.has("--cofactors")) {
        const auto n = parseInteger(parsed.value("--cofactors"));
        if (!n || *n < 0 || *n > 100)
            return usageError(context, "--cofactors takes a number of marker cofactors from 0");
        options.cofactors = static_cast<int>(*n);
    }
    if (parsed.has("--seed")) {
        const auto seed = parseInteger(parsed.value("--seed"));
        if (!seed || *seed < 0)
            return usageError(context, "--seed takes a whole number from 0");
        options.seed = static_cast<std::uint64_t>(*seed);
    } else if (options.permutations > 0) {
        options.seed = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) & 0x7FFFFFFFFFFFFFFFull;
        context.err << "seed: " << formatText("%d", {static_cast<long long>(options.seed)}) << "\n";
    }
    if (parsed.has("--plot") && !isPictureExtension(pictureExtension(parsed.value("--plot"))))
        return usageError(context, "--plot takes a picture ending in .png, .jpg, .svg, .pdf or .emf");

    const std::optional<TraitTable> traits = CliSession::readTraitTable(parsed.value("--traits"), context);
    if (!traits)
        return 1;
    CliSession session(context);
    if (!session.open(parsed.files, selection))
        return 1;

    QtlRunControl control;
    control.ui = &session.ui;
    const auto analysis = QtlAnalysis::run(session.data, *traits, options, control, error);
    if (!analysis) {
        context.err << error << "\n";
        return 1;
    }
    for (const std::string &note : analysis->notes())
        context.err << note << "\n";
    context.out << formatText("QTL mapping (%s, step %g cM, %s, error probability %g) of %d traits over %d groups, %d positions",
                              {qtlMethodName(options.method), options.step, mapFunctionName(options.mapFunction), options.errorProbability,
                               analysis->traitCount(), static_cast<int>(analysis->groups().size()), analysis->rowCount()})
                << "\n";
    for (int t = 0; t < analysis->traitCount(); ++t) {
        context.out << analysis->traitNames()[static_cast<size_t>(t)] << formatText("\t%d individuals", {analysis->individualCount(t)});
        if (analysis->hasThresholds())
            context.out << formatText("\tthresholds 5%% %.4f 10%% %.4f from %d permutations",
                                      {analysis->threshold(t, 0.05), analysis->threshold(t, 0.10), options.permutations});
        context.out << "\n";
    }
    for (const QtlPeak &peak : analysis->peaks())
        if (peak.significant) {
            const auto cells = analysis->peakCells(peak);
            context.out << "QTL\t" << cells[0] << "\tgroup " << cells[1] << "\t" << cells[2] << " cM\t" << cells[3] << "\tLOD " << cells[4]
                        << "\tinterval " << cells[5] << "-" << cells[6] << "\n";
        }

    int status = 0;
    const auto write = [&](const std::string &path, const std::string &text) {
        if (writeFileReplacing(path, text, &error)) {
            context.out << path << "\n";
        } else {
            context.err << error << "\n";
            status = 1;
        }
    };
    write(parsed.value("--scan"), analysis->scanText());
    if (parsed.has("--peaks"))
        write(parsed.value("--peaks"), analysis->peaksText());
    if (parsed.has("--plot")) {
        const std::string path = parsed.value("--plot");
        std::string written;
        if (savePictureFile(recordQtlPlot(qtlPlotInput(*analysis)), path, pictureExtension(path), written, error)) {
            context.out << written << "\n";
        } else {
            context.err << error << "\n";
            status = 1;
        }
    }
    if (parsed.has("--save-qtl")) {
        if (!analysis->hasThresholds())
            context.err << "No permutations, no threshold: no QTL interval was written (use --perm N).\n";
        const QtlIntervalWrite result = addQtlIntervals(session.data, *analysis, false);
        context.out << formatText("%d QTL intervals written", {result.written});
        if (result.kept > 0)
            context.out << formatText(", %d markers kept the interval they had", {result.kept});
        context.out << "\n";
        if (session.saveDataFile(parsed.value("--save-qtl"), context.out) != 0)
            status = 1;
    }
    return status;
}

const CommandRegistration registration({"qtl", std::string(Usage) + SelectionUsage,
                                        "QTL mapping (Haley-Knott, EM or composite interval mapping) of every trait with "
                                        "permutation thresholds; --scan writes the LOD of every position, --peaks the peaks with "
                                        "their 1.5-LOD and Bayes intervals, --save-qtl the data set with the significant intervals",
                                        &runQtl});

} // namespace
} // namespace rvk::cli
