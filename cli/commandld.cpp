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

// What the command line asks for, read and checked before any file is opened.
struct LdRequest
{
    std::vector<std::string> files;
    SelectionOptions selection;
    LdOptions options;
    LdHeatPlotOptions heat;
    bool allLoci = false, groupGiven = false, yes = false;
    long long groupNumber = 1;
    std::string listPath, tablePath, heatPath, chartPath, treePath;
};

// Empty when the arguments are good, else the usage error.
std::string readLdRequest(const std::vector<std::string> &args, LdRequest &request)
{
    std::vector<std::string> rest = args;
    CommandArguments parsed;
    std::string error;
    if (!parseSelectionOptions(rest, request.selection, &error)
        || !parseCommandArguments(rest, {"--group", "--measure", "--list", "--table", "--heat", "--chart", "--block", "--fdr", "--cluster-order"},
                                  {"--all", "--successive", "--bw", "--yes"}, parsed, error))
        return error;
    if (parsed.files.empty())
        return "no data file named";
    request.files = parsed.files;
    request.allLoci = parsed.has("--all");
    request.groupGiven = parsed.has("--group");
    if (request.allLoci && request.groupGiven)
        return "--group and --all exclude each other";
    LdOptions &options = request.options;
    if (parsed.has("--measure")) {
        const auto measure = parseMeasure(parsed.value("--measure"));
        if (!measure)
            return "--measure takes r2, r, logp, dprime or chi";
        options.measure = *measure;
    }
    options.successiveMarkers = parsed.has("--successive");
    if (parsed.has("--block")) {
        const auto block = parseInteger(parsed.value("--block"));
        if (!block || *block < 2 || *block > 100)
            return "--block takes a block size from 2 to 100 pixels";
        request.heat.blockSize = static_cast<int>(*block);
    }
    request.heat.blackAndWhite = parsed.has("--bw");
    if (parsed.has("--fdr")) {
        const auto level = parseDecimal(parsed.value("--fdr"));
        if (!level || *level <= 0.0 || *level >= 1.0)
            return "--fdr takes a level between 0 and 1";
        options.fdrLevel = *level;
    }
    if (request.groupGiven) {
        const auto number = parseInteger(parsed.value("--group"));
        if (!number || *number < 1)
            return "--group takes a group number from 1";
        request.groupNumber = *number;
    }
    request.heatPath = parsed.value("--heat");
    request.chartPath = parsed.value("--chart");
    if (!request.heatPath.empty() && !isPictureExtension(pictureExtension(request.heatPath)))
        return "the heat plot must end in .png, .jpg, .svg, .pdf or .emf";
    if (!request.chartPath.empty() && !isPictureExtension(pictureExtension(request.chartPath)))
        return "the chart must end in .png, .svg, .pdf, .jpg or .emf";
    request.listPath = parsed.value("--list");
    request.tablePath = parsed.value("--table");
    request.treePath = parsed.value("--cluster-order");
    request.yes = parsed.has("--yes");
    return {};
}

// The run the request asks for, or null with the reason written to the error stream.
std::unique_ptr<LdAnalysis> runLdRequest(LdRequest &request, CliSession &session, CommandContext &context)
{
    const GenotypeData &data = session.data;
    const long long loci = request.allLoci ? data.TotalLocusCount() : data.GroupLocusCount(static_cast<int>(request.groupNumber - 1));
    if (const std::string refusal = LdAnalysis::refusal(loci); !refusal.empty()) {
        context.err << refusal << "\n";
        return nullptr;
    }
    if (LdAnalysis::pairCount(loci) > LdAnalysis::AskAbovePairs && !request.yes
        && !session.ui.question(LdAnalysis::longRunQuestion(loci, data.nind))) {
        context.err << "rvk-cli ld: give --yes to run it\n";
        return nullptr;
    }
    if (!request.allLoci)
        return LdAnalysis::runGroup(data, session.settings.alleles, static_cast<int>(request.groupNumber - 1), request.options);
    if (!request.treePath.empty()) {
        std::ifstream in(request.treePath, std::ios::binary);
        if (!in) {
            context.err << "Cannot open " << request.treePath << "\n";
            return nullptr;
        }
        std::stringstream text;
        text << in.rdbuf();
        request.options.clusterOrder = clusterOrderOfNewick(text.str()).labels;
    }
    return LdAnalysis::runAllLoci(data, session.settings.alleles, request.options);
}

// The list, table, heat plot and chart asked for; 1 when any could not be written.
int writeLdFiles(const LdAnalysis &analysis, const LdRequest &request, CommandContext &context)
{
    int status = 0;
    std::string error, written;
    auto failed = [&](const std::string &text) {
        context.err << text << "\n";
        status = 1;
    };
    if (!request.listPath.empty() && !analysis.saveList(request.listPath, error))
        failed(error);
    if (!request.tablePath.empty()) {
        if (analysis.locusCount() > MaxSpreadsheetLoci)
            failed(formatText("The table of %d loci is too large for a spreadsheet file; use --list.", {analysis.locusCount()}));
        else if (!WriteGridAsSpreadsheet(analysis.tableSize(), analysis.tableSize(),
                                         [&](int column, int row) { return analysis.tableCell(column, row); }, request.tablePath, &error))
            failed(error);
    }
    if (!request.heatPath.empty()
        && !saveLdHeatPlot(ldHeatPlotInput(analysis, request.heat), request.heatPath, HeatPlotBitmapFileSide, written, error))
        failed(error);
    if (!request.chartPath.empty() && !savePictureFile(recordLdChart(ldChartInput(analysis)), request.chartPath, "emf", written, error))
        failed(error);
    return status;
}

int runLd(const std::vector<std::string> &args, CommandContext &context)
{
    LdRequest request;
    if (const std::string error = readLdRequest(args, request); !error.empty())
        return usageError(context, error);
    CliSession session(context);
    if (!session.open(request.files, request.selection))
        return 1;
    if (request.groupGiven && request.groupNumber > session.data.GroupCount())
        return usageError(context, formatText("--group takes a group number from 1 to %d", {session.data.GroupCount()}));
    request.options.applySelection = session.data.Selectionyesno;
    request.heat.barWidth = session.settings.drawing.barwidth;
    request.heat.font = session.settings.drawing.qtlFont;
    const std::unique_ptr<LdAnalysis> analysis = runLdRequest(request, session, context);
    if (!analysis)
        return 1;
    analysis->writeLog(context.out);
    return writeLdFiles(*analysis, request, context);
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
