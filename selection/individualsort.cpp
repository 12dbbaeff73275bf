#include "selection/individualsort.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "core/textlines.h"
#include "core/userinterface.h"
#include "selection/textlistsort.h"
#include "settings/alleletable.h"

#include <algorithm>
#include <numeric>

namespace rvk {

std::string TraitSortKeys::key(int individual) const
{
    // The last entry is the trait's name, not a key.
    if (individual < 0 || static_cast<size_t>(individual) + 1 >= mEntries.size())
        return {};
    return mEntries[static_cast<size_t>(individual)];
}

namespace IndividualSort {

namespace {

enum class Refusal { None, Silent, NoMarker, NoGroup };

// The choice the sort really makes: cross-pollinator data have no allele-content key and fall
// back to the load order.
SortChoice effectiveChoice(const GenotypeData &data, SortChoice choice)
{
    if (data.IsCrossPollinator() && choice == SortChoice::AlleleContent)
        return SortChoice::NoSort;
    return choice;
}

bool validGroup(const GenotypeData &data, int group) { return group >= 0 && group < data.GroupCount(); }

char chosenAllele(const SortRequest &request)
{
    if (request.alleleItem.empty())
        return 0;
    const char c = request.alleleItem.front();
    return AlleleTable::indexOf(c) >= 0 ? c : 0;
}

Refusal check(const GenotypeData &data, const SortRequest &request)
{
    const int n = data.nind;
    if (n <= 0 || data.GroupCount() == 0 || data.IndividualNumbers.size() != static_cast<size_t>(n))
        return Refusal::Silent;
    // Every genotype text must hold exactly one entry per individual, or moving the codes would
    // mix individuals.
    const size_t length = static_cast<size_t>(n) * static_cast<size_t>(data.CodesPerIndividual());
    for (const auto &group : data.LinkageGroups)
        for (const Tlocinfo &locus : group->Loci)
            if (locus.Genotypes.size() != length)
                return Refusal::Silent;
    switch (effectiveChoice(data, request.choice)) {
    case SortChoice::SelectedMarker:
        if (!validGroup(data, request.group) || request.locus < 0 || request.locus >= data.GroupLocusCount(request.group))
            return Refusal::NoMarker;
        break;
    case SortChoice::SelectedGroup:
        if (!validGroup(data, request.group))
            return Refusal::NoGroup;
        break;
    case SortChoice::AlleleContent:
        if (!chosenAllele(request))
            return Refusal::Silent;
        break;
    case SortChoice::Trait:
        if (!request.keys || request.keys->empty())
            return Refusal::Silent;
        break;
    default:
        break;
    }
    return Refusal::None;
}

// Sorts by a sequence of code columns, most significant first, like a most-significant-digit
// radix sort: individuals still tied after a column are ordered by the next one, and once every
// individual stands apart the remaining columns are never read. Ties keep the current order.
class ColumnSorter
{
public:
    explicit ColumnSorter(std::vector<int> &order)
        : mOrder(order)
        , mWeights(order.size())
        , mScratchOrder(order.size())
        , mScratchWeights(order.size())
    {
        if (order.size() > 1)
            mTied.push_back({0, static_cast<int>(order.size())});
    }

    bool done() const { return mTied.empty(); }
    const std::vector<std::pair<int, int>> &tiedRanges() const { return mTied; }

    // Orders every tied range by the code of each individual at position offset + width * i of
    // codes.
    void refine(const std::string &codes, size_t width, size_t offset)
    {
        const char *text = codes.data();
        mNext.clear();
        for (const auto &[begin, end] : mTied) {
            bool same = true;
            const unsigned char first = collationWeight(text[static_cast<size_t>(mOrder[static_cast<size_t>(begin)]) * width + offset]);
            for (int k = begin; k < end; ++k) {
                const unsigned char w = collationWeight(text[static_cast<size_t>(mOrder[static_cast<size_t>(k)]) * width + offset]);
                mWeights[static_cast<size_t>(k)] = w;
                same = same && w == first;
            }
            if (same) {
                mNext.push_back({begin, end});
                continue;
            }
            sortRange(begin, end);
            int start = begin;
            for (int k = begin + 1; k <= end; ++k)
                if (k == end || mWeights[static_cast<size_t>(k)] != mWeights[static_cast<size_t>(start)]) {
                    if (k - start > 1)
                        mNext.push_back({start, k});
                    start = k;
                }
        }
        mTied.swap(mNext);
    }

private:
    // Stable sort of mOrder[begin, end) by mWeights.
    void sortRange(int begin, int end)
    {
        int *order = mOrder.data();
        unsigned char *weights = mWeights.data();
        if (end - begin <= 48) {
            for (int k = begin + 1; k < end; ++k) {
                const int item = order[k];
                const unsigned char w = weights[k];
                int j = k;
                for (; j > begin && weights[j - 1] > w; --j) {
                    order[j] = order[j - 1];
                    weights[j] = weights[j - 1];
                }
                order[j] = item;
                weights[j] = w;
            }
            return;
        }
        std::array<int, 257> start{};
        for (int k = begin; k < end; ++k)
            ++start[static_cast<size_t>(weights[k]) + 1];
        for (size_t b = 1; b < start.size(); ++b)
            start[b] += start[b - 1];
        for (int k = begin; k < end; ++k) {
            const size_t place = static_cast<size_t>(begin + start[weights[k]]++);
            mScratchOrder[place] = order[k];
            mScratchWeights[place] = weights[k];
        }
        std::copy(mScratchOrder.begin() + begin, mScratchOrder.begin() + end, mOrder.begin() + begin);
        std::copy(mScratchWeights.begin() + begin, mScratchWeights.begin() + end, mWeights.begin() + begin);
    }

