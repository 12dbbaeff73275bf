#include "core/genotypecodes.h"

namespace rvk {

void markCodes(std::string_view text, CodeSet &used)
{
    // A byte table is much cheaper than setting bits one code at a time on long texts.
    std::array<unsigned char, 256> seen{};
    for (unsigned char c : text)
        seen[c] = 1;
    for (int i = 0; i < CodeCount; ++i)
        if (seen[static_cast<unsigned char>(codeAt(i))])
            used.set(static_cast<size_t>(i));
}

} // namespace rvk
