#pragma once
// What the breeding tools (backcross statistics, pedigree check, the comparison drawing) read
// from a genotype code.

namespace rvk {

// Codes that say nothing sure about the genotype: missing (U, u, "-", ".") and the dominant
// scores C ("not A") and D ("not B") in either case.
constexpr bool isUnknownBreedingCode(char c)
{
    return c == 'U' || c == 'u' || c == '-' || c == '.' || c == 'C' || c == 'D' || c == 'c' || c == 'd';
}
constexpr bool isHeterozygousBreedingCode(char c) { return c == 'H' || c == 'h'; }
constexpr bool isKnownHomozygousCode(char c) { return !isUnknownBreedingCode(c) && !isHeterozygousBreedingCode(c); }

} // namespace rvk
