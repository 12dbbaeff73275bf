#include "genetics/mixedmodelpictures.h"

#include "core/genotypedata.h"
#include "genetics/association.h"
#include "genetics/mixedmodel.h"

#include <cmath>

namespace rvk {

namespace {

std::vector<double> pValuesOf(const TraitModelResult &trait)
{
    std::vector<double> p;
    p.reserve(trait.tests.size());
    for (const MarkerTest &test : trait.tests)
        p.push_back(test.test.p);
    return p;
}

std::string runName(const MixedModelResults &results)
{
    return results.p3d ? "mixed model, P3D" : "mixed model";
}

} // namespace

ManhattanInput mixedModelManhattan(const MixedModelResults &results, size_t trait)
{
    const TraitModelResult &model = results.traits[trait];
    ManhattanInput input;
    input.title = model.trait + " (" + runName(results) + ")";
    input.groupNames = results.groupNames;
    for (const MarkerTest &test : model.tests) {
        const DosageMatrix::MarkerInfo &marker = results.markers[static_cast<size_t>(test.marker)];
        input.points.push_back({marker.group, marker.position, test.test.minusLog10P, marker.name});
    }
    input.bonferroni = bonferroniLine(model.tests.size());
    input.fdr = fdrLine(pValuesOf(model));
    return input;
}

QqPlotInput mixedModelQq(const MixedModelResults &results, size_t trait)
{
    const TraitModelResult &model = results.traits[trait];
    QqPlotInput input;
    input.title = model.trait + " (" + runName(results) + ")";
    for (const MarkerTest &test : model.tests)
        input.minusLog10P.push_back(test.test.minusLog10P);
    input.lambdaGc = genomicInflation(pValuesOf(model));
    return input;
}

ManhattanInput correlationManhattan(const GenotypeData &data, const AssociationResults &results, int trait)
{
    ManhattanInput input;
    input.title = results.traitNames()[static_cast<size_t>(trait - 1)] + " (correlation)";
    for (int g = 0; g < data.GroupCount(); ++g)
        input.groupNames.push_back(data.GroupName(g));
    std::vector<double> p;
    int marker = 0;
    for (int g = 0; g < data.GroupCount(); ++g)
        for (const Tlocinfo &locus : data.GroupLoci(g)) {
            if (marker < results.markerCount()) {
                const double value = results.exactP(trait, marker);
                if (std::isfinite(value) && value > 0.0) {
                    input.points.push_back({g, locus.Position, -std::log10(value), locus.Name});
                    p.push_back(value);
                }
            }
            ++marker;
        }
    input.bonferroni = bonferroniLine(p.size());
    input.fdr = fdrLine(p);
    return input;
}

QqPlotInput correlationQq(const AssociationResults &results, int trait)
{
    QqPlotInput input;
    input.title = results.traitNames()[static_cast<size_t>(trait - 1)] + " (correlation)";
    std::vector<double> p;
    for (int m = 0; m < results.markerCount(); ++m) {
        const double value = results.exactP(trait, m);
        if (std::isfinite(value) && value > 0.0) {
            p.push_back(value);
            input.minusLog10P.push_back(-std::log10(value));
        }
    }
    input.lambdaGc = genomicInflation(p);
    return input;
}

} // namespace rvk
