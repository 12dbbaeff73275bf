#include "genetics/ldanalysis.h"

#include "core/textformat.h"

#include "genetics/ldfixture.h"
#include "render/ldheatplot.h"
#include "settings/alleletable.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

namespace rvk {
namespace {

using test::LdTestLocus;
using test::makeLdData;

GenotypeData fixtureData()
{
    return makeLdData({{
        {"l1", 0.0, "AAHBBHAABHBBAHAB"},
        {"l2", 5.0, "AAHBBHABBHBAAHAB"},
        {"l3", 7.5, "AUHBBHAABHB.AHAB"},
        {"l4", 9.0, "BBHAAHBBAHAABHBA"},
        {"l5", 20.0, "AHHBHBAABABBHHAA"},
    }});
}

// Loci along a chain: each individual keeps its code from one locus to the next with chance 0.8,
// so neighbours are linked and distant loci are not. A fixed generator keeps it the same.
std::vector<LdTestLocus> chainLoci(int loci, int individuals, unsigned seed, const std::string &prefix)
{
    unsigned state = seed;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };
    std::vector<LdTestLocus> result;
    std::string codes(static_cast<size_t>(individuals), 'A');
    for (auto &c : codes)
        c = "AHB"[next() % 3];
    for (int l = 0; l < loci; ++l) {
        if (l > 0)
            for (auto &c : codes)
                if (next() % 10 >= 8)
                    c = "AHB"[next() % 3];
        result.push_back({prefix + std::to_string(l + 1), l * 2.5, codes});
    }
    return result;
}

TEST(LdAnalysis, GroupListHasTheExactHeaderAndLines)
{
    const GenotypeData data = fixtureData();
    const auto analysis = LdAnalysis::runGroup(data, AlleleTable(), 0, {});
    ASSERT_TRUE(analysis);
    EXPECT_EQ(analysis->listLineCount(), 11); // header + 10 pairs
    EXPECT_EQ(analysis->listLine(0), "        marker_1-marker_2\tDist\tR²\tD`\tchisq`");
    // R = 2/3, D' = 0.8, chi' = 0.7222 (the individual-by-individual reference).
    EXPECT_EQ(analysis->listLine(1), "                    l1-l2\t5.00\t0.44\t0.80\t0.72");
    EXPECT_EQ(analysis->listLine(2), "                    l1-l3\t7.50\t1.00\t1.00\t1.00");
    EXPECT_EQ(analysis->listLine(5), "                    l2-l3\t2.50\t0.66\t0.90\t0.87");
    EXPECT_EQ(analysis->listLine(10), "                    l4-l5\t11.00" + analysis->listLine(10).substr(31));
    // Names longer than 25 characters are cut to 25.
    const GenotypeData longNames = makeLdData({{{"a_very_long_marker_name_1", 0, "ABAB"}, {"b", 1, "ABBA"}}});
    EXPECT_EQ(LdAnalysis::runGroup(longNames, AlleleTable(), 0, {})->listLine(1).substr(0, 26),
              "a_very_long_marker_name_1\t");
}

TEST(LdAnalysis, AllLociListNamesTheGroupsAndMarksOtherGroupsWithMinusOne)
{
    const GenotypeData data = makeLdData({{{"a", 1, "AABBHA"}, {"b", 4, "AABBHB"}}, {{"c", 2, "ABABHA"}}});
    const auto analysis = LdAnalysis::runAllLoci(data, AlleleTable(), {});
    ASSERT_TRUE(analysis);
    EXPECT_EQ(analysis->listLine(0), "Chr1\tChr2\t        marker_1-marker_2\tDist\tR²\tD`\tchisq`\t-10logP`");
    const std::vector<std::string> lines = {analysis->listLine(1), analysis->listLine(2), analysis->listLine(3)};
    EXPECT_EQ(lines[0].substr(0, 8), "001\t001\t");
    EXPECT_EQ(lines[1].substr(0, 8 + 26 + 5), "001\t002\t                      a-c\t-1.00");
    EXPECT_EQ(lines[2].substr(0, 8), "001\t002\t");
    // The last field is -log10 p, or -1.00 for a pair without p-value.
    const LdPairResult ac = analysis->pair(0, 2);
    EXPECT_EQ(lines[1].substr(lines[1].rfind('\t') + 1), formatText("%.2f", {ac.MinusLogP}));
    // Only pairs on the same group make chart points; the table heads loci with "group>name".
    int points = 0;
    analysis->forEachChartPoint([&](double dist, double) {
        ++points;
        EXPECT_EQ(dist, 3.0);
    });
    EXPECT_EQ(points, 1);
    EXPECT_EQ(analysis->largestDistance(), 3.0);
    EXPECT_EQ(analysis->tableCell(3, 0), "2>c");
    EXPECT_EQ(analysis->tableCell(0, 0), "LD (R²)");
}

TEST(LdAnalysis, TableShowsTheMeasureBelowTheDiagonalAndNotAvailablePairs)
{
    AlleleTable alleles;
    alleles.setNumval(AlleleTable::indexOf('C'), 0.0001);
    const GenotypeData data = makeLdData({{{"tiny", 0, "CHCH"}, {"x", 1, "ABAB"}, {"y", 2, "ABBA"}}});
    LdOptions options;
    options.measure = LdMeasure::R;
    const auto analysis = LdAnalysis::runGroup(data, alleles, 0, options);
    ASSERT_TRUE(analysis);
    EXPECT_EQ(analysis->tableSize(), 4);
    EXPECT_EQ(analysis->tableCell(0, 0), "LD (R)");
    EXPECT_EQ(analysis->tableCell(1, 0), "tiny");
    EXPECT_EQ(analysis->tableCell(0, 2), "x");
    EXPECT_EQ(analysis->tableCell(1, 2), "N/A");
    EXPECT_EQ(analysis->tableCell(2, 3), " 0.00"); // x and y are uncorrelated
    EXPECT_EQ(analysis->tableCell(2, 1), "");      // above the diagonal
    EXPECT_EQ(analysis->tableCell(2, 2), "");
    // The N/A pairs are not listed.
    EXPECT_EQ(analysis->listLineCount(), 2);
    EXPECT_EQ(analysis->listLine(1).substr(0, 25), "                      x-y");
}

TEST(LdAnalysis, NegativeRIsKeptForTheColours)
{
    const GenotypeData data = makeLdData({{{"a", 0, "AABBH"}, {"b", 1, "BBAAH"}, {"c", 2, "AABBH"}}});
    const auto analysis = LdAnalysis::runGroup(data, AlleleTable(), 0, {});
    EXPECT_TRUE(analysis->negativeR(0, 1));
    EXPECT_FALSE(analysis->negativeR(0, 2));
    EXPECT_FLOAT_EQ(analysis->value(0, 1), 1.0f); // R² of R = -1
}

class ProgressRecorder : public test::ScriptedUserInterface
{
public:
    void setProgress(long long position, long long maximum) override
    {
        if (maximum > 0) {
            largestPosition = std::max(largestPosition, position);
            largestMaximum = std::max(largestMaximum, maximum);
        }
        test::ScriptedUserInterface::setProgress(position, maximum);
    }
    long long largestPosition = 0;
    long long largestMaximum = 0;
};

TEST(LdAnalysis, SuccessiveMarkersListOnlyNeighboursWhileTheBarRunsOverAllPairs)
{
    const GenotypeData data = fixtureData();
    LdOptions options;
    options.successiveMarkers = true;
    ProgressRecorder ui;
    const auto analysis = LdAnalysis::runGroup(data, AlleleTable(), 0, options, {&ui, {}});
    ASSERT_TRUE(analysis);
    EXPECT_EQ(analysis->listLineCount(), 5);
    EXPECT_EQ(analysis->listLine(1).substr(0, 25), "                    l1-l2");
    EXPECT_EQ(analysis->listLine(4).substr(0, 25), "                    l4-l5");
    EXPECT_FALSE(analysis->visited(0, 2));
    EXPECT_EQ(analysis->tableCell(1, 3), "");
    EXPECT_EQ(ui.largestMaximum, 12); // L² / 2 for 5 loci
    EXPECT_EQ(ui.largestPosition, 10); // every pair visited, skipped or not
    EXPECT_EQ(ui.lastProgress, 0);     // reset at the end
}

TEST(LdAnalysis, FewPValuesUseTheFixedThresholdAndListEveryPValue)
{
    const GenotypeData data = fixtureData();
    const auto analysis = LdAnalysis::runGroup(data, AlleleTable(), 0, {});
    ASSERT_TRUE(analysis);
    EXPECT_FALSE(analysis->fdrRun());
    EXPECT_EQ(analysis->pThreshold(), 0.05);
    // Pairs with R = +-1 (l1-l3, l1-l4, l3-l4) have no p-value: 7 of 10 remain.
    EXPECT_EQ(analysis->pValueCount(), 7);
    ASSERT_EQ(analysis->logLineCount(), 8);
    // Smallest p first: l2-l3 (p = 0.000423, R² = 0.6588), then the two pairs with l4 it mirrors.
    EXPECT_EQ(analysis->logLine(0), "0.000  - 0.66");
    for (long long k = 1; k < 7; ++k) {
        const std::string line = analysis->logLine(k);
        EXPECT_EQ(line.size(), 13u) << line;
        EXPECT_LE(analysis->logLine(k - 1).substr(0, 5), line.substr(0, 5));
    }
    // rthres: R² of the last p below 0.05 in ascending order.
    const std::string last = analysis->logLine(7);
    EXPECT_EQ(last.substr(0, 9), "rthres : ");
    double expected = 0.0, largestP = 0.0;
    for (int i = 0; i < 5; ++i)
        for (int j = i + 1; j < 5; ++j) {
            const LdPairResult r = analysis->pair(i, j);
            if (r.hasP && r.P < 0.05 && r.P > largestP) {
                largestP = r.P;
                expected = r.R2;
            }
        }
    EXPECT_EQ(analysis->rthres(), expected);
    EXPECT_EQ(last, "rthres : " + formatGeneral(expected));
    EXPECT_TRUE(analysis->hasThresholdLine());
    EXPECT_EQ(analysis->thresholdLineY(), expected);
}

TEST(LdAnalysis, ManyPValuesRunTheFdrAndBothScopesAgree)
{
    const GenotypeData data = makeLdData({chainLoci(14, 60, 7, "m")});
    LdOptions options;
    options.measure = LdMeasure::MinusLogP;
    options.fdrLevel = 0.05;
    const auto group = LdAnalysis::runGroup(data, AlleleTable(), 0, options);
    const auto all = LdAnalysis::runAllLoci(data, AlleleTable(), options);
    ASSERT_TRUE(group && all);
    ASSERT_TRUE(group->fdrRun());
    // The threshold of FdrAdjust over the p-values of every pair.
    std::vector<double> p;
    int lastN = 0;
    for (int i = 0; i < 14; ++i)
        for (int j = i + 1; j < 14; ++j) {
            const LdPairResult r = group->exactPair(i, j);
            lastN = r.n;
            if (r.hasP)
                p.push_back(r.P);
        }
    const FdrResult fdr = FdrAdjust(p, 0.05);
    EXPECT_GT(fdr.PThreshold, 0.0);
    EXPECT_EQ(group->pThreshold(), fdr.PThreshold);
    EXPECT_EQ(all->pThreshold(), fdr.PThreshold);
    EXPECT_EQ(group->logLine(0), "FDR threshold :" + formatGeneral(fdr.PThreshold));
    EXPECT_EQ(group->logLine(1), "deg freedom=N-2 :" + std::to_string(lastN - 2));
    EXPECT_EQ(group->rthres(), all->rthres());
    // All-loci runs write no per-pair log lines.
    EXPECT_EQ(all->logLineCount(), 3);
    EXPECT_EQ(group->logLineCount(), 3 + static_cast<long long>(p.size()));
    EXPECT_DOUBLE_EQ(group->thresholdLineY(), -std::log10(fdr.PThreshold));
}

// Eleven loci of one group (55 p-values, so the FDR runs). The threshold is the p-value of one
// pair, which is not below itself: rthres is the R² of the pair before it in ascending order.
// Every reader of a pair's p (log line, list, table, FDR, threshold, rthres) must see the same
// number, also after a long run has asked for the same degree of freedom many times.
TEST(LdAnalysis, ThresholdPairSitsOnTheBoundaryForEveryReader)
{
    const GenotypeData group = makeLdData({chainLoci(11, 80, 11, "b")});
    // 1,225 pairs of 80 individuals: the same degree of freedom asked for over and over.
    const GenotypeData many = makeLdData({chainLoci(50, 80, 5, "w")});
    LdOptions options;
    options.measure = LdMeasure::MinusLogP;
    options.fdrLevel = 0.2;
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "first run" : "after a long run");
        if (pass == 1) {
            ASSERT_TRUE(LdAnalysis::runAllLoci(many, AlleleTable(), options));
        }
        const auto a = LdAnalysis::runGroup(group, AlleleTable(), 0, options);
        ASSERT_TRUE(a && a->fdrRun());
        // The reference: TwoTailedTProb's p of every pair, FdrAdjust, and the rule for rthres.
        std::vector<std::pair<double, double>> pR2;
        for (int i = 0; i < 11; ++i)
            for (int j = i + 1; j < 11; ++j)
                if (const LdPairResult r = a->exactPair(i, j); r.hasP)
                    pR2.push_back({r.P, r.R2});
        std::vector<double> p;
        for (const auto &entry : pR2)
            p.push_back(entry.first);
        const double threshold = FdrAdjust(p, 0.2).PThreshold;
        std::stable_sort(pR2.begin(), pR2.end(), [](const auto &x, const auto &y) { return x.first < y.first; });
        size_t onBoundary = pR2.size();
        for (size_t k = 0; k < pR2.size(); ++k)
            if (pR2[k].first == threshold)
                onBoundary = k;
        ASSERT_LT(onBoundary, pR2.size()) << "the threshold is one pair's p";
        ASSERT_GT(onBoundary, 0u);
        ASSERT_LT(pR2[onBoundary - 1].first, threshold);
        ASSERT_NE(pR2[onBoundary - 1].second, pR2[onBoundary].second);
        EXPECT_EQ(a->pThreshold(), threshold);
        EXPECT_EQ(a->rthres(), pR2[onBoundary - 1].second);
        EXPECT_EQ(a->logLine(0), "FDR threshold :" + formatGeneral(threshold));
        EXPECT_EQ(a->logLine(a->logLineCount() - 1), "rthres : " + formatGeneral(pR2[onBoundary - 1].second));
        // Every pair reads the same p everywhere: as recomputed, in the table of -log10 p, and
        // the pair on the boundary at the chart's threshold line.
        int atThreshold = 0;
        for (int i = 0; i < 11; ++i)
            for (int j = i + 1; j < 11; ++j) {
                const LdPairResult r = a->pair(i, j);
                EXPECT_EQ(r.P, a->exactPair(i, j).P) << i << " " << j;
                EXPECT_EQ(a->tableCell(i + 1, j + 1), formatText(" %.2f", {r.MinusLogP}));
                if (r.hasP && r.P == a->pThreshold()) {
                    ++atThreshold;
                    EXPECT_EQ(r.MinusLogP, a->thresholdLineY());
                }
            }
        EXPECT_EQ(atThreshold, 1);
        for (size_t k = 0; k < pR2.size(); ++k)
            EXPECT_EQ(a->logLine(2 + static_cast<long long>(k)), formatText("%.3f  - %.2f", {pR2[k].first, pR2[k].second})) << k;
    }
}

