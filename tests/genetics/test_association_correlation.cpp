#include "genetics/association.h"
#include "genetics/associationplotdata.h"
#include "genetics/markerdata.h"
#include "settings/alleletable.h"
#include "tests/io/exportfixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace rvk {
namespace {

using Table = AssociationResults::Table;

// Eight plants, four markers (m2 without variation, m3 and m4 with a missing score), two traits
// (I7 has no height; Z has trait values but no genotypes). A = 0, H = 1, B = 2, "-" missing.
struct CorrelationFixture
{
    GenotypeData data;
    AlleleTable alleles;
    MarkerData markers;
    TraitTable traits;

    CorrelationFixture()
    {
        test::setIndividuals(data, {"I1", "I2", "I3", "I4", "I5", "I6", "I7", "I8"});
        test::addGroup(data, "g1", {{"m1", 0, "AHBABHAB"}, {"m2", 5, "AAAAAAAA"}});
        test::addGroup(data, "g2", {{"m3", 0, "AHB-BHAA"}, {"m4", 9, "BBHHAA-B"}});
        alleles.setNumval(AlleleTable::indexOf('A'), 0.0);
        alleles.setNumval(AlleleTable::indexOf('H'), 1.0);
        alleles.setNumval(AlleleTable::indexOf('B'), 2.0);
        alleles.setNumval(AlleleTable::indexOf('-'), MissingNumval);
        markers.fillFromGenotypes(data, alleles);
        pasteTable(traits, "\tI1\tI2\tI3\tI4\tI5\tI6\tI7\tI8\tZ\r\n"
                           "height\t10.5\t12.25\t14\t9.75\t13.5\t11\t\t15\t99\r\n"
                           "yield\t3.1\t2.2\t4.4\t1.0\t5.5\t2.5\t3.3\t4.0\t-7\r\n");
    }
};

std::vector<std::string> columnOf(const AssociationResults &results, Table table, int column)
{
    std::vector<std::string> cells;
    for (int r = 0; r < results.rowCount(table); ++r)
        cells.push_back(results.cell(table, column, r));
    return cells;
}

TEST(MarkerDataTable, CellsFromGenotypesInBothCodings)
{
    CorrelationFixture f;
    EXPECT_EQ(f.markers.rowCount(), 5);
    EXPECT_EQ(f.markers.columnCount(), 9);
    EXPECT_EQ(f.markers.cell(0, 3), "2>m3");
    EXPECT_EQ(f.markers.cell(3, 0), "I3");
    EXPECT_EQ(f.markers.cell(3, 1), "2");
    EXPECT_EQ(f.markers.cell(4, 3), "") << "missing score";
    EXPECT_EQ(f.markers.groupNumberOf(4), 2);

    f.alleles.setNumval(AlleleTable::indexOf('H'), 0.5);
    EXPECT_EQ(f.markers.cell(2, 1), "1") << "the values are those of the last fill";
    f.markers.fillFromGenotypes(f.data, f.alleles);
    EXPECT_EQ(f.markers.cell(2, 1), "0.5");

    f.markers.fillFromGenotypes(f.data, f.alleles, MarkerData::Coding::CodeNumber);
    EXPECT_EQ(f.markers.cell(1, 1), "24") << "'A' is code 65, 65 - 41";
    EXPECT_EQ(f.markers.cell(4, 3), "");
}

TEST(MarkerDataTable, PastedCellsShowAsTheTablePasteStoresThem)
{
    const std::string text = "\tI1\t12\tI3\tI4\tI5\tI6\tI7\r\n"
                             "1>a\t1.234\t-0.004\t1.005\t1e3\t 7 \tx y\t-3.5\r\n"
                             "1>b\t3000000000\t\t0.125\t+2\r\n"
                             "2>c\t1\t2\t3\t4\t5\t6\t7\t8\r\n";
    MarkerData markers;
    markers.paste(text);
    TraitTable reference; // the plain table paste, cell by cell
    pasteTable(reference, text);
    ASSERT_EQ(markers.rowCount(), reference.rowCount());
    ASSERT_EQ(markers.columnCount(), reference.columnCount());
    for (int r = 0; r < reference.rowCount(); ++r)
        for (int c = 0; c < reference.columnCount(); ++c)
            EXPECT_EQ(markers.cell(c, r), reference.cell(c, r)) << c << "," << r;
    EXPECT_EQ(markers.individualName(2), "12.00");

    double values[7];
    std::string bad;
    EXPECT_TRUE(markers.rowValues(2, {1, 2, 3, 4, 5, 6, 7}, values, &bad));
    EXPECT_EQ(values[0], 3000000000.0);
    EXPECT_EQ(values[1], MarkerData::Missing);
    EXPECT_EQ(values[2], 0.12) << "as the shown 0.12 reads (0.125 rounds to even)";
    EXPECT_EQ(values[5], MarkerData::Missing) << "beyond the line";
    EXPECT_FALSE(markers.rowValues(1, {1, 2, 3, 4, 5, 6, 7}, values, &bad));
    EXPECT_EQ(bad, "x y");
    EXPECT_EQ(values[0], 1.23);
    EXPECT_EQ(values[3], 1000.0);
}

TEST(MarkerDataTable, PasteReplacesTheGenotypeViewUntilRefilled)
{
    CorrelationFixture f;
    f.markers.paste("\tI1\tI2\r\n1>x\t1.234\tzz\r\n");
    EXPECT_TRUE(f.markers.isPasted());
    EXPECT_EQ(f.markers.rowCount(), 2);
    EXPECT_EQ(f.markers.cell(1, 1), "1.23");
    double values[2];
    std::string bad;
    EXPECT_FALSE(f.markers.rowValues(1, {1, 2}, values, &bad));
    EXPECT_EQ(bad, "zz");
    f.markers.fillFromGenotypes(f.data, f.alleles);
    EXPECT_FALSE(f.markers.isPasted());
    EXPECT_EQ(f.markers.cell(0, 1), "1>m1");
}

// Expected cells computed independently (two-pass sums, the t tail integrated numerically, the
// two-stage FDR written out again) and kept as numbers.
TEST(CorrelationAssociation, FiveTablesAgainstAnIndependentComputation)
{
    CorrelationFixture f;
    AssociationResults results;
    const CorrelationOutcome outcome = runCorrelationAssociation(f.markers, f.traits, 0.05, results);
    ASSERT_TRUE(outcome.completed) << outcome.error;

    EXPECT_EQ(columnOf(results, Table::LogP, 0), (std::vector<std::string>{"", "FDR thresh.", "1>m1", "1>m2", "2>m3", "2>m4"}));
    EXPECT_EQ(columnOf(results, Table::LogP, 1), (std::vector<std::string>{"height", "2.8", "2.8", " X", "0.2", "0.1"}));
    EXPECT_EQ(columnOf(results, Table::P, 1),
              (std::vector<std::string>{"height", "0.00153", "1.5E-003", " X", "6.3E-001", "8.5E-001"}));
    EXPECT_EQ(columnOf(results, Table::R, 1), (std::vector<std::string>{"height", "0.94", " X", "0.25", "0.09"}));
    EXPECT_EQ(columnOf(results, Table::R2, 1), (std::vector<std::string>{"height", "0.89", " X", "0.06", "0.01"}));
    // The " X" row takes no part in the FDR: with it counted as p = 0 the q-values would differ.
    EXPECT_EQ(columnOf(results, Table::Q, 1), (std::vector<std::string>{"height", "0.003", " X", "0.564", "0.564"}));
    EXPECT_EQ(columnOf(results, Table::R, 0), (std::vector<std::string>{"", "1>m1", "1>m2", "2>m3", "2>m4"}));

    // No marker passes the FDR for yield.
    EXPECT_EQ(columnOf(results, Table::LogP, 2), (std::vector<std::string>{"yield", "1E99", "1.3", " X", "0.6", "0.2"}));
    EXPECT_EQ(columnOf(results, Table::P, 2),
              (std::vector<std::string>{"yield", "0.00000", "4.5E-002", " X", "2.6E-001", "6.1E-001"}));
    EXPECT_EQ(columnOf(results, Table::R, 2), (std::vector<std::string>{"yield", "0.72", " X", "0.50", "-0.24"}));
    EXPECT_EQ(columnOf(results, Table::Q, 2), (std::vector<std::string>{"yield", "0.136", " X", "0.387", "0.607"}));

    EXPECT_NEAR(results.p(1, 0), 1.5e-3, 1e-12) << "the plot reads the table as shown";
    EXPECT_NEAR(results.pThreshold(1), 0.0015309408642634774, 1e-9);
    EXPECT_EQ(results.q(1, 1), -1.0);
    EXPECT_DOUBLE_EQ(results.r(2, 3), -0.24);
}

TEST(CorrelationAssociation, TwoSharedIndividualsGiveZeroDegreesOfFreedom)
{
    GenotypeData data;
    AlleleTable alleles;
    test::setIndividuals(data, {"a", "b", "c"});
    test::addGroup(data, "g", {{"m", 0, "AB-"}});
    alleles.setNumval(AlleleTable::indexOf('A'), 0.0);
    alleles.setNumval(AlleleTable::indexOf('B'), 2.0);
    alleles.setNumval(AlleleTable::indexOf('-'), MissingNumval);
    MarkerData markers;
    markers.fillFromGenotypes(data, alleles);
    TraitTable traits;
    pasteTable(traits, "\ta\tb\tc\nt\t5\t1\t3\n");
    AssociationResults results;
    ASSERT_TRUE(runCorrelationAssociation(markers, traits, 0.05, results).completed);
    EXPECT_EQ(results.cell(Table::R, 1, 1), "-1.00");
    EXPECT_EQ(results.cell(Table::P, 1, 2), "0.0E+000");
    EXPECT_EQ(results.cell(Table::LogP, 1, 2), "-1.0");
}

TEST(CorrelationAssociation, CellThatIsNoNumberStopsTheRun)
{
    CorrelationFixture f;
    f.traits.setCell(3, 2, "n/a");
    AssociationResults results;
    const CorrelationOutcome outcome = runCorrelationAssociation(f.markers, f.traits, 0.05, results);
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(outcome.error, "'n/a' is not a valid floating point value");

    f.markers.paste("\tI1\tI2\tI3\n1>m\t1\t2\t\n2>m\t1\t?\t2\n");
    f.traits.setCell(3, 2, "1");
    const CorrelationOutcome pasted = runCorrelationAssociation(f.markers, f.traits, 0.05, results);
    EXPECT_EQ(pasted.error, "'?' is not a valid floating point value");
    EXPECT_EQ(results.cell(Table::R, 1, 1), "1.00") << "rows before the bad cell keep their results";
}

TEST(CorrelationAssociation, StoppedRunKeepsExactlyWhatWasWrittenBeforeTheStop)
{
    // The run goes trait by trait, marker by marker, individual by individual (trait cell, then
    // marker cell); the first cell that is no number stops it. The traits before are complete
    // (with their FDR), the trait it stops in keeps its heading and the markers before, the rest
    // stays empty: no " X", no threshold, no q-values.
    const std::vector<std::string> none6(6), none5(5);
    const std::vector<std::string> heightLogP{"height", "2.8", "2.8", " X", "0.2", "0.1"};
    const std::vector<std::string> heightQ{"height", "0.003", " X", "0.564", "0.564"};
    // Pasted marker data over I1..I4 (height 10.5, 12.25, 14, 9.75); row a 0, 1, 2, 1 gives by
    // hand Sxy = 3.5, Sxx = 10.8125, Syy = 2, R = 0.75 and with 2 degrees of freedom p = 1 - R,
    // -log10 p = 0.6; row b holds "?" at I2.
    const std::string pastedMarkers = "\tI1\tI2\tI3\tI4\n1>a\t0\t1\t2\t1\n1>b\t1\t?\t0\t2\n2>c\t2\t1\t1\t0\n";
    const struct
    {
        const char *what;
        int traitColumn; // the trait-table column (individual) given a bad value, 0 for none
        int traitRow;
        bool pasted;
        const char *message;
        std::vector<std::string> logP1, q1, r1, logP2, q2;
    } cases[] = {
        {"bad yield value", 3, 2, false, "'n/a' is not a valid floating point value", heightLogP, heightQ,
         {"height", "0.94", " X", "0.25", "0.09"}, {"yield", "", "", "", "", ""}, {"yield", "", "", "", ""}},
        {"bad height value", 3, 1, false, "'n/a' is not a valid floating point value", {"height", "", "", "", "", ""},
         {"height", "", "", "", ""}, {"height", "", "", "", ""}, none6, none5},
        {"bad marker cell", 0, 0, true, "'?' is not a valid floating point value", {"height", "", "0.6", "", ""},
         {"height", "", "", ""}, {"height", "0.75", "", ""}, {"", "", "", "", ""}, {"", "", "", ""}},
        // I2's marker cell comes before I3's trait cell, I3's trait cell before I4's.
        {"bad marker cell first", 3, 1, true, "'?' is not a valid floating point value", {"height", "", "", "", ""},
         {"height", "", "", ""}, {"height", "", "", ""}, {"", "", "", "", ""}, {"", "", "", ""}},
        {"bad height value first", 2, 1, true, "'n/a' is not a valid floating point value", {"height", "", "", "", ""},
         {"height", "", "", ""}, {"height", "", "", ""}, {"", "", "", "", ""}, {"", "", "", ""}},
    };
    for (const auto &c : cases) {
        CorrelationFixture f;
        if (c.pasted) {
            f.markers.paste(pastedMarkers);
            // Moved into row b of the marker data: the bad marker cell is met at marker 1 of the
            // first trait, or at marker 0 when it is in row a.
            if (c.traitColumn != 0)
                f.markers.paste("\tI1\tI2\tI3\tI4\n1>a\t1\t?\t0\t2\n1>b\t0\t1\t2\t1\n2>c\t2\t1\t1\t0\n");
        }
        if (c.traitColumn != 0)
            f.traits.setCell(c.traitColumn, c.traitRow, "n/a");
        AssociationResults results;
        const CorrelationOutcome outcome = runCorrelationAssociation(f.markers, f.traits, 0.05, results);
        EXPECT_FALSE(outcome.completed) << c.what;
        EXPECT_EQ(outcome.error, c.message) << c.what;
        EXPECT_EQ(columnOf(results, Table::LogP, 1), c.logP1) << c.what;
        EXPECT_EQ(columnOf(results, Table::Q, 1), c.q1) << c.what;
        EXPECT_EQ(columnOf(results, Table::R, 1), c.r1) << c.what;
        EXPECT_EQ(columnOf(results, Table::LogP, 2), c.logP2) << c.what;
        EXPECT_EQ(columnOf(results, Table::Q, 2), c.q2) << c.what;
        EXPECT_EQ(results.cell(Table::LogP, 0, 1), "FDR thresh.") << c.what;
    }
}

TEST(AssociationResultsPaste, PastedTablesReplaceTheComputedOnes)
{
    CorrelationFixture f;
    AssociationResults results;
    runCorrelationAssociation(f.markers, f.traits, 0.05, results);
    results.pastePValues("\tT\r\nm1\t0.001\r\nm2\t0.5\r\n", "0.05");
    EXPECT_EQ(columnOf(results, Table::P, 0), (std::vector<std::string>{"", "thresh:", "m1", "m2"}));
    EXPECT_EQ(columnOf(results, Table::P, 1), (std::vector<std::string>{"T", "0.05", "0.00", "0.50"}));
    EXPECT_EQ(columnOf(results, Table::Q, 1), (std::vector<std::string>{"T", "0.00", "0.50"})) << "q holds the pasted values";
    EXPECT_EQ(results.cell(Table::R, 1, 1), "0.94") << "other tables keep the run";

    results.pasteRValues("\tT\nm1\t-0.5\n");
    EXPECT_EQ(results.cell(Table::R, 1, 1), "-0.50");
    EXPECT_EQ(results.cell(Table::R2, 1, 1), "0.25");
}

TEST(AssociationResultsPaste, RSquaredSquaresThePastedValueNotItsTwoDecimalText)
{
    // R² by hand from the pasted values; squaring the two-decimal R text instead gives the
    // numbers in the comments.
    AssociationResults results;
    results.pasteRValues("\tT1\tT2\r\n"
                         "m1\t0.335\t-0.705\r\n"  // R "0.34" and "-0.70": 0.1156 and 0.49
                         "m2\t0.995\tn/a\r\n"     // R "0.99": 0.9801
                         "m3\t\t0.5\r\n");
    const struct
    {
        int column, row;
        const char *r, *r2;
    } cases[] = {
        {1, 1, "0.34", "0.11"},  // 0.112225
        {2, 1, "-0.70", "0.50"}, // 0.497025
        {1, 2, "0.99", "0.99"},  // 0.990025
        {2, 2, "n/a", "n/a"},    {1, 3, "", ""}, {2, 3, "0.50", "0.25"}, {1, 0, "T1", "T1"}, {0, 2, "m2", "m2"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(results.cell(Table::R, c.column, c.row), c.r) << c.column << "," << c.row;
        EXPECT_EQ(results.cell(Table::R2, c.column, c.row), c.r2) << c.column << "," << c.row;
    }
}

TEST(AssociationPlotData, LociReadTheirOwnRowsByName)
{
    CorrelationFixture f;
    // Marker data pasted in another order, without m2 and with a marker the data set lacks.
    f.markers.paste("\tI1\tI2\tI3\tI4\tI5\tI6\tI7\tI8\r\n"
                    "2>M4\t1\t1\t0\t0\t-1\t-1\t\t1\r\n"
                    "9>other\t1\t2\t3\t4\t5\t6\t7\t8\r\n"
                    "1>m1\t-1\t0\t1\t-1\t1\t0\t-1\t1\r\n");
    AssociationResults results;
    ASSERT_TRUE(runCorrelationAssociation(f.markers, f.traits, 0.05, results).completed);
    const auto groups = associationPlotGroups(f.data, f.markers);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].names, (std::vector<std::string>{"m1"}));
    EXPECT_EQ(groups[0].resultRows, (std::vector<int>{2}));
    EXPECT_EQ(groups[1].names, (std::vector<std::string>{"m4"})) << "names compared without regard to case";
    EXPECT_EQ(groups[1].resultRows, (std::vector<int>{0}));

