#pragma once
// Handing a file or web page to the desktop's default program.

#include <QUrl>

namespace rvk {

// Opens url with the desktop's default program. For a local file, false when the desktop has no
// program for its type: the hand-over would otherwise succeed and nothing would open.
bool openWithDefaultProgram(const QUrl &url);

} // namespace rvk
