#pragma once
// Writing a finished report to disk. The text goes to a temporary file beside the target that
// is renamed over it only when complete, so a failed save never destroys an older report.

#include <string>

namespace rvk {

// The chosen name with ext (".txt", ".xls") appended when its file name has no extension.
std::string withDefaultExtension(const std::string &path, const std::string &ext);

// Writes text as it is (the reports carry their own CR LF line ends). Returns an empty text on
// success, else a message naming the file.
std::string writeReportFile(const std::string &path, const std::string &text);

} // namespace rvk
