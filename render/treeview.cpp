#include "render/treeview.h"

#include "core/textformat.h"
#include "render/picturerecorder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace rvk {

namespace {

// The layout of one node: cumulative length, leaf index or mean index, anchor index.
struct Place
{
    const TDendroNode *node = nullptr;
    int parent = -1;   // index in the place list
    double cumulative = 0;
    double index = 0;  // leaf index, or the mean of the children's
    double anchor = 0; // anchor index
    int leavesBefore = 0;
    int leafCount = 0;
};

class TreeLayout
{
public:
    TreeLayout(const TDendroNode &root, const TreeDrawingOptions &options) : mOptions(options)
    {
        collect(root, -1, 0.0);
        mScale = mLongest > 0 ? 0.75 * options.width / (30.0 * mLongest) : 0.0;
    }

    const std::vector<Place> &places() const { return mPlaces; }
    double longest() const { return mLongest; }
    double scale() const { return mScale; }
    int leafCount() const { return mLeaves; }
    const std::vector<std::string> &leafLabels() const { return mLabels; }

    int x(const Place &p) const { return static_cast<int>(roundHalfEven(30 * mScale * p.cumulative)) + 10; }
    int yOf(double index) const { return static_cast<int>(roundHalfEven(mOptions.stepSize * index)) + 50; }
    int y(const Place &p) const
    {
        if (p.node->isLeaf() || mOptions.style == TreeStyle::Classic)
            return yOf(p.index);
        return yOf(p.anchor);
    }

private:
    int collect(const TDendroNode &node, int parent, double above)
    {
        const int me = static_cast<int>(mPlaces.size());
        Place place;
        place.node = &node;
        place.parent = parent;
        place.cumulative = above + node.BranchLength;
        place.leavesBefore = mLeaves;
        mLongest = std::max(mLongest, place.cumulative);
        mPlaces.push_back(place);
        if (node.isLeaf()) {
            mPlaces[me].index = mLeaves + (mOptions.style == TreeStyle::Classic ? 1.0 : 1.5);
            mPlaces[me].anchor = mPlaces[me].index;
            mPlaces[me].leafCount = 1;
            mLabels.push_back(node.Label);
            ++mLeaves;
            return me;
        }
        std::vector<int> children;
        double sum = 0;
        for (const auto &child : node.Children) {
            const int c = collect(*child, me, mPlaces[me].cumulative);
            children.push_back(c);
            sum += mPlaces[static_cast<size_t>(c)].index;
        }
        Place &p = mPlaces[static_cast<size_t>(me)];
        p.index = sum / static_cast<double>(children.size());
        p.leafCount = mLeaves - p.leavesBefore;
        const size_t m = children.size();
        int first = 0;
        for (size_t c = 0; c < m / 2; ++c)
            first += mPlaces[static_cast<size_t>(children[c])].leafCount;
        if (m % 2 == 1)
            first += mPlaces[static_cast<size_t>(children[m / 2])].leafCount / 2;
        p.anchor = p.leavesBefore + first + 1;
        return me;
    }

    const TreeDrawingOptions &mOptions;
    std::vector<Place> mPlaces;
    std::vector<std::string> mLabels;
    double mLongest = 0;
    double mScale = 0;
    int mLeaves = 0;
};

std::string lengthText(double t) { return formatText(t < 1 ? "%2.2f" : "%2.1f", {t}); }

int degrees(double angle) { return static_cast<int>(roundHalfEven(angle * 180.0 / std::numbers::pi)); }

class TreePainter
{
public:
    TreePainter(DrawSurface &surface, const TreeLayout &layout, const TreeDrawingOptions &options)
        : s(surface), L(layout), o(options), c0(options.width / 2),
          theta(layout.leafCount() > 0 ? 2 * std::numbers::pi / layout.leafCount() : 0)
    {
    }

