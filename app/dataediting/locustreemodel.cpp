#include "app/dataediting/locustreemodel.h"

#include "core/textformat.h"

namespace rvk {

namespace {

constexpr quintptr RootId = 0;

QString quoted(const std::string &text) { return QLatin1Char('"') + QString::fromStdString(text) + QLatin1Char('"'); }

} // namespace

LocusTreeModel::LocusTreeModel(const GenotypeData &data, QObject *parent) : QAbstractItemModel(parent), mData(data) {}

LocusTreeModel::Level LocusTreeModel::level(const QModelIndex &index)
{
    const quintptr id = index.internalId();
    if (id == RootId)
        return GenomeLevel;
    return (id & 0xFFFFFFFFu) == 0 ? GroupLevel : LocusLevel;
}

int LocusTreeModel::group(const QModelIndex &index)
{
    return index.isValid() ? static_cast<int>(index.internalId() >> 32) - 1 : -1;
}

int LocusTreeModel::locus(const QModelIndex &index)
{
    return index.isValid() ? static_cast<int>(index.internalId() & 0xFFFFFFFFu) - 1 : -1;
}

QModelIndex LocusTreeModel::rootIndex() const { return createIndex(0, 0, RootId); }

QModelIndex LocusTreeModel::groupIndex(int group) const
{
    if (group < 0 || group >= mData.GroupCount())
        return {};
    return createIndex(group, 0, idOf(group, -1));
}

QModelIndex LocusTreeModel::locusIndex(int group, int locus) const
{
    if (group < 0 || group >= mData.GroupCount() || locus < 0 || locus >= mData.GroupLocusCount(group))
        return {};
    return createIndex(locus, 0, idOf(group, locus));
}

QModelIndex LocusTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0)
        return {};
    if (!parent.isValid())
        return row == 0 ? rootIndex() : QModelIndex();
    switch (level(parent)) {
    case GenomeLevel:
        return groupIndex(row);
    case GroupLevel:
        return locusIndex(group(parent), row);
    case LocusLevel:
        break;
    }
    return {};
}

QModelIndex LocusTreeModel::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return {};
    switch (level(child)) {
    case GenomeLevel:
        return {};
    case GroupLevel:
        return rootIndex();
    case LocusLevel:
        return groupIndex(group(child));
    }
    return {};
}

int LocusTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return 1;
    switch (level(parent)) {
    case GenomeLevel:
        return mData.GroupCount();
    case GroupLevel:
        return group(parent) < mData.GroupCount() ? mData.GroupLocusCount(group(parent)) : 0;
    case LocusLevel:
        break;
    }
    return 0;
}

int LocusTreeModel::columnCount(const QModelIndex &) const { return 1; }

QVariant LocusTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    switch (level(index)) {
    case GenomeLevel:
        return QStringLiteral("Genome");
    case GroupLevel:
        return group(index) < mData.GroupCount() ? groupText(mData, group(index)) : QString();
    case LocusLevel: {
        const auto kept = mKeptTexts.find(index.internalId());
        if (kept != mKeptTexts.end())
            return kept->second;
        if (group(index) >= mData.GroupCount() || locus(index) >= mData.GroupLocusCount(group(index)))
            return {};
        return locusText(mData, group(index), locus(index));
    }
    }
    return {};
}

QString LocusTreeModel::groupText(const GenotypeData &data, int group)
{
    return QString::fromStdString(formatText("group %d: ", {group + 1})) + quoted(data.GroupName(group));
}

QString LocusTreeModel::locusText(const GenotypeData &data, int group, int locus)
{
    const Tlocinfo &entry = data.GroupLoci(group)[static_cast<size_t>(locus)];
    return quoted(entry.Name) + QString::fromStdString(formatText(" (%d: %2.1f)", {group + 1, entry.Position}));
}

void LocusTreeModel::keepText(int group, int locus)
{
    const QModelIndex node = locusIndex(group, locus);
    if (!node.isValid())
        return;
    mKeptTexts.try_emplace(node.internalId(), locusText(mData, group, locus));
}

void LocusTreeModel::showEditedPosition(int group, int locus)
{
    const QModelIndex node = locusIndex(group, locus);
    if (!node.isValid())
        return;
    const Tlocinfo &entry = mData.GroupLoci(group)[static_cast<size_t>(locus)];
    mKeptTexts[node.internalId()] = quoted(entry.Name) + QString::fromStdString(formatText(" (%2.1f)", {entry.Position}));
    emit dataChanged(node, node);
}

void LocusTreeModel::rebuild()
{
    beginResetModel();
    mKeptTexts.clear();
    endResetModel();
}

} // namespace rvk
