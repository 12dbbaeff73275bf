#include "cli/distanceoptions.h"

#include "cli/clisession.h"
#include "genetics/distancecalculation.h"
#include "genetics/traitdistance.h"
#include "io/traitfile.h"

#include <ostream>

namespace rvk::cli {

DistanceRequestResult distanceMatrixFromOptions(const std::string &command, const CommandArguments &parsed,
                                                const SelectionOptions &selection, CommandContext &context)
{
    DistanceRequestResult result;
    auto fail = [&](int status, const std::string &message) {
        context.err << "rvk-cli " << command << ": " << message << "\n";
        result.status = status;
        return result;
    };

    if (parsed.has("--traits") || parsed.has("--trait-distance")) {
        const std::string kind = parsed.has("--trait-distance") ? parsed.value("--trait-distance") : "genotypes";
        if (!parsed.has("--traits"))
            return fail(2, "--trait-distance needs --traits T.qua");
        if (kind != "genotypes" && kind != "traits")
            return fail(2, "--trait-distance takes genotypes or traits");
        if (parsed.has("--between") || parsed.has("--coefficient") || !selection.empty())
            return fail(2, "distances from a trait file are Euclidean over its values: --between, --coefficient and "
                           "the selection options do not apply");
        const std::optional<TraitTable> read = CliSession::readTraitTable(parsed.value("--traits"), context);
        if (!read) {
            result.status = 1;
            return result;
        }
        const TraitTable &traits = *read;
        TraitDistanceOutcome outcome = computeTraitDistances(traits, std::vector<bool>(static_cast<size_t>(traits.traitCount()), true),
                                                             kind == "genotypes" ? TraitDistanceEntries::Genotypes
                                                                                 : TraitDistanceEntries::Traits);
        if (!outcome.error.empty())
            return fail(1, outcome.error);
        result.measure = coefficientCaption(DistanceCoefficient::Euclidean);
        result.individuals = std::max(0, traits.columnCount() - 1);
        result.loci = traits.traitCount();
        result.matrix = std::move(outcome.matrix);
        return result;
    }

    const auto coefficient = coefficientNamed(parsed.has("--coefficient") ? parsed.value("--coefficient") : "sm");
    const auto between = distanceEntriesNamed(parsed.has("--between") ? parsed.value("--between") : "genotypes");
    if (!coefficient)
        return fail(2, "--coefficient takes sm, jaccard or euclidean");
    if (!between)
        return fail(2, "--between takes genotypes or markers");
    if (parsed.files.empty())
        return fail(2, "no data file named");
    CliSession session(context);
    if (!session.open(parsed.files, selection)) {
        result.status = 1;
        return result;
    }
    std::string error;
    auto calculated = CalculateDistances(session.data, session.settings.alleles, {*coefficient, *between}, {}, &error);
    if (!calculated)
        return fail(1, error);
    result.measure = coefficientCaption(*coefficient);
    result.individuals = session.data.nind;
    result.loci = static_cast<int>(session.data.TotalLocusCount());
    result.matrix = std::move(*calculated);
    return result;
}

} // namespace rvk::cli
