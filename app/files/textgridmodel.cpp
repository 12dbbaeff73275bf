#include "app/files/textgridmodel.h"

#include <algorithm>
#include <string>

namespace rvk {

TextGridModel::TextGridModel(TextGrid &grid, QObject *parent) : QAbstractTableModel(parent), mGrid(grid) {}

int TextGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : std::max(0, mGrid.rowCount() - mOffset);
}

int TextGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : std::max(0, mGrid.columnCount() - mOffset);
}

QVariant TextGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return QString::fromStdString(mGrid.cell(gridColumn(index), gridRow(index)));
}

bool TextGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    mGrid.setCell(gridColumn(index), gridRow(index), value.toString().toStdString());
    emit dataChanged(index, index);
    return true;
}

QVariant TextGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (!headingsFixed())
        return QString::fromStdString(std::to_string(section + 1));
    return orientation == Qt::Horizontal ? QString::fromStdString(mGrid.cell(section + 1, 0))
                                         : QString::fromStdString(mGrid.cell(0, section + 1));
}

Qt::ItemFlags TextGridModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::NoItemFlags;
}

void TextGridModel::setHeadingsFixed(bool fixed)
{
    if (fixed == headingsFixed())
        return;
    beginResetModel();
    mOffset = fixed ? 1 : 0;
    endResetModel();
}

void TextGridModel::reload()
{
    beginResetModel();
    endResetModel();
}

} // namespace rvk
