#include "genetics/ldpvalues.h"

#include "stats/distributions.h"

#include <gtest/gtest.h>

#include <cmath>

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

} // namespace
} // namespace rvk
