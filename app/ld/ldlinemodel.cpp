#include "app/ld/ldlinemodel.h"

#include <climits>

namespace rvk {

void LdLineModel::setSource(LineCount count, Line line)
{
    beginResetModel();
    mCount = std::move(count);
    mLine = std::move(line);
    mFixed.clear();
    endResetModel();
}

void LdLineModel::setFixedLines(QStringList lines)
{
    beginResetModel();
    mCount = nullptr;
    mLine = nullptr;
    mFixed = std::move(lines);
    endResetModel();
}

int LdLineModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    if (mCount)
        return static_cast<int>(std::min<long long>(mCount(), INT_MAX)); // a view counts rows in int
    return static_cast<int>(mFixed.size());
}

QString LdLineModel::lineText(int row) const
{
    if (mLine)
        return QString::fromStdString(mLine(row));
    return row >= 0 && row < mFixed.size() ? mFixed.at(row) : QString();
}

QVariant LdLineModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return lineText(index.row());
}

} // namespace rvk
