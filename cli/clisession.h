#pragma once

#include "cli/clicommand.h"
#include "cli/cliuserinterface.h"
#include "core/dataloader.h"
#include "core/genotypedata.h"
#include "settings/alleletable.h"

#include <string>
#include <vector>

namespace rvk::cli {

// The state a command works on: the data set and allele table, opened exactly as the window's
// loader opens files. The command line never touches the recent-file list of the window.
struct CliSession
{
    explicit CliSession(CommandContext &context) : ui(context.err) {}

    // Opens the files as one open; false (after the window's messages on standard error) when
    // any file failed.
    bool open(const std::vector<std::string> &files);

    CliUserInterface ui;
    GenotypeData data;
    AlleleTable alleles;
    DataLoader loader{data, alleles, ui};
};

} // namespace rvk::cli
