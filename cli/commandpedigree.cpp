// rvk-cli pedigree: F1 and pedigree verification of the (selected) individuals against two parents.
#include "cli/clicommand.h"
#include "cli/commandoutput.h"
#include "cli/datacommand.h"
#include "genetics/backcrosspedigree.h"
#include "genetics/backcrossstatistics.h"
#include "render/picturefiles.h"

#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage =
    "usage: rvk-cli pedigree FILE... --parents P1,P2 [--threshold PCT] --out TABLE.tsv|.xls\n"
    "                                [--criteria MARKER=CODE[,MARKER=!CODE...]] [--select-list FILE.rvl]\n"
    "                                [--sort all|marker:NAME|group:N|alias|allele:CODE|none]\n";

int runPedigree(const std::vector<std::string> &args, CommandContext &context)
{
    DataCommand command("pedigree", Usage, context);
    if (!command.parse(args, {"--parents", "--threshold", "--out"}, {}))
        return 2;
    const std::string parents = command.value("--parents");
    const size_t comma = parents.find(',');
    if (comma == std::string::npos || comma == 0 || comma + 1 == parents.size())
        return command.usageError("--parents takes two names separated by a comma");
    if (command.value("--out").empty())
        return command.usageError("--out is needed");
    PedigreeRequest request;
    double threshold = 0.0;
    if (!command.arguments().readDecimal("--threshold", [](double t) { return t >= 0.0 && t <= 100.0; }, threshold))
        return command.usageError("--threshold takes a percentage from 0 to 100");
    if (command.has("--threshold"))
        request.f1Threshold = request.selfThreshold = threshold;
    if (!command.open())
        return 1;
    const GenotypeData &data = command.session().data;
    const std::string names[] = {parents.substr(0, comma), parents.substr(comma + 1)};
    int *indices[] = {&request.parent1, &request.parent2};
    for (int p = 0; p < 2; ++p) {
        *indices[p] = findIndividualByName(data, names[p]);
        if (*indices[p] < 0) {
            context.err << backcrossParentMissingMessage(p == 0 ? "parent P1" : "parent P2", names[p]) << "\n";
            return 2;
        }
    }
    std::string error;
    const auto check = checkPedigree(data, request, error);
    if (!check) {
        context.err << error << "\n";
        return request.parent1 == request.parent2 ? 2 : 1;
    }
    const std::string out = command.value("--out");
    CommandOutput output(context, false);
    return (pictureExtension(out) == "xls" ? output.spreadsheet(out, check->spreadsheetGrid(), check->columnCount())
                                           : output.text(out, check->tabText()))
               ? 0
               : 1;
}

const CommandRegistration registration({"pedigree",
                                        "pedigree FILE... --parents P1,P2 [--threshold PCT] --out TABLE.tsv " + std::string(SelectionUsage),
                                        "F1 and pedigree verification of the selected individuals: the share of loci "
                                        "showing the expected F1 code, the similarity to each parent, a verdict (\"F1\", "
                                        "\"self of P1\", \"self of P2\" or \"check\"; 95 % unless --threshold) and the "
                                        "loci that contradict the pedigree",
                                        &runPedigree});

} // namespace
} // namespace rvk::cli
