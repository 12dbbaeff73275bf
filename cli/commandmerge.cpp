// rvk-cli merge and import-sheet: data files built from locus and map files, or from a
// spreadsheet, as "Build RVK File.." and the spreadsheet exchange window build them.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "io/locusmapmerger.h"
#include "io/spreadsheetexchange.h"

#include <ostream>

namespace rvk::cli {

namespace {

int usage(const std::string &command, const std::string &error, CommandContext &context)
{
    context.err << "rvk-cli " << command << ": " << error << "\n";
    for (const CliCommand &c : registeredCommands())
        if (c.name == command)
            context.err << "usage: rvk-cli " << c.usage << "\n";
    return 2;
}

int runMerge(const std::vector<std::string> &args, CommandContext &context)
{
    CommandArguments parsed;
    std::string error;
    if (!parseCommandArguments(args, {"--loc", "--out"}, {"--separate"}, parsed, error))
        return usage("merge", error, context);
    if (parsed.files.empty() || !parsed.has("--loc") || !parsed.has("--out"))
        return usage("merge", "needs map files, --loc FILE and --out NAME", context);
    CliUserInterface ui(context.err);
    LocusMapMerger merger(ui);
    for (const std::string &map : parsed.files)
        if (!merger.addMapFile(map))
            return 1;
    if (!merger.loadLocusFile(parsed.value("--loc")))
        return 1;
    if (merger.merge(parsed.value("--out"), parsed.flags.count("--separate") > 0).empty())
        return 1;
    for (const std::string &file : merger.writtenFiles())
        context.out << file << "\n";
    return 0;
}

int runImportSheet(const std::vector<std::string> &args, CommandContext &context)
{
    CommandArguments parsed;
    std::string error;
    if (!parseCommandArguments(args, {"--recode", "--missing", "--out"}, {}, parsed, error))
        return usage("import-sheet", error, context);
    const std::string recode = parsed.value("--recode");
    if (parsed.files.size() != 1 || !parsed.has("--out"))
        return usage("import-sheet", "needs one spreadsheet file and --out NAME.rvk", context);
    if (parsed.has("--recode") && recode != "sorted" && recode != "plain")
        return usage("import-sheet", "--recode takes sorted or plain", context);

    CliSession session(context);
    SpreadsheetExchange exchange(session.ui);
    if (!exchange.openFile(parsed.files[0]))
        return 1;
    if (parsed.has("--missing"))
        exchange.missingDataCode = parsed.value("--missing");
    if (parsed.has("--recode"))
        context.err << exchange.recode(recode == "sorted");
    if (!exchange.ImportIntoRvk(session.data, session.settings.alleles))
        return 1;
    return session.saveDataFile(parsed.value("--out"), context.out);
}

const CommandRegistration mergeRegistration({"merge", "merge MAP... --loc FILE --out NAME [--separate]",
                                             "build data files from map files and a locus file, as \"Build RVK File..\" does; "
                                             "--separate writes one file per linkage group",
                                             &runMerge});
const CommandRegistration importRegistration({"import-sheet", "import-sheet FILE [--recode sorted|plain] [--missing CODE] --out NAME.rvk",
                                              "import the first worksheet of a .xls, .xlsx, .ods or .csv file as the spreadsheet "
                                              "exchange window does, and save it as a data file",
                                              &runImportSheet});

} // namespace
} // namespace rvk::cli
