#pragma once

#include <string>

namespace rvk {

class ViewPicture;

// Puts a picture on the clipboard as an enhanced metafile ("image/emf", written as "$$tmp.emf"
// in metafileFolder, where it stays for programs that still read it), as SVG and as a bitmap.
// False with the reason in error when the metafile cannot be written; nothing is put then.
bool copyPictureToClipboard(const ViewPicture &picture, const std::string &metafileFolder, std::string &error);

} // namespace rvk
