#include "selection/coresubsetsearch.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "core/userinterface.h"
#include "selection/annealing.h"
#include "selection/coresubsetrandom.h"
#include "selection/diversitycounter.h"
#include "selection/iterativeoptimisation.h"

#include <algorithm>

namespace rvk {

namespace CoreSubsetSearch {

std::string namesText(const GenotypeData &data, const Subset &subset, const Subset *fixed)
{
    std::string text;
    const size_t n = std::min(subset.size(), data.IndividualNames.size());
    for (size_t i = 0; i < n; ++i) {
        if (!subset[i])
            continue;
        const bool isFixed = fixed && i < fixed->size() && (*fixed)[i];
        text += isFixed ? " [F]" : " ";
        text += data.IndividualNames[i];
    }
    return text;
}

double referenceValue(SubsetEvaluator &evaluator, const Subset &start)
{
    constexpr int Evaluations = 10;
    evaluator.assign(start);
    if (!evaluator.drawsRandomly())
        return evaluator.value();
    double sum = evaluator.value();
    for (int k = 1; k < Evaluations; ++k) {
        evaluator.assign(start);
        sum += evaluator.value();
    }
    return sum / Evaluations;
}

std::string ratioLine(int m, int n, double best, double start)
{
    // A start set without diversity has no ratio; 0 says so without dividing by it.
    const double ratio = start > 0 ? best / start : 0.0;
    return "Ratio subset (M=" + formatText("%d", {m}) + ") / startset (N=" + formatText("%d", {n}) + ") :"
           + formatText("opt=%4.2f | start=%4.2f  Ratio=%4.2f", {best, start, ratio});
}

int memberCount(const Subset &subset)
{
    int count = 0;
    for (char member : subset)
        count += member != 0;
    return count;
}

Preparation prepare(const GenotypeData &data, const Subset &start, const Subset &fixed, const CoreSubsetSettings &settings,
                    SubsetEvaluator &evaluator, SelectionTexts &texts, UserInterface &ui)
{
    Preparation result;
    texts.clearMemos();
    std::vector<std::string> &memo1 = texts.Memo1;
    const char *criterion = diversityCriterionText(settings.criterion);
    result.startCount = memberCount(start);
    result.fixedCount = memberCount(fixed);
    memo1.push_back(std::string("Criterion used for subset selection : ") + criterion);
    memo1.push_back("Subset selection started with set of size: " + formatText("%d", {result.startCount}));
    memo1.push_back(namesText(data, start));
    result.reference = result.startCount > 0 ? referenceValue(evaluator, start) : 0.0;
    memo1.push_back("Estimated diversity value for this start set: " + formatText("%4.2f", {result.reference}));
    memo1.push_back("out of these genotypes " + formatText("%d", {result.fixedCount}) + " were fixed (so always included)");
    memo1.push_back(namesText(data, fixed));
    memo1.push_back("Goal: subset of size M= " + formatText("%d", {settings.subpopsize}));
    const int m = settings.subpopsize;
    result.sizeAccepted = m < result.startCount && m >= result.fixedCount && m > 0;
    if (!result.sizeAccepted)
        ui.warning(CoreSubsetSizeWarning);
    return result;
}

} // namespace CoreSubsetSearch

CoreSubsetOutcome runCoreSubsetSearch(const GenotypeData &data, const Subset &start, const Subset &fixed,
                                      const CoreSubsetSettings &settings, CoreSubsetRandom &random, SelectionTexts &texts,
                                      CoreSubsetObserver &observer, UserInterface &ui)
{
    DiversityData compact;
    std::string error;
    if (!compact.build(data, &error)) {
        ui.warning(error);
        CoreSubsetOutcome outcome;
        outcome.maxiter = settings.maxiter;
        return outcome;
    }
    DiversityCounter counter(compact, settings.criterion, random);
    // Only individuals with a name and genotypes take part, so every member drawn can be shown.
    const size_t individuals = std::min(static_cast<size_t>(std::max(0, data.nind)), data.IndividualNames.size());
    Subset startSet = start;
    Subset fixedSet = fixed;
    startSet.resize(individuals, 0);
    fixedSet.resize(individuals, 0);
    if (settings.method == CoreSubsetSettings::Method::Iterative)
        return runIterativeOptimisation(data, startSet, fixedSet, settings, counter, random, texts, observer, ui);
    return runSimulatedAnnealing(data, startSet, fixedSet, settings, counter, random, texts, observer, ui);
}

bool coreSubsetSizeAccepted(const GenotypeData &data, const Subset &start, const Subset &fixed, int subpopsize)
{
    const size_t individuals = std::min(static_cast<size_t>(std::max(0, data.nind)), data.IndividualNames.size());
    // Members among the individuals that take part, counted in place.
    auto count = [individuals](const Subset &subset) {
        const auto end = subset.begin() + static_cast<std::ptrdiff_t>(std::min(individuals, subset.size()));
        return static_cast<int>(std::count_if(subset.begin(), end, [](char member) { return member != 0; }));
    };
    return subpopsize > 0 && subpopsize < count(start) && subpopsize >= count(fixed);
}

void applyCoreSubsetOutcome(GenotypeData &data, const CoreSubsetOutcome &outcome, SelectionTexts &texts)
{
    if (outcome.searched && outcome.subset.size() == data.Ticked.size())
        data.Ticked = outcome.subset;
    data.Selectionyesno = true;
    data.RebuildSelectedIndices();
    texts.statusText = selectionActiveText(static_cast<long long>(data.SelectedIndices.size()));
}

} // namespace rvk
