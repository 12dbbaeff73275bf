// The mixed-model association against GEMMA 0.98.5's exact test (-lmm 1) on the panel fixture
// (tests/data/panel; make_reference.sh there says how the numbers were made), a REML case
// worked by hand, and the messages of bad input.
#include "genetics/dosagematrix.h"
#include "genetics/kinship.h"
#include "genetics/mixedmodel.h"
#include "panelfixture.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

namespace rvk {
namespace {

const TraitModelResult *traitNamed(const MixedModelResults &results, const std::string &name)
{
    for (const TraitModelResult &trait : results.traits)
        if (trait.trait == name)
            return &trait;
    return nullptr;
}

void expectLikeGemma(const MixedModelResults &results, const TraitModelResult &trait, const std::string &file, size_t individuals)
{
    const auto gemma = test::readGemmaAssoc(test::panelPath(file));
    ASSERT_EQ(gemma.size(), 44u);
    ASSERT_EQ(trait.tests.size(), 44u);
    EXPECT_EQ(trait.individuals.size(), individuals);
    for (const MarkerTest &test : trait.tests) {
        const std::string &name = results.markers[static_cast<size_t>(test.marker)].name;
        const auto found = gemma.find(name);
        ASSERT_NE(found, gemma.end()) << name;
        const test::GemmaTest &expected = found->second;
        const double gemmaLog = -std::log10(expected.p);
        EXPECT_NEAR(test.test.minusLog10P, gemmaLog, 0.01 * gemmaLog + 1e-6) << name;
        EXPECT_NEAR(test.test.p, expected.p, 0.005 * expected.p) << name;
        EXPECT_NEAR(test.test.beta, expected.beta, 1e-3 * std::abs(expected.beta) + 1e-6) << name;
        EXPECT_NEAR(test.test.se, expected.se, 1e-3 * expected.se) << name;
        EXPECT_NEAR(test.test.lambda, expected.lambda, 1e-3 * expected.lambda + 2e-5) << name;
    }
}

TEST(MixedModel, ExactTestMatchesGemmaPerTraitWithItsOwnLinesAndKinship)
{
    const GenotypeData data = test::loadPanel();
    const auto results = runMixedModel(data, test::panelTraits(), {});
    ASSERT_TRUE(results);
    const TraitModelResult *t1 = traitNamed(*results, "T1");
    const TraitModelResult *t2 = traitNamed(*results, "T2");
    ASSERT_TRUE(t1 && t2);
    ASSERT_TRUE(t1->analysed && t2->analysed);
    expectLikeGemma(*results, *t1, "lmm_t1.txt", 36);
    expectLikeGemma(*results, *t2, "lmm_t2.txt", 31);
    // GEMMA's null model of T1 (its log): REML log-likelihood -75.2547, vg 3.41189, ve 2.13831.
    EXPECT_NEAR(t1->null.logLikelihood, -75.2547, 1e-4);
    EXPECT_NEAR(t1->null.vg, 3.41189, 1e-4);
    EXPECT_NEAR(t1->null.ve, 2.13831, 1e-4);
    EXPECT_NE(std::find_if(results->notes.begin(), results->notes.end(),
                           [](const std::string &note) { return note.find("1 of 45 markers do not vary") != std::string::npos; }),
              results->notes.end());
}

TEST(MixedModel, SinglePrecisionRotationStaysWithinGemmasPValues)
{
    // Large panels rotate the markers in single precision.
    MixedModelOptions options;
    options.rotation = MixedModelOptions::Precision::Single;
    const auto results = runMixedModel(test::loadPanel(), test::panelTraits(), options);
    ASSERT_TRUE(results);
    expectLikeGemma(*results, results->traits[0], "lmm_t1.txt", 36);
    expectLikeGemma(*results, results->traits[1], "lmm_t2.txt", 31);
}

TEST(MixedModel, PrincipalComponentsAsCovariatesMatchGemmaWithThemAsCovariates)
{
    MixedModelOptions options;
    options.pcs = 2;
    TraitTable traits = test::panelTraits();
    traits.resize(traits.columnCount(), 2); // T1 only
    const auto results = runMixedModel(test::loadPanel(), traits, options);
    ASSERT_TRUE(results);
    ASSERT_EQ(results->traits.size(), 1u);
    EXPECT_EQ(results->traits[0].covariateCount, 3);
    expectLikeGemma(*results, results->traits[0], "lmm_t1_pc2.txt", 36);
}

TEST(MixedModel, P3dKeepsTheNullLambdaAndFindsTheSameStrongestMarker)
{
    MixedModelOptions options;
    options.p3d = true;
    const auto approximate = runMixedModel(test::loadPanel(), test::panelTraits(), options);
    const auto exact = runMixedModel(test::loadPanel(), test::panelTraits(), {});
    ASSERT_TRUE(approximate && exact);
    for (size_t t = 0; t < 2; ++t) {
        const TraitModelResult &trait = approximate->traits[t];
        ASSERT_EQ(trait.tests.size(), 44u);
        // GEMMA's null-model lambda of T1 is vg / ve = 3.41189 / 2.13831.
        if (t == 0) {
            EXPECT_NEAR(trait.null.lambda, 3.41189 / 2.13831, 1e-4);
        }
        for (const MarkerTest &test : trait.tests)
            EXPECT_EQ(test.test.lambda, trait.null.lambda);
        const auto strongest = [](const TraitModelResult &result) {
            return std::max_element(result.tests.begin(), result.tests.end(),
                                    [](const MarkerTest &a, const MarkerTest &b) { return a.test.minusLog10P < b.test.minusLog10P; })
                ->marker;
        };
        EXPECT_EQ(strongest(trait), strongest(exact->traits[t]));
    }
}

TEST(MixedModel, P3dIsTheGeneralisedLeastSquaresTestAtTheNullLambda)
{
    // The reference: the GLS fit of y on [1, x] with H = lambda K + I written out densely, K
    // GEMMA's kinship of the 36 lines (k_all.txt), x and y GEMMA's BIMBAM files (missing dosages
    // at the marker's mean), lambda the null model's.
    MixedModelOptions options;
    options.p3d = true;
    TraitTable traits = test::panelTraits();
    traits.resize(traits.columnCount(), 2); // T1, the 36 lines of the kinship
    const auto results = runMixedModel(test::loadPanel(), traits, options);
    ASSERT_TRUE(results);
    const TraitModelResult &trait = results->traits[0];
    ASSERT_EQ(trait.tests.size(), 44u);
    const auto kinship = test::readNumberRows(test::panelPath("k_all.txt"));
    const auto phenotypes = test::readNumberRows(test::panelPath("panel.pheno.txt"));
    const int n = 36;
    Eigen::MatrixXd h(n, n);
    Eigen::VectorXd y(n);
    for (int i = 0; i < n; ++i) {
        y(i) = phenotypes[static_cast<size_t>(i)][0];
        for (int j = 0; j < n; ++j)
            h(i, j) = trait.null.lambda * kinship[static_cast<size_t>(i)][static_cast<size_t>(j)] + (i == j ? 1.0 : 0.0);
    }
    const Eigen::LLT<Eigen::MatrixXd> hFactor(h);
    std::map<std::string, Eigen::VectorXd> markers;
    std::istringstream lines(test::readWholeFile(test::panelPath("panel.geno.txt")));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string name, field;
        std::getline(fields, name, ',');
        std::getline(fields, field, ',');
        std::getline(fields, field, ',');
        Eigen::VectorXd x(n);
        std::vector<int> missing;
        double sum = 0.0;
        for (int i = 0; i < n && std::getline(fields, field, ','); ++i) {
            if (field.find("NA") != std::string::npos) {
                missing.push_back(i);
            } else {
                x(i) = std::stod(field);
                sum += x(i);
            }
        }
        for (const int i : missing)
            x(i) = sum / (n - static_cast<double>(missing.size()));
        markers[name] = x;
    }
    for (const MarkerTest &test : trait.tests) {
        const std::string &name = results->markers[static_cast<size_t>(test.marker)].name;
        ASSERT_TRUE(markers.count(name)) << name;
        Eigen::MatrixXd design(n, 2);
        design.col(0).setOnes();
        design.col(1) = markers[name];
        const Eigen::MatrixXd weightedDesign = hFactor.solve(design);
        const Eigen::Matrix2d a = design.transpose() * weightedDesign;
        const Eigen::Vector2d beta = a.inverse() * (weightedDesign.transpose() * y);
        const Eigen::VectorXd residual = y - design * beta;
        const double pyy = residual.dot(hFactor.solve(residual));
        const double se = std::sqrt(a.inverse()(1, 1) * pyy / (n - 2));
        EXPECT_EQ(test.test.lambda, trait.null.lambda);
        EXPECT_NEAR(test.test.beta, beta(1), 1e-7 * std::abs(beta(1)) + 1e-9) << name;
        EXPECT_NEAR(test.test.se, se, 1e-7 * se) << name;
    }
}

TEST(MixedModel, RemlOfTwoPairsOfTwinsIsTheHandSolution)
{
    // K = two blocks [[1, 1], [1, 1]]: eigenvalues 2, 2, 0, 0. With the intercept alone the REML
    // log-likelihood is, up to a constant, -1/2 log u - 3/2 log(B / u + W) with u = 2 lambda + 1,
    // B = (s1 - s2)^2 / 4 the squared difference of the pair sums' halves and W the within-pair
    // sum of squares ((y1 - y2)^2 + (y3 - y4)^2) / 2. Its maximum is at u = 2 B / W, so lambda =
    // B / W - 1/2. For y = 1, 2, 5, 8: B = 25, W = 5, lambda = 4.5; P_yy = B / u + W = 7.5,
    // ve = P_yy / (n - 1) = 2.5, vg = lambda ve = 11.25.
    KinshipMatrix kinship;
    kinship.size = 4;
    kinship.values = {1, 1, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0, 1, 1};
    const auto eigen = decomposeKinship(kinship);
    ASSERT_TRUE(eigen);
    RotatedModel model;
    std::string error;
    ASSERT_TRUE(model.setUp(*eigen, {1, 2, 5, 8}, {1, 1, 1, 1}, 1, &error)) << error;
    const RemlFit fit = model.fitNull({});
    EXPECT_NEAR(fit.lambda, 4.5, 1e-7);
    EXPECT_NEAR(fit.ve, 2.5, 1e-9);
    EXPECT_NEAR(fit.vg, 11.25, 1e-7);
    // The likelihood itself: differences against the hand formula.
    const auto hand = [](double lambda) {
        const double u = 2 * lambda + 1;
        return -0.5 * std::log(u) - 1.5 * std::log(25 / u + 5);
    };
    for (const double lambda : {0.1, 1.0, 10.0})
        EXPECT_NEAR(model.nullLogLikelihood(lambda) - model.nullLogLikelihood(4.5), hand(lambda) - hand(4.5), 1e-10) << lambda;
}

TEST(MixedModel, BadInputGivesClearMessagesAndTheRestGoesOn)
{
    const GenotypeData data = test::loadPanel();
    TraitTable traits = test::panelTraits();
    const int rows = traits.rowCount();
    // A trait of 9 values, one with a text among its values, one that cannot vary with the
    // markers of its lines (they have the same genotypes nowhere... all A at every marker is
    // made by choosing the lines of the monomorphic pattern: none exist, so a trait of lines
    // whose calls are all missing is shown through a data set of its own below).
    traits.setCell(0, rows, "Few");
    for (int c = 1; c <= 9; ++c)
        traits.setCell(c, rows, "1.5");
    traits.setCell(0, rows + 1, "Text");
    for (int c = 1; c < traits.columnCount(); ++c)
        traits.setCell(c, rows + 1, c == 7 ? "tall" : "2.0");
    const auto results = runMixedModel(data, traits, {});
    ASSERT_TRUE(results);
    ASSERT_EQ(results->traits.size(), 4u);
    EXPECT_TRUE(results->traits[0].analysed);
    EXPECT_TRUE(results->traits[1].analysed);
    EXPECT_FALSE(results->traits[2].analysed);
    EXPECT_EQ(results->traits[2].message, "Trait Few has 9 values among the individuals; at least 10 are needed.");
    EXPECT_FALSE(results->traits[3].analysed);
    EXPECT_EQ(results->traits[3].message, "Trait Text: 'tall' is not a valid floating point value; the trait is left out.");
    const std::string text = results->resultsText();
    EXPECT_EQ(text.find("nan"), std::string::npos);
    EXPECT_EQ(text.find("inf"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + 44 + 44);
}

TEST(MixedModel, NoPolymorphicMarkerAndDuplicatesAreSaid)
{
    // Twelve lines: at the only marker that varies, lines 1 and 2 are the same everywhere.
    GenotypeData data = test::loadPanel();
    TraitTable traits;
    traits.setCell(0, 1, "Y");
    for (int i = 0; i < 12; ++i) {
        traits.setCell(i + 1, 0, data.IndividualNames[static_cast<size_t>(i)]);
        traits.setCell(i + 1, 1, std::to_string(i % 5));
    }
    for (int g = 0; g < data.GroupCount(); ++g)
        for (Tlocinfo &locus : data.GroupLoci(g))
            locus.Genotypes = std::string(36, 'A');
    auto results = runMixedModel(data, traits, {});
    ASSERT_TRUE(results);
    EXPECT_FALSE(results->traits[0].analysed);
    EXPECT_EQ(results->traits[0].message, "Trait Y: no marker varies among its 12 individuals.");
    data.GroupLoci(0)[0].Genotypes = "AABABABBABAB" + std::string(24, 'A');
    data.GroupLoci(0)[1].Genotypes = "BBAABABBBAAB" + std::string(24, 'A');
    results = runMixedModel(data, traits, {});
    ASSERT_TRUE(results);
    EXPECT_TRUE(results->traits[0].analysed);
    EXPECT_EQ(results->traits[0].tests.size(), 2u);
    bool saidDuplicate = false;
    for (const std::string &note : results->notes)
        saidDuplicate |= note.find("have the same genotypes, so the kinship is singular") != std::string::npos;
    EXPECT_TRUE(saidDuplicate);
}

TEST(MixedModel, CollinearCovariatesAreRefused)
{
    KinshipMatrix kinship;
    kinship.size = 4;
    kinship.values = {1, 0.5, 0, 0, 0.5, 1, 0, 0, 0, 0, 1, 0.5, 0, 0, 0.5, 1};
    const auto eigen = decomposeKinship(kinship);
    ASSERT_TRUE(eigen);
    RotatedModel model;
    std::string error;
    EXPECT_FALSE(model.setUp(*eigen, {1, 2, 3, 5}, {1, 1, 1, 1, 2, 2, 2, 2}, 2, &error));
    EXPECT_EQ(error, "The covariates are collinear.");
}

TEST(MixedModel, GenomicInflationOfKnownQuantiles)
{
    // The 1-df chi-square quantiles of p = 0.05, 0.5, 0.01 (qchisq(1 - p, 1)): 3.841459, 0.454936,
    // 6.634897; lambda_GC is their median over 0.454936.
    const struct
    {
        std::vector<double> p;
        double lambda;
    } cases[] = {{{0.5}, 1.0}, {{0.05}, 3.841459 / 0.454936}, {{0.05, 0.5, 0.01}, 3.841459 / 0.454936}, {{}, 1.0}};
    for (const auto &c : cases)
        EXPECT_NEAR(genomicInflation(c.p), c.lambda, 1e-5 * c.lambda) << c.p.size();
    EXPECT_NEAR(bonferroniLine(44), -std::log10(0.05 / 44), 1e-12);
    EXPECT_TRUE(std::isnan(fdrLine({0.5, 0.9})));
}

} // namespace
} // namespace rvk
