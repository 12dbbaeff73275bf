#pragma once

#include "core/genotypedata.h"
#include "core/userinterface.h"

#include <string>

namespace rvk {

// "Create M&EGA datafile": every individual as a protein sequence whose amino acids are its
// allele codes, one domain per linkage group, so that MEGA's p-distance is simple allele
// matching.
class MegaExport
{
public:
    MegaExport(const GenotypeData &data, UserInterface &ui);

    // The whole command: save dialog, file, confirmation. Returns the path written, or empty.
    std::string ExportMega();
    // Writes replaceExtensionAtFirstDot(chosenPath, ".meg") and confirms.
    std::string write(const std::string &chosenPath);

    static std::string fileText(const GenotypeData &data);
    // A to T (either case) as the upper-case letter, except B -> V, J -> Y, O -> W; anything
    // else (U included) -> "?".
    static char translate(char code);
    // "#" + name with blanks as "_" + " " + the translated codes, a blank after codes 1, 6, 11, ...
    // For "cp" each locus gives the individual's two codes.
    static std::string sequenceLine(const GenotypeData &data, int group, int individual);

    static constexpr const char *DialogFilter = "Mega file|*.meg";
    static std::string savedMessage(const std::string &path) { return "File succesfully saved as " + path; }

private:
    const GenotypeData &mData;
    UserInterface &mUi;
};

} // namespace rvk
