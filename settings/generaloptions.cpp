#include "settings/generaloptions.h"

#include "core/textformat.h"

#include <cmath>

namespace rvk {

namespace {
std::optional<double> finiteNumber(const std::string &text)
{
    const std::optional<double> value = parseDecimal(text);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}
} // namespace

std::optional<double> GeneralOptions::qthresholdValue() const { return finiteNumber(qthreshold); }

std::optional<double> GeneralOptions::pthresholdValue() const { return finiteNumber(pthreshold); }

void GeneralOptions::clampToRanges()
{
    asso_amp = asso_ampRange.clamp(asso_amp);
    coloroffset = coloroffsetRange.clamp(coloroffset);
    SArho = SArhoRange.clamp(SArho);
    iterrepeat = iterrepeatRange.clamp(iterrepeat);
}

} // namespace rvk
