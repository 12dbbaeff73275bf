#pragma once

#include "render/drawsurface.h"
#include "render/fontresolver.h"

#include <cstdint>
#include <string>

namespace rvk {

class ViewPicture;

// The surface that writes a Windows metafile (WMF, with the placeable header that programs
// expect of a .wmf file): every operation becomes WMF records. One logical unit is one pixel of
// the picture at 96 dpi. WMF has 16-bit coordinates, 8-bit text and no pattern brushes of the
// kind the black-and-white drawing uses: coordinates are clamped, characters outside Latin-1
// become "?", and a pattern brush is written as a solid brush of its ink. The file is complete
// only after finish().
class WmfSurface : public DrawSurface
{
public:
    WmfSurface(const std::string &path, int width, int height);
    ~WmfSurface() override;
    WmfSurface(const WmfSurface &) = delete;
    WmfSurface &operator=(const WmfSurface &) = delete;

    bool isOpen() const { return mTrack != nullptr; }
    // Writes the end record and the file; false, with the reason, when it could not be written.
    bool finish(std::string &error);

    void setPen(const PenSpec &pen) override;
    void setBrush(const BrushSpec &brush) override;
    void setBrushPattern(int k) override;
    void setFont(const FontDescription &font) override;

    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void fillRect(int x1, int y1, int x2, int y2) override;
    void pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void textOut(int x, int y, const std::string &text) override;
    int textWidth(const std::string &text) override;
    int textHeight(const std::string &text) override;
    void textOutRotated(int x, int y, const std::string &text, int angle) override;
    void drawPicture(const ViewPicture &picture, int x1, int y1, int x2, int y2) override;

    PenSpec pen() const override { return mPen; }
    BrushSpec brush() const override { return mBrush; }
    FontDescription font() const override { return mFont; }

private:
    bool append(char *record);
    void realizePen();
    void realizeBrush();
    void realizeFont(int angle);
    void setBackgroundMode(bool opaque, Rgb color);
    void selectNew(std::int64_t &current, std::uint32_t created);
    void text(int x, int y, const std::string &text, int angle);

    struct Track;
    Track *mTrack = nullptr;
    std::string mError;
    PenSpec mPen;
    BrushSpec mBrush;
    FontDescription mFont;
    FontCache mFonts;
    bool mPenValid = false;
    bool mBrushValid = false;
    bool mFontValid = false;
    int mFontAngle = 0;
    bool mTextColorValid = false;
    Rgb mTextColor = 0;
    int mBackgroundMode = 0;
    Rgb mBackgroundColor = 0;
    bool mBackgroundColorValid = false;
    std::int64_t mPenHandle = -1; // -1: none created yet
    std::int64_t mBrushHandle = -1;
    std::int64_t mFontHandle = -1;
    std::uint32_t mNullPen = 0;
};

// The picture as a WMF file of its size.
bool savePictureWmf(const ViewPicture &picture, const std::string &path, std::string &error);

} // namespace rvk
