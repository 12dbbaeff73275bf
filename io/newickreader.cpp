#include "io/newickreader.h"

#include "core/textformat.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <unordered_map>

namespace rvk {

namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::string lowered(std::string_view text)
{
    std::string result(text);
    for (char &c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

// The leaf labels of a subtree text in order: lengths and support values dropped, parentheses
// removed, the rest split at ",". Blanks stay: they can belong to a label.
std::vector<std::string> leafNamesOf(std::string_view text)
{
    std::string kept;
    bool copying = true;
    for (const char c : text) {
        if (c == ';')
            continue;
        if (copying) {
            if (c == ':' || c == ')') {
                copying = false;
                if (c == ')')
                    kept += c;
            } else {
                kept += c;
            }
        } else if (c == '(' || c == ',') {
            kept += c;
            copying = true;
        } else if (c == ')') {
            kept += c;
        }
    }
    std::vector<std::string> names;
    std::string name;
    for (const char c : kept) {
        if (c == '(' || c == ')')
            continue;
        if (c == ',') {
            names.push_back(std::move(name));
            name.clear();
        } else {
            name += c;
        }
    }
    names.push_back(std::move(name));
    return names;
}

// The leaf labels' positions, found without regard to case. A name is looked up as written,
// blanks included, so a label " a" is its own leaf; only a name found nowhere is looked up again
// without its surrounding blanks (the blank after a comma in "(a, b)", or a part that the split
// into parts has trimmed).
class LeafIndex
{
public:
    explicit LeafIndex(const std::vector<std::string> &labels) : mCount(labels.size())
    {
        for (size_t i = labels.size(); i-- > 0;) {
            mPosition[lowered(labels[i])] = i;
            mTrimmedPosition[lowered(trimmed(labels[i]))] = i;
        }
    }
    std::string setOf(std::string_view text) const
    {
        std::string set(mCount, '0');
        for (const std::string &name : leafNamesOf(text))
            if (const auto at = positionOf(name))
                set[*at] = '1';
        return set;
    }

private:
    std::optional<size_t> positionOf(const std::string &name) const
    {
        if (const auto it = mPosition.find(lowered(name)); it != mPosition.end())
            return it->second;
        if (const auto it = mTrimmedPosition.find(lowered(trimmed(name))); it != mTrimmedPosition.end())
            return it->second;
        return std::nullopt;
    }

    size_t mCount;
    std::unordered_map<std::string, size_t> mPosition;
    std::unordered_map<std::string, size_t> mTrimmedPosition;
};

double lengthOf(std::string_view text)
{
    const auto value = parseDecimal(text);
    return value ? *value : 1.0;
}

} // namespace

int ParenBalance(std::string_view text)
{
    int balance = 0;
    for (const char c : text)
        balance += c == '(' ? 1 : c == ')' ? -1 : 0;
    return balance;
}

std::vector<std::string> SplitTopLevel(std::string_view text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    int depth = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '(')
            ++depth;
        else if (c == ')')
            --depth;
        else if (c == ',' && depth == 0) {
            parts.push_back(std::string(trimmed(text.substr(start, i - start))));
            start = i + 1;
        }
    }
    parts.push_back(std::string(trimmed(text.substr(start))));
    return parts;
}

std::string StripOuter(std::string_view text)
{
    if (text.size() < 2 || text.front() != '(' || text.back() != ')')
        return std::string(text);
    // The first "(" must close at the very end, or it encloses only a first part.
    int depth = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        depth += text[i] == '(' ? 1 : text[i] == ')' ? -1 : 0;
        if (depth == 0 && i + 1 < text.size())
            return std::string(text);
    }
    return std::string(text.substr(1, text.size() - 2));
}

std::string LeafSetOf(std::string_view text, const std::vector<std::string> &leafLabels)
{
    return LeafIndex(leafLabels).setOf(text);
}

namespace {

void readChildren(std::string_view text, const LeafIndex &leaves, TDendroNode &node, const NewickWarning &warn,
                  bool clampNegative)
{
    if (text.find(',') == std::string_view::npos) {
        node.Label = std::string(text);
        node.LeafSet = leaves.setOf(text);
        node.Kind = 'L';
        return;
    }
    for (const std::string &part : SplitTopLevel(text)) {
        if (warn && ParenBalance(part) != 0)
            warn("fout! " + std::string(text) + " => " + part);
        const size_t close = part.rfind(')');
        const size_t colon = part.rfind(':');
        const bool hasClose = close != std::string::npos;
        const bool hasColon = colon != std::string::npos;
        std::string supportText;
        if (hasClose && hasColon && close < colon)
            supportText = part.substr(close + 1, colon - close - 1);
        else if (hasClose && !hasColon)
            supportText = part.substr(close + 1);
        const auto support = parseDecimal(supportText);
        double length = hasColon ? lengthOf(std::string_view(part).substr(colon + 1)) : 1.0;
        if (clampNegative && length < 0)
            length = 0.0;
        std::string childText = hasClose ? part.substr(0, close + 1) : hasColon ? part.substr(0, colon) : part;

        auto child = std::make_unique<TDendroNode>();
        child->Kind = 'N';
        child->LeafSet = leaves.setOf(childText);
        child->Label = childText;
        child->BranchLength = length;
        child->Support = support ? static_cast<int>(roundHalfEven(*support)) : -1;
        TDendroNode &added = node.addChild(std::move(child));
        std::string inner = StripOuter(childText);
        if (warn && ParenBalance(inner) != 0)
            warn("haakjes Error " + childText + " => " + inner);
        // A part that is again the whole text (unbalanced input) would be read for ever.
        if (inner == text)
            inner.erase(std::remove(inner.begin(), inner.end(), ','), inner.end());
        readChildren(inner, leaves, added, warn, clampNegative);
    }
}

} // namespace

