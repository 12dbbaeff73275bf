#include "genetics/association.h"
#include "genetics/markerdata.h"
#include "settings/alleletable.h"
#include "support/scripteduserinterface.h"
#include "tests/io/exportfixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rvk {
namespace {

using Table = AssociationResults::Table;

TEST(AnovaAssociation, TablesAndReportOfEveryPair)
{
    GenotypeData data;
    AlleleTable alleles;
    alleles.setNumval(AlleleTable::indexOf('-'), MissingNumval);
    test::setIndividuals(data, {"P1", "P2", "P3", "P4", "P5", "P6", "P7"});
    // m1 separates the trait well; m2 has one level only among the plants with trait values.
    test::addGroup(data, "g1", {{"m1", 0, "AAABBBC"}, {"m2", 3, "AAAAAA-"}});
    MarkerData markers;
    markers.fillFromGenotypes(data, alleles, MarkerData::Coding::CodeNumber);
    TraitTable traits;
    // P7 has the missing value -99, which takes no part.
    pasteTable(traits, "\tP1\tP2\tP3\tP4\tP5\tP6\tX\tP7\nheight\t1\t1.5\t2\t8\t8.5\t9\t4\t-99\n");
    const TraitTable sync = buildSyncTable(traits, markers.individualNames());

    AssociationResults results;
    std::string report;
    const AnovaOutcome outcome = runAnovaAssociation(markers, sync, results, report);
    ASSERT_TRUE(outcome.completed) << outcome.error;
    EXPECT_EQ(outcome.pairs, 2);
    EXPECT_EQ(outcome.untested, 1);

    // SSB = 73.5, MSW = 0.25, F = 294 with 1 and 4 degrees of freedom: p = 6.8e-5.
    EXPECT_EQ(results.cell(Table::P, 0, 1), "threshold");
    EXPECT_EQ(results.cell(Table::P, 1, 0), "height");
    EXPECT_EQ(results.cell(Table::P, 1, 1), "0.05");
    EXPECT_EQ(results.cell(Table::P, 1, 2), "0.000");
    EXPECT_EQ(results.cell(Table::LogP, 1, 2), "4.2");
    EXPECT_EQ(results.cell(Table::P, 1, 3), " X") << "no test for a marker with one level";
    EXPECT_EQ(results.cell(Table::P, 0, 3), "1>m2");
    EXPECT_EQ(results.cell(Table::R, 0, 1), "1>m1") << "the other tables get the labels only";
    EXPECT_EQ(results.cell(Table::R, 1, 1), "");
    EXPECT_EQ(results.cell(Table::R2, 1, 0), "");
    EXPECT_EQ(results.cell(Table::Q, 1, 1), "");
    EXPECT_EQ(results.q(1, 0), -1.0) << "the plot finds no q-values";

    EXPECT_NE(report.find("Dependent variable is: height, Independent variable is: 1>m1"), std::string::npos);
    EXPECT_NE(report.find("BETWEEN      1     73.50     73.50    294.00      0.00      0.98"), std::string::npos) << report;
    EXPECT_EQ(report.find("   C "), std::string::npos) << "a level without trait values is not listed";
    EXPECT_NE(report.find("deg.s freedom: 3 and"), std::string::npos) << "but it counts among the level slots";
    EXPECT_NE(report.find("Fewer than two levels with trait values: no test."), std::string::npos);
}

TEST(AnovaAssociation, StrongMarkersShowTheirMinusLogP)
{
    // 200 plants, 100 of allele A and 100 of B. Trait h1 is 10 + (i mod 3) - 1 for plant i of A
    // and 100 + (i mod 3) - 1 for B: F = 603111.67 with 1 and 198 degrees of freedom,
    // p = 7.07e-347 (below the smallest double), -log10 p = 346.1505. Trait h2 has 13 in place
    // of 100: F = 674.449, p = 1.11e-65, -log10 p = 64.9551. (Exact rational sums of squares,
    // the F tail from mpmath with 60 digits.)
    GenotypeData data;
    AlleleTable alleles;
    std::vector<std::string> names;
    std::string header, heights;
    for (int i = 0; i < 200; ++i) {
        names.push_back("P" + std::to_string(i + 1));
        header += "\t" + names.back();
    }
    test::setIndividuals(data, names);
    const std::string genotypes = std::string(100, 'A') + std::string(100, 'B');
    test::addGroup(data, "g1", {{"m1", 0, genotypes}, {"m2", 3, genotypes}});
    std::string h1 = "h1", h2 = "h2";
    for (int i = 0; i < 200; ++i) {
        const int offset = i % 3 - 1;
        h1 += "\t" + std::to_string((i < 100 ? 10 : 100) + offset);
        h2 += "\t" + std::to_string((i < 100 ? 10 : 13) + offset);
    }
    MarkerData markers;
    markers.fillFromGenotypes(data, alleles, MarkerData::Coding::CodeNumber);
    TraitTable traits;
    pasteTable(traits, header + "\n" + h1 + "\n" + h2 + "\n");
    const TraitTable sync = buildSyncTable(traits, markers.individualNames());
    AssociationResults results;
    std::string report;
    ASSERT_TRUE(runAnovaAssociation(markers, sync, results, report).completed);
    EXPECT_EQ(results.cell(Table::P, 1, 2), "0.000");
    EXPECT_EQ(results.cell(Table::LogP, 1, 2), "346.2") << "not the -1.0 of a marker without p-value";
    EXPECT_EQ(results.cell(Table::P, 2, 3), "0.000");
    EXPECT_EQ(results.cell(Table::LogP, 2, 3), "65.0");
}

TEST(AnovaAssociation, StoppedRunKeepsExactlyWhatWasWrittenBeforeTheStop)
{
    GenotypeData data;
    AlleleTable alleles;
    test::setIndividuals(data, {"P1", "P2", "P3", "P4"});
    test::addGroup(data, "g1", {{"m1", 0, "AABB"}, {"m2", 3, "ABAB"}});
    MarkerData markers;
    markers.fillFromGenotypes(data, alleles, MarkerData::Coding::CodeNumber);
    TraitTable traits;
    pasteTable(traits, "\tP1\tP2\tP3\tP4\nheight\t1\t2\t8\t9\nyield\t3\tlow\t4\t5\nweight\t1\t2\t3\t4\n");
    AssociationResults results;
    std::string report;
    const AnovaOutcome outcome = runAnovaAssociation(markers, buildSyncTable(traits, markers.individualNames()), results, report);
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(outcome.error, "'low' is not a valid floating point value");
    // height complete; yield its heading and threshold only; weight nothing.
    const std::vector<std::vector<std::string>> expected = {{"", "threshold", "1>m1", "1>m2"},
                                                            {"height", "0.05", results.cell(Table::P, 1, 2), results.cell(Table::P, 1, 3)},
                                                            {"yield", "0.05", "", ""},
                                                            {"", "", "", ""}};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_EQ(results.cell(Table::P, c, r), expected[static_cast<size_t>(c)][static_cast<size_t>(r)]) << c << "," << r;
    EXPECT_NE(results.cell(Table::P, 1, 2), " X");
    EXPECT_NE(results.cell(Table::P, 1, 2), "");
    EXPECT_EQ(results.cell(Table::LogP, 2, 2), "");
}

// A population of 12 plants and 300 markers whose levels repeat in five patterns, and two traits:
// "even" has equal level means at some markers (F = 0, and t = 0 between two of three levels),
// "spread" differs between levels and has a missing value.
struct ManyPairs
{
    ManyPairs()
    {
        std::vector<std::string> names;
        std::string header;
        for (int i = 1; i <= 12; ++i) {
            names.push_back("P" + std::to_string(i));
            header += "\t" + names.back();
        }
        test::setIndividuals(data, names);
        const std::string patterns[] = {"AAAABBBBCCCC", "AABBAABBCCCC", "ABABABABABAB", "AAAAAAAABBBB", "ACBHACBHAC-H"};
        std::vector<test::LocusSpec> loci;
        for (int m = 0; m < 300; ++m)
            loci.push_back({"m" + std::to_string(m + 1), m * 0.5, patterns[(m * 7 + m / 13) % 5]});
        test::addGroup(data, "g1", loci);
        markers.fillFromGenotypes(data, alleles, MarkerData::Coding::CodeNumber);
        pasteTable(traits, header + "\neven\t1\t3\t1\t3\t1\t3\t1\t3\t10\t12\t10\t12\n"
                               "spread\t1\t2\t2.5\t4\t8\t8.5\t9\t7\t3\t3.5\t-99\t5\n");
        sync = buildSyncTable(traits, markers.individualNames());
    }

