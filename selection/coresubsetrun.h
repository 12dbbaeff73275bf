#pragma once
// A core-subset search over the ticked individuals as one operation, without the page: the
// individuals to lock by name, the search with a given seed, the new ticks and the logs.

#include "selection/coresubsetsearch.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rvk {

class GenotypeData;
class UserInterface;

// Locks the named individuals into every subset and ticks them, as "Lock current selection"
// does; the first name no individual bears, empty when all are found.
std::string lockIndividualsNamed(GenotypeData &data, const std::vector<std::string> &names);

struct CoreSubsetRun
{
    CoreSubsetOutcome outcome;
    std::string report; // both logs, as "Save" writes them
};

// Searches from the ticked individuals with the locked ones fixed, and ticks the subset found.
CoreSubsetRun runCoreSubsetOfTicked(GenotypeData &data, const CoreSubsetSettings &settings, std::uint64_t seed, UserInterface &ui);

} // namespace rvk
