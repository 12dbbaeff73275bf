#pragma once

#include "settings/alleletable.h"

#include <QAbstractTableModel>
#include <QPixmap>

#include <array>
#include <optional>
#include <string>

namespace rvk {

// The allele table as a list: one row per code, '*' first, 'z' last. The rows are the table's
// own entries; the model keeps only the pictures (one per hatch pattern, one tick) and the
// Numval texts typed in that were not numbers.
class AlleleListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { ColourColumn, CodeColumn, LegendColumn, HatchColumn, NumvalColumn, UsedColumn, ColumnCount };

    explicit AlleleListModel(AlleleTable &table, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Legend: any text. Numval: the text stays in the cell; the value changes only when the text
    // is a number.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    void setColour(int row, Rgb colour);
    void setHatch(int row, int pattern);
    // The Used flags changed (a load or a reset).
    void usedChanged();
    // The table was rebuilt or its Used flags changed: every row is shown anew.
    void reload();

    static QPixmap hatchPicture(int pattern, int size = 16);

private:
    AlleleTable &mTable;
    std::array<QPixmap, 16> mHatchPictures;
    QPixmap mTick;
    std::array<std::optional<std::string>, AlleleTable::Size> mTypedNumval;
};

} // namespace rvk
