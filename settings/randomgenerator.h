#pragma once

#include <cstdint>

namespace rvk {

// The program's one pseudo-random generator: a 32-bit linear congruential generator
// (seed = seed * 134775813 + 1, modulo 2^32) starting from seed 0. It is deliberately not seeded
// at start-up, so a fresh installation always gets the same default allele colours and hatches;
// the core-subset searches seed it from the clock before they run.
class ProgramRandom
{
public:
    explicit ProgramRandom(std::uint32_t seed = 0) : mSeed(seed) {}

    // The instance the whole program shares.
    static ProgramRandom &global();

    void seed(std::uint32_t value) { mSeed = value; }
    std::uint32_t state() const { return mSeed; }

    // A whole number in 0 .. range - 1 (0 for a range below 1).
    int next(int range)
    {
        advance();
        if (range <= 0)
            return 0;
        return static_cast<int>((static_cast<std::uint64_t>(mSeed) * static_cast<std::uint32_t>(range)) >> 32);
    }
    // A real number in [0, 1).
    double nextReal()
    {
        advance();
        return static_cast<double>(mSeed) / 4294967296.0;
    }

private:
    void advance() { mSeed = mSeed * 134775813u + 1u; }

    std::uint32_t mSeed;
};

} // namespace rvk
