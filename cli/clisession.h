#pragma once

#include "cli/clicommand.h"
#include "cli/cliuserinterface.h"
#include "cli/selectionoptions.h"
#include "core/dataloader.h"
#include "core/genotypedata.h"
#include "genetics/traittable.h"
#include "settings/displaysettings.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace rvk::cli {

// The state a command works on: the data set and the display settings, opened exactly as the
// window's loader opens files (with the default settings file, then a data set's own ".rvs").
// The command line never writes the window's settings or recent-file list.
struct CliSession
{
    explicit CliSession(CommandContext &context);

    // Opens the files as one open; false (after the window's messages on standard error) when
    // any file failed.
    bool open(const std::vector<std::string> &files);
    // Opens the files, then applies the selection and sort options; false after a message on
    // standard error when anything fails.
    bool open(const std::vector<std::string> &files, const SelectionOptions &selection, SelectionOptionsReport *report = nullptr);
    // Loads a settings file given on the command line; false after a message when it fails.
    bool loadSettingsFile(const std::string &path);
    // Saves the data set as "Save RVK data" does and prints the name written; the exit status.
    int saveDataFile(const std::string &chosenPath, std::ostream &out);
    // Reads a trait file (.qua) into the table the trait page shows; nothing, after the reader's
    // message on standard error, when it cannot be read.
    static std::optional<TraitTable> readTraitTable(const std::string &path, CommandContext &context);

    CliUserInterface ui;
    GenotypeData data;
    DisplaySettings settings;
    DataLoader loader{data, ui};
};

} // namespace rvk::cli
