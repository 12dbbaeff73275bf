#include "genetics/ldanalysis.h"

#include "core/genotypedata.h"
#include "core/safefile.h"
#include "core/textformat.h"
#include "core/userinterface.h"
#include "genetics/ldpvalues.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <ostream>
#include <stdexcept>
#include <unordered_map>

namespace rvk {

const char *ldMeasureCaption(LdMeasure measure)
{
    switch (measure) {
    case LdMeasure::R2:
        return "LD (R²)";
    case LdMeasure::R:
        return "LD (R)";
    case LdMeasure::MinusLogP:
        return "LD (-10LOGp)";
    case LdMeasure::DPrime:
        return "LD (D`)";
    case LdMeasure::ChiSquarePrime:
        return "LD (Chisq`)";
    }
    return "";
}

double ldMeasureValue(const LdPairResult &pair, LdMeasure measure)
{
    switch (measure) {
    case LdMeasure::R2:
        return pair.R2;
    case LdMeasure::R:
        return pair.R;
    case LdMeasure::MinusLogP:
        return pair.MinusLogP;
    case LdMeasure::DPrime:
        return pair.DPrime;
    case LdMeasure::ChiSquarePrime:
        return pair.ChiSquarePrime;
    }
    return 0.0;
}

namespace {

constexpr std::uint8_t HasPBit = 8; // in the run's own state copy only

// Sorts by p ascending, entries of equal p in the order given. p-values are non-negative doubles,
// whose bit patterns sort as unsigned integers. A stable radix sort in 11-bit digits orders the
// entries by the upper 33 bits (one pass over the entries counts every digit at once; digits every entry
// shares are skipped); entries whose upper halves agree are rare and come out next to each other,
// and a stable sort of each such run by the whole value finishes the order.
template <typename Entry> void sortByP(std::vector<Entry> &entries)
{
    auto byP = [](const Entry &x, const Entry &y) { return x.p < y.p; };
    if (entries.size() < 4096) {
        std::stable_sort(entries.begin(), entries.end(), byP);
        return;
    }
    constexpr int DigitBits = 11;
    constexpr int FirstShift = 31;
    constexpr int Digits = (64 - FirstShift) / DigitBits;
    constexpr std::size_t Buckets = std::size_t(1) << DigitBits;
    auto key = [](const Entry &e) {
        std::uint64_t bits;
        std::memcpy(&bits, &e.p, sizeof bits);
        return bits;
    };
    std::vector<std::size_t> counts(Digits * Buckets, 0);
    for (const Entry &e : entries) {
        const std::uint64_t k = key(e);
        for (int d = 0; d < Digits; ++d)
            ++counts[static_cast<std::size_t>(d) * Buckets + ((k >> (FirstShift + d * DigitBits)) & (Buckets - 1))];
    }
    std::vector<Entry> buffer;
    const std::uint64_t firstKey = key(entries.front());
    for (int d = 0; d < Digits; ++d) {
        const int shift = FirstShift + d * DigitBits;
        std::size_t *count = counts.data() + static_cast<std::size_t>(d) * Buckets;
        if (count[(firstKey >> shift) & (Buckets - 1)] == entries.size())
            continue; // every entry has this digit
        std::size_t position = 0;
        for (std::size_t b = 0; b < Buckets; ++b) {
            const std::size_t c = count[b];
            count[b] = position;
            position += c;
        }
        if (buffer.empty())
            buffer.resize(entries.size());
        for (const Entry &e : entries)
            buffer[count[(key(e) >> shift) & (Buckets - 1)]++] = e;
        entries.swap(buffer);
    }
    // Runs of equal upper halves, ordered by the whole value (equal values keep their order).
    for (std::size_t first = 0; first < entries.size();) {
        const std::uint64_t whole = key(entries[first]), upper = whole >> FirstShift;
        std::size_t last = first + 1;
        bool allEqual = true; // e.g. every p of 0: nothing to do
        for (; last < entries.size() && key(entries[last]) >> FirstShift == upper; ++last)
            allEqual = allEqual && key(entries[last]) == whole;
        if (!allEqual)
            std::stable_sort(entries.begin() + static_cast<std::ptrdiff_t>(first), entries.begin() + static_cast<std::ptrdiff_t>(last), byP);
        first = last;
    }
}

// The loci of every group, reordered by the names of a cluster order.
std::vector<LdLocus> clusterOrdered(const std::vector<LdLocus> &mapOrder, const std::vector<std::string> &names)
{
    std::unordered_multimap<std::string, size_t> byName;
    for (size_t l = 0; l < mapOrder.size(); ++l)
        byName.emplace(mapOrder[l].locus->Name, l);
    std::vector<char> taken(mapOrder.size(), 0);
    std::vector<LdLocus> ordered;
    ordered.reserve(mapOrder.size());
    for (const std::string &name : names) {
        auto range = byName.equal_range(name);
        // Equal names are taken in map order, each once.
        size_t best = mapOrder.size();
        for (auto it = range.first; it != range.second; ++it)
            if (!taken[it->second] && it->second < best)
                best = it->second;
        if (best < mapOrder.size()) {
            taken[best] = 1;
            ordered.push_back(mapOrder[best]);
        }
    }
    for (size_t l = 0; l < mapOrder.size(); ++l)
        if (!taken[l])
            ordered.push_back(mapOrder[l]);
    return ordered;
}

} // namespace

namespace {

LdMatrices buildMatrices(const GenotypeData &data, const AlleleTable &alleles, const std::vector<LdLocus> &loci,
                         const LdOptions &options)
{
    LdMatrices matrices(data, alleles, loci, options.applySelection);
    if (options.individualValues)
        for (size_t l = 0; l < loci.size(); ++l)
            matrices.setIndividualValues(static_cast<int>(l), options.individualValues(loci[l].index));
    return matrices;
}

} // namespace

std::unique_ptr<LdAnalysis> LdAnalysis::runGroup(const GenotypeData &data, const AlleleTable &alleles, int group,
                                                 const LdOptions &options, const LdRunControl &control)
{
    return run(Scope::Group, buildMatrices(data, alleles, ldGroupLoci(data, group), options), options, control);
}

std::unique_ptr<LdAnalysis> LdAnalysis::runAllLoci(const GenotypeData &data, const AlleleTable &alleles,
                                                   const LdOptions &options, const LdRunControl &control)
{
    std::vector<LdLocus> loci = ldAllLoci(data);
    const bool useClusterOrder = !options.clusterOrder.empty() && options.clusterOrder.size() == loci.size();
    if (useClusterOrder)
        loci = clusterOrdered(loci, options.clusterOrder);
    auto analysis = run(Scope::AllLoci, buildMatrices(data, alleles, loci, options), options, control);
    if (analysis)
        analysis->mClusterOrderUsed = useClusterOrder;
    return analysis;
}

long long LdAnalysis::estimatedMemoryBytes(long long loci, long long individuals)
{
    const long long pairs = pairCount(loci);
    // Per pair: the measure (4), the state (1) and the p-value while the run lasts (8); the p-values
    // below the FDR levels are sorted apart (12 each, a fifth of the pairs at most in linked
    // data). Per locus: the class bit sets, about four classes.
    const long long perPair = 4 + 1 + 8 + 12 / 5;
    const long long words = (individuals + 63) / 64;
    return pairs * perPair + loci * (4 * words * 8 + 128);
}

std::string LdAnalysis::longRunQuestion(long long loci, long long individuals)
{
    const double megabytes = static_cast<double>(estimatedMemoryBytes(loci, individuals)) / (1024.0 * 1024.0);
    return formatText("LD for %d loci means %d pairs and needs about %.0f MB of memory. Continue?",
                      {loci, pairCount(loci), megabytes});
}

std::string LdAnalysis::tooManyLociMessage(long long loci)
{
    return formatText("LD for %d loci is more than this program can hold (at most %d loci).", {loci, MaxLoci});
}

namespace {

// The pairs (i, i + 1) .. (i, lastJ) of one row into out: the row's work once, two pairs at a
// time; with withP their p-values too, batched in pair order (as the cache counts them).
void computeRow(const LdMatrices &matrices, int i, int lastJ, bool withP, LdPValueCache *pCache, LdPairResult *out)
{
    const int count = lastJ - i;
    const LdRow row(matrices, i);
    int j = i + 1;
    for (; j + 1 <= lastJ; j += 2)
        row.measuresOfTwo(j, out + (j - i - 1));
    if (j <= lastJ)
        out[j - i - 1] = row.measures(j);
    if (!withP)
        return;
    if (pCache)
        ComputeLdPairsP(out, count, *pCache);
    else
        for (int k = 0; k < count; ++k)
            ComputeLdPairP(out[k], nullptr);
}

} // namespace

std::unique_ptr<LdAnalysis> LdAnalysis::run(Scope scope, LdMatrices matrices, const LdOptions &options,
                                            const LdRunControl &control)
{
    std::unique_ptr<LdAnalysis> analysis(new LdAnalysis);
    LdAnalysis &a = *analysis;
    a.mScope = scope;
    a.mMeasure = options.measure;
    a.mSuccessive = options.successiveMarkers;
    a.mMatrices = std::move(matrices);
    const int L = a.mMatrices.locusCount();
    // Pairs are numbered in 32 bits: the callers refuse larger runs before they start.
    if (L > MaxLoci && !a.mSuccessive)
        throw std::length_error(tooManyLociMessage(L));

    for (int l = 0; l < L; ++l) {
        const int group = a.mMatrices.group(l);
        if (a.mGroupSpans.empty() || a.mGroupSpans.back().group != group)
            a.mGroupSpans.push_back({group, l, 0, a.mMatrices.position(l), a.mMatrices.position(l)});
        GroupSpan &span = a.mGroupSpans.back();
        ++span.count;
        span.lastPosition = a.mMatrices.position(l);
    }

    const long long stored = L < 2 ? 0 : (a.mSuccessive ? L - 1 : pairCount(L));
    a.mValues.assign(static_cast<size_t>(stored), 0.0f);
    a.mStates.assign(static_cast<size_t>(stored), 0);
    // A group run lists every p-value, so they go straight into the list (in pair order, as the
    // sort expects); an all-loci run keeps them by pair and later sorts only the few that can
    // pass the FDR.
    const bool listEveryP = scope == Scope::Group;
    std::vector<double> pValues;
    if (listEveryP)
        a.mSortedP.reserve(static_cast<size_t>(stored));
    else
        pValues.assign(static_cast<size_t>(stored), 0.0);

    const long long progressMaximum = static_cast<long long>(L) * L / 2;
    long long progress = 0;
    if (control.ui)
        control.ui->setProgress(0, progressMaximum);
    auto finishProgress = [&] {
        if (control.ui)
            control.ui->setProgress(0, 0);
    };

    a.mExactP = stored <= ExactPValuePairs;
    LdPValueCache *pCache = a.pValueSource();
    auto keep = [&](int i, int j, size_t index, const LdPairResult &r) {
        a.mLastN = r.n;
        if (!r.available) {
            a.mStates[index] = Visited | NotAvailable;
            return;
        }
        std::uint8_t state = Visited;
        if (r.R <= 0.0)
            state |= NegativeR;
        if (r.hasP) {
            state |= HasPBit;
            if (listEveryP)
                a.mSortedP.push_back({r.P, static_cast<std::uint32_t>(index)});
            else
                pValues[index] = r.P;
        }
        a.mStates[index] = state;
        a.mValues[index] = static_cast<float>(ldMeasureValue(r, a.mMeasure));
        ++a.mReportedPairs;
        if (a.mMatrices.group(i) == a.mMatrices.group(j))
            a.mLargestDistance = std::max(a.mLargestDistance, r.Dist);
    };
    // A row's pairs are computed first, then their p-values (in pair order, as the cache counts
    // them), then kept: each loop's steps are independent, so the processor overlaps them.
    std::vector<LdPairResult> rowPairs(static_cast<size_t>(std::max(L, 1)));
    for (int i = 0; i + 1 < L; ++i) {
        const int lastJ = a.mSuccessive ? i + 1 : L - 1;
        const int count = lastJ - i;
        computeRow(a.mMatrices, i, lastJ, true, pCache, rowPairs.data());
        // The row's pairs are stored one after the other.
        const size_t first = static_cast<size_t>(a.pairIndex(i, i + 1));
        for (int k = 0; k < count; ++k)
            keep(i, i + 1 + k, first + static_cast<size_t>(k), rowPairs[static_cast<size_t>(k)]);
        // The bar counts every pair of the row, also those "limit to successive markers" skips.
        progress += L - 1 - i;
        if (control.ui)
            control.ui->setProgress(progress, progressMaximum);
        if (control.cancelRequested && control.cancelRequested()) {
            finishProgress();
            return nullptr;
        }
    }

    a.finishPValues(pValues, a.mStates, options.fdrLevel);
    for (std::uint8_t &state : a.mStates)
        state &= static_cast<std::uint8_t>(~HasPBit);
    a.buildListIndex();
    finishProgress();
    return analysis;
}

void LdAnalysis::finishPValues(std::vector<double> &pValues, std::vector<std::uint8_t> &states, double level)
{
    mPValueCount = 0;
    for (std::uint8_t state : states)
        if (state & HasPBit)
            ++mPValueCount;
    const long long m = mPValueCount;

    // The p-values below cutoff, ascending. Ranks among them are ranks among all p-values, as
    // they are the smallest.
    auto collectBelow = [&](double cutoff, bool all) {
        if (all && mScope == Scope::Group) {
            sortByP(mSortedP); // the run listed them all already
            return;
        }
        mSortedP.clear();
        if (all)
            mSortedP.reserve(static_cast<size_t>(m));
        for (size_t index = 0; index < states.size(); ++index)
            if ((states[index] & HasPBit) && (all || pValues[index] < cutoff))
                mSortedP.push_back({pValues[index], static_cast<std::uint32_t>(index)});
        sortByP(mSortedP);
    };

    mFdrRun = m >= FdrMinimumCount;
    if (!mFdrRun) {
        mThreshold = 0.05;
        collectBelow(0.0, true);
    } else if (mScope == Scope::Group) {
        collectBelow(0.0, true);
        mThreshold = FdrThresholdOfSorted(mSortedP.size(), level, [this](size_t k) { return mSortedP[k].p; }).PThreshold;
    } else {
        // All loci: only the p-values below the levels of the two stages can pass them, so only
        // those are sorted.
        const double md = static_cast<double>(m);
        collectBelow(level, false);
        long long r1 = 0;
        for (size_t k = 0; k < mSortedP.size(); ++k)
            if (mSortedP[k].p < level * static_cast<double>(k + 1) / md)
                ++r1;
        const long long m0 = m - r1;
        const double levelPrime = level / (1.0 + level);
        const double L2 = m0 >= 1 ? levelPrime * md / static_cast<double>(m0) : levelPrime;
        if (L2 > level)
            collectBelow(L2, L2 > 1.0);
        mThreshold = 0.0;
        for (size_t k = 0; k < mSortedP.size(); ++k)
            if (mSortedP[k].p < L2 * static_cast<double>(k + 1) / md)
                mThreshold = std::max(mThreshold, mSortedP[k].p);
    }

    // rthres: R² of the last p-value in ascending order that lies below the threshold.
    mRthres = 0.0;
    for (size_t k = mSortedP.size(); k-- > 0;)
        if (mSortedP[k].p < mThreshold) {
            const auto [i, j] = pairLoci(mSortedP[k].pair);
            mRthres = pair(i, j).R2;
            break;
        }

    // Only a group run's log lists the p-values one by one.
    if (mScope != Scope::Group)
        std::vector<SortedP>().swap(mSortedP);
    std::vector<double>().swap(pValues);
}

void LdAnalysis::buildListIndex()
{
    const int L = locusCount();
    mRowStart.assign(static_cast<size_t>(L) + 1, 0);
    long long count = 0;
    for (int i = 0; i < L; ++i) {
        mRowStart[static_cast<size_t>(i)] = count;
        if (i + 1 >= L)
            continue;
        const long long first = pairIndex(i, i + 1);
        const long long last = mSuccessive ? first : pairIndex(i, L - 1);
        for (long long index = first; index <= last; ++index)
            if ((mStates[static_cast<size_t>(index)] & (Visited | NotAvailable)) == Visited)
                ++count;
    }
    mRowStart[static_cast<size_t>(L)] = count;
}

LdPValueCache *LdAnalysis::pValueSource() const
{
    if (mExactP)
        return nullptr;
    // Tables from the first use on: a pair's p-value then depends on the pair alone, never on
    // how often its degree of freedom was asked for before.
    static LdPValueCache tables(0);
    return &tables;
}

LdPairResult LdAnalysis::pair(int i, int j) const { return ComputeLdPair(mMatrices, i, j, pValueSource()); }

std::pair<int, int> LdAnalysis::pairLoci(long long index) const
{
    if (mSuccessive)
        return {static_cast<int>(index), static_cast<int>(index) + 1};
    int low = 0, high = locusCount() - 2;
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (pairIndex(mid, mid + 1) <= index)
            low = mid;
        else
            high = mid - 1;
    }
    return {low, static_cast<int>(index - pairIndex(low, low + 1)) + low + 1};
}

