#pragma once

#include "io/textgrid.h"

#include <functional>
#include <string>
#include <string_view>

namespace rvk {

// Writes a table of text cells as a minimal spreadsheet file (".xls" worksheet stream: a BOF
// record, one LABEL record per cell, column by column, and EOF) that spreadsheet programs open
// directly. Every cell is written as text, empty ones included; headings are cells like any
// other. The file goes through a temporary name, so a failure leaves an old file as it was.
// Returns true when written; false with "Unable to write to " + path in errorText otherwise.
bool WriteGridAsSpreadsheet(const TextGrid &grid, const std::string &path, std::string *errorText = nullptr);

// The same for a table held elsewhere (a window's grid): cell(column, row) gives each text.
bool WriteGridAsSpreadsheet(int columns, int rows, const std::function<std::string(int column, int row)> &cell,
                            const std::string &path, std::string *errorText = nullptr);

// The bytes of such a file. A cell text longer than a record can hold (65 527 bytes) is cut to
// that length.
std::string spreadsheetBytes(int columns, int rows, const std::function<std::string(int column, int row)> &cell);

constexpr size_t MaxSpreadsheetCellBytes = 65527;

} // namespace rvk
