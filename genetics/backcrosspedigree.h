#pragma once
// F1 and pedigree verification: is each individual the cross of P1 and P2 it is said to be, a
// self of one parent, or something to check?
//
// At loci where both parents are known and homozygous the expected F1 code is the parents' code
// where they agree and H where they differ. f1_match is the share of those loci, among the ones
// where the individual is known, at which it shows the expected code; the loci where it shows
// another known code contradict the pedigree. The similarity to a parent counts equal codes 1 and
// heterozygous against homozygous 0.5, over the loci where both are known.

#include "genetics/backcrosscodes.h"

#include <optional>
#include <string>
#include <vector>

namespace rvk {

class GenotypeData;

struct PedigreeRequest
{
    int parent1 = -1; // 0-based individuals
    int parent2 = -1;
    double f1Threshold = 95.0;   // percent: f1_match at or above this is "F1"
    double selfThreshold = 95.0; // percent: similarity to a parent at or above this is a self
    // Rows only for the individuals that count as selected (all while filtering is off).
    bool selectedOnly = true;
};

class PedigreeCheck
{
public:
    enum class Verdict { F1, SelfOfP1, SelfOfP2, Check };
    static const char *verdictText(Verdict verdict); // "F1", "self of P1", "self of P2", "check"

    enum Column { IndividualColumn, F1MatchColumn, SimilarityP1Column, SimilarityP2Column, VerdictColumn, ContradictionsColumn, ContradictingLociColumn, ColumnCount };

    int rowCount() const { return static_cast<int>(mRows.size()); }
    int columnCount() const { return ColumnCount; }
    // "individual", "f1_match", "similarity_p1", "similarity_p2", "verdict", "contradictions",
    // "contradicting_loci".
    static const std::vector<std::string> &columnCaptions();
    // Percentages with two decimals, "-" where there is no value; the contradicting loci by name,
    // separated by ", ".
    std::string cell(int row, int column) const;

    int individual(int row) const { return mRows[static_cast<size_t>(row)].individual; }
    std::optional<double> f1Match(int row) const;
    std::optional<double> similarityToP1(int row) const { return mRows[static_cast<size_t>(row)].p1.percent(); }
    std::optional<double> similarityToP2(int row) const { return mRows[static_cast<size_t>(row)].p2.percent(); }
    Verdict verdict(int row) const;
    // The loci that contradict the pedigree, as (group, locus) places.
    std::vector<MarkerPlace> contradictingLoci(int row) const;
    int contradictionCount(int row) const;

    // Loci with an expected F1 code, and the code at each (by group, in list order).
    int expectedLociCount() const { return static_cast<int>(mExpected.size()); }
    MarkerPlace expectedLocus(int index) const { return mExpected[static_cast<size_t>(index)].place; }
    char expectedCode(int index) const { return mExpected[static_cast<size_t>(index)].code; }

    // The thresholds can change after the run; the verdicts follow.
    void setThresholds(double f1Threshold, double selfThreshold);
    double f1Threshold() const { return mF1Threshold; }
    double selfThreshold() const { return mSelfThreshold; }

    std::string tabText() const;
    std::vector<std::vector<std::string>> spreadsheetGrid() const;

private:
    friend std::optional<PedigreeCheck> checkPedigree(const GenotypeData &, const PedigreeRequest &, std::string &);
    struct Share
    {
        int count = 0;
        int halves = 0;
        std::optional<double> percent() const;
    };
    struct Row
    {
        int individual = 0;
        std::string name;
        int compared = 0; // expected loci where the individual is known
        int matching = 0;
        Share p1, p2;
        size_t firstContradiction = 0; // into mContradictions
        size_t contradictions = 0;
    };
    struct Expected
    {
        MarkerPlace place;
        char code;
        std::string name;
    };

    std::vector<Row> mRows;
    std::vector<Expected> mExpected;
    std::vector<int> mContradictions; // indexes into mExpected, row after row
    double mF1Threshold = 95.0;
    double mSelfThreshold = 95.0;
};

// The check, or nothing with the reason in error: a parent outside the data set, the same
// individual twice, cross-pollinator data, no locus where both parents are known and homozygous.
std::optional<PedigreeCheck> checkPedigree(const GenotypeData &data, const PedigreeRequest &request, std::string &error);

extern const char *const SamePedigreeParentsMessage;
extern const char *const NoExpectedLocusMessage;

} // namespace rvk
