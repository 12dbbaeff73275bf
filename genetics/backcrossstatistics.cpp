#include "genetics/backcrossstatistics.h"

#include "core/genotypedata.h"
#include "core/textformat.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <thread>

namespace rvk {

const char *const SameParentsMessage = "The recurrent parent and the donor must be two different individuals.";
const char *const TwoCodesMessage =
    "Backcross statistics and the pedigree check need one code per individual; cross-pollinator data has two.";
const char *const NoInformativeLocusMessage =
    "No locus tells the recurrent parent and the donor apart (both known, homozygous and different).";

std::string backcrossParentMissingMessage(const std::string &role, const std::string &name)
{
    return "The " + role + " \"" + name + "\" is not an individual of the data set.";
}

std::string markerMissingMessage(const std::string &name) { return "The marker \"" + name + "\" is not in the data set."; }

std::string targetNotInformativeMessage(const std::string &marker)
{
    return "The target marker \"" + marker
        + "\" is not informative: the recurrent parent and the donor must be known, homozygous and different there.";
}

int findIndividualByName(const GenotypeData &data, const std::string &name)
{
    const int n = std::min(data.nind, static_cast<int>(data.IndividualNames.size()));
    for (int i = 0; i < n; ++i)
        if (data.IndividualNames[static_cast<size_t>(i)] == name)
            return i;
    return -1;
}

std::optional<MarkerPlace> findMarkerByName(const GenotypeData &data, const std::string &name)
{
    if (name.empty())
        return std::nullopt;
    for (int g = 0; g < data.GroupCount(); ++g) {
        const auto &loci = data.GroupLoci(g);
        for (size_t k = 0; k < loci.size(); ++k) {
            const std::string &locusName = loci[k].Name;
            if (locusName == name
                || (locusName.size() > name.size() && locusName.compare(0, name.size(), name) == 0 && locusName[name.size()] == ' '))
                return MarkerPlace{g, static_cast<int>(k)};
        }
    }
    return std::nullopt;
}

std::string plainMarkerName(const std::string &name) { return name.substr(0, name.find(' ')); }

std::optional<double> BackcrossStatistics::Tally::rpgMarkers() const
{
    if (scored == 0)
        return std::nullopt;
    return 100.0 * halves / (2.0 * scored);
}

std::optional<double> BackcrossStatistics::Tally::rpgCm() const
{
    if (!(weight > 0.0))
        return std::nullopt;
    return 100.0 * weightedScore / weight;
}

namespace {

// Score classes of a code at one informative locus: not scored, D's code, heterozygous, R's code.
enum ScoreClass : std::uint8_t { NotScored = 0, DonorScore = 1, HeterozygousScore = 2, RecurrentScore = 3 };

// The running state of one individual within a group.
struct Walk
{
    BackcrossStatistics::Tally tally;
    bool inSegment = false;
    double segmentStart = 0.0; // position of the first locus of the segment in hand
    bool followingTarget = false;
};

bool lessIgnoringCase(const std::string &a, const std::string &b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

std::optional<BackcrossStatistics> computeBackcrossStatistics(const GenotypeData &data, const BackcrossRequest &request,
                                                              std::string &error)
{
    if (data.IsCrossPollinator()) {
        error = TwoCodesMessage;
        return std::nullopt;
    }
    const int R = request.recurrent, D = request.donor;
    if (R < 0 || R >= data.nind) {
        error = backcrossParentMissingMessage("recurrent parent", "");
        return std::nullopt;
    }
    if (D < 0 || D >= data.nind) {
        error = backcrossParentMissingMessage("donor", "");
        return std::nullopt;
    }
    if (R == D) {
        error = SameParentsMessage;
        return std::nullopt;
    }
    auto codeAt = [](const Tlocinfo &locus, int i) {
        return static_cast<size_t>(i) < locus.Genotypes.size() ? locus.Genotypes[static_cast<size_t>(i)] : 'U';
    };
    auto informative = [&](const Tlocinfo &locus) {
        const char r = codeAt(locus, R), d = codeAt(locus, D);
        return isKnownHomozygousCode(r) && isKnownHomozygousCode(d) && r != d;
    };

    BackcrossStatistics result;
    auto nameOf = [&](int i) {
        return static_cast<size_t>(i) < data.IndividualNames.size() ? data.IndividualNames[static_cast<size_t>(i)] : std::string();
    };
    result.mRecurrentName = nameOf(R);
    result.mDonorName = nameOf(D);
    const int G = data.GroupCount();
    result.mGroupCount = G;
    result.mInformativePerGroup.assign(static_cast<size_t>(G), 0);

    // Informative loci per group, with their weights.
    std::vector<std::vector<int>> informativeLoci(static_cast<size_t>(G));
    std::vector<std::vector<double>> weights(static_cast<size_t>(G));
    for (int g = 0; g < G; ++g) {
        const auto &loci = data.GroupLoci(g);
        auto &list = informativeLoci[static_cast<size_t>(g)];
        for (size_t k = 0; k < loci.size(); ++k)
            if (informative(loci[k]))
                list.push_back(static_cast<int>(k));
        auto &w = weights[static_cast<size_t>(g)];
        const size_t n = list.size();
        w.resize(n);
        for (size_t j = 0; j < n; ++j) {
            const double before = loci[static_cast<size_t>(list[j == 0 ? 0 : j - 1])].Position;
            const double after = loci[static_cast<size_t>(list[j + 1 < n ? j + 1 : n - 1])].Position;
            w[j] = (after - before) / 2;
        }
        result.mInformativePerGroup[static_cast<size_t>(g)] = static_cast<int>(n);
        result.mInformative += static_cast<int>(n);
    }
    if (result.mInformative == 0) {
        error = NoInformativeLocusMessage;
        return std::nullopt;
    }
    if (request.target) {
        const MarkerPlace t = *request.target;
        if (t.group < 0 || t.group >= G || t.locus < 0 || t.locus >= data.GroupLocusCount(t.group)) {
            error = markerMissingMessage("");
            return std::nullopt;
        }
        result.mTargetName = plainMarkerName(data.GroupLoci(t.group)[static_cast<size_t>(t.locus)].Name);
        if (!informative(data.GroupLoci(t.group)[static_cast<size_t>(t.locus)])) {
            error = targetNotInformativeMessage(result.mTargetName);
            return std::nullopt;
        }
        result.mHasTarget = true;
    }

    // Rows.
    for (int i = 0; i < data.nind; ++i)
        if (!request.selectedOnly || data.IsSelected(i))
            result.mIndividuals.push_back(i);
    const size_t rows = result.mIndividuals.size();
    result.mNames.reserve(rows);
    for (int i : result.mIndividuals)
        result.mNames.push_back(nameOf(i));
    result.mTotals.assign(rows, {});
    result.mGroups.assign(rows * static_cast<size_t>(G), {});
    result.mTargets.assign(result.mHasTarget ? rows : 0, {});
    const bool everyone = rows == static_cast<size_t>(data.nind);

    // Rows are independent: blocks of them are walked on the cores side by side, each over every
    // locus of every group, so each reads the loci's codes of its own rows only.
    auto walkRows = [&](size_t firstRow, size_t endRow) {
        const size_t count = endRow - firstRow;
        std::vector<Walk> walks(count);
        std::array<std::uint8_t, 256> classOf{};
        for (int g = 0; g < G; ++g) {
            const auto &loci = data.GroupLoci(g);
            const auto &list = informativeLoci[static_cast<size_t>(g)];
            const auto &w = weights[static_cast<size_t>(g)];
            std::fill(walks.begin(), walks.end(), Walk{});
            const int targetLocus = result.mHasTarget && request.target->group == g ? request.target->locus : -1;
            double targetPosition = 0.0;
            for (size_t j = 0; j < list.size(); ++j) {
                const Tlocinfo &locus = loci[static_cast<size_t>(list[j])];
                const char r = codeAt(locus, R), d = codeAt(locus, D);
                classOf.fill(NotScored);
                classOf[static_cast<unsigned char>('H')] = HeterozygousScore;
                classOf[static_cast<unsigned char>('h')] = HeterozygousScore;
                classOf[static_cast<unsigned char>(d)] = DonorScore;
                classOf[static_cast<unsigned char>(r)] = RecurrentScore;
                const double weight = w[j];
                const std::array<double, 4> addWeight{0.0, weight, weight, weight};
                const std::array<double, 4> addScore{0.0, 0.0, weight / 2, weight};
                const std::array<double, 4> addDonor{0.0, weight, weight, 0.0};
                const double position = locus.Position;
                const std::string &codes = locus.Genotypes;
                const bool full = everyone && codes.size() >= rows;
                const bool isTarget = list[j] == targetLocus;
                if (isTarget)
                    targetPosition = position;
                for (size_t n = 0; n < count; ++n) {
                    const size_t row = firstRow + n;
                    const char c = full ? codes[row] : codeAt(locus, result.mIndividuals[row]);
                    const std::uint8_t k = classOf[static_cast<unsigned char>(c)];
                    Walk &walk = walks[n];
                    if (isTarget) {
                        BackcrossStatistics::TargetState &t = result.mTargets[row];
                        t.code = c;
                        t.carrier = c == d || isHeterozygousBreedingCode(c);
                    }
                    if (k == NotScored)
                        continue;
                    BackcrossStatistics::Tally &tally = walk.tally;
                    ++tally.scored;
                    tally.halves += k - 1;
                    tally.weight += addWeight[k];
                    tally.weightedScore += addScore[k];
                    tally.donorLength += addDonor[k];
                    if (k == RecurrentScore) {
                        walk.inSegment = false;
                        walk.followingTarget = false;
                        continue;
                    }
                    if (!walk.inSegment) {
                        walk.inSegment = true;
                        walk.segmentStart = position;
                        ++tally.segments;
                    }
                    if (isTarget) {
                        result.mTargets[row].dragLeft = position - walk.segmentStart;
                        walk.followingTarget = true;
                    } else if (walk.followingTarget) {
                        result.mTargets[row].dragRight = position - targetPosition;
                    }
                }
            }
            for (size_t n = 0; n < count; ++n) {
                const size_t row = firstRow + n;
                const BackcrossStatistics::Tally &t = walks[n].tally;
                result.mGroups[row * static_cast<size_t>(G) + static_cast<size_t>(g)] = t;
                BackcrossStatistics::Tally &total = result.mTotals[row];
                total.scored += t.scored;
                total.halves += t.halves;
                total.weight += t.weight;
                total.weightedScore += t.weightedScore;
                total.segments += t.segments;
                total.donorLength += t.donorLength;
            }
        }
    };
    const size_t cores = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
    // Blocks of whole cache lines of codes, and not worth a thread below a few hundred rows.
    const size_t blocks = std::min(cores, std::max<size_t>(1, rows / 256));
    const size_t perBlock = (rows + blocks - 1) / blocks / 64 * 64 + 64;
    std::vector<std::thread> threads;
    for (size_t first = perBlock; first < rows; first += perBlock)
        threads.emplace_back(walkRows, first, std::min(rows, first + perBlock));
    walkRows(0, std::min(rows, perBlock));
    for (std::thread &thread : threads)
        thread.join();

    // Columns.
    using Column = BackcrossStatistics::Column;
    auto add = [&](Column kind, std::string caption, int group = -1) {
        result.mColumns.push_back({kind, group});
        result.mCaptions.push_back(std::move(caption));
    };
    add(Column::Individual, "individual");
    add(Column::RpgMarkers, "rpg_markers");
    add(Column::RpgCm, "rpg_cm");
    add(Column::DonorSegments, "donor_segments");
    add(Column::DonorLength, "donor_cm");
    if (result.mHasTarget) {
        add(Column::TargetCode, "target_code");
        add(Column::Carrier, "carrier");
        add(Column::DragLeft, "drag_left_cm");
        add(Column::DragRight, "drag_right_cm");
    }
    for (int g = 0; g < G; ++g) {
        add(Column::GroupRpgMarkers, "rpg_markers:" + data.GroupName(g), g);
        add(Column::GroupRpgCm, "rpg_cm:" + data.GroupName(g), g);
    }
    result.mOrder.resize(rows);
    for (size_t row = 0; row < rows; ++row)
        result.mOrder[row] = static_cast<int>(row);
    return result;
}

const std::string &BackcrossStatistics::name(int row) const { return mNames[record(row)]; }

std::optional<double> BackcrossStatistics::cellValue(int row, int column) const
{
    const ColumnInfo &info = mColumns[static_cast<size_t>(column)];
    const Tally &t = total(row);
    switch (info.kind) {
    case Column::Individual: return std::nullopt;
    case Column::RpgMarkers: return t.rpgMarkers();
    case Column::RpgCm: return t.rpgCm();
    case Column::DonorSegments: return t.segments;
    case Column::DonorLength: return t.donorLength;
    case Column::TargetCode: return std::nullopt;
    case Column::Carrier: return target(row).carrier ? 1.0 : 0.0;
    case Column::DragLeft: return target(row).dragLeft;
    case Column::DragRight: return target(row).dragRight;
    case Column::GroupRpgMarkers: return groupTally(row, info.group).rpgMarkers();
    case Column::GroupRpgCm: return groupTally(row, info.group).rpgCm();
    }
    return std::nullopt;
}

std::string BackcrossStatistics::cell(int row, int column) const
{
    const ColumnInfo &info = mColumns[static_cast<size_t>(column)];
    switch (info.kind) {
    case Column::Individual: return name(row);
    case Column::DonorSegments: return formatText("%d", {total(row).segments});
    case Column::TargetCode: {
        const char c = target(row).code;
        return c ? std::string(1, c) : std::string("-");
    }
    case Column::Carrier: return target(row).carrier ? "yes" : "no";
    default: break;
    }
    const std::optional<double> value = cellValue(row, column);
    return value ? formatText("%.2f", {*value}) : std::string("-");
}

void BackcrossStatistics::sortByColumn(int column, bool descending)
{
    if (column < 0 || column >= columnCount())
        return;
    const ColumnInfo info = mColumns[static_cast<size_t>(column)];
    std::vector<int> rowsInOrder(mOrder.size());
    for (size_t r = 0; r < rowsInOrder.size(); ++r)
        rowsInOrder[r] = static_cast<int>(r);
    // Keys per row of the current order, then a stable sort of the records.
    if (info.kind == Column::Individual || info.kind == Column::TargetCode) {
        std::vector<std::string> keys(mOrder.size());
        for (size_t r = 0; r < keys.size(); ++r)
            keys[r] = cell(static_cast<int>(r), column);
        std::stable_sort(rowsInOrder.begin(), rowsInOrder.end(), [&](int a, int b) {
            return descending ? lessIgnoringCase(keys[static_cast<size_t>(b)], keys[static_cast<size_t>(a)])
                              : lessIgnoringCase(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)]);
        });
    } else {
        std::vector<std::optional<double>> keys(mOrder.size());
        for (size_t r = 0; r < keys.size(); ++r)
            keys[r] = cellValue(static_cast<int>(r), column);
        std::stable_sort(rowsInOrder.begin(), rowsInOrder.end(), [&](int a, int b) {
            const auto &x = keys[static_cast<size_t>(a)], &y = keys[static_cast<size_t>(b)];
            if (!x || !y)
                return x.has_value() && !y.has_value(); // no value last
            return descending ? *y < *x : *x < *y;
        });
    }
    std::vector<int> order(mOrder.size());
    for (size_t r = 0; r < order.size(); ++r)
        order[r] = mOrder[static_cast<size_t>(rowsInOrder[r])];
    mOrder = std::move(order);
}

std::string BackcrossStatistics::tabText() const
{
    std::string text;
    for (int c = 0; c < columnCount(); ++c)
        text += (c ? "\t" : "") + mCaptions[static_cast<size_t>(c)];
    text += "\n";
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            if (c)
                text += '\t';
            text += cell(r, c);
        }
        text += '\n';
    }
    return text;
}

