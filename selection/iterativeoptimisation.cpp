#include "selection/iterativeoptimisation.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "selection/coresubsetevaluator.h"
#include "selection/coresubsetrandom.h"
#include "selection/textlistsort.h"

#include <algorithm>

namespace rvk {

namespace {

using CoreSubsetSearch::namesText;

constexpr const char *Rule = "=====================================================";
constexpr int NoIndividual = -1;
constexpr int NotYet = -2; // no previous iteration in this run

// A distinct final subset of the runs.
struct FinalSubset
{
    std::string names;
    Subset members;
    int hits = 0;
    double value = 0.0;
};

class IterativeSearch
{
public:
    IterativeSearch(const GenotypeData &data, const Subset &start, const Subset &fixed, const CoreSubsetSettings &settings,
                    SubsetEvaluator &evaluator, CoreSubsetRandom &random, SelectionTexts &texts,
                    CoreSubsetObserver &observer)
        : mData(data), mStart(start), mFixed(fixed), mSettings(settings), mEvaluator(evaluator), mRandom(random),
          mMemo1(texts.Memo1), mMemo2(texts.Memo2), mObserver(observer),
          mIndividuals(static_cast<int>(std::min(start.size(), data.IndividualNames.size())))
    {
    }

    CoreSubsetOutcome run(double reference, int startCount);

private:
    const std::string &name(int i) const { return mData.IndividualNames[static_cast<size_t>(i)]; }
    bool isFixed(int i) const { return static_cast<size_t>(i) < mFixed.size() && mFixed[static_cast<size_t>(i)]; }
    std::string value42(double v) const { return formatText("%4.2f", {v}); }
    void put(int i)
    {
        mSubset[static_cast<size_t>(i)] = 1;
        mEvaluator.add(i);
    }
    void take(int i)
    {
        mSubset[static_cast<size_t>(i)] = 0;
        mEvaluator.remove(i);
    }
    void randomStart();
    // Returns true when the user asked to stop, after the run's iteration ended.
    bool iterate(int cycle, double reference, int &iterations, int &lastAdded, int &lastRemoved, int &previousRemoved);
    void chartPoint(double value) { mChart.push_back({mChartStep++, value}); }
    bool pollEvery(int &counter)
    {
        if (++counter % 32 == 0)
            mCancelRequested = mObserver.poll() || mCancelRequested;
        return mCancelRequested;
    }

