#include "core/datafilereader.h"

#include "core/codecollector.h"
#include "core/mappedtextfile.h"
#include "core/phases.h"
#include "core/readexception.h"
#include "core/textformat.h"
#include "core/textlines.h"

#include <algorithm>
#include <array>
#include <optional>
#include <climits>
#include <cstdint>
#include <cstring>

#if defined(__GLIBC__) && defined(__linux__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace rvk {

namespace {

// Whether text holds "ALIAS": looks for the rare "L" first, since "A" is a common code.
bool containsAliasWord(std::string_view text)
{
    const char *p = text.data();
    const char *end = p + text.size();
    while ((p = static_cast<const char *>(std::memchr(p, 'L', static_cast<size_t>(end - p)))) != nullptr) {
        if (p > text.data() && end - p >= 4 && p[-1] == 'A' && p[1] == 'I' && p[2] == 'A' && p[3] == 'S')
            return true;
        ++p;
    }
    return false;
}

// Room for exactly the codes a record needs, so that no locus carries slack; a header that asks
// for an absurd count only gets room as the codes actually arrive.
void reserveCodes(std::string &codes, size_t target)
{
    if (target <= (size_t{1} << 26))
        codes.reserve(target);
}

// The line that opens the alias section: where a record should start instead, the header
// promised more records than the file holds.
bool isAliasLine(std::string_view line)
{
    std::string_view token = line;
    while (!token.empty() && (token.front() == ' ' || token.front() == '\t'))
        token.remove_prefix(1);
    token = token.substr(0, std::min(token.find(' '), token.find('\t')));
    return toLower(token) == "alias";
}

// A line of the names section, whole: only the line end (LF, CR LF or CR) is dropped, the
// blanks the line splitter trims are given back when the source text is known.
std::string_view untrimmedLine(std::string_view line, std::string_view source)
{
    if (source.empty() || line.data() < source.data() || line.data() + line.size() > source.data() + source.size())
        return line;
    const char *end = line.data() + line.size();
    const char *sourceEnd = source.data() + source.size();
    while (end < sourceEnd && *end != '\n' && *end != '\r')
        ++end;
    return {line.data(), static_cast<size_t>(end - line.data())};
}

// The codes of a group are one allocation per locus, tens of thousands of them in a row. Where
// mapping each fresh small page is dear (in virtual machines above all), growing the heap page by
// page costs more than reading the file; so before a large group the heap is asked to grow by
// what the group's codes will take at once, and that stretch is marked for large pages. Nothing
// changes where the system offers no large pages.
class HeapGrowth
{
public:
    explicit HeapGrowth(size_t bytes)
    {
#if defined(__GLIBC__) && defined(__linux__) && defined(MADV_HUGEPAGE)
        if (bytes < MinBytes)
            return;
        mStart = reinterpret_cast<uintptr_t>(sbrk(0));
        mallopt(M_TOP_PAD, static_cast<int>(std::min<size_t>(bytes, INT_MAX / 2)));
        mActive = true;
#else
        (void)bytes;
#endif
    }
    ~HeapGrowth() { finish(); }
    HeapGrowth(const HeapGrowth &) = delete;
    HeapGrowth &operator=(const HeapGrowth &) = delete;

    // Called after each allocation: once the heap has grown, marks the new stretch.
    void afterAllocation()
    {
#if defined(__GLIBC__) && defined(__linux__) && defined(MADV_HUGEPAGE)
        if (!mActive)
            return;
        const uintptr_t end = reinterpret_cast<uintptr_t>(sbrk(0));
        if (end > mStart && end - mStart >= MinBytes) {
            const uintptr_t first = (mStart + LargePage - 1) / LargePage * LargePage;
            const uintptr_t last = end / LargePage * LargePage;
            if (last > first)
                madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
            finish();
        }
#endif
    }

private:
    void finish()
    {
#if defined(__GLIBC__) && defined(__linux__) && defined(MADV_HUGEPAGE)
        if (mActive)
            mallopt(M_TOP_PAD, DefaultTopPad);
        mActive = false;
#endif
    }

