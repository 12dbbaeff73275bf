#include "selection/annealing.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "selection/coresubsetevaluator.h"
#include "selection/coresubsetrandom.h"
#include "selection/textlistsort.h"

#include <algorithm>
#include <cmath>

namespace rvk {

namespace Annealing {

double coolingFactor(int SArho)
{
    if (SArho > 5 && SArho < 100)
        return SArho / 100.0;
    return 0.95;
}

double scaleFactor(double referenceValue)
{
    if (!(referenceValue > 0))
        return 1.0;
    const double t = std::trunc(std::log10(referenceValue));
    return std::max(std::pow(10.0, -t), 0.001);
}

bool searchEnds(const CycleEnd &end)
{
    return end.temperature < 0.0001 || (end.temperature < 0.5 && !end.accepted)
           || (end.temperature < 0.5 && !end.up && !end.down) || end.cycles > end.corecycle;
}

} // namespace Annealing

namespace {

using CoreSubsetSearch::namesText;

constexpr const char *Rule = "=====================================================";

class AnnealingSearch
{
public:
    AnnealingSearch(const GenotypeData &data, const Subset &start, const Subset &fixed, const CoreSubsetSettings &settings,
                    int steps, SubsetEvaluator &evaluator, CoreSubsetRandom &random, SelectionTexts &texts,
                    CoreSubsetObserver &observer)
        : mData(data), mStart(start), mFixed(fixed), mSettings(settings), mSteps(steps), mEvaluator(evaluator),
          mRandom(random), mMemo1(texts.Memo1), mMemo2(texts.Memo2), mObserver(observer),
          mIndividuals(static_cast<int>(std::min(start.size(), data.IndividualNames.size())))
    {
    }

    CoreSubsetOutcome run(double reference, int startCount);

private:
    const std::string &name(int i) const { return mData.IndividualNames[static_cast<size_t>(i)]; }
    bool isFixed(int i) const { return static_cast<size_t>(i) < mFixed.size() && mFixed[static_cast<size_t>(i)]; }
    bool isMember(int i) const { return mSubset[static_cast<size_t>(i)] != 0; }
    // Every individual is equally likely.
    int draw() { return mRandom.below(mIndividuals); }

