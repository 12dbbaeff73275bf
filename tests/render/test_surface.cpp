#include "render/drawsurface.h"
#include "render/fontresolver.h"
#include "render/paintersurface.h"
#include "render/picturerecorder.h"
#include "render/viewpicture.h"
#include "support/hatchpatternrows.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>

#include <functional>

namespace rvk {
namespace {

constexpr Rgb White = rgb(255, 255, 255);
constexpr Rgb Black = rgb(0, 0, 0);
constexpr Rgb Red = rgb(255, 0, 0);
constexpr Rgb Green = rgb(0, 160, 0);
constexpr Rgb Blue = rgb(0, 0, 255);
constexpr Rgb Yellow = rgb(255, 255, 0);

QImage blankImage(int width, int height, Rgb background = White)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(redOf(background), greenOf(background), blueOf(background)));
    return image;
}

Rgb pixelAt(const QImage &image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return rgb(qRed(p), qGreen(p), qBlue(p));
}

QImage paint(int width, int height, const std::function<void(DrawSurface &)> &painter, Rgb background = White)
{
    QImage image = blankImage(width, height, background);
    {
        PainterSurface surface(image);
        painter(surface);
    }
    return image;
}

struct InkBox
{
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1; // right and bottom inclusive
    bool empty() const { return right < 0; }
};

InkBox inkBox(const QImage &image, Rgb background = White)
{
    InkBox box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pixelAt(image, x, y) != background) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

TEST(BrushChanges, ColourAndStyleChangesFollowTheBrushRules)
{
    struct Case
    {
        BrushSpec before;
        Rgb newColor;
        BrushSpec expected;
    } cases[] = {
        {{Red, BrushSpec::Style::Clear, -1}, Blue, {Blue, BrushSpec::Style::Solid, -1}},
        {{White, BrushSpec::Style::Pattern, 3}, Blue, {Blue, BrushSpec::Style::Solid, -1}},
        {{Red, BrushSpec::Style::DiagonalCross, -1}, Blue, {Blue, BrushSpec::Style::DiagonalCross, -1}},
        {{Red, BrushSpec::Style::Solid, -1}, Green, {Green, BrushSpec::Style::Solid, -1}},
    };
    ViewPicture picture;
    PictureRecorder surface(picture);
    for (const auto &c : cases) {
        surface.setBrush(c.before);
        surface.setBrushColor(c.newColor);
        EXPECT_EQ(surface.brush(), c.expected);
    }
    surface.setBrush({Red, BrushSpec::Style::Solid, -1});
    surface.setBrushStyle(BrushSpec::Style::Clear);
    EXPECT_EQ(surface.brush(), (BrushSpec{White, BrushSpec::Style::Clear, -1}));
    surface.setBrush({Red, BrushSpec::Style::Solid, -1});
    surface.setBrushStyle(BrushSpec::Style::Horizontal);
    EXPECT_EQ(surface.brush(), (BrushSpec{Red, BrushSpec::Style::Horizontal, -1}));
}

TEST(BrushChanges, PatternEntrySevenIsTheClearBrushAndOthersStartWhite)
{
    ViewPicture picture;
    PictureRecorder surface(picture);
    surface.setBrush({Red, BrushSpec::Style::Solid, -1});
    surface.setBrushPattern(7);
    EXPECT_EQ(surface.brush().style, BrushSpec::Style::Clear);
    surface.setBrushPattern(11);
    EXPECT_EQ(surface.brush(), (BrushSpec{White, BrushSpec::Style::Pattern, 11}));
}

TEST(SurfaceHelpers, PenAndFontHelpersChangeOnlyTheirProperty)
{
    ViewPicture picture;
    PictureRecorder surface(picture);
    surface.setPen({Red, 2, PenSpec::Style::Dotted});
    surface.setPenColor(Blue);
    EXPECT_EQ(surface.pen(), (PenSpec{Blue, 2, PenSpec::Style::Dotted}));
    surface.setFont({"Tahoma", 9, Red, false});
    surface.setFontSize(12);
    surface.setFontBold(true);
    surface.setFontColor(Green);
    EXPECT_EQ(surface.font(), (FontDescription{"Tahoma", 12, Green, true}));
}

