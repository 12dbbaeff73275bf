#pragma once

#include "core/genotypecodes.h"
#include "core/linkagegroup.h"

#include <memory>
#include <string>
#include <vector>

namespace rvk {

// The one genotype data set of the program: nind individuals scored at the loci of up to 100
// linkage groups. Individual i is character i (pair i for "cp") of every Genotypes text and
// entry i of the name, number and tick lists; sorting permutes all of them together.
class GenotypeData
{
public:
    static constexpr int MaxGroups = 100;

    GenotypeData();

    // Empties the data set. The recent-file list, LastIndividual and CurrentFilePath stay.
    void Reset();

    // Group k (0-based, the index in the group selector).
    int GroupCount() const { return static_cast<int>(LinkageGroups.size()); }
    LinkageGroup &Group(int k) { return *LinkageGroups.at(static_cast<size_t>(k)); }
    const LinkageGroup &Group(int k) const { return *LinkageGroups.at(static_cast<size_t>(k)); }
    std::vector<Tlocinfo> &GroupLoci(int k) { return Group(k).Loci; }
    const std::vector<Tlocinfo> &GroupLoci(int k) const { return Group(k).Loci; }
    int GroupLocusCount(int k) const { return static_cast<int>(Group(k).Loci.size()); }
    const std::string &GroupName(int k) const { return Group(k).Name; }
    const std::string &GroupPopType(int k) const { return Group(k).PopType; }
    const std::string &GroupFileName(int k) const { return Group(k).FileName; }
    long long TotalLocusCount() const;

    // Opening files away from the window: a data set that reads like this one to the loader
    // (every field, and each group as an empty stand-in with its name and population type), so
    // files can be read into it while this one stays as it is and can be shown.
    GenotypeData StagingCopy() const;
    // Takes what was read into a staging copy: its groups from index firstNew on are appended to
    // this data set (the loci are moved, not copied) and every other field is taken over.
    void TakeLoaded(GenotypeData &&staging, int firstNew);

    // Appends a finished group; its list becomes CurrentGroupLoci.
    LinkageGroup &AppendGroup(LinkageGroup group);
    // Takes away the groups from index count on (a load that failed part-way).
    void TruncateGroups(int count);

    // Genotype of individual i (0-based) at a locus: one character, two for "cp".
    std::string_view Genotype(const Tlocinfo &locus, int individual) const;
    int CodesPerIndividual() const { return IsCrossPollinator() ? 2 : 1; }
    bool IsCrossPollinator() const { return popt == "cp"; }
    static bool IsHaploidType(const std::string &type) { return type == "hap" || type == "dh" || type == "dh1"; }

    // The load number of individual i as the data file gave it ("0001"...). The number itself is
    // kept whole, so any number of individuals comes back in load order.
    std::string IndividualNumberText(int individual) const;

    // Individual selection: one tick and one lock per individual, and whether the ticks filter
    // the views (the menu check "Apply Selection Filtering").
    std::vector<char> Ticked;
    std::vector<char> Locked;
    bool Selectionyesno = false;
    // Ticks everyone (the "All" action) and rebuilds SelectedIndices.
    void TickAll();
    void RebuildSelectedIndices();
    // Whether individual i counts as selected: ticked, or everyone while filtering is off.
    bool IsSelected(int individual) const;

    int nind = 0;
    std::string popt = "unknown";
    std::vector<std::unique_ptr<LinkageGroup>> LinkageGroups;
    std::vector<std::string> IndividualNames;
    std::vector<int> IndividualNumbers;   // load order, 1-based
    std::vector<int> SelectedIndices;     // 0-based indices of ticked individuals, ascending
    int nloc = 0;
    std::vector<Tlocinfo> *CurrentGroupLoci = nullptr;
    std::string CurrentGroupName = "noname";
    int CurrentIndividual = 0;            // 1-based
    int LastIndividual = 0;
    bool DataLoaded = false;
    bool MarkerGridStale = true;
    std::string CurrentFilePath;
};

} // namespace rvk
