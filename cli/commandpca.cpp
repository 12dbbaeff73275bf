// rvk-cli pca: the principal components of the selected individuals' dosages, the scores as a
// table and two components as a scatter plot.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "core/safefile.h"
#include "core/textformat.h"
#include "genetics/dosagematrix.h"
#include "genetics/pca.h"
#include "render/pcaplot.h"
#include "render/picturefiles.h"
#include "render/viewpicture.h"

#include <cmath>
#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage = "pca FILE... [--pcs K] [--standardise] --out SCORES.tsv [--plot PICTURE] [--axes I,J] "
                              "[--traits T.qua --colour TRAIT] ";

int usageError(CommandContext &context, const std::string &text)
{
    context.err << "rvk-cli pca: " << text << "\nusage: rvk-cli " << Usage << SelectionUsage << "\n";
    return 2;
}

int runPca(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    CommandArguments parsed;
    std::string error;
    if (!parseSelectionOptions(rest, selection, &error)
        || !parseCommandArguments(rest, {"--pcs", "--out", "--plot", "--axes", "--traits", "--colour"}, {"--standardise"}, parsed, error))
        return usageError(context, error);
    if (parsed.files.empty())
        return usageError(context, "no data file named");
    if (!parsed.has("--out"))
        return usageError(context, "--out SCORES.tsv names the file to write");
    PcaOptions options;
    options.standardise = parsed.has("--standardise");
    if (parsed.has("--pcs")) {
        const auto pcs = parseInteger(parsed.value("--pcs"));
        if (!pcs || *pcs < 1 || *pcs > 100)
            return usageError(context, "--pcs takes a number of components from 1 to 100");
        options.components = static_cast<int>(*pcs);
    }
    int axisX = 1, axisY = 2;
    if (parsed.has("--axes")) {
        const std::string axes = parsed.value("--axes");
        const size_t comma = axes.find(',');
        const auto i = comma == std::string::npos ? std::nullopt : parseInteger(axes.substr(0, comma));
        const auto j = comma == std::string::npos ? std::nullopt : parseInteger(axes.substr(comma + 1));
        if (!i || !j || *i < 1 || *j < 1 || *i == *j)
            return usageError(context, "--axes takes two different component numbers, as 1,3");
        axisX = static_cast<int>(*i);
        axisY = static_cast<int>(*j);
    }
    if (parsed.has("--plot") && !isPictureExtension(pictureExtension(parsed.value("--plot"))))
        return usageError(context, "--plot takes a picture ending in .png, .jpg, .svg, .pdf or .emf");
    if (parsed.has("--colour") != parsed.has("--traits"))
        return usageError(context, "--colour TRAIT and --traits T.qua go together");
    std::optional<TraitTable> traits;
    if (parsed.has("--traits") && !(traits = CliSession::readTraitTable(parsed.value("--traits"), context)))
        return 1;

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
    const auto pca = computePca(dosages, options, {}, &error);
    if (!pca) {
        context.err << error << "\n";
        return 1;
    }
    context.out << pcaVarianceText(*pca);
    if (!writeFileReplacing(parsed.value("--out"), pcaScoreText(*pca, names), &error)) {
        context.err << error << "\n";
        return 1;
    }
    context.out << parsed.value("--out") << "\n";
    if (parsed.has("--plot")) {
        if (axisX > pca->componentCount || axisY > pca->componentCount)
            return usageError(context, formatText("--axes takes components from 1 to %d", {pca->componentCount}));
        PcaPlotInput input;
        input.xTitle = formatText("PC%d (%.1f %%)", {axisX, 100.0 * pca->varianceShare[static_cast<size_t>(axisX - 1)]});
        input.yTitle = formatText("PC%d (%.1f %%)", {axisY, 100.0 * pca->varianceShare[static_cast<size_t>(axisY - 1)]});
        for (int i = 0; i < pca->individualCount; ++i) {
            input.x.push_back(pca->score(i, axisX - 1));
            input.y.push_back(pca->score(i, axisY - 1));
        }
        input.names = names;
        if (traits) {
            const std::string trait = parsed.value("--colour");
            int row = 0;
            for (int r = 1; r <= traits->traitCount(); ++r)
                if (traits->cell(0, r) == trait)
                    row = r;
            if (row == 0) {
                context.err << "rvk-cli pca: no trait named " << trait << "\n";
                return 1;
            }
            input.title = "Principal components, coloured by " + trait;
            for (const std::string &name : names) {
                const auto column = traits->lastColumnNamed(name);
                const auto value = column ? parseDecimal(traits->cell(*column, row)) : std::nullopt;
                input.colourValues.push_back(value ? *value : std::nan(""));
            }
        }
        std::string written;
        const std::string path = parsed.value("--plot");
        if (!savePictureFile(recordPcaPlot(input), path, pictureExtension(path), written, error)) {
            context.err << error << "\n";
            return 1;
        }
        context.out << written << "\n";
    }
    return 0;
}

const CommandRegistration registration({"pca", std::string(Usage) + SelectionUsage,
                                        "principal components of the selected individuals' centred (or --standardise: PLINK-scaled) "
                                        "dosages: prints each component's eigenvalue and share of variance, writes the scores "
                                        "and plots two components (--axes, default 1,2), coloured by a trait",
                                        &runPca});

} // namespace
} // namespace rvk::cli
