// rvk-cli info FILE...: what the window shows after opening the files: one line per linkage
// group, then the status-bar summary.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "core/statustexts.h"

#include <ostream>

namespace rvk::cli {

namespace {

int runInfo(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    std::string error;
    if (!parseSelectionOptions(rest, selection, &error)) {
        context.err << "rvk-cli info: " << error << "\n";
        return 2;
    }
    std::vector<std::string> files;
    for (const std::string &arg : rest) {
        if (arg.size() > 1 && arg[0] == '-') {
            context.err << "rvk-cli info: unknown option " << arg << "\n";
            return 2;
        }
        files.push_back(arg);
    }
    if (files.empty()) {
        context.err << "usage: rvk-cli info FILE... " << SelectionUsage << "\n";
        return 2;
    }
    CliSession session(context);
    SelectionOptionsReport report;
    if (!session.open(files, selection, &report))
        return 1;
    const GenotypeData &data = session.data;
    for (int k = 0; k < data.GroupCount(); ++k)
        context.out << (k + 1) << "\t" << data.GroupName(k) << "\t" << data.GroupLocusCount(k) << "\t" << data.GroupPopType(k) << "\n";
    context.out << dataSummaryText(data, 0) << "\n";
    // What the status bar's selection panel and the result texts show after the options.
    if (!selection.criteria.empty() || !selection.selectList.empty())
        context.out << report.texts.statusText << "\n";
    if (!report.sortStatus.empty())
        context.out << report.sortStatus << "\n";
    if (!selection.empty()) {
        context.out << "selected:";
        for (int i = 0; i < data.nind; ++i)
            if (data.IsSelected(i))
                context.out << " " << data.IndividualNames[static_cast<size_t>(i)];
        context.out << "\n";
    }
    return 0;
}

const CommandRegistration registration({"info", std::string("info FILE... ") + SelectionUsage,
                                        "open the data files as the window does; print one line per linkage group "
                                        "(number, name, loci, population type) and the status-bar summary; with "
                                        "selection options also the selection state and the selected individuals",
                                        &runInfo});

} // namespace
} // namespace rvk::cli
