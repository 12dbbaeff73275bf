#include "selection/coresubsetrandom.h"
#include "selection/diversitycounter.h"
#include "selection/diversitycriteria.h"
#include "selectiontestdata.h"
#include "core/textformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numeric>
#include <random>

namespace rvk::test {
namespace {

using C = DiversityCriterion;

Subset subsetOf(int nind, std::initializer_list<int> members)
{
    Subset subset(static_cast<size_t>(nind), 0);
    for (int i : members)
        subset[static_cast<size_t>(i)] = 1;
    return subset;
}

// The value by the plain count and by the counter built up member by member.
struct Values
{
    double full;
    double counted;
};

Values valuesOf(const GenotypeData &data, const Subset &subset, C criterion)
{
    CoreSubsetRandom random(7);
    DiversityData compact;
    EXPECT_TRUE(compact.build(data, nullptr));
    DiversityCounter counter(compact, criterion, random);
    counter.assign(subset);
    return {DiversityValue(data, subset, criterion, random), counter.value()};
}

// Hand computations of each criterion on small populations.
TEST(DiversityCriteria, HandComputedLocusValues)
{
    struct Case
    {
        const char *what;
        std::vector<TestGroup> groups;
        int nind;
        std::initializer_list<int> members;
        C criterion;
        double expected;
    };
    const std::vector<Case> cases = {
        // a, a, b among the members: 3/2 + 3/1.
        {"diversity sum a a b", {{"g", {{"m", 0, "aabhh"}}}}, 5, {0, 1, 2}, C::DiversitySum, 4.5},
        // A missing member is left out of n and of the counts.
        {"diversity sum with a missing member", {{"g", {{"m", 0, "aab-"}}}}, 4, {0, 1, 2, 3}, C::DiversitySum, 4.5},
        {"alleles a a b", {{"g", {{"m", 0, "aabhh"}}}}, 5, {0, 1, 2}, C::AlleleCount, 2},
        // a, b among the members; a, b, h, '-' in the population: 2 / (4 + 1).
        {"garza-williamson", {{"g", {{"m", 0, "abh-a"}}}}, 5, {0, 1, 4}, C::GarzaWilliamson, 0.4},
        // Loci sum; 'u' and '.' are missing as well.
        {"alleles over two loci", {{"g", {{"m1", 0, "abu"}, {"m2", 5, ".bb"}}}}, 3, {0, 1, 2}, C::AlleleCount, 3},
        // One member: one code per locus, none where it is missing.
        {"single member alleles", {{"g", {{"m1", 0, "ab"}, {"m2", 5, "-b"}, {"m3", 9, "ab"}}}}, 2, {0}, C::AlleleCount, 2},
        {"single member sum", {{"g", {{"m1", 0, "ab"}, {"m2", 5, "-b"}, {"m3", 9, "ab"}}}}, 2, {0}, C::DiversitySum, 2},
        // One member recombining between 10 and 20 cM on a group from 0 cM: bin (20, 1), 1/20.
        {"unirec one breakpoint", {{"g", {{"m0", 0, "aa"}, {"m1", 10, "aa"}, {"m2", 20, "ba"}, {"m3", 30, "ba"}}}}, 2, {0},
         C::UniRec, 0.05},
        // Two members in the same interval share a bin; a later bin measures from the previous.
        {"unirec two bins", {{"g", {{"m0", 0, "aa"}, {"m1", 10, "aa"}, {"m2", 20, "bb"}, {"m3", 30, "bb"}, {"m4", 35, "ab"}}}},
         2, {0, 1}, C::UniRec, 2.0 / 20 + 1.0 / 15},
        // Breakpoints sum over groups, each group measured from its own first locus.
        {"unirec two groups", {{"g1", {{"m0", 0, "a"}, {"m1", 4, "b"}}}, {"g2", {{"n0", 50, "a"}, {"n1", 60, "b"}}}}, 1, {0},
         C::UniRec, 1.0 / 4 + 1.0 / 10},
        // A bin at the position of the previous one counts nothing.
        {"unirec zero distance", {{"g", {{"m0", 5, "a"}, {"m1", 5, "b"}}}}, 1, {0}, C::UniRec, 0},
        // A missing code between two equal codes never makes a breakpoint (both orders).
        {"unirec missing between equal", {{"g", {{"m0", 0, "ab"}, {"m1", 10, "-u"}, {"m2", 20, "ab"}, {"m3", 30, "ab"}}}}, 2,
         {0, 1}, C::UniRec, 0},
        {"unirec missing between equal, short group", {{"g", {{"m0", 0, "a"}, {"m1", 10, "."}, {"m2", 20, "a"}}}}, 1, {0},
         C::UniRec, 0},
    };
    for (const Case &c : cases) {
        GenotypeData data;
        fillData(data, c.nind, c.groups);
        const Values v = valuesOf(data, subsetOf(c.nind, c.members), c.criterion);
        EXPECT_NEAR(v.full, c.expected, 1e-12) << c.what;
        EXPECT_NEAR(v.counted, c.expected, 1e-8) << c.what;
    }
}

TEST(DiversityCriteria, CriterionTextsInListOrder)
{
    EXPECT_STREQ(diversityCriterionText(C::DiversitySum), "Max (Diversity Sum)");
    EXPECT_STREQ(diversityCriterionText(C::AlleleCount), "Max (# of alleles)");
    EXPECT_STREQ(diversityCriterionText(C::GarzaWilliamson), "Max (Garza-Williamson index)");
    EXPECT_STREQ(diversityCriterionText(C::UniRec), "Max (UniRec)");
}

// A missing code beside a breakpoint is resolved from each side with even odds. Codes a - b b at
// 0, 10, 20, 30 cM: interval 0 resolves '-' towards b or a, interval 1 (independently) towards a
// or b, so the member recombines in interval 0 (bin at 10: 0.1), in interval 1 (bin at 20: 0.05),
// in both (0.1 + 0.1) or in neither (0), each a quarter of the time.
TEST(DiversityCriteria, MissingCodeBesideBreakpointIsResolvedAtRandom)
{
    GenotypeData data;
    fillData(data, 1, {{"g", {{"m0", 0, "a"}, {"m1", 10, "-"}, {"m2", 20, "b"}, {"m3", 30, "b"}}}});
    const Subset all = subsetOf(1, {0});
    CoreSubsetRandom random(3);
    DiversityData compact;
    ASSERT_TRUE(compact.build(data, nullptr));
    DiversityCounter counter(compact, C::UniRec, random);
    const std::vector<double> outcomes = {0.0, 0.05, 0.1, 0.2};
    std::vector<int> full(outcomes.size()), counted(outcomes.size());
    const auto tally = [&](std::vector<int> &hits, double value) {
        for (size_t k = 0; k < outcomes.size(); ++k)
            if (std::abs(value - outcomes[k]) < 1e-12) {
                ++hits[k];
                return;
            }
        ADD_FAILURE() << "unexpected value " << value;
    };
    const int draws = 4000;
    for (int k = 0; k < draws; ++k) {
        tally(full, DiversityValue(data, all, C::UniRec, random));
        counter.assign(all);
        tally(counted, counter.value());
    }
    for (size_t k = 0; k < outcomes.size(); ++k) {
        EXPECT_NEAR(full[k] / double(draws), 0.25, 0.03) << outcomes[k];
        EXPECT_NEAR(counted[k] / double(draws), 0.25, 0.03) << outcomes[k];
    }
}

GenotypeData randomPopulation(int nind, int loci, double missingShare, unsigned seed, const std::string &popt = "f2")
{
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> share(0, 1);
    const std::string codes = "ABHC";
    const std::string missing = "-u.";
    const int width = popt == "cp" ? 2 : 1;
    std::vector<TestGroup> groups(3);
    double position = 0;
    for (int l = 0; l < loci; ++l) {
        TestGroup &group = groups[static_cast<size_t>(l % 3)];
        group.name = "g" + std::to_string(l % 3);
        std::string text;
        for (int i = 0; i < nind * width; ++i)
            text += share(engine) < missingShare ? missing[engine() % 3] : codes[engine() % (l % 2 ? 2 : 4)];
        // Equal positions now and then, to meet bins of no width.
        position += (engine() % 5 == 0) ? 0.0 : 1.5;
        group.loci.push_back({"m" + std::to_string(l), position, text});
    }
    GenotypeData data;
    fillData(data, nind, groups, popt);
    return data;
}

// Random sequences of swaps, additions and removals: the counter's value, and its look-ahead
// values, agree with the plain count of the same subset.
TEST(DiversityCounter, AgreesWithFullCountOverRandomChanges)
{
    struct Case
    {
        C criterion;
        double missingShare;
        const char *popt;
    };
    const Case cases[] = {{C::DiversitySum, 0.1, "f2"}, {C::AlleleCount, 0.1, "f2"}, {C::GarzaWilliamson, 0.1, "f2"},
                          {C::DiversitySum, 0.1, "cp"}, {C::UniRec, 0.0, "f2"}, {C::UniRec, 0.0, "cp"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(diversityCriterionText(c.criterion) + std::string(" ") + c.popt);
        const int nind = 40;
        GenotypeData data = randomPopulation(nind, 60, c.missingShare, 11, c.popt);
        DiversityData compact;
        ASSERT_TRUE(compact.build(data, nullptr));
        CoreSubsetRandom random(5);
        DiversityCounter counter(compact, c.criterion, random);
        Subset subset(nind, 0);
        for (int i = 0; i < 10; ++i)
            subset[static_cast<size_t>(i * 3)] = 1;
        counter.assign(subset);
        std::mt19937 engine(99);
        for (int step = 0; step < 300; ++step) {
            const int a = static_cast<int>(engine() % nind);
            const int b = static_cast<int>(engine() % nind);
            const int kind = static_cast<int>(engine() % 3);
            double lookAhead = 0;
            bool looked = true;
            if (kind == 0 && counter.contains(a) && !counter.contains(b)) {
                lookAhead = counter.valueSwapped(a, b);
                counter.remove(a);
                counter.add(b);
            } else if (kind == 1 && !counter.contains(a)) {
                lookAhead = counter.valueWith(a);
                counter.add(a);
            } else if (kind == 2 && counter.contains(a) && counter.memberCount() > 1) {
                lookAhead = counter.valueWithout(a);
                counter.remove(a);
            } else {
                looked = false;
            }
            const double full = DiversityValue(data, counter.members(), c.criterion, random);
            ASSERT_NEAR(counter.value(), full, 1e-7 * (1 + full)) << "step " << step;
            if (looked) {
                ASSERT_EQ(lookAhead, counter.value()) << "step " << step; // same subset, same value
            }
        }
        // The same subset reached another way has exactly the same value.
        DiversityCounter fresh(compact, c.criterion, random);
        fresh.assign(counter.members());
        EXPECT_EQ(fresh.value(), counter.value());
    }
}

// Values that the formulas make whole are whole: 24 loci at which three members share one code
// give 3/3 = 1 each ("Max (Diversity Sum)"), and 24 loci at which the members carry one of the
// population's two codes give 1/(2 + 1) each ("Max (Garza-Williamson index)"), 8 in all. Steps
// of 1/3 rounded to a fixed unit summed to 23.9999999999999 and 7.99999999999997.
TEST(DiversityCounter, WholeValuesOfTheFormulaAreWhole)
{
    struct Case { C criterion; std::string genotypes; std::initializer_list<int> members; double value; const char *text; };
    const Case cases[] = {
        {C::DiversitySum, "AAAB", {0, 1, 2}, 24.0, "24"},
        {C::GarzaWilliamson, "AAAB", {0, 1}, 8.0, "8"},
        {C::GarzaWilliamson, "ABHB", {0, 1, 2}, 18.0, "18"}, // 3/4 each
    };
    for (const Case &c : cases) {
        GenotypeData data;
        TestGroup group{"g", {}};
        for (int l = 0; l < 24; ++l)
            group.loci.push_back({"m" + std::to_string(l), l * 1.0, c.genotypes});
        fillData(data, 4, {group});
        const Values v = valuesOf(data, subsetOf(4, c.members), c.criterion);
        EXPECT_EQ(v.counted, c.value) << diversityCriterionText(c.criterion);
        EXPECT_EQ(v.full, c.value) << diversityCriterionText(c.criterion);
        EXPECT_EQ(formatGeneral(v.counted), c.text);
    }
}

// On random populations every value, however the counter came to its subset, is the exact
// value of the formula (a fraction computed here with whole numbers) rounded once: subsets of
// equal value compare equal.
TEST(DiversityCounter, EveryValueIsTheExactFormulaRoundedOnce)
{
    const int nind = 12;
    const GenotypeData data = randomPopulation(nind, 9, 0.1, 23);
    // The exact value as numerator / denominator, rounded once to a double.
    const auto exact = [&](const Subset &subset, C criterion) {
        __int128 numerator = 0, denominator = 1;
        const auto add = [&](long long w, long long d) {
            numerator = numerator * d + w * denominator;
            denominator *= d;
            __int128 a = numerator < 0 ? -numerator : numerator, b = denominator;
            while (b != 0) {
                const __int128 r = a % b;
                a = b;
                b = r;
            }
            if (a > 1) {
                numerator /= a;
                denominator /= a;
            }
        };
        for (int g = 0; g < data.GroupCount(); ++g)
            for (const Tlocinfo &locus : data.GroupLoci(g)) {
                std::map<char, int> counts, everyone;
                int n = 0;
                for (int i = 0; i < nind; ++i) {
                    const char code = locus.Genotypes[static_cast<size_t>(i)];
                    ++everyone[code];
                    if (subset[static_cast<size_t>(i)] && !isDiversityMissingCode(code)) {
                        ++counts[code];
                        ++n;
                    }
                }
                if (criterion == C::DiversitySum)
                    for (const auto &[code, count] : counts)
                        add(n, count);
                else
                    add(static_cast<long long>(counts.size()), static_cast<long long>(everyone.size()) + 1);
            }
        return static_cast<double>(numerator) / static_cast<double>(denominator); // both below 2^53
    };
    std::mt19937 engine(4);
    for (C criterion : {C::DiversitySum, C::GarzaWilliamson}) {
        SCOPED_TRACE(diversityCriterionText(criterion));
        DiversityData compact;
        ASSERT_TRUE(compact.build(data, nullptr));
        CoreSubsetRandom random(3);
        DiversityCounter counter(compact, criterion, random);
        counter.assign(subsetOf(nind, {0, 2, 4, 6, 8, 10}));
        std::map<double, int> seen;
        for (int step = 0; step < 400; ++step) {
            const int a = static_cast<int>(engine() % nind), b = static_cast<int>(engine() % nind);
            if (counter.contains(a) && !counter.contains(b)) {
                const double promised = counter.valueSwapped(a, b);
                counter.swap(a, b);
                ASSERT_EQ(promised, counter.value());
            } else if (!counter.contains(a)) {
                counter.add(a);
            } else if (counter.memberCount() > 2) {
                counter.remove(a);
            }
            const double expected = exact(counter.members(), criterion);
            ASSERT_EQ(counter.value(), expected) << "step " << step;
            ASSERT_EQ(DiversityValue(data, counter.members(), criterion, random), expected) << "step " << step;
            ++seen[expected];
        }
        EXPECT_GT(seen.size(), 20u);
    }
}

TEST(DiversityCounter, SwapOfIdenticalGenotypesChangesNothing)
{
    GenotypeData data;
    fillData(data, 4, {{"g", {{"m1", 0, "abab"}, {"m2", 3, "hahh"}, {"m3", 7, "b-bb"}}}});
    DiversityData compact;
    ASSERT_TRUE(compact.build(data, nullptr));
    CoreSubsetRandom random(1);
    for (C criterion : {C::DiversitySum, C::AlleleCount, C::GarzaWilliamson}) {
        DiversityCounter counter(compact, criterion, random);
        counter.assign(subsetOf(4, {0, 1}));
        EXPECT_EQ(counter.valueSwapped(0, 2), counter.value());
    }
}

} // namespace
} // namespace rvk::test