long long LdAnalysis::pairIndex(int i, int j) const
{
    const long long L = locusCount();
    if (i < 0 || j <= i || j >= L)
        return -1;
    if (mSuccessive)
        return j == i + 1 ? i : -1;
    return static_cast<long long>(i) * (2 * L - i - 1) / 2 + (j - i - 1);
}

bool LdAnalysis::visited(int i, int j) const
{
    const long long index = pairIndex(i, j);
    return index >= 0 && (mStates[static_cast<size_t>(index)] & Visited);
}

bool LdAnalysis::available(int i, int j) const
{
    const long long index = pairIndex(i, j);
    return index >= 0 && (mStates[static_cast<size_t>(index)] & (Visited | NotAvailable)) == Visited;
}

float LdAnalysis::value(int i, int j) const
{
    const long long index = pairIndex(i, j);
    return index >= 0 ? mValues[static_cast<size_t>(index)] : 0.0f;
}

bool LdAnalysis::negativeR(int i, int j) const
{
    const long long index = pairIndex(i, j);
    return index >= 0 && (mStates[static_cast<size_t>(index)] & NegativeR);
}

std::string LdAnalysis::locusHeading(int l) const
{
    if (mScope == Scope::AllLoci)
        return formatText("%d>%s", {mMatrices.group(l) + 1, mMatrices.name(l)});
    return mMatrices.name(l);
}

