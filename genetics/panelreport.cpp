#include "genetics/panelreport.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "genetics/association.h"
#include "genetics/dosagematrix.h"
#include "genetics/mixedmodelpictures.h"
#include "genetics/traittable.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace rvk {

SelectedIndividuals selectedIndividuals(const GenotypeData &data)
{
    SelectedIndividuals selected;
    for (int i = 0; i < data.nind; ++i)
        if (data.IsSelected(i)) {
            selected.indices.push_back(i);
            selected.names.push_back(data.IndividualNames[static_cast<size_t>(i)]);
        }
    return selected;
}

KinshipRun kinshipOfSelected(const GenotypeData &data, KinshipMethod method)
{
    KinshipRun run;
    run.individuals = selectedIndividuals(data);
    const DosageMatrix dosages = DosageMatrix::fromGenotypes(data, run.individuals.indices);
    if (!dosages.note().empty())
        run.notes += dosages.note() + "\n";
    if (dosages.markerCount() == 0) {
        run.error = formatText("No marker varies among the %d individuals: there is no kinship to compute.", {dosages.individualCount()});
        return run;
    }
    run.kinship = computeKinship(dosages, method);
    const std::vector<std::string> &names = run.individuals.names;
    for (const auto &[i, j] : identicalKinshipRows(*run.kinship))
        run.notes += formatText("Individuals %s and %s have the same genotypes: the kinship is singular.",
                                {names[static_cast<size_t>(i)], names[static_cast<size_t>(j)]}) +
                     "\n";
    return run;
}

std::string kinshipSummaryText(const KinshipMatrix &kinship)
{
    return formatText("%s kinship of %d individuals from %d markers", {kinshipMethodName(kinship.method), kinship.size, kinship.markerCount});
}

PcaRun pcaOfSelected(const GenotypeData &data, const PcaOptions &options)
{
    PcaRun run;
    run.individuals = selectedIndividuals(data);
    const DosageMatrix dosages = DosageMatrix::fromGenotypes(data, run.individuals.indices);
    if (!dosages.note().empty())
        run.notes += dosages.note() + "\n";
    run.pca = computePca(dosages, options, {}, &run.error);
    return run;
}

PcaPlotInput pcaScatter(const PcaResult &pca, const std::vector<std::string> &names, int x, int y)
{
    PcaPlotInput input;
    input.xTitle = formatText("PC%d (%.1f %%)", {x, 100.0 * pca.varianceShare[static_cast<size_t>(x - 1)]});
    input.yTitle = formatText("PC%d (%.1f %%)", {y, 100.0 * pca.varianceShare[static_cast<size_t>(y - 1)]});
    for (int i = 0; i < pca.individualCount; ++i) {
        input.x.push_back(pca.score(i, x - 1));
        input.y.push_back(pca.score(i, y - 1));
    }
    input.names = names;
    return input;
}

bool colourPcaByTrait(PcaPlotInput &input, const TraitTable &traits, const std::string &trait)
{
    int row = 0;
    for (int r = 1; r <= traits.traitCount(); ++r)
        if (traits.cell(0, r) == trait)
            row = r;
    if (row == 0)
        return false;
    colourPcaByTraitRow(input, traits, row);
    return true;
}

void colourPcaByTraitRow(PcaPlotInput &input, const TraitTable &traits, int row)
{
    input.title = "Principal components, coloured by " + traits.cell(0, row);
    input.colourValues.clear();
    for (const std::string &name : input.names) {
        const auto column = traits.lastColumnNamed(name);
        const auto value = column ? parseDecimal(traits.cell(*column, row)) : std::nullopt;
        input.colourValues.push_back(value ? *value : std::nan(""));
    }
}

std::string mixedModelSummary(const MixedModelResults &results)
{
    std::string text;
    for (const TraitModelResult &trait : results.traits)
        text += trait.analysed ? formatText("%s: %d individuals, %d covariates, null-model lambda %g (vg %g, ve %g), %d markers tested\n",
                                            {trait.trait, static_cast<int>(trait.individuals.size()), trait.covariateCount, trait.null.lambda,
                                             trait.null.vg, trait.null.ve, static_cast<int>(trait.tests.size())})
                               : trait.message + "\n";
    for (const std::string &note : results.notes)
        text += note + "\n";
    return text;
}

std::string gblupSummary(const GblupResults &results, unsigned seed)
{
    std::string text;
    for (const std::string &note : results.notes)
        text += note + "\n";
    for (const TraitPrediction &trait : results.traits) {
        if (!trait.analysed) {
            text += trait.message + "\n";
            continue;
        }
        text += formatText("%s: %d individuals with values, lambda %g", {trait.trait, trait.trainingCount, trait.fit.lambda});
        if (!trait.foldAccuracy.empty())
            text += formatText(", accuracy %.4f over %d folds (seed %d)",
                               {trait.accuracy, static_cast<int>(trait.foldAccuracy.size()), static_cast<long long>(seed)});
        text += "\n";
    }
    return text;
}

namespace {

// The picture file of one trait: the name itself for a single trait, else the trait's name
// added before the extension.
std::string picturePathOf(const std::string &path, const std::string &trait, bool several)
{
    if (!several)
        return path;
    const std::filesystem::path p(path);
    return (p.parent_path() / (p.stem().string() + "_" + trait + p.extension().string())).string();
}

} // namespace

std::vector<PictureFile> mixedModelPictureFiles(const GenotypeData &data, const MixedModelResults &results, const AssociationResults *correlation,
                                                const std::string &manhattanPath, const std::string &qqPath)
{
    const bool several = std::count_if(results.traits.begin(), results.traits.end(), [](const auto &t) { return t.analysed; }) > 1;
    std::vector<PictureFile> files;
    for (size_t t = 0; t < results.traits.size(); ++t) {
        const TraitModelResult &trait = results.traits[t];
        if (!trait.analysed)
            continue;
        if (!manhattanPath.empty())
            files.push_back({picturePathOf(manhattanPath, trait.trait, several), recordManhattanPlot(mixedModelManhattan(results, t))});
        if (!qqPath.empty())
            files.push_back({picturePathOf(qqPath, trait.trait, several), recordQqPlot(mixedModelQq(results, t))});
        if (!correlation)
            continue;
        const auto &names = correlation->traitNames();
        const auto found = std::find(names.begin(), names.end(), trait.trait);
        if (found == names.end())
            continue;
        const int column = static_cast<int>(found - names.begin()) + 1;
        const std::string name = trait.trait + "_correlation";
        if (!manhattanPath.empty())
            files.push_back({picturePathOf(manhattanPath, name, true), recordManhattanPlot(correlationManhattan(data, *correlation, column))});
        if (!qqPath.empty())
            files.push_back({picturePathOf(qqPath, name, true), recordQqPlot(correlationQq(*correlation, column))});
    }
    return files;
}

} // namespace rvk
