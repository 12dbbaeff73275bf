#pragma once

#include "settings/fontdescription.h"

#include <optional>

class QWidget;

namespace rvk {

// The font dialog of the label fonts: family, size and style (bold, italic, underline) as the
// platform's font dialog offers them, and the text colour, which that dialog lacks on most
// desktops. Nothing when cancelled.
std::optional<FontDescription> chooseFont(QWidget *parent, const FontDescription &current);

} // namespace rvk
