#pragma once
// What a QTL mapping run reports in words: the summary of the run and of the QTL intervals it
// wrote into the data set.

#include <string>

namespace rvk {

class QtlAnalysis;
struct QtlIntervalWrite;

// The method and the positions scanned, per trait the individuals and the permutation
// thresholds, then each significant QTL with its support interval; a line each.
std::string qtlRunSummary(const QtlAnalysis &analysis);
// "N QTL intervals written", with the markers that kept the interval they had.
std::string qtlIntervalsWrittenText(const QtlIntervalWrite &result);

} // namespace rvk
