#pragma once
// Simulated annealing of a core subset: one random start subset, then cooling cycles of random
// one-for-one swaps accepted by the Metropolis rule at the cycle's temperature.

#include "selection/coresubsetsearch.h"

#include <string>

namespace rvk {

namespace Annealing {

// The cooling factor: SArho / 100 for 5 < SArho < 100, otherwise 0.95.
double coolingFactor(int SArho);
// The scale of the value differences: 10^-t with t = log10(D) truncated towards zero, at least
// 0.001. A reference value of 0 or less has no logarithm; the scale is then 1.
double scaleFactor(double referenceValue);

// The state of the last cycle that decides whether another follows.
struct CycleEnd
{
    double temperature;  // after cooling
    bool accepted;       // a swap was accepted
    bool up;             // an accepted swap lowered the value
    bool down;           // an accepted swap raised it
    int cycles;          // cycles run (the next cycle's number)
    int corecycle;
};
bool searchEnds(const CycleEnd &end);

} // namespace Annealing

CoreSubsetOutcome runSimulatedAnnealing(const GenotypeData &data, const Subset &start, const Subset &fixed,
                                        const CoreSubsetSettings &settings, SubsetEvaluator &evaluator,
                                        CoreSubsetRandom &random, SelectionTexts &texts, CoreSubsetObserver &observer,
                                        UserInterface &ui);

} // namespace rvk
