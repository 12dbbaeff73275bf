#include "stats/markerstatistics.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "settings/alleletable.h"
#include "stats/distributions.h"

#include <algorithm>
#include <array>

namespace rvk {

namespace {

// Byte histogram of one genotype text. Four interleaved tables keep consecutive equal bytes
// from waiting on each other's increments.
void countBytes(const unsigned char *p, size_t n, std::array<int, 256> &counts)
{
    std::array<std::array<int, 256>, 4> partial{};
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        ++partial[0][p[i]];
        ++partial[1][p[i + 1]];
        ++partial[2][p[i + 2]];
        ++partial[3][p[i + 3]];
    }
    for (; i < n; ++i)
        ++partial[0][p[i]];
    for (int c = 0; c < 256; ++c)
        counts[static_cast<size_t>(c)] = partial[0][static_cast<size_t>(c)] + partial[1][static_cast<size_t>(c)] +
                                         partial[2][static_cast<size_t>(c)] + partial[3][static_cast<size_t>(c)];
}

// The same over the counted characters only (mask 1 for a counted character, 0 otherwise).
void countMaskedBytes(const unsigned char *p, size_t n, const unsigned char *mask, std::array<int, 256> &counts)
{
    counts.fill(0);
    for (size_t i = 0; i < n; ++i)
        counts[p[i]] += mask[i];
}

} // namespace

int MarkerStatistics::count(int row, int usedCodeIndex) const
{
    return mCounts[static_cast<size_t>(row) * mUsedCodes.size() + static_cast<size_t>(usedCodeIndex)];
}

double MarkerStatistics::share(int row, int usedCodeIndex) const
{
    return mShareBase > 0 ? 100.0 * count(row, usedCodeIndex) / mShareBase : 0.0;
}

bool MarkerStatistics::distorted(int row) const { return mF2 && chiSquare(row) > SegregationThreshold; }

std::string MarkerStatistics::diversityText() const { return formatText("%4.2f", {mDiversity}); }

std::vector<std::string> MarkerStatistics::gridHeader() const
{
    std::vector<std::string> header = {"locus", "grp", "pos", ""};
    for (char code : mUsedCodes)
        header.emplace_back(1, code);
    header.emplace_back();
    for (char code : mUsedCodes)
        header.push_back(std::string(1, code) + " (%)");
    header.emplace_back();
    return header;
}

std::string MarkerStatistics::gridCell(int row, int column) const
{
    const Row &r = mRows[static_cast<size_t>(row)];
    const Tlocinfo &locus = mConsensus[static_cast<size_t>(r.group)].Loci[static_cast<size_t>(r.locus)];
    const int u = static_cast<int>(mUsedCodes.size());
    if (column == 0)
        return locus.Name;
    if (column == 1)
        return formatText("%d", {r.group + 1});
    if (column == 2)
        return formatText("%2.1f", {locus.Position});
    if (column >= 4 && column < 4 + u)
        return formatText("%d", {count(row, column - 4)});
    if (column >= 5 + u && column < 5 + 2 * u)
        return formatText("%2.1f", {share(row, column - 5 - u)});
    if (column == 5 + 2 * u)
        return distorted(row) ? " * " : "";
    return {};
}

std::vector<std::vector<std::string>> MarkerStatistics::spreadsheetGrid() const
{
    std::vector<std::vector<std::string>> grid;
    grid.reserve(mRows.size() + 1);
    grid.push_back(gridHeader());
    const int columns = gridColumnCount();
    for (int row = 0; row < rowCount(); ++row) {
        std::vector<std::string> cells;
        cells.reserve(static_cast<size_t>(columns));
        for (int column = 0; column < columns; ++column)
            cells.push_back(gridCell(row, column));
        grid.push_back(std::move(cells));
    }
    return grid;
}

std::string MarkerStatistics::groupNodeText(int group) const
{
    return formatText("%d", {group + 1}) + ": \"" + mConsensus[static_cast<size_t>(group)].Name + "\"";
}

