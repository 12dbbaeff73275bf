// Genomic prediction: breeding values of a case worked by hand and the seeded cross-validation.
#include "genetics/gblup.h"
#include "panelfixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace rvk {
namespace {

TEST(Gblup, BreedingValuesOfTwoPairsOfTwinsAndARelativeWithoutValue)
{
    // K: individuals 1-2 and 3-4 are pairs (kinship 1 within, 0 between); individual 5 is like
    // the first pair and has no value. y = 1, 2, 5, 8 gives lambda = 4.5 (see the mixed-model
    // tests), the GLS mean 4 (both pairs weigh the same), and for pair 1 (y - 4 = -2.5 (1, 1) +
    // -0.5 (1, -1)) u = lambda (1, 1) H^-1 (y - 4) = -2.5 x 2 lambda / (2 lambda + 1) = -2.25;
    // pair 2 +2.25; individual 5 as pair 1.
    KinshipMatrix kinship;
    kinship.size = 5;
    kinship.values = {1, 1, 0, 0, 1, 1, 1, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 1, 1, 0, 1, 1, 0, 0, 1};
    std::string error;
    const auto prediction = predictBreedingValues(kinship, {0, 1, 2, 3}, {1, 2, 5, 8}, &error);
    ASSERT_TRUE(prediction) << error;
    EXPECT_NEAR(prediction->fit.lambda, 4.5, 1e-7);
    EXPECT_NEAR(prediction->intercept, 4.0, 1e-9);
    const double expected[] = {-2.25, -2.25, 2.25, 2.25, -2.25};
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(prediction->gebv[static_cast<size_t>(i)], expected[i], 1e-7) << i;
}

TEST(Gblup, FoldsAreBalancedAndRepeatWithTheirSeed)
{
    const std::vector<int> folds = crossValidationFolds(23, 5, 42);
    std::vector<int> sizes(5, 0);
    for (const int f : folds)
        ++sizes[static_cast<size_t>(f)];
    EXPECT_EQ(sizes, (std::vector<int>{5, 5, 5, 4, 4}));
    EXPECT_EQ(crossValidationFolds(23, 5, 42), folds);
    EXPECT_NE(crossValidationFolds(23, 5, 43), folds);
}

TEST(Gblup, PanelPredictionRepeatsWithTheSeedAndPredictsTheLinesWithoutValues)
{
    const GenotypeData data = test::loadPanel();
    GblupOptions options;
    options.seed = 7;
    const auto first = runGblup(data, test::panelTraits(), options);
    const auto again = runGblup(data, test::panelTraits(), options);
    ASSERT_TRUE(first && again);
    ASSERT_EQ(first->traits.size(), 2u);
    for (size_t t = 0; t < 2; ++t) {
        const TraitPrediction &trait = first->traits[t];
        ASSERT_TRUE(trait.analysed) << trait.message;
        EXPECT_EQ(trait.foldAccuracy.size(), 5u);
        EXPECT_EQ(trait.foldAccuracy, again->traits[t].foldAccuracy);
        EXPECT_EQ(trait.gebv.size(), 36u);
        // T1's lines carry a marker effect and sub-population effects the kinship sees.
        if (t == 0) {
            EXPECT_GT(trait.accuracy, 0.3);
        }
    }
    EXPECT_EQ(first->traits[1].trainingCount, 31);
    // Lines without T2 still get a breeding value, not a copy of the mean.
    EXPECT_NE(first->traits[1].gebv[3], 0.0);
    const std::string text = first->gebvText();
    EXPECT_EQ(text.substr(0, text.find('\n')), "individual\tT1_gebv\tT2_gebv");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 37);
}

} // namespace
} // namespace rvk
