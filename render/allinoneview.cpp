#include "render/allinoneview.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "core/userinterface.h"
#include "render/barpainter.h"
#include "render/barslots.h"
#include "render/figurerun.h"
#include "render/labellayout.h"
#include "render/picturerecorder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

namespace rvk {

namespace {

constexpr Rgb White = rgb(255, 255, 255);
constexpr Rgb Black = rgb(0, 0, 0);

int roundInt(double value) { return static_cast<int>(roundHalfEven(value)); }

// The consensus colour: the less frequent the major allele, the nearer to white.
Rgb fadeTowardsWhite(Rgb c, double share)
{
    auto channel = [&](int v) { return 255 - roundInt(share * (255 - v)); };
    return rgb(channel(redOf(c)), channel(greenOf(c)), channel(blueOf(c)));
}

// Room between a row name and the first bar.
constexpr int NameGap = 4;

// Left x of each caption: at its wanted place where that leaves gap to the caption before it,
// else just after that one; captions pushed past the right edge (width) push the ones before
// them back to the left. Empty when the captions side by side are wider than the picture.
std::vector<int> placeCaptions(DrawSurface &surface, const std::vector<std::string> &texts, const std::vector<int> &wanted,
                               int width, int gap)
{
    const size_t n = texts.size();
    std::vector<int> widths(n);
    long long needed = 0;
    for (size_t g = 0; g < n; ++g) {
        widths[g] = surface.textWidth(texts[g]);
        needed += widths[g] + (g > 0 ? gap : 0);
    }
    if (needed > width - 1)
        return {};
    std::vector<int> x(n);
    for (size_t g = 0; g < n; ++g)
        x[g] = g == 0 ? std::max(0, wanted[g]) : std::max(wanted[g], x[g - 1] + widths[g - 1] + gap);
    int limit = width - 1; // the right edge no caption may pass
    for (size_t g = n; g-- > 0;) {
        x[g] = std::min(x[g], limit - widths[g]);
        limit = x[g] - gap;
    }
    return x;
}

int tableIndex(char code) { return isGenotypeCode(code) ? codeIndex(code) : codeIndex(UnknownCode); }

// The per-locus values of one group that every row shares.
struct GroupPlan
{
    int count = 0;
    std::vector<int> markerX;   // x of the marker
    std::vector<int> boundaryX; // x of the midpoint to the next locus
    std::vector<double> length; // cM to the next locus
    std::vector<char> qtl;
    std::vector<DisplayCoder::LocusRules> rules;
    bool needsCoding = false;   // some locus changes the raw code
};

GroupPlan planGroup(const std::vector<Tlocinfo> &loci, const DisplayCoder &coder, double scale, double zoom, int x0)
{
    GroupPlan plan;
    const size_t n = loci.size();
    plan.count = static_cast<int>(n);
    plan.markerX.resize(n);
    plan.boundaryX.resize(n);
    plan.length.resize(n);
    plan.qtl.resize(n);
    plan.rules.resize(n);
    auto x = [&](double p) { return roundInt(zoom * (scale * p)) + x0; };
    for (size_t k = 0; k < n; ++k) {
        const double p = loci[k].Position;
        double d = 0.0;
        if (k + 1 < n)
            d = loci[k + 1].Position - p;
        plan.length[k] = d;
        plan.markerX[k] = x(p);
        plan.boundaryX[k] = x(p + d / 2);
        plan.qtl[k] = loci[k].QtlStart != 0 ? 1 : 0;
        plan.rules[k] = coder.rulesFor(loci[k]);
        if (plan.rules[k].swapAB || plan.rules[k].bar0 || plan.rules[k].bar1)
            plan.needsCoding = true;
    }
    return plan;
}

// The map length drawn of every allele in one row. The sum of the allele in hand stays in a
// register while its run lasts: the same additions in the same order as straight into the
// array, without a round trip through memory for every marker.
class DrawnSums
{
public:
    void add(int index, double length)
    {
        if (index != mIndex) {
            mSums[static_cast<size_t>(mIndex)] = mSum;
            mIndex = index;
            mSum = mSums[static_cast<size_t>(index)];
        }
        mSum += length;
    }
    int current() const { return mIndex; }

    // Adds the markers from k on, raw codes, that are no QTL and whose segments end in column
    // t, so paint nothing; returns the first marker that is not such.
    int addQuiet(const char *codes, const GroupPlan &plan, const int *segmentEnd, int k, int t)
    {
        int index = mIndex;
        double sum = mSum;
        const char *qtl = plan.qtl.data();
        const double *length = plan.length.data();
        const int n = plan.count;
        while (k < n && segmentEnd[k] == t && !qtl[k]) {
            const int next = tableIndex(codes[k]);
            if (next != index) {
                mSums[static_cast<size_t>(index)] = sum;
                index = next;
                sum = mSums[static_cast<size_t>(index)];
            }
            sum += length[k];
            ++k;
        }
        mIndex = index;
        mSum = sum;
        return k;
    }

    const std::array<double, AlleleTable::Size> &finish()
    {
        mSums[static_cast<size_t>(mIndex)] = mSum;
        return mSums;
    }

private:
    std::array<double, AlleleTable::Size> mSums{};
    int mIndex = 0;
    double mSum = 0.0;
};

// Paints one row along x the way a bar is painted along y. Neighbouring segments that would
// paint the same pixels as one figure are drawn as one, and segments narrower than a pixel
// paint nothing, so a row costs at most a few operations per pixel column however many markers
// it crosses.
class RowPainter
{
public:
    RowPainter(DrawSurface &surface, AlleleTable &table, const DrawContext &context, const DisplayCoder &coder)
        : mSurface(surface)
        , mTable(table)
        , mContext(context)
        , mCoder(coder)
        , mRun(surface, FigureRun::Direction::Right)
    {
    }

