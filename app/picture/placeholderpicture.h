#pragma once

#include <QImage>
#include <QSize>

namespace rvk {

// The picture the drawing area shows before anything is loaded: where to start, in grey on white.
QImage drawPlaceholderPicture(QSize size);

// The picture left after "Close all": "No Data Available..." in light grey.
QImage drawNoDataPicture(QSize size);

// Pictures are laid out in screen pixels at 96 dots per inch, where a font of n points is
// n * 96 / 72 pixels high, whatever the machine's screen says.
QImage blankPicture(QSize size);

} // namespace rvk
