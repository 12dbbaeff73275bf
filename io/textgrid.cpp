#include "io/textgrid.h"

#include <algorithm>

namespace rvk {

namespace {
std::string_view slotText(std::string_view slot)
{
    const size_t end = slot.find('\0');
    return end == std::string_view::npos ? slot : slot.substr(0, end);
}
} // namespace

std::string TextGrid::cell(int column, int row) const
{
    if (column < 0 || row < 0 || column >= mColumns || row >= mRows)
        return {};
    const Row &cells = mRowCells[static_cast<size_t>(row)];
    const size_t c = static_cast<size_t>(column);
    if (c < cells.leading.size())
        return cells.leading[c];
    if (cells.width == 0)
        return {};
    const size_t width = static_cast<size_t>(cells.width);
    return std::string(slotText(std::string_view(cells.packed).substr((c - cells.leading.size()) * width, width)));
}

void TextGrid::unpack(Row &row) const
{
    if (row.width > 0) {
        const size_t width = static_cast<size_t>(row.width);
        const size_t slots = row.packed.size() / width;
        row.leading.reserve(row.leading.size() + slots);
        for (size_t k = 0; k < slots; ++k)
            row.leading.emplace_back(slotText(std::string_view(row.packed).substr(k * width, width)));
        row.packed = std::string();
        row.width = 0;
    }
}

void TextGrid::fitColumns(Row &row) const
{
    const size_t columns = static_cast<size_t>(mColumns);
    if (row.leading.size() > columns) {
        row.leading.resize(columns);
        row.packed = std::string();
        row.width = 0;
    } else if (row.width > 0) {
        row.packed.resize((columns - row.leading.size()) * static_cast<size_t>(row.width), '\0');
    }
}

void TextGrid::setCell(int column, int row, std::string text)
{
    if (column < 0 || row < 0)
        return;
    ensureSize(column + 1, row + 1);
    Row &cells = mRowCells[static_cast<size_t>(row)];
    const size_t c = static_cast<size_t>(column);
    if (c < cells.leading.size()) {
        cells.leading[c] = std::move(text);
        return;
    }
    const bool fitsSlot = text.find('\0') == std::string::npos;
    if (cells.width == 0) {
        if (text.empty())
            return; // already empty
        if (!fitsSlot || text.size() > MaxSlotWidth) {
            cells.leading.resize(c + 1);
            cells.leading[c] = std::move(text);
            return;
        }
        // The first short cell: the row's slots start here.
        cells.leading.resize(c);
        cells.width = static_cast<int>(text.size());
        fitColumns(cells);
    }
    const size_t width = static_cast<size_t>(cells.width);
    if (!fitsSlot || text.size() > width) {
        unpack(cells);
        cells.leading[c] = std::move(text);
        return;
    }
    char *slot = cells.packed.data() + (c - cells.leading.size()) * width;
    std::fill(slot, slot + width, '\0');
    std::copy(text.begin(), text.end(), slot);
}

void TextGrid::setCells(int firstColumn, int row, std::string_view texts, int width)
{
    if (firstColumn < 0 || row < 0 || width <= 0)
        return;
    const int count = static_cast<int>(texts.size() / static_cast<size_t>(width));
    if (count == 0)
        return;
    ensureSize(firstColumn + count, row + 1);
    Row &cells = mRowCells[static_cast<size_t>(row)];
    const size_t first = static_cast<size_t>(firstColumn);
    const bool packable = static_cast<size_t>(width) <= MaxSlotWidth && texts.find('\0') == std::string_view::npos;
    if (packable && cells.width == 0 && cells.leading.size() <= first) {
        cells.leading.resize(first);
        cells.width = width;
        fitColumns(cells);
    }
    if (packable && cells.width == width && cells.leading.size() <= first) {
        std::copy(texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(count) * width,
                  cells.packed.begin() + static_cast<std::ptrdiff_t>((first - cells.leading.size()) * static_cast<size_t>(width)));
        return;
    }
    for (int k = 0; k < count; ++k)
        setCell(firstColumn + k, row, std::string(texts.substr(static_cast<size_t>(k * width), static_cast<size_t>(width))));
}

void TextGrid::clear(int columns, int rows)
{
    mColumns = std::max(columns, 0);
    mRows = std::max(rows, 0);
    mRowCells.clear();
    mRowCells.shrink_to_fit();
    mRowCells.resize(static_cast<size_t>(mRows));
}

void TextGrid::resize(int columns, int rows)
{
    columns = std::max(columns, 0);
    rows = std::max(rows, 0);
    mRowCells.resize(static_cast<size_t>(rows));
    mRows = rows;
    if (columns != mColumns) {
        mColumns = columns;
        for (Row &row : mRowCells)
            fitColumns(row);
    }
}

void TextGrid::ensureSize(int columns, int rows)
{
    if (columns > mColumns || rows > mRows)
        resize(std::max(columns, mColumns), std::max(rows, mRows));
}

void TextGrid::removeRow(int row)
{
    if (row < 0 || row >= mRows)
        return;
    mRowCells.erase(mRowCells.begin() + row);
    --mRows;
}

std::vector<std::string> TextGrid::row(int row) const
{
    std::vector<std::string> cells;
    cells.reserve(static_cast<size_t>(mColumns));
    for (int c = 0; c < mColumns; ++c)
        cells.push_back(cell(c, row));
    return cells;
}

bool TextGrid::operator==(const TextGrid &other) const
{
    if (mColumns != other.mColumns || mRows != other.mRows)
        return false;
    for (int r = 0; r < mRows; ++r)
        for (int c = 0; c < mColumns; ++c)
            if (cell(c, r) != other.cell(c, r))
                return false;
    return true;
}

} // namespace rvk