    static constexpr size_t MinBytes = size_t{4} << 20;
    static constexpr uintptr_t LargePage = uintptr_t{2} << 20;
    static constexpr int DefaultTopPad = 128 * 1024;
    uintptr_t mStart = 0;
    bool mActive = false;
};

// The same for one large block of memory not yet touched, such as a group's locus list.
template <typename T>
void adviseLargePages(const std::vector<T> &untouched)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr uintptr_t LargePage = uintptr_t{2} << 20;
    const auto begin = reinterpret_cast<uintptr_t>(untouched.data());
    const uintptr_t first = (begin + LargePage - 1) / LargePage * LargePage;
    const uintptr_t last = (begin + untouched.capacity() * sizeof(T)) / LargePage * LargePage;
    if (last > first)
        madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
#else
    (void)untouched;
#endif
}

// What a group's codes will take on the heap: at most what its lines hold, and a chunk header
// and the text's end per locus.
size_t expectedCodeBytes(const std::vector<std::string_view> &lines, size_t loci, size_t codesPerLocus)
{
    size_t text = 0;
    for (std::string_view line : lines)
        text += line.size();
    constexpr size_t PerLocus = 32;
    return std::min(loci * (codesPerLocus + PerLocus), text + loci * PerLocus);
}

std::string notAnInteger(std::string_view text) { return "'" + std::string(text) + "' is not a valid integer value"; }
std::string notAFloat(std::string_view text) { return "'" + std::string(text) + "' is not a valid floating point value"; }

// Splits key=value at the first "=" and returns both lower-cased without blanks.
std::pair<std::string, std::string> splitHeaderLine(std::string_view line)
{
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return {std::string(), toLower(removeBlanks(line))};
    return {toLower(removeBlanks(line.substr(0, eq))), toLower(removeBlanks(line.substr(eq + 1)))};
}

int headerInteger(const std::string &value)
{
    const auto number = parseInteger(value);
    if (!number || *number < 0 || *number > 100'000'000)
        throw readexception::conversion(notAnInteger(value));
    return static_cast<int>(*number);
}

// Annotations at the front of a record's text: "<...>" (segregation type), "{...}" (phase) and
// "(...)" (free text). Each bracketed text is cut out; segregation and free annotations are
// appended to the name after one blank.
using AnnotationResult = DataFileReader::AnnotationResult;

void extractAnnotations(std::string &text, Tlocinfo &locus, bool storePhase, AnnotationResult &result)
{
    auto cut = [&](char open, char close) -> std::optional<std::string> {
        const size_t c = text.find(close);
        if (c == std::string::npos)
            return std::nullopt;
        const size_t o = text.find(open);
        const size_t start = o == std::string::npos ? 0 : o;
        std::string annotation = text.substr(start, c + 1);
        text = removeBlanks(std::string_view(text).substr(c + 1));
        return annotation;
    };
    if (auto segregation = cut('<', '>')) {
        locus.Name += " " + *segregation;
        result.segregationFound = true;
        result.segregation = *segregation;
    }
    if (auto phase = cut('{', '}')) {
        if (storePhase)
            locus.setPhase(*phase);
    }
    if (auto free = cut('(', ')'))
        locus.Name += " " + *free;
}

} // namespace

// The reader's view of the lines: taking the next line, and the header's rule that an exhausted
// text keeps giving its last line.
class DataFileReader::LineCursor
{
public:
    explicit LineCursor(const std::vector<std::string_view> &lines) : mLines(lines) {}

    bool next(std::string_view &line)
    {
        if (mIndex >= mLines.size())
            return false;
        line = mLines[mIndex++];
        mCurrent = line;
        return true;
    }
    std::string_view nextOrCurrent()
    {
        std::string_view line;
        return next(line) ? line : mCurrent;
    }
    bool atEnd() const { return mIndex >= mLines.size(); }
    std::string_view currentLine() const { return mCurrent; }

private:
    const std::vector<std::string_view> &mLines;
    size_t mIndex = 0;
    std::string_view mCurrent;
};

DataFileReader::DataFileReader(GenotypeData &data, UserInterface &ui) : mData(data), mUi(ui) {}

std::string DataFileReader::locusWarning(const std::string &name) { return "Error encountered when reading locus: " + name; }
std::string DataFileReader::locusError(const std::string &name) { return "Error in locus " + name; }
std::string DataFileReader::nlocWarning(int nloc) { return "Error found, \"Nloc=" + std::to_string(nloc) + "\" parameter not correct"; }
std::string DataFileReader::nlocError() { return "Error in \"nloc=\" parameter"; }

