#include "app/imagepage.h"

#include <QLabel>
#include <QPixmap>

namespace rvk {

ImagePage::ImagePage(QWidget *parent) : QScrollArea(parent), mCanvas(new QLabel)
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

QSize ImagePage::pictureAreaSize() const
{
    return viewport()->size().expandedTo(QSize(800, 600));
}

} // namespace rvk
