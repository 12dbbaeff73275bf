#pragma once
// A table of the page "QTL mapping" (the peaks, the LOD grid) as a model over the run's numbers:
// cells are formatted when the view asks for them.

#include <QAbstractTableModel>

#include <functional>
#include <string>

namespace rvk {

class QtlTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using Cell = std::function<std::string(int column, int row)>;

    explicit QtlTableModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}

    // rows and columns exclude the heading row; headings(column) names each column.
    void setTable(int columns, int rows, Cell headings, Cell cell);
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : mRows; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : mColumns; }
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Every cell with the headings as row 0, for saving.
    std::string text(int column, int row) const;

private:
    int mColumns = 0;
    int mRows = 0;
    Cell mHeadings;
    Cell mCell;
};

} // namespace rvk
