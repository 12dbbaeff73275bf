#include "render/drawsurface.h"
#include "render/emfsurface.h"
#include "render/pictureexport.h"
#include "render/picturerecorder.h"
#include "render/viewpicture.h"

#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <uemf.h>
#include <uemf_safe.h>

#include <cstring>
#include <map>

namespace rvk {
namespace {

std::uint32_t wordAt(const std::string &bytes, size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + static_cast<size_t>(i)]);
    return value;
}

// Every operation, every brush kind and both text directions.
ViewPicture everyOperation()
{
    ViewPicture picture(320, 200);
    PictureRecorder s(picture);
    s.setPen({rgb(255, 0, 0), 2, PenSpec::Style::Solid});
    s.moveTo(10, 10);
    s.lineTo(100, 10);
    s.setPen({rgb(0, 0, 255), 1, PenSpec::Style::Dotted});
    s.lineTo(100, 80);
    s.setPen({0, 1, PenSpec::Style::Solid});
    s.setBrush({rgb(0, 128, 0), BrushSpec::Style::Solid, -1});
    s.rectangle(10, 20, 60, 60);
    for (auto style : {BrushSpec::Style::DiagonalRising, BrushSpec::Style::DiagonalFalling, BrushSpec::Style::Cross,
                       BrushSpec::Style::DiagonalCross, BrushSpec::Style::Horizontal, BrushSpec::Style::Vertical}) {
        s.setBrush({rgb(200, 0, 0), style, -1});
        s.fillRect(110, 20, 150, 60);
    }
    for (int k = 0; k < 16; ++k) {
        s.setBrushPattern(k);
        s.rectangle(160 + 8 * k, 20, 168 + 8 * k, 60);
    }
    s.setBrushColor(rgb(255, 255, 0));
    s.pie(10, 100, 60, 150, 60, 125, 35, 100);
    s.arc(70, 100, 120, 150, 35, 100, 60, 125);
    s.setFont({"Arial", 9, rgb(0, 0, 128), true});
    s.textOut(10, 160, "Group 1  [LG1]  footer");
    s.setBrushStyle(BrushSpec::Style::Clear);
    s.setFont({"Tahoma", 8, 0, false});
    s.textOutRotated(300, 10, "Legend", 270);
    s.textOutRotated(280, 10, "90 degrees", 90);
    s.textOut(10, 180, "");
    return picture;
}

struct EmfFile
{
    std::string bytes;
    std::vector<std::pair<size_t, std::uint32_t>> records; // offset, type
    bool allSafe = true;
    bool wellFormed = true;
};

EmfFile readEmf(const std::string &path)
{
    EmfFile file;
    file.bytes = test::readWholeFile(path);
    size_t offset = 0;
    while (offset + 8 <= file.bytes.size()) {
        const std::uint32_t type = wordAt(file.bytes, offset);
        const std::uint32_t size = wordAt(file.bytes, offset + 4);
        if (size < 8 || size % 4 != 0 || offset + size > file.bytes.size()) {
            file.wellFormed = false;
            break;
        }
        // The check reads the record in place, so hand it a copy of exactly its own size.
        std::string record = file.bytes.substr(offset, size);
        if (!U_emf_record_safe(record.data()))
            file.allSafe = false;
        file.records.emplace_back(offset, type);
        offset += size;
    }
    if (offset != file.bytes.size())
        file.wellFormed = false;
    return file;
}

TEST(EmfSurface, EveryRecordPassesTheLibrarySafetyCheck)
{
    test::TempFolder folder;
    std::string error;
    ASSERT_TRUE(savePictureEmf(everyOperation(), folder.file("all.emf"), error)) << error;
    const EmfFile emf = readEmf(folder.file("all.emf"));
    EXPECT_TRUE(emf.wellFormed);
    EXPECT_TRUE(emf.allSafe);
    ASSERT_GT(emf.records.size(), 10u);
    EXPECT_EQ(emf.records.front().second, static_cast<std::uint32_t>(U_EMR_HEADER));
    EXPECT_EQ(emf.records.back().second, static_cast<std::uint32_t>(U_EMR_EOF));

    std::map<std::uint32_t, int> counts;
    for (const auto &record : emf.records)
        ++counts[record.second];
    for (std::uint32_t type : {U_EMR_CREATEPEN, U_EMR_CREATEBRUSHINDIRECT, U_EMR_CREATEDIBPATTERNBRUSHPT,
                               U_EMR_EXTCREATEFONTINDIRECTW, U_EMR_EXTTEXTOUTW, U_EMR_RECTANGLE, U_EMR_PIE, U_EMR_ARC,
                               U_EMR_LINETO, U_EMR_MOVETOEX, U_EMR_SELECTOBJECT, U_EMR_DELETEOBJECT})
        EXPECT_GT(counts[type], 0) << "record type " << type;
    EXPECT_EQ(counts[U_EMR_CREATEDIBPATTERNBRUSHPT], 15); // pattern 7 is the clear brush
    EXPECT_EQ(counts[U_EMR_EXTTEXTOUTW], 3);              // the empty text writes nothing
}