    const GenotypeData &mData;
    const Subset &mStart;
    const Subset &mFixed;
    const CoreSubsetSettings &mSettings;
    SubsetEvaluator &mEvaluator;
    CoreSubsetRandom &mRandom;
    std::vector<std::string> &mMemo1;
    std::vector<std::string> &mMemo2;
    CoreSubsetObserver &mObserver;
    int mIndividuals;
    Subset mSubset;
    std::vector<ConvergencePoint> mChart;
    int mChartStep = 1;
    bool mCancelRequested = false;
};

void IterativeSearch::randomStart()
{
    mSubset.assign(mStart.size(), 0);
    int size = 0;
    for (int i = 0; i < mIndividuals; ++i)
        if (isFixed(i)) {
            mSubset[static_cast<size_t>(i)] = 1;
            ++size;
        }
    while (size < mSettings.subpopsize) {
        const int i = mRandom.below(mIndividuals);
        if (mStart[static_cast<size_t>(i)] && !mSubset[static_cast<size_t>(i)]) {
            mSubset[static_cast<size_t>(i)] = 1;
            ++size;
        }
    }
    mEvaluator.assign(mSubset);
}

bool IterativeSearch::iterate(int cycle, double reference, int &k, int &a, int &r, int &previousRemoved)
{
    double current = 0.0;     // C
    double bestSmaller = 0.0; // B-: best value of a one-smaller set in this run
    double bestLarger = 0.0;  // B+
    r = NoIndividual;
    a = NoIndividual;
    k = 1;
    int previousAdded = NotYet;
    previousRemoved = NotYet;
    int polls = 0;
    for (;;) {
        if (k > 1) {
            previousAdded = a;
            previousRemoved = r;
        }
        mMemo2.push_back("cycle: " + formatText("%d", {cycle}) + " - iteration : " + formatText("%d", {k}));
        mMemo2.push_back(Rule);
        mMemo2.push_back("current set => " + namesText(mData, mSubset) + formatText("  %6.2f", {mEvaluator.value()}));

        // Which member, taken out, leaves the best one-smaller set?
        r = NoIndividual;
        for (int i = 0; i < mIndividuals; ++i) {
            if (!mSubset[static_cast<size_t>(i)] || isFixed(i))
                continue;
            const double v = mEvaluator.valueWithout(i);
            pollEvery(polls);
            if (v > bestSmaller) {
                bestSmaller = v;
                r = i;
                mMemo2.push_back("with " + name(i) + " removed: " + value42(v));
            }
        }
        mMemo2.emplace_back();

        if (r < 0) {
            mMemo2.push_back("Removing individuals did not improve stat");
            current = mEvaluator.value();
            mMemo2.push_back("current set => " + namesText(mData, mSubset) + formatText("  %6.2f", {current}));
            a = NoIndividual;
            mMemo2.push_back("try adding, then removing..");
            for (int i = 0; i < mIndividuals; ++i) {
                if (!mStart[static_cast<size_t>(i)] || mSubset[static_cast<size_t>(i)])
                    continue;
                const double v = mEvaluator.valueWith(i);
                pollEvery(polls);
                if (v > bestLarger) {
                    bestLarger = v;
                    a = i;
                    mMemo2.push_back("with " + name(i) + " added: " + value42(v));
                }
            }
            if (a >= 0) {
                mMemo2.push_back("Best set of size (M+1) sofar with " + name(a) + " added = " + formatGeneral(bestLarger));
                put(a);
                r = NoIndividual;
                for (int i = 0; i < mIndividuals; ++i) {
                    if (!mSubset[static_cast<size_t>(i)] || isFixed(i) || i == a)
                        continue;
                    const double v = mEvaluator.valueWithout(i);
                    pollEvery(polls);
                    if (v > current) {
                        current = v;
                        r = i;
                        mMemo2.push_back(name(i) + " removed: " + value42(v));
                    }
                }
                if (r < 0) {
                    take(a);
                    mMemo2.push_back("no improvement by first adding, then removing genotypes");
                } else {
                    mMemo2.push_back("Best set sofar of size M with " + name(a) + " added and " + name(r)
                                     + " removed = " + formatGeneral(current));
                    take(r);
                    chartPoint(current);
                }
            }
            mMemo2.emplace_back();
        } else {
            mMemo2.push_back("Best set of size (M-1) sofar with " + name(r) + " removed = " + formatGeneral(bestSmaller));
            take(r);
            mMemo2.push_back("current set (M-1) => " + namesText(mData, mSubset));
            a = NoIndividual;
            mMemo2.emplace_back();
            for (int i = 0; i < mIndividuals; ++i) {
                if (!mStart[static_cast<size_t>(i)] || mSubset[static_cast<size_t>(i)])
                    continue;
                const double v = mEvaluator.valueWith(i);
                pollEvery(polls);
                if (v > current) {
                    current = v;
                    a = i;
                    mMemo2.push_back("with " + name(i) + " added: " + value42(v));
                }
            }
            if (a < 0) {
                mMemo2.push_back("addition of genotypes did not improve on previous results");
                put(r);
                r = NoIndividual;
            } else {
                mMemo2.push_back("Best set sofar of size M with " + name(a) + " added = " + formatGeneral(current));
                put(a);
                chartPoint(current);
            }
            mMemo2.emplace_back();
        }

        ++k;
        mObserver.subsetChanged(mSubset);
        mCancelRequested = mObserver.poll() || mCancelRequested;
        if ((a == previousAdded && r == previousRemoved) || k >= mSettings.maxiter || (r < 0 && a < 0)
            || current >= reference || mCancelRequested)
            return mCancelRequested;
    }
}

CoreSubsetOutcome IterativeSearch::run(double reference, int startCount)
{
    CoreSubsetOutcome outcome;
    outcome.searched = true;
    const int runs = mSettings.corecycle;
    mObserver.progress(0, runs);

    std::vector<FinalSubset> finals;
    std::vector<int> runCounts(static_cast<size_t>(mIndividuals), 0);
    double bestValue = 0.0;
    int best = -1;
    int completedRuns = 0;
    for (int cycle = 1; cycle <= runs; ++cycle) {
        randomStart();
        int k = 1, a = NoIndividual, r = NoIndividual, previousRemoved = NotYet;
        const bool cancelled = iterate(cycle, reference, k, a, r, previousRemoved);
        ++completedRuns;

        const double value = mEvaluator.value();
        const std::string names = namesText(mData, mSubset, &mFixed);
        mMemo2.push_back("Final set round " + formatText("%d", {cycle}) + " : ");
        mMemo2.push_back(formatText("%6.2f  ", {value}) + names);
        for (int i = 0; i < mIndividuals; ++i)
            runCounts[static_cast<size_t>(i)] += mSubset[static_cast<size_t>(i)] != 0;

        auto known = std::find_if(finals.begin(), finals.end(), [&](const FinalSubset &f) { return f.names == names; });
        int index;
        if (known == finals.end()) {
            finals.push_back({names, mSubset, 1, value});
            index = static_cast<int>(finals.size()) - 1;
        } else {
            index = static_cast<int>(known - finals.begin());
            if (++known->hits >= mSettings.iterrepeat && mSettings.iterrepeat > 0)
                break;
        }
        if (value == bestValue && best >= 0) {
            const FinalSubset &f = finals[static_cast<size_t>(index)];
            if (index == best || f.hits > finals[static_cast<size_t>(best)].hits) {
                best = index;
                outcome.statusText = "Opt. val: " + formatText("%2.1f [n=%d]", {bestValue, f.hits});
                mObserver.statusText(outcome.statusText);
            }
        }
        if (value > bestValue) {
            bestValue = value;
            best = index;
            outcome.statusText = "Opt. val: " + formatText("%2.1f [n=1]", {bestValue});
            mObserver.statusText(outcome.statusText);
        }

        mMemo2.emplace_back();
        mMemo2.push_back(formatText("%d", {k}) + " rounds of iteration");
        if (a >= 0 && r >= 0 && r == previousRemoved)
            mMemo2.push_back("final criterion: " + name(r) + " and/or " + name(a) + " repeatedly removed then re-added");
        if (a < 0 || r < 0)
            mMemo2.push_back("final criterion: no further improvement by adding or removing genotypes");
        if (k >= mSettings.maxiter)
            mMemo2.push_back("final criterion: max allowed no of iterations reached");
        if (value >= reference)
            mMemo2.push_back("final criterion: subset diversity value equal to start population diversity value");
        mMemo2.emplace_back();
        mObserver.progress(cycle, runs);
        if (cancelled || mObserver.poll()) {
            outcome.cancelled = true;
            mMemo2.push_back(CoreSubsetCancelledLine);
            break;
        }
    }
    (void)completedRuns;

    mObserver.progress(0, 0);
    mMemo1.emplace_back();
    mMemo1.push_back("average over " + formatText("%d", {runs}) + " replicates ");
    for (int i = 0; i < mIndividuals; ++i)
        if (runCounts[static_cast<size_t>(i)] > 0)
            mMemo1.push_back(name(i) + " : " + formatText("%d", {runCounts[static_cast<size_t>(i)]}));

    std::vector<std::string> summary;
    for (const FinalSubset &f : finals)
        summary.push_back(formatText("%6.2f  [%2.1f", {f.value, f.hits * 100.0 / runs}) + "%] : " + f.names);
    sortTextList(summary);
    mMemo1.emplace_back();
    mMemo1.push_back("cycle results summary: ");
    mMemo1.insert(mMemo1.end(), summary.begin(), summary.end());

    const std::string ratio = CoreSubsetSearch::ratioLine(mSettings.subpopsize, startCount, bestValue, reference);
    if (best >= 0) {
        const FinalSubset &f = finals[static_cast<size_t>(best)];
        const std::string bestLine = "best set with value: " + formatText("%4.2f  [%2.1f", {bestValue, f.hits * 100.0 / runs}) + "%]";
        mMemo2.emplace_back();
        mMemo2.push_back(bestLine);
        mMemo2.push_back(f.names);
        mMemo1.push_back(ratio);
        mMemo1.emplace_back();
        mMemo1.push_back(bestLine);
        mMemo1.push_back(f.names);
        mMemo1.push_back(ratio);
        outcome.subset = f.members;
        outcome.value = bestValue;
    } else {
        // Every run ended at a value of 0: no subset beats another, the ticks stay.
        const std::string none = CoreSubsetNoneFoundLine;
        mMemo2.emplace_back();
        mMemo2.push_back(none);
        mMemo1.push_back(ratio);
        mMemo1.emplace_back();
        mMemo1.push_back(none);
        outcome.subset.clear();
    }
    if (outcome.cancelled)
        mMemo1.push_back(CoreSubsetCancelledLine);
    outcome.chart = std::move(mChart);
    return outcome;
}

} // namespace

CoreSubsetOutcome runIterativeOptimisation(const GenotypeData &data, const Subset &start, const Subset &fixed,
                                           const CoreSubsetSettings &settings, SubsetEvaluator &evaluator,
                                           CoreSubsetRandom &random, SelectionTexts &texts, CoreSubsetObserver &observer,
                                           UserInterface &ui)
{
    const CoreSubsetSearch::Preparation prepared =
        CoreSubsetSearch::prepare(data, start, fixed, settings, evaluator, texts, ui);
    CoreSubsetOutcome outcome;
    if (prepared.sizeAccepted) {
        texts.Memo2.push_back(std::string("Criterion used: ") + diversityCriterionText(settings.criterion));
        IterativeSearch search(data, start, fixed, settings, evaluator, random, texts, observer);
        outcome = search.run(prepared.reference, prepared.startCount);
    }
    outcome.maxiter = settings.maxiter;
    outcome.chartValueTitle = diversityCriterionText(settings.criterion);
    outcome.chartStepTitle = "iter steps";
    return outcome;
}

} // namespace rvk
