#include "render/ldheatplot.h"

#include "core/safefile.h"
#include "core/textformat.h"
#include "render/paintersurface.h"
#include "render/pictureexport.h"
#include "render/picturefiles.h"
#include "render/picturerecorder.h"
#include "render/viewpicture.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace rvk {

int ldHeatIntensity(LdPlotMeasure measure, double value)
{
    long long v = 0;
    switch (measure) {
    case LdPlotMeasure::MinusLogP:
        v = roundHalfEven(value / 20.0 * 250.0);
        break;
    case LdPlotMeasure::R:
        v = std::llabs(roundHalfEven(value * 200.0));
        break;
    case LdPlotMeasure::R2:
    case LdPlotMeasure::DPrime:
    case LdPlotMeasure::ChiSquarePrime:
        v = roundHalfEven(value * 200.0);
        break;
    }
    return static_cast<int>(std::clamp(v, 0LL, 255LL));
}

LdHeatFill ldHeatFill(int v, bool negativeR, bool blackAndWhite)
{
    if (blackAndWhite)
        return {rgb(255 - v, 255 - v, 255 - v), negativeR};
    if (negativeR)
        return {rgb(255 - v, 255 - v, 255), false};
    return {rgb(255, 255 - v, 255 - v), false};
}

LdHeatPlotLayout ldHeatPlotLayout(int locusCount, int blockSize, int maxSide)
{
    LdHeatPlotLayout layout;
    const long long L = std::max(0, locusCount);
    const int b = std::max(1, blockSize);
    maxSide = std::max(maxSide, 16);
    if ((L + 3) * b <= maxSide) {
        layout.blockPixels = b;
    } else if (maxSide / (L + 3) >= 1) {
        layout.blockPixels = static_cast<int>(maxSide / (L + 3));
    } else {
        layout.blockPixels = 1;
        layout.pairsPerBlock = static_cast<int>((L + (maxSide - 3) - 1) / (maxSide - 3));
    }
    const long long blocks = (L + layout.pairsPerBlock - 1) / layout.pairsPerBlock;
    layout.width = layout.height = static_cast<int>((blocks + 3) * layout.blockPixels);
    return layout;
}

LdHeatPlotLayout ldHeatPlotFullLayout(int locusCount, int blockSize)
{
    return ldHeatPlotLayout(locusCount, blockSize, std::numeric_limits<int>::max());
}

namespace {

// The part of the picture a painting covers: all of it unless a region is given.
struct Region
{
    int x1 = std::numeric_limits<int>::min(), y1 = std::numeric_limits<int>::min();
    int x2 = std::numeric_limits<int>::max(), y2 = std::numeric_limits<int>::max();
};

class Painter
{
public:
    Painter(DrawSurface &surface, const LdHeatPlotInput &input, const LdHeatPlotLayout &layout, Region region = {})
        : s(surface), in(input), b(layout.blockPixels), k(layout.pairsPerBlock), width(layout.width), height(layout.height),
          region(region)
    {
    }

    // Squares of one pixel go straight into image (which no painter may be open on meanwhile).
    void paintPixelSquares(QImage &image)
    {
        mImage = &image;
        if (k == 1)
            paintPairs();
        else
            paintBlocks();
        mImage = nullptr;
    }

    // The frame (without filling it) and the groups, over squares painted before.
    void paintFrameAndGroups()
    {
        s.setFont(in.font);
        s.setPen({rgb(0, 0, 0), 1, PenSpec::Style::Solid});
        s.setBrush({rgb(255, 255, 255), BrushSpec::Style::Clear});
        s.rectangle(1, 1, width, height);
        if (in.clusterOrderUsed)
            s.textOut(5 * b, 2 * b, ClusterOrderNote);
        else
            paintGroups();
    }

    // Pixel of analysis index r (a fraction of a square when squares hold blocks of pairs).
    int at(double r) const { return static_cast<int>(roundHalfEven(r * b / k)); }

