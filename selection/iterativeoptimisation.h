#pragma once
// Iterative optimisation of a core subset: several runs, each from a random subset of size M,
// improved by taking out and putting in single individuals as long as the criterion improves.

#include "selection/coresubsetsearch.h"

namespace rvk {

// The runs on evaluator (which must count the criterion of settings). See runCoreSubsetSearch
// for the arguments.
CoreSubsetOutcome runIterativeOptimisation(const GenotypeData &data, const Subset &start, const Subset &fixed,
                                           const CoreSubsetSettings &settings, SubsetEvaluator &evaluator,
                                           CoreSubsetRandom &random, SelectionTexts &texts, CoreSubsetObserver &observer,
                                           UserInterface &ui);

} // namespace rvk