    struct RowInput
    {
        const char *codes = nullptr;    // raw code per locus
        const char *others = nullptr;   // the individual's other character per locus (cp), or null
        const double *shares = nullptr; // major share per locus: the consensus row
        int bar = 0;
        int top = 0;
        int bottom = 0;
        bool ticks = false;
        bool precoded = false;          // codes are display codes already (the comparison mode)
    };

    // Returns the largest x reached.
    int paint(const std::vector<Tlocinfo> &loci, const GroupPlan &plan, const RowInput &row, double scale, int x0);

private:
    DrawSurface &mSurface;
    AlleleTable &mTable;
    const DrawContext &mContext;
    const DisplayCoder &mCoder;
    FigureRun mRun;
    std::vector<int> mTicks;
};

// A rectangle at most two pixels wide is all outline: it paints what a fill in the pen's colour
// paints, and so joins its neighbours. Markers closer than a pixel give many of them, in
// "B && W" above all, where outlined segments never merge.
FigureRun::Figure asFillWhenAllOutline(FigureRun::Figure f)
{
    if (f.kind == FigureRun::Kind::Rectangle && f.pen.style == PenSpec::Style::Solid && f.pen.width == 1
        && (f.x2 - f.x1 <= 2 || f.y2 - f.y1 <= 2) && f.x2 > f.x1 && f.y2 > f.y1) {
        f.kind = FigureRun::Kind::FillRect;
        f.brush = BrushSpec{f.pen.color, BrushSpec::Style::Solid, -1};
        f.mergeable = true;
    }
    return f;
}

int RowPainter::paint(const std::vector<Tlocinfo> &loci, const GroupPlan &plan, const RowInput &row, double scale, int x0)
{
    mRun.start();
    mTicks.clear();
    const int n = plan.count;
    if (n == 0)
        return x0;

    const DrawingOptions &o = mContext.options;
    const double z = mContext.zoom;
    const bool colour = mContext.isColour();
    const bool gradient = o.Fillstyle == DrawingOptions::FillStyle::Gradient;
    const bool threeDWide = o.Fillstyle == DrawingOptions::FillStyle::ThreeD && o.barwidth > 9;
    const bool consensus = row.shares != nullptr;
    const int v = row.top;
    const int E = row.bottom;
    auto x = [&](double p) { return roundInt(z * (scale * p)) + x0; };
    auto colourOf = [&](int index, int k) {
        const Rgb c = mTable.entry(index).Color;
        return consensus && colour ? fadeTowardsWhite(c, row.shares[k]) : c;
    };

    PenSpec pen = mRun.pen();
    BrushSpec brush = mRun.brush();
    const int firstIndex = tableIndex(row.codes[0]);
    if (!row.precoded)
        mTable.entry(firstIndex).Used = true;
    brush = withBrushColor(brush, colourOf(firstIndex, 0));
    pen.color = colourOf(firstIndex, 0);
    Rgb previous = pen.color;

    const bool gradientColour = gradient && colour;
    const int *segmentEnd = gradientColour ? plan.markerX.data() : plan.boundaryX.data();
    int t = plan.markerX[0];
    int xmax = t;
    int lastSkipped = -1;
    int lastSkippedIndex = 0;
    int previousFrom = -1;
    int previousIndex = 0;
    DrawnSums drawn;
    const bool needsCoding = plan.needsCoding && !row.precoded;
    const bool quietScan = !needsCoding && !row.ticks;
    for (int k = 0; k < n; ++k) {
        if (quietScan) {
            const int end = drawn.addQuiet(row.codes, plan, segmentEnd, k, t);
            if (end > k) {
                lastSkipped = previousFrom = end - 1;
                lastSkippedIndex = previousIndex = drawn.current();
                k = end;
                if (k == n)
                    break;
            }
        }
        const auto uk = static_cast<size_t>(k);
        const char raw = row.codes[k];
        if (plan.qtl[uk]) {
            lastSkipped = -1;
            mRun.flush();
            const Rgb qtlColour = mTable.entry(tableIndex(raw)).Color;
            brush = withBrushColor(brush, qtlColour);
            pen.color = qtlColour;
            mRun.usePen(pen);
            mRun.useBrush(brush);
            mSurface.rectangle(x(loci[uk].QtlStart), E + 2, x(loci[uk].QtlEnd), E + 2 + o.qtlbarwidth);
            continue;
        }
        char code = raw;
        if (needsCoding) {
            if (consensus) {
                // The consensus has no second parent: only the phase rule applies.
                DisplayCoder::LocusRules phaseOnly;
                phaseOnly.swapAB = plan.rules[uk].swapAB;
                code = mCoder.code(phaseOnly, raw, 0, row.bar);
            } else {
                code = mCoder.code(plan.rules[uk], raw, row.others ? row.others[k] : 0, row.bar);
            }
        }
        const int index = tableIndex(code);
        drawn.add(index, plan.length[uk]);
        const int xm = plan.markerX[uk];
        if (row.ticks && (mTicks.empty() || mTicks.back() != xm))
            mTicks.push_back(xm);
        // With many markers to a pixel column most segments end where they start: they paint
        // nothing and merge with nothing. Only the colour they leave behind counts: the start of
        // the next gradient, and the pen after the row.
        if (segmentEnd[uk] == t) {
            lastSkipped = k;
            lastSkippedIndex = index;
            previousFrom = k;
            previousIndex = index;
            continue;
        }
        if (previousFrom >= 0 && colour)
            previous = colourOf(previousIndex, previousFrom);
        previousFrom = -1;
        lastSkipped = -1;
        int u = plan.boundaryX[uk];

        const Rgb c = colourOf(index, k);
        pen.color = colour ? c : Black;
        brush = segmentBrush(mContext, c, mTable.entry(index).Hatch);
        FigureRun::Figure f{.brush = brush, .pen = pen, .x1 = t, .y1 = v, .x2 = u, .y2 = E};
        const bool outlineLikeFill = colour && FigureRun::outlineMatchesFill(pen, brush);
        if (gradient && colour) {
            u = xm;
            const int columns = u - t;
            if (columns > 0) {
                f.brush = BrushSpec{c, BrushSpec::Style::Solid, -1};
                mRun.addGradient(f, previous, c, t, columns);
            }
        } else if (gradient) {
            f.kind = FigureRun::Kind::FillRect;
            f.mergeable = true;
            mRun.add(asFillWhenAllOutline(f));
        } else if (threeDWide) {
            f.kind = FigureRun::Kind::ThreeD;
            f.mergeable = outlineLikeFill;
            mRun.add(asFillWhenAllOutline(f));
        } else {
            f.kind = FigureRun::Kind::Rectangle;
            f.mergeable = outlineLikeFill;
            mRun.add(asFillWhenAllOutline(f));
        }
        if (colour)
            previous = c;
        xmax = std::max(xmax, u);
        t = u;
    }
    if (lastSkipped >= 0) {
        const Rgb c = colourOf(lastSkippedIndex, lastSkipped);
        pen.color = colour ? c : Black;
        brush = segmentBrush(mContext, c, mTable.entry(lastSkippedIndex).Hatch);
    }
    mRun.flush();
    const std::array<double, AlleleTable::Size> &sums = drawn.finish();
    for (int i = 0; i < AlleleTable::Size; ++i)
        if (sums[static_cast<size_t>(i)] != 0)
            mTable.entry(i).DrawnLength += sums[static_cast<size_t>(i)];

    if (!mTicks.empty()) {
        pen.color = Black;
        pen.width = 1;
        pen.style = PenSpec::Style::Solid;
        mRun.usePen(pen);
        // Markers closer than a pixel share their tick; ticks in neighbouring columns make a
        // solid band, drawn as one.
        for (size_t i = 0; i < mTicks.size();) {
            size_t j = i;
            while (j + 1 < mTicks.size() && mTicks[j + 1] == mTicks[j] + 1)
                ++j;
            if (j == i) {
                mSurface.moveTo(mTicks[i], v - 3);
                mSurface.lineTo(mTicks[i], v - 1);
            } else {
                mRun.useBrush(BrushSpec{Black, BrushSpec::Style::Solid, -1});
                mSurface.fillRect(mTicks[i], v - 3, mTicks[j] + 1, v - 1);
            }
            i = j + 1;
        }
    }
    brush = BrushSpec{White, BrushSpec::Style::Clear, -1};
    pen.width = 1;
    mRun.usePen(pen);
    mRun.useBrush(brush);
    return xmax;
}

// Offsets every y by a fixed amount: the printing painter stacks whole linkage-group drawings,
// each laid out as if it stood alone at the top of the page.
class ShiftedSurface : public DrawSurface
{
public:
    ShiftedSurface(DrawSurface &target, int dy) : mTarget(target), mDy(dy) {}