std::vector<std::vector<std::string>> BackcrossStatistics::spreadsheetGrid() const
{
    std::vector<std::vector<std::string>> grid;
    grid.reserve(static_cast<size_t>(rowCount()) + 1);
    grid.push_back(mCaptions);
    for (int r = 0; r < rowCount(); ++r) {
        std::vector<std::string> line;
        line.reserve(mCaptions.size());
        for (int c = 0; c < columnCount(); ++c)
            line.push_back(cell(r, c));
        grid.push_back(std::move(line));
    }
    return grid;
}

std::vector<int> BackcrossStatistics::bestCarriers(int count, double minimum) const
{
    std::vector<size_t> records;
    for (size_t r = 0; r < mIndividuals.size(); ++r)
        if ((!mHasTarget || mTargets[r].carrier) && mTotals[r].rpgCm())
            records.push_back(r);
    std::stable_sort(records.begin(), records.end(),
                     [&](size_t a, size_t b) { return *mTotals[b].rpgCm() < *mTotals[a].rpgCm(); });
    std::vector<int> chosen;
    for (size_t r : records) {
        if (count >= 0 ? static_cast<int>(chosen.size()) >= count : *mTotals[r].rpgCm() < minimum)
            break;
        chosen.push_back(mIndividuals[r]);
    }
    return chosen;
}

} // namespace rvk
