#include "core/mappedtextfile.h"

#include "core/textlines.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rvk {

namespace {

constexpr size_t LargePage = size_t{2} << 20;
// The piece a pass reads at a time: large enough for reads to cost little each, small enough to
// stay in the cache while it is scanned.
constexpr size_t PieceBytes = size_t{4} << 20;

} // namespace

TextBuffer::~TextBuffer()
{
    if (mData)
        munmap(mData, mCapacity);
}

bool TextBuffer::reserve(size_t size, size_t keep)
{
    if (size <= mCapacity)
        return true;
    const size_t capacity = (std::max(size, mCapacity + mCapacity / 2) + LargePage - 1) / LargePage * LargePage;
    void *address = mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (address == MAP_FAILED)
        return false;
#ifdef MADV_HUGEPAGE
    madvise(address, capacity, MADV_HUGEPAGE);
#endif
    char *data = static_cast<char *>(address);
    if (mData) {
        std::memcpy(data, mData, std::min(keep, mCapacity));
        munmap(mData, mCapacity);
    }
    mData = data;
    mCapacity = capacity;
    return true;
}

void TextBuffer::release(const char *upTo)
{
    if (!mData || upTo <= mData || upTo > mData + mCapacity)
        return;
    const size_t bytes = static_cast<size_t>(upTo - mData) / LargePage * LargePage;
    if (bytes > 0)
        madvise(mData, bytes, MADV_DONTNEED);
}

MappedTextFile::~MappedTextFile()
{
    if (mFile >= 0)
        ::close(mFile);
}

bool MappedTextFile::open(const std::string &path, std::string *errorText)
{
    mPath = path;
    mFile = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (mFile < 0) {
        if (errorText)
            *errorText = "Cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (fstat(mFile, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (errorText)
            *errorText = path + " is not a readable file";
        return false;
    }
    mSize = static_cast<long long>(info.st_size);
#ifdef POSIX_FADV_SEQUENTIAL
    posix_fadvise(mFile, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    return survey(errorText);
}

bool MappedTextFile::readAt(long long offset, char *to, size_t length, std::string *errorText)
{
    while (length > 0) {
        const ssize_t n = pread(mFile, to, length, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (errorText)
                *errorText = "Cannot read " + mPath + ": " + (n < 0 ? std::strerror(errno) : "the file became shorter");
            return false;
        }
        to += n;
        offset += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

bool MappedTextFile::survey(std::string *errorText)
{
    // Each piece is read behind the last five bytes of the one before, so that "nchrom" is found
    // across the seam.
    constexpr size_t Overlap = 5;
    if (!mPiece.reserve(PieceBytes + Overlap)) {
        if (errorText)
            *errorText = "Not enough memory to read " + mPath;
        return false;
    }
    char *buffer = mPiece.data();
    size_t carried = 0;
    for (long long offset = 0; offset < mSize;) {
        const size_t length = static_cast<size_t>(std::min<long long>(PieceBytes, mSize - offset));
        if (!readAt(offset, buffer + carried, length, errorText))
            return false;
        const char *piece = buffer + carried;
        if (std::memchr(piece, '\0', length)) {
            mHasNul = true;
            return true;
        }
        for (const char *p = piece, *end = piece + length; (p = static_cast<const char *>(std::memchr(p, '\n', static_cast<size_t>(end - p))));
             ++p)
            ++mLineFeeds;
        if (!mHasNchrom)
            mHasNchrom = std::string_view(buffer, carried + length).find("nchrom") != std::string_view::npos;
        carried = std::min(Overlap, carried + length);
        std::memmove(buffer, piece + length - carried, carried);
        offset += static_cast<long long>(length);
    }
    mHasLineFeed = mLineFeeds > 0;
    return true;
}

bool MappedTextFile::readAll(std::string *errorText)
{
    const size_t size = static_cast<size_t>(mSize);
    if (!mWhole.reserve(std::max<size_t>(size, 1))) {
        if (errorText)
            *errorText = "Not enough memory to read " + mPath;
        return false;
    }
    if (!readAt(0, mWhole.data(), size, errorText))
        return false;
    mWholeSize = size;
    return true;
}

bool MappedTextFile::readRange(long long begin, long long end, std::string_view &out, std::string *errorText)
{
    const size_t length = static_cast<size_t>(std::max<long long>(0, end - begin));
    if (!mPiece.reserve(std::max<size_t>(length, 1))) {
        if (errorText)
            *errorText = "Not enough memory to read " + mPath;
        return false;
    }
    if (!readAt(begin, mPiece.data(), length, errorText))
        return false;
    out = {mPiece.data(), length};
    mRangeSize = length;
    return true;
}

void MappedTextFile::releaseRangeBefore(const char *upTo)
{
    if (upTo >= mPiece.data() && upTo <= mPiece.data() + mRangeSize)
        mPiece.release(upTo);
}

bool MappedTextFile::forEachLine(const std::function<void(std::string_view, long long, long long)> &visit, std::string *errorText)
{
    const char separator = lineSeparator();
    if (!mPiece.reserve(PieceBytes)) {
        if (errorText)
            *errorText = "Not enough memory to read " + mPath;
        return false;
    }
    long long bufferOffset = 0; // file offset of the buffer's first byte
    size_t filled = 0, start = 0;
    long long read = 0;
    while (true) {
        char *buffer = mPiece.data();
        const char *lineEnd = static_cast<const char *>(std::memchr(buffer + start, separator, filled - start));
        if (!lineEnd && read < mSize) {
            // The line runs on past what is read: keep its start, read more behind it.
            std::memmove(buffer, buffer + start, filled - start);
            bufferOffset += static_cast<long long>(start);
            filled -= start;
            start = 0;
            if (filled == mPiece.capacity()) {
                if (filled >= MaxLineBytes || !mPiece.reserve(filled * 2, filled)) {
                    if (errorText)
                        *errorText = mPath + " has a line of more than " + std::to_string(filled >> 20) + " MB";
                    return false;
                }
                buffer = mPiece.data();
            }
            const size_t length = static_cast<size_t>(std::min<long long>(static_cast<long long>(mPiece.capacity() - filled), mSize - read));
            if (!readAt(read, buffer + filled, length, errorText))
                return false;
            filled += length;
            read += static_cast<long long>(length);
            continue;
        }
        if (start >= filled && !lineEnd)
            break;
        const size_t end = lineEnd ? static_cast<size_t>(lineEnd - buffer) : filled;
        std::string_view line(buffer + start, end - start);
        const long long begin = bufferOffset + static_cast<long long>(start);
        if (begin == 0 && startsWithByteOrderMark(line))
            line.remove_prefix(3);
        visit(trimLineEnd(line), begin, bufferOffset + static_cast<long long>(lineEnd ? end + 1 : end));
        start = lineEnd ? end + 1 : filled;
    }
    return true;
}

} // namespace rvk
