#include "selection/textlistsort.h"

#include <algorithm>
#include <array>

namespace rvk {

namespace {

// Weights 0..: control characters and symbols in character order, then the ten digits, then
// the 26 letters (both cases the same), then bytes above 127 in byte order.
std::array<unsigned char, 256> makeWeights()
{
    std::array<unsigned char, 256> weights{};
    int next = 0;
    auto isDigit = [](int c) { return c >= '0' && c <= '9'; };
    auto isLetter = [](int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    for (int c = 0; c < 128; ++c)
        if (!isDigit(c) && !isLetter(c))
            weights[static_cast<size_t>(c)] = static_cast<unsigned char>(next++);
    for (int c = '0'; c <= '9'; ++c)
        weights[static_cast<size_t>(c)] = static_cast<unsigned char>(next++);
    for (int c = 'a'; c <= 'z'; ++c) {
        weights[static_cast<size_t>(c)] = static_cast<unsigned char>(next);
        weights[static_cast<size_t>(c - 'a' + 'A')] = static_cast<unsigned char>(next);
        ++next;
    }
    for (int c = 128; c < 256; ++c)
        weights[static_cast<size_t>(c)] = static_cast<unsigned char>(next++);
    return weights;
}

const std::array<unsigned char, 256> &weights()
{
    static const std::array<unsigned char, 256> table = makeWeights();
    return table;
}

} // namespace

unsigned char collationWeight(char c) { return weights()[static_cast<unsigned char>(c)]; }

int compareTextKeys(std::string_view a, std::string_view b)
{
    const auto &w = weights();
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int x = w[static_cast<unsigned char>(a[i])];
        const int y = w[static_cast<unsigned char>(b[i])];
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

void sortTextList(std::vector<std::string> &texts)
{
    std::sort(texts.begin(), texts.end(), [](const std::string &a, const std::string &b) { return textKeyLess(a, b); });
}

} // namespace rvk
