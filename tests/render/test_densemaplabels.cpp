// Marker labels of dense maps: where a group has more markers than its label column can hold,
// the labels are thinned so that every label drawn stands beside its marker; columns that fit
// are spread as they always were.
#include "genotypeviewfixture.h"
#include "textlog.h"

#include "core/textformat.h"
#include "render/allinoneview.h"
#include "render/individualview.h"
#include "render/labellayout.h"
#include "render/linkagegroupview.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace rvk {
namespace {

using namespace rvk::test;

// The column as the views built it before thinning existed: labels from the top down, each at
// max(cursor, marker), then spread.
std::vector<MarkerLabel> spreadWithoutThinning(const std::vector<LabelCandidate> &candidates, int top, int minDistance)
{
    std::vector<MarkerLabel> labels;
    int cursor = top;
    for (const LabelCandidate &c : candidates) {
        cursor = std::max(cursor, c.y);
        labels.push_back(MarkerLabel{c.locus, c.marker, cursor});
        cursor += c.step;
    }
    spreadLabels(labels, 8, minDistance);
    return labels;
}

std::vector<LabelCandidate> candidatesAt(const std::vector<int> &ys, int step)
{
    std::vector<LabelCandidate> candidates;
    for (size_t k = 0; k < ys.size(); ++k)
        candidates.push_back(LabelCandidate{static_cast<int>(k), ys[k], ys[k], step, false});
    return candidates;
}

TEST(DenseMapLabels, ColumnsThatFitAreSpreadAsBefore)
{
    const int th = 12;
    std::vector<int> even;
    for (int k = 0; k < 20; ++k)
        even.push_back(40 + 10 * k); // 20 labels 10 pixels apart: a little crowded
    const std::vector<std::vector<int>> columns = {
        {20, 100, 180},
        {200, 200, 200, 200, 200, 200}, // six markers on one spot
        even,
        {20, 22, 24, 300, 301, 302, 303, 600},
    };
    for (const std::vector<int> &ys : columns) {
        const std::vector<LabelCandidate> candidates = candidatesAt(ys, th + 2);
        const std::vector<MarkerLabel> expected = spreadWithoutThinning(candidates, 20, th);
        const std::vector<MarkerLabel> placed = placeMarkerLabels(candidates, 20, 8, th);
        ASSERT_EQ(placed.size(), expected.size()) << ys.size() << " markers";
        for (size_t j = 0; j < placed.size(); ++j) {
            EXPECT_EQ(placed[j].locus, expected[j].locus);
            EXPECT_EQ(placed[j].label, expected[j].label) << "label " << j;
        }
    }
}

TEST(DenseMapLabels, CrowdedColumnIsThinnedSoEveryLabelStaysBesideItsMarker)
{
    // 5,000 markers over 600 pixels, labels 14 high: at most some 45 fit.
    const int th = 14;
    const int top = 20;
    const int bottom = 620;
    std::vector<int> ys;
    for (int k = 0; k < 5000; ++k)
        ys.push_back(top + (bottom - top) * k / 4999);
    std::vector<LabelCandidate> candidates = candidatesAt(ys, th + 2);
    candidates[2500].alwaysKept = true; // a QTL locus keeps its label

    const std::vector<MarkerLabel> placed = placeMarkerLabels(candidates, top, 8, th);
    ASSERT_GE(placed.size(), static_cast<size_t>((bottom - top) / (2 * (th + 2))));
    EXPECT_LE(placed.size(), static_cast<size_t>((bottom - top + 8 * th) / (th - 1) + 1));
    bool qtlKept = false;
    for (size_t j = 0; j < placed.size(); ++j) {
        const MarkerLabel &l = placed[j];
        EXPECT_LE(std::abs(l.label - l.marker), 4 * th) << "locus " << l.locus;
        EXPECT_EQ(l.marker, ys[static_cast<size_t>(l.locus)]);
        if (j > 0) {
            EXPECT_GT(l.locus, placed[j - 1].locus);
            EXPECT_GE(l.label - placed[j - 1].label, th - 1) << "labels overlap at " << j;
        }
        qtlKept = qtlKept || l.locus == 2500;
    }
    EXPECT_TRUE(qtlKept);
    // Thinned along the whole column, not only at one end.
    EXPECT_LE(placed.front().marker, top + 2 * (th + 2));
    EXPECT_GE(placed.back().marker, bottom - 2 * (th + 2));
}

std::vector<TextLog::Text> textsOf(const ViewPicture &picture)
{
    QImage image;
    return replayLoggingTexts(picture, image);
}

// One group of 5,000 markers "m1" ... over 150 cM, and three individuals.
GenotypeData denseGroup()
{
    std::vector<LocusSpec> loci;
    for (int k = 0; k < 5000; ++k)
        loci.push_back(LocusSpec{"m" + std::to_string(k + 1), 150.0 * k / 4999.0, "abh"});
    return makeData({loci}, 3);
}

TEST(DenseMapLabels, LinkageGroupViewLabelsStandBesideTheirMarkers)
{
    GenotypeData data = denseGroup();
    AlleleTable table = testTable();
    DrawContext context;
    context.visibleHeight = 700;
    context.options.ShowLegend = false;
    LinkageGroupView::Layout layout;
    const ViewPicture picture = drawLinkageGroupView(data, table, context, &layout);
    const ViewGeometry geometry{layout.scale, context.zoom, context.options.topmargin};

    int labels = 0;
    int previous = -1000;
    for (const TextLog::Text &t : textsOf(picture)) {
        // "m2482 74.4": the name, a blank and the position.
        if (t.text.size() < 2 || t.text[0] != 'm' || t.text.find(' ') == std::string::npos)
            continue;
        const int locus = std::stoi(t.text.substr(1, t.text.find(' ') - 1)) - 1;
        ASSERT_GE(locus, 0);
        ASSERT_LT(locus, 5000);
        const int marker = geometry.y(data.GroupLoci(0)[static_cast<size_t>(locus)].Position);
        const int centre = t.y + t.height / 2;
        EXPECT_LE(std::abs(centre - marker), 4 * t.height) << t.text;
        EXPECT_GE(centre - previous, t.height - 2) << t.text << " overlaps the label above";
        previous = centre;
        ++labels;
    }
    const int column = geometry.y(150.0) - geometry.y(0.0);
    EXPECT_GE(labels, column / 40);
}

// The rows with dark ink between the columns left and right (exclusive) and rows top and bottom
// (exclusive): the first and the last, or -1, -1 when there is none.
std::pair<int, int> inkRows(const QImage &image, int left, int right, int top, int bottom)
{
    int first = -1;
    int last = -1;
    for (int y = std::max(0, top); y < std::min(image.height(), bottom); ++y)
        for (int x = std::max(0, left); x < std::min(image.width(), right); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() + c.green() + c.blue() < 3 * 160) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
        }
    return {first, last};
}