std::string LdAnalysis::tableCell(int column, int row) const
{
    if (column == 0 && row == 0)
        return ldMeasureCaption(mMeasure);
    if (row == 0)
        return locusHeading(column - 1);
    if (column == 0)
        return locusHeading(row - 1);
    const int i = column - 1, j = row - 1;
    if (!visited(i, j))
        return {};
    if (!available(i, j))
        return "N/A";
    return formatText(" %.2f", {ldMeasureValue(pair(i, j), mMeasure)});
}

std::string LdAnalysis::listHeader() const
{
    std::string header = mScope == Scope::AllLoci ? "Chr1\tChr2\t" : "";
    header += formatText("%25.25s", {"marker_1-marker_2"}) + "\tDist\tR²\tD`\tchisq`";
    if (mScope == Scope::AllLoci)
        header += "\t-10logP`";
    return header;
}

namespace {

// "%.3d" of a group number.
void appendGroupNumber(std::string &out, int number)
{
    if (number >= 0 && number < 1000) {
        const char digits[3] = {static_cast<char>('0' + number / 100), static_cast<char>('0' + number / 10 % 10),
                                static_cast<char>('0' + number % 10)};
        out.append(digits, 3);
    } else {
        out += formatText("%.3d", {number});
    }
}

} // namespace

