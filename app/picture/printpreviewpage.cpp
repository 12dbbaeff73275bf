#include "app/picture/printpreviewpage.h"

#include "core/textformat.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace rvk {

namespace {

// A small page outline, upright or on its side.
QIcon orientationIcon(PageOrientation orientation)
{
    QPixmap pixmap(28, 28);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(orientation == PageOrientation::Portrait ? QRect(7, 2, 14, 23) : QRect(2, 7, 23, 14));
    return QIcon(pixmap);
}

} // namespace

PrintPreviewPage::PrintPreviewPage(QWidget *parent)
    : QWidget(parent),
      mScroll(new QScrollArea),
      mPageView(new QLabel),
      mPageNumber(new QLabel),
      mPageCount(new QLabel),
      mOrientation(new QToolButton)
{
    setObjectName(QStringLiteral("PrintPreviewPage"));
    mPageNumber->setObjectName(QStringLiteral("pagenr"));
    mPageCount->setObjectName(QStringLiteral("pagecnt"));
    mOrientation->setObjectName(QStringLiteral("PageOrientation"));
    mOrientation->setToolTip(QStringLiteral("Page Orientation"));
    mOrientation->setIconSize(QSize(28, 28));
    connect(mOrientation, &QToolButton::clicked, this, [this] {
        setOrientation(mPreview.orientation == PageOrientation::Portrait ? PageOrientation::Landscape
                                                                        : PageOrientation::Portrait);
    });

    auto *previous = new QPushButton(QStringLiteral("<"));
    auto *next = new QPushButton(QStringLiteral(">"));
    connect(previous, &QPushButton::clicked, this, [this] { stepPage(-1); });
    connect(next, &QPushButton::clicked, this, [this] { stepPage(1); });

    auto *view = new QGroupBox(QStringLiteral("View"));
    auto *viewLayout = new QHBoxLayout(view);
    auto *zoomOut = new QPushButton(QStringLiteral("-"));
    auto *zoomIn = new QPushButton(QStringLiteral("+"));
    viewLayout->addWidget(zoomOut);
    viewLayout->addWidget(zoomIn);
    connect(zoomOut, &QPushButton::clicked, this, [this] { zoomDisplay(mDisplayZoom / 1.25); });
    connect(zoomIn, &QPushButton::clicked, this, [this] { zoomDisplay(mDisplayZoom * 1.25); });

    auto *print = new QPushButton(QStringLiteral("  Print "));
    connect(print, &QPushButton::clicked, this, &PrintPreviewPage::printRequested);

    auto *controls = new QHBoxLayout;
    controls->addWidget(mOrientation);
    controls->addWidget(previous);
    controls->addWidget(mPageNumber);
    controls->addWidget(next);
    controls->addWidget(mPageCount);
    controls->addWidget(view);
    controls->addWidget(print);
    controls->addWidget(new QLabel(QString::fromLatin1(PreviewTip)), 1);

    mPageView->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    mScroll->setWidget(mPageView);
    mScroll->setBackgroundRole(QPalette::Dark);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(mScroll, 1);
    mOrientation->setIcon(orientationIcon(mPreview.orientation));
}

void PrintPreviewPage::build(const QImage &bitmap)
{
    mBitmap = bitmap;
    mPreview = layoutPrintPreview(bitmap.width(), bitmap.height(), mPreview.orientation);
    mPage = 0;
    mPageCount->setText(QString::fromStdString(pageCountText(static_cast<int>(mPreview.pages.size()))));
    showPage();
}

void PrintPreviewPage::setOrientation(PageOrientation orientation)
{
    const bool changed = orientation != mPreview.orientation;
    mPreview.orientation = orientation;
    mOrientation->setIcon(orientationIcon(orientation));
    if (changed)
        emit orientationChanged();
}

void PrintPreviewPage::stepPage(int step)
{
    mPage = stepPreviewPage(mPage, static_cast<int>(mPreview.pages.size()), step);
    showPage();
}

void PrintPreviewPage::zoomDisplay(double factor)
{
    mDisplayZoom = std::clamp(factor, 0.2, 5.0);
    showPage();
}

void PrintPreviewPage::showPage()
{
    const int pages = static_cast<int>(mPreview.pages.size());
    mPageNumber->setText(QString::fromStdString(formatText("%d", {pages == 0 ? 0 : mPage + 1})));
    if (pages == 0 || mBitmap.isNull()) {
        mPageView->clear();
        return;
    }
    // A paper-white page with the strip 8 mm from its top left corner, at the preview's scale.
    const double scale = mPreview.displayScale * mDisplayZoom;
    const double pixelsPerMm = 96.0 / 25.4 * mDisplayZoom;
    const bool portrait = mPreview.orientation == PageOrientation::Portrait;
    const QSize paper(static_cast<int>(std::lround((portrait ? 210 : 297) * pixelsPerMm)),
                      static_cast<int>(std::lround((portrait ? 297 : 210) * pixelsPerMm)));
    QImage page(paper, QImage::Format_RGB32);
    page.fill(Qt::white);
    const QImage strip = previewPageImage(mBitmap, mPreview, mPage);
    {
        QPainter painter(&page);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const int margin = static_cast<int>(std::lround(PreviewPageMarginMm * pixelsPerMm));
        painter.drawImage(QRectF(margin, margin, strip.width() * scale, strip.height() * scale), strip);
        painter.setPen(Qt::gray);
        painter.drawRect(page.rect().adjusted(0, 0, -1, -1));
    }
    mPageView->setPixmap(QPixmap::fromImage(page));
    mPageView->resize(page.size());
}

bool PrintPreviewPage::printPages(QPagedPaintDevice &device, std::string &error) const
{
    return printPreviewPages(device, mBitmap, mPreview, error);
}

} // namespace rvk
