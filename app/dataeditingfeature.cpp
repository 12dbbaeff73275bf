#include "app/features.h"

#include "app/mainwindow.h"

namespace rvk {

void installDataEditingFeature(MainWindow &)
{
}

} // namespace rvk