// Long runs take their p-values from tables; still one number per pair for every reader.
TEST(LdAnalysis, LongRunsReadOnePValuePerPairEverywhere)
{
    // 500 loci: 124,750 pairs, past the runs whose p-values are computed exactly.
    const GenotypeData data = makeLdData({chainLoci(500, 60, 9, "t")});
    LdOptions options;
    options.measure = LdMeasure::MinusLogP;
    const auto all = LdAnalysis::runAllLoci(data, AlleleTable(), options);
    ASSERT_TRUE(all && all->fdrRun());
    ASSERT_GT(LdAnalysis::pairCount(500), LdAnalysis::ExactPValuePairs);
    double largestBelow = 0.0, rthres = 0.0;
    int atThreshold = 0;
    for (int i = 0; i < 500; ++i)
        for (int j = i + 1; j < 500; ++j) {
            const LdPairResult r = all->pair(i, j);
            if (!r.hasP)
                continue;
            EXPECT_NEAR(r.P, all->exactPair(i, j).P, 1e-9 * all->exactPair(i, j).P + 1e-300);
            if (r.P == all->pThreshold())
                ++atThreshold;
            if (r.P < all->pThreshold() && r.P >= largestBelow) {
                largestBelow = r.P;
                rthres = r.R2;
            }
        }
    EXPECT_GE(atThreshold, 1) << "the threshold is the p of a pair as every reader sees it";
    EXPECT_EQ(all->rthres(), rthres);
}

