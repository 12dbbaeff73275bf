#include "render/metafilesurface.h"

#include "render/viewpicture.h"

#include <uemf.h>

#include <QString>

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

bool MetafileSurface::append(char *record)
{
    if (!isOpen())
        return false;
    if (!record) {
        if (mError.empty())
            mError = "A drawing operation could not be written as a metafile record";
        return false;
    }
    if (!store(record)) {
        mError = "Out of memory while writing the metafile";
        return false;
    }
    return true;
}

void MetafileSurface::realizePen()
{
    if (mPenValid || !isOpen())
        return;
    writePen();
    mPenValid = true;
}

void MetafileSurface::realizeBrush()
{
    if (mBrushValid || !isOpen())
        return;
    writeBrush();
    mBrushValid = true;
}

void MetafileSurface::realizeFont(int angle)
{
    if (!isOpen())
        return;
    if (!mFontValid || angle != mFontAngle) {
        writeFont(angle);
        mFontValid = true;
        mFontAngle = angle;
    }
    if (!mTextColorValid || mTextColor != mFont.color) {
        writeTextColor(mFont.color);
        mTextColor = mFont.color;
        mTextColorValid = true;
    }
}

void MetafileSurface::setBackgroundMode(bool opaque, Rgb color)
{
    const int mode = opaque ? U_OPAQUE : U_TRANSPARENT;
    if (mode != mBackgroundMode) {
        writeBackgroundMode(mode);
        mBackgroundMode = mode;
    }
    if (opaque && (!mBackgroundColorValid || color != mBackgroundColor)) {
        writeBackgroundColor(color);
        mBackgroundColor = color;
        mBackgroundColorValid = true;
    }
}

bool MetafileSurface::isHatch(BrushSpec::Style style)
{
    return style != BrushSpec::Style::Solid && style != BrushSpec::Style::Clear && style != BrushSpec::Style::Pattern;
}

std::uint32_t MetafileSurface::hatchOf(BrushSpec::Style style)
{
    switch (style) {
    case BrushSpec::Style::DiagonalRising: return U_HS_BDIAGONAL;
    case BrushSpec::Style::DiagonalFalling: return U_HS_FDIAGONAL;
    case BrushSpec::Style::Cross: return U_HS_CROSS;
    case BrushSpec::Style::DiagonalCross: return U_HS_DIAGCROSS;
    case BrushSpec::Style::Horizontal: return U_HS_HORIZONTAL;
    case BrushSpec::Style::Vertical: return U_HS_VERTICAL;
    default: return U_HS_HORIZONTAL;
    }
}

int MetafileSurface::textWidth(const std::string &text)
{
    return mFonts.get(mFont).metrics.horizontalAdvance(QString::fromStdString(text));
}

int MetafileSurface::textHeight(const std::string &) { return mFonts.get(mFont).metrics.height(); }

void MetafileSurface::textOut(int x, int y, const std::string &text) { this->text(x, y, text, 0); }

void MetafileSurface::textOutRotated(int x, int y, const std::string &text, int angle) { this->text(x, y, text, angle); }

void MetafileSurface::drawPicture(const ViewPicture &picture, int x1, int y1, int x2, int y2)
{
    picture.replay(*this, x1, y1, x2, y2);
}

} // namespace rvk
