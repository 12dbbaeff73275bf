#include "stats/globalstatistics.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "settings/alleletable.h"
#include "settings/generaloptions.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <cctype>
#include <optional>

namespace rvk {

namespace {

// Slot of every byte in the per-individual length rows: the 81 codes, and one slot more that
// takes whatever lies outside '*'..'z' so a stray byte can never write outside the row.
constexpr int CodeSlots = AlleleTable::Size + 1;

std::array<std::uint8_t, 256> codeSlots()
{
    std::array<std::uint8_t, 256> slots{};
    for (int c = 0; c < 256; ++c) {
        const int i = AlleleTable::indexOf(static_cast<char>(c));
        slots[static_cast<size_t>(c)] = static_cast<std::uint8_t>(i < 0 ? AlleleTable::Size : i);
    }
    return slots;
}

char lowerCase(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerCase(a[i]) != lowerCase(b[i]))
            return false;
    return true;
}

// A singleton found while walking the loci: individual (0-based), group and locus of the
// middle marker; the report line is written once all are found.
struct SingletonAt
{
    int individual;
    int group;
    int locus;
    // The codes at the three markers (one or two each), taken while the texts are being read.
    std::array<char, 6> codes;
};

// The pair of characters at position at of a genotype text, NUL where the text ends.
void takePair(std::string_view text, size_t at, char *pair)
{
    pair[0] = at < text.size() ? text[at] : '\0';
    pair[1] = at + 1 < text.size() ? text[at + 1] : '\0';
}

// The running tallies of one reading unit: an individual, or one haplotype of a
// cross-pollinator.
struct UnitTally
{
    int recombinations = 0;
    int boundaries = 0;
};

// Calls f(j) for every j < n where a[j] and b[j] differ, eight bytes at a time: consecutive
// markers mostly agree, so nearly all words compare equal and cost one test.
template <typename F> void forEachDifference(const unsigned char *a, const unsigned char *b, size_t n, F &&f)
{
    size_t j = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; j + 8 <= n; j += 8) {
            std::uint64_t x;
            std::uint64_t y;
            std::memcpy(&x, a + j, 8);
            std::memcpy(&y, b + j, 8);
            std::uint64_t diff = x ^ y;
            while (diff != 0) {
                const int byte = std::countr_zero(diff) / 8;
                f(j + static_cast<size_t>(byte));
                diff &= ~(std::uint64_t{0xFF} << (8 * byte));
            }
        }
    }
    for (; j < n; ++j)
        if (a[j] != b[j])
            f(j);
}

std::string formatShare(double length, double total) { return formatText("%4.1f", {total != 0.0 ? 100.0 * length / total : 0.0}); }

} // namespace

double GlobalStatistics::alleleLength(int row, int usedCodeIndex) const
{
    const size_t u = mUsedCodes.size();
    return mLengths[static_cast<size_t>(mOrder[static_cast<size_t>(row)]) * u + static_cast<size_t>(usedCodeIndex)];
}

std::string GlobalStatistics::cell(int row, int column) const
{
    return recordCell(static_cast<size_t>(mOrder[static_cast<size_t>(row)]), column);
}

std::string GlobalStatistics::recordCell(size_t index, int column) const
{
    const Record &r = mRecords[index];
    const int u = static_cast<int>(mUsedCodes.size());
    if (column == IndividualColumn)
        return formatText("%d", {r.individual});
    if (column == AliasColumn)
        return std::string(name(r));
    if (column < 2 + u)
        return formatShare(mLengths[index * mUsedCodes.size() + static_cast<size_t>(column - 2)], r.total);
    if (column == 2 + u)
        return formatText("%4.1f", {r.total});
    if (column == 3 + u)
        return formatText("%d", {r.recombinations});
    if (column == 4 + u)
        return formatText("%d", {(r.boundaries + 1) / 2});
    return {};
}

