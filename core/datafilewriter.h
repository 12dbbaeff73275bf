#pragma once

#include "core/genotypedata.h"
#include "core/safefile.h"
#include "core/userinterface.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rvk {

// The chosen name with its file name cut before the first "." (the folder stays as it is) and
// extension appended: "/a.v2/set.final.rvk" with ".rvk" gives "/a.v2/set.rvk".
std::string replaceExtensionAtFirstDot(const std::string &path, const std::string &extension);

// Saves the whole data set as one multi-group data file ("Sa&ve RVK data") that the data-file
// reader takes back with the same groups, loci, positions (to one decimal), phases, names and
// segregation types.
class DataFileWriter
{
public:
    DataFileWriter(const GenotypeData &data, UserInterface &ui);

    // Told the path of a file just written, before its confirmation: the window puts it first in
    // its recent list there.
    using WrittenHook = std::function<void(const std::string &path)>;

    // "Sa&ve RVK data": asks for the file name, then save(). Returns the path written, or empty
    // when nothing is loaded, the dialog was cancelled or the write failed.
    std::string SaveDataFile(const WrittenHook &written = {});

    // Writes the data set to replaceExtensionAtFirstDot(chosenPath, ".rvk"), tells written the
    // path and confirms with savedMessage(). A failed write is reported as an error and leaves
    // any old file untouched. Returns the path written, or empty.
    std::string save(const std::string &chosenPath, const WrittenHook &written = {});

    // The file's text. misread, when given, receives the lines that the reader would take for
    // something else than written (a marker or individual named like a header key, codes the
    // reader takes for annotations); such a file still holds every value.
    static std::string fileText(const GenotypeData &data, std::vector<std::string> *misread = nullptr);
    // The first line of a locus record: the bare name, two blanks, the position with one decimal,
    // one blank, then the annotations in the order the reader expects them ("<", "{", "(").
    // Without annotations this is the name followed by "  %2.1f %s" of position and phase.
    static std::string locusLine(const Tlocinfo &locus, bool crossPollinator);
    // The codes with one blank after every fifth character.
    static std::string genotypeLine(std::string_view genotypes);
    // Every name as a double quote, the name, a double quote and one blank.
    static std::string namesLine(const std::vector<std::string> &names);

    static std::string savedMessage(const std::string &path) { return "File succesfully saved as " + path; }
    static std::string readBackWarning(const std::vector<std::string> &lines);
    static constexpr const char *DialogFilter = "RVK|*.rvk";

private:
    const GenotypeData &mData;
    UserInterface &mUi;
};

} // namespace rvk
