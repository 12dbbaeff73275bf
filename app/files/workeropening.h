#pragma once

#include "core/dataloader.h"

#include <string>
#include <vector>

class QWidget;

namespace rvk {

class GenotypeData;
class UserInterface;

// Reads data files (.rvk) on a worker thread while the window keeps answering: a progress dialog
// with "Cancel" follows the reading. The files are read into a staging copy of the data set, so
// the data shown stay whole and usable until the reading has ended; then the groups read are
// taken into data. The loader's messages are shown afterwards through ui, in their order.
// "Cancel" leaves data as it was and returns an outcome with cancelled set.
// defaultSettingsName receives the name the loader chose for the data set's settings file.
LoadOutcome OpenDataFilesOnWorker(QWidget *parent, GenotypeData &data, UserInterface &ui,
                                  const std::vector<std::string> &paths, std::string &defaultSettingsName);

} // namespace rvk
