#pragma once

#include "render/metafilesurface.h"

#include <cstdint>
#include <string>

namespace rvk {

// The surface that writes an enhanced metafile (EMF): every operation becomes EMF records
// (pens, solid, hatched and pattern brushes, fonts, text, rectangles, pies, arcs, lines). One
// logical unit is one pixel of the picture, and the header states a 96-dpi reference device of
// the picture's size. The file is complete only after finish().
class EmfSurface : public MetafileSurface
{
public:
    EmfSurface(const std::string &path, int width, int height);
    ~EmfSurface() override;
    EmfSurface(const EmfSurface &) = delete;
    EmfSurface &operator=(const EmfSurface &) = delete;

    bool isOpen() const override { return mTrack != nullptr; }
    // Writes the end record and the file. False, with the reason, when the file could not be
    // written (or could not be opened in the first place).
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
    void selectNew(std::uint32_t &current, std::uint32_t created);

    struct Track;
    Track *mTrack = nullptr;
    std::uint32_t mPenHandle = 0;
    std::uint32_t mBrushHandle = 0;
    std::uint32_t mFontHandle = 0;
};

// Rewrites the reference-device size in an EMF file's header: 32-bit little-endian words 18
// and 19 (byte offsets 72 and 76) become width and height; no other byte changes.
bool setEmfDeviceSize(const std::string &path, int width, int height, std::string &error);

} // namespace rvk