std::string MarkerStatistics::locusNodeText(int row) const
{
    const Row &r = mRows[static_cast<size_t>(row)];
    const Tlocinfo &locus = mConsensus[static_cast<size_t>(r.group)].Loci[static_cast<size_t>(r.locus)];
    return "\"" + locus.Name + "\" " + formatText("%2.1f", {locus.Position});
}

std::string MarkerStatistics::alleleNodeText(int row, int usedCodeIndex) const
{
    return std::string(1, mUsedCodes[static_cast<size_t>(usedCodeIndex)]) +
           formatText(": %d (%2.1f%%)", {count(row, usedCodeIndex), share(row, usedCodeIndex)});
}

std::vector<PieSlice> MarkerStatistics::pieSlices(int row) const
{
    // The pie reads its numbers back from the allele lines, as the window shows them.
    std::vector<PieSlice> slices;
    for (size_t i = 0; i < mUsedCodes.size(); ++i) {
        PieSlice slice;
        slice.label = alleleNodeText(row, static_cast<int>(i));
        slice.code = slice.label.front();
        const size_t open = slice.label.find('(');
        const size_t percent = slice.label.find('%', open);
        if (open != std::string::npos && percent != std::string::npos)
            slice.percent = parseDecimal(std::string_view(slice.label).substr(open + 1, percent - open - 1)).value_or(0.0);
        slices.push_back(std::move(slice));
    }
    return slices;
}

std::string MarkerStatistics::reportText() const
{
    std::string text;
    text.reserve(mRows.size() * (24 + 20 * mUsedCodes.size()));
    text += TreeRoot;
    text += "\r\n";
    int row = 0;
    for (size_t g = 0; g < mConsensus.size(); ++g) {
        text += '\t';
        text += groupNodeText(static_cast<int>(g));
        text += "\r\n";
        for (size_t k = 0; k < mConsensus[g].Loci.size(); ++k, ++row) {
            text += "\t\t";
            text += locusNodeText(row);
            text += "\r\n";
            for (size_t c = 0; c < mUsedCodes.size(); ++c) {
                text += "\t\t\t";
                text += alleleNodeText(row, static_cast<int>(c));
                text += "\r\n";
            }
        }
    }
    return text;
}

