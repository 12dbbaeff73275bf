#pragma once

class QApplication;

namespace rvk {

// Hints show after a quarter of a second and go away after two seconds, so they help without
// covering the picture.
void installToolTipTiming(QApplication &application);

} // namespace rvk
