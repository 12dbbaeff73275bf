#include "render/drawsurface.h"
#include "render/fontresolver.h"
#include "render/pictureexport.h"
#include "render/picturerecorder.h"
#include "render/viewpicture.h"

#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFontDatabase>
#include <QRawFont>

#include <string>

namespace rvk {
namespace {

const std::string Liberation = "/usr/share/fonts/truetype/liberation/";
const std::string Wine = "/usr/share/wine/fonts/";

// The 'head' table of a font file (in hex) as the font engine reads it straight from the file:
// its revision, dates and checksum tell two versions of one family apart.
std::string headOfFile(const std::string &path)
{
    return QRawFont(QString::fromStdString(path), 12).fontTable("head").toHex().toStdString();
}

std::string headOfDrawingFont(const FontDescription &font)
{
    return QRawFont::fromFont(resolvedFont(font, 96)).fontTable("head").toHex().toStdString();
}

// A desktop with fonts-liberation2 answers "Liberation Sans" with the 2.x files; the pictures
// must still be drawn with the files of fonts-liberation (and Tahoma with Wine's), whatever
// the font configuration prefers.
TEST(FontFiles, PicturesDrawWithTheExactFilesOfTheListedPackages)
{
    struct Case
    {
        const char *name;
        bool bold, italic;
        std::string file;
    } cases[] = {
        {"Arial", false, false, Liberation + "LiberationSans-Regular.ttf"},
        {"Arial", true, false, Liberation + "LiberationSans-Bold.ttf"},
        {"Arial", false, true, Liberation + "LiberationSans-Italic.ttf"},
        {"Arial", true, true, Liberation + "LiberationSans-BoldItalic.ttf"},
        {"Liberation Sans", false, false, Liberation + "LiberationSans-Regular.ttf"},
        {"No Such Font Anywhere", false, false, Liberation + "LiberationSans-Regular.ttf"},
        {"Arial Narrow", false, false, Liberation + "LiberationSansNarrow-Regular.ttf"},
        {"Times New Roman", true, false, Liberation + "LiberationSerif-Bold.ttf"},
        {"Courier New", false, false, Liberation + "LiberationMono-Regular.ttf"},
        {"Tahoma", false, false, Wine + "tahoma.ttf"},
        {"Tahoma", true, false, Wine + "tahomabd.ttf"},
        {"MS Sans Serif", false, false, Wine + "ms_sans_serif.ttf"},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(QFile::exists(QString::fromStdString(c.file))) << c.file;
        FontDescription font{c.name, 9, 0, c.bold};
        font.italic = c.italic;
        const std::string expected = headOfFile(c.file);
        ASSERT_FALSE(expected.empty()) << c.file;
        EXPECT_EQ(headOfDrawingFont(font), expected) << c.name << (c.bold ? " bold" : "") << (c.italic ? " italic" : "");
    }
}

TEST(FontFiles, OtherInstalledFamiliesDrawAsThemselves)
{
    const QString family = QStringLiteral("DejaVu Sans");
    if (!QFontDatabase::families().contains(family))
        GTEST_SKIP() << "DejaVu Sans is not installed";
    EXPECT_EQ(drawingFontFamily("DejaVu Sans"), family);
    EXPECT_EQ(resolvedFontFamily("DejaVu Sans"), family);
}

// The program's own names of its faces stay inside the program: the faces keep the names
// users know in the files others read.
TEST(FontFiles, DrawingFamiliesAreKnownOutsideByTheirOwnNames)
{
    const struct
    {
        const char *name;
        const char *outside;
    } cases[] = {{"Arial", "Liberation Sans"}, {"Times New Roman", "Liberation Serif"}, {"Courier New", "Liberation Mono"},
                 {"Arial Narrow", "Liberation Sans Narrow"}, {"Tahoma", "Tahoma"}, {"MS Sans Serif", "MS Sans Serif"}};
    for (const auto &c : cases) {
        const QString drawing = drawingFontFamily(c.name);
        EXPECT_NE(drawing, QLatin1String(c.outside)) << c.name; // a name of the program's own
        EXPECT_EQ(publicFontFamily(drawing), QLatin1String(c.outside)) << c.name;
        // A setting that holds the drawing family (picked in a font dialog) draws the same face.
        EXPECT_EQ(drawingFontFamily(drawing.toStdString()), drawing) << c.name;
    }
    EXPECT_EQ(publicFontFamily(QStringLiteral("DejaVu Sans")), QStringLiteral("DejaVu Sans"));

    ViewPicture picture(120, 40);
    {
        PictureRecorder s(picture);
        s.setFont({"Arial", 10, 0, false});
        s.textOut(2, 2, "cM");
        s.setFont({"Tahoma", 8, 0, true});
        s.textOut(2, 20, "Legend");
    }
    test::TempFolder folder;
    std::string error;
    ASSERT_TRUE(savePictureSvg(picture, folder.file("p.svg"), error)) << error;
    ASSERT_TRUE(savePicturePdf(picture, folder.file("p.pdf"), error)) << error;
    QFile svgFile(QString::fromStdString(folder.file("p.svg")));
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    const QByteArray svg = svgFile.readAll();
    EXPECT_TRUE(svg.contains("font-family=\"Liberation Sans\""));
    EXPECT_TRUE(svg.contains("font-family=\"Tahoma\""));
    EXPECT_FALSE(svg.contains("RVK Liberation")) << svg.toStdString();
    EXPECT_FALSE(svg.contains("RVK Tahoma"));
    QFile pdfFile(QString::fromStdString(folder.file("p.pdf")));
    ASSERT_TRUE(pdfFile.open(QIODevice::ReadOnly));
    const QByteArray pdf = pdfFile.readAll();
    // Embedded fonts keep their PostScript names.
    EXPECT_TRUE(pdf.contains("/BaseFont /LiberationSans")) << "PDF fonts";
    EXPECT_TRUE(pdf.contains("/BaseFont /WineTahoma")) << "PDF fonts";
    EXPECT_FALSE(pdf.contains("RVK"));
}

} // namespace
} // namespace rvk
