#include "app/aboutbox.h"
#include "app/applicationsetup.h"
#include "app/settings/drawingoptionspage.h"
#include "app/picture/imagepage.h"
#include "app/picture/printpreviewpage.h"
#include "app/mainwindow.h"
#include "core/dataloader.h"
#include "render/allinoneview.h"
#include "render/linkagegroupview.h"
#include "render/pictureexport.h"
#include "render/pointerinspection.h"
#include "render/printlayout.h"
#include "settings/inifile.h"
#include "settings/settingsfile.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"
#include "support/windowfixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QDropEvent>
#include <QEventLoop>
#include <QTimer>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolBar>

#include <algorithm>
#include <memory>

namespace rvk {
namespace {

using test::ScriptedUserInterface;
using test::TempFolder;

using test::Broken;
using test::Chr1;
using test::Chr2;
using test::TwoGroupFile;

using test::WindowFixture;

TEST(MainWindowView, ModesShowTheirPanelsAndGroupsStep)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1)),
                             QString::fromStdString(f.folder.write("b.rvk", Chr2))});
    auto *tools = f.window->findChild<QToolBar *>(QStringLiteral("ToolBar"));
    QAction *browser = nullptr;
    QAction *range = nullptr;
    for (QAction *action : tools->actions()) {
        if (QWidget *widget = tools->widgetForAction(action)) {
            if (widget->objectName() == "IndividualBrowser")
                browser = action;
            if (widget->objectName() == "RangePanel")
                range = action;
        }
    }
    ASSERT_TRUE(browser && range);

    struct Case
    {
        MainWindow::ViewMode mode;
        bool browserShown;
        bool rangeShown;
    };
    for (const Case c : {Case{MainWindow::IndividualMode, true, false}, Case{MainWindow::AllInOneMode, false, true},
                         Case{MainWindow::LinkageGroupMode, false, true}}) {
        f.window->setViewMode(c.mode);
        EXPECT_EQ(browser->isVisible(), c.browserShown) << c.mode;
        EXPECT_EQ(range->isVisible(), c.rangeShown) << c.mode;
    }

    f.window->nextGroup();
    EXPECT_EQ(f.window->groupSelector()->currentIndex(), 1);
    EXPECT_EQ(f.window->statusText(0), "5 individuals/ 2 loci/ Pop:f2");
    EXPECT_EQ(f.window->data().CurrentGroupName, "chr2");
    f.window->nextGroup();
    EXPECT_EQ(f.window->groupSelector()->currentIndex(), 1) << "no group after the last";
    f.window->previousGroup();
    f.window->previousGroup();
    EXPECT_EQ(f.window->groupSelector()->currentIndex(), 0);

    f.window->setViewMode(MainWindow::IndividualMode);
    EXPECT_EQ(f.window->statusText(1), "1");
    f.window->nextGroup();
    EXPECT_EQ(f.window->data().CurrentIndividual, 2) << "in the individual view the arrows step individuals";
    EXPECT_EQ(f.window->statusText(1), "2");
}

TEST(MainWindowView, IndividualViewWithNobodySelectedFallsBackToLinkageGroups)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    GenotypeData &data = f.window->data();
    data.Selectionyesno = true;
    std::fill(data.Ticked.begin(), data.Ticked.end(), 0);
    f.window->setViewMode(MainWindow::IndividualMode);
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Selection too intense, no plants meet the set criteria"});
    EXPECT_EQ(f.window->viewMode(), MainWindow::LinkageGroupMode);

    // With a later individual ticked, the view moves on to it.
    f.ui.messages.clear();
    data.Ticked[3] = 1;
    data.CurrentIndividual = 1;
    f.window->setViewMode(MainWindow::IndividualMode);
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_EQ(f.window->viewMode(), MainWindow::IndividualMode);
    EXPECT_EQ(data.CurrentIndividual, 4);
}

bool holdsColour(const QImage &image, Rgb colour)
{
    const QRgb wanted = qRgb(redOf(colour), greenOf(colour), blueOf(colour)) & 0xFFFFFF;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == wanted)
                return true;
    return false;
}