    void setPen(const PenSpec &pen) override { mTarget.setPen(pen); }
    void setBrush(const BrushSpec &brush) override { mTarget.setBrush(brush); }
    void setBrushPattern(int k) override { mTarget.setBrushPattern(k); }
    void setFont(const FontDescription &font) override { mTarget.setFont(font); }
    void moveTo(int x, int y) override { mTarget.moveTo(x, y + mDy); }
    void lineTo(int x, int y) override { mTarget.lineTo(x, y + mDy); }
    void rectangle(int x1, int y1, int x2, int y2) override { mTarget.rectangle(x1, y1 + mDy, x2, y2 + mDy); }
    void fillRect(int x1, int y1, int x2, int y2) override { mTarget.fillRect(x1, y1 + mDy, x2, y2 + mDy); }
    void pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override
    {
        mTarget.pie(x1, y1 + mDy, x2, y2 + mDy, x3, y3 + mDy, x4, y4 + mDy);
    }
    void arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override
    {
        mTarget.arc(x1, y1 + mDy, x2, y2 + mDy, x3, y3 + mDy, x4, y4 + mDy);
    }
    void textOut(int x, int y, const std::string &text) override { mTarget.textOut(x, y + mDy, text); }
    int textWidth(const std::string &text) override { return mTarget.textWidth(text); }
    int textHeight(const std::string &text) override { return mTarget.textHeight(text); }
    void textOutRotated(int x, int y, const std::string &text, int angle) override
    {
        mTarget.textOutRotated(x, y + mDy, text, angle);
    }
    void drawPicture(const ViewPicture &picture, int x1, int y1, int x2, int y2) override
    {
        mTarget.drawPicture(picture, x1, y1 + mDy, x2, y2 + mDy);
    }
    PenSpec pen() const override { return mTarget.pen(); }
    BrushSpec brush() const override { return mTarget.brush(); }
    FontDescription font() const override { return mTarget.font(); }
    int fontResolution() const override { return mTarget.fontResolution(); }

private:
    DrawSurface &mTarget;
    int mDy;
};

// Genotype characters of a run of individuals' columns for every locus of a group, turned so
// that one column's codes lie side by side. Rows read the loci one after another; read straight
// from the locus texts that would touch a different text for every marker of every row.
class ColumnBlock
{
public:
    static constexpr int Width = 128;

