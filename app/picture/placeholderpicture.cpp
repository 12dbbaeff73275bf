#include "app/picture/placeholderpicture.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace rvk {

namespace {

constexpr int DotsPerMeterAt96Dpi = 3780; // 96 dots per inch

struct PlacedText
{
    int x;
    int y;
    int pointSize;
    QColor color;
    QString text;
};

// Text placed by its top left corner, as the pictures' coordinates mean it, in plain (not
// smoothed) Arial so the colours stay exactly those asked for.
void drawTexts(QImage &image, std::initializer_list<PlacedText> texts)
{
    QPainter painter(&image);
    for (const PlacedText &placed : texts) {
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(placed.pointSize);
        font.setStyleStrategy(QFont::NoAntialias);
        painter.setFont(font);
        painter.setPen(placed.color);
        painter.drawText(QPoint(placed.x, placed.y + QFontMetrics(font, &image).ascent()), placed.text);
    }
}

} // namespace

QImage blankPicture(QSize size)
{
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.setDotsPerMeterX(DotsPerMeterAt96Dpi);
    image.setDotsPerMeterY(DotsPerMeterAt96Dpi);
    image.fill(Qt::white);
    return image;
}

QImage drawPlaceholderPicture(QSize size)
{
    const QString quote = QStringLiteral("\"");
    const QColor lightGrey(192, 192, 192);
    QImage image = blankPicture(size);
    drawTexts(image, {
        {280, 140, 24, QColor(192, 220, 192), QStringLiteral("> No Data Available <")},
        {210, 240, 16, lightGrey, QStringLiteral("Open a file or choose ") + quote + QStringLiteral("Build RVK File") + quote + QStringLiteral(" from the")},
        {180, 270, 16, lightGrey, quote + QStringLiteral("File") + quote + QStringLiteral(" menu to create a RVK file from MAP & LOC data...")},
        {200, 320, 16, lightGrey, QStringLiteral("New! import RVK data from Excel files - see menu")},
        {230, 370, 16, QColor(128, 128, 128), QStringLiteral("New! drag and drop .rvk files here to open..")},
    });
    return image;
}

QImage drawNoDataPicture(QSize size)
{
    QImage image = blankPicture(size);
    drawTexts(image, {{180, 250, 24, QColor(192, 192, 192), QStringLiteral("No Data Available...")}});
    return image;
}

} // namespace rvk
