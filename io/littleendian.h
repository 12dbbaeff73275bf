#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rvk {

// Little-endian words of the binary spreadsheet formats, read from bytes the caller has checked
// to be there.
inline uint32_t littleEndian16(std::string_view bytes, size_t at)
{
    return static_cast<unsigned char>(bytes[at]) | (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8);
}

inline uint32_t littleEndian32(std::string_view bytes, size_t at)
{
    return littleEndian16(bytes, at) | (littleEndian16(bytes, at + 2) << 16);
}

} // namespace rvk