TEST(PainterSurface, RectangleLeavesOutRightAndBottomEdges)
{
    const QImage image = paint(20, 20, [](DrawSurface &s) {
        s.setPen({Red, 1, PenSpec::Style::Solid});
        s.setBrush({Blue, BrushSpec::Style::Solid, -1});
        s.rectangle(2, 3, 10, 8);
    });
    EXPECT_EQ(pixelAt(image, 2, 3), Red);
    EXPECT_EQ(pixelAt(image, 9, 3), Red);
    EXPECT_EQ(pixelAt(image, 9, 7), Red);
    EXPECT_EQ(pixelAt(image, 2, 7), Red);
    EXPECT_EQ(pixelAt(image, 5, 5), Blue);
    EXPECT_EQ(pixelAt(image, 10, 5), White);
    EXPECT_EQ(pixelAt(image, 5, 8), White);
    EXPECT_EQ(pixelAt(image, 1, 5), White);
    EXPECT_EQ(pixelAt(image, 5, 2), White);
}

TEST(PainterSurface, WideBorderStaysInsideTheBoxAndEmptyBoxesPaintNothing)
{
    const QImage image = paint(20, 20, [](DrawSurface &s) {
        s.setPen({Red, 2, PenSpec::Style::Solid});
        s.setBrush({Blue, BrushSpec::Style::Solid, -1});
        s.rectangle(2, 2, 12, 12);
        s.rectangle(15, 3, 18, 3); // zero height: a bar of one marker has no body
    });
    EXPECT_EQ(pixelAt(image, 3, 3), Red);
    EXPECT_EQ(pixelAt(image, 10, 10), Red);
    EXPECT_EQ(pixelAt(image, 11, 11), Red);
    EXPECT_EQ(pixelAt(image, 4, 4), Blue);
    EXPECT_EQ(pixelAt(image, 12, 11), White);
    EXPECT_EQ(pixelAt(image, 1, 1), White);
    EXPECT_EQ(pixelAt(image, 16, 3), White);
}

TEST(PainterSurface, RectangleWithoutPenFillsTheWholeBox)
{
    const QImage image = paint(20, 20, [](DrawSurface &s) {
        s.setPen({Red, 1, PenSpec::Style::None});
        s.setBrush({Blue, BrushSpec::Style::Solid, -1});
        s.rectangle(2, 3, 10, 8);
    });
    EXPECT_EQ(pixelAt(image, 2, 3), Blue);
    EXPECT_EQ(pixelAt(image, 9, 7), Blue);
    EXPECT_EQ(pixelAt(image, 10, 7), White);
    EXPECT_EQ(pixelAt(image, 9, 8), White);
}

TEST(PainterSurface, FillRectFillsTheBoxWithoutBorder)
{
    const QImage image = paint(20, 20, [](DrawSurface &s) {
        s.setPen({Red, 1, PenSpec::Style::Solid});
        s.setBrush({Green, BrushSpec::Style::Solid, -1});
        s.fillRect(2, 3, 10, 8);
        s.setBrush({Green, BrushSpec::Style::Clear, -1});
        s.fillRect(12, 3, 18, 8);
    });
    EXPECT_EQ(pixelAt(image, 2, 3), Green);
    EXPECT_EQ(pixelAt(image, 9, 7), Green);
    EXPECT_EQ(pixelAt(image, 10, 7), White);
    EXPECT_EQ(pixelAt(image, 9, 8), White);
    EXPECT_EQ(pixelAt(image, 14, 5), White);
}

