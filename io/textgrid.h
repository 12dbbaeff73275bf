#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rvk {

// A table of text cells, columns x rows, addressed (column, row) from 0 like the grids of the
// windows; row 0 and column 0 are the headings.
//
// A grid may hold a whole data set (3,000 individuals x 50,000 loci is 150 million cells), so
// the short cells of a row are packed: from the first one- or two-character cell on, a row keeps
// its cells as one run of equal-width slots (a character per slot for most codes, two for
// cross-pollinators), padded with NUL. Cells before that point, and every cell of a row that
// gets a text that does not fit its slots, are texts of their own.
class TextGrid
{
public:
    TextGrid() = default;
    TextGrid(int columns, int rows) { clear(columns, rows); }

    int columnCount() const { return mColumns; }
    int rowCount() const { return mRows; }

    // The empty text for a cell outside the grid.
    std::string cell(int column, int row) const;
    // Grows the grid when the cell lies outside it.
    void setCell(int column, int row, std::string text);
    // Sets the cells firstColumn, firstColumn + 1, ... of row to the consecutive width-character
    // pieces of texts (the genotype text of a locus), growing the grid as needed.
    void setCells(int firstColumn, int row, std::string_view texts, int width);

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

    bool operator==(const TextGrid &other) const;

private:
    struct Row
    {
        std::vector<std::string> leading; // cells 0 .. leading.size() - 1
        int width = 0;                    // slot width of the packed cells after them; 0: none
        std::string packed;               // (columns - leading.size()) slots
    };
    static constexpr size_t MaxSlotWidth = 2;

    void unpack(Row &row) const;
    void fitColumns(Row &row) const;

    int mColumns = 0;
    int mRows = 0;
    std::vector<Row> mRowCells;
};

} // namespace rvk
