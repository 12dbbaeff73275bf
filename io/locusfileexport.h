#pragma once

#include "core/genotypedata.h"
#include "core/userinterface.h"

#include <string>
#include <vector>

namespace rvk {

// "Export as &Locus data (.loc)": the data set as a locus file for mapping programs, every
// locus of every group as one line of a 25-character name and the codes of the written
// individuals. Written are the ticked individuals; with selection filtering on and the answer
// "Yes" to unselectedQuestion(), everyone, the unticked ones as "U".
class LocusFileExport
{
public:
    LocusFileExport(const GenotypeData &data, UserInterface &ui);

    // The whole command: save dialog, the question when filtering is on, the file, the
    // confirmation. Returns the path written, or empty.
    std::string ExportLocusFile();
    // Writes replaceExtensionAtFirstDot(chosenPath, ".loc") and confirms; no dialog, no question.
    std::string write(const std::string &chosenPath, bool unselectedAsUnknown);

    static std::string fileText(const GenotypeData &data, bool unselectedAsUnknown);

    static constexpr const char *DialogFilter = "Locus data|*.loc";
    static constexpr const char *SubsetComment = ";loc file is a selected subset of a larger set";
    static std::string unselectedQuestion() { return "Save unselected as unknown ?"; }
    static std::string savedMessage(const std::string &path) { return "File succesfully saved as " + path; }

private:
    const GenotypeData &mData;
    UserInterface &mUi;
};

} // namespace rvk
