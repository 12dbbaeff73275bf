#include "render/labellayout.h"

#include "core/textformat.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <set>

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

// The same moves for long label columns. Labels that are packed (exactly minDistance apart) move
// as one block, so a move shifts a range of labels at once: the distances d = marker - label
// live in a tree with range addition that keeps the sum of squares and the first largest and
// smallest d. The gaps that decide how far a push reaches are kept in two sets: gaps wider than
// minDistance end a pushed block, gaps narrower than minDistance start one.
class BlockSpreader
{
public:
    BlockSpreader(const std::vector<MarkerLabel> &labels, int barWidth, int minDistance)
        : mN(static_cast<int>(labels.size()))
        , mBase(static_cast<std::int64_t>(barWidth) * barWidth)
        , mMinDistance(minDistance)
        , mGap(labels.size())
        , mNodes(4 * labels.size())
    {
        std::vector<std::int64_t> d(labels.size());
        for (size_t j = 0; j < labels.size(); ++j) {
            if (j + 1 < labels.size())
                mGap[j] = labels[j + 1].label - labels[j].label;
            d[j] = labels[j].marker - labels[j].label;
        }
        build(1, 0, mN - 1, d);
        for (int i = 0; i + 1 < mN; ++i)
            classifyGap(i);
    }

    std::int64_t total() const { return mBase * mN + mNodes[1].sumSquares; }
    int worst() const
    {
        const Node &root = mNodes[1];
        const std::int64_t high = root.maxD * root.maxD;
        const std::int64_t low = root.minD * root.minD;
        if (high != low)
            return high > low ? root.maxAt : root.minAt;
        return std::min(root.maxAt, root.minAt);
    }

    void move(int j)
    {
        // Label j and the packed labels above it move; below a wide gap only a narrow gap
        // starts another pushed block.
        int top = j;
        for (;;) {
            const int from = blockStart(top);
            shiftBlock(from, top);
            if (from == 0)
                break;
            auto narrow = mNarrow.lower_bound(from - 1);
            if (narrow == mNarrow.begin())
                break;
            top = *std::prev(narrow); // the pair (top, top + 1) is too close: top moves up
        }
    }

    void write(std::vector<MarkerLabel> &labels)
    {
        flushAll(1, 0, mN - 1);
        for (size_t j = 0; j < labels.size(); ++j)
            labels[j].label = static_cast<int>(labels[j].marker - mLeafD[j]);
    }

private:
    struct Node
    {
        std::int64_t sum = 0;
        std::int64_t sumSquares = 0;
        std::int64_t maxD = 0;
        std::int64_t minD = 0;
        int maxAt = 0;
        int minAt = 0;
        std::int64_t pending = 0;
        int count = 0;
    };

    int gap(int i) const { return mGap[static_cast<size_t>(i)]; }
    void classifyGap(int i)
    {
        mWide.erase(i);
        mNarrow.erase(i);
        if (gap(i) > mMinDistance)
            mWide.insert(i);
        else if (gap(i) < mMinDistance)
            mNarrow.insert(i);
    }
    // The first label of the packed block that ends at top.
    int blockStart(int top) const
    {
        auto wide = mWide.lower_bound(top);
        return wide == mWide.begin() ? 0 : *std::prev(wide) + 1;
    }
    void shiftBlock(int from, int top)
    {
        add(1, 0, mN - 1, from, top, 1);
        if (top + 1 < mN) {
            ++mGap[static_cast<size_t>(top)];
            classifyGap(top);
        }
        if (from > 0) {
            --mGap[static_cast<size_t>(from - 1)];
            classifyGap(from - 1);
        }
    }

