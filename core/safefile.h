#pragma once
// Every file the program writes goes through here: the bytes go to a fresh temporary file in
// the target's folder, which then replaces the target in one rename. A failed write leaves an
// existing file exactly as it was and no temporary file behind.

#include <functional>
#include <string>
#include <string_view>

namespace rvk {

class UserInterface;

// Writes bytes to path. On failure errorText (when given) gets "Unable to write to " + path.
bool writeFileReplacing(const std::string &path, std::string_view bytes, std::string *errorText = nullptr);

// For writers that need a file name of their own (image and picture writers): write is called
// with a temporary path in the target's folder and returns whether it wrote the file there.
bool writeFileReplacing(const std::string &path, const std::function<bool(const std::string &temporaryPath)> &write,
                        std::string *errorText = nullptr);

// Writes bytes to path; a failure is shown through ui as an error with the text above.
bool writeFileReplacing(const std::string &path, std::string_view bytes, UserInterface &ui);

std::string unableToWriteMessage(const std::string &path);

} // namespace rvk
