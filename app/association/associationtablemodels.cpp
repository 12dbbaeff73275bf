#include "app/association/associationtablemodels.h"

#include "app/readabletext.h"

#include "core/textformat.h"
#include "genetics/markerdata.h"
#include "genetics/traittable.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace rvk {

namespace {

constexpr Rgb LightGrey = rgb(238, 238, 238);
constexpr Rgb LightBlue = rgb(221, 221, 255);
constexpr Rgb MoneyGreen = rgb(192, 220, 192);
constexpr Rgb PaleGreen = rgb(236, 255, 236);
constexpr Rgb White = rgb(255, 255, 255);
constexpr Rgb Grey = rgb(170, 170, 170);
constexpr Rgb LightCyan = rgb(204, 255, 255);
constexpr Rgb LightYellow = rgb(255, 255, 204);
constexpr Rgb Pink = rgb(255, 155, 155);

QVariant brushOf(const CellColor &color)
{
    if (!color)
        return {};
    return QBrush(QColor(static_cast<int>(*color & 0xFF), static_cast<int>((*color >> 8) & 0xFF), static_cast<int>((*color >> 16) & 0xFF)));
}

// The text colour that reads on the cell's fill; none (the default) on the default look.
QVariant textOn(const CellColor &color)
{
    const QVariant fill = brushOf(color);
    if (!fill.isValid())
        return {};
    return QBrush(readableTextColour(fill.value<QBrush>().color()));
}

QString toQt(const std::string &text) { return QString::fromStdString(text); }

int groupNumberOfLabel(const std::string &label)
{
    const size_t mark = label.find('>');
    if (mark == std::string::npos)
        return 0;
    return static_cast<int>(parseInteger(std::string_view(label).substr(0, mark)).value_or(0));
}

// a = round(v * scale), at most 255.
int intensity(double v, double scale) { return static_cast<int>(std::min<long long>(255, roundHalfEven(v * scale))); }

Rgb red(int a) { return rgb(255, 255 - a, 255 - a); }

} // namespace

// ---------------------------------------------------------------------------------------------

TraitTableModel::TraitTableModel(const TraitTable &table, QObject *parent) : QAbstractTableModel(parent), mTable(table) {}

void TraitTableModel::tableReplaced()
{
    beginResetModel();
    endResetModel();
}

void TraitTableModel::setSelectedRow(int row)
{
    mSelectedRow = row;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::BackgroundRole});
}

int TraitTableModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : mTable.rowCount(); }
int TraitTableModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : mTable.columnCount(); }

CellColor TraitTableModel::cellColor(int column, int row, int selectedRow)
{
    if (column == 0 && row == selectedRow && row > 0)
        return LightBlue;
    if (row == 0 || column == 0)
        return LightGrey;
    return std::nullopt;
}

QVariant TraitTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return toQt(mTable.cell(index.column(), index.row()));
    if (role == Qt::BackgroundRole)
        return brushOf(cellColor(index.column(), index.row(), mSelectedRow));
    if (role == Qt::ForegroundRole)
        return textOn(cellColor(index.column(), index.row(), mSelectedRow));
    return {};
}

Qt::ItemFlags TraitTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (mEdit && index.isValid())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool TraitTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!mEdit || !index.isValid() || role != Qt::EditRole)
        return false;
    mEdit(index.column(), index.row(), value.toString().toStdString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

// ---------------------------------------------------------------------------------------------

MarkerDataModel::MarkerDataModel(const MarkerData &markers, QObject *parent) : QAbstractTableModel(parent), mMarkers(markers) {}

void MarkerDataModel::tableReplaced()
{
    beginResetModel();
    endResetModel();
}

int MarkerDataModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : mMarkers.rowCount(); }
int MarkerDataModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : mMarkers.columnCount(); }

CellColor MarkerDataModel::cellColor(int column, int row, int groupNumber)
{
    if (row == 0)
        return LightGrey;
    const bool even = groupNumber % 2 == 0;
    if (column == 0)
        return even ? MoneyGreen : LightGrey;
    return even ? PaleGreen : White;
}

