// rvk-cli pca: the principal components of the selected individuals' dosages, the scores as a
// table and two components as a scatter plot.
#include "cli/clicommand.h"
#include "cli/commandoutput.h"
#include "cli/datacommand.h"
#include "core/textformat.h"
#include "genetics/panelreport.h"
#include "render/pcaplot.h"
#include "render/picturefiles.h"

#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage = "pca FILE... [--pcs K] [--standardise] --out SCORES.tsv [--plot PICTURE] [--axes I,J] "
                              "[--traits T.qua --colour TRAIT] ";

// "I,J": two different component numbers from 1.
bool readAxes(const std::string &text, int &x, int &y)
{
    const size_t comma = text.find(',');
    const auto i = comma == std::string::npos ? std::nullopt : parseInteger(text.substr(0, comma));
    const auto j = comma == std::string::npos ? std::nullopt : parseInteger(text.substr(comma + 1));
    if (!i || !j || *i < 1 || *j < 1 || *i == *j)
        return false;
    x = static_cast<int>(*i);
    y = static_cast<int>(*j);
    return true;
}

int runPca(const std::vector<std::string> &args, CommandContext &context)
{
    DataCommand command("pca", usageWithSelection(Usage), context);
    if (!command.parse(args, {"--pcs", "--out", "--plot", "--axes", "--traits", "--colour"}, {"--standardise"},
                       {{"--out", "--out SCORES.tsv names the file to write"}}))
        return 2;
    PcaOptions options;
    options.standardise = command.has("--standardise");
    if (!command.arguments().readInteger("--pcs", 1, 100, options.components))
        return command.usageError("--pcs takes a number of components from 1 to 100");
    int axisX = 1, axisY = 2;
    if (command.has("--axes") && !readAxes(command.value("--axes"), axisX, axisY))
        return command.usageError("--axes takes two different component numbers, as 1,3");
    if (command.has("--plot") && !isPictureExtension(pictureExtension(command.value("--plot"))))
        return command.usageError("--plot takes a picture ending in .png, .jpg, .svg, .pdf or .emf");
    if (command.has("--colour") != command.has("--traits"))
        return command.usageError("--colour TRAIT and --traits T.qua go together");
    if (!command.open())
        return 1;
    const PcaRun run = pcaOfSelected(command.session().data, options);
    context.out << run.notes;
    if (!run.pca) {
        context.err << run.error << "\n";
        return 1;
    }
    context.out << pcaVarianceText(*run.pca);
    CommandOutput output(context);
    if (!output.text(command.value("--out"), pcaScoreText(*run.pca, run.individuals.names)))
        return 1;
    if (!command.has("--plot"))
        return 0;
    if (axisX > run.pca->componentCount || axisY > run.pca->componentCount)
        return command.usageError(formatText("--axes takes components from 1 to %d", {run.pca->componentCount}));
    PcaPlotInput input = pcaScatter(*run.pca, run.individuals.names, axisX, axisY);
    if (command.traits() && !colourPcaByTrait(input, *command.traits(), command.value("--colour"))) {
        context.err << "rvk-cli pca: no trait named " << command.value("--colour") << "\n";
        return 1;
    }
    return output.picture(recordPcaPlot(input), command.value("--plot")) ? 0 : 1;
}

const CommandRegistration registration({"pca", std::string(Usage) + SelectionUsage,
                                        "principal components of the selected individuals' centred (or --standardise: PLINK-scaled) "
                                        "dosages: prints each component's eigenvalue and share of variance, writes the scores "
                                        "and plots two components (--axes, default 1,2), coloured by a trait",
                                        &runPca});

} // namespace
} // namespace rvk::cli
