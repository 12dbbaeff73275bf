#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QTableView;
class QTreeView;

namespace rvk {

class AlleleGridModel;
class LocusTreeModel;
class MainWindow;
class SortControls;

// The page "Data Sort, View, Edit": the tree of groups and loci, the fields of the chosen locus
// (name, position, QTL interval), its allele grid where single codes are typed over, the sort
// controls, and the buttons for the grid view and saving. Edits change the loci directly; the
// groups are sorted by position again when the page is left.
class DataEditPage : public QWidget
{
    Q_OBJECT

public:
    explicit DataEditPage(MainWindow &window, QWidget *parent = nullptr);
    ~DataEditPage() override;

    LocusTreeModel *treeModel() const { return mTreeModel; }
    AlleleGridModel *alleleGrid() const { return mGridModel; }
    QTreeView *tree() const { return mTree; }
    QLineEdit *nameField() const { return mName; }
    QLineEdit *positionField() const { return mPosition; }
    QLineEdit *qtlStartField() const { return mQtlStart; }
    QLineEdit *qtlEndField() const { return mQtlEnd; }
    SortControls *sortControls() const { return mSortControls; }

    // Showing the page: the tree is built anew from the data set.
    void enterPage();
    // Leaving it: every group sorted by position, nloc the last group's count, view redrawn.
    void leavePage();

    // A node of the tree was clicked (also what a click in the view does).
    void chooseNode(const QModelIndex &node);
    // The chosen locus, or -1 for none.
    int chosenGroup() const { return mGroup; }
    int chosenLocus() const { return mLocus; }

    // Leaving the fields, and "Update" (the QTL fields, the name, the position, in this order).
    void applyName();
    void applyPosition();
    void applyQtlStart();
    void applyQtlEnd();
    void update();
    // "Refresh tree".
    void refreshTree();

signals:
    // "Show && edit data in gridview" and "Save RVK data..".
    void gridViewRequested();
    void saveRequested();

private:
    bool locusChosen() const;
    void showLocusFields();
    void forgetLocus();

    MainWindow &mWindow;
    LocusTreeModel *mTreeModel = nullptr;
    AlleleGridModel *mGridModel = nullptr;
    QTreeView *mTree = nullptr;
    QTableView *mGrid = nullptr;
    QLineEdit *mName = nullptr;
    QLineEdit *mPosition = nullptr;
    QLineEdit *mQtlStart = nullptr;
    QLineEdit *mQtlEnd = nullptr;
    SortControls *mSortControls = nullptr;
    int mGroup = -1;
    int mLocus = -1;
};

} // namespace rvk