    explicit ColumnBlock(const std::vector<Tlocinfo> &loci) : mLoci(loci) {}

    // The codes of column c (0-based character index), one per locus; the next span - 1
    // columns follow at strides of stride().
    const char *column(int c, int span = 1)
    {
        if (c < mFirst || c + span > mFirst + Width || mBuffer.empty())
            load(c);
        return mBuffer.data() + static_cast<size_t>(c - mFirst) * mLoci.size();
    }
    size_t stride() const { return mLoci.size(); }

private:
    void load(int first)
    {
        mFirst = first;
        const size_t n = mLoci.size();
        mBuffer.assign(static_cast<size_t>(Width) * n, UnknownCode);
        // A few loci at a time, so the columns written stay in the cache between loci.
        constexpr size_t Block = 32;
        const size_t from = static_cast<size_t>(first);
        std::array<const char *, Block> sources{};
        std::array<size_t, Block> counts{};
        for (size_t k0 = 0; k0 < n; k0 += Block) {
            const size_t loci = std::min(Block, n - k0);
            size_t longest = 0;
            for (size_t i = 0; i < loci; ++i) {
                const std::string &text = mLoci[k0 + i].Genotypes;
                counts[i] = from < text.size() ? std::min(text.size() - from, static_cast<size_t>(Width)) : 0;
                sources[i] = counts[i] > 0 ? text.data() + from : nullptr;
                longest = std::max(longest, counts[i]);
            }
            for (size_t j = 0; j < longest; ++j) {
                char *target = mBuffer.data() + j * n + k0;
                for (size_t i = 0; i < loci; ++i)
                    if (j < counts[i])
                        target[i] = sources[i][j];
            }
        }
    }

    const std::vector<Tlocinfo> &mLoci;
    int mFirst = 0;
    std::vector<char> mBuffer;
};

} // namespace

namespace {

// The comparison mode works out a row's categories before painting, so the row then paints like
// raw codes, merging and skipping as fast as the colour drawing. The references' codes of a group
// are gathered once; the categories are chosen without branches, since neighbouring codes of a
// row are as good as random to a branch predictor.
struct ComparisonColumns
{
    std::vector<char> reference[2], donor[2];
    std::vector<char> special; // loci whose own rules come first (phase or cross-pollinator)
    bool anySpecial = false;
    bool twoReferences = false;

