#include "genetics/markerdata.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "settings/alleletable.h"

#include <algorithm>

namespace rvk {

void MarkerData::fillFromGenotypes(const GenotypeData &data, const AlleleTable &alleles, Coding coding)
{
    mData = &data;
    mCoding = coding;
    mPasted = false;
    mPastedTable.clear();
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
    mPasted = true;
    pasteTable(mPastedTable, clipboardText);
}

void MarkerData::clear()
{
    mData = nullptr;
    mPasted = false;
    mPastedTable.clear();
    mRows.clear();
}

int MarkerData::rowCount() const
{
    if (mPasted)
        return mPastedTable.rowCount();
    return mData ? static_cast<int>(mRows.size()) + 1 : 0;
}

int MarkerData::columnCount() const
{
    if (mPasted)
        return mPastedTable.columnCount();
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
        return mPastedTable.cell(0, row);
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
        return mPastedTable.cell(column, 0);
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
        return mPastedTable.cell(column, row);
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
        for (size_t k = 0; k < columns.size(); ++k) {
            const std::string &text = mPastedTable.cell(columns[k], row);
            if (text.find_first_not_of(" \t") == std::string::npos) {
                values[k] = Missing;
                continue;
            }
            const std::optional<double> value = parseDecimal(text);
            if (!value) {
                if (badCell)
                    *badCell = text;
                return false;
            }
            values[k] = *value;
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
