#include "render/labellayout.h"

#include "core/textformat.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace rvk {

namespace {

int roundInt(double value) { return static_cast<int>(roundHalfEven(value)); }

// The labels with their costs, the running total and, for every k, the first label with the
// largest cost among k..n-1. A move changes only the moved label and those above it, so one
// downward pass brings everything up to date.
class Spreader
{
public:
    Spreader(std::vector<MarkerLabel> &labels, int barWidth, int minDistance)
        : mLabels(labels)
        , mBase(static_cast<std::int64_t>(barWidth) * barWidth)
        , mMinDistance(minDistance)
        , mCost(labels.size())
        , mWorstFrom(labels.size() + 1, -1)
    {
        for (size_t j = 0; j < labels.size(); ++j) {
            mCost[j] = cost(j);
            mTotal += mCost[j];
        }
        for (size_t k = labels.size(); k-- > 0;)
            updateWorst(k);
    }

    std::int64_t total() const { return mTotal; }
    int worst() const { return mWorstFrom[0]; }

    void move(int j)
    {
        shift(static_cast<size_t>(j));
        updateWorst(static_cast<size_t>(j));
        for (int i = j - 1; i >= 0; --i) {
            const auto u = static_cast<size_t>(i);
            if (mLabels[u + 1].label - mLabels[u].label <= mMinDistance - 1)
                shift(u);
            updateWorst(u);
        }
    }

private:
    std::int64_t cost(size_t j) const
    {
        const std::int64_t d = mLabels[j].marker - mLabels[j].label;
        return mBase + d * d;
    }
    void shift(size_t j)
    {
        --mLabels[j].label;
        const std::int64_t c = cost(j);
        mTotal += c - mCost[j];
        mCost[j] = c;
    }
    void updateWorst(size_t k)
    {
        const int below = mWorstFrom[k + 1];
        mWorstFrom[k] = (below < 0 || mCost[k] >= mCost[static_cast<size_t>(below)]) ? static_cast<int>(k) : below;
    }

    std::vector<MarkerLabel> &mLabels;
    std::int64_t mBase;
    int mMinDistance;
    std::vector<std::int64_t> mCost;
    std::vector<int> mWorstFrom;
    std::int64_t mTotal = 0;
};

} // namespace

std::vector<char> labelledLoci(const std::vector<Tlocinfo> &loci, const DrawingOptions &options)
{
    std::vector<char> labelled(loci.size(), 0);
    if (!options.drawmarkers && !options.drawpos)
        return labelled;
    double previous = -5;
    for (size_t k = 0; k < loci.size(); ++k) {
        labelled[k] = (loci[k].Position - previous >= options.markskip || loci[k].QtlStart != 0) ? 1 : 0;
        previous = loci[k].Position;
    }
    return labelled;
}

void spreadLabels(std::vector<MarkerLabel> &labels, int barWidth, int minDistance)
{
    if (labels.empty())
        return;
    Spreader spreader(labels, barWidth, minDistance);

    // Move the worst label while the total keeps falling below every total reached so far.
    constexpr std::int64_t Unreached = std::numeric_limits<std::int64_t>::max();
    std::int64_t best = Unreached;
    std::int64_t last = Unreached;
    while (best > spreader.total()) {
        spreader.move(spreader.worst());
        best = std::min(best, last);
        last = spreader.total();
    }

    // Lift labels that hang below their marker while there is room above them, the lowest first.
    const int n = static_cast<int>(labels.size());
    int from = n - 1;
    for (;;) {
        int j = -1;
        for (int k = std::min(from, n - 1); k >= 1; --k) {
            const auto u = static_cast<size_t>(k);
            if (labels[u].label > labels[u].marker && labels[u].label - labels[u - 1].label > minDistance) {
                j = k;
                break;
            }
        }
        if (j < 0)
            break;
        spreader.move(j);
        // Only the gap below the moved label grew; labels further down are no candidates.
        from = j + 1;
    }
}

std::vector<MarkerLabel> layoutMarkerLabels(DrawSurface &surface, const std::vector<Tlocinfo> &loci,
                                            const DrawContext &context, const ViewGeometry &geometry, int minDistance)
{
    std::vector<MarkerLabel> labels;
    const DrawingOptions &o = context.options;
    if (!o.drawmarkers && !o.drawpos)
        return labels;
    surface.setFont(o.markerFont);
    const std::vector<char> labelled = labelledLoci(loci, o);
    int cursor = roundInt(context.zoom * o.topmargin);
    for (size_t k = 0; k < loci.size(); ++k) {
        const int m = geometry.y(loci[k].Position);
        cursor = std::max(cursor, m);
        if (labelled[k]) {
            labels.push_back(MarkerLabel{static_cast<int>(k), m, cursor});
            cursor += surface.textHeight(loci[k].Name) + 2;
        }
    }
    spreadLabels(labels, o.barwidth, minDistance);
    return labels;
}

void drawMarkerLabels(DrawSurface &surface, const std::vector<Tlocinfo> &loci, const std::vector<MarkerLabel> &labels,
                      const DrawContext &context, const ViewGeometry &geometry, int markSpace)
{
    const DrawingOptions &o = context.options;
    const double z = context.zoom;
    const int xl = roundInt(z * markSpace) - roundInt(15 * z);
    const int xt = roundInt(z * (markSpace + o.space));
    const int xq = xt;

    PenSpec pen = surface.pen();
    pen.color = rgb(128, 128, 128);
    pen.style = PenSpec::Style::Solid;
    surface.setPen(pen);
    const FontSpec *current = nullptr;
    for (const MarkerLabel &label : labels) {
        const Tlocinfo &locus = loci[static_cast<size_t>(label.locus)];
        const bool qtl = locus.QtlStart != 0;
        if (qtl) {
            const int yq1 = geometry.y(locus.QtlStart);
            const int yq2 = geometry.y(locus.QtlEnd);
            const int xv = roundInt(z * (markSpace + o.space) - 2);
            surface.moveTo(xv, yq1);
            surface.lineTo(xv, yq2);
            surface.moveTo(xq - 1, yq1);
            surface.lineTo(xq - 4, yq1);
            surface.moveTo(xq - 1, yq2);
            surface.lineTo(xq - 4, yq2);
            pen.style = PenSpec::Style::Dotted;
            surface.setPen(pen);
            surface.moveTo(xl, label.label);
            surface.lineTo(xq - 4, yq1);
            surface.moveTo(xl, label.label);
            surface.lineTo(xq - 4, yq2);
            pen.style = PenSpec::Style::Solid;
            surface.setPen(pen);
        } else {
            surface.moveTo(xl, label.label);
            surface.lineTo(xt, label.marker);
        }
        std::string text = o.drawmarkers ? locus.Name : std::string();
        if (o.showphase)
            text += " " + locus.Phase;
        if (o.drawpos)
            text += formatText(" %2.1f", {locus.Position});
        const FontSpec *font = qtl ? &o.qtlFont : &o.markerFont;
        if (font != current) {
            surface.setFont(*font);
            current = font;
        }
        surface.textOut(xl - surface.textWidth(text), label.label - surface.textHeight(text) / 2, text);
    }
}

} // namespace rvk
