#include "app/features.h"

#include "app/mainwindow.h"

namespace rvk {

void installDistanceFeature(MainWindow &window)
{
}

} // namespace rvk