TEST(PainterSurface, LinesLeaveOutTheirEndPoint)
{
    struct Case
    {
        int x1, y1, x2, y2;
    } cases[] = {{1, 1, 10, 1}, {10, 3, 1, 3}, {12, 2, 12, 15}, {14, 15, 14, 2}, {1, 5, 9, 13}, {9, 5, 1, 13}};
    for (const auto &c : cases) {
        const QImage image = paint(20, 20, [&](DrawSurface &s) {
            s.moveTo(c.x1, c.y1);
            s.lineTo(c.x2, c.y2);
        });
        EXPECT_EQ(pixelAt(image, c.x1, c.y1), Black) << c.x1 << "," << c.y1;
        EXPECT_EQ(pixelAt(image, c.x2, c.y2), White) << c.x2 << "," << c.y2;
        const int stepX = (c.x2 > c.x1) - (c.x2 < c.x1);
        const int stepY = (c.y2 > c.y1) - (c.y2 < c.y1);
        EXPECT_EQ(pixelAt(image, c.x2 - stepX, c.y2 - stepY), Black) << "last pixel before " << c.x2 << "," << c.y2;
    }
}

TEST(PainterSurface, LinesContinueFromTheCurrentPoint)
{
    const QImage image = paint(20, 20, [](DrawSurface &s) {
        s.moveTo(2, 2);
        s.lineTo(10, 2);
        s.lineTo(10, 10);
    });
    EXPECT_EQ(pixelAt(image, 9, 2), Black);
    EXPECT_EQ(pixelAt(image, 10, 2), Black); // start of the second line
    EXPECT_EQ(pixelAt(image, 10, 9), Black);
    EXPECT_EQ(pixelAt(image, 10, 10), White);
}

TEST(PainterSurface, PenWidthsAndStyles)
{
    const QImage image = paint(40, 20, [](DrawSurface &s) {
        s.setPen({Red, 2, PenSpec::Style::Solid});
        s.moveTo(2, 5);
        s.lineTo(30, 5);
        s.setPen({Blue, 1, PenSpec::Style::Dotted});
        s.moveTo(2, 12);
        s.lineTo(30, 12);
        s.setPen({Green, 1, PenSpec::Style::None});
        s.moveTo(2, 16);
        s.lineTo(30, 16);
    });
    int wideRows = 0;
    for (int y = 0; y < 10; ++y)
        wideRows += pixelAt(image, 15, y) == Red;
    EXPECT_EQ(wideRows, 2);
    int ink = 0, gaps = 0;
    for (int x = 2; x < 30; ++x)
        (pixelAt(image, x, 12) == Blue ? ink : gaps) += 1;
    EXPECT_GT(ink, 8);
    EXPECT_GT(gaps, 8);
    EXPECT_TRUE(inkBox(image.copy(0, 14, 40, 6)).empty());
}

TEST(PainterSurface, PatternBrushPaintsZeroBitsInFontColourAndOneBitsInBrushColour)
{
    for (int k = 0; k < 16; ++k) {
        if (k == test::EmptyHatchPattern)
            continue;
        const QImage image = paint(24, 24, [&](DrawSurface &s) {
            s.setFontColor(Red);
            s.setBrush({Blue, BrushSpec::Style::Pattern, k});
            s.fillRect(0, 0, 24, 24);
        });
        const auto &rows = test::HatchPatternRows[static_cast<size_t>(k)];
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) {
                const bool one = (rows[static_cast<size_t>(y % 8)] >> (7 - x % 8)) & 1;
                ASSERT_EQ(pixelAt(image, x, y), one ? Blue : Red) << "pattern " << k << " at " << x << "," << y;
            }
    }
}

TEST(PainterSurface, PatternBrushInkFollowsLaterFontColourChanges)
{
    const QImage image = paint(8, 8, [](DrawSurface &s) {
        s.setBrushPattern(0); // all ink
        s.setFontColor(Green);
        s.fillRect(0, 0, 8, 8);
    });
    EXPECT_EQ(pixelAt(image, 4, 4), Green);
}