void GlobalStatistics::sortByColumn(int column)
{
    if (column < 0 || column >= columnCount())
        return;
    if (column == AliasColumn) {
        std::vector<std::string> keys(mRecords.size());
        for (size_t i = 0; i < mRecords.size(); ++i) {
            std::string key(name(mRecords[i]));
            for (char &c : key)
                c = lowerCase(c);
            keys[i] = std::move(key);
        }
        std::stable_sort(mOrder.begin(), mOrder.end(), [&](int a, int b) { return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)]; });
        return;
    }
    // By the number the cell shows, so rows that look equal keep their order.
    std::vector<double> keys(mRecords.size());
    for (size_t i = 0; i < mRecords.size(); ++i)
        keys[i] = parseDecimal(recordCell(i, column)).value_or(0.0);
    std::stable_sort(mOrder.begin(), mOrder.end(), [&](int a, int b) { return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)]; });
}

std::string GlobalStatistics::singletonLine(int index) const
{
    const Singleton &s = mSingletons[static_cast<size_t>(index)];
    const Record &r = mRecords[s.record];
    const auto codes = [&s](int marker) {
        const char *first = s.codes + 2 * marker;
        return std::string_view(first, s.width > 1 && first[1] != 0 ? 2 : (first[0] != 0 ? 1 : 0));
    };
    std::string line = "Ind. " + formatText("%d", {r.individual}) + " [";
    line += name(r);
    line += "]  at ";
    line += mMarkerTexts[s.marker];
    line += "  ";
    line += codes(0);
    line += " -> ";
    line += codes(1);
    line += " -> ";
    line += codes(2);
    return line;
}

std::vector<std::string> GlobalStatistics::singletonLines() const
{
    std::vector<std::string> lines;
    lines.reserve(mSingletons.size());
    for (int i = 0; i < singletonCount(); ++i)
        lines.push_back(singletonLine(i));
    return lines;
}

std::string GlobalStatistics::textLine(int line) const
{
    const size_t head = mTextLines.size();
    if (line < 0)
        return {};
    if (static_cast<size_t>(line) < head)
        return mTextLines[static_cast<size_t>(line)];
    const size_t index = static_cast<size_t>(line) - head;
    return index < mSingletons.size() ? singletonLine(static_cast<int>(index)) : std::string();
}

std::vector<std::string> GlobalStatistics::textLines() const
{
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(textLineCount()));
    for (int i = 0; i < textLineCount(); ++i)
        lines.push_back(textLine(i));
    return lines;
}

size_t GlobalStatistics::longestTextLine() const
{
    size_t longest = 0;
    for (const std::string &line : mTextLines)
        longest = std::max(longest, line.size());
    if (mSingletons.empty())
        return longest;
    size_t name = 0;
    for (const Record &r : mRecords)
        name = std::max<size_t>(name, r.nameLength);
    size_t marker = 0;
    for (const std::string &text : mMarkerTexts)
        marker = std::max(marker, text.size());
    // "Ind. " n " [" name "]  at " marker "  " x " -> " a " -> " b
    const size_t number = formatText("%d", {static_cast<int>(mRecords.size())}).size() + 10;
    return std::max(longest, 5 + number + 2 + name + 6 + marker + 2 + 6 + 8);
}

std::string GlobalStatistics::reportLine(int line) const
{
    if (line == 0)
        return "Statistics on individuals";
    if (line == 1) {
        std::string header;
        for (const std::string &caption : mCaptions)
            header += caption + "\t";
        return header;
    }
    const int row = line - 2;
    if (row >= 0 && row < rowCount()) {
        std::string text = cell(row, 0);
        for (int column = 1; column < columnCount(); ++column) {
            text += '\t';
            text += cell(row, column);
        }
        return text;
    }
    if (row == rowCount())
        return {};
    return textLine(row - rowCount() - 1);
}

std::vector<std::string> GlobalStatistics::reportLines() const
{
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(reportLineCount()));
    for (int i = 0; i < reportLineCount(); ++i)
        lines.push_back(reportLine(i));
    return lines;
}

std::string GlobalStatistics::reportText() const
{
    std::string text;
    // A singleton line takes some 60 characters: one allocation for most reports.
    text.reserve(static_cast<size_t>(reportLineCount()) * 64);
    for (int i = 0; i < reportLineCount(); ++i) {
        text += reportLine(i);
        text += "\r\n";
    }
    return text;
}

std::string GlobalStatistics::printLine(int line) const
{
    if (line == 0)
        return "Detailed information on population " + mCaption;
    if (line == 1)
        return {};
    return reportLine(line - 1);
}

