#include "core/phases.h"
#include "core/readexception.h"

#include <gtest/gtest.h>

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
        CpCase{"<abxcd>", "<nnxnp>", "", "", "{--}"}));

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
