#pragma once

#include "core/tlocinfo.h"

#include <string>
#include <vector>

namespace rvk {

// A linkage group as registered by the loader: its loci in map order (after loading) and what
// was known when it was read.
struct LinkageGroup
{
    std::string Name;            // lower case, blanks removed ("chr1")
    std::vector<Tlocinfo> Loci;
    std::string PopType;         // popt at the time the group was read
    std::string FileName;        // file (without folder) when each file holds one group
};

// Sorts a locus list by Position with the exchange order the views and exports rely on: for
// each i, every later entry j whose position is smaller than entry i's is exchanged with i.
// Equal positions are never exchanged directly. Only loci out of order cost exchanges, so an
// already sorted list is checked in a single pass.
void SortGroupByPosition(std::vector<Tlocinfo> &loci);

} // namespace rvk
