// rvk-cli mabc: the backcross table (recurrent-parent genome, donor segments, linkage drag around
// a target) as tab-separated text, and its chart.
#include "cli/clicommand.h"
#include "cli/commandoutput.h"
#include "cli/datacommand.h"
#include "genetics/backcrosschartinput.h"
#include "genetics/backcrossrequest.h"
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

int runMabc(const std::vector<std::string> &args, CommandContext &context)
{
    DataCommand command("mabc", Usage, context);
    if (!command.parse(args, {"--recurrent", "--donor", "--target", "--out", "--chart"}, {}))
        return 2;
    for (const char *required : {"--recurrent", "--donor", "--out"})
        if (command.value(required).empty())
            return command.usageError(std::string(required) + " is needed");
    const std::string chartPath = command.value("--chart");
    if (!chartPath.empty() && !isPictureExtension(pictureExtension(chartPath)))
        return command.usageError("the chart must end in .png, .jpg, .svg, .pdf or .emf");
    if (!command.open())
        return 1;
    const GenotypeData &data = command.session().data;
    BackcrossRequest request;
    const std::string missing = backcrossRequestNamed(data, command.value("--recurrent"), command.value("--donor"), command.value("--target"), request);
    if (!missing.empty()) {
        context.err << missing << "\n";
        return 2;
    }
    std::string error;
    const auto table = computeBackcrossStatistics(data, request, error);
    if (!table) {
        context.err << error << "\n";
        return request.recurrent == request.donor ? 2 : 1;
    }
    CommandOutput output(context, false);
    const std::string out = command.value("--out");
    if (pictureExtension(out) == "xls")
        output.spreadsheet(out, table->spreadsheetGrid(), table->columnCount());
    else
        output.text(out, table->tabText());
    if (!chartPath.empty())
        output.picture(recordBackcrossChart(backcrossChartInput(*table)), chartPath, "png");
    return output.status();
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
