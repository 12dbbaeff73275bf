#pragma once
// A sum of fractions w / d with whole numerators and small whole denominators (the allele
// criteria: n / c for "Max (Diversity Sum)", present / (A + 1) for "Max (Garza-Williamson
// index)", whole counts for "Max (# of alleles)"). The numerators are kept per denominator, so the
// sum is exact whatever order the terms came in, and its value is the exact sum rounded once to
// the nearest double: a subset whose formula gives 24 shows 24, and two subsets of equal value
// compare equal.

#include <cstdint>
#include <vector>

namespace rvk {

class RationalSum
{
public:
    void clear();
    // Adds w / d (d >= 1; w may be negative, to take a term back).
    void add(std::int64_t w, int d);
    // Adds every term of other, times sign.
    void addAll(const RationalSum &other, int sign);
    // The exact sum rounded to the nearest double.
    double value() const;
    // The same with the terms of delta added (delta is left as it was).
    double valueWith(const RationalSum &delta) const;

private:
    std::vector<std::int64_t> mNumerators; // by denominator (a few hundred at most)
};

} // namespace rvk
