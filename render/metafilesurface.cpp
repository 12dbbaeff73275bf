#include "render/metafilesurface.h"

namespace rvk {

void MetafileSurface::setPen(const PenSpec &pen)
{
    if (pen == mPen)
        return;
    mPen = pen;
    mPenValid = false;
}

void MetafileSurface::setBrush(const BrushSpec &brush)
{
    if (brush == mBrush)
        return;
    mBrush = brush;
    mBrushValid = false;
}

void MetafileSurface::setBrushPattern(int k) { setBrush(patternBrushSpec(k)); }

void MetafileSurface::setFont(const FontDescription &font)
{
    if (font == mFont)
        return;
    if (font.color != mFont.color && mBrush.style == BrushSpec::Style::Pattern)
        mBrushValid = false; // the pattern's ink is the font colour
    if (font.name != mFont.name || font.size != mFont.size || font.bold != mFont.bold || font.italic != mFont.italic
        || font.underline != mFont.underline)
        mFontValid = false;
    mFont = font;
}

} // namespace rvk
