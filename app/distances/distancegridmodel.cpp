#include "app/distances/distancegridmodel.h"

#include "app/readabletext.h"

#include <QBrush>
#include <QColor>
#include <QPainter>

namespace rvk {

namespace {

QColor colorOf(unsigned fill) { return QColor(static_cast<int>(fill & 0xFF), static_cast<int>((fill >> 8) & 0xFF), static_cast<int>((fill >> 16) & 0xFF)); }

} // namespace

DistanceGridModel::DistanceGridModel(QObject *parent) : QAbstractTableModel(parent) {}

void DistanceGridModel::setGrid(int size, CellText text, CellFill fill)
{
    beginResetModel();
    mSize = size;
    mText = std::move(text);
    mFill = std::move(fill);
    endResetModel();
}

QVariant DistanceGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !mText)
        return {};
    const int column = index.column(), row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(mText(column, row));
    case Qt::BackgroundRole: {
        if (row == 0 || column == 0) {
            if (column == 0 && row > 0 && mText(0, row).rfind('.', 0) == 0)
                return QBrush(colorOf(DottedHeadingFill));
            return QBrush(colorOf(HeadingFill));
        }
        if (mFill)
            if (const unsigned fill = mFill(column, row); fill != 0xFFFFFFu)
                return QBrush(colorOf(fill));
        return {};
    }
    case Qt::ForegroundRole:
        if (row > 0 && column > 0 && mFill)
            if (const unsigned fill = mFill(column, row); fill != 0xFFFFFFu)
                return QBrush(readableTextColour(colorOf(fill)));
        return {};
    default:
        return {};
    }
}

void DistanceGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const bool columnHeading = index.row() == 0 && index.column() > 0;
    const bool corner = index.row() == 0 && index.column() == 0;
    if (!columnHeading && !(corner && mTurnedCorner)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->save();
    painter->fillRect(option.rect, index.data(Qt::BackgroundRole).value<QBrush>());
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    painter->setFont(font);
    const QString text = index.data(Qt::DisplayRole).toString();
    const int width = painter->fontMetrics().horizontalAdvance(text);
    if (columnHeading) {
        // Reading upwards, starting 5 pixels plus the text width below the cell's top.
        painter->translate(option.rect.left() + (option.rect.width() + painter->fontMetrics().ascent()) / 2 - 2,
                           option.rect.top() + 5 + width);
        painter->rotate(-90);
    } else {
        painter->translate(option.rect.left() + 5, option.rect.bottom() - 5);
        painter->rotate(-45);
    }
    painter->drawText(0, 0, text);
    painter->restore();
}

} // namespace rvk
