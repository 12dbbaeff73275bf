#pragma once
// QTL mapping of a biparental population: for every trait of the trait table, a single-QTL scan
// of every linkage group (Haley-Knott regression, interval mapping by EM, or composite interval
// mapping), genome-wide LOD thresholds from permutations, and per trait and group the peak with
// its 1.5-LOD support interval, Bayes 95 % interval, variance explained and effects.
//
// The groups are computed one after the other: a group's genotype probabilities (floats) live
// only while the group is scanned, so the memory a run takes follows the largest group, not the
// genome. The results keep the LOD of every trait at every position and format table cells and
// file lines when asked.

#include "genetics/qtlgenotypeprobabilities.h"
#include "genetics/qtlscan.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace rvk {

class GenotypeData;
class TraitTable;
class UserInterface;

enum class QtlMethod { HaleyKnott, IntervalMapping, Composite };

// "hk", "em", "cim" and back.
const char *qtlMethodName(QtlMethod method);
std::optional<QtlMethod> qtlMethodFromName(const std::string &name);
const char *mapFunctionName(MapFunction function);
std::optional<MapFunction> mapFunctionFromName(const std::string &name);

struct QtlOptions
{
    QtlMethod method = QtlMethod::HaleyKnott;
    double step = 1.0; // cM between pseudo-markers; 0: markers only
    MapFunction mapFunction = MapFunction::Haldane;
    double errorProbability = 1e-4;
    int permutations = 1000;
    std::uint64_t seed = 1;
    int cofactors = 3;    // composite interval mapping: marker cofactors chosen forward
    double window = 10.0; // composite interval mapping: cM around a cofactor where it is left out
    double lodDrop = 1.5;
    double bayesProbability = 0.95;
    // Only the individuals that count as selected take part.
    bool applySelection = false;
    int threads = 0; // 0: every core
};

struct QtlRunControl
{
    UserInterface *ui = nullptr;           // progress bar
    std::function<bool()> cancelRequested; // polled on the calling thread; true stops the run
};

// The peak of one trait on one group.
struct QtlPeak
{
    int trait = 0;      // index among the analysis's traits
    int group = 0;      // index among the analysis's groups
    int row = 0;        // the scanned position (row of the LOD grid)
    double position = 0.0;
    double lod = 0.0;
    int nearestLocus = 0; // index of the marker nearest the peak in the data set's group
    std::string nearestMarker;
    double lodLow = 0.0, lodHigh = 0.0;     // 1.5-LOD support interval, cM
    double bayesLow = 0.0, bayesHigh = 0.0; // Bayes credible interval, cM
    double varianceExplained = 0.0;         // percent
    double additive = 0.0;
    double dominance = 0.0; // NaN but for the intercross
    bool significant = false; // LOD at or above the trait's 5 % threshold
};

class QtlAnalysis
{
public:
    // Null when the run was cancelled or nothing could be scanned (error then says why).
    static std::unique_ptr<QtlAnalysis> run(const GenotypeData &data, const TraitTable &traits, const QtlOptions &options,
                                            const QtlRunControl &control, std::string &error);

    struct Group
    {
        int dataGroup = 0; // 0-based index in the data set
        std::string name;
        QtlCross cross = QtlCross::Backcross;
        std::vector<ScanPosition> positions;
        std::vector<int> markerLoci;          // the data set's locus index of each marker used
        std::vector<std::string> markerNames; // by marker
        int firstRow = 0;                     // the group's first row in the LOD grid
    };

    const QtlOptions &options() const { return mOptions; }
    const std::vector<Group> &groups() const { return mGroups; }
    const std::vector<std::string> &traitNames() const { return mTraitNames; }
    int traitCount() const { return static_cast<int>(mTraitNames.size()); }
    int individualCount(int trait) const { return mTraitCounts[static_cast<size_t>(trait)]; }
    int rowCount() const { return static_cast<int>(mRowGroup.size()); }
    int rowGroup(int row) const { return mRowGroup[static_cast<size_t>(row)]; }
    double rowPosition(int row) const;
    // The marker's name at a marker row, empty at a pseudo-marker.
    std::string rowLocus(int row) const;
    double lod(int trait, int row) const { return mLod[static_cast<size_t>(trait) * mRowGroup.size() + static_cast<size_t>(row)]; }

    bool hasThresholds() const { return mOptions.permutations > 0; }
    double threshold(int trait, double alpha) const; // alpha 0.05 or 0.10
    const std::vector<double> &permutationMaxima(int trait) const { return mMaxima[static_cast<size_t>(trait)]; }
    const std::vector<QtlPeak> &peaks() const { return mPeaks; }
    // What was left out, one sentence each.
    const std::vector<std::string> &notes() const { return mNotes; }

    // The scan table: "group", "locus", "position", one column per trait; a line per row.
    std::string scanText() const;
    // The peaks table with the thresholds: a header line and a line per peak.
    static std::vector<std::string> peakHeadings();
    std::vector<std::string> peakCells(const QtlPeak &peak) const;
    std::string peaksText() const;

private:
    QtlAnalysis() = default;

    QtlOptions mOptions;
    std::vector<Group> mGroups;
    std::vector<std::string> mTraitNames;
    std::vector<int> mTraitCounts;
    std::vector<int> mRowGroup;
    std::vector<double> mLod; // [trait][row]
    std::vector<std::vector<double>> mMaxima;
    std::vector<double> mThreshold5, mThreshold10;
    std::vector<QtlPeak> mPeaks;
    std::vector<std::string> mNotes;
};

// Writes every significant peak's support interval as QtlStart/QtlEnd of the marker nearest the
// peak (for several peaks at one marker, the highest). A marker that already carries an interval
// keeps it unless replace is true. Returns the number of intervals written; skipped counts those
// kept.
struct QtlIntervalWrite
{
    int written = 0;
    int kept = 0;       // markers whose interval stayed
    int replaceable = 0; // markers with an interval of their own that a significant peak would replace
};
QtlIntervalWrite addQtlIntervals(GenotypeData &data, const QtlAnalysis &analysis, bool replace);
// How many significant peaks would land on markers that carry an interval already.
int qtlIntervalsInTheWay(const GenotypeData &data, const QtlAnalysis &analysis);

} // namespace rvk