// Pairs are numbered in 32 bits: 92,681 loci give 4,294,837,540 pairs, close to the most they
// can number. A larger group is refused as a run of all loci is, before any pair is kept.
TEST(LdAnalysis, GroupRunsBeyondThePairNumbersAreRefused)
{
    EXPECT_LE(LdAnalysis::pairCount(LdAnalysis::MaxLoci), 4294967295LL);
    EXPECT_EQ(LdAnalysis::refusal(LdAnalysis::MaxLoci), "");
    EXPECT_EQ(LdAnalysis::refusal(92682), "LD for 92682 loci is more than this program can hold (at most 92681 loci).");
    std::vector<LdTestLocus> loci;
    for (int l = 0; l < 92682; ++l)
        loci.push_back({"m" + std::to_string(l), l * 0.01, l % 2 ? "AB" : "BA"});
    const GenotypeData data = makeLdData({loci});
    EXPECT_THROW(LdAnalysis::runGroup(data, AlleleTable(), 0, {}), std::length_error);
}

TEST(LdAnalysis, AllLociFdrMatchesFdrAdjustWhenTheSecondLevelExceedsTheFirst)
{
    // Strongly linked loci and two unlinked ones: most p pass stage 1, m0 is small and
    // L2 = q' m / m0 climbs above q, so the run must sort past its first cut.
    const GenotypeData data = makeLdData({chainLoci(9, 200, 3, "s"), chainLoci(2, 200, 99, "u")});
    const auto all = LdAnalysis::runAllLoci(data, AlleleTable(), {});
    std::vector<double> p;
    for (int i = 0; i < 11; ++i)
        for (int j = i + 1; j < 11; ++j)
            if (const LdPairResult r = all->exactPair(i, j); r.hasP)
                p.push_back(r.P);
    const FdrResult fdr = FdrAdjust(p, 0.05);
    ASSERT_GT(fdr.L2, 0.05);
    EXPECT_EQ(all->pThreshold(), fdr.PThreshold);
}

