// rvk-cli ld: the LD page's analyses, "only this group>" or "Calc LD for all loci", with the
// log on standard output and the list, table, heat plot and chart as files.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "core/textformat.h"
#include "genetics/clusterorder.h"
#include "genetics/ldanalysis.h"
#include "genetics/ldpictures.h"
#include "io/spreadsheetwriter.h"
#include "render/picturefiles.h"
#include "render/viewpicture.h"

#include <fstream>
#include <ostream>
#include <sstream>

namespace rvk::cli {

namespace {

constexpr const char *Usage =
    "usage: rvk-cli ld FILE... [--group N | --all] [--measure r2|r|logp|dprime|chi] [--successive]\n"
    "                          [--list OUT.txt] [--table OUT.xls] [--heat OUT.png|.jpg|.svg|.pdf|.emf]\n"
    "                          [--chart OUT.png|.svg] [--block PIXELS] [--bw] [--fdr LEVEL] [--yes]\n"
    "                          [--cluster-order TREE.nwk]\n"
    "                          [--criteria MARKER=CODE[,MARKER=!CODE...]] [--select-list FILE.rvl]\n"
    "                          [--sort all|marker:NAME|group:N|alias|allele:CODE|none]\n";

// Largest table a spreadsheet file is written for: every cell is held in memory first.
constexpr int MaxSpreadsheetLoci = 4095;

std::optional<LdMeasure> parseMeasure(const std::string &text)
{
    if (text == "r2")
        return LdMeasure::R2;
    if (text == "r")
        return LdMeasure::R;
    if (text == "logp")
        return LdMeasure::MinusLogP;
    if (text == "dprime")
        return LdMeasure::DPrime;
    if (text == "chi")
        return LdMeasure::ChiSquarePrime;
    return std::nullopt;
}

int usageError(CommandContext &context, const std::string &error)
{
    context.err << "rvk-cli ld: " << error << "\n" << Usage;
    return 2;
}

int runLd(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    CommandArguments parsed;
    std::string error;
    if (!parseSelectionOptions(rest, selection, &error)
        || !parseCommandArguments(rest, {"--group", "--measure", "--list", "--table", "--heat", "--chart", "--block", "--fdr", "--cluster-order"},
                                  {"--all", "--successive", "--bw", "--yes"}, parsed, error))
        return usageError(context, error);
    if (parsed.files.empty())
        return usageError(context, "no data file named");
    if (parsed.has("--all") && parsed.has("--group"))
        return usageError(context, "--group and --all exclude each other");
    LdOptions options;
    if (parsed.has("--measure")) {
        const auto measure = parseMeasure(parsed.value("--measure"));
        if (!measure)
            return usageError(context, "--measure takes r2, r, logp, dprime or chi");
        options.measure = *measure;
    }
    options.successiveMarkers = parsed.has("--successive");
    LdHeatPlotOptions heat;
    if (parsed.has("--block")) {
        const auto block = parseInteger(parsed.value("--block"));
        if (!block || *block < 2 || *block > 100)
            return usageError(context, "--block takes a block size from 2 to 100 pixels");
        heat.blockSize = static_cast<int>(*block);
    }
    heat.blackAndWhite = parsed.has("--bw");
    if (parsed.has("--fdr")) {
        const auto level = parseDecimal(parsed.value("--fdr"));
        if (!level || *level <= 0.0 || *level >= 1.0)
            return usageError(context, "--fdr takes a level between 0 and 1");
        options.fdrLevel = *level;
    }
    long long groupNumber = 1;
    if (parsed.has("--group")) {
        const auto number = parseInteger(parsed.value("--group"));
        if (!number || *number < 1)
            return usageError(context, "--group takes a group number from 1");
        groupNumber = *number;
    }
    const std::string heatPath = parsed.value("--heat"), chartPath = parsed.value("--chart");
    if (!heatPath.empty() && !isPictureExtension(pictureExtension(heatPath)))
        return usageError(context, "the heat plot must end in .png, .jpg, .svg, .pdf or .emf");
    if (!chartPath.empty() && !isPictureExtension(pictureExtension(chartPath)))
        return usageError(context, "the chart must end in .png, .svg, .pdf, .jpg or .emf");

    CliSession session(context);
    if (!session.open(parsed.files, selection))
        return 1;
    const GenotypeData &data = session.data;
    if (parsed.has("--group") && groupNumber > data.GroupCount())
        return usageError(context, formatText("--group takes a group number from 1 to %d", {data.GroupCount()}));
    options.applySelection = data.Selectionyesno;
    heat.barWidth = session.settings.drawing.barwidth;
    heat.font = session.settings.drawing.qtlFont;

    std::unique_ptr<LdAnalysis> analysis;
    if (parsed.has("--all")) {
        const long long loci = data.TotalLocusCount();
        if (const std::string refusal = LdAnalysis::refusal(loci); !refusal.empty()) {
            context.err << refusal << "\n";
            return 1;
        }
        if (LdAnalysis::pairCount(loci) > LdAnalysis::AskAbovePairs && !parsed.has("--yes")
            && !session.ui.question(LdAnalysis::longRunQuestion(loci, data.nind))) {
            context.err << "rvk-cli ld: give --yes to run it\n";
            return 1;
        }
        if (const std::string tree = parsed.value("--cluster-order"); !tree.empty()) {
            std::ifstream in(tree, std::ios::binary);
            if (!in) {
                context.err << "Cannot open " << tree << "\n";
                return 1;
            }
            std::stringstream text;
            text << in.rdbuf();
            options.clusterOrder = clusterOrderOfNewick(text.str()).labels;
        }
        analysis = LdAnalysis::runAllLoci(data, session.settings.alleles, options);
    } else {
        const long long loci = data.GroupLocusCount(static_cast<int>(groupNumber - 1));
        if (const std::string refusal = LdAnalysis::refusal(loci); !refusal.empty()) {
            context.err << refusal << "\n";
            return 1;
        }
        if (LdAnalysis::pairCount(loci) > LdAnalysis::AskAbovePairs && !parsed.has("--yes")
            && !session.ui.question(LdAnalysis::longRunQuestion(loci, data.nind))) {
            context.err << "rvk-cli ld: give --yes to run it\n";
            return 1;
        }
        analysis = LdAnalysis::runGroup(data, session.settings.alleles, static_cast<int>(groupNumber - 1), options);
    }

    analysis->writeLog(context.out);

    int status = 0;
    auto failed = [&](const std::string &text) {
        context.err << text << "\n";
        status = 1;
    };
    if (const std::string path = parsed.value("--list"); !path.empty())
        if (!analysis->saveList(path, error))
            failed(error);
    if (const std::string path = parsed.value("--table"); !path.empty()) {
        if (analysis->locusCount() > MaxSpreadsheetLoci)
            failed(formatText("The table of %d loci is too large for a spreadsheet file; use --list.", {analysis->locusCount()}));
        else if (!WriteGridAsSpreadsheet(analysis->tableSize(), analysis->tableSize(),
                                         [&](int column, int row) { return analysis->tableCell(column, row); }, path, &error))
            failed(error);
    }
    std::string written;
    if (!heatPath.empty())
        if (!saveLdHeatPlot(ldHeatPlotInput(*analysis, heat), heatPath, HeatPlotBitmapFileSide, written, error))
            failed(error);
    if (!chartPath.empty())
        if (!savePictureFile(recordLdChart(ldChartInput(*analysis)), chartPath, "emf", written, error))
            failed(error);
    return status;
}

const CommandRegistration registration({"ld",
                                        "ld FILE... [--group N | --all] [--measure r2|r|logp|dprime|chi] [--successive] "
                                        "[--list OUT.txt] [--table OUT.xls] [--heat PICTURE] [--chart PICTURE] [--block PIXELS] "
                                        "[--bw] [--fdr LEVEL] [--yes] [--cluster-order TREE.nwk] " + std::string(SelectionUsage),
                                        "linkage disequilibrium of the loci of one group (default group 1) or of all loci: "
                                        "prints the LD page's log; writes the pairwise list, the diallel table, the heat plot "
                                        "and the chart (a run of more than 50 million pairs needs --yes); --cluster-order takes the loci of --all in the leaf order of a Newick tree",
                                        &runLd});

} // namespace
} // namespace rvk::cli