void DataFileReader::failLocus(const std::string &name)
{
    mUi.warning(locusWarning(name));
    throw readexception(locusError(name), true);
}

void DataFileReader::failRecordCount()
{
    mUi.warning(nlocWarning(mData.nloc));
    throw readexception(nlocError(), true);
}

bool DataFileReader::isMultiGroupText(std::string_view text)
{
    return text.find("nchrom") != std::string_view::npos;
}

void DataFileReader::readHeader(LineCursor &cursor)
{
    for (int i = 0; i < 4; ++i) {
        const auto [key, value] = splitHeaderLine(cursor.nextOrCurrent());
        if (key == "nloc")
            mData.nloc = headerInteger(value);
        else if (key == "nind") {
            mData.nind = headerInteger(value);
            // Every individual gets a name at once, whatever the records hold: a typing error of
            // a few digits must not make the reader take gigabytes.
            if (mData.nind > MaxIndividuals)
                throw readexception("The file says nind=" + std::to_string(mData.nind) + "; RVK reads at most "
                                    + std::to_string(MaxIndividuals) + " individuals");
        }
        else if (key == "name")
            mData.CurrentGroupName = value;
        else if (key == "popt")
            mData.popt = value;
    }
}

void DataFileReader::readGenericRecord(LineCursor &cursor, Tlocinfo &locus, CodeCollector &collector)
{
    std::string_view line;
    if (!cursor.next(line) || isAliasLine(line))
        failRecordCount();
    locus.Name = cutToken(line);
    const std::string position = removeBlanks(cutToken(line));
    std::string_view p = position, s, e;
    const size_t slash = p.find('/');
    if (slash != std::string_view::npos) {
        std::string_view remainder = p.substr(slash + 1);
        p = p.substr(0, slash);
        const size_t second = remainder.find('/');
        if (second != std::string_view::npos) {
            s = remainder.substr(0, second);
            e = remainder.substr(second + 1);
        } else {
            e = remainder;
        }
        locus.QtlStart = parseDecimal(s).value_or(-1.0);
        locus.QtlEnd = parseDecimal(e).value_or(-1.0);
    } else {
        locus.QtlStart = locus.QtlEnd = 0.0;
    }
    locus.Position = parseDecimal(p).value_or(-1.0);

    collectCodes(cursor, locus, line, static_cast<size_t>(mData.nind), false, collector);
}

void DataFileReader::readCrossPollinatorRecord(LineCursor &cursor, Tlocinfo &locus, CodeCollector &collector)
{
    std::string_view line;
    if (!cursor.next(line) || isAliasLine(line))
        failRecordCount();
    locus.Name = cutToken(line);
    const std::string position = removeBlanks(cutToken(line));
    const auto value = parseDecimal(position);
    if (!value)
        throw readexception::conversion(notAFloat(position));
    locus.Position = *value;
    locus.QtlStart = locus.QtlEnd = 0.0;

    const AnnotationResult annotations = collectCodes(cursor, locus, line, 2 * static_cast<size_t>(mData.nind), true, collector);
    if (annotations.segregationFound && annotations.segregation.size() == 7)
        locus.setSegType(toLower(annotations.segregation));
}

// The codes of a record: the first line's rest (cut at ";", annotations taken off), then
// continuation lines until exactly target codes are there. Cross-pollinator continuation lines
// may carry annotations too; a phase found there is dropped.
DataFileReader::AnnotationResult DataFileReader::collectCodes(LineCursor &cursor, Tlocinfo &locus, std::string_view firstRest, size_t target,
                                              bool crossPollinator, CodeCollector &collector)
{
    std::string rest = removeBlanks(firstRest);
    const size_t semicolon = rest.find(';');
    if (semicolon != std::string::npos)
        rest.resize(semicolon);
    AnnotationResult annotations;
    extractAnnotations(rest, locus, true, annotations);

    std::string &codes = locus.Genotypes;
    codes.clear();
    reserveCodes(codes, target);
    collector.append(codes, rest);
    std::string_view line;
    std::string annotated;
    while (codes.size() != target) {
        if (codes.size() > target || !cursor.next(line))
            failLocus(locus.Name);
        std::string_view text = line;
        if (crossPollinator) {
            annotated.assign(line);
            extractAnnotations(annotated, locus, false, annotations);
            text = annotated;
            if (text.find("ALIAS") != std::string_view::npos)
                failRecordCount();
        }
        const size_t start = codes.size();
        collector.append(codes, text);
        const std::string_view added = std::string_view(codes).substr(start);
        if (!crossPollinator && containsAliasWord(added))
            failRecordCount();
        // The first code of a continuation line must be a code as written, not one stored as "U".
        const size_t firstCode = text.find_first_not_of(" \t");
        if (added.empty() || firstCode == std::string_view::npos || !isGenotypeCode(text[firstCode]))
            failLocus(locus.Name);
    }
    return annotations;
}