TEST(LdAnalysis, LongPValueListsSortLikeShortOnes)
{
    // 4,950 p-values: past the size where the run sorts by digits.
    const GenotypeData data = makeLdData({chainLoci(100, 40, 5, "c")});
    const auto group = LdAnalysis::runGroup(data, AlleleTable(), 0, {});
    const auto all = LdAnalysis::runAllLoci(data, AlleleTable(), {});
    std::vector<double> p;
    for (int i = 0; i < 100; ++i)
        for (int j = i + 1; j < 100; ++j)
            if (const LdPairResult r = group->exactPair(i, j); r.hasP)
                p.push_back(r.P);
    ASSERT_GT(p.size(), 4096u);
    const FdrResult fdr = FdrAdjust(p, 0.05);
    EXPECT_EQ(group->pThreshold(), fdr.PThreshold);
    EXPECT_EQ(all->pThreshold(), fdr.PThreshold);
    std::sort(p.begin(), p.end());
    for (size_t k = 0; k < p.size(); k += 97)
        EXPECT_EQ(group->logLine(2 + static_cast<long long>(k)).substr(0, 5), formatText("%.3f", {p[k]})) << k;
}

TEST(LdAnalysis, GroupsWithoutPairsGiveEmptyResults)
{
    const GenotypeData data = makeLdData({{{"alone", 0, "ABHAB"}}});
    for (const auto &analysis : {LdAnalysis::runGroup(data, AlleleTable(), 0, {}), LdAnalysis::runAllLoci(data, AlleleTable(), {})}) {
        ASSERT_TRUE(analysis);
        EXPECT_EQ(analysis->tableSize(), 2);
        EXPECT_EQ(analysis->listLineCount(), 1);
        EXPECT_EQ(analysis->logLineCount(), 1);
        EXPECT_EQ(analysis->logLine(0), "rthres : 0");
        EXPECT_FALSE(analysis->visited(0, 1));
        EXPECT_EQ(ldHeatPlotLayout(analysis->locusCount(), 5, 4096).width, 4 * 5);
    }
    const GenotypeData empty;
    const auto none = LdAnalysis::runGroup(empty, AlleleTable(), 0, {});
    ASSERT_TRUE(none);
    EXPECT_EQ(none->tableSize(), 1);
    EXPECT_EQ(none->listLine(0), none->listHeader());
}

