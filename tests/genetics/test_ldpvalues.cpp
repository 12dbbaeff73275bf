#include "genetics/ldpvalues.h"

#include "stats/distributions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace rvk {
namespace {

TEST(LdPValueCache, TablesAgreeWithTheExactTailProbability)
{
    LdPValueCache cache(1); // a table from the first use on
    for (int df : {1, 2, 5, 18, 118, 998, 2998}) {
        for (int k = 0; k < 2000; ++k) {
            const double r = k / 2000.0 + 0.000123; // between the table's nodes
            const double t = r * std::sqrt(df / (1.0 - r * r));
            const double exact = TwoTailedTProb(df, t);
            const double cached = cache.twoTailed(df, r);
            if (exact == 0.0) {
                EXPECT_LT(cached, 1e-300) << df << " " << r;
            } else if (exact > 1e-300) {
                EXPECT_LT(std::fabs(cached - exact) / exact, 5e-11) << df << " " << r;
            }
        }
    }
    EXPECT_EQ(cache.twoTailed(0, 0.5), 0.0);
}

TEST(LdPValueCache, ExactUntilADegreeOfFreedomIsAskedForOften)
{
    LdPValueCache cache(3);
    const double r = 0.3456789;
    const double exact = TwoTailedTProb(40, r * std::sqrt(40 / (1 - r * r)));
    EXPECT_EQ(cache.twoTailed(40, r), exact);
    EXPECT_EQ(cache.twoTailed(40, r), exact);
    EXPECT_NEAR(cache.twoTailed(40, r), exact, exact * 5e-11); // the table from here on
}

// A row's lookups at once give each lookup's own p-value and -log10 p: lookups by table (in
// lanes of eight), exact ones (no table yet, or beyond the last knot), zeros and df below 1 mixed.
TEST(LdPValueCache, ManyLookupsAtOnceMatchOneByOne)
{
    std::vector<int> df;
    std::vector<double> r;
    for (int k = 0; k < 45; ++k) {
        df.push_back(k % 9 == 4 ? 0 : k % 5 == 0 ? 7 : 998);
        r.push_back(k % 11 == 3 ? 0.99999 : k % 7 == 2 ? 0.95 : 0.02 * k);
    }
    LdPValueCache batch(1), single(1);
    (void)batch.twoTailed(7, 0.1); // tables for both (built on first use)
    (void)batch.twoTailed(998, 0.1);
    (void)single.twoTailed(7, 0.1);
    (void)single.twoTailed(998, 0.1);
    std::vector<double> p(df.size(), -1.0), minusLog(df.size(), -1.0);
    batch.twoTailedMany(df.data(), r.data(), static_cast<int>(df.size()), p.data(), minusLog.data());
    for (size_t k = 0; k < df.size(); ++k) {
        double expectedLog = -1.0;
        const double expected = single.twoTailed(df[k], r[k], &expectedLog);
        EXPECT_EQ(p[k], expected) << k;
        if (expected > 0.0)
            EXPECT_EQ(minusLog[k], expectedLog) << k;
        else
            EXPECT_EQ(minusLog[k], -1.0) << k; // left as it was
    }
    EXPECT_EQ(p[4], 0.0); // df 0
    EXPECT_EQ(p[3], 0.0); // |R| near 1 with 998 degrees of freedom: below what a double holds
    EXPECT_GT(p[5], 0.0);
}

} // namespace
} // namespace rvk
