#include "io/workbookchecks.h"

#include <zip.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace rvk {

namespace {

uint32_t word16(std::string_view bytes, size_t at)
{
    return static_cast<unsigned char>(bytes[at]) | (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8);
}

uint32_t word32(std::string_view bytes, size_t at) { return word16(bytes, at) | (word16(bytes, at + 2) << 16); }

} // namespace

// liborcus believes the sizes a zip archive's directory declares and sets aside that much memory
// before it reads a member: a damaged directory in a file of a few kilobytes can claim
// gigabytes. The directory is therefore checked first (libzip also compares each member's local
// header with it): no member may claim more bytes than the archive holds, a stored member must
// be as long as it says, and no compressed member may grow more than deflate can (1,032 to 1).
std::optional<std::string> zipDirectoryFault(std::string_view bytes)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        return "not enough memory to look into the zip archive";
    }
    zip_t *archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive) {
        zip_source_free(source);
        std::string reason = std::string("its zip directory is damaged (") + zip_error_strerror(&error) + ")";
        zip_error_fini(&error);
        return reason;
    }
    zip_error_fini(&error);
    std::unique_ptr<zip_t, void (*)(zip_t *)> closer(archive, zip_discard);
    const zip_int64_t members = zip_get_num_entries(archive, 0);
    constexpr zip_uint64_t greatestRatio = 1032;
    for (zip_int64_t i = 0; i < members; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) != 0)
            return "its zip directory is damaged";
        const std::string name = (stat.valid & ZIP_STAT_NAME) && stat.name ? stat.name : "a member";
        if (!(stat.valid & ZIP_STAT_SIZE) || !(stat.valid & ZIP_STAT_COMP_SIZE))
            return "its zip directory gives no size for " + name;
        const bool stored = (stat.valid & ZIP_STAT_COMP_METHOD) && stat.comp_method == ZIP_CM_STORE;
        if (stat.comp_size > bytes.size() || (stored && stat.size != stat.comp_size)
            || stat.size / greatestRatio > stat.comp_size)
            return "its zip directory is damaged: " + name + " claims " + std::to_string(stat.size) + " bytes";
    }
    return std::nullopt;
}

// FreeXL believes what a compound file's directory declares: it sets aside the memory a stream's
// size claims before it reads the stream (fuzzing found a 6 KB .xls whose root entry claims 3 GB),
// it converts as many bytes of an entry's name as the name's length claims, reading past its own
// 64-byte buffer, and it reads a directory from wherever the header points. The directory is
// therefore walked first, through the sector allocation table as the format chains it: it must
// lie in the file and end, every entry must be of a known kind with a name of at most 64 bytes,
// and no stream may claim more bytes than the file holds.
std::optional<std::string> compoundDirectoryFault(std::string_view bytes)
{
    constexpr size_t headerSize = 512;
    if (bytes.size() < headerSize)
        return "its compound file header is cut short";
    const unsigned shift = word16(bytes, 0x1E);
    if (shift != 9 && shift != 12)
        return "its compound file header gives an impossible sector size";
    const size_t sectorSize = size_t{1} << shift;
    const size_t perSector = sectorSize / 4;
    // Sector n follows the header at (n + 1) sectors; a chain longer than the file has sectors
    // runs in a circle.
    const size_t greatestChain = bytes.size() / sectorSize + 1;
    auto sectorAt = [&](uint32_t sector) { return (static_cast<size_t>(sector) + 1) * sectorSize; };
    auto inFile = [&](uint32_t sector) { return sectorAt(sector) < bytes.size(); };
    auto word32At = [&](size_t at) -> std::optional<uint32_t> {
        if (at + 4 > bytes.size())
            return std::nullopt;
        return word32(bytes, at);
    };

    // The sectors of the allocation table: 109 in the header, the rest in a chain of their own.
    std::vector<uint32_t> tableSectors;
    const uint32_t tableSectorCount = word32(bytes, 0x2C);
    for (size_t i = 0; i < 109 && tableSectors.size() < tableSectorCount; ++i)
        tableSectors.push_back(word32(bytes, 0x4C + 4 * i));
    uint32_t more = word32(bytes, 0x44);
    for (size_t steps = 0; tableSectors.size() < tableSectorCount && inFile(more) && steps < greatestChain; ++steps) {
        for (size_t i = 0; i + 1 < perSector && tableSectors.size() < tableSectorCount; ++i)
            if (const auto sector = word32At(sectorAt(more) + 4 * i))
                tableSectors.push_back(*sector);
            else
                break;
        const auto next = word32At(sectorAt(more) + sectorSize - 4);
        if (!next)
            break;
        more = *next;
    }
    auto nextSector = [&](uint32_t sector) -> std::optional<uint32_t> {
        const size_t tableSector = sector / perSector;
        if (tableSector >= tableSectors.size() || !inFile(tableSectors[tableSector]))
            return std::nullopt;
        return word32At(sectorAt(tableSectors[tableSector]) + 4 * (sector % perSector));
    };

    // Version 3 files keep only the low half of a stream's size; writers may leave the high half
    // unset.
    const bool version3 = word16(bytes, 0x1A) == 3;
    constexpr uint32_t EndOfChain = 0xFFFFFFFE;
    uint32_t sector = word32(bytes, 0x30);
    for (size_t steps = 0;; ++steps) {
        if (steps == greatestChain)
            return "its compound file directory runs in a circle";
        if (!inFile(sector))
            return "its compound file directory lies outside the file";
        const size_t end = std::min(sectorAt(sector) + sectorSize, bytes.size());
        for (size_t entry = sectorAt(sector); entry + 128 <= end; entry += 128) {
            const unsigned nameLength = word16(bytes, entry + 0x40);
            if (nameLength > 64)
                return "its compound file directory is damaged: a name claims " + std::to_string(nameLength) + " bytes";
            const unsigned kind = static_cast<unsigned char>(bytes[entry + 0x42]);
            if (kind != 0 && kind != 1 && kind != 2 && kind != 5)
                return "its compound file directory is damaged: an entry is of unknown kind " + std::to_string(kind);
            if (kind != 2 && kind != 5) // only streams and the root entry, which holds the small streams, have a size
                continue;
            const uint64_t size = version3 ? word32(bytes, entry + 0x78)
                                           : word32(bytes, entry + 0x78) | (uint64_t{word32(bytes, entry + 0x7C)} << 32);
            if (size <= bytes.size())
                continue;
            std::string name;
            for (size_t at = 0; at + 1 < nameLength; at += 2) {
                const unsigned character = word16(bytes, entry + at);
                if (character == 0)
                    break;
                name += character >= 0x20 && character < 0x7F ? static_cast<char>(character) : '?';
            }
            return "its compound file directory is damaged: " + (name.empty() ? std::string("a stream") : name)
                 + " claims " + std::to_string(size) + " bytes";
        }
        const auto next = nextSector(sector);
        if (!next)
            return "its compound file directory lies outside the file";
        if (*next == EndOfChain)
            return std::nullopt;
        sector = *next;
    }
}

} // namespace rvk
