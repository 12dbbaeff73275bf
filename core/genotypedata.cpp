#include "core/genotypedata.h"

#include "core/textformat.h"

#include <algorithm>

namespace rvk {

GenotypeData::GenotypeData() = default;

void GenotypeData::Reset()
{
    LinkageGroups.clear();
    IndividualNames.clear();
    SelectedIndices.clear();
    IndividualNumbers.clear();
    Ticked.clear();
    Locked.clear();
    DataLoaded = false;
    MarkerGridStale = true;
    popt = "unknown";
    CurrentGroupName = "noname";
    nind = 0;
    nloc = 0;
    CurrentIndividual = 1;
    CurrentGroupLoci = nullptr;
}

GenotypeData GenotypeData::StagingCopy() const
{
    GenotypeData copy;
    for (const auto &group : LinkageGroups) {
        auto standIn = std::make_unique<LinkageGroup>();
        standIn->Name = group->Name;
        standIn->PopType = group->PopType;
        standIn->FileName = group->FileName;
        copy.LinkageGroups.push_back(std::move(standIn));
    }
    copy.Ticked = Ticked;
    copy.Locked = Locked;
    copy.Selectionyesno = Selectionyesno;
    copy.nind = nind;
    copy.popt = popt;
    copy.IndividualNames = IndividualNames;
    copy.IndividualNumbers = IndividualNumbers;
    copy.SelectedIndices = SelectedIndices;
    copy.nloc = nloc;
    copy.CurrentGroupName = CurrentGroupName;
    copy.CurrentIndividual = CurrentIndividual;
    copy.LastIndividual = LastIndividual;
    copy.DataLoaded = DataLoaded;
    copy.MarkerGridStale = MarkerGridStale;
    copy.CurrentFilePath = CurrentFilePath;
    return copy;
}

void GenotypeData::TakeLoaded(GenotypeData &&staging, int firstNew)
{
    const auto first = staging.LinkageGroups.begin() + std::min<ptrdiff_t>(firstNew, static_cast<ptrdiff_t>(staging.LinkageGroups.size()));
    const bool added = first != staging.LinkageGroups.end();
    for (auto group = first; group != staging.LinkageGroups.end(); ++group)
        LinkageGroups.push_back(std::move(*group));
    Ticked = std::move(staging.Ticked);
    Locked = std::move(staging.Locked);
    Selectionyesno = staging.Selectionyesno;
    nind = staging.nind;
    popt = std::move(staging.popt);
    IndividualNames = std::move(staging.IndividualNames);
    IndividualNumbers = std::move(staging.IndividualNumbers);
    SelectedIndices = std::move(staging.SelectedIndices);
    nloc = staging.nloc;
    CurrentGroupName = std::move(staging.CurrentGroupName);
    CurrentIndividual = staging.CurrentIndividual;
    LastIndividual = staging.LastIndividual;
    DataLoaded = staging.DataLoaded;
    MarkerGridStale = staging.MarkerGridStale;
    CurrentFilePath = std::move(staging.CurrentFilePath);
    if (added)
        CurrentGroupLoci = &LinkageGroups.back()->Loci;
    staging.LinkageGroups.clear();
}

long long GenotypeData::TotalLocusCount() const
{
    long long total = 0;
    for (const auto &group : LinkageGroups)
        total += static_cast<long long>(group->Loci.size());
    return total;
}

LinkageGroup &GenotypeData::AppendGroup(LinkageGroup group)
{
    LinkageGroups.push_back(std::make_unique<LinkageGroup>(std::move(group)));
    CurrentGroupLoci = &LinkageGroups.back()->Loci;
    return *LinkageGroups.back();
}

void GenotypeData::TruncateGroups(int count)
{
    if (count < 0)
        count = 0;
    if (static_cast<size_t>(count) < LinkageGroups.size())
        LinkageGroups.resize(static_cast<size_t>(count));
    CurrentGroupLoci = LinkageGroups.empty() ? nullptr : &LinkageGroups.back()->Loci;
}

std::string_view GenotypeData::Genotype(const Tlocinfo &locus, int individual) const
{
    const size_t width = static_cast<size_t>(CodesPerIndividual());
    const size_t start = static_cast<size_t>(individual) * width;
    if (start + width > locus.Genotypes.size())
        return {};
    return std::string_view(locus.Genotypes).substr(start, width);
}

std::string GenotypeData::IndividualNumberText(int individual) const
{
    if (individual < 0 || static_cast<size_t>(individual) >= IndividualNumbers.size())
        return {};
    return formatText("%.4d", {IndividualNumbers[static_cast<size_t>(individual)]});
}

void GenotypeData::TickAll()
{
    Ticked.assign(IndividualNames.size(), 1);
    Locked.assign(IndividualNames.size(), 0);
    RebuildSelectedIndices();
}

void GenotypeData::RebuildSelectedIndices()
{
    SelectedIndices.clear();
    for (size_t i = 0; i < Ticked.size(); ++i)
        if (Ticked[i])
            SelectedIndices.push_back(static_cast<int>(i));
}

bool GenotypeData::IsSelected(int individual) const
{
    if (!Selectionyesno)
        return true;
    return individual >= 0 && static_cast<size_t>(individual) < Ticked.size() && Ticked[static_cast<size_t>(individual)];
}

} // namespace rvk
