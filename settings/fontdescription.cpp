#include "settings/fontdescription.h"

#include "core/textformat.h"

namespace rvk {

std::string fontCaption(const FontDescription &font) { return formatText("%s (%d)", {font.name, font.size}); }

} // namespace rvk
