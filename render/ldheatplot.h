#pragma once
// The LD heat plot: one square per reported pair of loci (i, j), i < j, at column i and row j,
// coloured by the strength of its LD, with the linkage groups drawn along the diagonal.
//
// With tens of thousands of loci the squares outnumber the pixels of any screen or file. The
// plot then shrinks its squares to one pixel, and where even that is too large each pixel
// stands for a block of k x k pairs painted with the strongest pair of the block (its sign
// included), so the plot keeps every strong pair visible at a size that can be shown and saved.

#include "render/drawsurface.h"
#include "settings/alleletable.h"
#include "settings/fontdescription.h"

#include <QImage>

#include <functional>
#include <string>
#include <vector>

namespace rvk {

class ViewPicture;

// The measure a heat plot shows (the order of the LD page's measure buttons).
enum class LdPlotMeasure { R2, R, MinusLogP, DPrime, ChiSquarePrime };

// The colour intensity v of a pair: round(-log10 p / 20 * 250), abs(round(R * 200)),
// round(R² * 200), round(D' * 200), round(chi-square' * 200); at most 255 and, for the -1 that
// marks a pair without p-value, at least 0 (white).
int ldHeatIntensity(LdPlotMeasure measure, double value);

// How a square of intensity v is painted: "Color" red (255, 255-v, 255-v), "B&W" grey; for
// R <= 0 colour gives blue (255-v, 255-v, 255) and B&W keeps the grey, hatched back-diagonally.
struct LdHeatFill
{
    Rgb color = 0;
    bool hatched = false;
};
LdHeatFill ldHeatFill(int intensity, bool negativeR, bool blackAndWhite);

struct LdHeatPlotInput
{
    int locusCount = 0;
    LdPlotMeasure measure = LdPlotMeasure::R2;
    // The pairs of row i: calls visit(j, value, negativeR) for every reported pair (i, j), j > i.
    std::function<void(int i, const std::function<void(int j, float value, bool negativeR)> &visit)> row;

    struct Group
    {
        int number = 1; // 1-based group number written beside its line
        int start = 0;  // analysis index of its first locus
        int count = 0;
        std::vector<double> positions; // of its loci, in analysis order
    };
    std::vector<Group> groups;        // drawn unless the cluster order is used
    bool clusterOrderUsed = false;    // the note instead of the groups
    int blockSize = 5;                // "Block size", pixels per pair
    bool blackAndWhite = false;
    int barWidth = 8;                 // width of the group lines
    FontDescription font;             // the QTL-label font
};

struct LdHeatPlotLayout
{
    int width = 0;
    int height = 0;
    int blockPixels = 1;   // pixels per square
    int pairsPerBlock = 1; // loci per square along each side
};

// The geometry for a picture of at most maxSide pixels a side: the given block size when it
// fits, else smaller squares, else one pixel per square with blocks of pairs.
LdHeatPlotLayout ldHeatPlotLayout(int locusCount, int blockSize, int maxSide);
// The plot's own geometry, whatever the number of loci: squares of blockSize pixels, one per
// pair, (L + 3) * blockSize pixels a side. The screen and the vector files use it.
LdHeatPlotLayout ldHeatPlotFullLayout(int locusCount, int blockSize);

// Paints the plot with the given geometry (from ldHeatPlotLayout).
void paintLdHeatPlot(DrawSurface &surface, const LdHeatPlotInput &input, const LdHeatPlotLayout &layout);
// Paints only what falls in the box x1..x2, y1..y2 (picture pixels, inclusive): the squares
// that meet it, and the frame and group lines, which the surface clips. A tile of the screen's
// view of a plot too large for one bitmap.
void paintLdHeatPlotRegion(DrawSurface &surface, const LdHeatPlotInput &input, const LdHeatPlotLayout &layout, int x1,
                           int y1, int x2, int y2);

// The recorded picture at most maxSide pixels a side.
ViewPicture recordLdHeatPlot(const LdHeatPlotInput &input, int maxSide, LdHeatPlotLayout *layout = nullptr);

// Vector files hold a few records per square; beyond this many pairs (about 2,000 loci) a
// file would run to hundreds of megabytes, and the plot is saved as a bitmap instead.
inline constexpr long long MaxHeatPlotVectorPairs = 2'000'000;

// The plot as a bitmap at most maxSide pixels a side (the screen, PNG and JPEG files). Squares of
// one pixel are written straight into the bitmap. A null image when memory runs out.
QImage renderLdHeatPlotImage(const LdHeatPlotInput &input, int maxSide, LdHeatPlotLayout *layout = nullptr);

// Saves the plot under path: a name ending in .png or .jpg (.jpeg) as that bitmap (at most
// bitmapSide pixels a side), .svg and .pdf as such, any other name as an enhanced metafile. The
// vector files keep the plot's own size (ldHeatPlotFullLayout), as it is shown; a plot of more
// than MaxHeatPlotVectorPairs pairs is refused for them with a message that names the bitmaps.
// writtenPath receives the name written; false with the reason in error.
bool saveLdHeatPlot(const LdHeatPlotInput &input, const std::string &path, int bitmapSide, std::string &writtenPath,
                    std::string &error);

inline constexpr const char *ClusterOrderNote = "Note: markers arranged by earlier clustering";

} // namespace rvk
