// Principal components: the standardised ones against plink2 --pca and the centred ones against
// the eigenvalues of GEMMA's kinship on the panel fixture (tests/data/panel); the truncated
// method against the full decomposition of a larger simulated panel.
#include "genetics/dosagematrix.h"
#include "genetics/pca.h"
#include "panelfixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace rvk {
namespace {

DosageMatrix allPanelLines()
{
    const GenotypeData data = test::loadPanel();
    std::vector<int> all;
    for (int i = 0; i < data.nind; ++i)
        all.push_back(i);
    return DosageMatrix::fromGenotypes(data, all);
}

// The largest difference of two unit vectors up to their sign.
double differenceUpToSign(const std::vector<double> &a, const std::vector<double> &b)
{
    double plus = 0.0, minus = 0.0;
    for (size_t i = 0; i < a.size(); ++i) {
        plus = std::max(plus, std::abs(a[i] - b[i]));
        minus = std::max(minus, std::abs(a[i] + b[i]));
    }
    return std::min(plus, minus);
}

std::vector<double> component(const PcaResult &pca, int k)
{
    std::vector<double> v;
    for (int i = 0; i < pca.individualCount; ++i)
        v.push_back(pca.vector(i, k));
    return v;
}

TEST(Pca, StandardisedComponentsMatchPlink2OnTheMarkersWithoutMissingCalls)
{
    const DosageMatrix all = allPanelLines();
    std::vector<std::vector<int>> rows(36);
    for (int m = 0; m < all.markerCount(); ++m)
        if (all.missingCount(m) == 0)
            for (int i = 0; i < 36; ++i)
                rows[static_cast<size_t>(i)].push_back(all.dosage(i, m));
    const DosageMatrix complete = DosageMatrix::fromRows(rows);
    ASSERT_EQ(complete.markerCount(), 11); // and the monomorphic one plink2 keeps
    PcaOptions options;
    options.components = 4;
    options.standardise = true;
    const auto pca = computePca(complete, options);
    ASSERT_TRUE(pca);
    ASSERT_EQ(pca->componentCount, 4);
    const auto values = test::readNumberRows(test::panelPath("pca.eigenval"));
    // plink2's eigenvec: a heading, then the line name and 4 numbers (6 significant digits).
    std::vector<std::vector<double>> vectors(4);
    std::istringstream lines(test::readWholeFile(test::panelPath("pca.eigenvec")));
    std::string line, name;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        fields >> name;
        for (auto &v : vectors) {
            double x;
            fields >> x;
            v.push_back(x);
        }
    }
    for (int k = 0; k < 4; ++k) {
        // plink2 divides by its 12 markers, the monomorphic one among them; here by the 11 that vary.
        EXPECT_NEAR(pca->eigenvalues[static_cast<size_t>(k)] * 11.0 / 12.0, values[static_cast<size_t>(k)][0], 1e-5 * values[0][0]) << k;
        EXPECT_LT(differenceUpToSign(component(*pca, k), vectors[static_cast<size_t>(k)]), 2e-6) << k;
    }
}

TEST(Pca, CentredEigenvaluesAreThoseOfTheKinshipAndSharesAddUp)
{
    PcaOptions options;
    options.components = 35; // all that the centred 36 lines have
    const auto pca = computePca(allPanelLines(), options);
    ASSERT_TRUE(pca);
    EXPECT_EQ(pca->componentCount, 35);
    const auto gemma = test::readNumberRows(test::panelPath("eigen_d.txt")); // ascending
    double shares = 0.0;
    for (int k = 0; k < 35; ++k) {
        EXPECT_NEAR(pca->eigenvalues[static_cast<size_t>(k)], gemma[static_cast<size_t>(35 - k)][0], 1e-8) << k;
        shares += pca->varianceShare[static_cast<size_t>(k)];
    }
    EXPECT_NEAR(shares, 1.0, 1e-10);
    // The score is the individual's projection: its squares add up to eigenvalue x markers.
    double squares = 0.0;
    for (int i = 0; i < 36; ++i)
        squares += pca->score(i, 0) * pca->score(i, 0);
    EXPECT_NEAR(squares, pca->eigenvalues[0] * 44, 1e-8);
}

TEST(Pca, TruncatedMethodMatchesTheFullDecomposition)
{
    // 500 individuals of five sub-populations at 3,000 markers.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> uniform;
    const int n = 500, m = 3000;
    std::vector<std::vector<double>> frequencies(5, std::vector<double>(m));
    for (auto &f : frequencies)
        for (double &p : f)
            p = 0.05 + 0.9 * uniform(random);
    std::vector<std::vector<int>> rows(n, std::vector<int>(m));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < m; ++j) {
            const double p = frequencies[static_cast<size_t>(i % 5)][static_cast<size_t>(j)];
            rows[static_cast<size_t>(i)][static_cast<size_t>(j)] = uniform(random) < 0.02 ? DosageMatrix::Missing
                                                                    : (uniform(random) < p) + (uniform(random) < p);
        }
    const DosageMatrix dosages = DosageMatrix::fromRows(rows);
    for (const bool standardise : {false, true}) {
        PcaOptions options;
        options.components = 10;
        options.standardise = standardise;
        options.method = PcaOptions::Method::Full;
        const auto full = computePca(dosages, options);
        options.method = PcaOptions::Method::Truncated;
        const auto truncated = computePca(dosages, options);
        ASSERT_TRUE(full && truncated);
        EXPECT_TRUE(truncated->truncated);
        for (int k = 0; k < 10; ++k) {
            EXPECT_NEAR(truncated->eigenvalues[static_cast<size_t>(k)], full->eigenvalues[static_cast<size_t>(k)], 1e-9 * full->eigenvalues[0]);
            EXPECT_LT(differenceUpToSign(component(*truncated, k), component(*full, k)), 1e-6) << k << " " << standardise;
        }
    }
}

TEST(Pca, NothingToComputeIsSaid)
{
    std::string error;
    EXPECT_FALSE(computePca(DosageMatrix::fromRows({{0, 1}, {0, 1}, {0, 1}}), {}, {}, &error));
    EXPECT_EQ(error, "No marker varies among the individuals: there are no principal components.");
    EXPECT_FALSE(computePca(DosageMatrix::fromRows({{0, 1}}), {}, {}, &error));
    EXPECT_EQ(error, "Principal components need at least 2 individuals.");
}

} // namespace
} // namespace rvk
