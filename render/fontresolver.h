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
// The answer is the family as others know it ("Liberation Sans"): what vector files name.
QString resolvedFontFamily(const std::string &name);

// The family the surfaces draw a font name with. The usual faces (Liberation Sans, Sans Narrow,
// Serif and Mono of fonts-liberation, Tahoma and MS Sans Serif of fonts-wine) are read from their
// exact files and registered under names of the program's own ("RVK Liberation Sans"), so that
// pictures come out the same whatever other versions of these families a machine has (the font
// configuration of a desktop with fonts-liberation2 answers "Liberation Sans" with other glyphs).
// Where those files are missing, the installed family of resolvedFontFamily.
QString drawingFontFamily(const std::string &name);

// The family others know for a family the surfaces draw with: "RVK Liberation Sans" gives
// "Liberation Sans"; any other family is itself.
QString publicFontFamily(const QString &family);

// Pixel height of a font of the given points at the given pixels per inch, rounded to the
// nearest pixel as the old surfaces did (8 points at 96 dpi = 11 pixels).
int fontPixelSize(int points, int dotsPerInch);

// The QFont every surface draws and measures a FontDescription with: the drawing family at a pixel
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
