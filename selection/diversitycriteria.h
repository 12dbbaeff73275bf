#pragma once
// The diversity criteria that the core-subset searches maximise, computed from scratch for one
// subset. Three criteria count the codes the members carry at each locus; the fourth ("UniRec")
// looks at the recombination breakpoints the members carry along each linkage group.
//
// The searches themselves use DiversityCounter, which keeps per-locus counts and updates them
// for one added or removed member; DiversityValue is the plain count it must agree with.

#include <string>
#include <vector>

namespace rvk {

class CoreSubsetRandom;
class GenotypeData;

// The criteria in the order of the list `divcriterion`; every one is maximised.
enum class DiversityCriterion { DiversitySum = 0, AlleleCount = 1, GarzaWilliamson = 2, UniRec = 3 };
inline constexpr int DiversityCriterionCount = 4;

// "Max (Diversity Sum)", "Max (# of alleles)", "Max (Garza-Williamson index)", "Max (UniRec)".
const char *diversityCriterionText(DiversityCriterion criterion);

// One membership flag per individual, in the current order of the data set.
using Subset = std::vector<char>;

// 'u', '-' and '.': missing for every criterion, whatever the allele table says.
inline bool isDiversityMissingCode(char code) { return code == 'u' || code == '-' || code == '.'; }

// The criterion's value for the members of subset. Cross-pollinator genotypes count as one code
// per pair of characters, missing when either character is missing. "Max (UniRec)" resolves
// missing codes beside a breakpoint at random, so repeated calls may differ when members have
// missing codes.
double DiversityValue(const GenotypeData &data, const Subset &subset, DiversityCriterion criterion,
                      CoreSubsetRandom &random);

} // namespace rvk