TEST(MainWindowView, LoadedGroupIsDrawnOnceIntoTheImagePage)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    LinkageGroupView::Layout layout;
    drawLinkageGroupView(f.window->data(), f.window->alleles(), f.window->drawContext(), &layout);
    const QImage picture = f.window->imagePage()->picture();
    EXPECT_EQ(picture.size(), QSize(layout.width, layout.height));
    const Rgb colourA = f.window->alleles().lookup('a').Color;
    EXPECT_TRUE(holdsColour(picture, colourA)) << "bars in the colour of allele a";

    f.window->setColorMode(DrawingOptions::ColorMode::BlackAndWhite);
    EXPECT_TRUE(f.window->displaySettings().drawing.blackAndWhite());
    EXPECT_FALSE(holdsColour(f.window->imagePage()->picture(), colourA));
}

TEST(MainWindowView, ZoomMenuSetsTheFactorStatusAndPictureSize)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    const int width100 = f.window->imagePage()->picture().width();
    auto *menu = f.window->findChild<QMenu *>(QStringLiteral("ZoomMenu"));
    ASSERT_NE(menu, nullptr);
    QStringList entries;
    for (QAction *action : menu->actions())
        entries.append(action->text());
    EXPECT_EQ(entries, (QStringList{"10%", "20%", "50%", "100%", "200%", "500%", "1000%", "2000%"}));

    struct Case
    {
        int tag;
        double factor;
        QString status;
    };
    for (const Case &c : {Case{5, 0.5, "Zoom: 50%"}, Case{1, 0.1, "Zoom: 10%"}, Case{200, 20.0, "Zoom: 2000%"},
                          Case{20, 2.0, "Zoom: 200%"}}) {
        f.window->zoomTo(c.tag);
        EXPECT_DOUBLE_EQ(f.window->zoomFactor(), c.factor);
        EXPECT_EQ(f.window->statusText(3), c.status);
    }
    LinkageGroupView::Layout layout;
    drawLinkageGroupView(f.window->data(), f.window->alleles(), f.window->drawContext(), &layout);
    EXPECT_EQ(f.window->imagePage()->picture().size(), QSize(layout.width, layout.height)) << "drawn at 200 %";
    EXPECT_GT(layout.width, width100);
    EXPECT_EQ(f.window->imagePage()->picture().width(), f.window->viewPicture().width());
}

TEST(MainWindowView, AllInOneModeDrawsTheWholeGenome)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1)),
                             QString::fromStdString(f.folder.write("b.rvk", Chr2))});
    f.window->setViewMode(MainWindow::AllInOneMode);
    AllInOneView::Layout layout;
    drawAllInOneView(f.window->data(), f.window->alleles(), f.window->drawContext(),
                     f.window->imagePage()->viewport()->width(), &layout);
    EXPECT_TRUE(layout.drawable);
    EXPECT_EQ(f.window->imagePage()->picture().size(), QSize(layout.width, layout.height));
    EXPECT_EQ(f.window->data().GroupLoci(0)[0].MajorAllele, 'a') << "major alleles refreshed for the consensus row";
}

TEST(MainWindowView, PointerNamesIndividualsAndOpensThemAt100Percent)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    LinkageGroupView::Layout layout;
    drawLinkageGroupView(f.window->data(), f.window->alleles(), f.window->drawContext(), &layout);
    const DrawingOptions &options = f.window->displaySettings().drawing;
    const int third = layout.markSpace + 2 * (options.barwidth + options.space) + 1;

    f.window->pointerMovedOnPicture(QPoint(third, 50));
    EXPECT_EQ(f.window->statusText(1), "[3] 3");
    EXPECT_EQ(f.window->imagePage()->pictureHint().toStdString(), DetailedViewHint);

    f.window->pointerClickedOnPicture(QPoint(third, 50), Qt::RightButton);
    EXPECT_EQ(f.window->viewMode(), MainWindow::IndividualMode);
    EXPECT_EQ(f.window->data().CurrentIndividual, 3);
    f.window->pointerClickedOnPicture(QPoint(10, 10), Qt::RightButton);
    EXPECT_EQ(f.window->viewMode(), MainWindow::LinkageGroupMode);

    f.window->zoomTo(20);
    const QString before = f.window->statusText(1);
    f.window->pointerMovedOnPicture(QPoint(layout.markSpace + 1, 50));
    EXPECT_EQ(f.window->statusText(1), before) << "at 200 % the pointer names nobody";
}

