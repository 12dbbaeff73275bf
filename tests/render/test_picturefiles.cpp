#include "render/pictureexport.h"
#include "render/picturefiles.h"
#include "render/picturerecorder.h"
#include "render/viewpicture.h"

#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <QImage>

namespace rvk {
namespace {

ViewPicture smallPicture()
{
    ViewPicture picture(40, 30);
    PictureRecorder s(picture);
    s.setBrush({rgb(0, 128, 0), BrushSpec::Style::Solid, -1});
    s.rectangle(5, 5, 30, 25);
    return picture;
}

// What a file holds, told by its first bytes.
std::string contentType(const std::string &bytes)
{
    if (bytes.size() >= 44 && bytes.compare(40, 4, " EMF") == 0)
        return "emf";
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xD8)
        return "jpg";
    if (bytes.compare(0, 4, "%PDF") == 0)
        return "pdf";
    if (bytes.compare(0, 4, "\x89PNG") == 0)
        return "png";
    if (bytes.find("<svg") != std::string::npos)
        return "svg";
    return "unknown";
}

TEST(PictureFiles, ContentFollowsTheNameAndTheCommandOnlyDecidesForOtherNames)
{
    struct Case
    {
        std::string name, command, written, content;
    };
    const std::vector<Case> cases{
        {"a.emf", "emf", "a.emf", "emf"},
        {"b.jpg", "emf", "b.jpg", "jpg"},   // "JPEG" chosen in the metafile dialog
        {"c.JPEG", "emf", "c.JPEG", "jpg"},
        {"d.emf", "jpg", "d.emf", "emf"},
        {"e", "jpg", "e.jpg", "jpg"},
        {"f.wmf", "emf", "f.wmf", "emf"},   // a name of no known type keeps the command's format
        {"g.svg", "emf", "g.svg", "svg"},
        {"h.pdf", "jpg", "h.pdf", "pdf"},
        {"i.png", "emf", "i.png", "png"},
    };
    const test::TempFolder folder;
    const ViewPicture picture = smallPicture();
    for (const Case &c : cases) {
        std::string written, error;
        ASSERT_TRUE(savePictureFile(picture, folder.file(c.name), c.command, written, error)) << c.name << ": " << error;
        EXPECT_EQ(written, folder.file(c.written)) << c.name;
        EXPECT_EQ(contentType(test::readWholeFile(written)), c.content) << c.name;
    }
}

TEST(PictureFiles, LabelFontStylesSurviveRecordingAndReplay)
{
    const auto drawn = [](bool italic, bool underline) {
        ViewPicture picture(120, 40);
        PictureRecorder s(picture);
        FontDescription font{"Arial", 14, rgb(0, 0, 0), false};
        font.italic = italic;
        font.underline = underline;
        s.setFont(font);
        s.textOut(5, 5, "m12 Hill");
        return renderPictureToImage(picture);
    };
    const QImage plain = drawn(false, false);
    const QImage italic = drawn(true, false);
    const QImage underlined = drawn(false, true);
    EXPECT_NE(plain, italic);
    EXPECT_NE(plain, underlined);
    // The underline adds ink below the letters and takes none away.
    int added = 0, removed = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x) {
            const bool before = qGray(plain.pixel(x, y)) < 128, after = qGray(underlined.pixel(x, y)) < 128;
            added += !before && after;
            removed += before && !after;
        }
    EXPECT_GT(added, 30);
    EXPECT_EQ(removed, 0);
}

} // namespace
} // namespace rvk