void LdAnalysis::appendPairLine(std::string &line, int i, int j, const LdPairResult &p) const
{
    if (mScope == Scope::AllLoci) {
        appendGroupNumber(line, mMatrices.group(i) + 1);
        line += '\t';
        appendGroupNumber(line, mMatrices.group(j) + 1);
        line += '\t';
    }
    // "%25.25s" of "name_i-name_j": cut to 25 characters, right-aligned.
    const std::string &first = mMatrices.name(i), &second = mMatrices.name(j);
    const size_t length = std::min<size_t>(25, first.size() + 1 + second.size());
    line.append(25 - length, ' ');
    const size_t fromFirst = std::min(first.size(), length);
    line.append(first, 0, fromFirst);
    if (fromFirst < length) {
        line += '-';
        line.append(second, 0, length - fromFirst - 1);
    }
    for (const double number : {p.Dist, p.R2, p.DPrime, p.ChiSquarePrime}) {
        line += '\t';
        appendFixed(line, number, 2);
    }
    if (mScope == Scope::AllLoci) {
        line += '\t';
        appendFixed(line, p.MinusLogP, 2);
    }
}

std::string LdAnalysis::pairLine(int i, int j, const LdPairResult &p) const
{
    std::string line;
    appendPairLine(line, i, j, p);
    return line;
}

