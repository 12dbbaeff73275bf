#include "io/workbookchecks.h"

#include "io/littleendian.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

namespace rvk {

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

// FreeXL believes what a compound file declares. It sets aside the memory a stream's size claims
// before it reads the stream (fuzzing found a 6 KB .xls whose root entry claims 3 GB), converts
// as many bytes of an entry's name as the name's length claims (reading past its own 64-byte
// buffer), reads a directory from wherever the header points, and reads a stream as long as its
// size says whether or not its chain of sectors holds that much. The file is therefore walked
// first, through the sector allocation tables as the format chains them: the directory must lie
// in the file and end; every entry must be of a known kind with a name of at most 64 bytes; and
// every stream's chain, of sectors or of the small sectors inside the root entry's stream, must
// lie in the file and hold the bytes its size claims. Inside the workbook stream, the texts of
// its records must lie within their records.
namespace {

class CompoundFile
{
public:
    explicit CompoundFile(std::string_view bytes) : mBytes(bytes) {}

    std::optional<std::string> fault()
    {
        constexpr size_t headerSize = 512;
        if (mBytes.size() < headerSize)
            return "its compound file header is cut short";
        const unsigned shift = littleEndian16(mBytes, 0x1E);
        if (shift != 9 && shift != 12)
            return "its compound file header gives an impossible sector size";
        if (littleEndian16(mBytes, 0x20) != 6)
            return "its compound file header gives an impossible small-sector size";
        mSectorSize = size_t{1} << shift;
        mPerSector = mSectorSize / 4;
        // A chain longer than the file has sectors runs in a circle.
        mGreatestChain = mBytes.size() / mSectorSize + 1;
        readTableSectors();

        // Version 3 files keep only the low half of a stream's size; writers may leave the high
        // half unset.
        const bool version3 = littleEndian16(mBytes, 0x1A) == 3;
        std::vector<Entry> streams;
        uint32_t sector = littleEndian32(mBytes, 0x30);
        for (size_t steps = 0;; ++steps) {
            if (steps == mGreatestChain)
                return "its compound file directory runs in a circle";
            if (!inFile(sector))
                return "its compound file directory lies outside the file";
            const size_t end = std::min(sectorAt(sector) + mSectorSize, mBytes.size());
            for (size_t entry = sectorAt(sector); entry + 128 <= end; entry += 128) {
                const unsigned nameLength = littleEndian16(mBytes, entry + 0x40);
                if (nameLength > 64)
                    return "its compound file directory is damaged: a name claims " + std::to_string(nameLength) + " bytes";
                const unsigned kind = static_cast<unsigned char>(mBytes[entry + 0x42]);
                if (kind != 0 && kind != 1 && kind != 2 && kind != 5)
                    return "its compound file directory is damaged: an entry is of unknown kind " + std::to_string(kind);
                if (kind != 2 && kind != 5) // only streams and the root entry, which holds the small streams, have a size
                    continue;
                const uint64_t size = version3 ? littleEndian32(mBytes, entry + 0x78)
                                               : littleEndian32(mBytes, entry + 0x78) | (uint64_t{littleEndian32(mBytes, entry + 0x7C)} << 32);
                Entry stream{name(entry, nameLength), kind == 5, littleEndian32(mBytes, entry + 0x74), size};
                if (size > mBytes.size())
                    return "its compound file directory is damaged: " + stream.name + " claims " + std::to_string(size) + " bytes";
                streams.push_back(std::move(stream));
            }
            const auto next = nextSector(mTableSectors, sector);
            if (!next)
                return "its compound file directory lies outside the file";
            if (*next == EndOfChain)
                break;
            sector = *next;
        }

        // The small streams live in the root entry's stream, in 64-byte sectors chained by a
        // table of their own. The root entry comes first, so that its stream is at hand for them.
        std::stable_partition(streams.begin(), streams.end(), [](const Entry &entry) { return entry.root; });
        const uint64_t smallSectors =
            streams.empty() || !streams.front().root ? 0 : (streams.front().size + SmallSectorSize - 1) / SmallSectorSize;
        // The sectors that begin inside the file (the last may be cut short).
        const uint64_t fileSectors = (mBytes.size() + mSectorSize - 1) / mSectorSize - 1;
        mSmallTableSectors = chain(littleEndian32(mBytes, 0x3C), littleEndian32(mBytes, 0x40));
        const uint32_t smallCutoff = littleEndian32(mBytes, 0x38);
        std::string rootBytes, workbookBytes;
        for (const Entry &stream : streams) {
            const bool small = !stream.root && stream.size < smallCutoff;
            std::string *keep = stream.root ? &rootBytes : isWorkbook(stream.name) ? &workbookBytes : nullptr;
            const bool held = small ? gather(mSmallTableSectors, stream.start, stream.size, SmallSectorSize, smallSectors,
                                             rootBytes, 0, keep)
                                    : gather(mTableSectors, stream.start, stream.size, mSectorSize, fileSectors, mBytes,
                                             mSectorSize, keep);
            if (!held)
                return "its compound file is damaged: the sectors of " + stream.name + " do not hold its "
                     + std::to_string(stream.size) + " bytes";
        }
        return workbookStreamFault(workbookBytes);
    }

private:
    static constexpr uint32_t EndOfChain = 0xFFFFFFFE;
    static constexpr size_t SmallSectorSize = 64;

