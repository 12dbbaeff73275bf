#include "app/features.h"

#include "app/mainwindow.h"

namespace rvk {

void installLdFeature(MainWindow &window)
{
}

} // namespace rvk
