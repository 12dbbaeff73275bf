// QTL mapping's rules on hand-made inputs: the support and Bayes intervals of LOD profiles, the
// permutation thresholds, the pseudo-marker grid, the data set's QTL intervals and bad input.
#include "core/datafilewriter.h"
#include "core/dataloader.h"
#include "core/genotypedata.h"
#include "core/safefile.h"
#include "core/userinterface.h"
#include "genetics/qtlanalysis.h"
#include "genetics/qtlscan.h"
#include "genetics/traittable.h"
#include "settings/alleletable.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace rvk {
namespace {

// Expected intervals from R/qtl 1.58 on the same profiles:
//   prof <- function(pos, lod) { d <- data.frame(chr = factor(rep(1, length(pos))), pos = pos, lod = lod)
//     rownames(d) <- paste0("p", seq_along(pos)); class(d) <- c("scanone", "data.frame"); d }
//   lodint(prof(pos, lod), chr = 1, drop = 1.5)$pos;  bayesint(prof(pos, lod), chr = 1, prob = 0.95)$pos
struct ProfileCase
{
    const char *name;
    std::vector<double> positions;
    std::vector<double> lod;
    double lodLow, peak, lodHigh;
    double bayesLow, bayesPeak, bayesHigh;
};

const ProfileCase profileCases[] = {
    // A second region above max - 1.5 (16 cM) widens the support interval over the dip between.
    {"TwoRegions", {0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20}, {0.5, 1.0, 2.2, 3.9, 4.6, 4.1, 2.8, 1.2, 3.3, 2.0, 0.4}, 4, 8, 18, 6, 8, 10},
    // The peak at the group's start: the interval cannot reach further left.
    {"PeakAtStart", {0, 1.5, 5, 7.5, 10}, {3.0, 2.0, 1.0, 0.5, 0.2}, 0, 0, 5, 0, 0, 1.5},
    {"FlatTop", {0, 5, 10, 15, 20, 25}, {0.1, 2.0, 2.9, 3.0, 2.9, 0.1}, 0, 15, 25, 10, 15, 20},
    // Tied maxima (the first is the peak) and two positions at 15 cM.
    {"TiesAndTwins", {3.2, 4, 6.5, 9, 15, 15, 22}, {1.0, 5.2, 6.0, 6.0, 4.0, 4.3, 0.2}, 3.2, 6.5, 15, 4, 6.5, 9},
};

class QtlIntervalRules : public ::testing::TestWithParam<ProfileCase>
{
};

TEST_P(QtlIntervalRules, SupportAndBayesIntervalsAsLodintAndBayesint)
{
    const ProfileCase &c = GetParam();
    const QtlInterval support = lodSupportInterval(c.positions, c.lod, 1.5);
    EXPECT_EQ(c.positions[static_cast<size_t>(support.low)], c.lodLow);
    EXPECT_EQ(c.positions[static_cast<size_t>(support.peak)], c.peak);
    EXPECT_EQ(c.positions[static_cast<size_t>(support.high)], c.lodHigh);
    const QtlInterval bayes = bayesCredibleInterval(c.positions, c.lod, 0.95);
    EXPECT_EQ(c.positions[static_cast<size_t>(bayes.low)], c.bayesLow);
    EXPECT_EQ(c.positions[static_cast<size_t>(bayes.peak)], c.bayesPeak);
    EXPECT_EQ(c.positions[static_cast<size_t>(bayes.high)], c.bayesHigh);
}

INSTANTIATE_TEST_SUITE_P(Profiles, QtlIntervalRules, ::testing::ValuesIn(profileCases),
                         [](const ::testing::TestParamInfo<ProfileCase> &info) { return std::string(info.param.name); });

TEST(QtlThresholds, QuantilesAsRsDefault)
{
    // quantile(c(3.1,2.4,5.0,1.2,2.2,4.4,2.9,3.3,1.8,2.6,3.9,2.0), c(0.95, 0.9)) in R: 4.67, 4.35
    const std::vector<double> maxima{3.1, 2.4, 5.0, 1.2, 2.2, 4.4, 2.9, 3.3, 1.8, 2.6, 3.9, 2.0};
    EXPECT_NEAR(quantileType7(maxima, 0.95), 4.67, 1e-12);
    EXPECT_NEAR(quantileType7(maxima, 0.90), 4.35, 1e-12);
}

struct GridCase
{
    std::vector<double> markers;
    double step;
    std::vector<double> positions; // scanned positions
    std::vector<int> markerAt;     // marker index of each, -1 pseudo-marker
};

TEST(QtlGrid, PseudoMarkersEveryStepFromTheFirstMarker)
{
    // As R/qtl's create.map(map, step, off.end = 0): the grid runs from the first marker, a grid
    // point on a marker is the marker, the last grid point is the last one not beyond the map.
    const GridCase cases[] = {
        {{3.2, 10.0, 18.6}, 5.0, {3.2, 8.2, 10.0, 13.2, 18.2, 18.6}, {0, -1, 1, -1, -1, 2}},
        {{0, 2, 2, 5}, 2.0, {0, 2, 2, 4, 5}, {0, 1, 2, -1, 3}},
        {{0, 7.3}, 0.0, {0, 7.3}, {0, 1}},
        {{1, 4}, 1.5, {1, 2.5, 4}, {0, -1, 1}},
    };
    for (const GridCase &c : cases) {
        const std::vector<ScanPosition> positions = scanPositions(c.markers, c.step);
        ASSERT_EQ(positions.size(), c.positions.size());
        for (size_t k = 0; k < positions.size(); ++k) {
            EXPECT_NEAR(positions[k].position, c.positions[k], 1e-12);
            EXPECT_EQ(positions[k].marker, c.markerAt[k]);
        }
    }
}

// A backcross of 80 individuals on two groups with a QTL at group 1's third marker, and a trait
// table over them.
struct Simulated
{
    GenotypeData data;
    TraitTable traits;
};

std::unique_ptr<Simulated> simulatedBackcross(const std::vector<std::string> &extraTraitRows = {})
{
    auto s = std::make_unique<Simulated>();
    std::mt19937 random(7);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    std::normal_distribution<double> noise(0.0, 1.0);
    const int n = 80;
    std::string text = "nchrom=2\nnind=80\npopt=bc\n";
    std::vector<int> qtlGenotype(n);
    for (int g = 0; g < 2; ++g) {
        text += "\nname=chr" + std::to_string(g + 1) + "\nnloc=5\n";
        std::vector<int> genotype(n);
        for (int m = 0; m < 5; ++m) {
            std::string codes;
            for (int i = 0; i < n; ++i) {
                if (m == 0 || uniform(random) < 0.1)
                    genotype[static_cast<size_t>(i)] = uniform(random) < 0.5;
                if (g == 0 && m == 2)
                    qtlGenotype[static_cast<size_t>(i)] = genotype[static_cast<size_t>(i)];
                codes += genotype[static_cast<size_t>(i)] ? 'H' : 'A';
            }
            text += "g" + std::to_string(g + 1) + "m" + std::to_string(m + 1) + " " + std::to_string(m * 10) + ".0\n" + codes + "\n";
        }
    }
    text += "Alias\n";
    for (int i = 0; i < n; ++i)
        text += "\"i" + std::to_string(i + 1) + "\" ";
    text += "\n";
    test::TempFolder folder;
    const std::string path = folder.write("bc.rvk", text);
    SilentUserInterface ui;
    DataLoader loader(s->data, ui);
    loader.OpenFiles({path});
    s->traits.setCell(0, 1, "yield");
    for (int i = 0; i < n; ++i) {
        s->traits.setCell(i + 1, 0, "i" + std::to_string(i + 1));
        s->traits.setCell(i + 1, 1, storedFieldText(std::to_string(2.0 * qtlGenotype[static_cast<size_t>(i)] + noise(random))));
    }
    for (size_t r = 0; r < extraTraitRows.size(); ++r)
        s->traits.setCell(0, static_cast<int>(r + 2), extraTraitRows[r]);
    return s;
}

TEST(QtlPermutations, TheSameSeedGivesTheSameThresholdsWhateverTheThreads)
{
    const auto s = simulatedBackcross();
    QtlOptions options;
    options.permutations = 200;
    options.seed = 42;
    std::string error;
    options.threads = 1;
    const auto one = QtlAnalysis::run(s->data, s->traits, options, {}, error);
    options.threads = 2;
    const auto two = QtlAnalysis::run(s->data, s->traits, options, {}, error);
    options.seed = 43;
    const auto other = QtlAnalysis::run(s->data, s->traits, options, {}, error);
    ASSERT_TRUE(one && two && other) << error;
    EXPECT_EQ(one->permutationMaxima(0), two->permutationMaxima(0));
    EXPECT_EQ(one->threshold(0, 0.05), two->threshold(0, 0.05));
    EXPECT_NE(one->permutationMaxima(0), other->permutationMaxima(0));
    // Thresholds of a backcross of 80 with 11 positions a group: well below the QTL's LOD.
    EXPECT_GT(one->threshold(0, 0.05), one->threshold(0, 0.10));
    EXPECT_GT(one->threshold(0, 0.10), 0.5);
    EXPECT_LT(one->threshold(0, 0.05), 4.0);
    const QtlPeak &peak = one->peaks()[0];
    EXPECT_EQ(peak.nearestMarker, "g1m3");
    EXPECT_TRUE(peak.significant);
    EXPECT_FALSE(one->peaks()[1].significant);
}

TEST(QtlPermutations, PermutationMaximaMatchTheScanOfThePermutedValues)
{
    // The fast kernel's maxima against the plain scan of the same permutations.
    const auto s = simulatedBackcross();
    QtlOptions options;
    options.permutations = 40;
    options.seed = 5;
    options.threads = 2;
    std::string error;
    const auto hk = QtlAnalysis::run(s->data, s->traits, options, {}, error);
    ASSERT_TRUE(hk) << error;
    std::vector<double> values;
    for (int c = 1; c < s->traits.columnCount(); ++c)
        values.push_back(std::stod(s->traits.cell(c, 1)));
    const std::vector<double> fast = hk->permutationMaxima(0);
    // Re-scan each permutation with the plain regression.
    std::uint64_t state = 0;
    {
        // the trait's seed as the analysis makes it
        std::uint64_t z = options.seed + 0x9E3779B97F4A7C15ULL;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        state = z ^ (z >> 31);
    }
    for (int k = 0; k < options.permutations; ++k) {
        const std::vector<int> order = qtlPermutation(static_cast<int>(values.size()), state);
        TraitTable permuted = s->traits;
        for (size_t i = 0; i < order.size(); ++i)
            permuted.setCell(static_cast<int>(i + 1), 1, storedFieldText(std::to_string(values[static_cast<size_t>(order[i])])));
        QtlOptions plain;
        plain.permutations = 0;
        const auto scan = QtlAnalysis::run(s->data, permuted, plain, {}, error);
        double best = 0.0;
        for (int row = 0; row < scan->rowCount(); ++row)
            best = std::max(best, scan->lod(0, row));
        EXPECT_NEAR(fast[static_cast<size_t>(k)], best, 1e-4) << "permutation " << k;
    }
}

TEST(QtlPermutations, CancelKeepsNothing)
{
    const auto s = simulatedBackcross();
    QtlOptions options;
    options.permutations = 500;
    std::string error;
    QtlRunControl control;
    control.cancelRequested = [] { return true; };
    EXPECT_FALSE(QtlAnalysis::run(s->data, s->traits, options, control, error));
}

TEST(QtlBadInput, WhatIsLeftOutIsNamedAndTheScanGoesOn)
{
    auto s = simulatedBackcross({"few", "flat"});
    for (int c = 1; c <= 8; ++c)
        s->traits.setCell(c, 2, "1.00"); // 8 values only
    for (int c = 1; c <= 80; ++c)
        s->traits.setCell(c, 3, "5.00");
    s->traits.setCell(4, 1, "n/a");
    auto &loci = s->data.GroupLoci(1);
    loci[1].Position = -1;                       // no map position
    loci[3].Genotypes.assign(80, '-');           // nothing scored
    s->data.GroupLoci(1)[4].Position = 15.0;     // out of map order
    QtlOptions options;
    options.permutations = 0;
    options.step = 0;
    std::string error;
    const auto analysis = QtlAnalysis::run(s->data, s->traits, options, {}, error);
    ASSERT_TRUE(analysis) << error;
    const std::vector<std::string> expected{
        "Trait yield: 1 values that are no number were left out.",
        "Trait few left out: 8 individuals of the data set have a value, at least 10 are needed.",
        "Trait flat left out: all its values are equal.",
        "Group chr2: 1 loci without a map position were left out (g2m2).",
        "Group chr2: 1 markers without a genotype of the cross were left out (g2m4).",
        "Group chr2: its loci are out of map order; they were scanned in order of position.",
    };
    EXPECT_EQ(analysis->notes(), expected);
    EXPECT_EQ(analysis->traitNames(), std::vector<std::string>{"yield"});
    ASSERT_EQ(analysis->groups().size(), 2u);
    EXPECT_EQ(analysis->groups()[1].markerNames, (std::vector<std::string>{"g2m1", "g2m5", "g2m3"}));
    for (int row = 0; row < analysis->rowCount(); ++row)
        EXPECT_TRUE(std::isfinite(analysis->lod(0, row)));
    for (const std::string &text : {analysis->scanText(), analysis->peaksText()})
        for (const char *bad : {"\tnan", "\t-nan", "\tinf", "\t-inf"})
            EXPECT_EQ(text.find(bad), std::string::npos) << text;
}

TEST(QtlBadInput, GroupsOfOneMarkerAndOtherPopulationsAreLeftOut)
{
    auto s = simulatedBackcross();
    s->data.GroupLoci(1).resize(1);
    s->data.Group(0).PopType = "cp";
    QtlOptions options;
    options.permutations = 0;
    std::string error;
    EXPECT_FALSE(QtlAnalysis::run(s->data, s->traits, options, {}, error));
    EXPECT_EQ(error, "No linkage group can be scanned.\n"
                     "Group chr1 left out: QTL mapping of cross-pollinator (\"cp\") populations is not available yet.\n"
                     "Group chr2 left out: it has 1 usable markers, at least 2 are needed.");
    s->data.Group(0).PopType = "hap";
    const auto analysis = QtlAnalysis::run(s->data, s->traits, options, {}, error);
    EXPECT_FALSE(analysis);
    EXPECT_NE(error.find("Group chr1 left out: its population type \"hap\" is none of bc, f2, ri, dh."), std::string::npos);
}

TEST(QtlIntervals, WrittenAtTheNearestMarkerKeptUnlessReplacedAndReadBack)
{
    auto s = simulatedBackcross();
    QtlOptions options;
    options.permutations = 100;
    std::string error;
    const auto analysis = QtlAnalysis::run(s->data, s->traits, options, {}, error);
    ASSERT_TRUE(analysis) << error;
    const QtlPeak &peak = analysis->peaks()[0];
    ASSERT_TRUE(peak.significant);
    Tlocinfo &marker = s->data.GroupLoci(0)[static_cast<size_t>(peak.nearestLocus)];
    ASSERT_EQ(marker.Name, "g1m3");
    marker.QtlStart = 19.0;
    marker.QtlEnd = 21.0;
    EXPECT_EQ(qtlIntervalsInTheWay(s->data, *analysis), 1);
    QtlIntervalWrite written = addQtlIntervals(s->data, *analysis, false);
    EXPECT_EQ(written.written, 0);
    EXPECT_EQ(written.kept, 1);
    EXPECT_EQ(marker.QtlStart, 19.0);
    written = addQtlIntervals(s->data, *analysis, true);
    EXPECT_EQ(written.written, 1);
    EXPECT_EQ(marker.QtlStart, peak.lodLow);
    EXPECT_EQ(marker.QtlEnd, peak.lodHigh);

    // The data file carries the interval (one decimal) and brings it back.
    test::TempFolder folder;
    const std::string path = folder.file("mapped.rvk");
    ASSERT_TRUE(writeFileReplacing(path, DataFileWriter::fileText(s->data)));
    GenotypeData again;
    SilentUserInterface ui;
    DataLoader(again, ui).OpenFiles({path});
    ASSERT_EQ(again.GroupCount(), 2);
    const Tlocinfo &read = again.GroupLoci(0)[static_cast<size_t>(peak.nearestLocus)];
    EXPECT_EQ(read.Name, "g1m3");
    EXPECT_NEAR(read.QtlStart, peak.lodLow, 0.05 + 1e-9);
    EXPECT_NEAR(read.QtlEnd, peak.lodHigh, 0.05 + 1e-9);
    int intervals = 0;
    for (int g = 0; g < again.GroupCount(); ++g)
        for (const Tlocinfo &locus : again.GroupLoci(g))
            intervals += locus.QtlStart != 0.0;
    EXPECT_EQ(intervals, 1);
}

} // namespace
} // namespace rvk