void ReadChildren(std::string_view text, const std::vector<std::string> &leafLabels, TDendroNode &node,
                  const NewickWarning &warn, bool clampNegative)
{
    readChildren(text, LeafIndex(leafLabels), node, warn, clampNegative);
}

bool TreeTextBalanced(std::string_view newick)
{
    if (newick.size() < 3)
        return ParenBalance(newick) == 0;
    return ParenBalance(newick.substr(1, newick.size() - 3)) == 0;
}

std::unique_ptr<TDendroNode> ReadTree(std::string_view newick, const std::vector<std::string> &leafLabels)
{
    auto root = std::make_unique<TDendroNode>();
    root->Label = "Root";
    root->Kind = 'R';
    root->BranchLength = 0.0; // the root has no branch
    root->LeafSet = LeafSetOf(newick, leafLabels);
    const std::string_view inner = newick.size() >= 3 ? newick.substr(1, newick.size() - 3) : std::string_view();
    ReadChildren(inner, leafLabels, *root);
    return root;
}

ReadTreeOutcome ReadTreeText(std::string_view text, const NewickWarning &warn)
{
    std::string_view line = text.substr(0, text.find_first_of("\r\n"));
    line = trimmed(line.substr(0, line.find(';')));
    ReadTreeOutcome outcome;
    if (line.empty())
        return outcome;
    int depth = 0, deepest = 0;
    for (const char c : line) {
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        deepest = std::max(deepest, depth);
    }
    if (deepest > MaxNewickDepth) {
        if (warn)
            warn("The tree is nested more than " + std::to_string(MaxNewickDepth) + " levels deep.");
        return outcome;
    }
    for (std::string &name : leafNamesOf(line))
        if (!name.empty())
            outcome.leafLabels.push_back(std::move(name));
    auto root = std::make_unique<TDendroNode>();
    root->Label = "Root";
    root->Kind = 'R';
    root->BranchLength = 0.0;
    root->LeafSet = LeafSetOf(line, outcome.leafLabels);
    const std::string inner = StripOuter(line);
    if (warn && ParenBalance(inner) != 0)
        warn("haakjes Error " + std::string(line) + " => " + inner);
    ReadChildren(inner, outcome.leafLabels, *root, warn, true);
    outcome.root = std::move(root);
    return outcome;
}

namespace {

// A reader of any Newick text, character by character.
class NewickParser
{
public:
    explicit NewickParser(std::string_view text) : mText(text) {}

    std::unique_ptr<TDendroNode> tree(std::string *error)
    {
        skipSpace();
        if (mPos >= mText.size()) {
            fail("the file holds no tree");
        } else {
            auto root = subtree(0);
            if (root) {
                skipSpace();
                if (mPos < mText.size() && mText[mPos] == ';')
                    ++mPos;
                else if (mPos < mText.size())
                    fail(std::string("unexpected \"") + mText[mPos] + "\"");
                if (mError.empty()) {
                    root->Kind = 'R';
                    root->Label = "Root";
                    root->BranchLength = 0.0;
                    root->Parent = nullptr;
                    return root;
                }
            }
        }
        if (error)
            *error = "Not a Newick tree: " + mError + " at character " + std::to_string(mPos + 1) + ".";
        return nullptr;
    }

private:
    void fail(const std::string &what)
    {
        if (mError.empty())
            mError = what;
    }

    void skipSpace()
    {
        while (mPos < mText.size()) {
            const char c = mText[mPos];
            if (std::isspace(static_cast<unsigned char>(c))) {
                ++mPos;
            } else if (c == '[') {
                const size_t end = mText.find(']', mPos);
                mPos = end == std::string_view::npos ? mText.size() : end + 1;
            } else {
                break;
            }
        }
    }

