// rvk-cli export-qua: the trait file as "Export trait data as .&qua file" writes it, from a trait
// file read as "Load .qua file" reads it and the individual check list of the opened data.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "genetics/traittable.h"
#include "io/traitfile.h"

#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage = "export-qua FILE... --traits T.qua --out NAME [--unselected-unknown] ";

int runExportQua(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    CommandArguments parsed;
    std::string error;
    if (!parseSelectionOptions(rest, selection, &error)
        || !parseCommandArguments(rest, {"--traits", "--out"}, {"--unselected-unknown"}, parsed, error) || parsed.files.empty()
        || !parsed.has("--traits") || !parsed.has("--out")) {
        context.err << "rvk-cli export-qua: " << (error.empty() ? "needs data files, --traits T.qua and --out NAME" : error)
                    << "\nusage: rvk-cli " << Usage << SelectionUsage << "\n";
        return 2;
    }
    const std::optional<TraitTable> read = CliSession::readTraitTable(parsed.value("--traits"), context);
    if (!read)
        return 1;
    const TraitTable &traits = *read;
    CliSession session(context);
    if (!session.open(parsed.files, selection))
        return 1;

    TraitExportInput input;
    input.columnCount = traits.columnCount();
    input.rowCount = traits.rowCount();
    input.cell = [&traits](int c, int r) -> const std::string & { return traits.cell(c, r); };
    input.checkListNames = session.data.IndividualNames;
    input.ticked = session.data.Ticked;
    input.filtering = session.data.Selectionyesno;
    input.unselectedAsUnknown = input.filtering && parsed.has("--unselected-unknown");
    const std::string path = TraitFileWriter::outputPath(parsed.value("--out"));
    if (!TraitFileWriter::write(parsed.value("--out"), input, &error)) {
        context.err << error << "\n";
        return 1;
    }
    context.out << path << "\n";
    return 0;
}

const CommandRegistration registration({"export-qua", std::string(Usage) + SelectionUsage,
                                        "write the trait data as a .qua file, as \"Export trait data as .qua file\" does; with a "
                                        "selection only the selected individuals, or all with --unselected-unknown (others as *)",
                                        &runExportQua});

} // namespace
} // namespace rvk::cli
