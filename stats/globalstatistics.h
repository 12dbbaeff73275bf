#pragma once
// Global statistics per individual: over all linkage groups, the share of the map length each
// allele carries, the total length covered, the number of recombinations and of segments of the
// heterozygous-fragment allele, followed by population averages and the possible singletons
// (a single marker whose allele differs from both neighbours, a typical scoring error).
//
// The result is a table (one row per individual, formatted cell by cell on demand from compact
// numbers) and the lines of the text area below it. The statistics window, "Save..", "Copy",
// "Print" and "Export to Excel" all read it; the command-line front end prints reportText().

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rvk {

class AlleleTable;
class GenotypeData;
struct GeneralOptions;

// Which individuals the statistics summarise. The menu command summarises everybody, whatever
// the selection; the selected-only scope leaves unticked individuals out of the rows and out of
// the averages when "Apply Selection Filtering" is on.
enum class GlobalStatisticsScope { AllIndividuals, SelectedIndividuals };

class GlobalStatistics
{
public:
    // The file choice of "Save..".
    static constexpr const char *SaveFilter = "text (*.txt)|*.txt";

    // Fixed columns around the per-allele share columns.
    static constexpr int IndividualColumn = 0;
    static constexpr int AliasColumn = 1;

    int rowCount() const { return static_cast<int>(mOrder.size()); }
    int columnCount() const { return static_cast<int>(mCaptions.size()); }
    // "ind", "Alias", "<code> (%)" per used code, "Total (cM)", "Recombin", "<h>-segments".
    const std::vector<std::string> &columnCaptions() const { return mCaptions; }
    // The text of a cell as the table shows it (rows in their current order).
    std::string cell(int row, int column) const;
    // Sorts the rows ascending by a column: "ind" by number, "Alias" by text ignoring case,
    // every other column by the number its cell shows. Rows with equal keys keep their order.
    void sortByColumn(int column);

    // The text area below the table, line by line. The singleton list can run to millions of
    // lines, so every line is written when asked for; textLines() writes them all at once.
    int textLineCount() const { return static_cast<int>(mTextLines.size() + mSingletons.size()); }
    std::string textLine(int line) const;
    std::vector<std::string> textLines() const;
    // No line of the text area is longer than this many characters.
    size_t longestTextLine() const;
    // The window's caption: the name of the first linkage group.
    const std::string &caption() const { return mCaption; }

    // The lines "Save.." writes and "Copy" puts on the clipboard: a title, the column captions,
    // one line per row (in the table's current order), an empty line and the text area.
    int reportLineCount() const { return 3 + rowCount() + textLineCount(); }
    std::string reportLine(int line) const;
    std::vector<std::string> reportLines() const;
    // The same lines, each ended by CR LF, as the saved text file holds them.
    std::string reportText() const;
    // The lines "Print" prints: a title line, an empty line, the table and the text area.
    int printLineCount() const { return reportLineCount() + 1; }
    std::string printLine(int line) const;
    std::vector<std::string> printLines() const;
    // "Export to Excel": the column captions in the first row and one row per table row.
    std::vector<std::vector<std::string>> spreadsheetGrid() const;

    // The numbers behind a row (rows in their current order).
    int individual(int row) const { return record(row).individual; }
    double totalLength(int row) const { return record(row).total; }
    double alleleLength(int row, int usedCodeIndex) const;
    int recombinations(int row) const { return record(row).recombinations; }
    // Boundaries of h-segments over all groups; the table shows (boundaries + 1) div 2.
    int segmentBoundaries(int row) const { return record(row).boundaries; }
    const std::vector<char> &usedCodes() const { return mUsedCodes; }
    char fragmentCode() const { return mFragmentCode; }
    int singletonCount() const { return static_cast<int>(mSingletons.size()); }
    std::string singletonLine(int index) const;
    std::vector<std::string> singletonLines() const;
    // Bytes held by the result, for the benchmarks.
    size_t memoryUse() const;

private:
    friend GlobalStatistics computeGlobalStatistics(const GenotypeData &, const AlleleTable &, const GeneralOptions &,
                                                    GlobalStatisticsScope);
    struct Record
    {
        int individual = 0; // 1-based
        double total = 0.0;
        int recombinations = 0;
        int boundaries = 0;
        std::uint32_t nameOffset = 0;
        std::uint32_t nameLength = 0;
    };
    // A possible singleton: its individual's record, the middle marker as "<Group g name; pos>"
    // and the codes at the three markers (one or two characters each).
    struct Singleton
    {
        std::uint32_t record = 0;
        std::uint32_t marker = 0;
        char codes[6] = {};
        std::uint8_t width = 1;
    };
    const Record &record(int row) const { return mRecords[static_cast<size_t>(mOrder[static_cast<size_t>(row)])]; }
    std::string recordCell(size_t index, int column) const;
    std::string_view name(const Record &record) const { return std::string_view(mNames).substr(record.nameOffset, record.nameLength); }

    std::vector<char> mUsedCodes;
    char mFragmentCode = 'H';
    std::vector<std::string> mCaptions;
    std::vector<Record> mRecords;
    std::vector<double> mLengths; // per record, one length per used code
    std::string mNames;           // all names, one after another
    std::vector<int> mOrder;      // record index of each table row
    std::vector<std::string> mTextLines;   // the lines before the singletons
    std::vector<Singleton> mSingletons;
    std::vector<std::string> mMarkerTexts; // "<Group g name; pos>" of each marker with a singleton
    std::string mCaption;
};

// Computes the statistics of every individual over all groups. Lengths, recombinations and
// segments read each genotype character as it is stored (no display coding). For
// cross-pollinators each individual's two characters are read as its two haplotypes: each
// carries half of every interval, and the recombinations and segment boundaries of both count.
GlobalStatistics computeGlobalStatistics(const GenotypeData &data, const AlleleTable &table, const GeneralOptions &options,
                                         GlobalStatisticsScope scope = GlobalStatisticsScope::AllIndividuals);

// The report "Save.." writes, in one call (lines ended by CR LF).
std::string globalStatisticsReport(const GenotypeData &data, const AlleleTable &table, const GeneralOptions &options,
                                   GlobalStatisticsScope scope = GlobalStatisticsScope::AllIndividuals);

} // namespace rvk
