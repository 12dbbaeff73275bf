#pragma once

#include "core/genotypedata.h"

#include <QAbstractItemModel>

#include <unordered_map>

namespace rvk {

// The tree of the page "Data Sort, View, Edit": the root "Genome", one node per linkage group
// and under it one node per locus, read from the data set when the view asks. A node's texts
// are made on demand, so a data set of tens of thousands of loci opens at once.
class LocusTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Level { GenomeLevel, GroupLevel, LocusLevel };

    explicit LocusTreeModel(const GenotypeData &data, QObject *parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // What a node stands for: its level, its group (0-based, -1 for the root) and its locus
    // within the group (-1 above the loci).
    static Level level(const QModelIndex &index);
    static int group(const QModelIndex &index);
    static int locus(const QModelIndex &index);
    QModelIndex rootIndex() const;
    QModelIndex groupIndex(int group) const;
    QModelIndex locusIndex(int group, int locus) const;

    // The texts of the nodes: "group 1: \"chr1\"" and "\"m1\" (1: 12.5)".
    static QString groupText(const GenotypeData &data, int group);
    static QString locusText(const GenotypeData &data, int group, int locus);

    // The node of an edited locus keeps the text it had until the tree is built again; after a
    // position edit it shows the name and the new position.
    void keepText(int group, int locus);
    void showEditedPosition(int group, int locus);

    // The tree is built anew from the data set.
    void rebuild();

private:
    static quintptr idOf(int group, int locus) { return (static_cast<quintptr>(group + 1) << 32) | static_cast<quintptr>(locus + 1); }

    const GenotypeData &mData;
    std::unordered_map<quintptr, QString> mKeptTexts;
};

} // namespace rvk