    struct Entry
    {
        std::string name;
        bool root;
        uint32_t start;
        uint64_t size;
    };

    // Sector n follows the header at (n + 1) sectors.
    size_t sectorAt(uint32_t sector) const { return (static_cast<size_t>(sector) + 1) * mSectorSize; }
    bool inFile(uint32_t sector) const { return sectorAt(sector) < mBytes.size(); }
    std::optional<uint32_t> word32At(size_t at) const
    {
        if (at + 4 > mBytes.size())
            return std::nullopt;
        return littleEndian32(mBytes, at);
    }

    // The sectors of the allocation table: 109 in the header, the rest in a chain of their own.
    void readTableSectors()
    {
        const uint32_t count = littleEndian32(mBytes, 0x2C);
        for (size_t i = 0; i < 109 && mTableSectors.size() < count; ++i)
            mTableSectors.push_back(littleEndian32(mBytes, 0x4C + 4 * i));
        uint32_t more = littleEndian32(mBytes, 0x44);
        for (size_t steps = 0; mTableSectors.size() < count && inFile(more) && steps < mGreatestChain; ++steps) {
            for (size_t i = 0; i + 1 < mPerSector && mTableSectors.size() < count; ++i)
                if (const auto sector = word32At(sectorAt(more) + 4 * i))
                    mTableSectors.push_back(*sector);
                else
                    break;
            const auto next = word32At(sectorAt(more) + mSectorSize - 4);
            if (!next)
                break;
            more = *next;
        }
    }

    // What follows `sector` in a table kept in the given sectors of the file.
    std::optional<uint32_t> nextSector(const std::vector<uint32_t> &table, uint32_t sector) const
    {
        const size_t tableSector = sector / mPerSector;
        if (tableSector >= table.size() || !inFile(table[tableSector]))
            return std::nullopt;
        return word32At(sectorAt(table[tableSector]) + 4 * (sector % mPerSector));
    }

    // The sectors of a chain of at most `count` sectors, as far as it lies in the file.
    std::vector<uint32_t> chain(uint32_t start, uint32_t count) const
    {
        std::vector<uint32_t> sectors;
        std::vector<bool> seen(mGreatestChain);
        for (uint32_t sector = start; sectors.size() < count && inFile(sector) && !seen[sector];) {
            seen[sector] = true;
            sectors.push_back(sector);
            const auto next = nextSector(mTableSectors, sector);
            if (!next)
                break;
            sector = *next;
        }
        return sectors;
    }

