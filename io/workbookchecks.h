#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rvk {

// Checks of a workbook's container, made before a library that believes it reads the file. Each
// gives the reason a damaged file is refused ("its zip directory is damaged ..."), or nothing.

// The directory of a zip archive (.xlsx, .ods).
std::optional<std::string> zipDirectoryFault(std::string_view bytes);
// The directory of a compound file (.xls workbooks).
std::optional<std::string> compoundDirectoryFault(std::string_view bytes);

} // namespace rvk
