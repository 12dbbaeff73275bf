#include "app/dataediting/allelegridmodel.h"

#include "core/genotypecodes.h"

#include <string>

namespace rvk {

AlleleGridModel::AlleleGridModel(GenotypeData &data, QObject *parent) : QAbstractTableModel(parent), mData(data) {}

void AlleleGridModel::setLocus(int group, int locus)
{
    beginResetModel();
    mGroup = group;
    mLocus = locus;
    endResetModel();
}

Tlocinfo *AlleleGridModel::locusEntry() const
{
    // The indices are checked on every use: the data set may have been closed or replaced.
    if (mGroup < 0 || mGroup >= mData.GroupCount() || mLocus < 0 || mLocus >= mData.GroupLocusCount(mGroup))
        return nullptr;
    return &mData.GroupLoci(mGroup)[static_cast<size_t>(mLocus)];
}

int AlleleGridModel::rowCount(const QModelIndex &parent) const { return parent.isValid() || !hasLocus() ? 0 : RowCount; }

int AlleleGridModel::columnCount(const QModelIndex &parent) const
{
    const Tlocinfo *entry = locusEntry();
    return parent.isValid() || !entry ? 0 : static_cast<int>(entry->Genotypes.size());
}

int AlleleGridModel::individualOf(int column) const { return column / mData.CodesPerIndividual(); }

QString AlleleGridModel::individualName(int column) const
{
    const int individual = individualOf(column);
    if (individual < 0 || individual >= static_cast<int>(mData.IndividualNames.size()))
        return {};
    return QString::fromStdString(mData.IndividualNames[static_cast<size_t>(individual)]);
}

QVariant AlleleGridModel::data(const QModelIndex &index, int role) const
{
    const Tlocinfo *entry = locusEntry();
    if (!index.isValid() || !entry || index.column() >= static_cast<int>(entry->Genotypes.size()))
        return {};
    if (index.row() == NumberRow) {
        if (role == Qt::DisplayRole)
            return QString::fromStdString(std::to_string(index.column() + 1));
        if (role == Qt::ToolTipRole && individualOf(index.column()) < static_cast<int>(mData.IndividualNames.size()))
            return QString::fromStdString("ind: " + std::to_string(individualOf(index.column()) + 1));
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return QString(QLatin1Char(entry->Genotypes[static_cast<size_t>(index.column())]));
    return {};
}

bool AlleleGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    Tlocinfo *entry = locusEntry();
    if (!index.isValid() || role != Qt::EditRole || !entry || index.row() != CodeRow
        || index.column() >= static_cast<int>(entry->Genotypes.size()))
        return false;
    const QString text = value.toString();
    if (text.isEmpty() || text.at(0).unicode() > 127 || !isGenotypeCode(static_cast<char>(text.at(0).unicode())))
        return false;
    entry->Genotypes[static_cast<size_t>(index.column())] = static_cast<char>(text.at(0).unicode());
    // A changed genotype makes the association's marker data stale (pasted values included).
    mData.MarkerGridStale = true;
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags AlleleGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.row() == CodeRow)
        flags |= Qt::ItemIsEditable;
    return flags;
}

} // namespace rvk