    // Whether the chain from `start` in `table` holds `size` bytes in sectors of `sectorSize`
    // below `sectorCount`, without coming back to a sector; the bytes go to `kept` when given,
    // sector n lying at firstAt + n sectors of `source`.
    bool gather(const std::vector<uint32_t> &table, uint32_t start, uint64_t size, size_t sectorSize, uint64_t sectorCount,
                std::string_view source, size_t firstAt, std::string *kept) const
    {
        const uint64_t needed = (size + sectorSize - 1) / sectorSize;
        if (needed > sectorCount)
            return false;
        std::vector<bool> seen(static_cast<size_t>(sectorCount));
        uint32_t sector = start;
        for (uint64_t k = 0; k < needed; ++k) {
            if (sector >= sectorCount || seen[sector])
                return false;
            seen[sector] = true;
            if (kept) {
                const size_t at = firstAt + static_cast<size_t>(sector) * sectorSize;
                if (at < source.size())
                    kept->append(source.substr(at, sectorSize));
            }
            if (k + 1 == needed)
                break;
            const auto next = nextSector(table, sector);
            if (!next)
                return false;
            sector = *next;
        }
        if (!kept)
            return true;
        if (kept->size() < size)
            return false;
        kept->resize(static_cast<size_t>(size));
        return true;
    }

