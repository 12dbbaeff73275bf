#pragma once
// The tree window's dendrogram: a tree of TDendroNode drawn in one of four styles, with branch
// lengths, a scale bar and leaf labels in their colours, highlighted leaves in a font of their
// own. The window and the command line collect the options into TreeDrawingOptions.

#include "io/newicknode.h"
#include "render/drawsurface.h"
#include "render/viewpicture.h"
#include "settings/fontdescription.h"

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace rvk {

enum class TreeStyle { Classic, Straight, Circular, Curved };

// "Classic", "Straight", "Circular", "Curved"; and the command line's lower-case names.
const char *treeStyleCaption(TreeStyle style);
bool treeStyleNamed(const std::string &name, TreeStyle &style);

constexpr Rgb NavyColor = rgb(0, 0, 128);

struct TreeDrawingOptions
{
    TreeStyle style = TreeStyle::Classic;
    bool showDistances = false;
    int stepSize = 25;       // "Vertical step size": pixels per leaf
    int width = 800;         // W, the window's width less 10
    int visibleHeight = 0;   // the picture is at least this high
    FontDescription regularFont{"Tahoma", 9, NavyColor, false};
    FontDescription highlightFont{"Arial", 9, rgb(255, 0, 0), true};
    FontDescription lengthFont{"Arial Narrow", 8, rgb(128, 0, 0), false};
    FontDescription supportFont{"Arial", 8, rgb(128, 0, 128), true};
    // Leaf list: a label's colour, and whether it is ticked (highlighted). A label not in the
    // list keeps the regular font and colour.
    std::unordered_map<std::string, Rgb> leafColors;
    std::unordered_set<std::string> highlighted;
    Rgb background = rgb(255, 255, 255);
};

struct TreeDrawingInfo
{
    int width = 0, height = 0;
    int leafCount = 0;
    double longestPath = 0;              // Lmax
    std::vector<std::string> leafLabels; // in drawing order
};

// The picture's size for a tree of leafCount leaves.
int treePictureHeight(const TreeDrawingOptions &options, int leafCount);

// Paints the tree onto surface (width x height from treePictureHeight).
TreeDrawingInfo paintTree(DrawSurface &surface, const TDendroNode &root, const TreeDrawingOptions &options);
// Records the drawing as a picture of its size.
ViewPicture drawTree(const TDendroNode &root, const TreeDrawingOptions &options, TreeDrawingInfo *info = nullptr);

// A tall picture cut into bands of bandHeight pixels, each holding only the operations that
// reach into it (every pen, brush and font change is kept), at the picture's own coordinates.
// A window that scrolls through a tree of thousands of leaves replays the bands it shows.
std::vector<ViewPicture> pictureBands(const ViewPicture &picture, int bandHeight);

// Where the painter put the nodes (for the tests and the pointer): x and y of each node in
// drawing order (depth first), as paintTree places them for non-circular styles, and the
// leaves' points for "Circular".
struct TreeNodePlace
{
    const TDendroNode *node;
    int x, y;
};
std::vector<TreeNodePlace> treeNodePlaces(const TDendroNode &root, const TreeDrawingOptions &options);

} // namespace rvk
