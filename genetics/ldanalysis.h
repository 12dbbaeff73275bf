#pragma once
// The LD analyses of the page "LD ": every pair of the loci of one linkage group, or of all loci
// of the data set, with the results the page shows four ways (diallel table, pairwise list,
// chart of the measure against map distance, heat plot) and the log's FDR lines.
//
// Built for tens of thousands of loci: a pair keeps only the chosen measure as a float, a state
// byte and, while the run needs it, its p-value. Table cells, list lines and log lines are
// formatted when asked for, from the pair recomputed exactly (a pair costs well under a
// microsecond); "Save list" streams its lines to the file.

#include "genetics/fdr.h"
#include "genetics/ldpair.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace rvk {

class AlleleTable;
class GenotypeData;
class UserInterface;

enum class LdMeasure { R2, R, MinusLogP, DPrime, ChiSquarePrime };

// The chart's left-axis title and the table's corner text: "LD (R²)", "LD (R)", "LD (-10LOGp)",
// "LD (D`)", "LD (Chisq`)".
const char *ldMeasureCaption(LdMeasure measure);
double ldMeasureValue(const LdPairResult &pair, LdMeasure measure);

struct LdOptions
{
    LdMeasure measure = LdMeasure::R2;
    bool successiveMarkers = false; // only pairs adjacent in analysis order
    bool applySelection = false;    // only the ticked individuals take part
    double fdrLevel = DefaultFdrLevel;
    // "Use marker intensity data": the values of the locus with this index (0-based over all
    // groups, group after group), one per data-set individual, -99 missing; R then reads these
    // instead of the Numval of the codes (D' and chi-square' keep the codes). None: the codes.
    std::function<std::vector<double>(int locusIndex)> individualValues;
    // All-loci runs: the loci in the order of these names (the cluster order of the last tree)
    // when it holds exactly as many names as there are loci. Loci it does not name follow in map
    // order.
    std::vector<std::string> clusterOrder;
};

// What a run reports to and asks of the person waiting for it.
struct LdRunControl
{
    UserInterface *ui = nullptr;           // progress bar
    std::function<bool()> cancelRequested; // polled between rows of pairs; true stops the run
};

class LdAnalysis
{
public:
    enum class Scope { Group, AllLoci };

    // The analysis of one group (button "only this group>") and of all loci ("Calc LD for all
    // loci"). Null when the run was cancelled; the caller keeps its previous results then.
    static std::unique_ptr<LdAnalysis> runGroup(const GenotypeData &data, const AlleleTable &alleles, int group,
                                                const LdOptions &options, const LdRunControl &control = {});
    static std::unique_ptr<LdAnalysis> runAllLoci(const GenotypeData &data, const AlleleTable &alleles,
                                                  const LdOptions &options, const LdRunControl &control = {});
    // Runs over loci in the given order (both buttons end here).
    static std::unique_ptr<LdAnalysis> run(Scope scope, LdMatrices matrices, const LdOptions &options,
                                           const LdRunControl &control);

    // Pairs and bytes a run over this many loci takes, for the question before a long run, and
    // the question itself.
    static long long pairCount(long long loci) { return loci * (loci - 1) / 2; }
    static long long estimatedMemoryBytes(long long loci, long long individuals);
    static std::string longRunQuestion(long long loci, long long individuals);
    // Runs of more pairs than this ask first.
    static constexpr long long AskAbovePairs = 50'000'000;
    // A pair is numbered in 32 bits in the p-value list: no more loci than this, in a run of all
    // loci as in a run of one group. tooManyLociMessage says so; refusal gives it when a run of
    // this many loci cannot be made (empty when it can).
    static constexpr long long MaxLoci = 92681;
    static std::string tooManyLociMessage(long long loci);
    static std::string refusal(long long loci) { return loci > MaxLoci ? tooManyLociMessage(loci) : std::string(); }

    Scope scope() const { return mScope; }
    LdMeasure measure() const { return mMeasure; }
    bool successiveMarkers() const { return mSuccessive; }
    bool clusterOrderUsed() const { return mClusterOrderUsed; }
    const LdMatrices &matrices() const { return mMatrices; }
    int locusCount() const { return mMatrices.locusCount(); }

    // Whether the run computed pair (i, j), i < j, and what came of it.
    bool visited(int i, int j) const;
    bool available(int i, int j) const; // visited and not "N/A"
    bool notAvailable(int i, int j) const { return visited(i, j) && !available(i, j); }
    // The measure of a reported pair as stored (single precision), and the sign of its R.
    float value(int i, int j) const;
    bool negativeR(int i, int j) const; // R <= 0
    // The pair recomputed in full, its p-value the very number the run had: the log, the list,
    // the table, the FDR, its threshold and rthres all read this one. Runs of up to
    // ExactPValuePairs pairs compute p-values exactly; longer runs take them from tables (about
    // 1e-11 relative), so that millions of pairs and list lines stay fast.
    LdPairResult pair(int i, int j) const;
    static constexpr long long ExactPValuePairs = 100'000;
    // The same with the p-value from TwoTailedTProb itself.
    LdPairResult exactPair(int i, int j) const { return ComputeLdPair(mMatrices, i, j); }

