#pragma once
// A bitmap surface that records every text drawn on it, straight or turned, with the point it
// was drawn at, its angle and the font in force, so that tests can compare the texts of a
// picture with the texts it should hold.

#include "render/paintersurface.h"
#include "render/viewpicture.h"

#include <QImage>

#include <string>
#include <vector>

namespace rvk::test {

class TextCapture : public PainterSurface
{
public:
    using PainterSurface::PainterSurface;

    struct Text
    {
        int x = 0;
        int y = 0;
        int angle = 0;
        std::string text;
        FontDescription font;
        int width = 0;  // extent in the font it was drawn in
        int height = 0;
    };

    void textOut(int x, int y, const std::string &text) override
    {
        record(x, y, text, 0);
        PainterSurface::textOut(x, y, text);
    }
    void textOutRotated(int x, int y, const std::string &text, int angle) override
    {
        record(x, y, text, angle);
        PainterSurface::textOutRotated(x, y, text, angle);
    }

    std::vector<Text> texts;

private:
    void record(int x, int y, const std::string &text, int angle)
    {
        texts.push_back(Text{x, y, angle, text, font(), textWidth(text), textHeight(text)});
    }
};

// The texts of picture, replayed onto a white bitmap of its size, in drawing order.
inline std::vector<TextCapture::Text> capturedTexts(const ViewPicture &picture)
{
    QImage image(picture.width(), picture.height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    TextCapture surface(image);
    picture.replay(surface);
    return surface.texts;
}

// The captured texts for which keep is true, in drawing order.
template <typename Keep> std::vector<TextCapture::Text> textsWhere(const std::vector<TextCapture::Text> &texts, Keep keep)
{
    std::vector<TextCapture::Text> result;
    for (const TextCapture::Text &t : texts)
        if (keep(t))
            result.push_back(t);
    return result;
}

} // namespace rvk::test
