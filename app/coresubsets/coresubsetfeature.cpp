#include "app/features.h"

#include "app/mainwindow.h"

namespace rvk {

void installCoreSubsetFeature(MainWindow &window)
{
}

} // namespace rvk
