#pragma once
// The chart of a backcross table: its rows in their current order.

#include "render/backcrosschart.h"

namespace rvk {

class BackcrossStatistics;

BackcrossChartInput backcrossChartInput(const BackcrossStatistics &table);

} // namespace rvk