    void paint()
    {
        s.setPen({rgb(0, 0, 0), 1, PenSpec::Style::Solid});
        for (const Place &p : L.places())
            if (p.parent >= 0)
                branch(L.places()[static_cast<size_t>(p.parent)], p);
        for (const Place &p : L.places())
            if (p.node->isLeaf())
                label(p);
        scaleBar();
    }

private:
    int radius(const Place &p) const
    {
        return static_cast<int>(roundHalfEven((L.x(p) - 10) / 2.0)) + o.stepSize;
    }
    int px(double angle, int rho) const { return c0 + static_cast<int>(roundHalfEven(rho * std::cos(angle))); }
    int py(double angle, int rho) const { return c0 + static_cast<int>(roundHalfEven(rho * std::sin(angle))); }

    void line(int x1, int y1, int x2, int y2)
    {
        s.moveTo(x1, y1);
        s.lineTo(x2, y2);
    }

    // Screen arc from angle a to angle b (clockwise angles) around the centre, radius rho.
    void circleArc(int rho, double a, double b)
    {
        if (rho <= 0 || std::fabs(a - b) * rho < 0.5)
            return;
        const double from = std::max(a, b), to = std::min(a, b);
        // The surface's arcs run counter-clockwise on the screen, from the larger angle here to
        // the smaller; the rays are given far out so their direction is exact.
        const int far = rho * 4 + 1000;
        s.arc(c0 - rho, c0 - rho, c0 + rho + 1, c0 + rho + 1, px(from, far), py(from, far), px(to, far), py(to, far));
    }

    void branch(const Place &parent, const Place &p)
    {
        const int xp = L.x(parent), x = L.x(p);
        const int ya = L.yOf(parent.anchor), y = L.y(p);
        const double t = L.scale() > 0 ? (x - xp) / (30 * L.scale()) : 0.0;
        switch (o.style) {
        case TreeStyle::Classic:
            line(xp, ya, xp, y);
            s.lineTo(x, y);
            break;
        case TreeStyle::Straight:
            line(xp, ya, x, y);
            break;
        case TreeStyle::Curved:
            curve(xp, ya, x, y);
            break;
        case TreeStyle::Circular: {
            const int rho = radius(p), rhoP = radius(parent);
            const double phi = theta * (p.index - 1), psi = theta * (parent.anchor - 1);
            if (rho >= rhoP) {
                line(px(phi, rhoP), py(phi, rhoP), px(phi, rho), py(phi, rho));
                circleArc(rhoP, psi, phi);
            }
            if (o.showDistances) {
                s.setFont(o.lengthFont);
                const int r = rhoP + (rho - rhoP) / 2 - s.textWidth("99.99") / 2;
                s.textOutRotated(px(phi, r), py(phi, r), lengthText(t), -degrees(phi));
            }
            return;
        }
        }
        if (o.showDistances) {
            s.setFont(o.lengthFont);
            const int h1 = s.textHeight("1");
            if (o.style == TreeStyle::Classic)
                s.textOut(xp + (x - xp - s.textWidth(formatText("%2.2f", {t}))) / 2, y - h1, lengthText(t));
            else
                s.textOut((xp + x) / 2, (ya + y) / 2 - h1 / 2, lengthText(t));
        }
    }

    // Two quarter ellipses: leaving the parent horizontally, vertical at the middle, arriving
    // at the node horizontally.
    void curve(int xp, int ya, int x, int y)
    {
        if (std::abs(y - ya) < 2 || x - xp < 2) {
            line(xp, ya, x, y);
            return;
        }
        const int rx = (x - xp) / 2 + 1;
        const int ry = std::abs(y - ya) / 2 + 1;
        const int m = (ya + y) / 2;
        if (y > ya) {
            // First ellipse around (xp, m): from its top to its right point, clockwise.
            s.arc(xp - rx, m - ry, xp + rx + 1, m + ry + 1, xp + rx, m, xp, m - ry);
            // Second around (x, m): from its left point to its bottom, counter-clockwise.
            s.arc(x - rx, m - ry, x + rx + 1, m + ry + 1, x - rx, m, x, m + ry);
        } else {
            s.arc(xp - rx, m - ry, xp + rx + 1, m + ry + 1, xp, m + ry, xp + rx, m);
            s.arc(x - rx, m - ry, x + rx + 1, m + ry + 1, x, m - ry, x - rx, m);
        }
    }