TEST(MainWindowView, IndividualFieldStepsAndTakesTypedNumbers)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    f.window->setViewMode(MainWindow::IndividualMode);
    f.window->enterIndividual("5");
    EXPECT_EQ(f.window->data().CurrentIndividual, 5);
    EXPECT_EQ(f.window->statusText(1), "5");
    f.window->stepIndividual(StepDirection::Up);
    EXPECT_EQ(f.window->data().CurrentIndividual, 5) << "nothing after the last";
    f.window->enterIndividual("9");
    EXPECT_EQ(f.window->data().CurrentIndividual, 5) << "out of range: unchanged";
    f.window->data().Ticked[3] = 0;
    f.window->stepIndividual(StepDirection::Down);
    EXPECT_EQ(f.window->data().CurrentIndividual, 3) << "unticked individuals are skipped";
}

TEST(MainWindowPicture, FilesClipboardAndPrinterGetTheDrawing)
{
    WindowFixture f;
    f.window->saveImageAsMetafile();
    f.window->saveImageAsJpeg();
    EXPECT_TRUE(f.ui.messages.empty()) << "without a drawing nothing is asked";

    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    // The metafile command writes a metafile; a name that asks for JPEG gets JPEG.
    f.ui.saveChoices = {f.folder.file("picture.emf"), f.folder.file("photo"), f.folder.file("chosen.jpg")};
    f.window->saveImageAsMetafile();
    const std::string emf = test::readWholeFile(f.folder.file("picture.emf"));
    ASSERT_GT(emf.size(), 44u);
    EXPECT_EQ(emf.substr(40, 4), " EMF");
    f.window->saveImageAsJpeg();
    const std::string jpeg = test::readWholeFile(f.folder.file("photo.jpg"));
    ASSERT_GT(jpeg.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(jpeg[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(jpeg[1]), 0xD8);
    f.window->saveImageAsMetafile();
    EXPECT_EQ(test::readWholeFile(f.folder.file("chosen.jpg")).substr(0, 2), "\xFF\xD8");
    // The dialogs also offer SVG, PDF and PNG, chosen by the name's extension.
    f.ui.saveChoices = {f.folder.file("drawing.svg"), f.folder.file("drawing.pdf"), f.folder.file("drawing.png")};
    f.window->saveImageAsMetafile();
    f.window->saveImageAsJpeg();
    f.window->saveImageAsMetafile();
    EXPECT_NE(test::readWholeFile(f.folder.file("drawing.svg")).find("<svg"), std::string::npos);
    EXPECT_EQ(test::readWholeFile(f.folder.file("drawing.pdf")).substr(0, 5), "%PDF-");
    EXPECT_EQ(QImage(QString::fromStdString(f.folder.file("drawing.png"))).size(), f.window->imagePage()->picture().size());
    EXPECT_TRUE(f.ui.messages.empty());

    const QString previous = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(f.folder.path().string()));
    f.window->copyImageToClipboard();
    QDir::setCurrent(previous);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(f.folder.file(ClipboardMetafileName))));
    EXPECT_EQ(QApplication::clipboard()->image().size(), f.window->imagePage()->picture().size());
    const QMimeData *copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->data(QStringLiteral("image/emf")).startsWith(QByteArray("\x01\x00\x00\x00", 4)));
    EXPECT_TRUE(copied->data(QStringLiteral("image/svg+xml")).contains("<svg"));

    const QImage onScreen = f.window->imagePage()->picture();
    const std::string pdf = f.folder.file("print.pdf");
    {
        QPdfWriter writer(QString::fromStdString(pdf));
        f.window->printTo(writer);
    }
    EXPECT_GT(test::readWholeFile(pdf).size(), 500u);
    EXPECT_EQ(f.window->imagePage()->picture(), onScreen) << "the screen picture comes back after printing";
}

TEST(MainWindowPicture, WithoutAPrinterPrintingGoesToAPdfFile)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "this machine has a printer";
    WindowFixture f;
    QPrinter &printer = f.window->printer();
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_TRUE(printer.outputFileName().endsWith(QStringLiteral("rvk-print.pdf")));
}