TEST(PainterSurface, HatchLinesInBrushColourOnTransparentBackground)
{
    struct Case
    {
        BrushSpec::Style style;
        std::function<bool(int, int)> onLine;
    } cases[] = {
        {BrushSpec::Style::Horizontal, [](int, int y) { return y % 8 == 3; }},
        {BrushSpec::Style::Vertical, [](int x, int) { return x % 8 == 4; }},
        {BrushSpec::Style::DiagonalFalling, [](int x, int y) { return x % 8 == y % 8; }},
        {BrushSpec::Style::DiagonalRising, [](int x, int y) { return (x + y) % 8 == 7; }},
        {BrushSpec::Style::Cross, [](int x, int y) { return y % 8 == 3 || x % 8 == 4; }},
    };
    for (const auto &c : cases) {
        const QImage image = paint(16, 16, [&](DrawSurface &s) {
            s.setBrush({Green, c.style, -1});
            s.fillRect(0, 0, 16, 16);
        }, Yellow);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(pixelAt(image, x, y), c.onLine(x, y) ? Green : Yellow)
                    << "style " << static_cast<int>(c.style) << " at " << x << "," << y;
    }
}

TEST(PainterSurface, PieRunsCounterClockwiseFromTheFirstRayToTheSecond)
{
    // Rays east (40, 20) and north (20, 0) of the centre (20, 20).
    struct Case
    {
        int x3, y3, x4, y4;
        bool upperRight, upperLeft, lowerLeft, lowerRight;
    } cases[] = {
        {40, 20, 20, 0, true, false, false, false},
        {20, 0, 40, 20, false, true, true, true},
        {0, 20, 40, 20, false, false, true, true},
        {40, 20, 0, 20, true, true, false, false},
    };
    for (const auto &c : cases) {
        const QImage image = paint(41, 41, [&](DrawSurface &s) {
            s.setPen({Black, 1, PenSpec::Style::Solid});
            s.setBrush({Red, BrushSpec::Style::Solid, -1});
            s.pie(0, 0, 41, 41, c.x3, c.y3, c.x4, c.y4);
        });
        EXPECT_EQ(pixelAt(image, 30, 10) == Red, c.upperRight);
        EXPECT_EQ(pixelAt(image, 10, 10) == Red, c.upperLeft);
        EXPECT_EQ(pixelAt(image, 10, 30) == Red, c.lowerLeft);
        EXPECT_EQ(pixelAt(image, 30, 30) == Red, c.lowerRight);
    }
}

TEST(PainterSurface, PieStaysInsideItsBoxAndArcOnlyOutlines)
{
    const QImage image = paint(40, 40, [](DrawSurface &s) {
        s.setPen({Black, 1, PenSpec::Style::Solid});
        s.setBrush({Red, BrushSpec::Style::Solid, -1});
        s.pie(5, 5, 25, 25, 25, 15, 24, 15); // rays that coincide: the whole ellipse
        s.arc(5, 28, 35, 38, 35, 33, 5, 33);  // upper half of a flat ellipse
    });
    const InkBox pie = inkBox(image.copy(0, 0, 40, 27));
    EXPECT_EQ(pie.left, 5);
    EXPECT_EQ(pie.top, 5);
    EXPECT_GE(pie.right, 23); // curves may fall one pixel short of the right and bottom edge
    EXPECT_LE(pie.right, 24);
    EXPECT_GE(pie.bottom, 23);
    EXPECT_LE(pie.bottom, 24);
    EXPECT_EQ(pixelAt(image, 15, 15), Red);
    EXPECT_EQ(pixelAt(image, 20, 32), White); // inside the arc nothing is filled
    const InkBox arc = inkBox(image.copy(0, 27, 40, 13));
    EXPECT_LE(arc.bottom + 27, 34);          // the lower half is not drawn
}

