#pragma once
// Linkage phases of cross-pollinator ("cp") and haploid ("hap", "dh", "dh1") groups, inferred by
// counting how the codes of a locus go together with those of a reference locus.

#include "core/tlocinfo.h"

#include <string>
#include <string_view>
#include <vector>

namespace rvk {

// "{XY}": X for the first parent, Y for the second; "0" coupling, "1" repulsion, "-" no
// information.
std::string CpPhase(std::string_view referenceType, std::string_view currentType, std::string_view referenceGenotypes,
                    std::string_view currentGenotypes);

// "{0}" or "{1}" relative to the reference locus.
std::string HaploidPhase(std::string_view referenceGenotypes, std::string_view currentGenotypes);

// Fills the empty Phase fields of one group's loci, in list order, for "cp", "hap", "dh" and
// "dh1"; does nothing for other population types. Throws readexception on an empty list of such a
// group.
void CompletePhases(std::vector<Tlocinfo> &loci, const std::string &popt);

} // namespace rvk
