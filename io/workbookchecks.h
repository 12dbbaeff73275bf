#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rvk {

// Checks of a workbook's container, made before a library that believes it reads the file. Each
// gives the reason a damaged file is refused ("its zip directory is damaged ..."), or nothing.

// The directory of a zip archive (.xlsx, .ods).
std::optional<std::string> zipDirectoryFault(std::string_view bytes);
// A compound file (.xls workbooks): its directory, its chains of sectors and the texts of its
// workbook stream's records.
std::optional<std::string> compoundFileFault(std::string_view bytes);

} // namespace rvk