    // The diallel table: (L + 1) x (L + 1) cells; column i + 1 and row j + 1 belong to locus i and
    // j. The corner holds the measure caption, row 0 and column 0 the locus headings, cell
    // (i + 1, j + 1), i < j, " %.2f" of the measure or "N/A"; every other cell is empty.
    int tableSize() const { return locusCount() + 1; }
    std::string tableCell(int column, int row) const;
    // The heading of locus l: its name, or in all-loci runs its 1-based group number, ">" and
    // the name.
    std::string locusHeading(int l) const;

    // The pairwise list ("LD pairwise data"): line 0 is the header, then one line per reported
    // pair in the order of the run.
    long long listLineCount() const { return 1 + mReportedPairs; }
    std::string listLine(long long line) const;
    std::string listHeader() const;
    std::string pairLine(int i, int j, const LdPairResult &pair) const;
    void appendPairLine(std::string &line, int i, int j, const LdPairResult &pair) const;
    // "Save list": every line, each ended by a line break, streamed to path through a temporary
    // file, with progress and cancel through control (a list can run to gigabytes). False with
    // the reason in error; false with an empty error when cancelled (an older file stays as it
    // was).
    bool saveList(const std::string &path, std::string &error, const LdRunControl &control = {}) const;

    // The log: the FDR lines, one line per p-value of a group run (p ascending, "%.3f  - %.2f" of p
    // and R²) and the "rthres : " line.
    long long logLineCount() const;
    std::string logLine(long long line) const;
    // Every log line, each ended by a line break.
    void writeLog(std::ostream &out) const;

    long long pValueCount() const { return mPValueCount; }
    bool fdrRun() const { return mFdrRun; }
    double pThreshold() const { return mThreshold; }
    double rthres() const { return mRthres; }
    int lastDegreesOfFreedom() const { return mLastN - 2; }

    // The chart: points (Dist, measure) of reported pairs on the same linkage group, the largest
    // such Dist as the x extent, and the threshold line (none when hasThresholdLine is false).
    double largestDistance() const { return mLargestDistance; }
    bool hasThresholdLine() const;
    double thresholdLineY() const;
    // Calls visit(Dist, measure) for every chart point, in the order of the run.
    void forEachChartPoint(const std::function<void(double dist, double value)> &visit) const;

    // The linkage groups in analysis order: where each starts and how many loci it has (one
    // entry per run of loci of the same group).
    struct GroupSpan
    {
        int group = 0; // 0-based
        int start = 0;
        int count = 0;
        double firstPosition = 0.0;
        double lastPosition = 0.0;
    };
    const std::vector<GroupSpan> &groupSpans() const { return mGroupSpans; }

    std::size_t memoryBytes() const;

    // What is left to say of a run once its pairs are let go (the data set it came from was
    // closed): scope, loci, pairs and the FDR line, e.g. "LD of group 1 (3 loci, 3 pairs),
    // FDR threshold 0.05, rthres 0.44".
    std::string summary() const;

    // The run's fixed texts.
    static constexpr const char *FdrThresholdLabel = "FDR threshold :";
    static constexpr const char *DegreesOfFreedomLabel = "deg freedom=N-2 :";
    static constexpr const char *RthresLabel = "rthres : ";
    static constexpr const char *InitialLogText = "Log window";
    // Fewer p-values than this: no FDR, the threshold is 0.05.
    static constexpr long long FdrMinimumCount = 21;

private:
    LdAnalysis() = default;
    long long pairIndex(int i, int j) const; // -1 when the run keeps no such pair
    std::pair<int, int> pairLoci(long long index) const;
    void finishPValues(std::vector<double> &pValues, std::vector<std::uint8_t> &hasP, double level);
    LdPValueCache *pValueSource() const; // none: exact p-values
    void buildListIndex();

    enum StateBits : std::uint8_t { Visited = 1, NotAvailable = 2, NegativeR = 4 };

    Scope mScope = Scope::Group;
    LdMeasure mMeasure = LdMeasure::R2;
    bool mSuccessive = false;
    bool mClusterOrderUsed = false;
    bool mExactP = true;
    LdMatrices mMatrices;
    std::vector<float> mValues;
    std::vector<std::uint8_t> mStates;
    long long mReportedPairs = 0;
    std::vector<long long> mRowStart; // list lines before the pairs of locus i
    std::vector<GroupSpan> mGroupSpans;

    // p-values, ascending, with their pair (group runs keep them all for the log lines). Packed
    // into 12 bytes: lists of millions are sorted and kept.
    struct __attribute__((packed, aligned(4))) SortedP
    {
        double p;
        std::uint32_t pair;
    };
    static_assert(sizeof(SortedP) == 12);
    std::vector<SortedP> mSortedP;
    long long mPValueCount = 0;
    bool mFdrRun = false;
    double mThreshold = 0.05;
    double mRthres = 0.0;
    int mLastN = 0;
    double mLargestDistance = 0.0;
};

} // namespace rvk
