#include "app/picture/placeholderpicture.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>

namespace rvk {
namespace {

// How many pixels of exactly this colour lie in the box a text of the given size occupies when
// placed with its top left corner at (x, y).
int pixelsOfColour(const QImage &image, int x, int y, int pointSize, const QString &text, QRgb colour)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(pointSize);
    const QFontMetrics metrics(font, &image);
    const QRect box(x, y, metrics.horizontalAdvance(text), metrics.height());
    int count = 0;
    for (int py = box.top(); py <= box.bottom() && py < image.height(); ++py)
        for (int px = box.left(); px <= box.right() && px < image.width(); ++px)
            count += (image.pixel(px, py) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return count;
}

TEST(PlaceholderPicture, EachLineStandsInItsColourAtItsPlace)
{
    const QImage image = drawPlaceholderPicture(QSize(900, 600));
    ASSERT_EQ(image.size(), QSize(900, 600));
    EXPECT_EQ(image.pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
    struct Line
    {
        int x, y, size;
        QRgb colour;
        QString text;
    };
    const Line lines[] = {
        {280, 140, 24, qRgb(192, 220, 192), "> No Data Available <"},
        {210, 240, 16, qRgb(192, 192, 192), "Open a file or choose \"Build RVK File\" from the"},
        {180, 270, 16, qRgb(192, 192, 192), "\"File\" menu to create a RVK file from MAP & LOC data..."},
        {200, 320, 16, qRgb(192, 192, 192), "New! import RVK data from Excel files - see menu"},
        {230, 370, 16, qRgb(128, 128, 128), "New! drag and drop .rvk files here to open.."},
    };
    for (const Line &line : lines)
        EXPECT_GT(pixelsOfColour(image, line.x, line.y, line.size, line.text, line.colour), 20) << line.text.toStdString();
    // Nothing above the first line and nothing left of the leftmost one.
    for (int y = 0; y < 140; y += 3)
        for (int x = 0; x < image.width(); x += 3)
            ASSERT_EQ(image.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < 180; x += 3)
            ASSERT_EQ(image.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;
}

TEST(PlaceholderPicture, NoDataPictureShowsOneGreyLine)
{
    const QImage image = drawNoDataPicture(QSize(800, 600));
    EXPECT_GT(pixelsOfColour(image, 180, 250, 24, "No Data Available...", qRgb(192, 192, 192)), 20);
    for (int y = 0; y < 250; y += 3)
        for (int x = 0; x < image.width(); x += 3)
            ASSERT_EQ(image.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;
}

TEST(PlaceholderPicture, FontPointsAreScreenPointsAt96Dpi)
{
    const QImage image = blankPicture(QSize(10, 10));
    EXPECT_EQ(image.logicalDpiX(), 96);
    EXPECT_EQ(image.logicalDpiY(), 96);
}

} // namespace
} // namespace rvk