    void paint()
    {
        s.setFont(in.font);
        s.setPen({rgb(0, 0, 0), 1, PenSpec::Style::Solid});
        s.setBrush({rgb(255, 255, 255), BrushSpec::Style::Solid});
        s.rectangle(1, 1, width, height);
        if (in.clusterOrderUsed)
            s.textOut(5 * b, 2 * b, ClusterOrderNote);
        else
            paintGroups();
        if (k == 1)
            paintPairs();
        else
            paintBlocks();
    }

private:
    void paintGroups()
    {
        for (const LdHeatPlotInput::Group &group : in.groups) {
            const int start = group.start, n = group.count;
            const bool even = (group.number - 1) % 2 == 0;
            s.setPen({even ? rgb(192, 220, 192) : rgb(128, 128, 0), in.barWidth, PenSpec::Style::Solid});
            s.moveTo(at(start) + 3 * b, at(start));
            s.lineTo(at(start + n) + 3 * b, at(start + n));
            s.setPen({rgb(0, 0, 0), 1, PenSpec::Style::Solid});
            s.textOut(at(start) + 5 * b + 12, at(start) + 2, std::to_string(group.number));
            if (group.positions.empty())
                continue;
            const double first = group.positions.front(), last = group.positions.back();
            const int offset = at(start);
            for (int idx = 0; idx < n && idx < static_cast<int>(group.positions.size()); ++idx) {
                const int r = start + idx + 1;
                // A group whose loci all sit at one position spreads them evenly.
                const double scaled = last != first ? (group.positions[static_cast<size_t>(idx)] - first) * n / (last - first)
                                                    : static_cast<double>(idx);
                const int x = at(scaled);
                s.moveTo(at(r), at(r));
                s.lineTo(x + 3 * b + offset, x + offset);
            }
        }
    }

    void square(int x1, int y1, int x2, int y2, int intensity, bool negative)
    {
        const LdHeatFill fill = ldHeatFill(intensity, negative, in.blackAndWhite);
        if (mImage) {
            // One pixel: a hatch has no room, the pen's colour is the square's.
            if (x1 >= 0 && y1 >= 0 && x1 < mImage->width() && y1 < mImage->height())
                reinterpret_cast<QRgb *>(mImage->scanLine(y1))[x1] = qRgb(redOf(fill.color), greenOf(fill.color), blueOf(fill.color));
            return;
        }
        if (fill.hatched) {
            s.setPen({fill.color, 1, PenSpec::Style::Solid});
            s.setBrush({fill.color, BrushSpec::Style::DiagonalRising});
            s.rectangle(x1, y1, x2, y2);
        } else {
            s.setBrush({fill.color, BrushSpec::Style::Solid});
            s.fillRect(x1, y1, x2, y2);
        }
    }

    void paintPairs()
    {
        // Only the columns and rows of squares that meet the region.
        const auto first = [this](int pixel) { return pixel <= 0 ? 0 : pixel / b; };
        const int firstColumn = first(region.x1), firstRow = first(region.y1);
        const int lastColumn = region.x2 < 0 ? -1 : static_cast<int>(std::min<long long>(in.locusCount - 2, region.x2 / b));
        const int lastRow = region.y2 < 0 ? -1 : region.y2 / b;
        for (int i = firstColumn; i <= lastColumn; ++i)
            in.row(i, [&](int j, float value, bool negative) {
                if (j >= firstRow && j <= lastRow)
                    square(i * b, j * b, (i + 1) * b, (j + 1) * b, ldHeatIntensity(in.measure, value), negative);
            });
    }

    // Each pixel shows the strongest pair of its block.
    void paintBlocks()
    {
        const long long blocks = (in.locusCount + k - 1) / k;
        // Lower triangle with the diagonal, row by row: 0 none, else intensity + 1, 512 for R <= 0.
        std::vector<std::uint16_t> cells(static_cast<size_t>(blocks * (blocks + 1) / 2), 0);
        auto cellIndex = [](long long column, long long row) { return static_cast<size_t>(row * (row + 1) / 2 + column); };
        for (int i = 0; i + 1 < in.locusCount; ++i) {
            const long long column = i / k;
            in.row(i, [&](int j, float value, bool negative) {
                const int v = ldHeatIntensity(in.measure, value);
                std::uint16_t &cell = cells[cellIndex(column, j / k)];
                if (cell == 0 || v > (cell & 511) - 1)
                    cell = static_cast<std::uint16_t>((v + 1) | (negative ? 512 : 0));
            });
        }
        for (long long row = 0; row < blocks; ++row)
            for (long long column = 0; column <= row; ++column) {
                const std::uint16_t cell = cells[cellIndex(column, row)];
                if (cell == 0)
                    continue;
                const int x = static_cast<int>(column), y = static_cast<int>(row);
                square(x, y, x + 1, y + 1, (cell & 511) - 1, (cell & 512) != 0);
            }
    }

