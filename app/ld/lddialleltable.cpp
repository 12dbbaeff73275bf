#include "app/ld/lddialleltable.h"

#include "genetics/ldanalysis.h"
#include "genetics/ldpictures.h"

#include <QPainter>

namespace rvk {

namespace {

QColor toQColor(Rgb color) { return QColor(redOf(color), greenOf(color), blueOf(color)); }

} // namespace

void LdDiallelModel::setAnalysis(const LdAnalysis *analysis)
{
    beginResetModel();
    mAnalysis = analysis;
    endResetModel();
}

int LdDiallelModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !mAnalysis ? 0 : mAnalysis->tableSize();
}

int LdDiallelModel::columnCount(const QModelIndex &parent) const { return rowCount(parent); }

QVariant LdDiallelModel::data(const QModelIndex &index, int role) const
{
    if (!mAnalysis || !index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    if (role == Qt::ToolTipRole) {
        if (index.row() == 0 || index.column() == 0)
            return {};
        return QString::fromStdString(mAnalysis->locusHeading(index.column() - 1) + " - "
                                      + mAnalysis->locusHeading(index.row() - 1));
    }
    return QString::fromStdString(mAnalysis->tableCell(index.column(), index.row()));
}

void LdDiallelDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const LdAnalysis *analysis = mModel.analysis();
    const QRect r = option.rect;
    const QString text = index.data(Qt::DisplayRole).toString();
    const int row = index.row(), column = index.column();
    painter->save();
    painter->setClipRect(r);
    if (row == 0 && column == 0) {
        painter->fillRect(r, QColor(238, 238, 238));
        QFont font(QStringLiteral("tahoma"));
        font.setPointSize(option.font.pointSize() > 0 ? option.font.pointSize() : 8);
        painter->setFont(font);
        painter->setPen(Qt::black);
        painter->translate(r.left() + 10, r.top() + 10);
        painter->rotate(45); // -45 degrees as the table measures angles: downwards to the right
        painter->drawText(0, QFontMetrics(font).ascent(), text);
    } else if (row == 0) {
        painter->fillRect(r, QColor(192, 220, 192));
        painter->setPen(Qt::black);
        const QFontMetrics metrics(option.font);
        const int width = metrics.horizontalAdvance(text);
        // Turned by 90 degrees, reading upwards, its start at (left + 2, top + width + 5).
        painter->translate(r.left() + 2, r.top() + width + 5);
        painter->rotate(-90);
        painter->drawText(0, metrics.ascent(), text);
    } else if (column == 0) {
        painter->fillRect(r, option.palette.base());
        painter->setPen(Qt::black);
        painter->drawText(r.left() + 2, r.top() + 2 + QFontMetrics(option.font).ascent(), text);
    } else if (row >= 2 && analysis) {
        const auto fill = ldTableCellFill(analysis->measure(), text.toStdString());
        if (fill) {
            painter->fillRect(r, toQColor(fill->color));
            if (fill->framed) {
                painter->setPen(Qt::black);
                painter->drawRect(r.adjusted(0, 0, -1, -1));
            }
            painter->setPen(Qt::black);
            painter->drawText(r.left() + 2, r.top() + 2 + QFontMetrics(option.font).ascent(), text);
        } else {
            painter->restore();
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
    } else {
        painter->restore();
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->restore();
}

} // namespace rvk
