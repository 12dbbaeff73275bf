#pragma once
// Marker-assisted backcrossing: how much of the recurrent parent's genome each individual
// carries, by markers and by map length, how many donor segments are left, and around the target
// gene how far the donor segment reaches (the linkage drag).
//
// A locus is informative when the recurrent parent R and the donor D are both known there,
// neither is heterozygous, and they differ. There an individual scores 1 with R's code, 0.5 when
// heterozygous, 0 with D's code; any other code is not scored. Within a group the informative
// loci weigh half the distance between their neighbours (the ends half the gap to their one
// neighbour, a lone locus nothing), from the parents' loci alone.
//
// The result is a table formatted cell by cell on demand from compact numbers: the window's
// model, the saved table and the command line all read it.

#include "genetics/backcrosscodes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rvk {

class GenotypeData;

struct BackcrossRequest
{
    int recurrent = -1; // 0-based individuals
    int donor = -1;
    std::optional<MarkerPlace> target;
    // Rows only for the individuals that count as selected (all while filtering is off).
    bool selectedOnly = false;
};

class BackcrossStatistics
{
public:
    // What one individual has in one group, or (summed) in all groups.
    struct Tally
    {
        int scored = 0;           // scored informative loci
        int halves = 0;           // sum of the scores, in halves
        double weight = 0.0;      // sum of the weights of the scored loci
        double weightedScore = 0.0;
        int segments = 0;         // donor segments
        double donorLength = 0.0; // sum of the weights of the loci scoring below 1

        std::optional<double> rpgMarkers() const;
        std::optional<double> rpgCm() const;
    };
    struct TargetState
    {
        char code = 0;
        bool carrier = false;
        double dragLeft = 0.0; // cM from the target to the farthest locus of its donor segment
        double dragRight = 0.0;
    };

    // Column meanings; the per-group columns follow the fixed ones, two per group.
    enum class Column { Individual, RpgMarkers, RpgCm, DonorSegments, DonorLength, TargetCode, Carrier, DragLeft, DragRight, GroupRpgMarkers, GroupRpgCm };

    int rowCount() const { return static_cast<int>(mOrder.size()); }
    int columnCount() const { return static_cast<int>(mColumns.size()); }
    // "individual", "rpg_markers", "rpg_cm", "donor_segments", "donor_cm", with a target
    // "target_code", "carrier", "drag_left_cm", "drag_right_cm", then per group
    // "rpg_markers:<group>" and "rpg_cm:<group>".
    const std::vector<std::string> &columnCaptions() const { return mCaptions; }
    Column columnKind(int column) const { return mColumns[static_cast<size_t>(column)].kind; }
    // The text of a cell: percentages and cM with two decimals, "-" where there is no value.
    std::string cell(int row, int column) const;
    // The number a cell shows; nothing for "-" and for texts.
    std::optional<double> cellValue(int row, int column) const;
    // Sorts the rows by a column (names ignoring case, numbers by value, "-" last); rows with
    // equal keys keep their order.
    void sortByColumn(int column, bool descending = false);

    // The numbers behind a row (rows in their current order).
    int individual(int row) const { return mIndividuals[record(row)]; }
    const std::string &name(int row) const;
    const Tally &total(int row) const { return mTotals[record(row)]; }
    const Tally &groupTally(int row, int group) const { return mGroups[record(row) * static_cast<size_t>(mGroupCount) + static_cast<size_t>(group)]; }
    bool hasTarget() const { return mHasTarget; }
    const TargetState &target(int row) const { return mTargets[record(row)]; }

    int groupCount() const { return mGroupCount; }
    int informativeLoci() const { return mInformative; }
    int informativeLoci(int group) const { return mInformativePerGroup[static_cast<size_t>(group)]; }
    const std::string &recurrentName() const { return mRecurrentName; }
    const std::string &donorName() const { return mDonorName; }
    const std::string &targetName() const { return mTargetName; }

    // Tab-separated text: the captions, then one line per row, each ended by "\n".
    std::string tabText() const;
    // The captions in the first row and one row per table row, for a spreadsheet file.
    std::vector<std::vector<std::string>> spreadsheetGrid() const;

    // Rows whose individual carries the target (everyone without a target) ordered by rpg_cm,
    // highest first, rows without rpg_cm left out: the first count of them, or (count < 0)
    // those with rpg_cm at or above minimum. Returns 0-based individuals.
    std::vector<int> bestCarriers(int count, double minimum = 0.0) const;

private:
    friend std::optional<BackcrossStatistics> computeBackcrossStatistics(const GenotypeData &, const BackcrossRequest &, std::string &);
    struct ColumnInfo
    {
        Column kind;
        int group = -1;
    };
    size_t record(int row) const { return static_cast<size_t>(mOrder[static_cast<size_t>(row)]); }

    std::vector<ColumnInfo> mColumns;
    std::vector<std::string> mCaptions;
    std::vector<int> mIndividuals;   // per record
    std::vector<std::string> mNames; // per record
    std::vector<Tally> mTotals;      // per record
    std::vector<Tally> mGroups;      // per record and group
    std::vector<TargetState> mTargets;
    std::vector<int> mOrder;
    int mGroupCount = 0;
    int mInformative = 0;
    std::vector<int> mInformativePerGroup;
    bool mHasTarget = false;
    std::string mRecurrentName, mDonorName, mTargetName;
};

// The statistics, or nothing with the reason in error: a parent outside the data set, the same
// individual twice, cross-pollinator data (two codes per individual), no informative locus, a
// target marker where the parents do not differ.
std::optional<BackcrossStatistics> computeBackcrossStatistics(const GenotypeData &data, const BackcrossRequest &request,
                                                              std::string &error);

// The reasons, one text each.
std::string backcrossParentMissingMessage(const std::string &role, const std::string &name);
std::string markerMissingMessage(const std::string &name);
extern const char *const SameParentsMessage;
extern const char *const TwoCodesMessage;
extern const char *const NoInformativeLocusMessage;
std::string targetNotInformativeMessage(const std::string &marker);

} // namespace rvk
