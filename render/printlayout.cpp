#include "render/printlayout.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "core/userinterface.h"
#include "render/allinoneview.h"
#include "render/individualview.h"
#include "render/linkagegroupview.h"
#include "render/paintersurface.h"
#include "render/pictureexport.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace rvk {

namespace {

int roundInt(double value) { return static_cast<int>(roundHalfEven(value)); }

void setDocumentTitle(QPagedPaintDevice &device, const char *title)
{
    if (auto *pdf = dynamic_cast<QPdfWriter *>(&device))
        pdf->setTitle(QString::fromUtf8(title));
}

// The file-name part of a path has an extension when it holds a dot.
bool hasExtension(const std::string &path)
{
    const size_t slash = path.find_last_of("/\\");
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    return path.find('.', start) != std::string::npos;
}

} // namespace

bool printLandscape(int pictureWidth, int pictureHeight) { return pictureHeight < pictureWidth; }

double fitFactor(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight)
{
    // An empty picture fits anywhere as it is.
    const double byHeight = pictureHeight > 0 ? static_cast<double>(pageHeight) / pictureHeight : 1.0;
    const double byWidth = pictureWidth > 0 ? static_cast<double>(pageWidth) / pictureWidth : 1.0;
    return std::min(byHeight, byWidth);
}

PrintOutcome printCurrentView(QPagedPaintDevice &device, PrintedView view, const ViewPicture &current, const GenotypeData &data,
                              AlleleTable &table, const DrawContext &context, int visibleWidth, UserInterface *ui)
{
    PrintOutcome outcome;
    if (current.isEmpty())
        return outcome;
    outcome.landscape = printLandscape(current.width(), current.height());
    device.setPageOrientation(outcome.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);

    // The layout at 100 %: the page is fitted to the picture as it would be unzoomed.
    DrawContext unzoomed = context;
    unzoomed.zoom = 1.0;
    unzoomed.printing = false;
    LinkageGroupView::Layout groupLayout;
    IndividualView::Layout individualLayout;
    AllInOneView::Layout allInOneLayout;
    outcome.pictureWidth = current.width();
    outcome.pictureHeight = current.height();
    switch (view) {
    case PrintedView::LinkageGroup:
        drawLinkageGroupView(data, table, unzoomed, &groupLayout);
        outcome.pictureWidth = groupLayout.width;
        outcome.pictureHeight = groupLayout.height;
        outcome.scale = groupLayout.scale;
        break;
    case PrintedView::Individual:
        drawIndividualView(data, table, unzoomed, &individualLayout);
        outcome.pictureWidth = individualLayout.width;
        outcome.pictureHeight = individualLayout.height;
        outcome.scale = individualLayout.scale;
        break;
    case PrintedView::AllInOne:
        drawAllInOneView(data, table, unzoomed, visibleWidth, &allInOneLayout);
        outcome.pictureWidth = allInOneLayout.width;
        outcome.pictureHeight = allInOneLayout.height;
        outcome.scale = allInOneLayout.scale;
        break;
    case PrintedView::Other: break;
    }

    const int pageWidth = device.width();
    const int pageHeight = device.height();
    outcome.fit = fitFactor(pageWidth, pageHeight, outcome.pictureWidth, outcome.pictureHeight);
    if (outcome.fit < 1) {
        outcome.reduced = true;
        if (ui)
            ui->warning(ReducedToFitWarning);
    }

    setDocumentTitle(device, PrintDocumentTitle);
    QPainter painter;
    if (!painter.begin(&device)) {
        outcome.error = "The printer could not be started.";
        return outcome;
    }
    {
        PainterSurface surface(painter);
        DrawContext page = context;
        page.zoom = outcome.fit;
        page.printing = true;
        switch (view) {
        case PrintedView::LinkageGroup: {
            LinkageGroupView::Layout layout = groupLayout;
            layout.width = pageWidth;
            layout.height = pageHeight;
            LinkageGroupView(data, table, page).paint(surface, layout);
            break;
        }
        case PrintedView::Individual:
            if (individualLayout.drawable) {
                const int individual = std::clamp(context.currentIndividual, 1, std::max(1, data.nind));
                IndividualView(data, table, page).paintIndividual(surface, individual, pageHeight, pageWidth, individualLayout.scale, 0);
            }
            break;
        case PrintedView::AllInOne:
            page.options.markspace = allInOneLayout.markSpace;
            AllInOneView(data, table, page, visibleWidth).paintForPrint(surface, pageHeight, pageWidth, allInOneLayout.scale, outcome.fit);
            break;
        case PrintedView::Other: break;
        }
    }
    painter.end();
    outcome.printed = true;
    return outcome;
}

