#include "genetics/backcrosschartinput.h"

#include "genetics/backcrossstatistics.h"

namespace rvk {

BackcrossChartInput backcrossChartInput(const BackcrossStatistics &table)
{
    BackcrossChartInput input;
    input.hasTarget = table.hasTarget();
    if (input.hasTarget) {
        input.carrierCaption = "carrier of " + table.targetName();
        input.nonCarrierCaption = "not a carrier";
    }
    input.bars.reserve(static_cast<size_t>(table.rowCount()));
    for (int r = 0; r < table.rowCount(); ++r)
        input.bars.push_back({table.name(r), table.total(r).rpgCm(), table.hasTarget() && table.target(r).carrier});
    return input;
}

} // namespace rvk
