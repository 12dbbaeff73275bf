#include "genotypeviewfixture.h"
#include "support/tempfolder.h"

#include "core/userinterface.h"
#include "render/emfsurface.h"
#include "render/individualview.h"
#include "render/linkagegroupview.h"
#include "render/picturerecorder.h"
#include "render/printlayout.h"

#include <QPdfWriter>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>

namespace rvk {
namespace {

using namespace rvk::test;

std::uint32_t wordAt(const std::string &bytes, size_t index)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[index * 4 + static_cast<size_t>(i)]);
    return value;
}

// A small recorded picture: a red box.
ViewPicture boxPicture(int width, int height)
{
    ViewPicture picture(width, height);
    PictureRecorder recorder(picture);
    recorder.setBrush(BrushSpec{Red, BrushSpec::Style::Solid, -1});
    recorder.rectangle(2, 2, width - 2, height - 2);
    return picture;
}

class MessageLog : public SilentUserInterface
{
public:
    void message(MessageKind, const std::string &text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

TEST(PrintFit, OrientationAndFitFactor)
{
    // 2000 x 500 prints in landscape; on a 3000 x 2000 page it is enlarged 1.5 times.
    EXPECT_TRUE(printLandscape(2000, 500));
    EXPECT_FALSE(printLandscape(500, 500));
    EXPECT_DOUBLE_EQ(fitFactor(3000, 2000, 2000, 500), 1.5);
    EXPECT_DOUBLE_EQ(fitFactor(1000, 1000, 2000, 500), 0.5);
    EXPECT_DOUBLE_EQ(fitFactor(1000, 1000, 0, 0), 1.0);
}

TEST(PrintPreviewLayout, StripsPerOrientation)
{
    const struct
    {
        int width, height;
        PageOrientation orientation;
        int stripLength;
        std::vector<int> starts;
        int lastLength;
    } cases[] = {
        // c = 5: strips of 1500 rows starting at 0, 1499 and 2998.
        {1050, 4000, PageOrientation::Portrait, 1500, {0, 1499, 2998}, 1002},
        {1050, 4000, PageOrientation::Landscape, 5714, {0}, 1050},
        // c = 500 / 210: vertical strips of 714 columns.
        {2000, 500, PageOrientation::Landscape, 714, {0, 713, 1426}, 574},
        // A strip that ends exactly at the bottom is the last one.
        {210, 300, PageOrientation::Portrait, 300, {0}, 300},
        // The smallest picture still gives one page and no endless cutting.
        {1, 1, PageOrientation::Portrait, 1, {0}, 1},
    };
    for (const auto &c : cases) {
        const PrintPreview preview = layoutPrintPreview(c.width, c.height, c.orientation);
        EXPECT_EQ(preview.stripLength, c.stripLength) << c.width << "x" << c.height;
        ASSERT_EQ(preview.pages.size(), c.starts.size()) << c.width << "x" << c.height;
        const bool portrait = c.orientation == PageOrientation::Portrait;
        for (size_t i = 0; i < c.starts.size(); ++i)
            EXPECT_EQ(portrait ? preview.pages[i].y() : preview.pages[i].x(), c.starts[i]);
        const QRect &last = preview.pages.back();
        EXPECT_EQ(portrait ? last.height() : last.width(), c.lastLength);
        EXPECT_EQ(portrait ? last.width() : last.height(), portrait ? c.width : c.height);
    }
    const PrintPreview preview = layoutPrintPreview(1050, 4000, PageOrientation::Portrait);
    EXPECT_DOUBLE_EQ(preview.pixelsPerMm, 5.0);
    EXPECT_DOUBLE_EQ(preview.displayScale, 0.7);
}

TEST(PrintPreviewLayout, SizePagesAndLabels)
{
    EXPECT_EQ(previewPictureSize(0, 0, 800, 600), QSize(800, 600));
    EXPECT_EQ(previewPictureSize(2000, 10, 800, 600), QSize(2000, 600));
    EXPECT_EQ(previewPictureSize(0, 0, 0, 0), QSize(1, 1));
    EXPECT_EQ(pageCountText(3), "[3] ");
    EXPECT_EQ(stepPreviewPage(0, 3, -1), 0);
    EXPECT_EQ(stepPreviewPage(0, 3, 1), 1);
    EXPECT_EQ(stepPreviewPage(2, 3, 1), 2);
    EXPECT_EQ(stepPreviewPage(0, 0, 1), 0);

    QImage bitmap = whiteImage(1050, 4000);
    bitmap.setPixelColor(5, 1499, Qt::red); // the row two strips share
    const PrintPreview preview = layoutPrintPreview(1050, 4000, PageOrientation::Portrait);
    const QImage first = previewPageImage(bitmap, preview, 0);
    const QImage second = previewPageImage(bitmap, preview, 1);
    EXPECT_EQ(first.size(), QSize(1050, 1500));
    EXPECT_EQ(pixelAt(first, 5, 1499), Red);
    EXPECT_EQ(pixelAt(second, 5, 0), Red);
    EXPECT_TRUE(previewPageImage(bitmap, preview, 3).isNull());
}

TEST(PrintPreviewLayout, PrintsOnePagePerStrip)
{
    TempFolder folder;
    const std::string path = folder.file("preview.pdf");
    const PrintPreview preview = layoutPrintPreview(1050, 4000, PageOrientation::Portrait);
    std::string error;
    {
        QPdfWriter writer(QString::fromStdString(path));
        ASSERT_TRUE(printPreviewPages(writer, whiteImage(1050, 4000), preview, error)) << error;
    }
    const std::string pdf = readWholeFile(path);
    ASSERT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_NE(pdf.find("/Count 3"), std::string::npos);
}

TEST(PictureFiles, EmfHeaderStatesThePictureSize)
{
    TempFolder folder;
    const ViewPicture picture = boxPicture(321, 123);
    std::string error;
    // A name ending in ".jpg" still gets EMF data.
    const std::string path = folder.file("picture.jpg");
    ASSERT_TRUE(savePictureAsEmf(picture, path, error)) << error;
    std::string bytes = readWholeFile(path);
    ASSERT_GE(bytes.size(), 88u);
    EXPECT_EQ(wordAt(bytes, 0), 1u);                 // header record
    EXPECT_EQ(bytes.substr(40, 4), std::string(" EMF"));
    EXPECT_EQ(wordAt(bytes, 18), 321u);
    EXPECT_EQ(wordAt(bytes, 19), 123u);

    ASSERT_TRUE(setEmfDeviceSize(path, 1024, 768, error)) << error;
    const std::string rewritten = readWholeFile(path);
    ASSERT_EQ(rewritten.size(), bytes.size());
    EXPECT_EQ(wordAt(rewritten, 18), 1024u);
    EXPECT_EQ(wordAt(rewritten, 19), 768u);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i < 72 || i >= 80) {
            ASSERT_EQ(rewritten[i], bytes[i]) << "byte " << i;
        }
    }
}