    std::vector<int> &mOrder;
    std::vector<unsigned char> mWeights;
    std::vector<int> mScratchOrder;
    std::vector<unsigned char> mScratchWeights;
    std::vector<std::pair<int, int>> mTied;
    std::vector<std::pair<int, int>> mNext;
};

std::vector<int> identity(int n)
{
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    return order;
}

std::vector<int> orderByColumns(const GenotypeData &data, const SortRequest &request, SortChoice choice)
{
    std::vector<int> order = identity(data.nind);
    ColumnSorter sorter(order);
    const size_t width = static_cast<size_t>(data.CodesPerIndividual());
    auto byLocus = [&](const Tlocinfo &locus, size_t offsets) {
        for (size_t offset = 0; offset < offsets && !sorter.done(); ++offset)
            sorter.refine(locus.Genotypes, width, offset);
    };
    if (choice == SortChoice::SelectedMarker) {
        byLocus(data.GroupLoci(request.group)[static_cast<size_t>(request.locus)], width);
    } else if (choice == SortChoice::SelectedGroup) {
        // The group's key holds the first code of each individual's pair.
        for (const Tlocinfo &locus : data.GroupLoci(request.group)) {
            if (sorter.done())
                break;
            byLocus(locus, 1);
        }
    } else {
        for (const auto &group : data.LinkageGroups)
            for (const Tlocinfo &locus : group->Loci) {
                if (sorter.done())
                    break;
                byLocus(locus, width);
            }
        // Equal code strings: unticked before ticked, then the load number.
        for (const auto &[begin, end] : sorter.tiedRanges())
            std::sort(order.begin() + begin, order.begin() + end, [&](int a, int b) {
                const bool ta = static_cast<size_t>(a) < data.Ticked.size() && data.Ticked[static_cast<size_t>(a)];
                const bool tb = static_cast<size_t>(b) < data.Ticked.size() && data.Ticked[static_cast<size_t>(b)];
                if (ta != tb)
                    return !ta;
                return data.IndividualNumbers[static_cast<size_t>(a)] < data.IndividualNumbers[static_cast<size_t>(b)];
            });
    }
    return order;
}

std::vector<double> contentOfCode(const GenotypeData &data, char code)
{
    std::vector<double> content(static_cast<size_t>(data.nind), 0.0);
    const size_t n = content.size();
    for (const auto &group : data.LinkageGroups) {
        const std::vector<Tlocinfo> &loci = group->Loci;
        for (size_t l = 1; l < loci.size(); ++l) {
            const double half = (loci[l].Position - loci[l - 1].Position) / 2.0;
            const std::string &previous = loci[l - 1].Genotypes;
            const std::string &next = loci[l].Genotypes;
            for (size_t i = 0; i < n && i < previous.size() && i < next.size(); ++i)
                content[i] += (previous[i] == code ? half : 0.0) + (next[i] == code ? half : 0.0);
        }
    }
    return content;
}

std::string contentKey(double value) { return formatText("%12.2f", {value}); }

// Trait keys: numbers by value, then other texts, then individuals without a value, so a
// missing value never sorts among the numbers and negative values come before positive ones.
std::vector<int> orderByTrait(const GenotypeData &data, const SortKeySource &keys)
{
    struct TraitKey
    {
        int kind; // 0 number, 1 text, 2 missing
        double value;
        std::string text;
    };
    std::vector<TraitKey> table(static_cast<size_t>(data.nind));
    for (int i = 0; i < data.nind; ++i) {
        TraitKey &k = table[static_cast<size_t>(i)];
        k.text = keys.key(i);
        if (const auto value = parseDecimal(k.text)) {
            k.kind = 0;
            k.value = *value;
        } else {
            k.kind = isBlankOnly(k.text) ? 2 : 1;
            k.value = 0.0;
        }
    }
    std::vector<int> order = identity(data.nind);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const TraitKey &x = table[static_cast<size_t>(a)];
        const TraitKey &y = table[static_cast<size_t>(b)];
        if (x.kind != y.kind)
            return x.kind < y.kind;
        if (x.kind == 0)
            return x.value < y.value;
        return textKeyLess(x.text, y.text);
    });
    return order;
}

std::vector<int> orderByTexts(const std::vector<std::string> &keys)
{
    std::vector<int> order = identity(static_cast<int>(keys.size()));
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return textKeyLess(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)]); });
    return order;
}

