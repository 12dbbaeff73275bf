#include "io/megaexport.h"

#include "core/datafilewriter.h"

namespace rvk {

MegaExport::MegaExport(const GenotypeData &data, UserInterface &ui) : mData(data), mUi(ui) {}

char MegaExport::translate(char code)
{
    const char upper = (code >= 'a' && code <= 'z') ? static_cast<char>(code - 'a' + 'A') : code;
    if (upper < 'A' || upper > 'T')
        return '?';
    switch (upper) {
    case 'B': return 'V';
    case 'J': return 'Y';
    case 'O': return 'W';
    default: return upper;
    }
}

std::string MegaExport::sequenceLine(const GenotypeData &data, int group, int individual)
{
    std::string name = static_cast<size_t>(individual) < data.IndividualNames.size() ? data.IndividualNames[static_cast<size_t>(individual)] : std::string();
    for (char &c : name)
        if (c == ' ')
            c = '_';
    std::string line = "#" + name + " ";
    const auto &loci = data.GroupLoci(group);
    for (size_t i = 0; i < loci.size(); ++i) {
        // A cross-pollinator's genotype is a pair of codes; both go in, so each individual keeps
        // its own codes.
        for (char code : data.Genotype(loci[i], individual))
            line += translate(code);
        if (i % 5 == 0)
            line += ' ';
    }
    return line;
}

std::string MegaExport::fileText(const GenotypeData &data)
{
    std::string text;
    auto add = [&text](const std::string &line) {
        text += line;
        text += "\r\n";
    };
    add("#MEGA");
    add("!Title RVK derived marker data file, alleles coded as amino acids, to use phylogenetic analyses use the "
        "p-distance which resembles simple matching/allele sharing;");
    add("!Format DataType=Protein Missing=?;");
    add("!Description name=" + (data.GroupCount() > 0 ? data.GroupName(0) : std::string()) + "Pop: " + data.popt + "  "
        + std::to_string(data.nind) + " indiv. , coding: A/a=A etc until T/t=T except B=V, J=Y, O=W & U=?;");
    for (int k = 0; k < data.GroupCount(); ++k) {
        add("");
        add("!Domain=group_" + std::to_string(k + 1) + ";");
        for (int j = 0; j < data.nind; ++j)
            add(sequenceLine(data, k, j));
    }
    return text;
}

std::string MegaExport::write(const std::string &chosenPath)
{
    const std::string path = replaceExtensionAtFirstDot(chosenPath, ".meg");
    if (!writeFileReplacing(path, fileText(mData), mUi))
        return {};
    mUi.information(savedMessage(path));
    return path;
}

std::string MegaExport::ExportMega()
{
    if (mData.GroupCount() == 0)
        return {};
    const std::string chosen = mUi.saveFileName("Create MEGA datafile", DialogFilter, {});
    if (chosen.empty())
        return {};
    return write(chosen);
}

} // namespace rvk
