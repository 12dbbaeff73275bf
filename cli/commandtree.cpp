// rvk-cli tree: the NJ or UPGMA tree of a distance matrix as one Newick line.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "core/safefile.h"
#include "genetics/distancecalculation.h"
#include "genetics/treebuilder.h"

#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage = "tree FILE... [--between genotypes|markers] [--coefficient sm|jaccard|euclidean] "
                              "--method nj|upgma --out TREE.nwk";

int usageError(CommandContext &context, const std::string &error)
{
    context.err << "rvk-cli tree: " << error << "\nusage: rvk-cli " << Usage << " " << SelectionUsage << "\n";
    return 2;
}

int runTree(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    CommandArguments parsed;
    std::string error;
    if (!parseSelectionOptions(rest, selection, &error)
        || !parseCommandArguments(rest, {"--between", "--coefficient", "--method", "--out", "--traits", "--trait-distance"}, {},
                                  parsed, error))
        return usageError(context, error);
    if (parsed.has("--traits") || parsed.has("--trait-distance")) {
        context.err << "rvk-cli tree: distances from trait files are not available in this version\n";
        return 2;
    }
    const auto coefficient = coefficientNamed(parsed.has("--coefficient") ? parsed.value("--coefficient") : "sm");
    const auto between = distanceEntriesNamed(parsed.has("--between") ? parsed.value("--between") : "genotypes");
    const std::string method = parsed.value("--method");
    const std::string out = parsed.value("--out");
    if (!coefficient)
        return usageError(context, "--coefficient takes sm, jaccard or euclidean");
    if (!between)
        return usageError(context, "--between takes genotypes or markers");
    if (method != "nj" && method != "upgma")
        return usageError(context, "--method takes nj or upgma");
    if (out.empty())
        return usageError(context, "--out TREE.nwk names the file to write");
    if (parsed.files.empty())
        return usageError(context, "no data file named");

    CliSession session(context);
    if (!session.open(parsed.files, selection))
        return 1;
    const DistanceMatrix matrix = *CalculateDistances(session.data, session.settings.alleles, {*coefficient, *between});
    const auto tree = BuildTree(matrix, method == "nj" ? TreeMethod::NeighbourJoining : TreeMethod::Upgma, &error);
    if (!tree) {
        context.err << "rvk-cli tree: " << error << "\n";
        return 1;
    }
    if (!writeFileReplacing(out, tree->newick + "\r\n", &error)) {
        context.err << error << "\n";
        return 1;
    }
    context.out << out << "\n";
    return 0;
}

const CommandRegistration registration({"tree", std::string(Usage) + " " + SelectionUsage,
                                        "write the NJ or UPGMA tree of the distance matrix as one Newick line", &runTree});

} // namespace
} // namespace rvk::cli
