#pragma once
// Printing the main picture on one page, the paginated print preview, and the picture files
// behind "Copy Image to Clipboard" and the two image exports. The window owns the printer, the
// dialogs and the clipboard; everything it needs to decide or paint is here.

#include "render/drawcontext.h"
#include "render/viewpicture.h"
#include "settings/alleletable.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <string>
#include <vector>

class QPagedPaintDevice;

namespace rvk {

class GenotypeData;
class UserInterface;

inline constexpr const char *PrintDocumentTitle = "RVK graphical genotype image";
inline constexpr const char *PreviewDocumentTitle = "RVK Image";
inline constexpr const char *ReducedToFitWarning = "image will be reduced to fit on a single page";
inline constexpr const char *PreviewTip = "Tip: use the settings (length multiplier; bar width; topmargin etc) to adjust the image layout";
inline constexpr const char *ClipboardMetafileName = "$$tmp.emf";
inline constexpr const char *PictureFileFilter = "Enhanced metafile|*.emf|JPEG|*.jpg";

// ---- One-page printing ---------------------------------------------------------------------

// The printer lies on its side for pictures wider than high.
bool printLandscape(int pictureWidth, int pictureHeight);
// f = min(Ph / Hh, Pw / W): the factor that fits the picture on the page (above 1 enlarges).
double fitFactor(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight);

// The views the printer repaints; any other choice of "Organize by:" prints an empty page.
enum class PrintedView { LinkageGroup, Individual, AllInOne, Other };

struct PrintOutcome
{
    bool printed = false;   // false: there was no picture, or the device could not be painted
    bool landscape = false; // the orientation given to the device
    bool reduced = false;   // the warning was shown: the picture is larger than the page
    double fit = 0.0;
    int pictureWidth = 0;   // W and Hh at 100 %
    int pictureHeight = 0;
    double scale = 0.0;     // the scale the page was painted with
    std::string error;
};

// Prints the current view on one page of device (a printer, or a PDF writer in tests), painted
// again at the device's resolution: the view is laid out at 100 %, fitted with f and repainted
// with f as zoom and the stored font sizes. current is the picture on screen: nothing happens
// when it is empty, and its proportions choose the orientation. The warning that the picture is
// reduced goes through ui. visibleWidth and the context's visibleHeight are the image area's.
// The caller sets PrintDocumentTitle as the document name of a printer (a PDF writer gets it
// here) and redraws the view at its zoom afterwards.
PrintOutcome printCurrentView(QPagedPaintDevice &device, PrintedView view, const ViewPicture &current, const GenotypeData &data,
                              AlleleTable &table, const DrawContext &context, int visibleWidth, UserInterface *ui);

// ---- Print preview -------------------------------------------------------------------------

enum class PageOrientation { Portrait, Landscape };

// The picture's size for the preview and for later printing and export: a stored size of 0
// becomes 1, and each side is raised to the image area's when smaller.
QSize previewPictureSize(int width, int height, int areaWidth, int areaHeight);

struct PrintPreview
{
    PageOrientation orientation = PageOrientation::Landscape;
    int width = 0;             // the bitmap's size
    int height = 0;
    double pixelsPerMm = 1.0;  // c: the strips' width fills 210 mm
    int stripLength = 0;       // t = round(300 c)
    double displayScale = 1.0; // 3.5 / c: a strip on a 96-dpi screen is about 194 mm wide
    std::vector<QRect> pages;  // the strip of each page, in bitmap pixels
};
// Cuts a width x height bitmap into strips of t pixels, one per page, horizontal ones for
// portrait pages and vertical ones for landscape pages; consecutive strips share one row.
PrintPreview layoutPrintPreview(int width, int height, PageOrientation orientation);

// The label pagecnt: "[" + number of pages + "] ".
std::string pageCountText(int pages);
// "<" and ">": the page (0-based) step pages on, never before the first or past the last.
int stepPreviewPage(int current, int pageCount, int step);
// The strip of a page at its natural size.
QImage previewPageImage(const QImage &bitmap, const PrintPreview &preview, int page);
// Where a page's strip stands: 8 mm from the left and top edges of its page.
inline constexpr int PreviewPageMarginMm = 8;
// "  Print " on the preview page: every strip on its own page of device, 8 mm from the top left
// corner and as wide as on the 96-dpi preview. False with the reason when the device cannot be
// painted.
bool printPreviewPages(QPagedPaintDevice &device, const QImage &bitmap, const PrintPreview &preview, std::string &error);

// ---- Picture files -------------------------------------------------------------------------

// "&Save RVK image as Metafile (.EMF)": EMF data under the chosen name whatever its extension,
// with the picture's size W x Hh as the reference-device size of the header.
bool savePictureAsEmf(const ViewPicture &picture, const std::string &path, std::string &error);
// "Save RVK image as &Jpeg (.jpg)": ".jpg" is appended to a name without extension; returns the
// name written in writtenPath. Out of memory gives NotEnoughResourcesMessage.
bool savePictureAsJpeg(const ViewPicture &picture, const std::string &path, std::string &writtenPath, std::string &error);
// "Copy Image to Clipboard": the picture as the metafile ClipboardMetafileName in folder; the
// window reads it back onto the clipboard. The file stays.
bool writeClipboardMetafile(const ViewPicture &picture, const std::string &folder, std::string &writtenPath, std::string &error);

} // namespace rvk
