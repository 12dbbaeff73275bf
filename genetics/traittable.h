#pragma once
// The text tables of the association page: the trait table (row 0 individual names, column 0
// trait names, cell (c, r) trait r of individual c), the synchronised trait table and pasted
// tables (marker data, p-values). Cells are addressed (column, row) from 0, as on the page.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rvk {

class GenotypeData;

class TraitTable
{
public:
    TraitTable() = default;
    TraitTable(int columns, int rows) { resize(columns, rows); }

    // The table the page shows at start-up: "Geno 1", "Geno 2", "etc.." across, "Trait 1",
    // "Trait 2", "etc.." down.
    static TraitTable startTemplate();
    // A table of the given columns (each cut or padded to rows cells): what a trait file gives.
    static TraitTable fromColumns(std::vector<std::vector<std::string>> columns, int rows);

    int columnCount() const { return mColumns; }
    int rowCount() const { return mRows; }
    // Keeps the cells inside the new size; new cells are empty.
    void resize(int columns, int rows);
    void clear() { resize(0, 0); }
    // Empties every cell, keeping the size.
    void clearCells();

    // The cell's text; empty outside the table.
    const std::string &cell(int column, int row) const;
    // Writes a cell; the table grows to hold it.
    void setCell(int column, int row, std::string text);

    // The trait rows are 1 .. rowCount() - 1; column 0 holds their names.
    int traitCount() const { return mRows > 1 ? mRows - 1 : 0; }
    std::vector<std::string> traitNames() const;
    // The last column (from 1 on) whose row-0 heading equals name exactly; nothing when none does.
    std::optional<int> lastColumnNamed(std::string_view name) const;

    // Swaps rows and columns.
    void transpose();

    bool operator==(const TraitTable &other) const = default;

private:
    int mColumns = 0;
    int mRows = 0;
    std::vector<std::vector<std::string>> mCells; // by column, then row
};

// The lines of clipboard text: a line ends at CR, CR LF or LF; text after the last line end is a
// line too when it holds anything.
std::vector<std::string_view> clipboardLines(std::string_view text);

// A pasted or imported field as the tables keep it: a number formatted "%2.2f", any other text
// unchanged.
std::string storedFieldText(std::string_view field);

// A cell typed into the trait table as the table keeps it: a value (column and row from 1) that
// is a number, blanks around it ignored, as "%2.2f" like a pasted one; other values and the
// names of row 0 and column 0 as typed.
std::string editedCellText(int column, int row, std::string_view typed);

// Pastes tab-separated clipboard text into table: line k becomes row k, field f column f; the
// field of column 0 is kept unchanged, the others as storedFieldText. Lines end at CR, CR LF or
// LF. The table is emptied first and ends with as many rows as lines and as many columns as the
// last line has fields (the fields of longer earlier lines beyond that width are dropped).
// firstRowGap moves lines 1, 2, ... down by that many rows (the pasted p-value layout).
void pasteTable(TraitTable &table, std::string_view clipboardText, int firstRowGap = 0);

// The synchronised trait table: the trait table's rows against the given individual columns
// (the marker data's row-0 names, column 0 included and ignored). Cell (c, r) is trait r of the
// individual of column c, empty when that individual has no trait column.
TraitTable buildSyncTable(const TraitTable &traits, const std::vector<std::string> &individualNames);

// The sort keys of trait row: for every individual of the data set in data order, the cell of
// the last trait column named like it as "%5.1f" when a number, the cell text otherwise, empty
// when no column matches; then the trait's name.
std::vector<std::string> traitSortKeyEntries(const TraitTable &traits, int row, const std::vector<std::string> &individualNames);

// A trait histogram: bar labels and counts, and the range of the values found.
struct TraitHistogram
{
    std::string title;                 // "Trait histogram " + the trait name
    std::vector<std::string> labels;   // "%.2f" of each bar's lower value
    std::vector<int> counts;
    double minimum = 0.0;
    double maximum = 0.0;
    bool hasValues = false;
};

// The quick histogram of a click on a trait row: 10 bars over every numeric cell of the row, the
// range taken from the data set's individuals (their trait columns). Values outside that range
// go to the first or last bar; with a single value (max = min) everything goes to the first bar.
TraitHistogram quickTraitHistogram(const TraitTable &traits, int row, const std::vector<std::string> &individualNames);

// The plotted histogram: bars bars over the individuals of the data set that count as selected
// (selected[i] true), each taking the value of its last trait column.
TraitHistogram selectedTraitHistogram(const TraitTable &traits, int row, const std::vector<std::string> &individualNames,
                                      const std::vector<bool> &selected, int bars);

} // namespace rvk
