#pragma once

#include "render/drawsurface.h"
#include "render/fontresolver.h"

#include <string>

namespace rvk {

// What the metafile surfaces (EMF, WMF) share: the pen, brush and font the drawing has set, which
// of them the objects selected in the file no longer show, and the text and background state the
// file was last given. Each surface writes its own records and realizes an object only before an
// operation that uses it, so that a drawing that sets the same pen a thousand times writes it once.
class MetafileSurface : public DrawSurface
{
public:
    void setPen(const PenSpec &pen) override;
    void setBrush(const BrushSpec &brush) override;
    void setBrushPattern(int k) override;
    void setFont(const FontDescription &font) override;

    PenSpec pen() const override { return mPen; }
    BrushSpec brush() const override { return mBrush; }
    FontDescription font() const override { return mFont; }

protected:
    std::string mError;
    PenSpec mPen;
    BrushSpec mBrush;
    FontDescription mFont;
    FontCache mFonts{96}; // one logical unit is one pixel at 96 dpi
    bool mPenValid = false;
    bool mBrushValid = false;
    bool mFontValid = false;
    int mFontAngle = 0;
    bool mTextColorValid = false;
    Rgb mTextColor = 0;
    int mBackgroundMode = 0; // 0 unknown, else the record's mode
    Rgb mBackgroundColor = 0;
    bool mBackgroundColorValid = false;
};

} // namespace rvk
