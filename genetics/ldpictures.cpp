#include "genetics/ldpictures.h"

#include "core/textformat.h"
#include "genetics/ldanalysis.h"

#include <algorithm>

namespace rvk {

LdPlotMeasure ldPlotMeasure(LdMeasure measure)
{
    switch (measure) {
    case LdMeasure::R2:
        return LdPlotMeasure::R2;
    case LdMeasure::R:
        return LdPlotMeasure::R;
    case LdMeasure::MinusLogP:
        return LdPlotMeasure::MinusLogP;
    case LdMeasure::DPrime:
        return LdPlotMeasure::DPrime;
    case LdMeasure::ChiSquarePrime:
        return LdPlotMeasure::ChiSquarePrime;
    }
    return LdPlotMeasure::R2;
}

std::optional<LdTableCellFill> ldTableCellFill(LdMeasure measure, const std::string &text)
{
    const std::optional<double> value = parseDecimal(text);
    if (!value)
        return std::nullopt;
    const double v = *value;
    const bool logScale = measure == LdMeasure::MinusLogP;
    long long a = 0;
    if (v > 0.0) {
        a = logScale ? roundHalfEven(v / 10.0 * 255.0) : roundHalfEven(v * 180.0);
    } else {
        const bool linear = measure == LdMeasure::R2 || measure == LdMeasure::R || measure == LdMeasure::DPrime;
        a = linear ? -roundHalfEven(v * 180.0) : -roundHalfEven(v / 10.0 * 255.0);
    }
    const int c = static_cast<int>(std::clamp(a, 0LL, 255LL));
    if (v > 0.0)
        return LdTableCellFill{rgb(255, 255 - c, 255 - c), true};
    return LdTableCellFill{rgb(255 - c, 255 - c, 255), false};
}

LdHeatPlotInput ldHeatPlotInput(const LdAnalysis &analysis, const LdHeatPlotOptions &options)
{
    LdHeatPlotInput input;
    input.locusCount = analysis.locusCount();
    input.measure = ldPlotMeasure(analysis.measure());
    const LdAnalysis *a = &analysis;
    input.row = [a](int i, const std::function<void(int, float, bool)> &visit) {
        const int L = a->locusCount();
        const int lastJ = a->successiveMarkers() ? std::min(i + 1, L - 1) : L - 1;
        for (int j = i + 1; j <= lastJ; ++j)
            if (a->available(i, j))
                visit(j, a->value(i, j), a->negativeR(i, j));
    };
    input.clusterOrderUsed = analysis.clusterOrderUsed();
    for (const LdAnalysis::GroupSpan &span : analysis.groupSpans()) {
        LdHeatPlotInput::Group group;
        group.number = span.group + 1;
        group.start = span.start;
        group.count = span.count;
        for (int l = span.start; l < span.start + span.count; ++l)
            group.positions.push_back(analysis.matrices().position(l));
        input.groups.push_back(std::move(group));
    }
    input.blockSize = options.blockSize;
    input.blackAndWhite = options.blackAndWhite;
    input.barWidth = options.barWidth;
    input.font = options.font;
    return input;
}

LdChartInput ldChartInput(const LdAnalysis &analysis)
{
    LdChartInput input;
    input.leftTitle = ldMeasureCaption(analysis.measure());
    switch (analysis.measure()) {
    case LdMeasure::R2:
    case LdMeasure::DPrime:
        input.range = LdChartInput::Range::UpToOne;
        break;
    case LdMeasure::R:
        input.range = LdChartInput::Range::MinusOneToOne;
        break;
    default:
        input.range = LdChartInput::Range::Automatic;
        break;
    }
    input.largestDistance = analysis.largestDistance();
    const LdAnalysis *a = &analysis;
    input.points = [a](const std::function<void(double, double)> &visit) { a->forEachChartPoint(visit); };
    if (analysis.hasThresholdLine())
        input.thresholdY = analysis.thresholdLineY();
    return input;
}

} // namespace rvk
