#pragma once

#include <string>
#include <string_view>

namespace rvk {

// A whole file's bytes, mapped read-only. Parts already read can be given back, so reading a
// file much larger than the data it holds does not keep it all in memory.
class MappedTextFile
{
public:
    MappedTextFile() = default;
    ~MappedTextFile();
    MappedTextFile(const MappedTextFile &) = delete;
    MappedTextFile &operator=(const MappedTextFile &) = delete;

    // Maps path; returns false with a message in errorText when the file cannot be read.
    bool open(const std::string &path, std::string *errorText);
    std::string_view text() const { return {mData, mSize}; }

    // Lets the system drop the pages of [begin, end) from memory; the bytes stay readable.
    void release(const char *begin, const char *end) const;

    // Whether the bytes look like text: no NUL bytes.
    bool looksLikeText() const;

private:
    const char *mData = nullptr;
    size_t mSize = 0;
    bool mMapped = false;
};

} // namespace rvk
