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
    std::vector<std::string> files;
    for (const std::string &arg : args) {
        if (arg.size() > 1 && arg[0] == '-') {
            context.err << "rvk-cli info: unknown option " << arg << "\n";
            return 2;
        }
        files.push_back(arg);
    }
    if (files.empty()) {
        context.err << "usage: rvk-cli info FILE...\n";
        return 2;
    }
    CliSession session(context);
    if (!session.open(files))
        return 1;
    const GenotypeData &data = session.data;
    for (int k = 0; k < data.GroupCount(); ++k)
        context.out << (k + 1) << "\t" << data.GroupName(k) << "\t" << data.GroupLocusCount(k) << "\t" << data.GroupPopType(k) << "\n";
    context.out << dataSummaryText(data, 0) << "\n";
    return 0;
}

const CommandRegistration registration({"info", "info FILE...",
                                        "open the data files as the window does; print one line per linkage group "
                                        "(number, name, loci, population type) and the status-bar summary",
                                        &runInfo});

} // namespace
} // namespace rvk::cli