TEST(PainterSurface, TextBackgroundIsTheSolidBrushColourAndClearLeavesIt)
{
    for (bool solid : {true, false}) {
        int w = 0, h = 0;
        const QImage image = paint(80, 30, [&](DrawSurface &s) {
            s.setBrush({Yellow, solid ? BrushSpec::Style::Solid : BrushSpec::Style::Clear, -1});
            s.setFontColor(Blue);
            w = s.textWidth("aca");
            h = s.textHeight("aca");
            s.textOut(10, 5, "aca");
        });
        // Above lower-case letters the box holds only background.
        EXPECT_EQ(pixelAt(image, 10, 5), solid ? Yellow : White);
        EXPECT_EQ(pixelAt(image, 10 + w - 1, 5), solid ? Yellow : White);
        EXPECT_EQ(pixelAt(image, 10 + w, 5), White);
        EXPECT_EQ(pixelAt(image, 10, 5 + h), White);
        const InkBox ink = inkBox(image);
        EXPECT_GE(ink.left, 10);
        EXPECT_GE(ink.top, 5);
        EXPECT_LT(ink.right, 10 + w);
        EXPECT_LT(ink.bottom, 5 + h);
    }
}

TEST(PainterSurface, RotatedTextOccupiesTheTurnedBox)
{
    struct Case
    {
        int angle;
        bool turned;
    } cases[] = {{270, true}, {90, true}, {0, false}};
    for (const auto &c : cases) {
        int w = 0, h = 0;
        const QImage image = paint(80, 100, [&](DrawSurface &s) {
            s.setBrush({White, BrushSpec::Style::Clear, -1});
            s.setFont({"Arial", 10, Black, true});
            w = s.textWidth("Legend");
            h = s.textHeight("Legend");
            s.textOutRotated(20, 10, "Legend", c.angle);
        });
        const int boxWidth = c.turned ? h : w;
        const int boxHeight = c.turned ? w : h;
        const InkBox ink = inkBox(image);
        ASSERT_FALSE(ink.empty());
        EXPECT_GE(ink.left, 20) << c.angle;
        EXPECT_GE(ink.top, 10) << c.angle;
        EXPECT_LT(ink.right, 20 + boxWidth) << c.angle;
        EXPECT_LT(ink.bottom, 10 + boxHeight) << c.angle;
        if (c.turned) {
            EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left)) << c.angle;
        }
    }
}

TEST(PainterSurface, RotatedTextReadsTopToBottomAt270AndBottomToTopAt90)
{
    // "L" read downwards has its stem along the top and its foot down the left side; read
    // upwards, the stem lies along the bottom and the foot up the right side.
    for (int angle : {270, 90}) {
        const QImage image = paint(60, 60, [&](DrawSurface &s) {
            s.setBrush({White, BrushSpec::Style::Clear, -1});
            s.setFont({"Arial", 20, Black, false});
            s.textOutRotated(10, 10, "L", angle);
        });
        const InkBox ink = inkBox(image);
        auto rowInk = [&](int y) {
            int n = 0;
            for (int x = ink.left; x <= ink.right; ++x)
                n += pixelAt(image, x, y) == Black;
            return n;
        };
        auto columnInk = [&](int x) {
            int n = 0;
            for (int y = ink.top; y <= ink.bottom; ++y)
                n += pixelAt(image, x, y) == Black;
            return n;
        };
        const bool downwards = angle == 270;
        EXPECT_GT(downwards ? rowInk(ink.top) : rowInk(ink.bottom), (downwards ? rowInk(ink.bottom) : rowInk(ink.top)) + 3) << angle;
        EXPECT_GT(downwards ? columnInk(ink.left) : columnInk(ink.right), (downwards ? columnInk(ink.right) : columnInk(ink.left)) + 3) << angle;
    }
}