    void label(const Place &p)
    {
        const std::string &text = p.node->Label;
        FontDescription font = o.regularFont;
        if (const auto it = o.leafColors.find(text); it != o.leafColors.end()) {
            if (o.highlighted.count(text))
                font = o.highlightFont;
            font.color = it->second;
        }
        s.setFont(font);
        if (o.style != TreeStyle::Circular) {
            s.textOut(L.x(p) + 1, L.y(p) - s.textHeight("88") / 2, text);
            return;
        }
        const double phi = theta * (p.index - 1);
        const int rho = radius(p);
        const int h = s.textHeight(text);
        s.textOutRotated(px(phi, rho) + static_cast<int>(roundHalfEven(std::sin(phi) * h / 2.0)),
                         py(phi, rho) - static_cast<int>(roundHalfEven(std::cos(phi) * h / 2.0)), text, -degrees(phi));
    }

    void scaleBar()
    {
        const double lmax = L.longest();
        const std::string text = formatText("%2.2f", {lmax / 5});
        s.setFont(o.lengthFont);
        if (o.style != TreeStyle::Circular) {
            const int end = 10 + static_cast<int>(roundHalfEven(6 * lmax * L.scale()));
            line(10, 23, end, 23);
            line(10, 20, 10, 25);
            line(end, 20, end, 25);
            s.textOut(14, 24, text);
            return;
        }
        const int start = c0 + 20;
        const int end = start + static_cast<int>(roundHalfEven(3 * lmax * L.scale()));
        line(start, c0 + 2, end, c0 + 2);
        line(start, c0, start, c0 + 4);
        line(end, c0, end, c0 + 4);
        s.textOut(c0 + 20 + static_cast<int>(roundHalfEven(1.5 * lmax * L.scale())), c0, text);
    }

    DrawSurface &s;
    const TreeLayout &L;
    const TreeDrawingOptions &o;
    int c0;
    double theta;
};

// Passes on to a recorder what reaches into the rows top..bottom-1. A skipped line still moves
// the current point, so the next line starts where it should.
class BandFilter : public DrawSurface
{
public:
    BandFilter(PictureRecorder &out, int top, int bottom) : mOut(out), mTop(top), mBottom(bottom) {}

    void setPen(const PenSpec &pen) override { mOut.setPen(pen); }
    void setBrush(const BrushSpec &brush) override { mOut.setBrush(brush); }
    void setBrushPattern(int k) override { mOut.setBrushPattern(k); }
    void setFont(const FontDescription &font) override
    {
        mOut.setFont(font);
        mTextHeight = mOut.textHeight("Xg");
    }
    void moveTo(int x, int y) override
    {
        mX = x;
        mY = y;
        mMoved = true;
    }
    void lineTo(int x, int y) override
    {
        if (reaches(std::min(mY, y), std::max(mY, y) + 1)) {
            if (mMoved)
                mOut.moveTo(mX, mY);
            mOut.lineTo(x, y);
            mMoved = false;
        } else {
            mMoved = true;
        }
        mX = x;
        mY = y;
    }
    void rectangle(int x1, int y1, int x2, int y2) override
    {
        if (reaches(std::min(y1, y2), std::max(y1, y2)))
            mOut.rectangle(x1, y1, x2, y2);
    }
    void fillRect(int x1, int y1, int x2, int y2) override
    {
        if (reaches(std::min(y1, y2), std::max(y1, y2)))
            mOut.fillRect(x1, y1, x2, y2);
    }
    void pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override
    {
        if (reaches(std::min(y1, y2), std::max(y1, y2) + 1))
            mOut.pie(x1, y1, x2, y2, x3, y3, x4, y4);
    }
    void arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override
    {
        if (reaches(std::min(y1, y2), std::max(y1, y2) + 1))
            mOut.arc(x1, y1, x2, y2, x3, y3, x4, y4);
    }
    void textOut(int x, int y, const std::string &text) override
    {
        if (reaches(y, y + mTextHeight + 1))
            mOut.textOut(x, y, text);
    }
    int textWidth(const std::string &text) override { return mOut.textWidth(text); }
    int textHeight(const std::string &text) override { return mOut.textHeight(text); }
    void textOutRotated(int x, int y, const std::string &text, int angle) override
    {
        // A turned text reaches at most its width away from its corner.
        const int reach = mOut.textWidth(text) + mTextHeight;
        if (reaches(y - reach, y + reach + 1))
            mOut.textOutRotated(x, y, text, angle);
    }
    void drawPicture(const ViewPicture &picture, int x1, int y1, int x2, int y2) override
    {
        mOut.drawPicture(picture, x1, y1, x2, y2);
    }
    PenSpec pen() const override { return mOut.pen(); }
    BrushSpec brush() const override { return mOut.brush(); }
    FontDescription font() const override { return mOut.font(); }

private:
    bool reaches(int from, int to) const { return from < mBottom && to > mTop; }