std::string LdAnalysis::listLine(long long line) const
{
    if (line <= 0)
        return listHeader();
    const long long k = line - 1;
    if (k >= mReportedPairs)
        return {};
    const auto it = std::upper_bound(mRowStart.begin(), mRowStart.end(), k);
    const int i = static_cast<int>(it - mRowStart.begin()) - 1;
    long long skip = k - mRowStart[static_cast<size_t>(i)];
    const int L = locusCount();
    for (int j = i + 1; j < L; ++j) {
        if (!available(i, j))
            continue;
        if (skip-- == 0)
            return pairLine(i, j, pair(i, j));
    }
    return {};
}

bool LdAnalysis::saveList(const std::string &path, std::string &error, const LdRunControl &control) const
{
    const int L = locusCount();
    const long long rows = std::max(0, L - 1);
    bool cancelled = false;
    const bool written = writeFileReplacing(
        path,
        [&](const std::string &temporaryPath) {
            std::ofstream out(temporaryPath, std::ios::binary);
            if (!out)
                return false;
            std::string buffer = listHeader() + "\n";
            // Each row's pairs as the run computed them, p-values only where the list prints them
            // (all loci).
            std::vector<LdPairResult> rowPairs(static_cast<size_t>(std::max(L, 1)));
            LdPValueCache *pCache = pValueSource();
            for (int i = 0; i + 1 < L; ++i) {
                const int lastJ = mSuccessive ? i + 1 : L - 1;
                const int count = lastJ - i;
                computeRow(mMatrices, i, lastJ, mScope == Scope::AllLoci, pCache, rowPairs.data());
                for (int k = 0; k < count; ++k) {
                    if (!available(i, i + 1 + k))
                        continue;
                    appendPairLine(buffer, i, i + 1 + k, rowPairs[static_cast<size_t>(k)]);
                    buffer += '\n';
                }
                if (buffer.size() > (1u << 20)) {
                    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
                    buffer.clear();
                    if (control.ui)
                        control.ui->setProgress(i + 1, rows);
                    if (control.cancelRequested && control.cancelRequested()) {
                        cancelled = true;
                        return false;
                    }
                }
            }
            out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            out.close();
            return static_cast<bool>(out);
        },
        &error);
    if (control.ui)
        control.ui->setProgress(0, 0);
    if (cancelled)
        error.clear();
    return written;
}

