#pragma once
// The table models of the "Associations" page. Each reads its cells from the compact data the
// page holds (the trait table, the marker data over the genotypes, the result numbers) and
// formats them when the view asks; none keeps a text per cell.

#include "genetics/association.h"
#include "settings/alleletable.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

#include <functional>
#include <optional>
#include <string>

namespace rvk {

class MarkerData;
class TraitTable;

// The fill colour of a cell, or nothing for the default look.
using CellColor = std::optional<Rgb>;

// The trait table and the synchronised table: row 0 and column 0 light grey, the name cell of
// the selected trait row light blue.
class TraitTableModel : public QAbstractTableModel
{
public:
    explicit TraitTableModel(const TraitTable &table, QObject *parent = nullptr);

    void tableReplaced();
    void setSelectedRow(int row);
    int selectedRow() const { return mSelectedRow; }
    // Makes the cells editable: an edited cell goes to handler (column, row, typed text), which
    // stores it in the table. Without a handler the table is read-only.
    using EditHandler = std::function<void(int column, int row, const std::string &text)>;
    void setEditHandler(EditHandler handler) { mEdit = std::move(handler); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    static CellColor cellColor(int column, int row, int selectedRow);

private:
    const TraitTable &mTable;
    int mSelectedRow = -1;
    EditHandler mEdit;
};

// The marker-data table: rows of even-numbered groups green, the others white.
class MarkerDataModel : public QAbstractTableModel
{
public:
    explicit MarkerDataModel(const MarkerData &markers, QObject *parent = nullptr);

    void tableReplaced();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    static CellColor cellColor(int column, int row, int groupNumber);

private:
    const MarkerData &mMarkers;
};

// One of the five result tables.
class AssociationResultsModel : public QAbstractTableModel
{
public:
    AssociationResultsModel(const AssociationResults &results, AssociationResults::Table table, QObject *parent = nullptr);

    AssociationResults::Table table() const { return mTable; }
    void resultsReplaced();
    // The selected column of the "-10LOG(p)" table (its header turns green).
    void setSelectedColumn(int column);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // The colour rules of the result tables.
    static CellColor cellColor(const AssociationResults &results, AssociationResults::Table table, int column, int row,
                               int selectedColumn = -1);

private:
    const AssociationResults &mResults;
    AssociationResults::Table mTable;
    int mSelectedColumn = -1;
};

// Paints the names of row 0 turned by 90 degrees (reading upwards), as the tables' headings are
// shown, and every cell framed; other rows as usual.
class RotatedHeadingDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

} // namespace rvk
