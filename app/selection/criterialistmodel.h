#pragma once

#include <QAbstractTableModel>
#include <QPixmap>

#include <array>

namespace rvk {

class MarkerCriteria;

// The criteria list of the page "Marker Selection" as a table: every cell is asked of the
// criteria when it is shown, so a data set with tens of thousands of loci costs nothing until it
// is scrolled to.
class CriteriaListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit CriteriaListModel(MarkerCriteria &criteria, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The criteria were built or emptied: the rows are new.
    void reload();
    // A criterion of one row or of every row changed; the rows stay.
    void rowChanged(int row);
    void allRowsChanged();

    // The small picture of a criterion state in the first column.
    static QPixmap statePicture(int state);

private:
    MarkerCriteria &mCriteria;
    std::array<QPixmap, 3> mStatePictures; // none, require, exclude
};

} // namespace rvk
