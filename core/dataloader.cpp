#include "core/dataloader.h"

#include "core/datafilereader.h"
#include "core/mappedtextfile.h"
#include "core/readexception.h"
#include "core/textlines.h"

#include <filesystem>

namespace rvk {

namespace {

std::string fileNameOf(const std::string &path) { return std::filesystem::path(path).filename().string(); }

// Keeps the busy cursor and the progress bar honest whichever way a load ends.
class BusyScope
{
public:
    explicit BusyScope(UserInterface &ui) : mUi(ui) { mUi.setBusy(true); }
    ~BusyScope()
    {
        mUi.setBusy(false);
        mUi.setProgress(0, 0);
    }

private:
    UserInterface &mUi;
};

// Opens a file and looks it through once, or throws readexception with a message fit to show.
void openText(MappedTextFile &file, const std::string &path)
{
    std::string error;
    if (!file.open(path, &error))
        throw readexception(error);
    if (!file.looksLikeText())
        throw readexception(fileNameOf(path) + " is not a text file");
}

// The whole text of an opened file, for reading it as one group.
std::string_view wholeText(MappedTextFile &file)
{
    std::string error;
    if (!file.readAll(&error))
        throw readexception(error);
    return file.text();
}

} // namespace

DataLoader::DataLoader(GenotypeData &data, UserInterface &ui) : mData(data), mUi(ui) {}

std::string DataLoader::settingsNameFor(const std::string &dataFilePath)
{
    const std::filesystem::path path(dataFilePath);
    std::string name = path.filename().string();
    name = name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
    return (path.parent_path() / (name + ".rvs")).string();
}

std::string DataLoader::fileFailedMessage(const std::string &fileName)
{
    return fileName + " The file could not be opened because of errors, please check it";
}

void DataLoader::Reset() { mData.Reset(); }

LoadOutcome DataLoader::OpenFiles(const std::vector<std::string> &paths)
{
    LoadOutcome outcome;
    outcome.groupsBefore = mData.GroupCount();
    if (paths.empty())
        return outcome;
    BusyScope busy(mUi);
    DataFileReader reader(mData, mUi);

    // After every group: the loader's share of registering it.
    auto finishLoad = [&] {
        mData.LastIndividual = mData.nind;
        mData.CurrentIndividual = 1;
        mData.TickAll();
        mData.DataLoaded = true;
        mData.MarkerGridStale = true;
    };

    MappedTextFile first;
    bool multiGroup = false;
    if (paths.size() == 1 && platformFormatOf(paths[0]) != PlatformFormat::None) {
        mDefaultSettingsName = settingsNameFor(paths[0]);
        if (!openPlatformFile(paths[0], outcome, finishLoad))
            return outcome;
        outcome.rememberedFile = paths[0];
    } else if (paths.size() == 1) {
        try {
            openText(first, paths[0]);
        } catch (const readexception &error) {
            mUi.warning(error.what());
            mUi.warning(fileFailedMessage(paths[0]));
            mData.CurrentFilePath = paths[0];
            outcome.failedFile = paths[0];
            return outcome;
        }
        multiGroup = first.hasNchrom();
    }

    if (multiGroup) {
        outcome.multiGroupFile = true;
        try {
            reader.ReadMultiGroupFile(
                first,
                [&] {
                    SortGroupByPosition(mData.LinkageGroups.back()->Loci);
                    outcome.usedCodes |= reader.usedCodes();
                    ++outcome.groupsAdded;
                },
                [&](long long position, long long maximum) { mUi.setProgress(position, maximum); });
        } catch (const std::exception &error) {
            // The groups read before the failing block stay; the error is shown with its own text.
            outcome.usedCodes |= reader.usedCodes();
            if (outcome.groupsAdded > 0)
                finishLoad();
            outcome.failedFile = paths[0];
            mUi.error(error.what());
            return outcome;
        }
        if (outcome.groupsAdded == 0) {
            outcome.failedFile = paths[0];
            mUi.error("No linkage group found in " + paths[0]);
            return outcome;
        }
        finishLoad();
        mData.CurrentFilePath = paths[0];
        outcome.captionPath = paths[0];
        mDefaultSettingsName = settingsNameFor(paths[0]);
        outcome.rememberedFile = paths[0];
    } else if (paths.size() > 1 || platformFormatOf(paths[0]) == PlatformFormat::None) {
        for (size_t i = 0; i < paths.size(); ++i) {
            const std::string &path = paths[i];
            mData.CurrentFilePath = path;
            if (i == 0)
                mDefaultSettingsName = settingsNameFor(path);
            if (platformFormatOf(path) != PlatformFormat::None) {
                if (!openPlatformFile(path, outcome, finishLoad))
                    return outcome;
                continue;
            }
            try {
                MappedTextFile file;
                MappedTextFile &text = paths.size() == 1 ? first : file;
                if (paths.size() > 1)
                    openText(file, path);
                const std::string_view whole = wholeText(text);
                reader.setSourceText(whole);
                reader.ReadGroup(splitLines(whole));
            } catch (const std::exception &error) {
                // Errors the reader has not shown yet (limits, unreadable files) are told before
                // the message that names the file; a header count or position that is not a
                // number is reported by that one message.
                const auto *read = dynamic_cast<const readexception *>(&error);
                if (!read || (!read->shown() && !read->conversionError()))
                    mUi.warning(error.what());
                mUi.warning(fileFailedMessage(path));
                outcome.failedFile = path;
                return outcome;
            }
            LinkageGroup &group = *mData.LinkageGroups.back();
            group.FileName = fileNameOf(path);
            SortGroupByPosition(group.Loci);
            outcome.usedCodes |= reader.usedCodes();
            ++outcome.groupsAdded;
            finishLoad();
        }
    }

    outcome.completed = true;
    outcome.aliasSection = reader.aliasSectionSeen();
    const std::string settings = mDefaultSettingsName;
    if (!settings.empty() && std::filesystem::is_regular_file(settings))
        outcome.dataSetSettings = settings;
    return outcome;
}

bool DataLoader::openPlatformFile(const std::string &path, LoadOutcome &outcome, const std::function<void()> &finishLoad)
{
    const std::string name = fileNameOf(path);
    PlatformReadHooks hooks;
    hooks.progress = [this](long long position, long long maximum) { mUi.setProgress(position, maximum); };
    hooks.cancelRequested = mCancelCheck;
    PlatformData read;
    try {
        read = readPlatformFile(path, mPlatformOptions, hooks);
        if (!read.cancelled) {
            const int samples = static_cast<int>(read.samples.size());
            if (mData.GroupCount() > 0 && (samples != mData.nind || mData.IsCrossPollinator()))
                throw readexception(name + " has " + std::to_string(samples) + " samples, the loaded data have "
                                    + std::to_string(mData.nind) + " individuals (population type " + mData.popt
                                    + "): close the loaded data first");
            if (mData.GroupCount() + static_cast<int>(read.groups.size()) > GenotypeData::MaxGroups)
                throw readexception(name + " has sites on " + std::to_string(read.groups.size())
                                    + " chromosomes; RVK holds at most " + std::to_string(GenotypeData::MaxGroups)
                                    + " linkage groups: choose a region, or fewer chromosomes");
        }
    } catch (const std::exception &error) {
        mUi.setProgress(0, 0);
        mUi.warning(error.what());
        mUi.warning(fileFailedMessage(path));
        outcome.failedFile = path;
        return false;
    }
    mUi.setProgress(0, 0);
    if (read.cancelled) {
        outcome.cancelled = true;
        outcome.failedFile = path;
        return false;
    }

    // Nothing of the file is in the data set before this point.
    if (mData.GroupCount() == 0)
        mData.IndividualNames = read.samples;
    mData.nind = static_cast<int>(read.samples.size());
    mData.popt = read.popt;
    mData.IndividualNumbers.clear();
    for (int i = 1; i <= mData.nind; ++i)
        mData.IndividualNumbers.push_back(i);
    for (LinkageGroup &group : read.groups) {
        for (const Tlocinfo &locus : group.Loci)
            for (char code : locus.Genotypes)
                if (isGenotypeCode(code))
                    outcome.usedCodes.set(static_cast<size_t>(codeIndex(code)));
        group.FileName = name;
        SortGroupByPosition(group.Loci);
        mData.CurrentGroupName = group.Name;
        mData.nloc = static_cast<int>(group.Loci.size());
        mData.AppendGroup(std::move(group));
        ++outcome.groupsAdded;
    }
    finishLoad();
    mData.CurrentFilePath = path;
    outcome.captionPath = path;
    const std::string summary = read.report.summary(name);
    if (!summary.empty())
        mUi.information(summary);
    return true;
}

} // namespace rvk
