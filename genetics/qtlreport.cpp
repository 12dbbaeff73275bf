#include "genetics/qtlreport.h"

#include "core/textformat.h"
#include "genetics/qtlanalysis.h"

namespace rvk {

std::string qtlRunSummary(const QtlAnalysis &analysis)
{
    const QtlOptions &options = analysis.options();
    std::string text = formatText("QTL mapping (%s, step %g cM, %s, error probability %g) of %d traits over %d groups, %d positions",
                                  {qtlMethodName(options.method), options.step, mapFunctionName(options.mapFunction), options.errorProbability,
                                   analysis.traitCount(), static_cast<int>(analysis.groups().size()), analysis.rowCount()}) +
                       "\n";
    for (int t = 0; t < analysis.traitCount(); ++t) {
        text += analysis.traitNames()[static_cast<size_t>(t)] + formatText("\t%d individuals", {analysis.individualCount(t)});
        if (analysis.hasThresholds())
            text += formatText("\tthresholds 5%% %.4f 10%% %.4f from %d permutations",
                               {analysis.threshold(t, 0.05), analysis.threshold(t, 0.10), options.permutations});
        text += "\n";
    }
    for (const QtlPeak &peak : analysis.peaks())
        if (peak.significant) {
            const auto cells = analysis.peakCells(peak);
            text += "QTL\t" + cells[0] + "\tgroup " + cells[1] + "\t" + cells[2] + " cM\t" + cells[3] + "\tLOD " + cells[4] + "\tinterval " +
                    cells[5] + "-" + cells[6] + "\n";
        }
    return text;
}

std::string qtlIntervalsWrittenText(const QtlIntervalWrite &result)
{
    std::string text = formatText("%d QTL intervals written", {result.written});
    if (result.kept > 0)
        text += formatText(", %d markers kept the interval they had", {result.kept});
    return text + "\n";
}

} // namespace rvk
