#include "app/settings/allelelistmodel.h"

#include <QColor>
#include <QPainter>
#include <QPen>

namespace rvk {

namespace {

QColor toQColor(Rgb colour) { return QColor(redOf(colour), greenOf(colour), blueOf(colour)); }

QPixmap tickPicture()
{
    QPixmap tick(14, 14);
    tick.fill(Qt::transparent);
    QPainter painter(&tick);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 128, 0), 2));
    painter.drawPolyline(QPolygonF({QPointF(2, 7), QPointF(5.5, 11), QPointF(12, 3)}));
    return tick;
}

} // namespace

AlleleListModel::AlleleListModel(AlleleTable &table, QObject *parent)
    : QAbstractTableModel(parent), mTable(table), mTick(tickPicture())
{
    for (int k = 0; k < 16; ++k)
        mHatchPictures[static_cast<size_t>(k)] = hatchPicture(k);
}

QPixmap AlleleListModel::hatchPicture(int pattern, int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::white);
    const HatchPattern &hatch = HatchPatterns()[static_cast<size_t>(pattern)];
    if (!hatch.empty)
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (!(hatch.rows[static_cast<size_t>(y % 8)] & (0x80 >> (x % 8))))
                    image.setPixel(x, y, qRgb(0, 0, 0));
    QPainter painter(&image);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(0, 0, size - 1, size - 1);
    return QPixmap::fromImage(image);
}

int AlleleListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : AlleleTable::Size; }

int AlleleListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant AlleleListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row();
    const Tcolorset &entry = mTable.entry(row);
    switch (index.column()) {
    case ColourColumn:
        if (role == Qt::BackgroundRole)
            return toQColor(entry.Color);
        break;
    case CodeColumn:
        if (role == Qt::DisplayRole)
            return QString(QChar::fromLatin1(AlleleTable::codeOf(row)));
        break;
    case LegendColumn:
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return QString::fromStdString(entry.Legend);
        break;
    case HatchColumn:
        if (role == Qt::DecorationRole)
            return mHatchPictures[static_cast<size_t>(std::clamp(entry.Hatch, 0, 15))];
        break;
    case NumvalColumn:
        if (role == Qt::DisplayRole || role == Qt::EditRole) {
            const auto &typed = mTypedNumval[static_cast<size_t>(row)];
            return QString::fromStdString(typed ? *typed : formatNumval(entry.Numval));
        }
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        break;
    case UsedColumn:
        if (role == Qt::DecorationRole && entry.Used)
            return mTick;
        break;
    }
    return {};
}

QVariant AlleleListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const captions[ColumnCount] = {"Col", "Code", "Allele descr.", "Hatch", "Numval", "Used?"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(captions[section]) : QVariant();
}

Qt::ItemFlags AlleleListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (index.column() == LegendColumn || index.column() == NumvalColumn)
        result |= Qt::ItemIsEditable;
    return result;
}

bool AlleleListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int row = index.row();
    const std::string text = value.toString().toStdString();
    if (index.column() == LegendColumn) {
        mTable.setLegend(row, text);
    } else if (index.column() == NumvalColumn) {
        if (mTable.setNumvalText(row, text) && text == formatNumval(mTable.entry(row).Numval))
            mTypedNumval[static_cast<size_t>(row)].reset();
        else
            mTypedNumval[static_cast<size_t>(row)] = text; // the cell shows what was typed
    } else {
        return false;
    }
    emit dataChanged(index, index);
    return true;
}

void AlleleListModel::setColour(int row, Rgb colour)
{
    mTable.setColor(row, colour);
    emit dataChanged(this->index(row, ColourColumn), this->index(row, ColourColumn));
}

void AlleleListModel::setHatch(int row, int pattern)
{
    mTable.setHatch(row, pattern);
    emit dataChanged(this->index(row, HatchColumn), this->index(row, HatchColumn));
}

void AlleleListModel::usedChanged()
{
    emit dataChanged(index(0, UsedColumn), index(AlleleTable::Size - 1, UsedColumn));
}

void AlleleListModel::reload()
{
    beginResetModel();
    for (auto &typed : mTypedNumval)
        typed.reset();
    endResetModel();
}

} // namespace rvk
