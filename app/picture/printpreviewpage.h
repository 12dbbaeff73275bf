#pragma once

#include "render/printlayout.h"

#include <QImage>
#include <QWidget>

class QLabel;
class QPagedPaintDevice;
class QScrollArea;
class QToolButton;

namespace rvk {

// The page "Print Preview": the picture cut into page strips, one page shown at a time.
class PrintPreviewPage : public QWidget
{
    Q_OBJECT

public:
    explicit PrintPreviewPage(QWidget *parent = nullptr);

    // Cuts bitmap into pages for the current orientation and shows the first.
    void build(const QImage &bitmap);
    void setOrientation(PageOrientation orientation);
    PageOrientation orientation() const { return mPreview.orientation; }
    const PrintPreview &preview() const { return mPreview; }
    int currentPage() const { return mPage; }
    void stepPage(int step);
    // The preview display's own zoom, a factor on the pages' natural screen size.
    void zoomDisplay(double factor);
    // "  Print ": every page strip on its own page of device.
    bool printPages(QPagedPaintDevice &device, std::string &error) const;

signals:
    // The orientation changed: the window builds the pages anew from the current picture.
    void orientationChanged();
    void printRequested();

private:
    void showPage();

    QImage mBitmap;
    PrintPreview mPreview;
    int mPage = 0;
    double mDisplayZoom = 1.0;
    QScrollArea *mScroll;
    QLabel *mPageView;
    QLabel *mPageNumber;
    QLabel *mPageCount;
    QToolButton *mOrientation;
};

} // namespace rvk
