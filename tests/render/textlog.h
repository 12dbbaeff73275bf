#pragma once
// A bitmap surface that also logs every text it writes, with the box the text takes, so that
// tests can check where labels and captions stand and what they cover.

#include "render/paintersurface.h"
#include "render/viewpicture.h"

#include <QImage>

#include <string>
#include <vector>

namespace rvk::test {

class TextLog : public PainterSurface
{
public:
    using PainterSurface::PainterSurface;

    struct Text
    {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        std::string text;
    };

    void textOut(int x, int y, const std::string &text) override
    {
        texts.push_back(Text{x, y, textWidth(text), textHeight(text), text});
        PainterSurface::textOut(x, y, text);
    }

    std::vector<Text> texts;
};

// Replays picture onto a white bitmap of its size; image receives the bitmap.
inline std::vector<TextLog::Text> replayLoggingTexts(const ViewPicture &picture, QImage &image)
{
    image = QImage(picture.width(), picture.height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    TextLog log(image);
    picture.replay(log);
    return log.texts;
}

} // namespace rvk::test
