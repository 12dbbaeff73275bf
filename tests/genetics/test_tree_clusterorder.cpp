#include "genetics/clusterorder.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

TEST(ClusterOrder, ListsLeavesLeftToRightAndKeepsLocusNames)
{
    struct Case
    {
        const char *newick;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {"((a:0.100,b:0.200):0.050,d:0.400,c:0.300);", {"a", "b", "d", "c"}},
        {"((1>m2:0.100,2>m1:-0.020):0.050,1>m3:0.300);", {"m2", "m1", "m3"}},
        // Only the first ">" separates group and name.
        {"(1>a>b:1.000,x:2.000);", {"a>b", "x"}},
        {"(((p:1,q:1):1,r:2):1,s:3);", {"p", "q", "r", "s"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(clusterOrderOfNewick(c.newick).labels, c.labels) << c.newick;
}

TEST(ClusterOrder, LastOrderIsReplacedByEveryTree)
{
    setLastClusterOrder(clusterOrderOfNewick("(a:1,b:1);"));
    ASSERT_TRUE(lastClusterOrder().has_value());
    setLastClusterOrder(clusterOrderOfNewick("(x:1,y:1,z:1);"));
    EXPECT_EQ(lastClusterOrder()->labels, (std::vector<std::string>{"x", "y", "z"}));
}

} // namespace
} // namespace rvk