TEST(PictureFiles, JpegNamesAndClipboardMetafile)
{
    TempFolder folder;
    const ViewPicture picture = boxPicture(40, 30);
    std::string written, error;
    ASSERT_TRUE(savePictureAsJpeg(picture, folder.file("plain"), written, error)) << error;
    EXPECT_EQ(written, folder.file("plain.jpg"));
    EXPECT_EQ(readWholeFile(written).substr(0, 2), std::string("\xFF\xD8"));
    ASSERT_TRUE(savePictureAsJpeg(picture, folder.file("named.jpeg"), written, error)) << error;
    EXPECT_EQ(written, folder.file("named.jpeg"));

    ASSERT_TRUE(writeClipboardMetafile(picture, folder.path().string(), written, error)) << error;
    EXPECT_EQ(written, folder.file("$$tmp.emf"));
    EXPECT_TRUE(std::filesystem::exists(written));
    EXPECT_EQ(wordAt(readWholeFile(written), 18), 40u);
}

struct PrintFixture
{
    GenotypeData data = makeData({{{"m1", 0, "abh"}, {"m2", 50, "abh"}, {"m3", 100, "abh"}},
                                  {{"n1", 0, "bah"}, {"n2", 80, "bah"}}},
                                 3);
    AlleleTable table = testTable();
    DrawContext context;
    TempFolder folder;
    MessageLog ui;

    PrintOutcome print(PrintedView view, const ViewPicture &current, int resolution = 96)
    {
        QPdfWriter writer(QString::fromStdString(folder.file("page.pdf")));
        writer.setResolution(resolution);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        const PrintOutcome outcome = printCurrentView(writer, view, current, data, table, context, 700, &ui);
        pageWidth = writer.width();
        pageHeight = writer.height();
        landscape = writer.pageLayout().orientation() == QPageLayout::Landscape;
        return outcome;
    }
    int pageWidth = 0;
    int pageHeight = 0;
    bool landscape = false;
};

TEST(PrintCurrentView, FitsTheUnzoomedViewOnThePage)
{
    PrintFixture f;
    f.context.zoom = 2.0; // printing lays the view out at 100 % whatever the zoom on screen
    const struct
    {
        PrintedView view;
        ViewPicture current;
    } cases[] = {
        {PrintedView::LinkageGroup, drawLinkageGroupView(f.data, f.table, f.context)},
        {PrintedView::Individual, drawIndividualView(f.data, f.table, f.context)},
        {PrintedView::AllInOne, boxPicture(700, 200)},
    };
    for (const auto &c : cases) {
        const PrintOutcome outcome = f.print(c.view, c.current);
        ASSERT_TRUE(outcome.printed) << outcome.error;
        EXPECT_EQ(outcome.landscape, c.current.height() < c.current.width());
        EXPECT_EQ(f.landscape, outcome.landscape);
        EXPECT_DOUBLE_EQ(outcome.fit, fitFactor(f.pageWidth, f.pageHeight, outcome.pictureWidth, outcome.pictureHeight));
        EXPECT_GT(outcome.scale, 0.0);
        EXPECT_EQ(readWholeFile(f.folder.file("page.pdf")).rfind("%PDF", 0), 0u);
    }
    // The all-in-one view is as wide as the image area at 100 %.
    EXPECT_EQ(f.print(PrintedView::AllInOne, boxPicture(700, 200)).pictureWidth, 700);
    EXPECT_TRUE(f.ui.messages.empty());
}

TEST(PrintCurrentView, WarnsWhenReducedAndDoesNothingWithoutPicture)
{
    PrintFixture f;
    f.context.visibleHeight = 3000; // far taller than an A4 page at 96 dpi
    const PrintOutcome outcome = f.print(PrintedView::LinkageGroup, drawLinkageGroupView(f.data, f.table, f.context));
    EXPECT_TRUE(outcome.printed);
    EXPECT_TRUE(outcome.reduced);
    EXPECT_LT(outcome.fit, 1.0);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0], "image will be reduced to fit on a single page");

    f.ui.messages.clear();
    EXPECT_FALSE(f.print(PrintedView::LinkageGroup, ViewPicture()).printed);
    EXPECT_TRUE(f.ui.messages.empty());
    // Another view prints an empty page.
    EXPECT_TRUE(f.print(PrintedView::Other, boxPicture(100, 100)).printed);
}

} // namespace
} // namespace rvk