void DataFileReader::readNames(LineCursor &cursor, std::vector<std::string> &candidates)
{
    if (mData.IndividualNames.empty())
        for (int i = 1; i <= mData.nind; ++i)
            mData.IndividualNames.push_back(std::to_string(i));
    mData.IndividualNumbers.clear();
    for (int i = 1; i <= mData.nind; ++i)
        mData.IndividualNumbers.push_back(i);

    std::string_view line;
    if (cursor.next(line)) {
        const std::string first = cutToken(line);
        if (toLower(first) == "alias") {
            mData.IndividualNames.clear();
            mAliasSeen = true;
            for (int i = 0; i < mData.nind; ++i) {
                if (line.empty() && !cursor.next(line)) {
                    mData.IndividualNames.resize(static_cast<size_t>(mData.nind));
                    break;
                }
                mData.IndividualNames.push_back(cutToken(line));
            }
        }
    }
    if (static_cast<int>(candidates.size()) == mData.nind)
        mData.IndividualNames = std::move(candidates);
    for (size_t i = 0; i < mData.IndividualNames.size(); ++i)
        mData.SelectedIndices.push_back(static_cast<int>(i));
}

void DataFileReader::ReadGroup(std::vector<std::string_view> lines)
{
    // Line filtering: blank lines and comment lines go.
    std::erase_if(lines, [](std::string_view line) { return isBlankOnly(line) || line.front() == ';'; });

    // A names section, one name per line, runs from the last "individual names" line to the end.
    std::vector<std::string> candidates;
    for (size_t i = mNamesSectionPossible ? lines.size() : 0; i-- > 1;) {
        if (containsNoCase(lines[i], "individual names")) {
            for (size_t j = i + 1; j < lines.size(); ++j)
                candidates.emplace_back(untrimmedLine(lines[j], mSourceText));
            lines.resize(i);
            break;
        }
    }

    if (lines.empty())
        throw readexception("The file holds no data");

    // A failed group leaves the data set as it was before the call.
    const int oldNind = mData.nind, oldNloc = mData.nloc;
    const std::string oldPopt = mData.popt, oldName = mData.CurrentGroupName;
    try {
        LineCursor cursor(lines);
        readHeader(cursor);
        if (mData.GroupCount() >= GenotypeData::MaxGroups)
            throw readexception("RVK holds at most " + std::to_string(GenotypeData::MaxGroups)
                                + " linkage groups: the group " + mData.CurrentGroupName + " cannot be added");
        if (mData.GroupCount() > 0 && (mData.nind != oldNind || (mData.popt == "cp") != (oldPopt == "cp")))
            throw readexception("The group " + mData.CurrentGroupName + " has " + std::to_string(mData.nind)
                                + " individuals (population type " + mData.popt + "), the loaded data have "
                                + std::to_string(oldNind) + " (population type " + oldPopt
                                + "): close the loaded data first");

        const bool crossPollinator = mData.popt == "cp";
        LinkageGroup group;
        group.Name = mData.CurrentGroupName;
        group.PopType = mData.popt;
        group.Loci.reserve(std::min<size_t>(static_cast<size_t>(mData.nloc), lines.size()));
        adviseLargePages(group.Loci);
        CodeCollector collector;
        const size_t loci = std::min<size_t>(static_cast<size_t>(mData.nloc), lines.size());
        HeapGrowth growth(expectedCodeBytes(lines, loci, static_cast<size_t>(mData.nind) * (crossPollinator ? 2 : 1)));
        for (int k = 0; k < mData.nloc; ++k) {
            Tlocinfo &locus = group.Loci.emplace_back();
            if (crossPollinator)
                readCrossPollinatorRecord(cursor, locus, collector);
            else
                readGenericRecord(cursor, locus, collector);
            growth.afterAllocation();
            if (mTextConsumed && k % 256 == 255)
                mTextConsumed(cursor.currentLine().data());
            // A group read on its own tells how far it is (a block of a multi-group file is
            // counted by the file's reading instead).
            if (mReportLoci && k % 4096 == 4095)
                mUi.setProgress(k + 1, mData.nloc);
        }
        const CodeSet used = collector.usedCodes();
        CompletePhases(group.Loci, mData.popt);
        mData.AppendGroup(std::move(group));
        mUsed |= used;
        readNames(cursor, candidates);
    } catch (...) {
        mData.nind = oldNind;
        mData.nloc = oldNloc;
        mData.popt = oldPopt;
        mData.CurrentGroupName = oldName;
        throw;
    }
}

