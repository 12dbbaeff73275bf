#include "app/features.h"

#include "app/mainwindow.h"

namespace rvk {

void installStatisticsFeature(MainWindow &)
{
}

} // namespace rvk
