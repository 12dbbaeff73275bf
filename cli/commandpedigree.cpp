// rvk-cli pedigree: F1 and pedigree verification of the (selected) individuals against two parents.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "core/safefile.h"
#include "core/textformat.h"
#include "genetics/backcrosspedigree.h"
#include "genetics/backcrossstatistics.h"
#include "io/spreadsheetwriter.h"
#include "render/picturefiles.h"

#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage =
    "usage: rvk-cli pedigree FILE... --parents P1,P2 [--threshold PCT] --out TABLE.tsv|.xls\n"
    "                                [--criteria MARKER=CODE[,MARKER=!CODE...]] [--select-list FILE.rvl]\n"
    "                                [--sort all|marker:NAME|group:N|alias|allele:CODE|none]\n";

int usageError(CommandContext &context, const std::string &error)
{
    context.err << "rvk-cli pedigree: " << error << "\n" << Usage;
    return 2;
}

int runPedigree(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    CommandArguments parsed;
    std::string error;
    if (!parseSelectionOptions(rest, selection, &error)
        || !parseCommandArguments(rest, {"--parents", "--threshold", "--out"}, {}, parsed, error))
        return usageError(context, error);
    if (parsed.files.empty())
        return usageError(context, "no data file named");
    const std::string parents = parsed.value("--parents");
    const size_t comma = parents.find(',');
    if (comma == std::string::npos || comma == 0 || comma + 1 == parents.size())
        return usageError(context, "--parents takes two names separated by a comma");
    if (parsed.value("--out").empty())
        return usageError(context, "--out is needed");
    PedigreeRequest request;
    if (parsed.has("--threshold")) {
        const auto threshold = parseDecimal(parsed.value("--threshold"));
        if (!threshold || *threshold < 0.0 || *threshold > 100.0)
            return usageError(context, "--threshold takes a percentage from 0 to 100");
        request.f1Threshold = request.selfThreshold = *threshold;
    }

    CliSession session(context);
    if (!session.open(parsed.files, selection))
        return 1;
    const GenotypeData &data = session.data;
    const std::string names[] = {parents.substr(0, comma), parents.substr(comma + 1)};
    int *indices[] = {&request.parent1, &request.parent2};
    for (int p = 0; p < 2; ++p) {
        *indices[p] = findIndividualByName(data, names[p]);
        if (*indices[p] < 0) {
            context.err << backcrossParentMissingMessage(p == 0 ? "parent P1" : "parent P2", names[p]) << "\n";
            return 2;
        }
    }
    const auto check = checkPedigree(data, request, error);
    if (!check) {
        context.err << error << "\n";
        return request.parent1 == request.parent2 ? 2 : 1;
    }
    const std::string out = parsed.value("--out");
    if (pictureExtension(out) == "xls") {
        const auto grid = check->spreadsheetGrid();
        if (!WriteGridAsSpreadsheet(check->columnCount(), static_cast<int>(grid.size()),
                                    [&](int column, int row) { return grid[static_cast<size_t>(row)][static_cast<size_t>(column)]; },
                                    out, &error)) {
            context.err << error << "\n";
            return 1;
        }
    } else if (!writeFileReplacing(out, check->tabText(), &error)) {
        context.err << error << "\n";
        return 1;
    }
    return 0;
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
