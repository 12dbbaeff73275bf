#pragma once

#include "io/textgrid.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace rvk {

// Reads the used range of the first worksheet of a spreadsheet file into a text grid, starting
// at its first cell: ".xls" workbooks (through FreeXL), the bare ".xls" worksheet streams the
// program writes itself, ".xlsx" and ".ods" (through liborcus) and ".csv" text. The kind is
// taken from the file's first bytes, so a misnamed file still reads. Numbers become their
// shortest text ("12", "1.5").
class SpreadsheetReader
{
public:
    // The grid, or nothing with a message fit to show in errorText.
    static std::optional<TextGrid> read(const std::string &path, std::string *errorText = nullptr);

    // A bare worksheet stream: BOF, LABEL and EOF records (others are skipped). The grid spans
    // every cell a LABEL record names, empty ones included.
    static std::optional<TextGrid> readWorksheetStream(std::string_view bytes, std::string *errorText = nullptr);
    // Comma-, semicolon- or tab-separated text (the separator most frequent in the first line),
    // fields optionally in double quotes with "" for a quote.
    static TextGrid readCsv(std::string_view text);
    static TextGrid readCsvWithSeparator(std::string_view text, char separator);

    // The libraries that read the workbooks of other programs are not safe on damaged files:
    // fuzzing found FreeXL reading outside its buffers and liborcus ending the process on a
    // failed assertion. The files are checked before the libraries see them, and the libraries
    // read in a child process of their own, which hands the grid back through a pipe, so that
    // what the checks miss cannot harm the program: a reader that ends its process, or neither
    // writes nor ends within a minute, leaves "the file is damaged" in errorText.
    using WorkbookReader = std::function<std::optional<TextGrid>(std::string *errorText)>;
    static std::optional<TextGrid> readApart(const WorkbookReader &reader, const std::string &path, std::string *errorText);

    static std::string unreadableMessage(const std::string &path, const std::string &reason)
    {
        return "The file " + path + " could not be read as a spreadsheet: " + reason;
    }
};

} // namespace rvk