TEST(MainWindowPicture, PreviewPageCutsTheCurrentPicture)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    f.window->pages()->setCurrentIndex(MainWindow::PrintPreviewPageIndex);
    PrintPreviewPage *preview = f.window->previewPage();
    const ViewPicture &picture = f.window->viewPicture();
    const QSize area = f.window->imagePage()->viewport()->size();
    EXPECT_GE(picture.width(), area.width()) << "raised to the image area";
    EXPECT_GE(picture.height(), area.height());
    EXPECT_EQ(preview->orientation(), PageOrientation::Landscape);
    const PrintPreview expected = layoutPrintPreview(picture.width(), picture.height(), PageOrientation::Landscape);
    EXPECT_EQ(preview->preview().pages, expected.pages);
    EXPECT_EQ(preview->findChild<QLabel *>("pagecnt")->text().toStdString(),
              pageCountText(static_cast<int>(expected.pages.size())));

    preview->setOrientation(PageOrientation::Portrait);
    EXPECT_EQ(preview->preview().pages,
              layoutPrintPreview(picture.width(), picture.height(), PageOrientation::Portrait).pages);

    const std::string pdf = f.folder.file("preview.pdf");
    {
        QPdfWriter writer(QString::fromStdString(pdf));
        std::string error;
        EXPECT_TRUE(preview->printPages(writer, error)) << error;
    }
    EXPECT_GT(test::readWholeFile(pdf).size(), 500u);
}

// Lets the window's queued work (the redraw after a resize) run.
void processEventsFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(MainWindowPicture, PreviewShowsTheDataAsTheyAreNow)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    const QImage before = renderPictureToImage(f.window->viewPicture());
    // Rewritten on another page, as "Sort !" does, without visiting the image page.
    f.window->pages()->setCurrentIndex(MainWindow::DataViewPage);
    for (auto &locus : f.window->data().LinkageGroups.front()->Loci)
        std::reverse(locus.Genotypes.begin(), locus.Genotypes.end());
    f.window->pages()->setCurrentIndex(MainWindow::PrintPreviewPageIndex);
    const QImage previewed = renderPictureToImage(f.window->viewPicture());
    const QImage current = renderPictureToImage(
        drawLinkageGroupView(f.window->data(), f.window->alleles(), f.window->drawContext()));
    EXPECT_NE(previewed, before);
    EXPECT_EQ(previewed.copy(QRect(QPoint(0, 0), current.size())), current);
}

TEST(MainWindowView, PictureFollowsTheWindowSize)
{
    WindowFixture f;
    f.window->resize(800, 500);
    f.window->show();
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    processEventsFor(300);
    const int smallHeight = f.window->imagePage()->picture().height();
    f.window->resize(1000, 900); // maximised
    processEventsFor(300);
    const ViewPicture expected = drawLinkageGroupView(f.window->data(), f.window->alleles(), f.window->drawContext());
    EXPECT_GT(f.window->imagePage()->picture().height(), smallHeight);
    EXPECT_EQ(f.window->imagePage()->picture().size(), QSize(expected.width(), expected.height()));
}

TEST(MainWindowView, AutosizeShowsTheMeasuredSpaceAndAllInOneTurnsThePreview)
{
    WindowFixture f;
    f.window->openDataFiles({QString::fromStdString(f.folder.write("a.rvk", Chr1))});
    ASSERT_TRUE(f.window->drawingOptionsPage()->options().autosize);
    LinkageGroupView::Layout layout;
    drawLinkageGroupView(f.window->data(), f.window->alleles(), f.window->drawContext(), &layout);
    EXPECT_EQ(f.field("markspace")->value(), DrawingOptions::markspaceRange.clamp(layout.markSpace));
    EXPECT_NE(layout.markSpace, 100) << "the fixture must measure something other than the default";

    f.window->previewPage()->setOrientation(PageOrientation::Portrait);
    f.window->setViewMode(MainWindow::AllInOneMode);
    const ViewPicture &picture = f.window->viewPicture();
    ASSERT_LT(picture.height(), picture.width());
    EXPECT_EQ(f.window->previewPage()->orientation(), PageOrientation::Landscape);
}

TEST(MainWindowView, RefreshWithoutDataOnlyShowsTheImagePage)
{
    WindowFixture f;
    f.window->pages()->setCurrentIndex(MainWindow::SettingsPage);
    const QImage before = f.window->imagePage()->picture();
    f.window->redrawbtnClick();
    EXPECT_EQ(f.window->pages()->currentIndex(), MainWindow::ImagePageIndex);
    EXPECT_EQ(f.window->imagePage()->picture(), before);
}

} // namespace
} // namespace rvk
