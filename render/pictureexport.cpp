#include "render/pictureexport.h"

#include "core/safefile.h"

#include "render/emfsurface.h"
#include "render/fontresolver.h"
#include "render/paintersurface.h"
#include "render/viewpicture.h"

#include <QBuffer>
#include <QFile>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSvgGenerator>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <functional>

#include <jpeglib.h>

namespace rvk {

namespace {

// Runs write on a temporary name beside path and moves the result over path when it succeeded.
bool writeThroughTemporary(const std::string &path, std::string &error, const std::function<bool(const std::string &)> &write)
{
    std::string failure;
    if (writeFileReplacing(path, write, &failure))
        return true;
    if (error.empty())
        error = failure;
    return false;
}

int pictureWidth(const ViewPicture &picture) { return std::max(1, picture.width()); }
int pictureHeight(const ViewPicture &picture) { return std::max(1, picture.height()); }

struct JpegErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onJpegError(j_common_ptr info)
{
    auto *manager = reinterpret_cast<JpegErrorManager *>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

// Kept apart from any object with a destructor, as longjmp skips destructors.
bool writeJpeg(const QImage &image, const char *path, std::string &error)
{
    FILE *file = std::fopen(path, "wb");
    if (!file) {
        error = std::string("Cannot create ") + path;
        return false;
    }
    jpeg_compress_struct info;
    JpegErrorManager manager;
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = onJpegError;
    manager.message[0] = 0;
    if (setjmp(manager.jump)) {
        jpeg_destroy_compress(&info);
        std::fclose(file);
        error = manager.message;
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(image.width());
    info.image_height = static_cast<JDIMENSION>(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info); // the library's default quality
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    if (std::fclose(file) != 0) {
        error = std::string("Cannot write ") + path;
        return false;
    }
    return true;
}

} // namespace

QImage renderPictureToImage(const ViewPicture &picture, double scale)
{
    const int width = std::max(1, static_cast<int>(std::lround(pictureWidth(picture) * scale)));
    const int height = std::max(1, static_cast<int>(std::lround(pictureHeight(picture) * scale)));
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    PainterSurface surface(image);
    if (width == picture.width() && height == picture.height())
        picture.replay(surface);
    else
        picture.replay(surface, 0, 0, width, height);
    return image;
}

bool savePicturePng(const ViewPicture &picture, const std::string &path, std::string &error)
{
    error.clear();
    const QImage image = renderPictureToImage(picture);
    if (image.isNull()) {
        error = NotEnoughResourcesMessage;
        return false;
    }
    return writeThroughTemporary(path, error, [&](const std::string &temporary) {
        return image.save(QString::fromStdString(temporary), "PNG");
    });
}

bool savePictureJpeg(const ViewPicture &picture, const std::string &path, std::string &error)
{
    error.clear();
    QImage image = renderPictureToImage(picture);
    if (!image.isNull())
        image = image.convertToFormat(QImage::Format_RGB888);
    if (image.isNull()) {
        error = NotEnoughResourcesMessage;
        return false;
    }
    return writeThroughTemporary(path, error, [&](const std::string &temporary) {
        return writeJpeg(image, temporary.c_str(), error);
    });
}

bool savePictureSvg(const ViewPicture &picture, const std::string &path, std::string &error)
{
    error.clear();
    return writeThroughTemporary(path, error, [&](const std::string &temporary) {
        QBuffer text;
        text.open(QIODevice::WriteOnly);
        QSvgGenerator generator;
        generator.setOutputDevice(&text);
        generator.setResolution(96);
        generator.setSize(QSize(pictureWidth(picture), pictureHeight(picture)));
        generator.setViewBox(QRect(0, 0, pictureWidth(picture), pictureHeight(picture)));
        generator.setTitle(QStringLiteral("RVK graphical genotype image"));
        {
            PainterSurface surface(generator);
            if (!surface.isActive())
                return false;
            picture.replay(surface);
            if (!surface.painter().end())
                return false;
        }
        // The file names the fonts as others know them, not by the program's own names.
        QString svg = QString::fromUtf8(text.data());
        static const QRegularExpression family(QStringLiteral("font-family=\"([^\"]*)\""));
        QString named;
        qsizetype done = 0;
        for (auto match = family.globalMatch(svg); match.hasNext();) {
            const QRegularExpressionMatch found = match.next();
            named += QStringView(svg).mid(done, found.capturedStart(1) - done);
            named += publicFontFamily(found.captured(1));
            done = found.capturedEnd(1);
        }
        named += QStringView(svg).mid(done);
        QFile file(QString::fromStdString(temporary));
        return file.open(QIODevice::WriteOnly) && file.write(named.toUtf8()) >= 0 && file.flush();
    });
}

bool savePicturePdf(const ViewPicture &picture, const std::string &path, std::string &error)
{
    error.clear();
    return writeThroughTemporary(path, error, [&](const std::string &temporary) {
        QPdfWriter writer(QString::fromStdString(temporary));
        writer.setResolution(96);
        writer.setTitle(QStringLiteral("RVK graphical genotype image"));
        // One page the size of the picture, one pixel a 96th of an inch.
        writer.setPageSize(QPageSize(QSizeF(pictureWidth(picture) * 72.0 / 96.0, pictureHeight(picture) * 72.0 / 96.0),
                                     QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        PainterSurface surface(writer);
        if (!surface.isActive())
            return false;
        picture.replay(surface);
        return surface.painter().end();
    });
}

bool savePictureEmf(const ViewPicture &picture, const std::string &path, std::string &error)
{
    error.clear();
    return writeThroughTemporary(path, error, [&](const std::string &temporary) {
        EmfSurface surface(temporary, pictureWidth(picture), pictureHeight(picture));
        picture.replay(surface);
        if (!surface.finish(error))
            return false;
        return setEmfDeviceSize(temporary, pictureWidth(picture), pictureHeight(picture), error);
    });
}

} // namespace rvk