template <typename T> void permute(std::vector<T> &values, const std::vector<int> &order)
{
    std::vector<T> moved;
    moved.reserve(values.size());
    for (int from : order)
        moved.push_back(std::move(values[static_cast<size_t>(from)]));
    // Entries beyond the individuals (there should be none) keep their places.
    for (size_t i = order.size(); i < values.size(); ++i)
        moved.push_back(std::move(values[i]));
    values.swap(moved);
}

std::string statusText(const SortRequest &request, const GenotypeData &data)
{
    switch (request.choice) {
    case SortChoice::NoSort: return "Not sorted";
    case SortChoice::AllMarkers: return "Sorted on all markers";
    case SortChoice::SelectedMarker:
        return "Sorted on marker: "
               + (request.nodeText.empty() ? data.GroupLoci(request.group)[static_cast<size_t>(request.locus)].Name : request.nodeText);
    case SortChoice::SelectedGroup:
        return "Sorted on group: " + (request.nodeText.empty() ? data.GroupName(request.group) : request.nodeText);
    case SortChoice::Alias: return "Sorted on Alias";
    case SortChoice::AlleleContent: return "Sorted on content of allele: " + request.alleleItem;
    case SortChoice::Trait: return "Sorted on Trait data";
    }
    return {};
}

} // namespace

std::string choiceCaption(SortChoice choice, const std::string &traitName)
{
    switch (choice) {
    case SortChoice::NoSort: return "No sort /undo sort";
    case SortChoice::AllMarkers: return "All markers";
    case SortChoice::SelectedMarker: return "Selected marker";
    case SortChoice::SelectedGroup: return "Selected group";
    case SortChoice::Alias: return "Alias";
    case SortChoice::AlleleContent: return "overall allele content: ";
    case SortChoice::Trait: return "Trait " + traitName;
    }
    return {};
}

SortChoice choiceForTreeLevel(int level)
{
    if (level == 1)
        return SortChoice::SelectedGroup;
    if (level == 2)
        return SortChoice::SelectedMarker;
    return SortChoice::AllMarkers;
}

std::string alleleItem(const AlleleTable &table, char code)
{
    if (AlleleTable::indexOf(code) < 0)
        return {};
    return std::string(1, code) + " (" + table.lookup(code).Legend + ")";
}

std::optional<std::vector<int>> sortOrder(const GenotypeData &data, const SortRequest &request)
{
    if (check(data, request) != Refusal::None)
        return std::nullopt;
    const SortChoice choice = effectiveChoice(data, request.choice);
    const int n = data.nind;
    switch (choice) {
    case SortChoice::AllMarkers:
    case SortChoice::SelectedMarker:
    case SortChoice::SelectedGroup:
        return orderByColumns(data, request, choice);
    case SortChoice::Alias: {
        std::vector<std::string> keys(static_cast<size_t>(n));
        for (size_t i = 0; i < keys.size(); ++i)
            keys[i] = (i < data.IndividualNames.size() ? data.IndividualNames[i] : std::string()) + "{";
        return orderByTexts(keys);
    }
    case SortChoice::AlleleContent: {
        const std::vector<double> content = contentOfCode(data, chosenAllele(request));
        std::vector<std::string> keys(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            keys[static_cast<size_t>(i)] = contentKey(content[static_cast<size_t>(i)]);
        return orderByTexts(keys);
    }
    case SortChoice::Trait:
        return orderByTrait(data, *request.keys);
    case SortChoice::NoSort:
        break;
    }
    // The whole load number, compared as a number, brings back the load order exactly.
    std::vector<int> order = identity(n);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return data.IndividualNumbers[static_cast<size_t>(a)] < data.IndividualNumbers[static_cast<size_t>(b)];
    });
    return order;
}