std::vector<std::string> GlobalStatistics::printLines() const
{
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(printLineCount()));
    for (int i = 0; i < printLineCount(); ++i)
        lines.push_back(printLine(i));
    return lines;
}

size_t GlobalStatistics::memoryUse() const
{
    size_t bytes = sizeof(*this) + mRecords.capacity() * sizeof(Record) + mLengths.capacity() * sizeof(double) +
                   mNames.capacity() + mOrder.capacity() * sizeof(int) + mSingletons.capacity() * sizeof(Singleton);
    for (const std::string &text : mMarkerTexts)
        bytes += sizeof(std::string) + text.capacity();
    for (const std::string &text : mTextLines)
        bytes += sizeof(std::string) + text.capacity();
    return bytes;
}

std::vector<std::vector<std::string>> GlobalStatistics::spreadsheetGrid() const
{
    std::vector<std::vector<std::string>> grid;
    grid.reserve(mOrder.size() + 1);
    grid.push_back(mCaptions);
    for (int row = 0; row < rowCount(); ++row) {
        std::vector<std::string> cells;
        cells.reserve(static_cast<size_t>(columnCount()));
        for (int column = 0; column < columnCount(); ++column)
            cells.push_back(cell(row, column));
        grid.push_back(std::move(cells));
    }
    return grid;
}

