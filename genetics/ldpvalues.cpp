#include "genetics/ldpvalues.h"

#include "stats/distributions.h"

#include <algorithm>
#include <cmath>

namespace rvk {

struct LdPValueCache::Table
{
    double a = 0.0;             // df / 2
    int intervals = 1024;
    // P at the last knot is already below what a double holds: so is every P beyond it (P falls
    // as |R| grows), and the exact evaluation there is not needed.
    bool zeroBeyond = false;
    // From this position (|R| times intervals) on, P is far below what a double holds (ln P at
    // the knot is under ExpArgMin by more than any interpolation error), so it is 0 at once.
    double zeroFrom = 1e300;
    // h and dh/du at u = k / intervals, k = 0 .. intervals - 1, side by side: an interpolation
    // reads both ends of its interval from one or two cache lines.
    struct Knot
    {
        double h, dh;
    };
    std::vector<Knot> knots;
};

int LdPValueCache::intervals(int df) { return std::max(1024, static_cast<int>(64.0 * std::sqrt(static_cast<double>(df)))); }

LdPValueCache::LdPValueCache(int tableAfter) : mTableAfter(tableAfter) {}

LdPValueCache::~LdPValueCache() = default;

LdPValueCache &LdPValueCache::shared()
{
    // Analyses run one at a time on the window's thread.
    static LdPValueCache cache;
    return cache;
}

namespace {

double exactP(int df, double r)
{
    const double t = r * std::sqrt(df / (1.0 - r * r));
    return TwoTailedTProb(df, t);
}

} // namespace

const LdPValueCache::Table *LdPValueCache::table(int df)
{
    if (static_cast<size_t>(df) >= mUses.size()) {
        mUses.resize(static_cast<size_t>(df) + 1, 0);
        mTables.resize(static_cast<size_t>(df) + 1);
    }
    if (mTables[static_cast<size_t>(df)])
        return mTables[static_cast<size_t>(df)].get();
    if (++mUses[static_cast<size_t>(df)] < mTableAfter)
        return nullptr;
    auto table = std::make_unique<Table>();
    const double a = df / 2.0;
    table->a = a;
    const int n = intervals(df);
    table->intervals = n;
    table->knots.resize(static_cast<size_t>(n));
    const double lnBeta = LnGamma(a) + LnGamma(0.5) - LnGamma(a + 0.5);
    for (int k = 0; k < n; ++k) {
        const double u = static_cast<double>(k) / n;
        const double x = 1.0 - u * u;
        const double lnP = LnIncompleteBeta(a, 0.5, x);
        // d ln P / du = P'/P with P' = -2 x^(a-1) / B(a, 1/2).
        const double slope = -2.0 * std::exp((a - 1.0) * std::log(x) - lnBeta - lnP);
        table->knots[static_cast<size_t>(k)] = {lnP - a * std::log(x), slope + 2.0 * a * u / x};
        if (k == n - 1)
            table->zeroBeyond = lnP < ExpArgMin;
        if (lnP < ExpArgMin - 16.0 && table->zeroFrom > k)
            table->zeroFrom = k;
    }
    mTables[static_cast<size_t>(df)] = std::move(table);
    return mTables[static_cast<size_t>(df)].get();
}

void LdPValueCache::prefetch(int df, double r) const
{
    if (df < 1 || static_cast<size_t>(df) >= mTables.size() || !mTables[static_cast<size_t>(df)])
        return;
    const Table &t = *mTables[static_cast<size_t>(df)];
    const double position = r * t.intervals;
    if (position >= 0.0 && position < t.intervals - 1) {
        const Table::Knot *knot = t.knots.data() + static_cast<int>(position);
        __builtin_prefetch(knot);
        __builtin_prefetch(knot + 1);
    }
}

double LdPValueCache::twoTailed(int df, double r, double *minusLog10P)
{
    if (df < 1)
        return 0.0;
    const Table *t = table(df);
    const double position = t ? r * t->intervals : 0.0;
    if (t && (position >= t->zeroFrom || (t->zeroBeyond && position >= t->intervals - 1)))
        return 0.0;
    if (!t || position >= t->intervals - 1) {
        const double p = exactP(df, r);
        if (minusLog10P && p > 0.0)
            *minusLog10P = -std::log10(p);
        return p;
    }
    const int k = static_cast<int>(position);
    const double s = position - k;
    const double step = 1.0 / t->intervals;
    const Table::Knot &first = t->knots[static_cast<size_t>(k)], &second = t->knots[static_cast<size_t>(k) + 1];
    const double h0 = first.h, h1 = second.h;
    const double m0 = first.dh * step, m1 = second.dh * step;
    const double s2 = s * s, s3 = s2 * s;
    const double h = (2 * s3 - 3 * s2 + 1) * h0 + (s3 - 2 * s2 + s) * m0 + (-2 * s3 + 3 * s2) * h1 + (s3 - s2) * m1;
    const double lnP = h + t->a * std::log1p(-r * r);
    // The exact evaluation gives 0 below this as well.
    if (lnP < ExpArgMin)
        return 0.0;
    if (minusLog10P)
        *minusLog10P = -lnP * 0.43429448190325182765; // 1 / ln 10
    return std::exp(lnP);
}

} // namespace rvk
