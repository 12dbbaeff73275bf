#pragma once
// The diversity criteria kept up to date while a search changes its subset one member at a time.
// DiversityData is a compact copy of the genotypes (one byte per individual and locus, each
// individual's loci side by side); DiversityCounter keeps the per-locus code counts of the
// current members (or, for "Max (UniRec)", the number of members recombining in each marker
// interval), so adding or removing a member costs one pass over the loci instead of a recount.
//
// Allele criteria: the counts are kept as whole numbers in units of 2^-48 (1 / c rounded to that
// step for "Max (Diversity Sum)", 1 / (A + 1) for "Max (Garza-Williamson index)"), so a change
// costs a few additions per locus, a subset has exactly one value whichever sequence of changes
// led to it (equal sets compare equal, a swap of identical genotypes changes nothing), and the
// value agrees with DiversityValue to about 1e-11.
// "Max (UniRec)": a member's missing codes are resolved at random when it enters the subset (the
// same draws DiversityValue makes), and kept while it stays; without missing codes the value
// equals DiversityValue exactly.

#include "selection/coresubsetevaluator.h"
#include "selection/diversitycriteria.h"

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
        int scored;          // members with a code that is not missing
        int present;         // codes carried by at least one member
        std::int64_t inverses; // sum of 1 / count over the present codes, in units of 2^-48
    };
    __int128 locusValue(int locus, const LocusState &state) const;
    void change(int individual, int delta);
    void swapCounts(int out, int in);
    __int128 alleleDelta(int out, int in) const;
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
    std::vector<std::int64_t> mInverse;  // 1 / c for every count c, in units of 2^-48 (0 for 0)
    std::vector<std::int64_t> mShares;   // 1 / (A + 1) per locus, in units of 2^-48
    __int128 mTotal = 0;
    // Breakpoints: members recombining in the interval that ends at each locus + 1, and each
    // member's intervals as resolved when it entered.
    std::vector<int> mRecombining;
    std::vector<std::vector<int>> mMemberIntervals;
    std::vector<int> mScratch;
    int mScratchFor = -1; // the individual whose intervals mScratch holds
};

} // namespace rvk