TEST(DenseMapLabels, LinkageGroupViewTopLabelIsDrawnWhole)
{
    // Spreading pushes crowded labels upwards; the topmost one must not leave the picture.
    for (const int markers : {1000, 50000}) {
        std::vector<LocusSpec> loci;
        for (int k = 0; k < markers; ++k)
            loci.push_back(LocusSpec{"m" + std::to_string(k + 1), 150.0 * k / (markers - 1), "abh"});
        GenotypeData data = makeData({loci}, 3);
        AlleleTable table = testTable();
        DrawContext context;
        context.visibleHeight = 700;
        context.options.ShowLegend = false;
        context.options.cMRuler = false;
        const ViewPicture picture = drawLinkageGroupView(data, table, context);
        QImage image;
        std::vector<TextLog::Text> labels;
        for (const TextLog::Text &t : replayLoggingTexts(picture, image))
            if (t.text.size() > 1 && t.text[0] == 'm' && t.text.find(' ') != std::string::npos)
                labels.push_back(t);
        ASSERT_GE(labels.size(), 3u) << markers << " markers";
        const TextLog::Text &top = labels[0];
        const TextLog::Text &next = labels[1];
        EXPECT_GE(top.y, 0) << markers << " markers: \"" << top.text << "\" starts above the picture";
        // Every label holds digits and no descender: the whole top label has the ink height of
        // the one below it, measured inside that one's own text box.
        const auto [nextFirst, nextLast] = inkRows(image, next.x, next.x + next.width - 1, next.y, next.y + next.height);
        ASSERT_GE(nextFirst, 0) << markers << " markers";
        const auto [topFirst, topLast] = inkRows(image, top.x, top.x + top.width - 1, 0, std::min(top.y + top.height, next.y));
        ASSERT_GE(topFirst, 0) << markers << " markers";
        EXPECT_GT(topFirst, 0) << markers << " markers: the top label's ink touches the picture's edge";
        EXPECT_EQ(topLast - topFirst, nextLast - nextFirst) << markers << " markers: the top label is cut";
    }
}

TEST(DenseMapLabels, IndividualViewLabelsStandBesideTheirMarkersAboveTheFooter)
{
    GenotypeData data = denseGroup();
    AlleleTable table = testTable();
    DrawContext context;
    context.visibleHeight = 700;
    context.options.ShowLegend = false;
    context.options.drawpos = false;
    IndividualView::Layout layout;
    const ViewPicture picture = drawIndividualView(data, table, context, &layout);
    const ViewGeometry geometry{layout.scale, context.zoom, context.options.topmargin};
    const int lastMarker = geometry.y(150.0);

    int labels = 0;
    for (const TextLog::Text &t : textsOf(picture)) {
        if (t.text.size() < 2 || t.text[0] != 'm')
            continue;
        const int locus = std::stoi(t.text.substr(1)) - 1;
        const int marker = geometry.y(data.GroupLoci(0)[static_cast<size_t>(locus)].Position);
        const int centre = t.y + t.height / 2;
        EXPECT_LE(std::abs(centre - marker), 4 * t.height) << t.text;
        // Below the bar's end stand the group's name and the footer: no label hangs far into them.
        EXPECT_LE(t.y, lastMarker + 4 * t.height) << t.text;
        ++labels;
    }
    EXPECT_GE(labels, (lastMarker - geometry.y(0.0)) / 40);
}

TEST(DenseMapLabels, PrintedAllInOneLabelsStandBesideTheirMarkers)
{
    GenotypeData data = denseGroup();
    AlleleTable table = testTable();
    DrawContext context;
    context.printing = true;
    context.options.markspace = 120;
    const double scale = 4.0; // 150 cM over 600 pixels
    QImage image = whiteImage(900, 800);
    TextLog log(image);
    AllInOneView(data, table, context, 900).paintForPrint(log, 800, 900, scale, 1.0);
    const int tm = context.options.topmargin;

    int labels = 0;
    for (const TextLog::Text &t : log.texts) {
        if (t.text.size() < 2 || t.text[0] != 'm' || t.text.find(' ') == std::string::npos)
            continue;
        const int locus = std::stoi(t.text.substr(1, t.text.find(' ') - 1)) - 1;
        const double position = data.GroupLoci(0)[static_cast<size_t>(locus)].Position;
        const int marker = static_cast<int>(roundHalfEven(scale * position)) + tm; // y(p) at f = 1, Y = 0
        EXPECT_LE(std::abs(t.y + t.height / 2 - marker), 4 * t.height) << t.text;
        ++labels;
    }
    EXPECT_GE(labels, 600 / 40);
}

} // namespace
} // namespace rvk
