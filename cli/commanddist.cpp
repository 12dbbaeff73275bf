// rvk-cli dist: the distance matrix of the page "Genetic Distances", written as "Save matrix"
// writes it for the extension of --out.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "cli/distanceoptions.h"
#include "io/distanceexport.h"

#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage = "dist FILE... [--between genotypes|markers] [--coefficient sm|jaccard|euclidean] "
                              "[--traits T.qua --trait-distance genotypes|traits] --out MATRIX.xls|.meg|.nex|.txt";

int runDist(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    CommandArguments parsed;
    std::string error;
    std::set<std::string> valueOptions = DistanceValueOptions;
    valueOptions.insert("--out");
    const std::string out = [&] {
        if (!parseSelectionOptions(rest, selection, &error) || !parseCommandArguments(rest, valueOptions, {}, parsed, error))
            return std::string();
        if (parsed.value("--out").empty())
            error = "--out MATRIX names the file to write";
        return parsed.value("--out");
    }();
    if (out.empty()) {
        context.err << "rvk-cli dist: " << error << "\nusage: rvk-cli " << Usage << " " << SelectionUsage << "\n";
        return 2;
    }
    const DistanceRequestResult request = distanceMatrixFromOptions("dist", parsed, selection, context);
    if (!request.matrix)
        return request.status;
    const DistanceMatrix &matrix = *request.matrix;
    DistanceExportInput input{matrix.size(), [&matrix](int column, int row) { return matrix.cellText(column, row); },
                              request.individuals, request.measure, request.loci};
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
                                        "write the distance matrix between individuals, loci or traits as \"Save matrix\" does: "
                                        "a spreadsheet, MEGA, NEXUS or pairwise text file by the extension of --out",
                                        &runDist});

} // namespace
} // namespace rvk::cli
