// rvk-cli mabc: the backcross table (recurrent-parent genome, donor segments, linkage drag around
// a target) as tab-separated text, and its chart.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "core/safefile.h"
#include "genetics/backcrosschartinput.h"
#include "genetics/backcrossstatistics.h"
#include "io/spreadsheetwriter.h"
#include "render/picturefiles.h"
#include "render/viewpicture.h"

#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage =
    "usage: rvk-cli mabc FILE... --recurrent NAME --donor NAME [--target MARKER] --out TABLE.tsv|.xls\n"
    "                            [--chart PICTURE]\n"
    "                            [--criteria MARKER=CODE[,MARKER=!CODE...]] [--select-list FILE.rvl]\n"
    "                            [--sort all|marker:NAME|group:N|alias|allele:CODE|none]\n";

int usageError(CommandContext &context, const std::string &error)
{
    context.err << "rvk-cli mabc: " << error << "\n" << Usage;
    return 2;
}

int runMabc(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    CommandArguments parsed;
    std::string error;
    if (!parseSelectionOptions(rest, selection, &error)
        || !parseCommandArguments(rest, {"--recurrent", "--donor", "--target", "--out", "--chart"}, {}, parsed, error))
        return usageError(context, error);
    if (parsed.files.empty())
        return usageError(context, "no data file named");
    for (const char *required : {"--recurrent", "--donor", "--out"})
        if (parsed.value(required).empty())
            return usageError(context, std::string(required) + " is needed");
    const std::string chartPath = parsed.value("--chart");
    if (!chartPath.empty() && !isPictureExtension(pictureExtension(chartPath)))
        return usageError(context, "the chart must end in .png, .jpg, .svg, .pdf or .emf");

    CliSession session(context);
    if (!session.open(parsed.files, selection))
        return 1;
    const GenotypeData &data = session.data;
    BackcrossRequest request;
    request.selectedOnly = data.Selectionyesno;
    const std::string recurrent = parsed.value("--recurrent"), donor = parsed.value("--donor");
    request.recurrent = findIndividualByName(data, recurrent);
    if (request.recurrent < 0) {
        context.err << backcrossParentMissingMessage("recurrent parent", recurrent) << "\n";
        return 2;
    }
    request.donor = findIndividualByName(data, donor);
    if (request.donor < 0) {
        context.err << backcrossParentMissingMessage("donor", donor) << "\n";
        return 2;
    }
    if (const std::string target = parsed.value("--target"); !target.empty()) {
        request.target = findMarkerByName(data, target);
        if (!request.target) {
            context.err << markerMissingMessage(target) << "\n";
            return 2;
        }
    }
    const auto table = computeBackcrossStatistics(data, request, error);
    if (!table) {
        context.err << error << "\n";
        return request.recurrent == request.donor ? 2 : 1;
    }

    int status = 0;
    const std::string out = parsed.value("--out");
    const bool spreadsheet = pictureExtension(out) == "xls";
    if (spreadsheet) {
        const auto grid = table->spreadsheetGrid();
        if (!WriteGridAsSpreadsheet(table->columnCount(), static_cast<int>(grid.size()),
                                    [&](int column, int row) { return grid[static_cast<size_t>(row)][static_cast<size_t>(column)]; },
                                    out, &error)) {
            context.err << error << "\n";
            status = 1;
        }
    } else if (!writeFileReplacing(out, table->tabText(), &error)) {
        context.err << error << "\n";
        status = 1;
    }
    if (!chartPath.empty()) {
        std::string written;
        if (!savePictureFile(recordBackcrossChart(backcrossChartInput(*table)), chartPath, "png", written, error)) {
            context.err << error << "\n";
            status = 1;
        }
    }
    return status;
}

const CommandRegistration registration({"mabc",
                                        "mabc FILE... --recurrent NAME --donor NAME [--target MARKER] --out TABLE.tsv "
                                        "[--chart PICTURE] " + std::string(SelectionUsage),
                                        "marker-assisted backcrossing: per individual the recurrent parent's share of the "
                                        "genome by markers and by cM (in total and per group), the donor segments and, "
                                        "with a target marker, the carriers and the linkage drag on each side; a table "
                                        "ending in .xls is written as a spreadsheet file",
                                        &runMabc});

} // namespace
} // namespace rvk::cli