    ComparisonColumns(const GroupPlan &plan, bool withDonor) : twoReferences(withDonor)
    {
        const size_t n = static_cast<size_t>(plan.count);
        for (int b = 0; b < 2; ++b) {
            reference[b].resize(n);
            donor[b].resize(n);
        }
        special.resize(n);
        for (size_t k = 0; k < n; ++k) {
            const DisplayCoder::LocusRules &rules = plan.rules[k];
            for (int b = 0; b < 2; ++b) {
                reference[b][k] = rules.reference[b];
                donor[b][k] = rules.donor[b];
            }
            special[k] = rules.swapAB || rules.bar0 || rules.bar1;
            anySpecial = anySpecial || special[k];
        }
    }
};

// Byte masks (0 or 1) the compiler can work out sixteen or thirty-two codes at a time.
inline std::uint8_t unknownMask(std::uint8_t c)
{
    return static_cast<std::uint8_t>((c == 'U') | (c == 'u') | (c == '-') | (c == '.') | (c == 'C') | (c == 'D') | (c == 'c') | (c == 'd'));
}
inline std::uint8_t heterozygousMask(std::uint8_t c) { return static_cast<std::uint8_t>((c == 'H') | (c == 'h')); }

#if defined(__GNUC__) && !defined(__clang__)
#define RVK_VECTORISE __attribute__((optimize("tree-vectorize", "vect-cost-model=dynamic")))
#else
#define RVK_VECTORISE
#endif

RVK_VECTORISE void compareWithReference(const std::uint8_t *codes, const std::uint8_t *ref, std::uint8_t *out, size_t n)
{
    using namespace ComparisonCategory;
    for (size_t k = 0; k < n; ++k) {
        const std::uint8_t c = codes[k], r = ref[k];
        const std::uint8_t unknown = unknownMask(c) | unknownMask(r);
        const std::uint8_t hc = heterozygousMask(c), hr = heterozygousMask(r);
        const std::uint8_t same = static_cast<std::uint8_t>((c == r) | (hc & hr));
        const std::uint8_t mixed = hc ^ hr;
        // Different, then het/hom, same, unknown, each overriding the ones before.
        std::uint8_t category = static_cast<std::uint8_t>(Different + mixed * (HeterozygousAgainstHomozygous - Different));
        category = same ? static_cast<std::uint8_t>(Same) : category;
        out[k] = unknown ? static_cast<std::uint8_t>(Unknown) : category;
    }
}

RVK_VECTORISE void compareWithTwoReferences(const std::uint8_t *codes, const std::uint8_t *ref, const std::uint8_t *don,
                                            std::uint8_t *out, size_t n)
{
    using namespace ComparisonCategory;
    for (size_t k = 0; k < n; ++k) {
        const std::uint8_t c = codes[k];
        std::uint8_t category = heterozygousMask(c) ? static_cast<std::uint8_t>(Heterozygous) : static_cast<std::uint8_t>(OtherCode);
        category = c == don[k] ? static_cast<std::uint8_t>(DonorAllele) : category;
        category = c == ref[k] ? static_cast<std::uint8_t>(ReferenceAllele) : category;
        out[k] = unknownMask(c) ? static_cast<std::uint8_t>(Unknown) : category;
    }
}

void precodeComparison(const DisplayCoder &coder, const GroupPlan &plan, const ComparisonColumns &columns,
                       RowPainter::RowInput &input, std::vector<char> &buffer)
{
    using namespace ComparisonCategory;
    const size_t n = static_cast<size_t>(plan.count);
    buffer.resize(n);
    const bool consensus = input.shares != nullptr;
    const int b = input.bar & 1;
    const char *codes = input.codes;
    auto bytes = [](const char *p) { return reinterpret_cast<const std::uint8_t *>(p); };
    if (columns.twoReferences)
        compareWithTwoReferences(bytes(codes), bytes(columns.reference[b].data()), bytes(columns.donor[b].data()),
                                 reinterpret_cast<std::uint8_t *>(buffer.data()), n);
    else
        compareWithReference(bytes(codes), bytes(columns.reference[b].data()), reinterpret_cast<std::uint8_t *>(buffer.data()), n);
    char *out = buffer.data();
    for (size_t k = 0; columns.anySpecial && k < n; ++k) {
        if (!columns.special[k])
            continue;
        // The locus's own rules first; the consensus has no second parent: only the phase rule.
        DisplayCoder::LocusRules own = plan.rules[k];
        if (consensus)
            own.bar0 = own.bar1 = nullptr;
        out[k] = coder.code(own, codes[k], input.others ? input.others[k] : 0, input.bar);
    }
    input.codes = buffer.data();
    input.others = nullptr;
    input.precoded = true;
}

} // namespace

AllInOneView::AllInOneView(const GenotypeData &data, AlleleTable &table, const DrawContext &context, int visibleWidth)
    : mData(data)
    , mPalette(data, table, context)
    , mTable(mPalette.table())
    , mContext(context)
    , mVisibleWidth(visibleWidth)
{
}

double AllInOneView::totalLength(const GenotypeData &data)
{
    double total = 0.0;
    for (const auto &group : data.LinkageGroups)
        if (!group->Loci.empty())
            total += group->Loci.back().Position;
    return total;
}

double AllInOneView::scaleFor(const GenotypeData &data, const DrawingOptions &options, int visibleWidth)
{
    return scaleFor(data, options, visibleWidth, options.topmargin);
}

double AllInOneView::scaleFor(const GenotypeData &data, const DrawingOptions &options, int visibleWidth, int leftEdge)
{
    const double total = totalLength(data);
    if (total <= 0)
        return 0.0;
    // A window narrower than the margins would give a negative scale and draw leftwards.
    const int usable = std::max(0, visibleWidth - leftEdge - 2 * data.GroupCount());
    return static_cast<double>(roundHalfEven(options.Lenmul / 2.0 * usable)) / total;
}

AllInOneView::Layout AllInOneView::layout(DrawSurface &surface) const
{
    Layout layout;
    if (mData.GroupCount() == 0)
        return layout;
    layout.drawable = true;
    const DrawingOptions &o = mContext.options;
    const double z = mContext.zoom;

    layout.firstIndividual = mContext.firstShown();
    layout.lastIndividual = mContext.lastShown(mData.nind);
    const int a = layout.firstIndividual;
    const int b = layout.lastIndividual;

    layout.markSpace = o.markspace;
    if (o.autosize) {
        const FontDescription before = surface.font();
        surface.setFont(o.markerFont);
        const int group = std::clamp(mContext.group, 0, mData.GroupCount() - 1);
        const int widest = widestMarkerLabel(surface, mData.GroupLoci(group));
        layout.markSpace = surface.textWidth("100") + widest + 20;
        surface.setFont(before);
    }

    const int width = mVisibleWidth;
    const int height = (b - a + 4) * (o.space + o.barwidth) + 25;
    layout.landscape = height < width;
    layout.height = roundInt(height * z);
    layout.width = roundInt(width * z);
    layout.previewLandscape = layout.height < layout.width;

    // The row names stand from x = 1 in a column of their own: the bars begin after the widest
    // (the top margin when the names are narrower), and the genome shares what is left.
    {
        const FontDescription before = surface.font();
        surface.setFont(startMarkerFont(mContext));
        int widest = surface.textWidth(ConsensusLabel);
        for (int i = a; i <= b; ++i)
            if (static_cast<size_t>(i - 1) < mData.IndividualNames.size())
                widest = std::max(widest, surface.textWidth(mData.IndividualNames[static_cast<size_t>(i - 1)]));
        surface.setFont(before);
        layout.rowsStart = std::max(o.topmargin, 1 + widest + NameGap);
    }
    const int leftEdge = std::max(o.topmargin, static_cast<int>(std::ceil(layout.rowsStart / std::max(z, 0.01))));
    layout.scale = scaleFor(mData, o, mVisibleWidth, leftEdge);

    // Each group's width is rounded on its own, so a genome of many groups can end a few pixels
    // past the width it was scaled to: the picture holds it whole.
    int x0 = layout.rowsStart;
    for (int g = 0; g < mData.GroupCount(); ++g) {
        const auto &loci = mData.GroupLoci(g);
        const int end = loci.empty() ? x0 : std::max(x0, roundInt(z * (layout.scale * loci.back().Position)) + x0);
        x0 = end + 2;
    }
    // The last marker's tick stands at its group's end.
    const int needed = x0 - 1;
    if (needed > layout.width) {
        layout.width = needed;
        layout.previewLandscape = layout.height < layout.width;
    }
    layout.hasMapLength = totalLength(mData) > 0;
    return layout;
}

std::vector<AllInOneView::Row> AllInOneView::rows(const Layout &layout) const
{
    std::vector<Row> result;
    if (!layout.drawable)
        return result;
    const DrawingOptions &o = mContext.options;
    const double z = mContext.zoom;
    const bool cp = mData.IsCrossPollinator();
    const int m = cp ? 2 : 1;
    const int a = layout.firstIndividual;
    const int b = layout.lastIndividual;
    const int bw = o.barwidth;
    const int sp = o.space;
    const int individualRows = std::max(0, (b - a + 1) * m);
    const int consensus = individualRows; // J = o + 1

    BarSlotStepper stepper(z, bw, sp, cp, roundInt(z * (10 - bw)) + 5 + (cp ? roundInt(z * sp) : 0));
    const std::vector<BarSlot> shown = shownBarSlots(mData, a, b, mContext.skipUnselected, stepper);
    result.reserve(shown.size() + 1);
    for (const BarSlot &slot : shown)
        result.push_back(Row{slot.individual, slot.bar, slot.slot, slot.start, slot.end});
    stepper.advance(consensus);
    result.push_back(Row{0, consensus % m, consensus, stepper.start(), stepper.end()});
    return result;
}

void AllInOneView::paint(DrawSurface &surface, const Layout &layout) const
{
    if (!layout.drawable)
        return;
    mTable.resetDrawnLengths();
    const DrawingOptions &o = mContext.options;
    const double z = mContext.zoom;
    surface.setPen(PenSpec{Black, 1, PenSpec::Style::Solid});
    FontDescription font = startMarkerFont(mContext);
    surface.setFont(font);
    if (!layout.hasMapLength) {
        surface.textOut(roundInt(10 * z), roundInt(z * o.topmargin), NoMapLengthNotice);
        return;
    }

    const int G = mData.GroupCount();
    const bool cp = mData.IsCrossPollinator();
    const int m = cp ? 2 : 1;
    const double s = layout.scale;
    const std::vector<Row> allRows = rows(layout);
    const DisplayCoder coder(mData, mContext, CrossPollinatorTable::IndividualView);
    RowPainter painter(surface, mTable, mContext, coder);
    if (mUserInterface)
        mUserInterface->setProgress(0, G);

    int x0 = layout.rowsStart;
    int xmax = x0;
    std::vector<char> majors;
    std::vector<double> shares;
    std::vector<int> captionAt(static_cast<size_t>(G));
    std::vector<int> groupStart(static_cast<size_t>(G));
    std::vector<int> groupEnd(static_cast<size_t>(G));
    for (int g = 0; g < G; ++g) {
        const auto &loci = mData.GroupLoci(g);
        const double last = loci.empty() ? 0.0 : loci.back().Position;
        captionAt[static_cast<size_t>(g)] = x0 + roundInt(z * s * 0.2 * last);
        groupStart[static_cast<size_t>(g)] = x0;

        if (!loci.empty()) {
            const GroupPlan plan = planGroup(loci, coder, s, z, x0);
            majors.resize(loci.size());
            shares.resize(loci.size());
            for (size_t k = 0; k < loci.size(); ++k) {
                majors[k] = loci[k].MajorAllele;
                shares[k] = loci[k].MajorAlleleShare;
            }
            ColumnBlock block(loci);
            std::vector<char> compared;
            std::optional<ComparisonColumns> comparison;
            if (coder.comparing())
                comparison.emplace(plan, plan.count > 0 && plan.rules[0].donor[0] != 0);
            const bool lastGroup = g == G - 1;
            for (const Row &row : allRows) {
                RowPainter::RowInput input;
                input.bar = row.bar;
                input.top = row.top;
                input.bottom = row.bottom;
                input.ticks = row.slot == 0;
                if (row.isConsensus()) {
                    input.codes = majors.data();
                    input.shares = shares.data();
                } else {
                    const int column = (row.individual - 1) * m + row.bar;
                    if (cp) {
                        const char *pair = block.column((row.individual - 1) * m, 2);
                        input.codes = pair + static_cast<size_t>(row.bar) * block.stride();
                        input.others = pair + static_cast<size_t>(1 - row.bar) * block.stride();
                    } else {
                        input.codes = block.column(column);
                    }
                }
                if (comparison)
                    precodeComparison(coder, plan, *comparison, input, compared);
                xmax = std::max(xmax, painter.paint(loci, plan, input, s, x0));
                if (lastGroup) {
                    const std::string &label = row.isConsensus() ? std::string(ConsensusLabel)
                        : static_cast<size_t>(row.individual - 1) < mData.IndividualNames.size()
                            ? mData.IndividualNames[static_cast<size_t>(row.individual - 1)]
                            : std::string();
                    surface.textOut(1, row.top - 2, label);
                }
            }
        }
        groupEnd[static_cast<size_t>(g)] = std::max(x0, xmax);
        x0 = std::max(x0, xmax) + 2;
        if (mUserInterface)
            mUserInterface->setProgress(g + 1, G);
    }

    // The group captions, once every group's place is known. A caption starts above its own
    // group; one that cannot, beside its neighbours and inside the picture, shows the group's
    // number only.
    surface.setPen(PenSpec{Black, 1, PenSpec::Style::Solid});
    font.size += 1;
    surface.setFont(font);
    std::vector<char> numberOnly(static_cast<size_t>(G), 0);
    std::vector<std::string> texts(static_cast<size_t>(G));
    std::vector<int> placed;
    const int gap = roundInt(4 * z);
    for (int round = 0; round <= G; ++round) {
        for (int g = 0; g < G; ++g)
            texts[static_cast<size_t>(g)] = formatText("%d", {g + 1}) + (numberOnly[static_cast<size_t>(g)] ? "" : ": " + mData.GroupName(g));
        placed = placeCaptions(surface, texts, captionAt, layout.width, gap);
        bool shortened = false;
        for (int g = 0; g < G; ++g) {
            const size_t u = static_cast<size_t>(g);
            const bool aside = placed.empty() || placed[u] < groupStart[u] || placed[u] > groupEnd[u];
            if (aside && !numberOnly[u]) {
                numberOnly[u] = 1;
                shortened = true;
            }
        }
        if (!shortened)
            break;
    }
    std::vector<char> shown(static_cast<size_t>(G), 1);
    // More groups than even their numbers can caption side by side: every second, third, ...
    // group keeps its number, the first and the last always.
    for (int every = 2; placed.empty() && every <= G; ++every) {
        std::vector<std::string> keptTexts;
        std::vector<int> keptAt;
        for (int g = 0; g < G; ++g) {
            shown[static_cast<size_t>(g)] = (g % every == 0 || g == G - 1) ? 1 : 0;
            if (shown[static_cast<size_t>(g)]) {
                keptTexts.push_back(texts[static_cast<size_t>(g)]);
                keptAt.push_back(captionAt[static_cast<size_t>(g)]);
            }
        }
        const std::vector<int> keptPlaces = placeCaptions(surface, keptTexts, keptAt, layout.width, gap);
        if (keptPlaces.empty())
            continue;
        placed.assign(static_cast<size_t>(G), 0);
        size_t next = 0;
        for (int g = 0; g < G; ++g)
            if (shown[static_cast<size_t>(g)])
                placed[static_cast<size_t>(g)] = keptPlaces[next++];
    }
    if (placed.empty()) {
        placed = captionAt;
        std::fill(shown.begin(), shown.end(), 1);
    }
    for (int g = 0; g < G; ++g)
        if (shown[static_cast<size_t>(g)])
            surface.textOut(placed[static_cast<size_t>(g)], 1, texts[static_cast<size_t>(g)]);
    font.size -= 1;
    surface.setFont(font);

    if (o.ShowLegend && !allRows.empty()) {
        const int tm = o.topmargin;
        const int N = roundInt(xmax * 0.95);
        const int K = N / 12;
        const int v = allRows.back().top + 2 * o.space + 2 * o.barwidth;
        PenSpec pen{Black, 1, PenSpec::Style::Solid};
        surface.setPen(pen);
        surface.moveTo(tm + 3, v - 3);
        surface.lineTo(tm + 3, v + roundInt(16 * z));
        surface.moveTo(tm + 3, v - 3);
        surface.lineTo(xmax, v - 3);
        surface.rectangle(tm + 3, v - 3, xmax, v + roundInt(16 * z));
        FontDescription legendFont = surface.font();
        legendFont.size += 1;
        legendFont.bold = true;
        surface.setFont(legendFont);
        surface.textOut(tm + 5, v, "Legend");
        legendFont.size -= 1;
        legendFont.bold = false;
        surface.setFont(legendFont);
        int n = 0;
        for (int i = 0; i < AlleleTable::Size; ++i) {
            const Tcolorset &entry = mTable.entry(i);
            if (!entry.Used)
                continue;
            ++n;
            setLegendBoxStyle(surface, mContext, entry, pen);
            surface.rectangle(tm + K * n + roundInt(10 * z), v, tm + K * n + roundInt(20 * z), v + roundInt(12 * z));
            surface.setBrush(withBrushColor(surface.brush(), White));
            const std::string label = entry.Legend.empty() ? std::string(1, codeAt(i)) : entry.Legend.substr(0, 8);
            surface.textOut(tm + K * n + roundInt(22 * z), v, label);
        }
    }
    if (mUserInterface)
        mUserInterface->setProgress(0, 0);
}

AllInOneView::Layout AllInOneView::draw(DrawSurface &surface) const
{
    const Layout result = layout(surface);
    paint(surface, result);
    return result;
}

void AllInOneView::paintForPrint(DrawSurface &page, int height, int width, double scale, double fit) const
{
    (void)height;
    if (mData.GroupCount() == 0)
        return;
    mTable.resetDrawnLengths();
    // The page keeps the stored font sizes; "3D look" has no room on paper for its shading,
    // and the printed bars carry no marker ticks.
    DrawContext context = mContext;
    context.zoom = fit;
    context.printing = true;
    context.options.ticks = false;
    if (context.options.Fillstyle == DrawingOptions::FillStyle::ThreeD)
        context.options.Fillstyle = DrawingOptions::FillStyle::Discrete;
    const DrawingOptions &o = context.options;
    const double f = fit;
    const int tm = o.topmargin;
    const int bw = o.barwidth;
    const int sp = o.space;
    const int ms = o.markspace;
    const bool cp = mData.IsCrossPollinator();
    const int a = mContext.firstShown();
    const int b = mContext.lastShown(mData.nind);
    const ViewGeometry geometry{scale, f, tm};
    const DisplayCoder coder(mData, mContext, CrossPollinatorTable::IndividualView);
    const BrushSpec clear{White, BrushSpec::Style::Clear, -1};
    const bool labels = o.drawmarkers || o.drawpos;

    const int th = page.textHeight("8HJL");
    int Y = 0;
    int ymax = 0;
    const int G = mData.GroupCount();
    for (int g = 0; g < G; ++g) {
        const auto &loci = mData.GroupLoci(g);
        if (loci.empty())
            continue;
        const double last = loci.back().Position;
        ShiftedSurface surface(page, Y);

        surface.setPen(PenSpec{Black, 1, PenSpec::Style::Solid});
        surface.setFont(o.markerFont);
        surface.moveTo(roundInt(f), roundInt(f * tm));
        drawCmRuler(surface, context, geometry, roundInt(f), th, last);

        FontDescription font = o.markerFont;
        font.size += 2;
        surface.setFont(font);
        surface.textOut(width - roundInt(surface.textWidth("__") / f), geometry.y(0.5 * last) - surface.textHeight("H") / 2,
                        formatText("%d", {g + 1}));
        font.size -= 2;
        surface.setFont(font);

        // Every locus holds a place in the label column, labelled or not, so the spreading
        // keeps the labels clear of the unlabelled markers' places too. The lowest marker is
        // wanted even without labels: the next group starts below it.
        const std::vector<char> labelled = labelledLoci(loci, o);
        std::vector<MarkerLabel> entries;
        entries.reserve(loci.size());
        int cursor = roundInt(f * tm);
        for (size_t k = 0; k < loci.size(); ++k) {
            const int marker = geometry.y(loci[k].Position);
            ymax = std::max(ymax, marker + Y);
            cursor = std::max(cursor, marker);
            entries.push_back(MarkerLabel{static_cast<int>(k), marker, cursor});
            if (labelled[k])
                cursor += th + 2;
        }
        int lastLabel = entries.back().marker;
        if (labels) {
            spreadLabels(entries, bw, th);
            std::vector<MarkerLabel> shown;
            for (const MarkerLabel &label : entries)
                if (labelled[static_cast<size_t>(label.locus)])
                    shown.push_back(label);
            const MarkerLabel *final = &entries.back();
            lastLabel = final->label;
            if (!labelsBesideTheirMarkers(shown, th)) {
                // A dense group: its labels thinned as on screen, so each stays beside its marker.
                std::vector<LabelCandidate> candidates;
                for (size_t k = 0; k < loci.size(); ++k)
                    if (labelled[k])
                        candidates.push_back(LabelCandidate{static_cast<int>(k), entries[k].marker, entries[k].marker, th + 2,
                                                            loci[k].QtlStart != 0});
                shown = placeMarkerLabels(candidates, roundInt(f * tm), bw, th);
                lastLabel = final->marker;
                final = !shown.empty() && shown.back().locus == static_cast<int>(loci.size()) - 1 ? &shown.back() : nullptr;
            }
            drawMarkerLabels(surface, loci, shown, context, geometry, ms, Black);
            if (final && labelled.back())
                lastLabel = final->marker - final->label > 2 * th ? final->marker : final->label + th + 2;
        }

        surface.setPen(PenSpec{Black, 1, PenSpec::Style::Solid});
        FontDescription black = o.markerFont;
        black.color = Black;
        surface.setFont(black);

        BarPainter painter(surface, mTable, context, geometry, coder, BarPainter::Variant::LinkageGroupView);
        const bool lastGroup = g == G - 1;
        const int nameY = geometry.y(last) + 5;
        BarSlotStepper stepper(f, bw, sp, cp, roundInt(f * (ms - bw)) + (cp ? roundInt(f * sp) : 0));
        for (const BarSlot &slot : shownBarSlots(mData, a, b, mContext.skipUnselected, stepper)) {
            const int x = slot.start;
            painter.paintBar(loci, slot.column, slot.otherColumn, slot.bar, x, slot.end);
            if (!(surface.brush() == clear))
                surface.setBrush(clear);
            if (!lastGroup)
                continue;
            const std::string &name = static_cast<size_t>(slot.individual - 1) < mData.IndividualNames.size()
                ? mData.IndividualNames[static_cast<size_t>(slot.individual - 1)]
                : std::string();
            if (o.sideways) {
                if (!cp || slot.bar == 0)
                    surface.textOutRotated(x - surface.textHeight(name) / 3, nameY, name, 270);
            } else if ((slot.slot + a) % std::max(1, o.labelfreq) == 0 || slot.slot == 0) {
                surface.textOut(x, nameY, name);
            }
        }
        Y = roundInt(40 * f) + std::max(lastLabel + Y, ymax);
    }
}

ViewPicture drawAllInOneView(const GenotypeData &data, AlleleTable &table, const DrawContext &context, int visibleWidth,
                             AllInOneView::Layout *layout, UserInterface *ui)
{
    AllInOneView view(data, table, context, visibleWidth);
    view.setUserInterface(ui);
    return recordView(view, layout);
}

} // namespace rvk
