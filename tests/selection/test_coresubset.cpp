#include "selection/annealing.h"
#include "selection/coresubsetevaluator.h"
#include "selection/coresubsetrandom.h"
#include "selection/coresubsetsearch.h"
#include "selection/iterativeoptimisation.h"
#include "selectiontestdata.h"
#include "support/scripteduserinterface.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rvk::test {
namespace {

using Method = CoreSubsetSettings::Method;

int countLines(const std::vector<std::string> &lines, const std::string &prefix)
{
    return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                          [&](const std::string &line) { return line.rfind(prefix, 0) == 0; }));
}

bool hasLine(const std::vector<std::string> &lines, const std::string &line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// An evaluator whose value moves by a fixed amount with every swap, to drive the annealing's
// cooling schedule: +1 always improves, 0 leaves the value, -1e9 is never accepted.
class SteppingEvaluator : public SubsetEvaluator
{
public:
    explicit SteppingEvaluator(double stepChange) : mStep(stepChange) {}
    void assign(const Subset &subset) override { mValue = std::count(subset.begin(), subset.end(), 1); }
    void add(int) override {}
    void remove(int) override {}
    void swap(int, int) override { mValue += mStep; }
    double value() override { return mValue; }
    double valueWith(int) override { return mValue; }
    double valueWithout(int) override { return mValue; }
    double valueSwapped(int, int) override { return mValue + mStep; }

private:
    double mStep;
    double mValue = 0;
};

struct Search
{
    GenotypeData data;
    ScriptedUserInterface ui;
    SelectionTexts texts;
    CoreSubsetSettings settings;

    Subset ticked() const { return Subset(data.Ticked.begin(), data.Ticked.end()); }
    Subset locked() const { return Subset(data.Locked.begin(), data.Locked.end()); }

    CoreSubsetOutcome run(std::uint64_t seed = 1)
    {
        CoreSubsetRandom random(seed);
        CoreSubsetObserver observer;
        return runCoreSubsetSearch(data, ticked(), locked(), settings, random, texts, observer, ui);
    }
    CoreSubsetOutcome anneal(SubsetEvaluator &evaluator)
    {
        CoreSubsetRandom random(1);
        CoreSubsetObserver observer;
        return runSimulatedAnnealing(data, ticked(), locked(), settings, evaluator, random, texts, observer, ui);
    }
};

// Ten individuals on one locus, all ticked.
void tenIndividuals(GenotypeData &data)
{
    fillData(data, 10, {{"g", {{"m1", 0, "abhabhabha"}, {"m2", 10, "aabbhhaabb"}}}}, "f2",
             {"i0", "i1", "i2", "i3", "i4", "i5", "i6", "i7", "i8", "i9"});
}

TEST(Annealing, ScaleFactorByReferenceValue)
{
    const struct
    {
        double reference;
        double scale;
    } cases[] = {{0.5, 1}, {1, 1}, {5, 1}, {9.99, 1}, {10, 0.1}, {55, 0.1}, {99.9, 0.1}, {100, 0.01}, {999, 0.01},
                 {1000, 0.001}, {2.5e6, 0.001}, {0.05, 10},
                 // No logarithm for these: the scale stays 1 (the log says so).
                 {0, 1}, {-4, 1}};
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(Annealing::scaleFactor(c.reference), c.scale) << c.reference;
}

TEST(Annealing, CoolingFactorFromSArho)
{
    for (int rho = 1; rho <= 5; ++rho)
        EXPECT_DOUBLE_EQ(Annealing::coolingFactor(rho), 0.95) << rho;
    EXPECT_DOUBLE_EQ(Annealing::coolingFactor(6), 0.06);
    EXPECT_DOUBLE_EQ(Annealing::coolingFactor(90), 0.90);
    EXPECT_DOUBLE_EQ(Annealing::coolingFactor(99), 0.99);
}

// The cooling schedule, driven by evaluators of known behaviour.
TEST(Annealing, CyclesEndByTemperatureFlagsOrCycleLimit)
{
    const struct
    {
        const char *what;
        double stepChange;
        int SArho;
        int rounds;
        bool limitLine, equalLine, noImprovementLine;
    } cases[] = {
        // 0.90^88 < 0.0001: cycles 0..87, no iteration-limit line with corecycle 100.
        {"improving, rho 0.90", 1.0, 90, 88, false, false, false},
        // 0.95 needs 180 coolings: the cycle limit ends it after cycle 100.
        {"improving, rho 0.95", 1.0, 95, 101, true, false, false},
        {"improving, SArho 3 cools by 0.95", 1.0, 3, 101, true, false, false},
        // Below 0.5 (after 7 coolings) a cycle of value-neutral swaps ends the search.
        {"equal values", 0.0, 90, 7, false, true, false},
        // Nothing accepted: both lines.
        {"never accepted", -1e9, 90, 7, false, true, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Search s;
        tenIndividuals(s.data);
        s.settings.subpopsize = 3;
        s.settings.SArho = c.SArho;
        SteppingEvaluator evaluator(c.stepChange);
        const CoreSubsetOutcome outcome = s.anneal(evaluator);
        const auto &memo2 = s.texts.Memo2;
        EXPECT_TRUE(hasLine(memo2, std::to_string(c.rounds) + " rounds of iteration"));
        EXPECT_EQ(countLines(memo2, "cycle: "), c.rounds);
        EXPECT_EQ(countLines(memo2, "cycle: " + std::to_string(c.rounds - 1) + " - annealing temp: "), 1);
        EXPECT_EQ(hasLine(memo2, "final criterion: max allowed no of iterations reached"), c.limitLine);
        EXPECT_EQ(hasLine(memo2, "final criterion: swapping genotypes repeatedly resulted in equally good sets"), c.equalLine);
        EXPECT_EQ(hasLine(memo2, "final criterion: no further improvment by swapping genotypes"), c.noImprovementLine);
        EXPECT_EQ(outcome.maxiter, 100); // the default 50 steps are raised to 100
        EXPECT_EQ(CoreSubsetSearch::memberCount(outcome.subset), 3);
    }
}

TEST(Annealing, TemperatureLinesAndStepLogs)
{
    Search s;
    tenIndividuals(s.data);
    s.settings.subpopsize = 3;
    SteppingEvaluator evaluator(1.0);
    s.anneal(evaluator);
    const auto &memo2 = s.texts.Memo2;
    EXPECT_TRUE(hasLine(memo2, "cycle: 0 - annealing temp: 1.000"));
    EXPECT_TRUE(hasLine(memo2, "cycle: 1 - annealing temp: 0.900"));
    EXPECT_TRUE(hasLine(memo2, "cycle: 7 - annealing temp: 0.478"));
    EXPECT_EQ(memo2[4], "cycle: 0 - annealing temp: 1.000");
    EXPECT_EQ(memo2[5], "=====================================================");
    // First set of three (value 3 from the evaluator), the first improving step to 4.
    EXPECT_EQ(memo2[0], "Criterion used: Max (Diversity Sum)");
    EXPECT_EQ(memo2[1], "first set: 3.00");
    EXPECT_EQ(countLines(memo2, "step down: 0 - 1  "), 1);
    const auto step = std::find_if(memo2.begin(), memo2.end(), [](const std::string &l) { return l.rfind("step down: 0 - 1  ", 0) == 0; });
    ASSERT_NE(step, memo2.end());
    EXPECT_NE(step->find(" replaced with "), std::string::npos);
    EXPECT_EQ(step->substr(step->size() - 17), " = 4.00  (D=1.00)");
}

TEST(CoreSubset, SizeWarningLeavesTicksAndTurnsFilteringOn)
{
    for (Method method : {Method::Annealing, Method::Iterative}) {
        for (int m : {10, 12, 1}) {
            Search s;
            tenIndividuals(s.data);
            s.data.Locked[0] = s.data.Locked[1] = 1; // F = 2
            s.settings.method = method;
            s.settings.subpopsize = m; // M >= N, or M < F
            const CoreSubsetOutcome outcome = s.run();
            EXPECT_FALSE(outcome.searched);
            EXPECT_EQ(s.ui.texts(), std::vector<std::string>{CoreSubsetSizeWarning});
            EXPECT_EQ(s.texts.Memo1.back(), "Goal: subset of size M= " + std::to_string(m));
            EXPECT_TRUE(s.texts.Memo2.empty());
            applyCoreSubsetOutcome(s.data, outcome, s.texts);
            EXPECT_EQ(std::count(s.data.Ticked.begin(), s.data.Ticked.end(), 1), 10);
            EXPECT_TRUE(s.data.Selectionyesno);
        }
    }
}

// A member with a 'b' where every ticked individual has an 'a' makes the best subset by
// "Max (# of alleles)"; the annealing may swap it in although it is not ticked.
TEST(Annealing, UntickedIndividualEntersBySwap)
{
    Search s;
    fillData(s.data, 7, {{"g", {{"m1", 0, "aaaaaab"}, {"m2", 5, "aaaaaab"}}}}, "f2", {"t0", "t1", "t2", "t3", "t4", "t5", "u6"});
    s.data.Ticked[6] = 0;
    s.settings.subpopsize = 3;
    s.settings.criterion = DiversityCriterion::AlleleCount;
    const CoreSubsetOutcome outcome = s.run(5);
    ASSERT_TRUE(outcome.searched);
    EXPECT_TRUE(outcome.subset[6]);
    EXPECT_DOUBLE_EQ(outcome.value, 4.0);
    applyCoreSubsetOutcome(s.data, outcome, s.texts);
    EXPECT_TRUE(s.data.Ticked[6]);
    EXPECT_EQ(s.data.SelectedIndices.size(), 3u);
    EXPECT_EQ(s.texts.statusText, "Selection active; [3 selected]");
}

// Locked members: in the subset, never swapped out, marked " [F]" in the final lines.
TEST(Annealing, FixedMembersStayAndAreMarked)
{
    Search s;
    tenIndividuals(s.data);
    s.data.Locked[2] = 1;
    s.settings.subpopsize = 4;
    const CoreSubsetOutcome outcome = s.run(9);
    ASSERT_TRUE(outcome.searched);
    EXPECT_TRUE(outcome.subset[2]);
    const auto &memo2 = s.texts.Memo2;
    const auto finalSet = std::find(memo2.begin(), memo2.end(), "Final set: ");
    ASSERT_NE(finalSet, memo2.end());
    EXPECT_NE((finalSet + 1)->find(" [F]i2"), std::string::npos);
    const auto withValue = std::find_if(memo2.begin(), memo2.end(), [](const std::string &l) { return l.rfind("Final set with value: ", 0) == 0; });
    ASSERT_NE(withValue, memo2.end());
    EXPECT_NE((withValue + 1)->find(" i2"), std::string::npos);
    EXPECT_EQ((withValue + 1)->find("[F]"), std::string::npos);
    for (const std::string &line : memo2)
        EXPECT_EQ(line.find("i2 replaced with"), std::string::npos) << line;
}

// Every member fixed (M = F): no swap exists, so each cycle ends at once and says why, and the
// search still comes to an end with the fixed set.
TEST(Annealing, EveryMemberFixedEndsTheCycles)
{
    Search s;
    tenIndividuals(s.data);
    s.data.Locked[0] = s.data.Locked[1] = 1;
    s.settings.subpopsize = 2;
    const CoreSubsetOutcome outcome = s.run();
    ASSERT_TRUE(outcome.searched);
    EXPECT_EQ(outcome.subset, (Subset{1, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(countLines(s.texts.Memo2, "cycle ended: every member of the subset is fixed"), 1);
    EXPECT_TRUE(hasLine(s.texts.Memo2, "1 rounds of iteration"));
}

TEST(Annealing, ReferenceValueOfZeroIsNotScaled)
{
    Search s;
    fillData(s.data, 4, {{"g", {{"m1", 0, "----"}}}});
    s.settings.subpopsize = 2;
    s.run();
    EXPECT_TRUE(hasLine(s.texts.Memo1, "note: the start set has no diversity (value 0.00), so value differences are not scaled"));
}

// Individuals are drawn with equal odds: the last one is not favoured.
TEST(CoreSubsetRandom, DrawsEveryIndividualEquallyOften)
{
    CoreSubsetRandom random(17);
    std::vector<int> hits(5);
    const int draws = 100000;
    for (int k = 0; k < draws; ++k)
        ++hits[static_cast<size_t>(random.below(5))];
    for (int h : hits)
        EXPECT_NEAR(h / double(draws), 0.2, 0.01);
    for (int k = 0; k < 1000; ++k) {
        const double u = random.uniform();
        ASSERT_TRUE(u >= 0 && u < 1);
    }
}

// Every criterion through both searches, on data with missing codes (which "Max (UniRec)"
// resolves at random): one seed, one search.
TEST(CoreSubset, SameSeedSameSearch)
{
    for (Method method : {Method::Annealing, Method::Iterative}) {
        for (int criterion = 0; criterion < DiversityCriterionCount; ++criterion) {
            SCOPED_TRACE(criterion);
            Search a, b;
            for (Search *s : {&a, &b}) {
                fillData(s->data, 10, {{"g", {{"m1", 0, "abhab-abha"}, {"m2", 10, "aab-hhaabb"}, {"m3", 20, "babbh.aab-"}}}},
                         "f2", {"i0", "i1", "i2", "i3", "i4", "i5", "i6", "i7", "i8", "i9"});
                s->settings.method = method;
                s->settings.criterion = static_cast<DiversityCriterion>(criterion);
                s->settings.subpopsize = 4;
            }
            const CoreSubsetOutcome x = a.run(42);
            const CoreSubsetOutcome y = b.run(42);
            ASSERT_TRUE(x.searched);
            EXPECT_EQ(CoreSubsetSearch::memberCount(x.subset), 4);
            EXPECT_EQ(x.subset, y.subset);
            EXPECT_EQ(a.texts.Memo1, b.texts.Memo1);
            EXPECT_EQ(a.texts.Memo2, b.texts.Memo2);
        }
    }
}

class StopAfter : public CoreSubsetObserver
{
public:
    explicit StopAfter(int polls) : mLeft(polls) {}
    bool poll() override { return --mLeft < 0; }

private:
    int mLeft;
};

TEST(CoreSubset, CancelKeepsBestSubsetFound)
{
    for (Method method : {Method::Annealing, Method::Iterative}) {
        Search s;
        tenIndividuals(s.data);
        s.settings.method = method;
        s.settings.subpopsize = 4;
        s.settings.iterrepeat = 0;
        CoreSubsetRandom random(3);
        StopAfter observer(5);
        const CoreSubsetOutcome outcome =
            runCoreSubsetSearch(s.data, s.ticked(), s.locked(), s.settings, random, s.texts, observer, s.ui);
        EXPECT_TRUE(outcome.cancelled);
        EXPECT_EQ(CoreSubsetSearch::memberCount(outcome.subset), 4);
        EXPECT_TRUE(hasLine(s.texts.Memo2, CoreSubsetCancelledLine));
        EXPECT_TRUE(hasLine(s.texts.Memo1, CoreSubsetCancelledLine));
    }
}

// Two locked individuals and M = 2: every run starts from the fixed set, only an addition
// followed by a removal could change it, and none can. Every run ends on the same subset, so the
// 20th hit ends the runs; the percentages still divide by the 100 runs asked for.
TEST(IterativeOptimisation, LogsOfFixedStartAndRepeatLimit)
{
    Search s;
    fillData(s.data, 4, {{"g", {{"m1", 0, "aabh"}}}}, "f2", {"A", "B", "C", "D"});
    s.data.Locked[0] = s.data.Locked[1] = 1;
    s.settings.method = Method::Iterative;
    s.settings.criterion = DiversityCriterion::AlleleCount;
    s.settings.subpopsize = 2;
    const CoreSubsetOutcome outcome = s.run();
    ASSERT_TRUE(outcome.searched);
    const std::vector<std::string> memo1Start = {
        "Criterion used for subset selection : Max (# of alleles)",
        "Subset selection started with set of size: 4",
        " A B C D",
        "Estimated diversity value for this start set: 3.00",
        "out of these genotypes 2 were fixed (so always included)",
        " A B",
        "Goal: subset of size M= 2",
    };
    const std::vector<std::string> memo2Start = {
        "Criterion used: Max (# of alleles)",
        "cycle: 1 - iteration : 1",
        "=====================================================",
        "current set =>  A B    1.00",
        "",
        "Removing individuals did not improve stat",
        "current set =>  A B    1.00",
        "try adding, then removing..",
        "with C added: 2.00",
        "Best set of size (M+1) sofar with C added = 2",
        "no improvement by first adding, then removing genotypes",
        "",
        "cycle: 1 - iteration : 2",
        "=====================================================",
        "current set =>  A B    1.00",
        "",
        "Removing individuals did not improve stat",
        "current set =>  A B    1.00",
        "try adding, then removing..",
        "",
        "Final set round 1 : ",
        "  1.00   [F]A [F]B",
        "",
        "3 rounds of iteration",
        "final criterion: no further improvement by adding or removing genotypes",
        "",
        "cycle: 2 - iteration : 1",
    };
    const auto &memo1 = s.texts.Memo1;
    const auto &memo2 = s.texts.Memo2;
    ASSERT_GE(memo1.size(), memo1Start.size());
    EXPECT_EQ(std::vector<std::string>(memo1.begin(), memo1.begin() + static_cast<long>(memo1Start.size())), memo1Start);
    ASSERT_GE(memo2.size(), memo2Start.size());
    EXPECT_EQ(std::vector<std::string>(memo2.begin(), memo2.begin() + static_cast<long>(memo2Start.size())), memo2Start);

    // The 20th final subset ends the runs before its closing lines.
    EXPECT_EQ(countLines(memo2, "Final set round "), 20);
    EXPECT_EQ(countLines(memo2, "3 rounds of iteration"), 19);
    const std::vector<std::string> memo2End = {"Final set round 20 : ", "  1.00   [F]A [F]B", "", "best set with value: 1.00  [20.0%]",
                                               " [F]A [F]B"};
    EXPECT_EQ(std::vector<std::string>(memo2.end() - 5, memo2.end()), memo2End);
    const std::vector<std::string> memo1End = {
        "",
        "average over 100 replicates ",
        "A : 20",
        "B : 20",
        "",
        "cycle results summary: ",
        "  1.00  [20.0%] :  [F]A [F]B",
        "Ratio subset (M=2) / startset (N=4) :opt=1.00 | start=3.00  Ratio=0.33",
        "",
        "best set with value: 1.00  [20.0%]",
        " [F]A [F]B",
        "Ratio subset (M=2) / startset (N=4) :opt=1.00 | start=3.00  Ratio=0.33",
    };
    ASSERT_GE(memo1.size(), memo1Start.size() + memo1End.size());
    EXPECT_EQ(std::vector<std::string>(memo1.end() - static_cast<long>(memo1End.size()), memo1.end()), memo1End);
    // The 19th hit of the best subset was the last one counted.
    EXPECT_EQ(outcome.statusText, "Opt. val: 1.0 [n=19]");
    EXPECT_EQ(outcome.subset, (Subset{1, 1, 0, 0}));
}

// Removal then addition: from a random start the runs climb to the subset with every code.
TEST(IterativeOptimisation, FindsTheMostDiverseSubset)
{
    Search s;
    // Individuals 0..2 carry all of a, b, h at both loci between them; the rest repeat "a".
    fillData(s.data, 8, {{"g", {{"m1", 0, "abhaaaaa"}, {"m2", 5, "hbaaaaaa"}}}}, "f2",
             {"x0", "x1", "x2", "y3", "y4", "y5", "y6", "y7"});
    s.settings.method = Method::Iterative;
    s.settings.criterion = DiversityCriterion::AlleleCount;
    s.settings.subpopsize = 3;
    s.settings.corecycle = 10;
    const CoreSubsetOutcome outcome = s.run(7);
    ASSERT_TRUE(outcome.searched);
    EXPECT_EQ(outcome.subset, (Subset{1, 1, 1, 0, 0, 0, 0, 0}));
    EXPECT_DOUBLE_EQ(outcome.value, 6.0);
    EXPECT_GE(countLines(s.texts.Memo2, "Best set of size (M-1) sofar with "), 1);
    EXPECT_GE(countLines(s.texts.Memo2, "Best set sofar of size M with "), 1);
    EXPECT_FALSE(outcome.chart.empty());
    EXPECT_EQ(outcome.chartStepTitle, "iter steps");
    EXPECT_EQ(s.texts.Memo2.back(), " x0 x1 x2");
}

// A criterion that sums fixed weights of the members: A 1, B 2, C 4.
class WeightEvaluator : public SubsetEvaluator
{
public:
    void assign(const Subset &subset) override { mMembers = subset; }
    void add(int i) override { mMembers[static_cast<size_t>(i)] = 1; }
    void remove(int i) override { mMembers[static_cast<size_t>(i)] = 0; }
    double value() override
    {
        double sum = 0;
        for (size_t i = 0; i < mMembers.size(); ++i)
            sum += mMembers[i] ? Weights[i] : 0;
        return sum;
    }
    double valueWith(int i) override { return value() + (mMembers[static_cast<size_t>(i)] ? 0 : Weights[i]); }
    double valueWithout(int i) override { return value() - (mMembers[static_cast<size_t>(i)] ? Weights[i] : 0); }
    double valueSwapped(int out, int in) override { return valueWithout(out) + Weights[in]; }

private:
    static constexpr double Weights[] = {1, 2, 4};
    Subset mMembers;
};

// The removal road of an iteration, worked by hand for the start {A, B} (value 3, D = 7):
// taking out A leaves 2 (the best one-smaller set), then adding C gives 6; the next iteration's
// best removal (B, 4) finds no better addition, so B comes back and the run ends.
TEST(IterativeOptimisation, LogsOfRemovalThenAddition)
{
    const std::vector<std::string> expected = {
        "cycle: 1 - iteration : 1",
        "=====================================================",
        "current set =>  A B    3.00",
        "with A removed: 2.00",
        "",
        "Best set of size (M-1) sofar with A removed = 2",
        "current set (M-1) =>  B",
        "",
        "with A added: 3.00",
        "with C added: 6.00",
        "Best set sofar of size M with C added = 6",
        "",
        "cycle: 1 - iteration : 2",
        "=====================================================",
        "current set =>  B C    6.00",
        "with B removed: 4.00",
        "",
        "Best set of size (M-1) sofar with B removed = 4",
        "current set (M-1) =>  C",
        "",
        "addition of genotypes did not improve on previous results",
        "",
        "Final set round 1 : ",
        "  6.00   B C",
        "",
        "3 rounds of iteration",
        "final criterion: no further improvement by adding or removing genotypes",
        "",
        "",
        "best set with value: 6.00  [100.0%]",
        " B C",
    };
    // The random start differs by seed; the first seed that starts from {A, B} is worked through.
    for (std::uint64_t seed = 1; seed < 100; ++seed) {
        Search s;
        fillData(s.data, 3, {{"g", {{"m1", 0, "abh"}}}}, "f2", {"A", "B", "C"});
        s.settings.method = Method::Iterative;
        s.settings.subpopsize = 2;
        s.settings.corecycle = 1;
        WeightEvaluator evaluator;
        CoreSubsetRandom random(seed);
        CoreSubsetObserver observer;
        const CoreSubsetOutcome outcome =
            runIterativeOptimisation(s.data, s.ticked(), s.locked(), s.settings, evaluator, random, s.texts, observer, s.ui);
        if (s.texts.Memo2.size() < 4 || s.texts.Memo2[3] != "current set =>  A B    3.00")
            continue;
        EXPECT_EQ(std::vector<std::string>(s.texts.Memo2.begin() + 1, s.texts.Memo2.end()), expected);
        EXPECT_EQ(outcome.subset, (Subset{0, 1, 1}));
        ASSERT_EQ(outcome.chart.size(), 1u);
        EXPECT_EQ(outcome.chart[0].step, 1);
        EXPECT_EQ(outcome.chart[0].value, 6.0);
        EXPECT_TRUE(hasLine(s.texts.Memo1, "Ratio subset (M=2) / startset (N=3) :opt=6.00 | start=7.00  Ratio=0.86"));
        EXPECT_TRUE(hasLine(s.texts.Memo1, "  6.00  [100.0%] :  B C"));
        return;
    }
    FAIL() << "no seed started from {A, B}";
}

} // namespace
} // namespace rvk::test