    // FreeXL reads the stream named "Workbook" (Excel 97 and later) or "Book" (Excel 5 and 95).
    static bool isWorkbook(const std::string &name)
    {
        auto same = [&name](std::string_view other) {
            return std::equal(name.begin(), name.end(), other.begin(), other.end(),
                              [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
        };
        return same("workbook") || same("book");
    }

    // FreeXL believes the length a record gives its text and reads that much, past the record
    // and past its own buffer: the text of every record that has one must lie within the record.
    // In Excel 97 and later a text is Unicode (count, flags, optional sizes of formatting runs
    // and extensions, characters of one or two bytes); in Excel 5 and 95 it is a count and bytes.
    // The shared texts of an Excel 97 workbook (an SST record and its CONTINUE records) read as
    // FreeXL reads them: each text's count, flags and the sizes of its formatting runs and
    // extension must lie within the record where the text begins (FreeXL reads on past the
    // record otherwise), and the rest of a text that goes on in the next record must lie within
    // that record. A workbook cannot hold more texts than a text's 3 bytes allow.
    class SharedTextReading
    {
    public:
        std::optional<std::string> read(std::string_view body, bool table, size_t streamSize)
        {
            size_t at = 0;
            if (table && !mBegun) {
                mBegun = true;
                if (body.size() < 8)
                    return std::nullopt;
                mCount = littleEndian32(body, 4);
                if (mCount > streamSize / 3 + 1)
                    return "its workbook is damaged: it claims " + std::to_string(mCount) + " shared texts";
                at = 8;
            } else if (mRest > 0) {
                // The rest of a text: flags, then its characters.
                if (body.empty())
                    return damaged();
                const size_t width = (static_cast<unsigned char>(body[0]) & 0x01) ? 2 : 1;
                if (1 + mRest * width > body.size())
                    return damaged();
                at = 1 + mRest * width + mRestSkip;
                mRest = 0;
                ++mIndex;
            }
            for (; mIndex < mCount && at < body.size(); ++mIndex) {
                if (at + 3 > body.size())
                    return damaged();
                const size_t count = littleEndian16(body, at);
                const unsigned flags = static_cast<unsigned char>(body[at + 2]);
                const size_t header = 3 + ((flags & 0x04) ? 4 : 0) + ((flags & 0x08) ? 2 : 0);
                if (at + header > body.size())
                    return damaged();
                size_t skip = 0;
                size_t field = at + 3;
                if (flags & 0x04) {
                    skip += littleEndian16(body, field);
                    field += 4;
                }
                if (flags & 0x08)
                    skip += 4 * size_t{littleEndian16(body, field)};
                const size_t width = (flags & 0x01) ? 2 : 1;
                const size_t available = body.size() - (at + header);
                if (count * width > available) {
                    // Goes on in the next record.
                    mRest = count - (width == 2 ? available / 2 : available);
                    mRestSkip = skip;
                    return std::nullopt;
                }
                at += header + count * width + skip;
            }
            return std::nullopt;
        }

    private:
        static std::string damaged() { return "its workbook is damaged: a shared text claims more than its records hold"; }

        bool mBegun = false;
        uint64_t mCount = 0;
        uint64_t mIndex = 0;
        size_t mRest = 0; // characters of a text that go on in the next record
        size_t mRestSkip = 0;
    };

    static std::optional<std::string> workbookStreamFault(std::string_view stream)
    {
        struct TextRecord
        {
            unsigned type;
            size_t countAt;
            bool wideCountBefore97; // Excel 5 and 95 give this count in two bytes, not one
            const char *what;
        };
        static constexpr TextRecord textRecords[] = {
            {0x0204, 6, true, "a text cell"},           // LABEL
            {0x00D6, 6, true, "a text cell"},           // RSTRING
            {0x0207, 0, true, "a formula's text"},      // STRING
            {0x041E, 2, false, "a number format"},      // FORMAT
        };
        constexpr unsigned Bof = 0x0809, SharedTexts = 0x00FC, Continue = 0x003C;
        bool unicode = true;
        bool versionKnown = false; // the workbook's first BOF record tells
        SharedTextReading shared;
        bool inSharedTexts = false;
        for (size_t at = 0; at + 4 <= stream.size();) {
            const unsigned type = littleEndian16(stream, at);
            const size_t length = std::min<size_t>(littleEndian16(stream, at + 2), stream.size() - at - 4);
            const std::string_view body = stream.substr(at + 4, length);
            at += 4 + length;
            if (type == Bof && body.size() >= 2 && !versionKnown) {
                unicode = littleEndian16(body, 0) >= 0x0600;
                versionKnown = true;
                continue;
            }
            if (unicode && (type == SharedTexts || (type == Continue && inSharedTexts))) {
                inSharedTexts = true;
                if (const auto fault = shared.read(body, type == SharedTexts, stream.size()))
                    return fault;
                continue;
            }
            inSharedTexts = false;
            const auto record = std::find_if(std::begin(textRecords), std::end(textRecords),
                                             [type](const TextRecord &text) { return text.type == type; });
            if (record == std::end(textRecords))
                continue;
            const bool wideCount = unicode || record->wideCountBefore97;
            const size_t start = record->countAt + (wideCount ? 2 : 1);
            if (body.size() < start)
                continue; // no text to read
            const size_t count = wideCount ? littleEndian16(body, record->countAt) : static_cast<unsigned char>(body[record->countAt]);
            size_t needed = start + count;
            if (unicode && count > 0) {
                const unsigned flags = body.size() > start ? static_cast<unsigned char>(body[start]) : 0;
                needed = start + 1 + ((flags & 0x08) ? 2 : 0) + ((flags & 0x04) ? 4 : 0) + count * ((flags & 0x01) ? 2 : 1);
            }
            if (needed > body.size())
                return std::string("its workbook is damaged: ") + record->what + " claims " + std::to_string(count)
                     + " characters that its record does not hold";
        }
        return std::nullopt;
    }

    std::string name(size_t entry, unsigned nameLength) const
    {
        std::string text;
        for (size_t at = 0; at + 1 < nameLength; at += 2) {
            const unsigned character = littleEndian16(mBytes, entry + at);
            if (character == 0)
                break;
            text += character >= 0x20 && character < 0x7F ? static_cast<char>(character) : '?';
        }
        return text.empty() ? "a stream" : text;
    }

    std::string_view mBytes;
    size_t mSectorSize = 512;
    size_t mPerSector = 128;
    size_t mGreatestChain = 0;
    std::vector<uint32_t> mTableSectors;
    std::vector<uint32_t> mSmallTableSectors;
};

} // namespace

std::optional<std::string> compoundFileFault(std::string_view bytes) { return CompoundFile(bytes).fault(); }

} // namespace rvk
