#pragma once
// The tree window "Treeform": the dendrogram of the last tree in one of four styles, leaf
// highlighting and colours, picture saving, printing and copying, the Newick text, the node
// dump and the cophenetic correlation.

#include "genetics/cophenetic.h"
#include "genetics/distancematrix.h"
#include "io/newicknode.h"
#include "render/treeview.h"
#include "render/viewpicture.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPagedPaintDevice;
class QPlainTextEdit;
class QScrollArea;
class QSpinBox;
class QTabWidget;
class QTableView;

class QChartView;

namespace rvk {

class DistanceGridModel;
class UserInterface;

class TreeWindow : public QWidget
{
    Q_OBJECT

public:
    enum Tab { DendrogramTab, HighlightTab, StatsTab };

    explicit TreeWindow(UserInterface &ui, QWidget *parent = nullptr);
    ~TreeWindow() override;

    // A tree built from a distance matrix: its Newick line, the matrix (labels and distances).
    // Warns "ttree error" when the parentheses of the inner text do not balance, and shows the
    // tree all the same.
    void showTree(const std::string &newick, std::shared_ptr<const DistanceMatrix> matrix);
    // A Newick file of any program; false (after a message) when it holds no readable tree.
    bool openTreeFile(const std::string &path);
    void openTreeFileDialog(); // "Open Tree.."

    // "draw": a new picture from the tree, or from the text box when there is no tree.
    void draw();
    void saveImage();               // "Save"
    void printTree();               // the print button
    void printTo(QPagedPaintDevice &device);
    void copyImageToClipboard();    // "copy image to clipboard"
    void saveTreeDescription();     // "Save Tree Description"
    void calculateCophenetic();     // "Calc.."
    void checkSelectedLeaves(bool checked); // "check/uncheck selected genotypes"
    void colourSelectedLeaves(unsigned colour);
    void acceptHighlights();        // "OK"

    // Replaceable for tests: the colour choice of a right click, the printer's set-up.
    void setColourChooser(std::function<std::optional<unsigned>(unsigned current)> chooser) { mChooseColour = std::move(chooser); }

    TreeDrawingOptions &options() { return mOptions; }
    void setStyle(TreeStyle style);
    void setShowDistances(bool show);
    void setStepSize(int step);
    const ViewPicture &picture() const { return mPicture; }
    const TreeDrawingInfo &drawingInfo() const { return mInfo; }
    // The tree drawn: the one handed over or opened, else the one last read from the text box.
    const TDendroNode *treeRoot() const { return mRoot ? mRoot.get() : mTextRoot.get(); }
    QString treeText() const;
    void setTreeText(const QString &text);
    QString dumpText() const;
    QString copheneticText() const;
    // Points in the cophenetic chart of the "Stats" page.
    int copheneticPointCount() const;
    QChartView *copheneticChart() const { return mChart; }
    // The "Stats" page without result: its numbers belonged to another tree.
    void clearStats();
    // No tree: the tree, its matrix, text, drawing, leaf list and statistics go.
    void clearTree();
    bool hasTree() const { return treeRoot() != nullptr || mMatrix != nullptr; }
    QListWidget *leafList() const { return mLeafList; }
    QTabWidget *tabs() const { return mTabs; }
    DistanceGridModel *gridModel() const { return mGridModel; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    class Canvas;
    void buildDendrogramTab();
    void buildHighlightTab();
    void buildStatsTab();
    void fillLeafList();
    void adoptLeafLabels(std::vector<std::string> labels);
    void collectLeafLooks();
    void showMatrixGrid();
    void showGrid();

    UserInterface &mUi;
    TreeDrawingOptions mOptions;
    std::unique_ptr<TDendroNode> mRoot;     // handed over by a tree command or opened from a file
    std::unique_ptr<TDendroNode> mTextRoot; // without one: read from the text box at each drawing
    std::string mTextRead;                  // the text box's text at the last reading
    std::vector<std::string> mLeafLabels;
    std::shared_ptr<const DistanceMatrix> mMatrix;
    std::optional<CopheneticResult> mCophenetic;
    ViewPicture mPicture;
    std::vector<ViewPicture> mBands; // the picture cut for painting
    TreeDrawingInfo mInfo;
    std::function<std::optional<unsigned>(unsigned)> mChooseColour;
    struct LeafLooks
    {
        std::unordered_map<std::string, Rgb> colors;
        std::unordered_set<std::string> ticked;
    } mKeptLooks; // of the list a tree of other leaves replaced, until the new list is made
    bool mDrawing = false;

    QTabWidget *mTabs = nullptr;
    QComboBox *mStyle = nullptr;
    QCheckBox *mShowDistances = nullptr;
    QSpinBox *mStep = nullptr;
    QScrollArea *mScroll = nullptr;
    Canvas *mCanvas = nullptr;
    QLineEdit *mTreeText = nullptr;
    QListWidget *mLeafList = nullptr;
    QPlainTextEdit *mDump = nullptr;
    QLabel *mResult = nullptr;
    QLabel *mStatus = nullptr;
    QChartView *mChart = nullptr;
    QTableView *mGrid = nullptr;
    DistanceGridModel *mGridModel = nullptr;
};

} // namespace rvk