    PictureRecorder &mOut;
    int mTop, mBottom;
    int mX = 0, mY = 0;
    bool mMoved = true;
    int mTextHeight = 20;
};

} // namespace

std::vector<ViewPicture> pictureBands(const ViewPicture &picture, int bandHeight)
{
    std::vector<ViewPicture> bands;
    bandHeight = std::max(1, bandHeight);
    for (int top = 0; top < std::max(1, picture.height()); top += bandHeight) {
        ViewPicture band(picture.width(), picture.height());
        PictureRecorder recorder(band);
        BandFilter filter(recorder, top, top + bandHeight);
        picture.replay(filter);
        bands.push_back(std::move(band));
    }
    return bands;
}

const char *treeStyleCaption(TreeStyle style)
{
    switch (style) {
    case TreeStyle::Classic:
        return "Classic";
    case TreeStyle::Straight:
        return "Straight";
    case TreeStyle::Circular:
        return "Circular";
    case TreeStyle::Curved:
        return "Curved";
    }
    return "";
}

bool treeStyleNamed(const std::string &name, TreeStyle &style)
{
    for (const TreeStyle s : {TreeStyle::Classic, TreeStyle::Straight, TreeStyle::Circular, TreeStyle::Curved}) {
        std::string caption = treeStyleCaption(s);
        caption[0] = static_cast<char>(caption[0] - 'A' + 'a');
        if (name == caption || name == treeStyleCaption(s)) {
            style = s;
            return true;
        }
    }
    return false;
}

int treePictureHeight(const TreeDrawingOptions &options, int leafCount)
{
    if (options.style == TreeStyle::Circular)
        return options.width;
    return std::max(options.stepSize * leafCount + 100, options.visibleHeight);
}

TreeDrawingInfo paintTree(DrawSurface &surface, const TDendroNode &root, const TreeDrawingOptions &options)
{
    const TreeLayout layout(root, options);
    TreeDrawingInfo info;
    info.leafCount = layout.leafCount();
    info.longestPath = layout.longest();
    info.leafLabels = layout.leafLabels();
    info.width = options.width;
    info.height = treePictureHeight(options, info.leafCount);
    surface.setBrush({options.background, BrushSpec::Style::Solid});
    surface.fillRect(0, 0, info.width, info.height);
    TreePainter(surface, layout, options).paint();
    return info;
}

ViewPicture drawTree(const TDendroNode &root, const TreeDrawingOptions &options, TreeDrawingInfo *info)
{
    ViewPicture picture;
    PictureRecorder recorder(picture);
    const TreeDrawingInfo drawn = paintTree(recorder, root, options);
    picture.setSize(drawn.width, drawn.height);
    if (info)
        *info = drawn;
    return picture;
}

std::vector<TreeNodePlace> treeNodePlaces(const TDendroNode &root, const TreeDrawingOptions &options)
{
    const TreeLayout layout(root, options);
    std::vector<TreeNodePlace> places;
    const int c0 = options.width / 2;
    const double theta = layout.leafCount() > 0 ? 2 * std::numbers::pi / layout.leafCount() : 0;
    for (const Place &p : layout.places()) {
        if (options.style != TreeStyle::Circular) {
            places.push_back({p.node, layout.x(p), layout.y(p)});
            continue;
        }
        const int rho = static_cast<int>(roundHalfEven((layout.x(p) - 10) / 2.0)) + options.stepSize;
        const double phi = theta * (p.index - 1);
        places.push_back({p.node, c0 + static_cast<int>(roundHalfEven(rho * std::cos(phi))),
                          c0 + static_cast<int>(roundHalfEven(rho * std::sin(phi)))});
    }
    return places;
}

} // namespace rvk
