// QTL mapping against R/qtl. The fixtures in tests/data/qtl were made once with R/qtl 1.58
// (Debian's r-cran-qtl) by tests/data/qtl/make_fixtures.R, which also wrote the data and trait
// files these tests read: one population of 60 individuals per cross type (bc, f2, ri, dh) on two
// groups (two markers of group 1 at the same position, group 2 starting at 3.2 cM), with missing
// scores written as "-", "U", "u", "." and a code outside the cross's classes, intercross scores
// "C" and "D", one individual scored in lower case, and a trait file that lacks one individual,
// holds one the data set lacks and has missing values. R/qtl's numbers:
//   calc.genoprob(step, error.prob = 1e-4, map.function = "haldane")   -> <type>_genoprob.tsv
//   scanone(method = "hk"), scanone(method = "em")                      -> <type>_scan.tsv
//   lodint(drop = 1.5), bayesint(prob = 0.95), fitqtl(method = "hk")    -> <type>_peaks.tsv
//   the f2 set with step 1, "kosambi", error.prob = 0.01                -> f2_kosambi_scan.tsv
//   cim(n.marcovar = 2, window = 10, method = "hk", imp.method = "argmax") -> <type>_cim.tsv
#include "core/dataloader.h"
#include "core/genotypedata.h"
#include "core/textformat.h"
#include "core/userinterface.h"
#include "genetics/qtlanalysis.h"
#include "genetics/qtlgenotypeprobabilities.h"
#include "genetics/traittable.h"
#include "settings/alleletable.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

namespace rvk {
namespace {

struct Table
{
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
    int column(const std::string &name) const
    {
        for (size_t c = 0; c < header.size(); ++c)
            if (header[c] == name)
                return static_cast<int>(c);
        ADD_FAILURE() << "no column " << name;
        return 0;
    }
};

std::vector<std::string> splitTabs(const std::string &line)
{
    std::vector<std::string> cells;
    std::string cell;
    std::istringstream in(line);
    while (std::getline(in, cell, '\t'))
        cells.push_back(cell);
    if (!line.empty() && line.back() == '\t')
        cells.emplace_back();
    return cells;
}

Table readTable(const std::string &name)
{
    Table table;
    std::ifstream in(test::testDataPath("qtl/" + name));
    EXPECT_TRUE(in) << name;
    std::string line;
    std::getline(in, line);
    table.header = splitTabs(line);
    while (std::getline(in, line))
        if (!line.empty()) {
            auto cells = splitTabs(line);
            cells.resize(table.header.size());
            table.rows.push_back(cells);
        }
    return table;
}

double number(const std::string &text)
{
    return parseDecimal(text).value_or(std::nan(""));
}

// The trait table a trait file of the fixtures fills (its "miss=*" line, the names line, one
// record per individual; "*" is an empty cell, numbers are kept as "%2.2f").
TraitTable readTraitFile(const std::string &path)
{
    std::ifstream in(path);
    EXPECT_TRUE(in) << path;
    std::vector<std::vector<std::string>> lines;
    std::string line;
    bool afterMiss = false;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == ';')
            continue;
        if (!afterMiss) {
            afterMiss = line.find("miss") != std::string::npos;
            continue;
        }
        lines.push_back(splitTabs(line));
    }
    std::vector<std::vector<std::string>> columns;
    for (const auto &fields : lines) {
        std::vector<std::string> column;
        for (const std::string &field : fields)
            column.push_back(field == "*" ? std::string() : storedFieldText(field));
        columns.push_back(column);
    }
    return TraitTable::fromColumns(columns, static_cast<int>(lines.front().size()));
}

struct Population
{
    GenotypeData data;
    TraitTable traits;
};

std::unique_ptr<Population> loadPopulation(const std::string &type)
{
    auto population = std::make_unique<Population>();
    SilentUserInterface ui;
    DataLoader loader(population->data, ui);
    loader.OpenFiles({test::testDataPath("qtl/" + type + ".rvk")});
    population->traits = readTraitFile(test::testDataPath("qtl/" + type + ".qua"));
    return population;
}