// The rules that cut a multi-group text into blocks, one line at a time: a line holding "nind" or
// "popt" is remembered and dropped, one holding "nchrom", a comment line and a blank line are
// dropped, a line holding "name" ends the block before it (read when it kept more than one line)
// and starts a new one, which it belongs to unless it is dropped.
class DataFileReader::BlockCutter
{
public:
    struct Step
    {
        bool endsBlock = false; // the line starts a new block
        bool readEnded = false; // the block it ends is to be read
        bool kept = false;      // the line belongs to its block
    };

    Step take(std::string_view line) { return take(line, classifyHeaderWords(line)); }
    Step take(std::string_view line, unsigned words)
    {
        if (words & HasNind)
            mNindLine.assign(line);
        else if (words & HasPopt)
            mPoptLine.assign(line);
        Step step;
        step.kept = !dropped(line, words);
        if (words & HasName) {
            step.endsBlock = true;
            step.readEnded = mKept > 1;
            mKept = 0;
        }
        if (step.kept)
            ++mKept;
        return step;
    }
    // Whether the block now open holds lines to read at the end of the text.
    bool blockOpen() const { return mKept > 0; }
    const std::string &poptLine() const { return mPoptLine; }
    const std::string &nindLine() const { return mNindLine; }

    static bool dropped(std::string_view line, unsigned words)
    {
        return (words & (HasNind | HasPopt | HasNchrom)) != 0 || isBlankOnly(line) || line.front() == ';';
    }

private:
    std::string mNindLine, mPoptLine;
    size_t mKept = 0;
};

void DataFileReader::SplitMultiGroupFile(const std::vector<std::string_view> &lines, const std::function<void()> &afterGroup,
                                         const std::function<void(long long, long long)> &progress)
{
    BlockCutter cutter;
    std::vector<std::string_view> block;
    auto readBlock = [&] {
        std::vector<std::string_view> withHeader;
        withHeader.reserve(block.size() + 2);
        withHeader.push_back(cutter.poptLine());
        withHeader.push_back(cutter.nindLine());
        withHeader.insert(withHeader.end(), block.begin(), block.end());
        mReportLoci = false;
        try {
            ReadGroup(std::move(withHeader));
        } catch (...) {
            mReportLoci = true;
            throw;
        }
        mReportLoci = true;
        if (mReleaser && !block.empty())
            mReleaser(block.front().data(), block.back().data() + block.back().size());
        if (afterGroup)
            afterGroup();
    };
    const long long count = static_cast<long long>(lines.size());
    const long long step = std::max<long long>(1, count / 100);
    for (long long i = 0; i < count; ++i) {
        if (progress && i % step == 0)
            progress(i, count - 1);
        const std::string_view line = lines[static_cast<size_t>(i)];
        const BlockCutter::Step cut = cutter.take(line);
        if (cut.endsBlock) {
            if (cut.readEnded)
                readBlock();
            block.clear();
        }
        if (cut.kept)
            block.push_back(line);
    }
    if (!block.empty())
        readBlock();
    if (progress)
        progress(count > 0 ? count - 1 : 0, count > 0 ? count - 1 : 0);
}

