#include "io/textgrid.h"

#include <algorithm>

namespace rvk {

const std::string &TextGrid::cell(int column, int row) const
{
    static const std::string empty;
    if (column < 0 || row < 0 || column >= mColumns || row >= mRows)
        return empty;
    return mCells[static_cast<size_t>(row) * static_cast<size_t>(mColumns) + static_cast<size_t>(column)];
}

void TextGrid::setCell(int column, int row, std::string text)
{
    if (column < 0 || row < 0)
        return;
    ensureSize(column + 1, row + 1);
    mCells[static_cast<size_t>(row) * static_cast<size_t>(mColumns) + static_cast<size_t>(column)] = std::move(text);
}

void TextGrid::clear(int columns, int rows)
{
    mColumns = std::max(columns, 0);
    mRows = std::max(rows, 0);
    mCells.assign(static_cast<size_t>(mColumns) * static_cast<size_t>(mRows), std::string());
}

void TextGrid::resize(int columns, int rows)
{
    columns = std::max(columns, 0);
    rows = std::max(rows, 0);
    if (columns == mColumns) {
        mCells.resize(static_cast<size_t>(columns) * static_cast<size_t>(rows));
        mRows = rows;
        return;
    }
    std::vector<std::string> cells(static_cast<size_t>(columns) * static_cast<size_t>(rows));
    const int keepRows = std::min(rows, mRows);
    const int keepColumns = std::min(columns, mColumns);
    for (int r = 0; r < keepRows; ++r)
        for (int c = 0; c < keepColumns; ++c)
            cells[static_cast<size_t>(r) * static_cast<size_t>(columns) + static_cast<size_t>(c)] =
                std::move(mCells[static_cast<size_t>(r) * static_cast<size_t>(mColumns) + static_cast<size_t>(c)]);
    mCells = std::move(cells);
    mColumns = columns;
    mRows = rows;
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
    const auto first = mCells.begin() + static_cast<std::ptrdiff_t>(row) * mColumns;
    mCells.erase(first, first + mColumns);
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

} // namespace rvk
