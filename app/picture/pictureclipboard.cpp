#include "app/picture/pictureclipboard.h"

#include "render/pictureexport.h"
#include "render/printlayout.h"
#include "render/viewpicture.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>

namespace rvk {

bool copyPictureToClipboard(const ViewPicture &picture, const std::string &metafileFolder, std::string &error)
{
    std::string written;
    if (!writeClipboardMetafile(picture, metafileFolder, written, error))
        return false;
    auto *mime = new QMimeData;
    QFile metafile(QString::fromStdString(written));
    if (metafile.open(QIODevice::ReadOnly))
        mime->setData(QStringLiteral("image/emf"), metafile.readAll());
    // Vector data for programs that take SVG, beside the metafile and the bitmap.
    QTemporaryDir folder;
    std::string svgError;
    const std::string svg = QDir(folder.path()).filePath(QStringLiteral("picture.svg")).toStdString();
    if (folder.isValid() && savePictureSvg(picture, svg, svgError)) {
        QFile drawing(QString::fromStdString(svg));
        if (drawing.open(QIODevice::ReadOnly))
            mime->setData(QStringLiteral("image/svg+xml"), drawing.readAll());
    }
    mime->setImageData(renderPictureToImage(picture));
    QApplication::clipboard()->setMimeData(mime);
    return true;
}

} // namespace rvk