TEST(LdAnalysis, LongRunsAreAnnouncedWithPairsAndMemory)
{
    EXPECT_EQ(LdAnalysis::pairCount(10000), 49995000);
    EXPECT_EQ(LdAnalysis::pairCount(50000), 1249975000);
    // 10,000 loci x 1,000 individuals: the run's per-pair arrays stay well under 2 GB.
    const long long bytes = LdAnalysis::estimatedMemoryBytes(10000, 1000);
    EXPECT_GT(bytes, 500'000'000);
    EXPECT_LT(bytes, 1'000'000'000);
    const std::string question = LdAnalysis::longRunQuestion(10000, 1000);
    EXPECT_EQ(question.substr(0, 41), "LD for 10000 loci means 49995000 pairs an");
    EXPECT_EQ(question.substr(question.size() - 20), "of memory. Continue?");
}

TEST(LdAnalysis, IntensityValuesReplaceTheCodeValuesOfR)
{
    const GenotypeData data = makeLdData({{{"a", 0, "AABBHAB"}, {"b", 1, "ABBBHAA"}}, {{"c", 0, "ABABHAB"}, {"d", 1, "BBAAHAB"}}});
    const AlleleTable alleles;
    std::vector<int> asked;
    LdOptions options;
    // A linear transform of the code values: R and the codes' D' stay as they were.
    options.individualValues = [&](int index) {
        asked.push_back(index);
        const Tlocinfo &locus = index < 2 ? data.GroupLoci(0)[static_cast<size_t>(index)] : data.GroupLoci(1)[static_cast<size_t>(index - 2)];
        std::vector<double> values;
        for (char c : locus.Genotypes)
            values.push_back(3.0 * alleles.lookup(c).Numval + 7.0);
        return values;
    };
    const auto byValues = LdAnalysis::runGroup(data, alleles, 1, options);
    EXPECT_EQ(asked, (std::vector<int>{2, 3})); // the second group's loci, counted over all groups
    const auto byCodes = LdAnalysis::runGroup(data, alleles, 1, {});
    EXPECT_NEAR(byValues->exactPair(0, 1).R, byCodes->exactPair(0, 1).R, 1e-14);
    EXPECT_EQ(byValues->exactPair(0, 1).DPrime, byCodes->exactPair(0, 1).DPrime);
    // Values of their own: one individual missing, another value changed.
    options.individualValues = [](int index) {
        return index == 2 ? std::vector<double>{1, -99, 1, 2, 3, 1, 2} : std::vector<double>{2, 2, 1, 1, 1.5, 1, 2};
    };
    const LdPairResult own = LdAnalysis::runGroup(data, alleles, 1, options)->exactPair(0, 1);
    EXPECT_EQ(own.n, 6);
    // R of (1, 1, 2, 3, 1, 2) and (2, 1, 1, 1.5, 1, 2) by hand: Sxy = 1/3, Sxx = 10/3, Syy = 29/24.
    EXPECT_NEAR(own.R, (1.0 / 3.0) / std::sqrt(10.0 / 3.0 * 29.0 / 24.0), 1e-14);
}

TEST(LdAnalysis, CancelledSaveLeavesAnOlderListAsItWas)
{
    const GenotypeData data = makeLdData({chainLoci(250, 12, 17, "z")}); // over a megabyte of lines
    const auto analysis = LdAnalysis::runGroup(data, AlleleTable(), 0, {});
    test::TempFolder folder;
    const std::string path = folder.write("list.txt", "older list\n");
    ProgressRecorder ui;
    std::string error;
    EXPECT_FALSE(analysis->saveList(path, error, {&ui, [] { return true; }}));
    EXPECT_EQ(error, "");
    EXPECT_EQ(test::readWholeFile(path), "older list\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"list.txt"});
    EXPECT_GT(ui.largestPosition, 0);
    EXPECT_EQ(ui.lastProgress, 0);
    EXPECT_TRUE(analysis->saveList(path, error, {&ui, [] { return false; }}));
    EXPECT_EQ(test::readWholeFile(path).substr(0, 30), analysis->listHeader().substr(0, 30));
}

TEST(LdAnalysis, CancelledRunGivesNothing)
{
    const GenotypeData data = fixtureData();
    int polls = 0;
    const auto analysis = LdAnalysis::runGroup(data, AlleleTable(), 0, {}, {nullptr, [&polls] { return ++polls >= 2; }});
    EXPECT_FALSE(analysis);
    EXPECT_EQ(polls, 2);
}

TEST(LdAnalysis, ClusterOrderRearrangesTheLociWhenItNamesThemAll)
{
    const GenotypeData data = makeLdData({{{"a", 0, "AABB"}, {"b", 1, "ABAB"}}, {{"c", 0, "ABBA"}}});
    LdOptions options;
    options.clusterOrder = {"c", "a", "b"};
    const auto ordered = LdAnalysis::runAllLoci(data, AlleleTable(), options);
    EXPECT_TRUE(ordered->clusterOrderUsed());
    EXPECT_EQ(ordered->locusHeading(0), "2>c");
    EXPECT_EQ(ordered->locusHeading(2), "1>b");
    options.clusterOrder = {"c", "a"}; // not one name per locus: map order
    const auto mapOrder = LdAnalysis::runAllLoci(data, AlleleTable(), options);
    EXPECT_FALSE(mapOrder->clusterOrderUsed());
    EXPECT_EQ(mapOrder->locusHeading(0), "1>a");
}

TEST(LdAnalysis, SaveListWritesEveryLineOfTheList)
{
    const GenotypeData data = makeLdData({chainLoci(8, 30, 11, "k")});
    const auto analysis = LdAnalysis::runGroup(data, AlleleTable(), 0, {});
    test::TempFolder folder;
    const std::string path = folder.file("list.txt");
    std::string error;
    ASSERT_TRUE(analysis->saveList(path, error)) << error;
    std::string expected;
    for (long long k = 0; k < analysis->listLineCount(); ++k)
        expected += analysis->listLine(k) + "\n";
    EXPECT_EQ(test::readWholeFile(path), expected);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"list.txt"});
    EXPECT_EQ(analysis->listLineCount(), 1 + 28);
}

