#pragma once

#include "render/drawsurface.h"
#include "render/fontresolver.h"

#include <cstdint>
#include <string>

namespace rvk {

// What the metafile surfaces (EMF, WMF) share: the pen, brush and font the drawing has set, which
// of them the objects selected in the file no longer show, and the text and background state the
// file was last given. An object is realized only before an operation that uses it, so that a
// drawing that sets the same pen a thousand times writes it once; each surface says how its
// records are written.
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

    int textWidth(const std::string &text) override;
    int textHeight(const std::string &text) override;
    void textOut(int x, int y, const std::string &text) override;
    void textOutRotated(int x, int y, const std::string &text, int angle) override;
    void drawPicture(const ViewPicture &picture, int x1, int y1, int x2, int y2) override;

    // Whether the file is being written.
    virtual bool isOpen() const = 0;

protected:
    // Hands a record made by the metafile library to the file; a missing record (the library
    // could not make it) or a full memory is noted in mError. False when nothing was written.
    bool append(char *record);
    // Selects the pen, brush or font the drawing has set, when the file does not show it yet.
    void realizePen();
    void realizeBrush();
    void realizeFont(int angle);
    void setBackgroundMode(bool opaque, Rgb color);

    static bool isHatch(BrushSpec::Style style);
    // The metafile hatch style of a hatched brush.
    static std::uint32_t hatchOf(BrushSpec::Style style);

private:
    // The records, as each format writes them.
    virtual bool store(char *record) = 0;
    virtual void writePen() = 0;
    virtual void writeBrush() = 0;
    virtual void writeFont(int angle) = 0;
    virtual void writeTextColor(Rgb color) = 0;
    virtual void writeBackgroundMode(int mode) = 0;
    virtual void writeBackgroundColor(Rgb color) = 0;
    virtual void text(int x, int y, const std::string &text, int angle) = 0;

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
