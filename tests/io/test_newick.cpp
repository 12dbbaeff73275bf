#include "io/newickreader.h"

#include <gtest/gtest.h>

#include <random>

namespace rvk {
namespace {

const std::vector<std::string> Abcd = {"a", "b", "c", "d"};

TEST(NewickReader, TextHelpers)
{
    EXPECT_EQ(ParenBalance("((a,b),c"), 1);
    EXPECT_EQ(ParenBalance("a)"), -1);
    EXPECT_EQ(SplitTopLevel("(a:1,b:2):0.5, d:0.4 ,c"), (std::vector<std::string>{"(a:1,b:2):0.5", "d:0.4", "c"}));
    EXPECT_EQ(SplitTopLevel("a"), (std::vector<std::string>{"a"}));
    struct Strip
    {
        const char *text, *stripped;
    };
    for (const Strip &c : {Strip{"(a:1,b:2)", "a:1,b:2"}, Strip{"((a,b),c)", "(a,b),c"}, Strip{"(a,b),(c,d)", "(a,b),(c,d)"},
                           Strip{"(a,b,c)", "a,b,c"}, Strip{"a", "a"}, Strip{"()", ""}})
        EXPECT_EQ(StripOuter(c.text), c.stripped) << c.text;
    // Lengths and support values are no labels; case does not matter; unknown labels are ignored.
    EXPECT_EQ(LeafSetOf("(A:1,b:2)95:0.5", Abcd), "1100");
    EXPECT_EQ(LeafSetOf("((d:1,x:2):3,c:1);", Abcd), "0011");
    EXPECT_TRUE(TreeTextBalanced("((a:1,b:1):1,c:1);"));
    EXPECT_FALSE(TreeTextBalanced("((a:1,b:1:1,c:1);"));
}

TEST(NewickReader, LabelsWithBlanksKeepTheirLeaves)
{
    // A matrix label with a leading blank, as an individual named " ind1" gives: the tree text
    // holds the blank, and the label's leaf is found in every leaf set.
    const std::vector<std::string> labels = {" ind1", "b", "c"};
    struct Case
    {
        const char *text, *leafSet;
    };
    for (const Case &c : {Case{" ind1", "100"}, Case{"( ind1:0.100,b:0.200)", "110"}, Case{"(( ind1:0.1,b:0.2):0.05,c:0.3);", "111"},
                          Case{"(b:1, c:2)", "011"}, Case{"(x, ind1)", "100"}})
        EXPECT_EQ(LeafSetOf(c.text, labels), c.leafSet) << c.text;

    const auto tree = ReadTree("(( ind1:0.100,b:0.200):0.050,c:0.300);", labels);
    ASSERT_EQ(tree->Children.size(), 2u);
    EXPECT_EQ(tree->LeafSet, "111");
    EXPECT_EQ(tree->Children[0]->LeafSet, "110");
    ASSERT_EQ(tree->Children[0]->Children.size(), 2u);
    EXPECT_EQ(tree->Children[0]->Children[0]->LeafSet, "100");
}

TEST(NewickReader, ReadsTheFourLeafTree)
{
    TDendroNode root;
    ReadChildren("(a:0.100,b:0.200):0.050,d:0.400,c:0.300", Abcd, root);
    ASSERT_EQ(root.Children.size(), 3u);
    struct Expected
    {
        const TDendroNode *node;
        const char *label, *leafSet;
        double length;
        char kind;
    };
    const TDendroNode &inner = *root.Children[0];
    ASSERT_EQ(inner.Children.size(), 2u);
    const Expected expected[] = {
        {&inner, "(a:0.100,b:0.200)", "1100", 0.05, 'N'},  {inner.Children[0].get(), "a", "1000", 0.1, 'L'},
        {inner.Children[1].get(), "b", "0100", 0.2, 'L'}, {root.Children[1].get(), "d", "0001", 0.4, 'L'},
        {root.Children[2].get(), "c", "0010", 0.3, 'L'},
    };
    for (const Expected &e : expected) {
        EXPECT_EQ(e.node->Label, e.label);
        EXPECT_EQ(e.node->LeafSet, e.leafSet) << e.label;
        EXPECT_DOUBLE_EQ(e.node->BranchLength, e.length) << e.label;
        EXPECT_EQ(e.node->Support, -1) << e.label;
        EXPECT_EQ(e.node->Kind, e.kind) << e.label;
    }
    EXPECT_EQ(inner.Children[0]->Parent, &inner);

    const auto tree = ReadTree("((a:0.100,b:0.200):0.050,d:0.400,c:0.300);", Abcd);
    EXPECT_EQ(tree->Kind, 'R');
    EXPECT_EQ(tree->LeafSet, "1111");
    EXPECT_EQ(Dump(*tree), (std::vector<std::string>{" [100] 1111 Root", "\t [-1] 1100 (a:0.100,b:0.200)", "\t\t [-1] 1000 a",
                                                      "\t\t [-1] 0100 b", "\t [-1] 0001 d", "\t [-1] 0010 c"}));
}

TEST(NewickReader, SupportLengthAndBareLeaves)
{
    TDendroNode root;
    ReadChildren("(a:1,b:2)95:0.5,c", Abcd, root);
    ASSERT_EQ(root.Children.size(), 2u);
    EXPECT_EQ(root.Children[0]->Support, 95);
    EXPECT_DOUBLE_EQ(root.Children[0]->BranchLength, 0.5);
    EXPECT_EQ(root.Children[0]->Label, "(a:1,b:2)");
    EXPECT_EQ(root.Children[1]->Label, "c");
    EXPECT_DOUBLE_EQ(root.Children[1]->BranchLength, 1.0);
    EXPECT_EQ(root.Children[1]->Support, -1);
    // A multifurcating node is read once, with all its children.
    TDendroNode multi;
    ReadChildren("(a:1,b:1,c:1):2,d:1", Abcd, multi);
    ASSERT_EQ(multi.Children.size(), 2u);
    EXPECT_EQ(multi.Children[0]->Children.size(), 3u);
}

TEST(NewickReader, TextReaderWarnsAndGoesOn)
{
    std::vector<std::string> warnings;
    const auto outcome = ReadTreeText("((a:1,b:-2):1,c:1;\nsecond line", [&](const std::string &w) { warnings.push_back(w); });
    ASSERT_TRUE(outcome.root);
    EXPECT_EQ(outcome.leafLabels, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_FALSE(warnings.empty());
    EXPECT_EQ(warnings.front().rfind("haakjes Error ", 0), 0u) << warnings.front();

    warnings.clear();
    const auto good = ReadTreeText("((a:1,b:-2):1,c:1);", [&](const std::string &w) { warnings.push_back(w); });
    EXPECT_TRUE(warnings.empty());
    ASSERT_EQ(good.root->Children.size(), 2u);
    EXPECT_DOUBLE_EQ(good.root->Children[0]->Children[1]->BranchLength, 0.0); // negative becomes 0
    EXPECT_FALSE(ReadTreeText("", {}).root);
    warnings.clear();
    EXPECT_FALSE(ReadTreeText(std::string(200000, '(') + "a,b;", [&](const std::string &w) { warnings.push_back(w); }).root);
    EXPECT_EQ(warnings.size(), 1u);
}

TEST(NewickReader, FilesFromOtherPrograms)
{
    std::string error;
    const auto outcome = ParseNewickFile("[a comment]\n('leaf one':0.1,'O''Brien':2e-1,(x,y,z)87:0.3, w)0.95;\n", &error);
    ASSERT_TRUE(outcome.root) << error;
    EXPECT_EQ(outcome.leafLabels, (std::vector<std::string>{"leaf one", "O'Brien", "x", "y", "z", "w"}));
    const TDendroNode &root = *outcome.root;
    EXPECT_EQ(root.Kind, 'R');
    ASSERT_EQ(root.Children.size(), 4u);
    EXPECT_DOUBLE_EQ(root.Children[1]->BranchLength, 0.2);
    EXPECT_EQ(root.Children[2]->Children.size(), 3u);
    EXPECT_EQ(root.Children[2]->Support, 87);
    EXPECT_EQ(root.Children[2]->LeafSet, "001110");
    EXPECT_DOUBLE_EQ(root.Children[3]->BranchLength, 1.0);

    const std::string deep = std::string(MaxNewickDepth + 1, '(') + "a,b" + std::string(MaxNewickDepth + 1, ')') + ";";
    const std::string deepEnough = std::string(MaxNewickDepth - 1, '(') + "a,b" + std::string(MaxNewickDepth - 1, ')') + ";";
    EXPECT_TRUE(ParseNewickFile(deepEnough, &error).root) << error;
    for (const std::string &bad : {std::string(), std::string("((a,b);"), std::string("(a:x,b);"), std::string("(a,b)c)d;"), deep}) {
        error.clear();
        EXPECT_FALSE(ParseNewickFile(bad, &error).root) << bad.substr(0, 20);
        EXPECT_FALSE(error.empty()) << bad.substr(0, 20);
    }
}

} // namespace
} // namespace rvk

namespace rvk {
namespace {

// Bad input never crashes or hangs: random texts of Newick characters through both readers.
TEST(NewickReader, SurvivesRandomTexts)
{
    std::mt19937 random(3);
    const std::string alphabet = "(((),,,::ab1.-;' [] ";
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        int warnings = 0;
        const ReadTreeOutcome read = ReadTreeText(text, [&](const std::string &) { ++warnings; });
        if (read.root)
            Dump(*read.root);
        std::string error;
        const ReadTreeOutcome parsed = ParseNewickFile(text, &error);
        EXPECT_TRUE(parsed.root || !error.empty()) << text;
        const auto tree = ReadTree(text, {"a", "b"});
        EXPECT_TRUE(tree);
    }
}

} // namespace
} // namespace rvk