    static void combine(Node &node, const Node &left, const Node &right)
    {
        node.sum = left.sum + right.sum;
        node.sumSquares = left.sumSquares + right.sumSquares;
        if (left.maxD >= right.maxD) {
            node.maxD = left.maxD;
            node.maxAt = left.maxAt;
        } else {
            node.maxD = right.maxD;
            node.maxAt = right.maxAt;
        }
        if (left.minD <= right.minD) {
            node.minD = left.minD;
            node.minAt = left.minAt;
        } else {
            node.minD = right.minD;
            node.minAt = right.minAt;
        }
    }
    static void apply(Node &node, std::int64_t delta)
    {
        node.sumSquares += 2 * delta * node.sum + delta * delta * node.count;
        node.sum += delta * node.count;
        node.maxD += delta;
        node.minD += delta;
        node.pending += delta;
    }
    void pushDown(int node)
    {
        if (mNodes[static_cast<size_t>(node)].pending == 0)
            return;
        apply(mNodes[static_cast<size_t>(2 * node)], mNodes[static_cast<size_t>(node)].pending);
        apply(mNodes[static_cast<size_t>(2 * node + 1)], mNodes[static_cast<size_t>(node)].pending);
        mNodes[static_cast<size_t>(node)].pending = 0;
    }
    void build(int node, int lo, int hi, const std::vector<std::int64_t> &d)
    {
        Node &n = mNodes[static_cast<size_t>(node)];
        n.count = hi - lo + 1;
        if (lo == hi) {
            n.sum = n.maxD = n.minD = d[static_cast<size_t>(lo)];
            n.sumSquares = n.sum * n.sum;
            n.maxAt = n.minAt = lo;
            return;
        }
        const int mid = (lo + hi) / 2;
        build(2 * node, lo, mid, d);
        build(2 * node + 1, mid + 1, hi, d);
        combine(n, mNodes[static_cast<size_t>(2 * node)], mNodes[static_cast<size_t>(2 * node + 1)]);
    }
    void add(int node, int lo, int hi, int from, int to, std::int64_t delta)
    {
        if (to < lo || hi < from)
            return;
        if (from <= lo && hi <= to) {
            apply(mNodes[static_cast<size_t>(node)], delta);
            return;
        }
        pushDown(node);
        const int mid = (lo + hi) / 2;
        add(2 * node, lo, mid, from, to, delta);
        add(2 * node + 1, mid + 1, hi, from, to, delta);
        combine(mNodes[static_cast<size_t>(node)], mNodes[static_cast<size_t>(2 * node)], mNodes[static_cast<size_t>(2 * node + 1)]);
    }
    void flushAll(int node, int lo, int hi)
    {
        if (mLeafD.empty())
            mLeafD.resize(static_cast<size_t>(mN));
        if (lo == hi) {
            mLeafD[static_cast<size_t>(lo)] = mNodes[static_cast<size_t>(node)].sum;
            return;
        }
        pushDown(node);
        const int mid = (lo + hi) / 2;
        flushAll(2 * node, lo, mid);
        flushAll(2 * node + 1, mid + 1, hi);
    }

    int mN;
    std::int64_t mBase;
    int mMinDistance;
    std::vector<int> mGap; // label k + 1 minus label k
    std::vector<Node> mNodes;
    std::vector<std::int64_t> mLeafD;
    std::set<int> mWide;
    std::set<int> mNarrow;
};

template <typename Column> void descend(Column &column)
{
    // Move the worst label while the total keeps falling below every total reached so far.
    constexpr std::int64_t Unreached = std::numeric_limits<std::int64_t>::max();
    std::int64_t best = Unreached;
    std::int64_t last = Unreached;
    while (best > column.total()) {
        column.move(column.worst());
        best = std::min(best, last);
        last = column.total();
    }
}

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
    if (labels.size() > 32) {
        BlockSpreader column(labels, barWidth, minDistance);
        descend(column);
        column.write(labels);
    } else {
        Spreader column(labels, barWidth, minDistance);
        descend(column);
    }
    liftHangingLabels(labels, barWidth, minDistance);
}

void spreadLabelsOneByOne(std::vector<MarkerLabel> &labels, int barWidth, int minDistance)
{
    if (labels.empty())
        return;
    Spreader column(labels, barWidth, minDistance);
    descend(column);
    liftHangingLabels(labels, barWidth, minDistance);
}

