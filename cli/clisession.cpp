#include "cli/clisession.h"

#include "core/datafilewriter.h"
#include "settings/datasetsettings.h"
#include "io/traitfile.h"
#include "settings/randomgenerator.h"
#include "settings/settingsfile.h"

#include <ostream>

namespace rvk::cli {

CliSession::CliSession(CommandContext &context) : ui(context.err)
{
    // Every run starts like the program does: the generator behind the default colours from its
    // start, then the default settings file (a missing one gives the first-start defaults).
    ProgramRandom::global().seed(0);
    std::string ignored;
    loadDefaultSettings(settings, &ignored);
}

bool CliSession::open(const std::vector<std::string> &files)
{
    // As in the window, except that the recent list is the window's alone.
    const LoadOutcome outcome = loader.OpenFiles(files);
    settings.alleles.markUsed(outcome.usedCodes);
    if (!outcome.dataSetSettings.empty())
        loadSettingsFile(outcome.dataSetSettings);
    if (outcome.aliasSection)
        settings.drawing.sideways = true;
    return outcome.completed;
}

bool CliSession::open(const std::vector<std::string> &files, const SelectionOptions &selection, SelectionOptionsReport *report)
{
    if (!open(files))
        return false;
    std::string error;
    if (selection.empty() || applySelectionOptions(selection, data, settings.alleles, ui, &error, report))
        return true;
    ui.error(error);
    return false;
}

bool CliSession::loadSettingsFile(const std::string &path)
{
    std::string error;
    if (loadSettingsWithData(path, data, settings, &error))
        return true;
    ui.warning(error);
    return false;
}

int CliSession::saveDataFile(const std::string &chosenPath, std::ostream &out)
{
    const std::string written = DataFileWriter(data, ui).save(chosenPath);
    if (written.empty())
        return 1;
    out << written << "\n";
    return 0;
}

std::optional<TraitTable> CliSession::readTraitTable(const std::string &path, CommandContext &context)
{
    const TraitFileContents contents = TraitFileReader::readFile(path);
    if (!contents.ok()) {
        context.err << contents.error << "\n";
        return std::nullopt;
    }
    return TraitTable::fromColumns(contents.columns, contents.rowCount);
}

} // namespace rvk::cli