class QtlAgainstRqtl : public ::testing::TestWithParam<std::string>
{
};

double stepOf(const std::string &type)
{
    return type == "f2" ? 2.5 : 2.0;
}

TEST_P(QtlAgainstRqtl, GenotypeProbabilitiesEqualCalcGenoprob)
{
    const std::string type = GetParam();
    const auto population = loadPopulation(type);
    const GenotypeData &data = population->data;
    ASSERT_EQ(data.GroupCount(), 2);
    const Table expected = readTable(type + "_genoprob.tsv");
    const QtlCross cross = *qtlCrossOf(data.popt);
    const QtlObservationCodes codes = observationCodes(cross);
    const int G = genotypeCount(cross);
    ASSERT_EQ(static_cast<int>(expected.header.size()), 4 + G);

    size_t row = 0;
    for (int group = 0; group < 2; ++group) {
        std::vector<double> positions;
        std::vector<std::vector<std::uint8_t>> observed;
        for (const Tlocinfo &locus : data.GroupLoci(group)) {
            positions.push_back(locus.Position);
            std::vector<std::uint8_t> o;
            for (char c : locus.Genotypes)
                o.push_back(codes.code[static_cast<unsigned char>(c)]);
            observed.push_back(o);
        }
        GenotypeProbabilityOptions options;
        options.step = stepOf(type);
        const GenotypeProbabilities probabilities = GenotypeProbabilities::compute(cross, positions, observed, data.nind, options, 2);
        for (int p = 0; p < probabilities.positionCount(); ++p)
            for (int i = 0; i < 20; ++i, ++row) {
                ASSERT_LT(row, expected.rows.size());
                const auto &cells = expected.rows[row];
                ASSERT_EQ(cells[0], std::to_string(group + 1));
                const ScanPosition &at = probabilities.positions()[static_cast<size_t>(p)];
                EXPECT_NEAR(at.position, number(cells[2]), 1e-9) << type << " row " << row;
                EXPECT_EQ(at.marker >= 0 ? data.GroupLoci(group)[static_cast<size_t>(at.marker)].Name : std::string(), cells[1]);
                for (int g = 0; g < G; ++g)
                    EXPECT_NEAR(probabilities.probability(p, g, i), number(cells[static_cast<size_t>(4 + g)]), 2e-6)
                        << type << " group " << group + 1 << " position " << at.position << " individual " << i + 1 << " genotype " << g;
            }
    }
    EXPECT_EQ(row, expected.rows.size());
}

struct ScanCase
{
    QtlMethod method;
    const char *column; // prefix of the fixture's columns
    double tolerance;
};

void expectScan(const std::string &type, const std::string &file, const QtlOptions &options, const ScanCase &scan)
{
    const auto population = loadPopulation(type);
    std::string error;
    const auto analysis = QtlAnalysis::run(population->data, population->traits, options, {}, error);
    ASSERT_TRUE(analysis) << error;
    const Table expected = readTable(file);
    ASSERT_EQ(analysis->rowCount(), static_cast<int>(expected.rows.size())) << file;
    ASSERT_EQ(analysis->traitNames(), (std::vector<std::string>{"T1", "T2"}));
    for (int row = 0; row < analysis->rowCount(); ++row) {
        const auto &cells = expected.rows[static_cast<size_t>(row)];
        EXPECT_EQ(std::to_string(analysis->groups()[static_cast<size_t>(analysis->rowGroup(row))].dataGroup + 1), cells[0]);
        EXPECT_EQ(analysis->rowLocus(row), cells[1]) << file << " row " << row;
        EXPECT_NEAR(analysis->rowPosition(row), number(cells[2]), 1e-9) << file << " row " << row;
        for (int t = 0; t < 2; ++t)
            EXPECT_NEAR(analysis->lod(t, row), number(cells[static_cast<size_t>(expected.column((*scan.column ? std::string(scan.column) + "." : std::string()) + "T" + std::to_string(t + 1)))]),
                        scan.tolerance)
                << file << " " << scan.column << " T" << t + 1 << " at " << cells[1] << " " << cells[2];
    }
}