TEST(Fonts, OldPlatformNamesResolveToInstalledFontsOfTheSameMetrics)
{
    EXPECT_EQ(resolvedFontFamily("Arial").toStdString(), "Liberation Sans");
    EXPECT_EQ(resolvedFontFamily("arial").toStdString(), "Liberation Sans");
    EXPECT_EQ(resolvedFontFamily("Times New Roman").toStdString(), "Liberation Serif");
    EXPECT_EQ(resolvedFontFamily("Courier New").toStdString(), "Liberation Mono");
    EXPECT_EQ(resolvedFontFamily("No Such Font Anywhere").toStdString(), "Liberation Sans");
    EXPECT_EQ(publicFontFamily(QFontInfo(resolvedFont({"Tahoma", 9, Black, false}, 96)).family()).toLower().toStdString(), "tahoma");
    EXPECT_EQ(fontPixelSize(8, 96), 11);
    EXPECT_EQ(fontPixelSize(12, 96), 16);
    EXPECT_EQ(fontPixelSize(8, 600), 67);
}

// A scene that uses every operation, for the replay checks.
void paintScene(DrawSurface &s)
{
    s.setPen({Red, 1, PenSpec::Style::Solid});
    s.setBrush({Blue, BrushSpec::Style::Solid, -1});
    s.rectangle(5, 5, 60, 30);
    s.setBrushColor(Green);
    s.fillRect(10, 10, 20, 25);
    s.setBrush({Red, BrushSpec::Style::DiagonalCross, -1});
    s.rectangle(70, 5, 110, 40);
    s.setFontColor(Black);
    s.setBrushPattern(13);
    s.fillRect(5, 45, 50, 70);
    s.setPen({Black, 2, PenSpec::Style::Solid});
    s.moveTo(5, 80);
    s.lineTo(100, 95);
    s.setPen({Blue, 1, PenSpec::Style::Dotted});
    s.lineTo(100, 60);
    s.setPen({Black, 1, PenSpec::Style::Solid});
    s.setBrush({Yellow, BrushSpec::Style::Solid, -1});
    s.pie(60, 45, 100, 75, 100, 60, 80, 45);
    s.arc(110, 45, 150, 75, 80, 45, 100, 60);
    s.setFont({"Arial", 9, Blue, false});
    s.textOut(5, 100, "Group 1  [LG1]");
    s.setBrushStyle(BrushSpec::Style::Clear);
    s.setFontBold(true);
    s.textOutRotated(130, 5, "Legend", 270);
}

TEST(ViewPicture, ReplayPaintsWhatDirectPaintingPaints)
{
    const QImage direct = paint(160, 120, paintScene);
    ViewPicture picture(160, 120);
    {
        PictureRecorder recorder(picture);
        paintScene(recorder);
    }
    EXPECT_GT(picture.operationCount(), 15u);
    const QImage replayed = paint(160, 120, [&](DrawSurface &s) { picture.replay(s); });
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            ASSERT_EQ(pixelAt(replayed, x, y), pixelAt(direct, x, y)) << x << "," << y;
}

TEST(ViewPicture, RecorderMeasuresTextsAsTheBitmapDoes)
{
    ViewPicture picture;
    PictureRecorder recorder(picture);
    QImage image = blankImage(10, 10);
    PainterSurface bitmap(image);
    for (const FontDescription &font : {FontDescription{}, FontDescription{"Arial", 13, Black, true}, FontDescription{"Tahoma", 9, Black, false}}) {
        recorder.setFont(font);
        bitmap.setFont(font);
        for (const char *text : {"8HJL", "Legend", "marker_123 45.6"}) {
            EXPECT_EQ(recorder.textWidth(text), bitmap.textWidth(text)) << text;
            EXPECT_EQ(recorder.textHeight(text), bitmap.textHeight(text)) << text;
            EXPECT_GT(recorder.textWidth(text), 0);
        }
    }
}

