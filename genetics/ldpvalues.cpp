#include "genetics/ldpvalues.h"

#include "stats/distributions.h"

#include <algorithm>
#include <cmath>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

namespace {

constexpr int Lanes = 8;
constexpr double InverseLn10 = 0.43429448190325182765;

// ln P = h + a ln(1 + y) and P = exp(ln P) of up to eight table lookups at once: with the
// library's 512-bit vector functions where the processor has them, else one by one.
void finishLanesPlain(const double *h, const double *a, const double *y, int count, double *lnP, double *p)
{
    for (int l = 0; l < count; ++l) {
        lnP[l] = h[l] + a[l] * std::log1p(y[l]);
        p[l] = std::exp(lnP[l]);
    }
}

#if defined(__x86_64__)
// The C library's vector functions (libmvec) for eight doubles in 512-bit registers.
extern "C" __attribute__((target("avx512f"))) __m512d _ZGVeN8v_log1p(__m512d);
extern "C" __attribute__((target("avx512f"))) __m512d _ZGVeN8v_exp(__m512d);

__attribute__((target("avx512f"))) RVK_SEPARATE_MULTIPLY_ADD void finishLanesWide(const double *h, const double *a,
                                                                                  const double *y, int count, double *lnP,
                                                                                  double *p)
{
    // Unused lanes compute ln(1 + 0) and exp(0).
    const __mmask8 used = static_cast<__mmask8>((1u << count) - 1);
    const __m512d logs = _ZGVeN8v_log1p(_mm512_maskz_loadu_pd(used, y));
    const __m512d ln = _mm512_add_pd(_mm512_maskz_loadu_pd(used, h), _mm512_mul_pd(_mm512_maskz_loadu_pd(used, a), logs));
    _mm512_mask_storeu_pd(lnP, used, ln);
    _mm512_mask_storeu_pd(p, used, _ZGVeN8v_exp(ln));
}
#endif

using FinishLanes = void (*)(const double *, const double *, const double *, int, double *, double *);

FinishLanes chooseFinishLanes()
{
#if defined(__x86_64__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f"))
        return &finishLanesWide;
#endif
    return &finishLanesPlain;
}

const FinishLanes finishLanes = chooseFinishLanes();

} // namespace

double LdPValueCache::twoTailed(int df, double r, double *minusLog10P)
{
    double p = 0.0, minusLog = 0.0;
    twoTailedMany(&df, &r, 1, &p, &minusLog);
    if (minusLog10P && p > 0.0)
        *minusLog10P = minusLog;
    return p;
}

void LdPValueCache::twoTailedMany(const int *df, const double *absR, int count, double *p, double *minusLog10P)
{
    // Lookups by table wait in lanes until eight are gathered; exact evaluations and zeros are
    // done at once. Tables are asked for in the order given (they are built by use).
    double h[Lanes], a[Lanes], y[Lanes], lnP[Lanes], lanesP[Lanes];
    int index[Lanes];
    int lanes = 0;
    auto flush = [&] {
        finishLanes(h, a, y, lanes, lnP, lanesP);
        for (int l = 0; l < lanes; ++l) {
            // The exact evaluation gives 0 below this as well.
            if (lnP[l] < ExpArgMin) {
                p[index[l]] = 0.0;
            } else {
                p[index[l]] = lanesP[l];
                minusLog10P[index[l]] = -lnP[l] * InverseLn10;
            }
        }
        lanes = 0;
    };
    constexpr int Ahead = 8; // lookups between a table entry's prefetch and its use
    for (int k = 0; k < count; ++k) {
        if (k + Ahead < count)
            prefetch(df[k + Ahead], absR[k + Ahead]);
        const int d = df[k];
        const double r = absR[k];
        p[k] = 0.0;
        if (d < 1)
            continue;
        const Table *t = table(d);
        const double position = t ? r * t->intervals : 0.0;
        if (t && (position >= t->zeroFrom || (t->zeroBeyond && position >= t->intervals - 1)))
            continue;
        if (!t || position >= t->intervals - 1) {
            p[k] = exactP(d, r);
            if (p[k] > 0.0)
                minusLog10P[k] = -std::log10(p[k]);
            continue;
        }
        const int knot = static_cast<int>(position);
        const double s = position - knot;
        const double step = 1.0 / t->intervals;
        const Table::Knot &first = t->knots[static_cast<size_t>(knot)], &second = t->knots[static_cast<size_t>(knot) + 1];
        const double h0 = first.h, h1 = second.h;
        const double m0 = first.dh * step, m1 = second.dh * step;
        const double s2 = s * s, s3 = s2 * s;
        h[lanes] = (2 * s3 - 3 * s2 + 1) * h0 + (s3 - 2 * s2 + s) * m0 + (-2 * s3 + 3 * s2) * h1 + (s3 - s2) * m1;
        a[lanes] = t->a;
        y[lanes] = -r * r;
        index[lanes] = k;
        if (++lanes == Lanes)
            flush();
    }
    if (lanes > 0)
        flush();
}

} // namespace rvk
