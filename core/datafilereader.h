#pragma once

#include "core/genotypecodes.h"
#include "core/genotypedata.h"
#include "core/userinterface.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rvk {

// Turns the text of a data file (.rvk) into linkage groups of the data set. A file holds one
// group, or several when it carries the key "nchrom"; each call appends groups and never clears
// the data set. Malformed text raises readexception after the reader's own warning.
class CodeCollector;
class MappedTextFile;

class DataFileReader
{
public:
    DataFileReader(GenotypeData &data, UserInterface &ui);

    // Reads one single-group text (a whole file, or one block of a multi-group file with its two
    // inserted header lines) and appends one group. lines are views into text that outlives the
    // call.
    void ReadGroup(std::vector<std::string_view> lines);

    // Cuts a multi-group text into blocks and reads each; afterGroup runs after every block read,
    // in file order. progress(line, lineCount) reports the scan now and then.
    void SplitMultiGroupFile(const std::vector<std::string_view> &lines, const std::function<void()> &afterGroup,
                             const std::function<void(long long, long long)> &progress = {});

    // The same cutting and reading straight from a file, in two passes of plain reads: one finds
    // the blocks, the other reads each block's bytes into memory that the next block reuses. So
    // only one block's text is ever in memory. progress(position, maximum) runs once over both
    // passes.
    void ReadMultiGroupFile(MappedTextFile &file, const std::function<void()> &afterGroup,
                            const std::function<void(long long, long long)> &progress = {});

    // Called with the text range of every block once it has been read, so the caller can let the
    // memory of a mapped file go.
    void setTextReleaser(std::function<void(const char *, const char *)> releaser) { mReleaser = std::move(releaser); }

    // The whole text the lines given to ReadGroup and SplitMultiGroupFile are views of. Names
    // in a names section are then taken whole, with their trailing blanks.
    void setSourceText(std::string_view text) { mSourceText = text; }

    // Whether text holds several groups (contains "nchrom" in lower case).
    static bool isMultiGroupText(std::string_view text);

    // Codes seen in every group read so far, for the allele table's Used flags.
    const CodeSet &usedCodes() const { return mUsed; }
    // An "alias" section was read (it switches on sideways labels).
    bool aliasSectionSeen() const { return mAliasSeen; }

    // What the annotations of a record said: the segregation type, when one was given.
    struct AnnotationResult
    {
        bool segregationFound = false;
        std::string segregation;
    };

    // The most individuals a data file may declare.
    static constexpr int MaxIndividuals = 1'000'000;

    // The texts the reader reports.
    static std::string locusWarning(const std::string &name);
    static std::string locusError(const std::string &name);
    static std::string nlocWarning(int nloc);
    static std::string nlocError();

private:
    class LineCursor;
    class BlockCutter;
    void readHeader(LineCursor &cursor);
    void readGenericRecord(LineCursor &cursor, Tlocinfo &locus, CodeCollector &collector);
    void readCrossPollinatorRecord(LineCursor &cursor, Tlocinfo &locus, CodeCollector &collector);
    AnnotationResult collectCodes(LineCursor &cursor, Tlocinfo &locus, std::string_view firstRest, size_t target,
                                  bool crossPollinator, CodeCollector &collector);
    void readNames(LineCursor &cursor, std::vector<std::string> &candidates);
    [[noreturn]] void failLocus(const std::string &name);
    [[noreturn]] void failRecordCount();

    GenotypeData &mData;
    UserInterface &mUi;
    CodeSet mUsed;
    bool mAliasSeen = false;
    std::function<void(const char *, const char *)> mReleaser;
    std::string_view mSourceText;
    // Set while a block of a multi-group file is read: whether a line of it may open a names
    // section (the first pass knows), and where the records read so far end in its text.
    bool mNamesSectionPossible = true;
    bool mReportLoci = true;
    std::function<void(const char *)> mTextConsumed;
};

} // namespace rvk
