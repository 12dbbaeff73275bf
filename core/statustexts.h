#pragma once
// The status-bar texts about the data set, shared by the window and the command-line front end.

#include "core/genotypedata.h"

#include <string>

namespace rvk {

// nind + " individuals/ " + loci of the group + " loci/ Pop:" + its population type.
std::string dataSummaryText(const GenotypeData &data, int group);
// The summary after "Close all".
std::string emptyDataSummaryText();
// "1: chr1": an entry of the group selector.
std::string groupSelectorText(const GenotypeData &data, int group);

} // namespace rvk
