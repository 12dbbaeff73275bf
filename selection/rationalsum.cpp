#include "selection/rationalsum.h"

#include <algorithm>
#include <cmath>

namespace rvk {

namespace {

// A double-double accumulator: hi + lo holds the sum to about 32 significant digits, far more
// than a double's rounding needs to come out as the exact sum's.
struct Accumulator
{
    double hi = 0.0, lo = 0.0;

    // w / d as the quotient and its exact remainder's share.
    void addFraction(std::int64_t w, int d)
    {
        const double numerator = static_cast<double>(w); // exact below 2^53
        const double quotient = numerator / d;
        const double remainder = std::fma(-quotient, static_cast<double>(d), numerator);
        const double sum = hi + quotient;
        const double back = sum - hi;
        lo += (hi - (sum - back)) + (quotient - back) + remainder / d;
        hi = sum;
    }
    double value() const { return hi + lo; }
};

} // namespace

void RationalSum::clear() { std::fill(mNumerators.begin(), mNumerators.end(), 0); }

void RationalSum::add(std::int64_t w, int d)
{
    if (static_cast<size_t>(d) >= mNumerators.size())
        mNumerators.resize(static_cast<size_t>(d) + 1, 0);
    mNumerators[static_cast<size_t>(d)] += w;
}

void RationalSum::addAll(const RationalSum &other, int sign)
{
    if (other.mNumerators.size() > mNumerators.size())
        mNumerators.resize(other.mNumerators.size(), 0);
    for (size_t d = 1; d < other.mNumerators.size(); ++d)
        mNumerators[d] += sign * other.mNumerators[d];
}

// Denominators are taken in ascending order, so the rounding never depends on the order the
// terms came in.
double RationalSum::value() const
{
    Accumulator sum;
    for (size_t d = 1; d < mNumerators.size(); ++d)
        if (const std::int64_t w = mNumerators[d]; w != 0)
            sum.addFraction(w, static_cast<int>(d));
    return sum.value();
}

double RationalSum::valueWith(const RationalSum &delta) const
{
    Accumulator sum;
    const size_t size = std::max(mNumerators.size(), delta.mNumerators.size());
    for (size_t d = 1; d < size; ++d) {
        std::int64_t w = 0;
        if (d < mNumerators.size())
            w += mNumerators[d];
        if (d < delta.mNumerators.size())
            w += delta.mNumerators[d];
        if (w != 0)
            sum.addFraction(w, static_cast<int>(d));
    }
    return sum.value();
}

} // namespace rvk
