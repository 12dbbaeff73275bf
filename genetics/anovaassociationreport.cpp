#include "genetics/anovaassociationreport.h"

#include <algorithm>

namespace rvk {

void AnovaAssociationReport::reset(std::vector<std::string> traitNames, std::vector<std::string> markerLabels, long long pairs)
{
    clear();
    mTraitNames = std::move(traitNames);
    mMarkerLabels = std::move(markerLabels);
    mStored.resize(static_cast<std::size_t>(std::max(0LL, pairs)));
}

void AnovaAssociationReport::store(long long pair, const OneWayAnovaResult &result, int lines)
{
    Stored stored;
    stored.dfB = result.dfB;
    stored.SSB = result.SSB;
    stored.MSB = result.MSB;
    stored.F = result.F;
    stored.p = result.p;
    stored.omegaSquared = result.omegaSquared;
    stored.dfW = result.dfW;
    stored.SSW = result.SSW;
    stored.MSW = result.MSW;
    stored.dfT = result.dfT;
    stored.SST = result.SST;
    stored.MST = result.MST;
    stored.grandMean = result.grandMean;
    stored.N = result.N;
    stored.levelsWithData = result.levelsWithData;
    stored.levelCount = static_cast<std::uint32_t>(result.levels.size());
    stored.lines = static_cast<std::uint32_t>(lines);
    stored.tested = result.tested;
    const std::lock_guard<std::mutex> lock(mStoring);
    stored.firstLevel = mLevels.size();
    mLevels.insert(mLevels.end(), result.levels.begin(), result.levels.end());
    if (!result.note.empty()) {
        auto known = std::find(mNotes.begin(), mNotes.end(), result.note);
        if (known == mNotes.end())
            known = mNotes.insert(mNotes.end(), result.note);
        stored.note = static_cast<std::int16_t>(known - mNotes.begin());
    }
    mStored[static_cast<std::size_t>(pair)] = stored;
}

void AnovaAssociationReport::finish()
{
    mLevels.shrink_to_fit();
    mLineStarts.assign(mStored.size() + 1, 0);
    for (std::size_t p = 0; p < mStored.size(); ++p)
        mLineStarts[p + 1] = mLineStarts[p] + mStored[p].lines;
    mCachedPair = -1;
}

void AnovaAssociationReport::truncate(long long pairs)
{
    if (pairs < static_cast<long long>(mStored.size()))
        mStored.resize(static_cast<std::size_t>(std::max(0LL, pairs)));
    mStored.shrink_to_fit();
    finish();
}

void AnovaAssociationReport::clear()
{
    // Swapped with empty containers, so the memory goes, not only the contents.
    std::vector<std::string>().swap(mTraitNames);
    std::vector<std::string>().swap(mMarkerLabels);
    std::vector<Stored>().swap(mStored);
    std::vector<AnovaLevel>().swap(mLevels);
    std::vector<std::string>().swap(mNotes);
    std::vector<long long>().swap(mLineStarts);
    mCachedPair = -1;
    std::string().swap(mCachedText);
    std::vector<std::size_t>().swap(mCachedLines);
}

std::size_t AnovaAssociationReport::memoryBytes() const
{
    std::size_t bytes = mStored.capacity() * sizeof(Stored) + mLevels.capacity() * sizeof(AnovaLevel)
                        + mLineStarts.capacity() * sizeof(long long);
    for (const std::string &label : mMarkerLabels)
        bytes += sizeof(std::string) + label.capacity();
    return bytes;
}

std::size_t AnovaAssociationReport::longestNames() const
{
    std::size_t trait = 0, label = 0;
    for (const std::string &name : mTraitNames)
        trait = std::max(trait, name.size());
    for (const std::string &name : mMarkerLabels)
        label = std::max(label, name.size());
    return trait + label;
}

OneWayAnovaResult AnovaAssociationReport::resultOf(long long pair) const
{
    const Stored &stored = mStored[static_cast<std::size_t>(pair)];
    OneWayAnovaResult result;
    const auto first = mLevels.begin() + static_cast<std::ptrdiff_t>(stored.firstLevel);
    result.levels.assign(first, first + stored.levelCount);
    result.levelsWithData = stored.levelsWithData;
    result.N = stored.N;
    result.dfB = stored.dfB;
    result.SSB = stored.SSB;
    result.MSB = stored.MSB;
    result.F = stored.F;
    result.p = stored.p;
    result.omegaSquared = stored.omegaSquared;
    result.dfW = stored.dfW;
    result.SSW = stored.SSW;
    result.MSW = stored.MSW;
    result.dfT = stored.dfT;
    result.SST = stored.SST;
    result.MST = stored.MST;
    result.grandMean = stored.grandMean;
    result.tested = stored.tested;
    if (stored.note >= 0)
        result.note = mNotes[static_cast<std::size_t>(stored.note)];
    return result;
}

void AnovaAssociationReport::reportOf(long long pair, std::string &out) const
{
    const std::size_t markers = std::max<std::size_t>(1, mMarkerLabels.size());
    const std::size_t trait = static_cast<std::size_t>(pair) / markers;
    const std::size_t marker = static_cast<std::size_t>(pair) % markers;
    // The messages of the distributions were shown when the run computed these numbers.
    OneWayAnova::appendReport(resultOf(pair), mTraitNames[trait], mMarkerLabels[marker], out, nullptr);
}

std::string AnovaAssociationReport::line(long long index) const
{
    if (index < 0 || index >= lineCount())
        return {};
    const long long pair = std::upper_bound(mLineStarts.begin(), mLineStarts.end(), index) - mLineStarts.begin() - 1;
    if (pair != mCachedPair) {
        mCachedText.clear();
        reportOf(pair, mCachedText);
        mCachedLines.clear();
        std::size_t start = 0;
        for (std::size_t end = mCachedText.find('\n'); end != std::string::npos; end = mCachedText.find('\n', start)) {
            mCachedLines.push_back(start);
            start = end + 1;
        }
        mCachedLines.push_back(start);
        mCachedPair = pair;
    }
    const std::size_t k = static_cast<std::size_t>(index - mLineStarts[static_cast<std::size_t>(pair)]);
    if (k + 1 >= mCachedLines.size())
        return {};
    return mCachedText.substr(mCachedLines[k], mCachedLines[k + 1] - mCachedLines[k] - 1);
}

void AnovaAssociationReport::writeText(const std::function<void(std::string_view piece)> &write, std::size_t pieceSize) const
{
    std::string piece;
    piece.reserve(pieceSize + 4096);
    for (long long p = 0; p < pairCount(); ++p) {
        reportOf(p, piece);
        if (piece.size() >= pieceSize) {
            write(piece);
            piece.clear();
        }
    }
    if (!piece.empty())
        write(piece);
}

std::string AnovaAssociationReport::text() const
{
    std::string all;
    writeText([&all](std::string_view piece) { all += piece; });
    return all;
}

} // namespace rvk
