#pragma once
// "Save matrix": a distance matrix written as a spreadsheet file, a MEGA distance file, a NEXUS
// file (taxa and distances blocks, for SplitsTree and the like) or a text list of pairs. The
// matrix is read as the grid shows it: labels in row 0 and column 0, the distance of entries
// i < j in column i, row j, every other cell empty; empty distance cells are written as nothing.

#include <functional>
#include <string>

namespace rvk {

class UserInterface;

enum class DistanceFileFormat { Spreadsheet, Mega, Nexus, PairwiseText };

struct DistanceExportInput
{
    int entries = 0;                                      // n; the grid is (n + 1) x (n + 1)
    std::function<std::string(int column, int row)> cell; // the grid's texts
    int individuals = 0;                                  // nind, written as the genotype count
    std::string measure;                                  // "Allele sharing/SM", "Jaccard", "Euclidean"
    int loci = 0;                                         // loci rows of the marker-data table
};

// The note before the file choice, and the file choice's types.
inline constexpr const char *SaveMatrixNote =
    "Note: you may save results to Excel, MEGA, NEXUS or text format, change desired format in next window";
inline constexpr const char *SaveMatrixFilter =
    "Excel|*.xls|MEGA|*.meg|NEXUS (eg splitstree)|*.nex|paiwise distance as text|*.txt";

// ".xls", ".meg", ".nex", ".txt".
const char *distanceFileExtension(DistanceFileFormat format);
// The format of an entry of SaveMatrixFilter (0-based: spreadsheet, MEGA, NEXUS, text list).
DistanceFileFormat distanceFileFormatOfFilterEntry(int entry);
// The format of a file name by its extension (case ignored); a name with another extension,
// or none, is written as the pairwise text list. Used only when the front end cannot tell
// which filter entry was chosen.
DistanceFileFormat distanceFileFormatOf(const std::string &path);
// path with the format's extension appended when its file name has none.
std::string withDistanceFileExtension(const std::string &path, DistanceFileFormat format);

// The text formats' contents, lines ended by CR LF. Not for Spreadsheet.
std::string distanceFileText(const DistanceExportInput &input, DistanceFileFormat format);

// Writes the file; false with "Unable to write to " + path in errorText when it cannot.
bool WriteDistanceFile(const DistanceExportInput &input, DistanceFileFormat format, const std::string &path,
                       std::string *errorText = nullptr);

// The command: the note, the file choice, the file. The filter entry chosen in the file choice
// gives the format, whatever the name's extension; a name without an extension gets the
// format's. "Data saved as " + path after a spreadsheet file. A matrix too wide for a
// spreadsheet file is refused with a message that names the text formats. Returns the path
// written, or nothing when cancelled or failed (failures shown through ui).
std::string SaveDistanceMatrix(const DistanceExportInput &input, UserInterface &ui);

} // namespace rvk
