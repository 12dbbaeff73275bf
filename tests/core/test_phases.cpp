#include "core/phases.h"
#include "core/readexception.h"

#include "support/casename.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace rvk {
namespace {

// Joins two-character codes into one genotype text: {"ac", "ad"} -> "acad".
std::string codes(std::initializer_list<const char *> pairs)
{
    std::string text;
    for (const char *pair : pairs)
        text += pair;
    return text;
}

struct CpCase
{
    const char *referenceType, *currentType;
    std::string reference, current;
    const char *phase;
};

// "{1-}" -> "repulsion none": a phase code in words, for case names.
std::string phaseWords(const std::string &phase)
{
    std::string words;
    for (char ch : phase)
        if (ch == '0' || ch == '1' || ch == '-')
            words += std::string(words.empty() ? "" : " ") + (ch == '0' ? "coupling" : ch == '1' ? "repulsion" : "none");
    return words;
}

void PrintTo(const CpCase &c, std::ostream *os)
{
    *os << c.referenceType << " " << c.reference << " / " << c.currentType << " " << c.current << " -> " << c.phase;
}

class CpPhases : public ::testing::TestWithParam<CpCase> {};

TEST_P(CpPhases, CountCouplingAndRepulsionPerParent)
{
    const CpCase &c = GetParam();
    EXPECT_EQ(CpPhase(c.referenceType, c.currentType, c.reference, c.current), c.phase)
        << c.referenceType << " " << c.currentType << " " << c.reference << " / " << c.current;
}

INSTANTIATE_TEST_SUITE_P(
    , CpPhases,
    ::testing::Values(
        CpCase{"<abxcd>", "<abxcd>", codes({"ac", "ad", "bc", "bd"}), codes({"ac", "ad", "bc", "bd"}), "{00}"},
        CpCase{"<abxcd>", "<abxcd>", codes({"ac", "ad", "bc", "bd"}), codes({"bd", "bc", "ad", "ac"}), "{11}"},
        CpCase{"<abxcd>", "<abxcd>", codes({"ac", "ad", "bc", "bd"}), codes({"ad", "ac", "bd", "bc"}), "{01}"},
        CpCase{"<abxcd>", "<abxcd>", codes({"AC", "--", "bc"}), codes({"ac", "ac", "uu"}), "{00}"},
        CpCase{"<lmxll>", "<nnxnp>", codes({"ll", "ml"}), codes({"nn", "np"}), "{--}"},
        CpCase{"<abxaa>", "<abxaa>", codes({"aa", "ab"}), codes({"ab", "aa"}), "{1-}"},
        CpCase{"<abxaa>", "<aaxab>", codes({"aa", "ab"}), codes({"aa", "ab"}), "{--}"},
        CpCase{"<efxeg>", "<abxcd>", codes({"ee"}), codes({"ac"}), "{--}"},
        CpCase{"<hkxhk>", "<efxeg>", codes({"hh", "kk", "hh"}), codes({"fe", "eg", "ee"}), "{10}"},
        CpCase{"<hkxhk>", "<efxeg>", codes({"hh", "kk"}), codes({"fe", "ee"}), "{11}"},
        // Equal non-zero counts give repulsion.
        CpCase{"<nnxnp>", "<nnxnp>", codes({"nn", "nn"}), codes({"nn", "np"}), "{-1}"},
        CpCase{"<abxab>", "<aaxab>", codes({"aa", "bb", "aa"}), codes({"aa", "ab", "ab"}), "{-0}"},
        CpCase{"<abxcd>", "<nnxnp>", "", "", "{--}"}),
    test::namedBy([](const CpCase &c) { return std::string(c.referenceType) + " to " + c.currentType + " " + phaseWords(c.phase); }));

// The whole table of counting rules, one case per row: every pair of codes of the eight types is
// tried as a single individual; the pairs the row lists add to the named counters, every other
// pair counts nothing.
enum Counter : unsigned { C1 = 1, R1 = 2, C2 = 4, R2 = 8 };

struct RuleRow
{
    const char *referenceType, *currentType;
    std::vector<std::tuple<const char *, const char *, unsigned>> pairs;
};

// The phase text of one individual whose code pair adds to counters.
std::string singlePhase(unsigned counters)
{
    std::string phase = "{--}";
    if (counters & C1)
        phase[1] = '0';
    if (counters & R1)
        phase[1] = '1';
    if (counters & C2)
        phase[2] = '0';
    if (counters & R2)
        phase[2] = '1';
    return phase;
}

// Every code of the eight segregation types, informative or not.
const char *const AllCodes[] = {"aa", "ab", "bb", "ll", "ml", "lm", "nn", "np", "hh", "hk", "kk",
                                "ee", "eg", "fe", "fg", "ef", "ac", "ad", "bc", "bd", "uu", "--"};

RuleRow row(const char *reference, const char *current,
            std::initializer_list<std::pair<std::vector<std::pair<const char *, const char *>>, unsigned>> groups)
{
    RuleRow result{reference, current, {}};
    for (const auto &[pairs, counters] : groups)
        for (const auto &[r, c] : pairs)
            result.pairs.emplace_back(r, c, counters);
    return result;
}

const std::vector<RuleRow> &ruleRows()
{
    static const std::vector<RuleRow> rows = {
        row("<abxaa>", "<abxaa>", {{{{"aa", "aa"}, {"ab", "ab"}}, C1}, {{{"ab", "aa"}, {"aa", "ab"}}, R1}}),
        row("<abxaa>", "<abxab>", {{{{"aa", "aa"}, {"ab", "bb"}}, C1}, {{{"ab", "aa"}, {"aa", "bb"}}, R1}}),
        row("<abxab>", "<abxaa>", {{{{"aa", "aa"}, {"bb", "ab"}}, C1}, {{{"aa", "ab"}, {"bb", "aa"}}, R1}}),
        row("<abxab>", "<abxab>", {{{{"aa", "aa"}, {"bb", "bb"}}, C1 | C2}, {{{"aa", "bb"}, {"bb", "aa"}}, R1 | R2}}),
        row("<aaxab>", "<aaxab>", {{{{"aa", "aa"}, {"ab", "ab"}}, C2}, {{{"aa", "ab"}, {"ab", "aa"}}, R2}}),
        row("<aaxab>", "<abxab>", {{{{"aa", "aa"}, {"ab", "bb"}}, C2}, {{{"ab", "aa"}, {"aa", "bb"}}, R2}}),
        row("<abxab>", "<aaxab>", {{{{"aa", "aa"}, {"bb", "ab"}}, C2}, {{{"aa", "ab"}, {"bb", "aa"}}, R2}}),
        row("<lmxll>", "<lmxll>", {{{{"ll", "ll"}, {"ml", "ml"}}, C1}, {{{"ml", "ll"}, {"ll", "ml"}}, R1}}),
        row("<lmxll>", "<nnxnp>", {}),
        row("<lmxll>", "<efxeg>", {{{{"ll", "ee"}, {"ml", "fg"}}, C1}, {{{"ml", "ee"}, {"ll", "fe"}}, R1}}),
        row("<lmxll>", "<hkxhk>", {{{{"ll", "hh"}, {"ml", "kk"}}, C1}, {{{"ml", "hh"}, {"ll", "kk"}}, R1}}),
        row("<lmxll>", "<abxcd>",
            {{{{"ll", "ac"}, {"ll", "ad"}, {"ml", "bc"}, {"ml", "bd"}}, C1},
             {{{"ml", "ac"}, {"ml", "ad"}, {"ll", "bc"}, {"ll", "bd"}}, R1}}),
        row("<hkxhk>", "<hkxhk>", {{{{"hh", "hh"}, {"kk", "kk"}}, C1 | C2}, {{{"hh", "kk"}, {"kk", "hh"}}, R1 | R2}}),
        row("<hkxhk>", "<lmxll>", {{{{"hh", "ll"}, {"kk", "ml"}}, C1}, {{{"hh", "ml"}, {"kk", "ll"}}, R1}}),
        row("<hkxhk>", "<efxeg>",
            {{{{"hh", "ee"}, {"kk", "fg"}}, C1 | C2},
             {{{"hh", "fe"}, {"kk", "eg"}}, R1 | C2},
             {{{"hh", "eg"}, {"kk", "fe"}}, C1 | R2},
             {{{"hh", "fg"}, {"kk", "ee"}}, R1 | R2}}),
        row("<hkxhk>", "<nnxnp>", {{{{"hh", "nn"}, {"kk", "np"}}, C2}, {{{"hh", "np"}, {"kk", "nn"}}, R2}}),
        row("<hkxhk>", "<abxcd>",
            {{{{"hh", "ac"}, {"kk", "bd"}}, C1 | C2},
             {{{"hh", "bd"}, {"kk", "ac"}}, R1 | R2},
             {{{"hh", "bc"}, {"kk", "ad"}}, R1 | C2},
             {{{"hh", "ad"}, {"kk", "bc"}}, C1 | R2}}),
        row("<nnxnp>", "<nnxnp>", {{{{"nn", "nn"}, {"np", "np"}}, C2}, {{{"nn", "np"}, {"np", "nn"}}, R2}}),
        row("<nnxnp>", "<hkxhk>", {{{{"nn", "hh"}, {"np", "kk"}}, C2}, {{{"np", "hh"}, {"nn", "kk"}}, R2}}),
        row("<nnxnp>", "<lmxll>", {}),
        row("<nnxnp>", "<efxeg>",
            {{{{"nn", "ee"}, {"nn", "fe"}, {"np", "fg"}, {"np", "eg"}}, C2},
             {{{"nn", "fg"}, {"nn", "eg"}, {"np", "ee"}, {"np", "fe"}}, R2}}),
        row("<nnxnp>", "<abxcd>",
            {{{{"nn", "ac"}, {"nn", "bc"}, {"np", "ad"}, {"np", "bd"}}, C2},
             {{{"nn", "ad"}, {"nn", "bd"}, {"np", "ac"}, {"np", "bc"}}, R2}}),
        // r = c; else the same second character; else the same first character; else neither.
        row("<abxcd>", "<abxcd>",
            {{{{"ac", "ac"}, {"ad", "ad"}, {"bc", "bc"}, {"bd", "bd"}}, C1 | C2},
             {{{"ac", "bc"}, {"bc", "ac"}, {"ad", "bd"}, {"bd", "ad"}}, R1 | C2},
             {{{"ac", "ad"}, {"ad", "ac"}, {"bc", "bd"}, {"bd", "bc"}}, C1 | R2},
             {{{"ac", "bd"}, {"bd", "ac"}, {"ad", "bc"}, {"bc", "ad"}}, R1 | R2}}),
        row("<abxcd>", "<hkxhk>",
            {{{{"ac", "hh"}, {"bd", "kk"}}, C1 | C2},
             {{{"bd", "hh"}, {"ac", "kk"}}, R1 | R2},
             {{{"bc", "hh"}, {"ad", "kk"}}, R1 | C2},
             {{{"ad", "hh"}, {"bc", "kk"}}, C1 | R2}}),
        row("<abxcd>", "<lmxll>",
            {{{{"ac", "ll"}, {"ad", "ll"}, {"bc", "ml"}, {"bd", "ml"}}, C1},
             {{{"ac", "ml"}, {"ad", "ml"}, {"bc", "ll"}, {"bd", "ll"}}, R1}}),
        row("<abxcd>", "<efxeg>",
            {{{{"ac", "ee"}, {"ad", "eg"}, {"bc", "fe"}, {"bd", "fg"}}, C1 | C2},
             {{{"ac", "fe"}, {"ad", "fg"}, {"bc", "ee"}, {"bd", "eg"}}, R1 | C2},
             {{{"ac", "eg"}, {"ad", "ee"}, {"bc", "fg"}, {"bd", "fe"}}, C1 | R2},
             {{{"ac", "fg"}, {"ad", "fe"}, {"bc", "eg"}, {"bd", "ee"}}, R1 | R2}}),
        row("<abxcd>", "<nnxnp>",
            {{{{"ac", "nn"}, {"bc", "nn"}, {"ad", "np"}, {"bd", "np"}}, C2},
             {{{"ad", "nn"}, {"bd", "nn"}, {"ac", "np"}, {"bc", "np"}}, R2}}),
    };
    return rows;
}

// "<abxcd>" -> "abxcd"
std::string bare(const char *type) { return std::string(type).substr(1, 5); }

void PrintTo(const RuleRow &r, std::ostream *os) { *os << r.referenceType << " to " << r.currentType; }

class CpRuleTable : public ::testing::TestWithParam<RuleRow> {};

TEST_P(CpRuleTable, EachCodePairCountsAsItsRowSays)
{
    const RuleRow &r = GetParam();
    for (const char *reference : AllCodes)
        for (const char *current : AllCodes) {
            unsigned counters = 0;
            for (const auto &[ref, cur, bits] : r.pairs)
                if (std::string(ref) == reference && std::string(cur) == current)
                    counters = bits;
            EXPECT_EQ(CpPhase(r.referenceType, r.currentType, reference, current), singlePhase(counters))
                << r.referenceType << " " << r.currentType << ": (" << reference << ", " << current << ")";
        }
    // Upper-case codes count like lower-case ones.
    for (const auto &[ref, cur, bits] : r.pairs) {
        std::string upper = std::string(ref) + cur;
        for (char &ch : upper)
            ch = static_cast<char>(ch - 32);
        EXPECT_EQ(CpPhase(r.referenceType, r.currentType, upper.substr(0, 2), upper.substr(2)), singlePhase(bits))
            << upper;
    }
}

INSTANTIATE_TEST_SUITE_P(, CpRuleTable, ::testing::ValuesIn(ruleRows()),
                         [](const ::testing::TestParamInfo<RuleRow> &info) {
                             return bare(info.param.referenceType) + "_to_" + bare(info.param.currentType);
                         });

TEST(CpRuleTableGaps, TypePairsWithoutARowCountNothing)
{
    const char *const types[] = {"<abxaa>", "<aaxab>", "<abxab>", "<lmxll>", "<nnxnp>", "<hkxhk>", "<efxeg>", "<abxcd>"};
    for (const char *reference : types)
        for (const char *current : types) {
            bool listed = false;
            for (const RuleRow &r : ruleRows())
                listed = listed || (std::string(r.referenceType) == reference && std::string(r.currentType) == current);
            if (listed)
                continue;
            for (const char *rc : AllCodes)
                for (const char *cc : AllCodes)
                    EXPECT_EQ(CpPhase(reference, current, rc, cc), "{--}") << reference << " " << current << ": " << rc << " " << cc;
        }
}

TEST(HaploidPhases, SameAgainstDifferentWithTiesInCoupling)
{
    EXPECT_EQ(HaploidPhase("aabb", "abab"), "{0}");
    EXPECT_EQ(HaploidPhase("aabb", "bbaa"), "{1}");
    EXPECT_EQ(HaploidPhase("AaBb", "bB-a"), "{1}");
    EXPECT_EQ(HaploidPhase("", ""), "{0}");
}

Tlocinfo locus(const char *type, std::string genotypes, const char *phase = "")
{
    Tlocinfo l;
    l.SegType = type;
    l.Genotypes = std::move(genotypes);
    l.Phase = phase;
    return l;
}

TEST(CompletePhases, CrossPollinatorReferenceMovesOnlyToCouplingLoci)
{
    std::vector<Tlocinfo> loci = {
        locus("<hkxhk>", codes({"hh", "kk", "hh", "kk"})),
        locus("<hkxhk>", codes({"kk", "hh", "kk", "hh"})),           // repulsion: stays, reference unchanged
        locus("<abxab>", codes({"aa", "bb", "aa", "bb"})),           // no rule against <hkxhk>; never leads
        locus("<lmxll>", codes({"ll", "ml", "ll", "ml"})),           // coupling with the first: leads now
        locus("<lmxll>", codes({"ml", "ll", "ml", "ll"}), "{0-}"),  // keeps the file's phase
        locus("<lmxll>", codes({"ll", "ml", "ll", "ml"})),
    };
    CompletePhases(loci, "cp");
    EXPECT_EQ(loci[0].Phase, "{00}");
    EXPECT_EQ(loci[1].Phase, "{11}");
    EXPECT_EQ(loci[2].Phase, "{--}");
    EXPECT_EQ(loci[3].Phase, "{0-}");
    EXPECT_EQ(loci[4].Phase, "{0-}");
    // The file's phase of locus 4 is kept, but its counted phase {1-} keeps locus 3 the reference.
    EXPECT_EQ(loci[5].Phase, "{0-}");
}

TEST(CompletePhases, ALocusWithoutInformationTakesOverAsReference)
{
    std::vector<Tlocinfo> loci = {
        locus("<lmxll>", codes({"ll", "ml", "ll", "ml"})),
        locus("<nnxnp>", codes({"nn", "np", "np", "nn"})), // nothing counted against <lmxll>: {--}, leads now
        locus("<nnxnp>", codes({"np", "nn", "nn", "np"})), // repulsion with the locus before it
        locus("<abxab>", codes({"aa", "bb", "aa", "bb"})), // no rule against <nnxnp>: {--}, but never leads
        locus("<nnxnp>", codes({"nn", "np", "np", "nn"})), // coupling with locus 1, still the reference
    };
    CompletePhases(loci, "cp");
    EXPECT_EQ(loci[0].Phase, "{0-}");
    EXPECT_EQ(loci[1].Phase, "{--}");
    EXPECT_EQ(loci[2].Phase, "{-1}");
    EXPECT_EQ(loci[3].Phase, "{--}");
    EXPECT_EQ(loci[4].Phase, "{-0}");
}

TEST(CompletePhases, FirstCrossPollinatorLocusGetsItsTypesStartPhase)
{
    const std::vector<std::pair<const char *, const char *>> cases = {
        {"<abxaa>", "{0-}"}, {"<lmxll>", "{0-}"}, {"<aaxab>", "{-0}"}, {"<nnxnp>", "{-0}"}, {"<abxab>", "{00}"},
        {"<abxcd>", "{00}"}, {"<efxeg>", "{00}"}, {"<hkxhk>", "{00}"}, {"", ""}};
    for (const auto &[type, phase] : cases) {
        std::vector<Tlocinfo> loci = {locus(type, "aa")};
        CompletePhases(loci, "cp");
        EXPECT_EQ(loci[0].Phase, phase) << type;
    }
}

TEST(CompletePhases, HaploidPhasesChainFromTheFirstLocus)
{
    std::vector<Tlocinfo> loci = {locus("", "aabb", "{1}"), locus("", "bbaa"), locus("", "bbab"), locus("", "aabb", "{0}"),
                                  locus("", "aabb")};
    CompletePhases(loci, "hap");
    EXPECT_EQ(loci[0].Phase, "{0}"); // the file's phase of the first locus is replaced
    EXPECT_EQ(loci[1].Phase, "{1}");
    EXPECT_EQ(loci[2].Phase, "{1}");
    EXPECT_EQ(loci[3].Phase, "{0}");
    EXPECT_EQ(loci[4].Phase, "{0}");
}

TEST(CompletePhases, OtherPopulationTypesAreLeftAlone)
{
    std::vector<Tlocinfo> loci = {locus("", "aabb"), locus("", "bbaa")};
    CompletePhases(loci, "f2");
    EXPECT_TRUE(loci[0].Phase.empty());
    EXPECT_TRUE(loci[1].Phase.empty());
    std::vector<Tlocinfo> none;
    EXPECT_NO_THROW(CompletePhases(none, "ri"));
    EXPECT_THROW(CompletePhases(none, "cp"), readexception);
    EXPECT_THROW(CompletePhases(none, "dh1"), readexception);
}

} // namespace
} // namespace rvk
