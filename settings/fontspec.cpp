#include "settings/fontspec.h"

#include "core/textformat.h"

namespace rvk {

std::string fontCaption(const FontSpec &font) { return formatText("%s (%d)", {font.name, font.size}); }

} // namespace rvk
