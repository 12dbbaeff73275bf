#pragma once
// The left-to-right order of the leaves of the last tree built (NJ or UPGMA). The LD tables
// arrange their loci in this order when asked to and when it names as many loci as they show.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rvk {

struct ClusterOrder
{
    // Leaf labels from left to right. A locus label "group>name" is kept as the locus name.
    std::vector<std::string> labels;
};

// The leaf order of a Newick text: the text is cut at every ",", each piece's text before its
// first ":" loses every "(" and ")", and a label holding ">" keeps only what follows the first
// ">". So "((1>m2:0.1,1>m1:0.2):0.05,1>m3:0.3);" gives m2, m1, m3.
ClusterOrder clusterOrderOfNewick(std::string_view newick);

// The order of the last tree of this run; none before the first tree. Every new tree replaces
// it, whatever the user does with the tree afterwards.
const std::optional<ClusterOrder> &lastClusterOrder();
void setLastClusterOrder(ClusterOrder order);

} // namespace rvk
