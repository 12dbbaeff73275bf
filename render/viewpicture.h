#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rvk {

class DrawSurface;

// A recorded drawing: the surface operations of one painting, in order, with the picture's
// pixel size. Operations are kept as a flat run of 32-bit words (an operation code followed by
// its arguments) and one pool of text, so a picture costs a few words per operation and nothing
// per pixel, and recording or replaying allocates nothing per operation.
//
// Pictures are filled by a PictureRecorder and replayed onto any DrawSurface: the screen
// bitmap, the printer page, an SVG, PDF or EMF file, or another recording.
class ViewPicture
{
public:
    ViewPicture() = default;
    ViewPicture(int width, int height) : mWidth(width), mHeight(height) {}

    int width() const { return mWidth; }
    int height() const { return mHeight; }
    void setSize(int width, int height)
    {
        mWidth = width;
        mHeight = height;
    }

    bool isEmpty() const { return mOperationCount == 0; }
    std::size_t operationCount() const { return mOperationCount; }
    // Bytes held by the operations and their texts (for checks that pictures stay compact).
    std::size_t memoryBytes() const { return mWords.capacity() * sizeof(std::int32_t) + mTexts.capacity(); }
    void clear();

    // Replays at the recorded coordinates. The surface's pen, brush, font and current point
    // start from a fresh surface's and are restored afterwards, so a picture looks the same
    // wherever it is replayed and leaves the surface as it found it.
    void replay(DrawSurface &surface) const;
    // Replays scaled so that the picture's width x height fills the box x1..x2, y1..y2.
    // Coordinates, pen widths and font sizes scale; positions are rounded to whole pixels.
    void replay(DrawSurface &surface, int x1, int y1, int x2, int y2) const;

private:
    friend class PictureRecorder;

    enum class Op : std::int32_t {
        SetPen,         // colour, width, style
        SetBrush,       // colour, style, pattern
        SetFont,        // name offset, name length, size, colour, bold
        MoveTo,         // x, y
        LineTo,         // x, y
        Rectangle,      // x1, y1, x2, y2
        FillRect,       // x1, y1, x2, y2
        Pie,            // x1, y1, x2, y2, x3, y3, x4, y4
        Arc,            // x1, y1, x2, y2, x3, y3, x4, y4
        TextOut,        // x, y, text offset, text length
        TextOutRotated, // x, y, text offset, text length, angle
    };

    struct Transform;
    void play(DrawSurface &surface, const Transform &transform) const;

    int mWidth = 0;
    int mHeight = 0;
    std::size_t mOperationCount = 0;
    std::vector<std::int32_t> mWords;
    std::string mTexts;
};

} // namespace rvk
