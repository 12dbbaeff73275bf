#pragma once
// Quantitative trait files (.qua): the trait values of individuals, one record per individual.
//
//   ;comment lines and empty lines are skipped
//   ntrt=2            lines before the "miss" line are not read
//   nind=2
//   miss=-            the missing-value code: first character after "=", blanks trimmed
//   traitnames height yield
//   P1 12.5 -
//   P2 13 4.1
//
// The reader returns the table the page shows: column 0 the names line, column k the k-th
// record, numbers (names included) as "%2.2f", missing values as empty cells.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rvk {

struct TraitFileContents
{
    // Column 0: the names line's tokens (label, then trait names); column k: record k (its
    // name, then its values). Every column has rowCount cells.
    std::vector<std::vector<std::string>> columns;
    int rowCount = 0;
    std::vector<std::string> traitNames; // the names line after its label
    std::string error;                   // empty when the file was read

    bool ok() const { return error.empty(); }
};

class TraitFileReader
{
public:
    static constexpr const char *Filter = "Quantitative data (*.qua)|*.qua";

    static TraitFileContents readText(std::string_view text);
    static TraitFileContents readFile(const std::string &path);

    static std::string noMissLineMessage(const std::string &path)
    {
        return "No missing-value line (\"miss=\") found in trait file " + path;
    }
};

// What the trait file export needs of the trait table and the individual check list.
struct TraitExportInput
{
    int columnCount = 0; // the trait table's columns, heading column included
    int rowCount = 0;    // its rows, heading row included
    std::function<const std::string &(int column, int row)> cell;
    // The individual check list: names and ticks; filtering as "Apply Selection Filtering".
    std::vector<std::string> checkListNames;
    std::vector<char> ticked;
    bool filtering = false;
    // The answer to "Save unselected as unknown ?" (asked only while filtering).
    bool unselectedAsUnknown = false;
};

class TraitFileWriter
{
public:
    static constexpr const char *Filter = "Quantitative data (*.qua)|*.qua";
    static constexpr const char *UnselectedQuestion = "Save unselected as unknown ?";

    // The file's text, lines ended by CR LF.
    static std::string fileText(const TraitExportInput &input);
    // The chosen name with ".qua" added when it holds no ".".
    static std::string outputPath(const std::string &chosenPath);
    // Writes the file; false with a message in error when it cannot be written.
    static bool write(const std::string &chosenPath, const TraitExportInput &input, std::string *error);
};

} // namespace rvk
