// The dosage matrix and the kinship of the panel analyses. The centred kinship is checked against
// GEMMA's -gk 1 on the panel fixture (tests/data/panel; see make_reference.sh there).
#include "genetics/dosagematrix.h"
#include "genetics/kinship.h"
#include "panelfixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace rvk {
namespace {

TEST(DosageMatrix, CodesGiveTheNumberOfBAllelesAndEverythingElseIsMissing)
{
    const struct
    {
        char code;
        int dosage;
    } cases[] = {{'A', 0}, {'H', 1}, {'B', 2}, {'a', DosageMatrix::Missing}, {'b', DosageMatrix::Missing}, {'h', DosageMatrix::Missing},
                 {'-', DosageMatrix::Missing}, {'U', DosageMatrix::Missing}, {'C', DosageMatrix::Missing}, {'0', DosageMatrix::Missing}};
    for (const auto &c : cases)
        EXPECT_EQ(dosageOfCode(c.code), c.dosage) << c.code;
}

TEST(DosageMatrix, MarkersThatDoNotVaryAreLeftOutWithANote)
{
    // Six individuals (more than one byte of calls) at four markers: the second is all A among
    // the called, the fourth all missing.
    const std::vector<std::vector<int>> rows = {{0, 0, 2, 3}, {1, 0, 2, 3}, {2, 3, 0, 3}, {2, 0, 1, 3}, {0, 0, 2, 3}, {3, 0, 2, 3}};
    const DosageMatrix matrix = DosageMatrix::fromRows(rows);
    ASSERT_EQ(matrix.markerCount(), 2);
    EXPECT_EQ(matrix.leftOutCount(), 2);
    EXPECT_EQ(matrix.note(), "2 of 4 markers do not vary among the 6 individuals and are left out.");
    EXPECT_EQ(matrix.marker(0).name, "m1");
    EXPECT_EQ(matrix.marker(1).name, "m3");
    const int expected[6][2] = {{0, 2}, {1, 2}, {2, 0}, {2, 1}, {0, 2}, {DosageMatrix::Missing, 2}};
    for (int i = 0; i < 6; ++i)
        for (int m = 0; m < 2; ++m)
            EXPECT_EQ(matrix.dosage(i, m), expected[i][m]) << i << " " << m;
    EXPECT_DOUBLE_EQ(matrix.mean(0), 1.0); // (0 + 1 + 2 + 2 + 0) / 5
    EXPECT_EQ(matrix.missingCount(0), 1);
    std::vector<double> column(6);
    matrix.column(0, DosageMatrix::Scaling::Raw, column.data());
    EXPECT_EQ(column, (std::vector<double>{0, 1, 2, 2, 0, 1}));
    matrix.column(0, DosageMatrix::Scaling::Centred, column.data());
    EXPECT_EQ(column, (std::vector<double>{-1, 0, 1, 1, -1, 0}));
    // A subset where the first marker no longer varies.
    const DosageMatrix subset = matrix.subset({2, 3});
    EXPECT_EQ(subset.markerCount(), 1);
    EXPECT_EQ(subset.marker(0).name, "m3");
}

TEST(DosageMatrix, ThePanelHasOneMonomorphicMarker)
{
    const GenotypeData data = test::loadPanel();
    ASSERT_EQ(data.nind, 36);
    std::vector<int> all(36);
    for (int i = 0; i < 36; ++i)
        all[static_cast<size_t>(i)] = i;
    const DosageMatrix matrix = DosageMatrix::fromGenotypes(data, all);
    EXPECT_EQ(matrix.markerCount(), 44);
    EXPECT_EQ(matrix.leftOutCount(), 1);
}

void expectKinshipLike(const KinshipMatrix &kinship, const std::vector<std::vector<double>> &gemma)
{
    ASSERT_EQ(static_cast<size_t>(kinship.size), gemma.size());
    for (int i = 0; i < kinship.size; ++i)
        for (int j = 0; j < kinship.size; ++j)
            EXPECT_NEAR(kinship.at(i, j), gemma[static_cast<size_t>(i)][static_cast<size_t>(j)], 1e-8) << i << " " << j;
}

TEST(Kinship, CentredMatchesGemmaForAllLinesAndForTheLinesOfOneTrait)
{
    const GenotypeData data = test::loadPanel();
    std::vector<int> all, withT2;
    for (int i = 0; i < 36; ++i) {
        all.push_back(i);
        if (i != 3 && i != 11 && i != 19 && i != 26 && i != 30) // T2 is missing for these
            withT2.push_back(i);
    }
    const auto kAll = computeKinship(DosageMatrix::fromGenotypes(data, all), KinshipMethod::Centred);
    ASSERT_TRUE(kAll);
    EXPECT_EQ(kAll->markerCount, 44);
    expectKinshipLike(*kAll, test::readNumberRows(test::panelPath("k_all.txt")));
    // Their own kinship: centred on the 31 lines' means, not the rows of the 36 lines' one.
    const auto kT2 = computeKinship(DosageMatrix::fromGenotypes(data, withT2), KinshipMethod::Centred);
    ASSERT_TRUE(kT2);
    expectKinshipLike(*kT2, test::readNumberRows(test::panelPath("k_t2.txt")));
}

TEST(Kinship, IbsIsTheShareOfAllelesSharedOverMarkersCalledInBoth)
{
    // By hand: 1-2 share (2 + 1 + 0) / 6 at markers 1-3 (marker 4 missing in 2); 1-3 share
    // (1 + 2 + 1 + 0) / 8; 2-3 share (1 + 1 + 1) / 6.
    const std::vector<std::vector<int>> rows = {{0, 1, 2, 0}, {0, 2, 0, 3}, {1, 1, 1, 2}};
    const auto ibs = computeKinship(DosageMatrix::fromRows(rows), KinshipMethod::Ibs);
    ASSERT_TRUE(ibs);
    const double expected[3][3] = {{1.0, 3.0 / 6.0, 4.0 / 8.0}, {3.0 / 6.0, 1.0, 3.0 / 6.0}, {4.0 / 8.0, 3.0 / 6.0, 1.0}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(ibs->at(i, j), expected[i][j], 1e-12) << i << " " << j;
}

TEST(Kinship, IdenticalIndividualsAreFoundAndTheDecompositionStillHolds)
{
    const std::vector<std::vector<int>> rows = {{0, 1, 2, 0, 2}, {2, 2, 0, 1, 0}, {0, 1, 2, 0, 2}, {1, 0, 1, 2, 2}};
    const auto kinship = computeKinship(DosageMatrix::fromRows(rows), KinshipMethod::Centred);
    ASSERT_TRUE(kinship);
    EXPECT_EQ(identicalKinshipRows(*kinship), (std::vector<std::pair<int, int>>{{0, 2}}));
    const auto eigen = decomposeKinship(*kinship);
    ASSERT_TRUE(eigen);
    // Centring leaves one zero eigenvalue, the duplicate another.
    EXPECT_EQ(eigen->zeroCount, 2);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += eigen->vector(i, k) * eigen->values[static_cast<size_t>(k)] * eigen->vector(j, k);
            EXPECT_NEAR(sum, kinship->at(i, j), 1e-10);
        }
}

TEST(Kinship, TreeOrderPutsTheLeavesFirstAndTheRestAfter)
{
    const struct
    {
        std::vector<std::string> names;
        std::vector<std::string> leaves;
        std::vector<int> order;
    } cases[] = {
        {{"a", "b", "c"}, {"c", "a", "b"}, {2, 0, 1}},
        {{"a", "b", "c", "d"}, {"b", "x", "d"}, {1, 3, 0, 2}}, // x names nobody; a and c follow
        {{"a", "b"}, {"x", "y"}, {}},
        {{"a", "b"}, {}, {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(treeOrder(c.names, c.leaves), c.order) << c.leaves.size();
}

TEST(Kinship, TextIsATabSeparatedMatrixWithNames)
{
    const auto kinship = computeKinship(DosageMatrix::fromRows({{0, 2}, {2, 0}}), KinshipMethod::Centred);
    ASSERT_TRUE(kinship);
    EXPECT_EQ(kinshipText(*kinship, {"P1", "P2"}), "\tP1\tP2\nP1\t1\t-1\nP2\t-1\t1\n");
}

} // namespace
} // namespace rvk
