#include "io/spreadsheetreader.h"

#include "core/textformat.h"
#include "core/textlines.h"
#include "io/littleendian.h"
#include "io/spreadsheetwriter.h"
#include "io/workbookchecks.h"
#include "io/zippedworkbookreader.h"

#include <freexl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

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

std::optional<TextGrid> SpreadsheetReader::readWorksheetStream(std::string_view bytes, std::string *errorText)
{
    TextGrid grid;
    size_t at = 0;
    bool begun = false;
    while (at + 4 <= bytes.size()) {
        const unsigned type = littleEndian16(bytes, at);
        const size_t length = littleEndian16(bytes, at + 2);
        const size_t body = at + 4;
        if (body + length > bytes.size())
            break;
        if (type == 0x0809)
            begun = true;
        else if (type == 0x000A)
            return grid;
        else if (type == 0x0204 && begun && length >= 8) {
            const int row = static_cast<int>(littleEndian16(bytes, body));
            const int column = static_cast<int>(littleEndian16(bytes, body + 2));
            const size_t textLength = std::min<size_t>(littleEndian16(bytes, body + 6), length - 8);
            grid.setCell(column, row, textOfSpreadsheetCodePage(bytes.substr(body + 8, textLength)));
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
        if (const auto fault = compoundFileFault(bytes)) {
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
                auto grid = readZippedWorkbook(path, ods, &first);
                if (!grid)
                    grid = readZippedWorkbook(path, !ods, nullptr);
                if (grid)
                    trimToUsedRange(*grid);
                else if (error)
                    *error = unreadableMessage(path, first);
                return grid;
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
