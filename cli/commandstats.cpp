// rvk-cli stats global|markers: the reports of the statistics windows' "Save.." and "save", or
// their tables as a spreadsheet file.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "cli/commandoutput.h"
#include "core/datafilewriter.h"
#include "settings/generaloptions.h"
#include "stats/globalstatistics.h"
#include "stats/markerstatistics.h"

#include <ostream>

namespace rvk::cli {

namespace {

int runStats(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    CommandArguments parsed;
    std::string error;
    const std::string kind = rest.empty() ? std::string() : rest.front();
    if (kind != "global" && kind != "markers") {
        context.err << "usage: rvk-cli stats global|markers FILE... [--out NAME.xls|NAME.txt] [--selected-only] " << SelectionUsage
                    << "\n";
        return 2;
    }
    rest.erase(rest.begin());
    if (!parseSelectionOptions(rest, selection, &error) || !parseCommandArguments(rest, {"--out"}, {"--selected-only"}, parsed, error)
        || parsed.files.empty()) {
        context.err << "rvk-cli stats: " << (error.empty() ? "no data file named" : error) << "\n";
        return 2;
    }
    // Global statistics describe every individual, whatever is ticked; a selection only counts
    // when the narrower scope is asked for by name.
    const bool selectedOnly = parsed.has("--selected-only");
    const bool selects = !selection.criteria.empty() || !selection.selectList.empty();
    if (kind == "global" && selects && !selectedOnly) {
        context.err << "rvk-cli stats global: global statistics cover every individual; add --selected-only to "
                       "restrict them to the individuals that --criteria or --select-list select\n";
        return 2;
    }
    if (selectedOnly && (kind != "global" || !selects)) {
        context.err << "rvk-cli stats: --selected-only belongs to stats global with --criteria or --select-list\n";
        return 2;
    }
    CliSession session(context);
    if (!session.open(parsed.files, selection))
        return 1;

    std::string report;
    std::vector<std::vector<std::string>> grid;
    if (kind == "global") {
        const GlobalStatistics statistics = computeGlobalStatistics(session.data, session.settings.alleles, GeneralOptions{},
                                                                     selectedOnly ? GlobalStatisticsScope::SelectedIndividuals
                                                                                  : GlobalStatisticsScope::AllIndividuals);
        report = statistics.reportText();
        grid = statistics.spreadsheetGrid();
    } else {
        const MarkerStatistics statistics = computeMarkerStatistics(session.data, session.settings.alleles);
        report = statistics.reportText();
        grid = statistics.spreadsheetGrid();
    }

    const std::string out = parsed.value("--out");
    if (out.empty()) {
        context.out << report;
        return 0;
    }
    CommandOutput output(context);
    return (out.ends_with(".xls") ? output.spreadsheet(out, grid) : output.text(out, report)) ? 0 : 1;
}

const CommandRegistration registration({"stats", "stats global|markers FILE... [--out NAME.xls|NAME.txt] " + std::string(SelectionUsage),
                                        "print the global statistics per individual or the marker statistics, as the "
                                        "windows' \"Save..\" writes them; --out NAME.xls writes the table as a spreadsheet file",
                                        &runStats});

} // namespace
} // namespace rvk::cli