GlobalStatistics computeGlobalStatistics(const GenotypeData &data, const AlleleTable &table, const GeneralOptions &options,
                                         GlobalStatisticsScope scope)
{
    GlobalStatistics result;
    result.mFragmentCode = options.hetfragment.empty() ? 'H' : options.hetfragment.front();
    const char h = result.mFragmentCode;
    for (int i = 0; i < AlleleTable::Size; ++i)
        if (table.entry(i).Used)
            result.mUsedCodes.push_back(AlleleTable::codeOf(i));
    const std::vector<char> &used = result.mUsedCodes;
    const size_t u = used.size();

    result.mCaptions = {"ind", "Alias"};
    for (char code : used)
        result.mCaptions.push_back(std::string(1, code) + " (%)");
    result.mCaptions.insert(result.mCaptions.end(), {"Total (cM)", "Recombin", std::string(1, h) + "-segments"});
    if (data.GroupCount() > 0)
        result.mCaption = data.GroupName(0);

    const int nind = std::max(data.nind, 0);
    const bool cp = data.IsCrossPollinator();
    const int perIndividual = cp ? 2 : 1;
    const size_t units = static_cast<size_t>(nind) * static_cast<size_t>(perIndividual);
    // Each interval is split between its two flanking markers; a cross-pollinator's two
    // haplotypes share each half again.
    const double share = cp ? 0.25 : 0.5;

    static const std::array<std::uint8_t, 256> slots = codeSlots();
    std::vector<double> lengths(static_cast<size_t>(nind) * CodeSlots, 0.0);
    std::vector<UnitTally> tallies(units);
    std::vector<SingletonAt> singletons;

    // Locus by locus over the genotype texts, so the bytes are read in the order they are
    // stored. Within a run of equal codes every interval goes whole to that code, so a unit's
    // lengths are booked only where its code changes and at the group's end: a run from marker
    // p to marker q adds q - p, and each interval with a change gives half to either side.
    // Recombinations, segment boundaries and singletons all need a change as well.
    const double runWeight = 2.0 * share;
    std::vector<double> runStart(units, 0.0);
    auto book = [&](size_t unit, unsigned char code, double length) {
        lengths[(unit / static_cast<size_t>(perIndividual)) * CodeSlots + slots[code]] += length;
    };
    const unsigned char fragment = static_cast<unsigned char>(h);
    for (int g = 0; g < data.GroupCount(); ++g) {
        const std::vector<Tlocinfo> &loci = data.GroupLoci(g);
        if (loci.empty())
            continue;
        std::fill(runStart.begin(), runStart.end(), loci.front().Position);
        for (size_t k = 1; k < loci.size(); ++k) {
            const Tlocinfo &a = loci[k - 1];
            const Tlocinfo &b = loci[k];
            const double half = (b.Position - a.Position) * share;
            const size_t n = std::min({units, a.Genotypes.size(), b.Genotypes.size()});
            const unsigned char *pa = reinterpret_cast<const unsigned char *>(a.Genotypes.data());
            const unsigned char *pb = reinterpret_cast<const unsigned char *>(b.Genotypes.data());
            const Tlocinfo *x = k >= 2 ? &loci[k - 2] : nullptr;
            const size_t xSize = x ? x->Genotypes.size() : 0;
            const unsigned char *px = x ? reinterpret_cast<const unsigned char *>(x->Genotypes.data()) : nullptr;
            forEachDifference(pa, pb, n, [&](size_t j) {
                const unsigned char ca = pa[j];
                const unsigned char cb = pb[j];
                book(j, ca, (a.Position - runStart[j]) * runWeight + half);
                book(j, cb, half);
                runStart[j] = b.Position;
                UnitTally &tally = tallies[j];
                tally.recombinations += (ca != 'U' && cb != 'U');
                tally.boundaries += ((ca == fragment) != (cb == fragment));
                if (!x)
                    return;
                if (cp) {
                    // Once per individual, at the first character of its pair that changed.
                    const size_t i = j / 2;
                    if ((j & 1) && pa[j - 1] != pb[j - 1])
                        return;
                    if (2 * i + 2 > xSize)
                        return;
                    const std::string_view sx = std::string_view(x->Genotypes).substr(2 * i, 2);
                    const std::string_view sa = std::string_view(a.Genotypes).substr(2 * i, 2);
                    const std::string_view sb = std::string_view(b.Genotypes).substr(2 * i, 2);
                    if (equalIgnoringCase(sx, sb) && !equalIgnoringCase(sa, sx) && !equalIgnoringCase(sa, sb) &&
                        !equalIgnoringCase(sa, "UU") && !equalIgnoringCase(sa, "..") && !equalIgnoringCase(sa, "--")) {
                        SingletonAt s{static_cast<int>(i), g, static_cast<int>(k - 1), {}};
                        takePair(x->Genotypes, 2 * i, s.codes.data());
                        takePair(a.Genotypes, 2 * i, s.codes.data() + 2);
                        takePair(b.Genotypes, 2 * i, s.codes.data() + 4);
                        singletons.push_back(s);
                    }
                } else if (j < xSize && px[j] == cb && ca != 'U' && ca != 'u' && ca != '.') {
                    singletons.push_back({static_cast<int>(j), g, static_cast<int>(k - 1),
                                          {static_cast<char>(px[j]), '\0', static_cast<char>(ca), '\0', static_cast<char>(cb), '\0'}});
                }
            });
        }
        // Close every unit's last run.
        const Tlocinfo &last = loci.back();
        const size_t n = std::min(units, last.Genotypes.size());
        const unsigned char *pl = reinterpret_cast<const unsigned char *>(last.Genotypes.data());
        for (size_t j = 0; j < n; ++j)
            book(j, pl[j], (last.Position - runStart[j]) * runWeight);
    }

    // Rows and population totals.
    std::vector<double> totals(CodeSlots, 0.0);
    double grandTotal = 0.0;
    long long allRecombinations = 0;
    int counted = 0;
    std::vector<char> inScope(static_cast<size_t>(nind), 1);
    result.mRecords.reserve(static_cast<size_t>(nind));
    result.mLengths.reserve(static_cast<size_t>(nind) * u);
    for (int i = 0; i < nind; ++i) {
        if (scope == GlobalStatisticsScope::SelectedIndividuals && !data.IsSelected(i)) {
            inScope[static_cast<size_t>(i)] = 0;
            continue;
        }
        ++counted;
        const double *row = lengths.data() + static_cast<size_t>(i) * CodeSlots;
        double total = 0.0;
        for (int c = 0; c < CodeSlots; ++c)
            total += row[c];
        for (int c = 0; c < CodeSlots; ++c)
            totals[static_cast<size_t>(c)] += row[c];
        grandTotal += total;
        GlobalStatistics::Record record;
        record.individual = i + 1;
        record.total = total;
        for (int unit = 0; unit < perIndividual; ++unit) {
            const UnitTally &tally = tallies[static_cast<size_t>(i * perIndividual + unit)];
            record.recombinations += tally.recombinations;
            record.boundaries += tally.boundaries;
        }
        allRecombinations += record.recombinations;
        const std::string &name = static_cast<size_t>(i) < data.IndividualNames.size() ? data.IndividualNames[static_cast<size_t>(i)] : std::string();
        record.nameOffset = static_cast<std::uint32_t>(result.mNames.size());
        record.nameLength = static_cast<std::uint32_t>(name.size());
        result.mNames += name;
        for (char code : used)
            result.mLengths.push_back(row[AlleleTable::indexOf(code)]);
        result.mRecords.push_back(record);
    }
    result.mOrder.resize(result.mRecords.size());
    for (size_t r = 0; r < result.mOrder.size(); ++r)
        result.mOrder[r] = static_cast<int>(r);

    // Singletons, individual by individual; within an individual they were found group by
    // group and locus by locus. Only the record, the marker and the codes are kept: the lines
    // are written when shown or saved.
    std::vector<int> start(static_cast<size_t>(nind) + 1, 0);
    for (const SingletonAt &s : singletons)
        ++start[static_cast<size_t>(s.individual) + 1];
    for (size_t i = 1; i < start.size(); ++i)
        start[i] += start[i - 1];
    std::vector<SingletonAt> ordered(singletons.size());
    for (const SingletonAt &s : singletons)
        ordered[static_cast<size_t>(start[static_cast<size_t>(s.individual)]++)] = s;
    std::vector<SingletonAt>().swap(singletons);
    std::vector<std::uint32_t> recordOf(static_cast<size_t>(nind), 0);
    for (size_t r = 0; r < result.mRecords.size(); ++r)
        recordOf[static_cast<size_t>(result.mRecords[r].individual - 1)] = static_cast<std::uint32_t>(r);
    constexpr std::uint32_t NoText = 0xFFFFFFFFu;
    std::vector<std::vector<std::uint32_t>> markerText(static_cast<size_t>(data.GroupCount()));
    size_t kept = 0;
    for (const SingletonAt &s : ordered)
        kept += inScope[static_cast<size_t>(s.individual)] ? 1 : 0;
    result.mSingletons.reserve(kept);
    for (const SingletonAt &s : ordered) {
        if (!inScope[static_cast<size_t>(s.individual)])
            continue;
        const std::vector<Tlocinfo> &loci = data.GroupLoci(s.group);
        std::vector<std::uint32_t> &texts = markerText[static_cast<size_t>(s.group)];
        if (texts.empty())
            texts.assign(loci.size(), NoText);
        const Tlocinfo &a = loci[static_cast<size_t>(s.locus)];
        std::uint32_t &text = texts[static_cast<size_t>(s.locus)];
        if (text == NoText) {
            text = static_cast<std::uint32_t>(result.mMarkerTexts.size());
            result.mMarkerTexts.push_back("<Group " + formatText("%d", {s.group + 1}) + " " + a.Name +
                                          formatText("; %2.1f>", {a.Position}));
        }
        GlobalStatistics::Singleton singleton;
        singleton.record = recordOf[static_cast<size_t>(s.individual)];
        singleton.marker = text;
        singleton.width = static_cast<std::uint8_t>(perIndividual);
        std::copy(s.codes.begin(), s.codes.end(), singleton.codes);
        result.mSingletons.push_back(singleton);
    }

    // The text area.
    std::vector<std::string> &text = result.mTextLines;
    text.emplace_back(" ");
    for (char code : used) {
        const double tot = totals[static_cast<size_t>(AlleleTable::indexOf(code))];
        text.push_back(formatText("average %s:  %4.1f cM; %4.1f %%",
                                  {std::string(1, code), counted > 0 ? tot / counted : 0.0, grandTotal != 0.0 ? 100.0 * tot / grandTotal : 0.0}));
    }
    if (counted > 0) {
        text.push_back("Average # of recombinations(1): " + formatText("%3.1f", {static_cast<double>(allRecombinations) / counted}));
        text.emplace_back();
        text.emplace_back("(1) only changes in allele type, excluding unknown alleles, are counted as recombination events");
        text.emplace_back();
        text.emplace_back("^^^^^");
        text.push_back(formatText("%d", {static_cast<int>(result.mSingletons.size())}) + " Possible singletons identified:");
    }
    return result;
}

std::string globalStatisticsReport(const GenotypeData &data, const AlleleTable &table, const GeneralOptions &options,
                                   GlobalStatisticsScope scope)
{
    return computeGlobalStatistics(data, table, options, scope).reportText();
}

} // namespace rvk
