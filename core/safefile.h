#pragma once
// Every file the program writes goes through here: the bytes go to a fresh temporary file in
// the target's folder, which then replaces the target in one rename. A failed write leaves an
// existing file exactly as it was and no temporary file behind.

#include <functional>
#include <string>
#include <string_view>

namespace rvk {

// Writes bytes to path. On failure errorText (when given) gets "Unable to write to " + path.
bool writeFileReplacing(const std::string &path, std::string_view bytes, std::string *errorText = nullptr);

// For writers that need a file name of their own (image and picture writers): write is called
// with a temporary path in the target's folder and returns whether it wrote the file there.
bool writeFileReplacing(const std::string &path, const std::function<bool(const std::string &temporaryPath)> &write,
                        std::string *errorText = nullptr);

std::string unableToWriteMessage(const std::string &path);

} // namespace rvk
