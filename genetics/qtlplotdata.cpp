#include "genetics/qtlplotdata.h"

#include "genetics/qtlanalysis.h"

namespace rvk {

QtlPlotInput qtlPlotInput(const QtlAnalysis &analysis, const std::vector<int> &traits)
{
    QtlPlotInput input;
    for (const QtlAnalysis::Group &group : analysis.groups()) {
        QtlPlotGroup plotted;
        plotted.name = group.name;
        for (const ScanPosition &p : group.positions) {
            plotted.positions.push_back(p.position);
            if (p.marker >= 0)
                plotted.markerPositions.push_back(p.position);
        }
        input.groups.push_back(std::move(plotted));
    }
    std::vector<int> shown = traits;
    if (shown.empty())
        for (int t = 0; t < analysis.traitCount(); ++t)
            shown.push_back(t);
    for (int t : shown) {
        if (t < 0 || t >= analysis.traitCount())
            continue;
        QtlPlotTrait trait;
        trait.name = analysis.traitNames()[static_cast<size_t>(t)];
        trait.color = qtlTraitColor(t);
        for (const QtlAnalysis::Group &group : analysis.groups()) {
            std::vector<double> lod;
            for (size_t p = 0; p < group.positions.size(); ++p)
                lod.push_back(analysis.lod(t, group.firstRow + static_cast<int>(p)));
            trait.lod.push_back(std::move(lod));
        }
        if (analysis.hasThresholds()) {
            trait.threshold5 = analysis.threshold(t, 0.05);
            trait.threshold10 = analysis.threshold(t, 0.10);
        }
        for (const QtlPeak &peak : analysis.peaks())
            if (peak.trait == t && peak.significant)
                trait.peaks.emplace_back(peak.group, peak.row - analysis.groups()[static_cast<size_t>(peak.group)].firstRow);
        input.traits.push_back(std::move(trait));
    }
    return input;
}

} // namespace rvk
