#include "core/mappedtextfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rvk {

MappedTextFile::~MappedTextFile()
{
    if (mMapped)
        munmap(const_cast<char *>(mData), mSize);
}

bool MappedTextFile::open(const std::string &path, std::string *errorText)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errorText)
            *errorText = "Cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        if (errorText)
            *errorText = path + " is not a readable file";
        return false;
    }
    mSize = static_cast<size_t>(info.st_size);
    if (mSize > 0) {
        void *address = mmap(nullptr, mSize, PROT_READ, MAP_PRIVATE, fd, 0);
        if (address == MAP_FAILED) {
            ::close(fd);
            if (errorText)
                *errorText = "Cannot read " + path + ": " + std::strerror(errno);
            mSize = 0;
            return false;
        }
        madvise(address, mSize, MADV_SEQUENTIAL);
        mData = static_cast<const char *>(address);
        mMapped = true;
    }
    ::close(fd);
    return true;
}

void MappedTextFile::release(const char *begin, const char *end) const
{
    if (!mMapped || end <= begin)
        return;
    const long page = sysconf(_SC_PAGESIZE);
    // Whole pages inside [begin, end) only.
    const uintptr_t first = (reinterpret_cast<uintptr_t>(begin) + page - 1) / page * page;
    const uintptr_t last = reinterpret_cast<uintptr_t>(end) / page * page;
    if (last > first)
        madvise(reinterpret_cast<void *>(first), last - first, MADV_DONTNEED);
}

bool MappedTextFile::looksLikeText() const
{
    return mSize == 0 || std::memchr(mData, '\0', mSize) == nullptr;
}

} // namespace rvk
