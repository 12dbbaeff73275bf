#include "app/backcross/backcrosstablemodel.h"

namespace rvk {

BackcrossTableModel::BackcrossTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void BackcrossTableModel::setSource(Source source)
{
    beginResetModel();
    mSource = std::move(source);
    endResetModel();
}

int BackcrossTableModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : mSource.rows; }

int BackcrossTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(mSource.captions.size());
}

QVariant BackcrossTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !mSource.cell)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(mSource.cell(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole && index.column() > 0)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant BackcrossTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && static_cast<size_t>(section) < mSource.captions.size()
            ? QString::fromStdString(mSource.captions[static_cast<size_t>(section)])
            : QVariant();
    return section + 1;
}

void BackcrossTableModel::sort(int column, Qt::SortOrder order)
{
    if (!mSource.sort || column < 0 || column >= columnCount())
        return;
    beginResetModel();
    mSource.sort(column, order == Qt::DescendingOrder);
    endResetModel();
}

} // namespace rvk
