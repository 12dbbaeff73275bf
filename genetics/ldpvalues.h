#pragma once
// The p-value of a correlation, P(|T| > |t|) with t = |R| sqrt(df / (1 - R²)), for runs over
// millions of pairs. The exact evaluation (TwoTailedTProb, a continued fraction) costs a couple
// of microseconds; a run asks for the same few degrees of freedom millions of times. Once a
// degree of freedom has been asked for often, its p-values come from a table of
// ln P - (df/2) ln(1 - R²), smooth in |R| over [0, 1), by cubic Hermite interpolation between
// exact values and slopes: relative error about 1e-11, a few tens of nanoseconds.
//
// With P = I_x(df/2, 1/2) at x = 1 - R², the p-value depends on R² and df alone.

#include <memory>
#include <vector>

// Sums that every kernel must add up to the same last bit are kept from being fused into
// multiply-adds. GCC takes this per function; clang builds (the fuzz targets) turn fusing off for
// the whole build instead.
#if defined(__clang__)
#define RVK_SEPARATE_MULTIPLY_ADD
#else
#define RVK_SEPARATE_MULTIPLY_ADD __attribute__((optimize("fp-contract=off")))
#endif

namespace rvk {

class LdPValueCache
{
public:
    // tableAfter: exact evaluations of one degree of freedom before its table is built. A table
    // costs about as much as a thousand exact evaluations, so a run that keeps asking never pays
    // more than twice what it would with the table from the start.
    explicit LdPValueCache(int tableAfter = 1000);
    ~LdPValueCache();
    LdPValueCache(const LdPValueCache &) = delete;
    LdPValueCache &operator=(const LdPValueCache &) = delete;

    // P for df degrees of freedom and |R| < 1; 0 for df < 1, as TwoTailedTProb. minusLog10P, when
    // given, receives -log10 P (for P > 0).
    double twoTailed(int df, double absR, double *minusLog10P = nullptr);
    // The same for count lookups at once (a row of pairs): p[k] and, where p[k] > 0,
    // minusLog10P[k]. The logarithms and exponentials of eight lookups are computed together.
    void twoTailedMany(const int *df, const double *absR, int count, double *p, double *minusLog10P);

    // Asks the processor to fetch the table entry twoTailed(df, absR) will read, when the table
    // exists; changes nothing else. The tables of a run's degrees of freedom outgrow the
    // processor's nearer caches, so runs ask for entries a few pairs ahead.
    void prefetch(int df, double absR) const;

    // Intervals of a table over [0, 1): p changes on the scale 1/sqrt(df) in |R|, so the tables of
    // many degrees of freedom are finer.
    static int intervals(int df);

    // The cache the LD analyses share: tables stay from one run to the next (16 kB and more each).
    static LdPValueCache &shared();

private:
    struct Table;
    const Table *table(int df);

    int mTableAfter;
    std::vector<int> mUses;
    std::vector<std::unique_ptr<Table>> mTables;
};

} // namespace rvk
