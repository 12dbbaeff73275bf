#pragma once

#include "io/textgrid.h"

#include <QAbstractTableModel>

namespace rvk {

// A TextGrid as an editable table. The cells stay in the grid; the model only answers for the
// cells the view shows, so grids of a whole data set stay cheap. With fixed headings, row 0 and
// column 0 of the grid become the view's header sections and the cells start at (1, 1).
class TextGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TextGridModel(TextGrid &grid, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void setHeadingsFixed(bool fixed);
    bool headingsFixed() const { return mOffset == 1; }
    // Grid column and row of a model index, and back.
    int gridColumn(const QModelIndex &index) const { return index.column() + mOffset; }
    int gridRow(const QModelIndex &index) const { return index.row() + mOffset; }
    QModelIndex indexOf(int column, int row) const { return index(row - mOffset, column - mOffset); }

    // The grid changed its size or many of its cells.
    void reload();

private:
    TextGrid &mGrid;
    int mOffset = 0;
};

} // namespace rvk
