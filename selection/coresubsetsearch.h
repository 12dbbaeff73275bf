#pragma once
// "Select core set of size:": a subset of M individuals out of the ticked ones, as diverse as
// possible by one of the diversity criteria, found by iterative optimisation or by simulated
// annealing. The search reads the ticks and locks, writes its logs into the selection page's
// texts and returns the subset to tick; the window and the command line apply it alike.

#include "selection/diversitycriteria.h"
#include "selection/selectiontexts.h"

#include <string>
#include <vector>

namespace rvk {

class CoreSubsetRandom;
class GenotypeData;
class SubsetEvaluator;
class UserInterface;

struct CoreSubsetSettings
{
    enum class Method { Annealing, Iterative };
    static constexpr int SubsetSizeDefault = 20;

    Method method = Method::Annealing;            // "Simulated annealing" is chosen initially
    int subpopsize = SubsetSizeDefault;           // M
    DiversityCriterion criterion = DiversityCriterion::DiversitySum;
    int corecycle = 100;                          // runs, or the largest cycle number
    int maxiter = 50;                             // iterations per run, or swap steps per cycle
    int iterrepeat = 20;                          // hits of one subset that end the runs (0: never)
    int SArho = 90;                               // cooling parameter, %
};

// Ranges of the page's spin edits.
struct CoreSubsetRanges
{
    static constexpr int CycleMin = 1, CycleMax = 10000;
    static constexpr int IterationMin = 1, IterationMax = 1000;
    static constexpr int AnnealingStepsMin = 100; // the annealing raises maxiter to this
};

// Hooks of a running search: progress, the status-bar text and a way out. poll() is called often
// (between evaluations in large scans, after every step and iteration); it lets a window process
// its events and returns true once the user asked to stop.
class CoreSubsetObserver
{
public:
    virtual ~CoreSubsetObserver() = default;
    virtual void progress(long long position, long long maximum) { (void)position, (void)maximum; }
    virtual void statusText(const std::string &text) { (void)text; }
    // The subset the search stands on now (after each iteration or cycle), for the ticks to follow.
    virtual void subsetChanged(const Subset &subset) { (void)subset; }
    virtual bool poll() { return false; }
};

// One point of the convergence chart: the step counter and the value reached.
struct ConvergencePoint
{
    int step;
    double value;
};

struct CoreSubsetOutcome
{
    bool searched = false;   // false after the size warning: nothing to tick
    bool cancelled = false;  // the user stopped the search; subset is the best found until then
    Subset subset;           // the subset to tick when searched; empty when none beat the bound of 0
    double value = 0.0;
    std::string statusText;  // second status-bar panel: "Opt. val: ..."
    int maxiter = 0;         // the value the iterations/steps field shows afterwards
    std::vector<ConvergencePoint> chart;
    std::string chartValueTitle; // left axis: the criterion's text
    std::string chartStepTitle;  // bottom axis: "iter steps" or "SA steps"
};

constexpr const char *CoreSubsetSizeWarning =
    "requested subset larger than set already selected or Fixed subset larger than requested subset, please adjust first";
// The end of an iterative search whose every run ended at a value of 0.
constexpr const char *CoreSubsetNoneFoundLine = "no subset with a diversity value above 0 was found; the selection is unchanged";
constexpr const char *CoreSubsetCancelledLine = "search cancelled by the user; the best subset found so far is selected";

// The texts of the page's controls.
namespace CoreSubsetCaptions {
constexpr const char *SelectButton = "Select core set of size:";
constexpr const char *Iterative = "Iterative optimization";
constexpr const char *Annealing = "Simulated annealing";
constexpr const char *Cycles = "selection cycles:";
constexpr const char *CyclesHint = "number of runs (each start with a random subset and interatively improves on that)";
constexpr const char *Iterations = "iterations/cycle:";
constexpr const char *IterationsHint = "max number of iterations per run";
constexpr const char *ChartButton = "show convergenge chart";
} // namespace CoreSubsetCaptions

// The search as the button runs it. start: the ticked individuals; fixed: the locked ones (in
// every subset, never taken out). The logs replace texts.Memo1 and texts.Memo2; the size warning
// goes to ui. random is the one generator of the search (seeded by the caller).
CoreSubsetOutcome runCoreSubsetSearch(const GenotypeData &data, const Subset &start, const Subset &fixed,
                                      const CoreSubsetSettings &settings, CoreSubsetRandom &random, SelectionTexts &texts,
                                      CoreSubsetObserver &observer, UserInterface &ui);

// Whether a subset of the requested size can be searched: M > 0, M < N (ticked individuals with
// a name) and M >= F (fixed ones). The window asks before it opens its progress window, so the
// warning that ends the command stands alone and the logs of the last search stay.
bool coreSubsetSizeAccepted(const GenotypeData &data, const Subset &start, const Subset &fixed, int subpopsize);

// The ticks become the subset found (when there is one) and selection filtering is turned on,
// after the warning as well.
void applyCoreSubsetOutcome(GenotypeData &data, const CoreSubsetOutcome &outcome, SelectionTexts &texts);

// Pieces shared by both methods, on the search's own evaluator.
namespace CoreSubsetSearch {

// Member names, each preceded by a blank; with markFixed a fixed member gets " [F]" instead.
std::string namesText(const GenotypeData &data, const Subset &subset, const Subset *fixed = nullptr);
// The start set's reference value: the mean of ten evaluations.
double referenceValue(SubsetEvaluator &evaluator, const Subset &start);
// "Ratio subset (M=..) / startset (N=..) :opt=.. | start=..  Ratio=..".
std::string ratioLine(int m, int n, double best, double start);
int memberCount(const Subset &subset);

// The opening of both searches: both texts cleared, the criterion, the start set, its reference
// value D, the fixed set and the goal logged; the size checked (the warning when M >= N or
// M < F).
struct Preparation
{
    int startCount = 0;  // N
    int fixedCount = 0;  // F
    double reference = 0.0; // D
    bool sizeAccepted = false;
};
Preparation prepare(const GenotypeData &data, const Subset &start, const Subset &fixed, const CoreSubsetSettings &settings,
                    SubsetEvaluator &evaluator, SelectionTexts &texts, UserInterface &ui);

} // namespace CoreSubsetSearch

} // namespace rvk
