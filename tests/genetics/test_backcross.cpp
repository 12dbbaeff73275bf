// Backcross statistics and the pedigree check on the hand-worked family of backcrossfixture.h.
// Every expected number below was worked out by hand from the table in that file; the sums are
// written next to the rows.
#include "backcrossfixture.h"
#include "genetics/backcrosspedigree.h"
#include "genetics/backcrossstatistics.h"

#include <gtest/gtest.h>

#include <cmath>

namespace rvk {
namespace {

using test::makeBackcrossFixture;

BackcrossRequest request(const GenotypeData &data, const std::string &recurrent, const std::string &donor,
                         const std::string &target = {})
{
    BackcrossRequest r;
    r.recurrent = findIndividualByName(data, recurrent);
    r.donor = findIndividualByName(data, donor);
    if (!target.empty())
        r.target = findMarkerByName(data, target);
    return r;
}

TEST(BackcrossStatistics, HandWorkedFamilyWithTarget)
{
    const GenotypeData data = makeBackcrossFixture();
    std::string error;
    const auto table = computeBackcrossStatistics(data, request(data, "R", "D", "m5"), error);
    ASSERT_TRUE(table) << error;
    EXPECT_EQ(table->informativeLoci(), 5);
    EXPECT_EQ(table->informativeLoci(0), 4);
    EXPECT_EQ(table->informativeLoci(1), 1);

    const std::vector<std::string> captions{"individual", "rpg_markers", "rpg_cm", "donor_segments", "donor_cm",
                                            "target_code", "carrier", "drag_left_cm", "drag_right_cm",
                                            "rpg_markers:g1", "rpg_cm:g1", "rpg_markers:g2", "rpg_cm:g2"};
    EXPECT_EQ(table->columnCaptions(), captions);

    // Weights m1 5, m2 15, m5 20, m7 10, n1 0 (sum 50).
    const std::vector<std::vector<std::string>> rows{
        // Scores 1 everywhere.
        {"R", "100.00", "100.00", "0", "0.00", "A", "no", "0.00", "0.00", "100.00", "100.00", "100.00", "-"},
        // Scores 0 everywhere: one segment m1..m7 around m5 (30-0 left, 50-30 right) and one at n1.
        {"D", "0.00", "0.00", "2", "50.00", "B", "yes", "30.00", "20.00", "0.00", "0.00", "0.00", "-"},
        {"I1", "100.00", "100.00", "0", "0.00", "A", "no", "0.00", "0.00", "100.00", "100.00", "100.00", "-"},
        // 1, .5, .5 (lower-case h), 1 | 0: markers 3/5; cM (5 + 7.5 + 10 + 10 + 0)/50 = 65;
        // segments m2..m5 and n1; donor 15 + 20 + 0; the target's segment starts at m2 (30-10).
        {"I2", "60.00", "65.00", "2", "35.00", "h", "yes", "20.00", "0.00", "75.00", "65.00", "0.00", "-"},
        // m1 0, m2 unknown, m5 0, m7 0 (D's A), n1 unknown: one segment m1..m7 bridging the
        // unknown m2; scored weight 5 + 20 + 10 = 35; g2 has nothing scored.
        {"I3", "0.00", "0.00", "1", "35.00", "B", "yes", "30.00", "20.00", "0.00", "0.00", "-", "-"},
        // m1 0, m2 1, m5 1, m7 X not scored, n1 H .5: markers 2.5/4; cM weights stay the
        // parents' (m7 unscored drops out): (15 + 20)/(5 + 15 + 20 + 0) = 87.5; g1 2/3.
        {"I4", "62.50", "87.50", "2", "5.00", "A", "no", "0.00", "0.00", "66.67", "87.50", "50.00", "-"},
        // Only unknown codes (u - . C D c d . U): nothing scored, D is not the donor's B.
        {"I5", "-", "-", "0", "0.00", "D", "no", "0.00", "0.00", "-", "-", "-", "-"},
        // m1 0, m2 1, m5 0, m7 0, n1 0: markers 1/5, cM 15/50; segments {m1}, {m5, m7}, {n1};
        // donor 5 + 20 + 10; the target's segment starts at the target and reaches m7.
        {"I6", "20.00", "30.00", "3", "35.00", "B", "yes", "0.00", "20.00", "25.00", "30.00", "0.00", "-"},
        // Heterozygous everywhere: every score .5.
        {"I7", "50.00", "50.00", "2", "50.00", "H", "yes", "30.00", "20.00", "50.00", "50.00", "50.00", "-"},
    };
    ASSERT_EQ(table->rowCount(), static_cast<int>(rows.size()));
    for (int r = 0; r < table->rowCount(); ++r)
        for (int c = 0; c < table->columnCount(); ++c)
            EXPECT_EQ(table->cell(r, c), rows[static_cast<size_t>(r)][static_cast<size_t>(c)])
                << rows[static_cast<size_t>(r)][0] << " " << captions[static_cast<size_t>(c)];
}

TEST(BackcrossStatistics, LargeFamiliesGiveEveryRowItsOwnNumbers)
{
    // 702 individuals repeating the nine of the fixture: row i has the numbers of fixture row
    // i mod 9, however the rows are shared out to be walked.
    const GenotypeData small = makeBackcrossFixture();
    GenotypeData data = makeBackcrossFixture();
    const int copies = 78;
    for (int g = 0; g < data.GroupCount(); ++g)
        for (Tlocinfo &locus : data.GroupLoci(g)) {
            std::string codes;
            for (int c = 0; c < copies; ++c)
                codes += locus.Genotypes;
            locus.Genotypes = codes;
        }
    data.nind = 9 * copies;
    data.IndividualNames.clear();
    for (int i = 0; i < data.nind; ++i)
        data.IndividualNames.push_back(small.IndividualNames[static_cast<size_t>(i % 9)] + "_" + std::to_string(i));
    data.TickAll();
    std::string error;
    BackcrossRequest r = request(small, "R", "D", "m5");
    const auto expected = computeBackcrossStatistics(small, r, error);
    const auto table = computeBackcrossStatistics(data, r, error);
    ASSERT_TRUE(expected && table) << error;
    ASSERT_EQ(table->rowCount(), data.nind);
    for (int row = 0; row < table->rowCount(); ++row)
        for (int c = 1; c < table->columnCount(); ++c)
            ASSERT_EQ(table->cell(row, c), expected->cell(row % 9, c)) << "row " << row << " column " << c;
}

TEST(BackcrossStatistics, WithoutTargetHasNoTargetColumns)
{
    const GenotypeData data = makeBackcrossFixture();
    std::string error;
    const auto table = computeBackcrossStatistics(data, request(data, "R", "D"), error);
    ASSERT_TRUE(table) << error;
    EXPECT_EQ(table->columnCount(), 5 + 4);
    EXPECT_EQ(table->cell(3, 2), "65.00");
    EXPECT_EQ(table->columnCaptions()[5], "rpg_markers:g1");
}

TEST(BackcrossStatistics, ExchangedParentsMirrorTheScores)
{
    // With R and D exchanged a score s becomes 1 - s: I2's cM share becomes 100 - 65.
    const GenotypeData data = makeBackcrossFixture();
    std::string error;
    const auto table = computeBackcrossStatistics(data, request(data, "D", "R"), error);
    ASSERT_TRUE(table) << error;
    EXPECT_EQ(table->cell(3, 1), "40.00");
    EXPECT_EQ(table->cell(3, 2), "35.00");
    // Scores now 0, .5, .5, 0 in g1 (one segment m1..m7) and 1 at n1.
    EXPECT_EQ(table->cell(3, 3), "1");
}

TEST(BackcrossStatistics, RefusesBadRequestsWithAMessage)
{
    const GenotypeData data = makeBackcrossFixture();
    struct Case
    {
        const char *recurrent, *donor, *target;
        std::string message;
    };
    const Case cases[] = {
        {"R", "R", "", SameParentsMessage},
        // I1 and R agree wherever both are known and homozygous.
        {"I1", "R", "", NoInformativeLocusMessage},
        {"R", "D", "m3", targetNotInformativeMessage("m3")}, // equal codes
        {"R", "D", "m4", targetNotInformativeMessage("m4")}, // donor unknown
        {"R", "D", "m6", targetNotInformativeMessage("m6")}, // recurrent heterozygous
    };
    for (const Case &c : cases) {
        std::string error;
        EXPECT_FALSE(computeBackcrossStatistics(data, request(data, c.recurrent, c.donor, c.target), error));
        EXPECT_EQ(error, c.message) << c.recurrent << c.donor << c.target;
    }
    // Cross-pollinator data carry two codes per individual; the scores are for one.
    GenotypeData cp = makeBackcrossFixture();
    cp.popt = "cp";
    std::string cpError;
    EXPECT_FALSE(computeBackcrossStatistics(cp, request(cp, "R", "D"), cpError));
    EXPECT_EQ(cpError, TwoCodesMessage);
    PedigreeRequest cpPedigree;
    cpPedigree.parent1 = 0;
    cpPedigree.parent2 = 1;
    EXPECT_FALSE(checkPedigree(cp, cpPedigree, cpError));
    EXPECT_EQ(cpError, TwoCodesMessage);

    std::string error;
    BackcrossRequest missing = request(data, "nobody", "D");
    EXPECT_FALSE(computeBackcrossStatistics(data, missing, error));
    EXPECT_FALSE(error.empty());
}

TEST(BackcrossStatistics, SortsWithMissingValuesLastAndPicksBestCarriers)
{
    const GenotypeData data = makeBackcrossFixture();
    std::string error;
    auto table = computeBackcrossStatistics(data, request(data, "R", "D", "m5"), error);
    ASSERT_TRUE(table) << error;
    // Carriers with rpg_cm: I2 65, I7 50, I6 30, D 0, I3 0; I4 (87.5) does not carry m5.
    EXPECT_EQ(table->bestCarriers(2), (std::vector<int>{3, 8}));
    EXPECT_EQ(table->bestCarriers(-1, 30.0), (std::vector<int>{3, 8, 7}));
    EXPECT_EQ(table->bestCarriers(-1, 30.01), (std::vector<int>{3, 8}));

    table->sortByColumn(2, true);
    std::vector<std::string> names;
    for (int r = 0; r < table->rowCount(); ++r)
        names.push_back(table->cell(r, 0));
    EXPECT_EQ(names, (std::vector<std::string>{"R", "I1", "I4", "I2", "I7", "I6", "D", "I3", "I5"}));
    table->sortByColumn(0);
    EXPECT_EQ(table->cell(0, 0), "D");
    EXPECT_EQ(table->cell(8, 0), "R");
}

TEST(BackcrossStatistics, RowsFollowTheSelectionWhenAsked)
{
    GenotypeData data = makeBackcrossFixture();
    data.Selectionyesno = true;
    data.Ticked.assign(static_cast<size_t>(data.nind), 0);
    data.Ticked[3] = data.Ticked[7] = 1;
    BackcrossRequest r = request(data, "R", "D");
    r.selectedOnly = true;
    std::string error;
    const auto table = computeBackcrossStatistics(data, r, error);
    ASSERT_TRUE(table) << error;
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->cell(0, 0), "I2");
    EXPECT_EQ(table->cell(1, 2), "30.00");
}

TEST(BackcrossCodes, FindsMarkersByTheirNameBeforeAnnotations)
{
    GenotypeData data = makeBackcrossFixture();
    data.GroupLoci(1)[0].Name = "n1 <abxab>";
    const auto place = findMarkerByName(data, "n1");
    ASSERT_TRUE(place);
    EXPECT_EQ(place->group, 1);
    EXPECT_EQ(place->locus, 0);
    EXPECT_FALSE(findMarkerByName(data, "n"));
    EXPECT_FALSE(findMarkerByName(data, "m8"));
}

// Pedigree check with P1 = R and P2 = D. Expected F1 codes where both are known and homozygous:
// m1 H, m2 H, m3 A, m5 H, m7 H, n1 H (m4: D unknown, m6: R heterozygous, n2: R unknown).
TEST(PedigreeCheck, HandWorkedFamily)
{
    const GenotypeData data = makeBackcrossFixture();
    PedigreeRequest req;
    req.parent1 = findIndividualByName(data, "R");
    req.parent2 = findIndividualByName(data, "D");
    std::string error;
    const auto check = checkPedigree(data, req, error);
    ASSERT_TRUE(check) << error;
    ASSERT_EQ(check->expectedLociCount(), 6);
    EXPECT_EQ(std::string{check->expectedCode(2)}, "A");
    EXPECT_EQ(std::string{check->expectedCode(5)}, "H");

    // Similarity: equal 1, heterozygous against homozygous .5, other 0, over loci where both are
    // known; the terms are listed m1 .. m7, n1, n2 with "-" for a locus left out.
    const std::vector<std::vector<std::string>> rows{
        // R: only m3 matches (1/6). Against D: 0,0,1,-,0,.5,0,0,- = 1.5/7.
        {"R", "16.67", "100.00", "21.43", "self of P1", "5", "m1, m2, m5, m7, n1"},
        {"D", "16.67", "21.43", "100.00", "self of P2", "5", "m1, m2, m5, m7, n1"},
        // I1 against R: 1,1,1,1,1,.5,1,1,- = 7.5/8; against D: 0,0,1,-,0,0,0,0,1 = 2/8.
        {"I1", "16.67", "93.75", "25.00", "check", "5", "m1, m2, m5, m7, n1"},
        // I2: m2 H and m5 h match; m1 A, m3 H, m7 B, n1 B contradict. Against R
        // 1,.5,.5,.5,.5,1,1,0,- = 5/8; against D 0,.5,.5,-,.5,.5,0,1,1 = 4/8.
        {"I2", "33.33", "62.50", "50.00", "check", "4", "m1, m3, m7, n1"},
        // I3: m3 matches, m1 B, m5 B, m7 A contradict, m2 and n1 unknown: 1/4. Against R
        // 0,-,1,1,0,.5,0,-,- = 2.5/6; against D 1,-,1,-,1,0,1,-,1 = 5/6.
        {"I3", "25.00", "41.67", "83.33", "check", "3", "m1, m5, m7"},
        // I4: m3 A and n1 H match; the other code X at m7 contradicts. Against R
        // 0,1,1,1,1,.5,0,.5,- = 5/8; against D 1,0,1,-,0,0,0,.5,1 = 3.5/8.
        {"I4", "33.33", "62.50", "43.75", "check", "4", "m1, m2, m5, m7"},
        // Nothing known.
        {"I5", "-", "-", "-", "check", "0", ""},
        // Against R 0,1,1,1,0,.5,0,0,- = 3.5/8; against D 1,0,1,-,1,0,1,1,1 = 6/8.
        {"I6", "16.67", "43.75", "75.00", "check", "5", "m1, m2, m5, m7, n1"},
        // The true F1: against R .5,.5,1,-,.5,1,.5,.5,- = 4.5/7; against D .5,.5,1,-,.5,.5,.5,.5,1 = 5/8.
        {"I7", "100.00", "64.29", "62.50", "F1", "0", ""},
    };
    ASSERT_EQ(check->rowCount(), static_cast<int>(rows.size()));
    for (int r = 0; r < check->rowCount(); ++r)
        for (int c = 0; c < check->columnCount(); ++c)
            EXPECT_EQ(check->cell(r, c), rows[static_cast<size_t>(r)][static_cast<size_t>(c)])
                << rows[static_cast<size_t>(r)][0] << " " << PedigreeCheck::columnCaptions()[static_cast<size_t>(c)];
}

TEST(PedigreeCheck, VerdictsFollowTheThresholds)
{
    const GenotypeData data = makeBackcrossFixture();
    PedigreeRequest req;
    req.parent1 = findIndividualByName(data, "R");
    req.parent2 = findIndividualByName(data, "D");
    std::string error;
    auto check = checkPedigree(data, req, error);
    ASSERT_TRUE(check) << error;
    struct Case
    {
        double f1, self;
        int row;
        const char *verdict;
    };
    const Case cases[] = {
        {95, 95, 2, "check"},       // I1: f1 16.67, P1 93.75
        {95, 93.75, 2, "self of P1"}, // the threshold itself counts
        {95, 93.76, 2, "check"},
        {33.33, 95, 3, "F1"},       // I2: f1 33.333.. >= 33.33
        {33.34, 95, 3, "check"},
        {95, 83.33, 4, "self of P2"}, // I3: P1 41.67, P2 83.333..
        {100, 95, 8, "F1"},         // I7: 100
        {10, 10, 0, "F1"},          // F1 is judged first
        {101, 20, 2, "self of P1"}, // then P1 before P2 (I1: 93.75 and 25)
    };
    for (const Case &c : cases) {
        check->setThresholds(c.f1, c.self);
        EXPECT_STREQ(PedigreeCheck::verdictText(check->verdict(c.row)), c.verdict) << c.f1 << " " << c.self << " row " << c.row;
    }
}

TEST(PedigreeCheck, RefusesBadRequests)
{
    const GenotypeData data = makeBackcrossFixture();
    std::string error;
    PedigreeRequest same;
    same.parent1 = same.parent2 = 0;
    EXPECT_FALSE(checkPedigree(data, same, error));
    EXPECT_EQ(error, SamePedigreeParentsMessage);
    // I5 is unknown everywhere: no locus where both parents are known and homozygous.
    PedigreeRequest unknown;
    unknown.parent1 = 0;
    unknown.parent2 = 6;
    EXPECT_FALSE(checkPedigree(data, unknown, error));
    EXPECT_EQ(error, NoExpectedLocusMessage);
}

} // namespace
} // namespace rvk
