#include "app/qtl/qtltablemodel.h"

namespace rvk {

void QtlTableModel::setTable(int columns, int rows, Cell headings, Cell cell)
{
    beginResetModel();
    mColumns = columns;
    mRows = rows;
    mHeadings = std::move(headings);
    mCell = std::move(cell);
    endResetModel();
}

QVariant QtlTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || !mCell)
        return {};
    return QString::fromStdString(mCell(index.column(), index.row()));
}

QVariant QtlTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || !mHeadings)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromStdString(mHeadings(section, 0));
}

std::string QtlTableModel::text(int column, int row) const
{
    if (row == 0)
        return mHeadings ? mHeadings(column, 0) : std::string();
    return mCell ? mCell(column, row - 1) : std::string();
}

} // namespace rvk
