#include "io/spreadsheetwriter.h"

#include "core/datafilewriter.h"

#include <algorithm>

namespace rvk {

namespace {

void putWord(std::string &out, unsigned value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

} // namespace

std::string spreadsheetBytes(int columns, int rows, const std::function<std::string(int, int)> &cell)
{
    std::string out;
    for (unsigned word : {0x0809u, 8u, 0u, 0x0010u, 0u, 0u})
        putWord(out, word);
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            const std::string text = cell(c, r);
            const size_t length = std::min(text.size(), MaxSpreadsheetCellBytes);
            for (unsigned word : {0x0204u, static_cast<unsigned>(length + 8), static_cast<unsigned>(r),
                                  static_cast<unsigned>(c), 0u, static_cast<unsigned>(length)})
                putWord(out, word);
            out.append(text, 0, length);
        }
    }
    putWord(out, 0x000A);
    putWord(out, 0);
    return out;
}

bool WriteGridAsSpreadsheet(int columns, int rows, const std::function<std::string(int, int)> &cell,
                            const std::string &path, std::string *errorText)
{
    return writeFileReplacing(path, spreadsheetBytes(columns, rows, cell), errorText);
}

bool WriteGridAsSpreadsheet(const TextGrid &grid, const std::string &path, std::string *errorText)
{
    return WriteGridAsSpreadsheet(
        grid.columnCount(), grid.rowCount(), [&grid](int c, int r) { return grid.cell(c, r); }, path, errorText);
}

} // namespace rvk