    const GenotypeData &mData;
    const Subset &mStart;
    const Subset &mFixed;
    const CoreSubsetSettings &mSettings;
    int mSteps;
    SubsetEvaluator &mEvaluator;
    CoreSubsetRandom &mRandom;
    std::vector<std::string> &mMemo1;
    std::vector<std::string> &mMemo2;
    CoreSubsetObserver &mObserver;
    int mIndividuals;
    Subset mSubset;
};

CoreSubsetOutcome AnnealingSearch::run(double reference, int startCount)
{
    CoreSubsetOutcome outcome;
    outcome.searched = true;
    const double rho = Annealing::coolingFactor(mSettings.SArho);
    const double scale = Annealing::scaleFactor(reference);
    if (!(reference > 0))
        mMemo1.push_back("note: the start set has no diversity (value " + formatText("%4.2f", {reference})
                         + "), so value differences are not scaled");
    const long long progressEnd = static_cast<long long>(mSettings.corecycle + 1) * mSteps;
    mObserver.progress(0, progressEnd);

    // Random start: the fixed set, then start-set individuals drawn until there are M.
    mSubset.assign(mStart.size(), 0);
    int size = 0;
    int swappable = 0; // members that may be swapped out
    for (int i = 0; i < mIndividuals; ++i)
        if (isFixed(i)) {
            mSubset[static_cast<size_t>(i)] = 1;
            ++size;
        }
    while (size < mSettings.subpopsize) {
        const int i = draw();
        if (mStart[static_cast<size_t>(i)] && !isMember(i)) {
            mSubset[static_cast<size_t>(i)] = 1;
            ++size;
            ++swappable;
        }
    }
    mEvaluator.assign(mSubset);
    double current = mEvaluator.value(); // K
    mMemo2.push_back("first set: " + formatText("%4.2f", {current}));
    mMemo2.push_back(namesText(mData, mSubset));

    double cycleBest = current;    // C
    Subset cycleBestSet = mSubset; // G
    double temperature = 1.0;      // T
    Subset stepBestSet;            // B
    double stepBest = 0.0;         // H
    double stepBestTemperature = 1.0;
    bool stepBestRecorded = false;
    std::vector<std::string> cycleLines;
    int chartStep = 1;
    int cycle = 0; // J
    bool accepted = false, up = false, down = false;
    bool noSwapPossible = false;
    for (;;) {
        accepted = up = down = false;
        mMemo2.emplace_back();
        mMemo2.push_back("cycle: " + formatText("%d", {cycle}) + " - annealing temp: " + formatText("%2.3f", {temperature}));
        mMemo2.push_back(Rule);
        for (int step = 1; step <= mSteps; ++step) {
            // With every member fixed no swap exists; drawing pairs would never end.
            if (swappable == 0) {
                noSwapPossible = true;
                mMemo2.push_back("cycle ended: every member of the subset is fixed, so no individual can be swapped out");
                break;
            }
            // P: a member that is not fixed; Q: anyone outside the subset. Drawing each until it
            // fits picks the same pairs, with the same odds, as redrawing both together.
            int p, q;
            do
                p = draw();
            while (!isMember(p) || isFixed(p));
            do
                q = draw();
            while (isMember(q));
            const double v = mEvaluator.valueSwapped(p, q);
            const double u = v - current; // > 0: better
            const double chance = mRandom.uniform();
            if (u >= 0 || chance < std::exp(scale * u / temperature)) {
                mEvaluator.swap(p, q);
                mSubset[static_cast<size_t>(p)] = 0;
                mSubset[static_cast<size_t>(q)] = 1;
                accepted = true;
                outcome.chart.push_back({chartStep++, v});
                if (u != 0) {
                    (u > 0 ? down : up) = true;
                    mMemo2.push_back((u > 0 ? "step down: " : "step _up_: ") + formatText("%d", {cycle}) + " - "
                                     + formatText("%d", {step}) + "  " + name(p) + " replaced with " + name(q) + " = "
                                     + formatText("%4.2f  (D=%2.2f)", {v, u}));
                }
                current = v;
                if (u > 0 && current >= stepBest) {
                    stepBestSet = mSubset;
                    stepBest = current;
                    stepBestTemperature = temperature;
                    stepBestRecorded = true;
                }
            }
            mObserver.progress(static_cast<long long>(cycle) * mSteps + step, progressEnd);
            if (mObserver.poll()) {
                outcome.cancelled = true;
                break;
            }
        }
        cycleLines.push_back(formatText("divval= %6.3f  T=%2.3f", {cycleBest, temperature}) + " " + namesText(mData, mSubset));
        if (current >= cycleBest) {
            outcome.statusText = "Opt. val: " + formatText("%6.3f  T=%2.3f", {current, temperature});
            mObserver.statusText(outcome.statusText);
            cycleBestSet = mSubset;
            cycleBest = current;
            mObserver.subsetChanged(cycleBestSet);
        }
        temperature *= rho;
        ++cycle;
        if (outcome.cancelled || mObserver.poll()) {
            outcome.cancelled = true;
            break;
        }
        if (noSwapPossible
            || Annealing::searchEnds({temperature, accepted, up, down, cycle, mSettings.corecycle}))
            break;
    }

    mObserver.progress(0, 0);
    mEvaluator.assign(cycleBestSet);
    cycleBest = mEvaluator.value();
    if (stepBestRecorded && stepBest >= cycleBest) {
        mMemo2.push_back("note: equally good or better diversity value was found during iterations");
        mMemo2.push_back(formatText("%6.3f   T=%2.3f", {stepBest, stepBestTemperature}) + " : " + namesText(mData, stepBestSet));
        cycleLines.push_back(formatText("divval= %6.3f  T=%2.3f", {stepBest, stepBestTemperature}) + " "
                             + namesText(mData, stepBestSet));
        cycleBestSet = stepBestSet;
        cycleBest = stepBest;
        outcome.statusText = "Opt. val: " + formatText("%6.3f  T=%2.3f", {stepBest, stepBestTemperature});
        mObserver.statusText(outcome.statusText);
    }
    mMemo2.push_back("Final set: ");
    mMemo2.push_back(namesText(mData, cycleBestSet, &mFixed));

    mMemo2.emplace_back();
    mMemo2.push_back(formatText("%d", {cycle}) + " rounds of iteration");
    // A cancelled cycle was cut short: its flags say nothing about the search.
    if (outcome.cancelled) {
        mMemo2.push_back(CoreSubsetCancelledLine);
    } else {
        if (!up && !down)
            mMemo2.push_back("final criterion: swapping genotypes repeatedly resulted in equally good sets");
        if (!accepted)
            mMemo2.push_back("final criterion: no further improvment by swapping genotypes");
        if (cycle > mSettings.corecycle)
            mMemo2.push_back("final criterion: max allowed no of iterations reached");
    }
    if (cycleBest >= reference)
        mMemo2.push_back("note: subset diversity value equal or better than start population diversity value");
    mMemo2.emplace_back();
    mMemo2.emplace_back();
    mMemo2.push_back("Selected sets in annealing rounds:");
    sortTextList(cycleLines);
    mMemo2.insert(mMemo2.end(), cycleLines.begin(), cycleLines.end());

    mMemo1.emplace_back();
    mMemo1.push_back("cycle results summary: ");
    mMemo2.emplace_back();
    const std::string finalLine = "Final set with value: " + formatText("%4.2f", {cycleBest});
    mMemo2.push_back(finalLine);
    mMemo2.push_back(namesText(mData, cycleBestSet));
    const std::string ratio = CoreSubsetSearch::ratioLine(mSettings.subpopsize, startCount, cycleBest, reference);
    mMemo1.push_back(ratio);
    mMemo1.emplace_back();
    mMemo1.push_back(finalLine);
    mMemo1.push_back(namesText(mData, cycleBestSet));
    mMemo1.push_back(ratio);
    if (outcome.cancelled)
        mMemo1.push_back(CoreSubsetCancelledLine);

    outcome.subset = cycleBestSet;
    outcome.value = cycleBest;
    return outcome;
}

} // namespace

CoreSubsetOutcome runSimulatedAnnealing(const GenotypeData &data, const Subset &start, const Subset &fixed,
                                        const CoreSubsetSettings &settings, SubsetEvaluator &evaluator,
                                        CoreSubsetRandom &random, SelectionTexts &texts, CoreSubsetObserver &observer,
                                        UserInterface &ui)
{
    const int steps = std::max(settings.maxiter, CoreSubsetRanges::AnnealingStepsMin);
    const CoreSubsetSearch::Preparation prepared =
        CoreSubsetSearch::prepare(data, start, fixed, settings, evaluator, texts, ui);
    CoreSubsetOutcome outcome;
    if (prepared.sizeAccepted) {
        texts.Memo2.push_back(std::string("Criterion used: ") + diversityCriterionText(settings.criterion));
        AnnealingSearch search(data, start, fixed, settings, steps, evaluator, random, texts, observer);
        outcome = search.run(prepared.reference, prepared.startCount);
    }
    outcome.maxiter = steps;
    outcome.chartValueTitle = diversityCriterionText(settings.criterion);
    outcome.chartStepTitle = "SA steps";
    return outcome;
}

} // namespace rvk
