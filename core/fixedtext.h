#pragma once

#include <algorithm>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

namespace rvk {

// A short text of at most Capacity characters kept inside its owner, with no memory of its own:
// a locus's segregation type and phase, a million of them in a large panel. Storing a longer
// text keeps its first Capacity characters. Reads like a std::string where it is used as one.
template <size_t Capacity>
class FixedText
{
    static_assert(Capacity < 256);

public:
    constexpr FixedText() = default;
    FixedText(std::string_view text) { assign(text); }
    FixedText(const std::string &text) { assign(text); }
    FixedText(const char *text) { assign(text); }
    FixedText &operator=(std::string_view text) { return assign(text); }
    FixedText &operator=(const std::string &text) { return assign(text); }
    FixedText &operator=(const char *text) { return assign(text); }

    FixedText &assign(std::string_view text)
    {
        mSize = static_cast<unsigned char>(std::min(text.size(), Capacity));
        std::memcpy(mText, text.data(), mSize);
        return *this;
    }

    size_t size() const { return mSize; }
    bool empty() const { return mSize == 0; }
    void clear() { mSize = 0; }
    const char *data() const { return mText; }
    char operator[](size_t i) const { return mText[i]; }
    size_t find(char c, size_t from = 0) const { return view().find(c, from); }
    std::string_view view() const { return {mText, mSize}; }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const { return view(); }
    operator std::string() const { return str(); }

    friend bool operator==(const FixedText &a, const FixedText &b) { return a.view() == b.view(); }
    friend bool operator==(const FixedText &a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const FixedText &a, const char *b) { return a.view() == std::string_view(b); }
    friend bool operator==(const FixedText &a, const std::string &b) { return a.view() == b; }
    friend std::string operator+(const std::string &a, const FixedText &b) { return a + b.str(); }
    friend std::string operator+(const char *a, const FixedText &b) { return a + b.str(); }
    friend std::string operator+(const FixedText &a, const std::string &b) { return a.str() + b; }
    friend std::string operator+(const FixedText &a, const char *b) { return a.str() + b; }
    friend std::ostream &operator<<(std::ostream &out, const FixedText &text) { return out << text.view(); }

private:
    char mText[Capacity]{};
    unsigned char mSize = 0;
};

} // namespace rvk
