#include "io/locusfileexport.h"

#include "core/datafilewriter.h"
#include "core/textformat.h"

namespace rvk {

namespace {

bool isTicked(const GenotypeData &data, int i)
{
    // A data set that never had its ticks set up counts everyone as ticked.
    if (data.Ticked.empty())
        return true;
    return static_cast<size_t>(i) < data.Ticked.size() && data.Ticked[static_cast<size_t>(i)];
}

} // namespace

LocusFileExport::LocusFileExport(const GenotypeData &data, UserInterface &ui) : mData(data), mUi(ui) {}

std::string LocusFileExport::fileText(const GenotypeData &data, bool unselectedAsUnknown)
{
    const bool filtering = data.Selectionyesno;
    const bool everyone = filtering && unselectedAsUnknown;
    // Which individuals go into the file, and whether each is written as unknown.
    std::vector<int> written;
    std::vector<char> unknown;
    for (int i = 0; i < data.nind; ++i) {
        const bool ticked = isTicked(data, i);
        if (ticked || everyone) {
            written.push_back(i);
            unknown.push_back(ticked ? 0 : 1);
        }
    }
    const int width = data.CodesPerIndividual();
    const std::string unknownCode(static_cast<size_t>(width), 'U');

    std::string text;
    auto add = [&text](const std::string &line) {
        text += line;
        text += "\r\n";
    };
    if (filtering)
        add(SubsetComment);
    add(";alias");
    add("nind=" + std::to_string(written.size()));
    add("popt = " + data.popt);
    add("name = " + data.CurrentGroupName);
    add("nloc = " + std::to_string(data.TotalLocusCount()));
    add("");
    for (size_t r = 0; r < 5; ++r) {
        std::string line = ";" + std::string(25, ' ') + "\t";
        for (int i : written) {
            const std::string &name = static_cast<size_t>(i) < data.IndividualNames.size() ? data.IndividualNames[static_cast<size_t>(i)] : std::string();
            line += r < name.size() ? name[r] : ' ';
        }
        add(line);
    }
    for (int k = 0; k < data.GroupCount(); ++k) {
        add("");
        add(";name=" + data.GroupName(k));
        add(";nloc=" + std::to_string(data.GroupLocusCount(k)));
        for (const Tlocinfo &locus : data.GroupLoci(k)) {
            std::string line = formatText("%-25.25s", {locus.Name}) + "\t";
            for (size_t w = 0; w < written.size(); ++w) {
                if (unknown[w])
                    line += unknownCode;
                else
                    line += data.Genotype(locus, written[w]);
            }
            add(line);
        }
    }
    return text;
}

std::string LocusFileExport::write(const std::string &chosenPath, bool unselectedAsUnknown)
{
    const std::string path = replaceExtensionAtFirstDot(chosenPath, ".loc");
    if (!writeFileReplacing(path, fileText(mData, unselectedAsUnknown), mUi))
        return {};
    mUi.information(savedMessage(path));
    return path;
}

std::string LocusFileExport::ExportLocusFile()
{
    if (mData.GroupCount() == 0)
        return {};
    const std::string chosen = mUi.saveFileName("Export as locus data", DialogFilter, {});
    if (chosen.empty())
        return {};
    const bool unselectedAsUnknown = mData.Selectionyesno && mUi.question(UserInterface::MessageKind::Information, unselectedQuestion());
    return write(chosen, unselectedAsUnknown);
}

} // namespace rvk
