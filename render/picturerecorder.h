#pragma once

#include "render/drawsurface.h"
#include "render/fontresolver.h"
#include "render/viewpicture.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace rvk {

// The surface that records every operation into a ViewPicture (appending to what it holds).
// Texts are measured with the same fonts and metrics a 96-dpi bitmap paints them with, so a
// recording replayed onto a bitmap puts every text box where the painter computed it.
// A state change that repeats the current state is not recorded.
class PictureRecorder : public DrawSurface
{
public:
    explicit PictureRecorder(ViewPicture &picture);

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

    ViewPicture &picture() { return mPicture; }

private:
    void record(ViewPicture::Op op, std::initializer_list<std::int32_t> arguments);
    std::pair<std::int32_t, std::int32_t> storeText(const std::string &text);

    ViewPicture &mPicture;
    PenSpec mPen;
    BrushSpec mBrush;
    FontDescription mFont;
    FontCache mFonts;
    // Font names are few; each is stored once in the text pool.
    std::vector<std::pair<std::string, std::pair<std::int32_t, std::int32_t>>> mFontNames;
};

// Records what view.draw paints into a picture of the size of the layout it returns; layout,
// when given, receives that layout.
template <typename View> ViewPicture recordView(const View &view, typename View::Layout *layout)
{
    ViewPicture picture;
    PictureRecorder recorder(picture);
    const typename View::Layout result = view.draw(recorder);
    picture.setSize(result.width, result.height);
    if (layout)
        *layout = result;
    return picture;
}

} // namespace rvk
