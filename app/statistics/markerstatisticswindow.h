#pragma once

#include "stats/markerstatistics.h"

#include <QAbstractItemModel>
#include <QAbstractTableModel>
#include <QImage>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QTableView;
class QTreeView;

namespace rvk {

class MainWindow;

// The grid markstatgrid: one row per locus, its counts and shares formatted when shown.
class MarkerStatisticsGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit MarkerStatisticsGridModel(QObject *parent = nullptr);

    void setStatistics(std::shared_ptr<const MarkerStatistics> statistics);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::shared_ptr<const MarkerStatistics> mStatistics;
    std::vector<std::string> mHeader;
};

// The tree TreeView2: "All Groups", one node per group, per locus and per used allele. Nodes are
// positions in the statistics, so tens of thousands of loci cost no item objects.
class MarkerStatisticsTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit MarkerStatisticsTreeModel(QObject *parent = nullptr);

    void setStatistics(std::shared_ptr<const MarkerStatistics> statistics);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // The statistics row of a locus node; -1 for any other node.
    int locusRow(const QModelIndex &index) const;
    QModelIndex locusIndex(int row) const;

private:
    // Every node with children has a number: the root 1, group g 2 + g, locus row r 2 + G + r.
    // An index carries its parent's number (0 for the root), which is all that finding its
    // parent and its own children needs.
    quintptr nodeNumber(const QModelIndex &index) const;
    int groupCount() const { return static_cast<int>(mFirstRow.size()) - 1; }

    std::shared_ptr<const MarkerStatistics> mStatistics;
    std::vector<int> mFirstRow; // first statistics row of each group, and the row count at the end
};

// The window of "&Marker Statistics": grid, tree, the pie of the locus chosen in the tree, the
// diversity figure, and the two saves. A run also puts the consensus genotype in place of the
// main picture.
class MarkerStatisticsWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char *NoLocusText = ". . .";

    explicit MarkerStatisticsWindow(MainWindow &window);

    // The menu command: counts every locus, stores the major alleles, fills and shows the window
    // and draws the consensus picture. Nothing happens when no group is loaded.
    void run();
    const MarkerStatistics *statistics() const { return mStatistics.get(); }

    // The pie and its caption for a locus (a statistics row), as choosing its node does.
    void showLocusPie(int row);
    // "save" and "Save as Excel File".
    void save();
    void saveAsExcel();

    QTableView *grid() const { return mGrid; }
    QTreeView *tree() const { return mTree; }
    MarkerStatisticsTreeModel *treeModel() const { return mTreeModel; }
    const QImage &pieImage() const { return mPie; }
    QLabel *locusLabel() const { return mLocusLabel; }
    QLabel *diversityLabel() const { return mDiversity; }
    QLabel *selectionNote() const { return mNote; }

private:
    void clearPie();

    MainWindow &mWindow;
    std::shared_ptr<const MarkerStatistics> mStatistics;
    MarkerStatisticsGridModel *mGridModel;
    MarkerStatisticsTreeModel *mTreeModel;
    QTableView *mGrid;
    QTreeView *mTree;
    QLabel *mLocusLabel;
    QLabel *mPieView;
    QImage mPie;
    QLabel *mDiversity;
    QLabel *mNote;
};

} // namespace rvk