    GenotypeData data;
    AlleleTable alleles;
    MarkerData markers;
    TraitTable traits;
    TraitTable sync;
};

struct AnovaRun
{
    AnovaOutcome outcome;
    AssociationResults results;
    AnovaAssociationReport report;
    test::ScriptedUserInterface ui;
};

void runWith(const MarkerData &markers, const TraitTable &sync, int threads, AnovaRun &run)
{
    run.outcome = runAnovaAssociation(markers, sync, run.results, run.report, {}, &run.ui, threads);
}

std::vector<std::string> messageTexts(const test::ScriptedUserInterface &ui)
{
    std::vector<std::string> texts;
    for (const auto &message : ui.messages)
        texts.push_back(message.text);
    return texts;
}

// Shared among threads the run gives what one thread gives: the tables, the report and the
// messages, in the order of the pairs; the report's lines read one by one are its text.
TEST(AnovaAssociation, ThreadsShareTheRunWithoutChangingIt)
{
    ManyPairs f;
    AnovaRun one, two;
    runWith(f.markers, f.sync, 1, one);
    runWith(f.markers, f.sync, 2, two);
    ASSERT_TRUE(one.outcome.completed);
    ASSERT_TRUE(two.outcome.completed);
    EXPECT_EQ(two.outcome.pairs, 600);
    EXPECT_EQ(two.outcome.untested, one.outcome.untested);
    for (Table table : {Table::P, Table::LogP})
        EXPECT_EQ(two.results.grid(table), one.results.grid(table));
    const std::string text = one.report.text();
    EXPECT_EQ(two.report.text(), text);
    EXPECT_EQ(messageTexts(two.ui), messageTexts(one.ui));

    // The text is each pair's report of the engine, traits first, then markers.
    std::string engine;
    std::vector<int> codes(12);
    std::vector<double> values(12);
    std::vector<char> has(12);
    std::vector<int> columns(12);
    for (int c = 0; c < 12; ++c)
        columns[static_cast<size_t>(c)] = c + 1;
    for (int t = 1; t <= 2; ++t) {
        for (int c = 0; c < 12; ++c) {
            values[static_cast<size_t>(c)] = std::stod(f.sync.cell(c + 1, t));
            has[static_cast<size_t>(c)] = values[static_cast<size_t>(c)] != MarkerData::Missing;
        }
        for (int m = 1; m <= 300; ++m) {
            std::vector<double> row(12);
            ASSERT_TRUE(f.markers.rowValues(m, columns, row.data(), nullptr));
            for (int c = 0; c < 12; ++c)
                codes[static_cast<size_t>(c)] = row[static_cast<size_t>(c)] == MarkerData::Missing ? -1 : static_cast<int>(row[static_cast<size_t>(c)]);
            OneWayAnova::appendReport(OneWayAnova::run(codes, values, has), f.sync.cell(0, t), f.markers.label(m), engine);
        }
    }
    EXPECT_EQ(text, engine);
    std::string lines;
    for (long long k = 0; k < two.report.lineCount(); ++k)
        lines += two.report.line(k) + "\n";
    EXPECT_EQ(lines, text);
    EXPECT_EQ(two.report.lineCount(), std::count(text.begin(), text.end(), '\n'));
    EXPECT_EQ(two.report.line(two.report.lineCount()), "") << "past the end";
}

// A cell that is no number stops the run where a run pair by pair would have met it, also when
// a thread has gone on beyond it; a cancelled run says so.
TEST(AnovaAssociation, StopsAndCancelsSharedAmongThreads)
{
    ManyPairs f;
    std::string pasted = "";
    for (int c = 1; c <= 12; ++c)
        pasted += "\tP" + std::to_string(c);
    pasted += "\n";
    for (int m = 1; m <= 300; ++m) {
        pasted += "1>m" + std::to_string(m);
        for (int c = 0; c < 12; ++c)
            pasted += "\t" + std::string(m == 200 && c == 5 ? "n/a" : std::to_string((c + m) % 3 + 24));
        pasted += "\n";
    }
    MarkerData markers;
    markers.paste(pasted);
    AnovaRun one, two;
    runWith(markers, f.sync, 1, one);
    runWith(markers, f.sync, 2, two);
    for (AnovaRun *run : {&one, &two}) {
        EXPECT_FALSE(run->outcome.completed);
        EXPECT_EQ(run->outcome.error, "'n/a' is not a valid floating point value");
        EXPECT_EQ(run->outcome.pairs, 199) << "the markers of the first trait before the bad one";
        EXPECT_NE(run->results.cell(Table::P, 1, 200), "") << "the marker before the bad one is written";
        EXPECT_EQ(run->results.cell(Table::P, 1, 201), "") << "marker 200 was not reached";
        EXPECT_EQ(run->results.cell(Table::P, 2, 2), "") << "nor the second trait";
    }
    EXPECT_EQ(two.results.grid(Table::P), one.results.grid(Table::P));
    EXPECT_EQ(two.report.text(), one.report.text());
    EXPECT_EQ(messageTexts(two.ui), messageTexts(one.ui));

    AnovaRun cancelled;
    AnalysisHooks hooks;
    int asked = 0;
    hooks.cancelled = [&asked] { return ++asked > 1; };
    cancelled.outcome = runAnovaAssociation(f.markers, f.sync, cancelled.results, cancelled.report, hooks, nullptr, 2);
    EXPECT_TRUE(cancelled.outcome.cancelled);
    EXPECT_FALSE(cancelled.outcome.completed);
    EXPECT_TRUE(cancelled.report.isEmpty());
}

} // namespace
} // namespace rvk
