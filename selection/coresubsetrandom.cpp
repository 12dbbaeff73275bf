#include "selection/coresubsetrandom.h"

#include <chrono>

namespace rvk {

std::uint64_t CoreSubsetRandom::clockSeed()
{
    return static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

} // namespace rvk