TEST(EmfSurface, SafetyCheckCatchesADamagedTextRecord)
{
    // The walk above is only worth something if the check rejects a record that lies.
    test::TempFolder folder;
    std::string error;
    ASSERT_TRUE(savePictureEmf(everyOperation(), folder.file("all.emf"), error)) << error;
    const EmfFile emf = readEmf(folder.file("all.emf"));
    for (const auto &[offset, type] : emf.records) {
        if (type != U_EMR_EXTTEXTOUTW)
            continue;
        std::string record = emf.bytes.substr(offset, wordAt(emf.bytes, offset + 4));
        EXPECT_TRUE(U_emf_record_safe(record.data()));
        const std::uint32_t chars = 100000; // the text's character count, far beyond the record
        std::memcpy(record.data() + 44, &chars, 4);
        EXPECT_FALSE(U_emf_record_safe(record.data()));
        return;
    }
    FAIL() << "no text record";
}

TEST(EmfSurface, HeaderWordsDescribeTheFileAndThePictureSize)
{
    test::TempFolder folder;
    std::string error;
    ASSERT_TRUE(savePictureEmf(everyOperation(), folder.file("all.emf"), error)) << error;
    const EmfFile emf = readEmf(folder.file("all.emf"));
    const std::string &b = emf.bytes;
    EXPECT_EQ(wordAt(b, 0), 1u);                        // header record
    EXPECT_EQ(wordAt(b, 40), 0x464D4520u);              // " EMF"
    EXPECT_EQ(wordAt(b, 48), b.size());                 // bytes in the file
    EXPECT_EQ(wordAt(b, 52), emf.records.size());       // records in the file
    EXPECT_EQ(wordAt(b, 72), 320u);                     // reference device width
    EXPECT_EQ(wordAt(b, 76), 200u);                     // and height
    EXPECT_EQ(wordAt(b, 8 + 8), 319u);                  // bounds right
    EXPECT_EQ(wordAt(b, 24 + 8), 8467u);                // frame right, 0.01 mm at 96 dpi
}

TEST(EmfSurface, DeviceSizeRewriteChangesOnlyTheTwoWords)
{
    test::TempFolder folder;
    std::string error;
    ASSERT_TRUE(savePictureEmf(everyOperation(), folder.file("all.emf"), error)) << error;
    const std::string before = test::readWholeFile(folder.file("all.emf"));
    ASSERT_TRUE(setEmfDeviceSize(folder.file("all.emf"), 1234, 567, error)) << error;
    const std::string after = test::readWholeFile(folder.file("all.emf"));
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(wordAt(after, 72), 1234u);
    EXPECT_EQ(wordAt(after, 76), 567u);
    EXPECT_EQ(after.substr(0, 72), before.substr(0, 72));
    EXPECT_EQ(after.substr(80), before.substr(80));

    const std::string text = folder.write("not.emf", std::string(100, 'x'));
    EXPECT_FALSE(setEmfDeviceSize(text, 10, 10, error));
    EXPECT_EQ(test::readWholeFile(text), std::string(100, 'x'));
    EXPECT_FALSE(setEmfDeviceSize(folder.file("absent.emf"), 10, 10, error));
}

TEST(EmfSurface, MetafileUnderAJpegNameIsStillAMetafile)
{
    test::TempFolder folder;
    std::string error;
    ASSERT_TRUE(savePictureEmf(everyOperation(), folder.file("picture.jpg"), error)) << error;
    const EmfFile emf = readEmf(folder.file("picture.jpg"));
    EXPECT_EQ(wordAt(emf.bytes, 0), 1u);
    EXPECT_EQ(wordAt(emf.bytes, 40), 0x464D4520u);
}

TEST(EmfSurface, MeasuresTextsLikeTheRecorder)
{
    test::TempFolder folder;
    EmfSurface emf(folder.file("m.emf"), 10, 10);
    ViewPicture picture;
    PictureRecorder recorder(picture);
    const FontDescription font{"Arial", 11, 0, true};
    emf.setFont(font);
    recorder.setFont(font);
    EXPECT_EQ(emf.textWidth("marker 12.5"), recorder.textWidth("marker 12.5"));
    EXPECT_EQ(emf.textHeight("8HJL"), recorder.textHeight("8HJL"));
    std::string error;
    EXPECT_TRUE(emf.finish(error)) << error;
}

TEST(EmfSurface, UnwritableFileIsReported)
{
    EmfSurface emf("/nonexistent-folder/x.emf", 10, 10);
    EXPECT_FALSE(emf.isOpen());
    emf.rectangle(0, 0, 5, 5); // harmless
    std::string error;
    EXPECT_FALSE(emf.finish(error));
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace rvk
