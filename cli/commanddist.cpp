// rvk-cli dist: the distance matrix of the page "Genetic Distances", written as "Save matrix"
// writes it for the extension of --out.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "genetics/distancecalculation.h"
#include "io/distanceexport.h"

#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage = "dist FILE... [--between genotypes|markers] [--coefficient sm|jaccard|euclidean] "
                              "--out MATRIX.xls|.meg|.nex|.txt";

int runDist(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    CommandArguments parsed;
    std::string error;
    if (!parseSelectionOptions(rest, selection, &error)
        || !parseCommandArguments(rest, {"--between", "--coefficient", "--out", "--traits", "--trait-distance"}, {}, parsed, error)) {
        context.err << "rvk-cli dist: " << error << "\nusage: rvk-cli " << Usage << " " << SelectionUsage << "\n";
        return 2;
    }
    if (parsed.has("--traits") || parsed.has("--trait-distance")) {
        context.err << "rvk-cli dist: distances from trait files are not available in this version\n";
        return 2;
    }
    const auto coefficient = coefficientNamed(parsed.has("--coefficient") ? parsed.value("--coefficient") : "sm");
    const auto between = distanceEntriesNamed(parsed.has("--between") ? parsed.value("--between") : "genotypes");
    const std::string out = parsed.value("--out");
    if (!coefficient || !between || out.empty() || parsed.files.empty()) {
        context.err << "rvk-cli dist: "
                    << (!coefficient ? "--coefficient takes sm, jaccard or euclidean"
                        : !between   ? "--between takes genotypes or markers"
                        : out.empty() ? "--out MATRIX names the file to write"
                                      : "no data file named")
                    << "\nusage: rvk-cli " << Usage << " " << SelectionUsage << "\n";
        return 2;
    }
    CliSession session(context);
    if (!session.open(parsed.files, selection))
        return 1;
    const auto calculated = CalculateDistances(session.data, session.settings.alleles, {*coefficient, *between}, {}, &error);
    if (!calculated) {
        context.err << "rvk-cli dist: " << error << "\n";
        return 1;
    }
    const DistanceMatrix &matrix = *calculated;
    DistanceExportInput input{matrix.size(), [&matrix](int column, int row) { return matrix.cellText(column, row); },
                              session.data.nind, coefficientCaption(*coefficient),
                              static_cast<int>(session.data.TotalLocusCount())};
    const std::string path = withDistanceFileExtension(out, DistanceFileFormat::PairwiseText);
    if (!WriteDistanceFile(input, distanceFileFormatOf(path), path, &error)) {
        context.err << error << "\n";
        return 1;
    }
    if (const size_t empty = matrix.emptyCount(); empty > 0)
        context.err << "rvk-cli dist: " << empty << " pairs of unselected individuals are left empty\n";
    context.out << path << "\n";
    return 0;
}

const CommandRegistration registration({"dist", std::string(Usage) + " " + SelectionUsage,
                                        "write the distance matrix between individuals or loci as \"Save matrix\" does: "
                                        "a spreadsheet, MEGA, NEXUS or pairwise text file by the extension of --out",
                                        &runDist});

} // namespace
} // namespace rvk::cli
