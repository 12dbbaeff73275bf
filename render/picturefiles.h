#pragma once
// Saving the recorded picture under a name whose extension chooses the format, as the window's
// image export and the command line do.

#include <string>

namespace rvk {

class ViewPicture;

// The choices of the window's picture dialogs: the metafile command offers EMF first, the JPEG
// command JPEG first; both also offer SVG, PDF and PNG.
inline constexpr const char *MetafileFirstFilter = "Enhanced metafile|*.emf|JPEG|*.jpg|SVG drawing|*.svg|PDF document|*.pdf|PNG image|*.png";
inline constexpr const char *JpegFirstFilter = "JPEG|*.jpg|Enhanced metafile|*.emf|SVG drawing|*.svg|PDF document|*.pdf|PNG image|*.png";

// The lower-case extension of a file name without its dot, empty when there is none.
std::string pictureExtension(const std::string &path);
// Whether the extension names a format savePictureFile writes.
bool isPictureExtension(const std::string &extension);

// Writes picture for a command whose own format is nativeFormat ("emf" or "jpg"): a name ending
// in .emf, .jpg, .jpeg, .svg, .pdf or .png gets that format, every other name the command's own
// (JPEG appends ".jpg" to a name without extension).
// writtenPath receives the name written.
bool savePictureFile(const ViewPicture &picture, const std::string &path, const std::string &nativeFormat,
                     std::string &writtenPath, std::string &error);

} // namespace rvk