    DrawSurface &s;
    QImage *mImage = nullptr;
    const LdHeatPlotInput &in;
    const int b;
    const int k;
    const int width;
    const int height;
    const Region region;
};

} // namespace

void paintLdHeatPlot(DrawSurface &surface, const LdHeatPlotInput &input, const LdHeatPlotLayout &layout)
{
    Painter(surface, input, layout).paint();
}

void paintLdHeatPlotRegion(DrawSurface &surface, const LdHeatPlotInput &input, const LdHeatPlotLayout &layout, int x1,
                           int y1, int x2, int y2)
{
    Painter(surface, input, layout, Region{x1, y1, x2, y2}).paint();
}

ViewPicture recordLdHeatPlot(const LdHeatPlotInput &input, int maxSide, LdHeatPlotLayout *layoutOut)
{
    const LdHeatPlotLayout layout = ldHeatPlotLayout(input.locusCount, input.blockSize, maxSide);
    ViewPicture picture;
    {
        PictureRecorder recorder(picture);
        paintLdHeatPlot(recorder, input, layout);
    }
    // The frame's right and bottom edges are the picture's last pixels.
    picture.setSize(layout.width + 1, layout.height + 1);
    if (layoutOut)
        *layoutOut = layout;
    return picture;
}


namespace {

// A surface that draws nothing: the painter's pixel pass needs one to exist.
class NoSurface : public DrawSurface
{
public:
    void setPen(const PenSpec &) override {}
    void setBrush(const BrushSpec &) override {}
    void setBrushPattern(int) override {}
    void setFont(const FontDescription &) override {}
    void moveTo(int, int) override {}
    void lineTo(int, int) override {}
    void rectangle(int, int, int, int) override {}
    void fillRect(int, int, int, int) override {}
    void pie(int, int, int, int, int, int, int, int) override {}
    void arc(int, int, int, int, int, int, int, int) override {}
    void textOut(int, int, const std::string &) override {}
    int textWidth(const std::string &) override { return 0; }
    int textHeight(const std::string &) override { return 0; }
    void textOutRotated(int, int, const std::string &, int) override {}
    void drawPicture(const ViewPicture &, int, int, int, int) override {}
    PenSpec pen() const override { return {}; }
    BrushSpec brush() const override { return {}; }
    FontDescription font() const override { return {}; }
};

} // namespace

QImage renderLdHeatPlotImage(const LdHeatPlotInput &input, int maxSide, LdHeatPlotLayout *layoutOut)
{
    const LdHeatPlotLayout layout = ldHeatPlotLayout(input.locusCount, input.blockSize, maxSide);
    if (layoutOut)
        *layoutOut = layout;
    QImage image(layout.width + 1, layout.height + 1, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    if (layout.blockPixels == 1) {
        NoSurface none;
        Painter(none, input, layout).paintPixelSquares(image);
        PainterSurface surface(image);
        Painter(surface, input, layout).paintFrameAndGroups();
    } else {
        PainterSurface surface(image);
        paintLdHeatPlot(surface, input, layout);
    }
    return image;
}

bool saveLdHeatPlot(const LdHeatPlotInput &input, const std::string &path, int bitmapSide, std::string &writtenPath,
                    std::string &error)
{
    const std::string extension = pictureExtension(path);
    if (extension == "png" || extension == "jpg" || extension == "jpeg") {
        const QImage image = renderLdHeatPlotImage(input, bitmapSide);
        if (image.isNull()) {
            error = NotEnoughResourcesMessage;
            return false;
        }
        const char *format = extension == "png" ? "PNG" : "JPEG";
        writtenPath = path;
        return writeFileReplacing(
            path, [&](const std::string &temporaryPath) { return image.save(QString::fromStdString(temporaryPath), format); },
            &error);
    }
    const long long L = input.locusCount;
    if (L * (L - 1) / 2 > MaxHeatPlotVectorPairs) {
        error = formatText("The heat plot of %d loci has too many squares for a vector file; save it as PNG or JPEG.",
                           {input.locusCount});
        return false;
    }
    const ViewPicture picture = recordLdHeatPlot(input, std::numeric_limits<int>::max());
    return savePictureFile(picture, path, "emf", writtenPath, error);
}

} // namespace rvk