TEST_P(QtlAgainstRqtl, HaleyKnottAndEmLodEqualScanone)
{
    const std::string type = GetParam();
    for (const ScanCase scan : {ScanCase{QtlMethod::HaleyKnott, "hk", 0.01}, ScanCase{QtlMethod::IntervalMapping, "em", 0.05}}) {
        QtlOptions options;
        options.method = scan.method;
        options.step = stepOf(type);
        options.permutations = 0;
        expectScan(type, type + "_scan.tsv", options, scan);
    }
}

TEST_P(QtlAgainstRqtl, CompositeIntervalMappingEqualsCim)
{
    const std::string type = GetParam();
    QtlOptions options;
    options.method = QtlMethod::Composite;
    options.step = stepOf(type);
    options.permutations = 0;
    options.cofactors = 2;
    expectScan(type, type + "_cim.tsv", options, {QtlMethod::Composite, "", 0.01});
}

TEST_P(QtlAgainstRqtl, PeaksIntervalsAndEffectsEqualLodintBayesintAndFitqtl)
{
    const std::string type = GetParam();
    const auto population = loadPopulation(type);
    QtlOptions options;
    options.step = stepOf(type);
    options.permutations = 0;
    std::string error;
    const auto analysis = QtlAnalysis::run(population->data, population->traits, options, {}, error);
    ASSERT_TRUE(analysis) << error;
    const Table expected = readTable(type + "_peaks.tsv");
    ASSERT_EQ(analysis->peaks().size(), expected.rows.size());
    for (size_t k = 0; k < expected.rows.size(); ++k) {
        const auto &cells = expected.rows[k];
        const QtlPeak *peak = nullptr;
        for (const QtlPeak &candidate : analysis->peaks())
            if (analysis->traitNames()[static_cast<size_t>(candidate.trait)] == cells[0]
                && std::to_string(analysis->groups()[static_cast<size_t>(candidate.group)].dataGroup + 1) == cells[1])
                peak = &candidate;
        ASSERT_TRUE(peak) << cells[0] << " " << cells[1];
        const std::string where = type + " " + cells[0] + " group " + cells[1];
        EXPECT_EQ(analysis->individualCount(peak->trait), std::stoi(cells[2])) << where;
        EXPECT_NEAR(peak->position, number(cells[3]), 1e-9) << where;
        EXPECT_NEAR(peak->lod, number(cells[4]), 0.01) << where;
        EXPECT_NEAR(peak->lodLow, number(cells[5]), 1e-9) << where;
        EXPECT_NEAR(peak->lodHigh, number(cells[6]), 1e-9) << where;
        EXPECT_NEAR(peak->bayesLow, number(cells[7]), 1e-9) << where;
        EXPECT_NEAR(peak->bayesHigh, number(cells[8]), 1e-9) << where;
        EXPECT_NEAR(peak->varianceExplained, number(cells[10]), 0.02) << where;
        EXPECT_NEAR(peak->additive, number(cells[11]), 1e-4) << where;
        if (type == "f2")
            EXPECT_NEAR(peak->dominance, number(cells[12]), 1e-4) << where;
        else
            EXPECT_TRUE(std::isnan(peak->dominance)) << where;
        EXPECT_FALSE(peak->significant) << "no permutations, no threshold";
    }
}

INSTANTIATE_TEST_SUITE_P(CrossTypes, QtlAgainstRqtl, ::testing::Values("bc", "f2", "ri", "dh"));

TEST(QtlAgainstRqtlF2, KosambiAndAnErrorRateOfOnePercentWithStepOne)
{
    for (const ScanCase scan : {ScanCase{QtlMethod::HaleyKnott, "hk", 0.01}, ScanCase{QtlMethod::IntervalMapping, "em", 0.05}}) {
        QtlOptions options;
        options.method = scan.method;
        options.step = 1.0;
        options.mapFunction = MapFunction::Kosambi;
        options.errorProbability = 0.01;
        options.permutations = 0;
        expectScan("f2", "f2_kosambi_scan.tsv", options, scan);
    }
}

} // namespace
} // namespace rvk
