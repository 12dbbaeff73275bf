#pragma once
// The report of an ANOVA association run: for every trait and marker pair the report of its
// one-way ANOVA (about 30 lines each). It keeps the numbers of each analysis, not its text: a
// line is written when it is asked for, so a run over 50,000 markers and 3 traits holds a few
// tens of megabytes instead of gigabytes of text. The text is the same as the one
// OneWayAnova::appendReport writes for each pair, pair after pair (traits first, then markers).

#include "stats/anova.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace rvk {

class AnovaAssociationReport
{
public:
    AnovaAssociationReport() = default;

    bool isEmpty() const { return mStored.empty(); }
    long long pairCount() const { return static_cast<long long>(mStored.size()); }
    long long lineCount() const { return mLineStarts.empty() ? 0 : mLineStarts.back(); }
    // Line `index` (from 0) without its line end. Not for several threads at once: the lines of
    // the pair read last are kept for the next call.
    std::string line(long long index) const;
    // The whole text, every line ended by "\n", handed to write in pieces that end at a line end
    // (of about pieceSize bytes).
    void writeText(const std::function<void(std::string_view piece)> &write, std::size_t pieceSize = 1 << 20) const;
    std::string text() const;
    // Forgets the report and gives its memory back.
    void clear();
    // The length of the longest trait name plus that of the longest marker label.
    std::size_t longestNames() const;
    // The memory the report holds, in bytes (about).
    std::size_t memoryBytes() const;

    // For the run. reset sizes the report for `pairs` pairs of the given traits and markers
    // (pair p is trait p / markers + 1, marker p % markers). store may be called from several
    // threads at once for different pairs; the line counts must all be known before line() or
    // writeText() is called (finish() makes them).
    void reset(std::vector<std::string> traitNames, std::vector<std::string> markerLabels, long long pairs);
    void store(long long pair, const OneWayAnovaResult &result, int lines);
    void finish();
    // Trims the report to its first `pairs` pairs (a cancelled or stopped run).
    void truncate(long long pairs);

private:
    struct Stored
    {
        double dfB = 0, SSB = 0, MSB = 0, F = 0, p = 1, omegaSquared = 0;
        double dfW = 0, SSW = 0, MSW = 0, dfT = 0, SST = 0, MST = 0, grandMean = 0;
        int N = 0;
        int levelsWithData = 0;
        std::uint32_t levelCount = 0;
        std::uint32_t lines = 0;
        std::uint64_t firstLevel = 0;
        std::int16_t note = -1; // index into mNotes, -1 for none
        bool tested = false;
    };

    OneWayAnovaResult resultOf(long long pair) const;
    void reportOf(long long pair, std::string &out) const;

    std::vector<std::string> mTraitNames;
    std::vector<std::string> mMarkerLabels;
    std::vector<Stored> mStored;
    std::vector<AnovaLevel> mLevels;
    std::vector<std::string> mNotes;
    std::vector<long long> mLineStarts; // per pair, and the total last
    std::mutex mStoring;

    mutable long long mCachedPair = -1;
    mutable std::string mCachedText;
    mutable std::vector<std::size_t> mCachedLines;
};

} // namespace rvk
