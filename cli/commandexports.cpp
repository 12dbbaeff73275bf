// The commands that write the opened data in the program's own and other programs' formats:
// save, export-loc, export-mega and export-mapchart. Each does what the window's command does
// with the file name given instead of chosen in a dialog.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "core/datafilewriter.h"
#include "core/textformat.h"
#include "io/locusfileexport.h"
#include "io/mapchartexport.h"
#include "io/megaexport.h"

#include <ctime>
#include <functional>
#include <ostream>

namespace rvk::cli {

namespace {

// Opens the files with the selection options and runs write with the --out name; write returns
// the path written, empty after a message when it failed.
int runExport(const std::string &command, const std::vector<std::string> &args, CommandContext &context,
              const std::set<std::string> &valueOptions, const std::set<std::string> &flagOptions,
              const std::function<std::string(CliSession &, const CommandArguments &)> &write)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    CommandArguments parsed;
    std::string error;
    std::set<std::string> values = valueOptions;
    values.insert("--out");
    if (!parseSelectionOptions(rest, selection, &error) || !parseCommandArguments(rest, values, flagOptions, parsed, error)
        || parsed.files.empty() || !parsed.has("--out")) {
        context.err << "rvk-cli " << command << ": " << (error.empty() ? "needs data files and --out NAME" : error) << "\n";
        for (const CliCommand &c : registeredCommands())
            if (c.name == command)
                context.err << "usage: rvk-cli " << c.usage << "\n";
        return 2;
    }
    CliSession session(context);
    if (!session.open(parsed.files, selection))
        return 1;
    const std::string written = write(session, parsed);
    if (written.empty())
        return 1;
    context.out << written << "\n";
    return 0;
}

std::string today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return formatText("%d-%.2d-%.2d", {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday});
}

int runSave(const std::vector<std::string> &args, CommandContext &context)
{
    return runExport("save", args, context, {}, {}, [](CliSession &session, const CommandArguments &parsed) {
        return DataFileWriter(session.data, session.ui).save(parsed.value("--out"));
    });
}

int runExportLoc(const std::vector<std::string> &args, CommandContext &context)
{
    return runExport("export-loc", args, context, {}, {"--unselected-unknown"},
                     [](CliSession &session, const CommandArguments &parsed) {
                         return LocusFileExport(session.data, session.ui)
                             .write(parsed.value("--out"), session.data.Selectionyesno && parsed.flags.count("--unselected-unknown"));
                     });
}

int runExportMega(const std::vector<std::string> &args, CommandContext &context)
{
    return runExport("export-mega", args, context, {}, {}, [](CliSession &session, const CommandArguments &parsed) {
        return MegaExport(session.data, session.ui).write(parsed.value("--out"));
    });
}

int runExportMapChart(const std::vector<std::string> &args, CommandContext &context)
{
    return runExport("export-mapchart", args, context, {"--individual"}, {}, [&context](CliSession &session, const CommandArguments &parsed) {
        const auto individual = parseInteger(parsed.value("--individual"));
        if (parsed.has("--individual") && (!individual || *individual < 1 || *individual > session.data.nind)) {
            context.err << "rvk-cli export-mapchart: --individual takes a number from 1 to " << session.data.nind << "\n";
            return std::string();
        }
        session.data.CurrentIndividual = individual ? static_cast<int>(*individual) : 1;
        MapChartExport::Options options;
        options.footerText = session.settings.drawing.showtext ? session.settings.drawing.Customtext : std::string();
        options.fontName = session.settings.drawing.markerFont.name;
        options.fontSize = session.settings.drawing.markerFont.size;
        options.date = today();
        return MapChartExport(session.data, session.settings.alleles, session.ui).write(parsed.value("--out"), options);
    });
}

const CommandRegistration saveRegistration({"save", "save FILE... --out NAME " + std::string(SelectionUsage),
                                            "write all groups as one data file NAME.rvk, as \"Save RVK data\" does", &runSave});
const CommandRegistration locRegistration({"export-loc", "export-loc FILE... --out NAME [--unselected-unknown] " + std::string(SelectionUsage),
                                           "write a locus file NAME.loc; with selection filtering, --unselected-unknown "
                                           "writes unselected individuals as unknown",
                                           &runExportLoc});
const CommandRegistration megaRegistration({"export-mega", "export-mega FILE... --out NAME " + std::string(SelectionUsage),
                                            "write a MEGA marker file NAME.meg", &runExportMega});
const CommandRegistration mapChartRegistration({"export-mapchart", "export-mapchart FILE... --individual I --out NAME.mct",
                                                "write the graphical genotype of individual I as a MapChart chart file",
                                                &runExportMapChart});

} // namespace
} // namespace rvk::cli