void DataFileReader::ReadMultiGroupFile(MappedTextFile &file, const std::function<void()> &afterGroup,
                                        const std::function<void(long long, long long)> &progress)
{
    // First pass: where each block lies in the file and the popt and nind lines it is read with,
    // which of its lines are dropped for the key words they hold (blank and comment lines the
    // group reader drops itself), and whether one of its lines opens a names section. So the
    // second pass looks at no line twice.
    struct Block
    {
        long long begin = 0, end = 0;
        std::string poptLine, nindLine;
        std::vector<long long> dropped; // file offsets of the lines dropped for their key words
        bool namesSection = false;
    };
    std::vector<Block> blocks;
    BlockCutter cutter;
    std::vector<long long> dropped;
    bool namesSection = false;
    long long blockBegin = 0, lineNumber = 0;
    // Progress runs once from 0 to twice the line count: the first pass by lines, the second by
    // the share of the file's bytes read.
    const long long count = file.lineFeeds() + 1;
    const long long total = 2 * count;
    const long long step = std::max<long long>(1, count / 100);
    std::string error;
    const bool scanned = file.forEachLine(
        [&](std::string_view line, long long begin, long long) {
            if (progress && lineNumber % step == 0)
                progress(std::min(lineNumber, count - 1), total);
            ++lineNumber;
            const unsigned words = classifyBlockLine(line);
            const BlockCutter::Step cut = cutter.take(line, words);
            if (cut.endsBlock) {
                if (cut.readEnded)
                    blocks.push_back({blockBegin, begin, cutter.poptLine(), cutter.nindLine(), std::move(dropped), namesSection});
                dropped.clear();
                namesSection = false;
                blockBegin = begin;
            }
            if (!cut.kept && (words & (HasNind | HasPopt | HasNchrom)))
                dropped.push_back(begin);
            if (cut.kept && (words & HasIndividualNames))
                namesSection = true;
        },
        &error);
    if (!scanned)
        throw readexception(error);
    if (cutter.blockOpen())
        blocks.push_back({blockBegin, file.size(), cutter.poptLine(), cutter.nindLine(), std::move(dropped), namesSection});
    if (progress)
        progress(count, total);

    // Second pass: each block's bytes, its lines less the dropped ones, read as one group.
    std::vector<std::string_view> pieces;
    for (size_t b = 0; b < blocks.size(); ++b) {
        const Block &block = blocks[b];
        std::string_view text;
        if (!file.readRange(block.begin, block.end, text, &error))
            throw readexception(error);
        const char *const blockStart = text.data();
        if (block.begin == 0 && startsWithByteOrderMark(text))
            text.remove_prefix(3);
        pieces.clear();
        splitLinesAt(text, file.lineSeparator(), pieces);
        std::vector<std::string_view> lines;
        lines.reserve(pieces.size() + 2);
        lines.push_back(block.poptLine);
        lines.push_back(block.nindLine);
        auto nextDropped = block.dropped.begin();
        for (std::string_view line : pieces) {
            // The first pass saw a line that starts after the byte-order mark at offset 0.
            long long offset = block.begin + (line.data() - blockStart);
            if (offset == 3 && text.data() != blockStart)
                offset = 0;
            if (nextDropped != block.dropped.end() && *nextDropped == offset) {
                ++nextDropped;
                continue;
            }
            lines.push_back(line);
        }
        setSourceText(text);
        mNamesSectionPossible = block.namesSection;
        mReportLoci = false;
        // The text of the last block is let go as its records are read: nothing reads it again,
        // and the codes are all in memory by then.
        if (b + 1 == blocks.size())
            mTextConsumed = [&file](const char *upTo) { file.releaseRangeBefore(upTo); };
        try {
            ReadGroup(std::move(lines));
        } catch (...) {
            mNamesSectionPossible = true;
            mReportLoci = true;
            mTextConsumed = nullptr;
            throw;
        }
        mNamesSectionPossible = true;
        mReportLoci = true;
        mTextConsumed = nullptr;
        if (afterGroup)
            afterGroup();
        if (progress && file.size() > 0)
            progress(count + static_cast<long long>(static_cast<double>(count) * static_cast<double>(block.end) / static_cast<double>(file.size())), total);
    }
}

} // namespace rvk