void applyOrder(GenotypeData &data, const std::vector<int> &order)
{
    const int n = data.nind;
    if (static_cast<int>(order.size()) != n || n <= 0)
        return;
    bool moved = false;
    for (int j = 0; j < n && !moved; ++j)
        moved = order[static_cast<size_t>(j)] != j;
    if (moved) {
        const size_t width = static_cast<size_t>(data.CodesPerIndividual());
        const size_t length = static_cast<size_t>(n) * width;
        std::string scratch(length, ' ');
        for (const auto &group : data.LinkageGroups)
            for (Tlocinfo &locus : group->Loci) {
                if (locus.Genotypes.size() != length)
                    continue;
                const char *from = locus.Genotypes.data();
                char *to = scratch.data();
                if (width == 1) {
                    for (int j = 0; j < n; ++j)
                        to[j] = from[order[static_cast<size_t>(j)]];
                } else {
                    for (int j = 0; j < n; ++j) {
                        const size_t source = static_cast<size_t>(order[static_cast<size_t>(j)]) * width;
                        to[static_cast<size_t>(j) * width] = from[source];
                        to[static_cast<size_t>(j) * width + 1] = from[source + 1];
                    }
                }
                locus.Genotypes.swap(scratch);
            }
        if (data.IndividualNames.size() < static_cast<size_t>(n))
            data.IndividualNames.resize(static_cast<size_t>(n));
        permute(data.IndividualNames, order);
        permute(data.IndividualNumbers, order);
        data.Ticked.resize(std::max(data.Ticked.size(), static_cast<size_t>(n)), 1);
        permute(data.Ticked, order);
        // No individual's genotypes changed: the association's marker data (pasted ones
        // included) stay valid, so they are not marked stale.
    }
    data.Locked.assign(data.Ticked.size(), 0);
    data.RebuildSelectedIndices();
}

SortOutcome sortIndividuals(GenotypeData &data, const SortRequest &request, UserInterface &ui)
{
    SortOutcome outcome;
    switch (check(data, request)) {
    case Refusal::NoMarker:
        ui.warning(SelectMarkerFirst);
        return outcome;
    case Refusal::NoGroup:
        ui.warning(SelectGroupFirst);
        return outcome;
    case Refusal::Silent:
        return outcome;
    case Refusal::None:
        break;
    }
    // The cross-pollinator sort leaves the panel alone; the trait sort always reports.
    if (!data.IsCrossPollinator() || request.choice == SortChoice::Trait)
        outcome.statusText = statusText(request, data);
    const std::optional<std::vector<int>> order = sortOrder(data, request);
    if (!order)
        return outcome;
    applyOrder(data, *order);
    outcome.sorted = true;
    return outcome;
}

std::string SortKey(const GenotypeData &data, const SortRequest &request, int individual)
{
    if (individual < 0 || individual >= data.nind || check(data, request) != Refusal::None)
        return {};
    const size_t i = static_cast<size_t>(individual);
    const std::string name = i < data.IndividualNames.size() ? data.IndividualNames[i] : std::string();
    const size_t width = static_cast<size_t>(data.CodesPerIndividual());
    switch (effectiveChoice(data, request.choice)) {
    case SortChoice::NoSort: return data.IndividualNumberText(individual);
    case SortChoice::AllMarkers: {
        std::string key;
        key.reserve(static_cast<size_t>(data.TotalLocusCount()) * width + name.size() + 16);
        for (const auto &group : data.LinkageGroups)
            for (const Tlocinfo &locus : group->Loci)
                key.append(data.Genotype(locus, individual));
        const bool ticked = i < data.Ticked.size() && data.Ticked[i];
        return key + (ticked ? " @y" : " @n") + " #" + data.IndividualNumberText(individual) + " }" + name;
    }
    case SortChoice::SelectedMarker:
        return std::string(data.Genotype(data.GroupLoci(request.group)[static_cast<size_t>(request.locus)], individual));
    case SortChoice::SelectedGroup: {
        std::string key;
        for (const Tlocinfo &locus : data.GroupLoci(request.group))
            key += data.Genotype(locus, individual).front();
        return key;
    }
    case SortChoice::Alias: return name + "{";
    case SortChoice::AlleleContent:
        return contentKey(AlleleContent(data, individual)[static_cast<size_t>(AlleleTable::indexOf(chosenAllele(request)))]);
    case SortChoice::Trait: return request.keys->key(individual) + "{";
    }
    return {};
}

std::array<double, 81> AlleleContent(const GenotypeData &data, int individual)
{
    std::array<double, 81> content{};
    if (individual < 0 || individual >= data.nind)
        return content;
    for (const auto &group : data.LinkageGroups) {
        const std::vector<Tlocinfo> &loci = group->Loci;
        for (size_t l = 1; l < loci.size(); ++l) {
            const double half = (loci[l].Position - loci[l - 1].Position) / 2.0;
            for (const Tlocinfo *locus : {&loci[l - 1], &loci[l]}) {
                const std::string_view code = data.Genotype(*locus, individual);
                const int k = code.empty() ? -1 : AlleleTable::indexOf(code.front());
                if (k >= 0)
                    content[static_cast<size_t>(k)] += half;
            }
        }
    }
    return content;
}

} // namespace IndividualSort
} // namespace rvk
