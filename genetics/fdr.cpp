#include "genetics/fdr.h"

#include "core/textformat.h"

#include <algorithm>
#include <numeric>

namespace rvk {

FdrResult FdrThresholdOfSorted(const double *sortedP, std::size_t m, double level)
{
    return FdrThresholdOfSorted(m, level, [sortedP](std::size_t i) { return sortedP[i]; });
}

FdrResult FdrAdjust(const std::vector<double> &p, double level)
{
    const std::size_t m = p.size();
    std::vector<std::size_t> order(m);
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::sort(order.begin(), order.end(), [&p](std::size_t a, std::size_t b) { return p[a] < p[b]; });
    FdrResult result = FdrThresholdOfSorted(m, level, [&](std::size_t i) { return p[order[i]]; });
    result.q.assign(m, 0.0);
    if (m == 0)
        return result;
    std::vector<double> v(m);
    for (std::size_t i = 1; i <= m; ++i)
        v[i - 1] = static_cast<double>(result.m0) * p[order[i - 1]] / static_cast<double>(i);
    v[m - 1] = std::min(1.0, v[m - 1]);
    for (std::size_t i = m - 1; i >= 1; --i)
        v[i - 1] = std::min(v[i - 1], v[i]);
    for (std::size_t i = 0; i < m; ++i)
        result.q[order[i]] = v[i];
    return result;
}

double FdrLevel(std::string_view qthresholdText)
{
    const std::optional<double> value = parseDecimal(qthresholdText);
    if (value && *value > 0.0 && *value < 1.0)
        return *value;
    return DefaultFdrLevel;
}

} // namespace rvk