void liftHangingLabels(std::vector<MarkerLabel> &labels, int barWidth, int minDistance)
{
    if (labels.empty())
        return;
    Spreader spreader(labels, barWidth, minDistance);
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

int farthestLabelOffset(int minDistance) { return 4 * std::max(minDistance, 1); }

bool labelsBesideTheirMarkers(const std::vector<MarkerLabel> &labels, int minDistance)
{
    const int farthest = farthestLabelOffset(minDistance);
    return std::all_of(labels.begin(), labels.end(), [farthest](const MarkerLabel &l) { return std::abs(l.label - l.marker) <= farthest; });
}

namespace {

// The labels kept when markers closer than gap pixels to the last kept marker lose theirs, at
// their spread places, and the y each kept label would stand at best.
struct Column
{
    std::vector<MarkerLabel> labels;
    std::vector<int> best;

    // A label beside its marker stands near the place it would take without neighbours (for a
    // QTL label that is its locus, even where the label points at the interval's middle).
    bool besideTheirMarkers(int minDistance) const
    {
        const int farthest = farthestLabelOffset(minDistance);
        for (size_t j = 0; j < labels.size(); ++j)
            if (std::abs(labels[j].label - best[j]) > farthest)
                return false;
        return true;
    }
};

Column placeThinned(const std::vector<LabelCandidate> &candidates, int top, int barWidth, int minDistance, int gap)
{
    Column column;
    column.labels.reserve(candidates.size());
    column.best.reserve(candidates.size());
    int cursor = top;
    bool anyKept = false;
    int lastKept = 0;
    for (const LabelCandidate &c : candidates) {
        if (gap > 0 && anyKept && !c.alwaysKept && c.y - lastKept < gap)
            continue;
        cursor = std::max(cursor, c.y);
        column.labels.push_back(MarkerLabel{c.locus, c.marker, cursor});
        column.best.push_back(std::max(top, c.y));
        cursor += c.step;
        anyKept = true;
        lastKept = c.y;
    }
    spreadLabels(column.labels, barWidth, minDistance);
    return column;
}

} // namespace

std::vector<MarkerLabel> placeMarkerLabels(const std::vector<LabelCandidate> &candidates, int top, int barWidth,
                                           int minDistance)
{
    Column column = placeThinned(candidates, top, barWidth, minDistance, 0);
    if (column.besideTheirMarkers(minDistance))
        return std::move(column.labels);
    // The smallest gap that lets the kept labels stand beside their markers. Once the gap is as
    // large as the widest step no label pushes another; only crowded QTL labels need more.
    int widestStep = 1;
    for (const LabelCandidate &c : candidates)
        widestStep = std::max(widestStep, c.step);
    int low = 0; // too small
    int high = widestStep;
    Column fitting = placeThinned(candidates, top, barWidth, minDistance, high);
    while (!fitting.besideTheirMarkers(minDistance) && high < (1 << 20)) {
        low = high;
        high *= 2;
        fitting = placeThinned(candidates, top, barWidth, minDistance, high);
    }
    while (high - low > 1) {
        const int middle = low + (high - low) / 2;
        Column trial = placeThinned(candidates, top, barWidth, minDistance, middle);
        if (trial.besideTheirMarkers(minDistance)) {
            high = middle;
            fitting = std::move(trial);
        } else {
            low = middle;
        }
    }
    return std::move(fitting.labels);
}

int widestMarkerLabel(DrawSurface &surface, const std::vector<Tlocinfo> &loci)
{
    int widest = 0;
    for (const Tlocinfo &locus : loci)
        widest = std::max(widest, surface.textWidth(locus.Name + formatText("(%2.1f) ", {locus.Position})));
    return widest;
}

namespace {

// Moves the topmost labels down until each label's text starts at or below row 0; a label moved
// onto the one below pushes that one too, keeping the gap they had (at most minDistance).
void keepLabelsInside(std::vector<MarkerLabel> &labels, const std::vector<Tlocinfo> &loci, int markerHeight,
                      int qtlHeight, int minDistance)
{
    int previousBefore = 0;
    for (size_t j = 0; j < labels.size(); ++j) {
        const bool qtl = loci[static_cast<size_t>(labels[j].locus)].QtlStart != 0;
        int lowest = (qtl ? qtlHeight : markerHeight) / 2;
        const int before = labels[j].label;
        if (j > 0)
            lowest = std::max(lowest, labels[j - 1].label + std::min(minDistance, before - previousBefore));
        previousBefore = before;
        if (before >= lowest)
            break; // this label and all below it already stand where they may
        labels[j].label = lowest;
    }
}

} // namespace

std::vector<MarkerLabel> layoutMarkerLabels(DrawSurface &surface, const std::vector<Tlocinfo> &loci,
                                            const DrawContext &context, const ViewGeometry &geometry, int minDistance)
{
    std::vector<MarkerLabel> labels;
    const DrawingOptions &o = context.options;
    if (!o.drawmarkers && !o.drawpos)
        return labels;
    surface.setFont(o.markerFont);
    const std::vector<char> labelled = labelledLoci(loci, o);
    std::vector<LabelCandidate> candidates;
    for (size_t k = 0; k < loci.size(); ++k) {
        if (!labelled[k])
            continue;
        const int m = geometry.y(loci[k].Position);
        candidates.push_back(LabelCandidate{static_cast<int>(k), m, m, surface.textHeight(loci[k].Name) + 2, loci[k].QtlStart != 0});
    }
    std::vector<MarkerLabel> placed = placeMarkerLabels(candidates, roundInt(context.zoom * o.topmargin), o.barwidth, minDistance);
    // Spreading lifts crowded labels; none may rise so far that its text leaves the picture.
    const int markerHeight = surface.textHeight("8HJL");
    surface.setFont(o.qtlFont);
    const int qtlHeight = surface.textHeight("8HJL");
    surface.setFont(o.markerFont);
    keepLabelsInside(placed, loci, markerHeight, qtlHeight, minDistance);
    return placed;
}

void drawMarkerLabels(DrawSurface &surface, const std::vector<Tlocinfo> &loci, const std::vector<MarkerLabel> &labels,
                      const DrawContext &context, const ViewGeometry &geometry, int markSpace, Rgb lineColour)
{
    const DrawingOptions &o = context.options;
    const double z = context.zoom;
    const int xl = roundInt(z * markSpace) - roundInt(15 * z);
    const int xt = roundInt(z * (markSpace + o.space));
    const int xq = xt;

    PenSpec pen = surface.pen();
    pen.color = lineColour;
    pen.style = PenSpec::Style::Solid;
    surface.setPen(pen);
    const FontDescription *current = nullptr;
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
        const FontDescription *font = qtl ? &o.qtlFont : &o.markerFont;
        if (font != current) {
            surface.setFont(*font);
            current = font;
        }
        surface.textOut(xl - surface.textWidth(text), label.label - surface.textHeight(text) / 2, text);
    }
}

} // namespace rvk
