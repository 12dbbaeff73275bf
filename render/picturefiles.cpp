#include "render/picturefiles.h"

#include "render/pictureexport.h"
#include "render/printlayout.h"

#include <algorithm>
#include <filesystem>

namespace rvk {

std::string pictureExtension(const std::string &path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    if (!extension.empty())
        extension.erase(0, 1);
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool isPictureExtension(const std::string &extension)
{
    return extension == "emf" || extension == "jpg" || extension == "jpeg" || extension == "svg" || extension == "pdf"
        || extension == "png";
}

bool savePictureFile(const ViewPicture &picture, const std::string &path, const std::string &nativeFormat,
                     std::string &writtenPath, std::string &error)
{
    const std::string extension = pictureExtension(path);
    writtenPath = path;
    if (extension == "svg")
        return savePictureSvg(picture, path, error);
    if (extension == "pdf")
        return savePicturePdf(picture, path, error);
    if (extension == "png")
        return savePicturePng(picture, path, error);
    // A name that says JPEG or EMF gets that content, whichever dialog it was typed in; a file
    // whose content contradicts its name would not open. Other names get the dialog's format.
    if (extension == "jpg" || extension == "jpeg")
        return savePictureAsJpeg(picture, path, writtenPath, error);
    if (extension == "emf")
        return savePictureAsEmf(picture, path, error);
    if (nativeFormat == "jpg" || nativeFormat == "jpeg")
        return savePictureAsJpeg(picture, path, writtenPath, error);
    return savePictureAsEmf(picture, path, error);
}

} // namespace rvk
