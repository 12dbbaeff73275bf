#pragma once
// The tables of the panel window as models over the compact results: the mixed-model tests
// (one row per trait and marker, formatted when shown, sortable by any column, by p at first)
// and the genomic prediction per trait.

#include "genetics/gblup.h"
#include "genetics/mixedmodel.h"

#include <QAbstractTableModel>

#include <vector>

namespace rvk {

class MixedModelTableModel : public QAbstractTableModel
{
public:
    enum Column { Trait, Group, Locus, Position, Beta, Se, P, MinusLog10P, Lambda, ColumnCount };

    explicit MixedModelTableModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}
    void setResults(const MixedModelResults *results);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    // The test of a shown row.
    const MarkerTest &test(int row) const;
    const TraitModelResult &trait(int row) const;

private:
    struct Row
    {
        int trait;
        int test;
    };
    double number(const Row &row, int column) const;

    const MixedModelResults *mResults = nullptr;
    std::vector<Row> mRows;
};

class PredictionTableModel : public QAbstractTableModel
{
public:
    explicit PredictionTableModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}
    void setResults(const GblupResults *results);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const GblupResults *mResults = nullptr;
};

} // namespace rvk
