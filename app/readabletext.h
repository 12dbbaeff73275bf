#pragma once
// Text on a coloured table cell: black on light fills, white on dark or saturated ones, so a
// label stays readable on a deep red as on a pale one.

#include <QColor>

namespace rvk {

// The fill's brightness as the eye weighs the channels (0 .. 255).
inline int perceivedBrightness(const QColor &fill) { return (299 * fill.red() + 587 * fill.green() + 114 * fill.blue()) / 1000; }

inline QColor readableTextColour(const QColor &fill) { return perceivedBrightness(fill) >= 150 ? QColor(Qt::black) : QColor(Qt::white); }

} // namespace rvk
