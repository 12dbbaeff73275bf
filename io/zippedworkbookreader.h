#pragma once

#include "io/textgrid.h"

#include <optional>
#include <string>

namespace rvk {

// The first worksheet of a zipped workbook, read by liborcus as an .ods (openDocument) or an
// .xlsx: every cell it holds, at its place (the grid is not trimmed). Nothing, with the reason in
// reason, when the file is not such a workbook or is damaged.
std::optional<TextGrid> readZippedWorkbook(const std::string &path, bool openDocument, std::string *reason);

} // namespace rvk
