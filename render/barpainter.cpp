#include "render/barpainter.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "render/comparisoncolouring.h"

#include <algorithm>
#include <cmath>

namespace rvk {

namespace {

constexpr Rgb White = rgb(255, 255, 255);
constexpr Rgb Black = rgb(0, 0, 0);

int roundInt(double value) { return static_cast<int>(roundHalfEven(value)); }

// One row of the cross-pollinator table: when the condition holds the code becomes ifTrue
// or ifFalse by the choice test; afterwards, whatever the condition, the code becomes 'U'
// when the unknown test holds.
struct Test
{
    char code = 0;      // the code must be this (0: any)
    char other = 0;     // the other character must be this (0: any)
    int phaseDigit = 0; // 1: d1 must be '1'; 2: d2 must be '1'
    bool never = false;
};

struct CrossPollinatorRule
{
    const char *segType;
    Test when;
    Test choose;
    char ifTrue;
    char ifFalse;
    Test unknown;
};

constexpr Test Always{};
constexpr Test Never{0, 0, 0, true};
constexpr Test D1{0, 0, 1};
constexpr Test D2{0, 0, 2};
constexpr Test codeIs(char c, int digit = 0) { return Test{c, 0, digit}; }
constexpr Test otherIs(char c, int digit = 0) { return Test{0, c, digit}; }

// The linkage-group view shows what each parent passed on, one bar per parent.
constexpr CrossPollinatorRule FullBar0[] = {
    {"<lmxll>", D1, codeIs('l'), 'm', 'l', Never},
    {"<efxeg>", D1, codeIs('f'), 'e', 'f', Never},
    {"<hkxhk>", D1, codeIs('h'), 'k', 'h', Never},
    {"<abxcd>", D1, codeIs('a'), 'b', 'a', Never},
    {"<abxaa>", otherIs('B', 1), Always, 'B', 'B', Never},
    {"<abxab>", D1, Always, 'B', 'B', codeIs('B')},
};
constexpr CrossPollinatorRule FullBar1[] = {
    {"<aaxab>", Always, codeIs('B', 2), 'D', 'C', Never},
    {"<nnxnp>", D2, codeIs('p'), 'n', 'p', Never},
    {"<efxeg>", D2, codeIs('g'), 'e', 'g', Never},
    {"<hkxhk>", D2, codeIs('k'), 'h', 'k', Never},
    {"<abxcd>", D2, codeIs('c'), 'd', 'c', Never},
    {"<abxaa>", codeIs('B', 1), Always, 'A', 'A', Never},
    {"<abxab>", Always, D1, 'D', 'C', otherIs('B')},
};
constexpr CrossPollinatorRule ReducedBar0[] = {
    {"<aaxab>", Always, otherIs('B', 2), 'D', 'C', Never},
    {"<abxaa>", otherIs('B', 1), Always, 'B', 'B', Never},
    {"<abxab>", D1, Always, 'B', 'B', codeIs('B')},
};
constexpr CrossPollinatorRule ReducedBar1[] = {
    {"<aaxab>", Always, codeIs('B', 2), 'D', 'C', Never},
    {"<abxaa>", codeIs('B', 1), Always, 'A', 'A', Never},
    {"<abxab>", Always, D1, 'D', 'C', otherIs('B')},
};

template <size_t N> const CrossPollinatorRule *findRule(const CrossPollinatorRule (&rules)[N], const std::string &segType)
{
    for (const auto &rule : rules)
        if (segType == rule.segType)
            return &rule;
    return nullptr;
}

bool holds(const Test &test, char code, char other, char d1, char d2)
{
    if (test.never)
        return false;
    if (test.code && code != test.code)
        return false;
    if (test.other && other != test.other)
        return false;
    if (test.phaseDigit == 1 && d1 != '1')
        return false;
    if (test.phaseDigit == 2 && d2 != '1')
        return false;
    return true;
}

} // namespace

int ViewGeometry::y(double position) const
{
    return roundInt(zoom * static_cast<double>(roundHalfEven(scale * position) + topMargin));
}

int ViewGeometry::zoomed(double length) const { return roundInt(zoom * length); }

DisplayCoder::DisplayCoder(const std::string &popt, bool deducePhase, CrossPollinatorTable table)
    : mCrossPollinator(popt == "cp")
    , mHaploidPhase(deducePhase && GenotypeData::IsHaploidType(popt))
    , mTable(table)
{
}

DisplayCoder::DisplayCoder(const GenotypeData &data, const DrawContext &context, CrossPollinatorTable table)
    : DisplayCoder(data.popt, context.deducePhase, table)
{
    const ComparisonReferences references = comparisonReferences(data, context.options);
    mReference = references.reference;
    mDonor = references.donor;
}

DisplayCoder::LocusRules DisplayCoder::rulesFor(const Tlocinfo &locus) const
{
    LocusRules rules;
    if (mHaploidPhase && locus.Phase == "{1}")
        rules.swapAB = true;
    if (mCrossPollinator) {
        const size_t open = locus.Phase.find('{');
        if (open != std::string::npos) {
            if (open + 1 < locus.Phase.size() && locus.Phase[open + 1] != '}')
                rules.d1 = locus.Phase[open + 1];
            if (rules.d1 && open + 2 < locus.Phase.size() && locus.Phase[open + 2] != '}')
                rules.d2 = locus.Phase[open + 2];
        }
        if (mTable == CrossPollinatorTable::LinkageGroupView) {
            rules.bar0 = findRule(FullBar0, locus.SegType);
            rules.bar1 = findRule(FullBar1, locus.SegType);
        } else {
            rules.bar0 = findRule(ReducedBar0, locus.SegType);
            rules.bar1 = findRule(ReducedBar1, locus.SegType);
        }
    }
    if (mReference >= 0) {
        // The references' own codes, drawn the way theirs would be, bar by bar.
        const int width = mCrossPollinator ? 2 : 1;
        auto referenceCode = [&](int individual, int bar) -> char {
            const size_t at = static_cast<size_t>(individual) * static_cast<size_t>(width);
            if (individual < 0 || at + static_cast<size_t>(width) > locus.Genotypes.size())
                return UnknownCode;
            if (!mCrossPollinator)
                return plainCode(rules, locus.Genotypes[at], 0, bar);
            return plainCode(rules, locus.Genotypes[at + static_cast<size_t>(bar)], locus.Genotypes[at + static_cast<size_t>(1 - bar)], bar);
        };
        for (int bar = 0; bar < width; ++bar) {
            rules.reference[bar] = referenceCode(mReference, bar);
            rules.donor[bar] = mDonor >= 0 ? referenceCode(mDonor, bar) : 0;
        }
        if (!mCrossPollinator)
            rules.reference[1] = rules.reference[0], rules.donor[1] = rules.donor[0];
        rules.compare = true;
    }
    return rules;
}

char DisplayCoder::code(const LocusRules &rules, char code, char other, int bar) const
{
    code = plainCode(rules, code, other, bar);
    if (!rules.compare)
        return code;
    const int b = bar & 1;
    return rules.donor[b] ? comparisonCategory(code, rules.reference[b], rules.donor[b]) : comparisonCategory(code, rules.reference[b]);
}

char DisplayCoder::plainCode(const LocusRules &rules, char code, char other, int bar) const
{
    const auto *rule = static_cast<const CrossPollinatorRule *>(bar == 0 ? rules.bar0 : rules.bar1);
    if (rule) {
        if (holds(rule->when, code, other, rules.d1, rules.d2))
            code = holds(rule->choose, code, other, rules.d1, rules.d2) ? rule->ifTrue : rule->ifFalse;
        if (holds(rule->unknown, code, other, rules.d1, rules.d2))
            code = 'U';
    }
    if (rules.swapAB) {
        if (code == 'a')
            code = 'b';
        else if (code == 'b')
            code = 'a';
    }
    return code;
}

char DisplayCoder::code(const Tlocinfo &locus, std::string_view genotype, int bar) const
{
    if (genotype.empty())
        return UnknownCode;
    if (mCrossPollinator && genotype.size() >= 2)
        return code(rulesFor(locus), genotype[static_cast<size_t>(bar & 1)], genotype[static_cast<size_t>(1 - (bar & 1))], bar);
    return code(rulesFor(locus), genotype[0], 0, bar);
}

char displayCode(const Tlocinfo &locus, std::string_view genotype, int bar, const std::string &popt, bool deducePhase,
                 CrossPollinatorTable table)
{
    return DisplayCoder(popt, deducePhase, table).code(locus, genotype, bar);
}

FontDescription startMarkerFont(const DrawContext &context, bool shrinkWhenZoomedOut)
{
    FontDescription font = context.options.markerFont;
    const double z = context.zoom;
    if (shrinkWhenZoomedOut && z < 1)
        font.size -= roundInt(0.5 / z);
    if (!context.printing)
        font.size += roundInt(2 * z) - 2;
    return font;
}

BrushSpec::Style hatchStyle(int hatch)
{
    switch (colorHatchStyle(hatch)) {
    case ColorHatchStyle::DiagonalRising: return BrushSpec::Style::DiagonalRising;
    case ColorHatchStyle::Cross: return BrushSpec::Style::Cross;
    case ColorHatchStyle::DiagonalCross: return BrushSpec::Style::DiagonalCross;
    case ColorHatchStyle::DiagonalFalling: return BrushSpec::Style::DiagonalFalling;
    case ColorHatchStyle::Horizontal: return BrushSpec::Style::Horizontal;
    case ColorHatchStyle::Vertical: return BrushSpec::Style::Vertical;
    case ColorHatchStyle::Solid: break;
    }
    return BrushSpec::Style::Solid;
}

BrushSpec segmentBrush(const DrawContext &context, Rgb colour, int hatch)
{
    if (!context.isColour())
        return patternBrushSpec(hatch);
    const bool useHatch = context.options.hatchgrp == DrawingOptions::HatchGroup::UseHatch;
    return BrushSpec{colour, useHatch ? hatchStyle(hatch) : BrushSpec::Style::Solid, -1};
}

// ---------------------------------------------------------------------------------------------

BarPainter::BarPainter(DrawSurface &surface, AlleleTable &table, const DrawContext &context, const ViewGeometry &geometry,
                       const DisplayCoder &coder, Variant variant)
    : mSurface(surface)
    , mTable(table)
    , mContext(context)
    , mGeometry(geometry)
    , mCoder(coder)
    , mVariant(variant)
    , mRun(surface, FigureRun::Direction::Down)
{
}

void BarPainter::prepare(const std::vector<Tlocinfo> &loci)
{
    if (mPrepared == &loci && mPreparedCount == loci.size())
        return;
    mPrepared = &loci;
    mPreparedCount = loci.size();
    const size_t n = loci.size();
    mRules.resize(n);
    mMarkerY.resize(n);
    mBoundaryY.resize(n);
    mLength.resize(n);
    for (size_t k = 0; k < n; ++k) {
        mRules[k] = mCoder.rulesFor(loci[k]);
        const double p = loci[k].Position;
        double half = 0.0, d = 0.0;
        if (k + 1 < n) {
            d = loci[k + 1].Position - p;
            half = d / 2;
        }
        mLength[k] = d;
        mMarkerY[k] = mGeometry.y(p);
        mBoundaryY[k] = mGeometry.y(p + half);
    }
}

void BarPainter::paintBar(const std::vector<Tlocinfo> &loci, int column, int otherColumn, int bar, int left, int right,
                          int qtlRight)
{
    mRun.start();
    if (loci.empty())
        return;
    prepare(loci);

    const DrawingOptions &o = mContext.options;
    const bool colour = mContext.isColour();
    const bool individualView = mVariant == Variant::IndividualView;
    const int n = static_cast<int>(loci.size());
    auto character = [&](const Tlocinfo &locus, int index) -> char {
        if (index < 0)
            return 0;
        return static_cast<size_t>(index) < locus.Genotypes.size() ? locus.Genotypes[static_cast<size_t>(index)] : UnknownCode;
    };

    // The figure state as the painting steps leave it.
    BrushSpec brush = mRun.brush();
    PenSpec pen = mRun.pen();

    const char first = character(loci[0], column);
    // The comparison mode's table lists exactly its categories.
    Tcolorset &firstEntry = mTable.lookup(mCoder.comparing() ? mCoder.code(mRules[0], first, character(loci[0], otherColumn), bar) : first);
    if (!individualView && !mCoder.comparing())
        firstEntry.Used = true;
    brush = withBrushColor(brush, firstEntry.Color);
    pen.color = firstEntry.Color;
    // The gradient runs from the allele of the previous marker, so QTL bars and ticks drawn in
    // between do not colour it.
    Rgb previous = firstEntry.Color;

    const bool threeDWide = o.Fillstyle == DrawingOptions::FillStyle::ThreeD && o.barwidth > 9;
    const bool gradient = o.Fillstyle == DrawingOptions::FillStyle::Gradient;
    const int tip = roundInt(4 * mGeometry.zoom);
    int top = mGeometry.y(loci[0].Position);
    // Whether a repeated allele may simply lengthen the figure before it: not with ticks
    // between the segments; a gradient row figure ends one row below its marker.
    const bool extendable = !(o.ticks && !individualView);
    const int extendRows = gradient && colour ? 1 : 0;
    // The code whose figure is the one in hand, if any.
    char pendingCode = 0;

    for (int k = 0; k < n; ++k) {
        const Tlocinfo &locus = loci[static_cast<size_t>(k)];
        const char raw = character(locus, column);
        if (locus.QtlStart != 0) {
            mRun.flush();
            pendingCode = 0;
            const char qtlCode = mCoder.comparing() ? mCoder.code(mRules[static_cast<size_t>(k)], raw, character(locus, otherColumn), bar) : raw;
            const Rgb qtlColour = mTable.lookup(qtlCode).Color;
            brush = withBrushColor(brush, qtlColour);
            pen.color = qtlColour;
            mRun.usePen(pen);
            mRun.useBrush(brush);
            mSurface.rectangle(qtlRight + 2, mGeometry.y(locus.QtlStart), qtlRight + 2 + o.qtlbarwidth, mGeometry.y(locus.QtlEnd));
            continue;
        }
        const int markerY = mMarkerY[static_cast<size_t>(k)];
        int bottom = mBoundaryY[static_cast<size_t>(k)];
        const char code = mCoder.code(mRules[static_cast<size_t>(k)], raw, character(locus, otherColumn), bar);
        Tcolorset &entry = mTable.lookup(code);
        entry.DrawnLength += mLength[static_cast<size_t>(k)];

        // The same allele again, with nothing drawn in between: the figure in hand grows.
        if (code == pendingCode && extendable && mRun.hasPending() && mRun.pending().mergeable && top == mRun.pending().y2 - extendRows
            && !(o.roundtip && k == n - 1)) {
            if (gradient && colour) {
                bottom = markerY;
                if (bottom > top)
                    mRun.pending().y2 = bottom + 1;
            } else if (bottom > top) {
                mRun.pending().y2 = bottom;
            }
            top = bottom;
            continue;
        }
        // Set again below once this segment's figure is the one in hand.
        pendingCode = 0;

        pen.color = colour ? entry.Color : Black;
        if (!colour && individualView)
            pen.style = PenSpec::Style::None;
        brush = segmentBrush(mContext, entry.Color, entry.Hatch);

        FigureRun::Figure f{.brush = brush, .pen = pen, .x1 = left, .y1 = top, .x2 = right, .y2 = bottom};
        const bool outlineLikeFill = colour && FigureRun::outlineMatchesFill(pen, brush);

        if (gradient && colour) {
            bottom = markerY;
            const int rows = bottom - top;
            if (rows > 0)
                mRun.addGradient(f, previous, entry.Color, top, rows);
        } else if (gradient) {
            f.kind = FigureRun::Kind::FillRect;
            f.mergeable = true;
            mRun.add(f);
        } else if (threeDWide) {
            f.kind = FigureRun::Kind::ThreeD;
            f.mergeable = outlineLikeFill;
            mRun.add(f);
        } else if (individualView && o.Fillstyle == DrawingOptions::FillStyle::ThreeD) {
            f.kind = FigureRun::Kind::FillRect;
            f.mergeable = true;
            mRun.add(f);
        } else {
            if (o.roundtip && (k == n - 1 || k == 0)) {
                mRun.flush();
                mRun.usePen(pen);
                mRun.useBrush(brush);
                if (k == n - 1)
                    mSurface.pie(left + 1, bottom - tip, right, bottom + tip, left, bottom, right, bottom);
                if (k == 0)
                    mSurface.pie(left + 1, top - tip, right, top + tip, right, top, left, top);
            }
            if (individualView) {
                f.kind = FigureRun::Kind::RectangleThenFill;
                const bool opaque = brush.style == BrushSpec::Style::Solid || brush.style == BrushSpec::Style::Pattern;
                f.mergeable = opaque || pen.style == PenSpec::Style::None;
            } else {
                f.kind = FigureRun::Kind::Rectangle;
                f.mergeable = outlineLikeFill;
            }
            mRun.add(f);
        }
        if (colour)
            previous = entry.Color;
        if (mRun.hasPending() && mRun.pending().y2 == (gradient && colour ? bottom + 1 : bottom) && mRun.pending().y2 > mRun.pending().y1 && bottom > top)
            pendingCode = code;

        if (o.ticks && !individualView) {
            mRun.flush();
            pen.color = Black;
            mRun.usePen(pen);
            mSurface.moveTo(left, markerY);
            mSurface.lineTo(right, markerY);
        }
        if (individualView) {
            if (brush.style == BrushSpec::Style::Pattern)
                brush.pattern = -1;
            brush.style = BrushSpec::Style::Solid;
            if (!colour) {
                pen.style = PenSpec::Style::Solid;
                pen.color = Black;
            }
        }
        top = bottom;
    }
    mRun.flush();
    mLastEnd = top;

    brush.style = BrushSpec::Style::Clear;
    brush.color = White;
    brush.pattern = -1;
    pen.width = 1;
    mRun.usePen(pen);
    mRun.useBrush(brush);
}

// ---------------------------------------------------------------------------------------------

int drawCmRuler(DrawSurface &surface, const DrawContext &context, const ViewGeometry &geometry, int x, int textHeight,
                double maxPosition)
{
    const double z = geometry.zoom;
    const int last = static_cast<int>(std::trunc(maxPosition / 5)) + 1;
    const int lastY = roundInt(z * static_cast<double>(roundHalfEven(last * geometry.scale * 5) + geometry.topMargin));
    if (!context.options.cMRuler)
        return lastY;
    PenSpec pen = surface.pen();
    surface.moveTo(x, geometry.y(0));
    const int tickEnd = roundInt(5 * z);
    for (int i = 0; i <= last; ++i) {
        const int yi = roundInt(z * static_cast<double>(roundHalfEven(i * geometry.scale * 5) + geometry.topMargin));
        pen.width = 2;
        surface.setPen(pen);
        surface.lineTo(x, yi);
        pen.width = 1;
        surface.setPen(pen);
        surface.lineTo(tickEnd, yi);
        if (i % 5 == 0)
            surface.textOut(tickEnd, yi - textHeight / 2, formatText("%d", {i * 5}));
        surface.moveTo(x, yi);
    }
    return lastY;
}

void setLegendBoxStyle(DrawSurface &surface, const DrawContext &context, const Tcolorset &entry, PenSpec pen)
{
    if (context.isColour()) {
        surface.setBrush(segmentBrush(context, entry.Color, entry.Hatch));
        pen.color = context.options.useHatch() ? entry.Color : Black;
    } else {
        surface.setBrushPattern(entry.Hatch);
        pen.color = Black;
    }
    surface.setPen(pen);
}

LegendPlacement linkageGroupLegendPlacement(const DrawContext &context, int width, int height)
{
    LegendPlacement placement;
    const double z = context.zoom;
    const int tm = context.options.topmargin;
    placement.x = width - roundInt(22 * z);
    placement.bottom = roundInt((height - tm) * 0.95);
    return placement;
}

void drawLegend(DrawSurface &surface, const AlleleTable &table, const DrawContext &context, const LegendPlacement &placement)
{
    const DrawingOptions &o = context.options;
    if (!o.ShowLegend)
        return;
    const double z = context.zoom;
    const int tm = o.topmargin;
    const int x0 = placement.x;
    const int rowHeight = placement.bottom / 12;

    PenSpec pen = surface.pen();
    pen.color = Black;
    pen.style = PenSpec::Style::Solid;
    pen.width = placement.headerPenWidth;
    surface.setPen(pen);
    surface.moveTo(x0 - 3, tm + 3);
    surface.lineTo(x0 + roundInt(16 * z), tm + 3);
    surface.moveTo(x0 - 3, tm + 3);
    surface.lineTo(x0 - 3, placement.bottom);
    pen.width = 1;
    surface.setPen(pen);

    FontDescription font = surface.font();
    font.size += 1;
    font.bold = true;
    surface.setFont(font);
    surface.textOutRotated(x0 + 2, tm + 5, "Legend", 270);
    font.bold = false;
    font.size -= 1;
    surface.setFont(font);

    int n = 0;
    for (int i = 0; i < AlleleTable::Size; ++i) {
        const Tcolorset &entry = table.entry(i);
        if (!entry.Used)
            continue;
        ++n;
        setLegendBoxStyle(surface, context, entry, pen);
        surface.rectangle(x0, tm + roundInt(placement.boxTop * z) + rowHeight * n, x0 + roundInt(12 * z),
                          tm + roundInt(placement.boxBottom * z) + rowHeight * n);
        surface.setBrush(withBrushColor(surface.brush(), White));
        const std::string label = entry.Legend.empty() ? std::string(1, codeAt(i)) : entry.Legend.substr(0, 8);
        surface.textOutRotated(x0 + 2, tm + roundInt(22 * z) + rowHeight * n, label, 270);
    }
}

void drawFooter(DrawSurface &surface, const DrawContext &context, int width, int height, int textHeight, int group,
                const std::string &groupName)
{
    if (!context.options.showtext)
        return;
    FontDescription font = surface.font();
    font.size += 2;
    surface.setFont(font);
    surface.textOut(width / 3, height - textHeight,
                    "Group " + formatText("%d", {group + 1}) + "  [" + groupName + "]  " + context.options.Customtext);
}

} // namespace rvk
