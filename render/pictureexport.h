#pragma once

#include <QImage>

#include <string>

namespace rvk {

class ViewPicture;

// The picture painted onto a white bitmap of its size times scale (at least 1 x 1 pixel).
// A null image when the bitmap cannot be had (out of memory).
QImage renderPictureToImage(const ViewPicture &picture, double scale = 1.0);

// Picture files. Each writes to a temporary name beside the target and renames it, so a failed
// save leaves an older file untouched; on failure it returns false with the reason in error.
// The path is used as given (no extension is added or changed).
bool savePicturePng(const ViewPicture &picture, const std::string &path, std::string &error);
// JPEG through libjpeg at the library's default quality, 24-bit colour, from a bitmap of the
// picture's size.
bool savePictureJpeg(const ViewPicture &picture, const std::string &path, std::string &error);
bool savePictureSvg(const ViewPicture &picture, const std::string &path, std::string &error);
bool savePicturePdf(const ViewPicture &picture, const std::string &path, std::string &error);
// EMF with the picture's size as the reference-device size of its header.
bool savePictureEmf(const ViewPicture &picture, const std::string &path, std::string &error);

// The error text when a bitmap of the picture's size cannot be made.
inline constexpr const char *NotEnoughResourcesMessage = "Unable to save image, not enough resources";

} // namespace rvk