    const AssociationPlotInput input = associationPlotInput(f.data, f.markers, results, {{"height", true}, {"yield", false}});
    EXPECT_EQ(input.traitNames, (std::vector<std::string>{"height"}));
    EXPECT_DOUBLE_EQ(input.r(1, groups[0].resultRows[0]), 0.94) << "m1's own correlation";

    const TraitLdPlotInput ld = traitLdPlotInput(f.data, f.markers, results, 1);
    EXPECT_EQ(ld.traitName, "height");
    ASSERT_EQ(ld.groups[0].loci.size(), 2u);
    EXPECT_DOUBLE_EQ(ld.groups[0].loci[0].r2, 0.89);
    EXPECT_DOUBLE_EQ(ld.groups[0].loci[0].oneMinusQ, 1.0 - 0.003);
    EXPECT_EQ(ld.groups[0].loci[1].r2, 0.0) << "m2 is in no row: no values";
}

TEST(AssociationPlotData, GroupsSharingMarkerNamesShowTheirOwnResults)
{
    // Two chromosomes whose markers are both named M1, M2. Trait 1, 2, 3, 4 against A = 0, B = 2:
    // AABB and BBAA give R = +-4/sqrt(20) = +-0.89 (R² 0.80), ABAB and BABA +-2/sqrt(20) = +-0.45
    // (R² 0.20).
    GenotypeData data;
    test::setIndividuals(data, {"P1", "P2", "P3", "P4"});
    test::addGroup(data, "chr1", {{"M1", 0, "AABB"}, {"M2", 10, "ABAB"}});
    test::addGroup(data, "chr2", {{"M1", 0, "BBAA"}, {"m2", 10, "BABA"}});
    AlleleTable alleles;
    alleles.setNumval(AlleleTable::indexOf('A'), 0.0);
    alleles.setNumval(AlleleTable::indexOf('B'), 2.0);
    TraitTable traits;
    pasteTable(traits, "\tP1\tP2\tP3\tP4\nt\t1\t2\t3\t4\n");
    const std::vector<std::vector<double>> expected = {{0.89, 0.45}, {-0.89, -0.45}};

    const auto check = [&](const MarkerData &markers, const std::string &what) {
        AssociationResults results;
        ASSERT_TRUE(runCorrelationAssociation(markers, traits, 0.05, results).completed) << what;
        const AssociationPlotInput input = associationPlotInput(data, markers, results, {{"t", true}});
        const TraitLdPlotInput ld = traitLdPlotInput(data, markers, results, 1);
        ASSERT_EQ(input.groups.size(), 2u) << what;
        for (size_t g = 0; g < 2; ++g) {
            ASSERT_EQ(input.groups[g].resultRows.size(), 2u) << what << " group " << g;
            for (size_t k = 0; k < 2; ++k) {
                const double r = expected[g][k];
                EXPECT_DOUBLE_EQ(input.r(1, input.groups[g].resultRows[k]), r) << what << " group " << g << " locus " << k;
                EXPECT_DOUBLE_EQ(ld.groups[g].loci[k].r2, k == 0 ? 0.8 : 0.2) << what << " group " << g << " locus " << k;
            }
        }
    };
    MarkerData filled;
    filled.fillFromGenotypes(data, alleles);
    check(filled, "filled from the genotypes");

    // Pasted in another order: each row names its group.
    MarkerData pasted;
    pasted.paste("\tP1\tP2\tP3\tP4\n2>M2\t2\t0\t2\t0\n1>m1\t0\t0\t2\t2\n2>M1\t2\t2\t0\t0\n1>M2\t0\t2\t0\t2\n");
    check(pasted, "pasted");
    EXPECT_EQ(associationPlotGroups(data, pasted)[1].resultRows, (std::vector<int>{2, 0}));

    // A label without a group number stands for that name in every group that has no own row.
    MarkerData unnumbered;
    unnumbered.paste("\tP1\tP2\tP3\tP4\nM2\t1\t2\t2\t1\n1>M2\t0\t2\t0\t2\n");
    const auto groups = associationPlotGroups(data, unnumbered);
    EXPECT_EQ(groups[0].names, (std::vector<std::string>{"M2"}));
    EXPECT_EQ(groups[0].resultRows, (std::vector<int>{1}));
    EXPECT_EQ(groups[1].names, (std::vector<std::string>{"m2"}));
    EXPECT_EQ(groups[1].resultRows, (std::vector<int>{0}));
}

TEST(CorrelationAssociation, CancelStopsTheRun)
{
    CorrelationFixture f;
    AssociationResults results;
    AnalysisHooks hooks;
    long long shown = -1;
    hooks.progress = [&shown](long long position, long long) { shown = position; };
    hooks.cancelled = [] { return true; };
    const CorrelationOutcome outcome = runCorrelationAssociation(f.markers, f.traits, 0.05, results, hooks);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(shown, 0) << "the progress bar is reset";
}

} // namespace
} // namespace rvk