    // A quoted or plain label; nothing when none stands here.
    std::string label()
    {
        skipSpace();
        std::string text;
        if (mPos < mText.size() && mText[mPos] == '\'') {
            ++mPos;
            while (mPos < mText.size()) {
                if (mText[mPos] == '\'') {
                    if (mPos + 1 < mText.size() && mText[mPos + 1] == '\'') {
                        text += '\'';
                        mPos += 2;
                        continue;
                    }
                    ++mPos;
                    return text;
                }
                text += mText[mPos++];
            }
            fail("a quoted label is not closed");
            return text;
        }
        while (mPos < mText.size() && std::string_view("()[]':;,").find(mText[mPos]) == std::string_view::npos
               && !std::isspace(static_cast<unsigned char>(mText[mPos])))
            text += mText[mPos++];
        return text;
    }

    std::unique_ptr<TDendroNode> subtree(int depth)
    {
        // Every part of the program walks a tree by recursion; deeper trees than this would
        // exhaust the stack somewhere.
        if (depth > MaxNewickDepth) {
            fail("the tree is nested more than " + std::to_string(MaxNewickDepth) + " levels deep");
            return nullptr;
        }
        auto node = std::make_unique<TDendroNode>();
        skipSpace();
        if (mPos < mText.size() && mText[mPos] == '(') {
            const size_t start = mPos++;
            for (;;) {
                auto child = subtree(depth + 1);
                if (!child)
                    return nullptr;
                node->addChild(std::move(child));
                skipSpace();
                if (mPos < mText.size() && mText[mPos] == ',') {
                    ++mPos;
                    continue;
                }
                if (mPos < mText.size() && mText[mPos] == ')') {
                    ++mPos;
                    break;
                }
                fail(mPos < mText.size() ? std::string("unexpected \"") + mText[mPos] + "\"" : "a \")\" is missing");
                return nullptr;
            }
            node->Kind = 'N';
            node->Label = std::string(mText.substr(start, mPos - start));
            const std::string name = label();
            const auto support = parseDecimal(name);
            node->Support = support ? static_cast<int>(roundHalfEven(*support)) : -1;
        } else {
            node->Kind = 'L';
            node->Label = label();
            node->Support = -1;
            if (!mError.empty())
                return nullptr;
        }
        skipSpace();
        if (mPos < mText.size() && mText[mPos] == ':') {
            ++mPos;
            skipSpace();
            const size_t start = mPos;
            while (mPos < mText.size() && std::string_view("()[],;").find(mText[mPos]) == std::string_view::npos
                   && !std::isspace(static_cast<unsigned char>(mText[mPos])))
                ++mPos;
            const auto length = parseDecimal(mText.substr(start, mPos - start));
            if (!length) {
                fail("a branch length is not a number");
                return nullptr;
            }
            node->BranchLength = *length;
        }
        return node;
    }

    std::string_view mText;
    size_t mPos = 0;
    std::string mError;
};

void collectLeaves(const TDendroNode &node, std::vector<const TDendroNode *> &leaves)
{
    if (node.isLeaf()) {
        leaves.push_back(&node);
        return;
    }
    for (const auto &child : node.Children)
        collectLeaves(*child, leaves);
}

// Leaf sets by leaf position, so leaves of the same name stay apart.
void markLeafSets(TDendroNode &node, size_t leafCount, size_t &next)
{
    node.LeafSet.assign(leafCount, '0');
    if (node.isLeaf()) {
        node.LeafSet[next++] = '1';
        return;
    }
    for (const auto &child : node.Children) {
        markLeafSets(*child, leafCount, next);
        for (size_t i = 0; i < leafCount; ++i)
            if (child->LeafSet[i] == '1')
                node.LeafSet[i] = '1';
    }
}

} // namespace

ReadTreeOutcome ParseNewickFile(std::string_view text, std::string *error)
{
    ReadTreeOutcome outcome;
    NewickParser parser(text);
    outcome.root = parser.tree(error);
    if (!outcome.root)
        return outcome;
    std::vector<const TDendroNode *> leaves;
    collectLeaves(*outcome.root, leaves);
    for (const TDendroNode *leaf : leaves)
        outcome.leafLabels.push_back(leaf->Label);
    size_t next = 0;
    markLeafSets(*outcome.root, leaves.size(), next);
    return outcome;
}

std::vector<std::string> Dump(const TDendroNode &node, int depth)
{
    std::vector<std::string> lines;
    std::vector<std::pair<const TDendroNode *, int>> stack{{&node, depth}};
    while (!stack.empty()) {
        const auto [current, level] = stack.back();
        stack.pop_back();
        lines.push_back(std::string(static_cast<size_t>(std::max(0, level)), '\t') + formatText(" [%d]", {current->Support}) + " "
                        + current->LeafSet + " " + current->Label);
        for (auto it = current->Children.rbegin(); it != current->Children.rend(); ++it)
            stack.push_back({it->get(), level + 1});
    }
    return lines;
}

} // namespace rvk
