#pragma once
// The one pseudo-random generator of a core-subset search. The window seeds it from the clock at
// each search; the command line and the tests seed it themselves, so a seed gives the same search
// on every platform (the draws do not depend on the standard library's distributions).

#include <cstdint>
#include <random>

namespace rvk {

class CoreSubsetRandom
{
public:
    explicit CoreSubsetRandom(std::uint64_t seed = 1) : mEngine(seed) {}

    // A seed from the clock, as a search started in the window uses.
    static std::uint64_t clockSeed();

    void seed(std::uint64_t value) { mEngine.seed(value); }

    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(mEngine() >> 11) * 0x1.0p-53; }

    // Uniform over 0 .. count - 1 (count > 0), each value equally likely.
    int below(int count)
    {
        const std::uint64_t range = static_cast<std::uint64_t>(count);
        // Rejects the top of the engine's range that would favour small values.
        const std::uint64_t limit = UINT64_MAX - UINT64_MAX % range;
        std::uint64_t draw;
        do
            draw = mEngine();
        while (draw >= limit);
        return static_cast<int>(draw % range);
    }

private:
    std::mt19937_64 mEngine;
};

} // namespace rvk
