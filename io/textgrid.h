#pragma once

#include <string>
#include <vector>

namespace rvk {

// A table of text cells, columns x rows, addressed (column, row) from 0 like the grids of the
// windows; row 0 and column 0 are the headings. The cells live in one row-major array, so rows
// move and disappear cheaply.
class TextGrid
{
public:
    TextGrid() = default;
    TextGrid(int columns, int rows) { clear(columns, rows); }

    int columnCount() const { return mColumns; }
    int rowCount() const { return mRows; }

    // The empty text for a cell outside the grid.
    const std::string &cell(int column, int row) const;
    // Grows the grid when the cell lies outside it.
    void setCell(int column, int row, std::string text);

    // Every cell empty, at the given size.
    void clear(int columns, int rows);
    // New size; cells inside both sizes keep their texts.
    void resize(int columns, int rows);
    void ensureSize(int columns, int rows);
    void appendRow() { resize(mColumns, mRows + 1); }
    void appendColumn() { resize(mColumns + 1, mRows); }
    void removeRow(int row);

    // One row's cells as a list, for callers that read rows whole.
    std::vector<std::string> row(int row) const;

    bool operator==(const TextGrid &other) const = default;

private:
    int mColumns = 0;
    int mRows = 0;
    std::vector<std::string> mCells;
};

} // namespace rvk
