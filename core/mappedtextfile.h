#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace rvk {

// Memory for file text: anonymous pages, backed by large pages where the system offers them
// (each small page the system must map costs more than reading its bytes). Grows on request;
// never throws: a request the system refuses returns false.
class TextBuffer
{
public:
    TextBuffer() = default;
    ~TextBuffer();
    TextBuffer(const TextBuffer &) = delete;
    TextBuffer &operator=(const TextBuffer &) = delete;

    // Room for at least size bytes, keeping the first keep bytes.
    bool reserve(size_t size, size_t keep = 0);
    char *data() const { return mData; }
    // Gives the pages wholly before upTo back to the system (they read as zeros afterwards).
    void release(const char *upTo);
    size_t capacity() const { return mCapacity; }

private:
    char *mData = nullptr;
    size_t mCapacity = 0;
};

// A data file's bytes, read in passes with plain reads: a survey of the whole file in pieces,
// every line in order, or a range or all of it into memory. Nothing is mapped: the text of a file
// much larger than the data it holds is never in memory at once unless asked for whole.
class MappedTextFile
{
public:
    MappedTextFile() = default;
    ~MappedTextFile();
    MappedTextFile(const MappedTextFile &) = delete;
    MappedTextFile &operator=(const MappedTextFile &) = delete;

    // Opens path and surveys it (see below); returns false with a message in errorText when the
    // file cannot be read.
    bool open(const std::string &path, std::string *errorText);
    long long size() const { return mSize; }

    // What one pass over the whole file found. The pass stops at the first NUL byte.
    bool looksLikeText() const { return !mHasNul; }
    // Whether the text contains "nchrom" (lower case): a multi-group file.
    bool hasNchrom() const { return mHasNchrom; }
    // Lines end at LF (a CR before it is trailing matter), or at CR in a file without any LF.
    char lineSeparator() const { return mHasLineFeed ? '\n' : '\r'; }
    long long lineFeeds() const { return mLineFeeds; }

    // Reads the whole file; text() is then its bytes.
    bool readAll(std::string *errorText);
    std::string_view text() const { return {mWhole.data(), mWholeSize}; }

    // Reads the bytes [begin, end) into memory that the next call reuses.
    bool readRange(long long begin, long long end, std::string_view &out, std::string *errorText);

    // Gives the memory of the last range read back to the system up to (not including) the
    // large page that holds upTo; the bytes before it must not be read again. Nothing happens
    // for a pointer outside that range.
    void releaseRangeBefore(const char *upTo);

    // Calls visit(line, begin, next) for every line of the file in order, cut as splitLines cuts
    // them (byte-order mark, line ends and trailing blanks and control characters dropped):
    // begin is the file offset of the line's first byte, next that of the following line. The
    // view lasts until visit returns.
    bool forEachLine(const std::function<void(std::string_view, long long, long long)> &visit, std::string *errorText);

    // The longest line a pass will hold.
    static constexpr size_t MaxLineBytes = size_t{512} << 20;

private:
    bool survey(std::string *errorText);
    bool readAt(long long offset, char *to, size_t length, std::string *errorText);

    int mFile = -1;
    std::string mPath;
    long long mSize = 0;
    bool mHasNul = false;
    bool mHasNchrom = false;
    bool mHasLineFeed = false;
    long long mLineFeeds = 0;
    TextBuffer mWhole;
    size_t mWholeSize = 0;
    TextBuffer mPiece;
    size_t mRangeSize = 0;
};

} // namespace rvk
