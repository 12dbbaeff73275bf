// rvk-cli kinship: the relatedness of the selected individuals (centred as GEMMA's -gk 1, or
// IBS), written as a tab-separated matrix.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "core/safefile.h"
#include "core/textformat.h"
#include "genetics/dosagematrix.h"
#include "genetics/kinship.h"

#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage = "kinship FILE... --out K.tsv [--method centred|ibs] ";

int usageError(CommandContext &context, const std::string &text)
{
    context.err << "rvk-cli kinship: " << text << "\nusage: rvk-cli " << Usage << SelectionUsage << "\n";
    return 2;
}

int runKinship(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    CommandArguments parsed;
    std::string error;
    if (!parseSelectionOptions(rest, selection, &error) || !parseCommandArguments(rest, {"--out", "--method"}, {}, parsed, error))
        return usageError(context, error);
    if (parsed.files.empty())
        return usageError(context, "no data file named");
    if (!parsed.has("--out"))
        return usageError(context, "--out K.tsv names the file to write");
    KinshipMethod method = KinshipMethod::Centred;
    if (parsed.has("--method")) {
        const auto named = kinshipMethodNamed(parsed.value("--method"));
        if (!named)
            return usageError(context, "--method takes centred or ibs");
        method = *named;
    }
    CliSession session(context);
    if (!session.open(parsed.files, selection))
        return 1;
    const GenotypeData &data = session.data;
    std::vector<int> individuals;
    std::vector<std::string> names;
    for (int i = 0; i < data.nind; ++i)
        if (data.IsSelected(i)) {
            individuals.push_back(i);
            names.push_back(data.IndividualNames[static_cast<size_t>(i)]);
        }
    const DosageMatrix dosages = DosageMatrix::fromGenotypes(data, individuals);
    if (!dosages.note().empty())
        context.out << dosages.note() << "\n";
    if (dosages.markerCount() == 0) {
        context.err << formatText("No marker varies among the %d individuals: there is no kinship to compute.", {dosages.individualCount()}) << "\n";
        return 1;
    }
    const auto kinship = computeKinship(dosages, method);
    for (const auto &[i, j] : identicalKinshipRows(*kinship))
        context.out << formatText("Individuals %s and %s have the same genotypes: the kinship is singular.", {names[static_cast<size_t>(i)], names[static_cast<size_t>(j)]})
                    << "\n";
    if (!writeFileReplacing(parsed.value("--out"), kinshipText(*kinship, names), &error)) {
        context.err << error << "\n";
        return 1;
    }
    context.out << formatText("%s kinship of %d individuals from %d markers: %s\n",
                              {kinshipMethodName(method), kinship->size, kinship->markerCount, parsed.value("--out")});
    return 0;
}

const CommandRegistration registration({"kinship", std::string(Usage) + SelectionUsage,
                                        "relatedness of the selected individuals from their dosages (A 0, H 1, B 2): centred as GEMMA's -gk 1 "
                                        "(default) or IBS, written as a tab-separated matrix",
                                        &runKinship});

} // namespace
} // namespace rvk::cli
