#include "render/picturerecorder.h"

namespace rvk {

namespace {
std::int32_t word(Rgb color) { return static_cast<std::int32_t>(color); }
} // namespace

PictureRecorder::PictureRecorder(ViewPicture &picture) : mPicture(picture)
{
    // Appending to a picture whose last state is unknown: state the starting state explicitly,
    // so that the skipping of repeated state changes stays right.
    if (!mPicture.isEmpty()) {
        record(ViewPicture::Op::SetPen, {word(mPen.color), mPen.width, static_cast<std::int32_t>(mPen.style)});
        record(ViewPicture::Op::SetBrush, {word(mBrush.color), static_cast<std::int32_t>(mBrush.style), mBrush.pattern});
        mFont = FontDescription{};
        FontDescription start = mFont;
        mFont.size = -1;
        setFont(start);
    }
}

void PictureRecorder::record(ViewPicture::Op op, std::initializer_list<std::int32_t> arguments)
{
    auto &words = mPicture.mWords;
    words.push_back(static_cast<std::int32_t>(op));
    words.insert(words.end(), arguments);
    ++mPicture.mOperationCount;
}

std::pair<std::int32_t, std::int32_t> PictureRecorder::storeText(const std::string &text)
{
    const auto offset = static_cast<std::uint32_t>(mPicture.mTexts.size());
    mPicture.mTexts += text;
    return {static_cast<std::int32_t>(offset), static_cast<std::int32_t>(text.size())};
}

void PictureRecorder::setPen(const PenSpec &pen)
{
    if (pen == mPen)
        return;
    mPen = pen;
    record(ViewPicture::Op::SetPen, {word(pen.color), pen.width, static_cast<std::int32_t>(pen.style)});
}

void PictureRecorder::setBrush(const BrushSpec &brush)
{
    if (brush == mBrush)
        return;
    mBrush = brush;
    record(ViewPicture::Op::SetBrush, {word(brush.color), static_cast<std::int32_t>(brush.style), brush.pattern});
}

void PictureRecorder::setBrushPattern(int k) { setBrush(patternBrushSpec(k)); }

void PictureRecorder::setFont(const FontDescription &font)
{
    if (font == mFont)
        return;
    mFont = font;
    std::pair<std::int32_t, std::int32_t> name{0, 0};
    bool found = false;
    for (const auto &known : mFontNames) {
        if (known.first == font.name) {
            name = known.second;
            found = true;
            break;
        }
    }
    if (!found) {
        name = storeText(font.name);
        mFontNames.emplace_back(font.name, name);
    }
    record(ViewPicture::Op::SetFont, {name.first, name.second, font.size, word(font.color), fontStyleBits(font)});
}

void PictureRecorder::moveTo(int x, int y) { record(ViewPicture::Op::MoveTo, {x, y}); }
void PictureRecorder::lineTo(int x, int y) { record(ViewPicture::Op::LineTo, {x, y}); }
void PictureRecorder::rectangle(int x1, int y1, int x2, int y2) { record(ViewPicture::Op::Rectangle, {x1, y1, x2, y2}); }
void PictureRecorder::fillRect(int x1, int y1, int x2, int y2) { record(ViewPicture::Op::FillRect, {x1, y1, x2, y2}); }

void PictureRecorder::pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    record(ViewPicture::Op::Pie, {x1, y1, x2, y2, x3, y3, x4, y4});
}

void PictureRecorder::arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    record(ViewPicture::Op::Arc, {x1, y1, x2, y2, x3, y3, x4, y4});
}

void PictureRecorder::textOut(int x, int y, const std::string &text)
{
    const auto stored = storeText(text);
    record(ViewPicture::Op::TextOut, {x, y, stored.first, stored.second});
}

int PictureRecorder::textWidth(const std::string &text)
{
    return mFonts.get(mFont).metrics.horizontalAdvance(QString::fromStdString(text));
}

int PictureRecorder::textHeight(const std::string &text) { return mFonts.get(mFont).metrics.height(); }

void PictureRecorder::textOutRotated(int x, int y, const std::string &text, int angle)
{
    const auto stored = storeText(text);
    record(ViewPicture::Op::TextOutRotated, {x, y, stored.first, stored.second, angle});
}

void PictureRecorder::drawPicture(const ViewPicture &picture, int x1, int y1, int x2, int y2)
{
    if (&picture == &mPicture)
        return; // a picture cannot contain itself
    picture.replay(*this, x1, y1, x2, y2);
}

} // namespace rvk
