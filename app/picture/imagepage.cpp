#include "app/picture/imagepage.h"

#include <QResizeEvent>

#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

namespace rvk {

// The label that shows the picture and reports where the pointer is on it.
class ImagePage::Canvas : public QLabel
{
public:
    explicit Canvas(ImagePage *page) : mPage(page) { setMouseTracking(true); }

protected:
    void mouseMoveEvent(QMouseEvent *event) override
    {
        emit mPage->pointerMoved(event->position().toPoint());
        QLabel::mouseMoveEvent(event);
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        emit mPage->pointerClicked(event->position().toPoint(), event->button());
        QLabel::mousePressEvent(event);
    }

private:
    ImagePage *mPage;
};

ImagePage::ImagePage(QWidget *parent) : QScrollArea(parent), mCanvas(new Canvas(this))
{
    setObjectName(QStringLiteral("ImagePage"));
    mCanvas->setObjectName(QStringLiteral("RvkImage"));
    mCanvas->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    mCanvas->setToolTip(QStringLiteral("try RIGHT clicking a bar.."));
    mCanvas->setBackgroundRole(QPalette::Base);
    setBackgroundRole(QPalette::Base);
    setWidget(mCanvas);
    setWidgetResizable(false);
}

void ImagePage::setPicture(const QImage &picture)
{
    mPicture = picture;
    mCanvas->setPixmap(QPixmap::fromImage(picture));
    mCanvas->resize(picture.size());
}

void ImagePage::setPictureHint(const QString &hint) { mCanvas->setToolTip(hint); }

QString ImagePage::pictureHint() const { return mCanvas->toolTip(); }

QSize ImagePage::pictureAreaSize() const
{
    return viewport()->size().expandedTo(QSize(800, 600));
}

void ImagePage::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    emit viewportResized();
}

} // namespace rvk
