#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace rvk {

class AlleleTable;
class GenotypeData;
class UserInterface;

// Per-individual keys from outside the genotype data, such as the values of one trait. The sort
// asks for the key of each individual in the current order.
class SortKeySource
{
public:
    virtual ~SortKeySource() = default;
    // The name the sort choice shows ("Trait " + name).
    virtual std::string name() const = 0;
    virtual bool empty() const = 0;
    // The key of individual i; empty when the individual has no value.
    virtual std::string key(int individual) const = 0;
};

// Keys as the trait table hands them over: one text per individual in the current order (the
// value formatted "%5.1f", the cell text when it is no number, or empty), then the trait's name.
class TraitSortKeys : public SortKeySource
{
public:
    TraitSortKeys() = default;
    explicit TraitSortKeys(std::vector<std::string> entries) : mEntries(std::move(entries)) {}
    std::string name() const override { return mEntries.empty() ? std::string() : mEntries.back(); }
    bool empty() const override { return mEntries.empty(); }
    std::string key(int individual) const override;

private:
    std::vector<std::string> mEntries;
};

// The sort choices of "Sort individuals", in list order.
enum class SortChoice { NoSort = 0, AllMarkers = 1, SelectedMarker = 2, SelectedGroup = 3, Alias = 4, AlleleContent = 5, Trait = 6 };

struct SortRequest
{
    SortChoice choice = SortChoice::NoSort;
    int group = -1;          // SelectedMarker and SelectedGroup: 0-based group
    int locus = -1;          // SelectedMarker: locus of that group
    std::string nodeText;    // the marker tree's text of the chosen node (status text)
    std::string alleleItem;  // AlleleContent: the chosen item of the allele list, "a (legend)"
    const SortKeySource *keys = nullptr; // Trait

    static SortRequest undo() { return with(SortChoice::NoSort); }
    static SortRequest allMarkers() { return with(SortChoice::AllMarkers); }
    static SortRequest marker(int group, int locus, std::string nodeText = {})
    {
        SortRequest r = with(SortChoice::SelectedMarker);
        r.group = group;
        r.locus = locus;
        r.nodeText = std::move(nodeText);
        return r;
    }
    static SortRequest wholeGroup(int group, std::string nodeText = {})
    {
        SortRequest r = with(SortChoice::SelectedGroup);
        r.group = group;
        r.nodeText = std::move(nodeText);
        return r;
    }
    static SortRequest alias() { return with(SortChoice::Alias); }
    static SortRequest alleleContent(std::string alleleItem)
    {
        SortRequest r = with(SortChoice::AlleleContent);
        r.alleleItem = std::move(alleleItem);
        return r;
    }
    static SortRequest trait(const SortKeySource *keys)
    {
        SortRequest r = with(SortChoice::Trait);
        r.keys = keys;
        return r;
    }

private:
    static SortRequest with(SortChoice choice)
    {
        SortRequest r;
        r.choice = choice;
        return r;
    }
};

struct SortOutcome
{
    bool sorted = false;
    // The selection panel's new text; empty when the panel keeps its text.
    std::string statusText;
};

namespace IndividualSort {

constexpr const char *SelectMarkerFirst = "Please select a marker for sorting first..";
constexpr const char *SelectGroupFirst = "Please select a group for sorting first..";
constexpr const char *ConfirmTreeSort = "Sort data on selected marker/group ?";
constexpr const char *TraitButton = "Arrange data according to trait values";

// The caption of a choice in the list: "No sort /undo sort", "All markers", ...; the trait choice
// is "Trait " + the trait's name.
std::string choiceCaption(SortChoice choice, const std::string &traitName = {});
// The choice preselected by a click in the marker tree: level 0 the whole genome, 1 a group,
// 2 a locus.
SortChoice choiceForTreeLevel(int level);
// The item of the allele list for a code: the code, " (", its legend and ")".
std::string alleleItem(const AlleleTable &table, char code);

// Sorts the individuals: the names, load numbers, ticks and every genotype text move together;
// locks are released and SelectedIndices follows the moved ticks. Warns through ui when the
// choice needs a marker or group that the request does not name; does nothing without data,
// without a chosen allele for AlleleContent, or without trait keys.
// Equal keys keep their current order; "All markers" breaks ties by the tick (unticked first)
// and then the load number, so it always gives one order. "No sort /undo sort" restores the load
// order exactly, whatever the number of individuals.
SortOutcome sortIndividuals(GenotypeData &data, const SortRequest &request, UserInterface &ui);

// The new order (entry j = current index of the individual that goes to place j); nothing when
// the request cannot run. Cost: n log n key comparisons plus one look at each code that still
// decides between individuals.
std::optional<std::vector<int>> sortOrder(const GenotypeData &data, const SortRequest &request);
// Moves every individual's data to its place in order, one pass over each genotype text.
void applyOrder(GenotypeData &data, const std::vector<int> &order);

// The key text of one individual, as the sort compares it ("All markers": the codes, " @y" or
// " @n", " #" and the load number, " }" and the name).
std::string SortKey(const GenotypeData &data, const SortRequest &request, int individual);
// cM carried by each code (entry c - 42 for code c) along the groups: each interval between
// neighbouring loci counts half for the code at either end.
std::array<double, 81> AlleleContent(const GenotypeData &data, int individual);

} // namespace IndividualSort
} // namespace rvk
