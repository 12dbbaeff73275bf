#include "io/spreadsheetreader.h"

#include "core/textformat.h"
#include "core/textlines.h"

#include <freexl.h>
#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>
#include <zip.h>

#include <algorithm>
#include <cstdint>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>
#include <sstream>
#include <unordered_map>

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rvk {

namespace {

bool readBytes(const std::string &path, std::string &bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    bytes = buffer.str();
    return static_cast<bool>(in) || in.eof();
}

bool startsWith(std::string_view bytes, std::string_view magic) { return bytes.substr(0, magic.size()) == magic; }

unsigned word(std::string_view bytes, size_t at)
{
    return static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8);
}

// Drops empty rows and columns at the bottom and right: the used range ends at the last
// non-empty cell.
void trimToUsedRange(TextGrid &grid)
{
    int rows = 0;
    int columns = 0;
    for (int r = 0; r < grid.rowCount(); ++r)
        for (int c = 0; c < grid.columnCount(); ++c)
            if (!grid.cell(c, r).empty()) {
                rows = std::max(rows, r + 1);
                columns = std::max(columns, c + 1);
            }
    grid.resize(columns, rows);
}

std::optional<TextGrid> readWorkbook(const std::string &path, std::string *errorText)
{
    const void *handle = nullptr;
    if (freexl_open(path.c_str(), &handle) != FREEXL_OK) {
        if (handle)
            freexl_close(handle);
        if (errorText)
            *errorText = SpreadsheetReader::unreadableMessage(path, "not a readable Excel workbook");
        return std::nullopt;
    }
    std::unique_ptr<const void, int (*)(const void *)> closer(handle, freexl_close);
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK
        || freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) {
        if (errorText)
            *errorText = SpreadsheetReader::unreadableMessage(path, "the workbook has no readable first worksheet");
        return std::nullopt;
    }
    TextGrid grid(columns, static_cast<int>(rows));
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(handle, r, c, &value) != FREEXL_OK)
                continue;
            std::string text;
            switch (value.type) {
            case FREEXL_CELL_INT: text = std::to_string(value.value.int_value); break;
            case FREEXL_CELL_DOUBLE: text = formatGeneral(value.value.double_value); break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME: text = value.value.text_value ? value.value.text_value : ""; break;
            default: break;
            }
            grid.setCell(c, static_cast<int>(r), std::move(text));
        }
    }
    trimToUsedRange(grid);
    return grid;
}

// A grid as bytes through a pipe: 'G', columns, rows, then each non-empty cell as column, row,
// length and text; or 'E' and the reason the file could not be read.
void appendWord(std::string &bytes, uint32_t word) { bytes.append(reinterpret_cast<const char *>(&word), sizeof word); }

std::string encodeOutcome(const std::optional<TextGrid> &grid, const std::string &error)
{
    if (!grid)
        return "E" + error;
    std::string bytes = "G";
    appendWord(bytes, static_cast<uint32_t>(grid->columnCount()));
    appendWord(bytes, static_cast<uint32_t>(grid->rowCount()));
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c = 0; c < grid->columnCount(); ++c)
            if (const std::string cell = grid->cell(c, r); !cell.empty()) {
                appendWord(bytes, static_cast<uint32_t>(c));
                appendWord(bytes, static_cast<uint32_t>(r));
                appendWord(bytes, static_cast<uint32_t>(cell.size()));
                bytes += cell;
            }
    return bytes;
}

std::optional<TextGrid> decodeOutcome(std::string_view bytes, std::string &error)
{
    size_t at = 1;
    auto word = [&](uint32_t &value) {
        if (bytes.size() - at < sizeof value)
            return false;
        std::memcpy(&value, bytes.data() + at, sizeof value);
        at += sizeof value;
        return true;
    };
    if (bytes.empty() || (bytes[0] != 'G' && bytes[0] != 'E'))
        return std::nullopt;
    if (bytes[0] == 'E') {
        error = std::string(bytes.substr(1));
        return std::nullopt;
    }
    uint32_t columns = 0, rows = 0;
    if (!word(columns) || !word(rows) || columns > 1'000'000 || rows > 100'000'000)
        return std::nullopt;
    TextGrid grid(static_cast<int>(columns), static_cast<int>(rows));
    while (at < bytes.size()) {
        uint32_t c = 0, r = 0, length = 0;
        if (!word(c) || !word(r) || !word(length) || bytes.size() - at < length || c >= columns || r >= rows)
            return std::nullopt;
        grid.setCell(static_cast<int>(c), static_cast<int>(r), std::string(bytes.substr(at, length)));
        at += length;
    }
    return grid;
}

} // namespace

