#include "render/drawsurface.h"
#include "render/pictureexport.h"
#include "render/picturerecorder.h"
#include "render/viewpicture.h"

#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <filesystem>

namespace rvk {
namespace {

constexpr Rgb Red = rgb(255, 0, 0);
constexpr Rgb Blue = rgb(0, 0, 255);

// 200 x 120: a red block on the left half, a blue block bottom right, some text and lines.
ViewPicture samplePicture()
{
    ViewPicture picture(200, 120);
    PictureRecorder s(picture);
    s.setPen({Red, 1, PenSpec::Style::Solid});
    s.setBrush({Red, BrushSpec::Style::Solid, -1});
    s.rectangle(0, 0, 100, 120);
    s.setPen({Blue, 1, PenSpec::Style::Solid});
    s.setBrush({Blue, BrushSpec::Style::Solid, -1});
    s.fillRect(120, 60, 200, 120);
    s.setBrush({Blue, BrushSpec::Style::DiagonalCross, -1});
    s.rectangle(120, 5, 190, 50);
    s.setBrushPattern(3);
    s.pie(130, 10, 170, 45, 170, 27, 150, 10);
    s.setBrushStyle(BrushSpec::Style::Clear);
    s.textOut(105, 2, "cM");
    s.textOutRotated(104, 20, "Legend", 270);
    return picture;
}

bool near(QRgb pixel, Rgb expected, int tolerance)
{
    return std::abs(qRed(pixel) - redOf(expected)) <= tolerance && std::abs(qGreen(pixel) - greenOf(expected)) <= tolerance &&
           std::abs(qBlue(pixel) - blueOf(expected)) <= tolerance;
}

TEST(PictureExport, BitmapOfThePictureAtAnyScale)
{
    const ViewPicture picture = samplePicture();
    const QImage image = renderPictureToImage(picture);
    ASSERT_EQ(image.size(), QSize(200, 120));
    EXPECT_TRUE(near(image.pixel(50, 60), Red, 0));
    EXPECT_TRUE(near(image.pixel(160, 100), Blue, 0));
    EXPECT_TRUE(near(image.pixel(110, 100), rgb(255, 255, 255), 0));
    const QImage doubled = renderPictureToImage(picture, 2.0);
    ASSERT_EQ(doubled.size(), QSize(400, 240));
    EXPECT_TRUE(near(doubled.pixel(199, 200), Red, 0));
    EXPECT_TRUE(near(doubled.pixel(201, 200), rgb(255, 255, 255), 0));
    EXPECT_TRUE(near(doubled.pixel(320, 200), Blue, 0));
}

TEST(PictureExport, PngAndJpegDecodeToThePictureSize)
{
    test::TempFolder folder;
    const ViewPicture picture = samplePicture();
    std::string error;
    ASSERT_TRUE(savePicturePng(picture, folder.file("p.png"), error)) << error;
    ASSERT_TRUE(savePictureJpeg(picture, folder.file("p.jpg"), error)) << error;
    const QImage png(QString::fromStdString(folder.file("p.png")));
    ASSERT_EQ(png.size(), QSize(200, 120));
    EXPECT_TRUE(near(png.pixel(50, 60), Red, 0));
    const QImage jpeg(QString::fromStdString(folder.file("p.jpg")));
    ASSERT_EQ(jpeg.size(), QSize(200, 120));
    EXPECT_FALSE(jpeg.isGrayscale());
    EXPECT_TRUE(near(jpeg.pixel(50, 60), Red, 12));
    EXPECT_TRUE(near(jpeg.pixel(160, 100), Blue, 12));
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"p.jpg", "p.png"}));
}

TEST(PictureExport, JpegUsesTheLibraryDefaultQuality)
{
    // libjpeg writes its quantisation tables scaled by the quality; at the default 75 the first
    // entry of the luminance table (16 at quality 50) becomes 8.
    test::TempFolder folder;
    std::string error;
    ASSERT_TRUE(savePictureJpeg(samplePicture(), folder.file("q.jpg"), error)) << error;
    const std::string bytes = test::readWholeFile(folder.file("q.jpg"));
    const auto dqt = bytes.find("\xFF\xDB");
    ASSERT_NE(dqt, std::string::npos);
    EXPECT_EQ(static_cast<unsigned char>(bytes[dqt + 5]), 8);
}

TEST(PictureExport, SvgLoadsWithThePictureSizeAndColours)
{
    test::TempFolder folder;
    std::string error;
    ASSERT_TRUE(savePictureSvg(samplePicture(), folder.file("p.svg"), error)) << error;
    QSvgRenderer renderer(QString::fromStdString(folder.file("p.svg")));
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBox(), QRect(0, 0, 200, 120));
    QImage image(200, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    EXPECT_TRUE(near(image.pixel(50, 60), Red, 0));
    EXPECT_TRUE(near(image.pixel(160, 100), Blue, 0));
    // The hatched box went out as an image: some of its pixels are blue, not all.
    int hatch = 0;
    for (int x = 125; x < 129; ++x)
        for (int y = 20; y < 28; ++y)
            hatch += near(image.pixel(x, y), Blue, 40);
    EXPECT_GT(hatch, 0);
    EXPECT_LT(hatch, 32);
}

TEST(PictureExport, PdfIsWritten)
{
    test::TempFolder folder;
    std::string error;
    ASSERT_TRUE(savePicturePdf(samplePicture(), folder.file("p.pdf"), error)) << error;
    const std::string bytes = test::readWholeFile(folder.file("p.pdf"));
    ASSERT_GT(bytes.size(), 200u);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    EXPECT_NE(bytes.find("%%EOF"), std::string::npos);
}

TEST(PictureExport, FailedSaveReportsAndKeepsTheOldFile)
{
    test::TempFolder folder;
    std::string error;
    EXPECT_FALSE(savePicturePng(samplePicture(), folder.file("missing/p.png"), error));
    EXPECT_FALSE(error.empty());
    // A target that is a folder cannot be replaced: the folder and its content stay.
    const std::string target = folder.file("occupied");
    std::filesystem::create_directory(target);
    folder.write("occupied/keep.txt", "old");
    for (auto save : {savePicturePng, savePictureJpeg, savePictureSvg, savePicturePdf, savePictureEmf}) {
        error.clear();
        EXPECT_FALSE(save(samplePicture(), target, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(test::readWholeFile(folder.file("occupied/keep.txt")), "old");
        EXPECT_EQ(folder.entries(), std::vector<std::string>{"occupied"});
    }
}

} // namespace
} // namespace rvk
