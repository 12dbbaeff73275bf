#include "app/features.h"

#include "app/mainwindow.h"

namespace rvk {

void installSelectionFeature(MainWindow &)
{
}

} // namespace rvk
