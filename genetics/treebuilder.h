#pragma once
// Neighbour-joining and UPGMA trees over a distance matrix, written as one line of Newick text.
//
// Both work on slots 0..m-1 of a symmetric working matrix, joining per round the first pair
// (i < j, rows first) with the smallest criterion. Neighbour joining counts exactly, in units of
// the matrix's last decimal; UPGMA, whose weighted means are not exact, takes criteria that
// differ by rounding noise only (1e-10 relative) as ties, so the first pair wins as it would in
// exact arithmetic. The joined node takes the first slot of the pair and the entry in the last
// slot moves into the second; inner nodes are named "node_0000", "node_0001", ... in the order
// they are made. Branch lengths are written "%.3f", negative neighbour-joining lengths included.
// Neighbour joining stops at three entries and makes a root of three; UPGMA joins down to two.

#include "genetics/clusterorder.h"
#include "genetics/distancematrix.h"

#include <functional>
#include <optional>
#include <string>

namespace rvk {

class UserInterface;

enum class TreeMethod { NeighbourJoining, Upgma };

struct TreeResult
{
    std::string newick; // the tree followed by ";"
    ClusterOrder order; // its leaves from left to right
};

// Called now and then with the joins done out of those to do; returning false stops the tree.
using TreeProgress = std::function<bool(long long done, long long total)>;

// The tree, or nothing with the reason in error: a matrix with empty cells, or fewer entries
// than the method needs (three for neighbour joining, two for UPGMA). Stopped through
// progress, it gives nothing and leaves error empty.
std::optional<TreeResult> BuildTree(const DistanceMatrix &matrix, TreeMethod method, std::string *error = nullptr,
                                    const TreeProgress &progress = {});

// Bytes a tree of this many entries works in beside the distance matrix: a full n x n working
// matrix (8.6 GB for 32,768 entries) and a little per entry.
long long treeWorkBytes(int entries);
// Asked before a tree is built: true when its working memory fits into availableBytes (negative:
// unknown, taken as enough); otherwise ui is asked whether to build it anyway (the question
// names both sizes), and its answer decides.
bool confirmTreeMemory(int entries, long long availableBytes, UserInterface &ui);
std::string treeMemoryQuestion(int entries, long long availableBytes);

// "NJtree.nwk" or "UPGMAtree.nwk".
const char *treeFileName(TreeMethod method);

// The messages of a matrix a tree cannot be built from.
std::string emptyCellsMessage(size_t emptyCells);
std::string tooFewEntriesMessage(TreeMethod method, int entries);

} // namespace rvk