// The list and the log are written row by row and number by number for speed; what they write
// must be the very lines the page shows one at a time. Runs of every kind: odd and missing
// codes, a measure other than R², names cut to the list's width, more pairs than exact p-values
// are computed for (the list then prints the tables' p-values), neighbours only.
TEST(LdAnalysis, SavedListAndWrittenLogAreTheLinesShownOneByOne)
{
    std::vector<LdTestLocus> odd = chainLoci(30, 40, 5, "a_rather_long_marker_name_");
    odd[3].genotypes[0] = 'U';
    odd[4].genotypes[1] = '.';
    odd[7].genotypes[2] = 'Z';
    const GenotypeData oddData = makeLdData({odd});
    const GenotypeData manyData = makeLdData({chainLoci(250, 30, 7, "m"), chainLoci(210, 30, 8, "n")});
    struct Case
    {
        const char *name;
        const GenotypeData &data;
        bool allLoci;
        LdOptions options;
    };
    LdOptions dPrime, successive;
    dPrime.measure = LdMeasure::DPrime;
    successive.successiveMarkers = true;
    const std::vector<Case> cases = {
        {"odd codes", oddData, false, {}},
        {"D'", oddData, false, dPrime},
        {"all loci, tabled p-values", manyData, true, {}},
        {"successive", manyData, false, successive},
    };
    test::TempFolder folder;
    for (const Case &c : cases) {
        const auto analysis = c.allLoci ? LdAnalysis::runAllLoci(c.data, AlleleTable(), c.options)
                                        : LdAnalysis::runGroup(c.data, AlleleTable(), 0, c.options);
        const std::string path = folder.file("list.txt");
        std::string error;
        ASSERT_TRUE(analysis->saveList(path, error)) << error;
        std::string list, log;
        for (long long k = 0; k < analysis->listLineCount(); ++k)
            list += analysis->listLine(k) + "\n";
        for (long long k = 0; k < analysis->logLineCount(); ++k)
            log += analysis->logLine(k) + "\n";
        EXPECT_EQ(test::readWholeFile(path), list) << c.name;
        std::ostringstream written;
        analysis->writeLog(written);
        EXPECT_EQ(written.str(), log) << c.name;
    }
}

} // namespace
} // namespace rvk