QSize previewPictureSize(int width, int height, int areaWidth, int areaHeight)
{
    return QSize(std::max({width, 1, areaWidth}), std::max({height, 1, areaHeight}));
}

PrintPreview layoutPrintPreview(int width, int height, PageOrientation orientation)
{
    PrintPreview preview;
    preview.orientation = orientation;
    preview.width = std::max(1, width);
    preview.height = std::max(1, height);
    const bool portrait = orientation == PageOrientation::Portrait;
    // Portrait pages take the picture's full width and cut it downwards; landscape pages take its
    // full height and cut it from left to right.
    const int across = portrait ? preview.width : preview.height;
    const int along = portrait ? preview.height : preview.width;
    preview.pixelsPerMm = across / 210.0;
    preview.stripLength = std::max(1, roundInt(300 * preview.pixelsPerMm));
    preview.displayScale = 3.5 / preview.pixelsPerMm;
    const int t = preview.stripLength;
    // Strips overlap by one row; a strip of one row would never move on.
    const int advance = std::max(1, t - 1);
    for (int start = 0;; start += advance) {
        const int length = std::min(t, along - start);
        preview.pages.push_back(portrait ? QRect(0, start, across, length) : QRect(start, 0, length, across));
        if (start + t >= along)
            break;
    }
    return preview;
}

std::string pageCountText(int pages) { return "[" + formatText("%d", {pages}) + "] "; }

int stepPreviewPage(int current, int pageCount, int step)
{
    if (pageCount <= 0)
        return 0;
    return std::clamp(current + step, 0, pageCount - 1);
}

QImage previewPageImage(const QImage &bitmap, const PrintPreview &preview, int page)
{
    if (page < 0 || static_cast<size_t>(page) >= preview.pages.size())
        return QImage();
    return bitmap.copy(preview.pages[static_cast<size_t>(page)]);
}

bool printPreviewPages(QPagedPaintDevice &device, const QImage &bitmap, const PrintPreview &preview, std::string &error)
{
    error.clear();
    device.setPageOrientation(preview.orientation == PageOrientation::Portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
    setDocumentTitle(device, PreviewDocumentTitle);
    QPainter painter;
    if (!painter.begin(&device)) {
        error = "The printer could not be started.";
        return false;
    }
    const double dotsPerInch = device.logicalDpiX();
    const int margin = roundInt(PreviewPageMarginMm * dotsPerInch / 25.4);
    // As wide on paper as on the 96-dpi preview.
    const double scale = preview.displayScale * dotsPerInch / 96.0;
    for (size_t i = 0; i < preview.pages.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            error = "The printer could not start a new page.";
            painter.end();
            return false;
        }
        const QRect &strip = preview.pages[i];
        const QRect target(margin, margin, roundInt(strip.width() * scale), roundInt(strip.height() * scale));
        painter.drawImage(target, bitmap, strip);
    }
    painter.end();
    return true;
}

bool savePictureAsEmf(const ViewPicture &picture, const std::string &path, std::string &error)
{
    // The EMF writer states the picture's own size, W x Hh, as the reference device.
    return savePictureEmf(picture, path, error);
}

bool savePictureAsJpeg(const ViewPicture &picture, const std::string &path, std::string &writtenPath, std::string &error)
{
    writtenPath = hasExtension(path) ? path : path + ".jpg";
    return savePictureJpeg(picture, writtenPath, error);
}

bool writeClipboardMetafile(const ViewPicture &picture, const std::string &folder, std::string &writtenPath, std::string &error)
{
    writtenPath = folder.empty() ? std::string(ClipboardMetafileName) : folder + "/" + ClipboardMetafileName;
    return savePictureEmf(picture, writtenPath, error);
}

} // namespace rvk
