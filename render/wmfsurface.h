#pragma once

#include "render/metafilesurface.h"

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
class WmfSurface : public MetafileSurface
{
public:
    WmfSurface(const std::string &path, int width, int height);
    ~WmfSurface() override;
    WmfSurface(const WmfSurface &) = delete;
    WmfSurface &operator=(const WmfSurface &) = delete;

    bool isOpen() const override { return mTrack != nullptr; }
    // Writes the end record and the file; false, with the reason, when it could not be written.
    bool finish(std::string &error);

    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void fillRect(int x1, int y1, int x2, int y2) override;
    void pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;

private:
    bool store(char *record) override;
    void writePen() override;
    void writeBrush() override;
    void writeFont(int angle) override;
    void writeTextColor(Rgb color) override;
    void writeBackgroundMode(int mode) override;
    void writeBackgroundColor(Rgb color) override;
    void text(int x, int y, const std::string &text, int angle) override;
    void selectNew(std::int64_t &current, std::uint32_t created);

    struct Track;
    Track *mTrack = nullptr;
    std::int64_t mPenHandle = -1; // -1: none created yet
    std::int64_t mBrushHandle = -1;
    std::int64_t mFontHandle = -1;
    std::uint32_t mNullPen = 0;
};

// The picture as a WMF file of its size.
bool savePictureWmf(const ViewPicture &picture, const std::string &path, std::string &error);

} // namespace rvk
