#include "genetics/mixedmodelpictures.h"

#include "genetics/mixedmodel.h"

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

} // namespace rvk
