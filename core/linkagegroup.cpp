#include "core/linkagegroup.h"

#include <algorithm>
#include <utility>

namespace rvk {

void SortGroupByPosition(std::vector<Tlocinfo> &loci)
{
    const size_t n = loci.size();
    if (n < 2)
        return;
    // The result of the exchange sort only differs from the input where some later entry is
    // smaller; a sorted list (the usual case after a load) is recognised in linear time.
    bool sorted = true;
    for (size_t i = 1; i < n && sorted; ++i)
        sorted = !(loci[i].Position < loci[i - 1].Position);
    if (sorted)
        return;
    for (size_t i = 0; i + 1 < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            if (!(loci[j].Position >= loci[i].Position))
                std::swap(loci[i], loci[j]);
}

} // namespace rvk