long long LdAnalysis::logLineCount() const
{
    return (mFdrRun ? 2 : 0) + static_cast<long long>(mSortedP.size()) + 1;
}

std::string LdAnalysis::logLine(long long line) const
{
    if (mFdrRun) {
        if (line == 0)
            return std::string(FdrThresholdLabel) + formatGeneral(mThreshold);
        if (line == 1)
            return std::string(DegreesOfFreedomLabel) + formatText("%d", {mLastN - 2});
        line -= 2;
    }
    if (line >= 0 && line < static_cast<long long>(mSortedP.size())) {
        const SortedP &entry = mSortedP[static_cast<size_t>(line)];
        const auto [i, j] = pairLoci(entry.pair);
        return formatText("%.3f  - %.2f", {entry.p, pair(i, j).R2});
    }
    if (line == static_cast<long long>(mSortedP.size()))
        return std::string(RthresLabel) + formatGeneral(mRthres);
    return {};
}

void LdAnalysis::writeLog(std::ostream &out) const
{
    const long long count = logLineCount();
    const long long firstP = mFdrRun ? 2 : 0;
    std::string text;
    for (long long line = 0; line < firstP; ++line)
        text += logLine(line) + "\n";
    // The p-value lines. With R² as the run's measure its stored (single-precision) value rounds
    // to the same two decimals as the exact one unless it lies next to a rounding boundary; only
    // such pairs are computed again.
    for (const SortedP &entry : mSortedP) {
        appendFixed(text, entry.p, 3);
        text += "  - ";
        const double stored = mMeasure == LdMeasure::R2 ? mValues[entry.pair] : -1.0;
        const double hundredths = stored * 100.0;
        if (stored >= 0.0 && std::fabs(hundredths - std::floor(hundredths) - 0.5) > 1e-4) {
            appendFixed(text, stored, 2);
        } else {
            const auto [i, j] = pairLoci(entry.pair);
            appendFixed(text, pair(i, j).R2, 2);
        }
        text += '\n';
        if (text.size() > (1u << 20)) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    for (long long line = firstP + static_cast<long long>(mSortedP.size()); line < count; ++line)
        text += logLine(line) + "\n";
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

bool LdAnalysis::hasThresholdLine() const
{
    if (mMeasure == LdMeasure::MinusLogP)
        return mThreshold > 0.0;
    return mMeasure == LdMeasure::R2;
}

double LdAnalysis::thresholdLineY() const
{
    if (mMeasure == LdMeasure::MinusLogP)
        return mThreshold > 0.0 ? -std::log10(mThreshold) : 0.0;
    return mRthres;
}

void LdAnalysis::forEachChartPoint(const std::function<void(double, double)> &visit) const
{
    const int L = locusCount();
    for (int i = 0; i + 1 < L; ++i) {
        const int lastJ = mSuccessive ? i + 1 : L - 1;
        for (int j = i + 1; j <= lastJ; ++j) {
            if (mMatrices.group(i) != mMatrices.group(j))
                continue;
            if (!available(i, j))
                continue;
            visit(std::fabs(mMatrices.position(j) - mMatrices.position(i)), value(i, j));
        }
    }
}

std::string LdAnalysis::summary() const
{
    const std::string scope =
        mScope == Scope::AllLoci ? std::string("LD of all loci")
                                 : formatText("LD of group %d", {mGroupSpans.empty() ? 1 : mGroupSpans.front().group + 1});
    return formatText("%s (%d loci, %d pairs), FDR threshold %s, rthres %s",
                      {scope, locusCount(), mReportedPairs, formatGeneral(mThreshold), formatGeneral(mRthres)});
}

std::size_t LdAnalysis::memoryBytes() const
{
    return mMatrices.memoryBytes() + mValues.capacity() * sizeof(float) + mStates.capacity()
        + mRowStart.capacity() * sizeof(long long) + mSortedP.capacity() * sizeof(SortedP);
}

} // namespace rvk
