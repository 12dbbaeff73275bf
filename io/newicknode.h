#pragma once
// One node of a tree read from Newick text. The tree owns its nodes through the children lists;
// a node knows its parent. Plain data, so the tree painter and the tree measures can use it
// without the reader.

#include <memory>
#include <string>
#include <vector>

namespace rvk {

struct TDendroNode
{
    std::vector<std::unique_ptr<TDendroNode>> Children; // in text order
    TDendroNode *Parent = nullptr;                      // none for the root
    double BranchLength = 1.0;                          // of the branch above; 1.0 when not given
    int Support = 100;                                  // written after ")"; -1 when the text has none
    char Kind = 'N';                                    // 'R' root, 'N' node read from a child text, 'L' leaf
    std::string Label;                                  // a leaf's name; an inner node's subtree text
    std::string LeafSet;                                // per leaf label: '1' below this node, '0' elsewhere

    TDendroNode &addChild(std::unique_ptr<TDendroNode> child)
    {
        child->Parent = this;
        Children.push_back(std::move(child));
        return *Children.back();
    }
    bool isLeaf() const { return Children.empty(); }
};

} // namespace rvk
