#include "selection/diversitycriteria.h"

#include "core/genotypedata.h"
#include "selection/coresubsetrandom.h"
#include "selection/rationalsum.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace rvk {

namespace {

// A genotype as one number: the character, or the pair of characters for "cp". Individuals
// beyond the end of a locus' text are missing.
constexpr std::uint32_t MissingKey = 0xFFFFFFFFu;

std::uint32_t codeKey(std::string_view genotype, bool keepMissing)
{
    if (genotype.empty())
        return keepMissing ? static_cast<std::uint32_t>('-') : MissingKey;
    std::uint32_t key = 0;
    bool missing = false;
    for (char c : genotype) {
        missing = missing || isDiversityMissingCode(c);
        key = key * 256 + static_cast<unsigned char>(c);
    }
    return missing && !keepMissing ? MissingKey : key;
}

// The sum of the locus values, kept as exact fractions and rounded once at the end.
double alleleCriterionValue(const GenotypeData &data, const Subset &subset, DiversityCriterion criterion)
{
    RationalSum total;
    std::vector<std::pair<std::uint32_t, int>> counts;
    std::vector<std::uint32_t> everyone;
    for (int g = 0; g < data.GroupCount(); ++g) {
        for (const Tlocinfo &locus : data.GroupLoci(g)) {
            counts.clear();
            int n = 0;
            for (int i = 0; i < data.nind; ++i) {
                if (static_cast<size_t>(i) >= subset.size() || !subset[static_cast<size_t>(i)])
                    continue;
                const std::uint32_t key = codeKey(data.Genotype(locus, i), false);
                if (key == MissingKey)
                    continue;
                ++n;
                auto it = std::find_if(counts.begin(), counts.end(), [key](const auto &entry) { return entry.first == key; });
                if (it == counts.end())
                    counts.emplace_back(key, 1);
                else
                    ++it->second;
            }
            const int present = static_cast<int>(counts.size());
            switch (criterion) {
            case DiversityCriterion::DiversitySum:
                for (const auto &entry : counts)
                    total.add(n, entry.second);
                break;
            case DiversityCriterion::AlleleCount:
                total.add(present, 1);
                break;
            default: {
                everyone.clear();
                for (int i = 0; i < data.nind; ++i)
                    everyone.push_back(codeKey(data.Genotype(locus, i), true));
                std::sort(everyone.begin(), everyone.end());
                const auto distinct = std::unique(everyone.begin(), everyone.end()) - everyone.begin();
                total.add(present, static_cast<int>(distinct) + 1);
                break;
            }
            }
        }
    }
    return total.value();
}

struct BreakpointBin
{
    double position;
    int count;
};

double breakpointValue(const GenotypeData &data, const Subset &subset, CoreSubsetRandom &random)
{
    std::vector<int> members;
    for (int i = 0; i < data.nind; ++i)
        if (static_cast<size_t>(i) < subset.size() && subset[static_cast<size_t>(i)])
            members.push_back(i);
    const auto isMissing = [](std::uint32_t key) { return key == MissingKey; };
    double total = 0.0;
    std::vector<BreakpointBin> bins;
    for (int g = 0; g < data.GroupCount(); ++g) {
        const std::vector<Tlocinfo> &loci = data.GroupLoci(g);
        const int m = static_cast<int>(loci.size());
        if (m == 0)
            continue;
        bins.clear();
        bins.reserve(static_cast<size_t>(m));
        bins.push_back({loci[0].Position, 0});
        const auto code = [&](int locus, int individual) {
            return codeKey(data.Genotype(loci[static_cast<size_t>(locus)], individual), false);
        };
        for (int i = 0; i + 1 < m; ++i) {
            bool binOpened = false;
            for (int member : members) {
                std::uint32_t a = code(i, member);
                std::uint32_t b = code(i + 1, member);
                if (isMissing(a) && i >= 1) {
                    const std::uint32_t c = code(i - 1, member);
                    if (c != b)
                        a = random.uniform() > 0.5 ? c : b;
                }
                if (isMissing(b) && i < m - 2) {
                    const std::uint32_t c = code(i + 2, member);
                    if (c != a)
                        b = random.uniform() > 0.5 ? c : a;
                }
                if (a == b || isMissing(a) || isMissing(b))
                    continue;
                if (!binOpened) {
                    bins.push_back({loci[static_cast<size_t>(i + 1)].Position, 1});
                    binOpened = true;
                } else {
                    ++bins.back().count;
                }
            }
        }
        for (size_t j = 1; j < bins.size(); ++j) {
            const double distance = bins[j].position - bins[j - 1].position;
            if (distance > 0)
                total += bins[j].count / distance;
        }
    }
    return total;
}

} // namespace

const char *diversityCriterionText(DiversityCriterion criterion)
{
    switch (criterion) {
    case DiversityCriterion::DiversitySum: return "Max (Diversity Sum)";
    case DiversityCriterion::AlleleCount: return "Max (# of alleles)";
    case DiversityCriterion::GarzaWilliamson: return "Max (Garza-Williamson index)";
    case DiversityCriterion::UniRec: return "Max (UniRec)";
    }
    return "";
}

double DiversityValue(const GenotypeData &data, const Subset &subset, DiversityCriterion criterion,
                      CoreSubsetRandom &random)
{
    if (criterion == DiversityCriterion::UniRec)
        return breakpointValue(data, subset, random);
    return alleleCriterionValue(data, subset, criterion);
}

} // namespace rvk
