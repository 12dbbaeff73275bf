#pragma once

#include "io/textgrid.h"

#include <functional>
#include <string>
#include <string_view>

namespace rvk {

// Writes a table of text cells as a minimal spreadsheet file (".xls" worksheet stream: a BOF
// record, one LABEL record per cell, column by column, and EOF) that spreadsheet programs open
// directly. Every cell is written as text, empty ones included; headings are cells like any
// other. Texts are written in the file's 8-bit code page, Windows-1252 (what spreadsheet
// programs assume for such a file): "R²" is the bytes 'R', 0xB2. The file goes through a
// temporary name, so a failure leaves an old file as it was.
// A table wider or longer than the format holds is not written: false with
// spreadsheetSizeProblem's text in errorText. Otherwise true when written; false with
// "Unable to write to " + path in errorText when the file cannot be written.
bool WriteGridAsSpreadsheet(const TextGrid &grid, const std::string &path, std::string *errorText = nullptr);

// The same for a table held elsewhere (a window's grid): cell(column, row) gives each text.
bool WriteGridAsSpreadsheet(int columns, int rows, const std::function<std::string(int column, int row)> &cell,
                            const std::string &path, std::string *errorText = nullptr);

// The bytes of such a file. A cell text longer than a record can hold (65 527 bytes) is cut to
// that length.
std::string spreadsheetBytes(int columns, int rows, const std::function<std::string(int column, int row)> &cell);

constexpr size_t MaxSpreadsheetCellBytes = 65527;

// The format's sheet: columns A to IV and 65536 rows. Excel stops at these; LibreOffice reads
// further columns of such a file, but a file that only some programs open is not written.
constexpr int MaxSpreadsheetColumns = 256;
constexpr int MaxSpreadsheetRows = 65536;

// Empty when a table of this size fits a spreadsheet file; otherwise a sentence saying so,
// such as "The table has 3001 columns; a spreadsheet file (.xls) holds at most 256 columns and
// 65536 rows." Callers add which of their other formats to use instead.
std::string spreadsheetSizeProblem(int columns, int rows);

// A UTF-8 text in the file's code page, Windows-1252: characters it lacks become "?"; bytes
// that are not UTF-8 are taken as already 8-bit and kept.
std::string spreadsheetCodePageText(std::string_view utf8);
// The reverse for texts read from such a file: UTF-8 of Windows-1252 bytes. A text that is
// already valid UTF-8 (as files written before the code page was used hold) is kept.
std::string textOfSpreadsheetCodePage(std::string_view bytes);

} // namespace rvk
