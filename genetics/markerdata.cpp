#include "genetics/markerdata.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "settings/alleletable.h"

#include <algorithm>
#include <cmath>
#include <climits>

namespace rvk {

namespace {

// The value in hundredths of a plain decimal with at most two decimals ("12.5", "-3", "0.25"),
// read digit by digit so that it is exact; nothing for any other text (and for a negative
// zero, whose "%2.2f" text keeps its sign).
std::optional<std::int32_t> exactHundredths(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    long long value = 0;
    int digits = 0, decimals = 0;
    bool point = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            if (point && ++decimals > 2)
                return std::nullopt;
            value = value * 10 + (c - '0');
            if (++digits > 11)
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    for (; decimals < 2; ++decimals)
        value *= 10;
    if (value >= 2'000'000'000 || (negative && value == 0))
        return std::nullopt;
    return static_cast<std::int32_t>(negative ? -value : value);
}

} // namespace

void MarkerData::fillFromGenotypes(const GenotypeData &data, const AlleleTable &alleles, Coding coding)
{
    mData = &data;
    mCoding = coding;
    mPasted = false;
    mPastedCells = PastedCells();
    mValueOfCode.fill(Missing);
    for (int i = 0; i < AlleleTable::Size; ++i) {
        const char code = AlleleTable::codeOf(i);
        const double numval = alleles.entry(i).Numval;
        if (numval == MissingNumval)
            continue;
        mValueOfCode[static_cast<unsigned char>(code)] =
            coding == Coding::Numval ? numval : (code == '0' ? 0.0 : static_cast<double>(code - 41));
    }
    mRows.clear();
    for (int g = 0; g < data.GroupCount(); ++g)
        for (int k = 0; k < data.GroupLocusCount(g); ++k)
            mRows.push_back({g, k});
}

void MarkerData::paste(std::string_view clipboardText)
{
    // The layout of the table paste: line k is row k, field f column f, the last line's fields
    // set the width; every cell is cleared first.
    const std::vector<std::string_view> lines = clipboardLines(clipboardText);
    PastedCells cells;
    cells.rows = static_cast<int>(lines.size());
    cells.columns = lines.empty() ? 0 : static_cast<int>(std::count(lines.back().begin(), lines.back().end(), '\t')) + 1;
    cells.labels.resize(static_cast<size_t>(cells.rows));
    cells.names.resize(static_cast<size_t>(cells.columns));
    if (cells.rows > 1 && cells.columns > 1)
        cells.hundredths.assign(static_cast<size_t>(cells.rows - 1) * static_cast<size_t>(cells.columns - 1), PastedCells::Empty);
    for (int row = 0; row < cells.rows; ++row) {
        std::string_view line = lines[static_cast<size_t>(row)];
        for (int column = 0; column < cells.columns; ++column) {
            const size_t tab = line.find('\t');
            const std::string_view field = line.substr(0, tab);
            if (column == 0)
                cells.labels[static_cast<size_t>(row)] = std::string(field);
            else if (row == 0)
                cells.names[static_cast<size_t>(column)] = storedFieldText(field);
            else if (!field.empty()) {
                const size_t at = cells.index(column, row);
                if (const std::optional<std::int32_t> exact = exactHundredths(field)) {
                    cells.hundredths[at] = *exact;
                } else {
                    storeOther(cells, at, field);
                }
            }
            if (tab == std::string_view::npos)
                break;
            line.remove_prefix(tab + 1);
        }
    }
    mPastedCells = std::move(cells);
    mPasted = true;
}

void MarkerData::storeOther(PastedCells &cells, size_t at, std::string_view field)
{
    // Other numbers: the hundredths stand for them when they show the same "%2.2f" text.
    const std::optional<double> value = parseDecimal(field);
    const double scaled = value ? static_cast<double>(roundHalfEven(*value * 100.0)) : 0.0;
    if (value && std::abs(scaled) < 2.0e9 && formatText("%2.2f", {scaled / 100.0}) == formatText("%2.2f", {*value})) {
        cells.hundredths[at] = static_cast<std::int32_t>(scaled);
        return;
    }
    cells.hundredths[at] = PastedCells::Text;
    cells.texts[at] = storedFieldText(field);
}

std::string MarkerData::PastedCells::cell(int column, int row) const
{
    if (column < 0 || row < 0 || column >= columns || row >= rows)
        return {};
    if (column == 0)
        return labels[static_cast<size_t>(row)];
    if (row == 0)
        return names[static_cast<size_t>(column)];
    const size_t at = index(column, row);
    const std::int32_t value = hundredths[at];
    if (value == Empty)
        return {};
    if (value == Text)
        return texts.at(at);
    return formatText("%2.2f", {value / 100.0});
}

void MarkerData::clear()
{
    mData = nullptr;
    mPasted = false;
    mPastedCells = PastedCells();
    mRows.clear();
}

int MarkerData::rowCount() const
{
    if (mPasted)
        return mPastedCells.rows;
    return mData ? static_cast<int>(mRows.size()) + 1 : 0;
}

int MarkerData::columnCount() const
{
    if (mPasted)
        return mPastedCells.columns;
    return mData ? mData->nind + 1 : 0;
}

const char *MarkerData::genotypeText(int row) const
{
    if (!mData || row < 1 || row > static_cast<int>(mRows.size()))
        return nullptr;
    const LocusRef &ref = mRows[static_cast<size_t>(row - 1)];
    if (ref.group >= mData->GroupCount() || ref.locus >= mData->GroupLocusCount(ref.group))
        return nullptr;
    const std::string &text = mData->GroupLoci(ref.group)[static_cast<size_t>(ref.locus)].Genotypes;
    const size_t needed = static_cast<size_t>(mData->nind) * static_cast<size_t>(mData->CodesPerIndividual());
    return text.size() >= needed ? text.data() : nullptr;
}

std::string MarkerData::label(int row) const
{
    if (mPasted)
        return mPastedCells.cell(0, row);
    if (!mData || row < 1 || row > static_cast<int>(mRows.size()))
        return {};
    const LocusRef &ref = mRows[static_cast<size_t>(row - 1)];
    if (ref.group >= mData->GroupCount() || ref.locus >= mData->GroupLocusCount(ref.group))
        return {};
    return formatText("%d", {ref.group + 1}) + ">" + mData->GroupLoci(ref.group)[static_cast<size_t>(ref.locus)].Name;
}

std::string MarkerData::individualName(int column) const
{
    if (mPasted)
        return mPastedCells.cell(column, 0);
    if (!mData || column < 1 || column > static_cast<int>(mData->IndividualNames.size()))
        return {};
    return mData->IndividualNames[static_cast<size_t>(column - 1)];
}

std::vector<std::string> MarkerData::individualNames() const
{
    std::vector<std::string> names(static_cast<size_t>(std::max(0, columnCount())));
    for (int c = 1; c < columnCount(); ++c)
        names[static_cast<size_t>(c)] = individualName(c);
    return names;
}

std::string MarkerData::cell(int column, int row) const
{
    if (mPasted)
        return mPastedCells.cell(column, row);
    if (row == 0)
        return individualName(column);
    if (column == 0)
        return label(row);
    const char *text = genotypeText(row);
    if (!text || column < 1 || column > mData->nind)
        return {};
    // Cross-pollinators carry two codes per individual; the first one stands for the pair.
    const char code = text[static_cast<size_t>(column - 1) * static_cast<size_t>(mData->CodesPerIndividual())];
    const double value = mValueOfCode[static_cast<unsigned char>(code)];
    if (value == Missing)
        return {};
    return mCoding == Coding::Numval ? formatGeneral(value) : formatText("%d", {static_cast<int>(value)});
}

bool MarkerData::rowValues(int row, const std::vector<int> &columns, double *values, std::string *badCell) const
{
    if (mPasted) {
        const PastedCells &cells = mPastedCells;
        for (size_t k = 0; k < columns.size(); ++k) {
            const int column = columns[k];
            if (row < 1 || row >= cells.rows || column < 1 || column >= cells.columns) {
                values[k] = Missing;
                continue;
            }
            const size_t at = cells.index(column, row);
            const std::int32_t value = cells.hundredths[at];
            if (value == PastedCells::Empty) {
                values[k] = Missing;
            } else if (value != PastedCells::Text) {
                values[k] = value / 100.0;
            } else {
                const std::string &text = cells.texts.at(at);
                const std::optional<double> number = parseDecimal(text);
                if (text.find_first_not_of(" \t") == std::string::npos) {
                    values[k] = Missing;
                } else if (!number) {
                    if (badCell)
                        *badCell = text;
                    return false;
                } else {
                    values[k] = *number;
                }
            }
        }
        return true;
    }
    const char *text = genotypeText(row);
    if (!text) {
        std::fill(values, values + columns.size(), Missing);
        return true;
    }
    const size_t step = static_cast<size_t>(mData->CodesPerIndividual());
    const int nind = mData->nind;
    for (size_t k = 0; k < columns.size(); ++k) {
        const int c = columns[k];
        values[k] = c >= 1 && c <= nind ? mValueOfCode[static_cast<unsigned char>(text[static_cast<size_t>(c - 1) * step])] : Missing;
    }
    return true;
}

int MarkerData::codeStride() const { return mData ? mData->CodesPerIndividual() : 1; }

int MarkerData::groupNumberOf(int row) const
{
    if (!mPasted)
        return row >= 1 && row <= static_cast<int>(mRows.size()) ? mRows[static_cast<size_t>(row - 1)].group + 1 : 0;
    const std::string text = label(row);
    const size_t mark = text.find('>');
    if (mark == std::string::npos)
        return 0;
    return static_cast<int>(parseInteger(std::string_view(text).substr(0, mark)).value_or(0));
}

} // namespace rvk
