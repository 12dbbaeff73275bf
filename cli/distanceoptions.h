#pragma once
// The distance options shared by rvk-cli dist and rvk-cli tree: a matrix from the marker data
// (FILE..., --between genotypes|markers, --coefficient sm|jaccard|euclidean and the selection
// options) or from a trait file (--traits T.qua, --trait-distance genotypes|traits, every trait
// taking part).

#include "cli/clicommand.h"
#include "cli/commandarguments.h"
#include "cli/selectionoptions.h"
#include "genetics/distancematrix.h"

#include <optional>
#include <string>

namespace rvk::cli {

inline constexpr const char *DistanceOptionsUsage =
    "[--between genotypes|markers] [--coefficient sm|jaccard|euclidean] [--traits T.qua --trait-distance genotypes|traits]";
// The value options to parse.
inline const std::set<std::string> DistanceValueOptions{"--between", "--coefficient", "--traits", "--trait-distance"};

struct DistanceRequestResult
{
    std::optional<DistanceMatrix> matrix;
    int status = 0;         // when there is no matrix: 2 for wrong arguments, 1 for data that failed
    std::string measure;    // "Allele sharing/SM", "Jaccard", "Euclidean"
    int individuals = 0;    // the genotype count the export files name
    int loci = 0;           // the loci (or traits) the distances ran over
};

// Computes the matrix the options ask for; messages go to context.err prefixed "rvk-cli COMMAND: ".
DistanceRequestResult distanceMatrixFromOptions(const std::string &command, const CommandArguments &parsed,
                                                const SelectionOptions &selection, CommandContext &context);

} // namespace rvk::cli
