#include "selection/diversitycounter.h"

#include "core/genotypedata.h"
#include "selection/coresubsetrandom.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

namespace rvk {

namespace {

constexpr int MaxCodes = 255;

bool keyIsMissing(unsigned key)
{
    return isDiversityMissingCode(static_cast<char>(key & 0xFF)) || isDiversityMissingCode(static_cast<char>((key >> 8) & 0xFF));
}

} // namespace

bool DiversityData::build(const GenotypeData &data, std::string *error)
{
    mIndividuals = std::max(0, data.nind);
    mLoci = 0;
    mGroupStarts.assign(1, 0);
    mPositions.clear();
    for (int g = 0; g < data.GroupCount(); ++g) {
        for (const Tlocinfo &locus : data.GroupLoci(g))
            mPositions.push_back(locus.Position);
        mLoci += data.GroupLocusCount(g);
        mGroupStarts.push_back(mLoci);
    }
    mCodes.assign(static_cast<size_t>(mIndividuals) * static_cast<size_t>(mLoci), 0);
    mDistinct.assign(static_cast<size_t>(mLoci), 0);
    mMissing.clear();

    // Codes are numbered in the order met; a table per key width finds a key's number.
    const bool pairs = data.IsCrossPollinator();
    std::vector<int> numberOf(pairs ? 65536 : 256, -1);
    std::vector<const Tlocinfo *> loci;
    for (int g = 0; g < data.GroupCount(); ++g)
        for (const Tlocinfo &locus : data.GroupLoci(g))
            loci.push_back(&locus);

    // Loci are copied a block at a time so that both the texts and the rows are walked in order.
    constexpr int Block = 64;
    // Which codes each locus has, for the number of different codes per locus.
    std::vector<std::array<std::uint64_t, 4>> seen(static_cast<size_t>(mLoci), std::array<std::uint64_t, 4>{});
    const size_t width = pairs ? 2 : 1;
    for (int first = 0; first < mLoci; first += Block) {
        const int last = std::min(mLoci, first + Block);
        for (int i = 0; i < mIndividuals; ++i) {
            std::uint8_t *out = mCodes.data() + static_cast<size_t>(i) * static_cast<size_t>(mLoci);
            const size_t at = static_cast<size_t>(i) * width;
            for (int l = first; l < last; ++l) {
                const std::string &text = loci[static_cast<size_t>(l)]->Genotypes;
                // Individuals beyond the end of a locus' text are missing.
                unsigned key = '-';
                if (at + width <= text.size())
                    key = pairs ? static_cast<unsigned char>(text[at]) * 256u + static_cast<unsigned char>(text[at + 1])
                                : static_cast<unsigned char>(text[at]);
                int &number = numberOf[key];
                if (number < 0) {
                    if (static_cast<int>(mMissing.size()) >= MaxCodes) {
                        if (error)
                            *error = "too many different genotypes for a core-subset search";
                        return false;
                    }
                    number = static_cast<int>(mMissing.size());
                    mMissing.push_back(keyIsMissing(key) ? 1 : 0);
                }
                out[l] = static_cast<std::uint8_t>(number);
                seen[static_cast<size_t>(l)][static_cast<size_t>(number) / 64] |= std::uint64_t(1) << (number % 64);
            }
        }
    }
    for (int l = 0; l < mLoci; ++l) {
        int distinct = 0;
        for (std::uint64_t word : seen[static_cast<size_t>(l)])
            distinct += std::popcount(word);
        mDistinct[static_cast<size_t>(l)] = distinct;
    }
    return true;
}

DiversityCounter::DiversityCounter(const DiversityData &data, DiversityCriterion criterion, CoreSubsetRandom &random)
    : mData(data),
      mCriterion(criterion),
      mRandom(random)
{
    assign({});
}

void DiversityCounter::assign(const Subset &subset)
{
    const size_t n = static_cast<size_t>(mData.individuals());
    const size_t loci = static_cast<size_t>(mData.loci());
    mMembers.assign(n, 0);
    mMemberCount = 0;
    if (!alleleCriterion()) {
        mRecombining.assign(loci, 0);
        mMemberIntervals.assign(n, {});
        for (size_t i = 0; i < n && i < subset.size(); ++i)
            if (subset[i])
                add(static_cast<int>(i));
        return;
    }
    // Counts first, then each locus once.
    const size_t codes = static_cast<size_t>(mData.codeCount());
    mCounts.assign(loci * codes, 0);
    mLoci.assign(loci, LocusState{0, 0});
    mTotal.clear();
    mInverses.clear();
    for (size_t i = 0; i < n && i < subset.size(); ++i) {
        if (!subset[i])
            continue;
        mMembers[i] = 1;
        ++mMemberCount;
        const std::uint8_t *row = mData.row(static_cast<int>(i));
        for (size_t l = 0; l < loci; ++l)
            ++mCounts[l * codes + row[l]];
    }
    for (size_t l = 0; l < loci; ++l) {
        LocusState &state = mLoci[l];
        for (size_t k = 0; k < codes; ++k) {
            int &count = mCounts[l * codes + k];
            if (mData.isMissing(static_cast<int>(k)))
                count = 0; // missing codes are not counted
            if (count > 0) {
                state.scored += count;
                ++state.present;
                mInverses.add(1, count);
            }
        }
        locusTerms(static_cast<int>(l), &mCounts[l * codes], state, 1, mTotal);
    }
    mValue = mTotal.value();
}

void DiversityCounter::locusTerms(int locus, const int *counts, const LocusState &state, int sign, RationalSum &sum) const
{
    switch (mCriterion) {
    case DiversityCriterion::DiversitySum:
        for (int k = 0; k < mData.codeCount(); ++k)
            if (counts[k] > 0)
                sum.add(static_cast<std::int64_t>(sign) * state.scored, counts[k]);
        break;
    case DiversityCriterion::AlleleCount: sum.add(static_cast<std::int64_t>(sign) * state.present, 1); break;
    default: sum.add(static_cast<std::int64_t>(sign) * state.present, mData.distinctCodes(locus) + 1); break;
    }
}

void DiversityCounter::change(int individual, int delta)
{
    const std::uint8_t *codes = mData.row(individual);
    const size_t codeCount = static_cast<size_t>(mData.codeCount());
    for (int l = 0; l < mData.loci(); ++l) {
        const int code = codes[l];
        if (mData.isMissing(code))
            continue;
        LocusState &state = mLoci[static_cast<size_t>(l)];
        int *counts = mCounts.data() + static_cast<size_t>(l) * codeCount;
        locusTerms(l, counts, state, -1, mTotal);
        int &count = counts[code];
        state.present -= count > 0;
        countChanged(count, count + delta);
        count += delta;
        state.present += count > 0;
        state.scored += delta;
        locusTerms(l, counts, state, 1, mTotal);
    }
    mValue = mTotal.value();
}

// One pass over the loci for both members; only loci where their codes differ change.
void DiversityCounter::swapCounts(int out, int in)
{
    mMembers[static_cast<size_t>(out)] = 0;
    mMembers[static_cast<size_t>(in)] = 1;
    const std::uint8_t *outCodes = mData.row(out);
    const std::uint8_t *inCodes = mData.row(in);
    const size_t codeCount = static_cast<size_t>(mData.codeCount());
    for (int l = 0; l < mData.loci(); ++l) {
        const int leaving = outCodes[l];
        const int entering = inCodes[l];
        if (leaving == entering)
            continue;
        LocusState &state = mLoci[static_cast<size_t>(l)];
        int *counts = mCounts.data() + static_cast<size_t>(l) * codeCount;
        if (mCriterion == DiversityCriterion::DiversitySum && !mData.isMissing(leaving) && !mData.isMissing(entering)) {
            // n stays: only the two codes' terms change.
            swapTerms(state.scored, counts[leaving], counts[entering], mTotal);
            state.present += (counts[entering] == 0) - (counts[leaving] == 1);
            countChanged(counts[leaving], counts[leaving] - 1);
            countChanged(counts[entering], counts[entering] + 1);
            --counts[leaving];
            ++counts[entering];
            continue;
        }
        locusTerms(l, counts, state, -1, mTotal);
        if (!mData.isMissing(leaving)) {
            int &count = counts[leaving];
            state.present -= count == 1;
            --state.scored;
            countChanged(count, count - 1);
            --count;
        }
        if (!mData.isMissing(entering)) {
            int &count = counts[entering];
            state.present += count == 0;
            ++state.scored;
            countChanged(count, count + 1);
            ++count;
        }
        locusTerms(l, counts, state, 1, mTotal);
    }
    mValue = mTotal.value();
}

void DiversityCounter::swap(int out, int in)
{
    if (!contains(out) || contains(in))
        return;
    if (alleleCriterion()) {
        swapCounts(out, in);
        return;
    }
    if (mScratchFor != in) {
        remove(out);
        add(in);
        return;
    }
    remove(out);
    mMembers[static_cast<size_t>(in)] = 1;
    ++mMemberCount;
    std::vector<int> &intervals = mMemberIntervals[static_cast<size_t>(in)];
    intervals = mScratch;
    for (int interval : intervals)
        ++mRecombining[static_cast<size_t>(interval)];
    mScratchFor = -1;
}

void DiversityCounter::add(int individual)
{
    char &member = mMembers[static_cast<size_t>(individual)];
    if (member)
        return;
    member = 1;
    ++mMemberCount;
    if (alleleCriterion()) {
        change(individual, 1);
        return;
    }
    std::vector<int> &intervals = mMemberIntervals[static_cast<size_t>(individual)];
    recombinations(individual, intervals);
    for (int interval : intervals)
        ++mRecombining[static_cast<size_t>(interval)];
}

void DiversityCounter::remove(int individual)
{
    char &member = mMembers[static_cast<size_t>(individual)];
    if (!member)
        return;
    member = 0;
    --mMemberCount;
    if (alleleCriterion()) {
        change(individual, -1);
        return;
    }
    std::vector<int> &intervals = mMemberIntervals[static_cast<size_t>(individual)];
    for (int interval : intervals)
        --mRecombining[static_cast<size_t>(interval)];
    intervals.clear();
}

double DiversityCounter::currentValue() const
{
    if (alleleCriterion())
        return mValue;
    return breakpointValue();
}

// The terms that change when a member with a code of count leaving (n members scored) is
// replaced by one whose code has count entering: n / c for each.
void DiversityCounter::swapTerms(int n, int leaving, int entering, RationalSum &sum)
{
    sum.add(-n, leaving);
    if (leaving > 1)
        sum.add(n, leaving - 1);
    if (entering > 0)
        sum.add(-n, entering);
    sum.add(n, entering + 1);
}

// The value when out (or nobody, -1) leaves and in (or nobody) enters; the members stay.
double DiversityCounter::alleleValueAfter(int out, int in)
{
    const std::uint8_t *outCodes = out >= 0 ? mData.row(out) : nullptr;
    const std::uint8_t *inCodes = in >= 0 ? mData.row(in) : nullptr;
    const int codeCount = mData.codeCount();
    mDelta.clear();
    // One member more or less, by "Max (Diversity Sum)": at each locus where it has a code, the
    // value n H becomes (n +- 1) H' with only its own code's count changed, that is +-H plus the
    // terms of that code; the H of those loci are the H of all loci less those where it has none.
    const bool alone = mCriterion == DiversityCriterion::DiversitySum && (out < 0) != (in < 0);
    if (alone)
        mDelta.addAll(mInverses, in >= 0 ? 1 : -1);
    for (int l = 0; l < mData.loci(); ++l) {
        const int leaving = outCodes && !mData.isMissing(outCodes[l]) ? outCodes[l] : -1;
        const int entering = inCodes && !mData.isMissing(inCodes[l]) ? inCodes[l] : -1;
        if (alone) {
            const int *counts = mCounts.data() + static_cast<size_t>(l) * static_cast<size_t>(codeCount);
            const int sign = in >= 0 ? 1 : -1;
            const int code = in >= 0 ? entering : leaving;
            if (code < 0) {
                for (int k = 0; k < codeCount; ++k)
                    if (counts[k] > 0)
                        mDelta.add(-sign, counts[k]);
                continue;
            }
            const int nAfter = mLoci[static_cast<size_t>(l)].scored + sign;
            const int count = counts[code];
            if (count > 0)
                mDelta.add(-nAfter, count);
            if (count + sign > 0)
                mDelta.add(nAfter, count + sign);
            continue;
        }
        if (leaving == entering)
            continue;
        const LocusState &state = mLoci[static_cast<size_t>(l)];
        const int *counts = mCounts.data() + static_cast<size_t>(l) * static_cast<size_t>(codeCount);
        const int presentAfter = state.present - (leaving >= 0 && counts[leaving] == 1) + (entering >= 0 && counts[entering] == 0);
        switch (mCriterion) {
        case DiversityCriterion::DiversitySum: {
            if (leaving >= 0 && entering >= 0) {
                swapTerms(state.scored, counts[leaving], counts[entering], mDelta);
                break;
            }
            // The number scored changes: every present code's term does.
            const int n = state.scored;
            const int nAfter = n - (leaving >= 0) + (entering >= 0);
            for (int k = 0; k < codeCount; ++k) {
                const int count = counts[k];
                const int after = count - (k == leaving) + (k == entering);
                if (count > 0)
                    mDelta.add(-n, count);
                if (after > 0)
                    mDelta.add(nAfter, after);
            }
            break;
        }
        case DiversityCriterion::AlleleCount: mDelta.add(presentAfter - state.present, 1); break;
        default: mDelta.add(presentAfter - state.present, mData.distinctCodes(l) + 1); break;
        }
    }
    return mTotal.valueWith(mDelta);
}

double DiversityCounter::valueWith(int individual)
{
    if (contains(individual))
        return currentValue();
    if (alleleCriterion())
        return alleleValueAfter(-1, individual);
    add(individual);
    const double result = currentValue();
    remove(individual);
    return result;
}

double DiversityCounter::valueWithout(int individual)
{
    if (!contains(individual))
        return currentValue();
    if (alleleCriterion())
        return alleleValueAfter(individual, -1);
    // The member's own resolution of its missing codes comes back with it.
    std::vector<int> intervals = mMemberIntervals[static_cast<size_t>(individual)];
    for (int interval : intervals)
        --mRecombining[static_cast<size_t>(interval)];
    const double result = currentValue();
    for (int interval : intervals)
        ++mRecombining[static_cast<size_t>(interval)];
    return result;
}

double DiversityCounter::valueSwapped(int out, int in)
{
    if (!contains(out) || contains(in))
        return currentValue();
    if (alleleCriterion())
        return alleleValueAfter(out, in);
    const std::vector<int> &leaving = mMemberIntervals[static_cast<size_t>(out)];
    recombinations(in, mScratch);
    mScratchFor = in;
    for (int interval : leaving)
        --mRecombining[static_cast<size_t>(interval)];
    for (int interval : mScratch)
        ++mRecombining[static_cast<size_t>(interval)];
    const double result = currentValue();
    for (int interval : mScratch)
        --mRecombining[static_cast<size_t>(interval)];
    for (int interval : leaving)
        ++mRecombining[static_cast<size_t>(interval)];
    return result;
}

// The intervals (by the index of their left-hand locus) in which individual recombines, its
// missing codes resolved from the neighbouring loci as DiversityValue resolves them.
void DiversityCounter::recombinations(int individual, std::vector<int> &intervals)
{
    intervals.clear();
    const std::uint8_t *codes = mData.row(individual);
    const auto key = [&](int locus) { return mData.isMissing(codes[locus]) ? -1 : static_cast<int>(codes[locus]); };
    for (int g = 0; g < mData.groupCount(); ++g) {
        const int start = mData.groupStart(g);
        const int m = mData.groupStart(g + 1) - start;
        for (int i = 0; i + 1 < m; ++i) {
            int a = key(start + i);
            int b = key(start + i + 1);
            if (a < 0 && i >= 1) {
                const int c = key(start + i - 1);
                if (c != b)
                    a = mRandom.uniform() > 0.5 ? c : b;
            }
            if (b < 0 && i < m - 2) {
                const int c = key(start + i + 2);
                if (c != a)
                    b = mRandom.uniform() > 0.5 ? c : a;
            }
            if (a != b && a >= 0 && b >= 0)
                intervals.push_back(start + i);
        }
    }
}

double DiversityCounter::breakpointValue() const
{
    double total = 0.0;
    for (int g = 0; g < mData.groupCount(); ++g) {
        const int start = mData.groupStart(g);
        const int end = mData.groupStart(g + 1);
        if (end <= start)
            continue;
        double previous = mData.position(start);
        for (int l = start; l + 1 < end; ++l) {
            const int count = mRecombining[static_cast<size_t>(l)];
            if (count == 0)
                continue;
            const double position = mData.position(l + 1);
            const double distance = position - previous;
            if (distance > 0)
                total += count / distance;
            previous = position;
        }
    }
    return total;
}

} // namespace rvk
