#include "app/selection/individualchecklistmodel.h"

#include "core/genotypedata.h"

#include <QApplication>
#include <QPalette>

namespace rvk {

IndividualCheckListModel::IndividualCheckListModel(GenotypeData &data, QObject *parent)
    : QAbstractListModel(parent),
      mData(data),
      mRows(static_cast<int>(data.IndividualNames.size()))
{
}

int IndividualCheckListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : mRows; }

bool IndividualCheckListModel::isTicked(int row) const
{
    return row >= 0 && row < static_cast<int>(mData.Ticked.size()) && mData.Ticked[static_cast<size_t>(row)];
}

bool IndividualCheckListModel::isLocked(int row) const
{
    return row >= 0 && row < static_cast<int>(mData.Locked.size()) && mData.Locked[static_cast<size_t>(row)];
}

QVariant IndividualCheckListModel::data(const QModelIndex &index, int role) const
{
    const int row = index.row();
    if (!index.isValid() || row >= static_cast<int>(mData.IndividualNames.size()))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(mData.IndividualNames[static_cast<size_t>(row)]);
    case Qt::CheckStateRole:
        return isTicked(row) ? Qt::Checked : Qt::Unchecked;
    case Qt::ForegroundRole:
        if (isLocked(row))
            return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags IndividualCheckListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (!isLocked(index.row()))
        result |= Qt::ItemIsUserCheckable;
    return result;
}

bool IndividualCheckListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const int row = index.row();
    if (role != Qt::CheckStateRole || !index.isValid() || isLocked(row)
        || row >= static_cast<int>(mData.Ticked.size()))
        return false;
    mData.Ticked[static_cast<size_t>(row)] = value.toInt() == Qt::Checked ? 1 : 0;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit tickEdited(row);
    return true;
}

void IndividualCheckListModel::refresh()
{
    const int rows = static_cast<int>(mData.IndividualNames.size());
    if (rows != mRows) {
        beginResetModel();
        mRows = rows;
        endResetModel();
    } else if (rows > 0) {
        emit dataChanged(index(0), index(rows - 1));
    }
}

} // namespace rvk
