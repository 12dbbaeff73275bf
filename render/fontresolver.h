#pragma once

#include "settings/fontdescription.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <memory>
#include <string>
#include <vector>

namespace rvk {

// Font names as the settings and pictures store them ("Arial", "Tahoma", "Courier New") are
// those of the platform the program came from; this turns them into fonts installed here with
// the same metrics where there are such (the Liberation family), so texts keep their width.
QString resolvedFontFamily(const std::string &name);

// Pixel height of a font of the given points at the given pixels per inch, rounded to the
// nearest pixel as the old surfaces did (8 points at 96 dpi = 11 pixels).
int fontPixelSize(int points, int dotsPerInch);

// The QFont every surface draws and measures a FontDescription with: the resolved family at a pixel
// size, no kerning (texts are as wide as the sum of their characters) and no antialiasing, so
// pictures are the same pixel for pixel wherever they are painted.
QFont resolvedFont(const FontDescription &font, int dotsPerInch);

// A few recently used fonts with their metrics: painters switch between two or three fonts,
// and building a QFont with metrics for every switch would dominate text-heavy drawings.
class FontCache
{
public:
    explicit FontCache(int dotsPerInch = 96) : mDotsPerInch(dotsPerInch) {}
    struct Entry
    {
        FontDescription spec;
        QFont font;
        QFontMetrics metrics;
    };
    const Entry &get(const FontDescription &spec);
    int dotsPerInch() const { return mDotsPerInch; }

private:
    int mDotsPerInch;
    std::vector<std::unique_ptr<Entry>> mEntries;
};

} // namespace rvk