QVariant MarkerDataModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return toQt(mMarkers.cell(index.column(), index.row()));
    if (role == Qt::BackgroundRole)
        return brushOf(cellColor(index.column(), index.row(), index.row() > 0 ? mMarkers.groupNumberOf(index.row()) : 0));
    if (role == Qt::ForegroundRole)
        return textOn(cellColor(index.column(), index.row(), index.row() > 0 ? mMarkers.groupNumberOf(index.row()) : 0));
    return {};
}

// ---------------------------------------------------------------------------------------------

AssociationResultsModel::AssociationResultsModel(const AssociationResults &results, AssociationResults::Table table, QObject *parent)
    : QAbstractTableModel(parent), mResults(results), mTable(table)
{
}

void AssociationResultsModel::resultsReplaced()
{
    beginResetModel();
    endResetModel();
}

void AssociationResultsModel::setSelectedColumn(int column)
{
    mSelectedColumn = column;
    if (columnCount() > 0)
        emit dataChanged(index(0, 0), index(0, columnCount() - 1), {Qt::BackgroundRole});
}

int AssociationResultsModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : mResults.rowCount(mTable); }
int AssociationResultsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : mResults.columnCount(mTable);
}

CellColor AssociationResultsModel::cellColor(const AssociationResults &results, AssociationResults::Table table, int column, int row,
                                             int selectedColumn)
{
    using Table = AssociationResults::Table;
    if (row == 0)
        return table == Table::LogP && column == selectedColumn && column > 0 ? MoneyGreen : LightGrey;
    if (column == 0) {
        if (groupNumberOfLabel(results.cell(table, 0, row)) % 2 != 0 || groupNumberOfLabel(results.cell(table, 0, row)) == 0)
            return LightGrey;
        return table == Table::R || table == Table::R2 ? Grey : MoneyGreen;
    }
    const std::optional<double> value = parseDecimal(results.cell(table, column, row));
    switch (table) {
    case Table::LogP:
        if (row == 1)
            return LightCyan;
        if (value && *value > 0)
            return red(intensity(*value / 15.0, 255.0));
        return std::nullopt;
    case Table::P: {
        if (row == 1)
            return LightYellow;
        const std::optional<double> threshold = parseDecimal(results.cell(table, column, 1));
        if (value && *value >= 0 && threshold)
            return *value < *threshold ? Pink : White;
        return std::nullopt;
    }
    case Table::Q:
        if (value && *value >= 0)
            return *value < 0.05 ? Pink : White;
        return std::nullopt;
    case Table::R2:
        if (value && *value > 0)
            return red(intensity(*value, 180.0));
        return std::nullopt;
    case Table::R:
        if (!value)
            return std::nullopt;
        if (*value > 0)
            return red(intensity(*value, 180.0));
        {
            const int a = static_cast<int>(std::min<long long>(255, -roundHalfEven(*value * 180.0)));
            return rgb(255 - a, 255 - a, 255);
        }
    }
    return std::nullopt;
}

QVariant AssociationResultsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return toQt(mResults.cell(mTable, index.column(), index.row()));
    if (role == Qt::BackgroundRole)
        return brushOf(cellColor(mResults, mTable, index.column(), index.row(), mSelectedColumn));
    if (role == Qt::ForegroundRole)
        return textOn(cellColor(mResults, mTable, index.column(), index.row(), mSelectedColumn));
    if (role == Qt::ForegroundRole && index.row() > 0 && index.column() > 0)
        return QBrush(Qt::black);
    return {};
}

void RotatedHeadingDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (index.row() != 0 || index.column() == 0) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->save();
    const QVariant background = index.data(Qt::BackgroundRole);
    painter->fillRect(option.rect, background.canConvert<QBrush>() ? background.value<QBrush>() : QBrush(Qt::white));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    painter->setFont(font);
    painter->setPen(Qt::black);
    const QString text = index.data(Qt::DisplayRole).toString();
    // Reading upwards from the bottom of the cell, two pixels in from its left edge.
    painter->translate(option.rect.left() + 2 + painter->fontMetrics().ascent(), option.rect.bottom() - 4);
    painter->rotate(-90);
    painter->drawText(0, 0, painter->fontMetrics().elidedText(text, Qt::ElideRight, option.rect.height() - 6));
    painter->restore();
}

} // namespace rvk
