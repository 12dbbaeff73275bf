#pragma once
// The marker-data table of the association page: row 0 the individuals' names, one row per
// locus of every linkage group in group order, column 0 the label "<group number>><marker name>",
// cell (c, r) the numeric value of locus r for individual c, empty when missing.
//
// The table is not stored cell by cell: filled from the genotypes it reads the genotype codes of
// the data set through a snapshot of the allele values taken when it was filled, and formats a
// cell only when it is asked for one. A pasted table is kept apart as text and replaces the
// genotype view until the table is refilled. The analyses read their numbers from here too.

#include "genetics/traittable.h"

#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace rvk {

class AlleleTable;
class GenotypeData;

class MarkerData
{
public:
    // 0: each cell holds the allele's Numval; 1: the allele code number (code - 41, "0" for '0').
    enum class Coding { Numval = 0, CodeNumber = 1 };
    static constexpr double Missing = -99.0;

    MarkerData() = default;

    // Refills the table from the genotypes of data with the allele values as they are now. data
    // must outlive the table (it is the program's one data set).
    void fillFromGenotypes(const GenotypeData &data, const AlleleTable &alleles, Coding coding = Coding::Numval);
    // Replaces the table by pasted clipboard text (the layout of pasteTable).
    void paste(std::string_view clipboardText);
    void clear();

    bool isPasted() const { return mPasted; }
    bool isEmpty() const { return rowCount() <= 1 || columnCount() <= 1; }
    Coding coding() const { return mCoding; }

    int rowCount() const;    // row 0 included
    int columnCount() const; // column 0 included
    int markerCount() const { return rowCount() > 0 ? rowCount() - 1 : 0; }

    // The cell as the page shows it.
    std::string cell(int column, int row) const;
    // Column 0 of marker row r (1-based).
    std::string label(int row) const;
    // Row 0 of individual column c (1-based); empty outside the table.
    std::string individualName(int column) const;
    std::vector<std::string> individualNames() const; // row 0, column 0 included (empty)

    // The values of marker row r for the given columns, Missing for an empty cell. False when a
    // non-blank cell is no number; badCell then holds its text.
    bool rowValues(int row, const std::vector<int> &columns, double *values, std::string *badCell) const;
    // For fast readers of a table filled from the genotypes: the codes of marker row r (one
    // every codeStride() characters, individual column c at (c - 1) * codeStride()), or null for
    // a pasted table or a row outside it; and the value of each code (Missing for none).
    const char *codeRow(int row) const { return mPasted ? nullptr : genotypeText(row); }
    int codeStride() const;
    const std::array<double, 256> &valueOfCode() const { return mValueOfCode; }
    // The group number (1-based) of a row's label, the text before ">"; 0 when there is none.
    int groupNumberOf(int row) const;

private:
    struct LocusRef
    {
        int group = 0;
        int locus = 0;
    };
    const char *genotypeText(int row) const;

    const GenotypeData *mData = nullptr;
    Coding mCoding = Coding::Numval;
    std::array<double, 256> mValueOfCode{}; // Missing for codes without a value
    std::vector<LocusRef> mRows;            // marker row r at index r - 1
    // A pasted table, kept compactly: the labels and names as texts, every other cell as its
    // value in hundredths (the "%2.2f" the table shows), with the few cells that are not such a
    // number (texts, very large numbers) kept as texts beside them.
    struct PastedCells
    {
        static constexpr std::int32_t Empty = INT32_MIN;
        static constexpr std::int32_t Text = INT32_MIN + 1;
        int columns = 0;
        int rows = 0;
        std::vector<std::string> labels; // column 0, by row
        std::vector<std::string> names;  // row 0, by column
        std::vector<std::int32_t> hundredths; // rows 1.., columns 1.., row after row
        std::unordered_map<std::size_t, std::string> texts;

        std::size_t index(int column, int row) const
        {
            return static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(columns - 1) + static_cast<std::size_t>(column - 1);
        }
        std::string cell(int column, int row) const;
    };

    // A pasted cell that is not a plain decimal of at most two decimals.
    static void storeOther(PastedCells &cells, std::size_t at, std::string_view field);

    bool mPasted = false;
    PastedCells mPastedCells;
};

} // namespace rvk
