#pragma once

#include "core/genotypedata.h"

#include <QAbstractTableModel>

namespace rvk {

// The allele grid of the page "Data Sort, View, Edit": one column per character of the chosen
// locus's genotype text (two per individual for "cp"); row 0 the column numbers (drawn as the
// individuals' names), row 1 the codes, which can be typed over one at a time. Cells are read
// from the locus when shown, so thousands of individuals cost nothing until scrolled to.
class AlleleGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Row { NumberRow, CodeRow, RowCount };

    explicit AlleleGridModel(GenotypeData &data, QObject *parent = nullptr);

    // The locus shown (group and locus index), or none with -1.
    void setLocus(int group, int locus);
    bool hasLocus() const { return locusEntry() != nullptr; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    // A text that begins with a code character ("*".."z") replaces the code of its column by
    // that character; anything else is ignored.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The individual a column belongs to (0-based), and its name; empty beyond the names.
    int individualOf(int column) const;
    QString individualName(int column) const;

private:
    Tlocinfo *locusEntry() const;

    GenotypeData &mData;
    int mGroup = -1;
    int mLocus = -1;
};

} // namespace rvk
