// rvk-cli kinship: the relatedness of the selected individuals (centred as GEMMA's -gk 1, or
// IBS), written as a tab-separated matrix.
#include "cli/clicommand.h"
#include "cli/commandoutput.h"
#include "cli/datacommand.h"
#include "genetics/panelreport.h"

#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage = "kinship FILE... --out K.tsv [--method centred|ibs] ";

int runKinship(const std::vector<std::string> &args, CommandContext &context)
{
    DataCommand command("kinship", usageWithSelection(Usage), context);
    if (!command.parse(args, {"--out", "--method"}, {}, {{"--out", "--out K.tsv names the file to write"}}))
        return 2;
    KinshipMethod method = KinshipMethod::Centred;
    if (!command.arguments().readChoice("--method", kinshipMethodNamed, method))
        return command.usageError("--method takes centred or ibs");
    if (!command.open())
        return 1;
    const KinshipRun run = kinshipOfSelected(command.session().data, method);
    context.out << run.notes;
    if (!run.kinship) {
        context.err << run.error << "\n";
        return 1;
    }
    CommandOutput output(context, false);
    if (!output.text(command.value("--out"), kinshipText(*run.kinship, run.individuals.names)))
        return 1;
    context.out << kinshipSummaryText(*run.kinship) << ": " << command.value("--out") << "\n";
    return 0;
}

const CommandRegistration registration({"kinship", std::string(Usage) + SelectionUsage,
                                        "relatedness of the selected individuals from their dosages (A 0, H 1, B 2): centred as GEMMA's -gk 1 "
                                        "(default) or IBS, written as a tab-separated matrix",
                                        &runKinship});

} // namespace
} // namespace rvk::cli
