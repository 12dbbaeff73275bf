#pragma once
// Reading Newick text into TDendroNode trees.
//
// Trees written by this program (NJ and UPGMA) are read by the node-text rules below
// (ReadChildren and its helpers), which keep each inner node's subtree text as its label and
// mark its leaves in a leaf set over the tree's leaf labels. Newick files from other programs
// are read by ParseNewickFile, a full reader: quoted labels, comments, support values or names
// after ")", any number of children per node, line breaks anywhere.

#include "io/newicknode.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rvk {

// The number of "(" minus the number of ")".
int ParenBalance(std::string_view text);

// Splits a node's inside at the commas outside parentheses; each part trimmed of blanks.
std::vector<std::string> SplitTopLevel(std::string_view text);

// Removes the outer parentheses of a subtree text when they enclose all of it: "(a,b)" gives
// "a,b", "(a,b),(c,d)" stays as it is. Any number of children is fine: "(a,b,c)" gives "a,b,c".
std::string StripOuter(std::string_view text);

// '1' for every label of leafLabels (compared without regard to case) that occurs as a leaf of
// text, '0' for the others. Branch lengths and support values are not labels.
std::string LeafSetOf(std::string_view text, const std::vector<std::string> &leafLabels);

// Warnings of the tree window's text reader: unbalanced parentheses in a part or stripped text.
using NewickWarning = std::function<void(const std::string &message)>;

// Reads the inside of a node's parentheses and attaches its children to node, recursively.
// warn (when given) hears of parts with unbalanced parentheses ("fout! ..." and
// "haakjes Error ..."); clampNegative turns negative lengths into 0 (the text reader's rule).
void ReadChildren(std::string_view text, const std::vector<std::string> &leafLabels, TDendroNode &node,
                  const NewickWarning &warn = {}, bool clampNegative = false);

// A tree line written by this program ("(...);"): a root labelled "Root" (kind 'R', no branch
// above it) whose children are read from the text without its outer "(" and closing ");".
std::unique_ptr<TDendroNode> ReadTree(std::string_view newick, const std::vector<std::string> &leafLabels);

// The "ttree error" check: whether the inner text (without the first character and the last
// two) holds as many "(" as ")".
bool TreeTextBalanced(std::string_view newick);
inline constexpr const char *TreeTextError = "ttree error";

// The tree window's text reader: the first line of text up to its first ";", read by the same
// rules with the two warnings, negative lengths as 0. The leaf labels are the leaves in text
// order. Nothing for a text without a tree.
struct ReadTreeOutcome
{
    std::unique_ptr<TDendroNode> root;
    std::vector<std::string> leafLabels;
};
ReadTreeOutcome ReadTreeText(std::string_view text, const NewickWarning &warn);

// A Newick file of any program. On failure nothing, with the reason in error; a tree nested
// deeper than MaxNewickDepth levels is refused.
inline constexpr int MaxNewickDepth = 10000;
ReadTreeOutcome ParseNewickFile(std::string_view text, std::string *error);

// One line per node, depth first: depth tabs, the support as " [%d]", a blank, the leaf set, a
// blank and the label.
std::vector<std::string> Dump(const TDendroNode &node, int depth = 0);

} // namespace rvk