std::optional<TextGrid> SpreadsheetReader::readApart(const WorkbookReader &reader, const std::string &path,
                                                     std::string *errorText)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return reader(errorText);
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return reader(errorText);
    }
    if (child == 0) {
        ::close(channel[0]);
        std::string error;
        const std::optional<TextGrid> grid = reader(&error);
        const std::string bytes = encodeOutcome(grid, error);
        for (size_t written = 0; written < bytes.size();) {
            const ssize_t n = ::write(channel[1], bytes.data() + written, bytes.size() - written);
            if (n <= 0)
                ::_exit(1);
            written += static_cast<size_t>(n);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string received;
    char buffer[1 << 16];
    for (;;) {
        // A child that neither writes nor ends within a minute is stuck: it is stopped.
        pollfd waiting{channel[0], POLLIN, 0};
        const int ready = ::poll(&waiting, 1, 60'000);
        if (ready <= 0) {
            ::kill(child, SIGKILL);
            break;
        }
        const ssize_t n = ::read(channel[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        received.append(buffer, static_cast<size_t>(n));
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    std::string error;
    std::optional<TextGrid> grid;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        grid = decodeOutcome(received, error);
    if (!grid && errorText)
        *errorText = !error.empty() ? error : SpreadsheetReader::unreadableMessage(path, "the file is damaged");
    return grid;
}

namespace {

// liborcus believes the sizes a zip archive's directory declares and sets aside that much memory
// before it reads a member: a damaged directory in a file of a few kilobytes can claim
// gigabytes. The directory is therefore checked first (libzip also compares each member's local
// header with it): no member may claim more bytes than the archive holds, a stored member must
// be as long as it says, and no compressed member may grow more than deflate can (1,032 to 1).
std::optional<std::string> zipDirectoryFault(const std::string &bytes)
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

uint32_t word32(std::string_view bytes, size_t at)
{
    return word(bytes, at) | (static_cast<uint32_t>(word(bytes, at + 2)) << 16);
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
    const unsigned shift = word(bytes, 0x1E);
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
    const bool version3 = word(bytes, 0x1A) == 3;
    constexpr uint32_t EndOfChain = 0xFFFFFFFE;
    uint32_t sector = word32(bytes, 0x30);
    for (size_t steps = 0;; ++steps) {
        if (steps == greatestChain)
            return "its compound file directory runs in a circle";
        if (!inFile(sector))
            return "its compound file directory lies outside the file";
        const size_t end = std::min(sectorAt(sector) + sectorSize, bytes.size());
        for (size_t entry = sectorAt(sector); entry + 128 <= end; entry += 128) {
            const unsigned nameLength = word(bytes, entry + 0x40);
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
                const unsigned character = word(bytes, entry + at);
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

namespace sheetimport = orcus::spreadsheet;

// What liborcus reads of a zipped workbook goes straight into a grid: the texts of the first
// worksheet's cells, numbers as "General" writes them, formulas by their stored results. Nothing
// liborcus is told is believed: a cell outside the sheet is dropped, and a cell naming a shared
// text the workbook does not hold makes the file refused (liborcus' own document model fails an
// assertion on it).
class FirstSheetCells final : public sheetimport::iface::import_sheet
{
public:
    FirstSheetCells(const std::vector<std::string> &strings, TextGrid *grid) : mStrings(strings), mGrid(grid), mFormula(*this) {}

    sheetimport::iface::import_formula *get_formula() override { return &mFormula; }

    void set_auto(sheetimport::row_t row, sheetimport::col_t col, std::string_view s) override { put(row, col, std::string(s)); }
    void set_string(sheetimport::row_t row, sheetimport::col_t col, sheetimport::string_id_t sindex) override
    {
        if (sindex < mStrings.size())
            put(row, col, mStrings[sindex]);
        else if (mGrid && inside(row, col))
            mLaterStrings.push_back({row, col, sindex}); // the strings may come after the sheet
    }
    // The strings the sheet named before the workbook's strings were read; false when one of them
    // is not in the workbook.
    bool putLaterStrings()
    {
        for (const LaterString &later : mLaterStrings) {
            if (later.index >= mStrings.size())
                return false;
            put(later.row, later.col, mStrings[later.index]);
        }
        mLaterStrings.clear();
        return true;
    }
    void set_value(sheetimport::row_t row, sheetimport::col_t col, double value) override { put(row, col, formatGeneral(value)); }
    void set_bool(sheetimport::row_t row, sheetimport::col_t col, bool value) override
    {
        put(row, col, value ? "TRUE" : "FALSE");
    }
    void set_date_time(sheetimport::row_t row, sheetimport::col_t col, int year, int month, int day, int hour, int minute,
                       double second) override
    {
        std::string text = std::to_string(year) + "-" + twoDigits(month) + "-" + twoDigits(day);
        const int seconds = static_cast<int>(second);
        if (hour != 0 || minute != 0 || seconds != 0)
            text += " " + twoDigits(hour) + ":" + twoDigits(minute) + ":" + twoDigits(seconds);
        put(row, col, std::move(text));
    }
    void set_format(sheetimport::row_t, sheetimport::col_t, size_t) override {}
    void set_format(sheetimport::row_t, sheetimport::col_t, sheetimport::row_t, sheetimport::col_t, size_t) override {}
    void fill_down_cells(sheetimport::row_t row, sheetimport::col_t col, sheetimport::row_t count) override
    {
        if (!mGrid || !inside(row, col) || count <= 0)
            return;
        const std::string text = mGrid->cell(col, row);
        for (sheetimport::row_t r = row + 1; r <= row + count && inside(r, col); ++r)
            put(r, col, text);
    }
    sheetimport::range_size_t get_sheet_size() const override { return {MaxRows, MaxColumns}; }

private:
    // The greatest sheet of the workbooks liborcus reads.
    static constexpr sheetimport::row_t MaxRows = 1048576;
    static constexpr sheetimport::col_t MaxColumns = 16384;

    static bool inside(sheetimport::row_t row, sheetimport::col_t col)
    {
        return row >= 0 && row < MaxRows && col >= 0 && col < MaxColumns;
    }
    static std::string twoDigits(int value) { return (value >= 0 && value < 10 ? "0" : "") + std::to_string(value); }
    void put(sheetimport::row_t row, sheetimport::col_t col, std::string text)
    {
        if (mGrid && inside(row, col))
            mGrid->setCell(col, row, std::move(text));
    }

    // A formula cell shows the result its workbook stored.
    class StoredResult final : public sheetimport::iface::import_formula
    {
    public:
        explicit StoredResult(FirstSheetCells &sheet) : mSheet(sheet) {}
        void set_position(sheetimport::row_t row, sheetimport::col_t col) override
        {
            mRow = row;
            mColumn = col;
            mText.clear();
        }
        void set_formula(sheetimport::formula_grammar_t, std::string_view) override {}
        void set_shared_formula_index(size_t) override {}
        void set_result_string(std::string_view value) override { mText = value; }
        void set_result_value(double value) override { mText = formatGeneral(value); }
        void set_result_bool(bool value) override { mText = value ? "TRUE" : "FALSE"; }
        void set_result_empty() override { mText.clear(); }
        void commit() override { mSheet.put(mRow, mColumn, std::move(mText)); }

    private:
        FirstSheetCells &mSheet;
        sheetimport::row_t mRow = -1;
        sheetimport::col_t mColumn = -1;
        std::string mText;
    };

    struct LaterString
    {
        sheetimport::row_t row;
        sheetimport::col_t col;
        sheetimport::string_id_t index;
    };

    const std::vector<std::string> &mStrings;
    TextGrid *mGrid; // null for the sheets after the first
    StoredResult mFormula;
    std::vector<LaterString> mLaterStrings;
};

class WorkbookStrings final : public sheetimport::iface::import_shared_strings
{
public:
    std::vector<std::string> strings;

    size_t append(std::string_view s) override
    {
        strings.emplace_back(s);
        return strings.size() - 1;
    }
    size_t add(std::string_view s) override
    {
        if (const auto found = mIndex.find(std::string(s)); found != mIndex.end())
            return found->second;
        mIndex.emplace(std::string(s), strings.size());
        return append(s);
    }
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(sheetimport::color_elem_t, sheetimport::color_elem_t, sheetimport::color_elem_t,
                                sheetimport::color_elem_t) override
    {
    }
    void append_segment(std::string_view s) override { mSegments += s; }
    size_t commit_segments() override
    {
        const size_t index = append(mSegments);
        mSegments.clear();
        return index;
    }

private:
    std::unordered_map<std::string, size_t> mIndex;
    std::string mSegments;
};

// Cell addresses in the A1 style ("B12", "$B$12", "Sheet1!B12"); what is not one becomes a place
// outside every sheet, where nothing is kept.
class A1Addresses final : public sheetimport::iface::import_reference_resolver
{
public:
    sheetimport::src_address_t resolve_address(std::string_view address) override
    {
        if (const size_t bang = address.rfind('!'); bang != std::string_view::npos)
            address.remove_prefix(bang + 1);
        int64_t column = 0, row = 0;
        size_t letters = 0, digits = 0;
        for (const char c : address) {
            if (c == '$')
                continue;
            if (digits == 0 && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && letters < 3) {
                column = column * 26 + (std::toupper(static_cast<unsigned char>(c)) - 'A' + 1);
                ++letters;
            } else if (letters > 0 && c >= '0' && c <= '9' && digits < 7) {
                row = row * 10 + (c - '0');
                ++digits;
            } else
                return {0, -1, -1};
        }
        if (letters == 0 || digits == 0 || row == 0)
            return {0, -1, -1};
        return {0, static_cast<sheetimport::row_t>(row - 1), static_cast<sheetimport::col_t>(column - 1)};
    }
    sheetimport::src_range_t resolve_range(std::string_view range) override
    {
        const size_t colon = range.find(':');
        const sheetimport::src_address_t first = resolve_address(range.substr(0, colon));
        return {first, colon == std::string_view::npos ? first : resolve_address(range.substr(colon + 1))};
    }
};

class FirstSheetFactory final : public sheetimport::iface::import_factory
{
public:
    TextGrid grid;
    bool hasSheet = false;

    sheetimport::iface::import_shared_strings *get_shared_strings() override { return &mStrings; }
    sheetimport::iface::import_reference_resolver *get_reference_resolver(sheetimport::formula_ref_context_t) override
    {
        return &mAddresses;
    }
    sheetimport::iface::import_sheet *append_sheet(sheetimport::sheet_t, std::string_view name) override
    {
        mNames.emplace_back(name);
        mSheets.push_back(std::make_unique<FirstSheetCells>(mStrings.strings, hasSheet ? nullptr : &grid));
        hasSheet = true;
        return mSheets.back().get();
    }
    sheetimport::iface::import_sheet *get_sheet(std::string_view name) override
    {
        for (size_t i = 0; i < mNames.size(); ++i)
            if (mNames[i] == name)
                return mSheets[i].get();
        return nullptr;
    }
    sheetimport::iface::import_sheet *get_sheet(sheetimport::sheet_t index) override
    {
        return index >= 0 && static_cast<size_t>(index) < mSheets.size() ? mSheets[static_cast<size_t>(index)].get() : nullptr;
    }
    void finalize() override {}

    // False when the first sheet names a string the workbook does not hold.
    bool finish() { return mSheets.empty() || mSheets.front()->putLaterStrings(); }

private:
    WorkbookStrings mStrings;
    A1Addresses mAddresses;
    std::vector<std::string> mNames;
    std::vector<std::unique_ptr<FirstSheetCells>> mSheets;
};

std::optional<TextGrid> readZippedWorkbook(const std::string &path, bool openDocument, std::string *errorText)
{
    try {
        FirstSheetFactory factory;
        if (openDocument) {
            orcus::orcus_ods loader(&factory);
            loader.read_file(path);
        } else {
            orcus::orcus_xlsx loader(&factory);
            loader.read_file(path);
        }
        // liborcus does not always say when the archive is not of the kind it was asked for.
        if (!factory.hasSheet) {
            if (errorText)
                *errorText = SpreadsheetReader::unreadableMessage(path, "the workbook holds no worksheet");
            return std::nullopt;
        }
        if (!factory.finish()) {
            if (errorText)
                *errorText = SpreadsheetReader::unreadableMessage(path, "a cell refers to a text the workbook does not hold");
            return std::nullopt;
        }
        trimToUsedRange(factory.grid);
        return std::move(factory.grid);
    } catch (const std::exception &error) {
        if (errorText)
            *errorText = SpreadsheetReader::unreadableMessage(path, error.what());
        return std::nullopt;
    }
}

} // namespace

std::optional<TextGrid> SpreadsheetReader::readWorksheetStream(std::string_view bytes, std::string *errorText)
{
    TextGrid grid;
    size_t at = 0;
    bool begun = false;
    while (at + 4 <= bytes.size()) {
        const unsigned type = word(bytes, at);
        const size_t length = word(bytes, at + 2);
        const size_t body = at + 4;
        if (body + length > bytes.size())
            break;
        if (type == 0x0809)
            begun = true;
        else if (type == 0x000A)
            return grid;
        else if (type == 0x0204 && begun && length >= 8) {
            const int row = static_cast<int>(word(bytes, body));
            const int column = static_cast<int>(word(bytes, body + 2));
            const size_t textLength = std::min<size_t>(word(bytes, body + 6), length - 8);
            grid.setCell(column, row, std::string(bytes.substr(body + 8, textLength)));
        }
        at = body + length;
    }
    if (errorText)
        *errorText = begun ? "the worksheet stream ends without its end record" : "not a worksheet stream";
    return std::nullopt;
}

TextGrid SpreadsheetReader::readCsv(std::string_view text)
{
    if (startsWith(text, "\xEF\xBB\xBF"))
        text.remove_prefix(3);
    const std::string_view firstLine = text.substr(0, text.find_first_of("\r\n"));
    char separator = ',';
    size_t best = 0;
    for (char candidate : {'\t', ';', ','}) {
        const size_t count = static_cast<size_t>(std::count(firstLine.begin(), firstLine.end(), candidate));
        if (count > best) {
            best = count;
            separator = candidate;
        }
    }
    return readCsvWithSeparator(text, separator);
}

TextGrid SpreadsheetReader::readCsvWithSeparator(std::string_view text, char separator)
{
    if (startsWith(text, "\xEF\xBB\xBF"))
        text.remove_prefix(3);
    TextGrid grid;
    int row = 0;
    int column = 0;
    std::string field;
    bool quoted = false;
    bool lineHasContent = false;
    auto endField = [&] {
        if (!field.empty())
            grid.setCell(column, row, field);
        else
            grid.ensureSize(column + 1, row + 1);
        field.clear();
        ++column;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
            lineHasContent = true;
        } else if (c == separator) {
            endField();
            lineHasContent = true;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            if (lineHasContent || !field.empty())
                endField();
            else
                grid.ensureSize(1, row + 1);
            ++row;
            column = 0;
            lineHasContent = false;
        } else {
            field += c;
            lineHasContent = true;
        }
    }
    if (lineHasContent || !field.empty())
        endField();
    trimToUsedRange(grid);
    return grid;
}

std::optional<TextGrid> SpreadsheetReader::read(const std::string &path, std::string *errorText)
{
    std::string bytes;
    if (!readBytes(path, bytes)) {
        if (errorText)
            *errorText = unreadableMessage(path, "the file cannot be opened");
        return std::nullopt;
    }
    if (startsWith(bytes, "\x09\x08")) {
        std::string reason;
        auto grid = readWorksheetStream(bytes, &reason);
        if (!grid && errorText)
            *errorText = unreadableMessage(path, reason);
        return grid;
    }
    if (startsWith(bytes, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
        if (const auto fault = compoundDirectoryFault(bytes)) {
            if (errorText)
                *errorText = unreadableMessage(path, *fault);
            return std::nullopt;
        }
        return readApart([&path](std::string *error) { return readWorkbook(path, error); }, path, errorText);
    }
    if (startsWith(bytes, "PK\x03\x04")) {
        if (const auto fault = zipDirectoryFault(bytes)) {
            if (errorText)
                *errorText = unreadableMessage(path, *fault);
            return std::nullopt;
        }
        // Both kinds are zip archives; the name says which to try first.
        const bool ods = toLower(std::filesystem::path(path).extension().string()) == ".ods";
        return readApart(
            [&](std::string *error) -> std::optional<TextGrid> {
                std::string first;
                if (auto grid = readZippedWorkbook(path, ods, &first))
                    return grid;
                if (auto grid = readZippedWorkbook(path, !ods, nullptr))
                    return grid;
                if (error)
                    *error = first;
                return std::nullopt;
            },
            path, errorText);
    }
    if (bytes.find('\0') != std::string::npos) {
        if (errorText)
            *errorText = unreadableMessage(path, "unknown file format");
        return std::nullopt;
    }
    return readCsv(bytes);
}

} // namespace rvk