TEST(ViewPicture, ScaledReplayFillsTheBoxAndRestoresTheSurface)
{
    ViewPicture picture(100, 50);
    {
        PictureRecorder recorder(picture);
        recorder.setBrush({Red, BrushSpec::Style::Solid, -1});
        recorder.fillRect(0, 0, 50, 50);
    }
    const QImage image = paint(220, 120, [&](DrawSurface &s) {
        s.setBrush({Green, BrushSpec::Style::Horizontal, -1});
        s.drawPicture(picture, 10, 10, 210, 110);
        EXPECT_EQ(s.brush(), (BrushSpec{Green, BrushSpec::Style::Horizontal, -1}));
    });
    EXPECT_EQ(pixelAt(image, 10, 10), Red);
    EXPECT_EQ(pixelAt(image, 109, 109), Red);
    EXPECT_EQ(pixelAt(image, 110, 60), White);
    EXPECT_EQ(pixelAt(image, 9, 60), White);
}

TEST(ViewPicture, TextsKeepTheirShareOfThePictureOnFinerDevices)
{
    // A picture replayed twice as large on a 192-dpi device: the text, measured in the
    // device's own points, still spans about twice its recorded width.
    ViewPicture picture(200, 40);
    int recordedWidth = 0;
    {
        PictureRecorder recorder(picture);
        recorder.setBrushStyle(BrushSpec::Style::Clear);
        recorder.setFont({"Arial", 12, Black, false});
        recordedWidth = recorder.textWidth("HHHHHHHH");
        recorder.textOut(0, 0, "HHHHHHHH");
    }
    QImage image = blankImage(400, 80);
    image.setDotsPerMeterX(7559); // 192 dpi
    image.setDotsPerMeterY(7559);
    {
        PainterSurface surface(image);
        EXPECT_EQ(surface.fontResolution(), 192);
        surface.drawPicture(picture, 0, 0, 400, 80);
    }
    const InkBox ink = inkBox(image);
    ASSERT_FALSE(ink.empty());
    const int width = ink.right - ink.left + 1;
    EXPECT_GT(width, 2 * recordedWidth - recordedWidth / 4);
    EXPECT_LT(width, 2 * recordedWidth + recordedWidth / 8);
}

TEST(ViewPicture, ReplayStartsFromAFreshSurfaceState)
{
    ViewPicture picture(20, 20);
    {
        PictureRecorder recorder(picture);
        recorder.rectangle(0, 0, 10, 10); // default pen black, brush white solid
    }
    const QImage image = paint(20, 20, [&](DrawSurface &s) {
        s.setPen({Red, 1, PenSpec::Style::Solid});
        s.setBrush({Red, BrushSpec::Style::Solid, -1});
        picture.replay(s);
    }, Yellow);
    EXPECT_EQ(pixelAt(image, 0, 0), Black);
    EXPECT_EQ(pixelAt(image, 5, 5), White);
}

TEST(ViewPicture, RecordingAppendsAndRepeatedStateIsNotStored)
{
    ViewPicture picture(10, 10);
    {
        PictureRecorder recorder(picture);
        for (int i = 0; i < 5; ++i)
            recorder.setPen({Red, 1, PenSpec::Style::Solid});
        recorder.lineTo(5, 5);
    }
    EXPECT_EQ(picture.operationCount(), 2u);
    {
        PictureRecorder more(picture);
        more.setBrush({Red, BrushSpec::Style::Solid, -1});
        more.fillRect(0, 0, 3, 3);
    }
    const QImage image = paint(10, 10, [&](DrawSurface &s) { picture.replay(s); });
    EXPECT_EQ(pixelAt(image, 1, 1), Red);
    EXPECT_EQ(pixelAt(image, 4, 4), Red);
    picture.clear();
    EXPECT_TRUE(picture.isEmpty());
}

TEST(ViewPicture, MemoryGrowsWithOperationsNotPixels)
{
    ViewPicture picture(100000, 100000);
    {
        PictureRecorder recorder(picture);
        for (int i = 0; i < 200000; ++i) {
            recorder.fillRect(i, 0, i + 1, 10);
            recorder.lineTo(i, i);
        }
    }
    EXPECT_EQ(picture.operationCount(), 400000u);
    EXPECT_LT(picture.memoryBytes(), 400000u * 32);
}

} // namespace
} // namespace rvk
