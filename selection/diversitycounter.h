#pragma once
// The diversity criteria kept up to date while a search changes its subset one member at a time.
// DiversityData is a compact copy of the genotypes (one byte per individual and locus, each
// individual's loci side by side); DiversityCounter keeps the per-locus code counts of the
// current members (or, for "Max (UniRec)", the number of members recombining in each marker
// interval), so adding or removing a member costs one pass over the loci instead of a recount.
//
// Allele criteria: the value is kept as exact fractions (n / c per code for "Max (Diversity
// Sum)", present / (A + 1) per locus for "Max (Garza-Williamson index)", whole counts for "Max (#
// of alleles)"), summed per denominator, so a change costs a few additions per locus, a subset
// has exactly one value whichever sequence of changes led to it, and that value is the formula's
// exact value rounded once, the number DiversityValue gives: equal values compare equal, and a
// value of 24 is 24.
// "Max (UniRec)": a member's missing codes are resolved at random when it enters the subset (the
// same draws DiversityValue makes), and kept while it stays; without missing codes the value
// equals DiversityValue exactly.

#include "selection/coresubsetevaluator.h"
#include "selection/diversitycriteria.h"
#include "selection/rationalsum.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rvk {

class DiversityData
{
public:
    // Builds the copy; false with the reason in error when the data cannot be searched (more
    // than 255 different genotypes, possible only with cross-pollinator pairs).
    bool build(const GenotypeData &data, std::string *error);

    int individuals() const { return mIndividuals; }
    int loci() const { return mLoci; }
    int codeCount() const { return static_cast<int>(mMissing.size()); }
    const std::uint8_t *row(int individual) const { return mCodes.data() + static_cast<size_t>(individual) * static_cast<size_t>(mLoci); }
    bool isMissing(int code) const { return mMissing[static_cast<size_t>(code)] != 0; }
    // Number of different codes (missing ones included) that all individuals carry at locus.
    int distinctCodes(int locus) const { return mDistinct[static_cast<size_t>(locus)]; }
    double position(int locus) const { return mPositions[static_cast<size_t>(locus)]; }
    // Loci of group g are groupStart(g) .. groupStart(g + 1) - 1, in map order.
    int groupCount() const { return static_cast<int>(mGroupStarts.size()) - 1; }
    int groupStart(int g) const { return mGroupStarts[static_cast<size_t>(g)]; }

private:
    int mIndividuals = 0;
    int mLoci = 0;
    std::vector<std::uint8_t> mCodes;
    std::vector<char> mMissing;
    std::vector<int> mDistinct;
    std::vector<double> mPositions;
    std::vector<int> mGroupStarts{0};
};

class DiversityCounter : public SubsetEvaluator
{
public:
    DiversityCounter(const DiversityData &data, DiversityCriterion criterion, CoreSubsetRandom &random);

    DiversityCriterion criterion() const { return mCriterion; }
    // Makes subset the members (individuals beyond its end are not members).
    void assign(const Subset &subset) override;
    void add(int individual) override;
    void remove(int individual) override;
    // For "Max (UniRec)" the entering member keeps the resolution of its missing codes that the
    // look-ahead valueSwapped(out, in) just used, so the subset takes the value it promised.
    void swap(int out, int in) override;
    bool contains(int individual) const { return mMembers[static_cast<size_t>(individual)] != 0; }
    const Subset &members() const { return mMembers; }
    int memberCount() const { return mMemberCount; }

    double value() override { return currentValue(); }
    double currentValue() const;
    // The value with one member more, one member less, or out replaced by in; the members stay
    // as they are.
    double valueWith(int individual) override;
    double valueWithout(int individual) override;
    double valueSwapped(int out, int in) override;
    bool drawsRandomly() const override { return mCriterion == DiversityCriterion::UniRec; }

private:
    bool alleleCriterion() const { return mCriterion != DiversityCriterion::UniRec; }
    struct LocusState
    {
        int scored;  // members with a code that is not missing
        int present; // codes carried by at least one member
    };
    // Adds the terms of locus (sign -1: takes them back) to sum; counts are the locus' code
    // counts, state its scored and present numbers.
    void locusTerms(int locus, const int *counts, const LocusState &state, int sign, RationalSum &sum) const;
    void change(int individual, int delta);
    void swapCounts(int out, int in);
    double alleleValueAfter(int out, int in);
    static void swapTerms(int n, int leaving, int entering, RationalSum &sum);
    void recombinations(int individual, std::vector<int> &intervals);
    double breakpointValue() const;

    const DiversityData &mData;
    DiversityCriterion mCriterion;
    CoreSubsetRandom &mRandom;
    Subset mMembers;
    int mMemberCount = 0;
    // Allele criteria.
    std::vector<int> mCounts;            // locus * codeCount + code
    std::vector<LocusState> mLoci;
    RationalSum mTotal;
    double mValue = 0.0;     // mTotal's value
    RationalSum mDelta;      // look-ahead scratch
    // "Max (Diversity Sum)": the sum over loci of H = sum of 1 / count over the present codes
    // (a locus' value is n H), for the look-ahead of adding or removing a member.
    RationalSum mInverses;
    void countChanged(int before, int after)
    {
        if (before > 0)
            mInverses.add(-1, before);
        if (after > 0)
            mInverses.add(1, after);
    }
    // Breakpoints: members recombining in the interval that ends at each locus + 1, and each
    // member's intervals as resolved when it entered.
    std::vector<int> mRecombining;
    std::vector<std::vector<int>> mMemberIntervals;
    std::vector<int> mScratch;
    int mScratchFor = -1; // the individual whose intervals mScratch holds
};

} // namespace rvk