MarkerStatistics computeMarkerStatistics(const GenotypeData &data, const AlleleTable &table)
{
    MarkerStatistics result;
    for (int i = 0; i < AlleleTable::Size; ++i)
        if (table.entry(i).Used)
            result.mUsedCodes.push_back(AlleleTable::codeOf(i));
    const size_t u = result.mUsedCodes.size();
    result.mF2 = data.popt == "f2";
    result.mFiltered = data.Selectionyesno;

    const int nind = std::max(data.nind, 0);
    // A cross-pollinator carries two codes, and both count.
    const size_t width = static_cast<size_t>(data.CodesPerIndividual());
    const size_t characters = static_cast<size_t>(nind) * width;
    result.mShareBase = static_cast<double>(characters);
    std::vector<unsigned char> mask;
    if (result.mFiltered) {
        mask.assign(characters, 0);
        for (int i = 0; i < nind; ++i)
            if (data.IsSelected(i))
                std::fill_n(mask.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(i) * width), width, 1);
    }

    const long long loci = data.TotalLocusCount();
    result.mRows.reserve(static_cast<size_t>(loci));
    result.mCounts.reserve(static_cast<size_t>(loci) * u);
    result.mConsensus.reserve(static_cast<size_t>(data.GroupCount()));
    std::array<int, 256> counts{};
    for (int g = 0; g < data.GroupCount(); ++g) {
        LinkageGroup consensus;
        consensus.Name = data.GroupName(g);
        consensus.PopType = data.GroupPopType(g);
        consensus.FileName = data.GroupFileName(g);
        const std::vector<Tlocinfo> &groupLoci = data.GroupLoci(g);
        consensus.Loci.reserve(groupLoci.size());
        for (size_t k = 0; k < groupLoci.size(); ++k) {
            const Tlocinfo &locus = groupLoci[k];
            const size_t n = std::min(characters, locus.Genotypes.size());
            const unsigned char *p = reinterpret_cast<const unsigned char *>(locus.Genotypes.data());
            if (result.mFiltered)
                countMaskedBytes(p, n, mask.data(), counts);
            else
                countBytes(p, n, counts);

            MarkerStatistics::Row row;
            row.group = g;
            row.locus = static_cast<int>(k);
            int counted = 0;
            for (int c = 0; c < 256; ++c)
                counted += counts[static_cast<size_t>(c)];
            row.typed = counted - counts['u'];

            int best = 0;
            for (char code : result.mUsedCodes) {
                const int value = counts[static_cast<unsigned char>(code)];
                result.mCounts.push_back(value);
                if (value > best) {
                    best = value;
                    row.major = code;
                }
            }
            row.majorShare = (best > 0 && characters > 0) ? 100.0 * best / static_cast<double>(characters) : 0.0;

            for (int c = 0; c < 256; ++c)
                if (c != 'u' && counts[static_cast<size_t>(c)] > 0)
                    result.mDiversity += static_cast<double>(row.typed) / counts[static_cast<size_t>(c)];

            if (result.mF2) {
                // Expected numbers from the same individuals the counts come from.
                const double m = static_cast<double>(counted - counts['u'] - counts['U']);
                const double expected[3] = {m / 4.0, m / 2.0, m / 4.0};
                const int observed[3] = {counts['A'], counts['H'], counts['B']};
                double x2 = 0.0;
                for (int i = 0; i < 3; ++i)
                    if (expected[i] > 0)
                        x2 += (observed[i] - expected[i]) * (observed[i] - expected[i]) / expected[i];
                row.chiSquare = x2;
            }
            result.mRows.push_back(row);

            Tlocinfo consensusLocus;
            consensusLocus.Name = locus.Name;
            consensusLocus.Position = locus.Position;
            consensusLocus.SegType = locus.SegType;
            consensusLocus.Phase = locus.Phase;
            consensusLocus.QtlStart = 0.0;
            consensusLocus.Genotypes = std::string(1, row.major);
            consensusLocus.QtlEnd = row.majorShare;
            consensusLocus.MajorAllele = row.major;
            consensusLocus.MajorAlleleShare = row.majorShare / 100.0;
            consensus.Loci.push_back(std::move(consensusLocus));
        }
        result.mConsensus.push_back(std::move(consensus));
    }
    return result;
}

void storeMajorAlleles(GenotypeData &data, const MarkerStatistics &statistics)
{
    for (int row = 0; row < statistics.rowCount(); ++row) {
        const int g = statistics.group(row);
        if (g >= data.GroupCount())
            continue;
        std::vector<Tlocinfo> &loci = data.GroupLoci(g);
        const size_t k = static_cast<size_t>(statistics.locus(row));
        if (k >= loci.size())
            continue;
        loci[k].MajorAllele = statistics.majorAllele(row);
        loci[k].MajorAlleleShare = statistics.majorShare(row) / 100.0;
    }
}

MarkerStatistics refreshMajorAlleles(GenotypeData &data, const AlleleTable &table)
{
    MarkerStatistics statistics = computeMarkerStatistics(data, table);
    storeMajorAlleles(data, statistics);
    return statistics;
}

std::string markerStatisticsReport(const GenotypeData &data, const AlleleTable &table)
{
    return computeMarkerStatistics(data, table).reportText();
}

double segregationProbability(double chiSquare)
{
    if (chiSquare <= 0.0)
        return 1.0;
    return 1.0 - ChiSquareCdf(chiSquare, 2);
}

} // namespace rvk
